#pragma once
// The lighting effects: per game event a blink count, a colour and an enabled flag, kept in the
// configurations as kind-64 configuration assignments, and the effects popup's rules on them,
// apart from any window.
#include <array>
#include <cstdint>
#include <map>
#include <windows.h>
#include "profile/Records.h"

namespace vt::config {

// The assignment kind of a lighting effect.
constexpr int32_t kKindLightingEffect = vt::profile::kKindKeySlot;
// Blink counts: 0 (none) to 5.
constexpr int kMaxBlinks = 5;

struct LightingEffect {
    int blinks = 0;
    COLORREF colour = 0;
    bool enabled = false;
};

// The events that have an effect, by key, with their controls' ids.
struct EffectKey {
    int key;
    int blinkId;    // drop-down (69 + key)
    int colourId;   // colour button (513 + key)
    int enableId;   // enable button (85 + key)
};
const std::array<EffectKey, 13>& EffectKeys();

// The effects map the popup edits: key -> record, as the main window reads it.
using EffectRecords = std::map<int, AssignmentRecord>;

// The effect a record holds; a blink count outside 0 to 5 (from a device) is clamped into it.
LightingEffect EffectOf(const AssignmentRecord& record);
// A kind-64 record holding the effect.
AssignmentRecord EffectRecord(const LightingEffect& effect);
// The effect Restore puts back for a key.
LightingEffect DefaultEffect(int key);

// Reads keys 1 to 16 from the first configuration given (mouse, keyboard, headset order, nulls
// skipped); kind-64 records only.
template <class... Configs>
EffectRecords ReadEffects(Configs*... configs);

// Every key of the effect table gets a record: the map's own (kind 64) or an empty effect.
void CompleteEffects(EffectRecords& records);

template <class Config>
bool ReadEffectsFrom(Config* config, EffectRecords& out) {
    if (!config) return false;
    for (int key = 1; key <= 16; ++key) {
        AssignmentRecord r{};
        r.kind = -1;
        if (config->GetConfigAssignment(&r, key) && r.kind == kKindLightingEffect) out[key] = r;
    }
    return true;
}

template <class... Configs>
EffectRecords ReadEffects(Configs*... configs) {
    EffectRecords out;
    (void)(ReadEffectsFrom(configs, out) || ...);
    return out;
}

// Writes every record into a configuration (nothing without one).
template <class Config>
void WriteEffects(Config* config, const EffectRecords& records) {
    if (!config) return;
    for (const auto& [key, record] : records) config->SetConfigAssignment(key, record);
}

} // namespace vt::config
