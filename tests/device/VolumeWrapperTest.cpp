// The Windows volume wrapper: endpoint search, balance-kept writes, change reports from system
// threads, the transfers between the headset configuration and Windows, the waveform-mixer branch,
// and the core-audio path against the system's own (empty) endpoint list.
#include "VolumeFakes.h"
#include "device/WinVol.h"
#include "profile/AudioConfig.h"
#include "standin/audio/FakeAudioEndpoints.h"
#include "win/Handles.h"

#include <endpointvolume.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

using namespace vt::device;
using vt::test::ChannelEndpoints;
using vt::test::FakeMixer;
using vt::test::RecordingListener;
using vt::test::StubAudioDevice;

namespace {

struct HeadsetEndpoints {
    std::shared_ptr<ChannelEndpoints> fake = std::make_shared<ChannelEndpoints>();
    int render, capture;
    HeadsetEndpoints() {
        render = fake->Add(VolumeFlow::Render, L"Speakers (Velto Corvel USB)");
        capture = fake->Add(VolumeFlow::Capture, L"Microphone (Velto Corvel USB)");
    }
};

class VolumeWrapperTest : public ::testing::Test {
protected:
    vt::win::ComInit com;
    HeadsetEndpoints e;
    RecordingListener listener;
};

TEST_F(VolumeWrapperTest, BalanceKeptMasterWriteKeepsTheRatioOfTheChannels) {
    struct Case { float l, r, x; float wl, wr, wm; };
    const Case cases[] = {
        {0.6f, 0.6f, 0.3f, 0.3f, 0.3f, 0.3f},     // equal channels both take the level
        {0.8f, 0.4f, 0.5f, 0.5f, 0.25f, 0.5f},    // right below left
        {0.2f, 0.8f, 0.4f, 0.1f, 0.4f, 0.4f},     // left below right
        {0.0f, 0.0f, 0.7f, 0.7f, 0.7f, 0.7f},
        {0.5f, 0.5f, 1.5f, 1.0f, 1.0f, 1.0f},     // levels above 1 are written as 1
        {0.5f, 0.5f, -0.2f, 0.0f, 0.0f, 0.0f},
    };
    CWinVol_Vista vol(e.fake);
    for (const Case& c : cases) {
        auto& ep = e.fake->At(e.render);
        ep.channels[0] = c.l;
        ep.channels[1] = c.r;
        ep.contexts.clear();
        EXPECT_TRUE(vol.SetVolume(c.x));
        EXPECT_NEAR(ep.channels[0], c.wl, 1e-6) << c.l << "/" << c.r << " -> " << c.x;
        EXPECT_NEAR(ep.channels[1], c.wr, 1e-6);
        EXPECT_NEAR(ep.master, c.wm, 1e-6);
        // Master, then both channels, each with this process's event context.
        ASSERT_EQ(ep.contexts.size(), 3u);
        for (const GUID& g : ep.contexts) EXPECT_TRUE(IsEqualGUID(g, CWinVol_Vista::EventContext()));
    }
}

TEST_F(VolumeWrapperTest, EndpointSearchTakesTheFirstActiveReadableMatchCaseSensitively) {
    auto fake = std::make_shared<ChannelEndpoints>();
    const int lower = fake->Add(VolumeFlow::Render, L"velto corvel");           // other case: no match
    const int inactive = fake->Add(VolumeFlow::Render, L"Velto Corvel A");
    const int unreadable = fake->Add(VolumeFlow::Render, L"Velto Corvel B");
    const int first = fake->Add(VolumeFlow::Render, L"Velto Corvel C");
    const int second = fake->Add(VolumeFlow::Render, L"Velto Corvel D");
    fake->At(inactive).active = false;
    fake->At(unreadable).readable = false;
    for (int i : {lower, inactive, unreadable, first, second}) fake->At(i).master = 0.1f * float(i + 1);
    CWinVol_Vista vol(fake);
    float level = 0;
    ASSERT_TRUE(vol.GetVolume(&level));
    EXPECT_FLOAT_EQ(level, fake->At(first).master);
    ASSERT_TRUE(vol.SetMute(true));
    EXPECT_TRUE(fake->At(first).muted);
    EXPECT_FALSE(fake->At(second).muted);
}

TEST_F(VolumeWrapperTest, InitFollowsBothEndpointsAndReportsFromTheirThreads) {
    CWinVol_Vista vol(e.fake);
    ASSERT_TRUE(vol.Init(&listener));
    EXPECT_TRUE(vol.IsReady());
    e.fake->ChangeFromOutside(e.render, 0.75f, 0.75f, 0.5f, true);
    e.fake->ChangeFromOutside(e.capture, 0.25f, 0.25f, 0.25f, false, 1);
    e.fake->AutoGainFromOutside(e.capture, true);
    const auto reports = listener.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].kind, 0);
    EXPECT_FALSE(reports[0].capture);
    EXPECT_FLOAT_EQ(reports[0].state.master, 0.75f);
    EXPECT_FLOAT_EQ(reports[0].state.left, 0.75f);
    EXPECT_FLOAT_EQ(reports[0].state.right, 0.5f);
    EXPECT_EQ(reports[0].state.muted, 1);
    EXPECT_TRUE(reports[1].capture);
    EXPECT_FLOAT_EQ(reports[1].state.right, 0.0f);  // a channel the notice lacks is reported as 0
    EXPECT_EQ(reports[2].kind, 1);
    EXPECT_EQ(reports[2].value, 1);
    for (const auto& r : reports) EXPECT_NE(r.thread, GetCurrentThreadId());
}

