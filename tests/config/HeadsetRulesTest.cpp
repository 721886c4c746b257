// The equaliser page's rules on a real headset configuration and a headset device object that
// records what it is asked: the band sliders' scale, "Custom" taking band changes, its snapshot and
// rollback as the preset warning is answered, the switch, and the cases without "Custom" or without
// a current preset.
#include <gtest/gtest.h>
#include "HeadsetFakes.h"
#include "PageFakes.h"
#include "config/pages/HeadsetEqualiserRules.h"
#include "config/pages/ProfileRules.h"

using namespace vt::config;
using vt::test::FillPresets;
using vt::test::GainsOf;
using Calls = std::vector<std::wstring>;

namespace {

// Every slider value stands for a gain within the range, and that gain shows as the same value:
// the slider's range and the gains written agree whatever the scale.
TEST(GainScaleTest, SliderValuesAndGainsAgreeForEveryScale) {
    struct Case { int32_t min, max, scale; int sliderMin, sliderMax; };
    const Case cases[] = {
        {-36, 15, 1, -36, 15}, {-36, 15, 5, -7, 3}, {-36, 15, 2, -18, 7}, {-12, 12, 3, -4, 4},
        {0, 100, 10, 0, 10},   {-36, 15, 0, -36, 15}, {-36, 15, -4, -36, 15},
    };
    for (const Case& c : cases) {
        GainScale s;
        s.min = c.min;
        s.max = c.max;
        s.scale = c.scale < 1 ? 1 : c.scale;
        EXPECT_EQ(s.SliderMin(), c.sliderMin) << c.scale;
        EXPECT_EQ(s.SliderMax(), c.sliderMax) << c.scale;
        for (int v = s.SliderMin(); v <= s.SliderMax(); ++v) {
            const int16_t g = s.ToGain(v);
            EXPECT_GE(g, c.min) << c.scale << " " << v;
            EXPECT_LE(g, c.max) << c.scale << " " << v;
            EXPECT_EQ(s.ToSlider(g), v) << c.scale << " " << v;
        }
        // Gains between the slider's steps show at the nearest step, never outside the slider.
        EXPECT_EQ(s.ToSlider(c.min), s.SliderMin());
        EXPECT_EQ(s.ToSlider(c.max), s.SliderMax());
    }
    // A scale below 1 read from the model counts as 1.
    CDmConfig_Headset config;
    FillPresets(config, {L"Preset01"}, 0);
    EXPECT_EQ(GainScale::Of(&config, config.GetCurrentProfile()).scale, 1);
}

class EqualiserRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillPresets(headsetConfig, {L"Preset01", L"Preset02", L"Custom"});
        // "Custom" as last accepted: every band at -5.
        for (int32_t b = 0; b < 10; ++b) headsetConfig.SetBandGain(b, -5, headsetConfig.FindProfileByName(L"Custom"));
    }
    IAudioProfile* Named(const wchar_t* name) { return headsetConfig.FindProfileByName(name); }
    int PresetIndex(const wchar_t* name) {
        rules.FillPresets();
        for (size_t i = 0; i < rules.Presets().size(); ++i)
            if (rules.Presets()[i] == name) return int(i);
        return -1;
    }
    static BandGains All(int16_t g) {
        BandGains out;
        for (int32_t b = 0; b < 10; ++b) out[b] = g;
        return out;
    }
    // Preset02 current, the page shown, band 3 moved to 12.
    void ShapeOnPreset02() {
        headsetConfig.SetCurrentProfile(Named(L"Preset02"));
        rules.Initialise();
        rules.Enter();
        ASSERT_TRUE(rules.BandSet(3, 12));
        device.Take();
    }

    CDmConfig_Headset headsetConfig;
    IAudioConfig* config = &headsetConfig;
    vt::test::RecordingHeadset device;
    vt::test::ScriptedPagePopups popups;
    EqualiserRules rules{config, [this] { return &device; }, popups};
};

