// The mixer page over endpoints with channel levels (Wine has no endpoints of its own): what it
// shows, what it writes, the notices it follows, and the audio manager's volume sync box.
#include "SheetFixture.h"
#include "audtest/MixerPage.h"
#include "audtest/resource.h"
#include "device/VolumeFakes.h"
#include "device/WinVol.h"

namespace vt::test {
namespace {

using vt::audtest::CMixerPage;

TEST(MixerBalance, MasterWriteKeepsTheBalance) {
    struct Row {
        float master, left, right, wantLeft, wantRight;
    };
    const Row rows[] = {
        {0.8f, 0.5f, 0.25f, 0.8f, 0.4f},   // left louder: left takes the master, right its ratio
        {0.8f, 0.25f, 0.5f, 0.4f, 0.8f},   // right louder
        {0.3f, 0.6f, 0.6f, 0.3f, 0.3f},    // equal: both
        {1.5f, 0.5f, 0.25f, 1.0f, 0.5f},   // beyond the range: clamped first
        {0.5f, 0.0f, 0.0f, 0.5f, 0.5f},    // both silent
    };
    for (const Row& r : rows) {
        float left = r.left, right = r.right;
        CMixerPage::KeepBalance(r.master, &left, &right);
        EXPECT_NEAR(left, r.wantLeft, 1e-6) << r.master << " " << r.left << " " << r.right;
        EXPECT_NEAR(right, r.wantRight, 1e-6) << r.master << " " << r.left << " " << r.right;
    }
}

class MixerPage : public SheetFixture {
protected:
    void SetUp() override {
        endpoints = std::make_shared<ChannelEndpoints>();
        render = endpoints->Add(vt::device::VolumeFlow::Render, L"Speakers (Velto Corvel)");
        capture = endpoints->Add(vt::device::VolumeFlow::Capture, L"Microphone (Velto Corvel)");
        endpoints->At(render).channels[0] = 0.5f;
        endpoints->At(render).channels[1] = 0.25f;
        endpoints->At(render).master = 0.5f;
        endpoints->At(capture).master = 0.7f;
        vt::device::SetVolumeEndpoints(endpoints);
        SheetFixture::SetUp();
    }
    void TearDown() override {
        SheetFixture::TearDown();
        vt::device::SetVolumeEndpoints(nullptr);
    }
    LRESULT Pos(HWND page, int id) { return SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0); }

