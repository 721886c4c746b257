#pragma once
// Lighting zones of one engine profile against the model's zones. The engine numbers zones 1 to
// 11; the model's zone index is the engine id - 1. Templates over the configuration and profile
// interfaces (mouse, keyboard and headset name the zone operations alike).
#include "device/EngineConnection.h"
#include <cstdint>

namespace vt::device {

using vt::win::ComPtr;

// Model zone index of an engine zone id; -1 outside 1..11.
inline int32_t ZoneIndexForId(ULONG id) { return id >= 1 && id <= 11 ? int32_t(id) - 1 : -1; }

struct ZoneState {
    uint8_t on = 0;
    uint32_t colour = 0;
    uint8_t flag = 0;  // effect 4 (actions per minute) when set, steady otherwise
};
// Writes one zone; false when any call failed.
bool WriteZone(IVtLightingZone* zone, const ZoneState& state);
// Reads one zone into `state`; each part only when its read succeeded (`flag` only for effect
// modes 0 and 4). False when the zone yields no effect interface or a read failed.
bool ReadZone(IVtLightingZone* zone, ZoneState& state, bool& onRead, bool& colourRead, bool& flagRead);

template <class Config, class Profile>
bool WriteLightingZones(IVtProfile* engineProfile, Config* config, Profile* profile) {
    if (!engineProfile || !config || !profile) return false;
    ComPtr<IVtLighting> lighting;
    if (!ProfileFeature(engineProfile, IID_IVtLighting, lighting)) return false;
    bool ok = true;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtLightingZone> zone;
        if (FAILED(lighting->GetZone(i, zone.Put())) || !zone) break;
        ULONG id = 0;
        if (FAILED(zone->GetZoneId(&id))) continue;
        int32_t index = ZoneIndexForId(id);
        if (index < 0) continue;  // a zone the model does not know
        ZoneState s;
        s.on = config->GetLightOn(index, profile);
        s.colour = uint32_t(config->GetLightColor(index, profile));
        s.flag = config->GetLightFlag(index, profile);
        ok = WriteZone(zone.Get(), s) && ok;
    }
    return ok;
}

template <class Config, class Profile>
bool ReadLightingZones(IVtProfile* engineProfile, Config* config, Profile* profile) {
    if (!engineProfile || !config || !profile) return false;
    ComPtr<IVtLighting> lighting;
    if (!ProfileFeature(engineProfile, IID_IVtLighting, lighting)) return false;
    bool ok = true;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtLightingZone> zone;
        if (FAILED(lighting->GetZone(i, zone.Put())) || !zone) break;
        ULONG id = 0;
        if (FAILED(zone->GetZoneId(&id))) {
            ok = false;
            continue;
        }
        int32_t index = ZoneIndexForId(id);
        if (index < 0) continue;
        ZoneState s;
        bool onRead = false, colourRead = false, flagRead = false;
        ok = ReadZone(zone.Get(), s, onRead, colourRead, flagRead) && ok;
        if (onRead) config->SetLightOn(index, s.on, profile);
        if (colourRead) config->SetLightColor(index, int32_t(s.colour), profile);
        if (flagRead) config->SetLightFlag(index, s.flag, profile);
    }
    return ok;
}

} // namespace vt::device
