#pragma once
// Small records that travel between the profile model, the pages and the device layer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <guiddef.h>

// One key or button assignment: an action kind and its payload.
//   kind -1 = no assignment, 0..63 = action id of the action vocabulary, 64 = key slot of a
//   configuration's key map. The payload layout depends on the kind (see the builders below).
struct AssignmentRecord {
    int32_t kind;
    uint8_t payload[528];
};
static_assert(sizeof(AssignmentRecord) == 532, "the device layer relies on the 532-byte record");
static_assert(offsetof(AssignmentRecord, payload) == 4);

namespace vt::profile {

// Action kinds the model itself names.
enum : int32_t {
    kKindNone = -1,
    kKindDefaultKey = 0,
    kKindSingleKey = 5,
    kKindMacro = 6,
    kKindMacroByName = 7,
    kKindProfile = 21,
    kKindProfileByName = 22,
    kKindLaunchProgram = 62,
    kKindLaunchProgramAlias = 63,
    kKindKeySlot = 64,
};

// Payload offsets of the macro kinds (6 and 7): the engine's play mode and its flag byte.
constexpr size_t kMacroModeOffset = 520;
constexpr size_t kMacroFlagOffset = 524;
// Name payloads (kinds 7 and 22): UTF-16 text, this many code units including the terminator.
constexpr size_t kNamePayloadUnits = 260;

} // namespace vt::profile

// Kind -1 with an all-zero payload: what an absent key or button answers.
inline AssignmentRecord MakeEmptyAssignment() {
    AssignmentRecord r{};
    r.kind = vt::profile::kKindNone;
    return r;
}
// Kinds 6, 21 and 62 carry the 16-byte id at payload 0 (kind 6 also 1 at 520 and 0 at 524);
// every other kind gets a zero payload and ignores the id.
AssignmentRecord MakeActionRecord(int32_t kind, const GUID& id);
// A by-name record (kind 7 or 22): the name as UTF-16, cut to 259 units plus the terminator.
// Kind 7 also carries 1 at 520 and 0 at 524 as kind 6 does.
AssignmentRecord MakeNameActionRecord(int32_t kind, const wchar_t* name);
bool AssignmentsEqual(const AssignmentRecord& a, const AssignmentRecord& b);

// 16-byte ids compared as four 32-bit words. An all-zero id marks an object the device engine
// does not know.
inline bool GuidsEqual(const GUID& a, const GUID& b) {
    uint32_t wa[4], wb[4];
    std::memcpy(wa, &a, 16);
    std::memcpy(wb, &b, 16);
    return wa[0] == wb[0] && wa[1] == wb[1] && wa[2] == wb[2] && wa[3] == wb[3];
}
inline constexpr GUID kNullGuid{};
inline bool IsNullGuid(const GUID& id) { return GuidsEqual(id, kNullGuid); }

// One entry of a list or drop-down control.
struct EntryRecord {
    std::wstring name;
    std::wstring text;
    int32_t value = 0;
    int32_t extra = 0;
};
// A null name or text gives an empty string; extra is 0.
inline EntryRecord MakeEntryRecord(const wchar_t* name, int32_t value, const wchar_t* text) {
    EntryRecord e;
    if (name) e.name = name;
    if (text) e.text = text;
    e.value = value;
    return e;
}
inline void CopyEntryRecord(EntryRecord& to, const EntryRecord& from) { to = from; }

// The answer of the single-key entry popup; an empty text means cancelled.
struct SingleKeyResult {
    std::wstring text;
    uint16_t scan = 0;
    uint16_t vk = 0;
    uint8_t extended = 0;
};
