#pragma once
// The headset's equaliser between the headset configuration and the engine: each engine profile
// hands out an equaliser (switch and band layout) that also answers for its band gains.
//
// The switch belongs to each profile: a profile's switch is read into that model profile and
// written from it, so profiles with different switches keep them. A band whose gain cannot be
// read keeps the model's value.
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "profile/ConfigInterfaces.h"
#include <cstdint>

namespace vt::device {

// An engine profile with its equaliser, fetched and released together.
struct EqualizerRecord {
    vt::win::ComPtr<IVtProfile> profile;
    vt::win::ComPtr<IVtEqualizer> equalizer;
    explicit operator bool() const { return bool(equalizer); }
};

// The profile (a reference added) and its equaliser; the equaliser stays null when refused.
EqualizerRecord GetEqualizer(IVtProfile* engineProfile);

// Band ids 0 .. TotalBand-1 with band 0's gain range become the model profile's band layout.
// False (layout untouched) when the equaliser gives no gain interface.
bool ReadEqualizerRange(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile);
// The engine profile's switch into / from the model profile's own switch.
bool ReadSwitchState(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile);
bool WriteSwitchState(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile);
// The bands of a group mask: bit 8 + band for bands 0..9 (bands above 9 go with any band bit).
constexpr uint32_t kAllBandBits = 0x3FF00;
bool BandSelected(uint32_t mask, int32_t band);
// The gains of the selected bands; true when every call succeeded (every selected band is tried).
bool ReadBandGains(const EqualizerRecord& record, IAudioConfig* config, IAudioProfile* profile,
                   uint32_t mask = kAllBandBits);
bool WriteBandGains(IAudioConfig* config, const EqualizerRecord& record, IAudioProfile* profile,
                    uint32_t mask = kAllBandBits);
// One band's gain of the model profile to the engine.
bool WriteEqualizerBandGain(int32_t band, IAudioConfig* config, const EqualizerRecord& record, IAudioProfile* profile);
// Read job, per engine profile: switch and gains (true without the equaliser capability).
bool ReadEqualizerProfile(IAudioConfig* config, const DeviceDescription* description, IVtProfile* engineProfile,
                          IAudioProfile* profile, uint32_t mask = kAllBandBits);

// Most bands a layout takes from the engine.
constexpr uint32_t kMaxEqualizerBands = 64;

} // namespace vt::device
