#include "config/pages/HeadsetEqualiserRules.h"
#include <algorithm>
#include <cmath>
#include "config/pages/ProfileRules.h"
#include "config/popups/WarningPopup.h"
#include "device/AudioDevice.h"

namespace vt::config {

GainScale GainScale::Of(IAudioConfig* config, IAudioProfile* profile) {
    GainScale s;
    if (!config || !profile) return s;
    config->GetGainRange(&s.min, &s.max, &s.scale, profile);
    if (s.scale < 1) s.scale = 1;
    if (s.max < s.min) s.max = s.min;
    return s;
}

int GainScale::ToSlider(int32_t gain) const {
    const long v = std::lround(double(gain) / double(scale));
    return int(std::clamp<long>(v, SliderMin(), std::max(SliderMin(), SliderMax())));
}

int16_t GainScale::ToGain(int value) const {
    const int64_t g = int64_t(value) * scale;
    return int16_t(std::clamp<int64_t>(g, std::max<int64_t>(min, INT16_MIN), std::min<int64_t>(std::max(min, max), INT16_MAX)));
}

IAudioProfile* EqualiserRules::Custom() const { return m_config ? m_config->FindProfileByName(kCustomPreset) : nullptr; }

bool EqualiserRules::SwitchOn() const { return m_config && m_config->GetEqualizerEnabled(nullptr) != 0; }

GainScale EqualiserRules::Scale() const {
    if (!m_config) return {};
    IAudioProfile* p = m_config->GetCurrentProfile();
    if (!p) p = Custom();
    if (!p) p = m_config->GetProfileAt(0);
    return GainScale::Of(m_config, p);
}

int32_t EqualiserRules::BandAt(int position) const {
    IAudioProfile* p = m_config ? m_config->GetCurrentProfile() : nullptr;
    if (!p && m_config) p = Custom();
    if (p && position >= 0 && uint32_t(position) < m_config->GetBandCount(p)) return m_config->GetBandIdAt(uint32_t(position), p);
    // A profile whose band layout was never read: the bands are numbered from 0.
    return position;
}

int EqualiserRules::SliderValue(int position) const {
    if (!SwitchOn()) return 0;
    IAudioProfile* p = m_config->GetCurrentProfile();
    // A band the profile does not have shows 0 (asking for it would add it).
    if (!p || position < 0 || uint32_t(position) >= m_config->GetBandCount(p)) return 0;
    return Scale().ToSlider(m_config->GetBandGain(BandAt(position), p));
}

int EqualiserRules::FillPresets() {
    m_presets.clear();
    if (!m_config) return -1;
    IAudioProfile* current = m_config->GetCurrentProfile();
    const std::wstring currentName = current && current->GetName() ? current->GetName() : L"";
    int selected = -1;
    for (int i = 0; i < m_config->GetProfileCount(); ++i) {
        IAudioProfile* p = m_config->GetProfileAt(uint32_t(i));
        if (!p) continue;
        m_presets.push_back(p->GetName() ? p->GetName() : L"");
        if (current && selected < 0 && _wcsicmp(m_presets.back().c_str(), currentName.c_str()) == 0)
            selected = int(m_presets.size()) - 1;
    }
    return selected;
}

void EqualiserRules::TakeSnapshot() {
    m_snapshot.clear();
    if (IAudioProfile* c = Custom()) m_config->GetAllBandGains(m_snapshot, c);
}

void EqualiserRules::Initialise() {
    if (!m_config) return;
    // One switch for every preset: the current preset's.
    if (IAudioProfile* p = m_config->GetCurrentProfile())
        m_config->SetEqualizerEnabled(m_config->GetEqualizerEnabled(p), nullptr);
    TakeSnapshot();
    m_modified = false;
    FillPresets();
}

void EqualiserRules::Enter() {
    if (!m_config) return;
    // The snapshot is "Custom" as it is now, whichever preset is current.
    TakeSnapshot();
    ::IAudioDevice* d = Device();
    if (d && m_config->GetCurrentProfile()) d->ReadEqualizer(m_config);
    m_modified = false;
}

void EqualiserRules::RollBack() {
    IAudioProfile* c = Custom();
    if (!c) return;
    if (!m_snapshot.empty()) m_config->SetAllBandGains(m_snapshot, c);
    if (::IAudioDevice* d = Device()) d->WriteEqualizer(m_config, c);
}

bool EqualiserRules::AskAndSettle() {
    const bool keep = Warn(m_popups, m_owner, L"PresetWarningPopup.xml", L"$Preset") == 1;
    if (keep) TakeSnapshot();
    else RollBack();
    m_modified = false;
    return keep;
}

void EqualiserRules::Leave() {
    ::IAudioDevice* d = Device();
    if (d) d->ReadEqualizer(nullptr);
    if (!m_config || !m_modified) {
        m_modified = false;
        return;
    }
    if (AskAndSettle()) return;
    // Rolled back: the first preset becomes current, on the headset too; the equaliser stays let go.
    if (IAudioProfile* first = m_config->GetProfileAt(0)) {
        m_config->SetCurrentProfile(first);
        if (d && d->ReadEqualizer(m_config)) d->ReadEqualizer(nullptr);
    }
}

void EqualiserRules::SwitchClicked(bool on) {
    if (!m_config) return;
    m_config->SetEqualizerEnabled(on ? 1 : 0, nullptr);
    if (::IAudioDevice* d = Device()) d->SetEqualizerEnabled(m_config);
}

bool EqualiserRules::PresetChosen(int index) {
    if (!m_config || index < 0 || size_t(index) >= m_presets.size()) return false;
    IAudioProfile* chosen = m_config->FindProfileByName(m_presets[size_t(index)].c_str());
    if (!chosen || chosen == m_config->GetCurrentProfile()) return false;
    if (m_modified) AskAndSettle();
    m_config->SetCurrentProfile(chosen);
    if (::IAudioDevice* d = Device()) d->ReadEqualizer(m_config);
    return true;
}

IAudioProfile* EqualiserRules::MakeCustom(IAudioProfile* from) {
    if (!from || m_config->GetProfileCount() >= kProfileLimit) return nullptr;
    // A copy of the current preset under the name "Custom", with no engine id yet.
    IAudioProfile* c = m_config->DuplicateProfile(from, kCustomPreset);
    if (!c) return nullptr;
    // The headset makes it too (the write of the band group gives every new profile its engine
    // profile and writes the equalisers).
    if (::IAudioDevice* d = Device(); d && !d->Apply(0, vt::device::kHeadsetBands)) {
        m_config->DeleteProfile(c);
        return nullptr;
    }
    // Nothing was accepted before it: its start is what a rollback returns to.
    TakeSnapshot();
    return c;
}

bool EqualiserRules::BandSet(int position, int value) {
    if (!m_config || position < 0 || position >= kEqualiserBands || !SwitchOn()) return false;
    IAudioProfile* current = m_config->GetCurrentProfile();
    const int32_t band = BandAt(position);
    const GainScale scale = Scale();
    IAudioProfile* custom = Custom();
    if (!custom) custom = MakeCustom(current);
    if (!custom) return false;
    ::IAudioDevice* d = Device();
    if (current != custom) {
        // "Custom" starts from the preset the user shapes.
        BandGains gains;
        if (current && m_config->GetAllBandGains(gains, current)) m_config->SetAllBandGains(gains, custom);
        m_config->SetCurrentProfile(custom);
        if (d) {
            d->ReadEqualizer(m_config);
            d->WriteEqualizer(m_config, custom);
        }
    }
    m_modified = true;
    m_config->SetBandGain(band, scale.ToGain(value), custom);
    if (d) d->WriteEqualizerBand(m_config, band);
    return true;
}

} // namespace vt::config
