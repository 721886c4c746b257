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

template <class T>
bool IsListed(T* object, int32_t count, const std::function<T*(uint32_t)>& at) {
    for (int32_t i = 0; i < count; ++i)
        if (at(uint32_t(i)) == object) return true;
    return false;
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
    bool ok = true;
    // Engine objects the assignments refer to come first; a key whose referent is missing keeps
    // its record and fails.
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
    std::vector<EngineActionRecord> records;
    for (uint32_t code : keys) records.push_back(KeyRecordToEngine(KeyRecord(config, KeyIdForEngineCode(code), profile), code));
    return WriteGroupIfChanged(snapshot, owner, kGroupAssignTable, RecordValues(records), [&] {
               ComPtr<IVtAssignmentTable> table;
               return ProfileFeature(engine, IID_IVtAssignmentTable, table) && SetEngineRecords(table.Get(), records);
           }) && ok;
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

bool WriteKeyboardProfilesJob(EngineConnection& connection, IKeyboardConfig* config, const KeyboardJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    const uint32_t mask = ctx.mask;
    const bool profilePass = IsIdInList(d, kCapProfiles) && HasBits(mask, kGroupProfileBits);
    bool ok = true;
    ReferenceContext references(connection);
    ComPtr<IVtProfileManager> manager;
    GroupSnapshot* snapshot = ctx.snapshot;
    const GUID device{};
    if (!profilePass) AlignSnapshot(snapshot, nullptr);
    if (profilePass) {
        if (!connection.ProfileManager(manager)) {
            ok = false;
            AlignSnapshot(snapshot, nullptr);
        } else {
            // Against the list this step reads (and keeps up to date).
            AlignSnapshot(snapshot, DeleteProfilesNotInModel(manager.Get(), config, snapshot == nullptr) ? manager.Get() : nullptr);
            for (int32_t i = 0; i < config->GetProfileCount(); ++i) {
                IKeyboardProfile* profile = config->GetProfileAt(uint32_t(i));
                if (!WriteProfileIdentity(manager.Get(), profile, snapshot)) {
                    ok = false;
                    continue;
                }
                GUID id{};
                profile->GetId(&id);
                ComPtr<IVtProfile> engine;
                if (!FindEngineProfile(manager.Get(), id, engine)) {
                    ok = false;
                    continue;
                }
                if (HasBits(mask, kGroupProgramLink) && IsIdInList(d, kCapProgramLink))
                    ok = WriteGroupIfChanged(snapshot, id, kGroupProgramLink, KeyboardLinkValues(profile), [&] {
                             return WriteKeyboardLink(engine.Get(), profile, LinkNameToWrite(manager.Get(), profile));
                         }) && ok;
                if (HasBits(mask, kGroupAssignTable) && IsIdInList(d, kCapAssignTable))
                    ok = WriteKeyboardAssignments(engine.Get(), config, profile, ctx.keys, references, snapshot, id) && ok;
                if (HasBits(mask, kGroupLighting) && IsIdInList(d, kCapLighting))
                    ok = WriteLightingZones(engine.Get(), config, profile, snapshot, id, kGroupLighting) && ok;
            }
        }
    }
    if (HasBits(mask, kGroupMacros) && IsIdInList(d, kCapMacros)) {
        IVtMacroStore* store = references.Macros();
        ok = store && DeleteMacrosNotInModel(store, config) && ok;
        ok = store && WriteMacros(config, store) && ok;
    }
    if (HasBits(mask, kGroupProfileSet) && IsIdInList(d, kCapLaunchEntries)) {
        IVtAppLauncher* launcher = references.Launcher();
        ok = launcher && DeleteAppsNotInModel(launcher, config) && ok;
        ok = launcher && WriteApps(config, launcher) && ok;
    }
    if (HasBits(mask, kGroupEntries) && IsIdInList(d, kCapEntries)) {
        std::vector<ApmEntry> entries;
        const bool modelRead = ModelApmEntries(config, entries);
        ok = WriteGroupIfChanged(modelRead ? snapshot : nullptr, device, kGroupEntries, ApmEntryValues(entries), [&] {
                 ComPtr<IVtEntryCollection> collection;
                 return modelRead && connection.Feature(IID_IVtEntryCollection, collection) &&
                        WriteCollectionEntryList(collection.Get(), entries);
             }) && ok;
        ok = WriteGroupIfChanged(snapshot, device, kGroupKeyEntries, KeyEntryValues(config),
                                 [&] { return WriteKeyEntries(connection.Device(), config); }) && ok;
    }
    if (profilePass) ok = ActivateCurrentProfile(manager.Get(), config) && ok;
    if (!ok) ForgetSnapshotIfEngineLost(snapshot, connection);
    return ok;
}

bool ReadKeyboardProfilesJob(EngineConnection& connection, IKeyboardConfig* config, const KeyboardJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    const uint32_t mask = ctx.mask;
    bool ok = true;
    GroupSnapshot* snapshot = ctx.snapshot;
    const GUID device{};
    const bool profilePass = IsIdInList(d, kCapProfiles) && HasBits(mask, kGroupProfileBits);
    if (!profilePass) AlignSnapshot(snapshot, nullptr);
    if (profilePass) {
        const bool linkRead = HasBits(mask, kGroupProgramLink) && IsIdInList(d, kCapProgramLink);
        ComPtr<IVtProfileManager> manager;
        ok = connection.ProfileManager(manager) &&
             ReadModelProfiles(manager.Get(), config, linkRead, [&](const EngineProfileEntry& e, IKeyboardProfile* profile) {
                 IVtProfile* engine = e.engine.Get();
                 bool read = true;
                 GroupSnapshot::Bytes held;
                 if (linkRead)
                     read = ReadAndNoteGroup(snapshot, e.id, kGroupProgramLink, [&](GroupSnapshot::Bytes* values) {
                         return ReadKeyboardLink(engine, profile, &e, values);
                     }) && read;
                 if (HasBits(mask, kGroupAssignTable) && IsIdInList(d, kCapAssignTable))
                     read = ReadAndNoteGroup(snapshot, e.id, kGroupAssignTable, [&](GroupSnapshot::Bytes* values) {
                         return ReadKeyboardAssignments(engine, config, profile, ctx.keys.size(), values);
                     }) && read;
                 if (HasBits(mask, kGroupLighting) && IsIdInList(d, kCapLighting)) {
                     const bool r = ReadLightingZones(engine, config, profile, &held);
                     NoteGroupRead(snapshot, e.id, kGroupLighting, r, std::move(held));
                     read = r && read;
                 }
                 return read;
             }) && ok;
        // Against the list the read kept; what it recorded is dropped when it failed.
        AlignSnapshot(snapshot, ok ? manager.Get() : nullptr);
    }
    if (HasBits(mask, kGroupMacros) && IsIdInList(d, kCapMacros)) {
        ComPtr<IVtMacroStore> store;
        ok = connection.Feature(IID_IVtMacroStore, store) && ReadMacros(config, store.Get()) && ok;
    }
    if (HasBits(mask, kGroupProfileSet) && IsIdInList(d, kCapLaunchEntries)) {
        ComPtr<IVtAppLauncher> launcher;
        ok = connection.Feature(IID_IVtAppLauncher, launcher) && ReadApps(config, launcher.Get()) && ok;
    }
    if (HasBits(mask, kGroupEntries) && IsIdInList(d, kCapEntries)) {
        ComPtr<IVtEntryCollection> collection;
        GroupSnapshot::Bytes held;
        const bool r = connection.Feature(IID_IVtEntryCollection, collection) &&
                       ReadCollectionEntries(collection.Get(), config, &held);
        NoteGroupRead(snapshot, device, kGroupEntries, r, std::move(held));
        ok = r && ok;
        held.clear();
        const bool keys = ReadKeyEntries(connection.Device(), config, &held);
        NoteGroupRead(snapshot, device, kGroupKeyEntries, keys, std::move(held));
        ok = keys && ok;
    }
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
    std::function<IKeyboardProfile*(uint32_t)> profileAt = [&](uint32_t i) { return live->GetProfileAt(i); };
    for (size_t i = 0; i < copy.liveProfiles.size(); ++i) {
        IKeyboardProfile* target = copy.liveProfiles[i];
        IKeyboardProfile* written = c->GetProfileAt(uint32_t(i));
        if (!written || !IsListed(target, live->GetProfileCount(), profileAt)) continue;
        GUID liveId{}, newId{};
        target->GetId(&liveId);
        written->GetId(&newId);
        if (IsNullGuid(liveId) && !IsNullGuid(newId)) target->SetId(newId);
        if (i >= copy.keysBefore.size()) continue;
        for (const auto& [keyId, before] : copy.keysBefore[i]) {
            const AssignmentRecord after = KeyRecord(c, keyId, written);
            if (AssignmentsEqual(after, before)) continue;
            if (AssignmentsEqual(KeyRecord(live, keyId, target), before)) live->SetAssignment(keyId, after, target);
        }
    }
    std::function<CMacro*(uint32_t)> macroAt = [&](uint32_t i) { return live->GetMacroAt(i); };
    for (size_t i = 0; i < copy.liveMacros.size(); ++i) {
        CMacro* target = copy.liveMacros[i];
        CMacro* written = c->GetMacroAt(uint32_t(i));
        if (!written || !IsListed(target, live->GetMacroCount(), macroAt)) continue;
        if (IsNullGuid(target->id) && !IsNullGuid(written->id)) target->id = written->id;
    }
    std::function<CVtApp*(uint32_t)> appAt = [&](uint32_t i) { return live->GetAppAt(i); };
    for (size_t i = 0; i < copy.liveApps.size(); ++i) {
        CVtApp* target = copy.liveApps[i];
        CVtApp* written = c->GetAppAt(uint32_t(i));
        if (!written || !IsListed(target, live->GetAppCount(), appAt)) continue;
        if (IsNullGuid(target->id) && !IsNullGuid(written->id)) target->id = written->id;
    }
}

} // namespace vt::device
