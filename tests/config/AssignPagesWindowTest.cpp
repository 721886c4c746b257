// The assign-buttons and assign-keys pages in the main window on fake devices: their page files
// hold the controls the code looks for, the drop-downs and keys show the model, choices reach the
// model through the controls' notifications; the single-key popup as a real window (Escape and
// Return captured as keys); screenshots of the pages and the popup.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "PagesFixture.h"
#include "AssignFixture.h"
#include "skin/KeyboardLayout.h"
#include "skin/KeyEvents.h"
#include <thread>
#include "config/Items.h"
#include "config/pages/AssignRules.h"
#include "config/pages/MouseButtonsPage.h"
#include "config/pages/PageTable.h"
#include "config/popups/SingleKeyPopup.h"
#include "skin/DropDownList.h"
#include "skin/ListPanel.h"
#include "skin/Messages.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using namespace vt::profile;
using vt::test::PumpMessages;
using vt::test::PumpUntil;
namespace skin = vt::skin;

namespace {

// What the drop-downs' lists answer (no modal loop in the tests).
int g_listAnswer = -1;
int AnswerList(skin::CListPanel&) { return g_listAnswer; }

} // namespace

class AssignPagesWindow : public vt::test::PagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        for (const wchar_t* n : {L"PROFILE01", L"Work"}) mouse->CreateProfile(n);
        mouse->SetCurrentProfile(mouse->GetProfileAt(0));
        mouse->AddMacro(L"Combo");
        keyboard->CreateProfile(L"PROFILE01");
        devices = std::make_unique<vt::test::FakePageDevices>(mouse, keyboard);
        OpenWindow(*devices);
        PumpMessages(30, 800);
    }
    AssignmentRecord Button(int b) {
        AssignmentRecord r = MakeEmptyAssignment();
        mouse->GetButtonAssignment(&r, b, nullptr);
        return r;
    }
    skin::CDropdownListItem* Dropdown(int id) {
        auto* page = dlg->Page(kPageMouseButtons);
        return page ? BindItem<skin::CDropdownListItem>(*page, id, skin::kKindDropdownList) : nullptr;
    }
    // Opens a drop-down as a click does and lets its list answer `entry`.
    void Choose(int id, int entry) {
        skin::CDropdownListItem* d = Dropdown(id);
        ASSERT_NE(d, nullptr);
        d->m_runList = &AnswerList;
        g_listAnswer = entry;
        SendMessageW(d->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PumpMessages(20, 300);
    }
    int EntryOf(int id, const wchar_t* name) {
        skin::CDropdownListItem* d = Dropdown(id);
        for (size_t i = 0; d && i < d->m_entries.size(); ++i)
            if (d->m_entries[i].name == name) return int(i);
        return -1;
    }

    std::unique_ptr<vt::test::FakePageDevices> devices;
};

TEST_F(AssignPagesWindow, MouseButtonsPageShowsAndEditsTheAssignments) {
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseButtons);   // the mouse's first page
    for (const MouseButtonRow& row : MouseButtonRows()) {
        skin::CDropdownListItem* d = Dropdown(row.control);
        ASSERT_NE(d, nullptr) << row.control;
        EXPECT_TRUE(IsWindowVisible(d->Hwnd()));
        EXPECT_EQ(d->m_entries.size(), row.button >= 10 ? 6u : 15u);
    }
    EXPECT_EQ(Dropdown(ctl::BUTTON_ASSNLEFTCLICK)->ShownText(), L"Left click");
    Shot(L"config_page_mouse_buttons.bmp");

    // The only left click cannot leave button 1: the warning, and the drop-down shows left click.
    Choose(ctl::BUTTON_ASSNLEFTCLICK, EntryOf(ctl::BUTTON_ASSNLEFTCLICK, L"$RightClick"));
    EXPECT_EQ(popups.Warnings(), std::vector<std::wstring>{L"NoClickPopup.xml"});
    EXPECT_EQ(Button(1).kind, 1);
    EXPECT_EQ(Dropdown(ctl::BUTTON_ASSNLEFTCLICK)->ShownText(), L"Left click");
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));

    // A macro from the sub-list: the opening fills it, the choice names the macro.
    auto* page = dlg->Page(kPageMouseButtons);
    auto* macros = BindItem<skin::CListPanelItem>(*page, ctl::LISTPANEL_ASSIGNSUBMENU_MA, skin::kKindListPanel);
    auto* profiles = BindItem<skin::CListPanelItem>(*page, ctl::LISTPANEL_ASSIGNSUBMENU_PR, skin::kKindListPanel);
    ASSERT_NE(macros, nullptr);
    ASSERT_NE(profiles, nullptr);
    macros->RefreshList({MakeEntryRecord(L"Combo", 0, nullptr)});
    macros->SelectEntry(0);
    Choose(ctl::BUTTON_ASSNLSIDEFRONT, EntryOf(ctl::BUTTON_ASSNLSIDEFRONT, L"$macro"));
    EXPECT_EQ(Button(6).kind, kKindMacroByName);
    EXPECT_EQ(PayloadText(Button(6)), L"Combo");
    EXPECT_EQ(Dropdown(ctl::BUTTON_ASSNLSIDEFRONT)->ShownText(), L"Macro: Combo");
    EXPECT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));
    ASSERT_EQ(profiles->m_entries.size(), 1u);   // every profile but the current one
    EXPECT_EQ(profiles->m_entries[0].name, L"Work");
    Shot(L"config_page_mouse_buttons_macro.bmp");

    // Another profile shows its own assignments.
    Choose(ctl::BUTTON_DROPDOWN_PROFILESELECT, 1);
    EXPECT_EQ(std::wstring(mouse->GetCurrentProfile()->GetName()), L"Work");
    EXPECT_EQ(Dropdown(ctl::BUTTON_ASSNLSIDEFRONT)->ShownText().find(L"Combo"), std::wstring::npos);
}

