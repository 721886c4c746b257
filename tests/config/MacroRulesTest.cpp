// The macro pages' rules on the real mouse and keyboard configurations and a fake device: names,
// import and export checks, delete, recording with the default delay, key edits and predefined
// sequences.
#include <gtest/gtest.h>
#include <memory>
#include "PageFakes.h"
#include "config/pages/MacroRules.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using namespace vt::profile;
using vt::test::FakeDevice;
using vt::test::ScriptedFileDialogs;
using vt::test::ScriptedPagePopups;

TEST(MacroRulesHelpers, ParseDelay) {
    struct Case { const wchar_t* text; int value; };
    const Case cases[] = {{L"", 0}, {L"0", 0}, {L"50", 50}, {L" 12", 12}, {L"7x", 7}, {L"abc", 0},
                          {L"-5", -5}, {L"+9", 9}, {L"99999999999", 0x7FFFFFFF}};
    for (const Case& c : cases) EXPECT_EQ(ParseDelay(c.text), c.value) << c.text;
}

TEST(MacroRulesHelpers, PredefinedInsertPosition) {
    struct Case { int row; size_t count; size_t at; };
    const Case cases[] = {{-1, 0, 0}, {-1, 5, 0}, {0, 5, 1}, {2, 5, 3}, {4, 5, 5}, {9, 5, 5}, {3, 0, 0}};
    for (const Case& c : cases) EXPECT_EQ(PredefinedInsertAt(c.row, c.count), c.at) << c.row << " " << c.count;
}

TEST(MacroRulesHelpers, KeyEditsSeeTheExtendedFlag) {
    const MacroEvent enter = MakeKeyEvent(0x1C, VK_RETURN, kKeyDown, 0);
    EXPECT_FALSE(KeyEditChanges(enter, 0x1C, VK_RETURN, false));
    EXPECT_TRUE(KeyEditChanges(enter, 0x1C, VK_RETURN, true));    // keypad Enter
    EXPECT_TRUE(KeyEditChanges(enter, 0x1C, 'X', false));
    EXPECT_TRUE(KeyEditChanges(enter, 0x2D, VK_RETURN, false));
}

TEST(MacroRulesHelpers, KeyPartnerRows) {
    const std::vector<MacroEvent> e = {
        MakeKeyEvent(0x1E, 'A', kKeyDown, 0), MakeDelayEvent(10), MakeKeyEvent(0x1C, VK_RETURN, kKeyDown, 1),
        MakeKeyEvent(0x1C, VK_RETURN, kKeyUp, 0), MakeKeyEvent(0x1C, VK_RETURN, kKeyUp, 1),
        MakeKeyEvent(0x1E, 'A', kKeyUp, 0)};
    EXPECT_EQ(KeyPartnerRow(e, 0), 5);
    EXPECT_EQ(KeyPartnerRow(e, 5), 0);
    EXPECT_EQ(KeyPartnerRow(e, 2), 4);   // keypad Enter's release, not Enter's
    EXPECT_EQ(KeyPartnerRow(e, 3), -1);
    EXPECT_EQ(KeyPartnerRow(e, 1), -1);
    EXPECT_EQ(KeyPartnerRow(e, 9), -1);
}

namespace {

class FakeMacroView : public IMacroPageView {
public:
    std::vector<std::wstring> names;
    std::wstring current;
    std::vector<MacroEvent> events;
    int row = -1;
    bool recording = false, insertDefault = false, recordEnabled = false, noMacro = false;
    std::wstring delayText = L"50";
    int defaultDelay = 50;
    std::vector<bool> shownRecording;
    // What a recording produces when it stops.
    std::vector<MacroEvent> recorded;

