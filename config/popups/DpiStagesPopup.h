#pragma once
// The DPI stages popup: the stage windows, the stage count, separate X/Y and the DPI sliders of
// the active stage, over a DpiStagesEdit record (rules in config/DpiStages.h).
#include "config/DpiStages.h"
#include "config/popups/Popup.h"
#include "skin/BitmapBtn.h"
#include "skin/MultiSlider.h"
#include "skin/Panel.h"

namespace vt::config {

// What the performance page runs: the record to edit. After OK (1) Edit() holds the edits; after
// Cancel (2) it is as it was given.
class DpiStagesPopup : public IPopup {
public:
    explicit DpiStagesPopup(DpiStagesEdit edit) : m_edit(std::move(edit)) {}
    DpiStagesEdit& Edit() { return m_edit; }
    INT_PTR Show(HWND parent) override;

private:
    DpiStagesEdit m_edit;
};

// The popup's window, editing the record in place.
class CDPIStagesPopup : public vt::skin::CPopupBox {
public:
    CDPIStagesPopup(HWND parent, DpiStagesEdit* edit);
    ~CDPIStagesPopup() override;
    void BindItems() override;
    DpiStagesEdit& Edit() { return *m_edit; }

protected:
    bool OnInitDialog() override;
    bool OnPaint() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplySeparate(bool on);
    void LayoutWindows(bool forceRepaint);
    void SetSlidersFromActive();
    void ShowCount();
    void TakeSelection();

    DpiStagesEdit* m_edit;
    DpiStagesRules m_rules;
    HBRUSH m_black = nullptr;
    vt::skin::CGUIItem* m_stageWindows[kStageWindows] = {};
    vt::skin::CGUIItem* m_numStages = nullptr;
    vt::skin::CGUIItem* m_textX = nullptr;
    vt::skin::CGUIItem* m_textY = nullptr;
    vt::skin::CBitmapBtn* m_separate = nullptr;
    vt::skin::CSliderHMulti* m_slider = nullptr;
    vt::skin::CSliderHMulti* m_sliderX = nullptr;
    vt::skin::CSliderHMulti* m_sliderY = nullptr;
    vt::skin::CGUIItem* m_track = nullptr;
    vt::skin::CGUIItem* m_trackX = nullptr;
    vt::skin::CGUIItem* m_trackY = nullptr;
};

} // namespace vt::config
