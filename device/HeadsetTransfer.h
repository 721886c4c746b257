#pragma once
// The headset's setting groups that live in the engine (each profile's equaliser and lighting
// zones, the lighting entries and key entries) and the engine side of the two jobs behind Apply.
// The Windows levels are the device object's (they go through its volume wrapper).
#include "device/AudioDevice.h"
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "device/ListTransfer.h"
#include "profile/ConfigInterfaces.h"
#include <cstdint>

namespace vt::device {

struct HeadsetJobContext {
    const DeviceDescription* description = nullptr;
    uint32_t mask = 0;  // the Apply group mask (kHeadset...)
    KeyEntryJob keyEntries;  // the key entries the model holds from the engine
    // What the engine holds of each group, as for the mouse's jobs (null: every group is written
    // and nothing recorded). The equaliser is not recorded: its bands are also written live.
    GroupSnapshot* snapshot = nullptr;
};

// Write job: the profile set (the model wins), each profile's equaliser switch and selected bands
// and its lighting zones, then the lighting and key entries. Every profile and group is tried
// after another failed; false when any failed.
bool WriteHeadsetProfilesJob(EngineConnection& connection, IAudioConfig* config, const HeadsetJobContext& context);
// Read job: engine profiles matched to model profiles by id, the engine's active one made current
// (its equaliser switch becomes the configuration's own), then the lighting and key entries.
bool ReadHeadsetProfilesJob(EngineConnection& connection, IAudioConfig* config, const HeadsetJobContext& context);

} // namespace vt::device
