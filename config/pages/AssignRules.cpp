#include "config/pages/AssignRules.h"
#include <cstring>
#include "skin/KeyEvents.h"

namespace vt::config {

using namespace vt::profile;

GUID PayloadGuid(const AssignmentRecord& r) {
    GUID g{};
    std::memcpy(&g, r.payload, sizeof(g));
    return g;
}

std::wstring PayloadText(const AssignmentRecord& r) {
    std::wstring s;
    for (size_t i = 0; i < kNamePayloadUnits; ++i) {
        wchar_t c;
        std::memcpy(&c, r.payload + i * 2, 2);
        if (!c) break;
        s.push_back(c);
    }
    return s;
}

AssignmentRecord SingleKeyRecord(uint16_t scan, uint16_t vk, bool extended) {
    AssignmentRecord r{};
    r.kind = kKindSingleKey;
    std::memcpy(r.payload, &scan, 2);
    std::memcpy(r.payload + 2, &vk, 2);
    r.payload[4] = extended ? 1 : 0;
    return r;
}

std::wstring SingleKeyName(const AssignmentRecord& r) {
    if (r.kind != kKindSingleKey) return {};
    uint16_t scan = 0, vk = 0;
    std::memcpy(&scan, r.payload, 2);
    std::memcpy(&vk, r.payload + 2, 2);
    return scan ? vt::skin::GetKeyDisplayName(vk, scan, r.payload[4] != 0) : std::wstring();
}

AssignmentRecord MacroRecord(const CMacro& macro, int32_t mode, uint8_t repeat) {
    AssignmentRecord r = IsNullGuid(macro.id) ? MakeNameActionRecord(kKindMacroByName, macro.name)
                                              : MakeActionRecord(kKindMacro, macro.id);
    std::memcpy(r.payload + kMacroModeOffset, &mode, 4);
    const int32_t count = repeat;
    std::memcpy(r.payload + kMacroFlagOffset, &count, 4);
    return r;
}

int32_t MacroMode(const AssignmentRecord& r) {
    int32_t mode = 0;
    std::memcpy(&mode, r.payload + kMacroModeOffset, 4);
    return mode;
}

template <class Profile>
AssignmentRecord ProfileRecord(Profile& profile) {
    GUID id{};
    profile.GetId(&id);
    return IsNullGuid(id) ? MakeNameActionRecord(kKindProfileByName, profile.GetName())
                          : MakeActionRecord(kKindProfile, id);
}

template <class Config>
std::vector<std::wstring> MacroNames(Config* config) {
    std::vector<std::wstring> names;
    if (!config) return names;
    for (int i = 0; i < config->GetMacroCount(); ++i)
        if (CMacro* m = config->GetMacroAt(uint32_t(i)); m && m->name[0]) names.push_back(m->name);
    return names;
}

template <class Config>
std::vector<std::wstring> OtherProfileNames(Config* config) {
    std::vector<std::wstring> names;
    if (!config) return names;
    auto* current = config->GetCurrentProfile();
    for (int i = 0; i < config->GetProfileCount(); ++i) {
        auto* p = config->GetProfileAt(uint32_t(i));
        if (p && p != current && p->GetName()) names.push_back(p->GetName());
    }
    return names;
}

template <class Config>
std::wstring AssignedName(Config* config, const AssignmentRecord& r) {
    if (!config) return {};
    switch (r.kind) {
    case kKindMacro:
        if (CMacro* m = config->FindMacroByGuid(PayloadGuid(r))) return m->name;
        break;
    case kKindMacroByName:
        if (CMacro* m = config->FindMacro(PayloadText(r).c_str())) return m->name;
        break;
    case kKindProfile:
        if (auto* p = config->FindProfileById(PayloadGuid(r)); p && p->GetName()) return p->GetName();
        break;
    case kKindProfileByName:
        if (auto* p = config->FindProfileByName(PayloadText(r).c_str()); p && p->GetName()) return p->GetName();
        break;
    default:
        break;
    }
    return {};
}

template AssignmentRecord ProfileRecord(IMouseProfile&);
template AssignmentRecord ProfileRecord(IKeyboardProfile&);
template std::vector<std::wstring> MacroNames(IMouseConfig*);
template std::vector<std::wstring> MacroNames(IKeyboardConfig*);
template std::vector<std::wstring> OtherProfileNames(IMouseConfig*);
template std::vector<std::wstring> OtherProfileNames(IKeyboardConfig*);
template std::wstring AssignedName(IMouseConfig*, const AssignmentRecord&);
template std::wstring AssignedName(IKeyboardConfig*, const AssignmentRecord&);

} // namespace vt::config
