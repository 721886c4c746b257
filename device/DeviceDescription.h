#pragma once
// Per-kind static description of a device: the USB product id the engine reports for it and the
// capability ids that decide which setting groups its operations transfer.
#include <cstdint>

namespace vt::device {

// Capability ids.
enum : int32_t {
    kCapProfiles = 1,        // engine profiles created, named, deleted; the active profile
    kCapButtons = 2,         // mouse button assignments
    kCapAssignTable = 3,     // keyboard assignment table
    kCapMacros = 4,          // macro store
    kCapLighting = 5,        // lighting zones
    kCapVersions = 6,        // firmware and driver texts, read on open
    kCapProgramLink = 7,     // program link properties of a profile
    kCapLaunchEntries = 8,   // program-launch entries
    kCapEntries = 9,         // lighting entries and key entries
    kCapDpi = 10,            // DPI
    kCapRate = 11,           // polling-rate list
    kCapAcceleration = 12,   // acceleration
    kCapEqualizer = 13,      // headset equaliser
};

// Group-mask bits of a transfer.
enum : uint32_t {
    kGroupButtons = 0x001,
    kGroupAssignTable = 0x002,
    kGroupLighting = 0x004,
    kGroupDpi = 0x008,
    kGroupMacros = 0x010,
    kGroupRate = 0x020,
    kGroupAcceleration = 0x040,
    kGroupEntries = 0x080,
    kGroupProgramLink = 0x100,
    kGroupProfileSet = 0x200,   // mouse: the profile set only; keyboard: launch entries as well
    kGroupProfileBits = 0x30F,  // any of these turns on the profile pass
    kGroupAll = 1023,
};

struct DeviceDescription {
    uint32_t productId;
    const int32_t* capabilities;
    uint32_t count;
};

// Linear search of the description's capability list.
bool IsIdInList(const DeviceDescription* description, int32_t id);

extern const DeviceDescription kMouseDescription;     // 0x0019
extern const DeviceDescription kKeyboardDescription;  // 0x001A
extern const DeviceDescription kHeadsetDescription;   // 0x001B

} // namespace vt::device
