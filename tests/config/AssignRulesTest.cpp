// The assign-buttons page's rules on the real mouse configuration: the actions each button lists,
// what a drop-down shows, the left-click guard, the single-key popup (with the keyboard's modes),
// macros and profiles by id or by name. The assign-keys page's rules on the real keyboard
// configuration: the options and their greying, the records of every action, the repeat count's
// range, the program path's limit, the marks and what the key window shows.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <tuple>
#include "AssignFakes.h"
#include "config/pages/AssignRules.h"
#include "config/pages/KeyboardKeysRules.h"
#include "config/pages/MouseButtonsRules.h"
#include "base/KeyTable.h"
#include "profile/KeyboardConfig.h"
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

// ---- The assign-keys page's rules on the real keyboard configuration ----------------------------

namespace {

constexpr int32_t kKeyA = 1001, kKeyRightCtrl = 1002;

class KeyboardKeyRulesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vt::skin::BuildVocabularyTables(); }
    KeyboardKeyRulesTest() {
        // Two keys of the key table: A (code 0x1E) and Right Ctrl (0x1D with a prefix).
        auto& table = vt::base::GlobalKeyTable();
        table.Reset();
        vt::base::KeyDefRecord a;
        a.keyId = kKeyA;
        a.name = L"A";
        a.scanCode = 0x1E;
        vt::base::KeyDefRecord ctrl;
        ctrl.keyId = kKeyRightCtrl;
        ctrl.name = L"Right Ctrl";
        ctrl.scanCode = 0x1D;
        ctrl.prefix = 1;
        table.m_keysById[kKeyA] = a;
        table.m_keysById[kKeyRightCtrl] = ctrl;
        concrete = std::make_unique<CDmConfig_Keyboard>();
        config = concrete.get();
        work = config->CreateProfile(L"Work");
        config->SetCurrentProfile(work);
        rules = std::make_unique<KeyboardKeyRules>(config, popups, files, [this] { return &keyboard; });
    }
    ~KeyboardKeyRulesTest() override { vt::base::GlobalKeyTable().Reset(); }
    AssignmentRecord Key(int32_t id) { return KeyAssignment(config, id); }
    std::vector<int32_t> Enabled(bool selected) {
        std::vector<int32_t> out;
        for (const KeyOption& o : KeyOptions(config, selected))
            if (o.enabled) out.push_back(o.action);
        return out;
    }
    int32_t RepeatOf(const AssignmentRecord& r) {
        int32_t n = 0;
        std::memcpy(&n, r.payload + kMacroFlagOffset, 4);
        return n;
    }

    std::unique_ptr<CDmConfig_Keyboard> concrete;
    IKeyboardConfig* config = nullptr;
    IKeyboardProfile* work = nullptr;
    ScriptedAssignPopups popups;
    vt::test::ScriptedFileDialogs files;
    FakeDevice<IKeyboardConfig> keyboard;
    std::unique_ptr<KeyboardKeyRules> rules;
};

} // namespace

TEST_F(KeyboardKeyRulesTest, OptionsGreyedByMacrosProfilesAndSelection) {
    const auto options = KeyOptions(config, true);
    ASSERT_EQ(options.size(), 5u);
    for (const KeyOption& o : options) EXPECT_EQ(vt::skin::FindActionIdByName(o.name), o.action);
    struct Case { int macros; int profiles; bool selected; std::vector<int32_t> enabled; };
    const Case cases[] = {
        {0, 1, true, {0, 5, 62}},
        {1, 1, true, {0, 5, 6, 62}},
        {0, 2, true, {0, 5, 21, 62}},
        {2, 3, true, {0, 5, 21, 6, 62}},
        {2, 3, false, {}},
        {0, 1, false, {}},
    };
    for (const Case& c : cases) {
        auto fresh = std::make_unique<CDmConfig_Keyboard>();
        config = fresh.get();
        for (int i = 0; i < c.profiles; ++i) config->CreateProfile((L"P" + std::to_wstring(i)).c_str());
        config->SetCurrentProfile(config->GetProfileAt(0));
        for (int i = 0; i < c.macros; ++i) config->AddMacro((L"M" + std::to_wstring(i)).c_str());
        EXPECT_EQ(Enabled(c.selected), c.enabled) << c.macros << " " << c.profiles << " " << c.selected;
        config = concrete.get();
    }
    config->SetCurrentProfile(nullptr);
    EXPECT_TRUE(KeyOptions(config, true).empty());
    EXPECT_EQ(ShownKeyAssignment(config, kKeyA, L"A"), L"");
}

