#include "device/CodeTables.h"
#include <cstring>
#include <mutex>
#include <new>

namespace vt::device {

namespace {

EngineActionRecord MakeTemplate(uint32_t type, uint32_t value = 0, uint32_t second = 0) {
    EngineActionRecord r{};
    r.Flag = 1;
    r.Index = 0;
    r.Type = type;
    std::memcpy(r.Payload, &value, 4);
    std::memcpy(r.Payload + 4, &second, 4);
    return r;
}

// Offsets into the record's payload (record offset - 12).
constexpr size_t kAt12 = 0;
constexpr size_t kAt14 = 2;
constexpr size_t kAt16 = 4;
constexpr size_t kAt28 = 16;
constexpr size_t kAt29 = 17;

uint32_t Word(const uint8_t* p, size_t at) {
    uint32_t v;
    std::memcpy(&v, p + at, 4);
    return v;
}
void PutWord(uint8_t* p, size_t at, uint32_t v) { std::memcpy(p + at, &v, 4); }
int32_t PayloadInt(const AssignmentRecord& a, size_t at) {
    int32_t v;
    std::memcpy(&v, a.payload + at, 4);
    return v;
}

} // namespace

void DeviceCodeTables::Build() {
    if (m_built) return;
    // Button-bit and button-index maps over the same button ids.
    struct Button { int32_t id; uint32_t bit; uint32_t index; };
    static const Button kButtons[] = {
        {0, 0, 0}, {1, 0x1, 1}, {2, 0x2, 2}, {3, 0x4, 3}, {4, 0, 0}, {5, 0, 0},
        {6, 0x10, 5}, {7, 0x8, 4}, {8, 0x200, 10}, {9, 0x400, 11}, {10, 0x80, 8}, {11, 0x100, 9},
    };
    for (const Button& b : kButtons) {
        m_buttonBits[b.id] = b.bit;
        m_buttonIndexes[b.id] = b.index;
    }
    for (int32_t id = 12; id <= 23; ++id) {
        m_buttonBits[id] = 0x800u << (id - 12);
        m_buttonIndexes[id] = uint32_t(id);
    }
    m_buttonBits[25] = 0;
    m_buttonIndexes[25] = 0;
    m_buttonBits[26] = 0;
    m_buttonIndexes[26] = 0;

    // Action map: kind -> template.
    m_actions[1] = MakeTemplate(kRecFunction, 1);
    m_actions[2] = MakeTemplate(kRecFunction, 2);
    m_actions[3] = MakeTemplate(kRecFunction, 3);
    m_actions[4] = MakeTemplate(kRecFunction, 11);
    m_actions[5] = MakeTemplate(kRecKey);
    m_actions[6] = MakeTemplate(kRecMacro);
    m_actions[7] = MakeTemplate(kRecMacro);
    m_actions[8] = MakeTemplate(kRecFunction, 0);
    m_actions[9] = MakeTemplate(kRecAdvanced);
    m_actions[10] = MakeTemplate(kRecFunction, 8);
    m_actions[13] = MakeTemplate(kRecFunction, 9);
    m_actions[14] = MakeTemplate(kRecFunction, 10);
    for (int32_t k = 16; k <= 20; ++k) m_actions[k] = MakeTemplate(kRecDpiStage, 3, uint32_t(k - 16));
    m_actions[21] = MakeTemplate(kRecProfile, 3);
    m_actions[22] = MakeTemplate(kRecProfile, 3);
    m_actions[23] = MakeTemplate(kRecProfile, 2);
    m_actions[24] = MakeTemplate(kRecProfile, 1);
    for (int32_t k = 25; k <= 29; ++k) m_actions[k] = MakeTemplate(kRecProfile, 3);
    m_actions[32] = MakeTemplate(kRecFunction, 5);
    m_actions[33] = MakeTemplate(kRecFunction, 4);
    m_actions[40] = MakeTemplate(kRecFunction, 6);
    m_actions[41] = MakeTemplate(kRecFunction, 7);
    m_actions[62] = MakeTemplate(kRecLaunch);

    // Raw mouse-button flag -> macro mouse event.
    static const struct { uint16_t flag; int32_t button; uint8_t transition; } kFlags[] = {
        {0x001, 1, 255}, {0x002, 1, 1}, {0x004, 2, 255}, {0x008, 2, 1}, {0x010, 3, 255},
        {0x020, 3, 1}, {0x040, 7, 255}, {0x080, 7, 1}, {0x100, 6, 255}, {0x200, 6, 1},
    };
    for (const auto& f : kFlags) m_mouseFlags[f.flag] = MouseFlagEvent{f.button, f.transition};
    m_built = true;
}

uint32_t DeviceCodeTables::BitForButton(int32_t button) const {
    auto it = m_buttonBits.find(button);
    return it == m_buttonBits.end() ? 0 : it->second;
}

int32_t DeviceCodeTables::ButtonForBit(uint32_t bit) const {
    for (const auto& [id, b] : m_buttonBits)
        if (b == bit) return id;
    return 0;
}

uint32_t DeviceCodeTables::IndexForButton(int32_t button) const {
    auto it = m_buttonIndexes.find(button);
    return it == m_buttonIndexes.end() ? 0 : it->second;
}

int32_t DeviceCodeTables::ButtonForIndex(uint32_t index) const {
    for (const auto& [id, i] : m_buttonIndexes)
        if (i == index) return id;
    return 0;
}

EngineActionRecord DeviceCodeTables::TemplateForKind(int32_t kind) const {
    auto it = m_actions.find(kind);
    if (it == m_actions.end()) return EngineActionRecord{};
    return it->second;
}

int32_t DeviceCodeTables::KindForRecord(const EngineActionRecord& record) const {
    for (const auto& [kind, t] : m_actions) {
        if (t.Type != record.Type) continue;
        switch (record.Type) {
        case kRecFunction:
        case kRecProfile:
        case kRecDpiStage:
            if (Word(t.Payload, kAt12) != Word(record.Payload, kAt12)) continue;
            return kind;
        default:
            return kind;
        }
    }
    return -1;
}

bool DeviceCodeTables::MouseEventForFlag(uint16_t flag, MouseFlagEvent& out) const {
    auto it = m_mouseFlags.find(flag);
    if (it == m_mouseFlags.end()) return false;
    out = it->second;
    return true;
}

uint16_t DeviceCodeTables::FlagForMouseEvent(int32_t button, uint8_t transition) const {
    for (const auto& [flag, e] : m_mouseFlags)
        if (e.button == button && e.transition == transition) return flag;
    return 0;
}

std::vector<int32_t> DeviceCodeTables::ButtonIds() const {
    std::vector<int32_t> ids;
    for (const auto& kv : m_buttonBits) ids.push_back(kv.first);
    return ids;
}

std::vector<int32_t> DeviceCodeTables::Kinds() const {
    std::vector<int32_t> kinds;
    for (const auto& kv : m_actions) kinds.push_back(kv.first);
    return kinds;
}

DeviceCodeTables& CodeTables() {
    // Constructed in place once and never destroyed.
    alignas(DeviceCodeTables) static unsigned char storage[sizeof(DeviceCodeTables)];
    static DeviceCodeTables* tables = new (storage) DeviceCodeTables();
    return *tables;
}

void BuildCodeTables() {
    static std::once_flag once;
    std::call_once(once, [] { CodeTables().Build(); });
}

uint8_t PlaybackModeToEngine(int32_t mode) {
    switch (mode) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 4;
    case 4: return 3;
    default: return 0;
    }
}

