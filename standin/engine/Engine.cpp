#include "Engine.h"
#include <dbt.h>
#include <olectl.h>
#include <shlobj.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include "BinaryIo.h"

namespace vt::engine {

std::atomic<long> Engine::s_objects{0};
std::atomic<uint64_t> Engine::s_lastActivity{0};

namespace {

bool SinkIsGone(HRESULT hr) {
    switch (static_cast<uint32_t>(hr)) {
    case 0x80010108:  // RPC_E_DISCONNECTED
    case 0x800706BA:  // RPC_S_SERVER_UNAVAILABLE
    case 0x800706BE:  // RPC_S_CALL_FAILED
    case 0x800706BF:  // RPC_S_CALL_FAILED_DNE
    case 0x800401FD:  // CO_E_OBJNOTCONNECTED
    case 0x80010007:  // RPC_E_SERVER_DIED
    case 0x80010012:  // RPC_E_SERVER_DIED_DNE
        return true;
    default:
        return false;
    }
}

std::string Narrow(const std::wstring& s) {
    std::string o;
    for (wchar_t c : s) o += c < 0x80 ? char(c) : '?';
    return o;
}

// The top-level windows of every desktop of this window station: the system's device notices reach
// programs on any desktop. A thread without windows of its own may move to another desktop, so each
// desktop is listed from a short-lived thread (shared with it until both are done with the list).
std::vector<HWND> TopLevelWindowsOfEveryDesktop() {
    struct Walk {
        HDESK desktop;
        std::vector<HWND> windows;
        LONG refs = 2;
        void Release() {
            if (InterlockedDecrement(&refs) == 0) {
                CloseDesktop(desktop);
                delete this;
            }
        }
    };
    std::vector<std::wstring> names;
    EnumDesktopsW(GetProcessWindowStation(), [](LPWSTR name, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<std::wstring>*>(p)->push_back(name);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&names));
    std::vector<HWND> all;
    for (const auto& name : names) {
        HDESK desktop = OpenDesktopW(name.c_str(), 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
        if (!desktop) continue;
        auto* walk = new Walk{desktop};
        HANDLE thread = CreateThread(nullptr, 0, [](void* p) -> DWORD {
            auto* w = static_cast<Walk*>(p);
            if (SetThreadDesktop(w->desktop))
                EnumWindows([](HWND h, LPARAM l) -> BOOL {
                    reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
                    return TRUE;
                }, reinterpret_cast<LPARAM>(&w->windows));
            w->Release();
            return 0;
        }, walk, 0, nullptr);
        if (!thread) walk->Release();
        else {
            if (WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0)
                all.insert(all.end(), walk->windows.begin(), walk->windows.end());
            CloseHandle(thread);
        }
        walk->Release();
    }
    return all;
}

Profile* FindProfile(Device& d, const GUID& id) {
    for (Profile& p : d.profiles)
        if (p.id == id) return &p;
    return nullptr;
}

}  // namespace

std::wstring Hex(uint32_t v) {
    wchar_t b[16];
    swprintf(b, 16, L"0x%X", v);
    return b;
}

std::shared_ptr<Engine> Engine::Create(const EngineOptions& options) {
    std::shared_ptr<Engine> e(new Engine(options));
    e->LoadAll();
    e->m_dispatcher = std::thread([raw = e.get()] { raw->DispatchLoop(); });
    e->m_persister = std::thread([raw = e.get()] { raw->PersistLoop(); });
    return e;
}

Engine::Engine(const EngineOptions& o) : m_opt(o) {
    m_dir = o.stateDir;
    if (m_dir.empty()) {
        wchar_t buf[MAX_PATH * 2];
        DWORD n = GetEnvironmentVariableW(L"VT_ENGINE_STATE_DIR", buf, MAX_PATH * 2);
        if (n > 0 && n < MAX_PATH * 2) {
            m_dir = buf;
        } else if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, buf))) {
            m_dir = std::wstring(buf) + L"\\Velto\\DeviceEngine";
        } else {
            m_dir = L".";
        }
    }
    if (m_opt.persist) SHCreateDirectoryExW(nullptr, m_dir.c_str(), nullptr);
    for (int k = 0; k < 3; ++k) m_dev[k] = FactoryDevice(k);
}

