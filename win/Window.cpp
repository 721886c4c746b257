#include "Window.h"
#include <commctrl.h>
#include <windowsx.h>

namespace vt::win {

namespace {
const wchar_t kObjectProp[] = L"VtWindowObject";
// Our entry in the platform's subclass chain of a window taken over with Subclass().
constexpr UINT_PTR kSubclassId = 0x5674;   // "Vt"
thread_local Window* t_creating = nullptr;
}

Window::~Window() {
    if (m_hWnd) {
        // The object goes first: the window must not call into it any more.
        // A window this object made goes with it; a window taken over with Subclass() is only let go.
        const bool owned = !m_subclassed || m_createdHere;
        HWND hwnd = Detach();
        if (owned && IsWindow(hwnd)) DestroyWindow(hwnd);
    }
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropW(hwnd, kObjectProp)) : nullptr;
}

bool Window::RegisterClass(const wchar_t* className, UINT style, HBRUSH background, HCURSOR cursor, HICON icon) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof(existing)};
    if (GetClassInfoExW(inst, className, &existing)) return true;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = style;
    wc.lpfnWndProc = StaticProc;
    wc.hInstance = inst;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

void Window::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    SetPropW(hwnd, kObjectProp, this);
}

bool Window::Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    int x, int y, int width, int height, HWND parent, UINT_PTR idOrMenu) {
    if (m_hWnd) return false;
    t_creating = this;
    HWND hwnd = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(idOrMenu), GetModuleHandleW(nullptr), this);
    t_creating = nullptr;
    if (!hwnd) {
        m_hWnd = nullptr;
        return false;
    }
    if (!m_hWnd) Subclass(hwnd);   // a class of another procedure
    m_createdHere = true;
    return true;
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandle(hwnd)) return false;
    // Through the platform's chain, so that other subclassers of the same window, before or after
    // us, keep their place whatever order each of us leaves in.
    if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    Attach(hwnd);
    m_subclassed = true;
    return true;
}

HWND Window::Detach() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return nullptr;
    if (m_subclassed) RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    RemovePropW(hwnd, kObjectProp);
    m_hWnd = nullptr;
    m_subclassed = false;
    m_createdHere = false;
    return hwnd;
}

bool Window::Destroy() { return m_hWnd && DestroyWindow(m_hWnd); }

LRESULT Window::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_isDialog) {
        m_defaulted = true;
        return 0;
    }
    if (m_subclassed) return DefSubclassProc(m_hWnd, msg, wParam, lParam);
    return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = FromHandle(hwnd);
    // Only the window being created takes the object: a parent of the same class procedure that
    // has no object of its own (and gets WM_PARENTNOTIFY meanwhile) must not.
    if (!self && t_creating && msg == WM_NCCREATE &&
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams == t_creating) {
        self = t_creating;
        t_creating = nullptr;
        self->Attach(hwnd);
    }
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->Route(msg, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    Window* self = FromHandle(hwnd);
    if (!self) return DefSubclassProc(hwnd, msg, wParam, lParam);
    return self->Route(msg, wParam, lParam);
}

LRESULT Window::Route(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) {
        const bool subclassed = m_subclassed;
        HWND hwnd = m_hWnd;
        if (subclassed) RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        LRESULT r = subclassed ? DefSubclassProc(hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
        RemovePropW(hwnd, kObjectProp);
        m_hWnd = nullptr;
        m_subclassed = false;
        m_createdHere = false;
        OnFinalMessage();
        return r;
    }
    return WindowProc(msg, wParam, lParam);
}

bool Window::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(lParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom; break;
    case WM_DRAWITEM:
        // Controls may have id 0 (skinned buttons do): only a menu item is not reflected.
        if (reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
            child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (wParam) child = GetDlgItem(m_hWnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID);
        break;
    case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORDLG: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default: return false;
    }
    if (!child || child == m_hWnd) return false;
    Window* target = FromHandle(child);
    return target && target->OnReflected(msg, wParam, lParam, result);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(msg, wParam, lParam, result)) return result;
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    bool handled = false;
    switch (msg) {
    case WM_CREATE:
        if (OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam))) return -1;
        break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_PAINT: handled = OnPaint(); break;
    case WM_ERASEBKGND: if (OnEraseBkgnd(reinterpret_cast<HDC>(wParam))) return 1; break;
    case WM_SIZE: handled = OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); break;
    case WM_TIMER: handled = OnTimer(wParam); break;
    case WM_COMMAND: handled = OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); break;
    case WM_NOTIFY:
        if (OnNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
        break;
    case WM_MOUSEMOVE: handled = OnMouseMove(UINT(wParam), pt); break;
    case WM_LBUTTONDOWN: handled = OnLButtonDown(UINT(wParam), pt); break;
    case WM_LBUTTONUP: handled = OnLButtonUp(UINT(wParam), pt); break;
    case WM_LBUTTONDBLCLK: handled = OnLButtonDblClk(UINT(wParam), pt); break;
    case WM_RBUTTONDOWN: handled = OnRButtonDown(UINT(wParam), pt); break;
    case WM_RBUTTONUP: handled = OnRButtonUp(UINT(wParam), pt); break;
    case WM_MOUSEWHEEL: handled = OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam), pt); break;
    case WM_MOUSELEAVE: handled = OnMouseLeave(); break;
    case WM_KEYDOWN: handled = OnKeyDown(UINT(wParam), UINT(lParam)); break;
    case WM_KEYUP: handled = OnKeyUp(UINT(wParam), UINT(lParam)); break;
    case WM_CHAR: handled = OnChar(UINT(wParam), UINT(lParam)); break;
    case WM_SETFOCUS: handled = OnSetFocus(reinterpret_cast<HWND>(wParam)); break;
    case WM_KILLFOCUS: handled = OnKillFocus(reinterpret_cast<HWND>(wParam)); break;
    case WM_CAPTURECHANGED: handled = OnCaptureChanged(reinterpret_cast<HWND>(lParam)); break;
    case WM_INPUT:
        // The system must still see WM_INPUT to free the input's buffer.
        OnInput(GET_RAWINPUT_CODE_WPARAM(wParam), reinterpret_cast<HRAWINPUT>(lParam));
        break;
    default: break;
    }
    if (handled) return 0;
    return Default(msg, wParam, lParam);
}

bool PreTranslateChain(MSG& msg) {
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        if (Window* w = Window::FromHandle(h))
            if (w->PreTranslateMessage(msg)) return true;
        if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

void RunModalLoop(bool (*done)(void*), void* context, HWND dialog) {
    MSG msg;
    while (!done(context)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {   // WM_QUIT: end this loop and let the outer one see it too
            PostQuitMessage(int(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (PreTranslateChain(msg)) continue;
        if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace vt::win
