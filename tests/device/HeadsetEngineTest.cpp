// The headset device object against the engine core hosted in-process and the Windows volume
// wrapper over fake endpoints: open, the equaliser and lighting round trip, the attached
// equaliser, the Windows levels written, read and followed with their notices, reports from audio
// threads that reach the model only on the owning thread, and the do-nothing headset.
#include "device/DeviceFactory.h"
#include "device/HeadsetDevice.h"
#include "EngineHost.h"
#include "VolumeFakes.h"
#include "profile/AudioConfig.h"
#include "standin/audio/FakeAudioEndpoints.h"
#include <gtest/gtest.h>
#include <thread>

using namespace vt::device;
using vt::test::ChannelEndpoints;
using vt::test::InProcessEngine;

namespace {

GUID IdOf(IAudioProfile* p) {
    GUID g{};
    if (p) p->GetId(&g);
    return g;
}

// A window that only collects the headset notices; everything else is dispatched.
class NoticeWindow {
public:
    NoticeWindow() {
        hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~NoticeWindow() { DestroyWindow(hwnd); }
    // Runs this thread's messages; answers the notices that reached the window, in order.
    std::vector<std::pair<UINT, LPARAM>> Pump() {
        std::vector<std::pair<UINT, LPARAM>> got;
        MSG m;
        for (int idle = 0; idle < 3;) {
            if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                ++idle;
                Sleep(5);
                continue;
            }
            idle = 0;
            if (m.hwnd == hwnd && (m.message == WM_HEADSET_MIC_CHANGED || m.message == WM_HEADSET_LEVELS_CHANGED))
                got.emplace_back(m.message, m.lParam);
            else
                DispatchMessageW(&m);
        }
        return got;
    }
    HWND hwnd;
};

using Notice = std::pair<UINT, LPARAM>;

struct HeadsetDevice : ::testing::Test {
    void SetUp() override {
        render = endpoints->Add(VolumeFlow::Render, L"Speakers (Velto Corvel)");
        capture = endpoints->Add(VolumeFlow::Capture, L"Microphone (Velto Corvel)");
        auto e = endpoints;
        CAudioDevice::SetWinVolMaker([e] { return std::make_unique<CWinVol_Vista>(e); });
    }
    void TearDown() override { CAudioDevice::SetWinVolMaker({}); }

    vt::win::ComInit com;
    InProcessEngine engine;
    std::shared_ptr<ChannelEndpoints> endpoints = std::make_shared<ChannelEndpoints>();
    int render = 0, capture = 0;
};

void EditHeadsetProfile(IAudioConfig* c, IAudioProfile* p, int seed) {
    for (int32_t b = 0; b < 10; ++b) c->SetBandGain(b, int16_t(-30 + 4 * b + seed), p);
    c->SetEqualizerEnabled(uint8_t(seed % 2), p);
    c->SetLightOn(3, uint8_t(seed % 2), p);
    c->SetLightColor(9, 0x102030 + seed, p);
    c->SetLightFlag(10, uint8_t((seed + 1) % 2), p);
}

} // namespace

TEST_F(HeadsetDevice, OpenReadsProfilesAndBandLayout) {
    engine.control->SetDeviceValue(VT_PID_HEADSET, L"firmware.major", 2);
    engine.control->SetDeviceValue(VT_PID_HEADSET, L"firmware.minor", 5);
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    EXPECT_TRUE(headset.IsConnected());
    std::wstring fw;
    headset.GetFirmwareVersion(fw);
    EXPECT_EQ(fw, L"2.05");
    ASSERT_EQ(config.GetProfileCount(), 1);
    IAudioProfile* p = config.GetProfileAt(0);
    EXPECT_FALSE(IsNullGuid(IdOf(p)));
    ASSERT_EQ(config.GetBandCount(p), 10u);
    int32_t min = 0, max = 0, scale = 0;
    config.GetGainRange(&min, &max, &scale, p);
    EXPECT_EQ(min, -36);
    EXPECT_EQ(max, 15);
    config.GetVolumeRange(&min, &max, &scale);
    EXPECT_EQ(max, 100);
    ASSERT_NE(headset.WinVol(), nullptr);
    EXPECT_TRUE(headset.WinVol()->Impl()->IsReady());
}

