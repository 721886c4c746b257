// The mouse device object against the engine core hosted in-process: open, every group written
// and read back, the write job's copy and completion, failures reported, the profile set, the
// program link, lighting entries, macros.
#include "device/DeviceFactory.h"
#include "device/Mouse.h"
#include "EngineHost.h"
#include "MouseModelUtil.h"
#include <gtest/gtest.h>

using namespace vt::device;
using vt::test::InProcessEngine;

namespace {

struct DeviceMouse : ::testing::Test {
    void SetUp() override { DeviceCore::SetWorkerTimings(0, 7500); }
    void TearDown() override { DeviceCore::SetWorkerTimings(500, 7500); }

    // Open and read as the program does at start, and the key entries as it reads them once the
    // lighting effects were first shown.
    bool OpenAndRead(CMouse& mouse, CDmConfig_Mouse& config) {
        return mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll) && mouse.ReadKeyEntries(&config);
    }
    bool Apply(CMouse& mouse, CDmConfig_Mouse& config, uint32_t mask = kGroupAll) {
        if (!mouse.TransferProfiles(&config, 0, mask)) return false;
        return mouse.WaitForWorker(20000) && mouse.GetLastWriteResult() == 1;
    }
    // The engine given the device-wide edits (key entries among them) by another program's Apply;
    // the model those edits make.
    void EngineHoldsDeviceWideEdits(CDmConfig_Mouse& expected) {
        CMouse writer;
        CDmConfig_Mouse written;
        ASSERT_TRUE(OpenAndRead(writer, written));
        vt::test::EditDeviceWide(&written, 4);
        ASSERT_TRUE(Apply(writer, written));
        vt::test::EditDeviceWide(&expected, 4);
    }

    vt::win::ComInit com;
    InProcessEngine engine;
};

GUID IdOf(IMouseProfile* p) {
    GUID g{};
    p->GetId(&g);
    return g;
}

} // namespace

TEST_F(DeviceMouse, OpenReadsProfilesVersionsButtonsAndRates) {
    engine.control->SetDeviceValue(VT_PID_MOUSE, L"firmware.major", 3);
    engine.control->SetDeviceValue(VT_PID_MOUSE, L"firmware.minor", 7);
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(mouse.Open(&config));
    EXPECT_TRUE(mouse.IsConnected());
    std::wstring fw;
    mouse.GetFirmwareVersion(fw);
    EXPECT_EQ(fw, L"3.07");
    ASSERT_EQ(config.GetProfileCount(), 1);
    EXPECT_FALSE(IsNullGuid(IdOf(config.GetProfileAt(0))));
    EXPECT_EQ(mouse.SupportedButtons(), (std::vector<uint32_t>{0x1, 0x2, 0x4, 0x8, 0x10, 0x80, 0x100}));
    ASSERT_EQ(config.GetRateCount(), 3);
    EXPECT_EQ(config.GetRateAt(2), 1000u);
    EXPECT_EQ(mouse.GetProfileCount(), 1);
    EXPECT_EQ(mouse.GetProductId(), 0x19);
    // Each profile's DPI limits come with its stages.
    ASSERT_TRUE(mouse.TransferProfiles(&config, 1, kGroupAll));
    int32_t lo = 0, hi = 0, step = 0;
    config.GetDpiRange(&lo, &hi, &step, config.GetProfileAt(0));
    EXPECT_EQ(std::vector<int32_t>({lo, hi, step}), std::vector<int32_t>({100, 5600, 100}));
    EXPECT_EQ(config.GetMaxDpiStageCount(config.GetProfileAt(0)), 5u);
}

// Every mouse group goes model -> engine -> a fresh model unchanged.
TEST_F(DeviceMouse, EveryGroupRoundTrips) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* second = config.CreateProfile(L"Second");
    IMouseProfile* third = config.CreateProfile(L"Third");
    ASSERT_TRUE(second && third);
    vt::test::EditDeviceWide(&config, 2);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i);
    config.SetCurrentProfile(second);
    ASSERT_TRUE(Apply(mouse, config));
    EXPECT_FALSE(IsNullGuid(IdOf(second))) << "the new engine id reached the live model";
    EXPECT_FALSE(IsNullGuid(config.GetMacroAt(0)->id));

    CMouse again;
    CDmConfig_Mouse back;
    ASSERT_TRUE(OpenAndRead(again, back));
    vt::test::ExpectSameModel(&config, &back);
}