// ---- The assign-keys page and the single-key popup -------------------------------------------

class AssignKeysWindow : public vt::test::AssignFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        mouse->CreateProfile(L"PROFILE01");
        keyboard->CreateProfile(L"PROFILE01");
        devices = std::make_unique<vt::test::FakePageDevices>(mouse, keyboard);
        OpenWindow(*devices);
        PumpMessages(30, 800);
        Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
        ASSERT_EQ(dlg->CurrentPageId(), kPageKeyboardKeys);   // the keyboard's first page
    }
    void TearDown() override {
        AssignFixture::TearDown();
        skin::ReleaseKeyboardLayout();
        skin::DeleteAllItems(layouts);
        vt::test::UseLanguage(vt::test::kEnglish);
    }
    std::vector<int32_t> EnabledOptions() {
        std::vector<int32_t> out;
        const auto& entries = KeysPage()->Options()->m_entries;
        const auto options = KeyOptions(keyboard, true);
        for (size_t i = 0; i < entries.size() && i < options.size(); ++i)
            if (entries[i].extra == 0) out.push_back(options[i].action);
        return out;
    }

    std::unique_ptr<vt::test::FakePageDevices> devices;
    skin::CGUIItems layouts;
};

TEST_F(AssignKeysWindow, HoverShowsTheAssignmentAndOptionsAssignTheSelectedKey) {
    CDmItems_Keyboard_ASK* page = KeysPage();
    ASSERT_NE(page, nullptr);
    // Without a layout setting the keys are the default layout's.
    EXPECT_EQ(page->KeysPage(), L"KeyboardKeysANSI.xml");
    size_t keys = 0;
    for (CGUIItem* item : page->Keys().m_items)
        if (item->m_kind == skin::kKindKeyboardKey) {
            ++keys;
            EXPECT_TRUE(IsWindowVisible(static_cast<skin::CKeyboardKeyItem*>(item)->Hwnd()));
        }
    EXPECT_EQ(keys, 109u);
    ASSERT_EQ(page->Options()->m_entries.size(), 5u);
    EXPECT_TRUE(EnabledOptions().empty()) << "options greyed while no key is selected";

    // Hover: the key window names the action and the key.
    Hover(L"BUTTON_KB_F1");
    EXPECT_EQ(KeyWindowText(), L"Default | F1");
    Hover(L"BUTTON_KB_A");
    EXPECT_EQ(KeyWindowText().rfind(L"Default | ", 0), 0u);

    // Select: highlighted, the options open (no macro, one profile: those two stay grey).
    PressKeyItem(L"BUTTON_KB_F1");
    EXPECT_EQ(page->SelectedKey(), KeyItem(L"BUTTON_KB_F1"));
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F1")->m_highlight, 1);
    EXPECT_EQ(page->KeyWindow()->m_selected, 1);
    EXPECT_EQ(EnabledOptions(), (std::vector<int32_t>{0, 5, 62}));
    // While selected the key window keeps the selected key.
    Hover(L"BUTTON_KB_A");
    EXPECT_EQ(KeyWindowText(), L"Default | F1");
    // A second press deselects.
    PressKeyItem(L"BUTTON_KB_F1");
    EXPECT_EQ(page->SelectedKey(), nullptr);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F1")->m_highlight, 0);
    EXPECT_TRUE(EnabledOptions().empty());
    // So does a click on the window's frame.
    PressKeyItem(L"BUTTON_KB_F2");
    SendMessageW(dlg->Hwnd(), WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    EXPECT_EQ(page->SelectedKey(), nullptr);

    // A single key: the keyboard in mode 2 while the popup listens; the key is marked, the
    // selection cleared, Apply offered.
    popups.singleKey = {L"F5", 0x3F, VK_F5, 0};
    devices->keyboard.modes.clear();
    AssignKey(L"BUTTON_KB_F1", kKindSingleKey);
    EXPECT_TRUE(AssignmentsEqual(KeyRecord(L"BUTTON_KB_F1"), SingleKeyRecord(0x3F, VK_F5, false)));
    EXPECT_EQ(devices->keyboard.modes, (std::vector<int>{2, 1}));
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F1")->Checked(), 1);
    EXPECT_EQ(page->SelectedKey(), nullptr);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F1")->m_highlight, 0);
    EXPECT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));
    Hover(L"BUTTON_KB_F2");
    Hover(L"BUTTON_KB_F1");
    EXPECT_EQ(KeyWindowText(), L"Single key | F5");

    // A program to launch, through the open dialog.
    files.chosen = L"C:\\Games\\Play.exe";
    AssignKey(L"BUTTON_KB_F2", kKindLaunchProgram);
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F2").kind, kKindLaunchProgramAlias);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F2")->Checked(), 1);
    Hover(L"BUTTON_KB_F2");
    EXPECT_EQ(KeyWindowText(), L"Launch program | Play.exe");

    // A macro and a profile once there is one to choose; the macro 3 times.
    keyboard->AddMacro(L"Combo");
    keyboard->CreateProfile(L"Work");
    page->Refresh();
    PressKeyItem(L"BUTTON_KB_F3");
    EXPECT_EQ(EnabledOptions(), (std::vector<int32_t>{0, 5, 21, 6, 62}));
    PressKeyItem(L"BUTTON_KB_F3");
    popups.macroChosen = L"Combo";
    popups.macroMode = 2;
    popups.counts = {{1, 3}};
    AssignKey(L"BUTTON_KB_F3", kKindMacro);
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F3").kind, kKindMacroByName);
    EXPECT_EQ(MacroMode(KeyRecord(L"BUTTON_KB_F3")), 2);
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F3").payload[kMacroFlagOffset], 3);
    popups.profileChosen = L"Work";
    AssignKey(L"BUTTON_KB_F4", kKindProfile);
    EXPECT_EQ(PayloadText(KeyRecord(L"BUTTON_KB_F4")), L"Work");
    Hover(L"BUTTON_KB_F4");
    EXPECT_EQ(KeyWindowText(), L"Profile | Work");
    Hover(L"BUTTON_KB_F3");
    Shot(L"config_page_keyboard_keys.bmp");

    // Back to its default: the mark goes.
    AssignKey(L"BUTTON_KB_F1", kKindDefaultKey);
    EXPECT_EQ(KeyRecord(L"BUTTON_KB_F1").kind, kKindDefaultKey);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F1")->Checked(), 0);
    // Restore all asks first, naming the profile; then every mark goes.
    popups.calls.clear();
    Click(ctl::BUTTON_RESET_KEYBOARD_KEYS);
    ASSERT_EQ(popups.Warnings(), std::vector<std::wstring>{L"RestoreAllPopup.xml"});
    EXPECT_EQ(popups.calls.back().message, L"|: PROFILE01");
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F2")->Checked(), 0);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_F3")->Checked(), 0);
}

