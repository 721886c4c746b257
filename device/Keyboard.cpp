#include "device/Keyboard.h"

#include "device/CodeTables.h"
#include "device/LightingZones.h"
#include "device/ProfileSync.h"

namespace vt::device {

CKeyboard::CKeyboard(const DeviceDescription* description) : CBaseDevice(description) {}

CKeyboard::~CKeyboard() = default;

bool CKeyboard::Open(IKeyboardConfig* config) {
    const DeviceDescription* d = Description();
    return BaseOpen(
        config, [](const EngineProfileEntry&, IKeyboardProfile*) { return true; },
        [&](EngineConnection& connection, const EngineProfileList& list) {
            if (!IsIdInList(d, kCapProfiles)) return true;
            if (!list.Active()) return false;
            if (!IsIdInList(d, kCapAssignTable)) return true;
            ComPtr<IVtProfile> active = ActiveEngineProfile(connection, list);
            return active && ReadAssignmentKeyList(active.Get(), m_keyList);
        });
}

bool CKeyboard::ImportProfile(const wchar_t* path, IKeyboardConfig* config) {
    if (!path || !config || !HasCapability(kCapProfiles)) return false;
    const std::vector<uint32_t> keys = m_keyList;
    return RunDeviceJob([&](EngineConnection& c) {
        ComPtr<IVtProfileManager> manager;
        ComPtr<IVtProfile> engine;
        if (!c.ProfileManager(manager) || !ImportEngineProfile(manager.Get(), path, engine)) return false;
        std::wstring name;
        GUID id{};
        if (!GetEngineProfileName(engine.Get(), name) || !GetEngineProfileId(engine.Get(), id)) return false;
        IKeyboardProfile* profile = config->CreateProfile(name.c_str());
        if (!profile) return false;
        profile->SetId(id);
        const DeviceDescription* d = Description();
        bool ok = true;
        if (ok && IsIdInList(d, kCapProgramLink)) ok = ReadKeyboardLink(engine.Get(), profile);
        if (ok && IsIdInList(d, kCapAssignTable)) ok = ReadKeyboardAssignments(engine.Get(), config, profile, keys.size());
        if (ok && IsIdInList(d, kCapLighting)) ok = ReadLightingZones(engine.Get(), config, profile);
        return ok;
    });
}

bool CKeyboard::SelectMode(ULONG mode) {
    return RunDeviceJob([&](EngineConnection& c) {
        ComPtr<IVtKeyboardMode> modes;
        return c.Feature(IID_IVtKeyboardMode, modes) && SUCCEEDED(modes->SetMode(mode));
    });
}

bool CKeyboard::QueryKeyboardValue(ULONG* value) {
    if (!value) return false;
    return RunDeviceJob([&](EngineConnection& c) {
        ComPtr<IVtKeyboardInfo> info;
        if (!c.Device() || FAILED(c.Device()->QueryInterface(IID_IVtKeyboardInfo, info.PutVoid())) || !info) return false;
        ULONG layout = 0;
        if (FAILED(info->GetLayout(&layout))) return false;
        *value = layout;
        return true;
    });
}

bool CKeyboard::TransferProfiles(IKeyboardConfig* config, int32_t mode, uint32_t mask) {
    if (!config) return false;
    KeyboardJobContext context;
    context.description = Description();
    context.keys = m_keyList;
    context.mask = mask;
    if (mode == 1) {
        uint32_t learnt = 0;
        const bool ok = RunDeviceJob([&](EngineConnection& c) {
            context.snapshot = &Snapshot();  // once connected (see DeviceCore::Snapshot)
            context.keyEntries = KeyEntryJob{KnownKeyEntries(), &learnt};
            return ReadKeyboardProfilesJob(c, config, context);
        });
        LearnKeyEntries(learnt);
        return ok;
    }
    if (mode != 0) return false;
    if (IsBusy()) return false;
    context.keyEntries = KeyEntryJob{KnownKeyEntries(), nullptr};
    // The job writes from its own copy of the model and of the snapshot; what it learns goes back
    // once it ended.
    std::shared_ptr<KeyboardWriteCopy> copy = CopyKeyboardConfig(config, m_keyList);
    std::shared_ptr<GroupSnapshot> snapshot = SnapshotCopy();
    context.snapshot = snapshot.get();
    context.keep = copy;
    return StartDeviceWorker(
        [copy, context, snapshot](EngineConnection& c) { return WriteKeyboardProfilesJob(c, copy->config.get(), context); },
        [this, copy, config, snapshot](bool) {
            MergeKeyboardWriteBack(config, *copy);
            KeepSnapshot(snapshot);
        });
}

} // namespace vt::device
