#include "config/popups/PredefinedMacroPopup.h"
#include <vector>
#include "config/Items.h"
#include "skin/Messages.h"

namespace vt::config {

using vt::skin::CDropdownListItem;

INT_PTR PredefinedMacroPopup::Show(HWND parent) {
    CDmPredefinedMacroPopup popup(parent);
    if (popup.DoModal() != 1) return 2;
    m_chosen = popup.ChosenName();
    return 1;
}

CPredefinedMacroPopup::CPredefinedMacroPopup(HWND parent, const CPredefinedMacroList& list)
    : CDmPagePopup(parent, L"AdvancedMacroPopup.xml", kPredefinedTemplateId), m_list(list) {}

void CPredefinedMacroPopup::BindItems() {
    m_basic = BindItem<CDropdownListItem>(m_items, ctl::LIST_GLOBAL_BASIC_COMMANDS, vt::skin::kKindDropdownList);
    m_additional = BindItem<CDropdownListItem>(m_items, ctl::LIST_GLOBAL_ADDITIONAL_COMMANDS, vt::skin::kKindDropdownList);
}

void CPredefinedMacroPopup::Fill(CDropdownListItem* list) {
    if (!list) return;
    std::vector<std::wstring> names;
    if (list == m_basic) m_list.ListPredefinedMacros(names);
    else m_list.ListPredefinedMacros2(names);
    list->ClearEntries();
    for (const std::wstring& n : names) list->AddEntry(n.c_str());
}

bool CPredefinedMacroPopup::Take(CDropdownListItem* list) {
    // One notion of the choice: the entry the drop-down shows now.
    const int index = list ? list->GetSelectedIndex() : -1;
    if (index < 0) return true;
    m_chosen = list->GetEntryText(index);
    EndDialog(1);
    return true;
}

bool CPredefinedMacroPopup::OnItem(int controlId) {
    if (controlId == ctl::BUTTON_ADD_BASIC_MACRO_CMDS) return Take(m_basic);
    if (controlId == ctl::BUTTON_ADD_ADV_MACRO_CMDS) return Take(m_additional);
    return false;
}

LRESULT CPredefinedMacroPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == vt::skin::WM_DROPDOWN_OPENING) {
        CGUIItem* item = vt::skin::FindItemByWindow(m_items, reinterpret_cast<HWND>(lParam));
        if (item && (item == m_basic || item == m_additional)) Fill(static_cast<CDropdownListItem*>(item));
        return 0;
    }
    return CDmPagePopup::WindowProc(msg, wParam, lParam);
}

} // namespace vt::config
