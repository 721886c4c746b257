#include "config/pages/KeyboardKeysPage.h"
#include "config/Items.h"
#include "config/pages/AssignRules.h"
#include "skin/KeyboardLayout.h"
#include "skin/Messages.h"
#include "skin/Vocabulary.h"

namespace vt::config {

using namespace vt::skin;

namespace {

// The keys of the default layout, when no layout setting names its own.
constexpr const wchar_t* kDefaultKeysPage = L"KeyboardKeysANSI.xml";

std::wstring CurrentKeysPage() {
    const CKeyboardLayoutSetting* setting = CurrentKeyboardLayoutSetting();
    if (!setting) {
        auto& layouts = GlobalKeyboardLayouts().layouts;
        auto it = layouts.find(kDefaultKeyboardLayoutId);
        setting = it != layouts.end() ? it->second : nullptr;
    }
    return setting && !setting->m_keyItemsPage.empty() ? setting->m_keyItemsPage : kDefaultKeysPage;
}

int32_t KeyIdOf(const CKeyboardKeyItem* key) { return key && key->m_keyDef ? key->m_keyDef->keyId : 0; }

} // namespace

CDmItems_Keyboard_ASK::CDmItems_Keyboard_ASK(PageContext& context)
    : CDmPage(context), m_config(context.keyboard),
      m_rules(context.keyboard, context.popups, context.files, [&context] { return context.devices.KeyboardDevice(); }) {}

CDmItems_Keyboard_ASK::~CDmItems_Keyboard_ASK() { DeleteAllItems(m_keys); }

void CDmItems_Keyboard_ASK::BindPageItems() {
    m_profiles = BindItem<CDropdownListItem>(*this, ctl::BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, kKindDropdownList);
    m_options = BindItem<CListPanelItem>(*this, ctl::LISTPANEL_ASSIGNOPTIONS, kKindListPanel);
    m_keyWindow = BindItem<CBitmapWindow>(*this, ctl::BITMAPWIN_ASSIGNKEY, kKindBitmapWindow);
}

void CDmItems_Keyboard_ASK::Initialise() {
    m_rules.SetOwner(m_ctx.Owner());
    BindPageItems();
    if (m_keyWindow) m_keyWindow->SetCaptionBar(true);
    // The keyboard's layout is known by now (it is read when the devices are opened).
    LoadKeys();
    FillProfileList();
    FillOptions();
    ClearSelection();
    MarkKeys();
}

void CDmItems_Keyboard_ASK::LoadKeys() {
    const std::wstring page = CurrentKeysPage();
    if (page == m_keysPage && !m_keys.m_items.empty()) return;
    m_selected = m_hovered = nullptr;
    DeleteAllItems(m_keys);
    m_keysPage = page;
    // A page that cannot be read is reported with the other unusable files; the page then works
    // without keys.
    if (!vt::skin::LoadSkinPage(m_keys, page.c_str(), m_ctx.Owner())) {
        DeleteAllItems(m_keys);
        return;
    }
    AssignWindowIds(m_keys);
    ShowAll(m_keys, m_shown);
}

void CDmItems_Keyboard_ASK::FollowKeyboardLayout() {
    ULONG value = 0;
    if (!m_ctx.devices.QueryKeyboardLayout(&value)) return;
    const int32_t id = FindKeyboardLayoutControlId(int32_t(value));
    const CKeyboardLayoutSetting* current = CurrentKeyboardLayoutSetting();
    if (current && current->m_controlId == id) return;
    if (current && id < 0 && current->m_controlId == kDefaultKeyboardLayoutId) return;
    vt::skin::LoadKeyboardLayout(id);
}

void CDmItems_Keyboard_ASK::Refresh() {
    FollowKeyboardLayout();
    LoadKeys();
    // The options follow the current profile: a keyboard that came after start has one only now.
    FillOptions();
    ClearSelection();
    FillProfileList();
    MarkKeys();
}

void CDmItems_Keyboard_ASK::Show(bool show) {
    CDmPage::Show(show);
    ShowAll(m_keys, show);
}

CKeyboardKeyItem* CDmItems_Keyboard_ASK::Key(int controlId) const {
    return BindItem<CKeyboardKeyItem>(m_keys, controlId, kKindKeyboardKey);
}

void CDmItems_Keyboard_ASK::FillProfileList() {
    if (!m_profiles || !m_config) return;
    m_profiles->ClearEntries();
    IKeyboardProfile* current = m_config->GetCurrentProfile();
    int selected = 0;
    for (int i = 0; i < m_config->GetProfileCount(); ++i) {
        IKeyboardProfile* p = m_config->GetProfileAt(uint32_t(i));
        if (!p) continue;
        m_profiles->AddEntry(p->GetName());
        if (p == current) selected = int(m_profiles->m_entries.size()) - 1;
    }
    if (!m_profiles->m_entries.empty()) m_profiles->SelectEntry(selected);
    if (m_profiles->Hwnd()) InvalidateRect(m_profiles->Hwnd(), nullptr, FALSE);
}

void CDmItems_Keyboard_ASK::ProfileChosen(int index) {
    if (m_config && index >= 0) {
        if (IKeyboardProfile* p = m_config->GetProfileAt(uint32_t(index))) {
            m_config->SetCurrentProfile(p);
            if (m_profiles) m_profiles->SelectEntry(index);
        }
    }
    MarkKeys();
    if (m_hovered && !m_selected) ShowAssignment(m_hovered);
}

void CDmItems_Keyboard_ASK::FillOptions() {
    if (!m_options) return;
    const std::vector<KeyOption> options = KeyOptions(m_config, m_selected != nullptr);
    m_actions.clear();
    std::vector<EntryRecord> entries;
    for (const KeyOption& o : options) {
        m_actions.push_back(o.action);
        EntryRecord e = MakeEntryRecord(o.name.c_str(), 0, o.help.c_str());
        e.extra = o.enabled ? 0 : 1;
        entries.push_back(std::move(e));
    }
    m_options->RefreshList(entries);
}

void CDmItems_Keyboard_ASK::GreyOptions(bool all) {
    if (!m_options) return;
    const std::vector<KeyOption> options = KeyOptions(m_config, !all);
    for (size_t i = 0; i < m_options->m_entries.size() && i < options.size(); ++i)
        m_options->m_entries[i].extra = options[i].enabled ? 0 : 1;
    if (m_options->m_inline && m_options->m_inline->Hwnd()) InvalidateRect(m_options->m_inline->Hwnd(), nullptr, FALSE);
}

void CDmItems_Keyboard_ASK::ClearOptionTip() {
    if (m_options && m_options->m_inline) m_options->m_inline->SetListToolTip(L"", false);
}

void CDmItems_Keyboard_ASK::SetHighlight(CKeyboardKeyItem* key, bool on) {
    if (!key || key->m_highlight == (on ? 1 : 0)) return;
    key->m_highlight = on ? 1 : 0;
    if (key->Hwnd()) InvalidateRect(key->Hwnd(), nullptr, FALSE);
}

void CDmItems_Keyboard_ASK::ClearSelection() {
    SetHighlight(m_selected, false);
    m_selected = nullptr;
    if (m_options) m_options->SelectEntry(-1);
    GreyOptions(true);
    if (m_keyWindow) {
        m_keyWindow->SetSelected(false);
        m_keyWindow->SetItemText(L"");
        m_keyWindow->SetPicture(nullptr);
    }
}

void CDmItems_Keyboard_ASK::MarkKeys() {
    if (!m_config || !m_config->GetCurrentProfile()) return;
    for (CGUIItem* item : m_keys.m_items) {
        if (item->m_kind != kKindKeyboardKey) continue;
        auto* key = static_cast<CKeyboardKeyItem*>(item);
        if (!key->m_keyDef) continue;
        if (key == m_selected) {
            SetHighlight(key, true);
            continue;
        }
        SetHighlight(key, false);
        const bool marked = IsKeyMarked(m_config, KeyIdOf(key));
        if ((key->Checked() != 0) != marked) SetChecked(key, marked);
    }
}

void CDmItems_Keyboard_ASK::ShowAssignment(CKeyboardKeyItem* key) {
    if (!m_keyWindow || !key) return;
    const std::wstring text = ShownKeyAssignment(m_config, KeyIdOf(key), key->m_label);
    if (text.empty()) return;
    m_keyWindow->SetItemText(text.c_str());
    m_keyWindow->SetPicture(key->m_info.normal ? &key->m_info : nullptr);
}

void CDmItems_Keyboard_ASK::KeyHover(int controlId) {
    CKeyboardKeyItem* key = Key(controlId);
    const bool changed = key != m_hovered;
    m_hovered = key;
    if (!key) return;
    if (!m_selected && changed) ClearOptionTip();
    // While a key is selected the key window keeps showing it.
    if (!m_selected) ShowAssignment(key);
}

void CDmItems_Keyboard_ASK::KeyPressed(int controlId) {
    CKeyboardKeyItem* key = Key(controlId);
    if (m_selected) {
        if (key == m_selected || !key) {
            ClearSelection();
            ClearOptionTip();
        } else {
            SetHighlight(m_selected, false);
            m_selected = key;
            SetHighlight(key, true);
            if (m_keyWindow) {
                m_keyWindow->SetSelected(false);
                ShowAssignment(key);
                m_keyWindow->SetSelected(true);
            }
        }
    } else if (key) {
        m_selected = key;
        if (m_keyWindow) {
            ShowAssignment(key);
            m_keyWindow->SetSelected(true);
        }
        SetHighlight(key, true);
        GreyOptions(false);
    }
    MarkKeys();
}

bool CDmItems_Keyboard_ASK::OptionChosen(int index) {
    if (index < 0 || size_t(index) >= m_actions.size() || !m_selected || !m_config) return false;
    const int32_t keyId = KeyIdOf(m_selected);
    if (!keyId) return false;
    const AssignmentRecord before = KeyAssignment(m_config, keyId);
    const bool written = m_rules.Assign(keyId, m_actions[size_t(index)]);
    const bool changed = written && !AssignmentsEqual(before, KeyAssignment(m_config, keyId));
    if (written) ClearSelection();
    if (m_options) m_options->SelectEntry(-1);
    ClearOptionTip();
    MarkKeys();
    if (!m_selected) GreyOptions(true);
    return changed;
}

bool CDmItems_Keyboard_ASK::RestoreAll() {
    if (!m_rules.RestoreAll()) return false;
    // The lighting went back to its defaults too: every page of the keyboard follows.
    m_ctx.site.RefreshDevicePages(kKeyboard);
    Refresh();
    return true;
}

bool CDmItems_Keyboard_ASK::OnItemCommand(CGUIItem& item, WORD) {
    if (item.m_controlId == ctl::BUTTON_RESET_KEYBOARD_KEYS) return RestoreAll();
    return false;
}

bool CDmItems_Keyboard_ASK::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_KEY_ITEM_HOVER:
        KeyHover(int(lParam));
        return true;
    case WM_KEY_ITEM_PRESSED:
        KeyPressed(int(lParam));
        return true;
    case WM_NCMOUSEMOVE:
        // The pointer left the page for the window's frame.
        if (!m_selected && m_keyWindow) {
            m_keyWindow->SetItemText(L"");
            m_keyWindow->SetPicture(nullptr);
        }
        m_hovered = nullptr;
        ClearOptionTip();
        return false;
    case WM_NCLBUTTONDOWN:
        if (m_selected) KeyPressed(m_selected->m_controlId);
        return false;
    case WM_LISTPANEL_SELCHANGE:
        if (int(lParam) != ctl::LISTPANEL_ASSIGNOPTIONS) return false;
        if (OptionChosen(int(wParam))) m_ctx.MarkChanged();
        RepaintAll(m_ctx.Owner());
        return true;
    case WM_DROPDOWN_SELCHANGE: {
        CGUIItem* item = FindItemByWindow(*this, reinterpret_cast<HWND>(lParam));
        if (!item || item->m_controlId != ctl::BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT) return false;
        ProfileChosen(int(wParam));
        m_ctx.MarkChanged();
        RepaintAll(m_ctx.Owner());
        return true;
    }
    default:
        return false;
    }
}

} // namespace vt::config
