#include "State.h"
#include <algorithm>
#include <cstdio>
#include <set>
#include "BinaryIo.h"

namespace vt::engine {

namespace {

constexpr char kStateMagic[9] = "VTENGST1";
constexpr char kProfileMagic[9] = "VTPROFIL";
constexpr char kMacroMagic[9] = "VTMACRO1";
constexpr uint32_t kStateVersion = 1, kProfileVersion = 1, kMacroVersion = 1;

std::vector<uint32_t> ZoneIds(int kind) {
    if (kind == Keyboard) return {4, 7, 10, 11};
    return {4, 10, 11};
}

std::vector<uint32_t> BuildKeyboardKeys() {
#ifdef VT_KEYBOARD_KEY_TABLE
    return {
#include "KeyboardKeys.inc"
    };
#endif
    std::vector<uint32_t> keys;
    for (uint32_t c = 0x01; c <= 0x53; ++c) keys.push_back(c);
    for (uint32_t c : {0x56u, 0x57u, 0x58u}) keys.push_back(c);
    // Extended (E0) keys: keypad Enter, right Ctrl, keypad /, Print Screen, right Alt, the
    // navigation block, the Windows and application keys.
    for (uint32_t c : {0x1Cu, 0x1Du, 0x35u, 0x37u, 0x38u, 0x47u, 0x48u, 0x49u, 0x4Bu, 0x4Du, 0x4Fu,
                       0x50u, 0x51u, 0x52u, 0x53u, 0x5Bu, 0x5Cu, 0x5Du})
        keys.push_back((2u << 16) | c);
    keys.push_back((4u << 16) | 0x45u);  // Pause (E1)
    return keys;
}

void WriteProfile(Writer& w, const Profile& p) {
    w.Guid(p.id);
    w.Str(p.name);
    w.U32(uint32_t(p.program.size()));
    w.Raw(p.program.data(), p.program.size());
    w.U16(p.flags);
    w.U32(uint32_t(p.zones.size()));
    for (const Zone& z : p.zones) {
        w.U32(z.id); w.U8(z.on); w.U32(z.color); w.I32(z.mode); w.I32(z.p1); w.I32(z.p2); w.I32(z.brightness);
    }
    w.U32(p.maxStages); w.U32(p.dpiMin); w.U32(p.dpiMax); w.U32(p.dpiStep);
    w.U32(uint32_t(p.stages.size()));
    for (const VtDpiStage& s : p.stages) { w.U32(s.X); w.U32(s.Y); }
    w.U32(p.activeStage); w.U32(p.dpiX); w.U32(p.dpiY);
    w.U32(uint32_t(p.records.size()));
    for (const auto& [key, rec] : p.records) w.Raw(&rec, sizeof rec);
    w.U8(p.eqOn);
    for (int16_t g : p.gains) w.U16(uint16_t(g));
}

bool ReadProfile(Reader& r, Profile* p) {
    p->id = r.Guid();
    p->name = r.Str(kMaxNameChars);
    uint32_t n = r.U32();
    if (n != 0 && n != 256) return false;
    p->program.resize(n);
    r.Raw(p->program.data(), n);
    p->flags = r.U16();
    uint32_t zones = r.Count(16, 29);
    p->zones.resize(zones);
    for (Zone& z : p->zones) {
        z.id = r.U32(); z.on = r.U8() != 0; z.color = r.U32();
        z.mode = r.I32(); z.p1 = r.I32(); z.p2 = r.I32(); z.brightness = r.I32();
    }
    p->maxStages = r.U32(); p->dpiMin = r.U32(); p->dpiMax = r.U32(); p->dpiStep = r.U32();
    uint32_t stages = r.Count(16, 8);
    p->stages.resize(stages);
    for (VtDpiStage& s : p->stages) { s.X = r.U32(); s.Y = r.U32(); }
    p->activeStage = r.U32(); p->dpiX = r.U32(); p->dpiY = r.U32();
    uint32_t records = r.Count(1024, sizeof(VtActionRecord));
    p->records.clear();
    for (uint32_t i = 0; i < records && r.Ok(); ++i) {
        VtActionRecord rec{};
        r.Raw(&rec, sizeof rec);
        if (!p->records.emplace(rec.Index, rec).second) return false;
    }
    p->eqOn = r.U8() != 0;
    for (int16_t& g : p->gains) g = int16_t(r.U16());
    return r.Ok();
}

void WriteMacro(Writer& w, const Macro& m) {
    w.Guid(m.id);
    w.Str(m.name);
    w.U32(uint32_t(m.events.size()));
    for (const MacroEvent& e : m.events) { w.I32(e.type); w.U32(e.data); }
}

bool ValidEvent(const MacroEvent& e) { return e.type >= 1 && e.type <= 3; }

bool ReadMacro(Reader& r, Macro* m) {
    m->id = r.Guid();
    m->name = r.Str(kMaxNameChars);
    uint32_t n = r.Count(kMaxMacroEvents, 8);
    m->events.resize(n);
    for (MacroEvent& e : m->events) {
        e.type = r.I32();
        e.data = r.U32();
        if (!ValidEvent(e)) return false;
    }
    return r.Ok();
}

bool NullGuid(const GUID& g) { return g == GUID{}; }

void JsonString(std::string& o, const std::wstring& s) {
    o += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        }
        if (c == '"' || c == '\\') { o += '\\'; o += char(c); }
        else if (c < 0x20) { char b[8]; snprintf(b, sizeof b, "\\u%04x", c); o += b; }
        else if (c < 0x80) o += char(c);
        else if (c < 0x800) { o += char(0xC0 | (c >> 6)); o += char(0x80 | (c & 0x3F)); }
        else if (c < 0x10000) { o += char(0xE0 | (c >> 12)); o += char(0x80 | ((c >> 6) & 0x3F)); o += char(0x80 | (c & 0x3F)); }
        else { o += char(0xF0 | (c >> 18)); o += char(0x80 | ((c >> 12) & 0x3F)); o += char(0x80 | ((c >> 6) & 0x3F)); o += char(0x80 | (c & 0x3F)); }
    }
    o += '"';
}