// Switch (per profile), band gains, lighting zones and lighting entries go model -> engine -> a
// fresh model unchanged.
TEST_F(HeadsetDevice, EqualiserLightingAndEntriesRoundTrip) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    ASSERT_TRUE(headset.Apply(1, kHeadsetAll));
    IAudioProfile* second = config.CreateProfile(L"Second");
    ASSERT_NE(second, nullptr);
    config.InitBands({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -36, 15, 1, second);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) EditHeadsetProfile(&config, config.GetProfileAt(i), i + 1);
    config.ClearApmStages();
    config.AddApmStage(0x0000FF, 0, 100);
    config.AddApmStage(0x00FF00, 100, 250);
    config.SetCurrentProfile(second);
    ASSERT_TRUE(headset.Apply(0, kHeadsetAll));
    EXPECT_FALSE(IsNullGuid(IdOf(second)));

    CDmConfig_Headset back;
    CAudioDevice again(&kHeadsetDescription, &back);
    ASSERT_TRUE(again.Open());
    ASSERT_TRUE(again.Apply(1, kHeadsetAll));
    ASSERT_EQ(back.GetProfileCount(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        IAudioProfile* a = config.GetProfileAt(uint32_t(i));
        IAudioProfile* b = back.FindProfileById(IdOf(a));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(back.GetEqualizerEnabled(b), config.GetEqualizerEnabled(a)) << "switch of profile " << i;
        for (int32_t band = 0; band < 10; ++band) EXPECT_EQ(back.GetBandGain(band, b), config.GetBandGain(band, a));
        for (int32_t zone : {3, 9, 10}) {
            EXPECT_EQ(back.GetLightOn(zone, b), config.GetLightOn(zone, a));
            EXPECT_EQ(back.GetLightColor(zone, b), config.GetLightColor(zone, a));
            EXPECT_EQ(back.GetLightFlag(zone, b), config.GetLightFlag(zone, a));
        }
    }
    // The configuration's own switch is its current profile's.
    EXPECT_EQ(back.GetEqualizerEnabled(nullptr), back.GetEqualizerEnabled(back.GetCurrentProfile()));
    ASSERT_EQ(back.GetApmStageCount(), 2);
    int32_t colour = 0, low = 0;
    uint32_t high = 0;
    back.GetApmStageColor(1, &colour);
    back.GetApmStageRange(1, &low, &high);
    EXPECT_EQ(colour, 0x00FF00);
    EXPECT_EQ(high, 250u);
}

// The headset's lighting zones and lighting entries go by the group snapshot as the mouse's do:
// after a read, an Apply without edits writes neither, an edit writes only its own group, and a
// failed write is made again by the next Apply.
TEST_F(HeadsetDevice, ApplyWritesOnlyTheLightingThatChanged) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open() && headset.Apply(1, kHeadsetAll));
    auto lightingWrites = [&](const std::wstring& log) {
        return engine.Calls(log, L"IVtLightingColor.SetColor") + engine.Calls(log, L"IVtLightingZone.TurnOn") +
               engine.Calls(log, L"IVtLightingZone.TurnOff") + engine.Calls(log, L"IVtLightingEffect.SetEffect");
    };
    engine.Log();
    ASSERT_TRUE(headset.Apply(0, kHeadsetAll));
    std::wstring log = engine.Log();
    EXPECT_EQ(lightingWrites(log), 0u) << std::string(log.begin(), log.end());
    EXPECT_EQ(engine.Calls(log, L"IVtCollectionEntry.SetColor"), 0u);

    IAudioProfile* p = config.GetProfileAt(0);
    config.SetLightColor(9, 0x00A0B0, p);
    engine.control->FailCall(L"IVtLightingColor.SetColor", 1, E_FAIL);
    EXPECT_FALSE(headset.Apply(0, kHeadsetAll));
    engine.Log();
    ASSERT_TRUE(headset.Apply(0, kHeadsetAll)) << "the failed group is written again";
    log = engine.Log();
    EXPECT_GE(engine.Calls(log, L"IVtLightingColor.SetColor"), 1u) << std::string(log.begin(), log.end());
    EXPECT_EQ(engine.Calls(log, L"IVtCollectionEntry.SetColor"), 0u) << "the entries are held already";

    CDmConfig_Headset back;
    CAudioDevice again(&kHeadsetDescription, &back);
    ASSERT_TRUE(again.Open() && again.Apply(1, kHeadsetAll));
    EXPECT_EQ(back.GetLightColor(9, back.GetProfileAt(0)), 0x00A0B0);
}