TEST_F(VolumeWrapperTest, InitWithoutTheHeadsetIsNotReadyAndTeardownStopsTheNotices) {
    auto renderOnly = std::make_shared<ChannelEndpoints>();
    const int r = renderOnly->Add(VolumeFlow::Render, L"Velto Corvel");
    {
        CWinVol_Vista vol(renderOnly);
        EXPECT_FALSE(vol.Init(&listener));
        EXPECT_FALSE(vol.IsReady());
        EXPECT_EQ(renderOnly->At(r).follows, 1);
    }
    EXPECT_EQ(renderOnly->At(r).unfollows, 1);
    EXPECT_EQ(renderOnly->At(r).sink, nullptr);
    {
        CWinVol_Vista vol(e.fake);
        ASSERT_TRUE(vol.Init(&listener));
    }
    EXPECT_EQ(e.fake->At(e.render).sink, nullptr);
    EXPECT_EQ(e.fake->At(e.capture).sink, nullptr);
    e.fake->ChangeFromOutside(e.render, 0.1f, 0.1f, 0.1f, false);
    EXPECT_TRUE(listener.Reports().empty());
}

TEST_F(VolumeWrapperTest, MicrophoneAndAutomaticGainGoToTheCaptureEndpoint) {
    CWinVol_Vista vol(e.fake);
    ASSERT_TRUE(vol.Init(&listener));
    EXPECT_TRUE(vol.SetMicVolume(0.4f));
    EXPECT_FLOAT_EQ(e.fake->At(e.capture).master, 0.4f);
    EXPECT_TRUE(vol.SetMicMute(true));
    EXPECT_TRUE(e.fake->At(e.capture).muted);
    EXPECT_FALSE(e.fake->At(e.render).muted);
    EXPECT_TRUE(vol.SetAgc(true));
    EXPECT_TRUE(e.fake->At(e.capture).agc);
    bool on = false;
    EXPECT_TRUE(vol.GetAgc(&on));
    EXPECT_TRUE(on);
    // A microphone without the control: nothing to set, nothing read.
    e.fake->At(e.capture).hasAgc = false;
    on = false;
    EXPECT_TRUE(vol.GetAgc(&on));
    EXPECT_FALSE(on);
}