int32_t PlaybackModeFromEngine(uint8_t mode) {
    switch (mode) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 3: return 4;
    default: return 0;
    }
}

EngineActionRecord ToEngineRecord(const EngineActionRecord& templ, const AssignmentRecord& a) {
    EngineActionRecord r = templ;
    switch (templ.Type) {
    case kRecObject:
    case kRecLaunch:
        std::memcpy(r.Payload + kAt12, a.payload, 16);
        break;
    case kRecProfile:
        if (Word(templ.Payload, kAt12) == 3) std::memcpy(r.Payload + kAt16, a.payload, 16);
        break;
    case kRecDpiStage:
        if (Word(templ.Payload, kAt12) == 3) {
            // The stage comes from the payload; a payload without one keeps the kind's own stage
            // (kinds 16..20 name stages 1..5), so a stage kind never falls back to stage 1.
            uint32_t stage = uint32_t(PayloadInt(a, 0));
            if (stage != 0) PutWord(r.Payload, kAt16, stage);
        }
        break;
    case kRecKey: {
        uint32_t word0 = uint32_t(PayloadInt(a, 0));
        uint16_t key = uint16_t(word0 & 0xFFFF);
        uint32_t vk = word0 >> 16;
        uint32_t modifiers = uint32_t(PayloadInt(a, 4)) & 0xFF;
        uint32_t flags = (modifiers & 0x0F) << kModifierShift;
        if (vk == kVkPause) flags |= kPauseMarker;
        std::memcpy(r.Payload + kAt12, &key, 2);
        std::memcpy(r.Payload + kAt14, &flags, 4);
        break;
    }
    case kRecMacro:
        std::memcpy(r.Payload + kAt12, a.payload, 16);
        r.Payload[kAt28] = PlaybackModeToEngine(PayloadInt(a, vt::profile::kMacroModeOffset));
        r.Payload[kAt29] = uint8_t(PayloadInt(a, vt::profile::kMacroFlagOffset) & 0xFF);
        break;
    default:
        break;
    }
    return r;
}