TEST_F(HeadsetDevice, BandBitsSelectTheBandsReadAndWritten) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    ASSERT_TRUE(headset.Apply(1, kHeadsetAll));
    IAudioProfile* p = config.GetProfileAt(0);
    for (int32_t b = 0; b < 10; ++b) config.SetBandGain(b, int16_t(b), p);
    engine.Log();
    ASSERT_TRUE(headset.Apply(0, 0x100 << 3));  // band 3 only
    const std::wstring log = engine.Log();
    EXPECT_EQ(engine.Calls(log, L"IVtEQGain.SetGain"), 1u) << log;
    EXPECT_EQ(engine.Calls(log, L"IVtEqualizer.Enable"), 1u);

    for (int32_t b = 0; b < 10; ++b) config.SetBandGain(b, 9, p);
    ASSERT_TRUE(headset.Apply(1, (0x100 << 3) | (0x100 << 7)));
    EXPECT_EQ(config.GetBandGain(3, p), 3);
    EXPECT_EQ(config.GetBandGain(7, p), 0);   // the engine's value
    EXPECT_EQ(config.GetBandGain(4, p), 9);   // not asked for: the model's edit stays
}

TEST_F(HeadsetDevice, AFailedGainReadKeepsThatBandAndIsReported) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    IAudioProfile* p = config.GetProfileAt(0);
    for (int32_t b = 0; b < 10; ++b) config.SetBandGain(b, int16_t(b + 1), p);
    ASSERT_TRUE(headset.Apply(0, kHeadsetBands));
    for (int32_t b = 0; b < 10; ++b) config.SetBandGain(b, -20, p);
    engine.control->FailCall(L"IVtEQGain.GetGain", 4, E_FAIL);  // band 3
    EXPECT_FALSE(headset.Apply(1, kHeadsetBands));
    for (int32_t b = 0; b < 10; ++b) EXPECT_EQ(config.GetBandGain(b, p), b == 3 ? -20 : b + 1) << b;
}

TEST_F(HeadsetDevice, EveryProfileIsWrittenAfterAFailedGroup) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    IAudioProfile* second = config.CreateProfile(L"Second");
    config.InitBands({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -36, 15, 1, second);
    config.SetBandGain(5, 12, second);
    engine.control->FailCall(L"IVtEqualizer.Enable", 1, E_FAIL);  // the first profile's switch
    EXPECT_FALSE(headset.Apply(0, kHeadsetAll));
    CDmConfig_Headset back;
    CAudioDevice again(&kHeadsetDescription, &back);
    ASSERT_TRUE(again.Open());
    ASSERT_TRUE(again.Apply(1, kHeadsetAll));
    IAudioProfile* b = back.FindProfileById(IdOf(second));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(back.GetBandGain(5, b), 12);
}

