// The registered engine server, used from this (second) process as the programs use it:
// every group across the process boundary, events on a single-threaded apartment, enginectl,
// several processes at once, a subscriber that dies, device notices to top-level windows, and
// a state writer killed half-way.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <mutex>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <thread>
#include "ChildProcess.h"
#include "Engine.h"
#include "EngineTestUtil.h"
#include "WindowTest.h"

using namespace vt::test::engine;

namespace {

class EngineServer : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
        ASSERT_EQ(S_OK, hr) << "the engine server is not registered in this prefix";
        ASSERT_EQ(S_OK, mgr.As(ctl));
        ASSERT_EQ(S_OK, ctl->Reset());
    }
    void TearDown() override {
        if (ctl) ctl->Reset();
        ctl.Reset();
        mgr.Reset();
    }
    ComPtr<IVtDevice> Dev(ULONG pid) { return DeviceOf(mgr.Get(), pid); }
    ComPtr<IVtProfileManager> Profiles(ULONG pid) { return Feature<IVtProfileManager>(Dev(pid).Get(), IID_IVtProfileManager); }
    ComPtr<IVtProfile> Active(ULONG pid) {
        ComPtr<IVtProfile> p;
        Profiles(pid)->GetActiveProfile(p.Put());
        return p;
    }
    std::string Dump() {
        BSTR json = nullptr;
        if (FAILED(ctl->Dump(&json))) return {};
        std::wstring w(json, SysStringLen(json));
        SysFreeString(json);
        int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
        std::string s(size_t(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
        return s;
    }
    ComPtr<IVtDeviceMgr> mgr;
    ComPtr<IVtSimControl> ctl;
};

TEST_F(EngineServer, EveryGroupCrossesTheProcessBoundary) {
    std::vector<ULONG> pids;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtDevice> d;
        if (FAILED(mgr->EnumDevices(i, d.Put()))) break;
        VtDeviceInfo info{};
        ASSERT_EQ(S_OK, d->GetDeviceInfo(&info));
        pids.push_back(info.ProductId);
        ASSERT_NE(nullptr, info.DevicePath);
        EXPECT_NE(nullptr, wcsstr(info.DevicePath, L"VID_2F3D&PID_00"));
        CoTaskMemFree(info.DevicePath);
    }
    EXPECT_EQ((std::vector<ULONG>{0x19, 0x1A, 0x1B}), pids);

    auto pm = Profiles(VT_PID_MOUSE);
    ComPtr<IVtProfile> p;
    ASSERT_EQ(S_OK, pm->CreateProfile(p.Put()));
    ASSERT_EQ(S_OK, p->SetName(L"Cross \u00c4 Process"));
    EXPECT_EQ(L"Cross \u00c4 Process", NameOf(p.Get()));
    auto dpi = Feature<IVtDpi>(p.Get(), IID_IVtDpi);
    VtDpiStage stages[] = {{100, 200}, {3000, 3100}};
    ASSERT_EQ(S_OK, dpi->SetDpiStages(2, stages));
    ULONG count = 0;
    VtDpiStage* got = nullptr;
    ASSERT_EQ(S_OK, dpi->GetDpiStages(&count, &got));
    ASSERT_EQ(2u, count);
    EXPECT_EQ(3100u, got[1].Y);
    CoTaskMemFree(got);
    auto buttons = Feature<IVtButtonAssignments>(p.Get(), IID_IVtButtonAssignments);
    VtActionRecord recs[7] = {};
    count = 7;
    ASSERT_EQ(S_OK, buttons->GetAssignments(&count, recs));
    ASSERT_EQ(7u, count);
    recs[2].Type = 3;
    recs[2].Payload[0] = 1;
    ASSERT_EQ(S_OK, buttons->SetAssignment(1, &recs[2]));
    VtActionRecord back[7] = {};
    count = 7;
    ASSERT_EQ(S_OK, buttons->GetAssignments(&count, back));
    EXPECT_EQ(0, memcmp(&recs[2], &back[2], 32));
    auto props = Feature<IVtProfileProperties>(p.Get(), IID_IVtProfileProperties);
    USHORT set[2] = {4, 1};
    ASSERT_EQ(S_OK, props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<BYTE*>(set), 0, 4, 0));
    BYTE buf[256] = {};
    ULONG size = 256;
    ASSERT_EQ(S_OK, props->GetProperty(VT_PROP_LINKED_PROGRAM, 0, buf, 0, &size));
    EXPECT_EQ(0u, size);
    size = 256;
    ASSERT_EQ(S_OK, props->GetProperty(VT_PROP_LINK_FLAGS, 0, buf, 0, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(4, buf[0]);
    size = 1;
    EXPECT_TRUE(FAILED(props->GetProperty(VT_PROP_LINK_FLAGS, 0, buf, 0, &size)));

    auto store = Feature<IVtMacroStore>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtMacroStore);
    ComPtr<IVtMacro> m;
    ASSERT_EQ(S_OK, store->CreateMacro(m.Put()));
    struct { ULONG zero, count; LONG t; USHORT k, f; ULONG slack[2]; } ev = {0, 1, 2, 0x2A, 2, {0, 0}};
    ASSERT_EQ(S_OK, m->SetEvents(sizeof ev, reinterpret_cast<BYTE*>(&ev)));
    ULONG cb = 0;
    BYTE* evBack = nullptr;
    ASSERT_EQ(S_OK, m->GetEvents(&cb, &evBack));
    ASSERT_EQ(sizeof ev, cb);
    EXPECT_EQ(0, memcmp(&ev, evBack, cb));
    CoTaskMemFree(evBack);
    // Objects handed back to the engine (delete, activate) are recognised through the proxies.
    ASSERT_EQ(S_OK, store->DeleteMacro(m.Get()));
    ASSERT_EQ(S_OK, pm->SetActiveProfile(p.Get()));
    ASSERT_EQ(S_OK, pm->DeleteProfile(p.Get()));
    EXPECT_EQ(E_FAIL, p->SetName(L"gone"));

    auto coll = Feature<IVtEntryCollection>(Dev(VT_PID_HEADSET).Get(), IID_IVtEntryCollection);
    ComPtr<IVtCollectionEntry> e1, e2;
    ASSERT_EQ(S_OK, coll->CreateEntry(30, e1.Put()));
    EXPECT_EQ(E_ACCESSDENIED, coll->CreateEntry(30, e2.Put()));
    auto eq = Feature<IVtEQGain>(Active(VT_PID_HEADSET).Get(), IID_IVtEQGain);
    ASSERT_EQ(S_OK, eq->SetGain(4, -12));
    SHORT g = 0;
    eq->GetGain(4, &g);
    EXPECT_EQ(-12, g);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, Dev(VT_PID_HEADSET)->CreateInterfaceInstance(IID_IVtRateList, &none));
    EXPECT_EQ(nullptr, none);

    // Export and import through the server's own files.
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring file = std::wstring(tmp) + L"vt-engine-server-test.vtp";
    ComPtr<IVtProfile> active = Active(VT_PID_HEADSET);
    ASSERT_EQ(S_OK, active->Export(file.c_str()));
    ComPtr<IVtProfile> imported;
    ASSERT_EQ(S_OK, Profiles(VT_PID_HEADSET)->ImportProfile(file.c_str(), imported.Put()));
    g = 0;
    Feature<IVtEQGain>(imported.Get(), IID_IVtEQGain)->GetGain(4, &g);
    EXPECT_EQ(-12, g);
    DeleteFileW(file.c_str());
}

