// The device pages' popups as real windows: every page and popup file of the profile and macro
// pages holds the controls the code looks for; the name, number, selection, macro-assignment,
// predefined-command and preview popups answer as they should; a screenshot of each.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "PageFakes.h"
#include "WindowTest.h"
#include "config/Items.h"
#include "config/popups/DropdownSelectPopup.h"
#include "config/popups/MacroAssignmentPopup.h"
#include "config/popups/NameEntryPopup.h"
#include "config/popups/NumEntryPopup.h"
#include "config/popups/PredefinedMacroPopup.h"
#include "config/popups/PreviewPopup.h"
#include "config/popups/SingleKeyPopup.h"
#include "config/popups/WarningPopup.h"
#include "profile/MouseConfig.h"
#include "skin/ColourButton.h"
#include "skin/DpiStageWnd.h"
#include "skin/DropDownList.h"
#include "skin/LangTable.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
namespace skin = vt::skin;

namespace {

// A popup of any page file, for looking at what it holds.
class LookPopup : public CDmPagePopup {
public:
    using CDmPagePopup::CDmPagePopup;
};

struct Need { int id; int kind; };

struct FileCase {
    const wchar_t* file;
    bool popup;            // a GUIPANEL popup (else a page of the main window)
    std::vector<Need> needs;
};

const int B = skin::kKindBitmapBtn, T = skin::kKindTextItem, D = skin::kKindDropdownList, E = skin::kKindEditItem,
          L = skin::kKindListPanel;

std::vector<FileCase> Files() {
    std::vector<FileCase> files;
    for (const wchar_t* w : {L"ProfileLimitReachedPopup.xml", L"DuplicateProfileWarningPopup.xml", L"ExportProfileWarningPopup.xml",
                             L"ImporttProfileWarningPopup.xml", L"DisallowDeletePopup.xml", L"SelectApplicationWarningPopup.xml",
                             L"FileNameLengthLimitReachedPopUp.xml", L"DuplicateMacroWarningPopup.xml", L"ExportMacroWarningPopup.xml",
                             L"DefaultDelayWarningPopup.xml", L"FileErrorPopUp.xml", L"PathLengthLimitReachedPopUp.xml"})
        files.push_back({w, true, {{ctl::TEXT_WARNDLG_HEADING, T}, {ctl::BUTTON_POPUP_OK, B}}});
    for (const wchar_t* w : {L"ConfirmDeletePopup.xml", L"ConfirmDeleteMacroPopup.xml", L"RestoreAllPopup.xml"})
        files.push_back({w, true, {{ctl::TEXT_WARNDLG_HEADING, T}, {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    for (const wchar_t* w : {L"ProfileNamePopup.xml", L"ProfileRenamePopup.xml", L"MacroNamePopup.xml"})
        files.push_back({w, true, {{ctl::EDITCTRL_POPUP_NAMEENTRY, E}, {ctl::TEXT_WARNDLG_HEADING, T},
                                   {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    files.push_back({L"MacroRepeatEntryPopup.xml", true, {{ctl::EDITCTRL_POPUP_NUMENTRY, E}, {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    files.push_back({L"SelectProfilePopup.xml", true, {{ctl::LIST_DROPDOWN_POPUP, D}, {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    files.push_back({L"SelectMacroPopup.xml", true, {{ctl::LIST_DROPDOWN_POPUP, D}, {ctl::BUTTON_MACRO_PLAY_ONCE, B},
        {ctl::BUTTON_MACRO_PLAY_MULTIPLE, B}, {ctl::BUTTON_MACRO_PLAY_WHILEPRESSED, B}, {ctl::BUTTON_MACRO_PLAY_UNTILPRESSED, B},
        {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    files.push_back({L"AdvancedMacroPopup.xml", true, {{ctl::LIST_GLOBAL_BASIC_COMMANDS, D}, {ctl::LIST_GLOBAL_ADDITIONAL_COMMANDS, D},
        {ctl::BUTTON_ADD_BASIC_MACRO_CMDS, B}, {ctl::BUTTON_ADD_ADV_MACRO_CMDS, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    files.push_back({L"SingleKeyPopup.xml", true, {{ctl::EDITCTRL_POPUP_SINGLEKEYENTRY, skin::kKindEditItemSingleKey},
        {ctl::BUTTON_POPUP_OK, B}, {ctl::BUTTON_POPUP_CANCEL, B}}});
    FileCase preview{L"PreviewPopup.xml", true, {{ctl::BUTTON_DMMOUSE_LTMAIN_COLOR, skin::kKindDropdownColor},
        {ctl::BUTTON_DMMOUSE_LTSIDE_COLOR, skin::kKindDropdownColor}, {ctl::BUTTON_DMMOUSE_LTBASE_COLOR, skin::kKindDropdownColor},
        {ctl::TEXT_HEADING_MAIN, T}, {ctl::TEXT_HEADING_SIDE, T}, {ctl::TEXT_HEADING_BASE, T}, {ctl::TEXT_WARNDLG_HEADING, T},
        {ctl::BUTTON_POPUP_OK, B}}};
    for (int i = 0; i < 7; ++i) preview.needs.push_back({ctl::TEXT_PREVIEW_01 + i, T});
    for (int i = 0; i < 5; ++i) preview.needs.push_back({ctl::DPISTAGEWINDOW_01 + i, skin::kKindDPIStageWindow});
    files.push_back(preview);
    files.push_back({L"Mouse_MgProfs.xml", false, {{ctl::LIST_PROFILELIST, skin::kKindXListCtrl}, {ctl::LISTPANEL_PROFILEOPTIONS, L},
        {ctl::BUTTON_ENABLE_PROFILE_OSD, B}, {ctl::BUTTON_NEWPROFILE_MOUSE, B}, {ctl::BUTTON_IMPORTPROFILE_MOUSE, B},
        {ctl::BUTTON_EXPORTPROFILE_MOUSE, B}, {ctl::BUTTON_DELETEPROFILE_MOUSE, B}}});
    files.push_back({L"Keyboard_MgProfs.xml", false, {{ctl::LIST_PROFILELIST_KEYBOARD, skin::kKindXListCtrl},
        {ctl::LISTPANEL_PROFILEOPTIONS, L}, {ctl::BUTTON_ENABLE_PROFILE_OSD_KEYBOARD, B}, {ctl::BUTTON_NEWPROFILE_KEYBOARD, B},
        {ctl::BUTTON_IMPORTPROFILE_KEYBOARD, B}, {ctl::BUTTON_EXPORTPROFILE_KEYBOARD, B}, {ctl::BUTTON_DELETEPROFILE_KEYBOARD, B}}});
    files.push_back({L"Mouse_MgMcrs.xml", false, {{ctl::LIST_GLOBALMACROLIST, D}, {ctl::MACRO_DISPLAY, skin::kKindMacroDisplay},
        {ctl::LISTPANEL_MACROOPTIONS_KEYSTROKE, L}, {ctl::LISTPANEL_MACROOPTIONS_DELAY, L}, {ctl::LISTPANEL_MACROOPTIONS_MOUSECLICK, L},
        {ctl::BUTTON_MACRO_CREATE, B}, {ctl::BUTTON_MACRO_IMPORT, B}, {ctl::BUTTON_MACRO_EXPORT, B}, {ctl::BUTTON_MACRO_DELETE, B},
        {ctl::BUTTON_MACRO_RECORD, B}, {ctl::BUTTON_MACRO_ADVANCED, B}, {ctl::BUTTON_IGNORE_DELAY, B},
        {ctl::BUTTON_INSERTDEFAULT_DELAY, B}, {ctl::TEXT_IGNORE_DELAY, T}, {ctl::TEXT_INSERTDEFAULT_DELAY, T},
        {ctl::EDITCTRL_DEFAULT_DELAY, E}}});
    files.push_back({L"Keyboard_MgMcrs.xml", false, {{ctl::LIST_GLOBALMACROLIST_KEYBOARD, D},
        {ctl::MACRO_DISPLAY_KEYBOARD, skin::kKindMacroDisplay}, {ctl::LISTPANEL_MACROOPTIONS_KEYBOARD_KEYSTROKE, L},
        {ctl::LISTPANEL_MACROOPTIONS_KEYBOARD_DELAY, L}, {ctl::LISTPANEL_MACROOPTIONS_KEYBOARD_MOUSECLICK, L},
        {ctl::BUTTON_MACRO_CREATE_KEYBOARD, B}, {ctl::BUTTON_MACRO_IMPORT_KEYBOARD, B}, {ctl::BUTTON_MACRO_EXPORT_KEYBOARD, B},
        {ctl::BUTTON_MACRO_DELETE_KEYBOARD, B}, {ctl::BUTTON_MACRO_RECORD_KEYBOARD, B}, {ctl::BUTTON_MACRO_ADVANCED_KEYBOARD, B},
        {ctl::BUTTON_IGNORE_DELAY_KEYBOARD, B}, {ctl::BUTTON_INSERTDEFAULT_DELAY_KEYBOARD, B}, {ctl::TEXT_IGNORE_DELAY_KEYBOARD, T},
        {ctl::TEXT_INSERTDEFAULT_DELAY_KEYBOARD, T}, {ctl::EDITCTRL_DEFAULT_DELAY_KEYBOARD, E}}});
    return files;
}

std::wstring Shot(const wchar_t* file) {
    std::wstring name = L"config_popup_";
    name += file;
    return vt::test::OutputPath(name.substr(0, name.size() - 4) + L".bmp");
}

} // namespace

class PagePopupsWindow : public vt::test::WindowTest {
protected:
    static void SetUpTestSuite() { vt::skin::BuildVocabularyTables(); }
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageFolder().c_str()));
        UseLanguage(kEnglish);
    }
    static void TearDownTestSuite() { vt::skin::SetCurrentLanguageTable(nullptr); }
    static constexpr int kEnglish = vt::test::kEnglish, kGerman = vt::test::kGerman;
    static void UseLanguage(int id) { ASSERT_TRUE(vt::test::UseLanguage(id)); }
    // The window of a popup's item (edit fields sit inside a frame of their own).
    static HWND ItemHwnd(vt::skin::CGUIPanel& p, int id) { return ItemWindow(vt::skin::FindItem(p.Items(), id)); }
    // Clicks a button as the mouse does (it toggles itself first, then reports the click).
    static void Press(vt::skin::CGUIPanel& p, int id) {
        HWND b = ItemHwnd(p, id);
        ASSERT_NE(b, nullptr) << "no button " << id;
        SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
        SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
        PumpMessages(10, 200);
    }
    // Clicks a control of a modeless popup by its id.
    static void Click(HWND popup, int id) {
        HWND c = GetDlgItem(popup, id);
        ASSERT_NE(c, nullptr) << "no control " << id;
        SendMessageW(popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    }
    static void Show(vt::skin::CGUIPanel& p, const wchar_t* file) {
        ShowWindow(p.Hwnd(), SW_SHOW);
        PumpMessages(30, 500);
        vt::test::CaptureClient(p.Hwnd()).SaveBmp(Shot(file));
    }
};

TEST_F(PagePopupsWindow, EveryFileHoldsTheControlsTheCodeLooksFor) {
    LookPopup host(nullptr, L"FileErrorPopUp.xml");
    ASSERT_TRUE(host.CreatePanel());
    for (const FileCase& f : Files()) {
        std::unique_ptr<LookPopup> popup;
        vt::skin::CGUIItems page;
        const vt::skin::CGUIItems* items = &page;
        if (f.popup) {
            popup = std::make_unique<LookPopup>(nullptr, f.file);
            ASSERT_TRUE(popup->CreatePanel()) << f.file;
            EXPECT_NE(popup->Background(), nullptr) << f.file;
            items = &popup->Items();
            Show(*popup, f.file);
        } else {
            ASSERT_TRUE(page.LoadSkinPage(f.file, host.Hwnd())) << f.file;
        }
        for (const Need& n : f.needs) {
            vt::skin::CGUIItem* item = vt::skin::FindItem(*items, n.id);
            ASSERT_NE(item, nullptr) << f.file << " lacks " << n.id;
            EXPECT_EQ(item->m_kind, n.kind) << f.file << " " << n.id;
        }
        if (popup) DestroyWindow(popup->Hwnd());
        vt::skin::DeleteAllItems(page);
    }
}

TEST_F(PagePopupsWindow, NameEntryTakesTwentyCharactersAndCancelKeepsTheName) {
    std::wstring name = L"kept";
    {
        CDmNameEntryPopup p(nullptr, L"ProfileNamePopup.xml", name);
        ASSERT_TRUE(p.CreatePanel());
        HWND edit = ItemHwnd(p, ctl::EDITCTRL_POPUP_NAMEENTRY);
        ASSERT_NE(edit, nullptr);
        for (wchar_t c : std::wstring(L"abcdefghijklmnopqrstuvwxyz")) SendMessageW(edit, WM_CHAR, c, 0);
        Show(p, L"ProfileNamePopup.xml");
        Click(p.Hwnd(), ctl::BUTTON_POPUP_CANCEL);
        EXPECT_EQ(p.Result(), 2);
        EXPECT_EQ(name, L"kept");
    }
    {
        CDmNameEntryPopup p(nullptr, L"ProfileNamePopup.xml", name);
        ASSERT_TRUE(p.CreatePanel());
        HWND edit = ItemHwnd(p, ctl::EDITCTRL_POPUP_NAMEENTRY);
        for (wchar_t c : std::wstring(L"abcdefghijklmnopqrstuvwxyz")) SendMessageW(edit, WM_CHAR, c, 0);
        Click(p.Hwnd(), ctl::BUTTON_POPUP_OK);
        EXPECT_EQ(p.Result(), 1);
        EXPECT_EQ(name, L"abcdefghijklmnopqrst");
    }
    {
        CDmNameEntryPopup p(nullptr, name, L": Work");
        ASSERT_TRUE(p.CreatePanel());
        vt::skin::CGUIItem* heading = vt::skin::FindItem(p.Items(), ctl::TEXT_WARNDLG_HEADING);
        ASSERT_NE(heading, nullptr);
        const std::wstring text = GetItemText(heading);
        EXPECT_EQ(text.substr(text.size() - 6), L": Work");
        Show(p, L"ProfileRenamePopup.xml");
        Click(p.Hwnd(), ctl::BUTTON_POPUP_OK);   // empty edit: an empty name
        EXPECT_EQ(name, L"");
    }
}

TEST_F(PagePopupsWindow, NumberEntryParsesSignedDecimals) {
    struct Case { const wchar_t* text; int value; };
    for (const Case& c : {Case{L"", 0}, Case{L"12", 12}, Case{L"300", 300}}) {
        int n = -7;
        CDmNumEntryPopup p(nullptr, L"MacroRepeatEntryPopup.xml", n);
        ASSERT_TRUE(p.CreatePanel());
        SetWindowTextW(ItemHwnd(p, ctl::EDITCTRL_POPUP_NUMENTRY), c.text);
        if (!*c.text) Show(p, L"MacroRepeatEntryPopup.xml");
        Click(p.Hwnd(), ctl::BUTTON_POPUP_OK);
        EXPECT_EQ(n, c.value) << c.text;
    }
    for (const Case& c : {Case{L" 12", 12}, Case{L"-3", -3}, Case{L"7x", 7}, Case{L"abc", 0}}) EXPECT_EQ(ParseDecimal(c.text), c.value);
}

TEST_F(PagePopupsWindow, SelectionStartsOnTheFirstChoice) {
    std::wstring chosen = L"before";
    CDmDropdownSelectPopup p(nullptr, L"SelectProfilePopup.xml", {L"PROFILE01", L"Work"}, chosen);
    ASSERT_TRUE(p.CreatePanel());
    Show(p, L"SelectProfilePopup.xml");
    Click(p.Hwnd(), ctl::BUTTON_POPUP_OK);
    EXPECT_EQ(chosen, L"PROFILE01");
    std::wstring none = L"before";
    CDmDropdownSelectPopup empty(nullptr, L"SelectProfilePopup.xml", {}, none);
    ASSERT_TRUE(empty.CreatePanel());
    Click(empty.Hwnd(), ctl::BUTTON_POPUP_OK);
    EXPECT_EQ(none, L"before");
}

TEST_F(PagePopupsWindow, MacroAssignmentKeepsOnePlayModeSelected) {
    unsigned mode = 0;
    std::wstring chosen = L"absent";
    CDmMacroAssignmentPopup p(nullptr, mode, {L"Alpha", L"Beta", L"Beta"}, chosen);
    ASSERT_TRUE(p.CreatePanel());
    auto checked = [&](int id) {
        return IsChecked(BindButton(p.Items(), id));
    };
    EXPECT_TRUE(checked(ctl::BUTTON_MACRO_PLAY_ONCE));
    Show(p, L"SelectMacroPopup.xml");
    Press(p, ctl::BUTTON_MACRO_PLAY_MULTIPLE);
    EXPECT_EQ(mode, 2u);
    EXPECT_TRUE(checked(ctl::BUTTON_MACRO_PLAY_MULTIPLE));
    EXPECT_FALSE(checked(ctl::BUTTON_MACRO_PLAY_ONCE));
    // The selected button clicked again stays selected.
    Press(p, ctl::BUTTON_MACRO_PLAY_MULTIPLE);
    EXPECT_TRUE(checked(ctl::BUTTON_MACRO_PLAY_MULTIPLE));
    EXPECT_EQ(mode, 2u);
    Press(p, ctl::BUTTON_MACRO_PLAY_UNTILPRESSED);
    EXPECT_EQ(mode, 3u);
    Click(p.Hwnd(), ctl::BUTTON_POPUP_OK);
    EXPECT_EQ(chosen, L"Alpha");   // a name not in the list: the first macro
    EXPECT_EQ(mode, 3u);
    // Preselection compares exactly and the last match wins.
    std::wstring beta = L"Beta";
    unsigned m2 = 4;
    CDmMacroAssignmentPopup q(nullptr, m2, {L"beta", L"Beta", L"Gamma"}, beta);
    ASSERT_TRUE(q.CreatePanel());
    auto* list = BindItem<vt::skin::CDropdownListItem>(q.Items(), ctl::LIST_DROPDOWN_POPUP, vt::skin::kKindDropdownList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    EXPECT_TRUE(IsChecked(BindButton(q.Items(), ctl::BUTTON_MACRO_PLAY_WHILEPRESSED)));
}

TEST_F(PagePopupsWindow, PredefinedCommandsNeedAChoiceAndFillOnce) {
    CDmPredefinedMacroPopup p(nullptr);
    ASSERT_TRUE(p.CreatePanel());
    HWND h = p.Hwnd();
    Show(p, L"AdvancedMacroPopup.xml");
    Click(h, ctl::BUTTON_ADD_BASIC_MACRO_CMDS);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(p.ChosenName().empty());
    auto* basic = BindItem<vt::skin::CDropdownListItem>(p.Items(), ctl::LIST_GLOBAL_BASIC_COMMANDS, vt::skin::kKindDropdownList);
    ASSERT_NE(basic, nullptr);
    for (int i = 0; i < 2; ++i) SendMessageW(h, vt::skin::WM_DROPDOWN_OPENING, 0, LPARAM(basic->Hwnd()));
    std::vector<std::wstring> names;
    PredefinedMacros.ListPredefinedMacros(names);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(basic->m_entries.size(), names.size());
    basic->SelectEntry(1);
    Click(h, ctl::BUTTON_ADD_BASIC_MACRO_CMDS);
    EXPECT_EQ(p.Result(), 1);
    EXPECT_EQ(p.ChosenName(), names[1]);
}

TEST(PreviewLines, ActionsAndTheirDetails) {
    vt::skin::BuildVocabularyTables();
    CDmConfig_Mouse concrete;
    IMouseConfig* config = &concrete;
    IMouseProfile* work = config->CreateProfile(L"Work");
    GUID id{};
    id.Data1 = 77;
    work->SetId(id);
    CMacro* m = config->AddMacro(L"Combo");
    m->id.Data1 = 5;
    EXPECT_EQ(PreviewLine(MakeActionRecord(vt::profile::kKindMacro, m->id), config), L"$macro: Combo");
    GUID gone{};
    gone.Data1 = 6;
    EXPECT_EQ(PreviewLine(MakeActionRecord(vt::profile::kKindMacro, gone), config), L"$macro");
    EXPECT_EQ(PreviewLine(MakeNameActionRecord(vt::profile::kKindMacroByName, L"combo"), config), L"$macro: Combo");
    EXPECT_EQ(PreviewLine(MakeActionRecord(vt::profile::kKindProfile, id), config), L"$profile: Work");
    EXPECT_EQ(PreviewLine(MakeNameActionRecord(vt::profile::kKindProfileByName, L"Work"), config), L"$profile: Work");
    CMacro* longer = config->AddMacro(L"A much longer macro name");
    longer->id.Data1 = 9;
    EXPECT_EQ(PreviewLine(MakeActionRecord(vt::profile::kKindMacro, longer->id), config), L"$macro: A much longer ...");
    EXPECT_EQ(PreviewLine(MakeEmptyAssignment(), config), L"");
    EXPECT_STREQ(PreviewZoneState(1, 1), L"$APM");
    EXPECT_STREQ(PreviewZoneState(0, 1), L"$APM");
    EXPECT_STREQ(PreviewZoneState(1, 0), L"$On");
    EXPECT_STREQ(PreviewZoneState(0, 0), L"$Off");
}

TEST_F(PagePopupsWindow, PreviewShowsTheStagesInUse) {
    CDmConfig_Mouse concrete;
    IMouseConfig* config = &concrete;
    IMouseProfile* p = config->CreateProfile(L"Preview me");
    config->SetDpiStageCount(3, p);
    config->SetActiveDpiStage(2, p);
    config->SetLightFlag(3, 1, p);
    CDmPreviewPopup_Mouse popup(nullptr, p, config);
    popup.SetTitleText(L": Preview me");
    ASSERT_TRUE(popup.CreatePanel());
    Show(popup, L"PreviewPopup.xml");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(IsWindowVisible(GetDlgItem(popup.Hwnd(), ctl::DPISTAGEWINDOW_01 + i)) != FALSE, i < 3) << i;
    auto* active = BindItem<vt::skin::CDPIStageWindow>(popup.Items(), ctl::DPISTAGEWINDOW_02, vt::skin::kKindDPIStageWindow);
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->m_selected, 1);
    EXPECT_EQ(popup.Lines().size(), 7u);
    const std::wstring heading = GetItemText(vt::skin::FindItem(popup.Items(), ctl::TEXT_WARNDLG_HEADING));
    EXPECT_EQ(heading.substr(heading.size() - 12), L": Preview me");
    Click(popup.Hwnd(), ctl::BUTTON_POPUP_OK);
    EXPECT_EQ(popup.Result(), 1);
}

TEST_F(PagePopupsWindow, WarningsShowTheirTexts) {
    for (const wchar_t* file : {L"ConfirmDeletePopup.xml", L"ProfileLimitReachedPopup.xml", L"FileErrorPopUp.xml"}) {
        CDmWarningDlg w(nullptr, file, wcscmp(file, L"ConfirmDeletePopup.xml") == 0 ? L": Work" : nullptr);
        if (wcscmp(file, L"ProfileLimitReachedPopup.xml") == 0) w.SetMessageText(L"$CreateProfile");
        ASSERT_TRUE(w.CreatePanel());
        Show(w, file);
        DestroyWindow(w.Hwnd());
    }
    vt::skin::KeyEventRecord key;
    key.scanCode = 0x1C;
    key.virtualKey = VK_RETURN;
    CPopupBoxSingleKeyEntry k(nullptr, key);
    ASSERT_TRUE(k.CreatePanel());
    Show(k, L"SingleKeyPopup.xml");
    // The German texts.
    UseLanguage(kGerman);
    CDmWarningDlg german(nullptr, L"SelectApplicationWarningPopup.xml", L": Arbeit");
    ASSERT_TRUE(german.CreatePanel());
    Show(german, L"SelectApplicationWarningPopup_German.xml");
    EXPECT_NE(GetItemText(german.Heading()).find(L"Kein Programm"), std::wstring::npos);
}
