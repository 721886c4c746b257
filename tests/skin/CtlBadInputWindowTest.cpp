// Bad input for every control kind: missing bitmaps, zero sizes, empty lists, out-of-range values and
// repeated keys. The page builds what it can, and every control takes input and paints without failing.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "gallery/GalleryFill.h"
#include "skin/ListPanel.h"
#include "skin/PageReader.h"
#include "skin/ProgramFolder.h"
#include "skin/TextItems.h"

using namespace vt::skin;
using namespace vt::test;

TEST(CtlBadInputWindowTest, BrokenPageBuildsAndSurvivesInput) {
    BuildVocabularyTables();
    ASSERT_TRUE(InitProgramFolder(ImageFolder().c_str()));
    RecorderWindow owner;
    ASSERT_TRUE(owner.Open(300, 200));
    CGUIItems items;
    ASSERT_TRUE(LoadSkinPage(items, L"ControlsBroken.xml", owner));
    // The multi-slider without STAGE children and the colour button without a rectangle build nothing.
    EXPECT_EQ(FindItem(items, FindControlIdByName(L"SLIDER_DPI_MULTI_X")), nullptr);
    for (CGUIItem* item : items.m_items) {
        HWND w = item->m_itemWindow && item->m_itemWindow != kNoWindow ? item->m_itemWindow : nullptr;
        if (!w || !IsWindow(w)) continue;
        // A drop-down opens its list modally: it answers at once here.
        if (item->m_kind == kKindDropdownList) static_cast<CDropdownListItem*>(item)->m_runList = [](CListPanel&) { return 3; };
        for (UINT msg : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN), UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONUP),
                         UINT(WM_LBUTTONDBLCLK), UINT(WM_RBUTTONDOWN)})
            SendMessageW(w, msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(3, 3));
        SendMessageW(w, WM_KEYDOWN, VK_DOWN, 0);
        SendMessageW(w, WM_VSCROLL, SB_LINEDOWN, 0);
        SendMessageW(w, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0);
        InvalidateRect(w, nullptr, TRUE);
        UpdateWindow(w);
    }
    ReleaseCapture();
    PumpMessages(30, 800);
    using vt::gallery::Item;
    if (auto* s = Item<CAPMSlider>(items, L"SLIDER_APM_MULTI", kKindAPMSlider)) {
        s->InsertStage(0, 1, 2);
        s->SetDefaultStages();
        s->SetDefaultStageColors();
        EXPECT_FALSE(s->SetStage(7, 0, 0, 0));
        EXPECT_FALSE(s->RemoveStage(9));
        UpdateWindow(*s);
    }
    if (auto* list = Item<CXListCtrl>(items, L"LIST_PROFILELIST", kKindXListCtrl)) {
        for (int i = 0; i < 3; ++i) list->InsertRow(0);   // three rows with the key 0
        EXPECT_EQ(list->FindRowByKey(0), 0);
        EXPECT_TRUE(list->SetItemTextByKey(0, kColProfileName, L"first"));
        EXPECT_FALSE(list->SetItemCheckByKey(5, 1));
        list->SetRowColors(99, 0, 0, 0, 0);
        std::vector<std::wstring> none;
        if (ListCell* c = list->Cell(0, kColProfileName)) {
            c->combo = 1;
            c->choices = &none;   // an empty choice list
        }
        list->PressComboCell(0, 1);
        UpdateWindow(*list);
    }
    if (auto* md = Item<CMacroDisplayItem>(items, L"LIST_GLOBALMACROLIST", kKindMacroDisplay)) {
        md->SelectRow(-1);
        md->RunMacroCommand(L"$Delete");
        md->RunMacroCommand(L"$Edit");
        md->RunMacroCommand(L"$InsertDelay");
        EXPECT_FALSE(md->ReplaceEventAt(-1, MacroEvent{}));
    }
    if (auto* combo = Item<CDropdownListItem>(items, L"BUTTON_DROPDOWN_PROFILESELECT", kKindDropdownList)) {
        EXPECT_EQ(combo->SelectEntry(0), 0);
        EXPECT_EQ(combo->GetEntryText(0), L"");
    }
    if (auto* panel = Item<CListPanelItem>(items, L"LISTPANEL_PROFILEOPTIONS", kKindListPanel)) {
        EXPECT_EQ(panel->SelectEntry(0), 0);
        EXPECT_EQ(panel->GetEntryText(-3), L"");
    }
    ShowAllItems(items, 0);
    ShowAllItems(items, 1);
    DeleteAllItems(items);
    owner.Destroy();
}
