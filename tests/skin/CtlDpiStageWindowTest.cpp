// DPI stage tiles built from a page file: stage numbers, selection reports and drawing modes.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/DpiStageWnd.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {
class CtlDpiStageWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    CDPIStageWindow* first = nullptr;
    CDPIStageWindow* third = nullptr;
    void SetUp() override {
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(320, 110));
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsDpi.xml", owner));
        ASSERT_EQ(items.Count(), 2u);
        first = static_cast<CDPIStageWindow*>(FindItem(items, FindControlIdByName(L"DPISTAGEWINDOW_01")));
        third = static_cast<CDPIStageWindow*>(FindItem(items, FindControlIdByName(L"DPISTAGEWINDOW_02")));
        ASSERT_TRUE(first && third);
        ASSERT_EQ(third->m_kind, kKindDPIStageWindow);
    }
    void TearDown() override {
        DeleteAllItems(items);
        WindowTest::TearDown();
    }
};
} // namespace

TEST_F(CtlDpiStageWindowTest, ClickSelectsOnceAndReportsStageNumber) {
    EXPECT_EQ(first->m_stageNumber, 1);
    EXPECT_EQ(third->m_stageNumber, 3);
    PumpMessages();
    ClickClient(*third, 40, 40);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_DPI_STAGE_SELECTED) == 1; }));
    EXPECT_EQ(owner.Of(WM_DPI_STAGE_SELECTED)[0].wParam, 3u);
    EXPECT_EQ(owner.Of(WM_DPI_STAGE_SELECTED)[0].lParam, FindControlIdByName(L"DPISTAGEWINDOW_02"));
    EXPECT_EQ(third->m_selected, 1);
    SendMessageW(*third, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(owner.Count(WM_DPI_STAGE_SELECTED), 1u);
    third->m_selected = 0;
    SendMessageW(*third, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(owner.Count(WM_DPI_STAGE_SELECTED), 2u);
    first->m_clickable = 0;
    SendMessageW(*first, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(owner.Count(WM_DPI_STAGE_SELECTED), 2u);
}

TEST_F(CtlDpiStageWindowTest, HeadingBreaksFirstLineOnlyAndValuesDraw) {
    EXPECT_EQ(third->m_heading, L"Stage\r\n3\\nx");
    EXPECT_EQ(first->m_tooltip.Text(), L"Stage one");
    first->m_dpi = 1600;
    first->m_ready = 1;
    third->m_separateXY = 1;
    third->m_xDpi = 800;
    third->m_yDpi = 400;
    third->m_ready = 1;
    first->Refresh();
    third->Refresh();
    PumpMessages();
    Capture cap = CaptureClient(owner);
    cap.SaveBmp(OutputPath(L"ctl_dpi.bmp"));
    // Not ready: nothing drawn over the black erase; ready: the frame's edge colour shows.
    Capture tile = CaptureClient(*first);
    EXPECT_FALSE(SameColor(tile.At(0, 40), RGB(0, 0, 0)));
}
