// The skinned vertical scroll bar against an owner with a standard scroll range.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "base/ProgramFolder.h"
#include "skin/ScrollBar.h"
#include "skin/SkinStore.h"

using namespace vt::skin;
using namespace vt::test;

namespace {
class CtlScrollBarWindowTest : public WindowTest {
protected:
    RecorderWindow owner;
    VScrollDescription skin;
    void SetUp() override {
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(200, 300));
        skin.top = GetSkinBitmap(std::string_view("ctl_vs_top.bmp"));
        skin.bottom = GetSkinBitmap(std::string_view("ctl_vs_bot.bmp"));
        skin.arrowUp = GetSkinBitmap(std::string_view("ctl_vs_aup.bmp"));
        skin.arrowDown = GetSkinBitmap(std::string_view("ctl_vs_adn.bmp"));
        skin.track = GetSkinBitmap(std::string_view("ctl_vs_spn.bmp"));
        skin.thumb = GetSkinBitmap(std::string_view("ctl_vs_tmb.bmp"));
        ASSERT_TRUE(skin.thumb && *skin.thumb);
    }
    void Range(int max, int page, int pos) {
        SCROLLINFO si{sizeof(si), SIF_ALL | SIF_DISABLENOSCROLL, 0, max, UINT(page), pos};
        SetScrollInfo(owner, SB_VERT, &si, FALSE);
    }
    std::vector<RecordedMessage> Scrolls() { return owner.Of(WM_VSCROLL); }
};
} // namespace

TEST_F(CtlScrollBarWindowTest, TooShortFailsAndLayoutHolds) {
    CVScrollBar small(12, owner);
    small.CreateVScrollBar(skin);
    EXPECT_FALSE(small.CreateBar(WS_CHILD | WS_VISIBLE, RECT{0, 0, 12, 30}, owner, 0xFFFF));
    CVScrollBar noSkin(12, owner);
    EXPECT_FALSE(noSkin.CreateBar(WS_CHILD | WS_VISIBLE, RECT{20, 0, 32, 200}, owner, 0xFFFF));
    CVScrollBar bar(12, owner);
    bar.CreateVScrollBar(skin);
    ASSERT_TRUE(bar.CreateBar(WS_CHILD | WS_VISIBLE, RECT{100, 0, 112, 200}, owner, 0xFFFF));
    EXPECT_EQ(bar.TrackTop(), 3 + 12);
    EXPECT_EQ(bar.TrackBottom(), 200 - 3 - 12);
    EXPECT_EQ(bar.ThumbPosition(), bar.TrackTop());
}

TEST_F(CtlScrollBarWindowTest, ThumbFollowsOwnerAndEmptyRangeStaysAtTop) {
    CVScrollBar bar(12, owner);
    bar.CreateVScrollBar(skin);
    ASSERT_TRUE(bar.CreateBar(WS_CHILD | WS_VISIBLE, RECT{100, 0, 112, 200}, owner, 0xFFFF));
    const int travel = bar.TrackBottom() - bar.TrackTop() - bar.ThumbHeight();
    Range(100, 10, 90);
    bar.SyncThumbPosition();
    EXPECT_EQ(bar.ThumbPosition(), bar.TrackTop() + travel);
    Range(100, 10, 45);
    bar.SyncThumbPosition();
    EXPECT_NEAR(bar.ThumbPosition(), bar.TrackTop() + travel / 2, 1);
    struct Case { int max, page, pos; } empty[] = {{10, 10, 0}, {5, 10, 0}, {0, 0, 0}};
    for (auto c : empty) {
        Range(c.max, c.page, c.pos);
        bar.SyncThumbPosition();
        EXPECT_EQ(bar.ThumbPosition(), bar.TrackTop()) << c.max << "/" << c.page;
    }
    // Dragging with nothing to scroll moves the thumb and posts nothing.
    Range(10, 10, 0);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, bar.ThumbPosition() + 2));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 120));
    EXPECT_GT(bar.ThumbPosition(), bar.TrackTop());
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 120));
    PumpMessages();
    for (auto& m : Scrolls()) EXPECT_EQ(LOWORD(m.wParam), SB_ENDSCROLL);
}

