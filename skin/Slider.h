#pragma once
// The skinned slider: a track window (CSliderTrack) with an optional fill bar and a tracking tooltip,
// and a thumb that is a child of the track (CSliderBase and its leaves). The thumb maps positions to
// pixels through a table made once per layout and reports to the track, which shows the value in its
// tooltip, draws the fill bar up to the thumb and passes the notifications on to the page.
//   CPHSlider   horizontal (the thumbs of the multi-thumb slider)
//   CAPMTicker  horizontal with a cap range (the tickers of the lighting slider)
//   CVertSlider vertical (page element VSLIDER)
#include <windows.h>
#include <map>
#include <string>
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "win/Window.h"

namespace vt::skin {

class CSliderTrack;

class CSliderBase : public vt::win::Window, public CGUIItem {
public:
    CSliderBase() = default;
    ~CSliderBase() override = default;

    virtual void CalcLayout() = 0;
    virtual void TrackMouse(UINT flags, int x, int y) = 0;
    // Position for a thumb corner in the track's client coordinates (not clamped to the range).
    virtual int PixelToValue(int x, int y) = 0;
    virtual void SetPos(int position, bool notify) = 0;

    // Creates the thumb window as a child of the track. The window takes the thumb bitmap's size at once
    // (a window as large as the whole travel area would hide the track from the mouse).
    bool CreateSliderWindow(HBITMAP thumb, HWND track, HBITMAP hover, HBITMAP mask, bool colourKey, const RECT& item);
    void ApplyColorKeyRegion();
    // Clamps the value into [value min, value max] and moves the thumb there.
    void SetSliderValue(int value);
    void SetThumbToolTip(const wchar_t* tooltip, int positionCode, const wchar_t* prefix);
    // Moves the thumb to a point of the track and commits the value it lands on.
    void MoveToPoint(int x, int y);
    // Value range and position range (position max = value max - value min); runs CalcLayout.
    void SetValueRange(int valueMin, int valueMax);

    int Value() const { return m_valueMin + m_position; }
    int Position() const { return m_position; }
    int PixelOf(int position) const;
    void SetInteractive(bool on) { m_interactive = on ? 1 : 0; }
    void SetMultiplier(int m) { m_multiplier = m; }

    int m_rangeWidth = 1;
    float m_scale = 0.f;
    int m_lowEnd = 0, m_highEnd = 0;
    int m_halfThumbWidth = 0, m_halfThumbHeight = 0;
    int m_position = 0;
    POINT m_downPoint{};
    int m_valueMin = 0, m_valueMax = 1;
    int m_positionMin = 0, m_positionMax = 1;
    std::map<int, int> m_pixelMap;
    HWND m_track = nullptr;
    CSliderTrack* m_trackItem = nullptr;
    std::wstring m_prefix, m_valueText, m_hoverText;
    int m_multiplier = 1;
    CBitmap m_thumb, m_hover, m_mask;
    int m_thumbWidth = 0, m_thumbHeight = 0;
    BYTE m_dragging = 0, m_interactive = 0, m_hovered = 0, m_leaveArmed = 0;
    RECT m_trackRect{}, m_itemRect{};
    POINT m_tipOffset{};

protected:
    void RebuildValueText(bool multiply);
    void PostToTrack(UINT msg, WPARAM w, LPARAM l);
    void SendToTrack(UINT msg, WPARAM w, LPARAM l);
    bool OnLButtonDown(UINT keys, POINT pt) override;
    bool OnLButtonUp(UINT keys, POINT pt) override;
    bool OnMouseMove(UINT keys, POINT pt) override;
    bool OnMouseLeave() override;
    bool OnKillFocus(HWND next) override;
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnCaptureChanged(HWND gaining) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void LayoutHorizontal();
};

class CPHSlider : public CSliderBase {
public:
    CPHSlider() { m_multiplier = 1; }
    void CalcLayout() override { LayoutHorizontal(); }
    void TrackMouse(UINT flags, int x, int y) override;
    int PixelToValue(int x, int y) override;
    void SetPos(int position, bool notify) override;
    void SetCapRange(int capMin, int capMax);
    int m_capMin = 1, m_capMax = 32;
};

class CAPMTicker : public CSliderBase {
public:
    void CalcLayout() override { LayoutHorizontal(); }
    void TrackMouse(UINT flags, int x, int y) override;
    int PixelToValue(int x, int y) override;
    void SetPos(int position, bool notify) override;
    // Bounds in positions, each clamped into [position min, position max].
    void SetCapRange(int capMin, int capMax);
    void SetTipText(const wchar_t* text);
    int m_capMin = 1, m_capMax = 32;
    CtlToolTip m_tip;
};

class CVertSlider : public CSliderBase {
public:
    CVertSlider() { m_valueMin = 1; m_valueMax = 32; m_positionMin = 0; m_positionMax = 31; }
    void CalcLayout() override;
    void TrackMouse(UINT flags, int x, int y) override;
    int PixelToValue(int x, int y) override;
    void SetPos(int position, bool notify) override;
};

struct SliderFill {
    COLORREF colour = 0;
    RECT rect{};
};

class CSliderTrack : public vt::win::Window, public CGUIItem {
public:
    CSliderTrack() = default;
    explicit CSliderTrack(const SliderFill& fill) : m_fillEnabled(1), m_fill(fill) {}
    ~CSliderTrack() override = default;

    virtual bool Create(const RECT& rect, HWND parent);
    // The track image: the top-left piece of the source at the track's size; with a mask the window
    // region is cut from it first.
    void SetImage(HBITMAP source, HBITMAP mask = nullptr);
    void CreateThumbTip(int positionCode);
    void ShowThumbTip();
    void PlaceThumbTip();

    BYTE m_repaintPending = 0;
    BYTE m_fillEnabled = 0;
    SliderFill m_fill;
    int m_thumbX = 0, m_thumbY = 0;
    int m_lastAxis = 0;   // 0 none yet, 1 x came last, 2 y came last
    CSliderBase* m_thumbItem = nullptr;
    HWND m_tipWindow = nullptr;
    BYTE m_tipShown = 0;
    int m_tipCode = 0;
    CBitmap m_image;

protected:
    void Forward(UINT msg, WPARAM w, LPARAM l);
    void SetTipText(const std::wstring& text);
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnLButtonUp(UINT keys, POINT pt) override;
    bool OnMouseMove(UINT keys, POINT pt) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// "ttpos": R 1, T 2, B 3, anything else 0 (left).
int TooltipPositionCode(const wchar_t* ttpos);

} // namespace vt::skin
