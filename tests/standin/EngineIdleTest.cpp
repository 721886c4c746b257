// The engine server's idle limit. It runs before the other server tests (which share the server
// started for them from a shell): a server a test process starts keeps that test's error stream
// open under Wine, so the servers started here end 2 s after their last use.
#include <gtest/gtest.h>
#include <windows.h>
#include "EngineTestUtil.h"

using namespace vt::test::engine;

namespace {

class EngineIdle : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"2");
        HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
        ASSERT_EQ(S_OK, hr) << "the engine server is not registered in this prefix";
        ASSERT_EQ(S_OK, mgr.As(ctl));
    }
    ComPtr<IVtDeviceMgr> mgr;
    ComPtr<IVtSimControl> ctl;
};

// The idle limit counts activity: a client whose every connection lasts a few milliseconds, once
// every 0.6 s, keeps a server with a 2 s limit, which ends about 2 s after the last call.
TEST_F(EngineIdle, ShortCallsMoreOftenThanTheIdleLimitKeepTheServer) {
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
