#include "config/pages/HeadsetMicPage.h"
#include "config/Items.h"
#include "skin/Messages.h"

namespace vt::config {

using namespace vt::skin;

namespace {
enum : unsigned { kVolume = 0x10, kMute = 0x20, kAutoGain = 0x40, kAll = 0x70 };
} // namespace

void CDmItems_Headset_MCS::Initialise() {
    m_volume = BindItem<CVertSlider>(*this, ctl::SLIDER_MICVOLUME, kKindVertSlider);
    m_track = BindItem(*this, ctl::BITMAP_SLTRK_MICVOLUME, kKindSliderTrack);
    m_mute = BindButton(*this, ctl::BUTTON_HEADSET_MIC_MUTE);
    m_autoGain = BindButton(*this, ctl::BUTTON_HEADSET_MIC_AUTOGAINCTRL);
    ShowSettings(kAll);
}

void CDmItems_Headset_MCS::Refresh() { ShowSettings(kAll); }

void CDmItems_Headset_MCS::ShowSettings(unsigned bits) {
    if (!m_config) return;
    if (bits & kVolume) {
        int32_t min = 0, max = 0, step = 0;
        m_config->GetMicRange(&min, &max, &step);
        PlaceSlider(m_volume, min, max, m_config->GetMicVolume());
        RepaintTrack(m_track);
    }
    if (bits & kMute) SetChecked(m_mute, m_config->GetMicMute() != 0);
    if (bits & kAutoGain) SetChecked(m_autoGain, m_config->GetMicAutoGain() != 0);
}

void CDmItems_Headset_MCS::VolumeSet(int value) {
    if (!m_config) return;
    m_config->SetMicVolume(value);
    if (::IAudioDevice* d = Device()) d->MirrorMicVolume(m_config);
    ShowSettings(kVolume);
}

bool CDmItems_Headset_MCS::OnItemCommand(CGUIItem& item, WORD) {
    if (&item == m_mute) SwitchClicked(m_mute, &IAudioConfig::SetMicMute, &::IAudioDevice::MirrorMicMute);
    else if (&item == m_autoGain) SwitchClicked(m_autoGain, &IAudioConfig::SetMicAutoGain, &::IAudioDevice::MirrorMicAutoGain);
    return false;
}

bool CDmItems_Headset_MCS::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if ((msg != WM_SLIDER_VALUE_SET && msg != WM_SLIDER_VALUE_CHANGING) || int(lParam) != ctl::SLIDER_MICVOLUME)
        return false;
    result = 0;
    if (msg == WM_SLIDER_VALUE_SET) VolumeSet(int(wParam));
    return true;
}

void CDmItems_Headset_MCS::OnDeviceNotice(UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_HEADSET_MIC_CHANGED) ShowSettings(unsigned(lParam) & kAll);
}

} // namespace vt::config