TEST(VolumeCallbackTest, MissingNoticeIsRefusedAndOneChannelReportsTheSecondAsZero) {
    struct Sink : IVolumeNoticeSink {
        std::vector<VolumeNotice> got;
        void OnVolumeNotice(const VolumeNotice& n) override { got.push_back(n); }
        void OnAutoGainNotice(bool) override {}
    } sink;
    IAudioEndpointVolumeCallback* cb = MakeVolumeCallback(&sink);
    EXPECT_EQ(cb->OnNotify(nullptr), E_INVALIDARG);
    EXPECT_TRUE(sink.got.empty());
    AUDIO_VOLUME_NOTIFICATION_DATA data{};
    data.fMasterVolume = 0.6f;
    data.bMuted = TRUE;
    data.nChannels = 1;
    data.afChannelVolumes[0] = 0.6f;
    EXPECT_EQ(cb->OnNotify(&data), S_OK);
    ASSERT_EQ(sink.got.size(), 1u);
    EXPECT_EQ(sink.got[0].channelCount, 1u);
    EXPECT_FLOAT_EQ(sink.got[0].channels[1], 0.0f);
    IUnknown* other = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(cb->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(cb->Release(), 0u);
}

// ---- transfers between the configuration and Windows ----

class VolumeTransferTest : public VolumeWrapperTest {
protected:
    void SetUp() override {
        config.SetVolumeRange(0, 100, 1);
        config.SetMicRange(0, 100, 1);
        owner.Adopt(std::make_unique<CWinVol_Vista>(e.fake));
        ASSERT_TRUE(owner.Impl()->Init(&listener));
    }
    CDmConfig_Headset config;
    StubAudioDevice device;
    CWinVol owner{&device};
};

TEST_F(VolumeTransferTest, WindowsLevelsBecomeWholeValuesHalvesUp) {
    struct Case { float level; int32_t value; };
    const Case cases[] = {{0.0f, 0}, {0.004f, 0}, {0.005f, 1}, {0.006f, 1}, {0.494f, 49},
                          {0.495f, 50}, {0.5f, 50}, {1.0f, 100}};
    for (const Case& c : cases) {
        e.fake->At(e.render).master = c.level;
        config.SetMasterVolume(77);
        ASSERT_TRUE(owner.PullVolume(&config));
        EXPECT_EQ(config.GetMasterVolume(), c.value) << c.level;
    }
}

TEST_F(VolumeTransferTest, PushAndPullEveryLevel) {
    config.SetMasterVolume(80);
    config.SetBalance(80, 40);
    config.SetMicVolume(30);
    ASSERT_TRUE(owner.PushLeftVolume(&config));
    ASSERT_TRUE(owner.PushRightVolume(&config));
    ASSERT_TRUE(owner.PushVolume(&config));
    ASSERT_TRUE(owner.PushMicVolume(&config));
    EXPECT_NEAR(e.fake->At(e.render).master, 0.8f, 1e-6);
    EXPECT_NEAR(e.fake->At(e.render).channels[0], 0.8f, 1e-6);
    EXPECT_NEAR(e.fake->At(e.render).channels[1], 0.4f, 1e-6);
    EXPECT_NEAR(e.fake->At(e.capture).master, 0.3f, 1e-6);

    e.fake->At(e.render).channels[0] = 0.25f;
    e.fake->At(e.render).channels[1] = 0.5f;
    e.fake->At(e.render).muted = true;
    e.fake->At(e.capture).master = 0.9f;
    e.fake->At(e.capture).muted = true;
    e.fake->At(e.capture).agc = true;
    EXPECT_TRUE(owner.PullLeftVolume(&config));
    EXPECT_TRUE(owner.PullRightVolume(&config));
    EXPECT_TRUE(owner.PullMute(&config));
    EXPECT_TRUE(owner.PullMicVolume(&config));
    EXPECT_TRUE(owner.PullMicMute(&config));
    EXPECT_TRUE(owner.PullAgc(&config));
    int32_t l = 0, r = 0;
    config.GetBalance(&l, &r);
    EXPECT_EQ(l, 25);
    EXPECT_EQ(r, 50);
    EXPECT_EQ(config.GetMute(), 1);
    EXPECT_EQ(config.GetMicVolume(), 90);
    EXPECT_EQ(config.GetMicMute(), 1);
    EXPECT_EQ(config.GetMicAutoGain(), 1);
}

TEST_F(VolumeTransferTest, FailedReadsLeaveTheModelAlone) {
    config.SetMasterVolume(60);
    config.SetBalance(60, 55);
    config.SetMicVolume(45);
    config.SetMute(1);
    config.SetMicMute(1);
    config.SetMicNoiseReduction(1);
    // The headset's endpoints are gone: every read fails.
    e.fake->At(e.render).active = false;
    e.fake->At(e.capture).active = false;
    EXPECT_FALSE(owner.PullVolume(&config));
    EXPECT_FALSE(owner.PullLeftVolume(&config));
    EXPECT_FALSE(owner.PullRightVolume(&config));
    EXPECT_FALSE(owner.PullMicVolume(&config));
    EXPECT_FALSE(owner.PullMute(&config));
    EXPECT_FALSE(owner.PullMicMute(&config));
    EXPECT_TRUE(owner.PullNoiseReduction(&config));
    int32_t l = 0, r = 0;
    config.GetBalance(&l, &r);
    EXPECT_EQ(config.GetMasterVolume(), 60);
    EXPECT_EQ(l, 60);
    EXPECT_EQ(r, 55);
    EXPECT_EQ(config.GetMicVolume(), 45);
    EXPECT_EQ(config.GetMute(), 1);
    EXPECT_EQ(config.GetMicMute(), 1);
    EXPECT_EQ(config.GetMicNoiseReduction(), 1);
}

TEST_F(VolumeTransferTest, NothingMovesWhileTheOwnerIsNotConnected) {
    device.connected = false;
    config.SetMasterVolume(10);
    e.fake->At(e.render).master = 0.9f;
    const int findsBefore = e.fake->finds;
    EXPECT_FALSE(owner.PushVolume(&config));
    EXPECT_FALSE(owner.PullVolume(&config));
    EXPECT_FALSE(owner.PullMute(&config));
    EXPECT_FALSE(owner.PushMicVolume(&config));
    EXPECT_EQ(e.fake->finds, findsBefore);
    EXPECT_EQ(config.GetMasterVolume(), 10);
    EXPECT_FLOAT_EQ(e.fake->At(e.render).master, 0.9f);
    CWinVol empty(&device);
    device.connected = true;
    EXPECT_FALSE(empty.PushVolume(&config));
}

// ---- the shared endpoint seam and its fake ----

TEST(VolumeSharedSeamTest, ReadsSetsAndFollowsTheSharedFakeEndpoints) {
    vt::win::ComInit com;
    auto fake = vt::sim::MakeFakeAudioEndpoints();
    const int render = fake->Add(vt::win::AudioFlow::Render, L"Speakers (Velto Corvel)");
    const int capture = fake->Add(vt::win::AudioFlow::Capture, L"Microphone (Velto Corvel)");
    RecordingListener listener;
    CWinVol_Vista vol(AdaptAudioEndpoints(fake));
    ASSERT_TRUE(vol.Init(&listener));
    ASSERT_TRUE(vol.SetVolume(0.3f));
    EXPECT_FLOAT_EQ(fake->Get(render).level, 0.3f);
    ASSERT_TRUE(vol.SetMicMute(true));
    EXPECT_TRUE(fake->Get(capture).muted);
    ASSERT_TRUE(vol.SetAgc(true));
    EXPECT_TRUE(fake->Get(capture).autoGain);
    float level = 0;
    ASSERT_TRUE(vol.GetMicVolume(&level));
    EXPECT_FLOAT_EQ(level, 0.5f);
    EXPECT_FALSE(vol.GetLeftVolume(&level));  // the shared seam has no channel levels

    fake->ChangeFromOutside(render, 0.6f, true, false);
    fake->ChangeFromOutside(capture, 0.2f, false, false);
    const auto reports = listener.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_FALSE(reports[0].capture);
    EXPECT_FLOAT_EQ(reports[0].state.master, 0.6f);
    EXPECT_EQ(reports[0].state.muted, 1);
    EXPECT_TRUE(reports[1].capture);
    EXPECT_FLOAT_EQ(reports[1].state.master, 0.2f);
    EXPECT_EQ(reports[2].kind, 1);  // automatic gain went off
    EXPECT_EQ(reports[2].value, 0);
    for (const auto& r : reports) EXPECT_NE(r.thread, GetCurrentThreadId());
}

// ---- the system's own endpoints (none here) ----

TEST(VolumeSystemTest, CoreAudioFindsNoHeadsetAndAnswersCleanly) {
    vt::win::ComInit com;
    SetWinVolSystem(WinVolSystem::ByVersion);
    EXPECT_TRUE(IsCoreAudioSystem());
    StubAudioDevice device;
    CWinVol owner(&device);
    IWinVol* impl = CreateWinVol(owner);
    ASSERT_NE(impl, nullptr);
    EXPECT_EQ(impl, owner.Vista());
    RecordingListener listener;
    EXPECT_FALSE(impl->Init(&listener));
    EXPECT_FALSE(impl->IsReady());
    float level = -1;
    bool flag = true;
    EXPECT_FALSE(impl->GetVolume(&level));
    EXPECT_FALSE(impl->SetVolume(0.5f));
    EXPECT_FALSE(impl->GetMute(&flag));
    EXPECT_FALSE(impl->SetMicVolume(0.5f));
    EXPECT_FALSE(impl->GetLeftVolume(&level));
    EXPECT_EQ(level, -1);
    EXPECT_TRUE(flag);
    CDmConfig_Headset config;
    config.SetVolumeRange(0, 100, 1);
    config.SetMasterVolume(42);
    EXPECT_FALSE(owner.PullVolume(&config));
    EXPECT_EQ(config.GetMasterVolume(), 42);
    EXPECT_TRUE(listener.Reports().empty());
}

TEST(VolumeSystemTest, VersionChoiceMakesTheMixerBranchBeforeWindowsSix) {
    StubAudioDevice device;
    SetWinVolSystem(WinVolSystem::Mixer);
    CWinVol owner(&device);
    IWinVol* made = CreateWinVol(owner);
    EXPECT_EQ(made, owner.Xp());
    EXPECT_EQ(owner.Vista(), nullptr);
    SetWinVolSystem(WinVolSystem::ByVersion);
    // The system's mixer list is empty here: a window to report to, yet no headset mixer.
    RecordingListener listener;
    listener.window = GetDesktopWindow();
    EXPECT_FALSE(owner.Impl()->Init(&listener));
    EXPECT_FALSE(owner.Impl()->IsReady());
}

// ---- waveform mixer ----

class VolumeMixerTest : public ::testing::Test {
protected:
    enum : DWORD { kSpkVol = 11, kSpkMute = 12, kMicVol = 21, kMicMute = 22, kAgc = 23, kOther = 30 };
    void SetUp() override {
        mixer = std::make_shared<FakeMixer>();
        mixer->devs.push_back({L"Other Card", {}});
        FakeMixer::Dev headset{L"VELTO CORVEL", {}};
        headset.lines.push_back({MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 1, 2,
                                 {{kSpkVol, L"Volume", 0, 0, 1000, {800, 400}}, {kSpkMute, L"Mute", MIXERCONTROL_CONTROLF_UNIFORM, 0, 1, {0}}}});
        headset.lines.push_back({MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 2, 2,
                                 {{kMicVol, L"Volume", 0, 0, 500, {250, 250}},
                                  {kMicMute, L"Mute", MIXERCONTROL_CONTROLF_UNIFORM, 0, 1, {0}},
                                  {kAgc, L"AGC", MIXERCONTROL_CONTROLF_UNIFORM, 0, 1, {1}}}});
        mixer->devs.push_back(headset);
        listener.window = GetDesktopWindow();
    }
    std::shared_ptr<FakeMixer> mixer;
    RecordingListener listener;
};

TEST_F(VolumeMixerTest, InitKeepsTheHeadsetMixerAndClosesTheOthers) {
    CWinVol_XP vol(mixer);
    ASSERT_TRUE(vol.Init(&listener));
    EXPECT_TRUE(vol.IsReady());
    EXPECT_FALSE(mixer->devs[0].open);
    EXPECT_TRUE(mixer->devs[1].open);
    EXPECT_EQ(mixer->devs[1].window, listener.window);
    float level = 0;
    ASSERT_TRUE(vol.GetVolume(&level));
    EXPECT_FLOAT_EQ(level, 0.8f);
    ASSERT_TRUE(vol.GetMicVolume(&level));
    EXPECT_FLOAT_EQ(level, 0.5f);
    bool on = false;
    ASSERT_TRUE(vol.GetAgc(&on));
    EXPECT_TRUE(on);
}

TEST_F(VolumeMixerTest, ListenerWithoutWindowLeavesTheWrapperNotReady) {
    listener.window = nullptr;
    CWinVol_XP vol(mixer);
    EXPECT_TRUE(vol.Init(&listener));
    EXPECT_FALSE(vol.IsReady());
    EXPECT_EQ(mixer->opens, 0);
    EXPECT_FALSE(vol.Init(nullptr));
}

TEST_F(VolumeMixerTest, BalanceKeptWriteInMixerUnitsClampedToTheRange) {
    CWinVol_XP vol(mixer);
    ASSERT_TRUE(vol.Init(&listener));
    ASSERT_TRUE(vol.SetVolume(0.5f));
    EXPECT_EQ(mixer->FindCtl(kSpkVol)->values, (std::vector<DWORD>{500, 250}));
    ASSERT_TRUE(vol.SetVolume(2.0f));
    EXPECT_EQ(mixer->FindCtl(kSpkVol)->values, (std::vector<DWORD>{1000, 500}));
    ASSERT_TRUE(vol.SetRightVolume(0.9f));
    EXPECT_EQ(mixer->FindCtl(kSpkVol)->values, (std::vector<DWORD>{1000, 900}));
    float level = 0;
    ASSERT_TRUE(vol.GetRightVolume(&level));
    EXPECT_FLOAT_EQ(level, 0.9f);
    ASSERT_TRUE(vol.SetMicVolume(0.2f));
    EXPECT_EQ(mixer->FindCtl(kMicVol)->values, (std::vector<DWORD>{100, 100}));
    ASSERT_TRUE(vol.SetMute(true));
    EXPECT_EQ(mixer->FindCtl(kSpkMute)->values[0], 1u);
    bool muted = false;
    ASSERT_TRUE(vol.GetMute(&muted));
    EXPECT_TRUE(muted);
}

TEST_F(VolumeMixerTest, ControlChangesReachTheListenerWithTheirOwnLineScale) {
    CWinVol_XP vol(mixer);
    ASSERT_TRUE(vol.Init(&listener));
    mixer->FindCtl(kMicVol)->values = {100, 400};
    mixer->FindCtl(kMicMute)->values = {1};
    mixer->FindCtl(kAgc)->values = {0};
    const HMIXER h = FakeMixer::Handle(1);
    EXPECT_TRUE(vol.OnMixerControlChange(h, kMicVol));
    EXPECT_TRUE(vol.OnMixerControlChange(h, kMicMute));
    EXPECT_TRUE(vol.OnMixerControlChange(h, kAgc));
    EXPECT_FALSE(vol.OnMixerControlChange(h, kOther));
    EXPECT_FALSE(vol.OnMixerControlChange(FakeMixer::Handle(0), kMicVol));
    const auto r = listener.Reports();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_TRUE(r[0].capture);
    EXPECT_FLOAT_EQ(r[0].state.left, 0.2f);
    EXPECT_FLOAT_EQ(r[0].state.right, 0.8f);
    EXPECT_FLOAT_EQ(r[0].state.master, 0.8f);
    EXPECT_EQ(r[1].kind, 2);
    EXPECT_TRUE(r[1].capture);
    EXPECT_EQ(r[1].value, 1);
    EXPECT_EQ(r[2].kind, 1);
    EXPECT_EQ(r[2].value, 0);
}

TEST_F(VolumeMixerTest, LinesWithManyControlsAndASecondRenderLine) {
    // More than 32 controls on the speaker line, and a headphone line after it.
    auto& lines = mixer->devs[1].lines;
    for (DWORD i = 0; i < 40; ++i) lines[0].controls.push_back({100 + i, L"Tone " + std::to_wstring(i), 0, 0, 10, {1, 1}});
    lines[0].controls.push_back({kOther, L"Mute", 0, 0, 1, {0, 0}});
    lines.push_back({MIXERLINE_COMPONENTTYPE_DST_HEADPHONES, 3, 2, {{40, L"Volume", 0, 0, 10, {5, 5}}}});
    CWinVol_XP vol(mixer);
    EXPECT_TRUE(vol.Init(&listener));
    EXPECT_TRUE(vol.IsReady());
    float level = 0;
    ASSERT_TRUE(vol.GetVolume(&level));
    EXPECT_FLOAT_EQ(level, 0.8f);  // the speaker line's volume, not the headphones'
    ASSERT_TRUE(vol.SetMute(true));
    EXPECT_EQ(mixer->FindCtl(kSpkMute)->values[0], 1u);  // the first mute control of the line
    EXPECT_EQ(mixer->FindCtl(kOther)->values[0], 0u);
}

TEST_F(VolumeMixerTest, UnreadableControlDropsTheLineAndInitReportsIt) {
    mixer->FindCtl(kMicMute)->unreadable = true;
    CWinVol_XP vol(mixer);
    EXPECT_FALSE(vol.Init(&listener));
    EXPECT_FALSE(vol.IsReady());
    bool on = false;
    EXPECT_FALSE(vol.GetAgc(&on));
    EXPECT_FALSE(vol.SetMicMute(true));
}

} // namespace
