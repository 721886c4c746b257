#pragma once
// Lighting zones of one engine profile against the model's zones. The engine numbers zones 1 to
// 11; the model's zone index is the engine id - 1. Templates over the configuration and profile
// interfaces (mouse, keyboard and headset name the zone operations alike).
#include "device/EngineConnection.h"
#include <cstdint>
#include <vector>

namespace vt::device {

using vt::win::ComPtr;

// Model zone index of an engine zone id; -1 outside 1..11.
inline int32_t ZoneIndexForId(ULONG id) { return id >= 1 && id <= 11 ? int32_t(id) - 1 : -1; }

struct ZoneState {
    uint8_t on = 0;
    uint32_t colour = 0;
    uint8_t flag = 0;  // effect 4 (actions per minute) when set, steady otherwise
};
// The zones of a lighting object, each with its id and its effect and colour parts, fetched once
// per engine batch. `idRead` is false for a zone whose id could not be read.
struct LightingZoneParts {
    ComPtr<IVtLightingZone> zone;
    ULONG id = 0;
    bool idRead = false;
    ComPtr<IVtLightingEffect> effect;
    ComPtr<IVtLightingColor> colour;
};
std::vector<LightingZoneParts> LightingZonesOf(IVtLighting* lighting);

// Writes one zone; false when any call failed.
bool WriteZone(const LightingZoneParts& zone, const ZoneState& state);
// Reads one zone into `state`; each part only when its read succeeded (`flag` only for effect
// modes 0 and 4). False when the zone yields no effect interface or a read failed.
bool ReadZone(const LightingZoneParts& zone, ZoneState& state, bool& onRead, bool& colourRead, bool& flagRead);

template <class Config, class Profile>
bool WriteLightingZones(IVtProfile* engineProfile, Config* config, Profile* profile) {
    if (!engineProfile || !config || !profile) return false;
    ComPtr<IVtLighting> lighting;
    if (!ProfileFeature(engineProfile, IID_IVtLighting, lighting)) return false;
    bool ok = true;
    for (const LightingZoneParts& zone : LightingZonesOf(lighting.Get())) {
        if (!zone.idRead) continue;
        int32_t index = ZoneIndexForId(zone.id);
        if (index < 0) continue;  // a zone the model does not know
        ZoneState s;
        s.on = config->GetLightOn(index, profile);
        s.colour = uint32_t(config->GetLightColor(index, profile));
        s.flag = config->GetLightFlag(index, profile);
        ok = WriteZone(zone, s) && ok;
    }
    return ok;
}

template <class Config, class Profile>
bool ReadLightingZones(IVtProfile* engineProfile, Config* config, Profile* profile) {
    if (!engineProfile || !config || !profile) return false;
    ComPtr<IVtLighting> lighting;
    if (!ProfileFeature(engineProfile, IID_IVtLighting, lighting)) return false;
    bool ok = true;
    for (const LightingZoneParts& zone : LightingZonesOf(lighting.Get())) {
        if (!zone.idRead) {
            ok = false;
            continue;
        }
        int32_t index = ZoneIndexForId(zone.id);
        if (index < 0) continue;
        ZoneState s;
        bool onRead = false, colourRead = false, flagRead = false;
        ok = ReadZone(zone, s, onRead, colourRead, flagRead) && ok;
        if (onRead) config->SetLightOn(index, s.on, profile);
        if (colourRead) config->SetLightColor(index, int32_t(s.colour), profile);
        if (flagRead) config->SetLightFlag(index, s.flag, profile);
    }
    return ok;
}

} // namespace vt::device
