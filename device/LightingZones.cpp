#include "device/LightingZones.h"

namespace vt::device {

bool WriteZone(IVtLightingZone* zone, const ZoneState& s) {
    bool ok = true;
    ComPtr<IVtLightingEffect> effect;
    if (SUCCEEDED(zone->QueryInterface(IID_IVtLightingEffect, effect.PutVoid())) && effect)
        ok = SUCCEEDED(effect->SetEffect(s.flag ? 4 : 0, 0, 0)) && ok;
    else
        ok = false;
    ok = SUCCEEDED(s.on ? zone->TurnOn() : zone->TurnOff()) && ok;
    ComPtr<IVtLightingColor> colour;
    if (SUCCEEDED(zone->QueryInterface(IID_IVtLightingColor, colour.PutVoid())) && colour)
        ok = SUCCEEDED(colour->SetColor(s.colour)) && ok;
    else
        ok = false;
    return ok;
}

bool ReadZone(IVtLightingZone* zone, ZoneState& s, bool& onRead, bool& colourRead, bool& flagRead) {
    onRead = colourRead = flagRead = false;
    ComPtr<IVtLightingEffect> effect;
    if (FAILED(zone->QueryInterface(IID_IVtLightingEffect, effect.PutVoid())) || !effect) return false;
    bool ok = true;
    LONG on = 0;
    if (SUCCEEDED(zone->IsOn(&on))) {
        s.on = on != 0;
        onRead = true;
    } else {
        ok = false;
    }
    ComPtr<IVtLightingColor> colour;
    DWORD c = 0;
    if (SUCCEEDED(zone->QueryInterface(IID_IVtLightingColor, colour.PutVoid())) && colour &&
        SUCCEEDED(colour->GetColor(&c))) {
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

} // namespace vt::device
