// The headset's three pages in the main window. On the engine stand-in's simulated headset with the
// fake Windows endpoints (their changes fire from a thread of their own, as the system's audio
// threads do): levels and microphone written to Windows, Windows-side changes moving the sliders
// without feeding back, a page shown not writing an older value over the user's volume; the
// equaliser's bands, presets and the preset warning answered both ways, read back with
// `enginectl dump`. On a recording headset: the device's notices move only the controls they name,
// and the mixer's change notice reaches the device. The page files and the warning, with
// screenshots.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <memory>
#include <string>
#include "EngineCtl.h"
#include "HeadsetFakes.h"
#include "PagesFixture.h"
#include "config/EngineDevices.h"
#include "config/pages/HeadsetEqualiserPage.h"
#include "config/popups/WarningPopup.h"
#include "device/VolumeEndpoints.h"
#include "skin/DropDownList.h"
#include "skin/Slider.h"
#include "standin/audio/FakeAudioEndpoints.h"

using namespace vt::config;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
using Flow = vt::win::AudioFlow;

namespace {

std::string Dump() {
    std::string d;
    vt::test::RunEngineCtl(L"dump", &d);
    return d;
}

// The headset's part of the dump.
std::string HeadsetPart(const std::string& dump) {
    const size_t a = dump.find("{\"kind\":\"headset\"");
    return a == std::string::npos ? std::string() : dump.substr(a);
}

// The dump's text of one headset profile, from its name to the end of its equaliser.
std::string ProfilePart(const std::string& headset, const std::string& name) {
    const size_t a = headset.find("\"name\":\"" + name + "\"");
    if (a == std::string::npos) return {};
    const size_t e = headset.find("\"equalizer\"", a);
    const size_t b = e == std::string::npos ? std::string::npos : headset.find('}', e);
    return headset.substr(a, b == std::string::npos ? std::string::npos : b - a + 1);
}

// The profile's id as the dump writes it.
std::string IdOf(const std::string& headset, const std::string& name) {
    const size_t a = headset.find("\"name\":\"" + name + "\"");
    if (a == std::string::npos) return {};
    const size_t id = headset.rfind("\"id\":\"", a);
    return id == std::string::npos ? std::string() : headset.substr(id + 6, 38);
}

std::string GainsText(IAudioConfig* config, const wchar_t* name) {
    std::string s = "\"gains\":[";
    BandGains g;
    if (IAudioProfile* p = config->FindProfileByName(name)) config->GetAllBandGains(g, p);
    bool first = true;
    for (const auto& [band, gain] : g) {
        s += (first ? "" : ",") + std::to_string(gain);
        first = false;
    }
    return s + "]";
}

} // namespace

// The window's headset pages, whatever device set is behind them.
class HeadsetPagesFixture : public vt::test::PagesFixture {
protected:
    vt::skin::CVertSlider* Slider(int pageId, int id) const {
        CDmPage* page = dlg->Page(pageId);
        return page ? BindItem<vt::skin::CVertSlider>(*page, id, vt::skin::kKindVertSlider) : nullptr;
    }
    int SliderValue(int pageId, int id) const {
        vt::skin::CVertSlider* s = Slider(pageId, id);
        return s ? s->Value() : -999;
    }
    bool Checked(int id) const {
        HWND b = Control(id);
        auto* button = b ? dynamic_cast<vt::skin::CBitmapBtn*>(vt::win::Window::FromHandle(b)) : nullptr;
        return button && IsChecked(button);
    }
    // A slider released at a value, as its track reports it.
    void Release(int pageId, int id, int value) {
        vt::skin::CVertSlider* s = Slider(pageId, id);
        ASSERT_NE(s, nullptr) << "no slider " << id;
        PostMessageW(s->m_track, vt::skin::WM_SLIDER_VALUE_SET, WPARAM(value), LPARAM(id));
        PumpMessages(20, 500);
    }
};

// ---- on the engine stand-in's headset and the fake Windows endpoints ----

