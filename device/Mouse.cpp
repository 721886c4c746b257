#include "device/Mouse.h"
#include "device/LightingZones.h"

namespace vt::device {

CMouse::CMouse(const DeviceDescription* description) : CBaseDevice(description) {}

CMouse::~CMouse() = default;

bool CMouse::Open(IMouseConfig* config) {
    const DeviceDescription* d = Description();
    // Each profile's DPI limits are read with its stages, by the read that follows.
    return BaseOpen(
        config, [](const EngineProfileEntry&, IMouseProfile*) { return true; },
        [&](EngineConnection& connection, const EngineProfileList& list) {
            bool ok = true;
            if (IsIdInList(d, kCapProfiles) && IsIdInList(d, kCapButtons)) {
                ComPtr<IVtProfile> active = ActiveEngineProfile(connection, list);
                ok = active && ReadButtonMask(active.Get(), m_supported);
            }
            if (IsIdInList(d, kCapAcceleration)) config->SetAccelerationRange(1, 10);
            if (IsIdInList(d, kCapRate)) ok = ReadMouseRateList(connection, config) && ok;
            return ok;
        });
}

bool CMouse::ImportProfile(const wchar_t* path, IMouseConfig* config) {
    if (!path || !config || !HasCapability(kCapProfiles)) return false;
    return RunDeviceJob([&](EngineConnection& c) {
        ComPtr<IVtProfileManager> manager;
        ComPtr<IVtProfile> engine;
        if (!c.ProfileManager(manager) || !ImportEngineProfile(manager.Get(), path, engine)) return false;
        std::wstring name;
        GUID id{};
        if (!GetEngineProfileName(engine.Get(), name) || !GetEngineProfileId(engine.Get(), id)) return false;
        IMouseProfile* profile = config->CreateProfile(name.c_str());
        if (!profile) return false;
        profile->SetId(id);
        const DeviceDescription* d = Description();
        bool ok = true;
        if (ok && IsIdInList(d, kCapDpi)) ok = ReadDpiLimits(engine.Get(), config, profile) &&
                                              ReadDpi(engine.Get(), config, profile);
        if (ok && IsIdInList(d, kCapProgramLink)) {
            ProfileLinkRead link = ReadProfileLink(engine.Get());
            if (link.hasPath) profile->SetFileName(link.path.c_str());
            if (link.hasAutoSwitch) profile->SetProfileFlag(link.autoSwitch);
            if (link.hasOsdFlags) {
                profile->SetDpiOsdEnabled(link.dpiOsd);
                profile->SetProfileOsdEnabled(link.profileOsd);
            }
        }
        if (ok && IsIdInList(d, kCapButtons))
            ok = ReadButtonAssignments(engine.Get(), config, profile, m_supported.size());
        if (ok && IsIdInList(d, kCapLighting)) ok = ReadLightingZones(engine.Get(), config, profile);
        return ok;
    });
}

bool CMouse::TransferProfiles(IMouseConfig* config, int32_t mode, uint32_t mask) {
    if (!config) return false;
    MouseJobContext context;
    context.description = Description();
    context.supported = m_supported;
    if (mode == 1) {
        context.mask = mask;
        uint32_t learnt = 0;
        const bool ok = RunDeviceJob([&](EngineConnection& c) {
            // Taken once connected: the connection finishes an ended write job, whose snapshot
            // replaces this object's.
            context.snapshot = &Snapshot();
            context.keyEntries = KeyEntryJob{KnownKeyEntries(), &learnt};
            return ReadMouseProfilesJob(c, config, context);
        });
        LearnKeyEntries(learnt);
        return ok;
    }
    if (mode != 0) return false;
    if (IsBusy()) return false;
    context.mask = mask & 0xFFFF;
    context.keyEntries = KeyEntryJob{KnownKeyEntries(), nullptr};
    // The job writes from its own copy of the model and of the snapshot; what it learns goes back
    // once it ended.
    std::shared_ptr<MouseWriteCopy> copy = CopyMouseConfig(config, m_supported);
    std::shared_ptr<GroupSnapshot> snapshot = SnapshotCopy();
    context.snapshot = snapshot.get();
    context.keep = copy;
    std::vector<uint32_t> supported = m_supported;
    const bool started = StartDeviceWorker(
        [copy, context, snapshot](EngineConnection& c) { return WriteMouseProfilesJob(c, copy->config.get(), context); },
        [this, copy, config, supported, snapshot](bool) {
            MergeMouseWriteBack(config, *copy, supported);
            KeepSnapshot(snapshot);
        });
    return started;
}

} // namespace vt::device
