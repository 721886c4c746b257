#include "device/KeyboardTransfer.h"
#include "device/ModelCopy.h"

#include "device/CodeTables.h"
#include "device/LightingZones.h"
#include "device/ProfileSync.h"
#include "base/KeyTable.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace vt::device {

namespace {

bool HasBits(uint32_t mask, uint32_t bits) { return (mask & bits) != 0; }

AssignmentRecord KeyRecord(IKeyboardConfig* config, int32_t keyId, IKeyboardProfile* profile) {
    AssignmentRecord r{};
    r.kind = vt::profile::kKindNone;
    if (keyId != 0) config->GetAssignment(&r, keyId, profile);
    return r;
}

// The kind-0 record of a key on its own code: the code and, in byte 4, whether it has a prefix.
AssignmentRecord OwnCodeRecord(uint32_t code) {
    AssignmentRecord r{};
    r.kind = vt::profile::kKindDefaultKey;
    const uint16_t low = uint16_t(code & 0xFFFF);
    std::memcpy(r.payload, &low, 2);
    r.payload[4] = FlagForEngineCode(code) != 0 ? 1 : 0;
    return r;
}

} // namespace

uint8_t FlagForEngineCode(uint32_t code) {
    switch (code >> 16) {
    case 4: return 2;
    case 2: return 1;
    default: return 0;
    }
}

int32_t KeyIdForEngineCode(uint32_t code) {
    return vt::base::FindKeyIdByCode((code & 0xFFFF) | (uint32_t(FlagForEngineCode(code)) << 16));
}

bool ReadAssignmentKeyList(IVtProfile* engine, std::vector<uint32_t>& keys) {
    keys.clear();
    ComPtr<IVtAssignmentTable> table;
    if (!ProfileFeature(engine, IID_IVtAssignmentTable, table)) return false;
    ULONG first = 0, n = 0;
    if (FAILED(table->GetTableInfo(&first, &n)) || n == 0) return false;
    // An engine that claims an absurd table is not believed.
    if (n > 4096) return false;
    auto* records = static_cast<EngineActionRecord*>(CoTaskMemAlloc(sizeof(EngineActionRecord) * n));
    if (!records) return false;
    std::memset(records, 0, sizeof(EngineActionRecord) * n);
    ULONG got = n;
    const bool ok = SUCCEEDED(table->GetAssignments(&got, records));
    if (ok) {
        keys.assign(n, 0);
        for (ULONG i = 0; i < std::min(got, n); ++i) keys[i] = records[i].Index;
        keys.resize(std::min(got, n));
    }
    CoTaskMemFree(records);
    return ok && !keys.empty();
}

EngineActionRecord KeyRecordToEngine(const AssignmentRecord& record, uint32_t code) {
    if (record.kind == vt::profile::kKindNone || record.kind == vt::profile::kKindDefaultKey) {
        EngineActionRecord r = CodeTables().TemplateForKind(vt::profile::kKindSingleKey);
        r.Index = code;
        const uint16_t low = uint16_t(code & 0xFFFF);
        std::memcpy(r.Payload, &low, 2);
        return r;
    }
    return AssignmentToEngine(record, code);
}

AssignmentRecord KeyRecordFromEngine(const EngineActionRecord& record) {
    AssignmentRecord a = FromEngineRecord(record);
    if (record.Type == kRecKey) {
        uint16_t target = 0;
        uint32_t flags = 0;
        std::memcpy(&target, record.Payload, 2);
        std::memcpy(&flags, record.Payload + 2, 4);
        const uint32_t modifiers = (flags >> kModifierShift) & 0x0F;
        if (target == uint16_t(record.Index & 0xFFFF) && modifiers == 0) return OwnCodeRecord(record.Index);
    }
    return a;
}

bool WriteKeyboardAssignments(IVtProfile* engine, IKeyboardConfig* config, IKeyboardProfile* profile,
                              const std::vector<uint32_t>& keys, ReferenceContext& references, GroupSnapshot* snapshot,
                              const GUID& owner) {
    if (!engine || !config || !profile || keys.empty()) return false;
    const bool converted = ConvertKeyboardReferences(config, profile, keys, references);
    return WriteKeyboardAssignmentRecords(engine, config, profile, keys, snapshot, owner) && converted;
}