TEST_F(CtlScrollBarWindowTest, DragPostsTrackOnChangeThenEndScroll) {
    CVScrollBar bar(12, owner);
    bar.CreateVScrollBar(skin);
    ASSERT_TRUE(bar.CreateBar(WS_CHILD | WS_VISIBLE, RECT{100, 0, 112, 200}, owner, 0xFFFF));
    Range(100, 10, 0);
    bar.SyncThumbPosition();
    const int y0 = bar.ThumbPosition() + 10;
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, y0));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, y0 + 40));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, y0 + 40));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 1000));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 1000));
    ASSERT_TRUE(PumpUntil([&] { return !Scrolls().empty() && LOWORD(Scrolls().back().wParam) == SB_ENDSCROLL; }));
    auto s = Scrolls();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(LOWORD(s[0].wParam), SB_THUMBTRACK);
    EXPECT_GT(HIWORD(s[0].wParam), 0);
    EXPECT_EQ(LOWORD(s[1].wParam), SB_THUMBTRACK);
    EXPECT_EQ(HIWORD(s[1].wParam), 90);   // never past nMax - nPage
    EXPECT_EQ(s[2].lParam, 0);
}

TEST_F(CtlScrollBarWindowTest, ArrowsAndPagesPostTheirCodes) {
    CVScrollBar bar(12, owner);
    bar.CreateVScrollBar(skin);
    ASSERT_TRUE(bar.CreateBar(WS_CHILD | WS_VISIBLE, RECT{100, 0, 112, 200}, owner, 0xFFFF));
    Range(100, 10, 0);
    bar.SyncThumbPosition();
    RECT down = bar.DownArrow();
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, down.top + 2));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, down.top + 2));
    ASSERT_TRUE(PumpUntil([&] { return Scrolls().size() >= 2; }));
    EXPECT_EQ(LOWORD(Scrolls()[0].wParam), SB_LINEDOWN);
    EXPECT_EQ(LOWORD(Scrolls()[1].wParam), SB_ENDSCROLL);
    owner.messages.clear();
    // A release on an arrow that was not pressed does nothing.
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, down.top + 2));
    PumpMessages();
    EXPECT_TRUE(Scrolls().empty());
    // Below the thumb: page down; near the end it jumps to the end.
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 150));
    ASSERT_TRUE(PumpUntil([&] { return Scrolls().size() >= 2; }));
    EXPECT_EQ(LOWORD(Scrolls()[0].wParam), SB_PAGEDOWN);
    owner.messages.clear();
    Range(100, 10, 85);
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 150));
    ASSERT_TRUE(PumpUntil([&] { return Scrolls().size() >= 2; }));
    EXPECT_EQ(LOWORD(Scrolls()[0].wParam), SB_THUMBPOSITION);
    EXPECT_EQ(HIWORD(Scrolls()[0].wParam), 90);
    EXPECT_EQ(LOWORD(Scrolls()[1].wParam), SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(owner, SB_VERT), 90);
    EXPECT_EQ(bar.ThumbPosition(), bar.TrackBottom() - bar.ThumbHeight());
    owner.messages.clear();
    // Above the thumb: page up; a click on the thumb itself does nothing.
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, 30));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, bar.ThumbPosition() + 3));
    ASSERT_TRUE(PumpUntil([&] { return Scrolls().size() >= 2; }));
    EXPECT_EQ(LOWORD(Scrolls()[0].wParam), SB_PAGEUP);
    EXPECT_EQ(LOWORD(Scrolls()[1].wParam), SB_ENDSCROLL);
    Capture cap = CaptureClient(bar);
    cap.SaveBmp(OutputPath(L"ctl_scrollbar.bmp"));
}
