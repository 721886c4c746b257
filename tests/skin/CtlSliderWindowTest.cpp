// Sliders: a track with a vertical or horizontal thumb, driven by messages and by real clicks.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/Messages.h"
#include "skin/Slider.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

class CtlSliderWindowTest : public WindowTest {
protected:
    RecorderWindow owner;
    CSliderTrack track{SliderFill{RGB(0, 200, 0), RECT{0, 0, 200, 20}}};
    void SetUp() override { ASSERT_TRUE(owner.Open()); }

    void MakeTrack(const RECT& r) {
        track.m_controlId = 300;
        ASSERT_TRUE(track.Create(r, owner));
        track.m_owner = owner;
        track.SetImage(SolidBitmap(r.right - r.left, r.bottom - r.top, RGB(40, 40, 60)));
    }
    // Drags a thumb by messages: down at its centre, moves to track points, up.
    void Drag(CSliderBase& thumb, std::initializer_list<POINT> trackPoints) {
        RECT tr;
        GetClientRect(thumb, &tr);
        SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tr.right / 2, tr.bottom / 2));
        for (POINT p : trackPoints) {
            MapWindowPoints(track, thumb, &p, 1);
            SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        }
        SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(tr.right / 2, tr.bottom / 2));
        PumpMessages();
    }
};

} // namespace

TEST_F(CtlSliderWindowTest, VerticalSliderDefaultsAndDrag) {
    MakeTrack({10, 10, 30, 230});
    CVertSlider thumb;
    thumb.m_controlId = 301;
    track.m_thumbItem = &thumb;
    ASSERT_TRUE(thumb.CreateSliderWindow(SolidBitmap(20, 10, RGB(200, 200, 200)), track, SolidBitmap(20, 10, RGB(255, 255, 0)),
                                         nullptr, false, RECT{0, 10, 20, 210}));
    thumb.SetThumbToolTip(L"", 1, L"Vol ");
    EXPECT_EQ(thumb.m_valueMin, 1);
    EXPECT_EQ(thumb.m_valueMax, 32);
    // The top of the track is value 32.
    EXPECT_EQ(thumb.PixelOf(31), thumb.m_highEnd);
    thumb.SetSliderValue(99);
    EXPECT_EQ(thumb.Value(), 32);
    EXPECT_EQ(thumb.m_valueText, L"Vol 32");
    PumpMessages();
    EXPECT_EQ(owner.Count(WM_SLIDER_VALUE_SET), 0u);   // SetPos sends no value message

    // Same position: nothing moves, even with notify.
    RECT before;
    GetWindowRect(thumb, &before);
    thumb.SetPos(thumb.Position(), true);

    Drag(thumb, {{10, 200}, {10, 400}});
    EXPECT_EQ(thumb.Value(), 1);
    auto changing = owner.Of(WM_SLIDER_VALUE_CHANGING);
    ASSERT_FALSE(changing.empty());
    EXPECT_EQ(changing.back().wParam, 1u);
    EXPECT_EQ(changing.back().lParam, 301);
    auto set = owner.Of(WM_SLIDER_VALUE_SET);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].wParam, 1u);
    EXPECT_EQ(set[0].lParam, 301);
    // The fill edge follows the thumb's lower edge from a drag and from SetPos alike.
    thumb.SetSliderValue(16);
    const int fromSetPos = track.m_thumbY;
    Drag(thumb, {{10, thumb.PixelOf(15) + 5}});
    EXPECT_EQ(thumb.Value(), 16);
    EXPECT_EQ(track.m_thumbY, fromSetPos);
}

TEST_F(CtlSliderWindowTest, ReleaseWithoutMoveStillCommits) {
    MakeTrack({10, 10, 230, 30});
    CPHSlider thumb;
    thumb.m_controlId = 302;
    track.m_thumbItem = &thumb;
    ASSERT_TRUE(thumb.CreateSliderWindow(SolidBitmap(10, 20, RGB(200, 200, 200)), track, nullptr, nullptr, false,
                                         RECT{10, 0, 210, 20}));
    thumb.SetValueRange(1, 32);
    Drag(thumb, {});
    EXPECT_EQ(owner.Count(WM_SLIDER_VALUE_CHANGING), 0u);
    ASSERT_EQ(owner.Count(WM_SLIDER_VALUE_SET), 1u);
    EXPECT_EQ(owner.Of(WM_SLIDER_VALUE_SET)[0].wParam, 1u);
}

TEST_F(CtlSliderWindowTest, HorizontalDragStopsAtEndsAndMultipliesText) {
    MakeTrack({10, 10, 230, 30});
    CPHSlider thumb;
    thumb.m_controlId = 303;
    thumb.SetMultiplier(100);
    track.m_thumbItem = &thumb;
    ASSERT_TRUE(thumb.CreateSliderWindow(SolidBitmap(10, 20, RGB(200, 200, 200)), track, nullptr, nullptr, false,
                                         RECT{10, 0, 210, 20}));
    thumb.SetValueRange(1, 32);
    Drag(thumb, {{100, 10}, {500, 10}});
    EXPECT_EQ(thumb.Value(), 32);
    EXPECT_EQ(thumb.m_valueText, L"3200");
    RECT r;
    GetWindowRect(thumb, &r);
    MapWindowPoints(nullptr, track, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, thumb.m_highEnd);
    Drag(thumb, {{-300, 10}});
    EXPECT_EQ(thumb.Value(), 1);
    EXPECT_EQ(thumb.m_valueText, L"100");
}

