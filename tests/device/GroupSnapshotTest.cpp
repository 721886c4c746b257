// The write job writes only the groups whose values the engine does not hold already: after an open
// and read (or a write) an Apply without edits sends no group, an edit sends only its own group, a
// group whose write failed is sent again by the next Apply, and an engine whose state changed
// behind the device object's back (reset to its factory state, or gone) gets every group again.
// What the engine ends up holding is what a full write gives (every group still round-trips).
#include "device/GroupSnapshot.h"
#include "device/Keyboard.h"
#include "device/Mouse.h"
#include "EngineHost.h"
#include "KeyboardTestUtil.h"
#include "MouseModelUtil.h"
#include "profile/KeyboardConfig.h"
#include <gtest/gtest.h>

using namespace vt::device;
using vt::test::InProcessEngine;

namespace {

// The engine calls that write a group (reads and the profile list do not count).
const wchar_t* const kGroupWrites[] = {
    L"IVtDpi.SetDpiStages",          L"IVtDpi.SetDpi",
    L"IVtButtonAssignments.SetAssignment", L"IVtAssignmentTable.SetAssignment",
    L"IVtLightingZone.TurnOn",       L"IVtLightingZone.TurnOff",
    L"IVtLightingColor.SetColor",    L"IVtLightingEffect.SetEffect",
    L"IVtProfileProperties.SetProperty", L"IVtRateList.SetRate",
    L"IVtAcceleration.SetAcceleration", L"IVtCollectionEntry.SetColor",
    L"IVtKeyEntries.SetValue1",      L"IVtProfile.SetName",
};

// A stage of one value, as the DPI page sets it.
void SetStage(CDmConfig_Mouse& c, IMouseProfile* p, uint32_t stage, uint32_t value) {
    c.SetDpiStageSeparateXY(stage, 0, p);
    c.SetDpiStageValue(stage, value, p);
    c.SetDpiStageValueX(stage, value, p);
    c.SetDpiStageValueY(stage, value, p);
}

struct GroupSnapshots : ::testing::Test {
    void SetUp() override { DeviceCore::SetWorkerTimings(0, 7500); }
    void TearDown() override { DeviceCore::SetWorkerTimings(500, 7500); }

    bool Apply(CMouse& mouse, CDmConfig_Mouse& config) {
        return mouse.TransferProfiles(&config, 0, kGroupAll) && mouse.WaitForWorker(20000) &&
               mouse.GetLastWriteResult() == 1;
    }
    size_t GroupWrites(const std::wstring& log) {
        size_t n = 0;
        for (const wchar_t* m : kGroupWrites) n += engine.Calls(log, m);
        return n;
    }
    // Three edited profiles and edited device-wide groups, written by `mouse`.
    void ThreeEditedProfiles(CMouse& mouse, CDmConfig_Mouse& config) {
        // The key entries are read as the lighting effects do before they are edited.
        ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll) && mouse.ReadKeyEntries(&config));
        config.CreateProfile(L"Second");
        config.CreateProfile(L"Third");
        vt::test::EditDeviceWide(&config, 3);
        for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i + 1);
        ASSERT_TRUE(Apply(mouse, config));
    }
    // What a fresh device object reads from the engine matches `config`.
    void ExpectEngineHolds(CDmConfig_Mouse& config) {
        CMouse other;
        CDmConfig_Mouse back;
        ASSERT_TRUE(other.Open(&back) && other.TransferProfiles(&back, 1, kGroupAll) && other.ReadKeyEntries(&back));
        vt::test::ExpectSameModel(&config, &back);
    }

    vt::win::ComInit com;
    InProcessEngine engine;
};

} // namespace

TEST(GroupSnapshot, HoldsWhatWasRecordedUntilForgotten) {
    GroupSnapshot s;
    const GUID profile{1, 2, 3, {4}};
    const GroupSnapshot::Bytes a = GroupBytes().Add(uint32_t(7)).AddText(L"x").Take();
    const GroupSnapshot::Bytes b = GroupBytes().Add(uint32_t(8)).AddText(L"x").Take();
    EXPECT_FALSE(s.Holds(profile, kGroupDpi, a));
    s.SetHeld(profile, kGroupDpi, a);
    EXPECT_TRUE(s.Holds(profile, kGroupDpi, a));
    EXPECT_FALSE(s.Holds(profile, kGroupDpi, b));
    EXPECT_FALSE(s.Holds(profile, kGroupButtons, a)) << "groups are apart";
    EXPECT_FALSE(s.Holds(GUID{}, kGroupDpi, a)) << "owners are apart";
    // Writes through the snapshot: skipped when held, recorded when done, forgotten when failed.
    int writes = 0;
    EXPECT_TRUE(WriteGroupIfChanged(&s, profile, kGroupDpi, a, [&] { return ++writes, true; }));
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(WriteGroupIfChanged(&s, profile, kGroupDpi, b, [&] { return ++writes, true; }));
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(s.Holds(profile, kGroupDpi, b));
    EXPECT_FALSE(WriteGroupIfChanged(&s, profile, kGroupDpi, a, [&] { return ++writes, false; }));
    EXPECT_EQ(s.Held(profile, kGroupDpi), nullptr) << "a failed write leaves the group unknown";
    EXPECT_FALSE(WriteGroupIfChanged(&s, profile, kGroupDpi, b, [&] { return ++writes, false; }));
    EXPECT_EQ(writes, 3) << "and the next write of it is made";
    EXPECT_TRUE(WriteGroupIfChanged(nullptr, profile, kGroupDpi, b, [&] { return ++writes, true; }));
    EXPECT_EQ(writes, 4) << "without a snapshot every group is written";
}

