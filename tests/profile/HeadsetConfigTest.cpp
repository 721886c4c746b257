// The headset configuration: level clamping, the defaults of a new profile, the equaliser switch.
#include "ProgramFolderFixture.h"
#include "profile/AudioConfig.h"

namespace {

using HeadsetConfigTest = ProgramFolderTest;

TEST_F(HeadsetConfigTest, LevelsClampToTheirRanges) {
    struct Case {
        int32_t min, max, value, stored;
    } cases[] = {
        {0, 1, 5, 1},     {0, 1, -3, 0},     {0, 100, 20, 20}, {0, 100, 101, 100},
        {-10, 10, -11, -10}, {10, 0, 5, 10},  // inverted: below the minimum gives the minimum
        {10, 0, 20, 0},                       //           everything else the maximum
    };
    for (const auto& c : cases) {
        CDmConfig_Headset cfg;
        EXPECT_TRUE(cfg.SetVolumeRange(c.min, c.max, 1));
        EXPECT_TRUE(cfg.SetMicRange(c.min, c.max, 1));
        cfg.SetMasterVolume(c.value);
        cfg.SetBalance(c.value, c.value);
        cfg.SetMicVolume(c.value);
        int32_t left = -99, right = -99;
        cfg.GetBalance(&left, &right);
        EXPECT_EQ(cfg.GetMasterVolume(), c.stored) << c.min << ".." << c.max << " " << c.value;
        EXPECT_EQ(left, c.stored);
        EXPECT_EQ(right, c.stored);
        EXPECT_EQ(cfg.GetMicVolume(), c.stored);
    }
    CDmConfig_Headset cfg;
    int32_t mn = 9, mx = 9, st = 9;
    cfg.GetVolumeRange(&mn, &mx, &st);
    EXPECT_EQ(mn, 0);
    EXPECT_EQ(mx, 1);
    EXPECT_EQ(st, 1);
    cfg.GetMicRange(&mn, &mx, &st);
    EXPECT_EQ(mx, 1);
    cfg.SetMute(1);
    cfg.SetMicMute(1);
    cfg.SetMicAutoGain(1);
    cfg.SetMicNoiseReduction(1);
    EXPECT_EQ(cfg.GetMute() + cfg.GetMicMute() + cfg.GetMicAutoGain() + cfg.GetMicNoiseReduction(), 4);
}

TEST_F(HeadsetConfigTest, FirstProfileDefaults) {
    CDmConfig_Headset cfg;
    cfg.SetVolumeRange(0, 100, 1);
    cfg.SetMicRange(0, 15, 1);
    cfg.SetMute(1);
    cfg.SetMicMute(1);
    cfg.SetMicAutoGain(1);
    cfg.SetMicNoiseReduction(1);
    IAudioProfile* p = cfg.CreateProfile(L"Music");
    EXPECT_EQ(cfg.GetMasterVolume(), 20);
    int32_t left = 0, right = 0;
    cfg.GetBalance(&left, &right);
    EXPECT_EQ(left, 20);
    EXPECT_EQ(right, 20);
    EXPECT_EQ(cfg.GetMicVolume(), 15);
    EXPECT_EQ(cfg.GetMute(), 0);
    EXPECT_EQ(cfg.GetMicMute(), 0);
    EXPECT_EQ(cfg.GetMicAutoGain(), 0);
    EXPECT_EQ(cfg.GetMicNoiseReduction(), 1);
    EXPECT_EQ(cfg.GetEqualizerEnabled(nullptr), 1);
    EXPECT_EQ(p->GetEqualizerEnabled(), 1);
    for (int32_t zone : {3, 10, 9}) {
        EXPECT_EQ(p->GetLightOn(zone), 1);
        EXPECT_EQ(p->GetLightFlag(zone), 1);
        EXPECT_EQ(p->GetLightColor(zone), 0xFF0000);
    }
    EXPECT_EQ(p->GetBandCount(), 0u);
    EXPECT_EQ(cfg.GetConfigAssignmentCount(), 16);
}

TEST_F(HeadsetConfigTest, LaterProfilesKeepTheLevels) {
    CDmConfig_Headset cfg;
    cfg.SetVolumeRange(0, 100, 1);
    cfg.SetMicRange(0, 15, 1);
    cfg.CreateProfile(L"First");
    cfg.SetMasterVolume(77);
    cfg.SetBalance(60, 70);
    cfg.SetMicVolume(3);
    cfg.SetMute(1);
    cfg.SetEqualizerEnabled(0, nullptr);
    IAudioProfile* second = cfg.CreateProfile(L"Imported");
    EXPECT_EQ(cfg.GetMasterVolume(), 77);
    int32_t left = 0, right = 0;
    cfg.GetBalance(&left, &right);
    EXPECT_EQ(left, 60);
    EXPECT_EQ(right, 70);
    EXPECT_EQ(cfg.GetMicVolume(), 3);
    EXPECT_EQ(cfg.GetMute(), 1);
    EXPECT_EQ(cfg.GetEqualizerEnabled(nullptr), 0);
    EXPECT_EQ(second->GetEqualizerEnabled(), 1);
}

TEST_F(HeadsetConfigTest, EqualizerSwitch) {
    CDmConfig_Headset cfg;
    IAudioProfile* a = cfg.CreateProfile(L"A");
    IAudioProfile* b = cfg.CreateProfile(L"B");
    cfg.SetCurrentProfile(a);
    cfg.SetEqualizerEnabled(0, nullptr);  // every profile and the configuration copy
    EXPECT_EQ(a->GetEqualizerEnabled(), 0);
    EXPECT_EQ(b->GetEqualizerEnabled(), 0);
    cfg.SetEqualizerEnabled(1, a);
    EXPECT_EQ(cfg.GetEqualizerEnabled(a), 1);
    EXPECT_EQ(cfg.GetEqualizerEnabled(b), 0);
    cfg.SetEqualizerEnabled(0, b);
    EXPECT_EQ(cfg.GetEqualizerEnabled(nullptr), 0);  // the copy, though the current profile is on
    EXPECT_EQ(a->GetEqualizerEnabled(), 1);
}

TEST_F(HeadsetConfigTest, BandsThroughTheConfiguration) {
    CDmConfig_Headset cfg;
    IAudioProfile* p = cfg.CreateProfile(L"P");
    cfg.SetCurrentProfile(p);
    std::vector<int32_t> ids{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_TRUE(cfg.InitBands(ids, -12, 12, 1, nullptr));
    EXPECT_EQ(cfg.GetBandCount(nullptr), 10u);
    EXPECT_TRUE(cfg.SetBandGain(3, 20, nullptr));
    EXPECT_EQ(cfg.GetBandGain(3, p), 12);
    EXPECT_TRUE(cfg.SetAllBandGains({{4, 30}}, p));
    BandGains gains;
    EXPECT_TRUE(cfg.GetAllBandGains(gains, nullptr));
    EXPECT_EQ(gains.at(4), 30);
    int32_t mn = 0, mx = 0, sc = 0;
    cfg.GetGainRange(&mn, &mx, &sc, nullptr);
    EXPECT_EQ(mn, -12);
    EXPECT_EQ(mx, 12);
    EXPECT_EQ(sc, 1);
    EXPECT_EQ(cfg.GetBandIdAt(9, nullptr), 9);
    EXPECT_EQ(cfg.GetBandIdAt(10, nullptr), 0);
    // Without any profile nothing is stored and nothing crashes.
    cfg.SetCurrentProfile(nullptr);
    EXPECT_FALSE(cfg.SetBandGain(1, 1, nullptr));
    EXPECT_FALSE(cfg.InitBands(ids, 0, 1, 1, nullptr));
    EXPECT_EQ(cfg.GetBandCount(nullptr), 0u);
    EXPECT_EQ(cfg.GetBandGain(1, nullptr), 0);
    EXPECT_FALSE(cfg.GetAllBandGains(gains, nullptr));
}

TEST_F(HeadsetConfigTest, CustomProfileGainsGoBackToZero) {
    struct Case {
        const wchar_t* name;
        bool zeroed;
    } cases[] = {{L"Custom", true}, {L"CUSTOM", true}, {L"cUsToM", true}, {L"Custom ", false}, {L"Music", false}};
    for (const auto& c : cases) {
        CDmConfig_Headset cfg;
        IAudioProfile* p = cfg.CreateProfile(c.name);
        // Band ids that are not 0..n-1: no band may be added on the way.
        cfg.InitBands({2, 5, 40}, -12, 12, 1, p);
        for (int32_t band : {2, 5, 40}) cfg.SetBandGain(band, 6, p);
        SetHeadsetProfileDefaults(p, &cfg);
        BandGains gains;
        cfg.GetAllBandGains(gains, p);
        EXPECT_EQ(gains.size(), 3u);
        for (const auto& [band, gain] : gains) EXPECT_EQ(gain, c.zeroed ? 0 : 6) << band;
    }
}

TEST_F(HeadsetConfigTest, DeviceAndLightingEntries) {
    CDmConfig_Headset cfg;
    auto* device = reinterpret_cast<IAudioDevice*>(&cfg);  // only kept, never called
    cfg.SetDevice(device);
    cfg.SetDevice(nullptr);
    EXPECT_EQ(cfg.Device(), device);
    for (uint32_t h : {30u, 10u, 20u}) cfg.AddApmStage(0, 0, h);
    EXPECT_TRUE(cfg.RemoveApmStageAt(0));
    EXPECT_FALSE(cfg.RemoveApmStageAt(2));
    int32_t low = 0;
    uint32_t high = 0;
    cfg.GetApmStageRange(0, &low, &high);
    EXPECT_EQ(high, 20u);
}

} // namespace
