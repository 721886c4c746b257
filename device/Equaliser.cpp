#include "device/Equaliser.h"

#include <vector>

namespace vt::device {

using vt::win::ComPtr;

namespace {

bool GainInterface(const EqualizerRecord& record, ComPtr<IVtEQGain>& gain) {
    gain.Reset();
    if (!record.equalizer) return false;
    return SUCCEEDED(record.equalizer.As(gain)) && gain;
}

uint32_t BandCount(IVtEqualizer* equalizer) {
    VtEqualizerInfo info{};
    if (FAILED(equalizer->GetInfo(&info))) return 0;
    return info.TotalBand < kMaxEqualizerBands ? info.TotalBand : kMaxEqualizerBands;
}

} // namespace

bool BandSelected(uint32_t mask, int32_t band) {
    if (band < 0) return false;
    if (band < 10) return (mask & (0x100u << band)) != 0;
    return (mask & kAllBandBits) != 0;
}

EqualizerRecord GetEqualizer(IVtProfile* engineProfile) {
    EqualizerRecord r;
    if (!engineProfile) return r;
    r.profile = ComPtr<IVtProfile>(engineProfile);
    ProfileFeature(engineProfile, IID_IVtEqualizer, r.equalizer);
    return r;
}

bool ReadEqualizerRange(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile) {
    ComPtr<IVtEQGain> gain;
    if (!config || !GainInterface(record, gain)) return false;
    const uint32_t n = BandCount(record.equalizer.Get());
    SHORT min = 0, max = 1;
    gain->QueryGainRange(0, &min, &max);
    std::vector<int32_t> bands;
    for (uint32_t i = 0; i < n; ++i) bands.push_back(int32_t(i));
    config->InitBands(bands, min, max, 1, profile);
    return true;
}

bool ReadSwitchState(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile) {
    if (!record.equalizer || !config || !profile) return false;
    LONG on = 0;
    if (FAILED(record.equalizer->IsEnable(&on))) return false;
    config->SetEqualizerEnabled(on != 0 ? 1 : 0, profile);
    return true;
}

bool WriteSwitchState(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile) {
    if (!record.equalizer || !config || !profile) return false;
    return SUCCEEDED(record.equalizer->Enable(config->GetEqualizerEnabled(profile) == 1 ? 1 : 0));
}

bool ReadBandGains(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile, uint32_t mask) {
    ComPtr<IVtEQGain> gain;
    if (!config || !GainInterface(record, gain)) return false;
    const uint32_t n = BandCount(record.equalizer.Get());
    bool ok = true;
    for (uint32_t band = 0; band < n; ++band) {
        if (!BandSelected(mask, int32_t(band))) continue;
        SHORT g = 0;
        if (FAILED(gain->GetGain(band, &g))) {
            ok = false;  // the model keeps its gain for this band
            continue;
        }
        config->SetBandGain(int32_t(band), g, profile);
    }
    return ok;
}

bool WriteBandGains(IAudioConfig* config, const EqualizerRecord& record, IAudioProfile* profile, uint32_t mask) {
    ComPtr<IVtEQGain> gain;
    if (!config || !GainInterface(record, gain)) return false;
    const uint32_t n = config->GetBandCount(profile);
    bool ok = true;
    for (uint32_t i = 0; i < n; ++i) {
        const int32_t band = config->GetBandIdAt(i, profile);
        if (band < 0) {
            ok = false;
            continue;
        }
        if (!BandSelected(mask, band)) continue;
        ok = SUCCEEDED(gain->SetGain(ULONG(band), config->GetBandGain(band, profile))) && ok;
    }
    return ok;
}

bool WriteEqualizerBandGain(int32_t band, IAudioConfig* config, const EqualizerRecord& record, IAudioProfile* profile) {
    ComPtr<IVtEQGain> gain;
    if (!config || band < 0 || !GainInterface(record, gain)) return false;
    return SUCCEEDED(gain->SetGain(ULONG(band), config->GetBandGain(band, profile)));
}

bool ReadEqualizerProfile(IAudioConfig* config, const DeviceDescription* description, IVtProfile* engineProfile,
                          IAudioProfile* profile, uint32_t mask) {
    if (!IsIdInList(description, kCapEqualizer)) return true;
    EqualizerRecord record = GetEqualizer(engineProfile);
    ReadSwitchState(record, config, profile);
    return ReadBandGains(record, config, profile, mask);
}

} // namespace vt::device
