// Engine batches against the engine core hosted in-process: within one batch the device manager,
// the devices, the profile list and every feature object are fetched once and the model reads the
// same as without a batch; a failed engine call is a failed operation of a device that is still
// there; an engine that cannot be reached is told apart from an absent device, and the next
// operation after it is back reconnects.
#include "device/EngineBatch.h"
#include "device/HeadsetDevice.h"
#include "device/Keyboard.h"
#include "device/Mouse.h"
#include "device/ProfileSpread.h"
#include "EngineHost.h"
#include "MouseModelUtil.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include <gtest/gtest.h>
#include <thread>

using namespace vt::device;
using vt::test::InProcessEngine;

namespace {

// Every profile on the calling thread: threads that read profiles have connections of their own
// (the spread's own tests cover them).
struct EngineBatches : ::testing::Test {
    void SetUp() override {
        DeviceCore::SetWorkerTimings(0, 7500);
        ProfileSpread::SetThreads(1);
    }
    void TearDown() override {
        DeviceCore::SetWorkerTimings(500, 7500);
        ProfileSpread::SetThreads(4);
    }

    // Three engine profiles with edited groups, written by a first mouse object.
    void ThreeEditedProfiles() {
        CMouse mouse;
        CDmConfig_Mouse config;
        ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
        config.CreateProfile(L"Second");
        config.CreateProfile(L"Third");
        vt::test::EditDeviceWide(&config, 3);
        for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i + 1);
        ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
        ASSERT_TRUE(mouse.WaitForWorker(20000));
        ASSERT_EQ(mouse.GetLastWriteResult(), 1);
    }

    vt::win::ComInit com;
    InProcessEngine engine;
};

} // namespace

TEST_F(EngineBatches, OpenAndReadInOneBatchFetchEachObjectOnceAndReadTheSame) {
    ThreeEditedProfiles();
    engine.Log();
    CDmConfig_Mouse alone;
    {
        CMouse mouse;
        ASSERT_TRUE(mouse.Open(&alone) && mouse.TransferProfiles(&alone, 1, kGroupAll));
    }
    const std::wstring aloneLog = engine.Log();

    CDmConfig_Mouse batched;
    {
        CMouse mouse;
        EngineBatch batch;
        ASSERT_TRUE(mouse.Open(&batched) && mouse.TransferProfiles(&batched, 1, kGroupAll));
    }
    const std::wstring log = engine.Log();
    vt::test::ExpectSameModel(&alone, &batched);

    EXPECT_EQ(engine.Calls(aloneLog, L"IVtDeviceMgr.EnumDevices"), 2u) << "two connections without a batch";
    EXPECT_EQ(engine.Calls(log, L"IVtDeviceMgr.EnumDevices"), 1u);
    EXPECT_EQ(engine.Calls(log, L"IVtDevice.GetDeviceInfo"), 1u) << "the versions come with the connection";
    EXPECT_EQ(engine.Calls(log, L"IVtProfileManager.GetProfileByIndex"), 4u) << "the list is read once";
    EXPECT_EQ(engine.Calls(log, L"IVtProfile.GetId"), 4u) << "each profile's and the active one's";
    EXPECT_EQ(engine.Calls(log, L"IVtProfile.GetName"), 3u);
    // Per profile: its properties, DPI, buttons and lighting, each fetched once for open and read.
    EXPECT_EQ(engine.Calls(log, L"IVtProfile.CreateInterfaceInstance"), 3u * 4u);
    EXPECT_EQ(engine.Calls(log, L"IVtLighting.GetZone"), engine.Calls(aloneLog, L"IVtLighting.GetZone"));
    EXPECT_LT(engine.Calls(log, L"\n"), engine.Calls(aloneLog, L"\n"));
}

// Outside a batch nothing is kept: each operation sees what the engine holds now.
TEST_F(EngineBatches, EachOperationWithoutABatchReadsTheEngineAfresh) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
    {
        EngineConnection c;
        ASSERT_TRUE(c.Connect(VT_PID_MOUSE));
        vt::win::ComPtr<IVtProfileManager> manager;
        ASSERT_TRUE(c.ProfileManager(manager));
        vt::win::ComPtr<IVtProfile> p;
        ASSERT_TRUE(SUCCEEDED(manager->GetProfileByIndex(0, p.Put())));
        ASSERT_TRUE(SUCCEEDED(p->SetName(L"Renamed elsewhere")));
    }
    ASSERT_TRUE(mouse.TransferProfiles(&config, 1, kGroupAll));
    EXPECT_STREQ(config.GetProfileAt(0)->GetName(), L"Renamed elsewhere");
    EXPECT_FALSE(EngineBatch::IsOpen());
}