TEST_F(HeadsetDevice, AttachedEqualiserFollowsTheCurrentProfileAndSurvivesApply) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    EXPECT_FALSE(headset.ReadEqualizer(nullptr));  // nothing attached
    EXPECT_FALSE(headset.WriteEqualizerBand(&config, 2));
    IAudioProfile* second = config.CreateProfile(L"Second");
    config.InitBands({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -36, 15, 1, second);
    ASSERT_TRUE(headset.Apply(0, kHeadsetAll));
    config.SetCurrentProfile(second);
    ASSERT_TRUE(headset.ReadEqualizer(&config));
    EXPECT_TRUE(headset.IsEqualizerAttached());
    config.SetBandGain(2, -11, second);
    engine.Log();
    ASSERT_TRUE(headset.WriteEqualizerBand(&config, 2));
    EXPECT_NE(engine.Log().find(L"IVtEQGain.SetGain 2 -11"), std::wstring::npos);
    config.SetEqualizerEnabled(0, second);
    ASSERT_TRUE(headset.SetEqualizerEnabled(&config));
    ASSERT_TRUE(headset.Apply(0, kHeadsetLighting));
    EXPECT_TRUE(headset.IsEqualizerAttached());
    ASSERT_TRUE(headset.WriteEqualizer(&config, second));
    EXPECT_TRUE(headset.IsEqualizerAttached());

    CDmConfig_Headset back;
    CAudioDevice again(&kHeadsetDescription, &back);
    ASSERT_TRUE(again.Open());
    ASSERT_TRUE(again.Apply(1, kHeadsetAll));
    IAudioProfile* b = back.GetCurrentProfile();
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(GuidsEqual(IdOf(b), IdOf(second))) << "the model's current profile became the engine's active one";
    EXPECT_EQ(back.GetBandGain(2, b), -11);
    EXPECT_EQ(back.GetEqualizerEnabled(b), 0);
    ASSERT_TRUE(headset.ReadEqualizer(nullptr));
    EXPECT_FALSE(headset.IsEqualizerAttached());
}

TEST_F(HeadsetDevice, WriteEqualizerOfAProfileWithoutBandsCallsNothing) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    IAudioProfile* bare = config.CreateProfile(L"Bare");
    ASSERT_TRUE(headset.Apply(0, kHeadsetLighting));
    ASSERT_EQ(config.GetBandCount(bare), 0u);
    engine.Log();
    EXPECT_TRUE(headset.WriteEqualizer(&config, bare));
    EXPECT_EQ(engine.Calls(engine.Log(), L"IVtEQGain.SetGain"), 0u);
    EXPECT_FALSE(headset.WriteEqualizer(&config, nullptr));
}

// ---- Windows levels ----

TEST_F(HeadsetDevice, ApplyWritesAndReadsTheWindowsLevelsWithTheirNotices) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    NoticeWindow notices;
    headset.SetNotifyWindow(notices.hwnd);
    ASSERT_TRUE(headset.Open());
    config.SetMasterVolume(60);
    config.SetBalance(60, 30);
    config.SetMute(1);
    config.SetMicVolume(40);
    config.SetMicMute(1);
    config.SetMicAutoGain(1);
    ASSERT_TRUE(headset.Apply(0, kHeadsetLevels | kHeadsetMic));
    EXPECT_NEAR(endpoints->At(render).master, 0.6f, 1e-6);
    EXPECT_NEAR(endpoints->At(render).channels[0], 0.6f, 1e-6);
    EXPECT_NEAR(endpoints->At(render).channels[1], 0.3f, 1e-6);
    EXPECT_TRUE(endpoints->At(render).muted);
    EXPECT_NEAR(endpoints->At(capture).master, 0.4f, 1e-6);
    EXPECT_TRUE(endpoints->At(capture).muted);
    EXPECT_TRUE(endpoints->At(capture).agc);
    EXPECT_EQ(notices.Pump(), (std::vector<Notice>{{WM_HEADSET_LEVELS_CHANGED, 15}, {WM_HEADSET_MIC_CHANGED, 0xF0}}));

    auto& r = endpoints->At(render);
    r.master = 0.25f;
    r.channels[0] = 0.25f;
    r.channels[1] = 0.125f;
    r.muted = false;
    endpoints->At(capture).master = 0.9f;
    endpoints->At(capture).agc = false;
    ASSERT_TRUE(headset.Apply(1, kHeadsetLevels | kHeadsetMic));
    int32_t left = 0, right = 0;
    config.GetBalance(&left, &right);
    EXPECT_EQ(config.GetMasterVolume(), 25);
    EXPECT_EQ(left, 25);
    EXPECT_EQ(right, 13);
    EXPECT_EQ(config.GetMute(), 0);
    EXPECT_EQ(config.GetMicVolume(), 90);
    EXPECT_EQ(config.GetMicAutoGain(), 0);
}