TEST_F(EngineServer, ChangesOfOneClientAreSeenByAnother) {
    ComPtr<IVtDeviceMgr> other;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, other.PutVoid()));
    Active(VT_PID_KEYBOARD)->SetName(L"Seen");
    ComPtr<IVtProfile> p;
    Feature<IVtProfileManager>(DeviceOf(other.Get(), VT_PID_KEYBOARD).Get(), IID_IVtProfileManager)->GetActiveProfile(p.Put());
    EXPECT_EQ(L"Seen", NameOf(p.Get()));
}

TEST_F(EngineServer, EventsReachThisSingleThreadedApartment) {
    DWORD self = GetCurrentThreadId();
    auto profile = Active(VT_PID_MOUSE);
    Sink* sink = new Sink;
    Connection dpiC, pmC, recC, appC;
    ASSERT_EQ(S_OK, dpiC.Connect(Feature<IVtDpi>(profile.Get(), IID_IVtDpi).Get(), IID__IDPIEvents, static_cast<_IDPIEvents*>(sink)));
    ASSERT_EQ(S_OK, pmC.Connect(Profiles(VT_PID_KEYBOARD).Get(), IID__IProfileManagerEvents, static_cast<_IProfileManagerEvents*>(sink)));
    ASSERT_EQ(S_OK, recC.Connect(Feature<IUnknown>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtMacroRecorder).Get(),
                                 IID__IOTFMacroRecordingEvents, static_cast<_IOTFMacroRecordingEvents*>(sink)));
    auto launcher = Feature<IVtAppLauncher>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtAppLauncher);
    ASSERT_EQ(S_OK, appC.Connect(launcher.Get(), IID__IApplicationEvent, static_cast<_IApplicationEvent*>(sink)));
    ULONG objects = 0, sinks = 0;
    ASSERT_EQ(S_OK, ctl->GetCounts(&objects, &sinks));
    EXPECT_EQ(4u, sinks);

    // A change from another thread (its own apartment and connection), then from enginectl.
    ComPtr<IVtLaunchEntry> entry;
    ASSERT_EQ(S_OK, launcher->CreateEntry(entry.Put()));
    entry->SetPath(L"C:\\Program Files\\Game\\game.exe");
    GUID entryId;
    entry->GetId(&entryId);
    VtActionRecord launch{1, 0x3B, 9, {}};  // F1 launches the entry
    memcpy(launch.Payload, &entryId, 16);
    ASSERT_EQ(S_OK, Feature<IVtAssignmentTable>(Active(VT_PID_KEYBOARD).Get(), IID_IVtAssignmentTable)->SetAssignment(1, &launch));
    std::thread worker([] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            ComPtr<IVtDeviceMgr> m;
            CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, m.PutVoid());
            ComPtr<IVtProfile> p;
            Feature<IVtProfileManager>(DeviceOf(m.Get(), VT_PID_MOUSE).Get(), IID_IVtProfileManager)->GetActiveProfile(p.Put());
            Feature<IVtDpi>(p.Get(), IID_IVtDpi)->SetDpi(2400, 2500);
            ComPtr<IVtProfile> k;
            auto kpm = Feature<IVtProfileManager>(DeviceOf(m.Get(), VT_PID_KEYBOARD).Get(), IID_IVtProfileManager);
            kpm->GetActiveProfile(k.Put());
            kpm->SetActiveProfile(k.Get());
        }
        CoUninitialize();
    });
    worker.join();
    ChildProcess ctlExe;
    std::wstring exe = L"\"" + vt::test::StandinFolder() + L"enginectl.exe\"";
    ASSERT_TRUE(ctlExe.Start(exe + L" record key"));
    ASSERT_EQ(0, ctlExe.Wait(30000));
    ChildProcess press;
    ASSERT_TRUE(press.Start(exe + L" press keyboard 0x3B"));
    ASSERT_EQ(0, press.Wait(30000));
    ASSERT_TRUE(sink->WaitFor(4, 10000)) << sink->Count();
    auto ev = sink->Events();
    std::multiset<std::string> kinds;
    for (const auto& e : ev) {
        kinds.insert(e.what);
        EXPECT_EQ(self, e.thread) << e.what;  // delivered on this apartment's thread
        if (e.what == "dpi") EXPECT_EQ(2500u, e.b);
        if (e.what == "launch") EXPECT_EQ(L"C:\\Program Files\\Game\\game.exe", e.path);
    }
    EXPECT_EQ((std::multiset<std::string>{"dpi", "launch", "profile", "start"}), kinds);
    ASSERT_EQ(S_OK, dpiC.Disconnect());
    ASSERT_EQ(S_OK, pmC.Disconnect());
    ASSERT_EQ(S_OK, recC.Disconnect());
    ASSERT_EQ(S_OK, appC.Disconnect());
    ASSERT_EQ(S_OK, ctl->GetCounts(&objects, &sinks));
    EXPECT_EQ(0u, sinks);
    // Nothing arrives after Unadvise, and the engine holds no reference to the sink.
    Feature<IVtDpi>(profile.Get(), IID_IVtDpi)->SetDpi(500, 500);
    Sink::Pump(300);
    EXPECT_EQ(4u, sink->Count());
    sink->AddRef();
    EXPECT_EQ(1u, sink->Release());
    sink->Release();
}

