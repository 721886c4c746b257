// COM objects of the engine: views on the engine's state keyed by device, profile and item.
#include <ocidl.h>
#include <olectl.h>
#include <algorithm>
#include <cstring>
#include <set>
#include "BinaryIo.h"
#include "Engine.h"

namespace vt::engine {

// Identity of an engine object, for calls that take an object back (delete, activate). The
// object handed back arrives in the engine's own apartment, so this interface is never marshalled.
struct ItemKey {
    int type;  // 1 profile, 2 macro, 3 launch entry, 4 collection entry
    uint32_t pid;
    GUID id;
    uint64_t entry;
};
struct IVtEngineItem : public IUnknown {
    virtual void STDMETHODCALLTYPE GetItemKey(ItemKey* key) = 0;
};
}  // namespace vt::engine
__CRT_UUID_DECL(vt::engine::IVtEngineItem, 0x0b603453, 0x9ab7, 0x48af, 0xbe, 0xea, 0x5e, 0xb3, 0x68, 0x6d, 0x05, 0x4b)

namespace vt::engine {
namespace {

using Events = std::vector<PendingEvent>;

template <class... I>
struct First;
template <class F, class... R>
struct First<F, R...> { using type = F; };

// Reference counting and QueryInterface over the listed interfaces.
template <class... I>
class ComObject : public I... {
public:
    explicit ComObject(std::shared_ptr<Engine> e) : m_e(std::move(e)) { ++Engine::s_objects; }
    virtual ~ComObject() { --Engine::s_objects; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_ref)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG r = InterlockedDecrement(&m_ref);
        if (r == 0) delete this;
        return ULONG(r);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown) *ppv = static_cast<typename First<I...>::type*>(this);
        else (void)((riid == __uuidof(I) ? (*ppv = static_cast<I*>(this), true) : false) || ...);
        if (!*ppv && !QueryExtra(riid, ppv)) return E_NOINTERFACE;
        if (*ppv) reinterpret_cast<IUnknown*>(*ppv)->AddRef();
        return *ppv ? S_OK : E_NOINTERFACE;
    }

protected:
    // Further interfaces offered conditionally (set *ppv without adding a reference).
    virtual bool QueryExtra(REFIID, void**) { return false; }
    std::shared_ptr<Engine> m_e;

private:
    LONG m_ref = 1;
};

template <class T>
HRESULT Hand(T* obj, REFIID riid, void** ppv) {
    HRESULT hr = obj->QueryInterface(riid, ppv);
    obj->Release();
    return hr;
}

template <class Itf, class T>
HRESULT HandOut(T* obj, Itf** out) {
    *out = static_cast<Itf*>(obj);
    return S_OK;
}

HRESULT CoString(const std::wstring& s, ULONG* cch, WCHAR** out) {
    if (!cch || !out) return E_POINTER;
    *out = nullptr;
    *cch = 0;
    auto* p = static_cast<WCHAR*>(CoTaskMemAlloc((s.size() + 1) * sizeof(WCHAR)));
    if (!p) return E_OUTOFMEMORY;
    memcpy(p, s.c_str(), (s.size() + 1) * sizeof(WCHAR));
    *out = p;
    *cch = ULONG(s.size() + 1);
    return S_OK;
}

bool ValidInString(LPCWSTR s, size_t maxChars, std::wstring* out) {
    if (!s) return false;
    size_t n = wcsnlen(s, maxChars + 1);
    if (n > maxChars) return false;
    out->assign(s, n);
    return true;
}

Profile* FindProfile(Device& d, const GUID& id) {
    for (Profile& p : d.profiles)
        if (p.id == id) return &p;
    return nullptr;
}
const Profile* FindProfile(const Device& d, const GUID& id) {
    for (const Profile& p : d.profiles)
        if (p.id == id) return &p;
    return nullptr;
}
size_t ProfileIndex(const Device& d, const GUID& id) {
    for (size_t i = 0; i < d.profiles.size(); ++i)
        if (d.profiles[i].id == id) return i;
    return SIZE_MAX;
}

bool KeyOf(IUnknown* obj, int type, uint32_t pid, ItemKey* key) {
    if (!obj) return false;
    IVtEngineItem* item = nullptr;
    if (FAILED(obj->QueryInterface(__uuidof(IVtEngineItem), reinterpret_cast<void**>(&item))) || !item) return false;
    item->GetItemKey(key);
    item->Release();
    return key->type == type && key->pid == pid;
}

std::wstring G(const GUID& g) {
    std::string s = GuidText(g);
    return std::wstring(s.begin(), s.end());
}
std::wstring U(uint32_t v) { return std::to_wstring(v); }

#define ENTER(name, args)                              \
    do {                                               \
        HRESULT enter_hr_ = m_e->Enter(name, args);    \
        if (FAILED(enter_hr_)) return enter_hr_;       \
    } while (0)

// ---- Connection points ----

class ConnectionPoint : public ComObject<IConnectionPoint> {
public:
    ConnectionPoint(std::shared_ptr<Engine> e, SourceKey key, IID iid, IConnectionPointContainer* owner)
        : ComObject(std::move(e)), m_key(key), m_iid(iid), m_owner(owner) { m_owner->AddRef(); }
    ~ConnectionPoint() override { m_owner->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = m_iid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
        if (!c) return E_POINTER;
        *c = m_owner;
        m_owner->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        ENTER("IConnectionPoint.Advise", L"");
        return m_e->Advise(m_key, m_iid, sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        ENTER("IConnectionPoint.Unadvise", U(cookie));
        return m_e->Unadvise(m_key, cookie);
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** e) override {
        if (e) *e = nullptr;
        return E_NOTIMPL;
    }
private:
    SourceKey m_key;
    IID m_iid;
    IConnectionPointContainer* m_owner;
};

// An event source: answers FindConnectionPoint for its one event interface.
template <class... I>
class Source : public ComObject<IConnectionPointContainer, I...> {
public:
    Source(std::shared_ptr<Engine> e, SourceKey key, IID iid)
        : ComObject<IConnectionPointContainer, I...>(std::move(e)), m_key(key), m_iid(iid) {}
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** e) override {
        if (e) *e = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** cp) override {
        if (!cp) return E_POINTER;
        *cp = nullptr;
        if (riid != m_iid) return CONNECT_E_NOCONNECTION;
        *cp = new ConnectionPoint(this->m_e, m_key, m_iid, this);
        return S_OK;
    }
protected:
    SourceKey m_key;
    IID m_iid;
};

