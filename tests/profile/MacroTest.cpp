// Macros, macro lists and the predefined key-combination macros.
#include "profile/Macro.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

using namespace vt::profile;

namespace {

struct KeyStep {
    uint16_t scan, vk;
    uint8_t dir, ext;
};

uint16_t U16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// The key-combination names need no start-up step: they are a fixed table.
class PredefinedMacroTest : public ::testing::Test {};

TEST(MacroEventTest, LayoutAndBuilders) {
    static_assert(offsetof(MacroEvent, type) == 0);
    MacroEvent k = MakeKeyEvent(0x1D, 0xA2, kKeyDown, 1);
    EXPECT_EQ(k.type, 0);
    const uint8_t keyBytes[8] = {0x1D, 0, 0xA2, 0, 255, 1, 0, 0};
    EXPECT_EQ(std::memcmp(k.data, keyBytes, 8), 0);
    MacroEvent m = MakeMouseEvent(2, kKeyUp);
    const uint8_t mouseBytes[8] = {2, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(m.type, 1);
    EXPECT_EQ(std::memcmp(m.data, mouseBytes, 8), 0);
    MacroEvent d = MakeDelayEvent(250);
    const uint8_t delayBytes[8] = {250, 0, 0, 0, 250, 0, 0, 0};
    EXPECT_EQ(d.type, 2);
    EXPECT_EQ(std::memcmp(d.data, delayBytes, 8), 0);
}

TEST_F(PredefinedMacroTest, EveryMacroHasItsFourKeyEvents) {
    const KeyStep ctrlDn{0x1D, 0xA2, 255, 0}, ctrlUp{0x1D, 0xA2, 1, 0};
    const KeyStep altDn{0x38, 0xA4, 255, 0}, altUp{0x38, 0xA4, 1, 0};
    const KeyStep winDn{0x5B, 0x5B, 255, 1}, winUp{0x5B, 0x5B, 1, 1};
    auto key = [](uint16_t scan, uint16_t vk) {
        return std::pair<KeyStep, KeyStep>{{scan, vk, 255, 0}, {scan, vk, 1, 0}};
    };
    struct Case {
        const wchar_t* name;
        KeyStep mod0;
        std::pair<KeyStep, KeyStep> k;
        KeyStep mod1;
    } cases[] = {
        {L"$cut", ctrlDn, key(0x2D, 0x58), ctrlUp},         {L"$copy", ctrlDn, key(0x2E, 0x43), ctrlUp},
        {L"$paste", ctrlDn, key(0x2F, 0x56), ctrlUp},       {L"$undo", ctrlDn, key(0x2C, 0x5A), ctrlUp},
        {L"$all", ctrlDn, key(0x1E, 0x41), ctrlUp},         {L"$find", ctrlDn, key(0x21, 0x46), ctrlUp},
        {L"$new", ctrlDn, key(0x31, 0x4E), ctrlUp},         {L"$print", ctrlDn, key(0x19, 0x50), ctrlUp},
        {L"$save", ctrlDn, key(0x1F, 0x53), ctrlUp},        {L"$swapwindows", altDn, key(0x0F, 0x09), altUp},
        {L"$closewindow", altDn, key(0x3E, 0x73), altUp},   {L"$lockpc", winDn, key(0x26, 0x4C), winUp},
        {L"$openexplorer", winDn, key(0x12, 0x45), winUp},  {L"$run", winDn, key(0x13, 0x52), winUp},
        {L"$showdesktop", winDn, key(0x20, 0x44), winUp},   {L"$zoomin", ctrlDn, key(0x0D, 0xBB), ctrlUp},
        {L"$zoomout", ctrlDn, key(0x0C, 0xBD), ctrlUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::wcslen(c.name)));
        std::vector<MacroEvent> events;
        ASSERT_TRUE(PredefinedMacros.FindPredefinedMacro(c.name, events));
        ASSERT_EQ(events.size(), 4u);
        const KeyStep want[4] = {c.mod0, c.k.first, c.k.second, c.mod1};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(events[i].type, 0);
            EXPECT_EQ(U16(events[i].data), want[i].scan) << i;
            EXPECT_EQ(U16(events[i].data + 2), want[i].vk) << i;
            EXPECT_EQ(events[i].data[4], want[i].dir) << i;
            EXPECT_EQ(events[i].data[5], want[i].ext) << i;
            EXPECT_EQ(events[i].data[6] | events[i].data[7], 0);
        }
    }
}

