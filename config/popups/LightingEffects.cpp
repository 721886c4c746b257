#include "config/popups/LightingEffects.h"
#include <algorithm>
#include <cstring>

namespace vt::config {

namespace {
// The payload of a kind-64 record.
constexpr size_t kBlinkAt = 0, kColourAt = 4, kEnabledAt = 8;
constexpr EffectKey Key(int key) { return {key, 69 + key, 513 + key, 85 + key}; }
} // namespace

const std::array<EffectKey, 13>& EffectKeys() {
    static const std::array<EffectKey, 13> kKeys = {Key(1), Key(2), Key(3), Key(4), Key(5), Key(6), Key(7),
                                                    Key(9), Key(11), Key(12), Key(13), Key(14), Key(16)};
    return kKeys;
}

LightingEffect EffectOf(const AssignmentRecord& record) {
    int32_t blinks = 0, colour = 0;
    std::memcpy(&blinks, record.payload + kBlinkAt, sizeof blinks);
    std::memcpy(&colour, record.payload + kColourAt, sizeof colour);
    LightingEffect e;
    e.blinks = std::clamp<int32_t>(blinks, 0, kMaxBlinks);
    e.colour = COLORREF(colour);
    e.enabled = record.payload[kEnabledAt] != 0;
    return e;
}

AssignmentRecord EffectRecord(const LightingEffect& effect) {
    AssignmentRecord r{};
    r.kind = kKindLightingEffect;
    const int32_t blinks = std::clamp(effect.blinks, 0, kMaxBlinks);
    const int32_t colour = int32_t(effect.colour);
    std::memcpy(r.payload + kBlinkAt, &blinks, sizeof blinks);
    std::memcpy(r.payload + kColourAt, &colour, sizeof colour);
    r.payload[kEnabledAt] = effect.enabled ? 1 : 0;
    return r;
}

LightingEffect DefaultEffect(int key) {
    if (key == 1 || key == 2) return {2, 0xFF0000, true};
    if (key == 3 || key == 4) return {2, 0xC000C0, true};
    return {};
}

void CompleteEffects(EffectRecords& records) {
    for (const EffectKey& k : EffectKeys()) {
        auto it = records.find(k.key);
        if (it == records.end() || it->second.kind != kKindLightingEffect) records[k.key] = EffectRecord({});
    }
}

} // namespace vt::config
