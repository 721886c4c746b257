// The configuration program end to end on the engine stand-in: it starts on the simulated mouse,
// the DPI stages are edited in the popup and applied, and the engine holds them afterwards; a
// device that leaves closes the program with its warning; the headset's levels, microphone and
// equaliser pages are worked and the equaliser is found again after a restart. Driven from outside by the controls'
// window ids, as a user's clicks would arrive.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "ConfigProgram.h"
#include "WindowTest.h"
#include "skin/Messages.h"
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

using Program = vt::test::ConfigProgram;

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


// A window of the program below `top` (at any depth) with that control id; null when none.
HWND Descendant(HWND top, int id) {
    struct Ctx { int id; HWND found; } ctx{id, nullptr};
    EnumChildWindows(top, [](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        if (GetDlgCtrlID(h) != c->id) return TRUE;
        c->found = h;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// The top of a slider's thumb on the screen: the model value the page shows, seen from outside.
int ThumbTop(HWND main, int id) {
    RECT r{};
    HWND thumb = Descendant(main, id);
    return thumb && GetWindowRect(thumb, &r) ? int(r.top) : -1;
}

// Sends to a window of the program; true once the program has handled it (bounded).
bool Handled(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, 15000, &result) != 0;
}

// A slider released at a value, as its track reports it to the main window; returns once the
// program has taken it.
bool Release(HWND main, int id, int value) { return Handled(main, kSliderValueSet, WPARAM(value), LPARAM(id)); }

// A check button pressed with the mouse (it toggles itself, then reports).
bool Press(HWND main, int id) {
    HWND b = Descendant(main, id);
    return b && Handled(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)) && Handled(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

// What the screen shows of a control.
std::vector<COLORREF> Look(HWND main, int id) {
    HWND c = Descendant(main, id);
    return c ? vt::test::CaptureClient(c).pixels : std::vector<COLORREF>{};
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
        vt::test::CloseTrayPrograms();
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
    // The write runs on the mouse's worker, one group after another, and Apply comes back once it
    // has ended: the whole write is waited for, not only its first group.
    std::string dump;
    const bool written = PumpUntil([&] {
        EngineCtl(L"dump", &dump);
        return Between(dump, "\"stages\":", "]]") == "[[800,800],[1200,1200],[2400,2400" &&
               Between(dump, "\"activeStage\":", ",") == "3" && Between(dump, "\"current\":[", "]") == "2400,2400";
    }, 15000);
    EXPECT_TRUE(written) << dump.substr(0, 1200);
    EXPECT_EQ(Between(dump, "\"activeStage\":", ","), "3");
    EXPECT_EQ(Between(dump, "\"current\":[", "]"), "2400,2400");
    EXPECT_FALSE(Enabled(main, ctl::BUTTON_APPLY));

    ASSERT_TRUE(Click(main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(program.Ended(15000));
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
    EXPECT_TRUE(program.Ended(15000));
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
    EXPECT_TRUE(program.Ended(15000));
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
    EXPECT_TRUE(first.Ended(15000));
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
    EXPECT_TRUE(program.Ended(15000));
}

// A plain start on the installed data: the main window comes up whole, with no other window of
// the program (no message about damaged files) beside it.
TEST_F(EndToEnd, AStartOnIntactDataShowsOnlyTheMainWindow) {
    Program program;
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(GetDlgItem(program.main, ctl::BUTTON_ASSIGNBUTTONS)) != FALSE; }, 5000));
    vt::test::PumpMessages(50, 1000);
    struct Ctx { DWORD pid; HWND main; int others; } ctx{program.ProcessId(), program.main, 0};
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
    EXPECT_TRUE(program.Ended(15000));
}

// The headset alone: its three pages worked as a user would. Windows has no headset endpoint here,
// so the levels live in the model for the session (the sliders show what it took); the equaliser
// lives in the engine: a band moved makes "Custom" current, a preset chosen with unsaved changes
// asks, Cancel rolls "Custom" back and OK keeps it, and OK applies. The dump holds the headset's
// equaliser, and a second start shows it again.
TEST_F(EndToEnd, HeadsetPagesReachTheEngineAndComeBack) {
    ASSERT_EQ(EngineCtl(L"unplug all"), 0);
    ASSERT_EQ(EngineCtl(L"plug headset"), 0);
    const int bands[] = {ctl::SLIDER_EQ_31HZ, ctl::SLIDER_EQ_62HZ, ctl::SLIDER_EQ_125HZ, ctl::SLIDER_EQ_250HZ,
                         ctl::SLIDER_EQ_500HZ, ctl::SLIDER_EQ_1KHZ, ctl::SLIDER_EQ_2KHZ, ctl::SLIDER_EQ_4KHZ,
                         ctl::SLIDER_EQ_8KHZ, ctl::SLIDER_EQ_16KHZ};
    auto headsetDump = [] {
        std::string dump;
        EngineCtl(L"dump", &dump);
        const size_t at = dump.find("{\"kind\":\"headset\"");
        return at == std::string::npos ? std::string() : dump.substr(at);
    };
    // The equaliser of the profile of that name (or id) in the dump, and the id of a profile.
    auto equaliser = [](const std::string& h, const std::string& name) {
        size_t at = h.find("\"name\":\"" + name + "\"");
        if (at == std::string::npos) at = h.find("\"id\":\"" + name + "\"");
        return at == std::string::npos ? std::string() : Between(h, "\"equalizer\":{", "]}", at);
    };
    auto idOf = [](const std::string& h, const std::string& name) {
        const size_t at = h.find("\"name\":\"" + name + "\"");
        const size_t id = at == std::string::npos ? std::string::npos : h.rfind("\"id\":\"", at);
        return id == std::string::npos ? std::string("?") : h.substr(id + 6, 38);
    };
    auto active = [](const std::string& h) { return Between(h, "\"activeProfile\":\"", "\""); };
    const std::string zeros = "\"on\":true,\"gains\":[0,0,0,0,0,0,0,0,0,0";
    const std::string kept = "\"on\":true,\"gains\":[0,0,0,0,0,-12,0,0,0,0";
    std::string h = headsetDump();
    ASSERT_EQ(idOf(h, "Custom"), "?") << h.substr(0, 1500);
    const std::string firstId = active(h);

    std::vector<int> shownBands;
    {
        Program program;
        ASSERT_TRUE(program.Start());
        HWND main = program.main;
        ASSERT_TRUE(Enabled(main, ctl::BUTTON_PRODSELECT_HEADSET));
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Descendant(main, ctl::SLIDER_MASTERVOLUME)) != FALSE; }, 20000));

        // Levels: the master slider shows what the model took, in proportion to its range; a
        // change of the left volume leaves the right one; mute toggles.
        ASSERT_TRUE(Release(main, ctl::SLIDER_MASTERVOLUME, 0));
        const int bottom = ThumbTop(main, ctl::SLIDER_MASTERVOLUME);
        ASSERT_TRUE(Release(main, ctl::SLIDER_MASTERVOLUME, 100));
        const int top = ThumbTop(main, ctl::SLIDER_MASTERVOLUME);
        ASSERT_TRUE(Release(main, ctl::SLIDER_MASTERVOLUME, 30));
        ASSERT_GT(bottom, top);
        EXPECT_NEAR(ThumbTop(main, ctl::SLIDER_MASTERVOLUME), bottom - (bottom - top) * 30 / 100, 2);
        const int rightBefore = ThumbTop(main, ctl::SLIDER_BALANCER);
        ASSERT_TRUE(Release(main, ctl::SLIDER_BALANCEL, 40));
        EXPECT_NEAR(ThumbTop(main, ctl::SLIDER_BALANCEL), bottom - (bottom - top) * 40 / 100, 2);
        EXPECT_EQ(ThumbTop(main, ctl::SLIDER_BALANCER), rightBefore);
        const std::vector<COLORREF> unmuted = Look(main, ctl::BUTTON_HEADSET_MUTE);
        ASSERT_TRUE(Press(main, ctl::BUTTON_HEADSET_MUTE));
        EXPECT_TRUE(PumpUntil([&] { return Look(main, ctl::BUTTON_HEADSET_MUTE) != unmuted; }, 3000));
        vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_headset_levels.bmp"));
        // Nothing waits for Apply on the headset's pages.
        EXPECT_FALSE(Enabled(main, ctl::BUTTON_APPLY));

        // Microphone: level, mute and automatic gain.
        ASSERT_TRUE(Click(main, ctl::BUTTON_MICSETTINGS));
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Descendant(main, ctl::SLIDER_MICVOLUME)) != FALSE; }, 5000));
        ASSERT_TRUE(Release(main, ctl::SLIDER_MICVOLUME, 70));
        EXPECT_NEAR(ThumbTop(main, ctl::SLIDER_MICVOLUME), bottom - (bottom - top) * 70 / 100, 2);
        for (int id : {ctl::BUTTON_HEADSET_MIC_MUTE, ctl::BUTTON_HEADSET_MIC_AUTOGAINCTRL}) {
            const std::vector<COLORREF> before = Look(main, id);
            ASSERT_TRUE(Press(main, id));
            EXPECT_TRUE(PumpUntil([&] { return Look(main, id) != before; }, 3000)) << id;
        }
        vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_headset_microphone.bmp"));

        // Equaliser: off (the bands grey, the engine's switch off) and on again.
        ASSERT_TRUE(Click(main, ctl::BUTTON_EQSETTINGS));
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Descendant(main, ctl::SLIDER_EQ_31HZ)) != FALSE; }, 5000));
        ASSERT_TRUE(IsWindowEnabled(Descendant(main, ctl::SLIDER_EQ_31HZ)));
        ASSERT_TRUE(Press(main, ctl::BUTTON_EQ_EQUALIZERENABLE));
        EXPECT_TRUE(PumpUntil([&] {
            h = headsetDump();
            return Between(equaliser(h, firstId), "\"on\":", ",") == "false";
        }, 10000)) << h.substr(0, 1500);
        EXPECT_FALSE(IsWindowEnabled(Descendant(main, ctl::SLIDER_EQ_31HZ)));
        EXPECT_FALSE(IsWindowEnabled(Descendant(main, ctl::BUTTON_DROPDOWN_EQ_PRESETSELECT)));
        ASSERT_TRUE(Press(main, ctl::BUTTON_EQ_EQUALIZERENABLE));
        EXPECT_TRUE(IsWindowEnabled(Descendant(main, ctl::SLIDER_EQ_31HZ)));

        // A band moved on the first preset: "Custom" is made, current and active, with the change.
        ASSERT_TRUE(Release(main, ctl::SLIDER_EQ_250HZ, 10));
        EXPECT_TRUE(PumpUntil([&] {
            h = headsetDump();
            return equaliser(h, "Custom") == "\"on\":true,\"gains\":[0,0,0,10,0,0,0,0,0,0";
        }, 10000)) << h.substr(0, 2000);
        EXPECT_EQ(active(h), idOf(h, "Custom"));
        EXPECT_LT(ThumbTop(main, ctl::SLIDER_EQ_250HZ), ThumbTop(main, ctl::SLIDER_EQ_31HZ));
        vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_headset_equaliser.bmp"));

        // The first preset chosen: the warning asks; Cancel rolls "Custom" back on the headset.
        HWND presets = Descendant(main, ctl::BUTTON_DROPDOWN_EQ_PRESETSELECT);
        ASSERT_NE(presets, nullptr);
        PostMessageW(main, vt::skin::WM_DROPDOWN_SELCHANGE, 0, LPARAM(presets));
        HWND warning = program.Popup(ctl::BUTTON_POPUP_CANCEL, 10000);
        ASSERT_NE(warning, nullptr);
        vt::test::PumpMessages(50, 500);
        vt::test::CaptureClient(warning).SaveBmp(vt::test::OutputPath(L"config_e2e_headset_preset_warning.bmp"));
        ASSERT_TRUE(Click(warning, ctl::BUTTON_POPUP_CANCEL));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(warning); }, 5000));
        // The rollback is written once the warning has gone.
        EXPECT_TRUE(PumpUntil([&] {
            h = headsetDump();
            return equaliser(h, "Custom") == zeros && active(h) == firstId;
        }, 10000)) << h.substr(0, 2000);
        EXPECT_EQ(ThumbTop(main, ctl::SLIDER_EQ_250HZ), ThumbTop(main, ctl::SLIDER_EQ_31HZ));

        // Shaped again, and kept with OK.
        ASSERT_TRUE(Release(main, ctl::SLIDER_EQ_1KHZ, -12));
        PostMessageW(main, vt::skin::WM_DROPDOWN_SELCHANGE, 0, LPARAM(presets));
        warning = program.Popup(ctl::BUTTON_POPUP_OK, 10000);
        ASSERT_NE(warning, nullptr);
        ASSERT_TRUE(Click(warning, ctl::BUTTON_POPUP_OK));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(warning); }, 5000));
        EXPECT_TRUE(PumpUntil([&] {
            h = headsetDump();
            return equaliser(h, "Custom") == kept && active(h) == firstId;
        }, 10000)) << h.substr(0, 2000);

        // "Custom" chosen again (nothing pending: no warning), then OK applies and closes.
        PostMessageW(main, vt::skin::WM_DROPDOWN_SELCHANGE, 1, LPARAM(presets));
        vt::test::PumpMessages(50, 500);
        EXPECT_EQ(program.Popup(ctl::BUTTON_POPUP_OK, 300), nullptr);
        for (int id : bands) shownBands.push_back(ThumbTop(main, id));
        EXPECT_GT(shownBands[5], shownBands[0]);
        ASSERT_TRUE(Click(main, ctl::BUTTON_OK));
        EXPECT_TRUE(program.Ended(15000));
    }
    h = headsetDump();
    EXPECT_EQ(active(h), idOf(h, "Custom")) << h.substr(0, 2000);
    EXPECT_EQ(equaliser(h, "Custom"), kept);
    EXPECT_EQ(equaliser(h, firstId), zeros);

    // Started again: "Custom" is current with its bands where they were.
    Program again;
    ASSERT_TRUE(again.Start());
    HWND main = again.main;
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Descendant(main, ctl::SLIDER_MASTERVOLUME)) != FALSE; }, 20000));
    ASSERT_TRUE(Click(main, ctl::BUTTON_EQSETTINGS));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Descendant(main, ctl::SLIDER_EQ_31HZ)) != FALSE; }, 5000));
    vt::test::PumpMessages(50, 500);
    std::vector<int> bandsAgain;
    for (int id : bands) bandsAgain.push_back(ThumbTop(main, id));
    EXPECT_EQ(bandsAgain, shownBands);
    EXPECT_TRUE(IsWindowEnabled(Descendant(main, ctl::SLIDER_EQ_1KHZ)));
    vt::test::CaptureClient(main).SaveBmp(vt::test::OutputPath(L"config_e2e_headset_equaliser_again.bmp"));
    ASSERT_TRUE(Click(main, ctl::BUTTON_CANCEL));
    EXPECT_TRUE(again.Ended(15000));
}
