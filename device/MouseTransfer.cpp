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
    // A new capacity starts the profile's stage table afresh, so the same one is not set again.
    if (SUCCEEDED(dpi->GetStageCapacity(&minStages, &maxStages)) && maxStages &&
        maxStages != config->GetMaxDpiStageCount(profile))
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
    const bool converted = ConvertMouseReferences(config, profile, supported, references);
    return WriteMouseAssignmentRecords(engine, config, profile, supported, snapshot, owner) && converted;
}

bool ConvertMouseReferences(IMouseConfig* config, IMouseProfile* profile, const std::vector<uint32_t>& supported,
                            ReferenceContext& references) {
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
    return ok;
}

bool WriteMouseAssignmentRecords(IVtProfile* engine, IMouseConfig* config, IMouseProfile* profile,
                                 const std::vector<uint32_t>& supported, GroupSnapshot* snapshot, const GUID& owner) {
    const DeviceCodeTables& tables = CodeTables();
    std::vector<EngineActionRecord> records;
    for (uint32_t bit : supported) {
        int32_t button = tables.ButtonForBit(bit);
        records.push_back(AssignmentToEngine(ButtonRecord(config, button, profile), tables.IndexForButton(button)));
    }
    return WriteGroupIfChanged(snapshot, owner, kGroupButtons, RecordValues(records), [&] {
        ComPtr<IVtButtonAssignments> buttons;
        return ProfileFeature(engine, IID_IVtButtonAssignments, buttons) && SetEngineRecords(buttons.Get(), records);
    });
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

void MergeReadMouseProfile(IMouseConfig* from, IMouseProfile* read, IMouseConfig* to, IMouseProfile* profile,
                           const std::vector<uint32_t>& supported) {
    // Only what differs is set: the copy started as the profile itself.
    MergeReadLink(read, profile);
    if (read->GetDpiOsdEnabled() != profile->GetDpiOsdEnabled()) profile->SetDpiOsdEnabled(read->GetDpiOsdEnabled());
    // The limits first: a new stage capacity starts the stage table afresh.
    if (from->GetMaxDpiStageCount(read) != to->GetMaxDpiStageCount(profile))
        to->SetMaxDpiStageCount(from->GetMaxDpiStageCount(read), profile);
    int32_t range[2][3] = {};
    from->GetDpiRange(&range[0][0], &range[0][1], &range[0][2], read);
    to->GetDpiRange(&range[1][0], &range[1][1], &range[1][2], profile);
    if (std::memcmp(range[0], range[1], sizeof range[0]) != 0) to->SetDpiRange(range[0][0], range[0][1], range[0][2], profile);
    const uint32_t stages = from->GetDpiStageCount(read);
    if (stages != to->GetDpiStageCount(profile)) to->SetDpiStageCount(stages, profile);
    for (uint32_t s = 1; s <= stages; ++s) {
        if (from->GetDpiStageSeparateXY(s, read) != to->GetDpiStageSeparateXY(s, profile))
            to->SetDpiStageSeparateXY(s, from->GetDpiStageSeparateXY(s, read), profile);
        if (from->GetDpiStageValue(s, read) != to->GetDpiStageValue(s, profile))
            to->SetDpiStageValue(s, from->GetDpiStageValue(s, read), profile);
        if (from->GetDpiStageValueX(s, read) != to->GetDpiStageValueX(s, profile))
            to->SetDpiStageValueX(s, from->GetDpiStageValueX(s, read), profile);
        if (from->GetDpiStageValueY(s, read) != to->GetDpiStageValueY(s, profile))
            to->SetDpiStageValueY(s, from->GetDpiStageValueY(s, read), profile);
    }
    if (from->GetActiveDpiStage(read) != to->GetActiveDpiStage(profile))
        to->SetActiveDpiStage(from->GetActiveDpiStage(read), profile);
    if (from->GetSeparateXY(read) != to->GetSeparateXY(profile)) to->SetSeparateXY(from->GetSeparateXY(read), profile);
    if (from->GetDpiX(read) != to->GetDpiX(profile)) to->SetDpiX(from->GetDpiX(read), profile);
    if (from->GetDpiY(read) != to->GetDpiY(profile)) to->SetDpiY(from->GetDpiY(read), profile);
    if (from->GetDpi(read) != to->GetDpi(profile)) to->SetDpi(from->GetDpi(read), profile);
    for (uint32_t bit : supported) {
        const int32_t button = CodeTables().ButtonForBit(bit);
        const AssignmentRecord r = ButtonRecord(from, button, read);
        if (!AssignmentsEqual(r, ButtonRecord(to, button, profile))) to->SetButtonAssignment(button, r, profile);
    }
    MergeReadLighting(from, read, to, profile);
}

bool WriteMouseProfilesJob(EngineConnection& connection, IMouseConfig* config, const MouseJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    auto wanted = [&](uint32_t group, int32_t capability) { return HasBits(ctx.mask, group) && IsIdInList(d, capability); };
    const bool profilePass = IsIdInList(d, kCapProfiles) && HasBits(ctx.mask, kGroupProfileBits);
    GroupSnapshot* snapshot = ctx.snapshot;
    const GUID device{};
    ReferenceContext references(connection);
    ComPtr<IVtProfileManager> manager;
    bool ok = true;
    if (!profilePass) AlignSnapshot(snapshot, nullptr);
    else
        ok = WriteProfilePass(
            connection, config, snapshot, manager,
            [&](IVtProfile* engine, IMouseProfile* profile, const GUID& id, ProfileGroupWrite& write) {
                const bool link = wanted(kGroupProgramLink, kCapProgramLink), dpi = wanted(kGroupDpi, kCapDpi),
                           buttons = wanted(kGroupButtons, kCapButtons), lighting = wanted(kGroupLighting, kCapLighting);
                // Here, on the job's thread: the names its batch keeps, the objects it makes.
                const wchar_t* name = link ? LinkNameToWrite(manager.Get(), profile) : nullptr;
                const bool nameToWrite = name != nullptr;
                const std::wstring newName = name ? name : L"";
                const bool converted = !buttons || ConvertMouseReferences(config, profile, ctx.supported, references);
                ComPtr<IVtProfile> held(engine);
                const std::vector<uint32_t> supported = ctx.supported;
                write = [=](GroupSnapshot* part) {
                    IVtProfile* e = held.Get();
                    bool written = true;
                    if (link) {
                        const wchar_t* path = profile->GetFileName();
                        written = WriteGroupIfChanged(part, id, kGroupProgramLink,
                                                      LinkValues(profile->GetName() ? profile->GetName() : L"", path ? path : L"",
                                                                 profile->GetProfileFlag(), profile->GetDpiOsdEnabled(),
                                                                 profile->GetProfileOsdEnabled()),
                                                      [&] {
                                                          return WriteProfileLink(e, nameToWrite ? newName.c_str() : nullptr, path,
                                                                                  profile->GetProfileFlag(),
                                                                                  profile->GetDpiOsdEnabled(),
                                                                                  profile->GetProfileOsdEnabled());
                                                      }) && written;
                    }
                    if (dpi)
                        written = WriteGroupIfChanged(part, id, kGroupDpi, DpiValues(config, profile),
                                                      [&] { return WriteDpi(e, config, profile); }) && written;
                    if (buttons) written = WriteMouseAssignmentRecords(e, config, profile, supported, part, id) && written;
                    if (lighting) written = WriteLightingZones(e, config, profile, part, id, kGroupLighting) && written;
                    return written;
                };
                return converted;
            },
            ctx.keep);
    if (wanted(kGroupAcceleration, kCapAcceleration))
        ok = WriteGroupIfChanged(snapshot, device, kGroupAcceleration, AccelerationValues(config),
                                 [&] { return WriteAcceleration(connection, config); }) && ok;
    if (wanted(kGroupRate, kCapRate))
        ok = WriteGroupIfChanged(snapshot, device, kGroupRate, RateValues(config), [&] { return WriteRate(connection, config); }) && ok;
    if (wanted(kGroupMacros, kCapMacros)) ok = WriteMacroList(references, config) && ok;
    if (wanted(kGroupEntries, kCapEntries)) ok = WriteEntryLists(connection, config, snapshot, ctx.keyEntries) && ok;
    if (profilePass) ok = ActivateCurrentProfile(manager.Get(), config) && ok;
    if (!ok) ForgetSnapshotIfEngineLost(snapshot, connection);
    return ok;
}

bool ReadMouseProfilesJob(EngineConnection& connection, IMouseConfig* config, const MouseJobContext& ctx) {
    if (!connection.IsOpen() || !config) return false;
    const DeviceDescription* d = ctx.description;
    auto wanted = [&](uint32_t group, int32_t capability) { return HasBits(ctx.mask, group) && IsIdInList(d, capability); };
    GroupSnapshot* snapshot = ctx.snapshot;
    const GUID device{};
    bool ok = true;
    if (!(IsIdInList(d, kCapProfiles) && HasBits(ctx.mask, kGroupProfileBits))) {
        AlignSnapshot(snapshot, nullptr);
    } else {
        const bool linkRead = wanted(kGroupProgramLink, kCapProgramLink), dpi = wanted(kGroupDpi, kCapDpi),
                   buttons = wanted(kGroupButtons, kCapButtons), lighting = wanted(kGroupLighting, kCapLighting);
        const size_t count = ctx.supported.size();
        auto each = [=](const EngineProfileEntry& e, IMouseConfig* config, IMouseProfile* profile, GroupSnapshot* snapshot) {
            IVtProfile* engine = e.engine.Get();
            bool read = true;
            if (linkRead) {
                ProfileLinkRead link = ReadProfileLink(engine, &e, true);
                if (link.hasName) profile->SetName(link.name.c_str());
                if (link.hasPath) profile->SetFileName(link.path.c_str());
                if (link.hasAutoSwitch) profile->SetProfileFlag(link.autoSwitch);
                if (link.hasOsdFlags) {
                    profile->SetDpiOsdEnabled(link.dpiOsd);
                    profile->SetProfileOsdEnabled(link.profileOsd);
                }
                GroupSnapshot::Bytes held;
                const bool whole = LinkValuesRead(link, held);
                NoteGroupRead(snapshot, e.id, kGroupProgramLink, whole, std::move(held));
            }
            if (dpi)
                read = ReadAndNoteGroup(snapshot, e.id, kGroupDpi, [&](GroupSnapshot::Bytes* values) {
                    // The profile's limits come with its stages (the stage count is held within them).
                    const bool limits = ReadDpiLimits(engine, config, profile);
                    return ReadDpi(engine, config, profile, values) && limits;
                }) && read;
            if (buttons)
                read = ReadAndNoteGroup(snapshot, e.id, kGroupButtons, [&](GroupSnapshot::Bytes* values) {
                    return ReadButtonAssignments(engine, config, profile, count, values);
                }) && read;
            if (lighting)
                read = ReadAndNoteGroup(snapshot, e.id, kGroupLighting, [&](GroupSnapshot::Bytes* values) {
                    return ReadLightingZones(engine, config, profile, values);
                }) && read;
            return read;
        };
        ok = ReadProfilePass<CDmConfig_Mouse>(connection, d ? d->productId : 0, config, snapshot, linkRead, each,
                                              [&](IMouseConfig* from, IMouseProfile* read, IMouseConfig* to, IMouseProfile* profile) {
                                                  MergeReadMouseProfile(from, read, to, profile, ctx.supported);
                                              });
    }
    if (wanted(kGroupAcceleration, kCapAcceleration))
        ok = ReadAndNoteGroup(snapshot, device, kGroupAcceleration, [&](GroupSnapshot::Bytes* values) {
            return ReadAcceleration(connection, config, values);
        }) && ok;
    if (wanted(kGroupRate, kCapRate))
        ok = ReadAndNoteGroup(snapshot, device, kGroupRate, [&](GroupSnapshot::Bytes* values) {
            return ReadRate(connection, config, values);
        }) && ok;
    if (wanted(kGroupMacros, kCapMacros)) ok = ReadMacroList(connection, config) && ok;
    if (wanted(kGroupEntries, kCapEntries)) ok = ReadEntryLists(connection, config, snapshot, ctx.keyEntries) && ok;
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
    for (size_t i = 0; i < copy.liveProfiles.size(); ++i) {
        IMouseProfile* target = copy.liveProfiles[i];
        IMouseProfile* written = c->GetProfileAt(uint32_t(i));
        if (!MergeProfileId(live, target, written)) continue;
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
    MergeDeviceWideIds(live, c, copy.liveMacros, copy.liveApps);
}

} // namespace vt::device
