// The DPI stages edit: read from and written to the mouse configuration, and the popup's rules
// (stage count bounds, the active stage following the count, separate X/Y, slider values).
#include <gtest/gtest.h>
#include <span>
#include <vector>
#include "config/DpiStages.h"
#include "profile/MouseConfig.h"

using namespace vt::config;

namespace {

DpiStagesEdit MakeEdit(int count, int active, int records = 5, int step = 100) {
    DpiStagesEdit e;
    e.minDpi = 100;
    e.maxDpi = 5600;
    e.step = step;
    e.count = count;
    e.active = active;
    for (int i = 0; i < records; ++i) {
        DpiStageRecord r{};
        r.dpi = r.dpiX = r.dpiY = 1000 + 100 * i;
        r.active = i + 1 == active;
        r.inUse = i < count;
        e.stages.push_back(r);
    }
    return e;
}

struct MouseFixture : ::testing::Test {
    CDmConfig_Mouse config;
    IMouseConfig* mouse = &config;
    void SetUp() override {
        IMouseProfile* p = mouse->CreateProfile(L"PROFILE01");
        ASSERT_NE(p, nullptr);
        mouse->SetCurrentProfile(p);
    }
};

} // namespace

TEST(DpiStagesRules, CountStaysWithinOneAndTheStageWindows) {
    struct Case { int count, active, records; const char* ops; int endCount, endActive; } cases[] = {
        {5, 3, 5, "ddddddd", 1, 1},       // never below one; the active stage follows down
        {3, 2, 5, "iiiii", 5, 2},         // never above the records
        {2, 2, 10, "iiiiiii", 5, 2},      // never above the five stage windows
        {5, 5, 5, "d", 4, 4},             // the active stage falls out of use: the last in use takes over
        {5, 2, 5, "d", 4, 2},
        {4, 4, 4, "i", 4, 4},             // four records: four stages at most
        {7, 2, 10, "d", 6, 2},            // a count above five read from the device can still go down
    };
    for (const Case& c : cases) {
        DpiStagesEdit e = MakeEdit(c.count, c.active, c.records);
        DpiStagesRules rules(e);
        for (const char* op = c.ops; *op; ++op) *op == 'd' ? rules.Decrease() : rules.Increase();
        EXPECT_EQ(e.count, c.endCount) << c.ops;
        EXPECT_EQ(e.active, c.endActive) << c.ops;
        int marked = 0;
        for (int i = 0; i < rules.Windows(); ++i) {
            EXPECT_EQ(e.stages[size_t(i)].inUse, i < e.count ? 1 : 0);
            marked += e.stages[size_t(i)].active;
        }
        EXPECT_EQ(marked, 1) << c.ops;
    }
}

TEST(DpiStagesRules, SelectingAStageMakesItActive) {
    DpiStagesEdit e = MakeEdit(3, 1);
    DpiStagesRules rules(e);
    rules.Select(2);
    EXPECT_EQ(e.active, 3);
    EXPECT_EQ(e.stages[2].active, 1);
    EXPECT_EQ(e.stages[0].active, 0);
    rules.Select(4);   // not in use: ignored
    EXPECT_EQ(e.active, 3);
    rules.Select(-1);
    rules.Select(7);
    EXPECT_EQ(e.active, 3);
}

TEST(DpiStagesRules, SeparateXYCopiesValues) {
    DpiStagesEdit e = MakeEdit(5, 2);
    DpiStagesRules rules(e);
    DpiStageRecord& r = e.stages[1];
    r.dpi = 1600;
    r.dpiX = 800;
    r.dpiY = 900;
    rules.SetSeparate(true);   // on: X and Y take the combined value
    EXPECT_EQ(r.separateXY, 1);
    EXPECT_EQ(r.dpiX, 1600);
    EXPECT_EQ(r.dpiY, 1600);
    r.dpiX = 2000;
    r.dpiY = 700;
    rules.SetSeparate(false);  // off: X becomes the combined value, Y stays
    EXPECT_EQ(r.dpi, 2000);
    EXPECT_EQ(r.dpiY, 700);
    rules.SetSeparate(false);  // unchanged: nothing written
    EXPECT_EQ(r.dpi, 2000);
}

