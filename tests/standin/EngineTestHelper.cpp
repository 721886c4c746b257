// engine_testhelper.exe: the other processes of the engine tests.
//   load <seconds> <threads> <tag>   calls the registered engine from several threads; prints "calls N failures F"
//   subscribe                        advises a sink on the mouse's profile events, prints "ready", waits to be killed
//   writer <folder>                  hosts the engine core on <folder> with slowed-down state writes and keeps
//                                    changing a profile name; prints "ready" (the test kills it mid-write)
#include <windows.h>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>
#include "Engine.h"
#include "EngineTestUtil.h"

using namespace vt::test::engine;

namespace {

ComPtr<IVtDeviceMgr> Connect() {
    ComPtr<IVtDeviceMgr> mgr;
    CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
    return mgr;
}

// One worker: its own launch entries on the keyboard (created, renamed, some deleted) and its
// own link-flag bit on the mouse's active profile. Every call is counted.
void Worker(DWORD until, const std::wstring& tag, USHORT mask, std::atomic<long>* calls, std::atomic<long>* failures) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        ComPtr<IVtDeviceMgr> mgr = Connect();
        auto kb = DeviceOf(mgr.Get(), VT_PID_KEYBOARD);
        auto launcher = Feature<IVtAppLauncher>(kb.Get(), IID_IVtAppLauncher);
        ComPtr<IVtProfile> active;
        Feature<IVtProfileManager>(DeviceOf(mgr.Get(), VT_PID_MOUSE).Get(), IID_IVtProfileManager)->GetActiveProfile(active.Put());
        auto props = Feature<IVtProfileProperties>(active.Get(), IID_IVtProfileProperties);
        if (!launcher || !props) {
            ++*failures;
        } else {
            std::vector<ComPtr<IVtLaunchEntry>> mine;
            long n = 0;
            auto check = [&](HRESULT hr) {
                ++*calls;
                if (FAILED(hr)) ++*failures;
            };
            while (GetTickCount() < until) {
                if (mine.size() < 8) {
                    ComPtr<IVtLaunchEntry> e;
                    check(launcher->CreateEntry(e.Put()));
                    if (e) {
                        check(e->SetPath((tag + L"-" + std::to_wstring(n++)).c_str()));
                        mine.push_back(e);
                    }
                } else {
                    check(launcher->DeleteEntry(mine.front().Get()));
                    mine.erase(mine.begin());
                }
                USHORT set[2] = {mask, USHORT(n & 1)};
                check(props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<BYTE*>(set), 0, 4, 0));
                USHORT word;
                ULONG size = 2;
                check(props->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&word), 0, &size));
            }
            // Leave the bit set, so the test can see every worker's last write.
            USHORT set[2] = {mask, 1};
            check(props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<BYTE*>(set), 0, 4, 0));
            wprintf(L"entries %ls %u\n", tag.c_str(), unsigned(mine.size()));
        }
    }
    CoUninitialize();
}

int Load(int seconds, int threads, const std::wstring& tag, USHORT mask) {
    std::atomic<long> calls{0}, failures{0};
    DWORD until = GetTickCount() + DWORD(seconds) * 1000;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(Worker, until, tag + L"." + std::to_wstring(t), mask, &calls, &failures);
    for (auto& t : pool) t.join();
    wprintf(L"calls %ld failures %ld\n", calls.load(), failures.load());
    fflush(stdout);
    return failures.load() ? 1 : 0;
}

int Subscribe() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComPtr<IVtDeviceMgr> mgr = Connect();
    auto pm = Feature<IVtProfileManager>(DeviceOf(mgr.Get(), VT_PID_MOUSE).Get(), IID_IVtProfileManager);
    Sink* sink = new Sink;
    Connection c;
    if (!pm || FAILED(c.Connect(pm.Get(), IID__IProfileManagerEvents, static_cast<_IProfileManagerEvents*>(sink)))) {
        wprintf(L"failed\n");
        fflush(stdout);
        return 1;
    }
    wprintf(L"ready\n");
    fflush(stdout);
    Sink::Pump(60000);
    return 0;
}

int Writer(const std::wstring& folder) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    vt::engine::EngineOptions o;
    o.stateDir = folder;
    o.notifyWindows = false;
    auto engine = vt::engine::Engine::Create(o);
    engine->Flush();  // the first state files are on disk before the slow writes begin
    ComPtr<IVtDeviceMgr> mgr;
    vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, mgr.PutVoid());
    ComPtr<IVtSimControl> ctl;
    mgr.As(ctl);
    ctl->DelayCall(L"state.write", 200);
    ComPtr<IVtProfile> p;
    Feature<IVtProfileManager>(DeviceOf(mgr.Get(), VT_PID_MOUSE).Get(), IID_IVtProfileManager)->GetActiveProfile(p.Put());
    wprintf(L"ready\n");
    fflush(stdout);
    for (int i = 0;; ++i) {
        std::wstring name = L"Name " + std::to_wstring(i) + L" " + std::wstring(size_t(i % 200), L'x');
        p->SetName(name.c_str());
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"load" && argc == 6)
        return Load(_wtoi(argv[2]), _wtoi(argv[3]), argv[4], USHORT(_wtoi(argv[5])));
    if (mode == L"subscribe") return Subscribe();
    if (mode == L"writer" && argc == 3) return Writer(argv[2]);
    fwprintf(stderr, L"usage: engine_testhelper load <s> <threads> <tag> <mask> | subscribe | writer <folder>\n");
    return 2;
}