class HeadsetPagesEngine : public HeadsetPagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        SetUpFolder();
        ASSERT_EQ(vt::test::RunEngineCtl(L"reset"), 0);
        ASSERT_EQ(vt::test::RunEngineCtl(L"unplug all"), 0);
        ASSERT_EQ(vt::test::RunEngineCtl(L"plug headset"), 0);
        speakers = windows->Add(Flow::Render, L"Speakers (Velto Corvel)");
        microphone = windows->Add(Flow::Capture, L"Microphone (Velto Corvel)");
        vt::device::SetVolumeEndpoints(vt::device::AdaptAudioEndpoints(windows));
        devices = CreateEngineDevices(mouse, keyboard, headset);
        OpenWindow(*devices);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_HEADSET)) != FALSE; }, 20000));
        ASSERT_EQ(dlg->CurrentDevice(), kHeadset);
        ASSERT_GT(headset->GetProfileCount(), 0);
    }
    void TearDown() override {
        dlg.reset();
        if (devices) devices->Destroy();
        devices.reset();
        vt::device::SetVolumeEndpoints(nullptr);
        CoUninitialize();
        vt::test::WindowTest::TearDown();
    }
    vt::sim::FakeAudioEndpoints::State Speakers() { return windows->Get(speakers); }
    vt::sim::FakeAudioEndpoints::State Microphone() { return windows->Get(microphone); }
    // The preset entry of that name chosen in the drop-down, as the drop-down reports it.
    void ChoosePreset(const wchar_t* name) {
        auto* list = dynamic_cast<vt::skin::CDropdownListItem*>(
            vt::win::Window::FromHandle(Control(ctl::BUTTON_DROPDOWN_EQ_PRESETSELECT)));
        ASSERT_NE(list, nullptr);
        int index = -1;
        for (size_t i = 0; i < list->m_entries.size(); ++i)
            if (list->m_entries[i].name == name) index = int(i);
        ASSERT_GE(index, 0) << "no preset entry";
        SendMessageW(dlg->Hwnd(), vt::skin::WM_DROPDOWN_SELCHANGE, WPARAM(index), LPARAM(list->Hwnd()));
        PumpMessages(20, 500);
    }

    std::shared_ptr<vt::sim::FakeAudioEndpoints> windows = vt::sim::MakeFakeAudioEndpoints();
    int speakers = 0, microphone = 0;
    std::unique_ptr<IDeviceSet> devices;
};

TEST_F(HeadsetPagesEngine, LevelsReachWindowsAndWindowsChangesMoveTheSlidersWithoutFeedingBack) {
    ASSERT_EQ(dlg->CurrentPageId(), kPageHeadsetLevels);
    // The read took Windows' level.
    EXPECT_EQ(SliderValue(kPageHeadsetLevels, ctl::SLIDER_MASTERVOLUME), 50);
    Release(kPageHeadsetLevels, ctl::SLIDER_MASTERVOLUME, 30);
    EXPECT_EQ(headset->GetMasterVolume(), 30);
    EXPECT_NEAR(Speakers().level, 0.30f, 0.001f);
    int32_t left = 0, right = 0;
    headset->GetBalance(&left, &right);
    const int32_t rightBefore = right;
    Release(kPageHeadsetLevels, ctl::SLIDER_BALANCEL, 40);
    headset->GetBalance(&left, &right);
    EXPECT_EQ(left, 40);
    EXPECT_EQ(right, rightBefore);
    EXPECT_EQ(SliderValue(kPageHeadsetLevels, ctl::SLIDER_BALANCEL), 40);
    Press(ctl::BUTTON_HEADSET_MUTE);
    EXPECT_TRUE(Speakers().muted);
    EXPECT_EQ(headset->GetMute(), 1);
    // The headset's pages apply at once: Apply has nothing to offer.
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));

    // Another program changes the volume and unmutes: the notice comes from the endpoint's thread.
    const unsigned sets = Speakers().setVolumeCalls, mutes = Speakers().setMuteCalls;
    windows->ChangeFromOutside(speakers, 0.8f, false, false);
    EXPECT_TRUE(PumpUntil([&] { return SliderValue(kPageHeadsetLevels, ctl::SLIDER_MASTERVOLUME) == 80; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return !Checked(ctl::BUTTON_HEADSET_MUTE); }, 5000));
    PumpMessages(50, 500);
    EXPECT_EQ(headset->GetMasterVolume(), 80);
    EXPECT_EQ(Speakers().setVolumeCalls, sets);
    EXPECT_EQ(Speakers().setMuteCalls, mutes);
    Shot(L"config_headset_levels.bmp");

    // Windows moved on without a notice (the model is behind): showing the page again must not
    // put the older value over it.
    auto s = Speakers();
    s.level = 0.65f;
    windows->Set(speakers, s);
    Click(ctl::BUTTON_MICSETTINGS);
    Click(ctl::BUTTON_AUDIOLEVEL);
    ASSERT_EQ(dlg->CurrentPageId(), kPageHeadsetLevels);
    EXPECT_NEAR(Speakers().level, 0.65f, 0.001f);
    EXPECT_EQ(Speakers().setVolumeCalls, sets);
}

