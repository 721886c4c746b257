// The profile pages' rules on the real mouse and keyboard configurations and a fake device: copy
// names, the 20-profile limit, names, delete checks, import and export checks, program links.
#include <gtest/gtest.h>
#include <memory>
#include "PageFakes.h"
#include "config/pages/FileChoice.h"
#include "config/pages/ProfileRules.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"

using namespace vt::config;
using vt::test::FakeDevice;
using vt::test::ScriptedFileDialogs;
using vt::test::ScriptedPagePopups;

TEST(ProfileCopyName, TakesTheFirstFreeNumberAndCutsLongNames) {
    struct Case { std::wstring source; std::vector<std::wstring> taken; std::wstring expected; };
    std::vector<std::wstring> all;
    for (int n = 2; n <= 99; ++n) all.push_back(L"A(" + std::to_wstring(n) + L")");
    const Case cases[] = {
        {L"Work", {L"Work"}, L"Work(2)"},
        {L"Work", {L"Work", L"Work(2)"}, L"Work(3)"},
        {L"Work", {L"work(2)"}, L"Work(2)"},                                // names compare exactly
        {L"Nineteen_characters", {}, L"Nineteen_characters(2)"},            // 19 kept whole
        {L"Twenty_characters_ab", {}, L"Twenty_characters_(2)"},            // 20: first 18
        {L"Twenty_five_characters_xy", {}, L"Twenty_five_charac(2)"},       // 25: first 18
        {L"A", all, L""},                                                   // all up to 99 taken
    };
    for (const Case& c : cases) EXPECT_EQ(ProfileCopyName(c.source, c.taken), c.expected) << c.source;
}

TEST(ProgramFileName, KeepsNameAndExtension) {
    EXPECT_EQ(ProgramFileName(L"C:\\Games\\Dunes\\dunes.exe"), L"dunes.exe");
    EXPECT_EQ(ProgramFileName(L"dunes"), L"dunes");
    EXPECT_EQ(ProgramFileName(L""), L"");
    EXPECT_EQ(ProgramFileName(L"D:/a.b/c.tar.exe"), L"c.tar.exe");
}

namespace {

class FakeListView : public IProfileListView {
public:
    int selected = -1;
    int refreshes = 0, pageRefreshes = 0;
    bool osd = false;
    std::vector<int> selectedRows;
    std::map<int, std::wstring> names, programs;
    std::map<int, bool> autoSwitch;
    int SelectedKey() override { return selected; }
    void RefreshList() override { ++refreshes; }
    void SelectRow(int key) override { selectedRows.push_back(key); selected = key; }
    void SetNameCell(int key, const std::wstring& t) override { names[key] = t; }
    void SetProgramCell(int key, const std::wstring& t) override { programs[key] = t; }
    void SetAutoSwitchCell(int key, bool on) override { autoSwitch[key] = on; }
    bool OsdChecked() override { return osd; }
    void RefreshPage() override { ++pageRefreshes; }
};

struct MouseKind {
    using Config = IMouseConfig;
    using Concrete = CDmConfig_Mouse;
};
struct KeyboardKind {
    using Config = IKeyboardConfig;
    using Concrete = CDmConfig_Keyboard;
};

GUID Id(uint32_t n) { GUID g{}; g.Data1 = n; return g; }

} // namespace

template <class K>
class ProfileRulesTest : public ::testing::Test {
protected:
    using ConfigT = typename K::Config;
    ProfileRulesTest() {
        concrete = std::make_unique<typename K::Concrete>();
        config = concrete.get();
        rules = std::make_unique<ProfilePageRules<ConfigT>>(config, [this] { return &device; }, popups, files, view);
        rules->onChanged = [this] { ++changes; };
    }
    // n profiles "P1".."Pn"; the first one current; the engine holds them all.
    void Fill(int n, bool withIds = true) {
        for (int i = 1; i <= n; ++i) {
            auto* p = config->CreateProfile((L"P" + std::to_wstring(i)).c_str());
            if (withIds) p->SetId(Id(uint32_t(i)));
        }
        config->SetCurrentProfile(config->GetProfileAt(0));
        device.engineProfiles = n;
    }
    std::wstring NameAt(int i) { return config->GetProfileAt(uint32_t(i))->GetName(); }

