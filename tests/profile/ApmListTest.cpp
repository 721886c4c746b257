// Lighting entries ordered by high bound, and the linked programs.
#include "profile/ApmList.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint32_t> Highs(const CAPMList& list) {
    std::vector<uint32_t> out;
    for (const CAPM* e : list) out.push_back(e->high);
    return out;
}

TEST(ApmListTest, EntriesStayOrderedByHighBound) {
    struct Case {
        std::vector<uint32_t> added;
        std::vector<uint32_t> order;
    } cases[] = {
        {{300, 100, 200}, {100, 200, 300}},
        {{50, 20, 80}, {20, 50, 80}},
        {{0xFFFFFFFF, 1, 0x80000000}, {1, 0x80000000, 0xFFFFFFFF}},  // unsigned order
        {{}, {}},
    };
    for (const auto& c : cases) {
        CAPMList list;
        for (uint32_t h : c.added) EXPECT_TRUE(list.AddAPM(int32_t(h), 0, h));
        EXPECT_EQ(Highs(list), c.order);
    }
}

TEST(ApmListTest, DuplicateHighBoundIsRefused) {
    CAPMList list;
    ASSERT_TRUE(list.AddAPM(0x0000FF, 10, 200));
    EXPECT_FALSE(list.AddAPM(0x00FF00, 99, 200));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->colour, 0x0000FF);
    EXPECT_EQ(list[0]->low, 10);
    EXPECT_EQ(list.FindAPM(200), list[0]);
    EXPECT_EQ(list.FindAPM(201), nullptr);
}

TEST(ApmListTest, ManyEntriesHaveNoLimitInTheList) {
    CAPMList list;
    for (uint32_t h = 1; h <= 12; ++h) EXPECT_TRUE(list.AddAPM(0, 0, h * 10));
    EXPECT_EQ(list.size(), 12u);
}

TEST(ApmListTest, RemoveAtPosition) {
    struct Case {
        uint32_t position;
        bool removed;
        std::vector<uint32_t> left;
    } cases[] = {{0, true, {200, 300}}, {2, true, {100, 200}}, {3, false, {100, 200, 300}},
                 {0xFFFFFFFF, false, {100, 200, 300}}};
    for (const auto& c : cases) {
        CAPMList list;
        for (uint32_t h : {300u, 100u, 200u}) list.AddAPM(0, 0, h);
        EXPECT_EQ(list.RemoveAPMAt(c.position), c.removed);
        EXPECT_EQ(Highs(list), c.left);
    }
    CAPMList list;
    EXPECT_FALSE(list.RemoveAPMAt(0));
    list.AddAPM(0, 0, 1);
    list.ClearAPMList();
    EXPECT_TRUE(list.empty());
}

TEST(AppListTest, PathsAreUniqueIgnoringCase) {
    CVtAppList apps;
    CVtApp* game = apps.AddApp(L"C:\\Games\\Tessaran.exe");
    ASSERT_NE(game, nullptr);
    EXPECT_TRUE(IsNullGuid(game->id));
    EXPECT_EQ(apps.AddApp(L"c:\\games\\TESSARAN.EXE"), nullptr);
    EXPECT_EQ(apps.AddApp(nullptr), nullptr);
    EXPECT_NE(apps.AddApp(L"C:\\\x0418\x0433\x0440\x044B\\\x0438\x0433\x0440\x0430.exe"), nullptr);
    EXPECT_EQ(apps.AddApp(L"C:\\\x0418\x0413\x0420\x042B\\\x0418\x0413\x0420\x0410.EXE"), nullptr);
    EXPECT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps.FindApp(L"C:\\GAMES\\tessaran.exe"), game);
    EXPECT_EQ(apps.FindApp(L"C:\\Games"), nullptr);
    EXPECT_EQ(apps.FindApp(nullptr), nullptr);
}

TEST(AppListTest, RemoveTakesOnlyItsOwnEntries) {
    CVtAppList a, b;
    CVtApp* a1 = a.AddApp(L"x.exe");
    CVtApp* b1 = b.AddApp(L"x.exe");
    a.RemoveApp(nullptr);
    a.RemoveApp(b1);
    EXPECT_EQ(a.size(), 1u);
    EXPECT_EQ(b.size(), 1u);
    a.RemoveApp(a1);
    EXPECT_TRUE(a.empty());
    b.ClearAppList();
    EXPECT_TRUE(b.empty());
}

} // namespace
