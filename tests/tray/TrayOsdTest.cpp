// The on-screen display's windows: what they paint, that they never take the focus, and that they
// hide 2 seconds after their last message. Screenshots are saved for a person to look at.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "WindowTest.h"
#include "tray/Osd.h"

using namespace vt::tray;
using vt::test::PumpUntil;

namespace {

// Bars down one column, near its left edge (clear of the number and the "X" and "Y" labels):
// runs of bar colour between the number and the column's frame.
int CountBars(const vt::test::Capture& c, int x, int fromY) {
    int bars = 0;
    bool inBar = false;
    for (int y = fromY; y < c.height - 2; ++y) {
        const bool bar = vt::test::SameColor(c.At(x, y), kOsdBarColour, 12);
        if (bar && !inBar) ++bars;
        inBar = bar;
    }
    return bars;
}

int CountColour(const vt::test::Capture& c, COLORREF colour, int tolerance = 16) {
    int n = 0;
    for (COLORREF p : c.pixels)
        if (vt::test::SameColor(p, colour, tolerance)) ++n;
    return n;
}

class TrayOsd : public vt::test::WindowTest {
protected:
    void SetUp() override {
        display = std::make_unique<COsdDisplay>(GetModuleHandleW(nullptr));
        display->SetBarMaximum(20);
        ASSERT_EQ(display->CreateOsdWindows(), S_OK);
        EXPECT_FALSE(IsWindowVisible(display->TextWindow()));
        EXPECT_FALSE(IsWindowVisible(display->SliderWindow()));
    }
    void TearDown() override {
        display.reset();
        vt::test::WindowTest::TearDown();
    }
    bool Shown(HWND h) { return PumpUntil([&] { return IsWindowVisible(h) != FALSE; }, 3000); }
    std::unique_ptr<COsdDisplay> display;
};

} // namespace

TEST(TrayDpiOsd, WhatADpiChangeShows) {
    struct Case { uint32_t x, y, max; int mode, xBars, yBars; const wchar_t* xText; } cases[] = {
        {800, 800, 3200, 1, 5, 5, L"800"},
        {5600, 5600, 5600, 1, 20, 20, L"5600"},
        {12000, 12000, 16000, 0, 15, 15, L"12000"},   // five digits: nothing shown
        {800, 1600, 3200, 2, 5, 10, L"800"},
        {800, 12000, 16000, 0, 1, 15, L"800"},
        {800, 800, 0, 0, 0, 0, L""},                  // no maximum read: nothing, no division
        {9999, 9999, 100, 1, 1999, 1999, L"9999"},    // limited to the display's maximum when shown
    };
    for (const Case& c : cases) {
        DpiOsdContent d = DecideDpiOsd(c.x, c.y, c.max, 20);
        EXPECT_EQ(d.mode, c.mode) << c.x << "," << c.y << "/" << c.max;
        if (c.max == 0) continue;
        EXPECT_EQ(d.xBars, c.xBars) << c.x;
        EXPECT_EQ(d.yBars, c.yBars) << c.y;
        EXPECT_EQ(d.xText, c.xText);
    }
}

TEST_F(TrayOsd, OneValueDrawsItsBarsLimitedToTheMaximum) {
    display->ShowDpi(DecideDpiOsd(4000, 4000, 5600, 20));
    ASSERT_TRUE(Shown(display->SliderWindow()));
    vt::test::PumpMessages(50, 500);
    EXPECT_EQ(display->SliderMode(), 1);
    EXPECT_EQ(display->RightBars(), 14);
    vt::test::Capture c = vt::test::CaptureClient(display->SliderWindow());
    c.SaveBmp(vt::test::OutputPath(L"tray_osd_dpi.bmp"));
    ASSERT_EQ(c.width, 119);
    const int numberFont = ComputeOsdLayout(96, RECT{0, 0, 1, 1}, 20).numberFont;
    EXPECT_EQ(CountBars(c, 70, 6 + numberFont + 2), 14);
    EXPECT_EQ(CountBars(c, 8, 6 + numberFont + 2), 0);  // no left column
    EXPECT_GT(CountColour(c, kOsdTextColour, 4), 10);    // the number

    display->ShowDpiOsd(25, L"5600");
    vt::test::PumpMessages(50, 500);
    EXPECT_EQ(display->RightBars(), 20);
    c = vt::test::CaptureClient(display->SliderWindow());
    EXPECT_EQ(CountBars(c, 70, 6 + numberFont + 2), 20);
}

TEST_F(TrayOsd, XAndYDrawTwoColumnsWithTheirLabels) {
    display->ShowDpi(DecideDpiOsd(800, 1600, 3200, 20));
    ASSERT_TRUE(Shown(display->SliderWindow()));
    vt::test::PumpMessages(50, 500);
    EXPECT_EQ(display->SliderMode(), 2);
    vt::test::Capture c = vt::test::CaptureClient(display->SliderWindow());
    c.SaveBmp(vt::test::OutputPath(L"tray_osd_dpi_xy.bmp"));
    const int numberFont = ComputeOsdLayout(96, RECT{0, 0, 1, 1}, 20).numberFont;
    EXPECT_EQ(CountBars(c, 8, 6 + numberFont + 2), 5);
    EXPECT_EQ(CountBars(c, 70, 6 + numberFont + 2), 10);
    EXPECT_EQ(display->LeftText(), L"800");
    EXPECT_EQ(display->RightText(), L"1600");
    // An X value of five digits shows nothing new.
    display->ShowDpiXYOsd(3, L"12000", 4, L"800");
    EXPECT_EQ(display->LeftText(), L"800");
}

TEST_F(TrayOsd, TheProfileNameShowsWithoutTakingTheFocusAndHidesAfterTwoSeconds) {
    HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(front);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == front; }, 3000));
    const DWORD t0 = GetTickCount();
    display->ShowProfileOsd(L"Racing profile");
    ASSERT_TRUE(Shown(display->TextWindow()));
    vt::test::PumpMessages(50, 400);
    EXPECT_EQ(GetForegroundWindow(), front);
    EXPECT_EQ(GetActiveWindow(), front);
    vt::test::Capture c = vt::test::CaptureClient(display->TextWindow());
    c.SaveBmp(vt::test::OutputPath(L"tray_osd_profile.bmp"));
    EXPECT_GT(CountColour(c, kOsdTextColour, 4), 50);  // the name, in green
    // Drawn at the right end of the line.
    int rightmost = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (vt::test::SameColor(c.At(x, y), kOsdTextColour, 4)) rightmost = std::max(rightmost, x);
    EXPECT_GT(rightmost, c.width - 40);
    // A second name a second later shows for a full two seconds after it arrived.
    PumpUntil([&] { return GetTickCount() - t0 >= 1000; }, 2000);
    display->ShowProfileOsd(L"Second");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(display->TextWindow()); }, 6000));
    const DWORD shown = GetTickCount() - t0;
    EXPECT_GE(shown, 2800u);
    EXPECT_LE(shown, 4500u);
    EXPECT_TRUE(display->ProfileText().empty());
    DestroyWindow(front);
}

TEST_F(TrayOsd, ALongNameIsCut) {
    display->ShowProfileOsd(std::wstring(300, L'n').c_str());
    EXPECT_EQ(display->ProfileText().size(), 254u);
}
