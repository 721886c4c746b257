#include "profile/Records.h"
#include <cstring>
#include <cwchar>

using namespace vt::profile;

AssignmentRecord MakeEmptyAssignment() {
    AssignmentRecord r{};
    r.kind = kKindNone;
    return r;
}

AssignmentRecord MakeActionRecord(int32_t kind, const GUID& id) {
    AssignmentRecord r{};
    r.kind = kind;
    if (kind == kKindMacro || kind == kKindProfile || kind == kKindLaunchProgram) {
        std::memcpy(r.payload, &id, sizeof(GUID));
        if (kind == kKindMacro) {
            int32_t mode = 1;
            std::memcpy(r.payload + kMacroModeOffset, &mode, sizeof(mode));
            r.payload[kMacroFlagOffset] = 0;
        }
    }
    return r;
}

AssignmentRecord MakeNameActionRecord(int32_t kind, const wchar_t* name) {
    AssignmentRecord r{};
    r.kind = kind;
    if (name) {
        size_t n = std::wcslen(name);
        if (n > kNamePayloadUnits - 1) n = kNamePayloadUnits - 1;
        std::memcpy(r.payload, name, n * sizeof(wchar_t));
    }
    if (kind == kKindMacroByName) {
        int32_t mode = 1;
        std::memcpy(r.payload + kMacroModeOffset, &mode, sizeof(mode));
    }
    return r;
}

bool AssignmentsEqual(const AssignmentRecord& a, const AssignmentRecord& b) {
    return std::memcmp(&a, &b, sizeof(AssignmentRecord)) == 0;
}

bool GuidsEqual(const GUID& a, const GUID& b) {
    uint32_t wa[4], wb[4];
    std::memcpy(wa, &a, 16);
    std::memcpy(wb, &b, 16);
    return wa[0] == wb[0] && wa[1] == wb[1] && wa[2] == wb[2] && wa[3] == wb[3];
}

bool IsNullGuid(const GUID& id) { return GuidsEqual(id, kNullGuid); }

EntryRecord MakeEntryRecord(const wchar_t* name, int32_t value, const wchar_t* text) {
    EntryRecord e;
    if (name) e.name = name;
    if (text) e.text = text;
    e.value = value;
    e.extra = 0;
    return e;
}

void CopyEntryRecord(EntryRecord& to, const EntryRecord& from) { to = from; }
