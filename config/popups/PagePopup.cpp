#include "config/popups/PagePopup.h"
#include "config/Items.h"

namespace vt::config {

CDmPagePopup::CDmPagePopup(HWND parent, const wchar_t* pageFile, UINT templateId)
    : CPopupBox(pageFile ? pageFile : L"", templateId, parent) {}

bool CDmPagePopup::OnInitDialog() {
    const bool focus = CPopupBox::OnInitDialog();
    AssignWindowIds(m_items);
    RECT rc, owner;
    GetWindowRect(m_hWnd, &rc);
    HWND parent = GetWindow(m_hWnd, GW_OWNER);
    if (!parent || !GetWindowRect(parent, &owner)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SetWindowPos(m_hWnd, nullptr, owner.left + (owner.right - owner.left - w) / 2,
                 owner.top + (owner.bottom - owner.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return focus;
}

bool CDmPagePopup::OnPaint() {
    return PaintUnderChildren(m_hWnd, [this] { return CPopupBox::OnPaint(); });
}

bool CDmPagePopup::OnCommand(WORD id, WORD code, HWND control) {
    CGUIItem* item = control ? vt::skin::FindItemByWindow(m_items, control) : nullptr;
    const int cid = item ? item->m_controlId : -1;
    if (cid == ctl::BUTTON_POPUP_OK) {
        OnPopupOk();
        return true;
    }
    if (cid == ctl::BUTTON_POPUP_CANCEL || (!control && id == IDCANCEL)) {
        EndDialog(2);
        return true;
    }
    if (cid >= 0 && OnItem(cid)) return true;
    return CPopupBox::OnCommand(id, code, control);
}

} // namespace vt::config
