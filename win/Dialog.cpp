#include "Dialog.h"

namespace vt::win {

namespace { thread_local Dialog* t_creatingDialog = nullptr; }

INT_PTR CALLBACK Dialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = static_cast<Dialog*>(FromHandle(hwnd));
    if (!self) {
        if (msg == WM_INITDIALOG) self = reinterpret_cast<Dialog*>(lParam);
        else if (t_creatingDialog) self = t_creatingDialog;
        if (!self) return FALSE;
        t_creatingDialog = nullptr;
        self->Attach(hwnd);
    }
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, L"VtWindowObject");
        self->m_hWnd = nullptr;
        self->OnFinalMessage();
        return FALSE;
    }
    self->m_defaulted = false;
    LRESULT r = self->WindowProc(msg, wParam, lParam);
    if (self->m_defaulted) return FALSE;   // not handled: the dialog manager goes on
    switch (msg) {
    // These answer through the procedure's own return value.
    case WM_INITDIALOG: case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
        return r;
    default:
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, r);
        return TRUE;
    }
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
            LRESULT reflected = 0;
            if (ReflectToChild(msg, wParam, lParam, reflected)) return reflected;
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            if (LOWORD(wParam) == IDOK) { OnOK(); return 0; }
            if (LOWORD(wParam) == IDCANCEL) { OnCancel(); return 0; }
            return Default(msg, wParam, lParam);
        }
        break;
    default: break;
    }
    // Route through the handlers; Default() leaves the rest to the dialog manager.
    return Window::WindowProc(msg, wParam, lParam);
}

INT_PTR Dialog::RunModal(HWND owner) {
    if (!m_hWnd) return -1;
    m_modal = true;
    m_ended = false;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    ShowWindow(m_hWnd, SW_SHOW);
    RunModalLoop(&Dialog::Ended, this, m_hWnd);
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (owner && GetActiveWindow() == m_hWnd) SetActiveWindow(owner);
        DestroyWindow(m_hWnd);
    }
    m_modal = false;
    return m_result;
}

INT_PTR Dialog::DoModal(HWND owner, UINT templateId, HINSTANCE instance) {
    if (m_hWnd) return -1;
    m_result = -1;
    m_ended = false;   // a dialog object may be run again
    t_creatingDialog = this;
    HWND hwnd = CreateDialogParamW(instance ? instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                   owner, StaticDlgProc, reinterpret_cast<LPARAM>(this));
    t_creatingDialog = nullptr;
    // A dialog that ended during WM_INITDIALOG may be gone already: its result stands.
    if (!hwnd) return m_ended ? m_result : -1;
    if (m_ended) { DestroyWindow(hwnd); return m_result; }   // ended during WM_INITDIALOG
    return RunModal(owner);
}

INT_PTR Dialog::DoModalIndirect(HWND owner, const DLGTEMPLATE* tmpl) {
    if (m_hWnd || !tmpl) return -1;
    m_result = -1;
    m_ended = false;   // a dialog object may be run again
    t_creatingDialog = this;
    HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tmpl, owner, StaticDlgProc,
                                           reinterpret_cast<LPARAM>(this));
    t_creatingDialog = nullptr;
    // A dialog that ended during WM_INITDIALOG may be gone already: its result stands.
    if (!hwnd) return m_ended ? m_result : -1;
    if (m_ended) { DestroyWindow(hwnd); return m_result; }
    return RunModal(owner);
}

bool Dialog::CreateModeless(HWND owner, UINT templateId, HINSTANCE instance) {
    if (m_hWnd) return false;
    t_creatingDialog = this;
    HWND hwnd = CreateDialogParamW(instance ? instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                   owner, StaticDlgProc, reinterpret_cast<LPARAM>(this));
    t_creatingDialog = nullptr;
    return hwnd != nullptr;
}

bool Dialog::CreateModelessIndirect(HWND owner, const DLGTEMPLATE* tmpl) {
    if (m_hWnd || !tmpl) return false;
    t_creatingDialog = this;
    HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), tmpl, owner, StaticDlgProc,
                                           reinterpret_cast<LPARAM>(this));
    t_creatingDialog = nullptr;
    return hwnd != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    if (!m_modal && m_hWnd) {
        if (!(GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_CHILD)) DestroyWindow(m_hWnd);
    } else if (m_hWnd) {
        PostMessageW(m_hWnd, WM_NULL, 0, 0);   // wake the modal loop
    }
}

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy) {
    auto* t = reinterpret_cast<DLGTEMPLATE*>(m_data);
    t->style = style;
    t->dwExtendedStyle = exStyle;
    t->cdit = 0;
    t->x = x; t->y = y; t->cx = cx; t->cy = cy;
    // menu, class and title arrays follow, each a single 0 word (already zero).
}

} // namespace vt::win