Engine::~Engine() {
    {
        std::lock_guard<std::mutex> l(m_persistLock);
        m_persistStop = true;
    }
    m_persistCv.notify_all();
    if (m_persister.joinable()) m_persister.join();
    Flush();
    {
        std::lock_guard<std::mutex> l(m_sinkLock);
        m_stop = true;
    }
    m_queueCv.notify_all();
    if (m_dispatcher.joinable()) m_dispatcher.join();
    for (auto& [key, list] : m_sinks)
        for (auto& s : list)
            if (s->sink) s->sink->Release();
}

std::wstring Engine::StateFile(int kind) const {
    return m_dir + L"\\" + KindName(kind) + L".vtstate";
}

void Engine::Log(const std::wstring& line) {
    {
        std::lock_guard<SlimLock> l(m_faultLock);
        m_log.push_back(line);
    }
    OutputDebugStringW((L"VtEngine: " + line + L"\n").c_str());
    fwprintf(stderr, L"VtEngine: %ls\n", line.c_str());
}

std::vector<std::wstring> Engine::LogLines() {
    std::lock_guard<SlimLock> l(m_faultLock);
    return m_log;
}

void Engine::LoadAll() {
    for (int k = 0; k < 3; ++k) LoadKind(k);
}

// Missing file: factory defaults. Unreadable or corrupt file: kept aside under a new name,
// never overwritten, and the device starts from factory defaults. A value out of range in a good
// file: its default, logged (the file is rewritten with it).
void Engine::LoadKind(int kind) {
    Device d = FactoryDevice(kind);
    bool write = false;
    if (m_opt.persist) {
        std::wstring path = StateFile(kind);
        std::vector<uint8_t> bytes;
        std::vector<std::wstring> replaced;  // values out of range, loaded as their defaults
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            write = true;
        } else if (ReadFileBytes(path, 64 << 20, &bytes) && LoadDevice(bytes, kind, &d, &replaced)) {
            for (const std::wstring& r : replaced) Log(L"state file " + path + L": " + r);
            write = !replaced.empty();
        } else {
            d = FactoryDevice(kind);
            SYSTEMTIME t;
            GetLocalTime(&t);
            std::wstring aside;
            for (int n = 0; n < 1000; ++n) {
                wchar_t suffix[64];
                swprintf(suffix, 64, L".corrupt-%04d%02d%02d-%02d%02d%02d-%d", t.wYear, t.wMonth, t.wDay, t.wHour,
                         t.wMinute, t.wSecond, n);
                aside = path + suffix;
                if (MoveFileExW(path.c_str(), aside.c_str(), 0)) break;
                aside.clear();
                if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
            }
            if (aside.empty()) {
                Log(L"state file " + path + L" is unreadable and could not be moved aside; it is left alone");
                m_opt.persist = false;  // never overwrite it
            } else {
                Log(L"state file " + path + L" is corrupt; kept as " + aside + L"; starting from factory defaults");
                write = true;
            }
        }
    }
    {
        std::lock_guard<SlimLock> l(m_lock);
        bool present = m_dev[kind].present;
        m_dev[kind] = std::move(d);
        m_dev[kind].present = present;
        m_dev[kind].mode = 1;
    }
    if (write) MarkDirty(kind);
}

void Engine::MarkDirty(int kind) {
    if (!m_opt.persist) return;
    bool wasClean;
    {
        std::lock_guard<std::mutex> l(m_persistLock);
        wasClean = !m_dirty[0] && !m_dirty[1] && !m_dirty[2];
        m_dirty[kind] = true;
        ++m_changes;
    }
    // The writer is woken by the first change only; it looks for later ones itself.
    if (wasClean) m_persistCv.notify_all();
}

namespace {
constexpr auto kPersistPause = std::chrono::milliseconds(10);
constexpr auto kPersistLatest = std::chrono::milliseconds(100);
} // namespace

void Engine::PersistLoop() {
    std::unique_lock<std::mutex> l(m_persistLock);
    for (;;) {
        m_persistCv.wait(l, [&] { return m_persistStop || m_dirty[0] || m_dirty[1] || m_dirty[2]; });
        if (m_persistStop) break;
        // A burst of changes (a profile, or a client's whole set of profiles, being written)
        // gathers into one file write: the state is written once the changes paused for a moment,
        // and at the latest a short while after the first of them.
        const auto first = std::chrono::steady_clock::now();
        for (;;) {
            const uint64_t seen = m_changes;
            m_persistCv.wait_for(l, kPersistPause, [&] { return m_persistStop; });
            if (m_persistStop || m_changes == seen || std::chrono::steady_clock::now() - first >= kPersistLatest) break;
        }
        l.unlock();
        Flush();
        l.lock();
    }
}

