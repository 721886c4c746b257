#include "config/pages/ProfilePage.h"
#include "config/Items.h"
#include "skin/Messages.h"
#include "skin/Vocabulary.h"

namespace vt::config {

using namespace vt::skin;

namespace {

struct ProfilePageIds {
    int list, osd, newProfile, import, exportProfile, remove;
};
template <class ConfigT> constexpr ProfilePageIds kIds{};
template <> constexpr ProfilePageIds kIds<IMouseConfig>{ctl::LIST_PROFILELIST, ctl::BUTTON_ENABLE_PROFILE_OSD,
                                                       ctl::BUTTON_NEWPROFILE_MOUSE, ctl::BUTTON_IMPORTPROFILE_MOUSE,
                                                       ctl::BUTTON_EXPORTPROFILE_MOUSE, ctl::BUTTON_DELETEPROFILE_MOUSE};
template <> constexpr ProfilePageIds kIds<IKeyboardConfig>{ctl::LIST_PROFILELIST_KEYBOARD, ctl::BUTTON_ENABLE_PROFILE_OSD_KEYBOARD,
                                                          ctl::BUTTON_NEWPROFILE_KEYBOARD, ctl::BUTTON_IMPORTPROFILE_KEYBOARD,
                                                          ctl::BUTTON_EXPORTPROFILE_KEYBOARD, ctl::BUTTON_DELETEPROFILE_KEYBOARD};

const COLORREF kHighlight = 0x007CD0;   // GOLD_DM_HIGHTLIGHT

template <class P> std::wstring Text(const wchar_t* (P::*get)(), P* p) {
    const wchar_t* s = p ? (p->*get)() : nullptr;
    return s ? s : L"";
}

} // namespace

template <class ConfigT>
CDmItems_MGP<ConfigT>::CDmItems_MGP(PageContext& context)
    : CDmPage(context),
      m_rules(DeviceKind<ConfigT>::Config(context), [&context] { return DeviceKind<ConfigT>::Device(context); },
              context.popups, context.files, *this) {
    m_rules.onChanged = [this] { m_ctx.MarkChanged(); };
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::RefreshDevice() {
    m_ctx.site.RefreshDevicePages(DeviceKind<ConfigT>::kDevice);
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::Initialise() {
    m_rules.SetOwner(m_ctx.Owner());
    m_list = BindItem<CXListCtrl>(*this, kIds<ConfigT>.list, kKindXListCtrl);
    m_options = BindItem<CListPanelItem>(*this, ctl::LISTPANEL_PROFILEOPTIONS, kKindListPanel);
    m_osd = BindButton(*this, kIds<ConfigT>.osd);
    if (m_list) m_list->m_contextMenu = m_options;
    UpdateOsdBox();
    RefreshList();
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::UpdateOsdBox() {
    ConfigT* c = DeviceKind<ConfigT>::Config(m_ctx);
    if (c && c->GetCurrentProfile()) SetChecked(m_osd, c->GetProfileOsdEnabled(nullptr) != 0);
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::Refresh() {
    UpdateOsdBox();
    RefreshList();
}

template <class ConfigT>
int CDmItems_MGP<ConfigT>::SelectedKey() {
    return m_list ? m_list->GetSelectedKey() : -1;
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::RefreshList() {
    CXListCtrl* list = m_list;
    ConfigT* c = DeviceKind<ConfigT>::Config(m_ctx);
    if (!list || !list->Hwnd()) return;
    const int count = c ? c->GetProfileCount() : 0;
    // Every cell is set with the list's drawing held: it paints once, when it is released.
    SendMessageW(list->Hwnd(), WM_SETREDRAW, FALSE, 0);
    for (int row = list->RowCount() - 1; row >= count; --row) SendMessageW(list->Hwnd(), LVM_DELETEITEM, WPARAM(row), 0);
    while (list->RowCount() < count) list->InsertRow(list->RowCount());
    const auto current = c ? c->GetCurrentProfile() : nullptr;
    int currentRow = -1;
    wchar_t number[16];
    for (int i = 0; i < count; ++i) {
        auto* p = c->GetProfileAt(uint32_t(i));
        if (!p) continue;
        swprintf(number, 16, L"%02d", i + 1);
        list->SetItemTextByKey(i, kColProfileId, number);
        list->SetItemTextByKey(i, kColProfileName, Text(&DeviceKind<ConfigT>::Profile::GetName, p).c_str());
        list->SetItemTextByKey(i, kColProfileExe, Text(&DeviceKind<ConfigT>::Profile::GetFileName, p).c_str());
        list->SetItemCheckByKey(i, p->GetProfileFlag() ? 1 : 0);
        list->SetRowColors(list->FindRowByKey(i), list->m_textColour, list->m_backColour, list->m_selTextColour,
                           list->m_selBackColour);
        if (p == current) currentRow = i;
    }
    const int row = currentRow >= 0 ? list->FindRowByKey(currentRow) : 0;
    if (list->RowCount() > 0) {
        SelectRow(row);
        list->SetRowColors(row, kHighlight, list->m_backColour, kHighlight, list->m_selBackColour);
    }
    SendMessageW(list->Hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list->Hwnd(), nullptr, FALSE);
    if (currentRow < 0) UpdateWindow(list->Hwnd());
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::SelectRow(int key) {
    if (!m_list || !m_list->Hwnd()) return;
    const int row = m_list->FindRowByKey(key);
    if (row < 0) return;
    SendMessageW(m_list->Hwnd(), LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_list->Hwnd(), LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::SetNameCell(int key, const std::wstring& text) {
    if (m_list) m_list->SetItemTextByKey(key, kColProfileName, text.c_str());
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::SetProgramCell(int key, const std::wstring& text) {
    if (m_list) m_list->SetItemTextByKey(key, kColProfileExe, text.c_str());
}

template <class ConfigT>
void CDmItems_MGP<ConfigT>::SetAutoSwitchCell(int key, bool on) {
    if (m_list) m_list->SetItemCheckByKey(key, on ? 1 : 0);
}

template <class ConfigT>
bool CDmItems_MGP<ConfigT>::OsdChecked() {
    return IsChecked(m_osd);
}

template <class ConfigT>
bool CDmItems_MGP<ConfigT>::OnItemCommand(CGUIItem& item, WORD) {
    const ProfilePageIds& ids = kIds<ConfigT>;
    const int id = item.m_controlId;
    auto refreshAll = [this](bool changed) { if (changed) RefreshDevice(); };
    if (id == ids.newProfile) refreshAll(m_rules.NewProfile());
    else if (id == ids.import) refreshAll(m_rules.Import());
    else if (id == ids.exportProfile) m_rules.Export();
    else if (id == ids.remove) refreshAll(m_rules.Delete());
    else if (id == ids.osd) m_rules.OsdClicked(IsChecked(m_osd));
    // The rules mark the device changed when the model changed (a cancelled command did not).
    return false;
}

template <class ConfigT>
bool CDmItems_MGP<ConfigT>::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!m_list || HWND(wParam) != m_list->Hwnd()) return false;
    result = 0;
    const auto* rec = reinterpret_cast<const ListNotifyRecord*>(lParam);
    if (msg != WM_XLIST_CELL_CHOICE && msg != WM_XLIST_APP_CHANGED && msg != WM_XLIST_CELL_CLICKED &&
        msg != WM_XLIST_SUBITEM_DBLCLK)
        return false;
    if (!rec || rec->key < 0) return true;
    switch (msg) {
    case WM_XLIST_CELL_CHOICE: {
        const wchar_t* text = reinterpret_cast<const wchar_t*>(rec->value);
        bool result = false;
        const ProfileCommand c = m_rules.MenuChoice(rec->key, text ? text : L"", &result);
        const bool refresh = (c == ProfileCommand::New || c == ProfileCommand::Delete) ? result
                             : c == ProfileCommand::Import || c == ProfileCommand::Rename || c == ProfileCommand::RestoreDefault ||
                               c == ProfileCommand::Copy || c == ProfileCommand::SetActive;
        if (refresh) RefreshDevice();
        break;
    }
    case WM_XLIST_APP_CHANGED:
        m_rules.ProgramChosen(rec->key, reinterpret_cast<const wchar_t*>(rec->value));
        break;
    case WM_XLIST_CELL_CLICKED: {
        const auto* state = reinterpret_cast<const BYTE*>(rec->value);
        m_rules.AutoSwitchClicked(rec->key, state ? *state : 0);
        break;
    }
    case WM_XLIST_SUBITEM_DBLCLK:
        m_rules.SetActive(rec->key);
        RefreshDevice();
        break;
    default: break;
    }
    return true;
}

template class CDmItems_MGP<IMouseConfig>;
template class CDmItems_MGP<IKeyboardConfig>;

} // namespace vt::config
