#include "config/pages/HeadsetLevelsPage.h"
#include "config/Items.h"
#include "skin/Messages.h"

namespace vt::config {

using namespace vt::skin;

namespace {
enum : unsigned { kMaster = 1, kLeft = 2, kRight = 4, kMute = 8, kAllLevels = 15 };
} // namespace

void CDmItems_Headset_ALC::BindPageItems() {
    m_master = BindItem<CVertSlider>(*this, ctl::SLIDER_MASTERVOLUME, kKindVertSlider);
    m_left = BindItem<CVertSlider>(*this, ctl::SLIDER_BALANCEL, kKindVertSlider);
    m_right = BindItem<CVertSlider>(*this, ctl::SLIDER_BALANCER, kKindVertSlider);
    m_tracks[0] = BindItem(*this, ctl::BITMAP_SLTRK_MASTERVOLUME, kKindSliderTrack);
    m_tracks[1] = BindItem(*this, ctl::BITMAP_SLTRK_BALANCEL, kKindSliderTrack);
    m_tracks[2] = BindItem(*this, ctl::BITMAP_SLTRK_BALANCER, kKindSliderTrack);
    m_mute = BindButton(*this, ctl::BUTTON_HEADSET_MUTE);
}

void CDmItems_Headset_ALC::Initialise() {
    BindPageItems();
    ShowLevels(kAllLevels);
}

void CDmItems_Headset_ALC::Refresh() { ShowLevels(kAllLevels); }

void CDmItems_Headset_ALC::ShowLevels(unsigned bits) {
    if (!m_config) return;
    int32_t min = 0, max = 0, step = 0;
    m_config->GetVolumeRange(&min, &max, &step);
    int32_t left = 0, right = 0;
    m_config->GetBalance(&left, &right);
    if (bits & kMaster) PlaceSlider(m_master, min, max, m_config->GetMasterVolume());
    if (bits & kLeft) PlaceSlider(m_left, min, max, left);
    if (bits & kRight) PlaceSlider(m_right, min, max, right);
    if (bits & kMute) SetChecked(m_mute, m_config->GetMute() != 0);
    if (bits & (kMaster | kLeft | kRight))
        for (CGUIItem* track : m_tracks) RepaintTrack(track);
}

void CDmItems_Headset_ALC::MasterVolumeSet(int value) {
    if (!m_config) return;
    m_config->SetMasterVolume(value);
    if (::IAudioDevice* d = Device()) d->MirrorMasterVolume(m_config);
    // The model may have clamped the value: the slider shows what is stored.
    ShowLevels(kMaster);
}

void CDmItems_Headset_ALC::BalanceSet(int value, int id) {
    if (!m_config || (id != ctl::SLIDER_BALANCEL && id != ctl::SLIDER_BALANCER)) return;
    int32_t left = 0, right = 0;
    m_config->GetBalance(&left, &right);
    if (id == ctl::SLIDER_BALANCEL) left = value;
    else right = value;
    m_config->SetBalance(left, right);
    if (::IAudioDevice* d = Device()) {
        if (id == ctl::SLIDER_BALANCEL) d->MirrorLeftVolume(m_config);
        else d->MirrorRightVolume(m_config);
    }
    ShowLevels(id == ctl::SLIDER_BALANCEL ? kLeft : kRight);
}

bool CDmItems_Headset_ALC::OnItemCommand(CGUIItem& item, WORD) {
    if (&item == m_mute) SwitchClicked(m_mute, &IAudioConfig::SetMute, &::IAudioDevice::MirrorMute);
    // The headset has it already: nothing waits for Apply.
    return false;
}

bool CDmItems_Headset_ALC::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_SLIDER_VALUE_SET && msg != WM_SLIDER_VALUE_CHANGING) return false;
    const int id = int(lParam);
    if (id != ctl::SLIDER_MASTERVOLUME && id != ctl::SLIDER_BALANCEL && id != ctl::SLIDER_BALANCER) return false;
    result = 0;
    // The levels follow the released value only, not the drag.
    if (msg == WM_SLIDER_VALUE_CHANGING) return true;
    if (id == ctl::SLIDER_MASTERVOLUME) MasterVolumeSet(int(wParam));
    else BalanceSet(int(wParam), id);
    return true;
}

void CDmItems_Headset_ALC::OnDeviceNotice(UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_HEADSET_LEVELS_CHANGED) ShowLevels(unsigned(lParam) & kAllLevels);
}

} // namespace vt::config
