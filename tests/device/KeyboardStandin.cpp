// The keyboard and the headset against the registered engine server (VtEngine.exe, reached through
// COM as the program reaches it): every group round-trips model -> engine -> model.
#include "device/HeadsetDevice.h"
#include "device/Keyboard.h"
#include "KeyboardTestUtil.h"
#include "VolumeFakes.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include <gtest/gtest.h>

using namespace vt::device;
using namespace vt::test::kbd;

namespace {

// The registered server, back in its factory state before and after each test.
struct KeyboardHeadsetStandin : ::testing::Test {
    void SetUp() override {
        DeviceCore::SetWorkerTimings(0, 7500);
        ASSERT_TRUE(LoadKeyboardDefinition());
        ASSERT_HRESULT_SUCCEEDED(CreateEngineManager(manager.Put()));
        ASSERT_HRESULT_SUCCEEDED(manager.As(control));
        ASSERT_HRESULT_SUCCEEDED(control->Reset());
    }
    void TearDown() override {
        if (control) control->Reset();
        control.Reset();
        manager.Reset();
        DeviceCore::SetWorkerTimings(500, 7500);
    }
    vt::win::ComInit com;
    vt::win::ComPtr<IVtDeviceMgr> manager;
    vt::win::ComPtr<IVtSimControl> control;
};

} // namespace

TEST_F(KeyboardHeadsetStandin, KeyboardEveryGroupRoundTrips) {
    CKeyboard keyboard;
    CDmConfig_Keyboard config;
    ASSERT_TRUE(keyboard.Open(&config));
    ASSERT_TRUE(keyboard.TransferProfiles(&config, 1, kGroupAll));
    ASSERT_TRUE(keyboard.ReadKeyEntries(&config)) << "as the lighting effects do before they are edited";
    IKeyboardProfile* second = config.CreateProfile(L"Second");
    ASSERT_NE(second, nullptr);
    EditDeviceWide(&config);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) EditProfile(&config, config.GetProfileAt(uint32_t(i)), i);
    config.SetCurrentProfile(second);
    ASSERT_TRUE(keyboard.TransferProfiles(&config, 0, kGroupAll));
    ASSERT_TRUE(keyboard.WaitForWorker(30000));
    ASSERT_EQ(keyboard.GetLastWriteResult(), 1);

    CKeyboard again;
    CDmConfig_Keyboard back;
    ASSERT_TRUE(again.Open(&back));
    ASSERT_TRUE(again.TransferProfiles(&back, 1, kGroupAll));
    ASSERT_TRUE(again.ReadKeyEntries(&back));
    ExpectSameModel(&config, &back);
    ULONG layout = 99;
    EXPECT_TRUE(again.QueryKeyboardValue(&layout));
    EXPECT_TRUE(again.SelectMode2());
    EXPECT_TRUE(again.SelectMode1());
}

TEST_F(KeyboardHeadsetStandin, HeadsetEqualiserAndLightingRoundTrip) {
    auto endpoints = std::make_shared<vt::test::ChannelEndpoints>();
    endpoints->Add(VolumeFlow::Render, L"Velto Corvel");
    endpoints->Add(VolumeFlow::Capture, L"Velto Corvel");
    CAudioDevice::SetWinVolMaker([endpoints] { return std::make_unique<CWinVol_Vista>(endpoints); });
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    ASSERT_TRUE(headset.Apply(1, kHeadsetAll));
    IAudioProfile* second = config.CreateProfile(L"Second");
    config.InitBands({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -36, 15, 1, second);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) {
        IAudioProfile* p = config.GetProfileAt(uint32_t(i));
        for (int32_t b = 0; b < 10; ++b) config.SetBandGain(b, int16_t(-20 + 3 * b + i), p);
        config.SetEqualizerEnabled(uint8_t(i % 2), p);
        config.SetLightColor(9, 0x0A0B0C + i, p);
    }
    config.SetMasterVolume(70);
    ASSERT_TRUE(headset.Apply(0, kHeadsetAll));

    CDmConfig_Headset back;
    CAudioDevice again(&kHeadsetDescription, &back);
    ASSERT_TRUE(again.Open());
    ASSERT_TRUE(again.Apply(1, kHeadsetAll));
    ASSERT_EQ(back.GetProfileCount(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        IAudioProfile* a = config.GetProfileAt(uint32_t(i));
        IAudioProfile* b = back.FindProfileById(IdOf(a));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(back.GetEqualizerEnabled(b), config.GetEqualizerEnabled(a));
        for (int32_t band = 0; band < 10; ++band) EXPECT_EQ(back.GetBandGain(band, b), config.GetBandGain(band, a));
        EXPECT_EQ(back.GetLightColor(9, b), config.GetLightColor(9, a));
    }
    EXPECT_EQ(back.GetMasterVolume(), 70) << "read back from the Windows endpoint";
    CAudioDevice::SetWinVolMaker({});
}
