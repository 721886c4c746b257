// The assign-buttons page's rules on the real mouse configuration: the actions each button lists,
// what a drop-down shows, the left-click guard, the single-key popup (with the keyboard's modes),
// macros and profiles by id or by name.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include "AssignFakes.h"
#include "config/pages/AssignRules.h"
#include "config/pages/MouseButtonsRules.h"
#include "profile/MouseConfig.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using namespace vt::profile;
using vt::test::FakeDevice;
using vt::test::ScriptedAssignPopups;

namespace {

GUID Id(uint32_t n) { GUID g{}; g.Data1 = n; return g; }

class MouseButtonRulesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vt::skin::BuildVocabularyTables(); }
    MouseButtonRulesTest() {
        concrete = std::make_unique<CDmConfig_Mouse>();
        config = concrete.get();
        work = config->CreateProfile(L"Work");
        play = config->CreateProfile(L"Play");
        config->SetCurrentProfile(work);
        rules = std::make_unique<MouseButtonRules>(config, popups, [this] { return &keyboard; });
    }
    AssignmentRecord Button(int b) {
        AssignmentRecord r = MakeEmptyAssignment();
        config->GetButtonAssignment(&r, b, nullptr);
        return r;
    }
    int32_t Kind(int b) { return Button(b).kind; }
    void Set(int b, int32_t kind) { config->SetButtonAssignment(b, MakeActionRecord(kind, kNullGuid), nullptr); }

    std::unique_ptr<CDmConfig_Mouse> concrete;
    IMouseConfig* config = nullptr;
    IMouseProfile* work = nullptr;
    IMouseProfile* play = nullptr;
    ScriptedAssignPopups popups;
    FakeDevice<IKeyboardConfig> keyboard;
    std::unique_ptr<MouseButtonRules> rules;
};

} // namespace

TEST_F(MouseButtonRulesTest, ButtonsListTheirActionsInOrder) {
    for (const MouseButtonRow& row : MouseButtonRows()) {
        const auto entries = ButtonActions(config, row.button);
        const bool wheel = row.button == 10 || row.button == 11;
        ASSERT_EQ(entries.size(), wheel ? 6u : 15u) << row.button;
        EXPECT_EQ(entries.front().name, wheel ? L"$macro" : L"$LeftClick");
        EXPECT_EQ(entries.back().name, L"$buttonoff");
        for (const auto& e : entries) EXPECT_EQ(vt::skin::FindActionIdByName(e.name), e.action);
    }
    config->SetCurrentProfile(nullptr);
    EXPECT_TRUE(ButtonActions(config, 1).empty());
    EXPECT_EQ(ShownAssignment(config, {}, 1).index, -1);
}

TEST_F(MouseButtonRulesTest, LeftClickGuardUndoesTheChangeAfterItsWarning) {
    struct Case { int button; int32_t action; bool secondLeft; int32_t expected; bool warned; };
    const Case cases[] = {
        {1, 2, false, 1, true},     // the only left click leaves: undone
        {1, 8, false, 1, true},
        {1, 2, true, 2, false},     // button 2 holds left click too
        {3, 1, false, 1, false},    // a second left click is always fine
        {6, 4, false, 4, false},
    };
    for (const Case& c : cases) {
        Set(1, 1);
        Set(2, c.secondLeft ? 1 : 2);
        Set(3, 3);
        Set(6, 33);
        popups.calls.clear();
        const bool changed = rules->Assign(c.button, c.action, L"");
        EXPECT_EQ(Kind(c.button), c.expected) << c.button << " " << c.action;
        EXPECT_EQ(changed, c.expected == c.action);
        EXPECT_EQ(popups.Warnings(), c.warned ? std::vector<std::wstring>{L"NoClickPopup.xml"} : std::vector<std::wstring>{});
    }
}

TEST_F(MouseButtonRulesTest, SingleKeyOnTheOnlyLeftClickWarnsBeforeThePopup) {
    Set(1, 1);
    Set(2, 2);
    EXPECT_FALSE(rules->Assign(1, kKindSingleKey, L""));
    EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"NoClickPopup.xml"});
    EXPECT_EQ(popups.Count(L"key"), 0u);
    EXPECT_EQ(Kind(1), 1);
}