TEST_F(HeadsetDevice, ChangesFromAudioThreadsReachTheModelOnlyOnItsOwnThread) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    NoticeWindow notices;
    headset.SetNotifyWindow(notices.hwnd);
    ASSERT_TRUE(headset.Open());
    config.SetMasterVolume(50);
    config.SetBalance(50, 50);
    config.SetMicVolume(50);
    headset.ReadListenerValues();
    notices.Pump();

    endpoints->ChangeFromOutside(render, 0.75f, 0.75f, 0.5f, true);
    endpoints->ChangeFromOutside(capture, 0.2f, 0.2f, 0.2f, false);
    endpoints->AutoGainFromOutside(capture, true);
    // The audio threads have returned; nothing of the model moved yet.
    EXPECT_EQ(config.GetMasterVolume(), 50);
    EXPECT_EQ(config.GetMute(), 0);
    EXPECT_EQ(config.GetMicAutoGain(), 0);
    const auto got = notices.Pump();
    EXPECT_EQ(got, (std::vector<Notice>{{WM_HEADSET_LEVELS_CHANGED, 1 | 2 | 8},
                                        {WM_HEADSET_MIC_CHANGED, 0x10},
                                        {WM_HEADSET_MIC_CHANGED, 0x40}}));
    int32_t left = 0, right = 0;
    config.GetBalance(&left, &right);
    EXPECT_EQ(config.GetMasterVolume(), 75);
    EXPECT_EQ(left, 75);
    EXPECT_EQ(right, 50);  // unchanged: no bit 4
    EXPECT_EQ(config.GetMute(), 1);
    EXPECT_EQ(config.GetMicVolume(), 20);
    EXPECT_EQ(config.GetMicAutoGain(), 1);
}

TEST_F(HeadsetDevice, ManyReportsFromManyThreadsWhileTheModelIsRead) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    NoticeWindow notices;
    headset.SetNotifyWindow(notices.hwnd);
    ASSERT_TRUE(headset.Open());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                VolumeState s;
                s.master = s.left = s.right = float((t * 50 + i) % 101) / 100.0f;
                headset.OnEndpointVolumeChanged(s, (i % 2) != 0);
            }
        });
    int64_t sum = 0;
    for (int i = 0; i < 2000; ++i) sum += config.GetMasterVolume();  // the owning thread keeps reading
    for (auto& th : threads) th.join();
    const auto got = notices.Pump();
    EXPECT_EQ(got.size(), 200u);
    EXPECT_GE(sum, 0);
}

