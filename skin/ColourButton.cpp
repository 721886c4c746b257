#include "skin/ColourButton.h"
#include <commdlg.h>
#include "skin/CtlBuilders.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

namespace {
const wchar_t kPaletteClass[] = L"VtColourPalette";

bool SystemChooseColour(HWND owner, COLORREF& colour) {
    static COLORREF custom[16]{};
    CHOOSECOLORW cc{sizeof(cc)};
    cc.hwndOwner = owner;
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (!ChooseColorW(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Palette windows

CFODropColorPaletteWnd::~CFODropColorPaletteWnd() {
    if (m_hWnd) DestroyWindow(m_hWnd);
    m_control.reset();
}

bool CFODropColorPaletteWnd::CreatePaletteWindow(DWORD style, const RECT& r, HWND owner, COLORREF initial) {
    vt::win::Window::RegisterClass(kPaletteClass, CS_DBLCLKS);
    if (!vt::win::Window::Create(0, kPaletteClass, L"CFODropColorPaletteWnd", style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, owner, 0))
        return false;
    m_ownerWindow = owner;
    m_control = std::make_unique<CFODropColorPaletteControl>();
    RECT client;
    GetClientRect(m_hWnd, &client);
    m_control->Initialize(m_hWnd, initial, client, 1);
    UpdateWindow(m_hWnd);
    return true;
}

LRESULT CFODropColorPaletteWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    CFODropColorPaletteControl* c = m_control.get();
    const POINT pt{short(LOWORD(lParam)), short(HIWORD(lParam))};
    switch (msg) {
    case WM_PALETTE_COLOR_PICKED:
    case WM_PALETTE_CLOSED:
    case WM_PALETTE_CUSTOM_COLOR:
        if (!(msg == WM_PALETTE_COLOR_PICKED && lParam == 100)) m_finished = true;
        if (m_ownerWindow) PostMessageW(m_ownerWindow, msg, wParam, lParam);
        if (c && c->m_hideOnChoice && !(msg == WM_PALETTE_COLOR_PICKED && lParam == 100)) ShowWindow(m_hWnd, SW_HIDE);
        return 0;
    case WM_LBUTTONDOWN:
        if (c) {
            SetCapture(m_hWnd);
            if (!c->TrackPoint(pt.x, pt.y)) c->PressCustomEntry(pt);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (c && GetCapture() == m_hWnd && !c->TrackPoint(pt.x, pt.y)) c->PressCustomEntry(pt);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == m_hWnd) ReleaseCapture();
        if (c) c->OnButtonUp(pt.x, pt.y);
        return 0;
    case WM_KEYDOWN:
        if (c) c->OnKeyDown(UINT(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        if (c) {
            RECT client;
            GetClientRect(m_hWnd, &client);
            c->SetClientRect(client);
            c->UpdateLayout();
        }
        return 0;
    case WM_SYSCOLORCHANGE:
        InitColorPaletteGlobals();
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        vt::win::PaintDC pdc(m_hWnd);
        RECT client;
        GetClientRect(m_hWnd, &client);
        vt::win::BufferedPaint buf(pdc, client.right, client.bottom);
        if (c) c->Draw(buf);
        return 0;
    }
    case WM_ACTIVATE: {
        LRESULT r = vt::win::Window::WindowProc(msg, wParam, lParam);
        // A click elsewhere keeps the colour shown as current; after a choice it adds nothing.
        if (LOWORD(wParam) == WA_INACTIVE && c && !m_finished && !c->m_finished) {
            m_finished = true;
            c->FinishPick(c->m_current, 0);
        }
        return r;
    }
    default: break;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

RECT CFOPopupColorPaletteWnd::Place(DWORD style, const RECT& a, const RECT& work, int w, int h) {
    int left, top;
    if (style & 1) {
        top = a.bottom;
        if (top + h >= work.bottom) top = a.top - h;
        left = a.left;
        if (left + w >= work.right) left = a.right - w;
    } else {
        left = a.right;
        if (left + w >= work.right) left = a.left - w;
        top = a.bottom;
        if (top + h >= work.bottom) top = a.top - h;
    }
    return RECT{left, top, left + w, top + h};
}

bool CFOPopupColorPaletteWnd::Create(DWORD style, const RECT& anchor, HWND owner, COLORREF initial, int width, int height) {
    RECT wr{0, 0, width, height};
    AdjustWindowRectEx(&wr, style & ~DWORD(1), FALSE, 0);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT at = Place(style, anchor, work, w, h);
    if (!CreatePaletteWindow(style & ~DWORD(1), at, owner, initial)) return false;
    SetFocus(m_hWnd);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Button

CDropdownColorButton::~CDropdownColorButton() { DestroyPalette(); }

void CDropdownColorButton::DestroyPalette() {
    if (m_palette) {
        auto p = std::move(m_palette);
        p.reset();
    }
}

void CDropdownColorButton::SetColor(COLORREF colour) {
    if (colour == GetColor()) return;
    m_colour = colour;
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
    }
}

bool CDropdownColorButton::OnPaint() {
    vt::win::PaintDC pdc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    SetBkMode(pdc, TRANSPARENT);
    FillSolid(pdc, rc, m_disabled == 1 ? m_disbbackclr : m_colour);
    const int b = m_bdrwidth;
    if (b > 0) {
        HPEN pen = CreatePen(PS_SOLID, b, m_disabled == 1 ? m_disbbdrclr : m_bdrclr);
        vt::win::SelectGuard sp(pdc, pen);
        MoveToEx(pdc, rc.left, rc.bottom - b, nullptr);
        LineTo(pdc, rc.left, rc.top);
        LineTo(pdc, rc.right - b, rc.top);
        LineTo(pdc, rc.right - b, rc.bottom - b);
        LineTo(pdc, rc.left, rc.bottom - b);
        SelectObject(pdc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
    return true;
}

bool CDropdownColorButton::OnLButtonDown(UINT, POINT) {
    if (!m_enabled) return true;
    m_paletteOpen = 1;
    RECT wr;
    GetWindowRect(m_hWnd, &wr);
    DestroyPalette();
    m_paletteLive = 0;
    if (!m_notify) m_notify = GetParent(m_hWnd);
    m_palette = std::make_unique<CFOPopupColorPaletteWnd>();
    if (m_palette->Create(0x90000001, wr, m_hWnd, m_colour, m_paletteWidth, m_paletteHeight)) m_paletteLive = 1;
    else m_palette.reset();
    return true;
}

LRESULT CDropdownColorButton::OnPicked(COLORREF colour, LPARAM flag) {
    if (flag == 100) {
        if (m_paletteLive) SetColor(colour);
        if (m_notify) PostMessageW(m_notify, WM_PALETTE_COLOR_PICKED, 100, LPARAM(colour));
    } else {
        m_paletteOpen = 0;
        if (m_paletteLive) {
            SetColor(colour);
            DestroyPalette();
            m_paletteLive = 0;
        }
        if (m_notify) {
            PostMessageW(m_notify, WM_PALETTE_COLOR_PICKED, WPARAM(flag), LPARAM(colour));
            m_backclr = colour;
        }
    }
    if (colour != GetColor() && m_notify) SendMessageW(m_notify, WM_COLOR_BUTTON_CHANGED, WPARAM(colour), LPARAM(m_controlId));
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 1;
}

LRESULT CDropdownColorButton::OnClosed(COLORREF colour) {
    m_paletteOpen = 0;
    if (m_paletteLive) {
        SetColor(colour);
        DestroyPalette();
        m_paletteLive = 0;
    }
    if (m_notify) SendMessageW(m_notify, WM_PALETTE_CLOSED, WPARAM(colour), LPARAM(m_controlId));
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 1;
}

LRESULT CDropdownColorButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PALETTE_COLOR_PICKED: return OnPicked(COLORREF(wParam), lParam);
    case WM_PALETTE_CLOSED: return OnClosed(COLORREF(wParam));
    case WM_PALETTE_CUSTOM_COLOR: {
        COLORREF chosen = m_colour;
        const COLORREF paletteColour = COLORREF(wParam);
        const bool ok = (m_chooseColour ? m_chooseColour : &SystemChooseColour)(m_hWnd, chosen);
        if (ok) {
            // The dialog's colour becomes the face and is reported as the final pick.
            SetColor(chosen);
            OnPicked(chosen, 0);
        } else {
            // Cancelled: the palette closes keeping the colour it showed.
            OnClosed(paletteColour);
        }
        return 0;
    }
    default: break;
    }
    return CDropdownListItem::WindowProc(msg, wParam, lParam);
}

CGUIItem* ReadComboColorItem(pugi::xml_node e, CGUIItems&, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto* b = new CDropdownColorButton();
    if (!ReadDropdownCommon(e, *b, false)) {
        delete b;
        return nullptr;
    }
    RECT r = ReadItemRect(e.child("CBOX"), id);
    if (!b->CreateDropdown(r, parent, id)) {
        delete b;
        return nullptr;
    }
    std::wstring tip;
    if (ReadTooltip(e, tip)) b->SetToolTipText(tip.c_str());
    if (pugi::xml_node items = e.child("COMBOITEMS"))
        for (pugi::xml_node i = items.child("COMBOITEM"); i; i = i.next_sibling("COMBOITEM"))
            b->AddEntry(vt::win::Utf8ToWide(TrimmedText(i)).c_str(), 0);
    b->SetItemFields(id, kKindDropdownColor, b->Hwnd(), parent);
    return b;
}

} // namespace vt::skin
