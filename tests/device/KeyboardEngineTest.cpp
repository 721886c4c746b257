// The keyboard device object against the engine core hosted in-process, over the keyboard
// definition of the program folder: open and the key list, every group written on the worker from
// a copy of the model and read back, referenced objects made on demand, modes and layout number,
// import and export, the program link's edges and the failure policy.
#include <set>
#include "device/Keyboard.h"
#include "device/DeviceFactory.h"
#include "EngineHost.h"
#include "KeyboardTestUtil.h"
#include "profile/KeyboardConfig.h"
#include "base/KeyTable.h"
#include <gtest/gtest.h>
#include <cstring>

using namespace vt::device;
using vt::test::InProcessEngine;
using namespace vt::test::kbd;

namespace {

struct DeviceKeyboard : ::testing::Test {
    void SetUp() override {
        DeviceCore::SetWorkerTimings(0, 7500);
        ASSERT_TRUE(LoadKeyboardDefinition());
    }
    void TearDown() override { DeviceCore::SetWorkerTimings(500, 7500); }

    // As the program does once the lighting effects were first shown: the key entries are read too.
    bool OpenAndRead(CKeyboard& k, CDmConfig_Keyboard& c) {
        return k.Open(&c) && k.TransferProfiles(&c, 1, kGroupAll) && k.ReadKeyEntries(&c);
    }
    bool Apply(CKeyboard& k, CDmConfig_Keyboard& c, uint32_t mask = kGroupAll) {
        if (!k.TransferProfiles(&c, 0, mask)) return false;
        return k.WaitForWorker(20000) && k.GetLastWriteResult() == 1;
    }

    vt::win::ComInit com;
    InProcessEngine engine;
};

} // namespace

TEST_F(DeviceKeyboard, EngineKeyCodesMapToDefinitionKeys) {
    struct Case { uint32_t code; const wchar_t* name; };
    const Case cases[] = {
        {0x1E, L"Keyboard a and A"},
        {(2u << 16) | 0x1D, L"Keyboard RightControl"},
        {0x1D, L"Keyboard LeftControl"},
        {(4u << 16) | 0x45, L"Keyboard Pause"},
        {0x45, L"Keypad Num Lock and Clear"},
        {(7u << 16) | 0x1E, L"Keyboard a and A"},  // other selectors carry no flag
    };
    for (const Case& c : cases) EXPECT_EQ(KeyIdForEngineCode(c.code), vt::base::KeyNameHash(c.name)) << std::hex << c.code;
    EXPECT_EQ(KeyIdForEngineCode(0x7F), 0);
}

TEST_F(DeviceKeyboard, OpenReadsProfilesVersionsAndTheKeyList) {
    engine.control->SetDeviceValue(VT_PID_KEYBOARD, L"firmware.major", 4);
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(keyboard.Open(&config));
    EXPECT_TRUE(keyboard.IsConnected());
    std::wstring fw;
    keyboard.GetFirmwareVersion(fw);
    EXPECT_EQ(fw, L"4.03");
    ASSERT_EQ(config.GetProfileCount(), 1);
    // The engine's keys are usable keys of the keyboard definition, each once (keys sharing a code
    // are listed once), and a full keyboard of them.
    std::set<int32_t> listed;
    for (uint32_t code : keyboard.KeyList()) {
        const int32_t id = KeyIdForEngineCode(code);
        EXPECT_NE(id, 0) << std::hex << code;
        EXPECT_TRUE(listed.insert(id).second) << "listed twice: " << std::hex << code;
    }
    std::set<int32_t> usable;
    for (const auto& [id, record] : vt::base::GlobalKeyTable().m_keysById)
        if (vt::base::GlobalKeyTable().GetKeyCode(id).code != 0) usable.insert(id);
    EXPECT_GT(listed.size(), 100u);
    for (int32_t id : listed) EXPECT_TRUE(usable.count(id)) << id;
    EXPECT_EQ(keyboard.GetProductId(), 0x1A);
    EXPECT_EQ(keyboard.GetProfileCount(), 1);
    // The factory's assignments are every key on its own code.
    ASSERT_TRUE(keyboard.TransferProfiles(&config, 1, kGroupAll));
    AssignmentRecord r{};
    config.GetAssignment(&r, vt::base::KeyNameHash(L"Keyboard RightControl"), config.GetProfileAt(0));
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.payload[0], 0x1D);
    EXPECT_EQ(r.payload[4], 1);
    keyboard.Close();
    EXPECT_FALSE(keyboard.IsConnected());
    EXPECT_TRUE(keyboard.KeyList().empty());
}

