#pragma once
// The lighting slider (page element HSLIDERMAPM): N draggable tickers cut a value range into N + 1
// stages, each painted in its own colour under a faint copy of the skin picture. The owner reads and
// writes each stage as (colour, lower bound, upper bound), adds and removes stages and hears of every
// ticker move (WM_SLIDER_VALUE_CHANGING) and of clicks on a stage (WM_APM_STAGE_CLICKED).
#include <memory>
#include <string>
#include <vector>
#include "skin/Slider.h"

namespace vt::skin {

class CAPMSlider : public CSliderTrack {
public:
    CAPMSlider() = default;
    ~CAPMSlider() override;

    bool Create(HWND parent, HBITMAP sourceImage, HBITMAP ticker, HBITMAP tickerHover, const RECT& rect);
    void SetRange(int a, int b);
    bool GetStageColor(size_t i, COLORREF& colour) const;
    bool SetStageColour(size_t i, COLORREF colour);
    bool GetStage(size_t i, COLORREF& colour, int& lower, int& upper) const;
    bool SetStage(size_t i, COLORREF colour, int lower, int upper);
    bool InsertStage(size_t i, COLORREF newColour, COLORREF splitColour);
    bool RemoveStage(size_t i);
    bool SetDefaultStages();
    bool SetDefaultStageColors();
    void RestrictTickersCrossOver();
    void RemoveTickerCapRanges();
    void SetTickerCapRanges();
    void InvalidateStageStrip(size_t k);
    // The stage a click at x (client coordinates) lands in.
    size_t StageAt(int x) const;

    size_t StageCount() const { return m_colours.size(); }
    size_t TickerCount() const { return m_tickers.size(); }
    CAPMTicker* Ticker(size_t k) { return k < m_tickers.size() ? m_tickers[k].get() : nullptr; }
    int TickerValue(size_t k) const { return m_tickers[k]->Value(); }

    std::vector<COLORREF> m_colours{0};
    std::vector<std::unique_ptr<CAPMTicker>> m_tickers;
    HBITMAP m_tickerBitmap = nullptr, m_tickerHoverBitmap = nullptr;
    CBitmap m_background;
    RECT m_sliderRect{};
    HWND m_parent = nullptr;
    BYTE m_alpha = 50;
    int m_crossOver = 0;
    std::wstring m_tickerTip;
    int m_rangeMin = 1, m_rangeMax = 32;
    int m_gap = 0;

protected:
    void SplitStage(size_t i);
    void InsertStageColor(size_t i, COLORREF colour);
    std::unique_ptr<CAPMTicker> CreateTicker();
    void RefreshCaps();
    void Notify(UINT msg, WPARAM w, LPARAM l);
    bool OnPaint() override;
    bool OnLButtonUp(UINT keys, POINT pt) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

} // namespace vt::skin