TEST_F(AssignKeysWindow, GermanLayoutShowsItsKeysAndTexts) {
    // The layout as the program loads it once the keyboard is open: the German keyboard.
    // The window opened afresh in German, as the program starts.
    dlg.reset();
    ASSERT_TRUE(skin::LoadSkinPage(layouts, L"KeyboardLayout.xml", nullptr));
    skin::LoadKeyboardLayout(skin::FindKeyboardLayoutControlId(3));
    ASSERT_TRUE(vt::test::UseLanguage(vt::test::kGerman));
    OpenWindow(*devices);
    PumpMessages(30, 800);
    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    ASSERT_EQ(dlg->CurrentPageId(), kPageKeyboardKeys);
    EXPECT_EQ(KeysPage()->KeysPage(), L"KeyboardKeysISO.xml");
    ASSERT_NE(KeyItem(L"BUTTON_KB_EU2_NOTE2"), nullptr);
    EXPECT_EQ(KeyItem(L"BUTTON_KB_Y")->m_caption, L"Z");
    EXPECT_TRUE(IsWindowVisible(KeyItem(L"BUTTON_KB_Y")->Hwnd()));
    popups.singleKey = {L"F5", 0x3F, VK_F5, 0};
    AssignKey(L"BUTTON_KB_Y", kKindSingleKey);
    Hover(L"BUTTON_KB_Y");
    EXPECT_EQ(KeyWindowText().find(L" | F5"), KeyWindowText().size() - 5);
    RepaintAll(dlg->Hwnd());
    Shot(L"config_page_keyboard_keys_german.bmp");
}