// A call the engine fails during a read is a failed read of a device that is still there; an
// engine that cannot be made is told apart from a device it does not list.
TEST_F(EngineBatches, AFailedReadIsNotAnAbsentDevice) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
    const std::wstring name = config.GetProfileAt(0)->GetName();

    engine.control->FailCall(L"IVtProfileManager.GetProfileByIndex", 1, RPC_E_DISCONNECTED);
    EXPECT_FALSE(mouse.TransferProfiles(&config, 1, kGroupAll));
    EXPECT_EQ(mouse.LastReach(), EngineReach::Reached) << "the engine still lists the mouse";
    EXPECT_EQ(ProbeDevice(VT_PID_MOUSE), EngineReach::Reached);
    ASSERT_EQ(config.GetProfileCount(), 1);
    EXPECT_EQ(config.GetProfileAt(0)->GetName(), name);

    engine.control->SetPresent(VT_PID_MOUSE, 0);
    EXPECT_FALSE(mouse.TransferProfiles(&config, 1, kGroupAll));
    EXPECT_EQ(mouse.LastReach(), EngineReach::DeviceAbsent);
    EXPECT_EQ(ProbeDevice(VT_PID_MOUSE), EngineReach::DeviceAbsent);
    engine.control->SetPresent(VT_PID_MOUSE, 1);
}

// The engine goes away (no manager can be made) and comes back: the operations in between fail
// with the engine unreachable, the next one after its return reconnects, for every device kind
// and for the write job.
TEST_F(EngineBatches, TheNextOperationAfterTheEngineIsBackReconnects) {
    CMouse mouse;
    CDmConfig_Mouse mouseConfig;
    CKeyboard keyboard;
    CDmConfig_Keyboard keyboardConfig;
    CDmConfig_Headset headsetConfig;
    CAudioDevice headset(&kHeadsetDescription, &headsetConfig);
    ASSERT_TRUE(mouse.Open(&mouseConfig) && keyboard.Open(&keyboardConfig) && headset.Open());

    auto core = engine.engine;
    bool down = true;
    SetEngineFactory([&](IVtDeviceMgr** out) -> HRESULT {
        if (down) return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
        return vt::engine::CreateDeviceManager(core, IID_IVtDeviceMgr, reinterpret_cast<void**>(out));
    });
    EXPECT_FALSE(mouse.TransferProfiles(&mouseConfig, 1, kGroupAll));
    EXPECT_EQ(mouse.LastReach(), EngineReach::EngineUnreachable);
    EXPECT_FALSE(mouse.TransferProfiles(&mouseConfig, 0, kGroupAll)) << "no write starts without the engine";
    EXPECT_EQ(mouse.LastReach(), EngineReach::EngineUnreachable);
    EXPECT_FALSE(keyboard.TransferProfiles(&keyboardConfig, 1, kGroupAll));
    EXPECT_FALSE(headset.Apply(1, kHeadsetAll));
    EXPECT_EQ(headset.LastReach(), EngineReach::EngineUnreachable);
    EXPECT_EQ(ProbeDevice(VT_PID_MOUSE), EngineReach::EngineUnreachable);

    down = false;
    EXPECT_TRUE(mouse.TransferProfiles(&mouseConfig, 1, kGroupAll));
    EXPECT_EQ(mouse.LastReach(), EngineReach::Reached);
    EXPECT_TRUE(keyboard.TransferProfiles(&keyboardConfig, 1, kGroupAll));
    EXPECT_TRUE(headset.Apply(1, kHeadsetAll));
    mouseConfig.SetAcceleration(7, nullptr);
    ASSERT_TRUE(mouse.TransferProfiles(&mouseConfig, 0, kGroupAll));
    ASSERT_TRUE(mouse.WaitForWorker(20000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 1);
    CDmConfig_Mouse back;
    CMouse again;
    ASSERT_TRUE(again.Open(&back) && again.TransferProfiles(&back, 1, kGroupAll));
    EXPECT_EQ(back.GetAcceleration(nullptr), 7u);
}

// On a window's thread what an operation's batch kept is released once the thread's messages have
// been handled, not while the operation's caller waits: at the latest before the next batch on the
// thread fetches anything, and before the thread leaves its apartment.
TEST_F(EngineBatches, AWindowThreadReleasesWhatItsBatchKeptOnceIdle) {
    const long alive = vt::engine::Engine::s_objects;
    auto openInBatch = [] {
        EngineBatch batch;
        CMouse mouse;
        CDmConfig_Mouse config;
        return mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll);
    };
    ASSERT_TRUE(openInBatch());
    EXPECT_GT(vt::engine::Engine::s_objects.load(), alive) << "kept past the batch";
    const DWORD start = GetTickCount();
    while (vt::engine::Engine::s_objects > alive && GetTickCount() - start < 5000) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        else MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    EXPECT_EQ(vt::engine::Engine::s_objects.load(), alive) << "released once the messages were handled";

    ASSERT_TRUE(openInBatch());
    {
        EngineBatch next;
        EXPECT_EQ(vt::engine::Engine::s_objects.load(), alive) << "released before the next batch";
    }

    bool kept = false, read = false;
    std::thread([&] {
        vt::win::ComInit sta;
        read = openInBatch();
        kept = vt::engine::Engine::s_objects > alive;
    }).join();
    EXPECT_TRUE(read);
    EXPECT_TRUE(kept);
    EXPECT_EQ(vt::engine::Engine::s_objects.load(), alive) << "released as the thread left its apartment";
    EngineBatch::ReleaseEnded();
}
