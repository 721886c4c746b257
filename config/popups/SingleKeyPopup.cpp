#include "config/popups/SingleKeyPopup.h"
#include "config/Items.h"

namespace vt::config {

INT_PTR SingleKeyPopup::Show(HWND parent) {
    vt::skin::KeyEventRecord key = m_key;
    CPopupBoxSingleKeyEntry popup(parent, key);
    if (popup.DoModal() != 1) return 2;
    m_key = key;
    return 1;
}

CPopupBoxSingleKeyEntry::CPopupBoxSingleKeyEntry(HWND parent, vt::skin::KeyEventRecord& key)
    : CDmPagePopup(parent, L"SingleKeyPopup.xml"), m_key(key) {}

void CPopupBoxSingleKeyEntry::BindItems() {
    m_field = BindItem<vt::skin::CEditItemSingleKeyInput>(m_items, ctl::EDITCTRL_POPUP_SINGLEKEYENTRY,
                                                          vt::skin::kKindEditItemSingleKey);
}

bool CPopupBoxSingleKeyEntry::OnInitDialog() {
    CDmPagePopup::OnInitDialog();
    if (!m_field || !m_field->Hwnd()) return true;
    if (m_key.scanCode) {
        m_key.displayName = vt::skin::GetKeyDisplayName(m_key.virtualKey, m_key.scanCode, (m_key.flags & 1) != 0);
        m_field->ShowKey(m_key);
    }
    SetFocus(m_field->Hwnd());
    return false;
}

void CPopupBoxSingleKeyEntry::OnPopupOk() {
    if (!m_field || !m_field->m_key.scanCode) {
        EndDialog(2);
        return;
    }
    m_key.scanCode = m_field->m_key.scanCode;
    m_key.virtualKey = m_field->m_key.virtualKey;
    m_key.flags = m_field->m_key.flags;
    m_key.displayName = m_field->m_key.displayName;
    EndDialog(1);
}

} // namespace vt::config
