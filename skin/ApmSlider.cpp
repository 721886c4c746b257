#include "skin/ApmSlider.h"
#include <algorithm>
#include <cstdio>
#include "skin/BitmapItem.h"
#include "skin/CtlBuilders.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "win/Gdi.h"

namespace vt::skin {

CAPMSlider::~CAPMSlider() {
    for (auto& t : m_tickers)
        if (t && t->Hwnd()) DestroyWindow(t->Hwnd());
    m_tickers.clear();
}

bool CAPMSlider::Create(HWND parent, HBITMAP source, HBITMAP ticker, HBITMAP tickerHover, const RECT& r) {
    m_sliderRect = r;
    m_parent = parent;
    RegisterControlWindowClass();
    if (!vt::win::Window::Create(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, parent, UINT_PTR(m_controlId) & 0xFFFF))
        return false;
    vt::win::WindowDC dc(m_hWnd);
    CopyBitmapRect(m_background, dc, source, r.left, r.top, r.right, r.bottom);
    m_tickerBitmap = ticker;
    m_tickerHoverBitmap = tickerHover;
    return true;
}

void CAPMSlider::SetRange(int a, int b) {
    m_rangeMin = std::min(a, b);
    m_rangeMax = std::max(a, b);
    for (auto& t : m_tickers) t->SetValueRange(m_rangeMin, m_rangeMax);
}

bool CAPMSlider::GetStageColor(size_t i, COLORREF& c) const {
    if (i >= m_colours.size()) return false;
    c = m_colours[i];
    return true;
}

bool CAPMSlider::SetStageColour(size_t i, COLORREF c) {
    if (i >= m_colours.size()) return false;
    m_colours[i] = c;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CAPMSlider::GetStage(size_t i, COLORREF& colour, int& lower, int& upper) const {
    const size_t n = m_tickers.size();
    if (i >= m_colours.size() || m_colours.size() != n + 1) return false;
    colour = m_colours[i];
    lower = i == 0 ? m_rangeMin : m_tickers[i - 1]->Value();
    upper = i == n ? m_rangeMax : m_tickers[i]->Value();
    return true;
}

bool CAPMSlider::SetStage(size_t i, COLORREF colour, int lower, int upper) {
    if (i >= m_colours.size()) return false;
    m_colours[i] = colour;
    const size_t n = m_tickers.size();
    if (n == 0) return true;
    if (i == 0) m_tickers[0]->SetSliderValue(upper);
    else if (i >= n) m_tickers[n - 1]->SetSliderValue(lower);
    else {
        m_tickers[i - 1]->SetSliderValue(lower);
        m_tickers[i]->SetSliderValue(upper);
    }
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

std::unique_ptr<CAPMTicker> CAPMSlider::CreateTicker() {
    auto t = std::make_unique<CAPMTicker>();
    t->SetValueRange(m_rangeMin, m_rangeMax);
    t->SetInteractive(true);
    t->SetItemFields(-1, kKindThumb, nullptr, m_hWnd);
    RECT rc{};
    if (m_hWnd) GetClientRect(m_hWnd, &rc);
    if (m_hWnd)
        t->CreateSliderWindow(CopyAsDib(m_tickerBitmap), m_hWnd, CopyAsDib(m_tickerHoverBitmap), nullptr, false, rc);
    // Caps are positions: the whole range is 0 .. max - min.
    t->SetCapRange(0, m_rangeMax - m_rangeMin);
    t->m_itemWindow = nullptr;
    if (!m_tickerTip.empty()) t->SetTipText(m_tickerTip.c_str());
    return t;
}

void CAPMSlider::RefreshCaps() {
    if (m_crossOver) RemoveTickerCapRanges();
    else SetTickerCapRanges();
}

void CAPMSlider::SplitStage(size_t i) {
    const size_t n = m_tickers.size();
    if (i >= m_colours.size() || m_colours.size() != n + 1) return;
    COLORREF c;
    int lower = 0, upper = 0;
    GetStage(i, c, lower, upper);
    auto t = CreateTicker();
    t->SetSliderValue((lower + upper) >> 1);
    if (i >= n) m_tickers.push_back(std::move(t));
    else m_tickers.insert(m_tickers.begin() + i, std::move(t));
    RefreshCaps();
}

void CAPMSlider::InsertStageColor(size_t i, COLORREF colour) {
    if (i + 1 < m_colours.size()) m_colours.insert(m_colours.begin() + i, colour);
    else if (i + 1 == m_colours.size()) m_colours.push_back(colour);
}

bool CAPMSlider::InsertStage(size_t i, COLORREF newColour, COLORREF splitColour) {
    if (i >= m_colours.size()) return false;
    SplitStage(i);
    InsertStageColor(i, newColour);
    m_colours[i] = splitColour;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CAPMSlider::RemoveStage(size_t i) {
    if (i >= m_colours.size() || m_colours.size() < 2) return false;
    const size_t n = m_tickers.size();
    const size_t k = i >= n ? n - 1 : i;
    if (k < n) {
        if (m_tickers[k]->Hwnd()) DestroyWindow(m_tickers[k]->Hwnd());
        m_tickers.erase(m_tickers.begin() + k);
    }
    m_colours.erase(m_colours.begin() + i);
    RefreshCaps();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CAPMSlider::SetDefaultStages() {
    const int n = int(m_tickers.size());
    const int step = (m_rangeMax - m_rangeMin) / (n + 1);
    for (int k = 0; k < n; ++k) m_tickers[k]->SetSliderValue(m_rangeMin + (k + 1) * step);
    return true;
}

bool CAPMSlider::SetDefaultStageColors() {
    const unsigned n = unsigned(m_tickers.size());
    const unsigned range = unsigned(std::max(1, m_rangeMax - m_rangeMin));   // a zero range has one grey
    const unsigned a = (n + 1) * 255u / range;
    for (unsigned k = 0; k < n && k < m_colours.size(); ++k) {
        const BYTE g = BYTE((k * a) % 256);
        m_colours[k] = RGB(g, g, g);
    }
    return true;
}

void CAPMSlider::RestrictTickersCrossOver() {
    m_crossOver = 0;
    SetTickerCapRanges();
}

void CAPMSlider::RemoveTickerCapRanges() {
    for (auto& t : m_tickers) t->SetCapRange(0, m_rangeMax - m_rangeMin);
}

void CAPMSlider::SetTickerCapRanges() {
    if (m_crossOver) return;
    const size_t n = m_tickers.size();
    // Bounds are worked out as values and handed to the tickers as positions (value - range min).
    auto cap = [&](size_t k, int lowValue, int highValue) {
        m_tickers[k]->SetCapRange(lowValue - m_rangeMin, highValue - m_rangeMin);
    };
    if (n == 1) {
        cap(0, m_rangeMin + m_gap, m_rangeMax - m_gap);
        return;
    }
    for (size_t k = 0; k < n; ++k) {
        const int low = k == 0 ? m_rangeMin + m_gap : m_tickers[k - 1]->Value() + m_gap;
        const int high = k == n - 1 ? m_rangeMax - m_gap : m_tickers[k + 1]->Value() - m_gap;
        cap(k, low, high);
    }
}

void CAPMSlider::InvalidateStageStrip(size_t k) {
    const size_t n = m_tickers.size();
    if (!m_hWnd || k >= n) return;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int range = m_rangeMax - m_rangeMin;
    auto x = [&](int v) { return range > 0 ? int((long long)(v - m_rangeMin) * rc.right / range) : 0; };
    if (n == 1) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return;
    }
    RECT strip{0, 0, rc.right, rc.bottom};
    if (k == 0) strip.right = x(m_tickers[1]->Value());
    else if (k == n - 1) strip.left = x(m_tickers[n - 2]->Value());
    else {
        strip.left = x(m_tickers[k - 1]->Value());
        strip.right = x(m_tickers[k + 1]->Value());
    }
    if (strip.right < strip.left) std::swap(strip.left, strip.right);
    HRGN rgn = CreateRectRgnIndirect(&strip);
    auto cut = [&](size_t j) {
        if (!m_tickers[j]->Hwnd()) return;
        RECT w;
        GetWindowRect(m_tickers[j]->Hwnd(), &w);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&w), 2);
        HRGN t = CreateRectRgnIndirect(&w);
        CombineRgn(rgn, rgn, t, RGN_DIFF);
        DeleteObject(t);
    };
    if (k > 0) cut(k - 1);
    if (k + 1 < n) cut(k + 1);
    InvalidateRgn(m_hWnd, rgn, FALSE);
    DeleteObject(rgn);
}

size_t CAPMSlider::StageAt(int x) const {
    RECT rc{};
    if (m_hWnd) GetClientRect(m_hWnd, &rc);
    const int width = rc.right - rc.left;
    const int c = width > 0 ? int(m_rangeMin + (long long)(m_rangeMax - m_rangeMin) * (x - rc.left) / width) : m_rangeMin;
    size_t stage = 0;
    for (const auto& t : m_tickers) {
        if (t->Value() > c) break;
        ++stage;
    }
    return stage;
}

void CAPMSlider::Notify(UINT msg, WPARAM w, LPARAM l) {
    HWND target = ReportTarget(m_owner, m_hWnd);
    if (target) PostMessageW(target, msg, w, l);
    if (m_parent && IsWindow(m_parent)) PostMessageW(m_parent, msg, w, l);
}

bool CAPMSlider::OnLButtonUp(UINT, POINT pt) {
    Notify(WM_APM_STAGE_CLICKED, WPARAM(StageAt(pt.x)), LPARAM(m_controlId));
    return false;
}

LRESULT CAPMSlider::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SLIDER_VALUE_SET || msg == WM_SLIDER_VALUE_CHANGING) {
        RefreshCaps();
        for (size_t k = 0; k < m_tickers.size(); ++k) {
            if (m_tickers[k]->m_controlId == int(lParam) && m_tickers[k]->Value() == int(wParam)) {
                InvalidateStageStrip(k);
                break;
            }
        }
        Notify(WM_SLIDER_VALUE_CHANGING, wParam, lParam);
        return 0;
    }
    if (msg == WM_SLIDER_THUMB_MOVED_X || msg == WM_SLIDER_THUMB_MOVED_Y) return 0;
    // The track's tooltip and fill handling do not apply to the lighting slider.
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

bool CAPMSlider::OnPaint() {
    for (size_t k = 0; k < m_colours.size(); ++k) {
        char line[96];
        std::snprintf(line, sizeof line, "CAPMSlider::OnPaint Color(%d): 0x%x\n", int(k), unsigned(m_colours[k]));
        OutputDebugStringA(line);
    }
    for (size_t k = 0; k < m_tickers.size(); ++k) {
        char line[96];
        std::snprintf(line, sizeof line, "CAPMSlider::OnPaint Val(%d): 0x%d\n", int(k), m_tickers[k]->Value());
        OutputDebugStringA(line);
    }
    vt::win::PaintDC pdc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(pdc, rc.right, rc.bottom);
    const size_t n = m_tickers.size();
    auto colour = [&](size_t i) { return i < m_colours.size() ? m_colours[i] : COLORREF(0); };
    if (n == 0) {
        FillSolid(buf, rc, colour(0));
    } else {
        RECT tr{};
        if (m_tickers[0]->Hwnd()) GetClientRect(m_tickers[0]->Hwnd(), &tr);
        const int T = tr.right, U = rc.right - T, R = std::max(1, m_rangeMax - m_rangeMin);
        auto x = [&](int v) { return int(((long long)(v - m_rangeMin) * U + R / 2) / R) + rc.left; };
        int left = rc.left;
        for (size_t k = 0; k <= n; ++k) {
            const int right = k == n ? rc.right : x(m_tickers[k]->Value()) + T / 2;
            if (right > left) FillSolid(buf, RECT{left, 0, right, rc.bottom}, colour(k));
            left = std::max(left, right);
        }
    }
    if (m_background) {
        vt::win::MemoryDC mem(buf);
        vt::win::SelectGuard sel(mem, m_background.Get());
        SIZE s = BitmapSize(m_background);
        BLENDFUNCTION bf{AC_SRC_OVER, 0, m_alpha, 0};
        AlphaBlend(buf, 0, 0, rc.right, rc.bottom, mem, 0, 0, std::min<int>(s.cx, rc.right), std::min<int>(s.cy, rc.bottom), bf);
    }
    return true;
}

CGUIItem* ReadApmSlider(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    HBITMAP ticker = ChildSkinImage(e, "SBMN");
    HBITMAP hover = ChildSkinImage(e, "SBMO");
    // The slider is placed in its bitmap item, whose picture is the source of its background.
    CBitmapItem* host = ReadBitmapItemRef(e, "trackid", items);
    if (!host || !host->Hwnd()) return nullptr;
    RECT r = ReadItemRect(e, id);
    auto* s = new CAPMSlider();
    s->m_controlId = id;
    if (!s->Create(host->Hwnd(), host->m_image.Get(), ticker, hover, r)) {
        delete s;
        return nullptr;
    }
    std::wstring tip;
    if (ReadTooltip(e, tip)) s->m_tickerTip = tip;
    s->SetItemFields(id, kKindAPMSlider, s->Hwnd(), host->Hwnd());
    s->SetDefaultStages();
    if (s->m_crossOver) s->RemoveTickerCapRanges();
    else s->SetTickerCapRanges();
    s->SetDefaultStageColors();
    return s;
}

} // namespace vt::skin