// Every keyboard group goes model -> engine -> a fresh model unchanged.
TEST_F(DeviceKeyboard, EveryGroupRoundTrips) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(OpenAndRead(keyboard, config));
    IKeyboardProfile* second = config.CreateProfile(L"Second");
    ASSERT_NE(second, nullptr);
    EditDeviceWide(&config);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) EditProfile(&config, config.GetProfileAt(uint32_t(i)), i);
    config.SetCurrentProfile(second);
    ASSERT_TRUE(Apply(keyboard, config));
    EXPECT_FALSE(IsNullGuid(IdOf(second))) << "the new engine id reached the live model";
    EXPECT_FALSE(IsNullGuid(config.GetMacroAt(0)->id));
    EXPECT_FALSE(IsNullGuid(config.GetAppAt(0)->id));

    CKeyboard again;
    CDmConfig_Keyboard back;
    ASSERT_TRUE(OpenAndRead(again, back));
    ExpectSameModel(&config, &back);
}

TEST_F(DeviceKeyboard, ReferencedObjectsAreCreatedOnDemand) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(OpenAndRead(keyboard, config));
    IKeyboardProfile* p = config.GetProfileAt(0);
    IKeyboardProfile* target = config.CreateProfile(L"Target");
    CMacro* macro = config.AddMacro(L"Combo");
    macro->events.push_back(MacroEvent{});
    CVtApp* app = config.AddApp(L"C:\\Games\\run.exe");
    const int32_t kA = Key(L"Keyboard a and A"), kB = Key(L"Keyboard b and B"), kC = Key(L"Keyboard c and C");
    const int32_t kD = Key(L"Keyboard d and D");
    config.SetAssignment(kA, NameRec(22, L"Target"), p);
    config.SetAssignment(kB, NameRec(7, L"Combo"), p);
    config.SetAssignment(kC, NameRec(63, L"C:\\Games\\run.exe"), p);
    config.SetAssignment(kD, NameRec(7, L"Missing"), p);
    EXPECT_FALSE(Apply(keyboard, config)) << "a missing referent fails the write";
    AssignmentRecord r{};
    config.GetAssignment(&r, kA, p);
    EXPECT_EQ(r.kind, 21);
    EXPECT_TRUE(GuidsEqual(*reinterpret_cast<const GUID*>(r.payload), IdOf(target)));
    EXPECT_FALSE(IsNullGuid(IdOf(target)));
    config.GetAssignment(&r, kB, p);
    EXPECT_EQ(r.kind, 6);
    EXPECT_TRUE(GuidsEqual(*reinterpret_cast<const GUID*>(r.payload), macro->id));
    config.GetAssignment(&r, kC, p);
    EXPECT_EQ(r.kind, 62);
    EXPECT_TRUE(GuidsEqual(*reinterpret_cast<const GUID*>(r.payload), app->id));
    config.GetAssignment(&r, kD, p);
    EXPECT_EQ(r.kind, 7) << "the key whose macro is missing is left as it was";
}

TEST_F(DeviceKeyboard, ModesLayoutAndRefusals) {
    engine.control->SetDeviceValue(VT_PID_KEYBOARD, L"layout", 3);
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(keyboard.Open(&config));
    ULONG layout = 0;
    ASSERT_TRUE(keyboard.QueryKeyboardValue(&layout));
    EXPECT_EQ(layout, 3u);
    engine.Log();
    ASSERT_TRUE(keyboard.SelectMode2());
    EXPECT_NE(engine.Log().find(L"IVtKeyboardMode.SetMode 2"), std::wstring::npos);
    ASSERT_TRUE(keyboard.SelectMode1());
    EXPECT_FALSE(keyboard.TransferProfiles(&config, 2, kGroupAll));
    EXPECT_FALSE(keyboard.IsBusy());
    CMacro unsent;
    EXPECT_FALSE(keyboard.ExportMacro(L"C:\\x.vtm", &unsent));
    EXPECT_EQ(engine.Calls(engine.Log(), L"IVtMacro.Export"), 0u);
    engine.control->SetPresent(VT_PID_KEYBOARD, 0);
    EXPECT_FALSE(keyboard.SelectMode2());
    EXPECT_FALSE(keyboard.SelectMode1());
    EXPECT_FALSE(keyboard.QueryKeyboardValue(&layout));
}

TEST_F(DeviceKeyboard, WithoutProductIdNothingIsCreatedAndTheNullKeyboardTakesOver) {
    static const int32_t caps[] = {1, 3, 4, 5, 6, 7, 8, 9};
    static const DeviceDescription none{0, caps, 8};
    const long before = engine.engine ? 0 : 0;
    (void)before;
    CDmConfig_Keyboard config;
    IKeyboardDevice* device = nullptr;
    ASSERT_TRUE(CreateKeyboardDeviceWith(new CKeyboard(&none), &device, &config));
    EXPECT_EQ(device, static_cast<IKeyboardDevice*>(NullKeyboard()));
    ASSERT_TRUE(CreateKeyboardDeviceWith(new CKeyboard(), &device, &config));
    EXPECT_EQ(device, RealKeyboard());
    EXPECT_EQ(config.GetProfileCount(), 1);
    DestroyDevices();
}