void Engine::Flush() {
    if (!m_opt.persist) return;
    std::lock_guard<std::mutex> files(m_fileLock);
    for (int kind = 0; kind < 3; ++kind) {
        {
            std::lock_guard<std::mutex> l(m_persistLock);
            if (!m_dirty[kind]) continue;
            m_dirty[kind] = false;
        }
        std::vector<uint8_t> bytes;
        {
            std::lock_guard<SlimLock> l(m_lock);
            bytes = SaveDevice(m_dev[kind]);
        }
        DWORD pause = DelayFor("state.write");
        if (!WriteFileAtomic(StateFile(kind), bytes, pause))
            Log(L"could not write " + StateFile(kind) + L" (error " + std::to_wstring(GetLastError()) + L")");
    }
}

Device* Engine::Find(uint32_t pid) {
    int k = KindOf(pid);
    return k < 0 ? nullptr : &m_dev[k];
}

DWORD Engine::DelayFor(const std::string& method) {
    std::lock_guard<SlimLock> l(m_faultLock);
    auto it = m_delays.find(method);
    if (it == m_delays.end() && method != "state.write") it = m_delays.find("*");
    return it == m_delays.end() ? 0 : it->second;
}

HRESULT Engine::Enter(const char* method, const std::wstring& args) {
    NoteActivity();
    HRESULT hr = S_OK;
    DWORD delay = 0;
    {
        std::lock_guard<SlimLock> l(m_faultLock);
        std::wstring line;
        for (const char* c = method; *c; ++c) line += wchar_t(*c);
        if (!args.empty()) line += L" " + args;
        m_callLog.push_back(std::move(line));
        if (m_callLog.size() > 20000) m_callLog.pop_front();
        for (const char* name : {method, "*"}) {
            auto it = m_failures.find(name);
            if (it != m_failures.end() && --it->second.nth == 0) {
                hr = it->second.hr;
                m_failures.erase(it);
                break;
            }
        }
        auto d = m_delays.find(method);
        if (d == m_delays.end()) d = m_delays.find("*");
        if (d != m_delays.end()) delay = d->second;
    }
    if (delay) Sleep(delay);
    return hr;
}

HRESULT Engine::Read(uint32_t pid, const std::function<HRESULT(const Device&)>& f) {
    std::lock_guard<SlimLock> l(m_lock);
    Device* d = Find(pid);
    return d ? f(*d) : E_FAIL;
}

HRESULT Engine::Write(uint32_t pid, const std::function<HRESULT(Device&, std::vector<PendingEvent>&)>& f) {
    std::vector<PendingEvent> events;
    HRESULT hr;
    {
        std::lock_guard<SlimLock> l(m_lock);
        Device* d = Find(pid);
        if (!d) return E_FAIL;
        hr = f(*d, events);
        if (FAILED(hr)) return hr;
    }
    MarkDirty(KindOf(pid));
    Post(events);
    return hr;
}

// ---- Connection points and delivery ----

HRESULT Engine::Advise(const SourceKey& key, REFIID iid, IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    IUnknown* typed = nullptr;
    if (FAILED(sink->QueryInterface(iid, reinterpret_cast<void**>(&typed))) || !typed) return CONNECT_E_CANNOTCONNECT;
    std::lock_guard<std::mutex> l(m_sinkLock);
    auto e = std::make_shared<SinkEntry>();
    e->cookie = m_nextCookie++;
    e->sink = typed;
    m_sinks[key].push_back(e);
    *cookie = e->cookie;
    return S_OK;
}

HRESULT Engine::Unadvise(const SourceKey& key, DWORD cookie) {
    std::unique_lock<std::mutex> l(m_sinkLock);
    auto it = m_sinks.find(key);
    if (it == m_sinks.end()) return CONNECT_E_NOCONNECTION;
    auto& list = it->second;
    auto pos = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e->cookie == cookie; });
    if (pos == list.end()) return CONNECT_E_NOCONNECTION;
    std::shared_ptr<SinkEntry> entry = *pos;
    list.erase(pos);
    entry->removed = true;
    // A delivery already under way finishes first (bounded), unless it is this very thread
    // that is inside the sink, unadvising from its own event.
    if (entry->inflight && entry->deliveringThread != GetCurrentThreadId())
        m_sinkCv.wait_for(l, std::chrono::seconds(5), [&] { return entry->inflight == 0; });
    IUnknown* release = nullptr;
    if (entry->inflight == 0) std::swap(release, entry->sink);
    l.unlock();
    if (release) release->Release();
    return S_OK;
}

