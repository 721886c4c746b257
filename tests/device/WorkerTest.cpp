// The device worker: one write job at a time on its own thread with its own connection, its
// result and completion observed on the calling thread, and teardown while it runs.
#include "device/DeviceBase.h"
#include "FakeEngine.h"
#include "win/Handles.h"
#include <gtest/gtest.h>

using namespace vt::device;
using vt::test::FakeEngine;

namespace {

// A gate the job waits on, so a test decides when the write ends.
struct Gate {
    vt::win::UniqueHandle event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    void Open() { SetEvent(event.Get()); }
    bool Wait(DWORD ms = 10000) { return WaitForSingleObject(event.Get(), ms) == WAIT_OBJECT_0; }
};

struct DeviceWorker : ::testing::Test {
    void SetUp() override {
        DeviceCore::SetWorkerTimings(20, 2000);
        engine.state.devices = {{0x19}};
    }
    void TearDown() override { DeviceCore::SetWorkerTimings(500, 7500); }
    vt::win::ComInit com;
    FakeEngine engine;
};

} // namespace

TEST_F(DeviceWorker, RunsOnItsOwnThreadWithItsOwnConnectionAndCompletes) {
    DeviceCore core(&kMouseDescription);
    DWORD ui = GetCurrentThreadId();
    std::atomic<DWORD> jobThread{0};
    std::atomic<bool> ownConnection{false};
    int completions = 0;
    bool completedWith = false;
    DWORD completionThread = 0;
    ASSERT_TRUE(core.StartDeviceWorker(
        [&](EngineConnection& c) {
            jobThread = GetCurrentThreadId();
            ownConnection = c.IsOpen();
            return true;
        },
        [&](bool ok) { ++completions; completedWith = ok; completionThread = GetCurrentThreadId(); }));
    EXPECT_TRUE(core.IsBusy());
    EXPECT_EQ(core.LastWriteResult(), DeviceCore::kWriteNone);
    ASSERT_TRUE(core.WaitForWorker(5000));
    EXPECT_FALSE(core.IsBusy());
    EXPECT_NE(jobThread.load(), 0u);
    EXPECT_NE(jobThread.load(), ui);
    EXPECT_TRUE(ownConnection.load());
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(completedWith);
    EXPECT_EQ(completionThread, ui) << "the completion runs where the model lives";
    EXPECT_EQ(core.LastWriteResult(), DeviceCore::kWriteSucceeded);
    // The probe on this thread and the worker's own connection: two managers, made on two threads.
    std::lock_guard<std::mutex> g(engine.state.lock);
    ASSERT_EQ(engine.state.creatorThreads.size(), 2u);
    EXPECT_EQ(engine.state.creatorThreads[0], ui);
    EXPECT_EQ(engine.state.creatorThreads[1], jobThread.load());
    EXPECT_EQ(engine.state.liveObjects.load(), 0);
}

TEST_F(DeviceWorker, AFailedWriteIsReportedBack) {
    DeviceCore core(&kMouseDescription);
    bool completedWith = true;
    ASSERT_TRUE(core.StartDeviceWorker([](EngineConnection&) { return false; },
                                       [&](bool ok) { completedWith = ok; }));
    ASSERT_TRUE(core.WaitForWorker(5000));
    EXPECT_FALSE(completedWith);
    EXPECT_EQ(core.LastWriteResult(), DeviceCore::kWriteFailed);
}

// The device vanishes between the start and the worker's own connect: the worker still ends,
// reports failure and leaves the device idle.
TEST_F(DeviceWorker, AWorkerThatCannotConnectStillCompletes) {
    DeviceCore core(&kMouseDescription);
    std::atomic<int> runs{0};
    // Remove the device once the probe has connected: the factory of the worker finds none.
    std::atomic<int> calls{0};
    vt::device::SetEngineFactory([&](IVtDeviceMgr** out) -> HRESULT {
        if (++calls >= 2) return REGDB_E_CLASSNOTREG;
        *out = new vt::test::FakeManager(&engine.state);
        return S_OK;
    });
    bool completed = false, result = true;
    ASSERT_TRUE(core.StartDeviceWorker([&](EngineConnection&) { ++runs; return true; },
                                       [&](bool ok) { completed = true; result = ok; }));
    ASSERT_TRUE(core.WaitForWorker(5000));
    EXPECT_TRUE(completed);
    EXPECT_FALSE(result);
    EXPECT_EQ(runs.load(), 0);
    EXPECT_FALSE(core.IsBusy());
}