TEST_F(KeyboardKeyRulesTest, DefaultAndSingleKeyRecordsAndMarks) {
    // Default: the key's own code at 0, the prefix as the flag in byte 4.
    for (auto [id, code, flag] : {std::tuple{kKeyA, 0x1E, 0}, std::tuple{kKeyRightCtrl, 0x1D, 1}}) {
        const AssignmentRecord r = DefaultKeyRecord(id);
        EXPECT_EQ(r.kind, kKindDefaultKey);
        uint16_t got = 0;
        std::memcpy(&got, r.payload, 2);
        EXPECT_EQ(got, code);
        EXPECT_EQ(r.payload[4], flag);
    }
    EXPECT_FALSE(IsKeyMarked(config, kKeyA));   // nothing stored yet
    EXPECT_EQ(ShownKeyAssignment(config, kKeyA, L"A").substr(ShownKeyAssignment(config, kKeyA, L"A").find(L" | ")), L" | A");

    // A single key: the keyboard in mode 2 while the popup listens; a key without a scan code or
    // a cancelled popup writes nothing.
    struct Case { INT_PTR answer; SingleKeyResult key; bool written; };
    const Case cases[] = {
        {1, {L"F5", 0x3F, VK_F5, 0}, true},
        {2, {L"F6", 0x40, VK_F6, 0}, false},
        {1, {L"", 0x40, VK_F6, 0}, false},
        {1, {L"Mystery", 0, 0xE8, 0}, false},
    };
    for (const Case& c : cases) {
        keyboard.modes.clear();
        popups.keyAnswer = c.answer;
        popups.singleKey = c.key;
        EXPECT_EQ(rules->Assign(kKeyA, kKindSingleKey), c.written) << c.key.text;
        EXPECT_EQ(keyboard.modes, (std::vector<int>{2, 1}));
        EXPECT_TRUE(AssignmentsEqual(Key(kKeyA), SingleKeyRecord(0x3F, VK_F5, false))) << c.key.text;
    }
    EXPECT_TRUE(IsKeyMarked(config, kKeyA));
    const std::wstring shown = ShownKeyAssignment(config, kKeyA, L"A");
    EXPECT_EQ(shown.rfind(L"SingleKey | ", 0), 0u) << std::string(shown.begin(), shown.end());
    EXPECT_NE(shown.find(L"F5"), std::wstring::npos);
    // Back to its default: no longer marked.
    EXPECT_TRUE(rules->Assign(kKeyA, kKindDefaultKey));
    EXPECT_FALSE(IsKeyMarked(config, kKeyA));
    EXPECT_TRUE(AssignmentsEqual(Key(kKeyA), DefaultKeyRecord(kKeyA)));
}