std::string Num(uint64_t v) { return std::to_string(v); }
std::string SNum(int64_t v) { return std::to_string(v); }

std::wstring ProgramText(const std::vector<uint8_t>& program) {
    std::wstring s;
    for (size_t i = 0; i + 1 < program.size(); i += 2) {
        wchar_t c = wchar_t(program[i] | (program[i + 1] << 8));
        if (!c) break;
        s += c;
    }
    return s;
}

}  // namespace

int KindOf(uint32_t pid) {
    for (int k = 0; k < 3; ++k)
        if (kPid[k] == pid) return k;
    return -1;
}

const wchar_t* KindName(int kind) {
    static const wchar_t* names[] = {L"mouse", L"keyboard", L"headset"};
    return kind >= 0 && kind < 3 ? names[kind] : L"unknown";
}

const std::vector<uint32_t>& KeyboardKeys() {
    static const std::vector<uint32_t> keys = BuildKeyboardKeys();
    return keys;
}

bool IsKeyboardKey(uint32_t code) {
    const auto& k = KeyboardKeys();
    return std::find(k.begin(), k.end(), code) != k.end();
}

GUID NewId() {
    GUID g{};
    do { CoCreateGuid(&g); } while (NullGuid(g));
    return g;
}

std::wstring DevicePath(const Device& d) {
    wchar_t buf[160];
    swprintf(buf, 160, L"\\\\?\\HID#VID_%04X&PID_%04X#7&vtsim&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
             d.vendor & 0xFFFF, d.pid & 0xFFFF);
    return buf;
}

VtActionRecord DefaultRecord(int kind, uint32_t index) {
    VtActionRecord r{};
    r.Flag = 1;
    r.Index = index;
    if (kind == Mouse) {
        // Left, right, universal scroll, backward, forward, -, -, scroll up, scroll down.
        static const uint32_t functions[10] = {0, 1, 2, 3, 5, 4, 0, 0, 6, 7};
        r.Type = 1;
        uint32_t fn = index < 10 ? functions[index] : 0;
        memcpy(r.Payload, &fn, 4);
    } else {
        // Every key remaps to itself.
        r.Type = 5;
        uint16_t code = uint16_t(index & 0xFFFF);
        memcpy(r.Payload, &code, 2);
    }
    return r;
}