uint32_t Engine::SinkCount() {
    std::lock_guard<std::mutex> l(m_sinkLock);
    uint32_t n = 0;
    for (auto& [k, list] : m_sinks) n += uint32_t(list.size());
    return n;
}

void Engine::Post(std::vector<PendingEvent>& events) {
    if (events.empty()) return;
    {
        std::lock_guard<std::mutex> l(m_sinkLock);
        for (auto& e : events) m_queue.push_back(std::move(e));
    }
    m_queueCv.notify_all();
}

bool Engine::WaitEventsIdle(DWORD timeoutMs) {
    std::unique_lock<std::mutex> l(m_sinkLock);
    return m_queueCv.wait_for(l, std::chrono::milliseconds(timeoutMs), [&] { return m_queue.empty() && !m_busy; });
}

void Engine::DispatchLoop() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock<std::mutex> l(m_sinkLock);
    for (;;) {
        m_queueCv.wait(l, [&] { return m_stop || !m_queue.empty(); });
        if (m_stop) break;
        PendingEvent e = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        l.unlock();
        Deliver(e);
        l.lock();
        m_busy = false;
        m_queueCv.notify_all();
    }
    l.unlock();
    CoUninitialize();
}

void Engine::Deliver(const PendingEvent& e) {
    std::vector<std::shared_ptr<SinkEntry>> targets;
    {
        std::lock_guard<std::mutex> l(m_sinkLock);
        auto it = m_sinks.find(e.key);
        if (it == m_sinks.end()) return;
        targets = it->second;
    }
    for (auto& t : targets) {
        IUnknown* sink;
        {
            std::lock_guard<std::mutex> l(m_sinkLock);
            if (t->removed || !t->sink) continue;
            ++t->inflight;
            t->deliveringThread = GetCurrentThreadId();
            sink = t->sink;
        }
        HRESULT hr = S_OK;
        switch (e.kind) {
        case EventKind::ProfileChanged: hr = static_cast<_IProfileManagerEvents*>(sink)->OnProfileChanged(e.a); break;
        case EventKind::DpiChanged: hr = static_cast<_IDPIEvents*>(sink)->OnDpiChanged(e.a, e.b); break;
        case EventKind::LaunchApp: {
            BSTR path = SysAllocStringLen(e.path.data(), UINT(e.path.size()));
            hr = static_cast<_IApplicationEvent*>(sink)->OnLaunchApp(LONG(e.a), path);
            SysFreeString(path);
            break;
        }
        case EventKind::RecordStart: hr = static_cast<_IOTFMacroRecordingEvents*>(sink)->OnRecordStart(); break;
        case EventKind::RecordStop: hr = static_cast<_IOTFMacroRecordingEvents*>(sink)->OnRecordStop(); break;
        case EventKind::RecordAssign:
            hr = static_cast<_IOTFMacroRecordingEvents*>(sink)->OnRecordAssign(e.a, e.b);
            break;
        case EventKind::RecordCancel: hr = static_cast<_IOTFMacroRecordingEvents*>(sink)->OnRecordCancel(); break;
        }
        IUnknown* release = nullptr;
        {
            std::lock_guard<std::mutex> l(m_sinkLock);
            --t->inflight;
            t->deliveringThread = 0;
            if (SinkIsGone(hr) && !t->removed) {
                // The client is gone: drop its sink so the others are not held up by it again.
                auto& list = m_sinks[e.key];
                list.erase(std::remove(list.begin(), list.end(), t), list.end());
                t->removed = true;
            }
            if (t->removed && t->inflight == 0) std::swap(release, t->sink);
        }
        m_sinkCv.notify_all();
        if (release) release->Release();
    }
}

// ---- Test control ----