TEST_F(DeviceWorker, ASecondStartWhileRunningIsRefused) {
    DeviceCore core(&kMouseDescription);
    Gate entered, release;
    std::atomic<int> runs{0};
    auto job = [&](EngineConnection&) { ++runs; entered.Open(); release.Wait(); return true; };
    ASSERT_TRUE(core.StartDeviceWorker(job));
    ASSERT_TRUE(entered.Wait());
    long managers = engine.state.managersCreated;
    EXPECT_FALSE(core.StartDeviceWorker(job));
    EXPECT_EQ(engine.state.managersCreated.load(), managers) << "a refused start connects nowhere";
    release.Open();
    ASSERT_TRUE(core.WaitForWorker(5000));
    EXPECT_EQ(runs.load(), 1);
    // Once ended, a new write starts.
    ASSERT_TRUE(core.StartDeviceWorker([&](EngineConnection&) { ++runs; return true; }));
    ASSERT_TRUE(core.WaitForWorker(5000));
    EXPECT_EQ(runs.load(), 2);
}

// A synchronous operation while the worker runs answers false and leaves the worker's
// connection alone: the worker's device still answers after it.
TEST_F(DeviceWorker, OperationsDuringTheWriteAreRefusedWithoutDisturbingIt) {
    DeviceCore core(&kMouseDescription);
    Gate entered, release;
    std::atomic<bool> stillWorks{false};
    ASSERT_TRUE(core.StartDeviceWorker([&](EngineConnection& c) {
        entered.Open();
        release.Wait();
        VtDeviceInfo info{};
        HRESULT hr = c.Device()->GetDeviceInfo(&info);
        CoTaskMemFree(info.DevicePath);
        stillWorks = SUCCEEDED(hr) && info.ProductId == 0x19;
        return stillWorks.load();
    }));
    ASSERT_TRUE(entered.Wait());
    long live = engine.state.liveObjects;
    int runs = 0;
    EXPECT_FALSE(core.RunDeviceJob([&](EngineConnection&) { ++runs; return true; }));
    EngineConnection mine;
    EXPECT_FALSE(core.ConnectToEngine(mine));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(engine.state.liveObjects.load(), live) << "nothing of the worker's was released";
    EXPECT_TRUE(core.IsBusy());
    release.Open();
    ASSERT_TRUE(core.WaitForWorker(5000));
    EXPECT_TRUE(stillWorks.load());
    EXPECT_EQ(core.LastWriteResult(), DeviceCore::kWriteSucceeded);
    EXPECT_TRUE(core.RunDeviceJob([](EngineConnection&) { return true; }));
}

TEST_F(DeviceWorker, NoStartWithoutEngineOrDevice) {
    DeviceCore core(&kMouseDescription);
    engine.state.devices = {{0x1A}};
    EXPECT_FALSE(core.StartDeviceWorker([](EngineConnection&) { return true; }));
    EXPECT_FALSE(core.IsBusy());
    engine.state.devices = {{0x19}};
    engine.state.createResult = REGDB_E_CLASSNOTREG;
    EXPECT_FALSE(core.StartDeviceWorker([](EngineConnection&) { return true; }));
    DeviceDescription none{0, nullptr, 0};
    DeviceCore absent(&none);
    engine.state.createResult = S_OK;
    EXPECT_FALSE(absent.StartDeviceWorker([](EngineConnection&) { return true; }));
}

// Teardown waits a bounded time; a worker that outlives it keeps what it uses and ends later
// without a completion.
TEST_F(DeviceWorker, TeardownWhileTheWorkerRuns) {
    DeviceCore::SetWorkerTimings(0, 100);
    Gate entered, release, ended;
    bool completed = false;
    auto core = std::make_unique<DeviceCore>(&kMouseDescription);
    ASSERT_TRUE(core->StartDeviceWorker(
        [&](EngineConnection& c) {
            entered.Open();
            release.Wait();
            VtDeviceInfo info{};
            HRESULT hr = c.Device()->GetDeviceInfo(&info);
            CoTaskMemFree(info.DevicePath);
            ended.Open();
            return SUCCEEDED(hr);
        },
        [&](bool) { completed = true; }));
    ASSERT_TRUE(entered.Wait());
    DWORD start = GetTickCount();
    core.reset();
    EXPECT_LT(GetTickCount() - start, 2000u);
    release.Open();
    ASSERT_TRUE(ended.Wait());
    for (int i = 0; i < 200 && engine.state.liveObjects.load() != 0; ++i) Sleep(10);
    EXPECT_EQ(engine.state.liveObjects.load(), 0);
    EXPECT_FALSE(completed);
}
