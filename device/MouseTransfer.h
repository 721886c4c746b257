#pragma once
// The mouse's setting groups between the model and the engine (DPI, buttons, lighting zones,
// polling rate, acceleration, the supported buttons and the rate list) and the two jobs behind
// TransferProfiles: the write job and the read job.
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "device/GroupSnapshot.h"
#include "device/ListTransfer.h"
#include "profile/ConfigInterfaces.h"
#include "profile/MouseConfig.h"
#include <cstdint>
#include <memory>
#include <vector>

namespace vt::device {

// Polling rate: model index 0, 1, 2 <-> engine code 8, 2, 1.
ULONG RateCodeForIndex(int32_t index);  // 0 for an index without a code
int32_t RateIndexForCode(ULONG code);   // -1 for a code without an index

bool ReadDpiLimits(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile);
bool WriteDpi(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile);
// `held` (when given) gets what the engine holds, in the snapshot's form, once every read succeeded.
bool ReadDpi(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile, GroupSnapshot::Bytes* held = nullptr);
// The supported buttons (single bits, ascending), at most as many as the engine counts.
bool ReadButtonMask(IVtProfile* engine, std::vector<uint32_t>& supported);
// The engine objects the profile's button assignments refer to, made where the model has none yet
// (profiles, macros and programs by name become ids); false when one is missing or cannot be made.
bool ConvertMouseReferences(IMouseConfig* config, IMouseProfile* profile, const std::vector<uint32_t>& supported,
                            ReferenceContext& references);
// The button records as they stand (sent only when `snapshot` does not hold them for `owner`).
bool WriteMouseAssignmentRecords(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile,
                                 const std::vector<uint32_t>& supported, GroupSnapshot* snapshot = nullptr,
                                 const GUID& owner = GUID{});
// Both: the references first, then the records (sent also when a referent could not be made, as
// they stand; the answer is then false).
bool WriteMouseAssignments(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile,
                           const std::vector<uint32_t>& supported, ReferenceContext& references,
                           GroupSnapshot* snapshot = nullptr, const GUID& owner = GUID{});
bool ReadButtonAssignments(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile, size_t count,
                           GroupSnapshot::Bytes* held = nullptr);
bool ReadMouseRateList(const EngineConnection& connection, IMouseConfig* config);
bool WriteRate(const EngineConnection& connection, IMouseConfig* config);
bool ReadRate(const EngineConnection& connection, IMouseConfig* config, GroupSnapshot::Bytes* held = nullptr);
bool WriteAcceleration(const EngineConnection& connection, IMouseConfig* config);
bool ReadAcceleration(const EngineConnection& connection, IMouseConfig* config, GroupSnapshot::Bytes* held = nullptr);

// The values each group's write sends, in the snapshot's form.
GroupSnapshot::Bytes DpiValues(IMouseConfig* config, IMouseProfile* profile);
GroupSnapshot::Bytes RateValues(IMouseConfig* config);
GroupSnapshot::Bytes AccelerationValues(IMouseConfig* config);

struct MouseJobContext {
    const DeviceDescription* description = nullptr;
    uint32_t mask = 0;
    std::vector<uint32_t> supported;  // supported button bits read on open
    // What the engine holds of each group (null: every group is written and nothing recorded).
    // The write job skips the groups it holds already and records what it wrote; the read job
    // records what it read.
    GroupSnapshot* snapshot = nullptr;
    KeyEntryJob keyEntries;  // the key entries the model holds from the engine
    // What the write job reads its model from (held until its last profile write ended).
    std::shared_ptr<void> keep;
};

// What a read of one profile into `read` (a copy of `profile` in a configuration of its own) found,
// brought into `profile`: its program link, DPI, button assignments and lighting.
void MergeReadMouseProfile(IMouseConfig* from, IMouseProfile* read, IMouseConfig* to, IMouseProfile* profile,
                           const std::vector<uint32_t>& supported);

// Write job: the profile set, each profile's groups, the device-wide groups, the active profile.
// Every group runs even after another failed; the answer is false when any failed.
bool WriteMouseProfilesJob(EngineConnection& connection, IMouseConfig* config, const MouseJobContext& context);
// Read job: engine profiles matched to model profiles by id, the engine's active one made current.
bool ReadMouseProfilesJob(EngineConnection& connection, IMouseConfig* config, const MouseJobContext& context);

// The write job's own copy of the configuration, with the live objects each copied one came from,
// so what the job learns (new engine ids, converted assignments) goes back to the live model on
// the user-interface thread.
struct MouseWriteCopy {
    std::unique_ptr<CDmConfig_Mouse> config;
    std::vector<IMouseProfile*> liveProfiles;
    std::vector<CMacro*> liveMacros;
    std::vector<CVtApp*> liveApps;
    std::vector<std::vector<std::pair<int32_t, AssignmentRecord>>> buttonsBefore;  // per profile
};
std::unique_ptr<MouseWriteCopy> CopyMouseConfig(IMouseConfig* live, const std::vector<uint32_t>& supported);
// Brings the copy's new ids and converted button records into the live model. An object the user
// deleted meanwhile is skipped; a record the user changed meanwhile keeps the user's value.
void MergeMouseWriteBack(IMouseConfig* live, const MouseWriteCopy& copy, const std::vector<uint32_t>& supported);

} // namespace vt::device
