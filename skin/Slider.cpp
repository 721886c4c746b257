#include "skin/Slider.h"
#include <commctrl.h>
#include <algorithm>
#include <cmath>
#include "skin/Messages.h"
#include "win/Gdi.h"

namespace vt::skin {

namespace {
POINT g_lastTipPoint{INT_MIN, INT_MIN};   // one point remembered for every track of the program

int Truncate(float f) { return static_cast<int>(f); }
} // namespace

int TooltipPositionCode(const wchar_t* ttpos) {
    if (!ttpos) return 0;
    switch (ttpos[0]) {
    case L'R': return 1;
    case L'T': return 2;
    case L'B': return 3;
    default: return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Thumb

bool CSliderBase::CreateSliderWindow(HBITMAP thumb, HWND track, HBITMAP hover, HBITMAP mask, bool colourKey,
                                     const RECT& item) {
    m_track = track;
    m_trackItem = dynamic_cast<CSliderTrack*>(vt::win::Window::FromHandle(track));
    m_interactive = 1;
    m_dragging = 0;
    m_thumb.Reset(thumb);
    m_hover.Reset(hover);
    m_mask.Reset(mask);
    SIZE s = BitmapSize(thumb);
    m_thumbWidth = s.cx;
    m_thumbHeight = s.cy;
    m_itemRect = item;
    RegisterControlWindowClass();
    int w = m_thumbWidth > 0 ? m_thumbWidth : item.right - item.left;
    int h = m_thumbHeight > 0 ? m_thumbHeight : item.bottom - item.top;
    if (!Create(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, item.left, item.top, w, h, track,
                UINT_PTR(m_controlId) & 0xFFFF))
        return false;
    if (mask) {
        if (HRGN rgn = CreateRegionFromBitmap(mask))
            if (!SetWindowRgn(m_hWnd, rgn, TRUE)) DeleteObject(rgn);
    }
    SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) | WS_EX_TOPMOST);
    if (colourKey) ApplyColorKeyRegion();
    CalcLayout();
    // Place the thumb at its position (the thumb does not cover the rest of the track).
    int p = PixelOf(m_position);
    if (dynamic_cast<CVertSlider*>(this)) SetWindowPos(m_hWnd, nullptr, m_itemRect.left, p, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else SetWindowPos(m_hWnd, nullptr, p, m_itemRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RebuildValueText(false);
    return true;
}

void CSliderBase::ApplyColorKeyRegion() {
    if (!m_hWnd || !m_thumb) return;
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    vt::win::WindowDC screen(nullptr);
    vt::win::MemoryDC mem(screen);
    vt::win::SelectGuard sel(mem, m_thumb.Get());
    const COLORREF key = GetPixel(mem, 0, 0);
    HRGN region = CreateRectRgn(0, 0, w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (GetPixel(mem, x, y) != key) continue;
            HRGN px = CreateRectRgn(x, y, x + 1, y + 1);
            CombineRgn(region, region, px, RGN_XOR);
            DeleteObject(px);
        }
    }
    if (!SetWindowRgn(m_hWnd, region, TRUE)) DeleteObject(region);
}

void CSliderBase::SetValueRange(int valueMin, int valueMax) {
    m_valueMin = valueMin;
    m_valueMax = valueMax < valueMin ? valueMin : valueMax;
    m_positionMin = 0;
    m_positionMax = m_valueMax - m_valueMin;
    if (m_position > m_positionMax) m_position = m_positionMax;
    CalcLayout();
}

void CSliderBase::SetSliderValue(int value) {
    value = std::clamp(value, m_valueMin, std::max(m_valueMin, m_valueMax));
    SetPos(m_positionMin + value - m_valueMin, true);
}

int CSliderBase::PixelOf(int position) const {
    auto it = m_pixelMap.find(position);
    if (it != m_pixelMap.end()) return it->second;
    if (m_pixelMap.empty()) return m_lowEnd;
    return position < m_pixelMap.begin()->first ? m_pixelMap.begin()->second : m_pixelMap.rbegin()->second;
}

void CSliderBase::RebuildValueText(bool multiply) {
    int v = m_valueMin + m_position;
    if (multiply) v *= m_multiplier;
    m_valueText = m_prefix + std::to_wstring(v);
}

void CSliderBase::PostToTrack(UINT msg, WPARAM w, LPARAM l) {
    if (m_track && IsWindow(m_track)) PostMessageW(m_track, msg, w, l);
}

void CSliderBase::SendToTrack(UINT msg, WPARAM w, LPARAM l) {
    if (m_track && IsWindow(m_track)) SendMessageW(m_track, msg, w, l);
}

void CSliderBase::SetThumbToolTip(const wchar_t* tooltip, int code, const wchar_t* prefix) {
    if (prefix) m_prefix = prefix;
    if (tooltip && *tooltip) m_hoverText = ResolveControlText(tooltip);
    RebuildValueText(false);
    switch (code) {
    case 1: m_tipOffset = {m_thumbWidth + 2, m_thumbHeight / 2}; break;
    case 2: m_tipOffset = {m_thumbWidth / 2, -2}; break;
    case 3: m_tipOffset = {m_thumbWidth / 2, m_thumbHeight + 2}; break;
    default: m_tipOffset = {-2, m_thumbHeight / 2}; break;
    }
    if (m_trackItem) m_trackItem->CreateThumbTip(code);
}

void CSliderBase::MoveToPoint(int x, int y) {
    if (!m_hWnd || !IsWindowEnabled(m_hWnd)) return;
    int position = PixelToValue(x - m_halfThumbWidth, y - m_halfThumbHeight);
    SetPos(position, true);
    // The committed value is the stored position: SetPos has clamped it into the range.
    PostToTrack(WM_SLIDER_VALUE_SET, WPARAM(m_valueMin + m_position), LPARAM(m_controlId));
}

void CSliderBase::LayoutHorizontal() {
    const int half = m_thumbWidth >> 1;
    m_trackRect = m_itemRect;
    m_trackRect.left -= half;
    m_trackRect.right += half;
    m_lowEnd = m_trackRect.left;
    m_highEnd = m_trackRect.right - m_thumbWidth;
    m_halfThumbWidth = m_thumbWidth / 2;
    m_halfThumbHeight = m_thumbHeight / 2;
    m_rangeWidth = m_positionMax - m_positionMin;
    // A zero range has one position at the low end.
    m_scale = m_rangeWidth > 0 ? float(m_itemRect.right - m_itemRect.left) / float(m_rangeWidth) : 0.f;
    m_pixelMap.clear();
    for (int p = m_positionMin; p <= m_positionMax; ++p)
        m_pixelMap[p] = std::min(m_highEnd, m_lowEnd + Truncate(float(p) * m_scale));
}

bool CSliderBase::OnLButtonDown(UINT keys, POINT pt) {
    if (m_interactive) {
        SetCapture(m_hWnd);
        m_dragging = 1;
        m_downPoint = pt;
    }
    return false;
}

bool CSliderBase::OnLButtonUp(UINT keys, POINT pt) {
    if (m_interactive) {
        m_dragging = 0;
        if (GetCapture() == m_hWnd) ReleaseCapture();
        PostToTrack(WM_SLIDER_VALUE_SET, WPARAM(m_valueMin + m_position), LPARAM(m_controlId));
        m_dragging = 0;
        m_hovered = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return false;
}

bool CSliderBase::OnMouseMove(UINT keys, POINT pt) {
    if (m_interactive) {
        if (!m_leaveArmed) {
            TrackLeave(m_hWnd, false);
            m_leaveArmed = 1;
        } else {
            TrackLeave(m_hWnd, true);
        }
        if (!m_hovered) {
            m_hovered = 1;
            InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        if (m_dragging) TrackMouse(keys, pt.x, pt.y);
    }
    return false;
}

bool CSliderBase::OnMouseLeave() {
    if (m_trackItem && m_trackItem->m_tipShown && m_trackItem->m_tipWindow) {
        TOOLINFOW ti{sizeof(ti)};
        ti.hwnd = m_track;
        ti.uId = UINT_PTR(m_track);
        SendMessageW(m_trackItem->m_tipWindow, TTM_TRACKACTIVATE, FALSE, LPARAM(&ti));
        m_trackItem->m_tipShown = 0;
    }
    m_leaveArmed = 0;
    m_hovered = 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CSliderBase::OnKillFocus(HWND) {
    m_hovered = 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return false;
}

bool CSliderBase::OnCaptureChanged(HWND gaining) {
    // Capture taken away in the middle of a drag ends the drag (the value stays where it is).
    if (gaining != m_hWnd) m_dragging = 0;
    return false;
}

LRESULT CSliderBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEHOVER) {
        if (m_trackItem && IsWindow(m_track)) m_trackItem->ShowThumbTip();
        return 0;
    }
    if (msg == WM_NCDESTROY && m_trackItem && IsWindow(m_track) &&
        vt::win::Window::FromHandle(m_track) == m_trackItem && m_trackItem->m_thumbItem == this)
        m_trackItem->m_thumbItem = nullptr;
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

bool CSliderBase::OnPaint() {
    vt::win::PaintDC pdc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(pdc, rc.right, rc.bottom);
    FillSolid(buf, rc, 0);
    HBITMAP bmp = (m_dragging || m_hovered) && m_hover ? m_hover.Get() : m_thumb.Get();
    DrawBitmapAt(buf, bmp, 0, 0, m_thumbWidth, m_thumbHeight);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Horizontal thumb

int CPHSlider::PixelToValue(int x, int) {
    if (m_scale <= 0.f) return m_positionMin;
    int q = Truncate(float(std::max(x, m_lowEnd) - m_lowEnd) / m_scale);
    // The pixel map truncates p x scale; a thumb standing on pixel(p) must read back p, not p - 1.
    while (q + 1 <= m_positionMax && q + 1 >= m_positionMin && PixelOf(q + 1) <= x) ++q;
    return q;
}

void CPHSlider::TrackMouse(UINT, int x, int y) {
    POINT pt{x, y};
    MapWindowPoints(m_hWnd, m_track, &pt, 1);
    int nx = std::clamp(int(pt.x) - m_halfThumbWidth, m_lowEnd, std::max(m_lowEnd, m_highEnd));
    SetWindowPos(m_hWnd, nullptr, nx, m_trackRect.top, m_thumbWidth, m_thumbHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SendToTrack(WM_SLIDER_THUMB_MOVED_X, 0, nx);
    int p = std::clamp(PixelToValue(nx, 0), m_positionMin, m_positionMax);
    if (p != m_position) {
        m_position = p;
        PostToTrack(WM_SLIDER_VALUE_CHANGING, WPARAM(m_valueMin + p), LPARAM(m_controlId));
    }
    RebuildValueText(true);
}

void CPHSlider::SetPos(int position, bool notify) {
    if (!notify && position == m_position) return;
    m_position = std::clamp(position, m_positionMin, std::max(m_positionMin, m_positionMax));
    if (notify && m_hWnd) {
        int px = PixelOf(m_position);
        SetWindowPos(m_hWnd, nullptr, px, m_itemRect.top, m_thumbWidth, m_thumbHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        SendToTrack(WM_SLIDER_THUMB_MOVED_X, 0, px);
    }
    RebuildValueText(true);
}

void CPHSlider::SetCapRange(int capMin, int capMax) {
    m_capMin = std::clamp(capMin, m_positionMin, std::max(m_positionMin, m_positionMax));
    m_capMax = std::clamp(capMax, m_positionMin, std::max(m_positionMin, m_positionMax));
}

// ---------------------------------------------------------------------------------------------
// Ticker

int CAPMTicker::PixelToValue(int x, int) {
    x = std::max(x, m_lowEnd);
    for (const auto& [p, px] : m_pixelMap)
        if (px >= x) return p;
    return m_positionMax + 1;   // beyond the last position: above any cap
}

void CAPMTicker::TrackMouse(UINT, int x, int y) {
    POINT pt{x, y};
    MapWindowPoints(m_hWnd, m_track, &pt, 1);
    int nx = pt.x - m_halfThumbWidth;
    int pv = PixelToValue(nx, 0);
    if (pv < m_capMin) nx = PixelOf(m_capMin);
    else if (pv > m_capMax) nx = PixelOf(m_capMax);
    SetWindowPos(m_hWnd, nullptr, nx, m_trackRect.top, m_thumbWidth, m_thumbHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SendToTrack(WM_SLIDER_THUMB_MOVED_X, 0, nx);
    int p = std::clamp(PixelToValue(nx, 0), m_positionMin, m_positionMax);
    if (p != m_position) {
        m_position = p;
        PostToTrack(WM_SLIDER_VALUE_CHANGING, WPARAM(m_valueMin + p), LPARAM(m_controlId));
    }
    RebuildValueText(false);
}

void CAPMTicker::SetPos(int position, bool notify) {
    m_position = std::clamp(position, m_positionMin, std::max(m_positionMin, m_positionMax));
    if (notify && m_hWnd) {
        int px = PixelOf(m_position);
        SetWindowPos(m_hWnd, nullptr, px, m_itemRect.top, m_thumbWidth, m_thumbHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        SendToTrack(WM_SLIDER_THUMB_MOVED_X, 0, px);
    }
    RebuildValueText(false);
}

void CAPMTicker::SetCapRange(int capMin, int capMax) {
    m_capMin = std::clamp(capMin, m_positionMin, std::max(m_positionMin, m_positionMax));
    m_capMax = std::clamp(capMax, m_positionMin, std::max(m_positionMin, m_positionMax));
}

void CAPMTicker::SetTipText(const wchar_t* text) {
    if (!text || !m_hWnd) return;
    m_tip.SetText(m_hWnd, FlattenBreaks(ResolveControlText(text)));
}

// ---------------------------------------------------------------------------------------------
// Vertical thumb

void CVertSlider::CalcLayout() {
    const int half = m_thumbHeight >> 1;
    m_trackRect = m_itemRect;
    m_trackRect.top -= half;
    m_trackRect.bottom += half;
    m_highEnd = m_trackRect.top;
    m_lowEnd = m_trackRect.bottom - m_thumbHeight;
    m_halfThumbWidth = m_thumbWidth / 2;
    m_halfThumbHeight = m_thumbHeight / 2;
    m_rangeWidth = m_positionMax - m_positionMin;
    m_scale = m_rangeWidth > 0 ? float(m_itemRect.bottom - m_itemRect.top) / float(m_rangeWidth) : 0.f;
    m_pixelMap.clear();
    for (int p = m_positionMin; p <= m_positionMax; ++p)
        m_pixelMap[p] = std::max(m_highEnd, m_lowEnd - Truncate(float(p) * m_scale));
}

int CVertSlider::PixelToValue(int, int y) {
    if (m_scale <= 0.f) return m_positionMin;
    int q = Truncate(float(m_lowEnd - std::min(y, m_lowEnd)) / m_scale);
    while (q + 1 <= m_positionMax && q + 1 >= m_positionMin && PixelOf(q + 1) >= y) ++q;
    return q;
}

void CVertSlider::TrackMouse(UINT, int x, int y) {
    POINT pt{x, y};
    MapWindowPoints(m_hWnd, m_track, &pt, 1);
    int ny = std::clamp(int(pt.y) - m_halfThumbHeight, std::min(m_highEnd, m_lowEnd), m_lowEnd);
    SetWindowPos(m_hWnd, nullptr, m_trackRect.left, ny, m_thumbWidth, m_thumbHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // The track hears the thumb's lower edge, from a drag as from SetPos, so the fill bar is the same.
    SendToTrack(WM_SLIDER_THUMB_MOVED_Y, 0, ny + m_thumbHeight);
    int p = std::clamp(PixelToValue(0, ny), m_positionMin, m_positionMax);
    if (p != m_position) {
        m_position = p;
        PostToTrack(WM_SLIDER_VALUE_CHANGING, WPARAM(m_valueMin + p), LPARAM(m_controlId));
    }
    RebuildValueText(false);
}

void CVertSlider::SetPos(int position, bool notify) {
    if (position == m_position) return;
    m_position = std::clamp(position, m_positionMin, std::max(m_positionMin, m_positionMax));
    if (notify && m_hWnd) {
        int py = PixelOf(m_position);
        SetWindowPos(m_hWnd, nullptr, m_itemRect.left, py, m_thumbWidth, m_thumbHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        SendToTrack(WM_SLIDER_THUMB_MOVED_Y, 0, py + m_thumbHeight);
    }
    RebuildValueText(false);
}

// ---------------------------------------------------------------------------------------------
// Track

bool CSliderTrack::Create(const RECT& r, HWND parent) {
    RegisterControlWindowClass();
    return vt::win::Window::Create(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, parent, UINT_PTR(m_controlId) & 0xFFFF);
}

void CSliderTrack::SetImage(HBITMAP source, HBITMAP mask) {
    if (!m_hWnd) return;
    if (mask) {
        if (HRGN rgn = CreateRegionFromBitmap(mask))
            if (!SetWindowRgn(m_hWnd, rgn, TRUE)) DeleteObject(rgn);
    }
    if (!source) return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::WindowDC dc(m_hWnd);
    CopyBitmapRect(m_image, dc, source, 0, 0, rc.right, rc.bottom);
}

void CSliderTrack::CreateThumbTip(int code) {
    if (!m_thumbItem || !m_thumbItem->Hwnd() || m_tipWindow) return;
    m_tipWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!m_tipWindow) return;
    TOOLINFOW ti{sizeof(ti)};
    ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = m_hWnd;
    ti.uId = UINT_PTR(m_hWnd);
    GetClientRect(m_hWnd, &ti.rect);
    std::wstring text = m_thumbItem->m_valueText;
    ti.lpszText = text.data();
    SendMessageW(m_tipWindow, TTM_ADDTOOLW, 0, LPARAM(&ti));
    SendMessageW(m_tipWindow, TTM_TRACKACTIVATE, FALSE, LPARAM(&ti));
    m_tipCode = code;
    m_tipShown = 0;
}

void CSliderTrack::SetTipText(const std::wstring& text) {
    if (!m_tipWindow) return;
    TOOLINFOW ti{sizeof(ti)};
    ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = m_hWnd;
    ti.uId = UINT_PTR(m_hWnd);
    GetClientRect(m_hWnd, &ti.rect);
    std::wstring copy = text;
    ti.lpszText = copy.data();
    SendMessageW(m_tipWindow, TTM_SETTOOLINFOW, 0, LPARAM(&ti));
}

void CSliderTrack::ShowThumbTip() {
    if (!m_thumbItem || m_tipShown || !m_tipWindow) return;
    std::wstring text = m_thumbItem->m_hoverText.empty() ? m_thumbItem->m_valueText : m_thumbItem->m_hoverText;
    if (text.size() > 127) text.resize(127);
    SetTipText(text);
    TOOLINFOW ti{sizeof(ti)};
    ti.hwnd = m_hWnd;
    ti.uId = UINT_PTR(m_hWnd);
    SendMessageW(m_tipWindow, TTM_TRACKACTIVATE, TRUE, LPARAM(&ti));
    m_tipShown = 1;
    PlaceThumbTip();
}

void CSliderTrack::PlaceThumbTip() {
    if (!m_thumbItem || !m_thumbItem->Hwnd() || !m_tipWindow) return;
    RECT tr;
    GetClientRect(m_thumbItem->Hwnd(), &tr);
    POINT s{tr.left, tr.top};
    ClientToScreen(m_thumbItem->Hwnd(), &s);
    int x = s.x + m_thumbItem->m_tipOffset.x, y = s.y + m_thumbItem->m_tipOffset.y;
    RECT wr;
    GetWindowRect(m_tipWindow, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    switch (m_tipCode) {
    case 0: x -= w; y -= h / 2; break;
    case 1: y -= h / 2; break;
    case 2: x -= w / 2; y -= h; break;
    default: x -= w / 2; break;
    }
    if (g_lastTipPoint.x == x && g_lastTipPoint.y == y) return;
    SendMessageW(m_tipWindow, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    g_lastTipPoint = {x, y};
}

void CSliderTrack::Forward(UINT msg, WPARAM w, LPARAM l) {
    HWND target = ReportTarget(m_owner, m_hWnd);
    if (target) PostMessageW(target, msg, w, l);
}

bool CSliderTrack::OnLButtonUp(UINT, POINT pt) {
    if (m_thumbItem && m_thumbItem->Hwnd()) m_thumbItem->MoveToPoint(pt.x, pt.y);
    Forward(WM_SLIDER_TRACK_CLICKED, WPARAM(m_controlId), MAKELPARAM(pt.x, pt.y));
    return false;
}

bool CSliderTrack::OnMouseMove(UINT, POINT) {
    if (m_thumbItem && m_thumbItem->Hwnd()) PlaceThumbTip();
    return false;
}

void CSliderTrack::OnDestroy() {
    if (m_tipWindow && IsWindow(m_tipWindow)) DestroyWindow(m_tipWindow);
    m_tipWindow = nullptr;
}

LRESULT CSliderTrack::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SLIDER_VALUE_CHANGING:
        if (m_thumbItem) {
            if (!m_tipShown && m_tipWindow) {
                TOOLINFOW ti{sizeof(ti)};
                ti.hwnd = m_hWnd;
                ti.uId = UINT_PTR(m_hWnd);
                SendMessageW(m_tipWindow, TTM_TRACKACTIVATE, TRUE, LPARAM(&ti));
                m_tipShown = 1;
            }
            SetTipText(m_thumbItem->m_valueText);
            PlaceThumbTip();
        }
        Forward(msg, wParam, lParam);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_SLIDER_VALUE_SET:
        if (m_tipWindow) {
            TOOLINFOW ti{sizeof(ti)};
            ti.hwnd = m_hWnd;
            ti.uId = UINT_PTR(m_hWnd);
            SendMessageW(m_tipWindow, TTM_TRACKACTIVATE, FALSE, LPARAM(&ti));
        }
        m_tipShown = 0;
        Forward(msg, wParam, lParam);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_SLIDER_THUMB_MOVED_X:
    case WM_SLIDER_THUMB_MOVED_Y:
        if (m_thumbItem) {
            if (msg == WM_SLIDER_THUMB_MOVED_X) { m_thumbX = int(lParam); m_lastAxis = 1; }
            else { m_thumbY = int(lParam); m_lastAxis = 2; }
            PlaceThumbTip();
            if (m_repaintPending) {
                m_repaintPending = 0;
                InvalidateRect(m_hWnd, nullptr, FALSE);
            } else {
                UpdateWindow(m_hWnd);
            }
        }
        return 0;
    default:
        return vt::win::Window::WindowProc(msg, wParam, lParam);
    }
}

bool CSliderTrack::OnPaint() {
    vt::win::PaintDC pdc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(pdc, rc.right, rc.bottom);
    FillSolid(buf, rc, 0);
    if (m_image) DrawBitmapAt(buf, m_image, 0, 0, rc.right, rc.bottom);
    if (m_fillEnabled) {
        RECT f = m_fill.rect;
        if (m_lastAxis == 1) f.right = m_thumbX;
        else if (m_lastAxis == 2) f.top = m_thumbY;
        if (f.right > f.left && f.bottom > f.top) FillSolid(buf, f, m_fill.colour);
    }
    return true;
}

} // namespace vt::skin

// ---------------------------------------------------------------------------------------------
// Page elements

#include "skin/CtlBuilders.h"
#include "skin/PageReader.h"

namespace vt::skin {

CGUIItem* ReadSliderTrack(pugi::xml_node e, CGUIItems&, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    SliderFill fill;
    bool hasFill = false;
    if (pugi::xml_node f = e.child("FILLINFO")) {
        hasFill = true;
        fill.rect = ReadItemRect(f, -1);
        ReadColorAttribute(f, "fillclr", fill.colour);
    }
    auto* track = hasFill ? new CSliderTrack(fill) : new CSliderTrack();
    track->m_controlId = id;
    RECT r = ReadItemRect(e, id);
    if (!track->Create(r, parent)) {
        delete track;
        return nullptr;
    }
    track->SetImage(ChildSkinImage(e, "SBMN"), ChildSkinImage(e, "SBMM"));
    track->SetItemFields(id, kKindSliderTrack, nullptr, parent);
    return track;
}

CGUIItem* ReadVertSlider(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    // A thumb lives in its track: without a track built earlier on the page there is no slider.
    auto* track = static_cast<CSliderTrack*>(ReadTrackRef(e, items));
    if (!track || !track->Hwnd()) return nullptr;
    auto* thumb = new CVertSlider();
    thumb->m_controlId = id;
    track->m_thumbItem = thumb;
    RECT r = ReadItemRect(e, id);
    if (!thumb->CreateSliderWindow(CopyAsDib(ChildSkinImage(e, "SBMN")), track->Hwnd(), CopyAsDib(ChildSkinImage(e, "SBMO")),
                                   CopyAsDib(ChildSkinImage(e, "SBMM")), false, r)) {
        track->m_thumbItem = nullptr;
        delete thumb;
        return nullptr;
    }
    std::wstring tooltip, prefix;
    ReadTooltipWithPrefix(e, tooltip, prefix);
    const wchar_t pos[2] = {ReadTooltipPosition(e), 0};
    thumb->SetThumbToolTip(tooltip.c_str(), TooltipPositionCode(pos), prefix.c_str());
    thumb->SetItemFields(id, kKindVertSlider, thumb->Hwnd(), track->Hwnd());
    return thumb;
}

} // namespace vt::skin