TEST(GroupSnapshot, AlignDropsWhatTheEngineNoLongerHas) {
    GroupSnapshot s;
    const GUID p1{1}, p2{2}, p3{3};
    const GroupSnapshot::Bytes v = GroupBytes().Add(1).Take();
    s.Align({p1, p2});
    s.SetHeld(p1, kGroupDpi, v);
    s.SetHeld(p2, kGroupDpi, v);
    s.SetHeld(GUID{}, kGroupRate, v);
    s.Align({p1, p2, p3});
    EXPECT_EQ(s.Size(), 3u);
    s.Align({p1, p3});
    EXPECT_TRUE(s.Holds(p1, kGroupDpi, v));
    EXPECT_EQ(s.Held(p2, kGroupDpi), nullptr) << "a profile the engine deleted";
    EXPECT_TRUE(s.Holds(GUID{}, kGroupRate, v)) << "the device's groups stay while their profile is listed";
    s.Align({p3});
    EXPECT_EQ(s.Held(GUID{}, kGroupRate), nullptr) << "an engine without that profile was reset or replaced";
    s.SetHeld(GUID{}, kGroupRate, v);
    s.Align({});
    EXPECT_EQ(s.Size(), 0u);
}

TEST_F(GroupSnapshots, AnApplyWithoutEditsWritesNoGroup) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ThreeEditedProfiles(mouse, config);
    engine.Log();
    ASSERT_TRUE(Apply(mouse, config));
    std::wstring log = engine.Log();
    EXPECT_EQ(GroupWrites(log), 0u) << vt::test::Narrow(log);
    EXPECT_EQ(engine.Calls(log, L"IVtProfileManager.SetActiveProfile"), 1u) << "the active profile is always set";
    EXPECT_EQ(engine.Calls(log, L"IVtProfile.GetName"), 0u) << "the names the engine holds are known";

    // After an open and read by another object the engine's values are known as well.
    CMouse reader;
    CDmConfig_Mouse read;
    ASSERT_TRUE(reader.Open(&read) && reader.TransferProfiles(&read, 1, kGroupAll));
    engine.Log();
    ASSERT_TRUE(Apply(reader, read));
    log = engine.Log();
    EXPECT_EQ(GroupWrites(log), 0u) << vt::test::Narrow(log);
    ExpectEngineHolds(config);
}

TEST_F(GroupSnapshots, AnEditWritesOnlyItsOwnGroup) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ThreeEditedProfiles(mouse, config);
    struct Case {
        const char* what;
        std::function<void()> edit;
        const wchar_t* written;
    };
    IMouseProfile* second = config.GetProfileAt(1);
    const Case cases[] = {
        {"dpi", [&] { SetStage(config, second, 1, 1600); }, L"IVtDpi.SetDpiStages"},
        {"button", [&] { config.SetButtonAssignment(vt::test::kMouseButtons[3], vt::test::Rec(1), second); },
         L"IVtButtonAssignments.SetAssignment"},
        {"lighting", [&] { config.SetLightColor(vt::test::kMouseZones[0], 0x123456, second); }, L"IVtLightingColor.SetColor"},
        {"link", [&] { second->SetFileName(L"other.exe"); }, L"IVtProfileProperties.SetProperty"},
        {"rate", [&] { config.SetRateIndex((config.GetRateIndex(nullptr) + 1) % 3, nullptr); }, L"IVtRateList.SetRate"},
        {"key entry", [&] {
             AssignmentRecord slot{};
             slot.kind = vt::profile::kKindKeySlot;
             slot.payload[0] = 42;
             config.SetConfigAssignment(5, slot);
         }, L"IVtKeyEntries.SetValue1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.edit();
        engine.Log();
        ASSERT_TRUE(Apply(mouse, config));
        const std::wstring log = engine.Log();
        EXPECT_GE(engine.Calls(log, c.written), 1u) << vt::test::Narrow(log);
        EXPECT_EQ(engine.Calls(log, L"IVtDpi.SetDpiStages") + engine.Calls(log, L"IVtRateList.SetRate") +
                      engine.Calls(log, L"IVtKeyEntries.SetValue1") + engine.Calls(log, L"IVtLightingColor.SetColor") +
                      engine.Calls(log, L"IVtButtonAssignments.SetAssignment") +
                      engine.Calls(log, L"IVtProfileProperties.SetProperty"),
                  engine.Calls(log, c.written))
            << "no other group is written: " << vt::test::Narrow(log);
    }
    ExpectEngineHolds(config);
}

