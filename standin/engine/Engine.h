#pragma once
// The engine core: the state of the three devices behind one lock, persistence after every
// change, event fan-out to advised sinks, test control (presence, presses, macro recording,
// fault injection, call log). COM objects (DeviceManager.cpp and the files it leads to) are
// thin views on it.
#include <windows.h>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "State.h"
#include "VtEngine.h"

namespace vt::engine {

// The lock of the engine's hot paths (every call takes it): a slim reader/writer lock, whose
// waits never leave the process, unlike a mutex of the threads library.
class SlimLock {
public:
    void lock() { AcquireSRWLockExclusive(&m_lock); }
    void unlock() { ReleaseSRWLockExclusive(&m_lock); }
    bool try_lock() { return TryAcquireSRWLockExclusive(&m_lock) != 0; }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
};

// Event sources: sinks belong to the item (device, profile), not to the COM object.
enum class Source : int { ProfileManager = 0, Dpi = 1, Launcher = 2, Recorder = 3 };

struct SourceKey {
    uint32_t pid = 0;
    Source source = Source::ProfileManager;
    GUID profile{};  // Dpi only
    bool operator<(const SourceKey& o) const {
        if (pid != o.pid) return pid < o.pid;
        if (source != o.source) return source < o.source;
        return memcmp(&profile, &o.profile, sizeof profile) < 0;
    }
};

enum class EventKind { ProfileChanged, DpiChanged, LaunchApp, RecordStart, RecordStop, RecordAssign, RecordCancel };

struct PendingEvent {
    SourceKey key;
    EventKind kind;
    uint32_t a = 0, b = 0;
    std::wstring path;
};

struct EngineOptions {
    std::wstring stateDir;       // empty: %VT_ENGINE_STATE_DIR% or the user's local application data
    bool persist = true;         // false: memory only (unit tests)
    bool notifyWindows = true;   // WM_DEVICECHANGE to the top-level windows of every desktop on plug and unplug
};

class Engine : public std::enable_shared_from_this<Engine> {
public:
    static std::shared_ptr<Engine> Create(const EngineOptions& options = {});
    ~Engine();

    // ---- Calls: every interface method enters here first (log, delay, injected failure). ----
    HRESULT Enter(const char* method, const std::wstring& args = {});

    // Runs f on the device under the lock. After a mutation that succeeded, the events f raised
    // are delivered, and the device's state file is rewritten (atomically) within a few
    // milliseconds: writes that follow each other closely share one file write.
    HRESULT Read(uint32_t pid, const std::function<HRESULT(const Device&)>& f);
    HRESULT Write(uint32_t pid, const std::function<HRESULT(Device&, std::vector<PendingEvent>&)>& f);

    // ---- Connection points ----
    HRESULT Advise(const SourceKey& key, REFIID iid, IUnknown* sink, DWORD* cookie);
    HRESULT Unadvise(const SourceKey& key, DWORD cookie);
    // Waits (bounded) until every queued event has been delivered. For tests.
    bool WaitEventsIdle(DWORD timeoutMs);

    // ---- Test control ----
    HRESULT SetPresent(uint32_t pid, bool present);
    HRESULT Press(uint32_t pid, uint32_t code);
    HRESULT RecordAction(uint32_t action, uint32_t code);
    HRESULT Reset();
    HRESULT FailCall(const std::wstring& method, uint32_t nth, HRESULT hr);
    HRESULT DelayCall(const std::wstring& method, uint32_t ms);
    std::string Dump();
    HRESULT SetDeviceValue(uint32_t pid, const std::wstring& name, uint32_t value);
    HRESULT SetEnumOrder(const std::vector<uint32_t>& pids);
    std::wstring CallLog(bool clear);
    uint32_t SinkCount();
    HRESULT ReloadState();
    // The server's handler of IVtSimControl::Shutdown; none when hosted in-process.
    std::function<void()> onShutdown;
    // Product ids EnumDevices lists, in order.
    std::vector<uint32_t> EnumList();

    // Writes every pending change to the state files now.
    void Flush();

    const std::wstring& StateDir() const { return m_dir; }
    std::wstring StateFile(int kind) const;
    // Messages of the engine's own log (state-file trouble), newest last.
    std::vector<std::wstring> LogLines();

    // Live COM objects of the engine, and the last moment (GetTickCount64) an object was made or
    // released or a call entered: a server ends only when none are alive and none came for a while,
    // however short-lived the objects of its clients are.
    static std::atomic<long> s_objects;
    static std::atomic<uint64_t> s_lastActivity;
    static void NoteActivity() { s_lastActivity = GetTickCount64(); }

private:
    explicit Engine(const EngineOptions& o);
    void LoadAll();
    void LoadKind(int kind);
    void MarkDirty(int kind);
    void PersistLoop();
    void Post(std::vector<PendingEvent>& events);
    void DispatchLoop();
    void Deliver(const PendingEvent& e);
    void NotifyPresence(uint32_t pid, bool arrived);
    void Log(const std::wstring& line);
    DWORD DelayFor(const std::string& method);
    Device* Find(uint32_t pid);

    EngineOptions m_opt;
    std::wstring m_dir;
    SlimLock m_lock;  // the state
    std::array<Device, 3> m_dev;
    std::vector<uint32_t> m_enumOrder;
    uint32_t m_recordPhase = 0;  // 0 idle, 1 recording, 2 stopped (awaiting the target key)

    // Persistence: a writer thread snapshots dirty devices and replaces their files, outside
    // the state lock; m_fileLock keeps file writes in order.
    std::mutex m_fileLock;
    std::mutex m_persistLock;
    std::condition_variable m_persistCv;
    std::array<bool, 3> m_dirty{};
    uint64_t m_changes = 0;  // changes marked so far
    bool m_persistStop = false;
    std::thread m_persister;

    // Faults and the call log.
    SlimLock m_faultLock;
    struct Failure { uint32_t nth; HRESULT hr; };
    std::map<std::string, Failure> m_failures;
    std::map<std::string, DWORD> m_delays;
    std::deque<std::wstring> m_callLog;
    std::vector<std::wstring> m_log;

    // Sinks and the dispatcher.
    struct SinkEntry {
        DWORD cookie;
        IUnknown* sink;      // the event interface, one reference
        int inflight = 0;
        bool removed = false;
        DWORD deliveringThread = 0;
    };
    std::mutex m_sinkLock;
    std::condition_variable m_sinkCv;
    std::map<SourceKey, std::vector<std::shared_ptr<SinkEntry>>> m_sinks;
    DWORD m_nextCookie = 1;
    std::deque<PendingEvent> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::condition_variable m_queueCv;
    std::thread m_dispatcher;
};

// Creates the engine's device manager object on an engine (in-process hosting and the server;
// DeviceManager.cpp).
HRESULT CreateDeviceManager(const std::shared_ptr<Engine>& engine, REFIID riid, void** ppv);

// Text of a wide string for logs.
std::wstring Hex(uint32_t v);

}  // namespace vt::engine