TEST_F(EqualiserRulesTest, ABandMovedOnANamedPresetMakesCustomCurrentWithThatPresetsGainsAndTheChange) {
    headsetConfig.SetCurrentProfile(Named(L"Preset02"));
    rules.Initialise();
    rules.Enter();
    EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer Preset02"}));
    ASSERT_TRUE(rules.BandSet(3, 12));
    EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Custom"));
    BandGains expected = GainsOf(headsetConfig, L"Preset02");
    expected[3] = 12;
    EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), expected);
    EXPECT_EQ(GainsOf(headsetConfig, L"Preset02")[3], 1 + 3);   // the preset itself is untouched
    EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer Custom", L"WriteEqualizer Custom", L"WriteEqualizerBand 3"}));
    EXPECT_TRUE(rules.Modified());
    // A second band on "Custom" writes that band only.
    ASSERT_TRUE(rules.BandSet(0, -20));
    EXPECT_EQ(device.Take(), (Calls{L"WriteEqualizerBand 0"}));
    EXPECT_EQ(GainsOf(headsetConfig, L"Custom")[0], -20);
}

// The snapshot is "Custom" as last accepted, never the preset that was current: a rollback must not
// give "Custom" another preset's gains.
TEST_F(EqualiserRulesTest, TheSnapshotIsCustomsOwnWhicheverPresetIsCurrent) {
    ShapeOnPreset02();
    EXPECT_EQ(rules.Snapshot(), All(-5));
    popups.warningAnswer = 2;
    ASSERT_TRUE(rules.PresetChosen(PresetIndex(L"Preset01")));
    EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), All(-5));
}

TEST_F(EqualiserRulesTest, AnotherPresetChosenAsksOnceAndKeepsOrRollsBack) {
    struct Case { INT_PTR answer; bool keep; };
    for (const Case c : {Case{1, true}, Case{2, false}}) {
        SCOPED_TRACE(c.keep ? "keep" : "roll back");
        SetUp();
        ShapeOnPreset02();
        const BandGains shaped = GainsOf(headsetConfig, L"Custom");
        popups.calls.clear();
        popups.warningAnswer = c.answer;
        ASSERT_TRUE(rules.PresetChosen(PresetIndex(L"Preset01")));
        ASSERT_EQ(popups.calls.size(), 1u);
        EXPECT_EQ(popups.calls[0].file, L"PresetWarningPopup.xml");
        EXPECT_EQ(popups.calls[0].message, L"$Preset|");
        EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Preset01"));
        EXPECT_FALSE(rules.Modified());
        if (c.keep) {
            EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), shaped);
            EXPECT_EQ(rules.Snapshot(), shaped);
            EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer Preset01"}));
        } else {
            EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), All(-5));
            EXPECT_EQ(device.Take(), (Calls{L"WriteEqualizer Custom", L"ReadEqualizer Preset01"}));
        }
        // Nothing pending any more: the next preset is chosen without a question.
        ASSERT_TRUE(rules.PresetChosen(PresetIndex(L"Preset02")));
        EXPECT_EQ(popups.calls.size(), 1u);
        headsetConfig.DeleteAllProfiles();
    }
}

TEST_F(EqualiserRulesTest, ChoosingTheCurrentOrAVanishedPresetChangesNothing) {
    rules.Initialise();
    rules.Enter();
    device.Take();
    EXPECT_FALSE(rules.PresetChosen(PresetIndex(L"Preset01")));
    const int index = PresetIndex(L"Preset02");
    headsetConfig.DeleteProfile(Named(L"Preset02"));
    EXPECT_FALSE(rules.PresetChosen(index));
    EXPECT_FALSE(rules.PresetChosen(-1));
    EXPECT_FALSE(rules.PresetChosen(99));
    EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Preset01"));
    EXPECT_TRUE(device.Take().empty());
    EXPECT_TRUE(popups.calls.empty());
}