// ---- Profile features ----

class ProfileItem {
protected:
    ProfileItem(uint32_t pid, const GUID& id) : m_pid(pid), m_id(id) {}
    uint32_t m_pid;
    GUID m_id;
};

class Properties : public ComObject<IVtProfileProperties>, ProfileItem {
public:
    Properties(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetProperty(ULONG id, ULONG, BYTE* buffer, ULONG, ULONG* size) override {
        ENTER("IVtProfileProperties.GetProperty", Hex(id));
        if (!buffer || !size) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            if (id == VT_PROP_LINKED_PROGRAM) {
                if (p->program.empty()) { *size = 0; return S_OK; }
                if (*size < 256) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
                memcpy(buffer, p->program.data(), 256);
                *size = 256;
                return S_OK;
            }
            if (id == VT_PROP_LINK_FLAGS) {
                if (*size < 2) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
                memcpy(buffer, &p->flags, 2);
                *size = 2;
                return S_OK;
            }
            return E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE SetProperty(ULONG id, const BYTE* buffer, ULONG, ULONG size, ULONG) override {
        ENTER("IVtProfileProperties.SetProperty", Hex(id) + L" " + U(size));
        if (!buffer) return E_POINTER;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            if (id == VT_PROP_LINKED_PROGRAM) {
                if (size != 256) return E_INVALIDARG;
                p->program.assign(buffer, buffer + 256);
                return S_OK;
            }
            if (id == VT_PROP_LINK_FLAGS) {
                if (size != 4) return E_INVALIDARG;
                uint16_t mask, value;
                memcpy(&mask, buffer, 2);
                memcpy(&value, buffer + 2, 2);
                if ((mask != 1 && mask != 2 && mask != 4) || value > 1) return E_INVALIDARG;
                p->flags = value ? uint16_t(p->flags | mask) : uint16_t(p->flags & ~mask);
                return S_OK;
            }
            return E_INVALIDARG;
        });
    }
};

