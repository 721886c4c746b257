// The mouse device object against the registered engine stand-in running as its own process:
// every group opened, edited, applied on the worker (which makes its own connection: the user
// interface's proxies cannot be used on another thread) and read back; editing during a slowed
// write; arrival of the device as a notice with its ids.
#include "device/DeviceFactory.h"
#include "device/DeviceListener.h"
#include "device/Mouse.h"
#include "device/ProfileSpread.h"
#include "MouseModelUtil.h"
#include "StandinHost.h"
#include <gtest/gtest.h>
#include <dbt.h>
#include <tlhelp32.h>
#include <thread>

using namespace vt::device;
using vt::test::StandinEngine;

namespace {

struct DeviceStandin : ::testing::Test {
    void SetUp() override {
        DeviceCore::SetWorkerTimings(0, 7500);
        if (!engine.Ready()) GTEST_SKIP() << "the engine stand-in is not registered";
    }
    void TearDown() override { DeviceCore::SetWorkerTimings(500, 7500); }
    // As the program does once the lighting effects were first shown: the key entries are read too.
    bool OpenAndRead(CMouse& mouse, CDmConfig_Mouse& config) {
        return mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll) && mouse.ReadKeyEntries(&config);
    }
    vt::win::ComInit com{COINIT_APARTMENTTHREADED};
    StandinEngine engine;
};

// The engine server's process id; 0 when none runs.
DWORD ServerProcessId() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    DWORD pid = 0;
    for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e))
        if (_wcsicmp(e.szExeFile, L"VtEngine.exe") == 0) pid = e.th32ProcessID;
    CloseHandle(snap);
    return pid;
}

GUID IdOf(IMouseProfile* p) {
    GUID g{};
    p->GetId(&g);
    return g;
}

} // namespace

// A proxy of this apartment refuses calls from another thread: the reason the worker connects on
// its own.
TEST_F(DeviceStandin, ProxiesStayInTheirApartment) {
    HRESULT other = S_OK;
    std::thread t([&] {
        vt::win::ComInit mta(COINIT_MULTITHREADED);
        vt::win::ComPtr<IVtDevice> d;
        other = engine.manager->EnumDevices(0, d.Put());
    });
    t.join();
    EXPECT_EQ(other, RPC_E_WRONG_THREAD);
}

TEST_F(DeviceStandin, EveryGroupRoundTripsThroughTheServer) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    config.CreateProfile(L"Second");
    IMouseProfile* third = config.CreateProfile(L"Third");
    vt::test::EditDeviceWide(&config, 4);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i + 1);
    config.SetCurrentProfile(third);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    ASSERT_TRUE(mouse.WaitForWorker(30000));
    ASSERT_EQ(mouse.GetLastWriteResult(), 1);
    EXPECT_FALSE(IsNullGuid(IdOf(third)));

    CMouse again;
    CDmConfig_Mouse back;
    ASSERT_TRUE(OpenAndRead(again, back));
    vt::test::ExpectSameModel(&config, &back);
}

// Many profiles written and read with the profiles spread over threads, each of the reader's
// with a connection of its own to the server: the engine ends as with one thread.
TEST_F(DeviceStandin, ManyProfilesRoundTripSpreadOverThreads) {
    ProfileSpread::SetThreads(4);
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    while (config.GetProfileCount() < 12) config.CreateProfile((L"P" + std::to_wstring(config.GetProfileCount())).c_str());
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i + 3);
    config.SetCurrentProfile(config.GetProfileAt(9));
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    ASSERT_TRUE(mouse.WaitForWorker(60000));
    ASSERT_EQ(mouse.GetLastWriteResult(), 1);

    CMouse again;
    CDmConfig_Mouse back;
    ASSERT_TRUE(OpenAndRead(again, back));
    vt::test::ExpectSameModel(&config, &back);
    ASSERT_TRUE(again.TransferProfiles(&back, 0, kGroupAll) && again.WaitForWorker(60000));
    EXPECT_EQ(again.GetLastWriteResult(), 1);
}

TEST_F(DeviceStandin, EditingDuringASlowedWrite) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    vt::test::EditProfile(&config, p, 2);
    IMouseProfile* added = config.CreateProfile(L"Added");
    engine.control->DelayCall(L"IVtLightingColor.SetColor", 40);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    int edits = 0;
    while (mouse.IsBusy() && edits < 400) {
        config.SetDpiStageValue(3, 5000, p);
        config.SetLightColor(3, 0x0F0F0F, p);
        p->SetName(L"Edited meanwhile");
        IMouseProfile* temp = config.CreateProfile(L"Temp");
        config.DeleteProfile(temp);
        EXPECT_FALSE(mouse.HasEngineProfile(p));
        ++edits;
        Sleep(10);
    }
    EXPECT_GT(edits, 3) << "the write was slow enough to overlap the edits";
    ASSERT_TRUE(mouse.WaitForWorker(30000));
    engine.control->DelayCall(L"*", 0);
    EXPECT_EQ(mouse.GetLastWriteResult(), 1);
    EXPECT_FALSE(IsNullGuid(IdOf(added)));
    EXPECT_STREQ(p->GetName(), L"Edited meanwhile");

    CMouse reader;
    CDmConfig_Mouse back;
    ASSERT_TRUE(OpenAndRead(reader, back));
    ASSERT_EQ(back.GetProfileCount(), 2);
    IMouseProfile* q = back.GetProfileAt(0);
    EXPECT_NE(back.GetLightColor(3, q), 0x0F0F0F) << "the write used the copy taken at Apply";
    EXPECT_NE(back.GetDpiStageValue(3, q), 5000u);
}