TEST_F(EqualiserRulesTest, LeavingWithPendingChangesAsksOnce) {
    for (INT_PTR answer : {1, 2}) {
        SCOPED_TRACE(answer);
        SetUp();
        ShapeOnPreset02();
        const BandGains shaped = GainsOf(headsetConfig, L"Custom");
        popups.calls.clear();
        popups.warningAnswer = answer;
        rules.Leave();
        EXPECT_EQ(popups.Warnings(), (std::vector<std::wstring>{L"PresetWarningPopup.xml"}));
        EXPECT_FALSE(rules.Modified());
        if (answer == 1) {
            EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), shaped);
            EXPECT_EQ(rules.Snapshot(), shaped);
            EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Custom"));
            EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer none"}));
        } else {
            // Rolled back, and the first preset current (on the headset too); the equaliser let go.
            EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), All(-5));
            EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Preset01"));
            EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer none", L"WriteEqualizer Custom", L"ReadEqualizer Preset01",
                                           L"ReadEqualizer none"}));
        }
        // Leaving again (the window's Cancel after Exit) asks nothing more.
        rules.Leave();
        EXPECT_EQ(popups.calls.size(), 1u);
        headsetConfig.DeleteAllProfiles();
    }
}

TEST_F(EqualiserRulesTest, EnteringTakesCustomAsItIsNowAndForgetsNothingPending) {
    rules.Initialise();
    // "Custom" changed elsewhere since (a device read): entering takes it as it is now.
    for (int32_t b = 0; b < 10; ++b) headsetConfig.SetBandGain(b, 7, Named(L"Custom"));
    rules.Enter();
    EXPECT_EQ(rules.Snapshot(), All(7));
    EXPECT_FALSE(rules.Modified());
}

TEST_F(EqualiserRulesTest, SwitchingOffShowsZeroAndKeepsTheStoredGains) {
    headsetConfig.SetCurrentProfile(Named(L"Preset02"));
    rules.Initialise();
    const BandGains stored = GainsOf(headsetConfig, L"Preset02");
    EXPECT_EQ(rules.SliderValue(9), 1 + 9);
    rules.SwitchClicked(false);
    EXPECT_FALSE(rules.SwitchOn());
    for (int i = 0; i < kEqualiserBands; ++i) EXPECT_EQ(rules.SliderValue(i), 0) << i;
    EXPECT_EQ(GainsOf(headsetConfig, L"Preset02"), stored);
    for (const wchar_t* name : {L"Preset01", L"Preset02", L"Custom"})
        EXPECT_EQ(headsetConfig.GetEqualizerEnabled(Named(name)), 0) << name;
    EXPECT_EQ(device.Take(), (Calls{L"SetEqualizerEnabled 0"}));
    // Off, a band cannot be set.
    EXPECT_FALSE(rules.BandSet(2, 4));
    rules.SwitchClicked(true);
    EXPECT_EQ(rules.SliderValue(9), 1 + 9);
}

TEST_F(EqualiserRulesTest, InitialisingGivesEveryPresetTheCurrentPresetsSwitch) {
    headsetConfig.SetEqualizerEnabled(0, Named(L"Preset01"));
    rules.Initialise();
    EXPECT_FALSE(rules.SwitchOn());
    for (const wchar_t* name : {L"Preset02", L"Custom"}) EXPECT_EQ(headsetConfig.GetEqualizerEnabled(Named(name)), 0) << name;
}

