#include "config/popups/NameEntryPopup.h"
#include "config/Items.h"

namespace vt::config {

INT_PTR NameEntryPopup::Show(HWND parent) {
    std::wstring name = m_name;
    CDmNameEntryPopup popup(parent, m_file.c_str(), name, m_hasAppended ? m_appended.c_str() : nullptr);
    if (popup.DoModal() != 1) return 2;
    m_name = name;
    return 1;
}

CDmNameEntryPopup::CDmNameEntryPopup(HWND parent, const wchar_t* pageFile, std::wstring& result)
    : CDmPagePopup(parent, pageFile), m_result(result) {}

CDmNameEntryPopup::CDmNameEntryPopup(HWND parent, std::wstring& result, const wchar_t* appended)
    : CDmNameEntryPopup(parent, L"ProfileRenamePopup.xml", result, appended) {}

CDmNameEntryPopup::CDmNameEntryPopup(HWND parent, const wchar_t* pageFile, std::wstring& result, const wchar_t* appended)
    : CDmPagePopup(parent, pageFile), m_result(result), m_appended(appended ? appended : L""),
      m_hasAppended(appended != nullptr) {}

void CDmNameEntryPopup::BindItems() {
    m_edit = BindItem<vt::skin::CEditItem>(m_items, ctl::EDITCTRL_POPUP_NAMEENTRY, vt::skin::kKindEditItem);
    m_heading = BindItem(m_items, ctl::TEXT_WARNDLG_HEADING, vt::skin::kKindTextItem);
    if (m_heading && m_hasAppended) SetItemText(m_heading, GetItemText(m_heading) + m_appended);
}

bool CDmNameEntryPopup::OnInitDialog() {
    CDmPagePopup::OnInitDialog();
    if (m_edit && m_edit->Hwnd()) {
        SendMessageW(m_edit->Hwnd(), EM_LIMITTEXT, kNameEntryLimit, 0);
        SetFocus(m_edit->Hwnd());
        return false;
    }
    return true;
}

void CDmNameEntryPopup::OnPopupOk() {
    m_result.clear();
    if (m_edit && m_edit->Hwnd()) {
        std::wstring text = m_edit->Text();
        const size_t nul = text.find(L'\0');
        if (nul != std::wstring::npos) text.resize(nul);
        m_result = text;
    }
    EndDialog(1);
}

} // namespace vt::config
