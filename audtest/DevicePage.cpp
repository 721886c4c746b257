#include "audtest/DevicePage.h"
#include "audtest/ApiSheet.h"
#include "audtest/resource.h"

#include <objbase.h>

#include <algorithm>
#include <string>

namespace vt::audtest {

void CDevicePage::OnInitDialog() {
    IVtAudDeviceMgr* manager = m_sheet.Manager();
    if (!manager) return;
    HWND list = Item(IDC_DEVICE_LIST);
    // Index 0, 1, 2 ... until the manager has no further device; a device whose information
    // cannot be read is left out.
    for (ULONG index = 0;; ++index) {
        vt::win::ComPtr<IVtAudDevice> device;
        if (FAILED(manager->EnumDevices(index, device.Put())) || !device) break;
        _AUDDEVICEINFOTYPE info{};
        if (FAILED(device->GetDeviceInfo(&info))) continue;
        const LRESULT entry =
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(info.pwszDevicePath ? info.pwszDevicePath : L""));
        // The entry keeps its device's index: an entry left out shifts the later entries' positions.
        if (entry >= 0) SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(entry), static_cast<LPARAM>(index));
        CoTaskMemFree(info.pwszDevicePath);
    }
}

void CDevicePage::OnCommand(UINT id, UINT code) {
    if (id != IDC_DEVICE_LIST) return;
    if (code == CBN_DROPDOWN) {
        WidenDropDown();
        return;
    }
    if (code != CBN_SELENDOK) return;
    IVtAudDeviceMgr* manager = m_sheet.Manager();
    HWND list = Item(IDC_DEVICE_LIST);
    const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (!manager || selected == CB_ERR) return;
    const LRESULT index = SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    vt::win::ComPtr<IVtAudDevice> device;
    const HRESULT hr = manager->EnumDevices(static_cast<ULONG>(index), device.Put());
    if (FAILED(hr) || !device) {
        Fail(L"Cannot open the chosen headset", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    if (device.Get() != m_sheet.Device().Get()) m_sheet.SetDevice(device);
}

void CDevicePage::WidenDropDown() {
    HWND list = Item(IDC_DEVICE_LIST);
    HDC dc = GetDC(list);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    LONG widest = 0;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, i, 0);
        if (length == CB_ERR) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(length), &size);
        widest = std::max(widest, size.cx + metrics.tmAveCharWidth);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    widest += 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest), 0);
}

} // namespace vt::audtest
