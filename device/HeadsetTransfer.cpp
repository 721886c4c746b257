#include "device/HeadsetTransfer.h"

#include "device/Equaliser.h"
#include "device/LightingZones.h"
#include "device/ListTransfer.h"
#include "device/ProfileSync.h"

namespace vt::device {

namespace {

bool HasBits(uint32_t mask, uint32_t bits) { return (mask & bits) != 0; }

GUID ProfileId(IAudioProfile* profile) {
    GUID id{};
    if (profile) profile->GetId(&id);
    return id;
}

} // namespace

bool WriteHeadsetProfilesJob(EngineConnection& connection, IAudioConfig* config, const HeadsetJobContext& ctx) {
    if (!config || !connection.IsOpen()) return false;
    const DeviceDescription* d = ctx.description;
    const uint32_t mask = ctx.mask;
    GroupSnapshot* snapshot = ctx.snapshot;
    bool ok = true;
    if (!IsIdInList(d, kCapProfiles)) AlignSnapshot(snapshot, nullptr);
    if (IsIdInList(d, kCapProfiles)) {
        ComPtr<IVtProfileManager> manager;
        if (!connection.ProfileManager(manager)) {
            ok = false;
            AlignSnapshot(snapshot, nullptr);
        } else {
            const bool setOk = DeleteProfilesNotInModel(manager.Get(), config, snapshot == nullptr);
            AlignSnapshot(snapshot, setOk ? manager.Get() : nullptr);
            // Every profile and group is tried; a failure makes the answer false.
            for (int32_t i = 0; i < config->GetProfileCount(); ++i) {
                IAudioProfile* profile = config->GetProfileAt(uint32_t(i));
                if (!WriteProfileIdentity(manager.Get(), profile, snapshot)) {
                    ok = false;
                    continue;
                }
                ComPtr<IVtProfile> engine;
                if (!FindEngineProfile(manager.Get(), ProfileId(profile), engine)) {
                    ok = false;
                    continue;
                }
                if (IsIdInList(d, kCapEqualizer) && HasBits(mask, kHeadsetBands)) {
                    EqualizerRecord record = GetEqualizer(engine.Get());
                    if (WriteSwitchState(record, config, profile))
                        ok = WriteBandGains(config, record, profile, mask) && ok;
                    else
                        ok = false;
                }
                if (IsIdInList(d, kCapLighting) && HasBits(mask, kHeadsetLighting))
                    ok = WriteLightingZones(engine.Get(), config, profile, snapshot, ProfileId(profile), kGroupLighting) && ok;
            }
        }
    }
    if (IsIdInList(d, kCapEntries) && HasBits(mask, kHeadsetEntries)) {
        ok = WriteEntryLists(connection, config, snapshot, ctx.keyEntries) && ok;
    }
    if (!ok) ForgetSnapshotIfEngineLost(snapshot, connection);
    return ok;
}

bool ReadHeadsetProfilesJob(EngineConnection& connection, IAudioConfig* config, const HeadsetJobContext& ctx) {
    if (!config || !connection.IsOpen()) return false;
    const DeviceDescription* d = ctx.description;
    const uint32_t mask = ctx.mask;
    GroupSnapshot* snapshot = ctx.snapshot;
    bool ok = true;
    if (!IsIdInList(d, kCapProfiles)) AlignSnapshot(snapshot, nullptr);
    if (IsIdInList(d, kCapProfiles)) {
        ComPtr<IVtProfileManager> manager;
        ok = connection.ProfileManager(manager) &&
             ReadModelProfiles(manager.Get(), config, false, [&](const EngineProfileEntry& e, IAudioProfile* profile) {
                 bool read = true;
                 // Any band bit reads the switch and the selected bands, as the write does.
                 if (IsIdInList(d, kCapEqualizer) && HasBits(mask, kHeadsetBands))
                     read = ReadEqualizerProfile(config, d, e.engine.Get(), profile, mask) && read;
                 if (IsIdInList(d, kCapLighting) && HasBits(mask, kHeadsetLighting))
                     read = ReadAndNoteGroup(snapshot, e.id, kGroupLighting, [&](GroupSnapshot::Bytes* values) {
                         return ReadLightingZones(e.engine.Get(), config, profile, values);
                     }) && read;
                 return read;
             }) && ok;
        // Against the list the read kept; what it recorded is dropped when it failed.
        AlignSnapshot(snapshot, ok ? manager.Get() : nullptr);
        // The configuration's own switch is the current profile's.
        if (IAudioProfile* current = config->GetCurrentProfile())
            config->SetEqualizerEnabled(config->GetEqualizerEnabled(current), current);
    }
    if (IsIdInList(d, kCapEntries) && HasBits(mask, kHeadsetEntries)) {
        ok = ReadEntryLists(connection, config, snapshot, ctx.keyEntries) && ok;
    }
    if (!ok) ForgetSnapshotIfEngineLost(snapshot, connection);
    return ok;
}

} // namespace vt::device
