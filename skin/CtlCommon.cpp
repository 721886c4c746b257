#include "skin/CtlCommon.h"
#include <commctrl.h>
#include <cstdlib>
#include <cwctype>
#include "skin/ItemText.h"
#include "skin/SkinStore.h"
#include "win/Window.h"

namespace vt::skin {

const wchar_t kControlWindowClass[] = L"VtSkinControl";

bool RegisterControlWindowClass() { return vt::win::Window::RegisterClass(kControlWindowClass, CS_DBLCLKS); }

std::wstring ResolveControlText(std::wstring_view text) { return ResolveItemText(text); }

std::string ElementFirstText(pugi::xml_node e) {
    for (pugi::xml_node n = e.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) return n.value();
    return {};
}

std::string TrimmedText(pugi::xml_node e) {
    std::string s = ElementFirstText(e);
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

HBITMAP ChildSkinImage(pugi::xml_node e, const char* slot) {
    pugi::xml_node c = e.child(slot);
    if (!c) return nullptr;
    return GetSkinImage(std::string_view(ElementFirstText(c)));
}

int ReadNonNegative(pugi::xml_node e, const char* name, int absent) {
    pugi::xml_attribute a = e.attribute(name);
    if (!a) return absent;
    int v = std::atoi(a.value());
    return v < 0 ? 0 : v;
}

bool ReadTruthAttr(pugi::xml_node e, const char* name, bool absent) {
    pugi::xml_attribute a = e.attribute(name);
    if (!a) return absent;
    char c = a.value()[0];
    return c == '1' || c == 't' || c == 'T' || c == 'y' || c == 'Y';
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