TEST_F(AssignKeysWindow, SingleKeyPopupTakesEscapeAndReturnAsKeys) {
    // Escape and Return typed into the field are keys: the popup stays open; OK clicked closes it
    // with the last key.
    {
        SingleKeyPopup popup;
        vt::test::SingleKeyTyper typer(dlg->Hwnd(), {{VK_ESCAPE, false}, {VK_RETURN, false}}, ctl::BUTTON_POPUP_OK);
        const INT_PTR answer = popup.Show(dlg->Hwnd());
        typer.Join();
        ASSERT_TRUE(typer.found);
        EXPECT_EQ(answer, 1);
        EXPECT_TRUE(typer.closedByButton);
        ASSERT_EQ(typer.shown.size(), 2u);
        EXPECT_EQ(typer.shown[0], skin::GetKeyDisplayName(VK_ESCAPE, 0x01, false));
        EXPECT_EQ(typer.openAfter, (std::vector<bool>{true, true}));
        EXPECT_EQ(popup.Key().virtualKey, VK_RETURN);
        EXPECT_EQ(popup.Key().scanCode, 0x1C);
        EXPECT_EQ(popup.Key().displayName, typer.shown[1]);
    }
    // A letter, then Cancel clicked: nothing chosen.
    {
        SingleKeyPopup popup;
        vt::test::SingleKeyTyper typer(dlg->Hwnd(), {{'A', false}}, ctl::BUTTON_POPUP_CANCEL);
        const INT_PTR answer = popup.Show(dlg->Hwnd());
        typer.Join();
        ASSERT_TRUE(typer.found);
        EXPECT_EQ(answer, 2);
        EXPECT_TRUE(typer.closedByButton);
        EXPECT_EQ(typer.shown, std::vector<std::wstring>{L"A"});
    }
    // The screenshot: a key in the field, the popup over the keyboard page.
    SingleKeyPopup popup;
    HWND main = dlg->Hwnd();
    HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
    std::thread shot([&] {
        SetThreadDesktop(desktop);
        HWND h = nullptr;
        if (!vt::test::WaitFor([&] { return (h = vt::test::FindProcessWindowWith(ctl::EDITCTRL_POPUP_SINGLEKEYENTRY, main)) != nullptr; }, 10000)) {
            if (HWND other = vt::test::FindProcessWindowWith(0, main))
                PostMessageW(other, WM_COMMAND, MAKEWPARAM(ctl::BUTTON_POPUP_CANCEL, BN_CLICKED), 0);
            return;
        }
        HWND field = vt::test::FindDescendant(h, ctl::EDITCTRL_POPUP_SINGLEKEYENTRY);
        vt::test::WaitFor([&] {
            GUITHREADINFO info{sizeof(info)};
            return GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info) && info.hwndFocus == field;
        }, 5000);
        vt::test::PressKey(VK_F5);
        vt::test::WaitFor([&] { return !vt::test::WindowText(field).empty(); }, 5000);
        // The field has painted the key's name (white text on its dark ground).
        vt::test::WaitFor([&] {
            const vt::test::Capture c = vt::test::CaptureClient(field);
            for (COLORREF p : c.pixels)
                if (GetRValue(p) > 200 && GetGValue(p) > 200 && GetBValue(p) > 200) return true;
            return false;
        }, 3000);
        vt::test::CaptureClient(h).SaveBmp(vt::test::OutputPath(L"config_popup_single_key.bmp"));
        HWND ok = vt::test::FindDescendant(h, ctl::BUTTON_POPUP_OK);
        PostMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(ok, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        if (!vt::test::WaitFor([&] { return !IsWindow(h); }, 5000))
            PostMessageW(h, WM_COMMAND, MAKEWPARAM(ctl::BUTTON_POPUP_CANCEL, BN_CLICKED),
                         LPARAM(vt::test::FindDescendant(h, ctl::BUTTON_POPUP_CANCEL)));
    });
    const INT_PTR answer = popup.Show(dlg->Hwnd());
    shot.join();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(popup.Key().virtualKey, VK_F5);
}
