#include "skin/CtlCommon.h"
#include <commctrl.h>
#include <cwctype>
#include "win/Window.h"

namespace vt::skin {

const wchar_t kControlWindowClass[] = L"VtSkinControl";

bool RegisterControlWindowClass() { return vt::win::Window::RegisterClass(kControlWindowClass, CS_DBLCLKS); }

// The language table is reached through this hook so that controls work before any table is loaded.
std::wstring (*g_resolveControlText)(std::wstring_view) = nullptr;

std::wstring ResolveControlText(std::wstring_view text) {
    if (g_resolveControlText) return g_resolveControlText(text);
    return std::wstring(text);
}

std::wstring FlattenBreaks(std::wstring text) {
    for (size_t p = text.find(L"\\n"); p != std::wstring::npos; p = text.find(L"\\n", p + 1)) text.replace(p, 2, L" ");
    return text;
}

void BreakFirst(std::wstring& text) {
    size_t p = text.find(L"\\n");
    if (p != std::wstring::npos) text.replace(p, 2, L"\r\n");
}

void ApplyCase(std::wstring& text, int caseMode) {
    if (caseMode == 1) for (auto& c : text) c = wchar_t(std::towupper(c));
    else if (caseMode == 2) for (auto& c : text) c = wchar_t(std::towlower(c));
}

HBITMAP CopyAsDib(HBITMAP source) {
    if (!source) return nullptr;
    return static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y, int w, int h) {
    if (!bitmap) return;
    SIZE s = BitmapSize(bitmap);
    if (w <= 0) w = s.cx;
    if (h <= 0) h = s.cy;
    vt::win::MemoryDC mem(dc);
    vt::win::SelectGuard sel(mem, bitmap);
    BitBlt(dc, x, y, w, h, mem, 0, 0, SRCCOPY);
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour, int width) {
    if (width <= 0) return;
    FillSolid(dc, RECT{r.left, r.top, r.right, r.top + width}, colour);
    FillSolid(dc, RECT{r.left, r.bottom - width, r.right, r.bottom}, colour);
    FillSolid(dc, RECT{r.left, r.top, r.left + width, r.bottom}, colour);
    FillSolid(dc, RECT{r.right - width, r.top, r.right, r.bottom}, colour);
}

HFONT DefaultControlFont() {
    static HFONT font = CreateFontW(14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, VARIABLE_PITCH | FF_SWISS, L"Arial");
    return font;
}

void TrackLeave(HWND hwnd, bool hover) {
    TRACKMOUSEEVENT t{sizeof(t), DWORD(TME_LEAVE | (hover ? TME_HOVER : 0)), hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&t);
}

HWND ReportTarget(HWND owner, HWND self) {
    if (owner && owner != kNoWindow && IsWindow(owner)) return owner;
    return GetParent(self);
}

CtlToolTip::~CtlToolTip() {
    if (m_tip && IsWindow(m_tip)) DestroyWindow(m_tip);
}

void CtlToolTip::SetText(HWND window, const std::wstring& text, bool activate) {
    if (!window) return;
    m_text = text;
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = window;
    ti.uId = 1;
    if (!m_tip || !IsWindow(m_tip)) {
        m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (!m_tip) return;
        m_window = window;
        SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, 400);
        ti.uFlags = TTF_SUBCLASS;
        GetClientRect(window, &ti.rect);
        ti.lpszText = const_cast<wchar_t*>(m_text.c_str());
        SendMessageW(m_tip, TTM_ADDTOOLW, 0, LPARAM(&ti));
    } else {
        GetClientRect(window, &ti.rect);
        SendMessageW(m_tip, TTM_NEWTOOLRECTW, 0, LPARAM(&ti));
        ti.lpszText = const_cast<wchar_t*>(m_text.c_str());
        SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, LPARAM(&ti));
    }
    SendMessageW(m_tip, TTM_ACTIVATE, (activate && !m_text.empty()) ? TRUE : FALSE, 0);
}

} // namespace vt::skin