// Every action a mouse button allows survives the trip, on every supported button.
TEST_F(DeviceMouse, EveryButtonActionRoundTrips) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    CMacro* macro = config.AddMacro(L"Fire");
    macro->events = {vt::profile::MakeKeyEvent(0x39, 0, vt::profile::kKeyDown, 0)};
    ASSERT_TRUE(Apply(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    std::vector<int32_t> actions;
    p->GetAllowedActionsForButton(actions, 1);
    ASSERT_EQ(actions.size(), 15u);
    for (int round = 0; round * 7 < int(actions.size()) + 7; ++round) {
        SCOPED_TRACE(round);
        for (size_t i = 0; i < vt::test::kMouseButtons.size(); ++i) {
            int32_t button = vt::test::kMouseButtons[i];
            int32_t kind = actions[(round * 7 + i) % actions.size()];
            config.SetButtonAssignment(button, vt::test::ActionRecord(kind, macro->id, IdOf(p), round + int(i)), p);
        }
        ASSERT_TRUE(Apply(mouse, config, kGroupButtons));
        CDmConfig_Mouse back;
        CMouse reader;
        ASSERT_TRUE(reader.Open(&back));
        ASSERT_TRUE(reader.TransferProfiles(&back, 1, kGroupButtons));
        for (int32_t button : vt::test::kMouseButtons) {
            AssignmentRecord want{}, got{};
            config.GetButtonAssignment(&want, button, p);
            back.GetButtonAssignment(&got, button, back.GetProfileAt(0));
            EXPECT_EQ(got.kind, want.kind) << "button " << button;
            EXPECT_TRUE(AssignmentsEqual(got, want)) << "button " << button << " kind " << want.kind;
        }
    }
}

// The user goes on editing while a slowed write runs: the engine gets the values of the moment
// of Apply, the live model keeps the edits, and the ids the write made still arrive.
TEST_F(DeviceMouse, EditingDuringASlowWriteNeitherRacesNorLeaks) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    IMouseProfile* added = config.CreateProfile(L"Added");
    config.SetDpiStageValue(1, 900, p);
    config.SetDpiStageValueX(1, 900, p);
    config.SetDpiStageValueY(1, 900, p);
    engine.control->DelayCall(L"IVtButtonAssignments.SetAssignment", 15);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    ASSERT_TRUE(mouse.IsBusy());
    // Edits while the worker writes.
    int checked = 0;
    for (int i = 0; i < 50 && mouse.IsBusy(); ++i) {
        config.SetDpiStageValue(1, 1500 + 100 * (i % 5), p);
        config.SetDpiStageValueX(1, 1500, p);
        config.SetDpiStageValueY(1, 1500, p);
        p->SetName(L"Renamed");
        config.CreateProfile((L"During " + std::to_wstring(i)).c_str());
        config.DeleteProfile(config.GetProfileAt(uint32_t(config.GetProfileCount() - 1)));
        // Only a worker that still runs after the call ran all through it (one that ended meanwhile
        // is finished by the call, which then goes ahead).
        const bool has = mouse.HasEngineProfile(p);
        if (!mouse.IsBusy()) break;
        EXPECT_FALSE(has) << "other operations wait for the write";
        ++checked;
        Sleep(5);
    }
    EXPECT_GT(checked, 0);
    ASSERT_TRUE(mouse.WaitForWorker(20000));
    engine.control->DelayCall(L"*", 0);
    EXPECT_EQ(mouse.GetLastWriteResult(), 1);
    EXPECT_FALSE(IsNullGuid(IdOf(added)));
    EXPECT_STREQ(p->GetName(), L"Renamed");
    EXPECT_EQ(config.GetDpiStageValueX(1, p), 1500u);

    CDmConfig_Mouse back;
    CMouse reader;
    ASSERT_TRUE(OpenAndRead(reader, back));
    ASSERT_EQ(back.GetProfileCount(), 2);
    EXPECT_STRNE(back.GetProfileAt(0)->GetName(), L"Renamed") << "the write used the copy taken at Apply";
    EXPECT_EQ(back.GetDpiStageValue(1, back.GetProfileAt(0)), 900u);
    EXPECT_TRUE(GuidsEqual(IdOf(back.GetProfileAt(1)), IdOf(added)));
}

