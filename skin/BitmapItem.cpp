#include "skin/BitmapItem.h"
#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include "skin/ItemText.h"
#include "skin/SkinStore.h"
#include "win/Strings.h"

namespace vt::skin {

using vt::win::MemoryDC;
using vt::win::SelectGuard;

const wchar_t kSkinWindowClass[] = L"VtSkinWindow";

bool RegisterSkinWindowClass() { return vt::win::Window::RegisterClass(kSkinWindowClass, CS_DBLCLKS); }

// ---------------------------------------------------------------------------------------------
// Tooltips

CToolTip::~CToolTip() {
    if (m_hwnd && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

bool CToolTip::Create(HWND owner) {
    if (m_hwnd) return true;
    static bool initialised = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)initialised;
    m_hwnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    return m_hwnd != nullptr;
}

std::wstring CToolTip::Text() const { return m_shown; }

void CToolTip::Realize() {
    if (m_hwnd || !m_hasText || !m_window || !IsWindow(m_window)) return;
    if (!Create(m_window)) return;
    SendMessageW(m_hwnd, TTM_ACTIVATE, FALSE, 0);
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = m_window;
    ti.uId = 1;
    GetClientRect(m_window, &ti.rect);
    ti.lpszText = m_raw.data();
    SendMessageW(m_hwnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ti.lpszText = m_shown.data();
    SendMessageW(m_hwnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(m_hwnd, TTM_ACTIVATE, TRUE, 0);
}

int FlattenLineBreaks(std::wstring& text) {
    int n = 0;
    for (size_t at = text.find(L"\\n"); at != std::wstring::npos; at = text.find(L"\\n", at)) {
        text.replace(at, 2, L" ");
        ++n;
    }
    return n;
}

void SetToolTipText(const wchar_t* text, CToolTip& tooltip, HWND window) {
    if (!text || !window) return;
    tooltip.m_window = window;
    if (!tooltip.m_hasText) tooltip.m_raw = text;   // the tool keeps its first text
    tooltip.m_hasText = true;
    tooltip.m_shown = ResolveItemText(text);
    FlattenLineBreaks(tooltip.m_shown);
    if (!tooltip.m_hwnd) return;   // made on the first mouse move
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = window;
    ti.uId = 1;
    ti.lpszText = tooltip.m_shown.data();
    SendMessageW(tooltip.m_hwnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tooltip.m_hwnd, TTM_ACTIVATE, TRUE, 0);
}

// ---------------------------------------------------------------------------------------------
// CBitmapItem

CBitmapItem::~CBitmapItem() = default;

bool CBitmapItem::CreateItem(DWORD style, const RECT& r, HWND parent) {
    RegisterSkinWindowClass();
    return Create(0, kSkinWindowClass, L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, UINT_PTR(-1) & 0xFFFF);
}

void CBitmapItem::SetImage(HBITMAP image, const RECT& r) {
    if (!image) return;
    vt::win::WindowDC dc(m_hWnd);
    ShareSkinBitmapRect(m_image, dc, image, 0, 0, r.right - r.left, r.bottom - r.top);
}

void CBitmapItem::SetImageAndMask(HBITMAP mask, HBITMAP image, const RECT& r) {
    if (mask && m_hWnd) {
        if (HRGN rgn = CreateRegionFromBitmap(mask)) {
            if (!SetWindowRgn(m_hWnd, rgn, TRUE)) DeleteObject(rgn);
        }
    }
    SetImage(image, r);
}

bool CBitmapItem::OnPaint() {
    vt::win::PaintDC dc(m_hWnd);
    if (!m_image) return true;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    MemoryDC mem(dc);
    SelectGuard sel(mem, m_image);
    BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0, SRCCOPY);
    return true;
}

bool CBitmapItem::OnCommand(WORD id, WORD code, HWND control) {
    // Controls placed in the item report to it: their commands go on to the page.
    if (HWND parent = GetParent(m_hWnd))
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    return false;
}

LRESULT CBitmapItem::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEMOVE) m_tooltip.Realize();
    return Window::WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// CBitmapWindow

CBitmapWindow::~CBitmapWindow() = default;

bool CBitmapWindow::CreateItem(DWORD style, const RECT& r, HWND parent) {
    RegisterSkinWindowClass();
    return Create(0, kSkinWindowClass, L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0xFFFF);
}

void CBitmapWindow::SetStateBitmaps(HBITMAP disabled, HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP mask) {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    m_frame = client;
    vt::win::WindowDC dc(m_hWnd);
    if (disabled) {
        const SIZE s = BitmapSize(disabled);
        const int dx = s.cx - (client.right - client.left);
        const int dy = s.cy - (client.bottom - client.top);
        InflateRect(&m_frame, dx, dy);
        ShareSkinBitmapRect(m_disabled, dc, disabled, client.left, client.top, client.right, client.bottom);
    }
    ShareSkinBitmapRect(m_normal, dc, normal, client.left, client.top, client.right, client.bottom);
    ShareSkinBitmapRect(m_over, dc, over, client.left, client.top, client.right, client.bottom);
    ShareSkinBitmapRect(m_down, dc, down, client.left, client.top, client.right, client.bottom);
    if (mask) {
        if (HRGN rgn = CreateRegionFromBitmap(mask))
            if (!SetWindowRgn(m_hWnd, rgn, TRUE)) DeleteObject(rgn);
    }
}

void CBitmapWindow::SetItemText(const wchar_t* text) {
    if (m_selected == 1) return;
    m_caption = MakeCaption(text ? text : L"", m_caseMode);
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CBitmapWindow::OnPaint() {
    vt::win::PaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom;
    HBITMAP state = nullptr;
    if (m_selected == 1 && m_down) state = m_down;
    else if (!m_caption.empty() && m_over) state = m_over;
    else if (m_normal) state = m_normal;

    // Paint on a copy, so the state bitmaps keep their pictures.
    MemoryDC mem(dc);
    CBitmap surface(CreateDeviceBitmap(dc, std::max(w, 1), std::max(h, 1)));
    SelectGuard selSurface(mem, surface);
    if (state) {
        MemoryDC src(dc);
        SelectGuard sel(src, state);
        BitBlt(mem, 0, 0, w, h, src, 0, 0, SRCCOPY);
    }
    vt::win::Brush black(CreateSolidBrush(0));
    FillRect(mem, &m_frame, black);
    RECT strip{m_frame.left, m_frame.bottom - kCaptionHeight, m_frame.right, m_frame.bottom};
    vt::win::Brush stripBrush(CreateSolidBrush(kCaptionColor));
    FillRect(mem, &strip, stripBrush);
    const bool showCaption = m_captionBar == 1 && !m_caption.empty();
    if (showCaption) {
        vt::win::Pen pen(CreatePen(PS_SOLID, 1, m_textColor));
        SelectGuard selPen(mem, pen);
        MoveToEx(mem, strip.left, strip.top, nullptr);
        LineTo(mem, strip.right, strip.top);
    }
    if (m_picture && m_picture->normal && *m_picture->normal) {
        const RECT area{m_frame.left, m_frame.top, m_frame.right, m_frame.bottom - 24};
        const int W = area.right - area.left, H = area.bottom - area.top;
        const RECT& s = m_picture->rect;
        const int sw = s.right - s.left, sh = s.bottom - s.top;
        MemoryDC src(dc);
        {
            SelectGuard sel(src, m_picture->normal->Get());
            BitBlt(mem, area.left, area.top, W, H, src, s.left + sw / 2 - W / 2, s.top + sh / 2 - H / 2, SRCCOPY);
        }
        if (m_picture->down && *m_picture->down) {
            RECT o = s;
            if (sw > W) { o.left += sw - W; o.right -= sw - W; }
            if (sh > H) { o.top += sh - H; o.bottom -= sh - H; }
            const int ow = o.right - o.left, oh = o.bottom - o.top;
            if (ow > 0 && oh > 0) {
                SelectGuard sel(src, m_picture->down->Get());
                BitBlt(mem, area.left + W / 2 - ow / 2, area.top + H / 2 - oh / 2, ow, oh, src, o.left, o.top, SRCCOPY);
            }
        }
    }
    if (showCaption) {
        SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, m_textColor ? m_textColor : 0xFEFEFE);
        CFont arial;
        HFONT font = m_font ? m_font->Get() : nullptr;
        if (!font) { CreateArialFont(arial); font = arial; }
        SelectGuard selFont(mem, font);
        std::wstring text = m_caption;
        text.resize(text.size() + 5);   // room for an ellipsis
        DrawTextW(mem, text.data(), int(m_caption.size()), &strip, m_captionFormat | DT_END_ELLIPSIS);
    }
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    return true;
}

bool CBitmapWindow::OnCommand(WORD id, WORD code, HWND control) {
    if (HWND parent = GetParent(m_hWnd))
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    return false;
}

bool CBitmapWindow::OnKillFocus(HWND) {
    Default(WM_KILLFOCUS, 0, 0);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

LRESULT CBitmapWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND) return 0;   // nothing is erased
    if (msg == WM_MOUSEMOVE) m_tooltip.Realize();
    return Window::WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// CGenericPanel

CGenericPanel::CGenericPanel(int borderWidth)
    : m_borderWidth(borderWidth < 1 ? 1 : borderWidth), m_insetBefore(m_borderWidth / 2),
      m_insetAfter(m_borderWidth - m_borderWidth / 2) {}

CGenericPanel::~CGenericPanel() {
    if (m_hWnd) DestroyWindow(m_hWnd);   // a static control made by this object
}

bool CGenericPanel::CreatePanel(const RECT& r, HWND parent, UINT id) {
    return Create(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
                  parent, id);
}

bool CGenericPanel::OnPaint() {
    vt::win::PaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::Brush fill(CreateSolidBrush(m_background));
    FillRect(dc, &rc, fill);
    vt::win::Pen pen(CreatePen(PS_SOLID, m_borderWidth, m_border));
    SelectGuard sel(dc, pen);
    MoveToEx(dc, rc.left + m_insetBefore, rc.top + m_insetBefore, nullptr);
    LineTo(dc, rc.right - m_insetAfter, rc.top + m_insetBefore);
    LineTo(dc, rc.right - m_insetAfter, rc.bottom - m_insetAfter);
    LineTo(dc, rc.left + m_insetBefore, rc.bottom - m_insetAfter);
    LineTo(dc, rc.left + m_insetBefore, rc.top + m_insetBefore - 1);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Builders

CGUIItem* ReadBitmapItem(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    CBitmap* image = ReadBitmapChild(e, "SBMN");
    CBitmap* mask = ReadBitmapChild(e, "SBMM");
    const RECT rect = ReadItemRect(e, id);
    const DWORD style = ParseTruth(e.attribute("moveable").value()) ? 0x58000000 : 0x50000000;
    auto* item = new CBitmapItem;
    if (!item->CreateItem(style, rect, parent)) {
        delete item;
        return nullptr;
    }
    if (mask) item->SetImageAndMask(mask->Get(), image ? image->Get() : nullptr, rect);
    else item->SetImage(image ? image->Get() : nullptr, rect);
    std::wstring tip;
    if (ReadTooltip(e, tip)) item->SetToolTipText(tip.c_str());
    // The handle stays null: a bitmap item is never found by its window.
    item->SetItemFields(id, kKindBitmapItem, nullptr, parent);
    return item;
}

CGUIItem* ReadBitmapWindow(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    CBitmap* disabled = ReadBitmapChild(e, "SBMDS");
    CBitmap* normal = ReadBitmapChild(e, "SBMN");
    CBitmap* over = ReadBitmapChild(e, "SBMO");
    CBitmap* down = ReadBitmapChild(e, "SBMD");
    CBitmap* mask = ReadBitmapChild(e, "SBMM");
    const int caseMode = ReadCaseMode(e, id);
    const bool multiline = ReadMultiline(e, id);
    const RECT rect = ReadItemRect(e, id);
    auto* item = new CBitmapWindow;
    if (!item->CreateItem(0x50000000, rect, parent)) {
        delete item;
        return nullptr;
    }
    auto h = [](CBitmap* b) { return b ? b->Get() : nullptr; };
    item->SetStateBitmaps(h(disabled), h(normal), h(over), h(down), h(mask));
    std::wstring tip;
    if (ReadTooltip(e, tip)) item->SetToolTipText(tip.c_str());
    item->m_caseMode = caseMode;
    const wchar_t justify = ReadJustify(e);
    item->m_captionFormat = (justify == L'R' ? DT_RIGHT : justify == L'C' ? DT_CENTER : DT_LEFT) |
                            (multiline ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER));
    if (CFontItem* font = ReadItemFont(e, id, items)) {
        SendMessageW(item->Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font->Get()), TRUE);
        item->m_font = font;
    }
    ReadColorAttribute(e, "fontclr", item->m_textColor);
    item->SetItemFields(id, kKindBitmapWindow, item->Hwnd(), parent);
    return item;
}

CGUIItem* ReadFont(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    LOGFONTW lf{};
    lf.lfPitchAndFamily = 0x20;
    std::wstring face = AttrText(e, "typeface");
    if (!face.empty()) {
        // The face name field holds 31 characters and the terminator: longer names are cut.
        const size_t n = std::min(face.size(), std::size(lf.lfFaceName) - 1);
        std::memcpy(lf.lfFaceName, face.data(), n * sizeof(wchar_t));
        lf.lfFaceName[n] = 0;
    }
    const int pitch = ParseNumber(e.attribute("pitch").value());
    if (pitch > 0) lf.lfHeight = pitch;
    const int bold = ParseNumber(e.attribute("boldlevel").value());
    if (bold > 0) lf.lfWeight = std::min(bold, 1000);
    std::wstring file = NodeText(e);
    const size_t b = file.find_first_not_of(L" \t\r\n");
    const size_t f = file.find_last_not_of(L" \t\r\n");
    file = b == std::wstring::npos ? std::wstring() : file.substr(b, f - b + 1);
    if (!file.empty()) FindSkinResource(file, kSkinFont);
    auto* item = new CFontItem;
    item->Reset(CreateFontIndirectW(&lf));
    item->SetItemFields(id, kKindFontItem, nullptr, parent);
    return item;
}

} // namespace vt::skin
