#include "device/LightingZones.h"
#include "device/EngineBatch.h"
#include <objidl.h>
#include <cstring>
#include <map>
#include <typeindex>

namespace vt::device {

namespace {
// The zone's effect and colour interfaces. Through a proxy both are asked for in one round trip.
void ZoneParts(IVtLightingZone* zone, ComPtr<IVtLightingEffect>& effect, ComPtr<IVtLightingColor>& colour) {
    effect.Reset();
    colour.Reset();
    ComPtr<IMultiQI> multi;
    if (SUCCEEDED(zone->QueryInterface(IID_IMultiQI, multi.PutVoid())) && multi) {
        MULTI_QI parts[2] = {{&IID_IVtLightingEffect, nullptr, S_OK}, {&IID_IVtLightingColor, nullptr, S_OK}};
        multi->QueryMultipleInterfaces(2, parts);
        if (SUCCEEDED(parts[0].hr) && parts[0].pItf) effect.Attach(static_cast<IVtLightingEffect*>(parts[0].pItf));
        else if (parts[0].pItf) parts[0].pItf->Release();
        if (SUCCEEDED(parts[1].hr) && parts[1].pItf) colour.Attach(static_cast<IVtLightingColor*>(parts[1].pItf));
        else if (parts[1].pItf) parts[1].pItf->Release();
        return;
    }
    zone->QueryInterface(IID_IVtLightingEffect, effect.PutVoid());
    zone->QueryInterface(IID_IVtLightingColor, colour.PutVoid());
}
} // namespace

namespace {
// The zones a batch fetched, by the lighting object they came from.
struct KeptZones {
    std::vector<std::pair<ComPtr<IVtLighting>, std::vector<LightingZoneParts>>> lists;
    // The zone ids of each kind of device, once two lists of its zones in the batch agreed (a list
    // cut short by a failed call is not taken for the device's zones): the zones of its other
    // profiles are fetched by id, without listing them again.
    std::map<std::type_index, std::vector<ULONG>> listed, ids;
};

std::vector<LightingZoneParts> FetchZones(IVtLighting* lighting) {
    std::vector<LightingZoneParts> zones;
    if (!lighting) return zones;
    for (ULONG i = 0;; ++i) {
        LightingZoneParts z;
        if (FAILED(lighting->GetZone(i, z.zone.Put())) || !z.zone) break;
        z.idRead = SUCCEEDED(z.zone->GetZoneId(&z.id));
        if (z.idRead && ZoneIndexForId(z.id) >= 0) ZoneParts(z.zone.Get(), z.effect, z.colour);
        zones.push_back(std::move(z));
    }
    return zones;
}

// The zones with these ids; false when one of them cannot be had.
bool FetchZonesById(IVtLighting* lighting, const std::vector<ULONG>& ids, std::vector<LightingZoneParts>& zones) {
    zones.clear();
    for (ULONG id : ids) {
        LightingZoneParts z;
        if (FAILED(lighting->GetZoneById(id, z.zone.Put())) || !z.zone) return false;
        z.id = id;
        z.idRead = true;
        ZoneParts(z.zone.Get(), z.effect, z.colour);
        zones.push_back(std::move(z));
    }
    return true;
}
} // namespace

std::vector<LightingZoneParts> LightingZonesOf(IVtLighting* lighting, const std::type_info& kind) {
    KeptZones* kept = EngineBatch::Store<KeptZones>();
    if (!kept || !lighting) return FetchZones(lighting);
    for (const auto& [owner, zones] : kept->lists)
        if (owner.Get() == lighting) return zones;
    std::vector<LightingZoneParts> zones;
    auto known = kept->ids.find(std::type_index(kind));
    if (known == kept->ids.end() || !FetchZonesById(lighting, known->second, zones)) {
        zones = FetchZones(lighting);
        std::vector<ULONG> ids;
        bool whole = !zones.empty();
        for (const LightingZoneParts& z : zones) {
            whole = whole && z.idRead;
            if (z.idRead && ZoneIndexForId(z.id) >= 0) ids.push_back(z.id);
        }
        auto before = kept->listed.find(std::type_index(kind));
        if (whole && before != kept->listed.end() && before->second == ids) kept->ids[std::type_index(kind)] = ids;
        else if (whole) kept->listed[std::type_index(kind)] = std::move(ids);
    }
    kept->lists.emplace_back(ComPtr<IVtLighting>(lighting), std::move(zones));
    return kept->lists.back().second;
}

bool WriteZone(const LightingZoneParts& z, const ZoneState& s) {
    bool ok = true;
    IVtLightingEffect* effect = z.effect.Get();
    IVtLightingColor* colour = z.colour.Get();
    IVtLightingZone* zone = z.zone.Get();
    if (effect)
        ok = SUCCEEDED(effect->SetEffect(s.flag ? 4 : 0, 0, 0)) && ok;
    else
        ok = false;
    ok = SUCCEEDED(s.on ? zone->TurnOn() : zone->TurnOff()) && ok;
    if (colour)
        ok = SUCCEEDED(colour->SetColor(s.colour)) && ok;
    else
        ok = false;
    return ok;
}

bool ReadZone(const LightingZoneParts& z, ZoneState& s, bool& onRead, bool& colourRead, bool& flagRead) {
    onRead = colourRead = flagRead = false;
    IVtLightingEffect* effect = z.effect.Get();
    IVtLightingColor* colour = z.colour.Get();
    IVtLightingZone* zone = z.zone.Get();
    if (!effect) return false;
    bool ok = true;
    LONG on = 0;
    if (SUCCEEDED(zone->IsOn(&on))) {
        s.on = on != 0;
        onRead = true;
    } else {
        ok = false;
    }
    DWORD c = 0;
    if (colour && SUCCEEDED(colour->GetColor(&c))) {
        s.colour = c;
        colourRead = true;
    } else {
        ok = false;
    }
    LONG mode = 0, p1 = 0, p2 = 0;
    if (SUCCEEDED(effect->GetEffect(&mode, &p1, &p2))) {
        if (mode == 0 || mode == 4) {
            s.flag = mode == 4;
            flagRead = true;
        }
    } else {
        ok = false;
    }
    return ok;
}

GroupSnapshot::Bytes ZoneValues(const std::vector<ULONG>& ids, const std::vector<ZoneState>& states,
                                const std::vector<uint8_t>& effects) {
    GroupBytes b;
    b.Add(uint32_t(ids.size()));
    for (ULONG id : ids) b.Add(uint32_t(id));
    for (size_t i = 0; i < ids.size() && i < states.size() && i < effects.size(); ++i)
        b.Add(uint8_t(states[i].on ? 1 : 0)).Add(uint32_t(states[i].colour)).Add(effects[i]);
    return b.Take();
}

std::vector<ULONG> ZoneIdsOf(const GroupSnapshot::Bytes& values) {
    std::vector<ULONG> ids;
    uint32_t n = 0;
    if (values.size() < sizeof n) return ids;
    std::memcpy(&n, values.data(), sizeof n);
    if (n > 64 || values.size() < sizeof n * (1 + size_t(n))) return ids;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t id = 0;
        std::memcpy(&id, values.data() + sizeof n * (1 + i), sizeof id);
        ids.push_back(id);
    }
    return ids;
}

} // namespace vt::device