TEST_F(DeviceMouse, AFailedWriteIsReportedAndOtherGroupsStillRun) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    config.SetAcceleration(8, nullptr);
    IMouseProfile* p = config.GetProfileAt(0);
    config.SetDpiStageValue(1, config.GetDpiStageValue(1, p) + 100, p);  // a group to write
    engine.control->FailCall(L"IVtDpi.SetDpiStages", 1, E_FAIL);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    ASSERT_TRUE(mouse.WaitForWorker(20000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 0);
    CDmConfig_Mouse back;
    CMouse reader;
    ASSERT_TRUE(OpenAndRead(reader, back));
    EXPECT_EQ(back.GetAcceleration(nullptr), 8u);
}

TEST_F(DeviceMouse, ModesAndRefusals) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    EXPECT_FALSE(mouse.TransferProfiles(&config, 2, kGroupAll));
    EXPECT_FALSE(mouse.TransferProfiles(nullptr, 0, kGroupAll));
    engine.control->DelayCall(L"IVtDpi.SetDpiStages", 200);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll));
    engine.Log(true);
    EXPECT_FALSE(mouse.TransferProfiles(&config, 0, kGroupAll)) << "one write at a time";
    EXPECT_FALSE(mouse.TransferProfiles(&config, 1, kGroupAll));
    EXPECT_EQ(mouse.GetProfileCount(), 0);
    ASSERT_TRUE(mouse.WaitForWorker(20000));
    engine.control->DelayCall(L"*", 0);
    EXPECT_EQ(mouse.GetLastWriteResult(), 1);
}

// Mask 0x200 alone brings the profile set in step and writes no group.
TEST_F(DeviceMouse, ProfileSetOnlyWritesNoGroup) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    config.CreateProfile(L"New");
    engine.Log(true);
    ASSERT_TRUE(Apply(mouse, config, kGroupProfileSet));
    std::wstring log = engine.Log(true);
    EXPECT_EQ(engine.Calls(log, L"IVtProfileManager.CreateProfile"), 1u);
    for (const wchar_t* group : {L"IVtDpi.Set", L"IVtButtonAssignments.Set", L"IVtLightingZone.Turn",
                                 L"IVtProfileProperties.Set", L"IVtRateList.Set", L"IVtAcceleration.Set",
                                 L"IVtMacroStore", L"IVtEntryCollection"})
        EXPECT_EQ(engine.Calls(log, group), 0u) << vt::test::Narrow(group);
    EXPECT_EQ(engine.Calls(log, L"IVtProfileManager.SetActiveProfile"), 1u);
}