TEST_F(PredefinedMacroTest, LookupIgnoresCaseAndRefusesOtherNames) {
    std::vector<MacroEvent> events;
    ASSERT_TRUE(PredefinedMacros.FindPredefinedMacro(L"$COPY", events));
    EXPECT_EQ(U16(events[1].data + 2), 0x43);
    const std::vector<MacroEvent> before = events;
    for (const wchar_t* name : {L"", L"$play", L"copy", L"$copy ", L"$macro"}) {
        EXPECT_FALSE(PredefinedMacros.FindPredefinedMacro(name, events));
        EXPECT_TRUE(MacroEventsEqual(events, before));
    }
    EXPECT_FALSE(PredefinedMacros.FindPredefinedMacro(nullptr, events));
}

TEST_F(PredefinedMacroTest, NameLists) {
    std::vector<std::wstring> names{L"stale"};
    PredefinedMacros.ListPredefinedMacros(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"$cut", L"$copy", L"$paste", L"$undo", L"$all", L"$find", L"$new",
                                                L"$print", L"$save"}));
    PredefinedMacros.ListPredefinedMacros2(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"$swapwindows", L"$closewindow", L"$lockpc", L"$openexplorer",
                                                L"$run", L"$showdesktop", L"$zoomin", L"$zoomout"}));
}

TEST(MacroListTest, DuplicateNamesInAnyCaseAreRefused) {
    CMacroList list;
    ASSERT_NE(list.AddMacro(L"Rush"), nullptr);
    struct Case {
        const wchar_t* name;
        bool added;
    } cases[] = {{L"rush", false}, {L"RUSH", false}, {L"Rush ", true}, {L"\x0411\x044B\x0441\x0442\x0440\x043E", true},
                 {L"\x0431\x044B\x0441\x0442\x0440\x043E", false},  // the same Cyrillic word in lower case
                 {L"", true}, {L"", false}};
    for (const auto& c : cases) {
        size_t before = list.size();
        CMacro* m = list.AddMacro(c.name);
        EXPECT_EQ(m != nullptr, c.added);
        EXPECT_EQ(list.size(), before + (c.added ? 1 : 0));
    }
    EXPECT_EQ(list.FindMacro(L"RUSH"), list[0]);
    EXPECT_EQ(list.FindMacro(L"none"), nullptr);
    EXPECT_EQ(list.FindMacro(nullptr), nullptr);
}

TEST(MacroListTest, LongNamesAreCutAndComparedAsStored) {
    CMacroList list;
    std::wstring base(255, L'\x4E2D');
    CMacro* first = list.AddMacro((base + L"A").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::wstring(first->name), base);
    EXPECT_EQ(first->name[255], L'\0');
    // Differs only past character 255: the stored names would collide, so it is refused.
    EXPECT_EQ(list.AddMacro((base + L"B").c_str()), nullptr);
    EXPECT_EQ(list.FindMacro((base + L"C").c_str()), first);
    std::wstring veryLong(5000, L'x');
    CMacro* second = list.AddMacro(veryLong.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(std::wstring(second->name).size(), 255u);
}

TEST(MacroListTest, RemoveTakesOnlyItsOwnMacros) {
    CMacroList a, b;
    CMacro* a1 = a.AddMacro(L"one");
    CMacro* a2 = a.AddMacro(L"two");
    CMacro* b1 = b.AddMacro(L"one");
    a.RemoveMacro(b1);
    a.RemoveMacro(nullptr);
    EXPECT_EQ(a.size(), 2u);
    EXPECT_EQ(b.size(), 1u);
    a.RemoveMacro(a1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0], a2);
}

TEST(MacroTest, Equality) {
    const GUID id = {7, 8, 9, {1, 2, 3, 4, 5, 6, 7, 8}};
    std::vector<MacroEvent> events = {MakeKeyEvent(0x1E, 0x41, kKeyDown, 0), MakeDelayEvent(40),
                                      MakeKeyEvent(0x1E, 0x41, kKeyUp, 0)};
    CMacro a(L"Build Order", events), b(L"BUILD ORDER", events);
    a.id = b.id = id;
    EXPECT_TRUE(MacroEquals(a, b));
    for (size_t byte = 0; byte < sizeof(MacroEvent); ++byte) {
        CMacro c(L"build order", events);
        c.id = id;
        reinterpret_cast<uint8_t*>(&c.events[1])[byte] ^= 1;
        EXPECT_FALSE(MacroEquals(a, c)) << byte;
    }
    CMacro shorter(L"Build Order", {events[0]});
    shorter.id = id;
    EXPECT_FALSE(MacroEquals(a, shorter));
    CMacro otherId(L"Build Order", events);
    EXPECT_FALSE(MacroEquals(a, otherId));
    EXPECT_TRUE(GuidsEqual(GetMacroGuid(&a), id));
    a.SetMacroText(L"notes");
    EXPECT_EQ(a.text, L"notes");
    a.SetMacroText(nullptr);
    EXPECT_EQ(a.text, L"");
}

} // namespace
