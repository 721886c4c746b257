#include "Lighting.h"

namespace vt::engine {
namespace {

class LightingZone
    : public ComObject<IVtLightingZone, IVtLightingColor, IVtLightingEffect, IVtLightingBrightness>,
      ProfileItem {
public:
    LightingZone(EnginePtr e, uint32_t pid, GUID id, uint32_t zone)
        : ComObject(std::move(e)), ProfileItem(pid, id), m_zone(zone) {}
    HRESULT STDMETHODCALLTYPE TurnOn() override {
        ENTER("IVtLightingZone.TurnOn", U(m_zone));
        return WriteZ([](Zone& z) { z.on = true; });
    }
    HRESULT STDMETHODCALLTYPE TurnOff() override {
        ENTER("IVtLightingZone.TurnOff", U(m_zone));
        return WriteZ([](Zone& z) { z.on = false; });
    }
    HRESULT STDMETHODCALLTYPE IsOn(LONG* on) override {
        ENTER("IVtLightingZone.IsOn", U(m_zone));
        if (!on) return E_POINTER;
        return ReadZ([&](const Zone& z) { *on = z.on ? 1 : 0; });
    }
    HRESULT STDMETHODCALLTYPE GetZoneId(ULONG* id) override {
        ENTER("IVtLightingZone.GetZoneId", U(m_zone));
        if (!id) return E_POINTER;
        return ReadZ([&](const Zone& z) { *id = z.id; });
    }
    HRESULT STDMETHODCALLTYPE SetColor(DWORD color) override {
        ENTER("IVtLightingColor.SetColor", U(m_zone) + L" " + Hex(color));
        return WriteZ([&](Zone& z) { z.color = color & 0xFFFFFF; });
    }
    HRESULT STDMETHODCALLTYPE GetColor(DWORD* color) override {
        ENTER("IVtLightingColor.GetColor", U(m_zone));
        if (!color) return E_POINTER;
        return ReadZ([&](const Zone& z) { *color = z.color; });
    }
    HRESULT STDMETHODCALLTYPE SetEffect(LONG mode, LONG p1, LONG p2) override {
        ENTER("IVtLightingEffect.SetEffect", U(m_zone) + L" " + std::to_wstring(mode));
        return WriteZ([&](Zone& z) { z.mode = mode; z.p1 = p1; z.p2 = p2; });
    }
    HRESULT STDMETHODCALLTYPE GetEffect(LONG* mode, LONG* p1, LONG* p2) override {
        ENTER("IVtLightingEffect.GetEffect", U(m_zone));
        if (!mode) return E_POINTER;
        return ReadZ([&](const Zone& z) {
            *mode = z.mode;
            if (p1) *p1 = z.p1;
            if (p2) *p2 = z.p2;
        });
    }
    HRESULT STDMETHODCALLTYPE SetBrightness(LONG b) override {
        ENTER("IVtLightingBrightness.SetBrightness", U(m_zone) + L" " + std::to_wstring(b));
        if (b < 0 || b > 100) return E_INVALIDARG;
        return WriteZ([&](Zone& z) { z.brightness = b; });
    }
    HRESULT STDMETHODCALLTYPE GetBrightness(LONG* b) override {
        ENTER("IVtLightingBrightness.GetBrightness", U(m_zone));
        if (!b) return E_POINTER;
        return ReadZ([&](const Zone& z) { *b = z.brightness; });
    }
private:
    HRESULT ReadZ(const std::function<void(const Zone&)>& f) {
        return ReadProfile(*m_e, [&](const Profile& p) -> HRESULT {
            for (const Zone& z : p.zones)
                if (z.id == m_zone) { f(z); return S_OK; }
            return E_FAIL;
        });
    }
    HRESULT WriteZ(const std::function<void(Zone&)>& f) {
        return WriteProfile(*m_e, [&](Profile& p, Events&) -> HRESULT {
            for (Zone& z : p.zones)
                if (z.id == m_zone) { f(z); return S_OK; }
            return E_FAIL;
        });
    }
    uint32_t m_zone;
};

class Lighting : public ComObject<IVtLighting>, ProfileItem {
public:
    Lighting(EnginePtr e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetZone(ULONG index, IVtLightingZone** zone) override {
        ENTER("IVtLighting.GetZone", U(index));
        return ZoneFound(zone, [&](const Profile& p) -> uint32_t { return index < p.zones.size() ? p.zones[index].id : 0; });
    }
    HRESULT STDMETHODCALLTYPE GetZoneById(ULONG id, IVtLightingZone** zone) override {
        ENTER("IVtLighting.GetZoneById", U(id));
        return ZoneFound(zone, [&](const Profile& p) -> uint32_t {
            for (const Zone& z : p.zones)
                if (z.id == id) return id;
            return 0;
        });
    }
private:
    // pick answers the zone's id, or 0 when there is no such zone.
    HRESULT ZoneFound(IVtLightingZone** zone, const std::function<uint32_t(const Profile&)>& pick) {
        return MakeFound<uint32_t>(
            *m_e, m_pid, zone,
            [&](const Device& d, uint32_t* id) {
                const Profile* p = FindProfile(d, m_id);
                return p && (*id = pick(*p)) != 0;
            },
            [&](const uint32_t& id) -> IVtLightingZone* { return new LightingZone(m_e, m_pid, m_id, id); });
    }
};

}  // namespace

HRESULT CreateLighting(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv) {
    return Hand(new Lighting(e, pid, id), riid, ppv);
}

}  // namespace vt::engine
