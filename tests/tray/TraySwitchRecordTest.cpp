// The tray program end to end on the registered engine stand-in, for what follows the devices:
// the profile linked to the program in front becomes active and is announced, a DPI button press
// shows the gauge, and a macro recorded on the fly lands in the engine as "New Macro n" on the
// chosen key (or nothing, when the recording is cancelled).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "TrayProcess.h"
#include "tray/Osd.h"
#include "tray/VtDevice.h"

using vt::test::PumpUntil;
using vt::win::ComPtr;

namespace {

using namespace vt::test::tray;

constexpr int32_t kMouse = 0x19, kKeyboard = 0x1A;

// Runs enginectl from the stand-in folder with the arguments; its exit code, -1 when it did not end.
int EngineCtl(const std::wstring& args) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + vt::test::StandinFolder() + L"enginectl.exe\" " + args;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) return -1;
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return int(code);
}

std::wstring TestFolder() {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring s(self, n);
    return s.substr(0, s.find_last_of(L"\\/") + 1);
}

int CountColour(const vt::test::Capture& c, COLORREF colour, int tolerance) {
    int n = 0;
    for (COLORREF p : c.pixels)
        if (vt::test::SameColor(p, colour, tolerance)) ++n;
    return n;
}

class TraySwitchRecord : public TrayEndToEndBase {
protected:
    HWND OsdWindow(const wchar_t* cls, DWORD pid) {
        std::vector<HWND> w = Windows(cls, pid);
        return w.empty() ? nullptr : w[0];
    }
    std::wstring ActiveProfile(int32_t pid) {
        vt::tray::CVtDevice client(pid);
        std::wstring name;
        client.GetActiveProfileName(name);
        return name;
    }
    ULONG KeyboardMode() {
        ComPtr<IVtKeyboardMode> mode;
        ULONG m = 0;
        if (SUCCEEDED(engine.Device(kKeyboard)->CreateInterfaceInstance(IID_IVtKeyboardMode, mode.PutVoid()))) mode->GetMode(&m);
        return m;
    }
    // The effect of the keyboard's recording light (zone 7) in its active profile: 1 blinks (the
    // recording stopped, waiting for its key); -1 when it cannot be read.
    LONG RecordingLightEffect() {
        ComPtr<IVtProfile> profile;
        ComPtr<IVtLighting> lighting;
        ComPtr<IVtProfileManager> profiles = engine.Profiles(kKeyboard);
        if (!profiles || FAILED(profiles->GetActiveProfile(profile.Put())) ||
            FAILED(profile->CreateInterfaceInstance(IID_IVtLighting, lighting.PutVoid())))
            return -1;
        for (ULONG i = 0;; ++i) {
            ComPtr<IVtLightingZone> zone;
            if (FAILED(lighting->GetZone(i, zone.Put())) || !zone) return -1;
            ULONG id = 0;
            ComPtr<IVtLightingEffect> effect;
            if (FAILED(zone->GetZoneId(&id)) || id != 7 || FAILED(zone.As(effect)) || !effect) continue;
            LONG mode = -1, p1 = 0, p2 = 0;
            return SUCCEEDED(effect->GetEffect(&mode, &p1, &p2)) ? mode : -1;
        }
    }
    ULONG MacroCount() { return ULONG(engine.MacroNames(kKeyboard).size()); }
    VtActionRecord FirstKey() { return engine.FirstKey(kKeyboard); }
};

} // namespace

