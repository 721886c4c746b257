#pragma once
// What the mouse's button page and the keyboard's key page share about assignments, apart from
// any window: building the records of a single key, a macro and a profile, reading their payloads
// back, and the names a macro or profile choice offers and shows.
#include <string>
#include <vector>
#include "profile/ConfigInterfaces.h"
#include "profile/Records.h"

namespace vt::config {

// The 16-byte id at the start of a payload (kinds 6, 21, 62).
GUID PayloadGuid(const AssignmentRecord& r);
// The UTF-16 text at the start of a payload (kinds 7, 22, 63), up to its terminator.
std::wstring PayloadText(const AssignmentRecord& r);
// Kind 5: scan code, virtual key and the extended flag.
AssignmentRecord SingleKeyRecord(uint16_t scan, uint16_t vk, bool extended);
// The key name of a kind-5 record; empty for another kind or a scan code of 0.
std::wstring SingleKeyName(const AssignmentRecord& r);
// Kind 6 with the macro's id, or kind 7 with its name when the engine does not know it yet (null
// id); the play mode at 520 and the repeat count at 524.
AssignmentRecord MacroRecord(const CMacro& macro, int32_t mode, uint8_t repeat);
int32_t MacroMode(const AssignmentRecord& r);
// Kind 21 with the profile's id, or kind 22 with its name when its id is null.
template <class Profile>
AssignmentRecord ProfileRecord(Profile& profile);

// Every macro's name, in the configuration's order (macros without a name left out).
template <class Config>
std::vector<std::wstring> MacroNames(Config* config);
// Every profile's name but the current profile's.
template <class Config>
std::vector<std::wstring> OtherProfileNames(Config* config);
// The name of the macro or profile a record of kind 6, 7, 21 or 22 points at, looked up in the
// configuration; empty when it is not there (or for any other kind).
template <class Config>
std::wstring AssignedName(Config* config, const AssignmentRecord& r);

} // namespace vt::config
