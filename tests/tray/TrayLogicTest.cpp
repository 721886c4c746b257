// The tray's rules without windows: the configuration program's launcher, the recorder's event
// list, the recording's owner, and the on-screen display's geometry.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "InProcessEngine.h"
#include "tray/DeviceManager.h"
#include "tray/MacroRecorder.h"
#include "tray/Osd.h"
#include "tray/PcManager.h"
#include "tray/TraySystem.h"

using namespace vt::tray;

namespace {

constexpr const wchar_t* kTestKey = L"Software\\VeltoTrayTest\\Install";

struct Launch {
    std::wstring file, directory;
};

class TrayLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, m_cwd);
        System().shellOpen = [this](const wchar_t* verb, const wchar_t* file, const wchar_t* dir) {
            EXPECT_STREQ(verb, L"open");
            launches.push_back({file, dir ? dir : L""});
            return true;
        };
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VeltoTrayTest");
        SetCurrentDirectoryW(m_cwd);
        ResetTraySystem();
    }
    void SetValue(DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, L"InstallDir", 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetText(const std::wstring& text) { SetValue(REG_SZ, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t))); }
    std::vector<Launch> launches;
    wchar_t m_cwd[MAX_PATH] = {};
};

} // namespace

TEST_F(TrayLauncher, OpensTheProgramInTheInstallFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = temp;
    if (folder.back() == L'\\') folder.pop_back();
    for (const std::wstring& stored : {folder + L"\\", folder}) {
        launches.clear();
        SetText(stored);
        EXPECT_TRUE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
        ASSERT_EQ(launches.size(), 1u);
        EXPECT_EQ(launches[0].file, folder + L"\\VeltoDunemarchIIConfig.exe");
        EXPECT_EQ(launches[0].directory, folder);
        wchar_t cwd[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, cwd);
        EXPECT_EQ(_wcsicmp(cwd, folder.c_str()), 0);
    }
}

TEST_F(TrayLauncher, AMissingEmptyOrWrongValueStartsNothing) {
    EXPECT_FALSE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));  // no value
    SetText(L"");
    EXPECT_FALSE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
    SetValue(REG_SZ, L"", 0);  // no bytes at all
    EXPECT_FALSE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
    SetText(L"\\");
    EXPECT_FALSE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
    const DWORD number = 7;
    SetValue(REG_DWORD, &number, sizeof(number));
    EXPECT_FALSE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
    // Longer than a path: refused, never read past the buffer.
    const std::wstring longText(400, L'x');
    SetText(longText);
    EXPECT_FALSE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
    EXPECT_TRUE(launches.empty());
    // 259 characters without a terminator still fit.
    const std::wstring full = L"C:\\" + std::wstring(256, L'y');
    SetValue(REG_SZ, full.data(), DWORD(full.size() * sizeof(wchar_t)));
    EXPECT_TRUE(CPcManager::LaunchConfigProgram(HKEY_CURRENT_USER, kTestKey));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].directory, full);
}

TEST_F(TrayLauncher, OnlyTheExactProgramNameCountsAsRunning) {
    struct Case { std::vector<std::wstring> names; bool snapshot; bool running; } cases[] = {
        {{L"explorer.exe", L"VeltoDunemarchIIConfig.exe"}, true, true},
        {{L"veltodunemarchiiconfig.exe"}, true, false},
        {{L"VeltoDunemarchIIConfig.exe.bak", L"VeltoDunemarchIISysTray.exe"}, true, false},
        {{L"VeltoDunemarchIIConfig.exe"}, false, false},
    };
    for (const Case& c : cases) {
        System().processes = [&c](std::vector<ProcessEntry>& out) {
            out.clear();
            DWORD id = 100;
            for (const auto& n : c.names) out.push_back({id++, n});
            return c.snapshot;
        };
        EXPECT_EQ(CPcManager::IsConfigProgramRunning(), c.running) << c.names.size();
    }
}

TEST(TrayRecorderList, KeysButtonsAndPauses) {
    struct Input { char kind; uint16_t a, b; DWORD tick; };  // k key (make, flags), m mouse (flags, data)
    struct Case {
        const char* what;
        std::vector<Input> inputs;
        std::vector<TrayMacroEvent> events;
    } cases[] = {
        {"press and release 250 ms apart", {{'k', 0x1E, 0, 1000}, {'k', 0x1E, 1, 1250}}, {{2, 0x1E, 0}, {3, 250, 0}, {2, 0x1E, 1}}},
        {"auto-repeat dropped, a second press kept",
         {{'k', 0x1E, 0, 0}, {'k', 0x1E, 0, 30}, {'k', 0x1E, 0, 60}, {'k', 0x1E, 1, 100}, {'k', 0x1E, 0, 200}},
         {{2, 0x1E, 0}, {3, 100, 0}, {2, 0x1E, 1}, {3, 100, 0}, {2, 0x1E, 0}}},
        {"a long pause is capped", {{'k', 0x10, 0, 0}, {'k', 0x10, 1, 0x1000000 + 5}}, {{2, 0x10, 0}, {3, 0xFFFF, 0xFF}, {2, 0x10, 1}}},
        {"the tick count wraps", {{'m', 0x0001, 0, 0xFFFFFF00u}, {'m', 0x0002, 0, 0x100}}, {{1, 1, 0}, {3, 0x200, 0}, {1, 2, 0}}},
        {"wheel, several buttons and movement dropped",
         {{'m', 0x0400, 120, 0}, {'m', 0x0003, 0, 10}, {'m', 0, 0, 20}, {'m', 0x0200, 0, 30}},
         {{1, 0x0200, 0}}},
        {"E0 keys keep their flags", {{'k', 0x1D, 2, 0}, {'k', 0x1D, 3, 40}}, {{2, 0x1D, 2}, {3, 40, 0}, {2, 0x1D, 3}}},
    };
    for (const Case& c : cases) {
        CDelayTimer list;
        list.Start(c.inputs.front().tick);
        for (const Input& in : c.inputs) {
            if (in.kind == 'k') list.AddKey(in.a, in.b, in.tick);
            else list.AddMouse(in.a, in.b, in.tick);
        }
        ASSERT_EQ(list.Events().size(), c.events.size()) << c.what;
        for (size_t i = 0; i < c.events.size(); ++i) {
            EXPECT_EQ(list.Events()[i].type, c.events[i].type) << c.what << " " << i;
            EXPECT_EQ(list.Events()[i].low, c.events[i].low) << c.what << " " << i;
            EXPECT_EQ(list.Events()[i].high, c.events[i].high) << c.what << " " << i;
        }
    }
}