    std::unique_ptr<typename K::Concrete> concrete;
    ConfigT* config = nullptr;
    FakeDevice<ConfigT> device;
    ScriptedPagePopups popups;
    ScriptedFileDialogs files;
    FakeListView view;
    std::unique_ptr<ProfilePageRules<ConfigT>> rules;
    int changes = 0;
};

using Kinds = ::testing::Types<MouseKind, KeyboardKind>;
TYPED_TEST_SUITE(ProfileRulesTest, Kinds);

TYPED_TEST(ProfileRulesTest, TwentyProfilesRefuseNewCopyAndImport) {
    this->Fill(20);
    this->popups.name = L"Fresh";
    EXPECT_FALSE(this->rules->NewProfile());
    this->rules->Copy(1);
    EXPECT_FALSE(this->rules->Import());
    ASSERT_EQ(this->popups.calls.size(), 3u);   // no name popup, no file dialog
    const wchar_t* messages[] = {L"$CreateProfile|", L"$Copy|", L"$ImportProfile|"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(this->popups.calls[size_t(i)].file, L"ProfileLimitReachedPopup.xml");
        EXPECT_EQ(this->popups.calls[size_t(i)].message, messages[i]);
    }
    EXPECT_EQ(this->files.Opens(), 0u);
    EXPECT_EQ(this->config->GetProfileCount(), 20);
    EXPECT_EQ(this->changes, 0);
}

TYPED_TEST(ProfileRulesTest, NineteenProfilesLetNewCopyAndImportProceed) {
    this->Fill(19);
    this->popups.name = L"Fresh";
    EXPECT_TRUE(this->rules->NewProfile());
    EXPECT_EQ(this->config->GetProfileCount(), 20);
    EXPECT_EQ(this->config->GetCurrentProfile(), this->config->GetProfileAt(19));
    this->config->DeleteProfile(this->config->GetProfileAt(19));
    this->rules->Copy(0);
    EXPECT_EQ(this->NameAt(19), L"P1(2)");
    this->config->DeleteProfile(this->config->GetProfileAt(19));
    this->device.engineProfiles = 19;
    EXPECT_TRUE(this->rules->Import());
    EXPECT_EQ(this->NameAt(19), L"IMPORTED");
    EXPECT_TRUE(this->popups.Warnings().empty());
}

