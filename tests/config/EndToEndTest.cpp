// The configuration program end to end on the engine stand-in: it starts on the simulated mouse,
// the DPI stages are edited in the popup and applied, and the engine holds them afterwards; a
// device that leaves closes the program with its warning. Driven from outside by the controls'
// window ids, as a user's clicks would arrive.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "WindowTest.h"
#include "skin/VocabularyIds.h"

namespace ctl = vt::skin::ctl;
using vt::test::PumpUntil;

namespace {

constexpr UINT kSliderValueSet = WM_USER + 70;

std::wstring Image() { return vt::test::ImageFolder(); }

// Runs a program of the image and collects its standard output; its exit code, -1 on failure.
int Run(const std::wstring& commandLine, std::string* out = nullptr, DWORD timeoutMs = 30000) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::wstring cmd = commandLine;
    const BOOL ok = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, Image().c_str(), &si, &pi);
    CloseHandle(writeEnd);
    if (!ok) {
        CloseHandle(readEnd);
        return -1;
    }
    // The engine server that a tool starts may inherit the pipe and outlive the tool: read what
    // is there until the tool itself has ended, never up to the end of the pipe.
    std::string text;
    char buf[4096];
    DWORD code = DWORD(-1);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const bool ended = WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0;
        DWORD avail = 0, got = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail &&
               ReadFile(readEnd, buf, DWORD(std::min<size_t>(avail, sizeof(buf))), &got, nullptr) && got)
            text.append(buf, got);
        if (ended) {
            GetExitCodeProcess(pi.hProcess, &code);
            break;
        }
        if (GetTickCount64() > deadline) break;
    }
    CloseHandle(readEnd);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    if (out) *out = text;
    return int(code);
}

int EngineCtl(const std::wstring& args, std::string* out = nullptr) {
    return Run(L"\"" + vt::test::StandinFolder() + L"enginectl.exe\" " + args, out);
}

struct Program {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;

    bool Start() {
        STARTUPINFOW si{sizeof(si)};
        std::wstring cmd = L"\"" + Image() + L"VeltoDunemarchIIConfig.exe\"";
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, Image().c_str(), &si, &pi)) return false;
        PumpUntil([&] {
            HWND h = FindWindowW(L"SINGLE_INSTANCE_APP_DM", nullptr);
            DWORD owner = 0;
            if (h) GetWindowThreadProcessId(h, &owner);
            if (h && owner == pi.dwProcessId && IsWindowVisible(h) && GetDlgItem(h, ctl::BUTTON_OK)) main = h;
            return main != nullptr;
        }, 20000);
        // The window shows before the devices are read; a device tab comes on once they are.
        return main && PumpUntil([&] {
            for (int id : {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD, ctl::BUTTON_PRODSELECT_HEADSET})
                if (IsWindowEnabled(GetDlgItem(main, id))) return true;
            return false;
        }, 20000);
    }
    bool Exited(DWORD ms) { return pi.hProcess && WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    ~Program() {
        if (pi.hProcess) {
            if (!Exited(0)) {
                TerminateProcess(pi.hProcess, 1);
                WaitForSingleObject(pi.hProcess, 5000);
            }
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    // A visible top-level window of the program other than the main window that holds the control.
    HWND Popup(int controlId, DWORD ms = 5000) {
        HWND found = nullptr;
        PumpUntil([&] {
            struct Ctx { DWORD pid; HWND main; int id; HWND found; } ctx{pi.dwProcessId, main, controlId, nullptr};
            EnumWindows([](HWND h, LPARAM p) -> BOOL {
                auto* c = reinterpret_cast<Ctx*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if (owner == c->pid && h != c->main && IsWindowVisible(h) && GetDlgItem(h, c->id)) {
                    c->found = h;
                    return FALSE;
                }
                return TRUE;
            }, reinterpret_cast<LPARAM>(&ctx));
            found = ctx.found;
            return found != nullptr;
        }, ms);
        return found;
    }
};

bool Click(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    if (!c) return false;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    vt::test::PumpMessages(30, 300);
    return true;
}

bool Enabled(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    return c && IsWindowEnabled(c);
}

// The text between the first `key` after `from` and the next `end`.
std::string Between(const std::string& s, const std::string& key, const std::string& end, size_t from = 0) {
    size_t a = s.find(key, from);
    if (a == std::string::npos) return {};
    a += key.size();
    size_t b = s.find(end, a);
    return b == std::string::npos ? std::string() : s.substr(a, b - a);
}

} // namespace

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // The engine server that our programs start (it inherits this environment) ends soon after
        // its last client instead of a minute later, so the test's output is not held open.
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"20");
        ASSERT_EQ(EngineCtl(L"reset"), 0);
        ASSERT_EQ(EngineCtl(L"unplug all"), 0);
        ASSERT_EQ(EngineCtl(L"plug mouse"), 0);
    }
    void TearDown() override {
        // The program started the tray program, which outlives it as an engine client: close it.
        for (int i = 0; i < 50; ++i) {
            HWND tray = FindWindowW(L"#32770", L"VeltoDunemarchIISysTray");
            if (!tray) break;
            DWORD pid = 0;
            GetWindowThreadProcessId(tray, &pid);
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
            PostMessageW(tray, WM_CLOSE, 0, 0);
            if (process) {
                WaitForSingleObject(process, 10000);
                CloseHandle(process);
            }
        }
    }
};