class Dpi : public Source<IVtDpi>, ProfileItem {
public:
    Dpi(std::shared_ptr<Engine> e, uint32_t pid, GUID id)
        : Source(std::move(e), SourceKey{pid, vt::engine::Source::Dpi, id}, IID__IDPIEvents), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetStageCapacity(ULONG* a, ULONG* maxStages) override {
        ENTER("IVtDpi.GetStageCapacity", L"");
        if (!a || !maxStages) return E_POINTER;
        return ReadP([&](const Profile& p) { *a = 1; *maxStages = p.maxStages; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetDpiRange(ULONG* mn, ULONG* mx, ULONG* step) override {
        ENTER("IVtDpi.GetDpiRange", L"");
        if (!mn || !mx || !step) return E_POINTER;
        return ReadP([&](const Profile& p) { *mn = p.dpiMin; *mx = p.dpiMax; *step = p.dpiStep; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetDpiStages(ULONG* count, VtDpiStage** stages) override {
        ENTER("IVtDpi.GetDpiStages", L"");
        if (!count || !stages) return E_POINTER;
        *count = 0;
        *stages = nullptr;
        return ReadP([&](const Profile& p) -> HRESULT {
            auto* a = static_cast<VtDpiStage*>(CoTaskMemAlloc(p.stages.size() * sizeof(VtDpiStage)));
            if (!a) return E_OUTOFMEMORY;
            std::copy(p.stages.begin(), p.stages.end(), a);
            *stages = a;
            *count = ULONG(p.stages.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetDpiStages(ULONG count, const VtDpiStage* stages) override {
        ENTER("IVtDpi.SetDpiStages", U(count));
        if (!stages) return E_POINTER;
        return WriteP([&](Profile& p, Device& d, Events& ev) -> HRESULT {
            if (count < 1 || count > p.maxStages) return E_INVALIDARG;
            for (ULONG i = 0; i < count; ++i)
                if (stages[i].X < p.dpiMin || stages[i].X > p.dpiMax || stages[i].Y < p.dpiMin || stages[i].Y > p.dpiMax)
                    return E_INVALIDARG;
            p.stages.assign(stages, stages + count);
            if (p.activeStage > count) p.activeStage = count;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetActiveStage(ULONG* stage) override {
        ENTER("IVtDpi.GetActiveStage", L"");
        if (!stage) return E_POINTER;
        return ReadP([&](const Profile& p) { *stage = p.activeStage; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetActiveStage(ULONG stage) override {
        ENTER("IVtDpi.SetActiveStage", U(stage));
        return WriteP([&](Profile& p, Device& d, Events& ev) -> HRESULT {
            if (stage < 1 || stage > p.stages.size()) return E_INVALIDARG;
            p.activeStage = stage;
            Change(p, d, ev, p.stages[stage - 1].X, p.stages[stage - 1].Y);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetDpi(ULONG* x, ULONG* y) override {
        ENTER("IVtDpi.GetDpi", L"");
        if (!x || !y) return E_POINTER;
        return ReadP([&](const Profile& p) { *x = p.dpiX; *y = p.dpiY; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetDpi(ULONG x, ULONG y) override {
        ENTER("IVtDpi.SetDpi", U(x) + L" " + U(y));
        return WriteP([&](Profile& p, Device& d, Events& ev) -> HRESULT {
            if (x < p.dpiMin || x > p.dpiMax || y < p.dpiMin || y > p.dpiMax) return E_INVALIDARG;
            Change(p, d, ev, x, y);
            return S_OK;
        });
    }
private:
    void Change(Profile& p, Device& d, Events& ev, uint32_t x, uint32_t y) {
        if (p.dpiX == x && p.dpiY == y) return;
        p.dpiX = x;
        p.dpiY = y;
        ev.push_back({m_key, EventKind::DpiChanged, x, y});
    }
    HRESULT ReadP(const std::function<HRESULT(const Profile&)>& f) {
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            return p ? f(*p) : E_FAIL;
        });
    }
    HRESULT WriteP(const std::function<HRESULT(Profile&, Device&, Events&)>& f) {
        return m_e->Write(m_pid, [&](Device& d, Events& ev) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            return p ? f(*p, d, ev) : E_FAIL;
        });
    }
};

// Records of a profile: the mouse's buttons or the keyboard's keys.
template <class Itf>
class RecordTable : public ComObject<Itf>, protected ProfileItem {
public:
    RecordTable(std::shared_ptr<Engine> e, uint32_t pid, GUID id, const char* name)
        : ComObject<Itf>(std::move(e)), ProfileItem(pid, id), m_name(name) {}
protected:
    HRESULT Get(ULONG* count, VtActionRecord* records) {
        if (!count || !records) return E_POINTER;
        return this->m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            ULONG n = 0;
            auto put = [&](uint32_t key) {
                if (n < *count) records[n++] = p->records.at(key);
            };
            if (d.kind == Mouse) {
                for (uint32_t bit = 0; bit < kMouseButtonBits; ++bit)
                    if (d.buttonMask >> bit & 1) put(ButtonIndexOfBit(bit));
            } else {
                for (uint32_t code : KeyboardKeys()) put(code);
            }
            *count = n;
            return S_OK;
        });
    }
    HRESULT Set(ULONG count, const VtActionRecord* records) {
        if (!records) return E_POINTER;
        if (count == 0 || count > 4096) return E_INVALIDARG;
        return this->m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            for (ULONG i = 0; i < count; ++i)
                if (!IsValidIndex(d, records[i].Index) || records[i].Type > 9 || records[i].Flag > 1) return E_INVALIDARG;
            for (ULONG i = 0; i < count; ++i) {
                const VtActionRecord& r = records[i];
                static const BYTE zero[20] = {};
                if (r.Type == 0 && !memcmp(r.Payload, zero, 20)) p->records[r.Index] = DefaultRecord(d.kind, r.Index);
                else p->records[r.Index] = r;
            }
            return S_OK;
        });
    }
    const char* m_name;
};

class Buttons : public RecordTable<IVtButtonAssignments> {
public:
    Buttons(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : RecordTable(std::move(e), pid, id, "buttons") {}
    HRESULT STDMETHODCALLTYPE GetAssignments(ULONG* count, VtActionRecord* records) override {
        ENTER("IVtButtonAssignments.GetAssignments", count ? U(*count) : L"");
        return Get(count, records);
    }
    HRESULT STDMETHODCALLTYPE SetAssignment(ULONG count, const VtActionRecord* records) override {
        ENTER("IVtButtonAssignments.SetAssignment", records && count ? U(records[0].Index) : L"");
        return Set(count, records);
    }
    HRESULT STDMETHODCALLTYPE GetButtonInfo(ULONG* count, ULONG* second, ULONG* mask) override {
        ENTER("IVtButtonAssignments.GetButtonInfo", L"");
        if (!count || !second || !mask) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) {
            *count = d.buttonCount;
            *second = 0;
            *mask = d.buttonMask;
            return S_OK;
        });
    }
};

class Table : public RecordTable<IVtAssignmentTable> {
public:
    Table(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : RecordTable(std::move(e), pid, id, "keys") {}
    HRESULT STDMETHODCALLTYPE GetTableInfo(ULONG* first, ULONG* count) override {
        ENTER("IVtAssignmentTable.GetTableInfo", L"");
        if (!first || !count) return E_POINTER;
        *first = *count = ULONG(KeyboardKeys().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAssignments(ULONG* count, VtActionRecord* records) override {
        ENTER("IVtAssignmentTable.GetAssignments", count ? U(*count) : L"");
        return Get(count, records);
    }
    HRESULT STDMETHODCALLTYPE SetAssignment(ULONG count, const VtActionRecord* records) override {
        ENTER("IVtAssignmentTable.SetAssignment", records && count ? Hex(records[0].Index) : L"");
        return Set(count, records);
    }
};

class LightingZone
    : public ComObject<IVtLightingZone, IVtLightingColor, IVtLightingEffect, IVtLightingBrightness>,
      ProfileItem {
public:
    LightingZone(std::shared_ptr<Engine> e, uint32_t pid, GUID id, uint32_t zone)
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
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            for (const Zone& z : p->zones)
                if (z.id == m_zone) { f(z); return S_OK; }
            return E_FAIL;
        });
    }
    HRESULT WriteZ(const std::function<void(Zone&)>& f) {
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            for (Zone& z : p->zones)
                if (z.id == m_zone) { f(z); return S_OK; }
            return E_FAIL;
        });
    }
    uint32_t m_zone;
};

class Lighting : public ComObject<IVtLighting>, ProfileItem {
public:
    Lighting(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetZone(ULONG index, IVtLightingZone** zone) override {
        ENTER("IVtLighting.GetZone", U(index));
        return Zone_(zone, [&](const Profile& p) -> uint32_t { return index < p.zones.size() ? p.zones[index].id : 0; });
    }
    HRESULT STDMETHODCALLTYPE GetZoneById(ULONG id, IVtLightingZone** zone) override {
        ENTER("IVtLighting.GetZoneById", U(id));
        return Zone_(zone, [&](const Profile& p) -> uint32_t {
            for (const Zone& z : p.zones)
                if (z.id == id) return id;
            return 0;
        });
    }
private:
    HRESULT Zone_(IVtLightingZone** zone, const std::function<uint32_t(const Profile&)>& pick) {
        if (!zone) return E_POINTER;
        *zone = nullptr;
        uint32_t id = 0;
        HRESULT hr = m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            id = pick(*p);
            return id ? S_OK : E_FAIL;
        });
        if (FAILED(hr)) return hr;
        *zone = new LightingZone(m_e, m_pid, m_id, id);
        return S_OK;
    }
};

class Equalizer : public ComObject<IVtEqualizer, IVtEQGain>, ProfileItem {
public:
    Equalizer(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetInfo(VtEqualizerInfo* info) override {
        ENTER("IVtEqualizer.GetInfo", L"");
        if (!info) return E_POINTER;
        info->TotalBand = kBands;
        info->SupportFeature = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsEnable(LONG* on) override {
        ENTER("IVtEqualizer.IsEnable", L"");
        if (!on) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            *on = p->eqOn ? 1 : 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Enable(LONG on) override {
        ENTER("IVtEqualizer.Enable", std::to_wstring(on));
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            p->eqOn = on != 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE QueryGainRange(ULONG band, SHORT* mn, SHORT* mx) override {
        ENTER("IVtEQGain.QueryGainRange", U(band));
        if (!mn || !mx) return E_POINTER;
        if (band >= kBands) return E_INVALIDARG;
        *mn = kGainMin;
        *mx = kGainMax;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetGain(ULONG band, SHORT gain) override {
        ENTER("IVtEQGain.SetGain", U(band) + L" " + std::to_wstring(gain));
        if (band >= kBands || gain < kGainMin || gain > kGainMax) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            p->gains[band] = gain;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetGain(ULONG band, SHORT* gain) override {
        ENTER("IVtEQGain.GetGain", U(band));
        if (!gain) return E_POINTER;
        if (band >= kBands) return E_INVALIDARG;
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            *gain = p->gains[band];
            return S_OK;
        });
    }
};

// ---- Profiles ----

class ProfileObj : public ComObject<IVtProfile, IVtEngineItem>, ProfileItem {
public:
    ProfileObj(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {1, m_pid, m_id, 0}; }
    HRESULT STDMETHODCALLTYPE CreateInterfaceInstance(REFIID riid, void** ppv) override {
        ENTER("IVtProfile.CreateInterfaceInstance", G(riid));
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        int kind = KindOf(m_pid);
        bool exists = SUCCEEDED(m_e->Read(m_pid, [&](const Device& d) { return FindProfile(d, m_id) ? S_OK : E_FAIL; }));
        if (!exists) return E_FAIL;
        if (riid == IID_IVtProfileProperties) return Hand(new Properties(m_e, m_pid, m_id), riid, ppv);
        if (riid == IID_IVtLighting) return Hand(new Lighting(m_e, m_pid, m_id), riid, ppv);
        if (riid == IID_IVtDpi && kind == Mouse) return Hand(new Dpi(m_e, m_pid, m_id), riid, ppv);
        if (riid == IID_IVtButtonAssignments && kind == Mouse) return Hand(new Buttons(m_e, m_pid, m_id), riid, ppv);
        if (riid == IID_IVtAssignmentTable && kind == Keyboard) return Hand(new Table(m_e, m_pid, m_id), riid, ppv);
        if ((riid == IID_IVtEqualizer || riid == IID_IVtEQGain) && kind == Headset)
            return Hand(new Equalizer(m_e, m_pid, m_id), riid, ppv);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override {
        ENTER("IVtProfile.GetId", L"");
        if (!id) return E_POINTER;
        *id = m_id;
        return m_e->Read(m_pid, [&](const Device& d) { return FindProfile(d, m_id) ? S_OK : E_FAIL; });
    }
    HRESULT STDMETHODCALLTYPE GetName(ULONG* cch, WCHAR** name) override {
        ENTER("IVtProfile.GetName", L"");
        if (!cch || !name) return E_POINTER;
        *cch = 0;
        *name = nullptr;
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            return p ? CoString(p->name, cch, name) : E_FAIL;
        });
    }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override {
        std::wstring n;
        bool valid = ValidInString(name, kMaxNameChars, &n);
        ENTER("IVtProfile.SetName", n);
        if (!name) return E_POINTER;
        if (!valid) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            p->name = n;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Apply() override {
        ENTER("IVtProfile.Apply", L"");
        return m_e->Read(m_pid, [&](const Device& d) { return FindProfile(d, m_id) ? S_OK : E_FAIL; });
    }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override {
        ENTER("IVtProfile.Export", path ? path : L"");
        if (!path) return E_POINTER;
        std::vector<uint8_t> bytes;
        HRESULT hr = m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            bytes = ExportProfileFile(d.kind, *p);
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        return WriteFileAtomic(path, bytes) ? S_OK : E_FAIL;
    }
};

class ProfileManager : public Source<IVtProfileManager> {
public:
    ProfileManager(std::shared_ptr<Engine> e, uint32_t pid)
        : Source(std::move(e), SourceKey{pid, vt::engine::Source::ProfileManager, {}}, IID__IProfileManagerEvents),
          m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetProfileByIndex(ULONG index, IVtProfile** out) override {
        ENTER("IVtProfileManager.GetProfileByIndex", U(index));
        return Lookup(out, [&](const Device& d) -> const Profile* {
            return index < d.profiles.size() ? &d.profiles[index] : nullptr;
        });
    }
    HRESULT STDMETHODCALLTYPE GetProfileById(GUID id, IVtProfile** out) override {
        ENTER("IVtProfileManager.GetProfileById", G(id));
        return Lookup(out, [&](const Device& d) { return FindProfile(d, id); });
    }
    HRESULT STDMETHODCALLTYPE SetActiveProfile(IVtProfile* profile) override {
        ENTER("IVtProfileManager.SetActiveProfile", L"");
        ItemKey key{};
        if (!profile) return E_POINTER;
        if (!KeyOf(profile, 1, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events& ev) -> HRESULT {
            size_t i = ProfileIndex(d, key.id);
            if (i == SIZE_MAX) return E_FAIL;
            d.active = key.id;
            // Raised also when it was active already: activating applies the profile again.
            ev.push_back({m_key, EventKind::ProfileChanged, uint32_t(i)});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetActiveProfile(IVtProfile** out) override {
        ENTER("IVtProfileManager.GetActiveProfile", L"");
        return Lookup(out, [&](const Device& d) { return FindProfile(d, d.active); });
    }
    HRESULT STDMETHODCALLTYPE CreateProfile(IVtProfile** out) override {
        ENTER("IVtProfileManager.CreateProfile", L"");
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id = NewId();
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            if (d.profiles.size() >= kMaxProfiles) return E_FAIL;
            d.profiles.push_back(FactoryProfile(d.kind, id, L"Profile " + std::to_wstring(d.profiles.size() + 1)));
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new ProfileObj(m_e, m_pid, id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteProfile(IVtProfile* profile) override {
        ENTER("IVtProfileManager.DeleteProfile", L"");
        ItemKey key{};
        if (!profile) return E_POINTER;
        if (!KeyOf(profile, 1, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events& ev) -> HRESULT {
            size_t i = ProfileIndex(d, key.id);
            if (i == SIZE_MAX) return E_FAIL;
            if (d.profiles.size() == 1) return E_FAIL;  // a device always keeps one profile
            bool wasActive = d.active == key.id;
            d.profiles.erase(d.profiles.begin() + i);
            if (wasActive) {
                d.active = d.profiles[0].id;
                ev.push_back({m_key, EventKind::ProfileChanged, 0});
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportProfile(LPCWSTR path, IVtProfile** out) override {
        ENTER("IVtProfileManager.ImportProfile", path ? path : L"");
        if (!path || !out) return E_POINTER;
        *out = nullptr;
        std::vector<uint8_t> bytes;
        if (!ReadFileBytes(path, kMaxImportFile, &bytes)) return E_FAIL;
        GUID id = NewId();
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile p;
            if (!ImportProfileFile(bytes, d, &p)) return E_FAIL;
            if (d.profiles.size() >= kMaxProfiles) return E_FAIL;
            p.id = id;
            d.profiles.push_back(std::move(p));
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new ProfileObj(m_e, m_pid, id);
        return S_OK;
    }
private:
    HRESULT Lookup(IVtProfile** out, const std::function<const Profile*(const Device&)>& pick) {
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id{};
        HRESULT hr = m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = pick(d);
            if (!p) return E_FAIL;
            id = p->id;
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new ProfileObj(m_e, m_pid, id);
        return S_OK;
    }
    uint32_t m_pid;
};

// ---- Device features ----

class RateList : public ComObject<IVtRateList> {
public:
    RateList(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetRate(ULONG* code) override {
        ENTER("IVtRateList.GetRate", L"");
        if (!code) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *code = d.rate; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetRate(ULONG code) override {
        ENTER("IVtRateList.SetRate", U(code));
        if (code != 8 && code != 2 && code != 1) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.rate = code; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetRateList(ULONG* count, ULONG** rates) override {
        ENTER("IVtRateList.GetRateList", L"");
        if (!count || !rates) return E_POINTER;
        *count = 0;
        *rates = static_cast<ULONG*>(CoTaskMemAlloc(3 * sizeof(ULONG)));
        if (!*rates) return E_OUTOFMEMORY;
        (*rates)[0] = 125;
        (*rates)[1] = 500;
        (*rates)[2] = 1000;
        *count = 3;
        return S_OK;
    }
private:
    uint32_t m_pid;
};

class Acceleration : public ComObject<IVtAcceleration> {
public:
    Acceleration(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetAcceleration(ULONG* v) override {
        ENTER("IVtAcceleration.GetAcceleration", L"");
        if (!v) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *v = d.accel; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetAcceleration(ULONG v) override {
        ENTER("IVtAcceleration.SetAcceleration", U(v));
        if (v < 1 || v > 10) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.accel = v; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE IsEnabled(LONG* on) override {
        ENTER("IVtAcceleration.IsEnabled", L"");
        if (!on) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *on = d.accelOn ? 1 : 0; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Enable() override {
        ENTER("IVtAcceleration.Enable", L"");
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.accelOn = true; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Disable() override {
        ENTER("IVtAcceleration.Disable", L"");
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.accelOn = false; return S_OK; });
    }
private:
    uint32_t m_pid;
};

class MacroObj : public ComObject<IVtMacro, IVtEngineItem> {
public:
    MacroObj(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : ComObject(std::move(e)), m_pid(pid), m_id(id) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {2, m_pid, m_id, 0}; }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override {
        ENTER("IVtMacro.GetId", L"");
        if (!id) return E_POINTER;
        *id = m_id;
        return ReadM([](const Macro&) { return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetName(ULONG* cch, WCHAR** name) override {
        ENTER("IVtMacro.GetName", L"");
        if (!cch || !name) return E_POINTER;
        *cch = 0;
        *name = nullptr;
        return ReadM([&](const Macro& m) { return CoString(m.name, cch, name); });
    }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override {
        std::wstring n;
        bool valid = ValidInString(name, kMaxNameChars, &n);
        ENTER("IVtMacro.SetName", n);
        if (!name) return E_POINTER;
        if (!valid) return E_INVALIDARG;
        return WriteM([&](Macro& m) { m.name = n; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override {
        ENTER("IVtMacro.Export", path ? path : L"");
        if (!path) return E_POINTER;
        std::vector<uint8_t> bytes;
        HRESULT hr = ReadM([&](const Macro& m) { bytes = ExportMacroFile(m); return S_OK; });
        if (FAILED(hr)) return hr;
        return WriteFileAtomic(path, bytes) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetEvents(ULONG* cb, BYTE** buffer) override {
        ENTER("IVtMacro.GetEvents", L"");
        if (!cb || !buffer) return E_POINTER;
        *cb = 0;
        *buffer = nullptr;
        return ReadM([&](const Macro& m) -> HRESULT {
            std::vector<uint8_t> b = MacroBuffer(m);
            auto* p = static_cast<BYTE*>(CoTaskMemAlloc(b.size()));
            if (!p) return E_OUTOFMEMORY;
            memcpy(p, b.data(), b.size());
            *buffer = p;
            *cb = ULONG(b.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetEvents(ULONG cb, const BYTE* buffer) override {
        ENTER("IVtMacro.SetEvents", U(cb));
        if (!buffer) return E_POINTER;
        std::vector<MacroEvent> events;
        if (!ParseMacroBuffer(buffer, cb, &events)) return E_INVALIDARG;
        return WriteM([&](Macro& m) { m.events = std::move(events); return S_OK; });
    }
private:
    HRESULT ReadM(const std::function<HRESULT(const Macro&)>& f) {
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            for (const Macro& m : d.macros)
                if (m.id == m_id) return f(m);
            return E_FAIL;
        });
    }
    HRESULT WriteM(const std::function<HRESULT(Macro&)>& f) {
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (Macro& m : d.macros)
                if (m.id == m_id) return f(m);
            return E_FAIL;
        });
    }
    uint32_t m_pid;
    GUID m_id;
};

class MacroStore : public ComObject<IVtMacroStore> {
public:
    MacroStore(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetMacroByIndex(ULONG index, IVtMacro** out) override {
        ENTER("IVtMacroStore.GetMacroByIndex", U(index));
        return Lookup(out, [&](const Device& d) -> const Macro* { return index < d.macros.size() ? &d.macros[index] : nullptr; });
    }
    HRESULT STDMETHODCALLTYPE GetMacroById(GUID id, IVtMacro** out) override {
        ENTER("IVtMacroStore.GetMacroById", G(id));
        return Lookup(out, [&](const Device& d) -> const Macro* {
            for (const Macro& m : d.macros)
                if (m.id == id) return &m;
            return nullptr;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateMacro(IVtMacro** out) override {
        ENTER("IVtMacroStore.CreateMacro", L"");
        Macro m;
        m.id = NewId();
        return Add(out, std::move(m));
    }
    HRESULT STDMETHODCALLTYPE DeleteMacro(IVtMacro* macro) override {
        ENTER("IVtMacroStore.DeleteMacro", L"");
        ItemKey key{};
        if (!macro) return E_POINTER;
        if (!KeyOf(macro, 2, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            auto it = std::find_if(d.macros.begin(), d.macros.end(), [&](const Macro& m) { return m.id == key.id; });
            if (it == d.macros.end()) return E_FAIL;
            d.macros.erase(it);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportMacro(LPCWSTR path, IVtMacro** out) override {
        ENTER("IVtMacroStore.ImportMacro", path ? path : L"");
        if (!path || !out) return E_POINTER;
        *out = nullptr;
        std::vector<uint8_t> bytes;
        Macro m;
        if (!ReadFileBytes(path, kMaxImportFile, &bytes) || !ImportMacroFile(bytes, &m)) return E_FAIL;
        m.id = NewId();
        return Add(out, std::move(m));
    }
private:
    HRESULT Add(IVtMacro** out, Macro m) {
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id = m.id;
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            if (d.macros.size() >= (d.kind == Mouse ? 4u : kMaxMacros)) return E_FAIL;
            d.macros.push_back(std::move(m));
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new MacroObj(m_e, m_pid, id);
        return S_OK;
    }
    HRESULT Lookup(IVtMacro** out, const std::function<const Macro*(const Device&)>& pick) {
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id{};
        HRESULT hr = m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Macro* m = pick(d);
            if (!m) return E_FAIL;
            id = m->id;
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new MacroObj(m_e, m_pid, id);
        return S_OK;
    }
    uint32_t m_pid;
};

class LaunchEntryObj : public ComObject<IVtLaunchEntry, IVtEngineItem> {
public:
    LaunchEntryObj(std::shared_ptr<Engine> e, uint32_t pid, GUID id) : ComObject(std::move(e)), m_pid(pid), m_id(id) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {3, m_pid, m_id, 0}; }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override {
        ENTER("IVtLaunchEntry.GetId", L"");
        if (!id) return E_POINTER;
        *id = m_id;
        return ReadL([](const LaunchEntry&) { return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPath(ULONG* cch, WCHAR** path) override {
        ENTER("IVtLaunchEntry.GetPath", L"");
        if (!cch || !path) return E_POINTER;
        *cch = 0;
        *path = nullptr;
        return ReadL([&](const LaunchEntry& e) { return CoString(e.path, cch, path); });
    }
    HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR path) override {
        std::wstring p;
        bool valid = ValidInString(path, kMaxPathChars, &p);
        ENTER("IVtLaunchEntry.SetPath", p);
        if (!path) return E_POINTER;
        if (!valid) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (LaunchEntry& e : d.launch)
                if (e.id == m_id) { e.path = p; return S_OK; }
            return E_FAIL;
        });
    }
private:
    HRESULT ReadL(const std::function<HRESULT(const LaunchEntry&)>& f) {
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            for (const LaunchEntry& e : d.launch)
                if (e.id == m_id) return f(e);
            return E_FAIL;
        });
    }
    uint32_t m_pid;
    GUID m_id;
};

class Launcher : public Source<IVtAppLauncher> {
public:
    Launcher(std::shared_ptr<Engine> e, uint32_t pid)
        : Source(std::move(e), SourceKey{pid, vt::engine::Source::Launcher, {}}, IID__IApplicationEvent), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetEntryByIndex(ULONG index, IVtLaunchEntry** out) override {
        ENTER("IVtAppLauncher.GetEntryByIndex", U(index));
        return Lookup(out, [&](const Device& d) -> const LaunchEntry* { return index < d.launch.size() ? &d.launch[index] : nullptr; });
    }
    HRESULT STDMETHODCALLTYPE GetEntryById(GUID id, IVtLaunchEntry** out) override {
        ENTER("IVtAppLauncher.GetEntryById", G(id));
        return Lookup(out, [&](const Device& d) -> const LaunchEntry* {
            for (const LaunchEntry& e : d.launch)
                if (e.id == id) return &e;
            return nullptr;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateEntry(IVtLaunchEntry** out) override {
        ENTER("IVtAppLauncher.CreateEntry", L"");
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id = NewId();
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            if (d.launch.size() >= kMaxLaunchEntries) return E_FAIL;
            d.launch.push_back({id, L""});
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new LaunchEntryObj(m_e, m_pid, id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteEntry(IVtLaunchEntry* entry) override {
        ENTER("IVtAppLauncher.DeleteEntry", L"");
        ItemKey key{};
        if (!entry) return E_POINTER;
        if (!KeyOf(entry, 3, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            auto it = std::find_if(d.launch.begin(), d.launch.end(), [&](const LaunchEntry& e) { return e.id == key.id; });
            if (it == d.launch.end()) return E_FAIL;
            d.launch.erase(it);
            return S_OK;
        });
    }
private:
    HRESULT Lookup(IVtLaunchEntry** out, const std::function<const LaunchEntry*(const Device&)>& pick) {
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id{};
        HRESULT hr = m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const LaunchEntry* e = pick(d);
            if (!e) return E_FAIL;
            id = e->id;
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new LaunchEntryObj(m_e, m_pid, id);
        return S_OK;
    }
    uint32_t m_pid;
};

class CollectionEntryObj : public ComObject<IVtCollectionEntry, IVtEngineItem> {
public:
    CollectionEntryObj(std::shared_ptr<Engine> e, uint32_t pid, uint64_t key)
        : ComObject(std::move(e)), m_pid(pid), m_key(key) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {4, m_pid, {}, m_key}; }
    HRESULT STDMETHODCALLTYPE GetNumber(ULONG* n) override {
        ENTER("IVtCollectionEntry.GetNumber", L"");
        if (!n) return E_POINTER;
        return ReadC([&](const CollectionEntry& e) { *n = e.number; });
    }
    HRESULT STDMETHODCALLTYPE SetNumber(ULONG n) override {
        ENTER("IVtCollectionEntry.SetNumber", U(n));
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            CollectionEntry* self = nullptr;
            for (CollectionEntry& e : d.collection) {
                if (e.key == m_key) self = &e;
                else if (e.number == n) return E_ACCESSDENIED;
            }
            if (!self) return E_FAIL;
            self->number = n;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetColor(DWORD* c) override {
        ENTER("IVtCollectionEntry.GetColor", L"");
        if (!c) return E_POINTER;
        return ReadC([&](const CollectionEntry& e) { *c = e.color; });
    }
    HRESULT STDMETHODCALLTYPE SetColor(DWORD c) override {
        ENTER("IVtCollectionEntry.SetColor", Hex(c));
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (CollectionEntry& e : d.collection)
                if (e.key == m_key) { e.color = c & 0xFFFFFF; return S_OK; }
            return E_FAIL;
        });
    }
private:
    HRESULT ReadC(const std::function<void(const CollectionEntry&)>& f) {
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            for (const CollectionEntry& e : d.collection)
                if (e.key == m_key) { f(e); return S_OK; }
            return E_FAIL;
        });
    }
    uint32_t m_pid;
    uint64_t m_key;
};

class Collection : public ComObject<IVtEntryCollection, IVtKeyEntries> {
public:
    Collection(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetEntry(ULONG index, IVtCollectionEntry** out) override {
        ENTER("IVtEntryCollection.GetEntry", U(index));
        if (!out) return E_POINTER;
        *out = nullptr;
        uint64_t key = 0;
        HRESULT hr = m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            if (index >= d.collection.size()) return E_FAIL;
            key = d.collection[index].key;
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new CollectionEntryObj(m_e, m_pid, key);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateEntry(ULONG number, IVtCollectionEntry** out) override {
        ENTER("IVtEntryCollection.CreateEntry", U(number));
        if (!out) return E_POINTER;
        *out = nullptr;
        uint64_t key = 0;
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (const CollectionEntry& e : d.collection)
                if (e.number == number) return E_ACCESSDENIED;
            if (d.collection.size() >= kMaxCollection) return E_FAIL;
            key = d.nextEntryKey++;
            d.collection.push_back({key, number, 0});
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new CollectionEntryObj(m_e, m_pid, key);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteEntry(IVtCollectionEntry* entry) override {
        ENTER("IVtEntryCollection.DeleteEntry", L"");
        ItemKey key{};
        if (!entry) return E_POINTER;
        if (!KeyOf(entry, 4, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            auto it = std::find_if(d.collection.begin(), d.collection.end(),
                                   [&](const CollectionEntry& e) { return e.key == key.entry; });
            if (it == d.collection.end()) return E_FAIL;
            d.collection.erase(it);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetValue1(ULONG k, ULONG* v) override { ENTER("IVtKeyEntries.GetValue1", U(k)); return GetV(k, 0, v); }
    HRESULT STDMETHODCALLTYPE SetValue1(ULONG k, ULONG v) override { ENTER("IVtKeyEntries.SetValue1", U(k)); return SetV(k, 0, v); }
    HRESULT STDMETHODCALLTYPE GetValue2(ULONG k, ULONG* v) override { ENTER("IVtKeyEntries.GetValue2", U(k)); return GetV(k, 1, v); }
    HRESULT STDMETHODCALLTYPE SetValue2(ULONG k, ULONG v) override { ENTER("IVtKeyEntries.SetValue2", U(k)); return SetV(k, 1, v); }
    HRESULT STDMETHODCALLTYPE GetValue3(ULONG k, ULONG* v) override { ENTER("IVtKeyEntries.GetValue3", U(k)); return GetV(k, 2, v); }
    HRESULT STDMETHODCALLTYPE SetValue3(ULONG k, ULONG v) override { ENTER("IVtKeyEntries.SetValue3", U(k)); return SetV(k, 2, v); }
private:
    HRESULT GetV(ULONG k, int i, ULONG* v) {
        if (!v) return E_POINTER;
        if (k < 1 || k > kKeyEntries) return E_INVALIDARG;
        return m_e->Read(m_pid, [&](const Device& d) { *v = d.keyValues[k - 1][i]; return S_OK; });
    }
    HRESULT SetV(ULONG k, int i, ULONG v) {
        if (k < 1 || k > kKeyEntries) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.keyValues[k - 1][i] = v; return S_OK; });
    }
    uint32_t m_pid;
};

class KeyboardMode : public ComObject<IVtKeyboardMode> {
public:
    KeyboardMode(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetMode(ULONG* mode) override {
        ENTER("IVtKeyboardMode.GetMode", L"");
        if (!mode) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *mode = d.mode; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetMode(ULONG mode) override {
        ENTER("IVtKeyboardMode.SetMode", U(mode));
        if (mode != 1 && mode != 2) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.mode = mode; return S_OK; });
    }
private:
    uint32_t m_pid;
};

class Recorder : public Source<IVtMacroRecorder> {
public:
    Recorder(std::shared_ptr<Engine> e, uint32_t pid)
        : Source(std::move(e), SourceKey{pid, vt::engine::Source::Recorder, {}}, IID__IOTFMacroRecordingEvents) {}
};

class Sync : public ComObject<IVtSync> {
public:
    Sync(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE IsSyncEnable(LONG* on) override {
        ENTER("IVtSync.IsSyncEnable", L"");
        if (!on) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *on = d.sync ? 1 : 0; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SyncEnable(LONG on) override {
        ENTER("IVtSync.SyncEnable", std::to_wstring(on));
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.sync = on != 0; return S_OK; });
    }
private:
    uint32_t m_pid;
};

// ---- Device and manager ----

class DeviceObj : public ComObject<IVtDevice, IVtDeviceIdentity, IVtKeyboardInfo> {
public:
    DeviceObj(std::shared_ptr<Engine> e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(VtDeviceInfo* info) override {
        ENTER("IVtDevice.GetDeviceInfo", L"");
        if (!info) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            if (d.infoFails) return E_FAIL;
            std::wstring path = DevicePath(d);
            ULONG cch;
            WCHAR* p;
            if (FAILED(CoString(path, &cch, &p))) return E_OUTOFMEMORY;
            info->VendorId = d.vendor;
            info->ProductId = d.pid;
            info->DriverVersion = d.driver;
            info->FirmwareVersion = d.firmware;
            info->DevicePath = p;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateInterfaceInstance(REFIID riid, void** ppv) override {
        ENTER("IVtDevice.CreateInterfaceInstance", G(riid));
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        int kind = KindOf(m_pid);
        if (riid == IID_IVtProfileManager) return Hand(new ProfileManager(m_e, m_pid), riid, ppv);
        if (riid == IID_IVtEntryCollection || riid == IID_IVtKeyEntries) return Hand(new Collection(m_e, m_pid), riid, ppv);
        if (kind == Mouse && riid == IID_IVtRateList) return Hand(new RateList(m_e, m_pid), riid, ppv);
        if (kind == Mouse && riid == IID_IVtAcceleration) return Hand(new Acceleration(m_e, m_pid), riid, ppv);
        if (kind != Headset && riid == IID_IVtMacroStore) return Hand(new MacroStore(m_e, m_pid), riid, ppv);
        if (kind != Headset && riid == IID_IVtAppLauncher) return Hand(new Launcher(m_e, m_pid), riid, ppv);
        if (kind == Keyboard && riid == IID_IVtKeyboardMode) return Hand(new KeyboardMode(m_e, m_pid), riid, ppv);
        if (kind == Keyboard && riid == IID_IVtMacroRecorder) return Hand(new Recorder(m_e, m_pid), riid, ppv);
        if (kind == Headset && riid == IID_IVtSync) return Hand(new Sync(m_e, m_pid), riid, ppv);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetIds(ULONG* productId, ULONG* vendorId) override {
        ENTER("IVtDeviceIdentity.GetIds", L"");
        if (!productId || !vendorId) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) {
            *productId = d.pid;
            *vendorId = d.vendor;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLayout(ULONG* layout) override {
        ENTER("IVtKeyboardInfo.GetLayout", L"");
        if (!layout) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *layout = d.layout; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IVtKeyboardInfo && m_pid != VT_PID_KEYBOARD) {
            if (ppv) *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return ComObject::QueryInterface(riid, ppv);
    }
private:
    uint32_t m_pid;
};

class DeviceMgr : public ComObject<IVtDeviceMgr, IVtSimControl> {
public:
    explicit DeviceMgr(std::shared_ptr<Engine> e) : ComObject(std::move(e)) {}
    HRESULT STDMETHODCALLTYPE EnumDevices(ULONG index, IVtDevice** device) override {
        ENTER("IVtDeviceMgr.EnumDevices", U(index));
        if (!device) return E_POINTER;
        *device = nullptr;
        std::vector<uint32_t> list = m_e->EnumList();
        if (index >= list.size()) return E_FAIL;
        *device = new DeviceObj(m_e, list[index]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPresent(ULONG pid, LONG present) override { return m_e->SetPresent(pid, present != 0); }
    HRESULT STDMETHODCALLTYPE Press(ULONG pid, ULONG code) override { return m_e->Press(pid, code); }
    HRESULT STDMETHODCALLTYPE RecordAction(ULONG action, ULONG code) override { return m_e->RecordAction(action, code); }
    HRESULT STDMETHODCALLTYPE Reset() override { return m_e->Reset(); }
    HRESULT STDMETHODCALLTYPE FailCall(LPCWSTR method, ULONG nth, HRESULT hr) override {
        return method ? m_e->FailCall(method, nth, hr) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE DelayCall(LPCWSTR method, ULONG ms) override {
        return method ? m_e->DelayCall(method, ms) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE Dump(BSTR* json) override {
        if (!json) return E_POINTER;
        std::string s = m_e->Dump();
        int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
        *json = SysAllocStringLen(nullptr, UINT(n));
        if (!*json) return E_OUTOFMEMORY;
        MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), *json, n);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDeviceValue(ULONG pid, LPCWSTR name, ULONG value) override {
        return name ? m_e->SetDeviceValue(pid, name, value) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE SetEnumOrder(ULONG count, const ULONG* pids) override {
        if (count && !pids) return E_POINTER;
        if (count > 16) return E_INVALIDARG;
        return m_e->SetEnumOrder(std::vector<uint32_t>(pids, pids + count));
    }
    HRESULT STDMETHODCALLTYPE GetCallLog(LONG clear, BSTR* log) override {
        if (!log) return E_POINTER;
        std::wstring s = m_e->CallLog(clear != 0);
        *log = SysAllocStringLen(s.data(), UINT(s.size()));
        return *log ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetCounts(ULONG* objects, ULONG* sinks) override {
        if (!objects || !sinks) return E_POINTER;
        *objects = ULONG(Engine::s_objects.load());
        *sinks = m_e->SinkCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReloadState() override { return m_e->ReloadState(); }
    HRESULT STDMETHODCALLTYPE Shutdown() override {
        if (!m_e->onShutdown) return E_NOTIMPL;
        m_e->onShutdown();
        return S_OK;
    }
};

}  // namespace

HRESULT CreateDeviceManager(const std::shared_ptr<Engine>& engine, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!engine) return E_INVALIDARG;
    return Hand(new DeviceMgr(engine), riid, ppv);
}

}  // namespace vt::engine