bool IsValidIndex(const Device& d, uint32_t index) {
    if (d.kind == Mouse) return index >= 1 && index <= kMouseButtonBits && (d.buttonMask >> (index - 1) & 1);
    if (d.kind == Keyboard) return IsKeyboardKey(index);
    return false;
}

Profile FactoryProfile(int kind, const GUID& id, const std::wstring& name) {
    Profile p;
    p.id = id;
    p.name = name;
    for (uint32_t zid : ZoneIds(kind)) {
        Zone z;
        z.id = zid;
        p.zones.push_back(z);
    }
    if (kind == Mouse) {
        for (uint32_t v : {800u, 1200u, 1800u, 4000u, 5600u}) p.stages.push_back({v, v});
        for (uint32_t i = 1; i <= kMouseButtonBits; ++i) p.records[i] = DefaultRecord(kind, i);
    } else if (kind == Keyboard) {
        for (uint32_t code : KeyboardKeys()) p.records[code] = DefaultRecord(kind, code);
    }
    if (kind != Mouse) p.stages.clear();
    return p;
}

Device FactoryDevice(int kind) {
    Device d;
    d.kind = kind;
    d.pid = kPid[kind];
    d.driver = {1, 0};
    d.firmware = {1, kind == Mouse ? 2u : kind == Keyboard ? 3u : 1u};
    d.profiles.push_back(FactoryProfile(kind, NewId(), L"Profile 1"));
    d.active = d.profiles[0].id;
    return d;
}

const std::vector<DeviceValueRule>& DeviceValueRules() {
    static const std::vector<DeviceValueRule> rules = {
        {L"buttonmask", Mouse, &Device::buttonMask, [](uint32_t v) { return v != 0 && !(v >> kMouseButtonBits); }},
        {L"buttoncount", Mouse, &Device::buttonCount, [](uint32_t v) { return v <= kMouseButtonBits; }},
        {L"rate", Mouse, &Device::rate, [](uint32_t v) { return v == 1 || v == 2 || v == 8; }},
        {L"acceleration", Mouse, &Device::accel, [](uint32_t v) { return v >= 1 && v <= 10; }},
    };
    return rules;
}

const DeviceValueRule* FindDeviceValueRule(int kind, const std::wstring& name) {
    for (const DeviceValueRule& r : DeviceValueRules())
        if (r.kind == kind && name == r.name) return &r;
    return nullptr;
}

bool ValidProfile(const Device& d, const Profile& p) {
    if (NullGuid(p.id) || p.name.size() > kMaxNameChars) return false;
    if (!p.program.empty() && p.program.size() != 256) return false;
    std::vector<uint32_t> ids;
    for (const Zone& z : p.zones) ids.push_back(z.id);
    if (ids != ZoneIds(d.kind)) return false;
    if (d.kind == Mouse) {
        if (p.maxStages < 1 || p.maxStages > 16 || p.dpiMin < 1 || p.dpiMin > p.dpiMax || p.dpiMax > 100000 ||
            p.dpiStep < 1)
            return false;
        if (p.stages.empty() || p.stages.size() > p.maxStages) return false;
        auto inRange = [&](uint32_t v) { return v >= p.dpiMin && v <= p.dpiMax; };
        for (const VtDpiStage& s : p.stages)
            if (!inRange(s.X) || !inRange(s.Y)) return false;
        if (p.activeStage < 1 || p.activeStage > p.stages.size() || !inRange(p.dpiX) || !inRange(p.dpiY))
            return false;
        if (p.records.size() != kMouseButtonBits) return false;
        for (const auto& [k, r] : p.records)
            if (k < 1 || k > kMouseButtonBits) return false;
    } else {
        if (!p.stages.empty()) return false;
        if (d.kind == Keyboard) {
            if (p.records.size() != KeyboardKeys().size()) return false;
            for (const auto& [k, r] : p.records)
                if (!IsKeyboardKey(k)) return false;
        } else if (!p.records.empty()) {
            return false;
        }
    }
    for (const auto& [k, r] : p.records)
        if (r.Index != k || r.Type > 9 || r.Flag > 1) return false;
    for (int16_t g : p.gains)
        if (g < kGainMin || g > kGainMax) return false;
    return true;
}

