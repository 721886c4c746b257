// The engine server's own life: a killed server is replaced by a fresh one on the next connection,
// and the idle limit counts activity. These run before the other server tests (which share the
// server started for them from a shell): every server a test process starts keeps that test's
// error stream open under Wine, so the servers started here end 2 s after their last use.
#include <gtest/gtest.h>
#include <windows.h>
#include "ChildProcess.h"
#include "EngineTestUtil.h"
#include "Rendezvous.h"
#include "WindowTest.h"

using namespace vt::test::engine;

namespace {

class EngineRestart : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"2");
        HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
        ASSERT_EQ(S_OK, hr) << "the engine server is not registered in this prefix";
        ASSERT_EQ(S_OK, mgr.As(ctl));
    }
    ComPtr<IVtProfile> Active(ULONG pid) {
        ComPtr<IVtProfile> p;
        Feature<IVtProfileManager>(DeviceOf(mgr.Get(), pid).Get(), IID_IVtProfileManager)->GetActiveProfile(p.Put());
        return p;
    }
    ComPtr<IVtDeviceMgr> mgr;
    ComPtr<IVtSimControl> ctl;
};

// A client connects, the server is killed: calls on the old connection fail at once, and the
// next connection (this process's and another's) gets a fresh server with the state written before.
TEST_F(EngineRestart, AKilledServerIsReplacedOnTheNextConnection) {
    ASSERT_EQ(S_OK, Active(VT_PID_MOUSE)->SetName(L"Before the kill"));
    ASSERT_EQ(S_OK, ctl->ReloadState());  // written to its state file
    DWORD old = EngineServerPid();
    ASSERT_NE(0u, old);
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, old);
    ASSERT_NE(nullptr, h);
    ASSERT_TRUE(TerminateProcess(h, 9));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 10000));
    CloseHandle(h);
    ULONG objects = 0, sinks = 0;
    HRESULT hr = ctl->GetCounts(&objects, &sinks);
    EXPECT_TRUE(vt::engine::rendezvous::IsDisconnection(hr)) << std::hex << hr;
    ctl.Reset();
    mgr.Reset();

    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid()));
    ASSERT_EQ(S_OK, mgr.As(ctl));
    DWORD fresh = EngineServerPid();
    EXPECT_NE(0u, fresh);
    EXPECT_NE(old, fresh);
    EXPECT_EQ(L"Before the kill", NameOf(Active(VT_PID_MOUSE).Get()));
    ChildProcess dump;
    ASSERT_TRUE(dump.Start(L"\"" + vt::test::ImageFolder() + L"enginectl.exe\" dump"));
    ASSERT_EQ(0, dump.Wait(30000));
    EXPECT_NE(std::string::npos, dump.Output().find("\"name\":\"Before the kill\""));
    // Killed again while idle, with no client connected: the next connection recovers as well.
    ctl.Reset();
    mgr.Reset();
    h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, fresh);
    ASSERT_NE(nullptr, h);
    TerminateProcess(h, 9);
    WaitForSingleObject(h, 10000);
    CloseHandle(h);
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid()));
    ASSERT_EQ(S_OK, mgr.As(ctl));
    EXPECT_EQ(L"Before the kill", NameOf(Active(VT_PID_MOUSE).Get()));
}

// The idle limit counts activity: a client whose every connection lasts a few milliseconds, once
// every 0.6 s, keeps a server with a 2 s limit, which ends about 2 s after the last call.
TEST_F(EngineRestart, ShortCallsMoreOftenThanTheIdleLimitKeepTheServer) {
    DWORD old = EngineServerPid();
    ASSERT_EQ(S_OK, ctl->Shutdown());
    ctl.Reset();
    mgr.Reset();
    if (HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, old)) {
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 15000));
        CloseHandle(h);
    }
    // The next server is started from this process and takes the limit from its environment.
    SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"2");
    DWORD pid = 0, quietSince = 0;
    for (int i = 0; i < 10; ++i) {
        if (i) Sleep(600);
        {
            ComPtr<IVtDeviceMgr> m;
            ASSERT_EQ(S_OK, CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, m.PutVoid()));
            ComPtr<IVtDevice> d;
            ASSERT_EQ(S_OK, m->EnumDevices(0, d.Put()));
        }
        quietSince = GetTickCount();
        DWORD now = EngineServerPid();
        if (i == 0) pid = now;
        EXPECT_EQ(pid, now) << "call " << i;
    }
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(nullptr, h);
    DWORD spent = GetTickCount() - quietSince;
    if (spent < 1000) EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(h, 1000 - spent)) << "ended before its idle limit";
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), WaitForSingleObject(h, 10000)) << "still running well after its idle limit";
    CloseHandle(h);
}

}  // namespace