TEST_F(TraySwitchRecord, TheProfileLinkedToTheProgramInFrontBecomesActiveAndIsAnnounced) {
    ASSERT_TRUE(engine.AddProfile(kMouse, L"Foreground game"));
    {
        vt::tray::CVtDevice client(kMouse);
        ASSERT_TRUE(client.SetProfileProgramPath(L"Foreground game", L"tray_foreground.exe"));
        ASSERT_TRUE(client.SetProfileFlags(L"Foreground game", true, false, true));
    }
    Tray tray;
    ASSERT_TRUE(tray.Start());
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + TestFolder() + L"tray_foreground.exe\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND front = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        front = FindWindowW(L"TrayForegroundWindow", nullptr);
        if (front && GetForegroundWindow() != front) SetForegroundWindow(front);
        return front && GetForegroundWindow() == front;
    }, 10000));
    HWND osd = OsdWindow(L"vt_osd", tray.pi.dwProcessId);
    ASSERT_NE(osd, nullptr);
    const DWORD t0 = GetTickCount();
    // Within two ticks of the tray's 5-second timer the tray switches and shows the name; it paints
    // when its own messages come round, and hides the name two seconds later: the screen is read
    // while the window shows until the name is on it.
    vt::test::Capture c;
    EXPECT_TRUE(PumpUntil([&] {
        if (!IsWindowVisible(osd)) return false;
        c = vt::test::CaptureClient(osd);
        return CountColour(c, vt::tray::kOsdTextColour, 6) > 50;
    }, 12000)) << "visible: " << IsWindowVisible(osd);
    const DWORD took = GetTickCount() - t0;
    c.SaveBmp(vt::test::OutputPath(L"tray_e2e_profile_osd.bmp"));
    EXPECT_EQ(ActiveProfile(kMouse), L"Foreground game");
    EXPECT_EQ(GetForegroundWindow(), front);  // the program in front kept the focus
    EXPECT_LE(took, 12000u);
    EndProcess(pi.dwProcessId, front);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

TEST_F(TraySwitchRecord, ADpiButtonShowsTheGaugeForTwoSeconds) {
    // Button 4 of the mouse's active profile steps the DPI stage up; the profile shows DPI changes.
    ComPtr<IVtProfile> profile;
    ComPtr<IVtButtonAssignments> buttons;
    ASSERT_TRUE(SUCCEEDED(engine.Profiles(kMouse)->GetActiveProfile(profile.Put())));
    ASSERT_TRUE(SUCCEEDED(profile->CreateInterfaceInstance(IID_IVtButtonAssignments, buttons.PutVoid())));
    VtActionRecord up{1, 4, 1, {}};
    const ULONG stageUp = 9;
    std::memcpy(up.Payload, &stageUp, 4);
    ASSERT_TRUE(SUCCEEDED(buttons->SetAssignment(1, &up)));
    uint32_t minimum = 0, maximum = 0, step = 0;
    {
        vt::tray::CVtDevice client(kMouse);
        ASSERT_TRUE(client.SetProfileFlags(L"Profile 1", false, true, false));
        ASSERT_TRUE(client.GetDpiRange(minimum, maximum, step));
    }
    Tray tray;
    ASSERT_TRUE(tray.Start());
    ASSERT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 10000));
    HWND gauge = OsdWindow(L"vt_osdslider", tray.pi.dwProcessId);
    ASSERT_NE(gauge, nullptr);
    const int expectedBars = int(4000u * 20u / maximum);
    const int numberFont = vt::tray::ComputeOsdLayout(96, RECT{0, 0, 1, 1}, 20).numberFont;
    auto countBars = [&](const vt::test::Capture& c) {
        int bars = 0;
        bool inBar = false;
        for (int y = 6 + numberFont + 2; y < c.height - 2; ++y) {  // down the right column, above its frame
            const bool bar = vt::test::SameColor(c.At(70, y), vt::tray::kOsdBarColour, 12);
            if (bar && !inBar) ++bars;
            inBar = bar;
        }
        return bars;
    };
    const DWORD pressedAt = GetTickCount();
    ASSERT_EQ(EngineCtl(L"press mouse 4"), 0);  // stage 3 (1800) to stage 4 (4000)
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(gauge) != FALSE; }, 5000));
    const DWORD shownAt = GetTickCount();
    // Read while it shows, until the tray has painted the bars.
    vt::test::Capture c;
    int bars = -1;
    PumpUntil([&] {
        if (!IsWindowVisible(gauge)) return true;
        c = vt::test::CaptureClient(gauge);
        bars = countBars(c);
        return bars == expectedBars;
    }, 1500);
    c.SaveBmp(vt::test::OutputPath(L"tray_e2e_dpi_osd.bmp"));
    EXPECT_EQ(bars, expectedBars);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(gauge); }, 5000));
    const DWORD hiddenAt = GetTickCount();
    // Shown after the press and hidden two seconds after it was shown.
    EXPECT_GE(hiddenAt - pressedAt, 1900u);
    EXPECT_LE(hiddenAt - shownAt, 3500u);
}