TEST_F(GroupSnapshots, AFailedWriteIsMadeAgainByTheNextApply) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ThreeEditedProfiles(mouse, config);
    SetStage(config, config.GetProfileAt(2), 1, 1700);
    config.SetAcceleration(9, nullptr);
    engine.control->FailCall(L"IVtDpi.SetDpiStages", 1, E_FAIL);
    engine.control->FailCall(L"IVtAcceleration.SetAcceleration", 1, E_FAIL);
    engine.Log();
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll) && mouse.WaitForWorker(20000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 0);
    engine.Log();

    ASSERT_TRUE(Apply(mouse, config)) << "nothing edited since, yet the failed groups are written";
    const std::wstring log = engine.Log();
    EXPECT_EQ(engine.Calls(log, L"IVtDpi.SetDpiStages"), 1u) << vt::test::Narrow(log);
    EXPECT_EQ(engine.Calls(log, L"IVtAcceleration.SetAcceleration"), 1u);
    EXPECT_EQ(engine.Calls(log, L"IVtButtonAssignments.SetAssignment"), 0u) << "what was written stays skipped";
    ExpectEngineHolds(config);
    engine.Log();
    ASSERT_TRUE(Apply(mouse, config));
    EXPECT_EQ(GroupWrites(engine.Log()), 0u);
}

// The engine's state changed behind the device object: reset to its factory state (its profiles
// are new, so the device's own groups recorded along with the old ones are not trusted), or a
// write cut off by the engine going away. The next Apply writes those groups again.
TEST_F(GroupSnapshots, AnEngineChangedBehindTheObjectGetsItsGroupsAgain) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ThreeEditedProfiles(mouse, config);
    engine.control->Reset();
    engine.Log();
    // The model's profiles name engine profiles that are gone: that part fails, as it always has.
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll) && mouse.WaitForWorker(20000));
    std::wstring log = engine.Log();
    EXPECT_EQ(engine.Calls(log, L"IVtRateList.SetRate"), 1u) << vt::test::Narrow(log);
    EXPECT_EQ(engine.Calls(log, L"IVtAcceleration.SetAcceleration"), 1u);
    EXPECT_EQ(engine.Calls(log, L"IVtKeyEntries.SetValue1"), 16u) << "every key slot of the model";

    // Lost in the middle of a write: whatever the engine kept of it, the next Apply writes all.
    CMouse other;
    CDmConfig_Mouse fresh;
    ThreeEditedProfiles(other, fresh);
    SetStage(fresh, fresh.GetProfileAt(0), 1, 1900);
    engine.control->FailCall(L"IVtDpi.SetDpiStages", 1, RPC_E_DISCONNECTED);
    // The first two are the probe on this thread and the worker's connection; the third asks
    // whether the engine still answers after the failure.
    engine.control->FailCall(L"IVtDeviceMgr.EnumDevices", 3, RPC_E_DISCONNECTED);
    ASSERT_TRUE(other.TransferProfiles(&fresh, 0, kGroupAll) && other.WaitForWorker(20000));
    EXPECT_EQ(other.GetLastWriteResult(), 0);
    engine.control->FailCall(L"*", 0, S_OK);
    engine.Log();
    ASSERT_TRUE(Apply(other, fresh));
    log = engine.Log();
    EXPECT_EQ(engine.Calls(log, L"IVtDpi.SetDpiStages"), 3u) << vt::test::Narrow(log);
    EXPECT_EQ(engine.Calls(log, L"IVtRateList.SetRate"), 1u);
    ExpectEngineHolds(fresh);
}

// The keyboard's jobs go by the snapshot alike.
TEST_F(GroupSnapshots, TheKeyboardWritesOnlyWhatChanged) {
    ASSERT_TRUE(vt::test::kbd::LoadKeyboardDefinition());
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(keyboard.Open(&config) && keyboard.TransferProfiles(&config, 1, kGroupAll));
    auto apply = [&] {
        return keyboard.TransferProfiles(&config, 0, kGroupAll) && keyboard.WaitForWorker(20000) &&
               keyboard.GetLastWriteResult() == 1;
    };
    // The factory profile has no linked program yet: a first Apply sets it (and the rest is held).
    ASSERT_TRUE(apply());
    engine.Log();
    ASSERT_TRUE(apply());
    std::wstring log = engine.Log();
    EXPECT_EQ(GroupWrites(log), 0u) << vt::test::Narrow(log);

    config.SetLightColor(3, 0x00AB12, config.GetProfileAt(0));
    ASSERT_TRUE(apply());
    log = engine.Log();
    EXPECT_GE(engine.Calls(log, L"IVtLightingColor.SetColor"), 1u);
    EXPECT_EQ(engine.Calls(log, L"IVtAssignmentTable.SetAssignment"), 0u) << vt::test::Narrow(log);

    CKeyboard other;
    CDmConfig_Keyboard back;
    ASSERT_TRUE(other.Open(&back) && other.TransferProfiles(&back, 1, kGroupAll));
    EXPECT_EQ(back.GetLightColor(3, back.GetProfileAt(0)), 0x00AB12);
}