bool ConvertKeyboardReferences(IKeyboardConfig* config, IKeyboardProfile* profile, const std::vector<uint32_t>& keys,
                               ReferenceContext& references) {
    if (!config || !profile) return false;
    bool ok = true;
    for (uint32_t code : keys) {
        const int32_t keyId = KeyIdForEngineCode(code);
        if (!keyId) continue;
        AssignmentRecord record = KeyRecord(config, keyId, profile);
        const int32_t kind = record.kind;
        if (!ConvertReferencedObject(record, config, references)) {
            ok = false;
            continue;
        }
        if (record.kind != kind) config->SetAssignment(keyId, record, profile);
    }
    return ok;
}

bool WriteKeyboardAssignmentRecords(IVtProfile* engine, IKeyboardConfig* config, IKeyboardProfile* profile,
                                    const std::vector<uint32_t>& keys, GroupSnapshot* snapshot, const GUID& owner) {
    if (!engine || !config || !profile || keys.empty()) return false;
    std::vector<EngineActionRecord> records;
    for (uint32_t code : keys) records.push_back(KeyRecordToEngine(KeyRecord(config, KeyIdForEngineCode(code), profile), code));
    return WriteGroupIfChanged(snapshot, owner, kGroupAssignTable, RecordValues(records), [&] {
        ComPtr<IVtAssignmentTable> table;
        return ProfileFeature(engine, IID_IVtAssignmentTable, table) && SetEngineRecords(table.Get(), records);
    });
}

bool ReadKeyboardAssignments(IVtProfile* engine, IKeyboardConfig* config, IKeyboardProfile* profile, size_t count,
                             GroupSnapshot::Bytes* held) {
    if (count == 0 || !config || !profile) return false;
    ComPtr<IVtAssignmentTable> table;
    if (!ProfileFeature(engine, IID_IVtAssignmentTable, table)) return false;
    auto* records = static_cast<EngineActionRecord*>(CoTaskMemAlloc(sizeof(EngineActionRecord) * count));
    if (!records) return false;
    std::memset(records, 0, sizeof(EngineActionRecord) * count);
    ULONG n = ULONG(count);
    const bool ok = SUCCEEDED(table->GetAssignments(&n, records));
    if (ok) {
        for (ULONG i = 0; i < std::min<ULONG>(n, ULONG(count)); ++i) {
            const int32_t keyId = KeyIdForEngineCode(records[i].Index);
            if (!keyId) continue;
            AssignmentRecord a = KeyRecordFromEngine(records[i]);
            if (a.kind < 0) continue;  // a record the model has no kind for leaves the key alone
            config->SetAssignment(keyId, a, profile);
        }
        if (held && n == ULONG(count)) *held = RecordValues(std::vector<EngineActionRecord>(records, records + n));
    }
    CoTaskMemFree(records);
    return ok;
}

bool WriteKeyboardLink(IVtProfile* engine, IKeyboardProfile* profile, const wchar_t* name) {
    if (!engine || !profile) return false;
    return WriteProfileLink(engine, name, profile->GetFileName(), profile->GetProfileFlag(),
                            profile->Reserved20() ? 1 : 0, profile->GetProfileOsdEnabled());
}

GroupSnapshot::Bytes KeyboardLinkValues(IKeyboardProfile* profile) {
    const wchar_t* name = profile->GetName();
    const wchar_t* path = profile->GetFileName();
    return LinkValues(name ? name : L"", path ? path : L"", profile->GetProfileFlag(), profile->Reserved20() ? 1 : 0,
                      profile->GetProfileOsdEnabled());
}

bool ReadKeyboardLink(IVtProfile* engine, IKeyboardProfile* profile, const EngineProfileEntry* known,
                      GroupSnapshot::Bytes* held) {
    if (!engine || !profile) return false;
    ProfileLinkRead link = ReadProfileLink(engine, known, known != nullptr);
    if (held && !LinkValuesRead(link, *held)) held->clear();
    if (link.hasName) profile->SetName(link.name.c_str());
    if (link.hasId) profile->SetId(link.id);
    if (link.hasPath) profile->SetFileName(link.path.c_str());
    if (link.hasAutoSwitch) profile->SetProfileFlag(link.autoSwitch);
    if (link.hasOsdFlags) {
        profile->Reserved19(link.dpiOsd);
        profile->SetProfileOsdEnabled(link.profileOsd);
    }
    return true;
}