// The engine's process ends under the tray, as in a crash: within a tick or two of the tray's
// timer its events are connected again on a fresh engine, and the engine's events reach it there.
TEST_F(TraySwitchRecord, EventsAreConnectedAgainOnAFreshEngineAfterTheEngineDied) {
    Tray tray;
    ASSERT_TRUE(tray.Start());
    ASSERT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 10000));
    ASSERT_EQ(EngineCtl(L"kill"), 0);
    // The fixture's connection went with that process: reach the next engine as the tray does.
    engine.control = {};
    engine.manager = {};
    ASSERT_TRUE(SUCCEEDED(vt::tray::System().createEngine(engine.manager.Put())));
    ASSERT_TRUE(SUCCEEDED(engine.manager.As(engine.control)));
    EXPECT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 15000)) << engine.Sinks();
    ASSERT_EQ(EngineCtl(L"record key"), 0);  // the tray takes the start and puts the keyboard in mode 2
    EXPECT_TRUE(PumpUntil([&] { return KeyboardMode() == 2; }, 5000));
    ASSERT_EQ(EngineCtl(L"record escape"), 0);
    EXPECT_TRUE(PumpUntil([&] { return KeyboardMode() == 1; }, 5000));
}

TEST_F(TraySwitchRecord, AMacroRecordedOnTheFlyIsStoredAndAssigned) {
    for (const wchar_t* name : {L"New Macro3", L"Mine", L"New Macro10"}) ASSERT_TRUE(engine.AddMacro(kKeyboard, name));
    const VtActionRecord target = FirstKey();
    ASSERT_NE(target.Index, 0u);
    Tray tray;
    ASSERT_TRUE(tray.Start());
    ASSERT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 10000));
    ASSERT_EQ(EngineCtl(L"record key"), 0);  // start: the keyboard records, the tray listens
    ASSERT_TRUE(PumpUntil([&] { return KeyboardMode() == 2; }, 5000));
    vt::test::PressKey('A');
    vt::test::ClickAt(600, 500);  // on the empty desktop, away from the notification area
    ASSERT_EQ(EngineCtl(L"record key"), 0);  // stop
    ASSERT_TRUE(PumpUntil([&] { return RecordingLightEffect() == 1; }, 5000));  // the tray took the stop
    vt::test::PressKey('B');                 // after the stop: not recorded
    ASSERT_EQ(EngineCtl(L"record target " + std::to_wstring(target.Index)), 0);
    ASSERT_TRUE(PumpUntil([&] { return MacroCount() == 4; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return KeyboardMode() == 1; }, 3000));

    EXPECT_EQ(engine.MacroNames(kKeyboard).back(), L"New Macro11");
    GUID id{};
    const std::vector<int32_t> types = engine.MacroEventTypes(kKeyboard, 3, &id);
    // Under Wine here, input another process injects reaches the tray program's raw-input window
    // seldom or in part (the macro comes out empty, or with only some of the events), not even
    // with the tray's own About box in front; the exact recording of raw input (key down, pause,
    // key up, pause, button down, pause, button up) is checked in the window tests, where the test
    // injects into its own process. Here: whatever came is a well-formed part of what was sent,
    // events of the key and the button with a pause between each two, nothing after the stop.
    EXPECT_LE(types.size(), 7u);
    for (size_t i = 0; i < types.size(); ++i) {
        if (i % 2) EXPECT_EQ(types[i], 3) << "event " << i;
        else EXPECT_TRUE(types[i] == 1 || types[i] == 2) << "event " << i << ": " << types[i];
    }
    EXPECT_TRUE(types.empty() || types.size() % 2 == 1) << "a recording ends with an event, not a pause";
    const VtActionRecord assigned = FirstKey();
    EXPECT_EQ(assigned.Type, 8u);
    EXPECT_EQ(std::memcmp(assigned.Payload, &id, 16), 0);
}

TEST_F(TraySwitchRecord, ACancelledRecordingLeavesNothing) {
    Tray tray;
    ASSERT_TRUE(tray.Start());
    ASSERT_TRUE(PumpUntil([&] { return engine.Sinks() == 6; }, 10000));
    const ULONG before = MacroCount();
    ASSERT_EQ(EngineCtl(L"record key"), 0);
    ASSERT_TRUE(PumpUntil([&] { return KeyboardMode() == 2; }, 5000));
    vt::test::PressKey('C');
    ASSERT_EQ(EngineCtl(L"record escape"), 0);
    EXPECT_TRUE(PumpUntil([&] { return KeyboardMode() == 1; }, 5000));
    vt::test::PumpMessages(50, 500);
    EXPECT_EQ(MacroCount(), before);
    EXPECT_EQ(FirstKey().Type, 5u);  // the key still remaps to itself
}
