// Engine connection: device matching, version texts, and a connection that is already open.
#include "device/DeviceBase.h"
#include "device/EngineConnection.h"
#include "FakeEngine.h"
#include "win/Handles.h"
#include <gtest/gtest.h>

using namespace vt::device;
using vt::test::FakeDeviceSetup;
using vt::test::FakeEngine;

namespace {
struct DeviceConnection : ::testing::Test {
    vt::win::ComInit com;
    FakeEngine engine;
};

ULONG FirmwareMinor(IVtDevice* d) {
    VtDeviceInfo info{};
    d->GetDeviceInfo(&info);
    CoTaskMemFree(info.DevicePath);
    return info.FirmwareVersion.Minor;
}
} // namespace

TEST_F(DeviceConnection, TheFirstMatchingDeviceIsKept) {
    struct Case {
        const char* name;
        std::vector<FakeDeviceSetup> devices;
        uint32_t pid;
        bool connects;
        ULONG minor;  // firmware minor of the device kept
    };
    const Case cases[] = {
        {"only match", {{0x19, false, {1, 1}}}, 0x19, true, 1},
        {"match after others", {{0x1A}, {0x1B}, {0x19, false, {1, 3}}}, 0x19, true, 3},
        {"two with the pid: lower index", {{0x19, false, {1, 4}}, {0x19, false, {1, 5}}}, 0x19, true, 4},
        {"failing info is skipped", {{0x19, true, {1, 6}}, {0x19, false, {1, 7}}}, 0x19, true, 7},
        {"no match", {{0x1A}, {0x1B}}, 0x19, false, 0},
        {"no devices", {}, 0x19, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.state.devices = c.devices;
        long pathsBefore = engine.state.pathsHandedOut;
        {
            EngineConnection conn;
            EXPECT_EQ(conn.Connect(c.pid), c.connects);
            EXPECT_EQ(conn.IsOpen(), c.connects);
            if (c.connects) { EXPECT_EQ(FirmwareMinor(conn.Device()), c.minor); }
        }
        EXPECT_EQ(engine.state.liveObjects.load(), 0) << "every engine object released";
        EXPECT_GE(engine.state.pathsHandedOut.load(), pathsBefore);
    }
}

TEST_F(DeviceConnection, ProductIdZeroCreatesNothing) {
    engine.state.devices = {{0x19}};
    EngineConnection conn;
    EXPECT_FALSE(conn.Connect(0));
    EXPECT_EQ(engine.state.managersCreated.load(), 0);
}

TEST_F(DeviceConnection, EngineMissingFails) {
    engine.state.createResult = REGDB_E_CLASSNOTREG;
    engine.state.devices = {{0x19}};
    EngineConnection conn;
    EXPECT_FALSE(conn.Connect(0x19));
    EXPECT_FALSE(conn.IsOpen());
}

// Connecting again over an open connection changes nothing: no new manager replaces the held
// one, and the held device keeps working.
TEST_F(DeviceConnection, AnOpenConnectionIsLeftUntouched) {
    engine.state.devices = {{0x19, false, {1, 2}}};
    EngineConnection conn;
    ASSERT_TRUE(conn.Connect(0x19));
    IVtDeviceMgr* manager = conn.Manager();
    IVtDevice* device = conn.Device();
    long live = engine.state.liveObjects;
    long created = engine.state.managersCreated;
    EXPECT_FALSE(conn.Connect(0x19));
    EXPECT_EQ(conn.Manager(), manager);
    EXPECT_EQ(conn.Device(), device);
    EXPECT_EQ(engine.state.liveObjects.load(), live);
    EXPECT_EQ(engine.state.managersCreated.load(), created);
    EXPECT_EQ(FirmwareMinor(conn.Device()), 2u);
    conn.Disconnect();
    EXPECT_EQ(engine.state.liveObjects.load(), 0);
}

TEST_F(DeviceConnection, VersionTextsAndTheirFailure) {
    engine.state.devices = {{0x19, false, {1, 5}, {2, 10}}};
    EngineConnection conn;
    ASSERT_TRUE(conn.Connect(0x19));
    std::wstring fw, drv;
    EXPECT_TRUE(ReadVersionTexts(conn.Device(), fw, drv));
    EXPECT_EQ(fw, L"1.05");
    EXPECT_EQ(drv, L"2.10");

    // A device whose information cannot be read gives "0.00" for both.
    FakeDeviceSetup failing{0x19, true};
    auto* bad = new vt::test::FakeDevice(&engine.state, failing);
    fw = drv = L"x";
    EXPECT_FALSE(ReadVersionTexts(bad, fw, drv));
    EXPECT_EQ(fw, L"0.00");
    EXPECT_EQ(drv, L"0.00");
    bad->Release();
}

TEST_F(DeviceConnection, RunDeviceJobConnectsRunsAndDisconnects) {
    engine.state.devices = {{0x19}};
    DeviceCore core(&kMouseDescription);
    int runs = 0;
    EXPECT_TRUE(core.RunDeviceJob([&](EngineConnection& c) { ++runs; return c.IsOpen(); }));
    EXPECT_FALSE(core.RunDeviceJob([&](EngineConnection&) { ++runs; return false; }));
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(core.IsConnected());
    EXPECT_EQ(engine.state.liveObjects.load(), 0);

    engine.state.devices = {{0x1A}};
    EXPECT_FALSE(core.RunDeviceJob([&](EngineConnection&) { ++runs; return true; }));
    EXPECT_EQ(runs, 2) << "no job without a device";
    EXPECT_FALSE(core.IsConnected());
}
