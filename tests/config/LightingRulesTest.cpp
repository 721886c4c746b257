// The activity-lighting stages and the lighting effects: the popups' rules and how they reach the
// three real configurations (no window).
#include <gtest/gtest.h>
#include <cstring>
#include "config/popups/ApmStages.h"
#include "config/popups/LightingEffects.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"

using namespace vt::config;

namespace {

std::vector<ApmStage> Stages(std::initializer_list<int> bounds) {
    // bounds b0 < b1 < ... : stages [b0,b1), [b1,b2)...; colours 1, 2, 3...
    std::vector<ApmStage> out;
    const std::vector<int> b(bounds);
    for (size_t i = 0; i + 1 < b.size(); ++i) out.push_back({COLORREF(i + 1), b[i], b[i + 1]});
    return out;
}

} // namespace

TEST(ApmStagesRules, AddAndRemoveKeepTwoToTenStages) {
    ApmStagesRules rules(Stages({0, 200, 401}));
    EXPECT_EQ(ApmStagesRules::Result::TooFew, rules.Remove());
    EXPECT_EQ(2u, rules.Stages().size());
    for (int n = 3; n <= kMaxApmStages; ++n) ASSERT_EQ(ApmStagesRules::Result::Done, rules.Add(0x123456)) << n;
    const auto full = rules.Stages();
    EXPECT_EQ(ApmStagesRules::Result::TooMany, rules.Add(0x123456));
    EXPECT_EQ(full.size(), rules.Stages().size());
    // Stages stay contiguous over the whole range.
    for (size_t i = 1; i < full.size(); ++i) EXPECT_EQ(full[i - 1].upper, full[i].lower);
    EXPECT_EQ(0, full.front().lower);
    EXPECT_EQ(401, full.back().upper);
}

TEST(ApmStagesRules, AddSplitsTheSelectedStageAndRemoveGivesItsRangeAway) {
    ApmStagesRules rules(Stages({0, 100, 200, 300}));
    rules.Select(1);
    rules.Add(0xAA);
    ASSERT_EQ(4u, rules.Stages().size());
    EXPECT_EQ(0xAAu, rules.Stages()[1].colour);
    EXPECT_EQ(100, rules.Stages()[1].lower);
    EXPECT_EQ(150, rules.Stages()[1].upper);
    EXPECT_EQ(150, rules.Stages()[2].lower);
    rules.Select(3);   // the last stage: its range goes to the one before
    rules.Remove();
    EXPECT_EQ(2, rules.Selected());
    EXPECT_EQ(300, rules.Stages().back().upper);
    rules.Select(0);   // the first: its range goes to the next
    rules.Remove();
    EXPECT_EQ(0, rules.Selected());
    EXPECT_EQ(0, rules.Stages().front().lower);
}

TEST(ApmStagesRules, LabelsShowTheLastValueOfTheStage) {
    ApmStagesRules rules;   // the defaults
    rules.Select(1);
    EXPECT_EQ(50, rules.LowerLabel());
    EXPECT_EQ(99, rules.UpperLabel());
    rules.Select(42);       // no such stage: the selection stays
    EXPECT_EQ(1, rules.Selected());
}

TEST(ApmStagesRules, RestorePutsBackTheEightDefaultStages) {
    ApmStagesRules rules(Stages({0, 7, 401}));
    rules.Select(1);
    rules.Recolour(0x010203);
    rules.Restore();
    ASSERT_EQ(8u, rules.Stages().size());
    EXPECT_EQ(0, rules.Selected());
    EXPECT_EQ(0x728D05u, rules.Stages()[0].colour);
    EXPECT_EQ(0xFFFFFFu, rules.Stages()[7].colour);
    EXPECT_EQ(350, rules.Stages()[7].lower);
    EXPECT_EQ(400, rules.Stages()[7].upper);
}

TEST(ApmStagesRules, MovedBoundsStayBetweenTheirNeighbours) {
    ApmStagesRules rules(Stages({0, 100, 200, 300}));
    rules.MoveBound(0, 150);
    EXPECT_EQ(150, rules.Stages()[0].upper);
    EXPECT_EQ(150, rules.Stages()[1].lower);
    rules.MoveBound(0, 500);   // beyond the next bound: stops on it
    EXPECT_EQ(200, rules.Stages()[0].upper);
    EXPECT_EQ(200, rules.Stages()[1].upper);
    rules.MoveBound(2, 1);     // no bound after the last stage
    EXPECT_EQ(300, rules.Stages()[2].upper);
}

