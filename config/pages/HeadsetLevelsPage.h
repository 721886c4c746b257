#pragma once
// The headset's audio levels page: master volume, left and right volume, mute. Each change reaches
// the headset's Windows levels at once through the headset device object; changes made elsewhere
// (the Windows mixer, the headset's own buttons) come back as the device's level notices and only
// move the controls.
#include "config/pages/HeadsetLivePage.h"

namespace vt::config {

class CDmItems_Headset_ALC : public CDmHeadsetLivePage {
public:
    explicit CDmItems_Headset_ALC(PageContext& context) : CDmHeadsetLivePage(context) {}

    void Initialise() override;
    // The model into the controls. Nothing is written to Windows: the model follows Windows through
    // the device's notices, and a page shown must not put an older value over the user's volume.
    void Refresh() override;
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // WM_HEADSET_LEVELS_CHANGED: bits 1 master, 2 left, 4 right, 8 mute are read again.
    void OnDeviceNotice(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void MasterVolumeSet(int value);
    // id: SLIDER_BALANCEL or SLIDER_BALANCER; the other side keeps its stored value.
    void BalanceSet(int value, int id);

private:
    void BindPageItems();
    void ShowLevels(unsigned bits);

    vt::skin::CVertSlider* m_master = nullptr;
    vt::skin::CVertSlider* m_left = nullptr;
    vt::skin::CVertSlider* m_right = nullptr;
    vt::skin::CGUIItem* m_tracks[3] = {};
    vt::skin::CBitmapBtn* m_mute = nullptr;
};

} // namespace vt::config