void MergeReadKeyboardProfile(IKeyboardConfig* from, IKeyboardProfile* read, IKeyboardConfig* to, IKeyboardProfile* profile,
                              const std::vector<uint32_t>& keys) {
    // Only what differs is set: the copy started as the profile itself.
    MergeReadLink(read, profile);
    GUID a{}, b{};
    read->GetId(&a);
    profile->GetId(&b);
    if (!GuidsEqual(a, b)) profile->SetId(a);
    for (uint32_t code : keys) {
        const int32_t keyId = KeyIdForEngineCode(code);
        if (!keyId) continue;
        const AssignmentRecord r = KeyRecord(from, keyId, read);
        if (!AssignmentsEqual(r, KeyRecord(to, keyId, profile))) to->SetAssignment(keyId, r, profile);
    }
    MergeReadLighting(from, read, to, profile);
}

bool WriteKeyboardProfilesJob(EngineConnection& connection, IKeyboardConfig* config, const KeyboardJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    auto wanted = [&](uint32_t group, int32_t capability) { return HasBits(ctx.mask, group) && IsIdInList(d, capability); };
    const bool profilePass = IsIdInList(d, kCapProfiles) && HasBits(ctx.mask, kGroupProfileBits);
    GroupSnapshot* snapshot = ctx.snapshot;
    ReferenceContext references(connection);
    ComPtr<IVtProfileManager> manager;
    bool ok = true;
    if (!profilePass) AlignSnapshot(snapshot, nullptr);
    else
        ok = WriteProfilePass(
            connection, config, snapshot, manager,
            [&](IVtProfile* engine, IKeyboardProfile* profile, const GUID& id, ProfileGroupWrite& write) {
                const bool link = wanted(kGroupProgramLink, kCapProgramLink),
                           table = wanted(kGroupAssignTable, kCapAssignTable), lighting = wanted(kGroupLighting, kCapLighting);
                // Here, on the job's thread: the names its batch keeps, the objects it makes.
                const wchar_t* name = link ? LinkNameToWrite(manager.Get(), profile) : nullptr;
                const bool nameToWrite = name != nullptr;
                const std::wstring newName = name ? name : L"";
                const bool converted = !table || (!ctx.keys.empty() && ConvertKeyboardReferences(config, profile, ctx.keys, references));
                ComPtr<IVtProfile> held(engine);
                const std::vector<uint32_t> keys = ctx.keys;
                write = [=](GroupSnapshot* part) {
                    IVtProfile* e = held.Get();
                    bool written = true;
                    if (link)
                        written = WriteGroupIfChanged(part, id, kGroupProgramLink, KeyboardLinkValues(profile), [&] {
                            return WriteKeyboardLink(e, profile, nameToWrite ? newName.c_str() : nullptr);
                        }) && written;
                    if (table) written = WriteKeyboardAssignmentRecords(e, config, profile, keys, part, id) && written;
                    if (lighting) written = WriteLightingZones(e, config, profile, part, id, kGroupLighting) && written;
                    return written;
                };
                return converted;
            },
            ctx.keep);
    if (wanted(kGroupMacros, kCapMacros)) ok = WriteMacroList(references, config) && ok;
    if (wanted(kGroupProfileSet, kCapLaunchEntries)) ok = WriteAppList(references, config) && ok;
    if (wanted(kGroupEntries, kCapEntries)) ok = WriteEntryLists(connection, config, snapshot, ctx.keyEntries) && ok;
    if (profilePass) ok = ActivateCurrentProfile(manager.Get(), config) && ok;
    if (!ok) ForgetSnapshotIfEngineLost(snapshot, connection);
    return ok;
}

