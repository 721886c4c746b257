#include "profile/Records.h"
#include <cstring>
#include <cwchar>

using namespace vt::profile;

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
