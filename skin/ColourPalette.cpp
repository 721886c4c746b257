#include "skin/ColourPalette.h"
#include <cmath>
#include "skin/CtlCommon.h"
#include "skin/Messages.h"

namespace vt::skin {

const COLORREF kPaletteColours[6][8] = {
    {0xFFFFFF, 0xC0C0FF, 0xC0E0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0, 0xFFC0FF},
    {0xE0E0E0, 0x8080FF, 0x80E0FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080, 0xFF80FF},
    {0xC0C0C0, 0x0000FF, 0x00C0FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xB469FF},
    {0x808080, 0x0000C0, 0x0080FF, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000, 0xC000C0},
    {0x404040, 0x000080, 0x004080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080},
    {0x000000, 0x000040, 0x404080, 0x004040, 0x004000, 0x404000, 0x400000, 0x400040},
};

namespace {
ColorPaletteGlobals g_globals{};
bool g_globalsRead = false;
} // namespace

void InitColorPaletteGlobals() {
    ColorPaletteGlobals& g = g_globals;
    g.buttonFace = GetSysColor(COLOR_BTNFACE);
    g.buttonHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    g.buttonShadow = GetSysColor(COLOR_BTNSHADOW);
    g.buttonText = GetSysColor(COLOR_BTNTEXT);
    g.darkShadow = GetSysColor(COLOR_3DDKSHADOW);
    g.light = GetSysColor(COLOR_3DLIGHT);
    g.activeCaption = GetSysColor(COLOR_ACTIVECAPTION);
    g.inactiveCaption = GetSysColor(COLOR_INACTIVECAPTION);
    g.inactiveCaptionText = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    g.desktop = GetSysColor(COLOR_DESKTOP);
    g.windowFrame = GetSysColor(COLOR_WINDOWFRAME);
    g.highlight = GetSysColor(COLOR_HIGHLIGHT);
    g.windowText = GetSysColor(COLOR_WINDOWTEXT);
    g.grayText = GetSysColor(COLOR_GRAYTEXT);
    g.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    g.hotLight = GetSysColor(COLOR_HOTLIGHT);
    HDC dc = GetDC(nullptr);
    g.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    g.cxEdge = GetSystemMetrics(SM_CXEDGE);
    g.cyEdge = GetSystemMetrics(SM_CYEDGE);
    g.cxBorder = GetSystemMetrics(SM_CXBORDER);
    g.cxScreen = GetSystemMetrics(SM_CXSCREEN);
    g.cyScreen = GetSystemMetrics(SM_CYSCREEN);
    g.cxVScroll = GetSystemMetrics(SM_CXVSCROLL);
    g.cxFrame = GetSystemMetrics(SM_CXFRAME);
    g.cyFrame = GetSystemMetrics(SM_CYFRAME);
    g.cxDlgFrame = GetSystemMetrics(SM_CXDLGFRAME);
    g.oldNt = false;
    g_globalsRead = true;
}

const ColorPaletteGlobals& PaletteGlobals() {
    if (!g_globalsRead) InitColorPaletteGlobals();
    return g_globals;
}

bool CFOColorCellObj::HitTest(int x, int y) const {
    POINT p{x, y};
    return PtInRect(&m_rect, p) != FALSE;
}

void CFOColorCellObj::Draw(HDC dc) {
    if (!m_brush) m_brush.Reset(CreateSolidBrush(m_colour));
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    FillSolid(dc, m_rect, 0);
    RECT in = m_rect;
    InflateRect(&in, -m_inset, -m_inset);
    FillRect(dc, &in, m_brush);
    FrameSolid(dc, in, kPaletteFrameColour, 1);
    RestoreDC(dc, saved);
}

void CFOColorCellObj::DrawSelected(HDC dc) {
    RECT in = m_rect;
    InflateRect(&in, -1, -1);
    FrameSolid(dc, in, 0xFFFFFF, 2);
    RECT out = m_rect;
    InflateRect(&out, 1, 1);
    FrameSolid(dc, out, 0, 1);
}

CFODropColorPaletteControl::CFODropColorPaletteControl() {
    HGDIOBJ f = GetStockObject(DEFAULT_GUI_FONT);
    if (!f) f = GetStockObject(ANSI_VAR_FONT);
    LOGFONTW lf{};
    if (f && GetObjectW(f, sizeof(lf), &lf)) m_font.Reset(CreateFontIndirectW(&lf));
    m_customText = L"$Custom";
}

void CFODropColorPaletteControl::Initialize(HWND owner, COLORREF initial, const RECT& client, int hideOnChoice) {
    m_owner = owner;
    m_current = initial;
    m_client = client;
    m_hideOnChoice = hideOnChoice;
    SetCustomText(L"$Custom");
    Layout();
}

void CFODropColorPaletteControl::SetCustomText(const wchar_t* text) {
    std::wstring s = ResolveControlText(text ? text : L"");
    ApplyCase(s, m_textCase);
    BreakFirst(s);
    m_customText = s;
    if (m_owner) InvalidateRect(m_owner, nullptr, FALSE);
}

void CFODropColorPaletteControl::Layout() {
    LoadColors();
    RECT r = m_client;
    const int m = m_margin;
    r.left += m;
    r.right -= m;
    r.bottom -= m;
    int gridBottom = r.bottom;
    if (m_showCustom) {
        m_customRect = {r.left, r.bottom - 25, r.right, r.bottom};
        m_gridAndEntry = {r.left, r.top + m, r.right, r.bottom};
        gridBottom = r.bottom - 24;
    }
    LayoutCells(r.left, r.top + m, r.right, gridBottom);
}

void CFODropColorPaletteControl::LayoutCells(int left, int top, int right, int bottom) {
    m_cellsArea = {left, top, right, bottom};
    const int cols = m_columns > 0 ? m_columns : 1, rows = m_rows > 0 ? m_rows : 1;
    for (int i = 0; i < 48; ++i) {
        const int c = i % cols, r = i / cols;
        auto x = [&](int k) { return left + int(std::trunc(double(k) * (right - left) / cols)); };
        auto y = [&](int k) { return top + int(std::trunc(double(k) * (bottom - top) / rows)); };
        m_cells[i].m_rect = {x(c), y(r), x(c + 1), y(r + 1)};
    }
}

void CFODropColorPaletteControl::LoadColors() {
    for (int i = 0; i < 48; ++i) {
        m_cells[i].DropBrush();
        m_cells[i].m_colour = kPaletteColours[i / 8][i % 8];
    }
}

int CFODropColorPaletteControl::CurrentIndex() const {
    for (int i = 0; i < 48; ++i)
        if (m_cells[i].m_colour == m_current) return i;
    return -1;
}

void CFODropColorPaletteControl::DrawFrame(HDC dc, const RECT& r, int style) {
    if (style == 2) FrameSolid(dc, r, kPaletteFrameColour, 1);
    else DrawEdge(dc, const_cast<RECT*>(&r), style == 0 ? EDGE_RAISED : style == 1 ? EDGE_SUNKEN : EDGE_ETCHED, BF_RECT);
}

void CFODropColorPaletteControl::DrawCustomEntry(HDC dc, bool noMatch) {
    const RECT e = m_customRect;
    FillSolid(dc, e, 0);
    RECT text{e.left + 2, e.top + 2, e.right - 2, e.bottom - 2};
    if (noMatch) {
        text.right = e.right - 27;
        RECT sw{e.right - 23, e.top + 2, e.right - 1, e.bottom - 2};
        FillSolid(dc, sw, m_current);
        FrameSolid(dc, sw, kPaletteFrameColour, 1);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFFFFFF);
    DrawTextW(dc, m_customText.c_str(), int(m_customText.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CFODropColorPaletteControl::DrawCustomFocus(HDC dc) {
    RECT in = m_customRect;
    InflateRect(&in, -1, -1);
    FrameSolid(dc, in, 0xFFFFFF, 2);
    RECT out = m_customRect;
    InflateRect(&out, 1, 1);
    FrameSolid(dc, out, 0, 1);
}

void CFODropColorPaletteControl::Draw(HDC dc) {
    vt::win::SelectGuard f(dc, m_font.Get());
    FillSolid(dc, m_client, 0);
    if (m_hideOnChoice)
        FillSolid(dc, RECT{m_client.left + m_margin, m_client.top + 4, m_client.right - m_margin, m_client.top + 10},
                  PaletteGlobals().activeCaption);
    DrawFrame(dc, m_client, m_frameStyle);
    int current = -1;
    for (int i = 0; i < 48; ++i) {
        m_cells[i].Draw(dc);
        if (m_cells[i].m_colour == m_current) current = i;
    }
    if (current >= 0) m_cells[current].DrawSelected(dc);
    if (m_showCustom) {
        DrawCustomEntry(dc, current < 0);
        if (m_customPressed) DrawCustomFocus(dc);
    }
}

void CFODropColorPaletteControl::InvalidateCell(int index) {
    if (!m_owner || index < 0 || index >= 48) return;
    RECT r = m_cells[index].m_rect;
    InflateRect(&r, 2, 2);
    InvalidateRect(m_owner, &r, FALSE);
}

CFOColorCellObj* CFODropColorPaletteControl::TrackPoint(int x, int y) {
    int hit = -1, current = -1;
    for (int i = 0; i < 48 && (hit < 0 || current < 0); ++i) {
        if (hit < 0 && m_cells[i].HitTest(x, y)) hit = i;
        if (current < 0 && m_cells[i].m_colour == m_current) current = i;
    }
    if (hit < 0) return nullptr;
    m_current = m_cells[hit].m_colour;
    InvalidateCell(hit);
    InvalidateCell(current);
    if (current < 0 && m_owner) InvalidateRect(m_owner, &m_customRect, FALSE);
    return &m_cells[hit];
}

void CFODropColorPaletteControl::Post(UINT msg, WPARAM w, LPARAM l) {
    if (m_owner) PostMessageW(m_owner, msg, w, l);
}

void CFODropColorPaletteControl::HideOwner() {
    if (m_hideOnChoice && m_owner) ShowWindow(m_owner, SW_HIDE);
}

void CFODropColorPaletteControl::FinishPick(COLORREF colour, int flag) {
    m_finished = 1;
    Post(WM_PALETTE_COLOR_PICKED, WPARAM(colour), LPARAM(flag));
    if (m_showCustom && m_owner) InvalidateRect(m_owner, &m_customRect, FALSE);
    HideOwner();
}

void CFODropColorPaletteControl::FinishClose(COLORREF colour, int flag) {
    m_finished = 1;
    Post(WM_PALETTE_CLOSED, WPARAM(colour), LPARAM(flag));
    if (m_showCustom && m_owner) InvalidateRect(m_owner, &m_customRect, FALSE);
    HideOwner();
}

void CFODropColorPaletteControl::PressCustomEntry(POINT pt) {
    if (!m_showCustom || !PtInRect(&m_customRect, pt)) return;
    m_customPressed = 1;
    RECT r = m_customRect;
    InflateRect(&r, 2, 2);
    if (m_owner) InvalidateRect(m_owner, &r, FALSE);
}

void CFODropColorPaletteControl::OnButtonUp(int x, int y) {
    if (m_customPressed) {
        m_customPressed = 0;
        if (m_owner) InvalidateRect(m_owner, &m_customRect, FALSE);
    }
    for (auto& c : m_cells)
        if (c.HitTest(x, y)) {
            FinishPick(c.m_colour, 0);
            return;
        }
    POINT p{x, y};
    if (m_showCustom && PtInRect(&m_customRect, p)) {
        m_finished = 1;
        Post(WM_PALETTE_CUSTOM_COLOR, WPARAM(m_current), 0);
        HideOwner();
    }
}

void CFODropColorPaletteControl::OnKeyDown(UINT key) {
    if (key < 3 || key > 40) return;
    const int before = CurrentIndex();
    const int index = before < 0 ? 0 : before;
    const int cols = m_columns, rows = m_rows;
    int row = index / cols, col = index % cols;
    int target = -1;
    switch (key) {
    case VK_CANCEL: case VK_ESCAPE:
        if (m_hideOnChoice) FinishClose(m_current, 0);
        return;
    case VK_TAB:
        if (GetKeyState(VK_SHIFT) < 0) {
            HWND parent = m_owner ? GetParent(m_owner) : nullptr;
            if (parent) SetFocus(GetNextDlgTabItem(parent, m_owner, TRUE));
        } else if (m_showCustom) {
            m_finished = 1;
            Post(WM_PALETTE_CUSTOM_COLOR, WPARAM(m_current), 0);
            HideOwner();
        }
        return;
    case VK_RETURN:
        if (m_hideOnChoice) FinishPick(m_current, 0);
        return;
    case VK_LEFT: target = index == 0 ? 0 : index - 1; break;
    case VK_UP: target = (row == 0 ? rows - 1 : row - 1) * cols + col; break;
    case VK_RIGHT: target = index == 47 ? 0 : index + 1; break;
    case VK_DOWN: target = (row == rows - 1 ? 0 : row + 1) * cols + col; break;
    default: return;
    }
    m_current = m_cells[target].m_colour;
    if (before >= 0) InvalidateCell(before);
    else if (m_owner) InvalidateRect(m_owner, &m_customRect, FALSE);
    InvalidateCell(target);
    Post(WM_PALETTE_COLOR_PICKED, WPARAM(m_current), 100);
}

bool CFODropColorPaletteControl::SavePalette(const wchar_t* path) {
    HANDLE f = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);   // the palette stores nothing of its own
    return true;
}

bool CFODropColorPaletteControl::LoadPalette(const wchar_t* path) {
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    return true;
}

} // namespace vt::skin