bool ReadKeyboardProfilesJob(EngineConnection& connection, IKeyboardConfig* config, const KeyboardJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    auto wanted = [&](uint32_t group, int32_t capability) { return HasBits(ctx.mask, group) && IsIdInList(d, capability); };
    GroupSnapshot* snapshot = ctx.snapshot;
    bool ok = true;
    if (!(IsIdInList(d, kCapProfiles) && HasBits(ctx.mask, kGroupProfileBits))) {
        AlignSnapshot(snapshot, nullptr);
    } else {
        const bool linkRead = wanted(kGroupProgramLink, kCapProgramLink), table = wanted(kGroupAssignTable, kCapAssignTable),
                   lighting = wanted(kGroupLighting, kCapLighting);
        const size_t count = ctx.keys.size();
        auto each = [=](const EngineProfileEntry& e, IKeyboardConfig* config, IKeyboardProfile* profile, GroupSnapshot* snapshot) {
            IVtProfile* engine = e.engine.Get();
            bool read = true;
            if (linkRead)
                read = ReadAndNoteGroup(snapshot, e.id, kGroupProgramLink, [&](GroupSnapshot::Bytes* values) {
                    return ReadKeyboardLink(engine, profile, &e, values);
                }) && read;
            if (table)
                read = ReadAndNoteGroup(snapshot, e.id, kGroupAssignTable, [&](GroupSnapshot::Bytes* values) {
                    return ReadKeyboardAssignments(engine, config, profile, count, values);
                }) && read;
            if (lighting)
                read = ReadAndNoteGroup(snapshot, e.id, kGroupLighting, [&](GroupSnapshot::Bytes* values) {
                    return ReadLightingZones(engine, config, profile, values);
                }) && read;
            return read;
        };
        ok = ReadProfilePass<CDmConfig_Keyboard>(
            connection, d ? d->productId : 0, config, snapshot, linkRead, each,
            [&](IKeyboardConfig* from, IKeyboardProfile* read, IKeyboardConfig* to, IKeyboardProfile* profile) {
                MergeReadKeyboardProfile(from, read, to, profile, ctx.keys);
            });
    }
    if (wanted(kGroupMacros, kCapMacros)) ok = ReadMacroList(connection, config) && ok;
    if (wanted(kGroupProfileSet, kCapLaunchEntries)) ok = ReadAppList(connection, config) && ok;
    if (wanted(kGroupEntries, kCapEntries)) ok = ReadEntryLists(connection, config, snapshot, ctx.keyEntries) && ok;
    if (!ok) ForgetSnapshotIfEngineLost(snapshot, connection);
    return ok;
}

std::unique_ptr<KeyboardWriteCopy> CopyKeyboardConfig(IKeyboardConfig* live, const std::vector<uint32_t>& keys) {
    auto copy = std::make_unique<KeyboardWriteCopy>();
    copy->config = std::make_unique<CDmConfig_Keyboard>();
    CDmConfig_Keyboard* c = copy->config.get();
    IKeyboardProfile* current = live->GetCurrentProfile();
    for (int32_t i = 0; i < live->GetProfileCount(); ++i) {
        IKeyboardProfile* p = live->GetProfileAt(uint32_t(i));
        IKeyboardProfile* q = c->AddProfileCopy(p);
        if (!q) continue;
        copy->liveProfiles.push_back(p);
        if (p == current) c->SetCurrentProfile(q);
        std::vector<std::pair<int32_t, AssignmentRecord>> before;
        for (uint32_t code : keys) {
            const int32_t keyId = KeyIdForEngineCode(code);
            if (keyId) before.emplace_back(keyId, KeyRecord(live, keyId, p));
        }
        copy->keysBefore.push_back(std::move(before));
    }
    CopyDeviceWideLists(live, c, copy->liveMacros, copy->liveApps);
    return copy;
}

void MergeKeyboardWriteBack(IKeyboardConfig* live, const KeyboardWriteCopy& copy) {
    CDmConfig_Keyboard* c = copy.config.get();
    for (size_t i = 0; i < copy.liveProfiles.size(); ++i) {
        IKeyboardProfile* target = copy.liveProfiles[i];
        IKeyboardProfile* written = c->GetProfileAt(uint32_t(i));
        if (!MergeProfileId(live, target, written) || i >= copy.keysBefore.size()) continue;
        for (const auto& [keyId, before] : copy.keysBefore[i]) {
            const AssignmentRecord after = KeyRecord(c, keyId, written);
            if (AssignmentsEqual(after, before)) continue;
            if (AssignmentsEqual(KeyRecord(live, keyId, target), before)) live->SetAssignment(keyId, after, target);
        }
    }
    MergeDeviceWideIds(live, c, copy.liveMacros, copy.liveApps);
}

} // namespace vt::device