TEST_F(HeadsetPagesEngine, MicrophoneReachesWindowsAndFollowsIt) {
    Click(ctl::BUTTON_MICSETTINGS);
    ASSERT_EQ(dlg->CurrentPageId(), kPageHeadsetMicrophone);
    Release(kPageHeadsetMicrophone, ctl::SLIDER_MICVOLUME, 70);
    EXPECT_EQ(headset->GetMicVolume(), 70);
    EXPECT_NEAR(Microphone().level, 0.70f, 0.001f);
    Press(ctl::BUTTON_HEADSET_MIC_MUTE);
    EXPECT_TRUE(Microphone().muted);
    Press(ctl::BUTTON_HEADSET_MIC_AUTOGAINCTRL);
    EXPECT_TRUE(Microphone().autoGain);
    EXPECT_EQ(headset->GetMicAutoGain(), 1);

    const unsigned sets = Microphone().setVolumeCalls, mutes = Microphone().setMuteCalls;
    windows->ChangeFromOutside(microphone, 0.25f, false, false);
    EXPECT_TRUE(PumpUntil([&] { return SliderValue(kPageHeadsetMicrophone, ctl::SLIDER_MICVOLUME) == 25; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return !Checked(ctl::BUTTON_HEADSET_MIC_MUTE) && !Checked(ctl::BUTTON_HEADSET_MIC_AUTOGAINCTRL); }, 5000));
    PumpMessages(50, 500);
    EXPECT_EQ(headset->GetMicVolume(), 25);
    EXPECT_EQ(Microphone().setVolumeCalls, sets);
    EXPECT_EQ(Microphone().setMuteCalls, mutes);
    Release(kPageHeadsetMicrophone, ctl::SLIDER_MICVOLUME, 60);
    Shot(L"config_headset_microphone.bmp");

    // Windows moved on without a notice: the page shown again leaves the microphone as it is.
    auto m = Microphone();
    m.level = 0.35f;
    m.muted = true;
    windows->Set(microphone, m);
    const unsigned setsNow = Microphone().setVolumeCalls, mutesNow = Microphone().setMuteCalls;
    Click(ctl::BUTTON_AUDIOLEVEL);
    Click(ctl::BUTTON_MICSETTINGS);
    ASSERT_EQ(dlg->CurrentPageId(), kPageHeadsetMicrophone);
    EXPECT_NEAR(Microphone().level, 0.35f, 0.001f);
    EXPECT_TRUE(Microphone().muted);
    EXPECT_EQ(Microphone().setVolumeCalls, setsNow);
    EXPECT_EQ(Microphone().setMuteCalls, mutesNow);
}