std::vector<uint8_t> SaveDevice(const Device& d) {
    Writer w;
    w.U32(d.pid); w.U32(d.vendor);
    w.U32(d.driver.Major); w.U32(d.driver.Minor); w.U32(d.firmware.Major); w.U32(d.firmware.Minor);
    w.U32(d.layout); w.U32(d.buttonMask); w.U32(d.buttonCount); w.U32(d.rate); w.U32(d.accel);
    w.U8(d.accelOn); w.U8(d.sync);
    w.U32(uint32_t(d.profiles.size()));
    for (const Profile& p : d.profiles) WriteProfile(w, p);
    w.Guid(d.active);
    w.U32(uint32_t(d.macros.size()));
    for (const Macro& m : d.macros) WriteMacro(w, m);
    w.U32(uint32_t(d.launch.size()));
    for (const LaunchEntry& e : d.launch) { w.Guid(e.id); w.Str(e.path); }
    w.U32(uint32_t(d.collection.size()));
    for (const CollectionEntry& e : d.collection) { w.U32(e.number); w.U32(e.color); }
    for (const auto& v : d.keyValues)
        for (uint32_t x : v) w.U32(x);
    return Frame(kStateMagic, kStateVersion, w.Bytes());
}

bool LoadDevice(const std::vector<uint8_t>& file, int kind, Device* out, std::vector<std::wstring>* replaced) {
    const uint8_t* payload;
    size_t size;
    if (!Unframe(file, kStateMagic, kStateVersion, &payload, &size)) return false;
    Reader r(payload, size);
    Device d = FactoryDevice(kind);
    if (r.U32() != d.pid) return false;
    d.vendor = r.U32();
    d.driver.Major = r.U32(); d.driver.Minor = r.U32(); d.firmware.Major = r.U32(); d.firmware.Minor = r.U32();
    d.layout = r.U32(); d.buttonMask = r.U32(); d.buttonCount = r.U32(); d.rate = r.U32(); d.accel = r.U32();
    d.accelOn = r.U8() != 0; d.sync = r.U8() != 0;
    uint32_t n = r.Count(kMaxProfiles, 16);
    if (n == 0) return false;
    d.profiles.assign(n, Profile{});
    std::set<std::string> ids;
    for (Profile& p : d.profiles) {
        if (!ReadProfile(r, &p) || !ValidProfile(d, p) || !ids.insert(GuidText(p.id)).second) return false;
    }
    d.active = r.Guid();
    if (!ids.count(GuidText(d.active))) return false;
    n = r.Count(kMaxMacros, 24);
    d.macros.assign(n, Macro{});
    for (Macro& m : d.macros)
        if (!ReadMacro(r, &m) || NullGuid(m.id)) return false;
    n = r.Count(kMaxLaunchEntries, 20);
    d.launch.assign(n, LaunchEntry{});
    for (LaunchEntry& e : d.launch) {
        e.id = r.Guid();
        e.path = r.Str(kMaxPathChars);
        if (NullGuid(e.id)) return false;
    }
    n = r.Count(kMaxCollection, 8);
    d.collection.assign(n, CollectionEntry{});
    std::set<uint32_t> numbers;
    for (CollectionEntry& e : d.collection) {
        e.key = d.nextEntryKey++;
        e.number = r.U32();
        e.color = r.U32();
        if (!numbers.insert(e.number).second) return false;
    }
    for (auto& v : d.keyValues)
        for (uint32_t& x : v) x = r.U32();
    if (!r.Ok() || !r.AtEnd()) return false;
    const Device factory = FactoryDevice(kind);
    for (const DeviceValueRule& rule : DeviceValueRules()) {
        uint32_t& v = d.*rule.field;
        if (rule.valid(v)) continue;
        if (replaced)
            replaced->push_back(std::wstring(rule.name) + L" " + std::to_wstring(v) + L" is out of range; the default " +
                                std::to_wstring(factory.*rule.field) + L" is used");
        v = factory.*rule.field;
    }
    *out = std::move(d);
    return true;
}

std::vector<uint8_t> ExportProfileFile(int kind, const Profile& p) {
    Writer w;
    w.U32(kPid[kind]);
    WriteProfile(w, p);
    return Frame(kProfileMagic, kProfileVersion, w.Bytes());
}