TEST_F(EngineServer, EnginectlDumpReflectsWhatAClientWrote) {
    auto p = Active(VT_PID_MOUSE);
    ASSERT_EQ(S_OK, p->SetName(L"Dumped \u00e9 name"));
    VtDpiStage stages[] = {{1100, 1200}};
    ASSERT_EQ(S_OK, Feature<IVtDpi>(p.Get(), IID_IVtDpi)->SetDpiStages(1, stages));
    auto store = Feature<IVtMacroStore>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtMacroStore);
    ComPtr<IVtMacro> m;
    store->CreateMacro(m.Put());
    m->SetName(L"Dumped macro");
    ChildProcess dump;
    ASSERT_TRUE(dump.Start(L"\"" + vt::test::StandinFolder() + L"enginectl.exe\" dump"));
    ASSERT_EQ(0, dump.Wait(30000));
    const std::string& out = dump.Output();
    EXPECT_NE(std::string::npos, out.find("\"name\":\"Dumped \xc3\xa9 name\"")) << out.substr(0, 400);
    EXPECT_NE(std::string::npos, out.find("\"stages\":[[1100,1200]],\"activeStage\":1"));
    EXPECT_NE(std::string::npos, out.find("\"name\":\"Dumped macro\""));
    ChildProcess bad;
    ASSERT_TRUE(bad.Start(L"\"" + vt::test::StandinFolder() + L"enginectl.exe\" press mouse 99"));
    EXPECT_NE(0, bad.Wait(30000));
}