TEST_F(HeadsetPagesEngine, EqualiserBandsAndPresetsReachTheEngine) {
    Click(ctl::BUTTON_EQSETTINGS);
    ASSERT_EQ(dlg->CurrentPageId(), kPageHeadsetEqualiser);
    if (!Checked(ctl::BUTTON_EQ_EQUALIZERENABLE)) Press(ctl::BUTTON_EQ_EQUALIZERENABLE);
    ASSERT_TRUE(Checked(ctl::BUTTON_EQ_EQUALIZERENABLE));
    IAudioProfile* first = headset->GetCurrentProfile();
    ASSERT_NE(first, nullptr);
    const std::wstring firstName = first->GetName();
    const std::string firstUtf8(firstName.begin(), firstName.end());
    ASSERT_EQ(headset->FindProfileByName(L"Custom"), nullptr);   // the stand-in's headset has one profile

    // A band moved: "Custom" is made (on the headset too), current and active, with the change.
    Release(kPageHeadsetEqualiser, ctl::SLIDER_EQ_250HZ, 10);
    IAudioProfile* custom = headset->FindProfileByName(L"Custom");
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(headset->GetCurrentProfile(), custom);
    EXPECT_EQ(headset->GetBandGain(headset->GetBandIdAt(3, custom), custom), 10);
    EXPECT_EQ(SliderValue(kPageHeadsetEqualiser, ctl::SLIDER_EQ_250HZ), 10);
    const std::string shaped = GainsText(headset, L"Custom");
    std::string h = HeadsetPart(Dump());
    EXPECT_NE(ProfilePart(h, "Custom").find(shaped), std::string::npos) << h;
    EXPECT_NE(h.find("\"activeProfile\":\"" + IdOf(h, "Custom") + "\""), std::string::npos) << h;
    Shot(L"config_headset_equaliser.bmp");

    // Back to the first preset, the warning answered Cancel: "Custom" rolled back on the headset.
    popups.warningAnswer = 2;
    ChoosePreset(firstName.c_str());
    EXPECT_EQ(popups.Warnings(), (std::vector<std::wstring>{L"PresetWarningPopup.xml"}));
    EXPECT_EQ(headset->GetCurrentProfile(), first);
    const std::string rolledBack = GainsText(headset, L"Custom");
    EXPECT_EQ(rolledBack, GainsText(headset, firstName.c_str()));
    h = HeadsetPart(Dump());
    EXPECT_NE(ProfilePart(h, "Custom").find(rolledBack), std::string::npos) << h;
    EXPECT_NE(h.find("\"activeProfile\":\"" + IdOf(h, firstUtf8) + "\""), std::string::npos) << h;

    // Shaped again, and kept (OK): the headset keeps "Custom"'s new gains.
    Release(kPageHeadsetEqualiser, ctl::SLIDER_EQ_1KHZ, -12);
    EXPECT_EQ(headset->GetCurrentProfile(), custom);
    const std::string kept = GainsText(headset, L"Custom");
    popups.warningAnswer = 1;
    ChoosePreset(firstName.c_str());
    EXPECT_EQ(popups.Warnings().size(), 2u);
    EXPECT_EQ(GainsText(headset, L"Custom"), kept);
    h = HeadsetPart(Dump());
    EXPECT_NE(ProfilePart(h, "Custom").find(kept), std::string::npos) << h;

    // The equaliser off: the sliders at 0 and greyed, the preset list greyed, the headset's switch off.
    Press(ctl::BUTTON_EQ_EQUALIZERENABLE);
    EXPECT_FALSE(Checked(ctl::BUTTON_EQ_EQUALIZERENABLE));
    EXPECT_EQ(SliderValue(kPageHeadsetEqualiser, ctl::SLIDER_EQ_31HZ), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::SLIDER_EQ_31HZ)));
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_DROPDOWN_EQ_PRESETSELECT)));
    h = HeadsetPart(Dump());
    EXPECT_NE(ProfilePart(h, firstUtf8).find("\"equalizer\":{\"on\":false"), std::string::npos) << h;
    Shot(L"config_headset_equaliser_off.bmp");

    // Applied: the whole headset written, "Custom" as kept.
    ASSERT_TRUE(dlg->ApplyCurrentDevice());
    h = HeadsetPart(Dump());
    EXPECT_NE(ProfilePart(h, "Custom").find(kept), std::string::npos) << h;
}

TEST_F(HeadsetPagesEngine, LeavingTheEqualiserWithChangesAsksOnce) {
    Click(ctl::BUTTON_EQSETTINGS);
    if (!Checked(ctl::BUTTON_EQ_EQUALIZERENABLE)) Press(ctl::BUTTON_EQ_EQUALIZERENABLE);
    Release(kPageHeadsetEqualiser, ctl::SLIDER_EQ_31HZ, -20);
    ASSERT_NE(headset->FindProfileByName(L"Custom"), nullptr);
    popups.warningAnswer = 2;
    Click(ctl::BUTTON_AUDIOLEVEL);
    EXPECT_EQ(popups.Warnings(), (std::vector<std::wstring>{L"PresetWarningPopup.xml"}));
    // Rolled back: the first preset current again.
    EXPECT_EQ(headset->GetCurrentProfile(), headset->GetProfileAt(0));
    Click(ctl::BUTTON_EQSETTINGS);
    Click(ctl::BUTTON_MICSETTINGS);
    EXPECT_EQ(popups.Warnings().size(), 1u);
}