// Model with three profiles, engine with five of which two are the model's: three go, one is made.
TEST_F(DeviceMouse, TheModelsProfileSetWins) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    for (const wchar_t* n : {L"B", L"C", L"D", L"E"}) config.CreateProfile(n);
    ASSERT_TRUE(Apply(mouse, config, kGroupProfileSet));
    ASSERT_EQ(mouse.GetProfileCount(), 5);
    // Keep A and C, drop B, D, E; add F.
    for (const wchar_t* n : {L"B", L"D", L"E"}) config.DeleteProfile(config.FindProfileByName(n));
    IMouseProfile* f = config.CreateProfile(L"F");
    config.GetProfileAt(1)->SetName(L"c renamed");
    engine.Log(true);
    ASSERT_TRUE(Apply(mouse, config, kGroupProfileSet));
    std::wstring log = engine.Log(true);
    EXPECT_EQ(engine.Calls(log, L"IVtProfileManager.DeleteProfile"), 3u);
    EXPECT_EQ(engine.Calls(log, L"IVtProfileManager.CreateProfile"), 1u);
    EXPECT_EQ(mouse.GetProfileCount(), 3);
    EXPECT_FALSE(IsNullGuid(IdOf(f)));
    CDmConfig_Mouse back;
    CMouse reader;
    ASSERT_TRUE(reader.Open(&back));
    EXPECT_STREQ(back.GetProfileAt(1)->GetName(), L"c renamed");
    EXPECT_STREQ(back.GetProfileAt(2)->GetName(), L"F");

    // A name that differs only in letter case is not sent again.
    config.GetProfileAt(1)->SetName(L"C RENAMED");
    engine.Log(true);
    ASSERT_TRUE(Apply(mouse, config, kGroupProfileSet));
    EXPECT_EQ(engine.Calls(engine.Log(true), L"IVtProfile.SetName"), 0u);
}

// The program link: what reaches the engine for each kind of path.
TEST_F(DeviceMouse, ProgramLinkWrites) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    struct Case { const char* name; std::wstring path; const wchar_t* fail; bool ok; size_t setProperty; };
    const Case cases[] = {
        {"empty", L"", nullptr, true, 4},
        {"127 characters", std::wstring(123, L'a') + L".exe", nullptr, true, 4},
        {"128 characters", std::wstring(124, L'a') + L".exe", nullptr, false, 0},
        {"path refused", L"game.exe", L"IVtProfileProperties.SetProperty", false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p->SetFileName(c.path.c_str());
        p->SetProfileFlag(1);
        if (c.fail) engine.control->FailCall(c.fail, 1, E_FAIL);
        engine.Log(true);
        ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupProgramLink));
        ASSERT_TRUE(mouse.WaitForWorker(20000));
        EXPECT_EQ(mouse.GetLastWriteResult(), c.ok ? 1 : 0);
        EXPECT_EQ(engine.Calls(engine.Log(true), L"IVtProfileProperties.SetProperty"), c.setProperty);
        engine.control->FailCall(L"*", 0, S_OK);
    }
    // The empty path reads back as empty with the automatic switch off.
    p->SetFileName(L"");
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupProgramLink));
    ASSERT_TRUE(mouse.WaitForWorker(20000));
    CDmConfig_Mouse back;
    CMouse reader;
    ASSERT_TRUE(OpenAndRead(reader, back));
    EXPECT_STREQ(back.GetProfileAt(0)->GetFileName(), L"");
    EXPECT_EQ(back.GetProfileAt(0)->GetProfileFlag(), 0);
}

// A read that fails leaves the model's value; it never stores 0 over it.
TEST_F(DeviceMouse, ReadFailuresKeepTheModelsValues) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    config.SetActiveDpiStage(4, p);
    config.SetAcceleration(6, nullptr);
    config.SetAccelerationEnabled(1, nullptr);
    config.SetLightColor(3, 0x123456, p);
    for (const wchar_t* m : {L"IVtDpi.GetActiveStage", L"IVtAcceleration.GetAcceleration",
                             L"IVtAcceleration.IsEnabled", L"IVtLightingColor.GetColor", L"IVtDpi.GetDpi"})
        engine.control->FailCall(m, 1, E_FAIL);
    EXPECT_FALSE(mouse.TransferProfiles(&config, 1, kGroupAll));
    engine.control->FailCall(L"*", 0, S_OK);
    EXPECT_EQ(config.GetActiveDpiStage(p), 4);
    EXPECT_EQ(config.GetAcceleration(nullptr), 6u);
    EXPECT_EQ(config.GetAccelerationEnabled(nullptr), 1);
    EXPECT_EQ(config.GetLightColor(3, p), 0x123456);
}

