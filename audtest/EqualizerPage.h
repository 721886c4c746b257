#pragma once
// "Equalizer": the active profile's equaliser switch and its ten band gains, one trackbar a band.
// Every handler fetches the equaliser afresh; a band is written when its trackbar ends tracking.
#include "audtest/SheetPage.h"

namespace vt::audtest {

class CEqualizerPage : public CSheetPage {
public:
    using CSheetPage::CSheetPage;
    static constexpr int kBands = 10;

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    void OnCommand(UINT id, UINT code) override;
    void OnHScroll(UINT code, HWND control) override;

private:
    // Reads the switch and the gains into the page (and the ranges with `ranges`).
    void Show(bool ranges);
    void EnableBands(bool on);
    HWND Band(int band) const { return Item(1074 + band); }
};

} // namespace vt::audtest