TEST_F(EndToEnd, DpiStagesEditedInThePopupReachTheEngine) {
    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = program.main;
    // Only the simulated mouse is plugged.
    EXPECT_TRUE(Enabled(main, ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_FALSE(Enabled(main, ctl::BUTTON_APPLY));
    ASSERT_TRUE(Click(main, ctl::BUTTON_ADJUSTPERFORMANCE));
    PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_SENSITIVITY_STAGES)) != FALSE; }, 5000);
    vt::test::PumpMessages(50, 500);
    vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_main_window.bmp"));

    ASSERT_TRUE(Click(main, ctl::BUTTON_SENSITIVITY_STAGES));
    HWND popup = program.Popup(ctl::BUTTON_DPISTAGES_OK);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(Click(popup, ctl::BUTTON_DPISTAGES_DEC));   // 5 -> 4 stages
    ASSERT_TRUE(Click(popup, ctl::BUTTON_DPISTAGES_DEC));   // 4 -> 3: the active stage 3 stays
    PostMessageW(popup, kSliderValueSet, 24, ctl::SLIDER_DPI_MULTI_STAGE1_POPUP);
    vt::test::PumpMessages(50, 400);
    vt::test::CaptureClient(popup).SaveBmp(vt::test::OutputPath(L"config_e2e_dpi_stages_popup.bmp"));
    ASSERT_TRUE(Click(popup, ctl::BUTTON_DPISTAGES_OK));
    PumpUntil([&] { return !IsWindow(popup); }, 3000);
    EXPECT_TRUE(PumpUntil([&] { return Enabled(main, ctl::BUTTON_APPLY); }, 3000));

    ASSERT_TRUE(Click(main, ctl::BUTTON_APPLY));
    // The write runs on the mouse's worker; Apply comes back once it has ended.
    std::string dump;
    const bool written = PumpUntil([&] {
        EngineCtl(L"dump", &dump);
        return Between(dump, "\"stages\":", "]]") == "[[800,800],[1200,1200],[2400,2400";
    }, 15000);
    EXPECT_TRUE(written) << dump.substr(0, 1200);
    EXPECT_EQ(Between(dump, "\"activeStage\":", ","), "3");
    EXPECT_EQ(Between(dump, "\"current\":[", "]"), "2400,2400");
    EXPECT_FALSE(Enabled(main, ctl::BUTTON_APPLY));

    ASSERT_TRUE(Click(main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Exited(15000));
}

TEST_F(EndToEnd, TheLastDeviceLeavingWarnsAndCloses) {
    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = program.main;
    EXPECT_TRUE(Enabled(main, ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_FALSE(Enabled(main, ctl::BUTTON_PRODSELECT_KEYBOARD));
    EXPECT_FALSE(Enabled(main, ctl::BUTTON_PRODSELECT_HEADSET));
    // A device that is not there leaves again: nothing changes.
    ASSERT_EQ(EngineCtl(L"unplug keyboard"), 0);
    vt::test::PumpMessages(50, 500);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_TRUE(Enabled(main, ctl::BUTTON_PRODSELECT_MOUSE));
    // The mouse leaves: no supported device is left, the warning shows and the program closes.
    ASSERT_EQ(EngineCtl(L"unplug mouse"), 0);
    HWND warning = program.Popup(ctl::BUTTON_POPUP_OK, 10000);
    ASSERT_NE(warning, nullptr);
    vt::test::CaptureClient(warning).SaveBmp(vt::test::OutputPath(L"config_e2e_no_device_warning.bmp"));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, ctl::BUTTON_PRODSELECT_MOUSE)));
    ASSERT_TRUE(Click(warning, ctl::BUTTON_POPUP_OK));
    EXPECT_TRUE(program.Exited(15000));
}