    std::shared_ptr<ChannelEndpoints> endpoints;
    int render = 0, capture = 0;
};

TEST_F(MixerPage, ShowsAndWritesTheHeadsetLevels) {
    HWND page = Show(kMixer);
    EXPECT_EQ(Text(GetDlgItem(page, IDC_OUT_NAME)), L"Speakers (Velto Corvel)");
    EXPECT_EQ(Text(GetDlgItem(page, IDC_IN_NAME)), L"Microphone (Velto Corvel)");
    EXPECT_EQ(Pos(page, IDC_OUT_MASTER), 50);
    EXPECT_EQ(Pos(page, IDC_OUT_LEFT), 50);
    EXPECT_EQ(Pos(page, IDC_OUT_RIGHT), 25);
    EXPECT_EQ(Pos(page, IDC_IN_MASTER), 70);
    CaptureClient(hwnd).SaveBmp(OutputPath(L"audtest_mixer_levels.bmp"));

    EndTrack(page, IDC_OUT_MASTER, 80);
    EXPECT_NEAR(endpoints->At(render).master, 0.8f, 1e-6);
    EXPECT_NEAR(endpoints->At(render).channels[0], 0.8f, 1e-6);
    EXPECT_NEAR(endpoints->At(render).channels[1], 0.4f, 1e-6);
    EndTrack(page, IDC_OUT_RIGHT, 10);
    EXPECT_NEAR(endpoints->At(render).channels[1], 0.1f, 1e-6);
    EndTrack(page, IDC_IN_MASTER, 30);
    EXPECT_NEAR(endpoints->At(capture).master, 0.3f, 1e-6);
    Click(page, IDC_OUT_MUTE);
    EXPECT_TRUE(endpoints->At(render).muted);
    Click(page, IDC_IN_AGC);
    EXPECT_TRUE(endpoints->At(capture).agc);
    // Written with no event context.
    for (const GUID& c : endpoints->At(render).contexts) EXPECT_TRUE(IsEqualGUID(c, GUID{}));
}

TEST_F(MixerPage, FollowsChangesMadeElsewhere) {
    HWND page = Show(kMixer);
    endpoints->ChangeFromOutside(render, 0.9f, 0.9f, 0.6f, true);
    EXPECT_TRUE(PumpUntil([&] { return IsDlgButtonChecked(page, IDC_OUT_MUTE) == BST_CHECKED; }));
    EXPECT_EQ(Pos(page, IDC_OUT_MASTER), 90);
    EXPECT_EQ(Pos(page, IDC_OUT_RIGHT), 60);
    // A notice with one channel: the second shows 0, nothing beyond the notice is read.
    endpoints->ChangeFromOutside(render, 0.4f, 0.4f, 0.7f, false, 1);
    EXPECT_TRUE(PumpUntil([&] { return IsDlgButtonChecked(page, IDC_OUT_MUTE) == BST_UNCHECKED; }));
    EXPECT_EQ(Pos(page, IDC_OUT_LEFT), 40);
    EXPECT_EQ(Pos(page, IDC_OUT_RIGHT), 0);
    endpoints->AutoGainFromOutside(capture, true);
    EXPECT_TRUE(PumpUntil([&] { return IsDlgButtonChecked(page, IDC_IN_AGC) == BST_CHECKED; }));
    // Closing the sheet stops the notices: a change after it reaches nobody.
    CloseSheet();
    EXPECT_EQ(endpoints->At(render).sink, nullptr);
    endpoints->ChangeFromOutside(render, 0.1f, 0.1f, 0.1f, false);
}

TEST_F(MixerPage, SyncBoxSwitchesTheAudioManagersVolumeSync) {
    HWND page = Show(kMixer);
    auto device = sheet->Device();
    ASSERT_TRUE(device);
    vt::win::ComPtr<IVtSync> sync;
    ASSERT_EQ(device->QueryInterface(IID_IVtSync, sync.PutVoid()), S_OK);
    Click(page, IDC_SYNC);
    LONG on = 0;
    sync->IsSyncEnable(&on);
    EXPECT_EQ(on, 1);
    Click(page, IDC_SYNC);
    sync->IsSyncEnable(&on);
    EXPECT_EQ(on, 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

// Before Windows 6: the waveform mixer named "Velto Corvel", with raw control values.
class MixerPageOnTheWaveMixer : public SheetFixture {
protected:
    void SetUp() override {
        mixer = std::make_shared<FakeMixer>();
        mixer->devs.push_back({L"Other Card", {{MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 1, 2, {{9, L"Volume", 0, 0, 65535, {1, 1}}}}}});
        mixer->devs.push_back({L"Velto Corvel",
                               {{MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 10, 2,
                                 {{11, L"Mute", MIXERCONTROL_CONTROLF_UNIFORM, 0, 1, {0}},
                                  {12, L"Volume", 0, 0, 65535, {40000, 20000}}}},
                                {MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 20, 1,
                                 {{21, L"Mute", MIXERCONTROL_CONTROLF_UNIFORM, 0, 1, {0}},
                                  {22, L"Volume", 0, 0, 65535, {30000}},
                                  {23, L"AGC", MIXERCONTROL_CONTROLF_UNIFORM, 0, 1, {1}}}}}});
        vt::device::SetMixerApi(mixer);
        vt::device::SetWinVolSystem(vt::device::WinVolSystem::Mixer);
        SheetFixture::SetUp();
    }
    void TearDown() override {
        SheetFixture::TearDown();
        vt::device::SetWinVolSystem(vt::device::WinVolSystem::ByVersion);
        vt::device::SetMixerApi(nullptr);
    }
    LRESULT Pos(HWND page, int id) { return SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0); }
    std::shared_ptr<FakeMixer> mixer;
};

TEST_F(MixerPageOnTheWaveMixer, ShowsWritesAndFollowsTheHeadsetsMixer) {
    HWND page = Show(kMixer);
    EXPECT_FALSE(mixer->devs[0].open) << "only the headset's mixer stays open";
    EXPECT_EQ(Text(GetDlgItem(page, IDC_OUT_NAME)), L"Velto Corvel");
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_OUT_MASTER, TBM_GETRANGEMAX, 0, 0), 65535);
    EXPECT_EQ(Pos(page, IDC_OUT_MASTER), 40000);
    EXPECT_EQ(Pos(page, IDC_OUT_LEFT), 40000);
    EXPECT_EQ(Pos(page, IDC_OUT_RIGHT), 20000);
    EXPECT_EQ(Pos(page, IDC_IN_MASTER), 30000);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_IN_AGC), BST_CHECKED);

    EndTrack(page, IDC_OUT_MASTER, 50000);  // the balance kept in integers
    EXPECT_EQ(mixer->FindCtl(12)->values, (std::vector<DWORD>{50000, 25000}));
    EndTrack(page, IDC_IN_MASTER, 1000);
    EXPECT_EQ(mixer->FindCtl(22)->values.at(0), 1000u);
    Click(page, IDC_OUT_MUTE);
    EXPECT_EQ(mixer->FindCtl(11)->values.at(0), 1u);

    // Another program changes the levels: the mixer tells the page's window.
    mixer->FindCtl(12)->values = {100, 60000};
    const LRESULT right = Pos(page, IDC_OUT_RIGHT);
    SendMessageW(page, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(FakeMixer::Handle(0)), 12);  // another mixer
    EXPECT_EQ(Pos(page, IDC_OUT_RIGHT), right);
    SendMessageW(page, MM_MIXM_CONTROL_CHANGE, reinterpret_cast<WPARAM>(FakeMixer::Handle(1)), 12);
    EXPECT_EQ(Pos(page, IDC_OUT_MASTER), 60000);
    EXPECT_EQ(Pos(page, IDC_OUT_LEFT), 100);
    EXPECT_EQ(Pos(page, IDC_OUT_RIGHT), 60000);
    CloseSheet();
    EXPECT_FALSE(mixer->devs[1].open) << "the page closes the mixer";
}

} // namespace
} // namespace vt::test
