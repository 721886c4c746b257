// Mouse profile: stage table and clamping, active stage, allow-lists, copies and the defaults.
#include "profile/MouseProfile.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

const GUID kId = {0xCAFE, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

AssignmentRecord Kind(int32_t kind) { return MakeActionRecord(kind, kId); }

TEST(MouseProfileTest, NewProfileHasNoStageTableAndIsSafeToAsk) {
    CDmProfile_Mouse p(L"m");
    IMouseProfile& i = p;
    EXPECT_EQ(i.GetMaxDpiStageCount(), 0u);
    EXPECT_EQ(i.GetDpiStageCount(), 0u);
    EXPECT_EQ(i.GetActiveDpiStage(), 0);
    EXPECT_EQ(i.GetDpiOsdEnabled(), 0);
    EXPECT_EQ(i.GetAltButtonsEnabled(), 1);
    EXPECT_EQ(i.GetAltButtonCount(), 0u);
    // Without a table, every stage number reads 0 and writes nothing.
    for (uint32_t stage : {0u, 1u, 5u, 11u, 0xFFFFFFFFu}) {
        i.SetDpiStageValue(stage, 800);
        i.SetDpiStageValueX(stage, 800);
        i.SetDpiStageValueY(stage, 800);
        i.SetDpiStageSeparateXY(stage, 1);
        EXPECT_EQ(i.GetDpiStageValue(stage), 0u);
        EXPECT_EQ(i.GetDpiStageValueX(stage), 0u);
        EXPECT_EQ(i.GetDpiStageValueY(stage), 0u);
        EXPECT_EQ(i.GetDpiStageSeparateXY(stage), 0);
    }
    EXPECT_EQ(i.GetMaxDpiStageCount(), 0u);
}

TEST(MouseProfileTest, SetMaxDpiStageCountClampsAndClears) {
    struct Case {
        uint32_t asked, size;
    } cases[] = {{0, 1}, {1, 1}, {5, 5}, {10, 10}, {11, 10}, {0xFFFFFFFF, 10}};
    for (const auto& c : cases) {
        CDmProfile_Mouse p;
        p.SetDpiRange(0, 10000, 1);
        p.SetMaxDpiStageCount(3);
        p.SetDpiStageValue(1, 900);
        p.SetDpiStageCount(3);
        EXPECT_TRUE(p.SetMaxDpiStageCount(c.asked));
        EXPECT_EQ(p.GetMaxDpiStageCount(), c.size) << c.asked;
        EXPECT_EQ(p.GetActiveDpiStage(), 1);
        EXPECT_EQ(p.GetDpiStageCount(), 3u);  // stages in use are left as they were
        for (uint32_t s = 1; s <= c.size; ++s) EXPECT_EQ(p.GetDpiStageValue(s), 0u);
    }
}

TEST(MouseProfileTest, StageNumbersMapIntoTheTable) {
    CDmProfile_Mouse p;
    p.SetDpiRange(0, 100000, 1);
    p.SetMaxDpiStageCount(5);
    for (uint32_t s = 1; s <= 5; ++s) p.SetDpiStageValue(s, s * 100);
    struct Case {
        uint32_t stage, value;
    } cases[] = {{0, 100}, {1, 100}, {3, 300}, {5, 500}, {6, 500}, {9, 500}, {0xFFFFFFFF, 500}};
    for (const auto& c : cases) EXPECT_EQ(p.GetDpiStageValue(c.stage), c.value) << c.stage;
    p.SetDpiStageValue(0, 111);
    EXPECT_EQ(p.GetDpiStageValue(1), 111u);
    p.SetDpiStageValue(9, 999);
    EXPECT_EQ(p.GetDpiStageValue(5), 999u);
}

TEST(MouseProfileTest, StageValuesClampToTheRangeAsUnsigned) {
    struct Case {
        int32_t min, max;
        uint32_t value, stored;
    } cases[] = {
        {100, 5600, 50, 100},     {100, 5600, 9000, 5600}, {100, 5600, 100, 100},
        {100, 5600, 5600, 5600},  {100, 5600, 1800, 1800}, {0, 0, 800, 0},  // range not set yet
        {100, 5600, 0xFFFFFFFF, 5600},
    };
    for (const auto& c : cases) {
        CDmProfile_Mouse p;
        p.SetDpiRange(c.min, c.max, 100);
        p.SetMaxDpiStageCount(5);
        p.SetDpiStageValue(2, c.value);
        p.SetDpiStageValueX(2, c.value);
        p.SetDpiStageValueY(2, c.value);
        EXPECT_EQ(p.GetDpiStageValue(2), c.stored) << c.value;
        EXPECT_EQ(p.GetDpiStageValueX(2), c.stored);
        EXPECT_EQ(p.GetDpiStageValueY(2), c.stored);
    }
    CDmProfile_Mouse p;
    p.SetDpiRange(100, 5600, 100);
    p.SetDpi(9000);
    p.SetDpiX(-5);
    p.SetDpiY(1);
    EXPECT_EQ(p.GetDpi(), 9000);
    EXPECT_EQ(p.GetDpiX(), -5);
    EXPECT_EQ(p.GetDpiY(), 1);
    int32_t a = 0, b = 0, c = 0;
    EXPECT_TRUE(p.GetDpiRange(&a, &b, &c));
    EXPECT_EQ(a, 100);
    EXPECT_EQ(b, 5600);
    EXPECT_EQ(c, 100);
}

TEST(MouseProfileTest, ActiveStageAndStagesInUse) {
    struct Case {
        uint32_t size, stage;
        int32_t active;
    } cases[] = {{5, 0, 0}, {5, 1, 1}, {5, 3, 3}, {5, 5, 5}, {5, 7, 5}, {1, 1, 1}, {1, 0, 0}};
    for (const auto& c : cases) {
        CDmProfile_Mouse p;
        p.SetMaxDpiStageCount(c.size);
        p.SetActiveDpiStage(c.stage);
        EXPECT_EQ(p.GetActiveDpiStage(), c.active) << c.size << "/" << c.stage;
    }
    CDmProfile_Mouse p;
    p.SetActiveDpiStage(4);  // no table: index 0
    EXPECT_EQ(p.GetActiveDpiStage(), 1);
    p.SetMaxDpiStageCount(5);
    p.SetDpiStageCount(8);
    EXPECT_EQ(p.GetDpiStageCount(), 5u);
    p.SetDpiStageCount(2);
    EXPECT_EQ(p.GetDpiStageCount(), 2u);
}

TEST(MouseProfileTest, ButtonAllowLists) {
    struct Case {
        int32_t kind, button;
        bool allowed;
    } cases[] = {
        {4, 10, false}, {40, 10, true},  {41, 11, true}, {1, 10, false}, {7, 1, true},
        {7, 10, true},  {22, 1, true},   {22, 10, false}, {21, 11, false}, {62, 1, false},
        {63, 1, false}, {62, 10, false}, {63, 11, false}, {1, 1, true},    {8, 26, true},
        {5, 3, true},   {0, 1, false},   {-1, 1, false},  {64, 1, false},  {33, 6, true},
    };
    for (const auto& c : cases) {
        CDmProfile_Mouse p;
        EXPECT_EQ(p.IsActionAllowedForButton(c.kind, c.button), c.allowed) << c.kind << " on " << c.button;
        p.SetButtonAssignment(c.button, Kind(c.kind));
        EXPECT_EQ(p.Buttons().count(c.button), c.allowed ? 1u : 0u);
    }
    CDmProfile_Mouse p;
    std::vector<int32_t> list{99};
    p.GetAllowedActionsForButton(list, 1);
    EXPECT_EQ(list, (std::vector<int32_t>{1, 2, 3, 4, 6, 13, 14, 33, 32, 10, 5, 21, 40, 41, 8}));
    p.GetAllowedActionsForButton(list, 10);
    EXPECT_EQ(list, (std::vector<int32_t>{6, 13, 14, 40, 41, 8}));
    p.GetAllowedActionsForButton(list, 11);
    EXPECT_EQ(list.size(), 6u);
}

TEST(MouseProfileTest, ButtonGetterInsertsAndLeftClickSearch) {
    CDmProfile_Mouse p;
    EXPECT_FALSE(p.HasLeftClickAssigned());
    AssignmentRecord r = p.GetButtonAssignment(4);
    EXPECT_EQ(r.kind, -1);
    EXPECT_EQ(p.Buttons().count(4), 1u);
    p.SetButtonAssignment(2, Kind(2));
    EXPECT_FALSE(p.HasLeftClickAssigned());
    p.SetButtonAssignment(9, Kind(1));
    EXPECT_TRUE(p.HasLeftClickAssigned());
    // A refused record leaves the earlier one in place.
    p.SetButtonAssignment(9, Kind(62));
    EXPECT_EQ(p.GetButtonAssignment(9).kind, 1);
}

TEST(MouseProfileTest, CopyKeepsStagesButtonsAndRange) {
    CDmProfile_Mouse src(L"Src");
    src.SetId(kId);
    src.SetDpiRange(100, 5600, 100);
    src.SetMaxDpiStageCount(4);
    for (uint32_t s = 1; s <= 4; ++s) {
        src.SetDpiStageValue(s, 1000 * s);
        src.SetDpiStageValueX(s, 1000 * s + 100);
        src.SetDpiStageValueY(s, 1000 * s + 200);
        src.SetDpiStageSeparateXY(s, uint8_t(s & 1));
    }
    src.SetDpiStageCount(3);
    src.SetActiveDpiStage(2);
    src.SetDpi(1800);
    src.SetDpiX(1700);
    src.SetDpiY(1600);
    src.SetSeparateXY(1);
    src.SetDpiOsdEnabled(1);
    src.SetAltButtonsEnabled(0);
    src.SetButtonAssignment(1, Kind(1));
    src.SetButtonAssignment(10, Kind(40));
    src.SetLightColor(3, 0xFF0000);

    CDmProfile_Mouse copy(src);
    EXPECT_STREQ(copy.GetName(), L"Src");
    EXPECT_TRUE(GuidsEqual(copy.Id(), kId));
    EXPECT_EQ(copy.GetMaxDpiStageCount(), 4u);
    EXPECT_EQ(copy.GetDpiStageCount(), 3u);
    EXPECT_EQ(copy.GetActiveDpiStage(), 2);
    for (uint32_t s = 1; s <= 4; ++s) {
        EXPECT_EQ(copy.GetDpiStageValue(s), 1000 * s);
        EXPECT_EQ(copy.GetDpiStageValueX(s), 1000 * s + 100);
        EXPECT_EQ(copy.GetDpiStageValueY(s), 1000 * s + 200);
        EXPECT_EQ(copy.GetDpiStageSeparateXY(s), s & 1);
    }
    EXPECT_EQ(copy.GetDpi(), 1800);
    EXPECT_EQ(copy.GetDpiX(), 1700);
    EXPECT_EQ(copy.GetDpiY(), 1600);
    EXPECT_EQ(copy.GetSeparateXY(), 1);
    EXPECT_EQ(copy.GetDpiOsdEnabled(), 1);
    EXPECT_EQ(copy.GetAltButtonsEnabled(), 0);
    EXPECT_EQ(copy.Buttons().size(), 2u);
    EXPECT_EQ(copy.GetButtonAssignment(10).kind, 40);
    EXPECT_EQ(copy.GetLightColor(3), 0xFF0000);

    // A copy of a profile without a table has no table either.
    CDmProfile_Mouse bare;
    CDmProfile_Mouse bareCopy(bare);
    EXPECT_EQ(bareCopy.GetMaxDpiStageCount(), 0u);
}

TEST(MouseProfileTest, DefaultsTables) {
    FillDefaultButtonMap();
    struct Case {
        int32_t button, kind;
    } cases[] = {{1, 1}, {2, 2}, {3, 3}, {6, 33}, {7, 32}, {10, 40}, {11, 41}};
    EXPECT_EQ(DefaultButtonMap.size(), std::size(cases));
    for (const auto& c : cases) {
        const AssignmentRecord& r = DefaultButtonMap.at(c.button);
        EXPECT_EQ(r.kind, c.kind);
        for (uint8_t b : r.payload) ASSERT_EQ(b, 0);
        CDmProfile_Mouse p;
        EXPECT_TRUE(p.IsActionAllowedForButton(c.kind, c.button));
    }
    EXPECT_EQ(std::vector<uint32_t>(std::begin(DefaultDpiStages), std::end(DefaultDpiStages)),
              (std::vector<uint32_t>{800, 1200, 1800, 4000, 5600}));
}

TEST(MouseProfileTest, SetDefaultDpiStagesStaysInsideTheList) {
    struct Case {
        size_t records;
        uint32_t stageCount;
    } cases[] = {{5, 0}, {5, 2}, {5, 5}, {5, 7}, {3, 1}, {1, 0}, {0, 0}, {10, 3}};
    for (const auto& c : cases) {
        // One guard record past the list must never be touched.
        std::vector<DpiStageRecord> list(c.records + 1, DpiStageRecord{7, 7, 7, 1, 1, 1});
        SetDefaultDpiStages(std::span<DpiStageRecord>(list.data(), c.records), c.stageCount);
        for (size_t i = 0; i <= c.records; ++i) {
            bool defaulted = i < c.records && i >= c.stageCount && i < 5;
            int32_t want = defaulted ? int32_t(DefaultDpiStages[i]) : 7;
            EXPECT_EQ(list[i].dpi, want) << c.records << "/" << c.stageCount << " at " << i;
            EXPECT_EQ(list[i].dpiX, want);
            EXPECT_EQ(list[i].dpiY, want);
            EXPECT_EQ(list[i].active, defaulted ? 0 : 1);
            EXPECT_EQ(list[i].inUse, defaulted ? 0 : 1);
            EXPECT_EQ(list[i].separateXY, defaulted ? 0 : 1);
        }
    }
}

TEST(MouseProfileTest, ReservedSlotsAnswerNothing) {
    CDmProfile_Mouse p;
    IMouseProfile& i = p;
    i.Reserved5();
    i.Reserved48(3);
    EXPECT_EQ(i.Reserved49(), 0);
    EXPECT_FALSE(i.Reserved58(1));
    i.Reserved60(1, 2);
    EXPECT_FALSE(i.IsAssignmentTypeAllowed(5));
    EXPECT_FALSE(i.SaveToFile(nullptr, L"", L"vtp"));
    EXPECT_FALSE(i.LoadFromFile(L"a", L"", L"vtp"));
}

} // namespace
