// The extended list control built from a page file: rows, cells, clicks, the context menu, in-place
// editing, combo cells and scrolling.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/ExtListCtrl.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

struct Note {
    UINT msg;
    int key;
    int column;
    std::wstring text;
    int byteValue = -1;
};

int g_menuChoice = -1;
int FakeMenu(HWND, CListPanelItem&, POINT) { return g_menuChoice; }
bool FakeOpen(HWND, std::wstring& path) {
    path = L"C:\\Games\\Dune\\dune.exe";
    return true;
}

class CtlExtListWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    CXListCtrl* list = nullptr;
    std::vector<Note> notes;
    void SetUp() override {
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(460, 300));
        owner.onMessage = [this](const RecordedMessage& m) -> LRESULT {
            if (m.msg == WM_XLIST_ROW_CLICKED) notes.push_back({m.msg, int(m.wParam), -1, L""});
            else if (m.msg >= WM_XLIST_APP_CHANGED && m.msg <= WM_XLIST_EDIT_END && m.msg != WM_LISTPANEL_DONE) {
                auto* r = reinterpret_cast<const ListNotifyRecord*>(m.lParam);
                Note n{m.msg, r->key, r->column, L""};
                if (m.msg == WM_XLIST_CELL_CLICKED) n.byteValue = *reinterpret_cast<const BYTE*>(r->value);
                else if (r->value) n.text = reinterpret_cast<const wchar_t*>(r->value);
                notes.push_back(n);
            }
            return 0;
        };
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsExtList.xml", owner));
        ASSERT_EQ(items.Count(), 1u);
        list = static_cast<CXListCtrl*>(items.At(0));
        ASSERT_EQ(list->m_kind, kKindXListCtrl);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(list->InsertRow(i), i);
            list->SetItemTextByKey(i, kColProfileName, (L"Profile " + std::to_wstring(i)).c_str());
            list->Cell(i, kColProfileCurrent)->check = i == 0 ? 1 : 0;
            list->Cell(i, kColAutoSwitch)->check = 0;
        }
        PumpMessages();
    }
    void TearDown() override {
        DeleteAllItems(items);
        WindowTest::TearDown();
    }
    POINT CellCentre(int row, int position) {
        RECT r = list->GetCellRect(row, position);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Click(POINT p) { SendMessageW(*list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y)); SendMessageW(*list, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
};

} // namespace

