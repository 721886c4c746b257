#pragma once
// The on-screen display: two borderless, click-through, topmost layered windows that never take
// the focus, near the bottom of the primary monitor. "vt_osd" shows a profile name in large green
// letters at the lower right; "vt_osdslider" shows one or two bar gauges (X and Y) with the DPI
// above them. Pure green is their colour key. Callers fill the display's state and post; each
// window shows for 2 seconds after its last message and hides again. GUI thread only.
#include <windows.h>
#include <cstdint>
#include <string>

namespace vt::tray {

constexpr UINT WM_OSD_SHOW = WM_USER + 12;
constexpr UINT_PTR kOsdHideTimer = 101;
constexpr UINT kOsdShowMs = 2000;

constexpr COLORREF kOsdKeyColour = 0x00FF00;
constexpr COLORREF kOsdTextColour = 0x00FA00;
constexpr COLORREF kOsdBarColour = 0x00C800;
constexpr COLORREF kOsdInsideColour = 0x000000;
constexpr COLORREF kOsdLabelColour = 0x003200;

// Where the windows go and how large their type is, for a screen of dpiX pixels per inch.
struct OsdLayout {
    int nameFont = 0;     // height of the profile name's type
    RECT textWindow{};    // screen rectangle of "vt_osd"
    int barArea = 0;      // height of the bars' area (bar maximum * 12)
    int numberFont = 0;   // height of the DPI numbers' type
    int labelFont = 0;    // height of the "X" and "Y" labels' type
    int columnHeight = 0;
    RECT sliderWindow{};  // screen rectangle of "vt_osdslider"
};
OsdLayout ComputeOsdLayout(int dpiX, const RECT& monitor, int barMaximum);

// What a DPI change shows: nothing (mode 0), one value (mode 1: x == y) or X and Y (mode 2). The
// bar counts are value * barMaximum / maximum; a value of more than 4 digits or a maximum of 0
// shows nothing.
struct DpiOsdContent {
    int mode = 0;
    int xBars = 0, yBars = 0;
    std::wstring xText, yText;
};
DpiOsdContent DecideDpiOsd(uint32_t x, uint32_t y, uint32_t maximum, int barMaximum);

// The bar rectangles of one column (count bars inside column rectangle r, number font n).
RECT OsdBarRect(const RECT& column, int index, int numberFont, int barArea);

class COsdDisplay {
public:
    explicit COsdDisplay(HINSTANCE instance);
    ~COsdDisplay();
    COsdDisplay(const COsdDisplay&) = delete;
    COsdDisplay& operator=(const COsdDisplay&) = delete;

    void SetBarMaximum(int maximum) { m_barMaximum = maximum > 0 ? maximum : 1; }
    int BarMaximum() const { return m_barMaximum; }
    // Registers both classes and makes both windows, hidden; S_OK only when both exist.
    HRESULT CreateOsdWindows();

    // The profile name (cut to 254 characters).
    void ShowProfileOsd(const wchar_t* text);
    // One DPI value: bars limited to the maximum, text of at most 4 characters.
    void ShowDpiOsd(int bars, const wchar_t* text);
    // X and Y values; nothing when the X text is longer than 4 characters.
    void ShowDpiXYOsd(int xBars, const wchar_t* xText, int yBars, const wchar_t* yText);
    // A decided DPI change.
    void ShowDpi(const DpiOsdContent& content);

    HWND TextWindow() const { return m_text; }
    HWND SliderWindow() const { return m_slider; }
    const std::wstring& ProfileText() const { return m_profileText; }
    int SliderMode() const { return m_mode; }
    int RightBars() const { return m_right.bars; }
    int LeftBars() const { return m_left.bars; }
    const std::wstring& RightText() const { return m_right.text; }
    const std::wstring& LeftText() const { return m_left.text; }

private:
    struct Column {
        int bars = 0;
        std::wstring text;
    };
    template <bool IsText>
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(HWND hwnd, bool isText, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND MakeWindow(const wchar_t* className, WNDPROC proc);
    void Place();
    int LimitBars(int bars) const;
    void PaintText(HDC dc, const RECT& client);
    void PaintSlider(HDC dc, const RECT& client);
    void PaintColumn(HDC dc, const Column& column, const RECT& r);
    void Hide(HWND window, UINT_PTR& timer);

    HINSTANCE m_instance;
    bool m_comInitialised = false;
    int m_barMaximum = 20;
    OsdLayout m_layout{};
    std::wstring m_profileText;
    int m_mode = 0;  // 0 nothing, 1 one value, 2 X and Y
    Column m_right, m_left;
    HWND m_text = nullptr, m_slider = nullptr;
    HFONT m_nameFont = nullptr, m_numberFont = nullptr, m_labelFont = nullptr;
    HBRUSH m_keyBrush = nullptr, m_barBrush = nullptr, m_insideBrush = nullptr;
    UINT_PTR m_textTimer = 0, m_sliderTimer = 0;
};

} // namespace vt::tray