// Nine lighting entries over an engine holding one: every entry is created and numbered, and a
// renumbering that crosses the engine's current numbers succeeds.
TEST_F(DeviceMouse, LightingEntriesEqualiseAndRenumber) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    config.ClearApmStages();
    config.AddApmStage(0x11, 0, 50);
    ASSERT_TRUE(Apply(mouse, config, kGroupEntries));
    config.ClearApmStages();
    for (uint32_t i = 0; i < 9; ++i) config.AddApmStage(int32_t(0x100 + i), int32_t(i * 40), (i + 1) * 40);
    ASSERT_TRUE(Apply(mouse, config, kGroupEntries));
    CDmConfig_Mouse back;
    CMouse reader;
    ASSERT_TRUE(reader.Open(&back));
    ASSERT_TRUE(reader.TransferProfiles(&back, 1, kGroupEntries));
    ASSERT_EQ(back.GetApmStageCount(), 9);
    // Shift: 60 is held by the entry after the one that wants it.
    config.ClearApmStages();
    config.AddApmStage(1, 0, 60);
    config.AddApmStage(2, 60, 80);
    config.AddApmStage(3, 80, 100);
    ASSERT_TRUE(Apply(mouse, config, kGroupEntries));
    config.ClearApmStages();
    config.AddApmStage(1, 0, 40);
    config.AddApmStage(2, 40, 60);
    config.AddApmStage(3, 60, 80);
    ASSERT_TRUE(Apply(mouse, config, kGroupEntries));
    ASSERT_TRUE(reader.TransferProfiles(&back, 1, kGroupEntries));
    ASSERT_EQ(back.GetApmStageCount(), 3);
    for (uint32_t i = 0; i < 3; ++i) {
        int32_t low = 0;
        uint32_t high = 0;
        back.GetApmStageRange(i, &low, &high);
        EXPECT_EQ(high, 40u + 20 * i);
    }
}

// A macro equal to its engine copy costs reads only; a renamed one is renamed, not made again; an
// engine macro the model lost is deleted.
TEST_F(DeviceMouse, MacrosAreWrittenOnlyWhenTheyDiffer) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    vt::test::EditDeviceWide(&config, 1);
    CMacro* extra = config.AddMacro(L"Extra");
    extra->events = {vt::profile::MakeDelayEvent(10)};
    ASSERT_TRUE(Apply(mouse, config, kGroupMacros));
    engine.Log(true);
    ASSERT_TRUE(Apply(mouse, config, kGroupMacros));
    std::wstring log = engine.Log(true);
    for (const wchar_t* m : {L"IVtMacro.SetName", L"IVtMacro.SetEvents", L"IVtMacroStore.CreateMacro",
                             L"IVtMacroStore.DeleteMacro"})
        EXPECT_EQ(engine.Calls(log, m), 0u) << vt::test::Narrow(m);
    // Same name in other letters: still equal.
    wcscpy(config.GetMacroAt(0)->name, L"MACRO 1");
    config.RemoveMacro(extra);
    ASSERT_TRUE(Apply(mouse, config, kGroupMacros));
    log = engine.Log(true);
    EXPECT_EQ(engine.Calls(log, L"IVtMacro.SetName"), 0u);
    EXPECT_EQ(engine.Calls(log, L"IVtMacroStore.DeleteMacro"), 1u);
    wcscpy(config.GetMacroAt(0)->name, L"Renamed");
    ASSERT_TRUE(Apply(mouse, config, kGroupMacros));
    log = engine.Log(true);
    EXPECT_EQ(engine.Calls(log, L"IVtMacro.SetName"), 1u);
    EXPECT_EQ(engine.Calls(log, L"IVtMacroStore.CreateMacro"), 0u);
}