TEST_F(DeviceKeyboard, ImportAndExportThroughTheEngine) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(OpenAndRead(keyboard, config));
    IKeyboardProfile* p = config.GetProfileAt(0);
    EditDeviceWide(&config);
    EditProfile(&config, p, 3);
    CMacro* macro = config.AddMacro(L"Out");
    macro->events.push_back(MacroEvent{});
    ASSERT_TRUE(Apply(keyboard, config));
    const std::wstring folder = TempFolder();
    const std::wstring profileFile = folder + L"\\kbd.vtp", macroFile = folder + L"\\kbd.vtm";
    ASSERT_TRUE(keyboard.ExportProfile(profileFile.c_str(), p));
    ASSERT_TRUE(keyboard.ExportMacro(macroFile.c_str(), macro));
    EXPECT_TRUE(keyboard.HasEngineProfile(p));
    EXPECT_TRUE(keyboard.HasEngineMacro(macro));

    const int32_t profilesBefore = config.GetProfileCount();
    ASSERT_TRUE(keyboard.ImportProfile(profileFile.c_str(), &config));
    ASSERT_EQ(config.GetProfileCount(), profilesBefore + 1);
    IKeyboardProfile* imported = config.GetProfileAt(uint32_t(profilesBefore));
    EXPECT_FALSE(GuidsEqual(IdOf(imported), IdOf(p)));
    ExpectSameAssignments(&config, p, imported);

    config.RemoveMacro(macro);
    const int32_t macros = config.GetMacroCount();
    engine.control->FailCall(L"IVtMacro.GetEvents", 1, E_FAIL);
    EXPECT_FALSE(keyboard.ImportMacro(macroFile.c_str(), &config));
    EXPECT_EQ(config.GetMacroCount(), macros) << "no macro left behind";
    ASSERT_TRUE(keyboard.ImportMacro(macroFile.c_str(), &config));
    ASSERT_EQ(config.GetMacroCount(), macros + 1);
    EXPECT_EQ(config.FindMacro(L"Out")->text, macroFile);
}

TEST_F(DeviceKeyboard, ProgramLinkEdges) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(OpenAndRead(keyboard, config));
    IKeyboardProfile* p = config.GetProfileAt(0);
    struct Case { size_t length; bool ok; size_t propertyWrites; };
    const Case cases[] = {{0, true, 4}, {127, true, 4}, {128, false, 0}};
    for (const Case& c : cases) {
        std::wstring path = c.length ? L"C:\\" + std::wstring(c.length - 3, L'a') : L"";
        p->SetFileName(path.c_str());
        p->SetProfileFlag(1);
        engine.Log();
        EXPECT_EQ(Apply(keyboard, config, kGroupProgramLink), c.ok) << c.length;
        const std::wstring log = engine.Log();
        EXPECT_EQ(engine.Calls(log, L"IVtProfileProperties.SetProperty"), c.propertyWrites) << c.length << "\n" << log;
        if (c.length == 0) EXPECT_NE(log.find(L"SetProperty 0x80000002 256"), std::wstring::npos) << log;
    }
}

TEST_F(DeviceKeyboard, AFailedGroupIsReportedAndTheOthersStillRun) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(OpenAndRead(keyboard, config));
    IKeyboardProfile* second = config.CreateProfile(L"Second");
    config.SetLightColor(3, 0x123456, second);
    CMacro* macro = config.AddMacro(L"Later");
    macro->events.push_back(MacroEvent{});
    engine.control->FailCall(L"IVtAssignmentTable.SetAssignment", 1, E_FAIL);
    EXPECT_FALSE(Apply(keyboard, config));
    EXPECT_FALSE(IsNullGuid(macro->id));
    CKeyboard again;
    CDmConfig_Keyboard back;
    ASSERT_TRUE(OpenAndRead(again, back));
    IKeyboardProfile* b = back.FindProfileById(IdOf(second));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(back.GetLightColor(3, b), 0x123456);
    EXPECT_EQ(back.GetMacroCount(), 1);
}

TEST_F(DeviceKeyboard, EditsDuringTheWriteStayInTheModel) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(OpenAndRead(keyboard, config));
    IKeyboardProfile* p = config.GetProfileAt(0);
    config.CreateProfile(L"Target");
    const int32_t kA = Key(L"Keyboard a and A"), kB = Key(L"Keyboard b and B");
    config.SetAssignment(kA, NameRec(22, L"Target"), p);
    config.SetAssignment(kB, NameRec(22, L"Target"), p);
    engine.control->DelayCall(L"IVtAssignmentTable.SetAssignment", 2);
    ASSERT_TRUE(keyboard.TransferProfiles(&config, 0, kGroupAll));
    EXPECT_TRUE(keyboard.IsBusy());
    EXPECT_FALSE(keyboard.TransferProfiles(&config, 0, kGroupAll)) << "one write at a time";
    // The user edits key b while the worker writes from its copy.
    config.SetAssignment(kB, SelfRec(0x30), p);
    ASSERT_TRUE(keyboard.WaitForWorker(30000));
    engine.control->DelayCall(L"IVtAssignmentTable.SetAssignment", 0);
    AssignmentRecord r{};
    EXPECT_EQ(config.GetAssignment(&r, kA, p)->kind, 21) << "the converted record reached the model";
    EXPECT_EQ(config.GetAssignment(&r, kB, p)->kind, 0) << "the user's edit was kept";
}