TEST_F(CtlExtListWindowTest, BuildColumnsAndRows) {
    EXPECT_EQ(list->ColumnCount(), 5);
    EXPECT_EQ(list->m_sorted, 1) << "the element's sorted=\"yes\" is kept";
    EXPECT_EQ(list->GetColumnIdAt(3), kColProfileExe);
    EXPECT_EQ(list->GetColumnIdAt(-1), -1);
    EXPECT_EQ(list->GetColumnIdAt(9), -1);
    EXPECT_EQ(list->AddColumn(L"x", kColProfileName, kCellStatic, L"", 10, 0, nullptr, nullptr, nullptr), -1);
    for (int id = 100; id < 105; ++id) EXPECT_GE(list->AddColumn(L"x", id, kCellStatic, L"", 10, 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(list->AddColumn(L"x", 200, kCellStatic, L"", 10, 0, nullptr, nullptr, nullptr), -1);   // the eleventh
    EXPECT_EQ(list->AddColumn(L"x", -1, kCellStatic, L"", 10, 0, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(list->FindRowByKey(2), 2);
    EXPECT_EQ(list->FindRowByKey(-1), -1);
    EXPECT_EQ(list->FindRowByKey(7), -1);
    EXPECT_FALSE(list->SetItemTextByKey(7, kColProfileName, L"x"));
    EXPECT_FALSE(list->SetItemTextByKey(0, 55, L"x"));
    EXPECT_EQ(list->InsertRow(-1), -1);
    // A key that repeats: the first row of that key is found.
    ASSERT_EQ(list->InsertRow(0), 0);
    EXPECT_EQ(list->FindRowByKey(0), 0);
    EXPECT_EQ(list->RowCount(), 4);
    EXPECT_TRUE(list->GetCellRect(9, 0).right == 0);
    EXPECT_EQ(list->GetSelectedKey(), -1);
}

// Two lists of the same page: each keeps the column whose tooltip it shows.
TEST_F(CtlExtListWindowTest, EachListKeepsItsOwnTooltipColumn) {
    CGUIItems secondItems;
    ASSERT_TRUE(LoadSkinPage(secondItems, L"ControlsExtList.xml", owner));
    ASSERT_EQ(secondItems.Count(), 1u);
    auto* second = static_cast<CXListCtrl*>(secondItems.At(0));
    ASSERT_EQ(second->InsertRow(0), 0);
    const POINT checkColumn = CellCentre(0, 0), nameColumn = CellCentre(0, 2);

    SendMessageW(*list, WM_MOUSEMOVE, 0, MAKELPARAM(checkColumn.x, checkColumn.y));
    EXPECT_EQ(list->m_tooltip.Text(), L"Active\r\nprofile");
    SendMessageW(*second, WM_MOUSEMOVE, 0, MAKELPARAM(checkColumn.x, checkColumn.y));
    EXPECT_EQ(second->m_tooltip.Text(), L"Active\r\nprofile") << "the second list over the same column";

    SendMessageW(*list, WM_MOUSEMOVE, 0, MAKELPARAM(nameColumn.x, nameColumn.y));
    EXPECT_EQ(list->m_tooltip.Text(), L"");
    EXPECT_EQ(second->m_tooltip.Text(), L"Active\r\nprofile") << "moving over one list leaves the other alone";
    DeleteAllItems(secondItems);
}

TEST_F(CtlExtListWindowTest, CheckCellsToggleExclusiveAndReport) {
    Click(CellCentre(1, 4));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_CELL_CLICKED);
    EXPECT_EQ(notes[0].key, 1);
    EXPECT_EQ(notes[0].column, 4);
    EXPECT_EQ(notes[0].byteValue, 1);
    EXPECT_EQ(notes[1].msg, WM_XLIST_ROW_CLICKED);
    EXPECT_EQ(list->GetSelectedKey(), 1);
    Click(CellCentre(1, 4));
    EXPECT_EQ(notes[2].byteValue, 0);
    notes.clear();
    // Exclusive: clicking the checked row changes nothing; another row takes the check.
    Click(CellCentre(0, 0));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_ROW_CLICKED);
    Click(CellCentre(2, 0));
    EXPECT_EQ(list->Cell(2, kColProfileCurrent)->check, 1);
    EXPECT_EQ(list->Cell(0, kColProfileCurrent)->check, 0);
    EXPECT_EQ(list->CountCheckedCells(kColProfileCurrent), 1);
    // A click beside the 12-pixel check area is a row click only.
    notes.clear();
    RECT r = list->GetCellRect(1, 4);
    Click(POINT{r.left + 1, (r.top + r.bottom) / 2});
    ASSERT_EQ(notes.size(), 1u);
    // A disabled row takes no press.
    Click(CellCentre(2, 2));
    notes.clear();
    list->Cell(1, kColProfileCurrent)->enabled = 0;   // the first cell carries the row's flag
    Click(CellCentre(1, 2));
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(list->GetSelectedKey(), 2);
    EXPECT_TRUE(list->SetItemCheckByKey(2, 1));
    EXPECT_EQ(list->Cell(2, kColAutoSwitch)->check, 1);
}

TEST_F(CtlExtListWindowTest, ContextMenuAssignUnassignAndOtherChoices) {
    CListPanelItem menu;
    std::vector<EntryRecord> entries(3);
    entries[0].name = L"$AssignApplication";
    entries[1].name = L"$UnassignApplication";
    entries[2].name = L"$Rename";
    menu.RefreshList(entries);
    list->m_contextMenu = &menu;
    list->m_runMenu = &FakeMenu;
    list->m_openFile = &FakeOpen;
    const POINT p = CellCentre(1, 2);
    g_menuChoice = 0;
    SendMessageW(*list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_APP_CHANGED);
    EXPECT_EQ(notes[0].column, 3);
    EXPECT_EQ(notes[0].text, L"C:\\Games\\Dune\\dune.exe");
    EXPECT_EQ(list->CellText(1, 3), L"dune.exe");
    notes.clear();
    list->SetItemCheckByKey(1, 1);
    g_menuChoice = 1;
    SendMessageW(*list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_APP_CHANGED);
    EXPECT_EQ(notes[0].text, L"");
    EXPECT_EQ(notes[1].msg, WM_XLIST_CELL_CLICKED);
    EXPECT_EQ(notes[1].column, 4);
    EXPECT_EQ(notes[1].byteValue, 0);
    EXPECT_EQ(list->CellText(1, 3), L"");
    EXPECT_EQ(list->Cell(1, kColAutoSwitch)->check, 0);
    notes.clear();
    g_menuChoice = 2;
    SendMessageW(*list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    g_menuChoice = -1;
    SendMessageW(*list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_CELL_CHOICE);
    EXPECT_EQ(notes[0].text, L"$Rename");
    EXPECT_EQ(notes[1].text, L"");
    list->m_contextMenu = nullptr;
}

TEST_F(CtlExtListWindowTest, DoubleClickAndInPlaceEdit) {
    const POINT p = CellCentre(2, 2);
    SendMessageW(*list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_SUBITEM_DBLCLK);
    EXPECT_EQ(notes[0].key, 2);
    EXPECT_EQ(notes[0].column, 2);
    notes.clear();
    ASSERT_TRUE(list->BeginEdit(2, 2));
    SetWindowTextW(list->m_edit, L"Renamed");
    SendMessageW(list->m_edit, WM_KEYDOWN, VK_ESCAPE, 0);   // cancelled: nothing stored
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->CellText(2, 2), L"Profile 2");
    EXPECT_TRUE(notes.empty());
    ASSERT_TRUE(list->BeginEdit(2, 2));
    SetWindowTextW(list->m_edit, L"Renamed");
    SendMessageW(list->m_edit, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].msg, WM_XLIST_EDIT_END);
    EXPECT_EQ(notes[0].text, L"Renamed");
    EXPECT_EQ(list->CellText(2, 2), L"Renamed");
    // Unchanged text: no report.
    ASSERT_TRUE(list->BeginEdit(2, 2));
    EXPECT_FALSE(list->EndEdit(true));
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_FALSE(list->BeginEdit(9, 2));
}

TEST_F(CtlExtListWindowTest, ComboCellChoiceAndProgressDrawing) {
    std::vector<std::wstring> choices{L"Low", L"", L"Medium", L"High"};
    ListCell* c = list->Cell(0, kColProfileExe);
    c->combo = 1;
    c->choices = &choices;
    c->dropHeight = 3;
    ListCell* prog = list->Cell(1, kColProfileExe);
    prog->progress = 1;
    prog->percent = 40;
    list->Cell(2, kColProfileName)->bold = 1;
    Click(CellCentre(0, 2));   // select the row: the combo shows its button
    RECT r = list->GetCellRect(0, 3);
    Click(POINT{r.right - 3, (r.top + r.bottom) / 2});
    ASSERT_NE(list->ComboList(), nullptr);
    HWND lb = list->ComboList()->ListBox();
    EXPECT_EQ(SendMessageW(lb, LB_GETCOUNT, 0, 0), 3);   // the empty choice is left out
    EXPECT_EQ(list->CellText(0, 3), L"Low");               // an empty cell takes the first entry
    SendMessageW(lb, LB_SETCURSEL, 2, 0);
    SendMessageW(lb, WM_LBUTTONUP, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return list->ComboList() == nullptr; }));
    EXPECT_EQ(list->CellText(0, 3), L"High");
    // Letter keys with no entry after the selection send nothing.
    PumpMessages();
    Capture cap = CaptureClient(list->Frame());
    cap.SaveBmp(OutputPath(L"ctl_extlist.bmp"));
}

TEST_F(CtlExtListWindowTest, ScrollsWithTheSkinnedBar) {
    for (int i = 3; i < 60; ++i) list->InsertRow(i);
    ASSERT_NE(list->ScrollBar(), nullptr);
    SendMessageW(*list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), 0);
    EXPECT_EQ(ListView_GetTopIndex(*list), 20);
    SendMessageW(*list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    EXPECT_EQ(ListView_GetTopIndex(*list), 0);
    SendMessageW(*list, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-240)), 0);
    PumpMessages();
    EXPECT_EQ(ListView_GetTopIndex(*list), 2);
    EXPECT_GT(list->ScrollBar()->ThumbPosition(), list->ScrollBar()->TrackTop() - 1);
    // Emptied: nothing to scroll, no division by zero.
    ListView_DeleteAllItems(*list);
    SendMessageW(*list, WM_VSCROLL, SB_LINEDOWN, 0);
    list->ScrollBar()->SyncThumbPosition();
    EXPECT_EQ(list->ScrollBar()->ThumbPosition(), list->ScrollBar()->TrackTop());
}