// Two bounds that meet leave a stage that covers nothing; the configurations key the entries by
// their upper bound and would refuse the second, so it is merged away before writing, and every
// write is checked.
TEST(ApmStagesWrite, StagesWithMeetingBoundsAreMergedNotLost) {
    const std::vector<ApmStage> edited = {{1, 0, 100}, {2, 100, 100}, {3, 100, 401}};
    const auto storable = StorableApmStages(edited);
    ASSERT_EQ(2u, storable.size());
    EXPECT_EQ(1u, storable[0].colour);
    EXPECT_EQ(3u, storable[1].colour);
    EXPECT_EQ(100, storable[1].lower);

    CDmConfig_Keyboard keyboard;
    ASSERT_TRUE(WriteApmStages<IKeyboardConfig>(&keyboard, edited));
    const auto back = ReadApmStages<IKeyboardConfig>(&keyboard);
    ASSERT_EQ(2u, back.size());
    EXPECT_EQ(401, back[1].upper);
}

TEST(ApmStagesWrite, RoundTripsThroughEveryConfiguration) {
    ApmStagesRules rules;
    rules.Select(2);
    rules.Add(0x00ABCDEF);
    rules.MoveBound(0, 30);
    CDmConfig_Mouse mouse;
    CDmConfig_Keyboard keyboard;
    CDmConfig_Headset headset;
    EXPECT_TRUE(WriteApmStages<IMouseConfig>(&mouse, rules.Stages()));
    EXPECT_TRUE(WriteApmStages<IKeyboardConfig>(&keyboard, rules.Stages()));
    EXPECT_TRUE(WriteApmStages<IAudioConfig>(&headset, rules.Stages()));
    EXPECT_TRUE(WriteApmStages<IAudioConfig>(nullptr, rules.Stages()));
    for (const auto& back : {ReadApmStages<IMouseConfig>(&mouse), ReadApmStages<IKeyboardConfig>(&keyboard),
                             ReadApmStages<IAudioConfig>(&headset)}) {
        ASSERT_EQ(rules.Stages().size(), back.size());
        for (size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(rules.Stages()[i].colour, back[i].colour) << i;
            EXPECT_EQ(rules.Stages()[i].lower, back[i].lower) << i;
            EXPECT_EQ(rules.Stages()[i].upper, back[i].upper) << i;
        }
    }
}

TEST(LightingEffects, RecordsRoundTripAndBlinkCountsAreClamped) {
    const LightingEffect e{3, 0x00C000C0, true};
    const AssignmentRecord r = EffectRecord(e);
    EXPECT_EQ(64, r.kind);
    const LightingEffect back = EffectOf(r);
    EXPECT_EQ(3, back.blinks);
    EXPECT_EQ(0x00C000C0u, back.colour);
    EXPECT_TRUE(back.enabled);

    struct { int32_t stored; int shown; } cases[] = {{0, 0}, {5, 5}, {6, 5}, {255, 5}, {-1, 0}, {INT32_MIN, 0}};
    for (const auto& c : cases) {
        AssignmentRecord raw = r;
        std::memcpy(raw.payload, &c.stored, sizeof c.stored);
        EXPECT_EQ(c.shown, EffectOf(raw).blinks) << c.stored;
    }
}

TEST(LightingEffects, TableDefaultsAndCompletion) {
    ASSERT_EQ(13u, EffectKeys().size());
    EXPECT_EQ(16, EffectKeys().back().key);
    EXPECT_EQ(70, EffectKeys().front().blinkId);
    EXPECT_EQ(529, EffectKeys().back().colourId);
    EXPECT_EQ(101, EffectKeys().back().enableId);
    EXPECT_EQ(0xFF0000u, DefaultEffect(2).colour);
    EXPECT_EQ(2, DefaultEffect(4).blinks);
    EXPECT_FALSE(DefaultEffect(16).enabled);

    EffectRecords records;
    records[5] = EffectRecord({4, 0x11, true});
    CompleteEffects(records);
    EXPECT_EQ(13u, records.size());
    for (const auto& [key, record] : records) EXPECT_EQ(64, record.kind) << key;
    EXPECT_EQ(4, EffectOf(records[5]).blinks);
}

TEST(LightingEffects, ReadFromTheFirstConfigurationAndWriteToEach) {
    CDmConfig_Keyboard keyboard;
    CDmConfig_Headset headset;
    keyboard.SetConfigAssignment(1, EffectRecord({5, 0x0000FF, true}));
    headset.SetConfigAssignment(1, EffectRecord({1, 0x00FF00, false}));
    EffectRecords records = ReadEffects<IMouseConfig, IKeyboardConfig, IAudioConfig>(nullptr, &keyboard, &headset);
    ASSERT_EQ(1u, records.count(1));   // the keyboard is the first configuration present
    EXPECT_EQ(5, EffectOf(records[1]).blinks);
    for (const auto& [key, record] : records) EXPECT_EQ(64, record.kind) << key;
    records[1] = EffectRecord({2, 0x123456, true});
    WriteEffects<IAudioConfig>(&headset, records);
    AssignmentRecord back{};
    headset.GetConfigAssignment(&back, 1);
    EXPECT_EQ(0x123456u, EffectOf(back).colour);
}
