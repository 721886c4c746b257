#include "skin/LevelMarker.h"
#include <algorithm>
#include "skin/CtlBuilders.h"
#include "skin/CtlCommon.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "win/Gdi.h"

namespace vt::skin {

bool CDMarker::CreateMarker(const RECT& r, int controlId, HWND parent) {
    m_rect = r;
    m_id = controlId;
    m_parent = parent;
    m_rangeMin = 0;
    m_rangeMax = 10;
    m_value = 0;
    m_dragging = 0;
    m_interactive = 1;
    RegisterControlWindowClass();
    return Create(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent, UINT_PTR(controlId) & 0xFFFF);
}

void CDMarker::SetMarkerBitmaps(HBITMAP empty, HBITMAP full, const RECT& r) {
    vt::win::WindowDC dc(m_hWnd);
    CopyBitmapRect(m_empty, dc, empty, r.left, r.top, r.right, r.bottom);
    CopyBitmapRect(m_full, dc, full, r.left, r.top, r.right, r.bottom);
}

void CDMarker::SetValue(int v) {
    m_value = std::clamp(v, std::min(m_rangeMin, m_rangeMax), std::max(m_rangeMin, m_rangeMax));
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CDMarker::ValueFromPoint(POINT pt) const {
    POINT p = pt;
    if (m_hWnd && m_parent) MapWindowPoints(m_hWnd, m_parent, &p, 1);
    const int width = m_rect.right - m_rect.left;
    if (width <= 0) return m_rangeMin;   // a marker without width has only its minimum
    const long long x = std::max<long long>(p.x, m_rect.left) - m_rect.left;
    long long v = m_rangeMin + (static_cast<long long>(m_rangeMax) - m_rangeMin) * x / width;
    return int(std::clamp<long long>(v, std::min(m_rangeMin, m_rangeMax), std::max(m_rangeMin, m_rangeMax)));
}

bool CDMarker::OnLButtonDown(UINT, POINT pt) {
    if (m_interactive) {
        SetCapture(m_hWnd);
        m_dragging = 1;
        m_downPoint = pt;
    }
    return false;
}

bool CDMarker::OnMouseMove(UINT, POINT pt) {
    if (m_dragging) {
        m_value = ValueFromPoint(pt);
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return false;
}

bool CDMarker::OnLButtonUp(UINT, POINT pt) {
    m_dragging = 0;
    m_value = ValueFromPoint(pt);
    if (m_parent) PostMessageW(m_parent, WM_MARKER_MOVED, WPARAM(m_value), LPARAM(m_id));
    Default(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    if (GetCapture() == m_hWnd) ReleaseCapture();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CDMarker::OnCaptureChanged(HWND gaining) {
    if (m_dragging && gaining != m_hWnd) {
        m_dragging = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return false;
}

bool CDMarker::OnKillFocus(HWND) {
    m_dragging = 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return false;
}

bool CDMarker::OnPaint() {
    vt::win::PaintDC pdc(m_hWnd);
    const int w = m_rect.right - m_rect.left, h = m_rect.bottom - m_rect.top;
    vt::win::BufferedPaint buf(pdc, w, h);
    FillSolid(buf, RECT{0, 0, w, h}, 0);
    DrawBitmapAt(buf, m_empty, 0, 0, w, h);
    const int range = m_rangeMax - m_rangeMin;
    const int full = range != 0 ? int((long long)w * (m_value - m_rangeMin) / range) : 0;
    if (full > 0) DrawBitmapAt(buf, m_full, 0, 0, std::min(full, w), h);
    return true;
}

CGUIItem* ReadLevelMarker(pugi::xml_node e, CGUIItems&, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    CBitmap* empty = ReadBitmapChild(e, "SBMN");
    CBitmap* full = ReadBitmapChild(e, "MARK");
    RECT r = ReadItemRect(e, id);
    auto* m = new CDMarker();
    if (!m->CreateMarker(r, id, parent)) {
        delete m;
        return nullptr;
    }
    m->SetMarkerBitmaps(empty ? empty->Get() : nullptr, full ? full->Get() : nullptr, r);
    m->SetItemFields(id, kKindMarker, m->Hwnd(), parent);
    return m;
}

} // namespace vt::skin