// The three pages in German, as a person looks at them: no raw text keys, nothing cut off.
TEST_F(HeadsetPagesEngine, ThePagesInGerman) {
    struct English {
        ~English() { vt::test::UseLanguage(vt::test::kEnglish); }
    } restore;
    dlg.reset();
    ASSERT_TRUE(vt::test::UseLanguage(vt::test::kGerman));
    OpenWindow(*devices);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_HEADSET)) != FALSE; }, 20000));
    const struct { int button, page; const wchar_t* shot; } pages[] = {
        {ctl::BUTTON_AUDIOLEVEL, kPageHeadsetLevels, L"config_headset_levels_German.bmp"},
        {ctl::BUTTON_MICSETTINGS, kPageHeadsetMicrophone, L"config_headset_microphone_German.bmp"},
        {ctl::BUTTON_EQSETTINGS, kPageHeadsetEqualiser, L"config_headset_equaliser_German.bmp"},
    };
    for (const auto& p : pages) {
        Click(p.button);
        ASSERT_EQ(dlg->CurrentPageId(), p.page);
        Shot(p.shot);
    }
}

// ---- on a recording headset (no engine) ----

class RecordingHeadsetDevices : public vt::test::FakePageDevices {
public:
    using FakePageDevices::FakePageDevices;
    vt::test::RecordingHeadset recording;
    ::IAudioDevice* HeadsetDevice() override { return &recording; }
};

class HeadsetPagesWindow : public HeadsetPagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        vt::test::FillPresets(headsetConfig, {L"Preset01", L"Custom"});
        headsetConfig.SetVolumeRange(0, 100, 1);
        headsetConfig.SetMicRange(0, 100, 1);
        headsetConfig.SetMasterVolume(20);
        headsetConfig.SetBalance(20, 20);
        OpenWindow(set);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Control(ctl::BUTTON_PRODSELECT_MOUSE)) != FALSE; }, 20000));
        // Pages are built when first asked for: the headset's are there before the notices come.
        for (int page : {kPageHeadsetLevels, kPageHeadsetMicrophone, kPageHeadsetEqualiser})
            ASSERT_NE(dlg->Page(page), nullptr) << page;
    }
    RecordingHeadsetDevices set{mouse, keyboard};
};

// The notices name what changed: only those controls move, and nothing is written back.
TEST_F(HeadsetPagesWindow, DeviceNoticesMoveOnlyWhatTheyNameAndWriteNothing) {
    headsetConfig.SetMasterVolume(70);
    headsetConfig.SetBalance(33, 44);
    headsetConfig.SetMute(1);
    headsetConfig.SetMicVolume(12);
    headsetConfig.SetMicAutoGain(1);
    set.recording.Take();
    PostMessageW(dlg->Hwnd(), WM_HEADSET_LEVELS_CHANGED, 0, 1 | 4);
    PostMessageW(dlg->Hwnd(), WM_HEADSET_MIC_CHANGED, 0, 0x10);
    PumpMessages(20, 500);
    EXPECT_EQ(SliderValue(kPageHeadsetLevels, ctl::SLIDER_MASTERVOLUME), 70);
    EXPECT_EQ(SliderValue(kPageHeadsetLevels, ctl::SLIDER_BALANCEL), 20);
    EXPECT_EQ(SliderValue(kPageHeadsetLevels, ctl::SLIDER_BALANCER), 44);
    EXPECT_EQ(SliderValue(kPageHeadsetMicrophone, ctl::SLIDER_MICVOLUME), 12);
    PostMessageW(dlg->Hwnd(), WM_HEADSET_LEVELS_CHANGED, 0, 2 | 8);
    PostMessageW(dlg->Hwnd(), WM_HEADSET_MIC_CHANGED, 0, 0x40);
    PumpMessages(20, 500);
    EXPECT_EQ(SliderValue(kPageHeadsetLevels, ctl::SLIDER_BALANCEL), 33);
    EXPECT_TRUE(Checked(ctl::BUTTON_HEADSET_MUTE));
    EXPECT_TRUE(Checked(ctl::BUTTON_HEADSET_MIC_AUTOGAINCTRL));
    EXPECT_TRUE(set.recording.Take().empty());
}

TEST_F(HeadsetPagesWindow, TheMixersChangeNoticeReachesTheHeadset) {
    PostMessageW(dlg->Hwnd(), MM_MIXM_CONTROL_CHANGE, WPARAM(0x1234), LPARAM(77));
    PumpMessages(20, 500);
    EXPECT_EQ(set.recording.mixer, reinterpret_cast<HMIXER>(0x1234));
    EXPECT_EQ(set.recording.mixerControl, 77u);
}