TEST(DpiStagesRules, SliderValuesAreClampedAndAStepOfZeroIsOne) {
    struct Case { int step, axis, value, dpi, x, y; } cases[] = {
        {100, 0, 32, 3200, 1100, 1100},
        {100, 1, 99, 1100, 5600, 1100},   // above the maximum
        {100, 2, 0, 1100, 1100, 100},     // below the minimum
        {0, 0, 2500, 2500, 1100, 1100},   // step 0 counts as 1
        {50, 5, 40, 1100, 1100, 1100},    // unknown slider: nothing
    };
    for (const Case& c : cases) {
        DpiStagesEdit e = MakeEdit(5, 2, 5, c.step);
        DpiStagesRules rules(e);
        rules.SliderValue(c.axis, c.value);
        EXPECT_EQ(e.stages[1].dpi, c.dpi);
        EXPECT_EQ(e.stages[1].dpiX, c.x);
        EXPECT_EQ(e.stages[1].dpiY, c.y);
    }
    DpiStagesEdit e = MakeEdit(5, 2, 5, 0);
    EXPECT_EQ(DpiStagesRules(e).SliderOf(1800), 1800);
}

TEST(DpiStagesRules, NoActiveRecordIsHarmless) {
    DpiStagesEdit e = MakeEdit(2, 9, 3);
    DpiStagesRules rules(e);
    rules.SliderValue(0, 10);
    rules.SetSeparate(true);
    EXPECT_EQ(rules.Active(), nullptr);
    DpiStagesEdit empty;
    DpiStagesRules none(empty);
    none.Increase();
    none.Decrease();
    none.Select(0);
    EXPECT_EQ(none.Windows(), 0);
}

TEST_F(MouseFixture, ReadResetsUnusedStagesAndWriteStoresEveryStage) {
    mouse->SetDpiStageCount(2, nullptr);
    mouse->SetDpiStageValue(3, 2400, nullptr);   // beyond the count: reset to its default on open
    DpiStagesEdit e = ReadDpiStages(mouse);
    ASSERT_EQ(e.stages.size(), 5u);
    EXPECT_EQ(e.count, 2);
    EXPECT_EQ(e.step, 100);
    EXPECT_EQ(e.stages[2].dpi, 1800);
    EXPECT_EQ(e.stages[4].dpi, 5600);
    EXPECT_EQ(e.stages[0].inUse, 1);
    EXPECT_EQ(e.stages[2].inUse, 0);

    DpiStagesRules rules(e);
    rules.Increase();            // three stages
    rules.Select(2);
    rules.SetSeparate(true);
    rules.SliderValue(1, 25);    // X 2500
    rules.SliderValue(2, 31);    // Y 3100
    e.stages[4].dpi = 9999;      // out of range: the model clamps it
    WriteDpiStages(mouse, e);
    EXPECT_EQ(mouse->GetDpiStageCount(nullptr), 3u);
    EXPECT_EQ(mouse->GetActiveDpiStage(nullptr), 3);
    EXPECT_EQ(mouse->GetDpiStageValueX(3, nullptr), 2500u);
    EXPECT_EQ(mouse->GetDpiStageValueY(3, nullptr), 3100u);
    EXPECT_EQ(mouse->GetDpiStageSeparateXY(3, nullptr), 1);
    EXPECT_EQ(mouse->GetDpiX(nullptr), 2500);
    EXPECT_EQ(mouse->GetDpiY(nullptr), 3100);
    EXPECT_EQ(mouse->GetSeparateXY(nullptr), 1);
    EXPECT_EQ(mouse->GetDpiStageValue(5, nullptr), 5600u);
}

TEST_F(MouseFixture, FewerThanFiveRecordsAndAZeroStepAreSafe) {
    // A profile with three stage slots: the popup's rules touch only the records there are.
    DpiStagesEdit e = MakeEdit(1, 1, 3, 0);
    SetDefaultDpiStages(std::span<DpiStageRecord>(e.stages), 1);
    EXPECT_EQ(e.stages[2].dpi, 1800);
    DpiStagesRules rules(e);
    for (int i = 0; i < 6; ++i) rules.Increase();
    EXPECT_EQ(e.count, 3);
    rules.Select(2);
    rules.SliderValue(0, 700);   // step 0 counts as 1
    EXPECT_EQ(rules.Active()->dpi, 700);
    WriteDpiStages(mouse, e);
    EXPECT_EQ(mouse->GetDpiStageCount(nullptr), 3u);
    EXPECT_EQ(mouse->GetActiveDpiStage(nullptr), 3);
    EXPECT_EQ(mouse->GetDpiStageValue(3, nullptr), 700u);
}
