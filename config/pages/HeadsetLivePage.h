#pragma once
// What the headset's levels, microphone and equaliser pages share: they write every change to the
// headset at once through its device object (nothing waits for Apply), and they show values on
// vertical sliders without the sliders reporting them.
#include <windows.h>
#include "config/Items.h"
#include "config/pages/Page.h"
#include "device/AudioDevice.h"
#include "skin/BitmapBtn.h"
#include "skin/Slider.h"

namespace vt::config {

class CDmHeadsetLivePage : public CDmPage {
public:
    explicit CDmHeadsetLivePage(PageContext& context) : CDmPage(context), m_config(context.headset) {}
    bool AppliesLive() const override { return true; }

protected:
    // The headset's device object as bound now (the do-nothing headset while it is absent); null
    // when none.
    ::IAudioDevice* Device() const { return m_ctx.devices.HeadsetDevice(); }
    // A switch clicked: the check button's state into the model, then to Windows.
    void SwitchClicked(vt::skin::CBitmapBtn* button, void (IAudioConfig::*set)(uint8_t),
                       bool (::IAudioDevice::*mirror)(IAudioConfig*)) {
        if (!m_config) return;
        (m_config->*set)(IsChecked(button) ? 1 : 0);
        if (::IAudioDevice* d = Device()) (d->*mirror)(m_config);
    }

    IAudioConfig*& m_config;
};

// Gives the slider the range [min, max] and shows the value, clamped to that range. The slider does
// not report the move: only a user's release reports a value.
inline void PlaceSlider(vt::skin::CVertSlider* slider, int min, int max, int value) {
    if (!slider) return;
    if (slider->m_valueMin != min || slider->m_valueMax != max) {
        slider->SetValueRange(min, max);
        // The thumb stands where the old range put it: it is placed again whatever the value.
        slider->m_position = -1;
    }
    slider->SetSliderValue(value);
}

// Repaints a slider's track (the fill under the thumb follows the value).
inline void RepaintTrack(vt::skin::CGUIItem* track) {
    if (HWND w = ItemWindow(track)) InvalidateRect(w, nullptr, FALSE);
}

} // namespace vt::config
