#include "device/MouseTransfer.h"
#include "device/ModelCopy.h"
#include "device/LightingZones.h"
#include "device/ProfileSync.h"
#include <algorithm>
#include <cstring>
#include <functional>

namespace vt::device {

namespace {

bool HasBits(uint32_t mask, uint32_t bits) { return (mask & bits) != 0; }

AssignmentRecord ButtonRecord(IMouseConfig* config, int32_t button, IMouseProfile* profile) {
    AssignmentRecord r{};
    config->GetButtonAssignment(&r, button, profile);
    return r;
}

template <class T>
bool IsListed(T* object, int32_t count, const std::function<T*(uint32_t)>& at) {
    for (int32_t i = 0; i < count; ++i)
        if (at(uint32_t(i)) == object) return true;
    return false;
}

} // namespace

ULONG RateCodeForIndex(int32_t index) {
    switch (index) {
    case 0: return 8;
    case 1: return 2;
    case 2: return 1;
    default: return 0;
    }
}

int32_t RateIndexForCode(ULONG code) {
    switch (code) {
    case 8: return 0;
    case 2: return 1;
    case 1: return 2;
    default: return -1;
    }
}

bool ReadDpiLimits(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile) {
    ComPtr<IVtDpi> dpi;
    if (!ProfileFeature(engine, IID_IVtDpi, dpi)) return false;
    ULONG minStages = 0, maxStages = 0;
    if (SUCCEEDED(dpi->GetStageCapacity(&minStages, &maxStages)) && maxStages)
        config->SetMaxDpiStageCount(maxStages, profile);
    ULONG lo = 0, hi = 0, step = 0;
    if (FAILED(dpi->GetDpiRange(&lo, &hi, &step))) return false;
    config->SetDpiRange(int32_t(lo), int32_t(hi), int32_t(step), profile);
    return true;
}

bool WriteDpi(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile) {
    ComPtr<IVtDpi> dpi;
    if (!ProfileFeature(engine, IID_IVtDpi, dpi)) return false;
    uint32_t n = config->GetDpiStageCount(profile);
    bool ok = true;
    if (n) {
        auto* pairs = static_cast<VtDpiStage*>(CoTaskMemAlloc(sizeof(VtDpiStage) * n));
        if (!pairs) return false;
        for (uint32_t s = 1; s <= n; ++s) {
            if (config->GetDpiStageSeparateXY(s, profile)) {
                pairs[s - 1].X = config->GetDpiStageValueX(s, profile);
                pairs[s - 1].Y = config->GetDpiStageValueY(s, profile);
            } else {
                pairs[s - 1].X = pairs[s - 1].Y = config->GetDpiStageValue(s, profile);
            }
        }
        ok = SUCCEEDED(dpi->SetDpiStages(n, pairs));
        CoTaskMemFree(pairs);
    } else {
        ok = false;
    }
    int32_t active = config->GetActiveDpiStage(profile);
    ULONG engineActive = 0;
    if (active > 0 && SUCCEEDED(dpi->GetActiveStage(&engineActive)) && engineActive != ULONG(active))
        ok = SUCCEEDED(dpi->SetActiveStage(ULONG(active))) && ok;
    HRESULT hr;
    if (config->GetSeparateXY(profile))
        hr = dpi->SetDpi(ULONG(config->GetDpiX(profile)), ULONG(config->GetDpiY(profile)));
    else
        hr = dpi->SetDpi(ULONG(config->GetDpi(profile)), ULONG(config->GetDpi(profile)));
    return SUCCEEDED(hr) && ok;
}

bool ReadDpi(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile, GroupSnapshot::Bytes* held) {
    ComPtr<IVtDpi> dpi;
    if (!ProfileFeature(engine, IID_IVtDpi, dpi)) return false;
    ULONG count = 0;
    VtDpiStage* pairs = nullptr;
    bool stagesRead = SUCCEEDED(dpi->GetDpiStages(&count, &pairs));
    ULONG x = 0, y = 0;
    bool dpiRead = SUCCEEDED(dpi->GetDpi(&x, &y));
    // What the engine holds, as the write sends it.
    GroupBytes engineValues;
    if (stagesRead) {
        engineValues.Add(uint32_t(count));
        for (ULONG s = 0; s < count && pairs; ++s) engineValues.Add(uint32_t(pairs[s].X)).Add(uint32_t(pairs[s].Y));
    }
    if (stagesRead) {
        // Never more stages than the profile has room for.
        count = std::min<ULONG>(count, config->GetMaxDpiStageCount(profile));
        config->SetDpiStageCount(count, profile);
        for (ULONG s = 1; s <= count; ++s) {
            ULONG sx = pairs[s - 1].X, sy = pairs[s - 1].Y;
            if (sx == sy) {
                config->SetDpiStageSeparateXY(s, 0, profile);
                config->SetDpiStageValue(s, sx, profile);
                config->SetDpiStageValueX(s, sx, profile);
                config->SetDpiStageValueY(s, sx, profile);
            } else {
                config->SetDpiStageSeparateXY(s, 1, profile);
                config->SetDpiStageValueX(s, sx, profile);
                config->SetDpiStageValueY(s, sy, profile);
                config->SetDpiStageValue(s, std::min(sx, sy), profile);
            }
        }
    }
    if (pairs) CoTaskMemFree(pairs);
    bool ok = stagesRead && dpiRead;
    ULONG active = 0;
    if (stagesRead && SUCCEEDED(dpi->GetActiveStage(&active)))
        config->SetActiveDpiStage(active, profile);
    else
        ok = false;  // the model keeps its active stage
    if (dpiRead) {
        config->SetSeparateXY(x != y ? 1 : 0, profile);
        config->SetDpiX(int32_t(x), profile);
        config->SetDpiY(int32_t(y), profile);
        config->SetDpi(int32_t(std::min(x, y)), profile);
    }
    if (held && ok) {
        engineValues.Add(int32_t(active)).Add(uint32_t(x)).Add(uint32_t(y));
        *held = engineValues.Take();
    }
    return ok;
}

GroupSnapshot::Bytes DpiValues(IMouseConfig* config, IMouseProfile* profile) {
    GroupBytes b;
    const uint32_t n = config->GetDpiStageCount(profile);
    b.Add(n);
    for (uint32_t s = 1; s <= n; ++s) {
        if (config->GetDpiStageSeparateXY(s, profile))
            b.Add(uint32_t(config->GetDpiStageValueX(s, profile))).Add(uint32_t(config->GetDpiStageValueY(s, profile)));
        else
            b.Add(uint32_t(config->GetDpiStageValue(s, profile))).Add(uint32_t(config->GetDpiStageValue(s, profile)));
    }
    b.Add(int32_t(config->GetActiveDpiStage(profile)));
    if (config->GetSeparateXY(profile))
        b.Add(uint32_t(config->GetDpiX(profile))).Add(uint32_t(config->GetDpiY(profile)));
    else
        b.Add(uint32_t(config->GetDpi(profile))).Add(uint32_t(config->GetDpi(profile)));
    return b.Take();
}

GroupSnapshot::Bytes RateValues(IMouseConfig* config) {
    return GroupBytes().Add(uint32_t(RateCodeForIndex(config->GetRateIndex(nullptr)))).Take();
}

GroupSnapshot::Bytes AccelerationValues(IMouseConfig* config) {
    return GroupBytes()
        .Add(uint32_t(config->GetAcceleration(nullptr)))
        .Add(uint8_t(config->GetAccelerationEnabled(nullptr) ? 1 : 0))
        .Take();
}

bool ReadButtonMask(IVtProfile* engine, std::vector<uint32_t>& supported) {
    supported.clear();
    ComPtr<IVtButtonAssignments> buttons;
    if (!ProfileFeature(engine, IID_IVtButtonAssignments, buttons)) return false;
    ULONG count = 0, reserved = 0, mask = 0;
    if (FAILED(buttons->GetButtonInfo(&count, &reserved, &mask))) return false;
    for (uint32_t bit = 1; bit <= 0x400000 && supported.size() < count; bit <<= 1)
        if (mask & bit) supported.push_back(bit);
    return count != 0;
}

bool WriteMouseAssignments(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile,
                           const std::vector<uint32_t>& supported, ReferenceContext& references,
                           GroupSnapshot* snapshot, const GUID& owner) {
    const DeviceCodeTables& tables = CodeTables();
    bool ok = true;
    // Engine objects the assignments refer to come first.
    for (uint32_t bit : supported) {
        int32_t button = tables.ButtonForBit(bit);
        AssignmentRecord record = ButtonRecord(config, button, profile);
        int32_t kind = record.kind;
        if (!ConvertReferencedObject(record, config, references)) {
            ok = false;
            continue;
        }
        if (record.kind != kind) config->SetButtonAssignment(button, record, profile);
    }
    std::vector<EngineActionRecord> records;
    for (uint32_t bit : supported) {
        int32_t button = tables.ButtonForBit(bit);
        records.push_back(AssignmentToEngine(ButtonRecord(config, button, profile), tables.IndexForButton(button)));
    }
    // A record whose referent could not be made is sent as it is, as before; the answer stays false.
    return WriteGroupIfChanged(snapshot, owner, kGroupButtons, RecordValues(records), [&] {
               ComPtr<IVtButtonAssignments> buttons;
               return ProfileFeature(engine, IID_IVtButtonAssignments, buttons) && SetEngineRecords(buttons.Get(), records);
           }) && ok;
}

bool ReadButtonAssignments(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile, size_t count,
                           GroupSnapshot::Bytes* held) {
    if (count == 0) return false;
    ComPtr<IVtButtonAssignments> buttons;
    if (!ProfileFeature(engine, IID_IVtButtonAssignments, buttons)) return false;
    auto* records = static_cast<EngineActionRecord*>(CoTaskMemAlloc(sizeof(EngineActionRecord) * count));
    if (!records) return false;
    std::memset(records, 0, sizeof(EngineActionRecord) * count);
    ULONG n = ULONG(count);
    bool ok = SUCCEEDED(buttons->GetAssignments(&n, records));
    if (ok) {
        for (ULONG i = 0; i < std::min<ULONG>(n, ULONG(count)); ++i) {
            int32_t button = CodeTables().ButtonForIndex(records[i].Index);
            if (!button) continue;
            config->SetButtonAssignment(button, FromEngineRecord(records[i]), profile);
        }
        if (held && n == ULONG(count)) *held = RecordValues(std::vector<EngineActionRecord>(records, records + n));
    }
    CoTaskMemFree(records);
    return ok;
}

bool ReadMouseRateList(const EngineConnection& connection, IMouseConfig* config) {
    ComPtr<IVtRateList> rates;
    if (!connection.Feature(IID_IVtRateList, rates)) return false;
    ULONG count = 0;
    ULONG* list = nullptr;
    HRESULT hr = rates->GetRateList(&count, &list);
    std::vector<uint32_t> values;
    if (SUCCEEDED(hr) && list) values.assign(list, list + count);
    if (list) CoTaskMemFree(list);
    if (FAILED(hr)) return false;
    config->SetRateList(values);
    return true;
}

bool WriteRate(const EngineConnection& connection, IMouseConfig* config) {
    ULONG code = RateCodeForIndex(config->GetRateIndex(nullptr));
    if (!code) return false;
    ComPtr<IVtRateList> rates;
    return connection.Feature(IID_IVtRateList, rates) && SUCCEEDED(rates->SetRate(code));
}

bool ReadRate(const EngineConnection& connection, IMouseConfig* config, GroupSnapshot::Bytes* held) {
    ComPtr<IVtRateList> rates;
    ULONG code = 0;
    if (!connection.Feature(IID_IVtRateList, rates) || FAILED(rates->GetRate(&code))) return false;
    config->SetRateIndex(RateIndexForCode(code), nullptr);
    if (held) *held = GroupBytes().Add(uint32_t(code)).Take();
    return true;
}

bool WriteAcceleration(const EngineConnection& connection, IMouseConfig* config) {
    ComPtr<IVtAcceleration> accel;
    if (!connection.Feature(IID_IVtAcceleration, accel)) return false;
    if (FAILED(accel->SetAcceleration(config->GetAcceleration(nullptr)))) return false;
    return SUCCEEDED(config->GetAccelerationEnabled(nullptr) ? accel->Enable() : accel->Disable());
}

bool ReadAcceleration(const EngineConnection& connection, IMouseConfig* config, GroupSnapshot::Bytes* held) {
    ComPtr<IVtAcceleration> accel;
    if (!connection.Feature(IID_IVtAcceleration, accel)) return false;
    bool ok = true;
    ULONG value = 0;
    if (SUCCEEDED(accel->GetAcceleration(&value)))
        config->SetAcceleration(value, nullptr);
    else
        ok = false;
    LONG on = 0;
    if (SUCCEEDED(accel->IsEnabled(&on)))
        config->SetAccelerationEnabled(on != 0, nullptr);
    else
        ok = false;
    if (held && ok) *held = GroupBytes().Add(uint32_t(value)).Add(uint8_t(on != 0 ? 1 : 0)).Take();
    return ok;
}

bool WriteMouseProfilesJob(EngineConnection& connection, IMouseConfig* config, const MouseJobContext& ctx) {
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
            bool setOk = DeleteProfilesNotInModel(manager.Get(), config, snapshot == nullptr);
            if (!setOk) ok = false;
            // Against the list the step above read (and kept up to date).
            AlignSnapshot(snapshot, setOk ? manager.Get() : nullptr);
            for (int32_t i = 0; setOk && i < config->GetProfileCount(); ++i) {
                IMouseProfile* profile = config->GetProfileAt(uint32_t(i));
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
                if (HasBits(mask, kGroupProgramLink) && IsIdInList(d, kCapProgramLink)) {
                    const wchar_t* path = profile->GetFileName();
                    ok = WriteGroupIfChanged(snapshot, id, kGroupProgramLink,
                                             LinkValues(profile->GetName() ? profile->GetName() : L"", path ? path : L"",
                                                        profile->GetProfileFlag(), profile->GetDpiOsdEnabled(),
                                                        profile->GetProfileOsdEnabled()),
                                             [&] {
                                                 return WriteProfileLink(engine.Get(), LinkNameToWrite(manager.Get(), profile),
                                                                         path, profile->GetProfileFlag(),
                                                                         profile->GetDpiOsdEnabled(),
                                                                         profile->GetProfileOsdEnabled());
                                             }) && ok;
                }
                if (HasBits(mask, kGroupDpi) && IsIdInList(d, kCapDpi))
                    ok = WriteGroupIfChanged(snapshot, id, kGroupDpi, DpiValues(config, profile),
                                             [&] { return WriteDpi(engine.Get(), config, profile); }) && ok;
                if (HasBits(mask, kGroupButtons) && IsIdInList(d, kCapButtons))
                    ok = WriteMouseAssignments(engine.Get(), config, profile, ctx.supported, references, snapshot, id) && ok;
                if (HasBits(mask, kGroupLighting) && IsIdInList(d, kCapLighting))
                    ok = WriteLightingZones(engine.Get(), config, profile, snapshot, id, kGroupLighting) && ok;
            }
        }
    }
    if (HasBits(mask, kGroupAcceleration) && IsIdInList(d, kCapAcceleration))
        ok = WriteGroupIfChanged(snapshot, device, kGroupAcceleration, AccelerationValues(config),
                                 [&] { return WriteAcceleration(connection, config); }) && ok;
    if (HasBits(mask, kGroupRate) && IsIdInList(d, kCapRate))
        ok = WriteGroupIfChanged(snapshot, device, kGroupRate, RateValues(config), [&] { return WriteRate(connection, config); }) && ok;
    if (HasBits(mask, kGroupMacros) && IsIdInList(d, kCapMacros)) {
        IVtMacroStore* store = references.Macros();
        ok = store && DeleteMacrosNotInModel(store, config) && ok;
        ok = store && WriteMacros(config, store) && ok;
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

bool ReadMouseProfilesJob(EngineConnection& connection, IMouseConfig* config, const MouseJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    const uint32_t mask = ctx.mask;
    bool ok = true;
    GroupSnapshot* snapshot = ctx.snapshot;
    const GUID device{};
    if (!(IsIdInList(d, kCapProfiles) && HasBits(mask, kGroupProfileBits))) AlignSnapshot(snapshot, nullptr);
    if (IsIdInList(d, kCapProfiles) && HasBits(mask, kGroupProfileBits)) {
        const bool linkRead = HasBits(mask, kGroupProgramLink) && IsIdInList(d, kCapProgramLink);
        ComPtr<IVtProfileManager> manager;
        ok = connection.ProfileManager(manager) &&
             ReadModelProfiles(manager.Get(), config, linkRead, [&](const EngineProfileEntry& e, IMouseProfile* profile) {
                 IVtProfile* engine = e.engine.Get();
                 bool read = true;
                 GroupSnapshot::Bytes held;
                 if (linkRead) {
                     ProfileLinkRead link = ReadProfileLink(engine, &e, true);
                     if (link.hasName) profile->SetName(link.name.c_str());
                     if (link.hasPath) profile->SetFileName(link.path.c_str());
                     if (link.hasAutoSwitch) profile->SetProfileFlag(link.autoSwitch);
                     if (link.hasOsdFlags) {
                         profile->SetDpiOsdEnabled(link.dpiOsd);
                         profile->SetProfileOsdEnabled(link.profileOsd);
                     }
                     const bool whole = LinkValuesRead(link, held);
                     NoteGroupRead(snapshot, e.id, kGroupProgramLink, whole, std::move(held));
                 }
                 if (HasBits(mask, kGroupDpi) && IsIdInList(d, kCapDpi)) {
                     const bool r = ReadDpi(engine, config, profile, &held);
                     NoteGroupRead(snapshot, e.id, kGroupDpi, r, std::move(held));
                     read = r && read;
                 }
                 if (HasBits(mask, kGroupButtons) && IsIdInList(d, kCapButtons))
                     read = ReadAndNoteGroup(snapshot, e.id, kGroupButtons, [&](GroupSnapshot::Bytes* values) {
                         return ReadButtonAssignments(engine, config, profile, ctx.supported.size(), values);
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
    if (HasBits(mask, kGroupAcceleration) && IsIdInList(d, kCapAcceleration)) {
        GroupSnapshot::Bytes held;
        const bool r = ReadAcceleration(connection, config, &held);
        NoteGroupRead(snapshot, device, kGroupAcceleration, r, std::move(held));
        ok = r && ok;
    }
    if (HasBits(mask, kGroupRate) && IsIdInList(d, kCapRate)) {
        GroupSnapshot::Bytes held;
        const bool r = ReadRate(connection, config, &held);
        NoteGroupRead(snapshot, device, kGroupRate, r, std::move(held));
        ok = r && ok;
    }
    if (HasBits(mask, kGroupMacros) && IsIdInList(d, kCapMacros)) {
        ComPtr<IVtMacroStore> store;
        ok = connection.Feature(IID_IVtMacroStore, store) && ReadMacros(config, store.Get()) && ok;
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

std::unique_ptr<MouseWriteCopy> CopyMouseConfig(IMouseConfig* live, const std::vector<uint32_t>& supported) {
    auto copy = std::make_unique<MouseWriteCopy>();
    copy->config = std::make_unique<CDmConfig_Mouse>();
    CDmConfig_Mouse* c = copy->config.get();
    // Mouse-wide values first (the acceleration is clamped to its range).
    c->SetAccelerationRange(live->GetAccelerationMin(), live->GetAccelerationMax());
    std::vector<uint32_t> rates;
    for (int32_t i = 0; i < live->GetRateCount(); ++i) rates.push_back(live->GetRateAt(uint32_t(i)));
    c->SetRateList(rates);
    c->SetRateIndex(live->GetRateIndex(nullptr), nullptr);
    c->SetAcceleration(live->GetAcceleration(nullptr), nullptr);
    c->SetAccelerationEnabled(live->GetAccelerationEnabled(nullptr), nullptr);
    IMouseProfile* current = live->GetCurrentProfile();
    for (int32_t i = 0; i < live->GetProfileCount(); ++i) {
        IMouseProfile* p = live->GetProfileAt(uint32_t(i));
        IMouseProfile* q = c->AddProfileCopy(p);
        if (!q) continue;
        copy->liveProfiles.push_back(p);
        if (p == current) c->SetCurrentProfile(q);
        std::vector<std::pair<int32_t, AssignmentRecord>> buttons;
        for (uint32_t bit : supported) {
            int32_t button = CodeTables().ButtonForBit(bit);
            buttons.emplace_back(button, ButtonRecord(live, button, p));
        }
        copy->buttonsBefore.push_back(std::move(buttons));
    }
    CopyDeviceWideLists(live, c, copy->liveMacros, copy->liveApps);
    return copy;
}

void MergeMouseWriteBack(IMouseConfig* live, const MouseWriteCopy& copy, const std::vector<uint32_t>& supported) {
    CDmConfig_Mouse* c = copy.config.get();
    std::function<IMouseProfile*(uint32_t)> profileAt = [&](uint32_t i) { return live->GetProfileAt(i); };
    for (size_t i = 0; i < copy.liveProfiles.size(); ++i) {
        IMouseProfile* target = copy.liveProfiles[i];
        IMouseProfile* written = c->GetProfileAt(uint32_t(i));
        if (!written || !IsListed(target, live->GetProfileCount(), profileAt)) continue;
        GUID liveId{}, newId{};
        target->GetId(&liveId);
        written->GetId(&newId);
        if (IsNullGuid(liveId) && !IsNullGuid(newId)) target->SetId(newId);
        // Converted assignments (a profile, macro or program by name turned into its id).
        size_t k = 0;
        for (uint32_t bit : supported) {
            (void)bit;
            if (i >= copy.buttonsBefore.size() || k >= copy.buttonsBefore[i].size()) break;
            const auto& [button, before] = copy.buttonsBefore[i][k++];
            AssignmentRecord after = ButtonRecord(c, button, written);
            if (AssignmentsEqual(after, before)) continue;
            if (AssignmentsEqual(ButtonRecord(live, button, target), before))
                live->SetButtonAssignment(button, after, target);
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