    std::wstring CurrentName() override { return current; }
    int SelectedIndex() override {
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == current) return int(i);
        return -1;
    }
    void FillNames(const std::vector<std::wstring>& n) override { names = n; }
    void SelectEntry(int index) override { current = index >= 0 && size_t(index) < names.size() ? names[size_t(index)] : L""; noMacro = false; }
    void ShowNoMacro() override { current.clear(); names.clear(); events.clear(); recordEnabled = false; noMacro = true; }
    void LoadEvents(const std::vector<MacroEvent>& e) override { events = e; }
    std::vector<MacroEvent> Events() override { return events; }
    int FirstSelectedRow() override { return row; }
    void ReplaceEvent(int r, const MacroEvent& e) override { events[size_t(r)] = e; }
    bool IsRecording() override { return recording; }
    bool ToggleRecording() override {
        recording = !recording;
        if (recording) events.clear(); else events = recorded;
        return recording;
    }
    void ShowRecording(bool on) override { shownRecording.push_back(on); }
    void EnableRecordAndAdvanced(bool on) override { recordEnabled = on; }
    bool InsertDefaultDelayChecked() override { return insertDefault; }
    std::wstring DelayText() override { return delayText; }
    void SetDelayText(const std::wstring& t) override { delayText = t; }
    void SetDefaultDelay(int ms) override { defaultDelay = ms; }
};

struct MouseKind { using Config = IMouseConfig; using Concrete = CDmConfig_Mouse; };
struct KeyboardKind { using Config = IKeyboardConfig; using Concrete = CDmConfig_Keyboard; };

} // namespace

template <class K>
class MacroRulesTest : public ::testing::Test {
protected:
    using ConfigT = typename K::Config;
    static void SetUpTestSuite() { vt::skin::BuildVocabularyTables(); }
    MacroRulesTest() {
        concrete = std::make_unique<typename K::Concrete>();
        config = concrete.get();
        rules = std::make_unique<MacroPageRules<ConfigT>>(config, [this] { return &device; }, popups, files, view);
        rules->onChanged = [this] { ++changes; };
    }
    CMacro* Add(const wchar_t* name, std::vector<MacroEvent> events = {}) {
        CMacro* m = config->AddMacro(name);
        m->events = std::move(events);
        rules->FillList();
        return m;
    }
    void Choose(const wchar_t* name) {
        view.current = name;
        rules->MacroChosen();
    }

    std::unique_ptr<typename K::Concrete> concrete;
    ConfigT* config = nullptr;
    FakeDevice<ConfigT> device;
    ScriptedPagePopups popups;
    ScriptedFileDialogs files;
    FakeMacroView view;
    std::unique_ptr<MacroPageRules<ConfigT>> rules;
    int changes = 0;
};

using Kinds = ::testing::Types<MouseKind, KeyboardKind>;
TYPED_TEST_SUITE(MacroRulesTest, Kinds);

TYPED_TEST(MacroRulesTest, NewMacroRefusesNamesThatDifferOnlyInCase) {
    this->Add(L"Combo", {MakeDelayEvent(5)});
    this->popups.name = L"combo";
    this->rules->NewMacro();
    EXPECT_EQ(this->popups.Last()->file, L"DuplicateMacroWarningPopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"|: combo");
    EXPECT_EQ(this->config->GetMacroCount(), 1);
    this->popups.name = L"Second";
    this->rules->NewMacro();
    ASSERT_EQ(this->config->GetMacroCount(), 2);
    EXPECT_EQ(this->view.current, L"Second");
    EXPECT_TRUE(this->view.events.empty());
    EXPECT_TRUE(this->view.recordEnabled);
    this->popups.name = L"";
    this->rules->NewMacro();
    EXPECT_EQ(this->config->GetMacroCount(), 2);
}

TYPED_TEST(MacroRulesTest, ChoosingAMacroShowsItsEvents) {
    this->Add(L"A", {MakeDelayEvent(1)});
    this->Add(L"B", {MakeDelayEvent(2), MakeDelayEvent(3)});
    this->Choose(L"B");
    EXPECT_EQ(this->view.events.size(), 2u);
    EXPECT_TRUE(this->view.recordEnabled);
    this->view.recordEnabled = false;
    this->Choose(L"Nothing");
    EXPECT_EQ(this->view.events.size(), 2u);
    EXPECT_FALSE(this->view.recordEnabled);
}

TYPED_TEST(MacroRulesTest, ExportNeedsEventsAndTheEngine) {
    this->Add(L"Empty");
    this->Add(L"Full", {MakeDelayEvent(5)});
    this->Choose(L"Empty");
    this->rules->Export();
    EXPECT_TRUE(this->popups.calls.empty());
    EXPECT_EQ(this->files.Saves(), 0u);
    this->Choose(L"Full");
    this->device.holdsMacro = false;
    this->rules->Export();
    EXPECT_EQ(this->popups.Last()->file, L"ExportMacroWarningPopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"|: Full");
    this->device.holdsMacro = true;
    this->files.chosen = L"C:\\save\\full.vtm";
    this->rules->Export();
    EXPECT_EQ(this->files.calls.back().extension, L"vtm");
    EXPECT_EQ(this->device.exported, std::vector<std::wstring>{L"C:\\save\\full.vtm"});
    this->device.exportOk = false;
    this->rules->Export();
    EXPECT_EQ(this->popups.Last()->file, L"FileErrorPopUp.xml");
}

TYPED_TEST(MacroRulesTest, ImportChecks) {
    this->files.chosen = L"C:\\save\\.vtm";
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->files.calls.back().filter, L"vtm Macro Files (*.vtm)|*.vtm||");
    EXPECT_TRUE(this->device.imported.empty());
    this->files.chosen = L"C:\\" + std::wstring(249, L'm') + L".vtm";   // 256 characters
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->popups.Last()->file, L"PathLengthLimitReachedPopUp.xml");
    EXPECT_EQ(this->popups.Last()->message, L"$Import|");
    this->files.chosen = L"C:\\save\\m.vtm";
    this->device.importOk = false;
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->popups.Last()->file, L"FileErrorPopUp.xml");
    EXPECT_EQ(this->config->GetMacroCount(), 0);
    this->device.importOk = true;
    EXPECT_TRUE(this->rules->Import());
    EXPECT_EQ(this->view.names, std::vector<std::wstring>{L"IMPORTED"});
    // A second import of the same macro name is refused by the configuration: the file error.
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->popups.Last()->file, L"FileErrorPopUp.xml");
    EXPECT_EQ(this->config->GetMacroCount(), 1);
}