TEST_F(KeyboardKeyRulesTest, MacroWithPlayModeAndARepeatCountOfOneTo255) {
    CMacro* known = config->AddMacro(L"Known");
    known->id = Id(7);
    config->AddMacro(L"Fresh");
    // Every case: the macro chosen, its mode, the counts answered → kind, mode, repeat, warnings.
    struct Case {
        const wchar_t* macro;
        unsigned mode;
        std::vector<std::pair<INT_PTR, int>> counts;
        int32_t kind, wantMode, wantRepeat;
        size_t warnings;
    };
    const Case cases[] = {
        {L"Known", 1, {}, kKindMacro, 1, 0, 0},
        {L"Known", 3, {}, kKindMacro, 3, 0, 0},
        {L"Fresh", 4, {}, kKindMacroByName, 4, 0, 0},
        {L"Known", 2, {{1, 5}}, kKindMacro, 2, 5, 0},
        {L"Known", 2, {{1, 255}}, kKindMacro, 2, 255, 0},
        {L"Known", 2, {{1, 256}, {1, 3}}, kKindMacro, 2, 3, 1},        // never cut to 0
        {L"Known", 2, {{1, -1}, {1, 0}, {1, 1}}, kKindMacro, 2, 1, 2},  // never 255, never 0
        {L"Fresh", 2, {{1, 300}, {2, 0}}, kKindMacroByName, 1, 0, 1},  // cancelled: plays once
        {L"Known", 2, {{2, 0}}, kKindMacro, 1, 0, 0},
    };
    for (const Case& c : cases) {
        popups.calls.clear();
        popups.macroChosen = c.macro;
        popups.macroMode = c.mode;
        popups.counts.assign(c.counts.begin(), c.counts.end());
        EXPECT_TRUE(rules->Assign(kKeyA, kKindMacro));
        const AssignmentRecord r = Key(kKeyA);
        SCOPED_TRACE(std::to_string(c.wantRepeat) + " " + std::to_string(c.mode));
        EXPECT_EQ(r.kind, c.kind);
        if (c.kind == kKindMacro) {
            EXPECT_TRUE(GuidsEqual(PayloadGuid(r), Id(7)));
        } else {
            EXPECT_EQ(PayloadText(r), c.macro);
        }
        EXPECT_EQ(MacroMode(r), c.wantMode);
        EXPECT_EQ(RepeatOf(r), c.wantRepeat);
        EXPECT_EQ(popups.Warnings().size(), c.warnings);
        for (const std::wstring& w : popups.Warnings()) EXPECT_EQ(w, L"RepeatCountWarningPopup.xml");
        EXPECT_TRUE(popups.counts.empty());
    }
    // The popup offers every macro, with the key's macro and mode preselected.
    popups.macroChosen = L"Known";
    popups.macroMode = 3;
    rules->Assign(kKeyA, kKindMacro);
    rules->Assign(kKeyA, kKindMacro);
    EXPECT_EQ(popups.macroOffered, (std::vector<std::wstring>{L"Known", L"Fresh"}));
    EXPECT_EQ(popups.macroChosenShown, L"Known");
    EXPECT_EQ(popups.macroModeShown, 3u);
    EXPECT_NE(ShownKeyAssignment(config, kKeyA, L"A").find(L" | Known"), std::wstring::npos);

    // A name that matches no macro (gone meanwhile), a cancel, or no macros at all: nothing written.
    const AssignmentRecord before = Key(kKeyA);
    popups.macroChosen = L"Deleted";
    EXPECT_FALSE(rules->Assign(kKeyA, kKindMacro));
    popups.macroChosen = L"Known";
    popups.macroAnswer = 2;
    EXPECT_FALSE(rules->Assign(kKeyA, kKindMacro));
    EXPECT_TRUE(AssignmentsEqual(Key(kKeyA), before));
    popups.macroAnswer = 1;
    config->RemoveMacro(config->FindMacro(L"Known"));
    config->RemoveMacro(config->FindMacro(L"Fresh"));
    popups.calls.clear();
    EXPECT_FALSE(rules->Assign(kKeyA, kKindMacro));
    EXPECT_EQ(popups.Count(L"macro"), 0u);
}

TEST_F(KeyboardKeyRulesTest, ProfileSwitchByIdOrByName) {
    EXPECT_FALSE(rules->Assign(kKeyA, kKindProfile));   // no other profile
    EXPECT_EQ(popups.Count(L"select"), 0u);
    IKeyboardProfile* play = config->CreateProfile(L"Play");
    play->SetId(Id(9));
    config->CreateProfile(L"Home");
    popups.profileChosen = L"Play";
    EXPECT_TRUE(rules->Assign(kKeyA, kKindProfile));
    EXPECT_EQ(popups.profileOffered, (std::vector<std::wstring>{L"Play", L"Home"}));
    EXPECT_EQ(popups.calls.back().file, L"SelectProfilePopup.xml");
    EXPECT_EQ(Key(kKeyA).kind, kKindProfile);
    EXPECT_TRUE(GuidsEqual(PayloadGuid(Key(kKeyA)), Id(9)));
    EXPECT_NE(ShownKeyAssignment(config, kKeyA, L"A").find(L" | Play"), std::wstring::npos);
    popups.profileChosen = L"Home";
    EXPECT_TRUE(rules->Assign(kKeyRightCtrl, kKindProfile));
    EXPECT_EQ(Key(kKeyRightCtrl).kind, kKindProfileByName);
    EXPECT_EQ(PayloadText(Key(kKeyRightCtrl)), L"Home");
    popups.profileChosen = L"Gone";
    EXPECT_FALSE(rules->Assign(kKeyRightCtrl, kKindProfile));
    popups.profileAnswer = 2;
    popups.profileChosen = L"Play";
    EXPECT_FALSE(rules->Assign(kKeyRightCtrl, kKindProfile));
    EXPECT_EQ(PayloadText(Key(kKeyRightCtrl)), L"Home");
}

