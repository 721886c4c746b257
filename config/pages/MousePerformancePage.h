#pragma once
#include <windows.h>
#include "config/pages/Page.h"
#include "skin/BitmapBtn.h"
#include "skin/GuiItem.h"
#include "skin/MultiSlider.h"

namespace vt::config {

// The mouse's adjust-performance page: DPI (combined or X and Y), acceleration, polling rate,
// the DPI on-screen display and the DPI stages popup.
class CDmItems_Mouse_AJP : public CDmPage {
public:
    explicit CDmItems_Mouse_AJP(PageContext& context) : CDmPage(context), m_config(context.mouse) {}

    void Initialise() override;
    void Refresh() override;
    void Show(bool show) override;
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void FillProfileList();
    void ProfileChosen(int index);
    // axis 0 combined, 1 X, 2 Y.
    void DpiSliderValue(int axis, int value);
    void AccelerationReleased();
    void SeparateClicked();
    void AccelerationClicked();
    void RateChosen(int controlId);
    // Opens the DPI stages popup and writes its result into the configuration; true when OK
    // changed something.
    bool EditDpiStages();

private:
    void BindPageItems();
    void UpdateReadouts();
    void LayoutSeparate(bool separate);
    void LayoutAcceleration(bool enabled);
    uint32_t Step();

    void OnSlider(UINT msg, int value, int thumb);

    IMouseConfig*& m_config;
    vt::skin::CGUIItem* m_profiles = nullptr;
    vt::skin::CGUIItem* m_headingX = nullptr;
    vt::skin::CGUIItem* m_headingY = nullptr;
    vt::skin::CGUIItem* m_textDpiX = nullptr;
    vt::skin::CGUIItem* m_textDpiY = nullptr;
    vt::skin::CGUIItem* m_value1 = nullptr;
    vt::skin::CGUIItem* m_value2 = nullptr;
    vt::skin::CGUIItem* m_textSeparate = nullptr;
    vt::skin::CGUIItem* m_frame2 = nullptr;
    vt::skin::CGUIItem* m_trackXY = nullptr;
    vt::skin::CGUIItem* m_trackX = nullptr;
    vt::skin::CGUIItem* m_trackY = nullptr;
    vt::skin::CGUIItem* m_trackAccel = nullptr;
    vt::skin::CGUIItem* m_trackAccelOff = nullptr;
    vt::skin::CSliderHMulti* m_dpi = nullptr;
    vt::skin::CSliderHMulti* m_dpiX = nullptr;
    vt::skin::CSliderHMulti* m_dpiY = nullptr;
    vt::skin::CSliderHMulti* m_accel = nullptr;
    vt::skin::CSliderHMulti* m_accelOff = nullptr;
    vt::skin::CBitmapBtn* m_separate = nullptr;
    vt::skin::CBitmapBtn* m_accelOn = nullptr;
    vt::skin::CBitmapBtn* m_dpiOsd = nullptr;
    vt::skin::CBitmapBtn* m_rates[3] = {};
};

} // namespace vt::config