// A button assigned a macro, profile or program by name gets the engine object made on demand;
// the converted record and the new ids come back to the live model.
TEST_F(DeviceMouse, ReferencedObjectsAreCreatedOnDemand) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    IMouseProfile* target = config.CreateProfile(L"Target");
    CMacro* macro = config.AddMacro(L"Combo");
    macro->events = {vt::profile::MakeKeyEvent(0x2A, 0, vt::profile::kKeyDown, 0)};
    config.SetButtonAssignment(6, MakeNameActionRecord(vt::profile::kKindMacroByName, L"combo"), p);
    engine.Log(true);
    ASSERT_TRUE(Apply(mouse, config, kGroupButtons | kGroupProfileSet));
    std::wstring log = engine.Log(true);
    EXPECT_EQ(engine.Calls(log, L"IVtMacroStore.CreateMacro"), 1u);
    EXPECT_FALSE(IsNullGuid(macro->id));
    EXPECT_FALSE(IsNullGuid(IdOf(target)));
    AssignmentRecord r{};
    config.GetButtonAssignment(&r, 6, p);
    EXPECT_EQ(r.kind, vt::profile::kKindMacro);
    EXPECT_EQ(0, memcmp(r.payload, &macro->id, sizeof(GUID)));
    // A macro name the model does not hold fails the write.
    config.SetButtonAssignment(7, MakeNameActionRecord(vt::profile::kKindMacroByName, L"missing"), p);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupButtons));
    ASSERT_TRUE(mouse.WaitForWorker(20000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 0);
}

TEST_F(DeviceMouse, ImportAndExportThroughTheEngine) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(OpenAndRead(mouse, config));
    IMouseProfile* p = config.GetProfileAt(0);
    vt::test::EditProfile(&config, p, 3);
    ASSERT_TRUE(Apply(mouse, config));
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"vt-device-export.vtp";
    ASSERT_TRUE(mouse.ExportProfile(path.c_str(), p));
    ASSERT_TRUE(mouse.ImportProfile(path.c_str(), &config));
    ASSERT_EQ(config.GetProfileCount(), 2);
    IMouseProfile* imported = config.GetProfileAt(1);
    EXPECT_STREQ(imported->GetName(), p->GetName());
    EXPECT_FALSE(GuidsEqual(IdOf(imported), IdOf(p)));
    EXPECT_EQ(config.GetDpiStageValueY(2, imported), config.GetDpiStageValueY(2, p));
    EXPECT_TRUE(mouse.HasEngineProfile(imported));
    DeleteFileW(path.c_str());
    // Macros: export needs an engine id.
    CMacro none;
    EXPECT_FALSE(mouse.ExportMacro(path.c_str(), &none));
    EXPECT_FALSE(mouse.HasEngineMacro(&none));
}

// Factories: the real mouse when the engine has one, the do-nothing mouse otherwise.
TEST_F(DeviceMouse, FactoryBindsTheRealOrTheNullMouse) {
    CDmConfig_Mouse config;
    IMouseDevice* device = nullptr;
    EXPECT_TRUE(CreateMouseDevice(&kMouseDescription, &device, &config));
    EXPECT_EQ(device, static_cast<IMouseDevice*>(RealMouse()));
    EXPECT_EQ(config.Device(), device);
    EXPECT_EQ(NullMouse(), nullptr);

    engine.control->SetPresent(VT_PID_MOUSE, FALSE);
    EXPECT_TRUE(RecreateMouseDevice(&device, &config));
    EXPECT_EQ(RealMouse(), nullptr);
    EXPECT_EQ(device, static_cast<IMouseDevice*>(NullMouse()));
    EXPECT_EQ(config.Device(), device);
    EXPECT_TRUE(device->IsConnected());
    EXPECT_EQ(device->GetProfileCount(), 20);
    EXPECT_FALSE(device->TransferProfiles(&config, 0, kGroupAll));
    DestroyDevices();
    EXPECT_EQ(RealMouse(), nullptr);
    EXPECT_EQ(NullMouse(), nullptr);
}