TEST_F(KeyboardKeyRulesTest, ProgramLaunchThroughTheOpenDialogWithThePathLimit) {
    files.chosen = L"C:\\Games\\Play.exe";
    EXPECT_TRUE(rules->Assign(kKeyA, kKindLaunchProgram));
    ASSERT_EQ(files.Opens(), 1u);
    EXPECT_EQ(files.calls[0].filter, L"*.exe|*.exe||");
    // A program the engine does not know yet: stored by its path, and listed once.
    EXPECT_EQ(Key(kKeyA).kind, kKindLaunchProgramAlias);
    EXPECT_EQ(PayloadText(Key(kKeyA)), files.chosen);
    EXPECT_EQ(config->GetAppCount(), 1);
    EXPECT_NE(ShownKeyAssignment(config, kKeyA, L"A").find(L" | Play.exe"), std::wstring::npos);
    EXPECT_TRUE(rules->Assign(kKeyRightCtrl, kKindLaunchProgram));
    EXPECT_EQ(config->GetAppCount(), 1);
    // One the engine knows: by its id.
    config->FindApp(files.chosen.c_str())->id = Id(11);
    EXPECT_TRUE(rules->Assign(kKeyA, kKindLaunchProgram));
    EXPECT_EQ(Key(kKeyA).kind, kKindLaunchProgram);
    EXPECT_TRUE(GuidsEqual(PayloadGuid(Key(kKeyA)), Id(11)));
    EXPECT_NE(ShownKeyAssignment(config, kKeyA, L"A").find(L" | Play.exe"), std::wstring::npos);

    // 255 characters fit; 256 bring the warning and write nothing; Cancel writes nothing.
    const std::wstring folder = L"C:\\" + std::wstring(240, L'd') + L"\\";
    for (auto [length, taken] : {std::pair{size_t(255), true}, std::pair{size_t(256), false}, std::pair{size_t(400), false}}) {
        popups.calls.clear();
        files.chosen = folder + std::wstring(length - folder.size() - 4, L'p') + L".exe";
        ASSERT_EQ(files.chosen.size(), length);
        EXPECT_EQ(rules->Assign(kKeyRightCtrl, kKindLaunchProgram), taken) << length;
        if (taken) {
            EXPECT_EQ(PayloadText(Key(kKeyRightCtrl)), files.chosen);
            EXPECT_TRUE(popups.Warnings().empty());
        } else {
            EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"PathLengthLimitReachedPopUp.xml"});
            EXPECT_EQ(popups.calls.back().message, L"|$AssignApplication");
            EXPECT_EQ(PayloadText(Key(kKeyRightCtrl)).size(), 255u);
        }
    }
    files.answer = false;
    EXPECT_FALSE(rules->Assign(kKeyA, kKindLaunchProgram));
    EXPECT_EQ(Key(kKeyA).kind, kKindLaunchProgram);
}

TEST_F(KeyboardKeyRulesTest, RestoreAllAsksNamingTheProfile) {
    popups.singleKey = {L"F5", 0x3F, VK_F5, 0};
    rules->Assign(kKeyA, kKindSingleKey);
    popups.warningAnswer = 2;
    EXPECT_FALSE(rules->RestoreAll());
    ASSERT_EQ(popups.Warnings(), std::vector<std::wstring>{L"RestoreAllPopup.xml"});
    EXPECT_EQ(popups.calls.back().message, L"|: Work");
    EXPECT_TRUE(IsKeyMarked(config, kKeyA));
    popups.warningAnswer = 1;
    EXPECT_TRUE(rules->RestoreAll());
    EXPECT_FALSE(IsKeyMarked(config, kKeyA));
}
