#pragma once
// The colour button (page element COMBOCOLOR): shows a colour as its face and, on a left click, drops down
// a popup palette window holding the palette control. Previews, picks, closing and custom requests come
// back to the button, which applies them to its face and passes them on to its notify window:
//   WM_PALETTE_COLOR_PICKED (100 preview / flag, colour) posted; WM_PALETTE_CLOSED (colour, id) sent;
//   WM_COLOR_BUTTON_CHANGED (colour, id) sent.
#include <windows.h>
#include <memory>
#include "skin/ColourPalette.h"
#include "skin/DropDownList.h"
#include "win/Window.h"

namespace vt::skin {

class CFODropColorPaletteWnd : public vt::win::Window {
public:
    CFODropColorPaletteWnd() = default;
    ~CFODropColorPaletteWnd() override;
    bool CreatePaletteWindow(DWORD style, const RECT& rect, HWND owner, COLORREF initial);
    CFODropColorPaletteControl* Control() { return m_control.get(); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    std::unique_ptr<CFODropColorPaletteControl> m_control;
    HWND m_ownerWindow = nullptr;
    // Set once a pick, a close or a custom request has gone out: deactivation then adds nothing.
    bool m_finished = false;
};

class CFOPopupColorPaletteWnd : public CFODropColorPaletteWnd {
public:
    // Places the palette below (or above) the anchor rectangle, inside the work area.
    virtual bool Create(DWORD style, const RECT& anchor, HWND owner, COLORREF initial, int width, int height);
    static RECT Place(DWORD style, const RECT& anchor, const RECT& workArea, int windowWidth, int windowHeight);
};

class CDropdownColorButton : public CDropdownListItem {
public:
    CDropdownColorButton() { m_fontclr = 0xFFFFFF; }
    ~CDropdownColorButton() override;

    virtual COLORREF GetColor() const { return m_colour; }
    virtual void SetColor(COLORREF colour);
    bool IsPaletteLive() const { return m_paletteLive != 0; }
    CFOPopupColorPaletteWnd* Palette() { return m_palette.get(); }
    // The custom colour dialog; tests replace it. True on OK with the chosen colour.
    bool (*m_chooseColour)(HWND owner, COLORREF& colour) = nullptr;

    CtlToolTip m_buttonTip;
    int m_paletteOpen = 0;
    COLORREF m_colour = 0;
    int m_paletteWidth = 200, m_paletteHeight = 150;
    int m_paletteLive = 0;
    HWND m_notify = nullptr;
    BYTE m_enabled = 1;
    std::unique_ptr<CFOPopupColorPaletteWnd> m_palette;

protected:
    bool OnPaint() override;
    bool OnLButtonDown(UINT keys, POINT pt) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DestroyPalette();
    LRESULT OnPicked(COLORREF colour, LPARAM flag);
    LRESULT OnClosed(COLORREF colour);
};

} // namespace vt::skin
