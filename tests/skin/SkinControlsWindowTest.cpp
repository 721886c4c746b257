// Skinned controls on their own: bitmap window captions and surfaces, bitmap button hover rules,
// the generic frame panel, the off-screen DC and showing items by kind.
#include <windows.h>
#include <gtest/gtest.h>
#include <thread>
#include "WindowTest.h"
#include "skin/BitmapBtn.h"
#include "skin/BitmapItem.h"
#include "skin/LangTable.h"
#include "skin/Panel.h"
#include "win/Handles.h"
#include "win/Window.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

HBITMAP Solid(int w, int h, COLORREF c) {
    vt::win::WindowDC screen(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    vt::win::MemoryDC dc(screen);
    vt::win::SelectGuard sel(dc, bmp);
    RECT r{0, 0, w, h};
    vt::win::Brush b(CreateSolidBrush(c));
    FillRect(dc, &r, b);
    return bmp;
}

// A plain top-level host that reflects owner drawing to its children.
class Host : public vt::win::Window {
public:
    bool Open(int w = 300, int h = 200) {
        vt::win::Window::RegisterClass(L"VtSkinTestHost", 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (!Create(0, L"VtSkinTestHost", L"", WS_POPUP | WS_VISIBLE, 100, 100, w, h, nullptr, 0)) return false;
        SetForegroundWindow(m_hWnd);
        PumpMessages(20, 500);
        return true;
    }
};

class SkinControlsWindowTest : public WindowTest {
protected:
    void SetUp() override { SetCurrentLanguageTable(nullptr); }
    Host host;
};

} // namespace

TEST_F(SkinControlsWindowTest, BitmapWindowSurfaceFollowsCaptionAndSelection) {
    ASSERT_TRUE(host.Open());
    CBitmapWindow w;
    ASSERT_TRUE(w.CreateItem(WS_CHILD | WS_VISIBLE, RECT{10, 10, 110, 90}, host));
    vt::win::Bitmap normal(Solid(100, 80, RGB(200, 0, 0))), over(Solid(100, 80, RGB(0, 200, 0))),
        down(Solid(100, 80, RGB(0, 0, 200))), disabled(Solid(96, 76, RGB(9, 9, 9)));
    // The disabled bitmap is 4 pixels smaller: the frame leaves a 4-pixel edge of the state bitmap.
    w.SetStateBitmaps(disabled, normal, over, down, nullptr);
    EXPECT_EQ(w.m_frame.left, 4);
    EXPECT_EQ(w.m_frame.bottom, 76);
    auto edge = [&] {
        InvalidateRect(w.Hwnd(), nullptr, TRUE);
        PumpMessages(20, 500);
        return CaptureClient(w.Hwnd()).At(1, 1);
    };
    EXPECT_TRUE(SameColor(edge(), RGB(200, 0, 0)));
    w.SetItemText(L"Caption");
    EXPECT_EQ(w.m_caption, L"Caption");
    EXPECT_TRUE(SameColor(edge(), RGB(0, 200, 0)));   // a caption shows the over bitmap
    // Caption bar off: no caption strip text and no line, the strip keeps its colour.
    Capture c = CaptureClient(w.Hwnd());
    EXPECT_TRUE(SameColor(c.At(50, 76 - 23), RGB(0x00, 0x33, 0x62))) << std::hex << c.At(50, 76 - 23);
    w.SetCaptionBar(true);
    w.SetTextColor(RGB(255, 255, 0));
    PumpMessages(20, 500);
    c = CaptureClient(w.Hwnd());
    EXPECT_TRUE(SameColor(c.At(50, 76 - 23), RGB(255, 255, 0))) << std::hex << c.At(50, 76 - 23);   // the line
    w.SetSelected(true);
    EXPECT_TRUE(SameColor(edge(), RGB(0, 0, 200)));   // selected shows down
    w.SetItemText(L"Ignored while selected");
    EXPECT_EQ(w.m_caption, L"Caption");
    w.SetSelected(false);
    w.SetItemText(L"One\\nTwo\\nThree");
    EXPECT_EQ(w.m_caption, L"One\r\nTwo\\nThree");
}

TEST_F(SkinControlsWindowTest, ButtonDoesNotLightUpWithoutAnActiveWindowAndLosesHotOnFocus) {
    ASSERT_TRUE(host.Open());
    CBitmapBtn b;
    ASSERT_TRUE(b.CreateButton(0x10002C0B, RECT{10, 10, 90, 40}, host));
    vt::win::Bitmap n(Solid(80, 30, RGB(50, 50, 50)));
    b.DrawSkinBitmaps(n, n, n, n, 0, 0, 80, 30);
    // Another thread's window takes the activation: this thread has no active window then.
    vt::win::UniqueHandle activated(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    vt::win::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread other([&] {
        HWND w = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(w);
        SetActiveWindow(w);
        SetEvent(activated.Get());
        // Keeps the activation until the test has looked, within a bound.
        const HANDLE wait = done.Get();
        const ULONGLONG until = GetTickCount64() + 20000;
        MSG msg;
        while (GetTickCount64() < until &&
               MsgWaitForMultipleObjects(1, &wait, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0)
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        DestroyWindow(w);
    });
    EXPECT_EQ(WaitForSingleObject(activated.Get(), 20000), WAIT_OBJECT_0);
    EXPECT_TRUE(PumpUntil([] { return GetActiveWindow() == nullptr; }, 10000));
    SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(b.m_hot, 0);
    SetEvent(done.Get());
    other.join();
    SetForegroundWindow(host);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == host.Hwnd(); }, 10000));
    SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(b.m_hot, 1);
    EXPECT_EQ(GetCapture(), b.Hwnd());
    SendMessageW(b, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(b.m_hot, 0);
    ReleaseCapture();
}

TEST_F(SkinControlsWindowTest, ButtonMaskRegionIsMadeOnceAndEmptyStatesDrawNothing) {
    ASSERT_TRUE(host.Open());
    CBitmapBtn b;
    ASSERT_TRUE(b.CreateButton(0x10002C0B, RECT{10, 10, 50, 50}, host));
    SetWindowLongPtrW(b, GWL_STYLE, GetWindowLongPtrW(b, GWL_STYLE) | WS_BORDER | WS_TABSTOP);
    vt::win::Bitmap n(Solid(40, 40, RGB(0, 120, 0)));
    vt::win::Bitmap mask(Solid(40, 40, RGB(0, 0, 0)));
    b.DrawSkinBitmaps(n, nullptr, nullptr, nullptr, mask, 0, 0, 40, 40);
    EXPECT_FALSE(GetWindowLongPtrW(b, GWL_STYLE) & (WS_BORDER | WS_TABSTOP));
    HRGN first = b.m_region;
    ASSERT_NE(first, nullptr);
    b.DrawSkinBitmaps(n, nullptr, nullptr, nullptr, mask, 0, 0, 40, 40);
    EXPECT_EQ(b.m_region, first);
    EXPECT_FALSE(b.m_over);
    InvalidateRect(b, nullptr, FALSE);
    PumpMessages(20, 300);
    EXPECT_TRUE(SameColor(CaptureClient(b).At(20, 20), RGB(0, 120, 0)));
    // The disabled state has no bitmap: nothing is drawn over what was there.
    EnableWindow(b, FALSE);
    PumpMessages(20, 300);
    EXPECT_TRUE(SameColor(CaptureClient(b).At(20, 20), RGB(0, 120, 0)));
}

TEST_F(SkinControlsWindowTest, GenericPanelFillsAndDrawsItsBorder) {
    ASSERT_TRUE(host.Open());
    struct Case { int width; int expectInsetBefore, expectInsetAfter; };
    for (const Case& c : {Case{0, 0, 1}, Case{1, 0, 1}, Case{3, 1, 2}}) {
        CGenericPanel p(c.width);
        EXPECT_EQ(p.m_insetBefore, c.expectInsetBefore);
        EXPECT_EQ(p.m_insetAfter, c.expectInsetAfter);
        p.m_background = RGB(10, 20, 30);
        p.m_border = RGB(250, 250, 0);
        ASSERT_TRUE(p.CreatePanel(RECT{20, 20, 80, 60}, host));
        PumpMessages(20, 300);
        Capture shot = CaptureClient(p.Hwnd());
        EXPECT_TRUE(SameColor(shot.At(30, 20), RGB(10, 20, 30))) << c.width;
        EXPECT_TRUE(SameColor(shot.At(30, 0), RGB(250, 250, 0))) << c.width;
        EXPECT_TRUE(SameColor(shot.At(59, 20), RGB(250, 250, 0))) << c.width;
        EXPECT_TRUE(SameColor(shot.At(0, 20), RGB(250, 250, 0))) << c.width;
        EXPECT_TRUE(SameColor(shot.At(30, 39), RGB(250, 250, 0))) << c.width;
    }
}

TEST_F(SkinControlsWindowTest, MemDCPaintsOffScreenAndCopiesBackAtTheEnd) {
    vt::win::WindowDC screen(nullptr);
    vt::win::MemoryDC target(screen);
    vt::win::Bitmap canvas(Solid(50, 50, RGB(1, 2, 3)));
    vt::win::SelectGuard sel(target, canvas);
    SetBkColor(target, RGB(40, 50, 60));
    const RECT r{10, 10, 30, 30};
    {
        CMemDC mem(target, &r);
        EXPECT_TRUE(mem.IsMemoryDC());
        EXPECT_EQ(GetPixel(target, 15, 15), RGB(1, 2, 3));   // nothing reaches the target yet
        EXPECT_EQ(GetPixel(mem, 12, 12), RGB(40, 50, 60));    // filled with the background colour
        SetPixel(mem, 20, 20, RGB(255, 0, 0));                // logical coordinates of the target
    }
    EXPECT_EQ(GetPixel(target, 20, 20), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target, 11, 11), RGB(40, 50, 60));
    EXPECT_EQ(GetPixel(target, 5, 5), RGB(1, 2, 3));          // outside the rectangle: untouched
}

TEST_F(SkinControlsWindowTest, ShowItemReachesABitmapItemsOwnWindow) {
    ASSERT_TRUE(host.Open());
    auto* item = new CBitmapItem;
    ASSERT_TRUE(item->CreateItem(WS_CHILD | WS_VISIBLE, RECT{0, 0, 20, 20}, host));
    item->SetItemFields(5, kKindBitmapItem, nullptr, host);
    CGUIItems items;
    items.Add(item);
    ShowAllItems(items, 0);
    EXPECT_FALSE(IsWindowVisible(item->Hwnd()));
    ShowItem(item, 1);
    EXPECT_TRUE(IsWindowVisible(item->Hwnd()));
    ShowItem(item, 2);   // anything but 1 hides
    EXPECT_FALSE(IsWindowVisible(item->Hwnd()));
}
