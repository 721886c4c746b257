#pragma once
// The keyboard's setting groups between the keyboard configuration and the engine (the key list,
// the assignment table, the program link) and the two jobs behind TransferProfiles.
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "device/GroupSnapshot.h"
#include "device/ListTransfer.h"
#include "profile/ConfigInterfaces.h"
#include "profile/KeyboardConfig.h"
#include <cstdint>
#include <memory>
#include <vector>

namespace vt::device {

// The model's key id of an engine key code: its low 16 bits are the key's code in the keyboard
// definition, its high 16 bits select the definition's flag (4: 2, 2: 1, else 0). 0 when the
// definition has no such key.
int32_t KeyIdForEngineCode(uint32_t code);
// The definition flag of an engine key code.
uint8_t FlagForEngineCode(uint32_t code);

// The engine key codes of the active profile's assignment table; false when the table has none.
bool ReadAssignmentKeyList(IVtProfile* engine, std::vector<uint32_t>& keys);

// One key's record as the engine takes it: a key without a record, and a key on its own code
// (kind 0), remap to themselves.
EngineActionRecord KeyRecordToEngine(const AssignmentRecord& record, uint32_t code);
// One engine record as the model keeps it: a remap of a key to itself without modifiers is the
// key's own code (kind 0).
AssignmentRecord KeyRecordFromEngine(const EngineActionRecord& record);

// The engine objects the profile's key assignments refer to, made where the model has none yet
// (profiles, macros and programs by name become ids); false when one is missing or cannot be made
// (that key keeps its record).
bool ConvertKeyboardReferences(IKeyboardConfig* config, IKeyboardProfile* profile, const std::vector<uint32_t>& keys,
                               ReferenceContext& references);
// One record per key of the list, as they stand (sent only when `snapshot` does not hold them for
// `owner` already).
bool WriteKeyboardAssignmentRecords(IVtProfile* engine, IKeyboardConfig* config, IKeyboardProfile* profile,
                                    const std::vector<uint32_t>& keys, GroupSnapshot* snapshot = nullptr,
                                    const GUID& owner = GUID{});
// Both: the referenced objects first, then the records; false when any key failed.
bool WriteKeyboardAssignments(IVtProfile* engine, IKeyboardConfig* config, IKeyboardProfile* profile,
                              const std::vector<uint32_t>& keys, ReferenceContext& references,
                              GroupSnapshot* snapshot = nullptr, const GUID& owner = GUID{});
// `held` (when given) gets the records read, in the snapshot's form.
bool ReadKeyboardAssignments(IVtProfile* engine, IKeyboardConfig* config, IKeyboardProfile* profile, size_t count,
                             GroupSnapshot::Bytes* held = nullptr);

// Program link of a keyboard profile (its second link flag is always written as 0); `name` as for
// WriteProfileLink. The read takes the id and name from `known` (a named list entry) when given.
bool WriteKeyboardLink(IVtProfile* engine, IKeyboardProfile* profile, const wchar_t* name);
// `held` (when given) gets what was read in the snapshot's form; empty when a part was not read.
bool ReadKeyboardLink(IVtProfile* engine, IKeyboardProfile* profile, const EngineProfileEntry* known = nullptr,
                      GroupSnapshot::Bytes* held = nullptr);
// The program link a write sends, in the snapshot's form.
GroupSnapshot::Bytes KeyboardLinkValues(IKeyboardProfile* profile);

// What a read of one profile into `read` (a copy of `profile` in a configuration of its own) found,
// brought into `profile`: its program link, key assignments and lighting.
void MergeReadKeyboardProfile(IKeyboardConfig* from, IKeyboardProfile* read, IKeyboardConfig* to, IKeyboardProfile* profile,
                              const std::vector<uint32_t>& keys);

struct KeyboardJobContext {
    const DeviceDescription* description = nullptr;
    uint32_t mask = 0;
    std::vector<uint32_t> keys;  // the key list read on open
    // What the engine holds of each group (as for the mouse's jobs).
    GroupSnapshot* snapshot = nullptr;
    KeyEntryJob keyEntries;  // the key entries the model holds from the engine
    // What the write job reads its model from (held until its last profile write ended).
    std::shared_ptr<void> keep;
};

// Write job: the profile set with each profile's groups, macros, launch entries, lighting and key
// entries, the active profile. Every group runs even after another failed; false when any failed.
bool WriteKeyboardProfilesJob(EngineConnection& connection, IKeyboardConfig* config, const KeyboardJobContext& context);
// Read job: engine profiles matched to model profiles by id, the engine's active one made current,
// then the device-wide lists.
bool ReadKeyboardProfilesJob(EngineConnection& connection, IKeyboardConfig* config, const KeyboardJobContext& context);

// The write job's own copy of the configuration, with the live objects each copied one came from,
// so that what the job learns (new ids, converted assignments) goes back to the live model on the
// user-interface thread.
struct KeyboardWriteCopy {
    std::unique_ptr<CDmConfig_Keyboard> config;
    std::vector<IKeyboardProfile*> liveProfiles;
    std::vector<CMacro*> liveMacros;
    std::vector<CVtApp*> liveApps;
    std::vector<std::vector<std::pair<int32_t, AssignmentRecord>>> keysBefore;  // per profile
};
std::unique_ptr<KeyboardWriteCopy> CopyKeyboardConfig(IKeyboardConfig* live, const std::vector<uint32_t>& keys);
// An object the user deleted meanwhile is skipped; a record the user changed meanwhile keeps the
// user's value.
void MergeKeyboardWriteBack(IKeyboardConfig* live, const KeyboardWriteCopy& copy);

} // namespace vt::device
