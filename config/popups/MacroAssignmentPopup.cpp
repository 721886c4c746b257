#include "config/popups/MacroAssignmentPopup.h"
#include "config/Items.h"

namespace vt::config {

namespace {
// Play buttons in the order of m_play, with their modes.
constexpr int kPlayIds[4] = {ctl::BUTTON_MACRO_PLAY_ONCE, ctl::BUTTON_MACRO_PLAY_MULTIPLE,
                             ctl::BUTTON_MACRO_PLAY_WHILEPRESSED, ctl::BUTTON_MACRO_PLAY_UNTILPRESSED};
constexpr unsigned kPlayModes[4] = {1, 2, 4, 3};
} // namespace

INT_PTR MacroAssignmentPopup::Show(HWND parent) {
    unsigned mode = m_mode;
    std::wstring chosen = m_chosen;
    CDmMacroAssignmentPopup popup(parent, mode, m_names, chosen);
    if (popup.DoModal() != 1) return 2;
    m_mode = mode;
    m_chosen = chosen;
    return 1;
}

CDmMacroAssignmentPopup::CDmMacroAssignmentPopup(HWND parent, unsigned& mode, const std::vector<std::wstring>& names,
                                                 std::wstring& chosen)
    : CDmPagePopup(parent, L"SelectMacroPopup.xml"), m_mode(mode), m_names(names), m_chosen(chosen) {
    if (m_mode < 1 || m_mode > 4) m_mode = 1;
}

unsigned CDmMacroAssignmentPopup::ModeOf(int controlId) {
    for (int i = 0; i < 4; ++i)
        if (kPlayIds[i] == controlId) return kPlayModes[i];
    return 0;
}

void CDmMacroAssignmentPopup::BindItems() {
    m_list = BindItem<vt::skin::CDropdownListItem>(m_items, ctl::LIST_DROPDOWN_POPUP, vt::skin::kKindDropdownList);
    if (m_list) {
        m_list->ClearEntries();
        int selected = 0;
        for (size_t i = 0; i < m_names.size(); ++i) {
            m_list->AddEntry(m_names[i].c_str());
            if (m_names[i] == m_chosen) selected = int(i);   // the last exact match
        }
        if (!m_names.empty()) m_list->SelectEntry(selected);
    }
    for (int i = 0; i < 4; ++i) {
        m_play[i] = BindButton(m_items, kPlayIds[i]);
        if (m_play[i]) {
            m_play[i]->SetToggleOnClick(true);
            m_play[i]->SetChecked(0);
        }
    }
    SelectMode(m_mode);
}

void CDmMacroAssignmentPopup::SelectMode(unsigned mode) {
    for (int i = 0; i < 4; ++i) SetChecked(m_play[i], kPlayModes[i] == mode);
}

bool CDmMacroAssignmentPopup::OnItem(int controlId) {
    const unsigned mode = ModeOf(controlId);
    if (!mode) return false;
    for (int i = 0; i < 4; ++i)
        if (kPlayIds[i] == controlId && IsChecked(m_play[i])) m_mode = mode;
    // A click on the selected button leaves it selected: one of the four always is.
    SelectMode(m_mode);
    return true;
}

void CDmMacroAssignmentPopup::OnPopupOk() {
    if (m_list) {
        const int index = m_list->GetSelectedIndex();
        if (index >= 0) m_chosen = m_list->GetEntryText(index);
    }
    bool any = false;
    for (vt::skin::CBitmapBtn* b : m_play) any = any || IsChecked(b);
    if (!any) m_mode = 1;
    EndDialog(1);
}

} // namespace vt::config
