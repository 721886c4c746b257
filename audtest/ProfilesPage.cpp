#include "audtest/ProfilesPage.h"
#include "audtest/ApiSheet.h"
#include "audtest/UserDialogs.h"
#include "audtest/resource.h"

#include <objbase.h>

#include <cwchar>
#include <string>

namespace vt::audtest {

CProfilesPage::~CProfilesPage() { m_manager.Reset(); }

void CProfilesPage::OnInitDialog() {
    HWND list = List();
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = 90;
    column.pszText = const_cast<wchar_t*>(L"Name");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    const DWORD styles = LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
}

void CProfilesPage::OnSetActive() {
    if (m_manager) return;
    auto device = Device();
    if (!device) return;
    GUID iid = IID_IVtProfileManager;
    const HRESULT hr = device->CreateInterfaceInstance(&iid, m_manager.PutVoid());
    if (FAILED(hr) || !m_manager) {
        m_manager.Reset();
        Fail(L"Cannot open the profile manager", FAILED(hr) ? hr : E_POINTER);
        return;
    }
    // The audio manager raises no profile events (it offers no connection point), so the page
    // follows changes made elsewhere by rebuilding its list each time it is shown.
    Refresh();
}

void CProfilesPage::OnKillActive() { m_manager.Reset(); }

void CProfilesPage::OnDestroy() {
    m_manager.Reset();
    ClearEntries();
}

IVtProfile* CProfilesPage::EntryProfile(int entry) const {
    if (entry < 0) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = entry;
    if (!SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<IVtProfile*>(item.lParam);
}

void CProfilesPage::ClearEntries() {
    HWND list = List();
    if (!list) return;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (IVtProfile* profile = EntryProfile(i)) profile->Release();
    }
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

GUID CProfilesPage::ActiveId() const {
    GUID id{};
    vt::win::ComPtr<IVtProfile> active;
    if (m_manager && SUCCEEDED(m_manager->GetActiveProfile(active.Put())) && active) {
        if (FAILED(active->GetId(&id))) id = GUID{};
    }
    return id;
}

void CProfilesPage::Refresh() {
    ClearEntries();
    if (!m_manager) return;
    HWND list = List();
    const GUID active = ActiveId();
    for (ULONG index = 0;; ++index) {
        IVtProfile* profile = nullptr;
        if (FAILED(m_manager->GetProfileByIndex(index, &profile)) || !profile) break;
        wchar_t number[16];
        swprintf(number, 16, L"%lu", index);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(index);
        item.pszText = number;
        item.lParam = reinterpret_cast<LPARAM>(profile);  // the entry owns this reference
        const int entry = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (entry < 0) {
            profile->Release();
            continue;
        }
        ULONG length = 0;
        WCHAR* name = nullptr;
        if (SUCCEEDED(profile->GetName(&length, &name)) && name) {
            LVITEMW text{};
            text.iSubItem = 0;
            text.pszText = name;
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&text));
        }
        CoTaskMemFree(name);
        GUID id{};
        if (SUCCEEDED(profile->GetId(&id)) && IsEqualGUID(id, active)) ListView_SetCheckState(list, entry, TRUE);
    }
}

void CProfilesPage::TickOnly(int entry) {
    HWND list = List();
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) ListView_SetCheckState(list, i, i == entry);
}

void CProfilesPage::SetActive(int entry) {
    IVtProfile* profile = EntryProfile(entry);
    if (!m_manager || !profile) {
        Refresh();
        return;
    }
    const HRESULT hr = m_manager->SetActiveProfile(profile);
    if (FAILED(hr)) Fail(L"Cannot set the active profile", hr);
    // The ticks show the store's active profile, whatever the call did.
    Refresh();
}

