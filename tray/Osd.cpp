#include "tray/Osd.h"
#include <objbase.h>
#include <algorithm>
#include "tray/TraySystem.h"

namespace vt::tray {

namespace {

constexpr const wchar_t* kTextClass = L"vt_osd";
constexpr const wchar_t* kSliderClass = L"vt_osdslider";
constexpr int kSliderWidth = 119;
constexpr BYTE kSliderAlpha = 200;
constexpr size_t kProfileTextMax = 254;
constexpr size_t kDpiTextMax = 4;

HFONT MakeFont(int height, const wchar_t* face) {
    return CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
}

int ScreenDpiX(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

void Move(HWND window, const RECT& r) {
    SetWindowPos(window, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
}

} // namespace

OsdLayout ComputeOsdLayout(int dpiX, const RECT& monitor, int barMaximum) {
    const float scale = float(dpiX) / 72.0f;
    OsdLayout l;
    l.nameFont = int(scale * 20);
    l.textWindow = {monitor.left, monitor.bottom - l.nameFont - 50, monitor.left + (monitor.right - monitor.left - 10),
                    monitor.bottom - 50};
    l.barArea = barMaximum * 12;
    l.numberFont = int(scale * 10);
    l.labelFont = int(scale * 20);
    l.columnHeight = l.numberFont + l.barArea + 12;
    const int left = monitor.right - kSliderWidth - 10;
    const int top = monitor.bottom - int(scale * 20) - l.columnHeight - 60;
    l.sliderWindow = {left, top, left + kSliderWidth, top + l.columnHeight};
    return l;
}

DpiOsdContent DecideDpiOsd(uint32_t x, uint32_t y, uint32_t maximum, int barMaximum) {
    DpiOsdContent c;
    if (maximum == 0) return c;  // no range read: no gauge to fill
    auto bars = [&](uint32_t value) {
        return int(std::min<uint64_t>(uint64_t(value) * uint64_t(std::max(barMaximum, 0)) / maximum, 1u << 30));
    };
    c.xText = std::to_wstring(x);
    c.yText = std::to_wstring(y);
    c.xBars = bars(x);
    c.yBars = bars(y);
    if (x == y) c.mode = c.xText.size() <= kDpiTextMax ? 1 : 0;
    else c.mode = c.xText.size() <= kDpiTextMax && c.yText.size() <= kDpiTextMax ? 2 : 0;
    return c;
}

RECT OsdBarRect(const RECT& column, int index, int numberFont, int barArea) {
    const int bottom = column.top + 6 + numberFont + barArea - 12 * index;
    return {column.left + 6, bottom - 10, column.left + 51, bottom};
}

COsdDisplay::COsdDisplay(HINSTANCE instance) : m_instance(instance) {}

COsdDisplay::~COsdDisplay() {
    if (m_text) DestroyWindow(m_text);
    if (m_slider) DestroyWindow(m_slider);
    for (HGDIOBJ o : {HGDIOBJ(m_nameFont), HGDIOBJ(m_numberFont), HGDIOBJ(m_labelFont), HGDIOBJ(m_keyBrush),
                      HGDIOBJ(m_barBrush), HGDIOBJ(m_insideBrush)})
        if (o) DeleteObject(o);
    if (m_comInitialised) CoUninitialize();
}

HWND COsdDisplay::MakeWindow(const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = m_instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = m_keyBrush;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE,
                                  className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, m_instance, this);
    if (window) ShowWindow(window, SW_HIDE);
    return window;
}

HRESULT COsdDisplay::CreateOsdWindows() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com)) return E_FAIL;
    m_comInitialised = true;
    if (!m_keyBrush) m_keyBrush = CreateSolidBrush(kOsdKeyColour);
    if (!m_barBrush) m_barBrush = CreateSolidBrush(kOsdBarColour);
    if (!m_insideBrush) m_insideBrush = CreateSolidBrush(kOsdInsideColour);
    if (!m_text) m_text = MakeWindow(kTextClass, Proc<true>);
    if (!m_slider) m_slider = MakeWindow(kSliderClass, Proc<false>);
    return m_text && m_slider ? S_OK : E_FAIL;
}

void COsdDisplay::Place() {
    m_layout = ComputeOsdLayout(ScreenDpiX(m_text ? m_text : m_slider), System().primaryMonitor(), m_barMaximum);
    if (m_text) Move(m_text, m_layout.textWindow);
    if (m_slider) Move(m_slider, m_layout.sliderWindow);
}

int COsdDisplay::LimitBars(int bars) const { return std::clamp(bars, 0, m_barMaximum); }

void COsdDisplay::ShowProfileOsd(const wchar_t* text) {
    m_profileText.assign(text ? text : L"");
    if (m_profileText.size() > kProfileTextMax) m_profileText.resize(kProfileTextMax);
    if (m_text) PostMessageW(m_text, WM_OSD_SHOW, 0, 0);
}

void COsdDisplay::ShowDpiOsd(int bars, const wchar_t* text) {
    m_right.bars = LimitBars(bars);
    m_right.text.assign(text ? text : L"");
    if (m_right.text.size() > kDpiTextMax) m_right.text.resize(kDpiTextMax);
    m_mode = 1;
    if (m_slider) PostMessageW(m_slider, WM_OSD_SHOW, 0, 0);
}

