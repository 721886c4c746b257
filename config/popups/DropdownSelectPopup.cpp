#include "config/popups/DropdownSelectPopup.h"
#include "config/Items.h"

namespace vt::config {

INT_PTR SelectPopup::Show(HWND parent) {
    std::wstring chosen = m_chosen;
    CDmDropdownSelectPopup popup(parent, m_file.c_str(), m_choices, chosen);
    if (popup.DoModal() != 1) return 2;
    m_chosen = chosen;
    return 1;
}

CDmDropdownSelectPopup::CDmDropdownSelectPopup(HWND parent, const wchar_t* pageFile,
                                               const std::vector<std::wstring>& choices, std::wstring& chosen)
    : CDmPagePopup(parent, pageFile), m_choices(choices), m_chosen(chosen) {}

void CDmDropdownSelectPopup::BindItems() {
    m_list = BindItem<vt::skin::CDropdownListItem>(m_items, ctl::LIST_DROPDOWN_POPUP, vt::skin::kKindDropdownList);
    if (!m_list) return;
    m_list->ClearEntries();
    for (const std::wstring& c : m_choices) m_list->AddEntry(c.c_str());
    if (!m_choices.empty()) m_list->SelectEntry(0);
}

void CDmDropdownSelectPopup::OnPopupOk() {
    if (m_list) {
        const int index = m_list->GetSelectedIndex();
        if (index >= 0) m_chosen = m_list->GetEntryText(index);
    }
    EndDialog(1);
}

} // namespace vt::config
