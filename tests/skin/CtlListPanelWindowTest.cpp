// Drop-down lists and list panels built from a page file; the popup list is driven while it runs modally.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>
#include <stdexcept>
#include "CtlTestSupport.h"
#include "skin/DropDownList.h"
#include "skin/ListPanel.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

// What to do with the popup list once it runs (it holds the mouse capture).
std::function<void(HWND list)> g_popupAction;
void CALLBACK DrivePopup(HWND, UINT, UINT_PTR id, DWORD) {
    HWND list = GetCapture();
    if (!list || !g_popupAction) return;
    KillTimer(nullptr, id);
    auto action = std::move(g_popupAction);
    g_popupAction = nullptr;
    action(list);
}
void WhenPopupRuns(std::function<void(HWND)> action) {
    g_popupAction = std::move(action);
    SetTimer(nullptr, 0, 60, &DrivePopup);
}
void ClickRow(HWND list, int row) {
    RECT r{LVIR_BOUNDS};
    SendMessageW(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(&r));
    const LPARAM p = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
    SendMessageW(list, WM_MOUSEMOVE, 0, p);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, p);
}

class CtlListPanelWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    CDropdownListItem* combo = nullptr;
    CListPanelItem* inlinePanel = nullptr;
    CListPanelItem* sub = nullptr;
    void SetUp() override {
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(420, 260));
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsLists.xml", owner));
        combo = static_cast<CDropdownListItem*>(FindItem(items, FindControlIdByName(L"BUTTON_DROPDOWN_PROFILESELECT")));
        inlinePanel = static_cast<CListPanelItem*>(FindItem(items, FindControlIdByName(L"LISTPANEL_PROFILEOPTIONS")));
        sub = static_cast<CListPanelItem*>(FindItem(items, FindControlIdByName(L"LISTPANEL_ASSIGNSUBMENU_PR")));
        ASSERT_TRUE(combo && inlinePanel && sub);
        ASSERT_EQ(combo->m_kind, kKindDropdownList);
        ASSERT_EQ(sub->m_kind, kKindListPanel);
        PumpMessages();
    }
    void TearDown() override {
        g_popupAction = nullptr;
        DeleteAllItems(items);
        WindowTest::TearDown();
    }
};

} // namespace

TEST_F(CtlListPanelWindowTest, ComboEntriesAndLookups) {
    EXPECT_EQ(FindItem(items, FindControlIdByName(L"BUTTON_DROPDOWN_EQ_PRESETSELECT")), nullptr);   // no CLIST
    ASSERT_EQ(combo->m_entries.size(), 7u);
    EXPECT_EQ(combo->GetEntryText(0), L"Alpha");
    EXPECT_EQ(combo->GetEntryText(3), L"");
    EXPECT_EQ(combo->GetEntryText(7), L"");
    EXPECT_EQ(combo->GetEntryText(-1), L"");
    EXPECT_EQ(combo->m_listHeight, 90);
    EXPECT_GT(combo->m_scrollWidth, 0);
    EXPECT_EQ(combo->m_tooltip.Text(), L"Pick one");
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    EXPECT_EQ(combo->SelectEntry(2), 1);
    EXPECT_EQ(combo->GetSelectedIndex(), 0);   // two entries of one text: the first
    EXPECT_EQ(combo->SelectEntry(7), 0);
    EXPECT_EQ(combo->FindEntry(0x2, L"Bravo"), 1);
    EXPECT_EQ(combo->FindEntry(0x1, L"Bravo"), -1);
    EXPECT_THROW(combo->EntryAt(99), std::out_of_range);
    combo->ClearEntries();
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    EXPECT_EQ(combo->ShownText(), L"Alpha");
    EXPECT_FALSE(combo->InsertEntry(-1, L"x"));
    EXPECT_TRUE(combo->InsertEntry(5, L"x"));
    EXPECT_EQ(combo->GetEntryText(0), L"x");
}