// The page files hold what the pages look for, and the preset warning shows its texts.
TEST_F(HeadsetPagesWindow, PageFilesHoldTheirControlsAndTheWarningItsTexts) {
    using namespace vt::skin;
    struct Item { int id, kind; };
    struct File { const wchar_t* file; std::vector<Item> items; };
    const File files[] = {
        {L"Headset_AudLvl.xml", {{ctl::SLIDER_MASTERVOLUME, kKindVertSlider}, {ctl::SLIDER_BALANCEL, kKindVertSlider},
                                 {ctl::SLIDER_BALANCER, kKindVertSlider}, {ctl::BITMAP_SLTRK_MASTERVOLUME, kKindSliderTrack},
                                 {ctl::BITMAP_SLTRK_BALANCEL, kKindSliderTrack}, {ctl::BITMAP_SLTRK_BALANCER, kKindSliderTrack},
                                 {ctl::BUTTON_HEADSET_MUTE, kKindBitmapBtn}}},
        {L"Headset_MicSet.xml", {{ctl::SLIDER_MICVOLUME, kKindVertSlider}, {ctl::BITMAP_SLTRK_MICVOLUME, kKindSliderTrack},
                                 {ctl::BUTTON_HEADSET_MIC_MUTE, kKindBitmapBtn}, {ctl::BUTTON_HEADSET_MIC_AUTOGAINCTRL, kKindBitmapBtn}}},
        {L"Headset_EqSet.xml", {{ctl::BUTTON_EQ_EQUALIZERENABLE, kKindBitmapBtn}, {ctl::BUTTON_DROPDOWN_EQ_PRESETSELECT, kKindDropdownList},
                                {ctl::SLIDER_EQ_31HZ, kKindVertSlider}, {ctl::SLIDER_EQ_62HZ, kKindVertSlider},
                                {ctl::SLIDER_EQ_125HZ, kKindVertSlider}, {ctl::SLIDER_EQ_250HZ, kKindVertSlider},
                                {ctl::SLIDER_EQ_500HZ, kKindVertSlider}, {ctl::SLIDER_EQ_1KHZ, kKindVertSlider},
                                {ctl::SLIDER_EQ_2KHZ, kKindVertSlider}, {ctl::SLIDER_EQ_4KHZ, kKindVertSlider},
                                {ctl::SLIDER_EQ_8KHZ, kKindVertSlider}, {ctl::SLIDER_EQ_16KHZ, kKindVertSlider}}},
    };
    for (const File& f : files) {
        CGUIItems page;
        ASSERT_TRUE(page.LoadSkinPage(f.file, dlg->Hwnd())) << f.file;
        for (const Item& i : f.items) {
            CGUIItem* item = FindItem(page, i.id);
            ASSERT_NE(item, nullptr) << f.file << " " << i.id;
            EXPECT_EQ(item->m_kind, i.kind) << f.file << " " << i.id;
        }
        DeleteAllItems(page);
    }
    for (int language : {vt::test::kEnglish, vt::test::kGerman}) {
        ASSERT_TRUE(vt::test::UseLanguage(language));
        CDmWarningDlg warning(dlg->Hwnd(), L"PresetWarningPopup.xml");
        warning.SetMessageText(L"$Preset");
        ASSERT_TRUE(warning.CreatePanel());
        ShowWindow(warning.Hwnd(), SW_SHOW);
        PumpMessages(30, 500);
        EXPECT_EQ(GetItemText(warning.Heading()), language == vt::test::kEnglish ? L"Preset" : L"Voreinstellung");
        ASSERT_NE(FindItem(warning.Items(), ctl::BUTTON_POPUP_OK), nullptr);
        ASSERT_NE(FindItem(warning.Items(), ctl::BUTTON_POPUP_CANCEL), nullptr);
        vt::test::CaptureClient(warning.Hwnd())
            .SaveBmp(vt::test::OutputPath(language == vt::test::kEnglish ? L"config_popup_PresetWarningPopup.bmp"
                                                                         : L"config_popup_PresetWarningPopup_German.bmp"));
        DestroyWindow(warning.Hwnd());
    }
    ASSERT_TRUE(vt::test::UseLanguage(vt::test::kEnglish));
}