TEST_F(HeadsetDevice, ListenerRoundsHalvesUpAndPostsUnchangedMuteAsZero) {
    struct Case { float level; int32_t percent; };
    for (const Case& c : {Case{0.494f, 49}, Case{0.495f, 50}, Case{0.004f, 0}, Case{0.006f, 1}, Case{1.0f, 100}})
        EXPECT_EQ(CAudioDevice::Percent(c.level), c.percent) << c.level;
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    NoticeWindow notices;
    headset.SetNotifyWindow(notices.hwnd);
    ASSERT_TRUE(headset.Open());
    headset.ReadListenerValues();
    notices.Pump();
    // On the owning thread (as the mixer's reports come) the model moves at once.
    headset.OnMuteChanged(0, false);
    headset.OnMuteChanged(1, true);
    EXPECT_EQ(config.GetMicMute(), 1);
    EXPECT_EQ(notices.Pump(), (std::vector<Notice>{{WM_HEADSET_LEVELS_CHANGED, 0}, {WM_HEADSET_MIC_CHANGED, 0x20}}));
    // A report without channel levels leaves the balance alone.
    config.SetBalance(40, 60);
    VolumeState s;
    s.master = 0.7f;
    s.channels = 0;
    headset.OnEndpointVolumeChanged(s, false);
    int32_t left = 0, right = 0;
    config.GetBalance(&left, &right);
    EXPECT_EQ(left, 40);
    EXPECT_EQ(right, 60);
    EXPECT_EQ(config.GetMasterVolume(), 70);
}

TEST_F(HeadsetDevice, MirrorsNeedAConnectedHeadsetAndAWrapper) {
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    EXPECT_FALSE(headset.MirrorMasterVolume(&config));  // not opened: no wrapper
    ASSERT_TRUE(headset.Open());
    config.SetMicVolume(35);
    config.SetMute(1);
    EXPECT_TRUE(headset.MirrorMicVolume(&config));
    EXPECT_TRUE(headset.MirrorMute(&config));
    EXPECT_NEAR(endpoints->At(capture).master, 0.35f, 1e-6);
    EXPECT_TRUE(endpoints->At(render).muted);
    headset.Close();
    EXPECT_FALSE(headset.IsConnected());
    EXPECT_FALSE(headset.MirrorMicVolume(&config));
}

// Without the fake endpoints: the system's own list has no headset. The headset still opens
// through the engine and leaves Windows alone.
TEST_F(HeadsetDevice, WithoutWindowsEndpointsTheEngineSideStillWorks) {
    CAudioDevice::SetWinVolMaker({});
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    ASSERT_TRUE(headset.Open());
    EXPECT_FALSE(headset.WinVol()->Impl()->IsReady());
    config.SetMasterVolume(33);
    EXPECT_TRUE(headset.Apply(1, kHeadsetAll));
    EXPECT_EQ(config.GetMasterVolume(), 33);
    EXPECT_FALSE(headset.MirrorMasterVolume(&config));
}

// ---- the do-nothing headset and the factory ----

TEST_F(HeadsetDevice, NullHeadsetOffersSixPresetsWithIdsOfTheirOwn) {
    CDmConfig_Headset config;
    CNullAudio null(&kHeadsetDescription, &config);
    ASSERT_TRUE(null.Open());
    ASSERT_EQ(config.GetProfileCount(), 6);
    const int16_t preset2[10] = {-35, -30, -25, -10, 0, 2, 4, 6, 8, 15};
    for (int i = 0; i < 6; ++i) {
        IAudioProfile* p = config.GetProfileAt(uint32_t(i));
        EXPECT_STREQ(p->GetName(), CNullAudio::kPresetNames[i]);
        EXPECT_EQ(config.FindProfileById(CNullAudio::kPresetIds[i]), p) << "each preset found by its own id";
        EXPECT_EQ(config.GetBandCount(p), 10u);
        EXPECT_EQ(config.GetLightOn(3, p), 1);
        EXPECT_EQ(config.GetLightColor(3, p), 0xFF);
        EXPECT_EQ(config.GetLightColor(10, p), 0xFF00);
        EXPECT_EQ(config.GetLightColor(9, p), 0xFF0000);
    }
    for (int32_t b = 0; b < 10; ++b) EXPECT_EQ(config.GetBandGain(b, config.GetProfileAt(1)), preset2[b]);
    EXPECT_EQ(config.GetBandGain(9, config.GetProfileAt(3)), 15);
    EXPECT_EQ(config.GetBandGain(8, config.GetProfileAt(3)), -35);
    EXPECT_EQ(config.GetCurrentProfile(), config.GetProfileAt(0));
    EXPECT_EQ(config.GetEqualizerEnabled(config.GetProfileAt(0)), 1);
    EXPECT_EQ(config.GetMasterVolume(), 50);
    EXPECT_EQ(config.GetMicVolume(), 50);
    EXPECT_TRUE(null.IsConnected());
    std::wstring v;
    null.GetFirmwareVersion(v);
    EXPECT_EQ(v, L"1.00");
    EXPECT_TRUE(null.Apply(0, kHeadsetAll));
    EXPECT_FALSE(null.Apply(1, kHeadsetAll));
}