TEST_F(MouseButtonRulesTest, SingleKeyTakesTheKeyOrKeepsTheOldAssignment) {
    struct Case { INT_PTR answer; SingleKeyResult key; bool taken; };
    const Case cases[] = {
        {1, {L"F5", 0x3F, VK_F5, 0}, true},
        {1, {L"Right Ctrl", 0x1D, VK_RCONTROL, 1}, true},
        {2, {L"F5", 0x3F, VK_F5, 0}, false},          // cancelled
        {1, {L"", 0x3F, VK_F5, 0}, false},            // no name: nothing chosen
        {1, {L"Mystery", 0, 0xE8, 0}, false},         // no scan code: never a dead single key
    };
    for (const Case& c : cases) {
        Set(2, 2);
        keyboard.modes.clear();
        popups.keyAnswer = c.answer;
        popups.singleKey = c.key;
        EXPECT_EQ(rules->Assign(2, kKindSingleKey, L""), c.taken) << c.key.text;
        const AssignmentRecord r = Button(2);
        if (c.taken) {
            const AssignmentRecord want = SingleKeyRecord(c.key.scan, c.key.vk, c.key.extended != 0);
            EXPECT_TRUE(AssignmentsEqual(r, want));
            uint16_t scan = 0, vk = 0;
            std::memcpy(&scan, r.payload, 2);
            std::memcpy(&vk, r.payload + 2, 2);
            EXPECT_EQ(scan, c.key.scan);
            EXPECT_EQ(vk, c.key.vk);
            EXPECT_EQ(r.payload[4], c.key.extended);
        } else {
            EXPECT_EQ(r.kind, 2) << c.key.text;
        }
        // The keyboard sends plain keys while the popup listens, and its own assignments after.
        EXPECT_EQ(keyboard.modes, (std::vector<int>{2, 1}));
    }
}

TEST_F(MouseButtonRulesTest, MacrosAndProfilesByIdOrByName) {
    CMacro* known = config->AddMacro(L"Known");
    known->id = Id(7);
    config->AddMacro(L"Fresh");   // the engine does not know it yet: null id
    play->SetId(Id(9));

    EXPECT_TRUE(rules->Assign(3, kKindMacro, L"Known"));
    AssignmentRecord r = Button(3);
    EXPECT_EQ(r.kind, kKindMacro);
    EXPECT_TRUE(GuidsEqual(PayloadGuid(r), Id(7)));
    EXPECT_EQ(MacroMode(r), 1);
    EXPECT_EQ(ShownAssignment(config, ButtonActions(config, 3), 3).detail, L"Known");

    EXPECT_TRUE(rules->Assign(3, kKindMacro, L"Fresh"));
    r = Button(3);
    EXPECT_EQ(r.kind, kKindMacroByName);
    EXPECT_EQ(PayloadText(r), L"Fresh");
    EXPECT_EQ(MacroMode(r), 1);
    const auto entries = ButtonActions(config, 3);
    const ButtonShown shown = ShownAssignment(config, entries, 3);
    ASSERT_GE(shown.index, 0);
    EXPECT_EQ(entries[size_t(shown.index)].action, kKindMacro);   // by name shows on the macro entry
    EXPECT_EQ(shown.detail, L"Fresh");

    // A name that is gone (or none) changes nothing.
    EXPECT_FALSE(rules->Assign(3, kKindMacro, L"Deleted"));
    EXPECT_FALSE(rules->Assign(3, kKindMacro, L""));
    EXPECT_FALSE(rules->Assign(3, kKindProfile, L"Deleted"));
    EXPECT_EQ(Button(3).kind, kKindMacroByName);

    EXPECT_TRUE(rules->Assign(6, kKindProfile, L"Play"));
    EXPECT_EQ(Button(6).kind, kKindProfile);
    EXPECT_TRUE(GuidsEqual(PayloadGuid(Button(6)), Id(9)));
    EXPECT_EQ(ShownAssignment(config, ButtonActions(config, 6), 6).detail, L"Play");
    IMouseProfile* home = config->CreateProfile(L"Home");
    EXPECT_TRUE(rules->Assign(7, kKindProfile, L"Home"));
    EXPECT_EQ(Button(7).kind, kKindProfileByName);
    EXPECT_EQ(PayloadText(Button(7)), L"Home");
    EXPECT_EQ(ShownAssignment(config, ButtonActions(config, 7), 7).detail, L"Home");

    // The profile sub-list never offers the current profile.
    EXPECT_EQ(OtherProfileNames(config), (std::vector<std::wstring>{L"Play", L"Home"}));
    config->SetCurrentProfile(home);
    EXPECT_EQ(OtherProfileNames(config), (std::vector<std::wstring>{L"Work", L"Play"}));
    EXPECT_EQ(MacroNames(config), (std::vector<std::wstring>{L"Known", L"Fresh"}));
}