bool ImportProfileFile(const std::vector<uint8_t>& file, const Device& d, Profile* out) {
    const uint8_t* payload;
    size_t size;
    if (!Unframe(file, kProfileMagic, kProfileVersion, &payload, &size)) return false;
    Reader r(payload, size);
    if (r.U32() != d.pid) return false;
    Profile p;
    if (!ReadProfile(r, &p) || !r.AtEnd()) return false;
    // The dimensions of the DPI range belong to the device, not to the file.
    if (d.kind == Mouse) {
        Profile f = FactoryProfile(d.kind, p.id, p.name);
        if (p.maxStages != f.maxStages || p.dpiMin != f.dpiMin || p.dpiMax != f.dpiMax || p.dpiStep != f.dpiStep)
            return false;
    }
    if (!ValidProfile(d, p)) return false;
    *out = std::move(p);
    return true;
}

std::vector<uint8_t> ExportMacroFile(const Macro& m) {
    Writer w;
    WriteMacro(w, m);
    return Frame(kMacroMagic, kMacroVersion, w.Bytes());
}

bool ImportMacroFile(const std::vector<uint8_t>& file, Macro* out) {
    const uint8_t* payload;
    size_t size;
    if (!Unframe(file, kMacroMagic, kMacroVersion, &payload, &size)) return false;
    Reader r(payload, size);
    Macro m;
    if (!ReadMacro(r, &m) || !r.AtEnd()) return false;
    *out = std::move(m);
    return true;
}

std::vector<uint8_t> MacroBuffer(const Macro& m) {
    Writer w;
    w.U32(0);
    w.U32(uint32_t(m.events.size()));
    for (const MacroEvent& e : m.events) { w.I32(e.type); w.U32(e.data); }
    w.U32(0); w.U32(0);
    return std::move(w.Bytes());
}

bool ParseMacroBuffer(const uint8_t* buf, size_t size, std::vector<MacroEvent>* out) {
    if (!buf || size < 16) return false;
    Reader r(buf, size);
    r.U32();
    uint32_t n = r.U32();
    // Callers pass 16 + 8 * count bytes; accept no less, and no more than one record of slack extra.
    if (n > kMaxMacroEvents || size < 16 + size_t(n) * 8) return false;
    std::vector<MacroEvent> events(n);
    for (MacroEvent& e : events) {
        e.type = r.I32();
        e.data = r.U32();
        if (!ValidEvent(e)) return false;
    }
    if (!r.Ok()) return false;
    *out = std::move(events);
    return true;
}

