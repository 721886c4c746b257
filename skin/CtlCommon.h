#pragma once
// Small pieces shared by the skinned controls: their window class, mouse tracking, bitmap copies,
// text resolution through the language table, and a tooltip that follows its window.
#include <windows.h>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include "skin/BitmapHelpers.h"

namespace vt::skin {

// The window class of controls that have no system class of their own (double clicks, arrow cursor).
extern const wchar_t kControlWindowClass[];
bool RegisterControlWindowClass();

// The text as shown: resolved through the current language table when it has it, else as written.
std::wstring ResolveControlText(std::wstring_view text);
// Every two-character sequence backslash-n becomes a space (tooltips).
std::wstring FlattenBreaks(std::wstring text);
// The first two-character sequence backslash-n becomes CR LF (captions).
void BreakFirst(std::wstring& text);
// 1 upper, 2 lower, other as written.
void ApplyCase(std::wstring& text, int caseMode);

// Page-file helpers of the control builders.
std::string ElementFirstText(pugi::xml_node e);       // first text or CDATA child, as written
std::string TrimmedText(pugi::xml_node e);            // the same, trimmed of white space at both ends
HBITMAP ChildSkinImage(pugi::xml_node e, const char* slot);   // bitmap of a child element (store type 1)
int ReadNonNegative(pugi::xml_node e, const char* name, int absent);   // decimal, negative -> 0
bool ReadTruthAttr(pugi::xml_node e, const char* name, bool absent);   // first character 1 t T y Y

// A DIB-section copy of a bitmap (null for null).
HBITMAP CopyAsDib(HBITMAP source);
// Draws a bitmap at (x, y) of the DC at its own size (or w x h when given > 0).
void DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y, int w = 0, int h = 0);
// Fills a rectangle with a solid colour.
void FillSolid(HDC dc, const RECT& r, COLORREF colour);
// Draws a frame of the given width inside the rectangle.
void FrameSolid(HDC dc, const RECT& r, COLORREF colour, int width = 1);
// The colour a text is drawn in: 0 means the default near-white.
inline COLORREF TextColourOrDefault(COLORREF c) { return c == 0 ? RGB(0xFE, 0xFE, 0xFE) : c; }
// The default caption font (bold Arial, height 14), made once for the whole program.
HFONT DefaultControlFont();

// Asks the system for WM_MOUSELEAVE (and optionally WM_MOUSEHOVER) for the window.
void TrackLeave(HWND hwnd, bool hover = false);

// The owner a control reports to: its item owner when set, else its parent window.
HWND ReportTarget(HWND owner, HWND self);

// A tooltip bound to one window (tool id 1 over the whole client area), relayed with TTF_SUBCLASS so no
// message loop has to forward mouse messages.
class CtlToolTip {
public:
    CtlToolTip() = default;
    ~CtlToolTip();
    CtlToolTip(const CtlToolTip&) = delete;
    CtlToolTip& operator=(const CtlToolTip&) = delete;
    // Sets the text (empty: the tooltip is deactivated); creates the tooltip on first use.
    void SetText(HWND window, const std::wstring& text, bool activate = true);
    std::wstring Text() const { return m_text; }
    HWND Hwnd() const { return m_tip; }
private:
    HWND m_tip = nullptr;
    HWND m_window = nullptr;
    std::wstring m_text;
};

} // namespace vt::skin