// Without "Custom" the first band change makes it, on the headset too; when the headset refuses, or
// the profile limit is reached, the change is refused and the model is as it was.
TEST_F(EqualiserRulesTest, WithoutCustomABandChangeMakesItOrIsRefused) {
    struct Case { const char* what; bool applyOk; int extra; bool made; };
    for (const Case c : {Case{"made", true, 0, true}, Case{"headset refuses", false, 0, false},
                         Case{"limit", true, kProfileLimit - 2, false}}) {
        SCOPED_TRACE(c.what);
        headsetConfig.DeleteAllProfiles();
        FillPresets(headsetConfig, {L"Profile 1", L"Profile 2"});
        for (int i = 0; i < c.extra; ++i) headsetConfig.CreateProfile((L"More " + std::to_wstring(i)).c_str());
        const int count = headsetConfig.GetProfileCount();
        device.applyOk = c.applyOk;
        device.Take();
        rules.Initialise();
        rules.Enter();
        EXPECT_TRUE(rules.Snapshot().empty());
        const BandGains before = GainsOf(headsetConfig, L"Profile 1");
        EXPECT_EQ(rules.BandSet(4, -30), c.made);
        EXPECT_EQ(GainsOf(headsetConfig, L"Profile 1"), before);
        if (!c.made) {
            EXPECT_EQ(headsetConfig.GetProfileCount(), count);
            EXPECT_EQ(Named(L"Custom"), nullptr);
            EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Profile 1"));
            EXPECT_FALSE(rules.Modified());
            continue;
        }
        IAudioProfile* custom = Named(L"Custom");
        ASSERT_NE(custom, nullptr);
        EXPECT_EQ(headsetConfig.GetCurrentProfile(), custom);
        EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer Profile 1", L"Apply 0 " + std::to_wstring(0x3FF00),
                                       L"ReadEqualizer Custom", L"WriteEqualizer Custom", L"WriteEqualizerBand 4"}));
        // Its start is the preset it came from; a rollback returns there.
        EXPECT_EQ(rules.Snapshot(), before);
        popups.warningAnswer = 2;
        ASSERT_TRUE(rules.PresetChosen(PresetIndex(L"Profile 2")));
        EXPECT_EQ(GainsOf(headsetConfig, L"Custom"), before);
    }
}

// No current preset (a headset whose profiles were not read) and no configuration at all: nothing
// is dereferenced, nothing is written.
TEST_F(EqualiserRulesTest, NoCurrentPresetOrNoConfigurationIsHandled) {
    headsetConfig.DeleteAllProfiles();
    FillPresets(headsetConfig, {L"Profile 1"});
    headsetConfig.SetCurrentProfile(nullptr);
    device.Take();
    rules.Initialise();
    rules.Enter();
    EXPECT_EQ(rules.FillPresets(), -1);
    EXPECT_EQ(rules.SliderValue(0), 0);
    EXPECT_FALSE(rules.BandSet(0, 3));
    rules.Leave();
    EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer none"}));
    // With "Custom" there, the change goes to it and it becomes current.
    headsetConfig.CreateProfile(L"Custom");
    headsetConfig.InitBands({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, -36, 15, 1, Named(L"Custom"));
    EXPECT_TRUE(rules.BandSet(0, 3));
    EXPECT_EQ(headsetConfig.GetCurrentProfile(), Named(L"Custom"));
    EXPECT_EQ(GainsOf(headsetConfig, L"Custom")[0], 3);

    IAudioConfig* none = nullptr;
    EqualiserRules empty(none, [this] { return &device; }, popups);
    device.Take();
    empty.Initialise();
    empty.Enter();
    empty.SwitchClicked(true);
    EXPECT_FALSE(empty.BandSet(0, 1));
    EXPECT_FALSE(empty.PresetChosen(0));
    EXPECT_EQ(empty.SliderValue(0), 0);
    empty.Leave();
    EXPECT_EQ(device.Take(), (Calls{L"ReadEqualizer none"}));
}

// A scale other than 1: the slider value stands for gain = value * scale, written so.
TEST_F(EqualiserRulesTest, BandSlidersUseTheScaleBothWays) {
    headsetConfig.DeleteAllProfiles();
    FillPresets(headsetConfig, {L"Preset01", L"Custom"}, 5);
    headsetConfig.SetBandGain(2, -35, Named(L"Preset01"));
    rules.Initialise();
    EXPECT_EQ(rules.Scale().SliderMin(), -7);
    EXPECT_EQ(rules.Scale().SliderMax(), 3);
    EXPECT_EQ(rules.SliderValue(2), -7);
    ASSERT_TRUE(rules.BandSet(2, 3));
    EXPECT_EQ(GainsOf(headsetConfig, L"Custom")[2], 15);
    EXPECT_EQ(rules.SliderValue(2), 3);
}

} // namespace