void Engine::NotifyPresence(uint32_t pid, bool arrived) {
    if (!m_opt.notifyWindows) return;
    std::wstring path;
    {
        std::lock_guard<SlimLock> l(m_lock);
        Device* d = Find(pid);
        if (!d) return;
        path = DevicePath(*d);
    }
    size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (path.size() + 1) * sizeof(wchar_t);
    std::vector<uint8_t> buf(size);
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buf.data());
    b->dbcc_size = DWORD(size);
    b->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    b->dbcc_classguid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    memcpy(b->dbcc_name, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    const std::vector<HWND> windows = TopLevelWindowsOfEveryDesktop();
    WPARAM event = arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    std::atomic<unsigned> answered{0};
    // A program busy for a few seconds (reading a device on its window's thread) still gets the
    // notice, as from the system; a window that does not answer within the bound is passed over.
    // Every window is sent the notice at once, each from a thread of its own: several busy windows
    // hold the notice up for one bound, not one bound each.
    std::vector<std::thread> senders;
    senders.reserve(windows.size());
    for (HWND h : windows)
        senders.emplace_back([&answered, h, event, b] {
            DWORD_PTR result;
            if (SendMessageTimeoutW(h, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(b), SMTO_NORMAL, 5000, &result))
                ++answered;
        });
    for (std::thread& t : senders) t.join();
    Enter("notice.WM_DEVICECHANGE", path + L" windows " + std::to_wstring(windows.size()) + L" answered " +
                                        std::to_wstring(answered.load()));
}

HRESULT Engine::SetPresent(uint32_t pid, bool present) {
    bool changed;
    {
        std::lock_guard<SlimLock> l(m_lock);
        Device* d = Find(pid);
        if (!d) return E_INVALIDARG;
        changed = d->present != present;
        d->present = present;
    }
    if (changed) NotifyPresence(pid, present);
    return S_OK;
}

HRESULT Engine::Press(uint32_t pid, uint32_t code) {
    return Write(pid, [&](Device& d, std::vector<PendingEvent>& ev) -> HRESULT {
        if (!d.present || d.kind == Headset) return E_FAIL;
        Profile* p = FindProfile(d, d.active);
        if (!p || !IsValidIndex(d, code)) return E_INVALIDARG;
        const VtActionRecord& r = p->records[code];
        uint32_t w0, w1;
        memcpy(&w0, r.Payload, 4);
        memcpy(&w1, r.Payload + 4, 4);
        auto selectStage = [&](uint32_t stage) {
            if (d.kind != Mouse || stage < 1 || stage > p->stages.size()) return;
            p->activeStage = stage;
            const VtDpiStage& s = p->stages[stage - 1];
            if (s.X != p->dpiX || s.Y != p->dpiY) {
                p->dpiX = s.X;
                p->dpiY = s.Y;
                ev.push_back({{d.pid, Source::Dpi, p->id}, EventKind::DpiChanged, s.X, s.Y});
            }
        };
        auto selectProfile = [&](size_t index) {
            d.active = d.profiles[index].id;
            ev.push_back({{d.pid, Source::ProfileManager, {}}, EventKind::ProfileChanged, uint32_t(index)});
        };
        size_t activeIndex = size_t(p - d.profiles.data()), n = d.profiles.size();
        switch (r.Type) {
        case 1:
            if (w0 == 9) selectStage(p->activeStage + 1);
            else if (w0 == 10) selectStage(p->activeStage - 1);
            break;
        case 3:
            if (w0 == 1) selectProfile((activeIndex + 1) % n);
            else if (w0 == 2) selectProfile((activeIndex + n - 1) % n);
            else if (w0 == 3) {
                GUID target;
                memcpy(&target, r.Payload + 4, 16);
                for (size_t i = 0; i < n; ++i)
                    if (d.profiles[i].id == target) selectProfile(i);
            }
            break;
        case 4:
            selectStage(w1 + 1);
            break;
        case 9: {
            GUID target;
            memcpy(&target, r.Payload, 16);
            for (const LaunchEntry& e : d.launch)
                if (e.id == target) {
                    PendingEvent pe{{d.pid, Source::Launcher, {}}, EventKind::LaunchApp, 1, 0};
                    pe.path = e.path;
                    ev.push_back(std::move(pe));
                }
            break;
        }
        default:  // macros and key remaps act on the host only
            break;
        }
        return S_OK;
    });
}

