// The slider controls built from a page file: vertical slider, multi-thumb slider, lighting slider and
// level marker; what they report and how the lighting slider keeps its stages.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/ApmSlider.h"
#include "skin/LevelMarker.h"
#include "skin/Messages.h"
#include "skin/MultiSlider.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Slider.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

class CtlSliderPageWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    void SetUp() override {
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(460, 320));
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsSliders.xml", owner));
        PumpMessages();
    }
    void TearDown() override {
        DeleteAllItems(items);
        WindowTest::TearDown();
    }
    template <class T> T* Find(const wchar_t* name, int kind) {
        CGUIItem* item = FindItem(items, FindControlIdByName(name));
        return item && item->m_kind == kind ? static_cast<T*>(item) : nullptr;
    }
    // Drags a thumb (by messages) to x in its track's client coordinates.
    static void DragTo(CSliderBase& thumb, int trackX, int trackY) {
        SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        POINT p{trackX, trackY};
        MapWindowPoints(GetParent(thumb), thumb, &p, 1);
        SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        PumpMessages();
    }
};

} // namespace

TEST_F(CtlSliderPageWindowTest, PageBuildsEveryKindAndSkipsSliderWithoutTrack) {
    auto* track = Find<CSliderTrack>(L"BITMAP_SLSENSTRK_X", kKindSliderTrack);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->m_itemWindow, nullptr);
    auto* v = Find<CVertSlider>(L"SLIDER_MASTERVOLUME", kKindVertSlider);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(track->m_thumbItem, v);
    EXPECT_EQ(GetParent(*v), track->Hwnd());
    EXPECT_EQ(v->m_valueText, L"Vol 1");
    EXPECT_EQ(v->m_hoverText, L"Volume");
    EXPECT_EQ(FindItem(items, FindControlIdByName(L"SLIDER_BALANCEL")), nullptr);
    EXPECT_NE((Find<CSliderHMulti>(L"SLIDER_DPI_MULTI", kKindSliderHMulti)), nullptr);
    EXPECT_NE((Find<CAPMSlider>(L"SLIDER_APM_MULTI", kKindAPMSlider)), nullptr);
    EXPECT_NE((Find<CDMarker>(L"BUTTON_AUDIOLEVEL", kKindMarker)), nullptr);
    Capture cap = CaptureClient(owner);
    cap.SaveBmp(OutputPath(L"ctl_slider_page.bmp"));
}

TEST_F(CtlSliderPageWindowTest, VerticalSliderReportsThroughTrackToOwner) {
    auto* v = Find<CVertSlider>(L"SLIDER_MASTERVOLUME", kKindVertSlider);
    ASSERT_NE(v, nullptr);
    DragTo(*v, 10, 0);
    EXPECT_EQ(v->Value(), 32);
    auto set = owner.Of(WM_SLIDER_VALUE_SET);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].wParam, 32u);
    EXPECT_EQ(set[0].lParam, FindControlIdByName(L"SLIDER_MASTERVOLUME"));
    EXPECT_GE(owner.Count(WM_SLIDER_VALUE_CHANGING), 1u);
}

TEST_F(CtlSliderPageWindowTest, MultiSliderThumbsRangeMultiplierAndEnable) {
    auto* m = Find<CSliderHMulti>(L"SLIDER_DPI_MULTI", kKindSliderHMulti);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->Count(), 3u);
    EXPECT_EQ(m->Thumb(0)->m_controlId, FindControlIdByName(L"SLIDER_DPI_MULTI_STAGE1"));
    EXPECT_EQ(m->Thumb(2)->m_controlId, FindControlIdByName(L"SLIDER_DPI_MULTI_STAGE3"));
    EXPECT_EQ(m->Thumb(0)->m_kind, kKindThumb);
    m->Thumb(0)->SetSliderValue(32);
    m->Thumb(1)->SetSliderValue(32);
    EXPECT_EQ(m->Thumb(0)->m_valueText, L"3200");
    EXPECT_EQ(m->Thumb(1)->m_valueText, L"32");
    m->Thumb(0)->SetSliderValue(1);
    EXPECT_EQ(m->Thumb(0)->Position(), 0);

    DragTo(*m->Thumb(2), 120, 10);
    auto set = owner.Of(WM_SLIDER_VALUE_SET);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].lParam, FindControlIdByName(L"SLIDER_DPI_MULTI_STAGE3"));

    m->Enable(false);
    EXPECT_FALSE(IsWindowEnabled(*m->Thumb(1)));
    const int before = m->Thumb(1)->Value();
    DragTo(*m->Thumb(1), 200, 10);
    EXPECT_EQ(m->Thumb(1)->Value(), before);
    m->Enable(true);
    EXPECT_TRUE(IsWindowEnabled(*m->Thumb(1)));
    m->SetRange(0, 401);
    m->Thumb(1)->SetSliderValue(401);
    EXPECT_EQ(m->Thumb(1)->Value(), 401);
}

