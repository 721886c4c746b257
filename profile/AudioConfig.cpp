#include "profile/AudioConfig.h"

using namespace vt::profile;

CDmConfig_Headset::CDmConfig_Headset() {
    for (int32_t key = 1; key <= 16; ++key) {
        AssignmentRecord slot{};
        slot.kind = kKindKeySlot;
        SetConfigAssignment(key, slot);
    }
}

bool CDmConfig_Headset::SetVolumeRange(int32_t min, int32_t max, int32_t step) {
    m_volMin = min;
    m_volMax = max;
    m_volStep = step;
    return true;
}

void CDmConfig_Headset::SetBalance(int32_t left, int32_t right) {
    m_left = Clamp(left, m_volMin, m_volMax);
    m_right = Clamp(right, m_volMin, m_volMax);
}

void CDmConfig_Headset::GetBalance(int32_t* left, int32_t* right) {
    if (left) *left = m_left;
    if (right) *right = m_right;
}

void CDmConfig_Headset::GetVolumeRange(int32_t* min, int32_t* max, int32_t* step) {
    if (min) *min = m_volMin;
    if (max) *max = m_volMax;
    if (step) *step = m_volStep;
}

bool CDmConfig_Headset::SetMicRange(int32_t min, int32_t max, int32_t step) {
    m_micMin = min;
    m_micMax = max;
    m_micStep = step;
    return true;
}

void CDmConfig_Headset::GetMicRange(int32_t* min, int32_t* max, int32_t* step) {
    if (min) *min = m_micMin;
    if (max) *max = m_micMax;
    if (step) *step = m_micStep;
}

IAudioProfile* CDmConfig_Headset::CreateProfile(const wchar_t* name) {
    bool first = m_profiles.empty();
    CDmProfile_Headset* profile = AppendNewProfile(name);
    SetHeadsetProfileDefaults(profile, this);
    if (first) SetHeadsetWideDefaults(profile, this);
    return profile;
}

uint32_t CDmConfig_Headset::GetBandCount(IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::GetBandCount() : 0;
}
bool CDmConfig_Headset::InitBands(const std::vector<int32_t>& bands, int32_t min, int32_t max, int32_t scale,
                                  IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::InitBands(bands, min, max, scale) : false;
}
bool CDmConfig_Headset::SetAllBandGains(const BandGains& gains, IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::SetAllBandGains(gains) : false;
}
bool CDmConfig_Headset::SetBandGain(int32_t band, int16_t gain, IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::SetBandGain(band, gain) : false;
}
bool CDmConfig_Headset::GetAllBandGains(BandGains& out, IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::GetAllBandGains(out) : false;
}
int16_t CDmConfig_Headset::GetBandGain(int32_t band, IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::GetBandGain(band) : 0;
}
void CDmConfig_Headset::GetGainRange(int32_t* min, int32_t* max, int32_t* scale, IAudioProfile* p) {
    if (CDmProfile_Headset* q = Resolve(p)) {
        q->CAudioProfile::GetGainRange(min, max, scale);
        return;
    }
    if (min) *min = 0;
    if (max) *max = 0;
    if (scale) *scale = 0;
}
int32_t CDmConfig_Headset::GetBandIdAt(uint32_t position, IAudioProfile* p) {
    CDmProfile_Headset* q = Resolve(p);
    return q ? q->CAudioProfile::GetBandIdAt(position) : 0;
}

void CDmConfig_Headset::SetEqualizerEnabled(uint8_t on, IAudioProfile* p) {
    m_eqEnabled = on;
    if (p) {
        if (CDmProfile_Headset* q = Listed(p)) q->CAudioProfile::SetEqualizerEnabled(on);
        return;
    }
    for (CDmProfile_Headset* q : m_profiles) q->CAudioProfile::SetEqualizerEnabled(on);
}

uint8_t CDmConfig_Headset::GetEqualizerEnabled(IAudioProfile* p) {
    if (!p) return m_eqEnabled;
    CDmProfile_Headset* q = Listed(p);
    return q ? q->CAudioProfile::GetEqualizerEnabled() : 0;
}

void SetHeadsetProfileDefaults(IAudioProfile* profile, IAudioConfig* config) {
    if (!profile || !config) return;
    for (int32_t zone : kDefaultZones) config->SetLightOn(zone, 1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightFlag(zone, 1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightColor(zone, kDefaultZoneColour, profile);
    const wchar_t* name = profile->GetName();
    uint32_t count = config->GetBandCount(profile);
    if (name && vt::win::EqualsNoCase(name, L"Custom") && count != 0) {
        // The bands the profile has, whatever their ids (no band is added).
        std::vector<int32_t> ids;
        for (uint32_t i = 0; i < count; ++i) ids.push_back(config->GetBandIdAt(i, profile));
        for (int32_t id : ids) config->SetBandGain(id, 0, profile);
    }
    profile->SetEqualizerEnabled(1);
}

void SetHeadsetWideDefaults(IAudioProfile* profile, IAudioConfig* config) {
    if (!config) return;
    config->SetEqualizerEnabled(1, profile);
    int32_t min = 0, max = 0, step = 0;
    config->GetVolumeRange(&min, &max, &step);
    config->SetMasterVolume(max / 5);
    config->SetBalance(max / 5, max / 5);
    config->GetMicRange(&min, &max, &step);
    config->SetMicVolume(max);
    config->SetMute(0);
    config->SetMicMute(0);
    config->SetMicAutoGain(0);
}
