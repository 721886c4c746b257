// The assign-buttons and assign-keys pages in the main window on fake devices: their page files
// hold the controls the code looks for, the drop-downs and keys show the model, choices reach the
// model through the controls' notifications; the single-key popup as a real window (Escape and
// Return captured as keys); screenshots of the pages and the popup.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include "PagesFixture.h"
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
