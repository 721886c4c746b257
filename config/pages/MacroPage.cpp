#include "config/pages/MacroPage.h"
#include "config/Items.h"
#include "skin/ItemText.h"
#include "skin/Messages.h"

namespace vt::config {

using namespace vt::skin;

namespace {

struct MacroPageIds {
    int list, display, keyMenu, delayMenu, mouseMenu, create, import, exportMacro, remove, record, advanced, ignore,
        insertDefault, ignoreText, insertDefaultText, delay;
};
template <class ConfigT> constexpr MacroPageIds kIds{};
template <> constexpr MacroPageIds kIds<IMouseConfig>{
    ctl::LIST_GLOBALMACROLIST, ctl::MACRO_DISPLAY, ctl::LISTPANEL_MACROOPTIONS_KEYSTROKE, ctl::LISTPANEL_MACROOPTIONS_DELAY,
    ctl::LISTPANEL_MACROOPTIONS_MOUSECLICK, ctl::BUTTON_MACRO_CREATE, ctl::BUTTON_MACRO_IMPORT, ctl::BUTTON_MACRO_EXPORT,
    ctl::BUTTON_MACRO_DELETE, ctl::BUTTON_MACRO_RECORD, ctl::BUTTON_MACRO_ADVANCED, ctl::BUTTON_IGNORE_DELAY,
    ctl::BUTTON_INSERTDEFAULT_DELAY, ctl::TEXT_IGNORE_DELAY, ctl::TEXT_INSERTDEFAULT_DELAY, ctl::EDITCTRL_DEFAULT_DELAY};
template <> constexpr MacroPageIds kIds<IKeyboardConfig>{
    ctl::LIST_GLOBALMACROLIST_KEYBOARD, ctl::MACRO_DISPLAY_KEYBOARD, ctl::LISTPANEL_MACROOPTIONS_KEYBOARD_KEYSTROKE,
    ctl::LISTPANEL_MACROOPTIONS_KEYBOARD_DELAY, ctl::LISTPANEL_MACROOPTIONS_KEYBOARD_MOUSECLICK,
    ctl::BUTTON_MACRO_CREATE_KEYBOARD, ctl::BUTTON_MACRO_IMPORT_KEYBOARD, ctl::BUTTON_MACRO_EXPORT_KEYBOARD,
    ctl::BUTTON_MACRO_DELETE_KEYBOARD, ctl::BUTTON_MACRO_RECORD_KEYBOARD, ctl::BUTTON_MACRO_ADVANCED_KEYBOARD,
    ctl::BUTTON_IGNORE_DELAY_KEYBOARD, ctl::BUTTON_INSERTDEFAULT_DELAY_KEYBOARD, ctl::TEXT_IGNORE_DELAY_KEYBOARD,
    ctl::TEXT_INSERTDEFAULT_DELAY_KEYBOARD, ctl::EDITCTRL_DEFAULT_DELAY_KEYBOARD};

} // namespace

template <class ConfigT>
CDmItems_MGM<ConfigT>::CDmItems_MGM(PageContext& context)
    : CDmPage(context),
      m_rules(DeviceKind<ConfigT>::Config(context), [&context] { return DeviceKind<ConfigT>::Device(context); },
              context.popups, context.files, *this) {
    m_rules.onChanged = [this] { m_ctx.MarkChanged(); };
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::Leave() {
    // Another page is shown (a device left): a recording stops and keeps what it caught.
    if (IsRecording()) m_rules.RecordOrStop();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::Initialise() {
    m_rules.SetOwner(m_ctx.Owner());
    const MacroPageIds& ids = kIds<ConfigT>;
    m_list = BindItem<CDropdownListItem>(*this, ids.list, kKindDropdownList);
    m_display = BindItem<CMacroDisplayItem>(*this, ids.display, kKindMacroDisplay);
    m_keyMenu = BindItem<CListPanelItem>(*this, ids.keyMenu, kKindListPanel);
    m_delayMenu = BindItem<CListPanelItem>(*this, ids.delayMenu, kKindListPanel);
    m_mouseMenu = BindItem<CListPanelItem>(*this, ids.mouseMenu, kKindListPanel);
    m_create = BindButton(*this, ids.create);
    m_import = BindButton(*this, ids.import);
    m_export = BindButton(*this, ids.exportMacro);
    m_delete = BindButton(*this, ids.remove);
    m_record = BindButton(*this, ids.record);
    m_advanced = BindButton(*this, ids.advanced);
    m_ignore = BindButton(*this, ids.ignore);
    m_insertDefault = BindButton(*this, ids.insertDefault);
    m_ignoreText = BindItem(*this, ids.ignoreText, kKindTextItem);
    m_insertDefaultText = BindItem(*this, ids.insertDefaultText, kKindTextItem);
    m_delay = BindItem<CEditItem>(*this, ids.delay, kKindEditItem);
    if (m_display) {
        m_display->m_keyMenu = m_keyMenu;
        m_display->m_delayMenu = m_delayMenu;
        m_display->m_mouseMenu = m_mouseMenu;
    }
    IgnoreDelayClicked();
    InsertDefaultDelayClicked();
    SetDelayText(std::to_wstring(kDefaultDelayMs));
    EnableItem(m_delay, false);
    EnableRecordAndAdvanced(false);
    m_rules.FillList();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::Refresh() {
    if (IsRecording()) return;
    m_rules.FillList();
    if (m_rules.Selected()) m_rules.MacroChosen();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::RepaintList() {
    if (m_list && m_list->Hwnd()) InvalidateRect(m_list->Hwnd(), nullptr, TRUE);
}

template <class ConfigT>
std::wstring CDmItems_MGM<ConfigT>::CurrentName() {
    return m_list ? m_list->m_current : std::wstring();
}

template <class ConfigT>
int CDmItems_MGM<ConfigT>::SelectedIndex() {
    return m_list ? m_list->GetSelectedIndex() : -1;
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::FillNames(const std::vector<std::wstring>& names) {
    if (!m_list) return;
    m_list->ClearEntries();
    for (const std::wstring& n : names) m_list->AddEntry(n.c_str());
    RepaintList();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::SelectEntry(int index) {
    if (!m_list) return;
    m_list->SelectEntry(index);
    RepaintList();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::ShowNoMacro() {
    if (m_list) {
        m_list->ClearEntries();
        m_list->m_current.clear();
        RepaintList();
    }
    if (m_display) m_display->ClearEvents();
    EnableRecordAndAdvanced(false);
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::LoadEvents(const std::vector<MacroEvent>& events) {
    if (!m_display) return;
    // The display already shows these very events (the page came back to the same macro): its
    // rows stand as they are, selection included.
    if (m_display->RowCount() == int(events.size()) && MacroEventsEqual(m_display->Events(), events)) return;
    m_display->LoadEvents(&events);
}

template <class ConfigT>
std::vector<MacroEvent> CDmItems_MGM<ConfigT>::Events() {
    return m_display ? m_display->Events() : std::vector<MacroEvent>();
}

template <class ConfigT>
int CDmItems_MGM<ConfigT>::FirstSelectedRow() {
    return m_display ? m_display->FirstSelected() : -1;
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::ReplaceEvent(int row, const MacroEvent& event) {
    if (m_display) m_display->ReplaceEventAt(row, event);
}

template <class ConfigT>
bool CDmItems_MGM<ConfigT>::IsRecording() {
    return m_display && m_display->IsRecording();
}

template <class ConfigT>
bool CDmItems_MGM<ConfigT>::ToggleRecording() {
    return m_display && m_display->ToggleRecording();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::ShowRecording(bool recording) {
    if (m_list) {
        m_list->m_disabled = recording ? 1 : 0;
        RepaintList();
    }
    if (m_record) {
        m_record->SetItemText(recording ? L"$Stop" : L"$Record", kCaseAsWritten);
        if (m_record->Hwnd()) InvalidateRect(m_record->Hwnd(), nullptr, FALSE);
    }
    if (m_display) {
        m_display->m_captureWindow = recording && m_record ? m_record->Hwnd() : nullptr;
        if (recording) {
            m_display->ClearEvents();
            if (m_display->Hwnd()) SetFocus(m_display->Hwnd());
        }
    }
    for (CGUIItem* item : {static_cast<CGUIItem*>(m_create), static_cast<CGUIItem*>(m_import), static_cast<CGUIItem*>(m_export),
                           static_cast<CGUIItem*>(m_delete), static_cast<CGUIItem*>(m_advanced),
                           static_cast<CGUIItem*>(m_ignore), static_cast<CGUIItem*>(m_insertDefault), m_ignoreText,
                           m_insertDefaultText, static_cast<CGUIItem*>(m_delay)})
        EnableItem(item, !recording);
    // The fixed delay's edit is live only while its option is on.
    if (!recording) EnableItem(m_delay, IsChecked(m_insertDefault));
    m_ctx.site.SetControlsEnabled(!recording);
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::EnableRecordAndAdvanced(bool on) {
    EnableItem(m_record, on);
    EnableItem(m_advanced, on);
}

template <class ConfigT>
bool CDmItems_MGM<ConfigT>::InsertDefaultDelayChecked() {
    return IsChecked(m_insertDefault);
}

template <class ConfigT>
std::wstring CDmItems_MGM<ConfigT>::DelayText() {
    return m_delay && m_delay->Hwnd() ? m_delay->Text() : std::wstring();
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::SetDelayText(const std::wstring& text) {
    if (m_delay && m_delay->Hwnd()) SetWindowTextW(m_delay->Hwnd(), text.c_str());
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::SetDefaultDelay(int milliseconds) {
    if (m_display) m_display->m_fixedDelay = milliseconds;
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::IgnoreDelayClicked() {
    const bool on = IsChecked(m_ignore);
    if (m_display) m_display->m_noDelays = on ? 1 : 0;
    if (on && IsChecked(m_insertDefault)) {
        SetChecked(m_insertDefault, false);
        if (m_display) m_display->m_fixedDelayOn = 0;
        EnableItem(m_delay, false);
    }
}

template <class ConfigT>
void CDmItems_MGM<ConfigT>::InsertDefaultDelayClicked() {
    const bool on = IsChecked(m_insertDefault);
    if (m_display) m_display->m_fixedDelayOn = on ? 1 : 0;
    EnableItem(m_delay, on);
    if (on && IsChecked(m_ignore)) {
        SetChecked(m_ignore, false);
        if (m_display) m_display->m_noDelays = 0;
    }
}

template <class ConfigT>
bool CDmItems_MGM<ConfigT>::OnItemCommand(CGUIItem& item, WORD) {
    const MacroPageIds& ids = kIds<ConfigT>;
    const int id = item.m_controlId;
    if (id == ids.create) m_rules.NewMacro();
    else if (id == ids.import) m_rules.Import();
    else if (id == ids.exportMacro) m_rules.Export();
    else if (id == ids.remove) m_rules.Delete();
    else if (id == ids.record) m_rules.RecordOrStop();
    else if (id == ids.advanced) m_rules.InsertPredefined();
    else if (id == ids.ignore) IgnoreDelayClicked();
    else if (id == ids.insertDefault) InsertDefaultDelayClicked();
    // The rules mark the device changed when the model changed.
    return false;
}

template <class ConfigT>
bool CDmItems_MGM<ConfigT>::OnMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    const MacroPageIds& ids = kIds<ConfigT>;
    result = 0;
    switch (msg) {
    case WM_DROPDOWN_SELCHANGE:
        if (!m_list || HWND(lParam) != m_list->Hwnd()) return false;
        m_rules.MacroChosen();
        return true;
    case WM_EDIT_ITEM_CHANGED:
        if (!m_delay || HWND(lParam) != m_delay->Hwnd()) return false;
        // Only a finished entry is checked: an edit emptied on the way to a new value is not wrong yet.
        if (!DelayText().empty()) m_rules.DefaultDelayEdited();
        return true;
    case WM_MACRO_EVENTS_CHANGED:
        if (int(lParam) != ids.display) return false;
        m_rules.EventsChanged();
        return true;
    case WM_MACRO_EDIT_KEY:
        if (int(lParam) != ids.display) return false;
        m_rules.EditKeyEvent();
        return true;
    default: return false;
    }
}

template class CDmItems_MGM<IMouseConfig>;
template class CDmItems_MGM<IKeyboardConfig>;

} // namespace vt::config
