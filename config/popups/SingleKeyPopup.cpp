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

SingleKeyResult CaptureSingleKey(IPopupHost& popups, HWND owner, ::IKeyboardDevice* keyboard) {
    SingleKeyResult result;
    SingleKeyPopup popup;
    if (keyboard) keyboard->SelectMode2();
    const INT_PTR answer = popups.Run(owner, popup);
    if (keyboard) keyboard->SelectMode1();
    if (answer != 1) return result;
    const vt::skin::KeyEventRecord& key = popup.Key();
    result.text = key.displayName;
    result.scan = key.scanCode;
    result.vk = key.virtualKey;
    result.extended = key.flags & 1;
    return result;
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
        m_field->m_key = m_key;
        m_field->ShowKey(m_key);
    }
    if (!m_escOrReturn) SetFocus(m_field->Hwnd());
    return false;
}

bool CPopupBoxSingleKeyEntry::PreTranslateMessage(MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        m_escOrReturn = msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN;
        break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        m_escOrReturn = false;
        break;
    default:
        break;
    }
    // Every key message of the field is the field's: the dialog manager never sees Escape, Return
    // or Tab typed into it.
    if (m_field && msg.hwnd == m_field->Hwnd() && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        DispatchMessageW(&msg);
        return true;
    }
    return false;
}

bool CPopupBoxSingleKeyEntry::OnCommand(WORD id, WORD code, HWND control) {
    CGUIItem* item = control ? vt::skin::FindItemByWindow(m_items, control) : nullptr;
    const int cid = item ? item->m_controlId : -1;
    // The dialog manager's OK and Cancel (Return and Escape outside the field) are taken only when
    // they did not come from those keys.
    if (!control && id == IDOK) {
        OnPopupOk();
        return true;
    }
    if (cid == ctl::BUTTON_POPUP_CANCEL || (!control && id == IDCANCEL)) {
        Cancel();
        return true;
    }
    return CDmPagePopup::OnCommand(id, code, control);
}

void CPopupBoxSingleKeyEntry::OnPopupOk() {
    m_key.displayName.clear();
    const int n = m_field && m_field->Hwnd() ? GetWindowTextLengthW(m_field->Hwnd()) : 0;
    if (n > 0) {
        m_key.displayName = m_field->Text();
        m_key.scanCode = m_field->m_key.scanCode;
        m_key.virtualKey = m_field->m_key.virtualKey;
        m_key.flags = m_field->m_key.flags;
    }
    if (n > 0 && !m_escOrReturn) EndDialog(1);
}

void CPopupBoxSingleKeyEntry::Cancel() {
    if (m_escOrReturn) return;
    m_key.displayName.clear();
    EndDialog(2);
}

} // namespace vt::config