TYPED_TEST(ProfileRulesTest, NewProfileNamesCompareExactly) {
    this->Fill(2);
    this->popups.name = L"P1";
    EXPECT_FALSE(this->rules->NewProfile());
    EXPECT_EQ(this->popups.Last()->file, L"DuplicateProfileWarningPopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"|: P1");
    this->popups.name = L"p1";                  // other letter case: accepted
    EXPECT_TRUE(this->rules->NewProfile());
    EXPECT_EQ(this->NameAt(2), L"p1");
    this->popups.name = L"";                    // OK on an empty name
    EXPECT_FALSE(this->rules->NewProfile());
    this->popups.name = L"Other";
    this->popups.nameAnswer = 2;                // Cancel
    EXPECT_FALSE(this->rules->NewProfile());
    EXPECT_EQ(this->config->GetProfileCount(), 3);
}

TYPED_TEST(ProfileRulesTest, KeyboardNewProfileTakesTheOsdBoxForAll) {
    this->Fill(2);
    this->view.osd = true;
    this->popups.name = L"New";
    ASSERT_TRUE(this->rules->NewProfile());
    const bool keyboard = DeviceKind<typename TypeParam::Config>::kKeyboard;
    EXPECT_EQ(this->view.pageRefreshes, keyboard ? 1 : 0);
    if (keyboard)
        for (int i = 0; i < 3; ++i) EXPECT_EQ(this->config->GetProfileOsdEnabled(this->config->GetProfileAt(uint32_t(i))), 1);
}

TYPED_TEST(ProfileRulesTest, RenameToATakenNameRestoresTheCell) {
    this->Fill(3);
    this->view.selected = 1;
    this->popups.name = L"P2";                  // its own name
    EXPECT_FALSE(this->rules->Rename());
    EXPECT_EQ(this->popups.calls[0].message, L"|: P2");   // the rename form shows the current name
    EXPECT_EQ(this->popups.Last()->file, L"DuplicateProfileWarningPopup.xml");
    EXPECT_EQ(this->view.names[1], L"P2");
    this->popups.name = L"Renamed";
    EXPECT_TRUE(this->rules->Rename());
    EXPECT_EQ(this->NameAt(1), L"Renamed");
    this->view.selected = -1;                   // nothing selected: nothing asked
    const size_t before = this->popups.calls.size();
    EXPECT_FALSE(this->rules->Rename());
    EXPECT_EQ(this->popups.calls.size(), before);
}

TYPED_TEST(ProfileRulesTest, CopyOfARowWithoutAProfileDoesNothing) {
    this->Fill(2);
    this->rules->Copy(5);
    this->rules->Copy(-1);
    EXPECT_EQ(this->config->GetProfileCount(), 2);
    this->config->CreateProfile(L"P1(2)");
    this->rules->Copy(0);
    EXPECT_EQ(this->NameAt(3), L"P1(3)");
    EXPECT_EQ(this->config->GetCurrentProfile(), this->config->GetProfileAt(3));
}

TYPED_TEST(ProfileRulesTest, DeleteChecks) {
    this->Fill(3);
    // Row 0 never goes.
    this->view.selected = 0;
    EXPECT_FALSE(this->rules->Delete());
    EXPECT_EQ(this->popups.Last()->file, L"DisallowDeletePopup.xml");
    // Nor a profile that carries the first profile's id.
    this->config->GetProfileAt(2)->SetId(Id(1));
    this->view.selected = 2;
    EXPECT_FALSE(this->rules->Delete());
    EXPECT_EQ(this->popups.Last()->file, L"DisallowDeletePopup.xml");
    EXPECT_EQ(this->config->GetProfileCount(), 3);
    // Cancel in the confirmation keeps it.
    this->view.selected = 1;
    this->popups.warningAnswer = 2;
    EXPECT_FALSE(this->rules->Delete());
    EXPECT_EQ(this->popups.Last()->file, L"ConfirmDeletePopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"|: P2");
    EXPECT_EQ(this->config->GetProfileCount(), 3);
}

TYPED_TEST(ProfileRulesTest, UnappliedProfilesWithNullIdsCanBeDeleted) {
    this->Fill(1, false);                       // the first profile has no engine id either
    this->popups.name = L"New";
    ASSERT_TRUE(this->rules->NewProfile());
    this->view.selected = 1;
    EXPECT_TRUE(this->rules->Delete());
    EXPECT_EQ(this->config->GetProfileCount(), 1);
}

TYPED_TEST(ProfileRulesTest, DeletingTheCurrentProfileMakesTheFirstCurrent) {
    this->Fill(3);
    this->config->SetCurrentProfile(this->config->GetProfileAt(2));
    this->view.selected = 2;
    EXPECT_TRUE(this->rules->Delete());
    EXPECT_EQ(this->config->GetCurrentProfile(), this->config->GetProfileAt(0));
    EXPECT_EQ(this->view.selectedRows.back(), 0);
}

TYPED_TEST(ProfileRulesTest, ImportChecks) {
    this->Fill(3);
    // The model holds a profile the engine does not have yet.
    this->device.engineProfiles = 2;
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->popups.Last()->file, L"ImporttProfileWarningPopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"$ImportProfile|");
    this->device.engineProfiles = 3;
    // The dialog asks for an existing .vtp in save\.
    this->files.chosen = L"C:\\x\\.vtp";
    EXPECT_FALSE(this->rules->Import());
    ASSERT_EQ(this->files.Opens(), 1u);
    EXPECT_EQ(this->files.calls.back().filter, L"vtp Profile Files (*.vtp)|*.vtp||");
    EXPECT_EQ(this->files.calls.back().proposal, L".vtp");
    EXPECT_TRUE(this->device.imported.empty());
    // Path lengths: 255 goes to the device, 256 is refused.
    std::wstring path = L"C:\\" + std::wstring(248, L'a') + L".vtp";
    ASSERT_EQ(path.size(), 255u);
    this->files.chosen = path;
    EXPECT_TRUE(this->rules->Import());
    EXPECT_EQ(this->device.imported.size(), 1u);
    this->files.chosen = path + L"x";
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->popups.Last()->file, L"PathLengthLimitReachedPopUp.xml");
    EXPECT_EQ(this->popups.Last()->message, L"$Import|");
    EXPECT_EQ(this->device.imported.size(), 1u);
    // A file the engine refuses: the file error, and nothing added.
    this->files.chosen = L"C:\\save\\bad.vtp";
    this->device.importOk = false;
    const int count = this->config->GetProfileCount();
    EXPECT_FALSE(this->rules->Import());
    EXPECT_EQ(this->popups.Last()->file, L"FileErrorPopUp.xml");
    EXPECT_EQ(this->config->GetProfileCount(), count);
}

TYPED_TEST(ProfileRulesTest, ExportChecks) {
    this->Fill(2);
    this->view.selected = 1;
    this->device.holdsProfile = false;
    this->rules->Export();
    EXPECT_EQ(this->popups.Last()->file, L"ExportProfileWarningPopup.xml");
    EXPECT_EQ(this->popups.Last()->message, L"|: P2");
    EXPECT_EQ(this->files.Saves(), 0u);
    this->device.holdsProfile = true;
    this->files.chosen = L"C:\\save\\.vtp";
    this->rules->Export();
    EXPECT_TRUE(this->device.exported.empty());
    EXPECT_EQ(this->files.calls.back().extension, L"vtp");
    this->files.chosen = L"C:\\save\\p2.vtp";
    this->rules->Export();
    EXPECT_EQ(this->device.exported, std::vector<std::wstring>{L"C:\\save\\p2.vtp"});
    // A failed write is said, not passed over.
    this->device.exportOk = false;
    const size_t before = this->popups.Warnings().size();
    this->rules->Export();
    ASSERT_EQ(this->popups.Warnings().size(), before + 1);
    EXPECT_EQ(this->popups.Warnings().back(), L"FileErrorPopUp.xml");
}

TYPED_TEST(ProfileRulesTest, ProgramLinksAndAutomaticSwitching) {
    this->Fill(2);
    auto* p = this->config->GetProfileAt(1);
    // Checking the box without a program warns and leaves it unchecked.
    this->rules->AutoSwitchClicked(1, 1);
    EXPECT_EQ(this->popups.Last()->file, L"SelectApplicationWarningPopup.xml");
    EXPECT_FALSE(this->view.autoSwitch[1]);
    EXPECT_EQ(p->GetProfileFlag(), 0);
    // 126 characters are linked, 127 refused with the cell cleared.
    const std::wstring ok = L"C:\\Games\\" + std::wstring(122, L'g') + L".exe";
    this->rules->ProgramChosen(1, ok.c_str());
    EXPECT_EQ(std::wstring(p->GetFileName()).size(), 126u);
    const std::wstring tooLong = L"C:\\Games\\" + std::wstring(123, L'g') + L".exe";
    this->view.programs[1] = L"keep?";
    this->rules->ProgramChosen(1, tooLong.c_str());
    EXPECT_EQ(this->popups.Last()->file, L"FileNameLengthLimitReachedPopUp.xml");
    EXPECT_EQ(this->popups.Last()->message, L"$AssignApplication|");
    EXPECT_EQ(this->view.programs[1], L"");
    EXPECT_EQ(std::wstring(p->GetFileName()).size(), 126u);
    // With a program the box checks.
    this->rules->AutoSwitchClicked(1, 1);
    EXPECT_EQ(p->GetProfileFlag(), 1);
    EXPECT_TRUE(this->view.autoSwitch[1]);
    // Taking the program away switches automatic switching off.
    this->rules->ProgramChosen(1, L"");
    EXPECT_EQ(std::wstring(p->GetFileName()), L"");
    EXPECT_EQ(p->GetProfileFlag(), 0);
    EXPECT_FALSE(this->view.autoSwitch[1]);
}

TYPED_TEST(ProfileRulesTest, MenuChoicesRunTheirCommands) {
    this->Fill(3);
    this->view.selected = 2;
    EXPECT_EQ(this->rules->MenuChoice(2, L"$SetActive"), ProfileCommand::SetActive);
    EXPECT_EQ(this->config->GetCurrentProfile(), this->config->GetProfileAt(2));
    EXPECT_EQ(this->rules->MenuChoice(1, L"$Copy"), ProfileCommand::Copy);
    EXPECT_EQ(this->NameAt(3), L"P2(2)");
    EXPECT_EQ(this->rules->MenuChoice(1, L"$Unknown"), ProfileCommand::None);
    EXPECT_EQ(this->rules->MenuChoice(1, L"$new"), ProfileCommand::None);   // exact texts only
    this->rules->MenuChoice(2, L"$Preview");
    const bool keyboard = DeviceKind<typename TypeParam::Config>::kKeyboard;
    const bool previewed = !this->popups.calls.empty() && this->popups.Last()->what == L"preview";
    EXPECT_EQ(previewed, !keyboard);
    if (previewed) {
        EXPECT_EQ(this->popups.Last()->message, L": P3");
    }
}

TYPED_TEST(ProfileRulesTest, RestoreDefaultAsksFirst) {
    this->Fill(2);
    this->popups.warningAnswer = 2;
    EXPECT_FALSE(this->rules->RestoreDefault(1));
    EXPECT_EQ(this->popups.Last()->file, L"RestoreAllPopup.xml");
    EXPECT_EQ(this->changes, 0);
    this->popups.warningAnswer = 1;
    EXPECT_TRUE(this->rules->RestoreDefault(1));
    EXPECT_EQ(this->changes, 1);
    EXPECT_FALSE(this->rules->RestoreDefault(7));
}

TEST(ProfileRulesMouse, RestoreDefaultResetsTheMouseProfile) {
    CDmConfig_Mouse concrete;
    IMouseConfig* config = &concrete;
    FakeDevice<IMouseConfig> device;
    ScriptedPagePopups popups;
    ScriptedFileDialogs files;
    FakeListView view;
    ProfilePageRules<IMouseConfig> rules(config, [&] { return &device; }, popups, files, view);
    IMouseProfile* p = config->CreateProfile(L"P1");
    config->SetDpiStageCount(2, p);
    config->SetLightColor(3, 0x00FF00, p);
    EXPECT_TRUE(rules.RestoreDefault(0));
    EXPECT_EQ(config->GetDpiStageCount(p), 5u);
    EXPECT_EQ(config->GetLightColor(3, p), 0xFF0000);
}

TEST(FileChoice, ProfileAndMacroFiles) {
    const FileChoice profiles = MakeFileChoice(L"Profile", L"vtp");
    EXPECT_EQ(profiles.filter, L"vtp Profile Files (*.vtp)|*.vtp||");
    EXPECT_EQ(profiles.proposal, L".vtp");
    ASSERT_GE(profiles.folder.size(), 5u);
    EXPECT_EQ(profiles.folder.substr(profiles.folder.size() - 5), L"save\\");
    const FileChoice macros = MakeFileChoice(L"Macro", L"vtm");
    EXPECT_EQ(macros.filter, L"vtm Macro Files (*.vtm)|*.vtm||");
    EXPECT_EQ(FileTitleOf(L"C:\\save\\a.vtm"), L"a.vtm");
    EXPECT_EQ(DialogFilter(macros.filter), std::wstring(L"vtm Macro Files (*.vtm)\0*.vtm\0\0", 31));
    ScriptedFileDialogs files;
    std::wstring path;
    struct Case { const wchar_t* chosen; bool answer; bool ok; };
    for (const Case& c : {Case{L"C:\\save\\.vtm", true, false}, Case{L"C:\\save\\a.vtm", true, true},
                          Case{L"C:\\save\\a.vtm", false, false}}) {
        files.chosen = c.chosen;
        files.answer = c.answer;
        EXPECT_EQ(ChooseFile(files, nullptr, macros, false, path), c.ok) << c.chosen;
    }
}