HRESULT Engine::RecordAction(uint32_t action, uint32_t code) {
    std::vector<PendingEvent> ev;
    {
        std::lock_guard<SlimLock> l(m_lock);
        SourceKey key{VT_PID_KEYBOARD, Source::Recorder, {}};
        if (!m_dev[Keyboard].present) return E_FAIL;
        switch (action) {
        case 1:
            ev.push_back({key, m_recordPhase == 1 ? EventKind::RecordStop : EventKind::RecordStart});
            m_recordPhase = m_recordPhase == 1 ? 2 : 1;
            break;
        case 2:
            if (m_recordPhase != 2) return E_FAIL;
            if (!IsKeyboardKey(code)) return E_INVALIDARG;
            ev.push_back({key, EventKind::RecordAssign, 0, code});
            m_recordPhase = 0;
            break;
        case 3:
            if (m_recordPhase == 0) return E_FAIL;
            ev.push_back({key, EventKind::RecordCancel});
            m_recordPhase = 0;
            break;
        default:
            return E_INVALIDARG;
        }
    }
    Post(ev);
    return S_OK;
}

HRESULT Engine::Reset() {
    {
        std::lock_guard<SlimLock> l(m_faultLock);
        m_failures.clear();
        m_delays.clear();
        m_callLog.clear();
    }
    {
        std::lock_guard<SlimLock> l(m_lock);
        for (int k = 0; k < 3; ++k) m_dev[k] = FactoryDevice(k);
        m_enumOrder.clear();
        m_recordPhase = 0;
    }
    for (int k = 0; k < 3; ++k) MarkDirty(k);
    Flush();
    return S_OK;
}

HRESULT Engine::FailCall(const std::wstring& method, uint32_t nth, HRESULT hr) {
    std::lock_guard<SlimLock> l(m_faultLock);
    std::string m = Narrow(method);
    if (nth == 0) {
        if (m == "*") m_failures.clear();
        else m_failures.erase(m);
        return S_OK;
    }
    if (SUCCEEDED(hr)) return E_INVALIDARG;
    m_failures[m] = {nth, hr};
    return S_OK;
}

HRESULT Engine::DelayCall(const std::wstring& method, uint32_t ms) {
    if (ms > 60000) return E_INVALIDARG;
    std::lock_guard<SlimLock> l(m_faultLock);
    if (ms == 0 && method == L"*") m_delays.clear();
    else if (ms == 0) m_delays.erase(Narrow(method));
    else m_delays[Narrow(method)] = ms;
    return S_OK;
}

std::string Engine::Dump() {
    std::lock_guard<SlimLock> l(m_lock);
    return DumpJson(m_dev);
}

HRESULT Engine::SetDeviceValue(uint32_t pid, const std::wstring& name, uint32_t v) {
    return Write(pid, [&](Device& d, std::vector<PendingEvent>&) -> HRESULT {
        if (name == L"vendor") d.vendor = v;
        else if (name == L"driver.major") d.driver.Major = v;
        else if (name == L"driver.minor") d.driver.Minor = v;
        else if (name == L"firmware.major") d.firmware.Major = v;
        else if (name == L"firmware.minor") d.firmware.Minor = v;
        else if (name == L"layout") d.layout = v;
        else if (name == L"rate" && d.kind == Mouse && v) d.rate = v;  // a raw code, as a device may report one
        else if (const DeviceValueRule* rule = FindDeviceValueRule(d.kind, name); rule && rule->valid(v)) d.*rule->field = v;
        else if (name == L"infofail") d.infoFails = v != 0;
        else if (name == L"mode" && d.kind == Keyboard && (v == 1 || v == 2)) d.mode = v;
        else if (name == L"sync" && d.kind == Headset) d.sync = v != 0;
        else return E_INVALIDARG;
        return S_OK;
    });
}

HRESULT Engine::SetEnumOrder(const std::vector<uint32_t>& pids) {
    for (uint32_t p : pids)
        if (KindOf(p) < 0) return E_INVALIDARG;
    std::lock_guard<SlimLock> l(m_lock);
    m_enumOrder = pids;
    return S_OK;
}

std::vector<uint32_t> Engine::EnumList() {
    std::lock_guard<SlimLock> l(m_lock);
    std::vector<uint32_t> out;
    if (!m_enumOrder.empty()) {
        for (uint32_t p : m_enumOrder)
            if (Find(p)->present) out.push_back(p);
    } else {
        for (const Device& d : m_dev)
            if (d.present) out.push_back(d.pid);
    }
    return out;
}

std::wstring Engine::CallLog(bool clear) {
    std::lock_guard<SlimLock> l(m_faultLock);
    std::wstring s;
    for (const auto& line : m_callLog) s += line + L"\n";
    if (clear) m_callLog.clear();
    return s;
}

HRESULT Engine::ReloadState() {
    Flush();
    LoadAll();
    return S_OK;
}

}  // namespace vt::engine
