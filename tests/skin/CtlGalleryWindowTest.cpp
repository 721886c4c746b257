// The control gallery page: every control kind built at once, filled, shown, hidden and shown again.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "gallery/GalleryFill.h"
#include "skin/LangTable.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"

using namespace vt::skin;
using namespace vt::test;

TEST(CtlGalleryWindowTest, EveryKindIsBuiltAndShown) {
    BuildVocabularyTables();
    ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
    RecorderWindow owner;
    ASSERT_TRUE(owner.Open(820, 620, 0, 0));
    CGUIItems language;
    vt::gallery::LoadGalleryLanguage(language, owner);
    CGUIItems items;
    ASSERT_TRUE(LoadSkinPage(items, L"ControlsGallery.xml", owner));
    vt::gallery::FillGallery(items);
    const int kinds[] = {kKindBitmapItem, kKindBitmapBtn, kKindAVIButton, kKindProfileBtn, kKindVertSlider,
                         kKindMarker, kKindSliderHMulti, kKindAPMSlider, kKindMacroDisplay, kKindTextItem,
                         kKindDropdownList, kKindDropdownColor, kKindListPanel, kKindXListCtrl, kKindEditItem,
                         kKindEditItemSingleKey, kKindDPIStageWindow, kKindKeyboardKey, kKindSliderTrack};
    for (int kind : kinds) {
        bool found = false;
        for (CGUIItem* item : items.m_items) found = found || item->m_kind == kind;
        EXPECT_TRUE(found) << "kind " << kind;
    }
    PumpMessages(60, 1500);
    Capture cap = CaptureClient(owner);
    cap.SaveBmp(OutputPath(L"ctl_gallery.bmp"));
    // Hiding the page hides the frames and scroll bars of the lists with them.
    auto* list = vt::gallery::Item<CXListCtrl>(items, L"LIST_PROFILELIST", kKindXListCtrl);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->Cell(0, vt::skin::kColProfileCurrent), nullptr);
    EXPECT_EQ(list->Cell(0, vt::skin::kColProfileCurrent)->check, 1);
    EXPECT_NE(list->m_columns[vt::skin::kColProfileCurrent].checked, nullptr);
    RECT cell = list->GetCellRect(0, 0);
    EXPECT_GT(cell.right - cell.left, 10) << cell.left << " " << cell.right;
    ShowAllItems(items, 0);
    EXPECT_FALSE(IsWindowVisible(list->Frame()));
    EXPECT_FALSE(IsWindowVisible(list->ScrollBar()->Hwnd()));
    ShowAllItems(items, 1);
    EXPECT_TRUE(IsWindowVisible(list->Frame()));
    DeleteAllItems(items);
    SetCurrentLanguageTable(nullptr);
    DeleteAllItems(language);
    owner.Destroy();
}
