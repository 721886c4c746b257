// The do-nothing devices: their answers, table by table, and what their Open puts in the model.
#include "device/DeviceFactory.h"
#include "device/NullDevices.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "base/KeyTable.h"
#include "win/Handles.h"
#include "FakeEngine.h"
#include <gtest/gtest.h>

using namespace vt::device;

namespace {

template <class Device, class Config>
void ExpectNullAnswers(Device& d, Config* config, int32_t profileCount, const wchar_t* version) {
    CMacro macro;
    struct Row { const char* slot; bool got; bool want; };
    const Row rows[] = {
        {"IsBusy", d.IsBusy(), false},
        {"ImportMacro", d.ImportMacro(L"x.vtm", config), true},
        {"ExportMacro", d.ExportMacro(L"x.vtm", &macro), true},
        {"HasEngineMacro", d.HasEngineMacro(&macro), true},
        {"ImportProfile", d.ImportProfile(L"x.vtp", config), true},
        {"ExportProfile", d.ExportProfile(L"x.vtp", nullptr), true},
        {"HasEngineProfile", d.HasEngineProfile(nullptr), true},
        {"SelectMode2", d.SelectMode2(), false},
        {"SelectMode1", d.SelectMode1(), false},
        {"TransferProfiles write", d.TransferProfiles(config, 0, kGroupAll), false},
        {"TransferProfiles read", d.TransferProfiles(config, 1, kGroupAll), false},
        {"IsConnected", d.IsConnected(), true},
    };
    for (const Row& r : rows) EXPECT_EQ(r.got, r.want) << r.slot;
    ULONG value = 7;
    EXPECT_FALSE(d.QueryKeyboardValue(&value));
    std::wstring fw, drv;
    EXPECT_TRUE(d.GetFirmwareVersion(fw));
    EXPECT_TRUE(d.GetDriverVersion(drv));
    EXPECT_EQ(fw, version);
    EXPECT_EQ(drv, version);
    EXPECT_EQ(d.GetProductId(), 0);
    EXPECT_EQ(d.GetProfileCount(), profileCount);
}

} // namespace

TEST(DeviceNull, MouseAnswers) {
    CDmConfig_Mouse config;
    CNullMouse mouse;
    ASSERT_TRUE(mouse.Open(&config));
    ExpectNullAnswers(mouse, static_cast<IMouseConfig*>(&config), 20, L"1.00");
}

TEST(DeviceNull, KeyboardAnswers) {
    CDmConfig_Keyboard config;
    CNullKeyboard keyboard;
    EXPECT_TRUE(keyboard.Open(&config)) << "seven built-in profiles make a ready keyboard";
    ExpectNullAnswers(keyboard, static_cast<IKeyboardConfig*>(&config), 7, L"1.00");
}

TEST(DeviceNull, MouseOpenFillsTheDefaults) {
    CDmConfig_Mouse config;
    config.CreateProfile(L"old");
    CNullMouse mouse;
    ASSERT_TRUE(mouse.Open(&config));
    ASSERT_EQ(config.GetProfileCount(), 1);
    IMouseProfile* p = config.GetProfileAt(0);
    EXPECT_STREQ(p->GetName(), L"PROFILE01");
    EXPECT_EQ(config.GetCurrentProfile(), p);
    EXPECT_EQ(config.GetDpiStageCount(p), 5u);
    EXPECT_EQ(config.GetActiveDpiStage(p), 3);
    const uint32_t stages[] = {800, 1200, 1800, 4000, 5600};
    for (uint32_t s = 1; s <= 5; ++s) EXPECT_EQ(config.GetDpiStageValue(s, p), stages[s - 1]);
    int32_t lo, hi, step;
    config.GetDpiRange(&lo, &hi, &step, p);
    EXPECT_EQ(lo, 100);
    EXPECT_EQ(hi, 5600);
    EXPECT_EQ(step, 100);
    ASSERT_EQ(config.GetRateCount(), 3);
    EXPECT_EQ(config.GetRateAt(0), 125u);
    EXPECT_EQ(config.GetRateAt(1), 500u);
    EXPECT_EQ(config.GetRateAt(2), 1000u);
    EXPECT_EQ(config.GetRateIndex(nullptr), 1);
    EXPECT_EQ(config.GetAcceleration(nullptr), 5u);
    EXPECT_EQ(config.GetAccelerationEnabled(nullptr), 1);
    const std::pair<int32_t, int32_t> buttons[] = {{1, 1}, {2, 2}, {3, 3}, {10, 40}, {11, 41}, {6, 33}, {7, 32}};
    for (const auto& [button, kind] : buttons) {
        AssignmentRecord r{};
        config.GetButtonAssignment(&r, button, p);
        EXPECT_EQ(r.kind, kind) << "button " << button;
    }
    EXPECT_EQ(mouse.KeyMap().size(), 24u);
    uint32_t word = 0;
    memcpy(&word, mouse.KeyMap().at(79).payload, 4);
    EXPECT_EQ(word, 79u);
}

TEST(DeviceNull, KeyboardOpenMakesTheBuiltInProfiles) {
    CDmConfig_Keyboard config;
    CNullKeyboard keyboard;
    ASSERT_TRUE(keyboard.Open(&config));
    const wchar_t* names[] = {L"PROFILE03", L"PROFILE07", L"PROFILE05", L"PROFILE01", L"PROFILE02", L"PROFILE06", L"PROFILE04"};
    ASSERT_EQ(config.GetProfileCount(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_STREQ(config.GetProfileAt(i)->GetName(), names[i]);
    GUID id{};
    config.GetProfileAt(0)->GetId(&id);
    EXPECT_EQ(id.Data1, 0x00A98AC7u);
    EXPECT_EQ(id.Data2, 0x0457);
    EXPECT_EQ(id.Data4[7], 0x01);
    config.GetProfileAt(6)->GetId(&id);
    EXPECT_EQ(id.Data1, 0x04A2CB71u);
    EXPECT_EQ(config.GetCurrentProfile(), config.GetProfileAt(0));
    ASSERT_EQ(keyboard.KeyIds().size(), 106u);
    EXPECT_EQ(HidKeyboardUsageNames().size(), 106u);
    EXPECT_EQ(keyboard.KeyIds()[0], vt::base::KeyNameHash(HidKeyboardUsageNames()[0]));
    keyboard.Close();
    EXPECT_TRUE(keyboard.KeyIds().empty());
}

// No engine at all: the factory falls back to the do-nothing mouse and says so through Open's
// answer; destroying leaves nothing behind.
TEST(DeviceNull, FactoryFallsBackWithoutAnEngine) {
    vt::win::ComInit com;
    vt::test::FakeEngine engine;
    engine.state.createResult = REGDB_E_CLASSNOTREG;
    CDmConfig_Mouse config;
    IMouseDevice* device = nullptr;
    EXPECT_TRUE(CreateMouseDevice(&kMouseDescription, &device, &config));
    EXPECT_EQ(RealMouse(), nullptr);
    ASSERT_NE(NullMouse(), nullptr);
    EXPECT_EQ(device, static_cast<IMouseDevice*>(NullMouse()));
    EXPECT_EQ(config.Device(), device);
    IMouseDevice* first = device;
    EXPECT_TRUE(RecreateMouseDevice(&device, &config));
    EXPECT_NE(NullMouse(), nullptr);
    (void)first;
    DestroyDevices();
    EXPECT_EQ(NullMouse(), nullptr);
    EXPECT_EQ(RealMouse(), nullptr);
}