std::string GuidText(const GUID& g) {
    char b[40];
    snprintf(b, sizeof b, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", (unsigned long)g.Data1, g.Data2,
             g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return b;
}

std::string DumpJson(const std::array<Device, 3>& devices) {
    std::string o = "{\"devices\":[";
    for (const Device& d : devices) {
        if (d.kind != Mouse) o += ',';
        o += "{\"kind\":";
        JsonString(o, KindName(d.kind));
        o += ",\"productId\":" + Num(d.pid) + ",\"vendorId\":" + Num(d.vendor);
        o += ",\"present\":" + std::string(d.present ? "true" : "false");
        o += ",\"driver\":\"" + Num(d.driver.Major) + "." + Num(d.driver.Minor) + "\"";
        o += ",\"firmware\":\"" + Num(d.firmware.Major) + "." + Num(d.firmware.Minor) + "\"";
        o += ",\"activeProfile\":\"" + GuidText(d.active) + "\"";
        o += ",\"mode\":" + Num(d.mode) + ",\"sync\":" + (d.sync ? "true" : "false");
        if (d.kind == Mouse) {
            o += ",\"buttonMask\":" + Num(d.buttonMask) + ",\"buttonCount\":" + Num(d.buttonCount);
            o += ",\"rate\":" + Num(d.rate) + ",\"acceleration\":" + Num(d.accel);
            o += ",\"accelerationEnabled\":" + std::string(d.accelOn ? "true" : "false");
        }
        if (d.kind == Keyboard) o += ",\"layout\":" + Num(d.layout);
        o += ",\"profiles\":[";
        for (size_t i = 0; i < d.profiles.size(); ++i) {
            const Profile& p = d.profiles[i];
            if (i) o += ',';
            o += "{\"id\":\"" + GuidText(p.id) + "\",\"name\":";
            JsonString(o, p.name);
            o += ",\"programSet\":" + std::string(p.program.empty() ? "false" : "true") + ",\"program\":";
            JsonString(o, ProgramText(p.program));
            o += ",\"flags\":" + Num(p.flags) + ",\"zones\":[";
            for (size_t z = 0; z < p.zones.size(); ++z) {
                const Zone& zn = p.zones[z];
                if (z) o += ',';
                o += "{\"id\":" + Num(zn.id) + ",\"on\":" + (zn.on ? "true" : "false") + ",\"color\":" +
                     Num(zn.color) + ",\"effect\":[" + SNum(zn.mode) + "," + SNum(zn.p1) + "," + SNum(zn.p2) +
                     "],\"brightness\":" + SNum(zn.brightness) + "}";
            }
            o += "]";
            if (d.kind == Mouse) {
                o += ",\"dpi\":{\"range\":[" + Num(p.dpiMin) + "," + Num(p.dpiMax) + "," + Num(p.dpiStep) +
                     "],\"maxStages\":" + Num(p.maxStages) + ",\"stages\":[";
                for (size_t s = 0; s < p.stages.size(); ++s)
                    o += (s ? ",[" : "[") + Num(p.stages[s].X) + "," + Num(p.stages[s].Y) + "]";
                o += "],\"activeStage\":" + Num(p.activeStage) + ",\"current\":[" + Num(p.dpiX) + "," +
                     Num(p.dpiY) + "]}";
            }
            if (!p.records.empty()) {
                o += ",\"assignments\":[";
                bool first = true;
                for (const auto& [k, r] : p.records) {
                    if (d.kind == Mouse && !IsValidIndex(d, k)) continue;
                    if (!first) o += ',';
                    first = false;
                    char hex[41];
                    for (int b = 0; b < 20; ++b) snprintf(hex + 2 * b, 3, "%02x", r.Payload[b]);
                    o += "{\"index\":" + Num(r.Index) + ",\"flag\":" + Num(r.Flag) + ",\"type\":" + Num(r.Type) +
                         ",\"payload\":\"" + hex + "\"}";
                }
                o += "]";
            }
            if (d.kind == Headset) {
                o += ",\"equalizer\":{\"on\":" + std::string(p.eqOn ? "true" : "false") + ",\"gains\":[";
                for (size_t g = 0; g < p.gains.size(); ++g) o += (g ? "," : "") + SNum(p.gains[g]);
                o += "]}";
            }
            o += "}";
        }
        o += "],\"macros\":[";
        for (size_t i = 0; i < d.macros.size(); ++i) {
            const Macro& m = d.macros[i];
            if (i) o += ',';
            o += "{\"id\":\"" + GuidText(m.id) + "\",\"name\":";
            JsonString(o, m.name);
            o += ",\"events\":[";
            for (size_t e = 0; e < m.events.size(); ++e)
                o += (e ? ",[" : "[") + SNum(m.events[e].type) + "," + Num(m.events[e].data) + "]";
            o += "]}";
        }
        o += "],\"launchEntries\":[";
        for (size_t i = 0; i < d.launch.size(); ++i) {
            if (i) o += ',';
            o += "{\"id\":\"" + GuidText(d.launch[i].id) + "\",\"path\":";
            JsonString(o, d.launch[i].path);
            o += "}";
        }
        o += "],\"entries\":[";
        for (size_t i = 0; i < d.collection.size(); ++i)
            o += (i ? ",{" : "{") + std::string("\"number\":") + Num(d.collection[i].number) + ",\"color\":" +
                 Num(d.collection[i].color) + "}";
        o += "],\"keyEntries\":[";
        for (size_t i = 0; i < d.keyValues.size(); ++i)
            o += (i ? ",[" : "[") + Num(d.keyValues[i][0]) + "," + Num(d.keyValues[i][1]) + "," +
                 Num(d.keyValues[i][2]) + "]";
        o += "]}";
    }
    o += "]}";
    return o;
}

}  // namespace vt::engine