TEST_F(EndToEnd, DevicesLeavingAndComingBackMoveTheTabs) {
    ASSERT_EQ(EngineCtl(L"plug all"), 0);
    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = program.main;
    // The tabs come on as each device is read, and the mouse's first page shows after that.
    EXPECT_TRUE(PumpUntil([&] { return Enabled(main, ctl::BUTTON_PRODSELECT_KEYBOARD); }, 20000));
    EXPECT_TRUE(Enabled(main, ctl::BUTTON_PRODSELECT_MOUSE));
    EXPECT_TRUE(PumpUntil([&] { return Enabled(main, ctl::BUTTON_PRODSELECT_HEADSET); }, 20000));
    // The tabs are enabled a moment before the first device's page buttons are shown.
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_ADJUSTPERFORMANCE)) != FALSE; }, 20000));
    // The shown mouse leaves: its tab greys and the keyboard is shown.
    ASSERT_EQ(EngineCtl(L"unplug mouse"), 0);
    EXPECT_TRUE(PumpUntil([&] { return !Enabled(main, ctl::BUTTON_PRODSELECT_MOUSE); }, 20000));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_ASSIGNKEYS)) != FALSE; }, 20000));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, ctl::BUTTON_ADJUSTPERFORMANCE)));
    vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_keyboard_shown.bmp"));
    // It comes back: its tab is offered again, the keyboard stays shown, and the mouse can be shown.
    ASSERT_EQ(EngineCtl(L"plug mouse"), 0);
    EXPECT_TRUE(PumpUntil([&] { return Enabled(main, ctl::BUTTON_PRODSELECT_MOUSE); }, 20000));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, ctl::BUTTON_ASSIGNKEYS)));
    ASSERT_TRUE(Click(main, ctl::BUTTON_PRODSELECT_MOUSE));
    const bool shown = PumpUntil([&] { return IsWindowVisible(GetDlgItem(main, ctl::BUTTON_ADJUSTPERFORMANCE)) != FALSE; }, 20000);
    vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_mouse_back.bmp"));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(IsWindow(main));
    ASSERT_TRUE(Click(main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Exited(15000));
}

TEST_F(EndToEnd, ASecondStartBringsTheFirstForward) {
    Program first;
    ASSERT_TRUE(first.Start());
    PROCESS_INFORMATION pi{};
    STARTUPINFOW si{sizeof(si)};
    std::wstring cmd = L"\"" + Image() + L"VeltoDunemarchIIConfig.exe\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, Image().c_str(), &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(FindWindowW(L"SINGLE_INSTANCE_APP_DM", nullptr), first.main);
    Click(first.main, ctl::BUTTON_CANCEL);
    EXPECT_TRUE(first.Exited(15000));
}

// Help and Updates under a plain setup (no browser): each says what could not be opened instead of
// doing nothing, and the program goes on.
TEST_F(EndToEnd, HelpAndUpdatesWithoutABrowserSaySo) {
    Program program;
    ASSERT_TRUE(program.Start());
    for (int button : {ctl::BUTTON_HELP, ctl::BUTTON_UPDATE}) {
        ASSERT_TRUE(Click(program.main, button));
        HWND popup = program.Popup(ctl::TEXT_WARNDLG_HEADING, 15000);
        ASSERT_NE(popup, nullptr) << button;
        vt::test::PumpMessages(50, 500);
        vt::test::CaptureClient(popup).SaveBmp(vt::test::OutputPath(
            button == ctl::BUTTON_HELP ? L"config_e2e_help_not_opened.bmp" : L"config_e2e_updates_not_opened.bmp"));
        ASSERT_TRUE(Click(popup, ctl::BUTTON_POPUP_OK));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(popup); }, 5000));
    }
    EXPECT_TRUE(IsWindow(program.main));
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Exited(15000));
}

// A plain start on the installed data: the main window comes up whole, with no other window of
// the program (no message about damaged files) beside it.
TEST_F(EndToEnd, AStartOnIntactDataShowsOnlyTheMainWindow) {
    Program program;
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(program.main, ctl::BUTTON_ASSIGNBUTTONS)) != FALSE; }, 5000));
    vt::test::PumpMessages(50, 1000);
    struct Ctx { DWORD pid; HWND main; int others; } ctx{program.pi.dwProcessId, program.main, 0};
    EnumWindows([](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == c->pid && h != c->main && IsWindowVisible(h)) ++c->others;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&ctx));
    EXPECT_EQ(ctx.others, 0);
    for (int id : {ctl::BUTTON_OK, ctl::BUTTON_CANCEL, ctl::BUTTON_UPDATE, ctl::BUTTON_ADJUSTPERFORMANCE})
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(program.main, id))) << id;
    vt::test::CaptureClient(program.main).SaveBmp(vt::test::OutputPath(L"config_e2e_started.bmp"));
    ASSERT_TRUE(Click(program.main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Exited(15000));
}