TYPED_TEST(MacroRulesTest, DeleteTheLastMacroEmptiesThePage) {
    this->Add(L"One", {MakeDelayEvent(1)});
    this->Add(L"Two", {MakeDelayEvent(2), MakeDelayEvent(2)});
    this->Choose(L"Two");
    this->popups.warningAnswer = 2;
    this->rules->Delete();
    EXPECT_EQ(this->config->GetMacroCount(), 2);
    this->popups.warningAnswer = 1;
    this->rules->Delete();
    EXPECT_EQ(this->popups.Last()->file, L"ConfirmDeleteMacroPopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"|: Two");
    EXPECT_EQ(this->view.current, L"One");
    EXPECT_EQ(this->view.events.size(), 1u);
    this->rules->Delete();
    EXPECT_EQ(this->config->GetMacroCount(), 0);
    EXPECT_TRUE(this->view.noMacro);
    EXPECT_FALSE(this->view.recordEnabled);
    const size_t calls = this->popups.calls.size();
    this->rules->Delete();   // nothing selected
    EXPECT_EQ(this->popups.calls.size(), calls);
}

TYPED_TEST(MacroRulesTest, RecordingWithTheDefaultDelay) {
    CMacro* m = this->Add(L"Rec", {MakeDelayEvent(1)});
    this->Choose(L"Rec");
    this->view.insertDefault = true;
    for (const wchar_t* bad : {L"", L"0", L"abc", L"-5"}) {
        this->view.delayText = bad;
        EXPECT_FALSE(this->rules->RecordOrStop()) << bad;
        EXPECT_EQ(this->popups.Last()->file, L"DefaultDelayWarningPopup.xml");
        EXPECT_FALSE(this->view.recording);
    }
    this->view.delayText = L"75";
    EXPECT_TRUE(this->rules->RecordOrStop());
    EXPECT_TRUE(this->view.recording);
    EXPECT_EQ(this->view.defaultDelay, 75);
    this->view.recorded = {MakeKeyEvent(0x1E, 'A', kKeyDown, 0), MakeDelayEvent(75), MakeKeyEvent(0x1E, 'A', kKeyUp, 0)};
    EXPECT_TRUE(this->rules->RecordOrStop());
    EXPECT_FALSE(this->view.recording);
    EXPECT_EQ(this->view.shownRecording, (std::vector<bool>{true, false}));
    EXPECT_TRUE(MacroEventsEqual(m->events, this->view.recorded));
    const bool keyboard = DeviceKind<typename TypeParam::Config>::kKeyboard;
    EXPECT_EQ(this->device.modes, keyboard ? (std::vector<int>{2, 1}) : std::vector<int>{});
    // With the option off the edit is not read.
    this->view.insertDefault = false;
    this->view.delayText = L"";
    EXPECT_TRUE(this->rules->RecordOrStop());
    // Without a selected macro nothing records.
    this->view.current = L"";
    this->view.recording = false;
    EXPECT_FALSE(this->rules->RecordOrStop());
}

TYPED_TEST(MacroRulesTest, DefaultDelayEdits) {
    this->view.delayText = L"120";
    EXPECT_TRUE(this->rules->DefaultDelayEdited());
    EXPECT_EQ(this->view.defaultDelay, 120);
    this->view.delayText = L"0";
    EXPECT_FALSE(this->rules->DefaultDelayEdited());
    EXPECT_EQ(this->popups.Last()->file, L"DefaultDelayWarningPopup.xml");
    EXPECT_EQ(this->view.delayText, L"50");
    EXPECT_EQ(this->view.defaultDelay, 50);
}

TYPED_TEST(MacroRulesTest, KeyEditsTakeTheFlagAndTheRelease) {
    CMacro* m = this->Add(L"Keys", {MakeKeyEvent(0x1C, VK_RETURN, kKeyDown, 0), MakeDelayEvent(20),
                                    MakeKeyEvent(0x1C, VK_RETURN, kKeyUp, 0)});
    this->Choose(L"Keys");
    // The delay row is not a key.
    this->view.row = 1;
    this->rules->EditKeyEvent();
    EXPECT_TRUE(this->popups.calls.empty());
    // Same key back: nothing changes.
    this->view.row = 0;
    this->popups.key.scanCode = 0x1C;
    this->popups.key.virtualKey = VK_RETURN;
    this->popups.key.flags = 0;
    this->rules->EditKeyEvent();
    EXPECT_EQ(this->popups.keyShown.scanCode, 0x1C);
    EXPECT_EQ(this->changes, 0);
    // Keypad Enter: same scan code, extended.
    this->popups.key.flags = 1;
    this->rules->EditKeyEvent();
    EXPECT_EQ(m->events[0].data[5] & 1, 1);
    EXPECT_EQ(m->events[2].data[5] & 1, 1);          // its release follows
    EXPECT_EQ(m->events[0].data[4], kKeyDown);
    EXPECT_EQ(m->events[2].data[4], kKeyUp);
    // Cancel takes nothing.
    this->popups.keyAnswer = 2;
    this->popups.key.virtualKey = 'Z';
    this->rules->EditKeyEvent();
    EXPECT_TRUE(KeyEditChanges(MakeKeyEvent(0x1C, 'Z', kKeyDown, 1), 0x1C, VK_RETURN, true));
    EXPECT_FALSE(KeyEditChanges(m->events[0], 0x1C, VK_RETURN, true));
}

TYPED_TEST(MacroRulesTest, PredefinedSequencesGoAfterTheSelectedRow) {
    std::vector<MacroEvent> cut;
    ASSERT_TRUE(PredefinedMacros.FindPredefinedMacro(L"$cut", cut));
    const std::vector<MacroEvent> base = {MakeDelayEvent(1), MakeDelayEvent(2), MakeDelayEvent(3)};
    CMacro* m = this->Add(L"Host", base);
    this->Choose(L"Host");
    this->popups.predefined = L"$cut";
    struct Case { int row; size_t at; };
    for (const Case& c : {Case{-1, 0}, Case{1, 2}, Case{2, 3}}) {
        m->events = base;
        this->view.row = c.row;
        this->rules->InsertPredefined();
        ASSERT_EQ(m->events.size(), base.size() + cut.size());
        EXPECT_TRUE(MacroEventsEqual(std::vector<MacroEvent>(m->events.begin() + ptrdiff_t(c.at),
                                                             m->events.begin() + ptrdiff_t(c.at + cut.size())), cut)) << c.row;
        EXPECT_TRUE(MacroEventsEqual(this->view.events, m->events));
    }
    // Cancel or an unknown name changes nothing.
    m->events = base;
    this->popups.predefinedAnswer = 2;
    this->rules->InsertPredefined();
    this->popups.predefinedAnswer = 1;
    this->popups.predefined = L"$nothing";
    this->rules->InsertPredefined();
    EXPECT_TRUE(MacroEventsEqual(m->events, base));
}
