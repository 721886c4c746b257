#include "config/popups/WarningPopup.h"
#include "config/Items.h"

namespace vt::config {

INT_PTR WarningPopup::Show(HWND parent) {
    CDmWarningDlg dlg(parent, m_file.c_str(), m_hasAppended ? m_appended.c_str() : nullptr);
    if (!m_message.empty()) dlg.SetMessageText(m_message.c_str());
    return dlg.DoModal() == 1 ? 1 : 2;
}

CDmWarningDlg::CDmWarningDlg(HWND parent, const wchar_t* pageFile, const wchar_t* appendedText)
    : CPopupBox(pageFile ? pageFile : L"", vt::skin::kPopupTemplateId, parent),
      m_appended(appendedText ? appendedText : L""), m_hasAppended(appendedText != nullptr) {}

void CDmWarningDlg::BindItems() {
    m_heading = BindItem(m_items, ctl::TEXT_WARNDLG_HEADING, vt::skin::kKindTextItem);
    if (m_heading && m_hasAppended) SetItemText(m_heading, GetItemText(m_heading) + m_appended);
}

bool CDmWarningDlg::OnInitDialog() {
    const bool focus = CPopupBox::OnInitDialog();
    AssignWindowIds(m_items);
    if (m_heading && !m_message.empty()) SetItemText(m_heading, m_message);
    // Centred on the owner (or the screen).
    RECT rc, owner;
    GetWindowRect(m_hWnd, &rc);
    HWND parent = GetWindow(m_hWnd, GW_OWNER);
    if (!parent || !GetWindowRect(parent, &owner)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SetWindowPos(m_hWnd, nullptr, owner.left + (owner.right - owner.left - w) / 2,
                 owner.top + (owner.bottom - owner.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return focus;
}

bool CDmWarningDlg::OnCommand(WORD id, WORD code, HWND control) {
    CGUIItem* item = control ? vt::skin::FindItemByWindow(m_items, control) : nullptr;
    const int cid = item ? item->m_controlId : -1;
    if (cid == ctl::BUTTON_POPUP_OK) {
        EndDialog(1);
        return true;
    }
    if (cid == ctl::BUTTON_POPUP_CANCEL) {
        EndDialog(2);
        return true;
    }
    if (!control && id == IDCANCEL) {
        EndDialog(2);
        return true;
    }
    return CPopupBox::OnCommand(id, code, control);
}

bool CDmWarningDlg::OnPaint() {
    return PaintUnderChildren(m_hWnd, [this] { return CPopupBox::OnPaint(); });
}

} // namespace vt::config
