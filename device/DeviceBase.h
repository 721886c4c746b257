#pragma once
// What the mouse and keyboard device objects share: the device description, the connected flag,
// the version texts, the key list of the assignment table, and the one worker thread on which the
// device writes the model's profiles to the engine.
//
// Threads. Every synchronous operation runs on the caller's (user-interface) thread in a
// connection of its own. A write job runs on the worker thread, which initialises COM and opens
// its own connection; it works on a copy of what it writes, never on the live model. While the
// worker runs, every other operation of the device answers false without touching the worker's
// connection. The worker's end is observed on the user-interface thread (IsBusy, the next
// operation): the thread handle is closed there and the job's completion runs there, so results
// that go back into the model are written by the thread that owns it.
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "device/GroupSnapshot.h"
#include "device/ListTransfer.h"
#include "device/ProfileSync.h"
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vt::device {

class DeviceCore {
public:
    using Job = std::function<bool(EngineConnection&)>;
    // Runs on the user-interface thread once the worker has ended, with the job's answer (false
    // also when the worker could not connect).
    using Completion = std::function<void(bool result)>;

    // Result of the last write job.
    enum : int { kWriteNone = -1, kWriteFailed = 0, kWriteSucceeded = 1 };

    explicit DeviceCore(const DeviceDescription* description);
    virtual ~DeviceCore();
    DeviceCore(const DeviceCore&) = delete;
    DeviceCore& operator=(const DeviceCore&) = delete;

    const DeviceDescription* Description() const { return m_description; }
    uint32_t ProductId() const { return m_description ? m_description->productId : 0; }
    bool HasCapability(int32_t id) const { return IsIdInList(m_description, id); }

    // Opens `connection` on this thread and records the answer as the connected flag. Refused
    // (false, nothing touched) while the worker runs.
    bool ConnectToEngine(EngineConnection& connection);
    // Connect, run the job, disconnect; false when the connection failed.
    bool RunDeviceJob(const Job& job);
    // Starts the write job on the worker thread. Refused while a worker runs, and when the engine
    // or the device cannot be reached from this thread.
    bool StartDeviceWorker(Job job, Completion done = {});
    // True while the worker runs; finishes a worker that has ended.
    bool IsBusy();
    bool IsConnected() const { return m_connected.load(); }
    // kWriteNone before any write job has ended, else whether the last one succeeded.
    int LastWriteResult() const { return m_lastWrite; }
    // How far the last connection of an operation (or of the last write job) got: a device whose
    // operation failed with the engine reached and listing it is still there.
    EngineReach LastReach() const { return m_lastReach.load(); }
    // Waits up to `ms` for the worker and finishes it when it ended; true when no worker is left.
    bool WaitForWorker(DWORD ms);

    const std::wstring& FirmwareText() const { return m_firmware; }
    const std::wstring& DriverText() const { return m_driver; }
    const std::vector<uint32_t>& KeyList() const { return m_keyList; }

    // Disconnects (nothing stays open between operations), clears the connected flag and frees
    // the key list and the snapshot.
    virtual void ResetDevice();

    // What the engine holds of each setting group, as this device's jobs last wrote or read it. A
    // read job works on it directly (take it once connected: connecting finishes an ended write
    // job, whose copy then replaces it); a write job on a copy that replaces it once the job ended.
    GroupSnapshot& Snapshot() { return *m_snapshot; }
    std::shared_ptr<GroupSnapshot> SnapshotCopy() const { return std::make_shared<GroupSnapshot>(*m_snapshot); }
    void KeepSnapshot(std::shared_ptr<GroupSnapshot> snapshot) {
        if (snapshot) m_snapshot = std::move(snapshot);
    }

    // The configuration's key entries that hold what the engine holds (key bits, see
    // KeyEntryBit): read when something first needs them, and from then on by every read job;
    // a write job writes only these.
    uint32_t KnownKeyEntries() const { return m_keyEntries; }
    void LearnKeyEntries(uint32_t keys) { m_keyEntries |= keys; }

    // The pause after a write job and the longest wait for a running worker at teardown.
    static void SetWorkerTimings(DWORD pauseMs, DWORD teardownWaitMs);
    static DWORD WorkerPause();
    static DWORD TeardownWait();

protected:
    void SetConnected(bool on) { m_connected.store(on); }
    bool WorkerRunning();

    std::wstring m_firmware;
    std::wstring m_driver;
    std::vector<uint32_t> m_keyList;

private:
    struct WorkerState;
    static DWORD WINAPI WorkerProc(void* parameter);
    // Closes the handle of an ended worker and runs its completion.
    void FinishWorker();

    const DeviceDescription* m_description;
    std::atomic<bool> m_connected{false};
    std::atomic<EngineReach> m_lastReach{EngineReach::EngineUnreachable};
    std::shared_ptr<WorkerState> m_worker;
    std::shared_ptr<GroupSnapshot> m_snapshot = std::make_shared<GroupSnapshot>();
    HANDLE m_thread = nullptr;
    Completion m_done;
    uint32_t m_keyEntries = 0;
    int m_lastWrite = kWriteNone;
};

// The template base of the mouse and keyboard objects: the operations both kinds share, each in
// one engine connection of its own.
template <class ConfigT, class ProfileT, class Leaf>
class CBaseDevice : public DeviceCore {
public:
    using DeviceCore::DeviceCore;

    // A macro file read by the engine becomes a new model macro (its text is the path).
    bool BaseImportMacro(const wchar_t* path, ConfigT config) {
        if (!path || !config) return false;
        return RunDeviceJob([&](EngineConnection& c) {
            vt::win::ComPtr<IVtMacroStore> store;
            vt::win::ComPtr<IVtMacro> macro;
            if (!c.Feature(IID_IVtMacroStore, store) || FAILED(store->ImportMacro(path, macro.Put())) || !macro)
                return false;
            EngineMacroCopy copy;
            if (!ReadEngineMacro(macro.Get(), copy)) return false;
            CMacro* model = config->AddMacro(copy.name.c_str());
            if (!model) return false;
            model->SetMacroText(path);
            model->id = copy.id;
            EngineEventsToMacro(copy.events.data(), copy.events.size(), model->events);
            return true;
        });
    }
    bool BaseExportMacro(const wchar_t* path, CMacro* macro) {
        if (!path || !macro || IsNullGuid(macro->id)) return false;
        GUID id = macro->id;
        return RunDeviceJob([&](EngineConnection& c) {
            vt::win::ComPtr<IVtMacroStore> store;
            vt::win::ComPtr<IVtMacro> engine;
            if (!c.Feature(IID_IVtMacroStore, store) || FAILED(store->GetMacroById(id, engine.Put())) || !engine)
                return false;
            return SUCCEEDED(engine->Export(path));
        });
    }
    bool BaseHasEngineMacro(CMacro* macro) {
        if (!macro || IsNullGuid(macro->id)) return false;
        GUID id = macro->id;
        return RunDeviceJob([&](EngineConnection& c) {
            vt::win::ComPtr<IVtMacroStore> store;
            vt::win::ComPtr<IVtMacro> engine;
            return c.Feature(IID_IVtMacroStore, store) && SUCCEEDED(store->GetMacroById(id, engine.Put())) && engine;
        });
    }
    bool BaseExportProfile(const wchar_t* path, ProfileT profile) {
        if (!path || !profile) return false;
        GUID id{};
        profile->GetId(&id);
        return RunDeviceJob([&](EngineConnection& c) {
            vt::win::ComPtr<IVtProfileManager> manager;
            vt::win::ComPtr<IVtProfile> engine;
            if (!c.ProfileManager(manager) || !FindEngineProfile(manager.Get(), id, engine)) return false;
            return SUCCEEDED(engine->Export(path));
        });
    }
    bool BaseHasEngineProfile(ProfileT profile) {
        if (!profile) return false;
        GUID id{};
        profile->GetId(&id);
        return RunDeviceJob([&](EngineConnection& c) {
            vt::win::ComPtr<IVtProfileManager> manager;
            vt::win::ComPtr<IVtProfile> engine;
            return c.ProfileManager(manager) && FindEngineProfile(manager.Get(), id, engine);
        });
    }
    // Reads the configuration's key entries from the engine unless each of them holds what the
    // engine holds already (after an earlier read). Each key stands alone: the keys read are kept
    // even when another failed (the answer is then false). A write still running is waited for
    // (bounded).
    bool BaseReadKeyEntries(ConfigT config) {
        if (!config) return false;
        if (!HasCapability(kCapEntries)) return true;
        const uint32_t slots = KeyEntrySlots(config);
        if ((KnownKeyEntries() & slots) == slots) return true;
        if (!WaitForWorker(TeardownWait())) return false;
        return RunDeviceJob([&](EngineConnection& c) {
            uint32_t read = 0;
            GroupSnapshot::Bytes held;
            const bool ok = ReadKeyEntries(c.Device(), config, &read, &held);
            LearnKeyEntries(read);
            NoteGroupRead(&Snapshot(), GUID{}, kGroupKeyEntries, read != 0, std::move(held));
            return ok;
        });
    }
    // The open both kinds share, on one connection: the snapshot cleared (the model's profiles are
    // made afresh), the version texts, the model's profiles replaced by the engine's with
    // `each(entry, profile)` reading what the kind reads along with each, then `rest(connection,
    // list)` for the kind's own reads. False when any part failed.
    template <class Each, class Rest>
    bool BaseOpen(ConfigT config, Each&& each, Rest&& rest) {
        if (!config) return false;
        BuildCodeTables();
        EngineConnection connection;
        if (!ConnectToEngine(connection)) return false;
        Snapshot().Clear();
        bool ok = true;
        if (HasCapability(kCapVersions)) ok = ReadVersionTexts(connection.Device(), m_firmware, m_driver);
        EngineProfileList list;
        if (HasCapability(kCapProfiles)) {
            vt::win::ComPtr<IVtProfileManager> manager;
            // A long list is read side by side by the threads that read its profiles next.
            ok = connection.ProfileManager(manager) &&
                 ReplaceModelProfiles(manager.Get(), config, list, each, ProductId()) && ok;
        }
        ok = rest(connection, list) && ok;
        connection.Disconnect();
        return ok;
    }
    int32_t BaseGetProfileCount() {
        int32_t count = 0;
        RunDeviceJob([&](EngineConnection& c) {
            vt::win::ComPtr<IVtProfileManager> manager;
            if (c.ProfileManager(manager)) count = CountEngineProfiles(manager.Get());
            return true;
        });
        return count;
    }
};

} // namespace vt::device
