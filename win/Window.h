#pragma once
// Window base: links an HWND to its object and dispatches messages to virtual handlers.
// Controls created by the system (edit, list box...) are taken over with Subclass().
// Parents reflect WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR* back to the
// child's object first, so a control can handle its own notifications.
#include <windows.h>

namespace vt::win {

// Reflected messages arrive at the child as the original message plus this offset.
constexpr UINT kReflectBase = WM_USER + 0x1C00;

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static Window* FromHandle(HWND hwnd);

    // Registers a window class whose procedure routes to Window objects (idempotent).
    static bool RegisterClass(const wchar_t* className, UINT style = CS_DBLCLKS,
                              HBRUSH background = nullptr, HCURSOR cursor = nullptr, HICON icon = nullptr);
    // Creates a window of a class registered with RegisterClass (or any class: then it is subclassed).
    bool Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                int x, int y, int width, int height, HWND parent, UINT_PTR idOrMenu);
    // Takes over a window created elsewhere (e.g. a system control) through the platform's subclass
    // chain (SetWindowSubclass): other subclassers of the window keep working.
    bool Subclass(HWND hwnd);
    // Leaves the window's subclass chain (when subclassed) and forgets the window.
    HWND Detach();
    bool Destroy();

    // Called for a message posted to this window or one of its children before it is dispatched
    // by a loop that honours the chain (RunModalLoop, Dialog::DoModal). True: the message is used up.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }

protected:
    // Dispatch of every message; override for messages without a handler below, call the base for the rest.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The next procedure of the subclass chain, or the default procedure.
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

    // Handlers: return true when handled (the message result is 0 unless stated).
    virtual bool OnCreate(CREATESTRUCTW* cs) { return false; }   // false: creation goes on
    virtual void OnDestroy() {}
    virtual void OnFinalMessage() {}                              // after WM_NCDESTROY, HWND cleared
    virtual bool OnPaint() { return false; }
    virtual bool OnEraseBkgnd(HDC dc) { return false; }           // true: background erased
    virtual bool OnSize(UINT type, int cx, int cy) { return false; }
    virtual bool OnTimer(UINT_PTR id) { return false; }
    virtual bool OnCommand(WORD id, WORD code, HWND control) { return false; }
    virtual bool OnNotify(NMHDR* hdr, LRESULT& result) { return false; }
    virtual bool OnMouseMove(UINT keys, POINT pt) { return false; }
    virtual bool OnLButtonDown(UINT keys, POINT pt) { return false; }
    virtual bool OnLButtonUp(UINT keys, POINT pt) { return false; }
    virtual bool OnLButtonDblClk(UINT keys, POINT pt) { return false; }
    virtual bool OnRButtonDown(UINT keys, POINT pt) { return false; }
    virtual bool OnRButtonUp(UINT keys, POINT pt) { return false; }
    virtual bool OnMouseWheel(int delta, UINT keys, POINT screenPt) { return false; }
    virtual bool OnMouseLeave() { return false; }
    virtual bool OnKeyDown(UINT vk, UINT flags) { return false; }
    virtual bool OnKeyUp(UINT vk, UINT flags) { return false; }
    virtual bool OnChar(UINT ch, UINT flags) { return false; }
    virtual bool OnSetFocus(HWND previous) { return false; }
    virtual bool OnKillFocus(HWND next) { return false; }
    virtual bool OnCaptureChanged(HWND gaining) { return false; }
    virtual bool OnInput(WPARAM code, HRAWINPUT input) { return false; }
    // A message this window sent to its parent, reflected back (msg is the original message).
    virtual bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

    HWND m_hWnd = nullptr;
    bool m_subclassed = false;          // taken over through the subclass chain
    bool m_createdHere = false;         // made by Create (also of a system class): destroyed with the object
    bool m_isDialog = false;            // Default() leaves the rest to the dialog manager
    bool m_defaulted = false;           // Default() was reached for the current dialog message

private:
    friend class Dialog;
    void Attach(HWND hwnd);
    LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
};

// Walks the pre-translate chain from msg.hwnd up to the top-level window. True: used up.
bool PreTranslateChain(MSG& msg);

// Runs a message loop that honours the pre-translate chain until done() answers true or
// WM_QUIT arrives (then re-posted). dialog: a window for IsDialogMessage, or null.
void RunModalLoop(bool (*done)(void*), void* context, HWND dialog);

} // namespace vt::win
