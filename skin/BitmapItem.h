#pragma once
// Plain picture controls of a page and the tooltip helpers every skinned control uses:
// CBitmapItem (BITMAPITEM), CBitmapWindow (BITMAPWINDOW), CGenericPanel (frame behind edit boxes
// and lists), CFontItem (FONT), SetToolTipText and FlattenLineBreaks.
#include <windows.h>
#include <pugixml.hpp>
#include <string>
#include "skin/BitmapHelpers.h"
#include "skin/GuiItem.h"
#include "skin/PageReader.h"
#include "win/Window.h"

namespace vt::skin {

// The window class of skinned controls that have no system class of their own.
extern const wchar_t kSkinWindowClass[];
bool RegisterSkinWindowClass();

// A tooltip control. Its window is made when the mouse first moves over the control (making one
// costs as much as making a page's button): until then it only keeps its text.
class CToolTip {
public:
    CToolTip() = default;
    ~CToolTip();
    CToolTip(const CToolTip&) = delete;
    CToolTip& operator=(const CToolTip&) = delete;
    HWND Hwnd() const { return m_hwnd; }
    // Makes the tooltip window with its tool when a text was set; controls call it on mouse moves.
    void Realize();
    // The text shown (empty when none was set).
    std::wstring Text() const;
private:
    friend void SetToolTipText(const wchar_t* text, CToolTip& tooltip, HWND window);
    bool Create(HWND owner);
    HWND m_hwnd = nullptr;
    HWND m_window = nullptr;
    bool m_hasText = false;
    std::wstring m_raw;    // the text as given (the tool's first text)
    std::wstring m_shown;  // resolved and on one line
};

// Every two-character sequence backslash, "n" becomes one space; returns the number replaced.
int FlattenLineBreaks(std::wstring& text);
// Gives a control's tooltip its text: creates the tooltip when needed, adds tool 1 over the
// window's client rectangle, sets the resolved, single-line text and activates it. Null: nothing.
void SetToolTipText(const wchar_t* text, CToolTip& tooltip, HWND window);

// A FONT of a page, found by other elements through their "fontid".
class CFontItem : public CFont, public CGUIItem {
public:
    CFontItem() = default;
    ~CFontItem() override = default;
};

// A child window showing one skin bitmap cut to its size, optionally shaped by a mask. It forwards
// the commands of its children (controls placed in it with "windowid") to its own parent.
class CBitmapItem : public vt::win::Window, public CGUIItem {
public:
    CBitmapItem() = default;
    ~CBitmapItem() override;
    bool CreateItem(DWORD style, const RECT& rect, HWND parent);
    void SetImage(HBITMAP image, const RECT& rect);
    void SetImageAndMask(HBITMAP mask, HBITMAP image, const RECT& rect);
    void SetToolTipText(const wchar_t* text) { vt::skin::SetToolTipText(text, m_tooltip, m_hWnd); }

    CToolTip m_tooltip;
    CBitmap m_image;

protected:
    bool OnPaint() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A framed picture with a 23-pixel caption strip at the bottom, shaped by a mask bitmap.
class CBitmapWindow : public vt::win::Window, public CGUIItem {
public:
    CBitmapWindow() = default;
    ~CBitmapWindow() override;
    bool CreateItem(DWORD style, const RECT& rect, HWND parent);
    // Cuts each given bitmap to the client size; the disabled bitmap only sets the frame rectangle.
    void SetStateBitmaps(HBITMAP disabled, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP mask);
    // Ignored while selected; else the caption becomes the resolved text and the window repaints.
    void SetItemText(const wchar_t* text);
    void SetToolTipText(const wchar_t* text) { vt::skin::SetToolTipText(text, m_tooltip, m_hWnd); }
    void SetPicture(const BitmapSet* picture) { m_picture = picture; if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE); }
    void SetSelected(bool selected) { m_selected = selected ? 1 : 0; if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE); }
    void SetCaptionBar(bool on) { m_captionBar = on ? 1 : 0; if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE); }
    void SetTextColor(COLORREF c) { m_textColor = c; }
    // The caption strip's height and colour.
    static constexpr int kCaptionHeight = 23;
    static constexpr COLORREF kCaptionColor = 0x623300;

    CBitmap m_disabled, m_normal, m_over, m_down;
    const BitmapSet* m_picture = nullptr;
    std::wstring m_caption;
    int m_caseMode = 0;
    UINT m_captionFormat = 0;
    CFontItem* m_font = nullptr;
    COLORREF m_textColor = 0;
    BYTE m_selected = 0;
    BYTE m_captionBar = 0;
    RECT m_frame{};
    CToolTip m_tooltip;

protected:
    bool OnPaint() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnKillFocus(HWND next) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A filled rectangle with a border line.
class CGenericPanel : public vt::win::Window {
public:
    explicit CGenericPanel(int borderWidth);
    ~CGenericPanel() override;
    bool CreatePanel(const RECT& rect, HWND parent, UINT id = 0xFFFF);
    COLORREF m_background = 0;
    COLORREF m_border = 0xFFFFFF;
    int m_borderWidth;
    int m_insetBefore;
    int m_insetAfter;
protected:
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
};

// Element builders (BITMAPLIST and FONTLIST).
CGUIItem* ReadBitmapItem(pugi::xml_node e, CGUIItems& items, HWND parent);
CGUIItem* ReadBitmapWindow(pugi::xml_node e, CGUIItems& items, HWND parent);
CGUIItem* ReadFont(pugi::xml_node e, CGUIItems& items, HWND parent);

} // namespace vt::skin
