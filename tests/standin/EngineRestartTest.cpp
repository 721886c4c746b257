// A killed engine server is replaced on the next connection. Under Wine the killed server's class
// registration stays in COM for the rest of the session, so these run before the server the other
// server tests share is started (which then comes up through the engine's handler as well), and
// the servers started here end 2 s after their last use.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <memory>
#include <vector>
#include "ChildProcess.h"
#include "EngineTestUtil.h"
#include "ServerInstance.h"
#include "WindowTest.h"

using namespace vt::test::engine;

namespace {

std::vector<DWORD> EngineServers() {
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
        if (!_wcsicmp(e.szExeFile, L"VtEngine.exe")) pids.push_back(e.th32ProcessID);
    CloseHandle(snap);
    return pids;
}

bool KillProcess(DWORD pid) {
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!h) return false;
    bool ok = TerminateProcess(h, 9) && WaitForSingleObject(h, 10000) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ok;
}

std::wstring EngineCtl(const wchar_t* args) { return L"\"" + vt::test::StandinFolder() + L"enginectl.exe\" " + args; }

class EngineRestart : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"2");
        ASSERT_EQ(S_OK, Connect());
    }
    HRESULT Connect() {
        ctl.Reset();
        mgr.Reset();
        HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, 23, IID_IVtDeviceMgr, mgr.PutVoid());
        if (SUCCEEDED(hr)) hr = mgr.As(ctl);
        return hr;
    }
    ComPtr<IVtProfile> Active(ULONG pid) {
        ComPtr<IVtProfile> p;
        if (auto pm = Feature<IVtProfileManager>(DeviceOf(mgr.Get(), pid).Get(), IID_IVtProfileManager)) pm->GetActiveProfile(p.Put());
        return p;
    }
    ComPtr<IVtDeviceMgr> mgr;
    ComPtr<IVtSimControl> ctl;
};

// A client is connected when the server is killed: calls on the old connection fail at once, and
// the next connection (this process's and enginectl's) reaches a fresh server holding the state
// written before. Killed again while no client is connected, it is replaced again.
TEST_F(EngineRestart, AKilledServerIsReplacedOnTheNextConnection) {
    auto active = Active(VT_PID_MOUSE);
    ASSERT_TRUE(active);
    ASSERT_EQ(S_OK, active->SetName(L"Before the kill"));
    active.Reset();
    ASSERT_EQ(S_OK, ctl->ReloadState());  // written to its state file
    DWORD old = vt::engine::instance::PublishedServer();
    ASSERT_NE(0u, old);
    ASSERT_TRUE(KillProcess(old));
    ULONG objects = 0, sinks = 0;
    HRESULT hr = ctl->GetCounts(&objects, &sinks);
    EXPECT_TRUE(vt::engine::instance::IsServerGone(hr)) << std::hex << hr;

    // This server is to be killed once its clients have let go: it must not end on its idle limit
    // first, while enginectl starts (seconds under load).
    SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"60");
    ULONGLONG start = GetTickCount64();
    ASSERT_EQ(S_OK, Connect());
    EXPECT_LT(GetTickCount64() - start, 10000u) << "the new server took too long";
    DWORD fresh = vt::engine::instance::PublishedServer();
    EXPECT_NE(0u, fresh);
    EXPECT_NE(old, fresh);
    active = Active(VT_PID_MOUSE);
    ASSERT_TRUE(active);
    EXPECT_EQ(L"Before the kill", NameOf(active.Get()));
    active.Reset();
    ChildProcess dump;
    ASSERT_TRUE(dump.Start(EngineCtl(L"dump")));
    ASSERT_EQ(0, dump.Wait(30000));
    EXPECT_NE(std::string::npos, dump.Output().find("\"name\":\"Before the kill\""));

    ctl.Reset();
    mgr.Reset();
    ChildProcess kill;
    ASSERT_TRUE(kill.Start(EngineCtl(L"kill")));
    ASSERT_EQ(0, kill.Wait(30000)) << kill.Output();
    EXPECT_EQ(0u, vt::engine::instance::PublishedServer());
    SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"2");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(L"Before the kill", NameOf(Active(VT_PID_MOUSE).Get()));
}

// After a kill, several clients connecting at once all reach the same one new server.
TEST_F(EngineRestart, ClientsConnectingAtOnceAfterAKillShareOneServer) {
    DWORD old = vt::engine::instance::PublishedServer();
    ASSERT_NE(0u, old);
    ctl.Reset();
    mgr.Reset();
    ASSERT_TRUE(KillProcess(old));
    std::vector<std::unique_ptr<ChildProcess>> clients;
    for (int i = 0; i < 4; ++i) {
        clients.push_back(std::make_unique<ChildProcess>());
        ASSERT_TRUE(clients.back()->Start(EngineCtl(L"counts")));
    }
    for (auto& c : clients) EXPECT_EQ(0, c->Wait(40000)) << c->Output();
    // A server that lost the race ends at once; the one left serves.
    DWORD serving = vt::engine::instance::PublishedServer();
    ASSERT_NE(0u, serving);
    std::vector<DWORD> servers;
    ASSERT_TRUE(vt::test::PumpUntil([&] { return (servers = EngineServers()).size() == 1; }, 15000))
        << servers.size() << " servers";
    EXPECT_EQ(serving, servers[0]);
    ASSERT_EQ(S_OK, Connect());
}

}  // namespace
