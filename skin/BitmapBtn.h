#pragma once
// The skinned push button and check button: an owner-drawn button showing one of four skin bitmaps
// by state (normal, mouse over, down, disabled), optionally cut to shape by a mask, with a caption
// drawn over it. It reports clicks to its parent with WM_COMMAND (BN_CLICKED, lParam = its window).
#include <windows.h>
#include <pugixml.hpp>
#include <string>
#include "skin/BitmapHelpers.h"
#include "skin/BitmapItem.h"
#include "skin/GuiItem.h"
#include "win/Window.h"

namespace vt::skin {

class CBitmapBtn : public vt::win::Window, public CGUIItem {
public:
    CBitmapBtn() = default;
    ~CBitmapBtn() override;

    // Creates the button window (a system button taken over by this object).
    bool CreateButton(DWORD style, const RECT& rect, HWND parent, UINT id = 0);
    void SetChecked(int state);
    int Checked() const { return m_checked; }
    void SetCheckbox(bool on) { m_isCheckbox = on ? 1 : 0; }
    void SetToggleOnClick(bool on) { m_toggleOnClick = on ? 1 : 0; }
    // Cuts the rectangle (x1, y1)-(x2, y2) of each skin bitmap into the button's own state bitmaps
    // (a missing bitmap leaves its state as it was) and drops the border and tab-stop styles.
    void DrawSkinBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, int x1, int y1, int x2, int y2);
    // The same with a mask, which also makes the button's window region (once per button).
    void DrawSkinBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, HBITMAP mask,
                         int x1, int y1, int x2, int y2);
    // The caption becomes the resolved text in the case mode; no repaint.
    void SetItemText(const wchar_t* text, int caseMode);
    void SetToolTipText(const wchar_t* text) { vt::skin::SetToolTipText(text, m_tooltip, m_hWnd); }

    // Which state bitmap a paint uses, and the caption colour, for the given draw state.
    enum class State { Normal, Over, Down, Disabled };
    static State ChooseState(bool checkbox, bool checked, bool disabled, bool pressed, bool hot);
    COLORREF CaptionColor(bool checked, bool pressed, bool hot, bool disabled) const;

    CToolTip m_tooltip;
    int m_checked = 0;
    int m_isCheckbox = 0;
    int m_hot = 0;
    CBitmap m_normal, m_over, m_down, m_disabled, m_mask;
    COLORREF m_normalColor = 0, m_overColor = 0, m_downColor = 0, m_disabledColor = 0;
    BYTE m_toggleOnClick = 1;
    std::wstring m_caption;
    CFontItem* m_font = nullptr;
    HRGN m_region = nullptr;   // owned by the window once set
    UINT m_textFormat = 0;

    static constexpr COLORREF kDefaultTextColor = 0xFEFEFE;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnMouseMove(UINT keys, POINT pt) override;
    bool OnKillFocus(HWND next) override;
    bool OnCaptureChanged(HWND gaining) override;
    bool OnLButtonDown(UINT keys, POINT pt) override;
    bool OnLButtonUp(UINT keys, POINT pt) override;
    bool OnLButtonDblClk(UINT keys, POINT pt) override { return true; }   // not a second click
    void DrawItem(const DRAWITEMSTRUCT& dis);

private:
    void PreSubclassWindow();
    HWND OwnerWindow() const;
};

// Builds a BUTTON element (BUTTONLIST).
CGUIItem* BuildButton(pugi::xml_node e, CGUIItems& items, HWND parent);

} // namespace vt::skin