TEST(TrayRecorder, OnlyTheRecordingDeviceEndsItsRecording) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        vt::test::InProcessTrayEngine engine;
        DWORD now = 5000;
        System().tickCount = [&now] { return now; };
        CDeviceManager devices;
        CMacroRecorder recorder(devices);
        EXPECT_FALSE(recorder.Recording());

        // A cancel with no recording changes no device.
        BSTR log = nullptr;
        engine.control->GetCallLog(1, &log);
        SysFreeString(log);
        log = nullptr;
        recorder.OnCancel(0x1A);
        engine.control->GetCallLog(1, &log);
        EXPECT_EQ(std::wstring(log ? log : L"").find(L"SetMode"), std::wstring::npos);
        SysFreeString(log);

        recorder.OnStart(0x1A, nullptr);
        EXPECT_TRUE(recorder.Recording());
        RAWINPUT key{};
        key.header.dwType = RIM_TYPEKEYBOARD;
        key.data.keyboard.MakeCode = 0x1E;
        recorder.RecordRaw(key);
        // The mouse leaving, or its cancel, leaves the keyboard's recording alone.
        recorder.Reset(0x19);
        recorder.OnCancel(0x19);
        EXPECT_TRUE(recorder.Recording());
        EXPECT_EQ(recorder.Owner(), 0x1A);
        ASSERT_EQ(recorder.Events().size(), 1u);

        // A second start begins again.
        recorder.OnStart(0x1A, nullptr);
        EXPECT_TRUE(recorder.Events().empty());
        recorder.RecordRaw(key);
        recorder.OnStop(0x1A);
        EXPECT_FALSE(recorder.Recording());
        recorder.RecordRaw(key);  // after the stop nothing is kept
        EXPECT_EQ(recorder.Events().size(), 1u);
        // The keyboard leaving ends it: nothing stored, its light off, the list emptied.
        recorder.Reset(0x1A);
        EXPECT_EQ(recorder.Owner(), 0);
        EXPECT_TRUE(recorder.Events().empty());
        EXPECT_EQ(engine.Dump().find(L"New Macro"), std::wstring::npos);
    }
    CoUninitialize();
}

TEST(TrayOsdLayout, WindowsAndTypeFollowTheScreen) {
    struct Case {
        int dpi;
        RECT monitor;
        int nameFont, numberFont;
        RECT text, slider;
    } cases[] = {
        {96, {0, 0, 1280, 1024}, 26, 13, {0, 948, 1270, 974}, {1151, 673, 1270, 938}},
        {120, {0, 0, 1920, 1080}, 33, 16, {0, 997, 1910, 1030}, {1791, 719, 1910, 987}},
        {144, {-1280, 0, 0, 1024}, 40, 20, {-1280, 934, -10, 974}, {-129, 652, -10, 924}},
    };
    for (const Case& c : cases) {
        OsdLayout l = ComputeOsdLayout(c.dpi, c.monitor, 20);
        EXPECT_EQ(l.nameFont, c.nameFont) << c.dpi;
        EXPECT_EQ(l.numberFont, c.numberFont) << c.dpi;
        EXPECT_EQ(l.barArea, 240);
        EXPECT_TRUE(EqualRect(&l.textWindow, &c.text)) << c.dpi << ": " << l.textWindow.left << "," << l.textWindow.top << ","
                                                      << l.textWindow.right << "," << l.textWindow.bottom;
        EXPECT_TRUE(EqualRect(&l.sliderWindow, &c.slider)) << c.dpi << ": " << l.sliderWindow.left << "," << l.sliderWindow.top
                                                          << "," << l.sliderWindow.right << "," << l.sliderWindow.bottom;
    }
    // Bars grow upwards at a pitch of 12 pixels, 10 high, inside the column's frame.
    RECT column{62, 0, 119, 265};
    RECT bottom = OsdBarRect(column, 0, 13, 240), next = OsdBarRect(column, 1, 13, 240);
    EXPECT_EQ(bottom.left, 68);
    EXPECT_EQ(bottom.right, 113);
    EXPECT_EQ(bottom.bottom, 259);
    EXPECT_EQ(bottom.top, 249);
    EXPECT_EQ(next.bottom, 247);
}