// Every position's pixel reads back as the same position, for both orientations and several ranges.
TEST_F(CtlSliderWindowTest, PixelMapReadsBack) {
    struct Case { int vmin, vmax, length; } cases[] = {{1, 32, 100}, {1, 32, 200}, {0, 401, 420}, {0, 10, 37}, {5, 5, 100}};
    MakeTrack({0, 0, 440, 440});
    for (const auto& c : cases) {
        CPHSlider h;
        ASSERT_TRUE(h.CreateSliderWindow(SolidBitmap(10, 10, 0xFFFFFF), track, nullptr, nullptr, false, RECT{10, 0, 10 + c.length, 10}));
        h.SetValueRange(c.vmin, c.vmax);
        CVertSlider v;
        ASSERT_TRUE(v.CreateSliderWindow(SolidBitmap(10, 10, 0xFFFFFF), track, nullptr, nullptr, false, RECT{0, 10, 10, 10 + c.length}));
        v.SetValueRange(c.vmin, c.vmax);
        for (int p = 0; p <= c.vmax - c.vmin; ++p) {
            EXPECT_EQ(h.PixelToValue(h.PixelOf(p), 0), p) << c.vmin << ".." << c.vmax << " over " << c.length;
            EXPECT_EQ(v.PixelToValue(0, v.PixelOf(p)), p) << c.vmin << ".." << c.vmax << " over " << c.length;
        }
    }
}

TEST_F(CtlSliderWindowTest, TrackClickPastTheEndReportsAtMostTheMaximum) {
    MakeTrack({10, 10, 230, 30});
    CPHSlider thumb;
    thumb.m_controlId = 304;
    track.m_thumbItem = &thumb;
    ASSERT_TRUE(thumb.CreateSliderWindow(SolidBitmap(10, 20, RGB(200, 200, 200)), track, nullptr, nullptr, false,
                                         RECT{10, 0, 200, 20}));
    thumb.SetValueRange(1, 32);
    // The far right of the track lies past the last position's pixel.
    SendMessageW(track, WM_LBUTTONUP, 0, MAKELPARAM(219, 10));
    PumpMessages();
    auto set = owner.Of(WM_SLIDER_VALUE_SET);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].wParam, 32u);
    EXPECT_EQ(set[0].lParam, 304);
    auto clicked = owner.Of(WM_SLIDER_TRACK_CLICKED);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0].wParam, 300u);
    EXPECT_EQ(clicked[0].lParam, MAKELPARAM(219, 10));
    // The fill reaches the thumb.
    EXPECT_EQ(track.m_lastAxis, 1);
    EXPECT_EQ(track.m_thumbX, thumb.m_highEnd);
}

TEST_F(CtlSliderWindowTest, RealClickOnTrackMovesTheThumb) {
    MakeTrack({10, 10, 230, 30});
    CPHSlider thumb;
    thumb.m_controlId = 305;
    track.m_thumbItem = &thumb;
    ASSERT_TRUE(thumb.CreateSliderWindow(SolidBitmap(10, 20, RGB(230, 230, 230)), track, nullptr, nullptr, false,
                                         RECT{10, 0, 210, 20}));
    thumb.SetValueRange(0, 100);
    PumpMessages();
    ClickClient(track, 110, 10);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_SLIDER_VALUE_SET) == 1; }));
    EXPECT_NEAR(int(owner.Of(WM_SLIDER_VALUE_SET)[0].wParam), 50, 1);
    EXPECT_EQ(owner.Count(WM_SLIDER_TRACK_CLICKED), 1u);
    PumpMessages();
    Capture cap = CaptureClient(track);
    // Fill colour left of the thumb, track colour right of it.
    EXPECT_TRUE(SameColor(cap.At(40, 10), RGB(0, 200, 0)));
    EXPECT_TRUE(SameColor(cap.At(200, 10), RGB(40, 40, 60)));
    cap.SaveBmp(OutputPath(L"ctl_slider.bmp"));
}

TEST_F(CtlSliderWindowTest, ZeroRangeAndZeroSizeDoNotDivideByZero) {
    MakeTrack({10, 10, 230, 30});
    CPHSlider thumb;
    thumb.m_controlId = 306;
    track.m_thumbItem = &thumb;
    ASSERT_TRUE(thumb.CreateSliderWindow(nullptr, track, nullptr, nullptr, false, RECT{10, 0, 10, 20}));
    thumb.SetValueRange(5, 5);
    SendMessageW(track, WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
    Drag(thumb, {{300, 10}});
    EXPECT_EQ(thumb.Value(), 5);
    for (auto& m : owner.Of(WM_SLIDER_VALUE_SET)) EXPECT_EQ(m.wParam, 5u);
    CVertSlider v;
    ASSERT_TRUE(v.CreateSliderWindow(nullptr, track, nullptr, nullptr, false, RECT{0, 0, 0, 0}));
    v.SetSliderValue(-40);
    EXPECT_EQ(v.Value(), 1);
}

TEST(CtlSliderCodes, TooltipPositionCode) {
    EXPECT_EQ(TooltipPositionCode(L"Right"), 1);
    EXPECT_EQ(TooltipPositionCode(L"T"), 2);
    EXPECT_EQ(TooltipPositionCode(L"B"), 3);
    EXPECT_EQ(TooltipPositionCode(L"b"), 0);
    EXPECT_EQ(TooltipPositionCode(L""), 0);
    EXPECT_EQ(TooltipPositionCode(nullptr), 0);
}