TEST_F(CtlSliderPageWindowTest, MarkerDragPostsOnlyOnRelease) {
    auto* mk = Find<CDMarker>(L"BUTTON_AUDIOLEVEL", kKindMarker);
    ASSERT_NE(mk, nullptr);
    SendMessageW(*mk, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(*mk, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 5));
    PumpMessages();
    EXPECT_EQ(owner.Count(WM_MARKER_MOVED), 0u);
    EXPECT_EQ(mk->m_value, 7);
    // Release at left + 110 of 200 pixels: 5 of 0..10.
    SendMessageW(*mk, WM_LBUTTONUP, 0, MAKELPARAM(110, 5));
    PumpMessages();
    ASSERT_EQ(owner.Count(WM_MARKER_MOVED), 1u);
    EXPECT_EQ(owner.Of(WM_MARKER_MOVED)[0].wParam, 5u);
    EXPECT_EQ(owner.Of(WM_MARKER_MOVED)[0].lParam, FindControlIdByName(L"BUTTON_AUDIOLEVEL"));
    // Left and right of the bar.
    EXPECT_EQ(mk->ValueFromPoint({-30, 5}), 0);
    EXPECT_EQ(mk->ValueFromPoint({400, 5}), 10);
    mk->SetRange(3, 3);
    EXPECT_EQ(mk->ValueFromPoint({100, 5}), 3);
    InvalidateRect(*mk, nullptr, FALSE);
    UpdateWindow(*mk);
}

TEST_F(CtlSliderPageWindowTest, ApmStagesSplitRemoveAndDefaults) {
    auto* s = Find<CAPMSlider>(L"SLIDER_APM_MULTI", kKindAPMSlider);
    ASSERT_NE(s, nullptr);
    // The page that uses the slider takes its reports (the bitmap item it lives in passes on commands only).
    s->m_owner = owner;
    EXPECT_EQ(s->StageCount(), 1u);
    EXPECT_EQ(s->TickerCount(), 0u);
    s->SetRange(0, 401);
    s->m_crossOver = 1;
    ASSERT_TRUE(s->InsertStage(0, RGB(255, 0, 0), RGB(0, 255, 0)));
    EXPECT_EQ(s->TickerValue(0), 200);
    COLORREF c;
    int lo, hi;
    ASSERT_TRUE(s->GetStage(0, c, lo, hi));
    EXPECT_EQ(c, RGB(0, 255, 0));
    ASSERT_TRUE(s->GetStage(1, c, lo, hi));
    EXPECT_EQ(c, RGB(255, 0, 0));
    EXPECT_EQ(lo, 200);
    EXPECT_EQ(hi, 401);
    ASSERT_TRUE(s->InsertStage(1, RGB(0, 0, 255), RGB(9, 9, 9)));
    ASSERT_TRUE(s->SetStage(0, RGB(1, 1, 1), 0, 100));
    ASSERT_TRUE(s->SetStage(2, RGB(2, 2, 2), 200, 401));
    s->RestrictTickersCrossOver();
    int expected[3][2] = {{0, 100}, {100, 200}, {200, 401}};
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(s->GetStage(i, c, lo, hi));
        EXPECT_EQ(lo, expected[i][0]);
        EXPECT_EQ(hi, expected[i][1]);
    }
    EXPECT_FALSE(s->GetStage(3, c, lo, hi));
    // A click at a ticker's exact value counts for the stage above it.
    RECT rc;
    GetClientRect(*s, &rc);
    EXPECT_EQ(s->StageAt(int(100LL * rc.right / 401) + 1), 1u);
    SendMessageW(*s, WM_LBUTTONUP, 0, MAKELPARAM(rc.right - 2, 5));
    PumpMessages();
    ASSERT_GE(owner.Count(WM_APM_STAGE_CLICKED), 1u);
    EXPECT_EQ(owner.Of(WM_APM_STAGE_CLICKED)[0].wParam, 2u);

    ASSERT_TRUE(s->InsertStage(2, RGB(3, 3, 3), RGB(4, 4, 4)));
    ASSERT_TRUE(s->SetDefaultStages());
    EXPECT_EQ(s->TickerValue(0), 100);
    EXPECT_EQ(s->TickerValue(1), 200);
    EXPECT_EQ(s->TickerValue(2), 300);
    ASSERT_TRUE(s->RemoveStage(3));
    EXPECT_EQ(s->TickerCount(), 2u);
    ASSERT_TRUE(s->GetStage(2, c, lo, hi));
    EXPECT_EQ(hi, 401);
    ASSERT_TRUE(s->RemoveStage(0));
    ASSERT_TRUE(s->RemoveStage(0));
    EXPECT_FALSE(s->RemoveStage(0));   // the last stage stays
    EXPECT_EQ(s->StageCount(), 1u);
}