void CProfilesPage::Carry(UINT command, int entry) {
    if (!m_manager) return;
    IVtProfile* profile = EntryProfile(entry);
    switch (command) {
    case ID_PROFILE_NEW: {
        vt::win::ComPtr<IVtProfile> created;
        if (FAILED(m_manager->CreateProfile(created.Put()))) UserDialogs().Message(m_hwnd, L"Cannot add new profile!");
        Refresh();
        break;
    }
    case ID_PROFILE_DELETE:
        if (!profile) break;
        if (FAILED(m_manager->DeleteProfile(profile))) UserDialogs().Message(m_hwnd, L"Cannot delete profile!");
        Refresh();
        break;
    case ID_PROFILE_IMPORT: {
        std::wstring path;
        if (!UserDialogs().ChooseProfileFile(m_hwnd, false, &path)) break;
        vt::win::ComPtr<IVtProfile> imported;
        const HRESULT hr = m_manager->ImportProfile(path.c_str(), imported.Put());
        // The audio manager has no import (not implemented): that answer is no failure to tell.
        if (FAILED(hr) && hr != E_NOTIMPL) Fail(L"Cannot import the profile", hr);
        Refresh();
        break;
    }
    case ID_PROFILE_EXPORT: {
        if (!profile) break;
        std::wstring path;
        if (!UserDialogs().ChooseProfileFile(m_hwnd, true, &path)) break;
        const HRESULT hr = profile->Export(path.c_str());
        if (FAILED(hr)) Fail(L"Cannot export the profile", hr);
        break;
    }
    case ID_PROFILE_SET_ACTIVE:
        SetActive(entry);
        break;
    case ID_PROFILE_RESTORE: {
        if (!profile) break;
        const GUID active = ActiveId();
        vt::win::ComPtr<IVtPersistSettings> settings;
        HRESULT hr = profile->QueryInterface(IID_IVtPersistSettings, settings.PutVoid());
        if (SUCCEEDED(hr)) hr = settings->Save();
        GUID id{};
        if (SUCCEEDED(hr) && SUCCEEDED(profile->GetId(&id)) && IsEqualGUID(id, active)) hr = profile->Apply();
        if (FAILED(hr)) Fail(L"Cannot restore the profile's defaults", hr);
        break;
    }
    default:
        break;
    }
}

void CProfilesPage::EndLabelEdit(const NMLVDISPINFOW* info) {
    // No text: the edit was cancelled.
    if (!info->item.pszText) return;
    IVtProfile* profile = EntryProfile(info->item.iItem);
    if (!profile) return;
    wchar_t current[260] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = current;
    item.cchTextMax = 260;
    SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(info->item.iItem), reinterpret_cast<LPARAM>(&item));
    if (wcscmp(current, info->item.pszText) == 0) return;
    if (FAILED(profile->SetName(info->item.pszText))) {
        UserDialogs().Message(m_hwnd, L"Cannot change profile name");
        return;
    }
    Refresh();
}

bool CProfilesPage::OnNotify(NMHDR* hdr, LRESULT* result) {
    if (hdr->idFrom != IDC_PROFILE_LIST) return false;
    switch (hdr->code) {
    case NM_RCLICK: {
        const auto* click = reinterpret_cast<NMITEMACTIVATE*>(hdr);
        HMENU menu = LoadMenuW(m_sheet.Resources(), MAKEINTRESOURCEW(IDR_PROFILE_MENU));
        if (!menu) return true;
        POINT at{};
        GetCursorPos(&at);
        const UINT command = static_cast<UINT>(TrackPopupMenu(GetSubMenu(menu, 0),
            TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, m_hwnd, nullptr));
        DestroyMenu(menu);
        if (command) Carry(command, click->iItem);
        return true;
    }
    case NM_CLICK: {
        const auto* click = reinterpret_cast<NMITEMACTIVATE*>(hdr);
        if (click->iSubItem != 0) return true;
        LVHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(List(), &hit.pt);
        SendMessageW(List(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
            PostMessageW(m_hwnd, kCheckClicked, static_cast<WPARAM>(hit.iItem), static_cast<LPARAM>(hit.iSubItem));
        return true;
    }
    case NM_DBLCLK: {
        const auto* click = reinterpret_cast<NMITEMACTIVATE*>(hdr);
        if (click->iSubItem == 0 && click->iItem >= 0) {
            SetFocus(List());
            SendMessageW(List(), LVM_EDITLABELW, static_cast<WPARAM>(click->iItem), 0);
        }
        return true;
    }
    case LVN_ENDLABELEDITW:
        EndLabelEdit(reinterpret_cast<NMLVDISPINFOW*>(hdr));
        *result = FALSE;  // the list shows the stored name after the refresh, never the typed one
        return true;
    default:
        return false;
    }
}

bool CProfilesPage::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (msg == kCheckClicked) {
        const int entry = static_cast<int>(wParam);
        if (lParam == 0 && ListView_GetCheckState(List(), entry)) SetActive(entry);
        *result = 0;
        return true;
    }
    if (msg == kRetickActive) {
        const GUID active = ActiveId();
        const int count = static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        int entry = -1;
        for (int i = 0; i < count && entry < 0; ++i) {
            GUID id{};
            IVtProfile* profile = EntryProfile(i);
            if (profile && SUCCEEDED(profile->GetId(&id)) && IsEqualGUID(id, active)) entry = i;
        }
        TickOnly(entry);
        *result = 0;
        return true;
    }
    return false;
}

} // namespace vt::audtest