AssignmentRecord FromEngineRecord(const EngineActionRecord& r) {
    AssignmentRecord a{};
    a.kind = CodeTables().KindForRecord(r);
    if (a.kind < 0) return a;
    switch (r.Type) {
    case kRecObject:
    case kRecLaunch:
        std::memcpy(a.payload, r.Payload + kAt12, 16);
        break;
    case kRecProfile:
        if (Word(r.Payload, kAt12) == 3) std::memcpy(a.payload, r.Payload + kAt16, 16);
        break;
    case kRecDpiStage: {
        uint32_t stage = Word(r.Payload, kAt16);
        std::memcpy(a.payload, &stage, 4);
        // Each stage has its own kind (16..20); the first template matched only the type.
        if (stage <= 4) a.kind = int32_t(16 + stage);
        break;
    }
    case kRecKey: {
        uint16_t key;
        uint32_t flags;
        std::memcpy(&key, r.Payload + kAt12, 2);
        std::memcpy(&flags, r.Payload + kAt14, 4);
        uint32_t word0 = key;
        if (key == kPauseNumLockCode)
            word0 |= uint32_t((flags & kPauseMarker) ? kVkPause : kVkNumLock) << 16;
        uint32_t modifiers = (flags >> kModifierShift) & 0x0F;
        std::memcpy(a.payload, &word0, 4);
        std::memcpy(a.payload + 4, &modifiers, 4);
        break;
    }
    case kRecMacro: {
        std::memcpy(a.payload, r.Payload + kAt12, 16);
        int32_t mode = PlaybackModeFromEngine(r.Payload[kAt28]);
        int32_t repeat = r.Payload[kAt29];
        std::memcpy(a.payload + vt::profile::kMacroModeOffset, &mode, 4);
        std::memcpy(a.payload + vt::profile::kMacroFlagOffset, &repeat, 4);
        break;
    }
    default:
        break;
    }
    return a;
}

EngineActionRecord AssignmentToEngine(const AssignmentRecord& assignment, uint32_t index) {
    EngineActionRecord t = CodeTables().TemplateForKind(assignment.kind);
    t.Index = index;
    return ToEngineRecord(t, assignment);
}

} // namespace vt::device