TEST_F(CtlSliderPageWindowTest, ApmDefaultColoursAndCapsOnTheDefaultRange) {
    auto* s = Find<CAPMSlider>(L"SLIDER_APM_MULTI", kKindAPMSlider);
    ASSERT_NE(s, nullptr);
    // The page that uses the slider takes its reports (the bitmap item it lives in passes on commands only).
    s->m_owner = owner;
    s->m_crossOver = 1;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(s->InsertStage(s->StageCount() - 1, RGB(200, 0, 0), RGB(0, 0, 200)));
    s->SetStageColour(3, RGB(1, 2, 3));
    ASSERT_TRUE(s->SetDefaultStageColors());
    COLORREF c;
    s->GetStageColor(0, c);
    EXPECT_EQ(c, RGB(0, 0, 0));
    s->GetStageColor(1, c);
    EXPECT_EQ(c, RGB(32, 32, 32));
    s->GetStageColor(2, c);
    EXPECT_EQ(c, RGB(64, 64, 64));
    s->GetStageColor(3, c);
    EXPECT_EQ(c, RGB(1, 2, 3));

    // Range 1..32: the first ticker can reach value 1 + gap and the last 32 - gap.
    s->m_gap = 0;
    s->RestrictTickersCrossOver();
    CAPMTicker* first = s->Ticker(0);
    CAPMTicker* last = s->Ticker(2);
    DragTo(*first, -50, 5);
    EXPECT_EQ(first->Value(), 1);
    DragTo(*last, 5000, 5);
    EXPECT_EQ(last->Value(), 32);
    // With gap 2 a middle ticker stays within [left + 2, right - 2].
    s->m_gap = 2;
    s->SetStage(0, 0, 1, 10);
    s->SetStage(3, 0, 20, 32);
    s->SetTickerCapRanges();
    CAPMTicker* mid = s->Ticker(1);
    DragTo(*mid, -50, 5);
    EXPECT_EQ(mid->Value(), 12);
    DragTo(*mid, 5000, 5);
    EXPECT_EQ(mid->Value(), 18);
    EXPECT_GE(owner.Count(WM_SLIDER_VALUE_CHANGING), 1u);
    for (auto& m : owner.Of(WM_SLIDER_VALUE_CHANGING)) EXPECT_EQ(m.lParam, -1);
    Capture cap = CaptureClient(*s);
    cap.SaveBmp(OutputPath(L"ctl_apm.bmp"));
}

TEST_F(CtlSliderPageWindowTest, ApmZeroRangeAndZeroWidth) {
    auto* s = Find<CAPMSlider>(L"SLIDER_APM_MULTI", kKindAPMSlider);
    ASSERT_NE(s, nullptr);
    // The page that uses the slider takes its reports (the bitmap item it lives in passes on commands only).
    s->m_owner = owner;
    s->SetRange(5, 5);
    s->m_crossOver = 1;
    EXPECT_TRUE(s->InsertStage(0, 1, 2));
    EXPECT_TRUE(s->SetDefaultStages());
    EXPECT_TRUE(s->SetDefaultStageColors());
    s->RestrictTickersCrossOver();
    EXPECT_EQ(s->TickerValue(0), 5);
    SendMessageW(*s, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    SetWindowPos(*s, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(*s, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    InvalidateRect(*s, nullptr, FALSE);
    PumpMessages();
    EXPECT_EQ(s->StageAt(0), 1u);
}