// The key entries are not part of the open and read: they are read when first needed, and from
// then on round-trip with every read and write. Until then a write leaves the engine's alone, so
// the model's defaults never overwrite what the engine holds.
TEST_F(DeviceMouse, KeyEntriesAreReadWhenFirstNeeded) {
    CDmConfig_Mouse expected;
    ASSERT_NO_FATAL_FAILURE(EngineHoldsDeviceWideEdits(expected));
    AssignmentRecord engineKey3{}, factoryKey3{};
    expected.GetConfigAssignment(&engineKey3, 3);

    CMouse mouse;
    CDmConfig_Mouse config;
    config.GetConfigAssignment(&factoryKey3, 3);
    ASSERT_FALSE(AssignmentsEqual(engineKey3, factoryKey3));
    engine.Log();
    ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
    EXPECT_EQ(engine.Calls(engine.Log(), L"IVtKeyEntries."), 0u) << "not read at start";
    config.SetDpiStageValue(1, config.GetDpiStageValue(1, config.GetProfileAt(0)) + 100, config.GetProfileAt(0));
    ASSERT_TRUE(Apply(mouse, config));
    EXPECT_EQ(engine.Calls(engine.Log(), L"IVtKeyEntries."), 0u) << "nor written before they were read";

    ASSERT_TRUE(mouse.ReadKeyEntries(&config));
    EXPECT_GE(engine.Calls(engine.Log(), L"IVtKeyEntries.GetValue1"), 16u);
    AssignmentRecord key3{};
    config.GetConfigAssignment(&key3, 3);
    EXPECT_TRUE(AssignmentsEqual(key3, engineKey3)) << "the engine's entries, kept through the Apply above";
    ASSERT_TRUE(mouse.ReadKeyEntries(&config));
    EXPECT_EQ(engine.Calls(engine.Log(), L"IVtKeyEntries."), 0u) << "read once";

    // From now on they round-trip: an edit is written, and a read job reads them again.
    AssignmentRecord edited = key3;
    edited.payload[0] = 77;
    config.SetConfigAssignment(3, edited);
    ASSERT_TRUE(Apply(mouse, config));
    EXPECT_GE(engine.Calls(engine.Log(), L"IVtKeyEntries.SetValue1"), 1u);
    config.SetConfigAssignment(3, factoryKey3);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 1, kGroupAll));
    config.GetConfigAssignment(&key3, 3);
    EXPECT_TRUE(AssignmentsEqual(key3, edited));
}

// Each key's read stands alone: a key whose read fails keeps the model's value and is not written
// (the engine keeps its own), the others are read and kept; a later read gets the rest.
TEST_F(DeviceMouse, AFailedKeyEntryReadKeepsTheOthers) {
    CDmConfig_Mouse expected;
    ASSERT_NO_FATAL_FAILURE(EngineHoldsDeviceWideEdits(expected));
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
    AssignmentRecord factory3{}, engine3{}, engine16{}, got{};
    config.GetConfigAssignment(&factory3, 3);
    expected.GetConfigAssignment(&engine3, 3);
    expected.GetConfigAssignment(&engine16, 16);
    engine.control->FailCall(L"IVtKeyEntries.GetValue2", 3, E_FAIL);  // key 3's
    EXPECT_FALSE(mouse.ReadKeyEntries(&config));
    config.GetConfigAssignment(&got, 3);
    EXPECT_TRUE(AssignmentsEqual(got, factory3)) << "the failed key keeps the model's value";
    config.GetConfigAssignment(&got, 16);
    EXPECT_TRUE(AssignmentsEqual(got, engine16)) << "a key after the failed one is still read";

    engine.Log();
    ASSERT_TRUE(Apply(mouse, config));
    const std::wstring log = engine.Log();
    EXPECT_EQ(engine.Calls(log, L"IVtKeyEntries.SetValue1"), 0u) << "nothing edited: " << vt::test::Narrow(log);
    AssignmentRecord edited = engine16;
    edited.payload[0] = 55;
    config.SetConfigAssignment(16, edited);
    ASSERT_TRUE(Apply(mouse, config));
    EXPECT_EQ(engine.Calls(engine.Log(), L"IVtKeyEntries.SetValue1"), 15u) << "every key but the one never read";

    ASSERT_TRUE(mouse.ReadKeyEntries(&config)) << "the key left is read now";
    config.GetConfigAssignment(&got, 3);
    EXPECT_TRUE(AssignmentsEqual(got, engine3)) << "the engine kept its own value for it";
    config.GetConfigAssignment(&got, 16);
    EXPECT_TRUE(AssignmentsEqual(got, edited));
}
