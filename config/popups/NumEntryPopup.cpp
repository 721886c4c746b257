#include "config/popups/NumEntryPopup.h"
#include <cwctype>
#include "config/Items.h"

namespace vt::config {

int ParseDecimal(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
    }
    return int(negative ? -value : value);
}

INT_PTR NumberEntryPopup::Show(HWND parent) {
    int n = m_number;
    CDmNumEntryPopup popup(parent, m_file.c_str(), n);
    if (popup.DoModal() != 1) return 2;
    m_number = n;
    return 1;
}

CDmNumEntryPopup::CDmNumEntryPopup(HWND parent, const wchar_t* pageFile, int& result)
    : CDmPagePopup(parent, pageFile), m_result(result) {}

void CDmNumEntryPopup::BindItems() {
    m_edit = BindItem<vt::skin::CEditItem>(m_items, ctl::EDITCTRL_POPUP_NUMENTRY, vt::skin::kKindEditItem);
    if (m_edit) m_edit->m_digitsOnly = 1;
}

bool CDmNumEntryPopup::OnInitDialog() {
    CDmPagePopup::OnInitDialog();
    if (m_edit && m_edit->Hwnd()) {
        SetFocus(m_edit->Hwnd());
        return false;
    }
    return true;
}

void CDmNumEntryPopup::OnPopupOk() {
    m_result = 0;
    if (m_edit && m_edit->Hwnd()) m_result = ParseDecimal(m_edit->Text());
    EndDialog(1);
}

} // namespace vt::config
