#pragma once
// The headset's equaliser page: the equaliser switch, the presets (the headset profiles) and the
// ten band sliders, each change written to the headset at once. What it does with the model and the
// device is EqualiserRules (HeadsetEqualiserRules.h); the page shows it and passes its controls'
// notices on.
#include "config/pages/HeadsetEqualiserRules.h"
#include "config/pages/HeadsetLivePage.h"

namespace vt::config {

class CDmItems_Headset_EQS : public CDmHeadsetLivePage {
public:
    explicit CDmItems_Headset_EQS(PageContext& context);

    void Initialise() override;
    void Refresh() override;
    // The page shown: the snapshot of "Custom" is taken and the equaliser attached.
    void Enter() override;
    // The page left: pending "Custom" changes are asked about.
    void Leave() override;
    // Exit or Cancel of the window while the page is shown: as leaving it.
    void OnClosing() override { Leave(); }
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    EqualiserRules& Rules() { return m_rules; }

private:
    // The switch, the preset list and the sliders from the model.
    void ShowEqualiser();
    int SliderPosition(int controlId) const;
    // The band thumbs greyed (the equaliser off) or in their own picture.
    void GreyThumbs(bool grey);

    EqualiserRules m_rules;
    vt::skin::CBitmapBtn* m_switch = nullptr;
    vt::skin::CGUIItem* m_presets = nullptr;
    vt::skin::CVertSlider* m_bands[kEqualiserBands] = {};
    // Per band thumb, the picture it does not show now: the greyed one while the equaliser is on,
    // its own while it is off.
    vt::skin::CBitmap m_spareThumbs[kEqualiserBands];
    bool m_greyed = false;
};

} // namespace vt::config
