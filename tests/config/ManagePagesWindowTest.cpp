// The manage-profiles and manage-macros pages in the main window on fake devices: their page
// buttons show them with the model's data, their buttons and the list's notifications run the
// commands and mark the device changed, and a screenshot of each page.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "PagesFixture.h"
#include "config/Items.h"
#include "config/MainDlg.h"
#include "config/Registry.h"
#include "config/pages/MacroPage.h"
#include "config/pages/PageTable.h"
#include "config/pages/ProfilePage.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/LangTable.h"
#include "skin/Messages.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::config;
using namespace vt::profile;
using vt::test::PumpMessages;

class ManagePagesWindow : public vt::test::PagesFixture {
protected:
    void SetUp() override {
        vt::test::WindowTest::SetUp();
        SetUpFolder();
        for (const wchar_t* n : {L"PROFILE01", L"Work", L"Games"}) mouse->CreateProfile(n);
        mouse->SetCurrentProfile(mouse->GetProfileAt(1));
        keyboard->CreateProfile(L"PROFILE01");
        CMacro* m = mouse->AddMacro(L"Combo");
        m->events = {MakeKeyEvent(0x1E, 'A', kKeyDown, 0), MakeDelayEvent(40), MakeKeyEvent(0x1E, 'A', kKeyUp, 0),
                     MakeMouseEvent(1, kKeyDown), MakeMouseEvent(1, kKeyUp)};
        devices = std::make_unique<vt::test::FakePageDevices>(mouse, keyboard);
        OpenWindow(*devices);
        PumpMessages(30, 800);
    }
    int Rows(int listId) { return int(SendMessageW(Control(listId), LVM_GETITEMCOUNT, 0, 0)); }

    std::unique_ptr<vt::test::FakePageDevices> devices;
};

TEST_F(ManagePagesWindow, ProfilePageListsTheProfilesAndRunsItsCommands) {
    Click(ctl::BUTTON_MANAGEPROFILES);
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseProfiles);
    EXPECT_TRUE(IsWindowVisible(Control(ctl::LIST_PROFILELIST)));
    EXPECT_EQ(Rows(ctl::LIST_PROFILELIST), 3);
    auto* page = static_cast<CDmItems_Mouse_MGP*>(dlg->Page(kPageMouseProfiles));
    ASSERT_NE(page->List(), nullptr);
    EXPECT_EQ(page->List()->CellText(1, 1), L"Work");
    EXPECT_EQ(page->SelectedKey(), 1);   // the current profile's row
    Shot(L"config_page_mouse_profiles.bmp");
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));

    popups.name = L"Fresh";
    Click(ctl::BUTTON_NEWPROFILE_MOUSE);
    EXPECT_EQ(Rows(ctl::LIST_PROFILELIST), 4);
    EXPECT_EQ(mouse->GetCurrentProfile(), mouse->GetProfileAt(3));
    EXPECT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_APPLY)));

    // The row menu's "$Copy" on row 0, as the list reports it.
    MenuChoice(0, L"$Copy");
    EXPECT_EQ(Rows(ctl::LIST_PROFILELIST), 5);
    EXPECT_EQ(std::wstring(mouse->GetProfileAt(4)->GetName()), L"PROFILE01(2)");
    // The auto-switch box of a profile without a program.
    BYTE on = 1;
    vt::skin::ListNotifyRecord click{2, 4, LPARAM(&on)};
    SendMessageW(dlg->Hwnd(), vt::skin::WM_XLIST_CELL_CLICKED, WPARAM(Control(ctl::LIST_PROFILELIST)), LPARAM(&click));
    ASSERT_FALSE(popups.calls.empty());
    EXPECT_EQ(popups.Last()->file, L"SelectApplicationWarningPopup.xml");
    Shot(L"config_page_mouse_profiles_after.bmp");

    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    Click(ctl::BUTTON_MANAGEPROFILES_KEYBOARD);
    ASSERT_EQ(dlg->CurrentPageId(), kPageKeyboardProfiles);
    EXPECT_EQ(Rows(ctl::LIST_PROFILELIST_KEYBOARD), 1);
    Shot(L"config_page_keyboard_profiles.bmp");
}

TEST_F(ManagePagesWindow, MacroPageShowsTheChosenMacro) {
    Click(ctl::BUTTON_MANAGEMACROS);
    ASSERT_EQ(dlg->CurrentPageId(), kPageMouseMacros);
    auto* page = static_cast<CDmItems_Mouse_MGM*>(dlg->Page(kPageMouseMacros));
    EXPECT_FALSE(IsWindowEnabled(Control(ctl::BUTTON_MACRO_RECORD)));
    // Chosen in the drop-down.
    page->SelectEntry(0);
    HWND list = Control(ctl::LIST_GLOBALMACROLIST);
    SendMessageW(dlg->Hwnd(), vt::skin::WM_DROPDOWN_SELCHANGE, 0, LPARAM(list));
    PumpMessages(20, 300);
    ASSERT_NE(page->Display(), nullptr);
    EXPECT_EQ(page->Display()->RowCount(), 5);
    EXPECT_TRUE(IsWindowEnabled(Control(ctl::BUTTON_MACRO_RECORD)));
    Shot(L"config_page_mouse_macros.bmp");
    // The delay options exclude each other.
    HWND delay = ItemWindow(vt::skin::FindItem(*page, ctl::EDITCTRL_DEFAULT_DELAY));
    EXPECT_FALSE(IsWindowEnabled(delay));
    Press(ctl::BUTTON_INSERTDEFAULT_DELAY);
    EXPECT_TRUE(IsWindowEnabled(delay));
    Press(ctl::BUTTON_IGNORE_DELAY);
    EXPECT_FALSE(IsWindowEnabled(delay));
    EXPECT_EQ(page->Display()->m_noDelays, 1);
    EXPECT_EQ(page->Display()->m_fixedDelayOn, 0);

    Click(ctl::BUTTON_PRODSELECT_KEYBOARD);
    Click(ctl::BUTTON_MANAGEMACROS_KEYBOARD);
    ASSERT_EQ(dlg->CurrentPageId(), kPageKeyboardMacros);
    Shot(L"config_page_keyboard_macros.bmp");
}