void COsdDisplay::ShowDpiXYOsd(int xBars, const wchar_t* xText, int yBars, const wchar_t* yText) {
    if (!xText || wcslen(xText) > kDpiTextMax) return;
    m_right.bars = LimitBars(yBars);
    m_right.text.assign(yText ? yText : L"");
    if (m_right.text.size() > kDpiTextMax) m_right.text.resize(kDpiTextMax);
    m_left.bars = LimitBars(xBars);
    m_left.text.assign(xText);
    m_mode = 2;
    if (m_slider) PostMessageW(m_slider, WM_OSD_SHOW, 0, 0);
}

void COsdDisplay::ShowDpi(const DpiOsdContent& content) {
    if (content.mode == 1) ShowDpiOsd(content.xBars, content.xText.c_str());
    else if (content.mode == 2) ShowDpiXYOsd(content.xBars, content.xText.c_str(), content.yBars, content.yText.c_str());
}

void COsdDisplay::Hide(HWND window, UINT_PTR& timer) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    ShowWindow(window, SW_HIDE);
    if (timer) KillTimer(window, timer);
    timer = 0;
}

template <bool IsText>
LRESULT CALLBACK COsdDisplay::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<COsdDisplay*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->OnMessage(hwnd, IsText, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT COsdDisplay::OnMessage(HWND hwnd, bool isText, UINT msg, WPARAM wParam, LPARAM lParam) {
    UINT_PTR& timer = isText ? m_textTimer : m_sliderTimer;
    switch (msg) {
    case WM_CREATE:
        m_layout = ComputeOsdLayout(ScreenDpiX(hwnd), System().primaryMonitor(), m_barMaximum);
        if (isText) {
            SetLayeredWindowAttributes(hwnd, kOsdKeyColour, 0, LWA_COLORKEY);
            m_nameFont = MakeFont(m_layout.nameFont, L"Arial");
            Move(hwnd, m_layout.textWindow);
        } else {
            SetLayeredWindowAttributes(hwnd, kOsdKeyColour, kSliderAlpha, LWA_COLORKEY | LWA_ALPHA);
            m_numberFont = MakeFont(m_layout.numberFont, L"Courier New");
            m_labelFont = MakeFont(m_layout.labelFont, L"Tahoma");
            Move(hwnd, m_layout.sliderWindow);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        if (isText) PaintText(dc, client);
        else PaintSlider(dc, client);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_DISPLAYCHANGE: Place(); return 0;
    case WM_OSD_SHOW:
        // Shown without activation; a new message restarts the two seconds.
        ShowWindow(hwnd, SW_SHOWNA);
        InvalidateRect(hwnd, nullptr, TRUE);
        timer = SetTimer(hwnd, kOsdHideTimer, kOsdShowMs, nullptr);
        return 0;
    case WM_TIMER:
        if (isText) m_profileText.clear();
        else m_mode = 0;
        Hide(hwnd, timer);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        (isText ? m_text : m_slider) = nullptr;
        break;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void COsdDisplay::PaintText(HDC dc, const RECT& client) {
    FillRect(dc, &client, m_keyBrush);
    if (m_profileText.empty()) return;
    HGDIOBJ old = SelectObject(dc, m_nameFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kOsdTextColour);
    RECT r = client;
    DrawTextW(dc, m_profileText.c_str(), int(m_profileText.size()), &r, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_NOPREFIX);
    SelectObject(dc, old);
}

void COsdDisplay::PaintColumn(HDC dc, const Column& column, const RECT& r) {
    FillRect(dc, &r, m_barBrush);
    RECT inside{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    FillRect(dc, &inside, m_insideBrush);
    for (int i = 0; i < column.bars; ++i) {
        RECT bar = OsdBarRect(r, i, m_layout.numberFont, m_layout.barArea);
        FillRect(dc, &bar, m_barBrush);
    }
    if (column.text.empty()) return;
    HGDIOBJ old = SelectObject(dc, m_numberFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kOsdTextColour);
    RECT t{r.left + 6, r.top + 6, r.left + 51, r.top + 6 + m_layout.numberFont + m_layout.barArea};
    DrawTextW(dc, column.text.c_str(), int(column.text.size()), &t, DT_SINGLELINE | DT_TOP | DT_CENTER | DT_NOPREFIX);
    SelectObject(dc, old);
}

void COsdDisplay::PaintSlider(HDC dc, const RECT& client) {
    FillRect(dc, &client, m_keyBrush);
    const RECT left{0, 0, 57, m_layout.columnHeight};
    const RECT right{62, 0, kSliderWidth, m_layout.columnHeight};
    if (m_mode == 1 || m_mode == 2) PaintColumn(dc, m_right, right);
    if (m_mode != 2) return;
    PaintColumn(dc, m_left, left);
    HGDIOBJ old = SelectObject(dc, m_labelFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kOsdLabelColour);
    RECT l = left, r = right;
    DrawTextW(dc, L"X", 1, &l, DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
    DrawTextW(dc, L"Y", 1, &r, DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
    SelectObject(dc, old);
}

} // namespace vt::tray