// Several processes and threads at once: no failure, no lost update, a consistent state that is
// also what the state files hold.
TEST_F(EngineServer, SeveralProcessesAndThreadsAtOnce) {
    const int processes = 3, threads = 3, seconds = 6;
    std::vector<std::unique_ptr<ChildProcess>> children;
    std::wstring helper = L"\"" + SiblingPath(L"engine_testhelper.exe") + L"\"";
    for (int i = 0; i < processes; ++i) {
        children.push_back(std::make_unique<ChildProcess>());
        ASSERT_TRUE(children.back()->Start(helper + L" load " + std::to_wstring(seconds) + L" " + std::to_wstring(threads) +
                                           L" P" + std::to_wstring(i) + L" " + std::to_wstring(1 << i)));
    }
    long calls = 0;
    std::map<std::string, unsigned> expected;
    for (auto& c : children) {
        ASSERT_EQ(0, c->Wait(60000)) << c->Output();
        const std::string& out = c->Output();
        long n = 0, f = 0;
        ASSERT_EQ(2, sscanf(out.substr(out.find("calls ")).c_str(), "calls %ld failures %ld", &n, &f)) << out;
        calls += n;
        for (size_t at = out.find("entries "); at != std::string::npos; at = out.find("entries ", at + 1)) {
            char tag[32];
            unsigned k;
            if (sscanf(out.c_str() + at, "entries %31s %u", tag, &k) == 2) expected[tag] = k;
        }
    }
    EXPECT_EQ(size_t(processes * threads), expected.size());
    printf("engine load: %ld calls in %d s from %d processes x %d threads = %.0f calls/s\n", calls, seconds, processes,
           threads, double(calls) / seconds);
    RecordProperty("calls_per_second", int(calls / seconds));
    // Every worker's launch entries are all there, with their own paths.
    std::map<std::string, unsigned> found;
    auto launcher = Feature<IVtAppLauncher>(Dev(VT_PID_KEYBOARD).Get(), IID_IVtAppLauncher);
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtLaunchEntry> e;
        if (FAILED(launcher->GetEntryByIndex(i, e.Put()))) break;
        ULONG cch;
        WCHAR* path = nullptr;
        ASSERT_EQ(S_OK, e->GetPath(&cch, &path));
        std::wstring w = TakeString(path);
        std::string tag(w.begin(), w.begin() + long(w.find(L'-')));
        ++found[tag];
    }
    EXPECT_EQ(expected, found);
    USHORT word = 0;
    ULONG size = 2;
    Feature<IVtProfileProperties>(Active(VT_PID_MOUSE).Get(), IID_IVtProfileProperties)
        ->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&word), 0, &size);
    EXPECT_EQ(7, word);
    // What the engine holds is what its state files hold.
    std::string live = Dump();
    ASSERT_EQ(S_OK, ctl->ReloadState());
    EXPECT_EQ(live, Dump());
}