TEST_F(DeviceStandin, AFailingServerCallIsReportedBack) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    config.SetRateIndex((config.GetRateIndex(nullptr) + 1) % 3, nullptr);
    engine.control->FailCall(L"IVtRateList.SetRate", 1, E_FAIL);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    EXPECT_TRUE(mouse.IsBusy());
    ASSERT_TRUE(mouse.WaitForWorker(30000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 0);
    // Nothing edited since: the rate that failed is written again, and lands.
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    ASSERT_TRUE(mouse.WaitForWorker(30000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 1);
    CDmConfig_Mouse back;
    CMouse reader;
    ASSERT_TRUE(OpenAndRead(reader, back));
    EXPECT_EQ(back.GetRateIndex(nullptr), config.GetRateIndex(nullptr));
}

// Unplugging and plugging the mouse in the stand-in sends the device-change notices Windows would;
// they carry the maker's vendor id and the mouse's product id.
TEST_F(DeviceStandin, ArrivalAndRemovalNoticesCarryTheIds) {
    struct Seen { std::vector<std::pair<WPARAM, DeviceIds>> notices; };
    static Seen* seen = nullptr;
    Seen local;
    seen = &local;
    WNDCLASSW wc{};
    wc.lpszClassName = L"VtDeviceStandinListener";
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_DEVICECHANGE && (w == DBT_DEVICEARRIVAL || w == DBT_DEVICEREMOVECOMPLETE)) {
            DeviceIds ids;
            if (seen && DeviceIdsFromNotice(l, ids)) seen->notices.emplace_back(w, ids);
            return TRUE;
        }
        return DefWindowProcW(h, m, w, l);
    };
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"listener", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    CDeviceListener listener;
    listener.RegisterDeviceNotifications(window);
    ASSERT_EQ(S_OK, engine.control->SetPresent(VT_PID_MOUSE, FALSE));
    ASSERT_EQ(S_OK, engine.control->SetPresent(VT_PID_MOUSE, TRUE));
    DWORD start = GetTickCount();
    while (local.notices.size() < 2 && GetTickCount() - start < 5000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    DestroyWindow(window);
    seen = nullptr;
    ASSERT_GE(local.notices.size(), 2u);
    EXPECT_EQ(local.notices[0].first, WPARAM(DBT_DEVICEREMOVECOMPLETE));
    EXPECT_EQ(local.notices[1].first, WPARAM(DBT_DEVICEARRIVAL));
    for (const auto& n : local.notices) {
        EXPECT_EQ(n.second.vendorId, VT_VENDOR_ID);
        EXPECT_EQ(n.second.productId, VT_PID_MOUSE);
    }
}

// The factory with the server: the real mouse; without the mouse: the do-nothing one.
TEST_F(DeviceStandin, FactoryFollowsPresence) {
    CDmConfig_Mouse config;
    IMouseDevice* device = nullptr;
    EXPECT_TRUE(CreateMouseDevice(&kMouseDescription, &device, &config));
    EXPECT_EQ(device, static_cast<IMouseDevice*>(RealMouse()));
    engine.control->SetPresent(VT_PID_MOUSE, FALSE);
    EXPECT_TRUE(RecreateMouseDevice(&device, &config));
    EXPECT_EQ(device, static_cast<IMouseDevice*>(NullMouse()));
    engine.control->SetPresent(VT_PID_MOUSE, TRUE);
    EXPECT_TRUE(RecreateMouseDevice(&device, &config));
    EXPECT_EQ(device, static_cast<IMouseDevice*>(RealMouse()));
    DestroyDevices();
}

// The server ends (as on its idle limit or a restart); the next operation of the same device
// objects starts it again through activation and works, with no new objects made by the program.
TEST_F(DeviceStandin, TheNextOperationAfterTheServerEndedStartsItAgain) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    DWORD pid = ServerProcessId();
    ASSERT_NE(pid, 0u);
    HANDLE server = OpenProcess(SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(server, nullptr);
    engine.control->Shutdown();
    engine.control.Reset();
    engine.manager.Reset();
    const DWORD ended = WaitForSingleObject(server, 20000);
    CloseHandle(server);
    ASSERT_EQ(ended, WAIT_OBJECT_0) << "the server ends after Shutdown";

    config.SetAcceleration(8, nullptr);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll)) << "the write's connection starts the server again";
    ASSERT_TRUE(mouse.WaitForWorker(30000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 1);
    CDmConfig_Mouse back;
    CMouse again;
    ASSERT_TRUE(OpenAndRead(again, back));
    EXPECT_EQ(back.GetAcceleration(nullptr), 8u);
    EXPECT_NE(ServerProcessId(), pid);
}
