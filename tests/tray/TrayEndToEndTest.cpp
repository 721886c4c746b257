// The tray program itself on the registered engine stand-in: one copy only, the configuration
// program started from the icon (or left alone when it runs), devices and session notices
// connecting and disconnecting the engine's events, the close item, the taskbar coming back, and
// the configuration program starting exactly one tray.
#include <gtest/gtest.h>
#include <windows.h>
#include <wtsapi32.h>
#include <algorithm>
#include <string>
#include <vector>
#include "TrayProcess.h"

using vt::test::PumpUntil;

namespace {

using namespace vt::test::tray;
using TrayEndToEnd = TrayEndToEndBase;

} // namespace

TEST_F(TrayEndToEnd, ASecondStartEndsAtOnceAndOneTrayStays) {
    Tray first;
    ASSERT_TRUE(first.Start());
    EXPECT_FALSE(IsWindowVisible(first.dialog));
    Tray second;
    ASSERT_TRUE(second.Start(false));
    EXPECT_TRUE(second.Exited(15000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(first.Exited(0));
    EXPECT_EQ(Windows(L"TrayNotifyIconClass").size(), 1u);
    EXPECT_EQ(Processes(kTrayExe).size(), 1u);
}

TEST_F(TrayEndToEnd, DevicesAndSessionNoticesConnectAndDisconnectTheEvents) {
    Tray tray;
    ASSERT_TRUE(tray.Start());
    // Mouse: DPI, profile and launch events; keyboard: profile, launch and recording events.
    EXPECT_TRUE(SinksBecome(6)) << engine.Sinks();
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(0x1A, 0)));  // what "enginectl unplug keyboard" does
    EXPECT_TRUE(SinksBecome(3)) << engine.Sinks();
    ASSERT_TRUE(SUCCEEDED(engine.control->SetPresent(0x1A, 1)));
    EXPECT_TRUE(SinksBecome(6)) << engine.Sinks();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(tray.dialog, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0, SMTO_NORMAL, 10000, &result);
    EXPECT_TRUE(SinksBecome(0)) << engine.Sinks();
    SendMessageTimeoutW(tray.dialog, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0, SMTO_NORMAL, 10000, &result);
    EXPECT_TRUE(SinksBecome(6)) << engine.Sinks();
}

TEST_F(TrayEndToEnd, ADoubleClickStartsTheConfigurationProgramOnce) {
    Tray tray;
    ASSERT_TRUE(tray.Start());
    ASSERT_TRUE(Processes(kConfigExe).empty());
    PostMessageW(tray.dialog, kTrayCallback, 129, WM_LBUTTONDOWN);
    PostMessageW(tray.dialog, kTrayCallback, 129, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(PumpUntil([] { return !Windows(L"SINGLE_INSTANCE_APP_DM").empty(); }, 30000));
    EXPECT_EQ(Processes(kConfigExe).size(), 1u);
    // It runs: a second double click starts nothing more.
    PostMessageW(tray.dialog, kTrayCallback, 129, WM_LBUTTONDBLCLK);
    vt::test::PumpMessages(200, 3000);
    EXPECT_EQ(Processes(kConfigExe).size(), 1u);
    // The configuration program started the tray again; that copy ends at once.
    EXPECT_TRUE(PumpUntil([] { return Processes(kTrayExe).size() == 1; }, 15000)) << Processes(kTrayExe).size();
    EXPECT_FALSE(tray.Exited(0));
}

TEST_F(TrayEndToEnd, TheCloseItemEndsTheTray) {
    Tray tray;
    ASSERT_TRUE(tray.Start());
    EXPECT_TRUE(SinksBecome(6));
    // A right click opens the menu; the last item is the close item.
    PostMessageW(tray.dialog, kTrayCallback, 129, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (HWND h : Windows(L"#32768", tray.pi.dwProcessId))
            if (IsWindowVisible(h)) menu = h;
        return menu != nullptr;
    }, 10000));
    // Saved once the tray has painted it (more than one colour on it), for a person to look at.
    vt::test::Capture shot;
    PumpUntil([&] {
        shot = vt::test::CaptureClient(menu);
        return std::any_of(shot.pixels.begin(), shot.pixels.end(), [&](COLORREF p) { return p != shot.pixels[0]; });
    }, 3000);
    shot.SaveBmp(vt::test::OutputPath(L"tray_e2e_menu.bmp"));
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(tray.Exited(15000));
    EXPECT_EQ(tray.ExitCode(), 0u);
    EXPECT_TRUE(Windows(L"TrayNotifyIconClass").empty());
    EXPECT_TRUE(SinksBecome(0));
}

TEST_F(TrayEndToEnd, TheTaskbarComingBackKeepsOneIcon) {
    Tray tray;
    ASSERT_TRUE(tray.Start());
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    vt::test::PumpMessages(100, 1000);
    EXPECT_FALSE(tray.Exited(0));
    EXPECT_EQ(Windows(L"TrayNotifyIconClass").size(), 1u);
}

TEST_F(TrayEndToEnd, TheConfigurationProgramStartsExactlyOneTray) {
    ASSERT_TRUE(Processes(kTrayExe).empty());
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + vt::test::ImageFolder() + kConfigExe + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, vt::test::ImageFolder().c_str(), &si, &pi));
    EXPECT_TRUE(PumpUntil([] { return !Windows(L"TrayNotifyIconClass").empty(); }, 30000));
    // Settled: the configuration program's window is up and still one tray runs.
    EXPECT_TRUE(PumpUntil([] { return !Windows(L"SINGLE_INSTANCE_APP_DM").empty(); }, 30000));
    vt::test::PumpMessages(200, 2000);
    EXPECT_EQ(Processes(kTrayExe).size(), 1u);
    EndAll(kConfigExe);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}