TEST_F(EngineServer, ASubscriberThatDiesDoesNotStopDeliveryToOthers) {
    ChildProcess sub;
    ASSERT_TRUE(sub.Start(L"\"" + SiblingPath(L"engine_testhelper.exe") + L"\" subscribe"));
    ASSERT_TRUE(sub.WaitFor("ready", 30000)) << sub.Output();
    sub.Kill();
    Sink* sink = new Sink;
    Connection c;
    auto pm = Profiles(VT_PID_MOUSE);
    ASSERT_EQ(S_OK, c.Connect(pm.Get(), IID__IProfileManagerEvents, static_cast<_IProfileManagerEvents*>(sink)));
    ComPtr<IVtProfile> p = Active(VT_PID_MOUSE);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(S_OK, pm->SetActiveProfile(p.Get()));
        EXPECT_TRUE(sink->WaitFor(size_t(i + 1), 15000)) << "event " << i;
    }
    // The dead client's sink has been dropped.
    ULONG objects = 0, sinks = 0;
    ASSERT_EQ(S_OK, ctl->GetCounts(&objects, &sinks));
    EXPECT_EQ(1u, sinks);
    c.Disconnect();
    sink->Release();
}

// WM_DEVICECHANGE as Windows sends it for a device interface, to a top-level window of this process.
TEST_F(EngineServer, PlugAndUnplugNotifyTopLevelWindows) {
    struct Seen { WPARAM event; std::wstring name; };
    static std::vector<Seen> seen;
    static std::mutex lock;
    seen.clear();
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        WNDCLASSW wc{};
        wc.lpszClassName = L"VtEngineNoticeTest";
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
            if (msg == WM_DEVICECHANGE && (w == DBT_DEVICEARRIVAL || w == DBT_DEVICEREMOVECOMPLETE) && l) {
                auto* hdr = reinterpret_cast<DEV_BROADCAST_HDR*>(l);
                std::lock_guard<std::mutex> g(lock);
                if (hdr->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
                    seen.push_back({w, reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(l)->dbcc_name});
                return TRUE;
            }
            return DefWindowProcW(h, msg, w, l);
        };
        RegisterClassW(&wc);
        HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"notice", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        SetEvent(ready);
        while (!stop) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        DestroyWindow(hwnd);
        UnregisterClassW(wc.lpszClassName, wc.hInstance);
    });
    WaitForSingleObject(ready, 10000);
    ASSERT_EQ(S_OK, ctl->SetPresent(VT_PID_MOUSE, FALSE));
    ASSERT_EQ(S_OK, ctl->SetPresent(VT_PID_MOUSE, TRUE));
    DWORD start = GetTickCount();
    for (;;) {
        {
            std::lock_guard<std::mutex> g(lock);
            if (seen.size() >= 2 || GetTickCount() - start > 5000) break;
        }
        Sleep(20);
    }
    stop = true;
    ui.join();
    CloseHandle(ready);
    std::lock_guard<std::mutex> g(lock);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(WPARAM(DBT_DEVICEREMOVECOMPLETE), seen[0].event);
    EXPECT_EQ(WPARAM(DBT_DEVICEARRIVAL), seen[1].event);
    std::wstring upper = seen[0].name;
    CharUpperW(upper.data());
    EXPECT_NE(std::wstring::npos, upper.find(L"VID_2F3D&PID_0019")) << seen[0].name;
}

