#pragma once
// Lighting zones of one engine profile against the model's zones. The engine numbers zones 1 to
// 11; the model's zone index is the engine id - 1. Templates over the configuration and profile
// interfaces (mouse, keyboard and headset name the zone operations alike).
#include "device/EngineConnection.h"
#include "device/GroupSnapshot.h"
#include <cstdint>
#include <typeinfo>
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
// per engine batch. `idRead` is false for a zone whose id could not be read. Once two lists of the
// zones of one kind of device (`kind`) in a batch agreed, the zones of that kind's other profiles
// are fetched by those ids (only the zones the model knows).
struct LightingZoneParts {
    ComPtr<IVtLightingZone> zone;
    ULONG id = 0;
    bool idRead = false;
    ComPtr<IVtLightingEffect> effect;
    ComPtr<IVtLightingColor> colour;
};
std::vector<LightingZoneParts> LightingZonesOf(IVtLighting* lighting, const std::type_info& kind);

// Writes one zone; false when any call failed.
bool WriteZone(const LightingZoneParts& zone, const ZoneState& state);
// Reads one zone into `state`; each part only when its read succeeded (`flag` only for effect
// modes 0 and 4). False when the zone yields no effect interface or a read failed.
bool ReadZone(const LightingZoneParts& zone, ZoneState& state, bool& onRead, bool& colourRead, bool& flagRead);

// The lighting of a profile in the snapshot's form: the engine ids of the zones a write covers,
// then each zone's switch, colour and effect (1 for effect 4, 0 for steady, 0xFF for any other).
GroupSnapshot::Bytes ZoneValues(const std::vector<ULONG>& ids, const std::vector<ZoneState>& states,
                                const std::vector<uint8_t>& effects);
// The zone ids at the head of a lighting snapshot (empty when it holds none).
std::vector<ULONG> ZoneIdsOf(const GroupSnapshot::Bytes& values);

template <class Config, class Profile>
ZoneState ModelZone(Config* config, Profile* profile, int32_t index) {
    ZoneState s;
    s.on = config->GetLightOn(index, profile);
    s.colour = uint32_t(config->GetLightColor(index, profile));
    s.flag = config->GetLightFlag(index, profile);
    return s;
}

template <class Config, class Profile>
GroupSnapshot::Bytes ModelZoneValues(Config* config, Profile* profile, const std::vector<ULONG>& ids) {
    std::vector<ZoneState> states;
    std::vector<uint8_t> effects;
    for (ULONG id : ids) {
        states.push_back(ModelZone(config, profile, ZoneIndexForId(id)));
        effects.push_back(states.back().flag ? 1 : 0);
    }
    return ZoneValues(ids, states, effects);
}

// With a snapshot, the zones are written only when the snapshot does not hold the model's values
// for the zones it recorded of this profile (`owner`) already.
template <class Config, class Profile>
bool WriteLightingZones(IVtProfile* engineProfile, Config* config, Profile* profile, GroupSnapshot* snapshot = nullptr,
                        const GUID& owner = GUID{}, uint32_t group = 0) {
    if (!engineProfile || !config || !profile) return false;
    if (snapshot) {
        const GroupSnapshot::Bytes* held = snapshot->Held(owner, group);
        if (held && *held == ModelZoneValues(config, profile, ZoneIdsOf(*held))) return true;
    }
    ComPtr<IVtLighting> lighting;
    bool ok = ProfileFeature(engineProfile, IID_IVtLighting, lighting);
    std::vector<ULONG> ids;
    if (ok) {
        for (const LightingZoneParts& zone : LightingZonesOf(lighting.Get(), typeid(Config))) {
            if (!zone.idRead) continue;
            int32_t index = ZoneIndexForId(zone.id);
            if (index < 0) continue;  // a zone the model does not know
            ok = WriteZone(zone, ModelZone(config, profile, index)) && ok;
            ids.push_back(zone.id);
        }
    }
    NoteGroupRead(snapshot, owner, group, ok, ok ? ModelZoneValues(config, profile, ids) : GroupSnapshot::Bytes{});
    return ok;
}

// `held` (when given) gets the engine's zones in the snapshot's form once every read succeeded.
template <class Config, class Profile>
bool ReadLightingZones(IVtProfile* engineProfile, Config* config, Profile* profile, GroupSnapshot::Bytes* held = nullptr) {
    if (!engineProfile || !config || !profile) return false;
    ComPtr<IVtLighting> lighting;
    if (!ProfileFeature(engineProfile, IID_IVtLighting, lighting)) return false;
    bool ok = true;
    std::vector<ULONG> ids;
    std::vector<ZoneState> states;
    std::vector<uint8_t> effects;
    for (const LightingZoneParts& zone : LightingZonesOf(lighting.Get(), typeid(Config))) {
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
        ids.push_back(zone.id);
        states.push_back(s);
        effects.push_back(flagRead ? s.flag : 0xFF);
    }
    if (held && ok) *held = ZoneValues(ids, states, effects);
    return ok;
}

// The zones of `read` (a copy of `profile` that a read filled) brought into `profile`: only the
// values that differ are set.
template <class Config, class Profile>
void MergeReadLighting(Config* from, Profile* read, Config* to, Profile* profile) {
    for (int32_t index = 0; index < 11; ++index) {
        const ZoneState a = ModelZone(from, read, index), b = ModelZone(to, profile, index);
        if (a.on != b.on) to->SetLightOn(index, a.on, profile);
        if (a.colour != b.colour) to->SetLightColor(index, int32_t(a.colour), profile);
        if (a.flag != b.flag) to->SetLightFlag(index, a.flag, profile);
    }
}

} // namespace vt::device