TEST_F(HeadsetDevice, FactoryBindsTheRealOrTheNullHeadset) {
    CDmConfig_Headset config;
    IAudioDevice* device = nullptr;
    ASSERT_TRUE(CreateAudioDevice(&kHeadsetDescription, &device, &config));
    EXPECT_EQ(device, RealHeadset());
    EXPECT_EQ(config.Device(), device);
    static const int32_t caps[] = {1, 5, 6, 13, 9};
    static const DeviceDescription none{0, caps, 5};
    const long before = engine.engine ? 0 : 0;
    (void)before;
    ASSERT_TRUE(CreateAudioDevice(&none, &device, &config));
    EXPECT_EQ(device, NullHeadset());
    EXPECT_EQ(RealHeadset(), nullptr);
    EXPECT_EQ(config.GetProfileCount(), 6);
    engine.control->SetPresent(VT_PID_HEADSET, 0);
    ASSERT_TRUE(CreateAudioDevice(&kHeadsetDescription, &device, &config));
    EXPECT_EQ(device, NullHeadset());
    DestroyHeadsetDevices();
}

// The shared endpoint seam's fake (changes fired from a thread of its own) through the adapter:
// the headset's notices follow, and the balance is left alone (the seam carries no channels).
TEST_F(HeadsetDevice, SharedFakeEndpointChangesBecomeNotices) {
    auto shared = vt::sim::MakeFakeAudioEndpoints();
    const int speakers = shared->Add(vt::win::AudioFlow::Render, L"Speakers (Velto Corvel)");
    const int mic = shared->Add(vt::win::AudioFlow::Capture, L"Microphone (Velto Corvel)");
    auto adapted = AdaptAudioEndpoints(shared);
    CAudioDevice::SetWinVolMaker([adapted] { return std::make_unique<CWinVol_Vista>(adapted); });
    CDmConfig_Headset config;
    CAudioDevice headset(&kHeadsetDescription, &config);
    NoticeWindow notices;
    headset.SetNotifyWindow(notices.hwnd);
    ASSERT_TRUE(headset.Open());
    config.SetMasterVolume(30);
    config.SetBalance(30, 20);
    config.SetMicVolume(10);
    ASSERT_TRUE(headset.MirrorMasterVolume(&config));
    EXPECT_FLOAT_EQ(shared->Get(speakers).level, 0.3f);
    headset.ReadListenerValues();
    notices.Pump();
    shared->ChangeFromOutside(speakers, 0.8f, true, false);
    shared->ChangeFromOutside(mic, 0.45f, false, true);
    EXPECT_EQ(config.GetMasterVolume(), 30);  // not yet: the audio thread left the model alone
    EXPECT_EQ(notices.Pump(), (std::vector<Notice>{{WM_HEADSET_LEVELS_CHANGED, 1 | 8},
                                                   {WM_HEADSET_MIC_CHANGED, 0x10},
                                                   {WM_HEADSET_MIC_CHANGED, 0x40}}));
    int32_t left = 0, right = 0;
    config.GetBalance(&left, &right);
    EXPECT_EQ(config.GetMasterVolume(), 80);
    EXPECT_EQ(config.GetMute(), 1);
    EXPECT_EQ(left, 30);
    EXPECT_EQ(right, 20);
    EXPECT_EQ(config.GetMicVolume(), 45);
    EXPECT_EQ(config.GetMicAutoGain(), 1);
}