// Windows whose threads do not answer (a program busy on its window's thread) hold the notice up
// for one bound together, not one bound each: four such windows would otherwise keep a plug or
// unplug waiting for twenty seconds.
TEST_F(EngineServer, WindowsThatDoNotAnswerHoldTheNoticeUpOnceTogether) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread busy([&] {
        WNDCLASSW wc{};
        wc.lpszClassName = L"VtEngineBusyNoticeTest";
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpfnWndProc = DefWindowProcW;
        RegisterClassW(&wc);
        std::vector<HWND> windows;
        for (int i = 0; i < 4; ++i)
            windows.push_back(CreateWindowExW(0, wc.lpszClassName, L"busy", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                              wc.hInstance, nullptr));
        SetEvent(ready);
        WaitForSingleObject(release, 60000);  // busy: no message is taken meanwhile
        for (HWND h : windows) DestroyWindow(h);
        UnregisterClassW(wc.lpszClassName, wc.hInstance);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 10000));
    const DWORD start = GetTickCount();
    const HRESULT hr = ctl->SetPresent(VT_PID_MOUSE, FALSE);
    const DWORD took = GetTickCount() - start;
    SetEvent(release);
    busy.join();
    CloseHandle(ready);
    CloseHandle(release);
    EXPECT_EQ(S_OK, hr);
    EXPECT_LT(took, 12000u) << "the notice waited for each window in turn";
    EXPECT_EQ(S_OK, ctl->SetPresent(VT_PID_MOUSE, TRUE));
}

// The state file is replaced atomically: a writer killed at any moment leaves a state file that
// loads, and nothing to put aside.
TEST(EngineStateFile, KillingTheWriterMidWriteNeverCorruptsIt) {
    TempDir dir;
    std::mt19937 rng(7);
    for (int round = 0; round < 4; ++round) {
        ChildProcess writer;
        ASSERT_TRUE(writer.Start(L"\"" + SiblingPath(L"engine_testhelper.exe") + L"\" writer \"" + dir.Path() + L"\""));
        ASSERT_TRUE(writer.WaitFor("ready", 30000)) << writer.Output();
        Sleep(150 + rng() % 400);
        writer.Kill();
        std::vector<uint8_t> bytes = ReadAll(dir.File(L"mouse.vtstate"));
        vt::engine::Device d;
        ASSERT_TRUE(vt::engine::LoadDevice(bytes, vt::engine::Mouse, &d)) << "round " << round;
        vt::engine::EngineOptions o;
        o.stateDir = dir.Path();
        o.notifyWindows = false;
        auto engine = vt::engine::Engine::Create(o);
        EXPECT_TRUE(engine->LogLines().empty()) << "round " << round;
    }
    bool interrupted = false;  // at least one kill left a half-written new file behind
    for (const auto& n : dir.List()) interrupted |= n == L"mouse.vtstate.new";
    RecordProperty("interrupted", interrupted ? 1 : 0);
}

}  // namespace