TEST_F(CtlListPanelWindowTest, ClickOpensPopupAndReportsChoice) {
    WhenPopupRuns([](HWND list) { ClickRow(list, 1); });
    ClickClient(*combo, 20, 10);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_DROPDOWN_SELCHANGE) == 1; }, 5000));
    ASSERT_GE(owner.messages.size(), 2u);
    EXPECT_EQ(owner.Of(WM_DROPDOWN_OPENING)[0].lParam, LPARAM(combo->Hwnd()));
    EXPECT_EQ(owner.Of(WM_DROPDOWN_SELCHANGE)[0].wParam, 1u);
    EXPECT_EQ(owner.Of(WM_DROPDOWN_SELCHANGE)[0].lParam, LPARAM(combo->Hwnd()));
    EXPECT_EQ(combo->m_current, L"Bravo");
    EXPECT_EQ(combo->m_open, 0);
    // Cancelled with a right click, then with Escape: nothing chosen.
    owner.messages.clear();
    WhenPopupRuns([](HWND list) { SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, 0); });
    SendMessageW(*combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(owner.Count(WM_DROPDOWN_OPENING), 1u);
    EXPECT_EQ(owner.Count(WM_DROPDOWN_SELCHANGE), 0u);
    WhenPopupRuns([](HWND list) { SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0); });
    SendMessageW(*combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(owner.Count(WM_DROPDOWN_SELCHANGE), 0u);
    EXPECT_EQ(combo->m_current, L"Bravo");
    // A double click does not open the list a second time; a disabled drop-down does not open.
    SendMessageW(*combo, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    combo->m_disabled = 1;
    SendMessageW(*combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(owner.Count(WM_DROPDOWN_OPENING), 2u);
}

TEST_F(CtlListPanelWindowTest, EntryWithSubListShowsTheSubChoice) {
    combo->ClearEntries();
    combo->AddEntry(L"Profiles", sub->Handle());
    combo->AddEntry(L"Plain");
    combo->m_runList = [](CListPanel&) { return 0; };
    SendMessageW(*combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(owner.Count(WM_DROPDOWN_SELCHANGE), 0u);   // the sub-list has no choice yet
    sub->SelectEntry(1);
    SendMessageW(*combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_EQ(owner.Count(WM_DROPDOWN_SELCHANGE), 1u);
    EXPECT_EQ(combo->ShownText(), L"Profiles: Mike");
    std::wstring detail;
    EXPECT_EQ(combo->GetCurrentEntry(detail), 0);
    EXPECT_EQ(detail, L"Mike");
    // A result past the entries (the list changed meanwhile) is ignored.
    combo->m_runList = [](CListPanel&) { return 9; };
    SendMessageW(*combo, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(owner.Count(WM_DROPDOWN_SELCHANGE), 1u);
}

TEST_F(CtlListPanelWindowTest, PopupListIsSortedAndAnswersTheEntryIndex) {
    int result = -2;
    WhenPopupRuns([](HWND list) {
        LVITEMW it{LVIF_PARAM};
        it.iItem = 0;
        SendMessageW(list, LVM_GETITEMW, 0, LPARAM(&it));
        EXPECT_EQ(it.lParam, 2);   // "alpha" sorts first
        ClickRow(list, 0);
    });
    result = RunListPanelPopup(owner, *sub, 0, 10, 10);
    EXPECT_EQ(result, 2);
    // An empty sub-list marks its entry disabled; it cannot be chosen.
    CListPanelItem empty;
    std::vector<EntryRecord> entries(2);
    entries[0].name = L"Nothing";
    entries[0].value = empty.Handle();
    entries[1].name = L"Something";
    CListPanelItem host;
    host.m_width = 100;
    host.m_height = 60;
    host.RefreshList(entries);
    SetCursorPos(1000, 740);   // the real pointer must not make a row hot
    WhenPopupRuns([](HWND list) { ClickRow(list, 0); });
    result = RunListPanelPopup(owner, host, 0, 0, 0);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(host.m_entries[0].extra, 1);
}

TEST_F(CtlListPanelWindowTest, InlineListReportsClicksAndSelection) {
    ASSERT_TRUE(inlinePanel->m_inline);
    CListPanelList& list = *inlinePanel->m_inline;
    EXPECT_EQ(list.RowCount(), 3);
    ClickRow(list, 1);
    PumpMessages();
    auto sel = owner.Of(WM_LISTPANEL_SELCHANGE);
    ASSERT_EQ(sel.size(), 1u);
    EXPECT_EQ(sel[0].wParam, 1u);
    EXPECT_EQ(sel[0].lParam, FindControlIdByName(L"LISTPANEL_PROFILEOPTIONS"));
    EXPECT_EQ(inlinePanel->SelectEntry(2), 1);
    EXPECT_EQ(inlinePanel->GetSelectedIndex(), 2);
    EXPECT_EQ(list.m_selected, 2);
    EXPECT_EQ(inlinePanel->SelectEntry(3), 0);
    EXPECT_EQ(inlinePanel->SelectEntry(-1), 1);
    EXPECT_EQ(inlinePanel->GetSelectedIndex(), -1);
    EXPECT_EQ(sub->SelectEntry(-1), 0);   // no inline list
    ReleaseCapture();
    Capture cap = CaptureClient(owner);
    cap.SaveBmp(OutputPath(L"ctl_lists.bmp"));
}
