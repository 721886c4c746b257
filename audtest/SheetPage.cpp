#include "audtest/SheetPage.h"
#include "audtest/ApiSheet.h"
#include "audtest/UserDialogs.h"

namespace vt::audtest {

PROPSHEETPAGEW CSheetPage::Descriptor(HINSTANCE resources) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = resources;
    page.pszTemplate = MAKEINTRESOURCEW(m_templateId);
    page.pfnDlgProc = DialogProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

INT_PTR CALLBACK CSheetPage::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CSheetPage* page = nullptr;
    if (msg == WM_INITDIALOG) {
        page = reinterpret_cast<CSheetPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->m_hwnd = hwnd;
    } else {
        page = reinterpret_cast<CSheetPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!page) return FALSE;
    const INT_PTR result = page->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        page->m_hwnd = nullptr;
    }
    return result;
}

INT_PTR CSheetPage::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        bool handled = false;
        if (hdr->code == PSN_SETACTIVE) {
            OnSetActive();
            handled = true;
        } else if (hdr->code == PSN_KILLACTIVE) {
            OnKillActive();
            handled = true;
        } else {
            handled = OnNotify(hdr, &result);
        }
        if (!handled) return FALSE;
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    default: {
        INT_PTR result = 0;
        return OnMessage(msg, wParam, lParam, &result) ? result : FALSE;
    }
    }
}

vt::win::ComPtr<IVtAudDevice> CSheetPage::Device() const { return m_sheet.Device(); }

HRESULT CSheetPage::ActiveProfileFeature(const IID& iid, void** feature) const {
    *feature = nullptr;
    auto device = Device();
    if (!device) return E_POINTER;
    GUID managerIid = IID_IVtProfileManager;
    vt::win::ComPtr<IVtProfileManager> manager;
    HRESULT hr = device->CreateInterfaceInstance(&managerIid, manager.PutVoid());
    if (FAILED(hr)) return hr;
    vt::win::ComPtr<IVtProfile> active;
    hr = manager->GetActiveProfile(active.Put());
    if (FAILED(hr)) return hr;
    return active->CreateInterfaceInstance(iid, feature);
}

void CSheetPage::Fail(const std::wstring& what, HRESULT hr) const { ReportFailure(m_hwnd, what, hr); }

} // namespace vt::audtest
