#pragma once
// The headset's microphone page: microphone volume, mute and automatic gain control. Each change
// reaches the headset's Windows capture endpoint at once through the headset device object;
// changes made elsewhere come back as the device's microphone notices and only move the controls.
#include "config/pages/HeadsetLivePage.h"

namespace vt::config {

class CDmItems_Headset_MCS : public CDmHeadsetLivePage {
public:
    explicit CDmItems_Headset_MCS(PageContext& context) : CDmHeadsetLivePage(context) {}

    void Initialise() override;
    // The model into the controls; nothing is written to Windows (see the levels page).
    void Refresh() override;
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // WM_HEADSET_MIC_CHANGED: bits 0x10 volume, 0x20 mute, 0x40 automatic gain are read again.
    void OnDeviceNotice(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void VolumeSet(int value);

private:
    void ShowSettings(unsigned bits);

    vt::skin::CVertSlider* m_volume = nullptr;
    vt::skin::CGUIItem* m_track = nullptr;
    vt::skin::CBitmapBtn* m_mute = nullptr;
    vt::skin::CBitmapBtn* m_autoGain = nullptr;
};

} // namespace vt::config
