#pragma once
// The drop-down colour palette's logic: 48 colour cells in 6 rows of 8 with a "Custom" entry below, drawn
// into the palette window's DC, driven by its mouse and keys, reporting to the owner window with
// WM_PALETTE_COLOR_PICKED (colour, 0 final / 100 preview), WM_PALETTE_CLOSED (colour, 0) and
// WM_PALETTE_CUSTOM_COLOR (colour, 0).
#include <windows.h>
#include <string>
#include "win/Gdi.h"

namespace vt::skin {

// System colours and metrics read at start-up and again when the colour scheme changes.
struct ColorPaletteGlobals {
    COLORREF buttonFace, buttonHighlight, buttonShadow, buttonText, darkShadow, light, activeCaption,
        inactiveCaption, inactiveCaptionText, desktop, windowFrame, highlight, windowText, grayText, highlightText,
        hotLight;
    int bitsPerPixel;
    int cxEdge, cyEdge, cxBorder, cxScreen, cyScreen, cxVScroll, cxFrame, cyFrame, cxDlgFrame;
    bool oldNt;
};
void InitColorPaletteGlobals();
const ColorPaletteGlobals& PaletteGlobals();

extern const COLORREF kPaletteColours[6][8];
constexpr COLORREF kPaletteFrameColour = 0x8B4E10;

class CFOColorCellObj {
public:
    bool HitTest(int x, int y) const;
    void Draw(HDC dc);
    void DrawSelected(HDC dc);
    void DropBrush() { m_brush.Reset(); }

    RECT m_rect{};
    COLORREF m_colour = 0xFFFFFF;
    vt::win::Brush m_brush;
    int m_inset = 1;
};

class CFODropColorPaletteControl {
public:
    CFODropColorPaletteControl();
    virtual ~CFODropColorPaletteControl() = default;

    virtual void Initialize(HWND owner, COLORREF initial, const RECT& client, int hideOnChoice);
    virtual void Layout();
    virtual void LayoutCells(int left, int top, int right, int bottom);
    virtual void LoadColors();
    virtual void Draw(HDC dc);
    virtual void UpdateLayout() { Layout(); }
    // The cell at the point, made current; null when none.
    virtual CFOColorCellObj* TrackPoint(int x, int y);
    virtual void FinishPick(COLORREF colour, int flag);
    virtual void FinishClose(COLORREF colour, int flag);
    virtual bool SavePalette(const wchar_t* path);
    virtual bool LoadPalette(const wchar_t* path);
    virtual void OnCancelMode() {}
    virtual void DrawFrame(HDC dc, const RECT& r, int style);
    virtual void DrawCustomEntry(HDC dc, bool noMatch);
    virtual void DrawCustomFocus(HDC dc);

    void SetCustomText(const wchar_t* text);
    void PressCustomEntry(POINT pt);
    void OnButtonUp(int x, int y);
    void OnKeyDown(UINT key);
    void SetClientRect(const RECT& r) { m_client = r; }
    // First cell holding the current colour, or -1.
    int CurrentIndex() const;

    CFOColorCellObj m_cells[48];
    RECT m_cellsArea{}, m_client{}, m_customRect{}, m_gridAndEntry{};
    COLORREF m_current = 0;
    HWND m_owner = nullptr;
    int m_hideOnChoice = 0;
    int m_customPressed = 0;
    std::wstring m_unused;
    int m_rows = 6, m_columns = 8;
    int m_showCustom = 1;
    int m_margin = 4;
    int m_reserved = 1;
    int m_frameStyle = 2;
    vt::win::Font m_font;
    std::wstring m_customText;
    BYTE m_textCase = 0;
    // Set by a pick, a close or a custom request: the palette's choice has been made.
    int m_finished = 0;

protected:
    void Post(UINT msg, WPARAM w, LPARAM l);
    void HideOwner();
    void InvalidateCell(int index);
};

} // namespace vt::skin
