#include "skin/ScrollBar.h"
#include <algorithm>
#include "skin/CtlCommon.h"
#include "win/Gdi.h"

namespace vt::skin {

CVScrollBar::~CVScrollBar() {
    if (m_hWnd) DestroyWindow(m_hWnd);
    delete m_skin;
}

void CVScrollBar::CreateVScrollBar(const VScrollDescription& d) {
    delete m_skin;
    m_skin = new VScrollSkin();
    CBitmap* src[] = {d.top, d.bottom, d.arrowUp, d.arrowDown, d.track, d.thumb};
    for (int k = 0; k < VScrollSkin::kCount; ++k) m_skin->sources[k] = src[k] ? src[k]->Get() : nullptr;
    m_skin->borderWidth = d.borderWidth;
    if (m_hWnd) PrepareScrollBitmaps();
    if (m_thumbPos == 0) m_thumbPos = Height(VScrollSkin::kTop) + Height(VScrollSkin::kArrowUp);
    m_borderWidth = d.borderWidth;
    m_insetBefore = d.borderWidth / 2;
    m_insetAfter = d.borderWidth - m_insetBefore;
}

void CVScrollBar::PrepareScrollBitmaps() {
    if (!m_skin || m_skin->prepared) return;
    vt::win::WindowDC dc(m_hWnd);
    for (int k = 0; k < VScrollSkin::kCount; ++k) {
        if (!m_skin->sources[k]) continue;
        m_skin->sizes[k] = BitmapSize(m_skin->sources[k]);
        CopyBitmapRect(m_skin->copies[k], dc, m_skin->sources[k], 0, 0, m_skin->sizes[k].cx, m_skin->sizes[k].cy);
    }
    m_skin->prepared = 1;
}

bool CVScrollBar::CreateBar(DWORD style, const RECT& r, HWND parent, UINT id) {
    RegisterControlWindowClass();
    if (!Create(0, kControlWindowClass, L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, id))
        return false;
    if (!m_skin) return false;
    PrepareScrollBitmaps();
    m_thumbPos = Height(VScrollSkin::kTop) + Height(VScrollSkin::kArrowUp);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    return CalcScrollLayout(rc);
}

bool CVScrollBar::CalcScrollLayout(const RECT& c) {
    const int top = Height(VScrollSkin::kTop), bot = Height(VScrollSkin::kBottom);
    const int up = Height(VScrollSkin::kArrowUp), down = Height(VScrollSkin::kArrowDown);
    const int thumb = Height(VScrollSkin::kThumb);
    m_trackBottom = c.bottom - bot - down;
    if (m_trackBottom - top - up - c.top - thumb <= 0) return false;
    m_trackTop = top + up + c.top;
    m_upRect = {0, top, m_barWidth, m_trackTop};
    m_downRect = {0, m_trackBottom, m_barWidth, m_trackBottom + down};
    m_trackLength = double(c.bottom - thumb - down - up - bot - top - c.top);
    m_grabOffset = thumb / 2;
    return true;
}

bool CVScrollBar::OwnerScrollInfo(SCROLLINFO& si) const {
    si = {sizeof(si), SIF_ALL};
    return m_ownerWindow && GetScrollInfo(m_ownerWindow, SB_VERT, &si);
}

void CVScrollBar::ClampThumb() {
    const int thumb = Height(VScrollSkin::kThumb);
    if (m_thumbPos + thumb > m_trackBottom) m_thumbPos = m_trackBottom - thumb;
    if (m_thumbPos < m_trackTop) m_thumbPos = m_trackTop;
}

void CVScrollBar::SyncThumbPosition() {
    if (!m_hWnd || !m_skin) return;
    SCROLLINFO si;
    if (!OwnerScrollInfo(si)) si = {sizeof(si), SIF_ALL};
    if (si.nMax < si.nPos) return;
    const long long range = (long long)si.nMax - (long long)si.nPage;
    int offset = 0;
    // Nothing to scroll: the thumb stays at the top of its track.
    if (range > 0) offset = int(std::max(0.0, m_trackLength / double(range) * si.nPos));
    const int before = m_thumbPos;
    m_thumbPos = Height(VScrollSkin::kTop) + Height(VScrollSkin::kArrowUp) + offset;
    ClampThumb();
    // Drawn with the bar's next paint: a list that moves many rows at once repaints the bar once.
    if (m_thumbPos != before) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CVScrollBar::DrawScrollBar() {
    if (!m_hWnd) return;
    vt::win::WindowDC wdc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(wdc, rc.right, rc.bottom);
    FillSolid(buf, rc, m_background);
    int x = 0;
    if (m_borderWidth > 0) {
        FillSolid(buf, RECT{rc.left + m_insetBefore - m_borderWidth / 2, rc.top,
                            rc.left + m_insetBefore - m_borderWidth / 2 + m_borderWidth, rc.bottom}, m_border);
        x = m_borderWidth;
    }
    if (!m_skin) return;
    auto draw = [&](int k, int y) {
        if (m_skin->copies[k]) DrawBitmapAt(buf, m_skin->copies[k], x, y, m_barWidth, m_skin->sizes[k].cy);
    };
    const int top = Height(VScrollSkin::kTop), up = Height(VScrollSkin::kArrowUp);
    draw(VScrollSkin::kTop, 0);
    draw(VScrollSkin::kArrowUp, top);
    if (m_skin->copies[VScrollSkin::kSpine]) {
        // The spine laid down at every row from s on: each row shows the spine's first row (the copies
        // overlap), so one stretched copy of that row draws the same in one call.
        const int s = top + up, n = rc.bottom - s;
        if (n > 0) {
            vt::win::MemoryDC mem(buf);
            vt::win::SelectGuard sel(mem, m_skin->copies[VScrollSkin::kSpine].Get());
            StretchBlt(buf, x, s, m_barWidth, n, mem, 0, 0, std::min<int>(m_barWidth, m_skin->sizes[VScrollSkin::kSpine].cx), 1, SRCCOPY);
        }
    }
    // The bottom arrow and cap at the layout's own places (their own heights).
    draw(VScrollSkin::kArrowDown, m_trackBottom);
    draw(VScrollSkin::kBottom, m_trackBottom + Height(VScrollSkin::kArrowDown));
    if (m_skin->copies[VScrollSkin::kThumb]) {
        const SIZE ts = m_skin->sizes[VScrollSkin::kThumb];
        DrawBitmapAt(buf, m_skin->copies[VScrollSkin::kThumb], x + (m_barWidth - x - ts.cx) / 2, m_thumbPos, ts.cx, ts.cy);
    }
}

bool CVScrollBar::OnPaint() {
    PAINTSTRUCT ps;
    BeginPaint(m_hWnd, &ps);
    EndPaint(m_hWnd, &ps);
    DrawScrollBar();
    return true;
}

LRESULT CVScrollBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The bar never keeps the focus: the list it serves keeps it (a popup list closes on focus loss).
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (msg == WM_SETFOCUS) {
        if (m_ownerWindow && IsWindow(m_ownerWindow)) SetFocus(m_ownerWindow);
        return 0;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

bool CVScrollBar::OnLButtonDown(UINT, POINT pt) {
    const int thumb = Height(VScrollSkin::kThumb);
    RECT t{0, m_thumbPos, m_barWidth, m_thumbPos + thumb};
    if (PtInRect(&t, pt)) {
        m_dragging = 1;
        SetCapture(m_hWnd);
    } else if (PtInRect(&m_downRect, pt)) {
        m_downPressed = 1;
    } else if (PtInRect(&m_upRect, pt)) {
        m_upPressed = 1;
    }
    return false;
}

bool CVScrollBar::OnLButtonDblClk(UINT, POINT pt) {
    if (PtInRect(&m_downRect, pt)) m_downPressed = 1;
    else if (PtInRect(&m_upRect, pt)) m_upPressed = 1;
    return true;
}

bool CVScrollBar::OnMouseMove(UINT keys, POINT pt) {
    if (m_dragging) {
        if (!(keys & MK_LBUTTON)) return true;
        m_thumbPos = pt.y - m_grabOffset;
        ClampThumb();
        SCROLLINFO si;
        if (OwnerScrollInfo(si)) {
            const long long range = (long long)si.nMax - (long long)si.nPage;
            if (range > 0 && m_trackLength > 0) {
                const int pos = int(double(m_thumbPos - Height(VScrollSkin::kArrowUp) - Height(VScrollSkin::kTop)) /
                                    (m_trackLength / double(range)));
                const int clamped = int(std::clamp<long long>(pos, 0, range));
                if (clamped != m_lastPosted) {
                    m_lastPosted = clamped;
                    PostMessageW(m_ownerWindow, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, clamped), 0);
                }
            }
        }
        DrawScrollBar();
        return true;
    }
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (PtInRect(&rc, pt)) {
        if (GetCapture() != m_hWnd) SetCapture(m_hWnd);
    } else if (m_ownerWindow) {
        SetCapture(m_ownerWindow);
    }
    return true;
}

void CVScrollBar::Action(int code) {
    if (!m_ownerWindow) return;
    if (code == SB_PAGEDOWN) {
        SCROLLINFO si;
        OwnerScrollInfo(si);
        const int end = std::max(0, si.nMax - int(si.nPage));
        if (si.nPos + int(si.nPage) < si.nMax - int(si.nPage)) {
            PostMessageW(m_ownerWindow, WM_VSCROLL, SB_PAGEDOWN, 0);
        } else {
            PostMessageW(m_ownerWindow, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, end), 0);
            m_pendingTarget = end;
            SetTimer(m_hWnd, kJumpTimer, 20, nullptr);
            return;
        }
    } else {
        PostMessageW(m_ownerWindow, WM_VSCROLL, WPARAM(code), 0);
    }
    m_pendingSync = true;
    SetTimer(m_hWnd, kEndScrollTimer, 5, nullptr);
}

bool CVScrollBar::OnLButtonUp(UINT, POINT pt) {
    if (m_dragging) {
        if (m_ownerWindow) SetCapture(m_ownerWindow);
        SetTimer(m_hWnd, kEndScrollTimer, 5, nullptr);
    } else {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        const int thumb = Height(VScrollSkin::kThumb);
        RECT t{0, m_thumbPos, m_barWidth, m_thumbPos + thumb};
        if (PtInRect(&m_upRect, pt) && m_upPressed) Action(SB_LINEUP);
        else if (PtInRect(&m_downRect, pt) && m_downPressed) Action(SB_LINEDOWN);
        else if (!m_upPressed && !m_downPressed && PtInRect(&rc, pt) && !PtInRect(&t, pt) && !PtInRect(&m_upRect, pt) &&
                 !PtInRect(&m_downRect, pt))
            Action(m_thumbPos >= pt.y ? SB_PAGEUP : SB_PAGEDOWN);
    }
    m_dragging = m_upPressed = m_downPressed = 0;
    return false;
}

bool CVScrollBar::OnTimer(UINT_PTR id) {
    if (id == kEndScrollTimer) {
        KillTimer(m_hWnd, kEndScrollTimer);
        if (m_pendingSync) {
            m_pendingSync = false;
            SyncThumbPosition();
        }
        if (m_ownerWindow) PostMessageW(m_ownerWindow, WM_VSCROLL, SB_ENDSCROLL, 0);
        return true;
    }
    if (id == kJumpTimer) {
        KillTimer(m_hWnd, kJumpTimer);
        if (m_pendingTarget >= 0 && m_ownerWindow) {
            SCROLLINFO si{sizeof(si), SIF_POS};
            si.nPos = m_pendingTarget;
            SetScrollInfo(m_ownerWindow, SB_VERT, &si, TRUE);
        }
        SyncThumbPosition();
        m_pendingTarget = -1;
        SetTimer(m_hWnd, kEndScrollTimer, 5, nullptr);
        return true;
    }
    return false;
}

} // namespace vt::skin
