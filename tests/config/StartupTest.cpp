// Start-up logic: the install key's values (long install paths, value types, a key that cannot be
// written), the language lookup, the tray start, the engine warm-up, and the device kind of an
// arrival notice.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <atomic>
#include <string>
#include <vector>
#include "config/EngineWarmUp.h"
#include "config/MainDlg.h"
#include "config/Registry.h"
#include "skin/Vocabulary.h"

using namespace vt::config;

namespace {

// A private registry root under HKCU, deleted afterwards.
class TempRoot {
public:
    TempRoot() {
        path_ = L"Software\\VtConfigTest\\" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++s_n);
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    ~TempRoot() {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    HKEY Key() const { return key_; }
    // The install key below this root.
    HKEY Install() {
        HKEY k = nullptr;
        RegCreateKeyExW(key_, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        return k;
    }
    void SetString(const wchar_t* name, const std::wstring& v) {
        HKEY k = Install();
        RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), DWORD((v.size() + 1) * 2));
        RegCloseKey(k);
    }
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY k = Install();
        RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(k);
    }

private:
    static inline int s_n = 0;
    std::wstring path_;
    HKEY key_ = nullptr;
};

int FindLanguage(const std::wstring& name) { return int(vt::skin::FindLanguageIdByName(name)); }

} // namespace

class Startup : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vt::skin::BuildVocabularyTables(); }
};

TEST_F(Startup, MissingKeyIsCreatedAndDefaultsHold) {
    TempRoot root;
    const StartupSettings s = ReadStartupSettings(root.Key(), FindLanguage);
    EXPECT_TRUE(s.keyOpened);
    EXPECT_EQ(s.languageId, 544);
    EXPECT_TRUE(s.installDir.empty());
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExW(root.Key(), kInstallKey, 0, KEY_READ, &k), ERROR_SUCCESS);
    RegCloseKey(k);
}

TEST_F(Startup, LanguageNamesMapToTheirIds) {
    struct Case { const wchar_t* name; int lookup; int id; } cases[] = {
        {L"German", 549, 549}, {L"german", 549, 549}, {L"English", 544, 544}, {L"Klingon", -1, -1}, {L"", -1, -1},
    };
    for (const Case& c : cases) {
        TempRoot root;
        root.SetString(L"Language", c.name);
        const StartupSettings s = ReadStartupSettings(root.Key(), FindLanguage);
        EXPECT_EQ(s.languageLookup, c.lookup) << std::string(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(s.languageId, c.id);
    }
}

// An install path is far longer than 39 characters; it must come back whole.
TEST_F(Startup, InstallDirOfAnyUsualLengthIsRead) {
    const std::wstring longPath =
        L"C:\\Program Files (x86)\\Velto\\Dunemarch II Configurator\\Version 2.10 (build 4411)\\";
    struct Case { std::wstring stored, expected; } cases[] = {
        {longPath, longPath.substr(0, longPath.size() - 1)},
        {L"C:\\Velto", L"C:\\Velto"},
        {L"C:\\Velto\\", L"C:\\Velto"},
        {std::wstring(259, L'a'), std::wstring(259, L'a')},
        {L"", L""},
    };
    for (const Case& c : cases) {
        TempRoot root;
        root.SetString(L"InstallDir", c.stored);
        EXPECT_EQ(ReadStartupSettings(root.Key(), FindLanguage).installDir, c.expected);
    }
}

TEST_F(Startup, RegistryTextRejectsWrongTypesAndEndsUnterminatedText) {
    TempRoot root;
    const DWORD number = 7;
    root.SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
    const wchar_t raw[] = {L'C', L':', L'\\', L'X'};   // stored without its terminator
    root.SetRaw(L"Raw", REG_SZ, raw, sizeof(raw));
    HKEY k = root.Install();
    std::wstring out = L"untouched";
    EXPECT_NE(ReadRegistryText(k, L"Number", out), ERROR_SUCCESS);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReadRegistryText(k, L"Raw", out), ERROR_SUCCESS);
    EXPECT_EQ(out, L"C:\\X");
    EXPECT_EQ(ReadRegistryText(k, L"Missing", out), ERROR_FILE_NOT_FOUND);
    RegCloseKey(k);
}

// The key is opened for reading only: a key that refuses writing still gives its values (the
// machine key of a standard user).
TEST_F(Startup, ReadOnlyKeyStillGivesItsValues) {
    TempRoot root;
    root.SetString(L"Language", L"French");
    root.SetString(L"InstallDir", L"C:\\Velto\\");
    HKEY readOnly = nullptr;
    ASSERT_EQ(RegOpenKeyExW(root.Key(), nullptr, 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    const StartupSettings s = ReadStartupSettings(readOnly, FindLanguage);
    RegCloseKey(readOnly);
    EXPECT_TRUE(s.keyOpened);
    EXPECT_EQ(s.languageId, 547);
    EXPECT_EQ(s.installDir, L"C:\\Velto");
}

TEST_F(Startup, TrayIsStartedOnceFromTheInstallFolder) {
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = temp;
    if (folder.back() == L'\\') folder.pop_back();
    std::vector<std::wstring> started;
    std::wstring where;
    auto open = [&](const wchar_t* f) {
        started.push_back(f);
        wchar_t cur[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, cur);
        where = cur;
    };
    StartupSettings s;
    s.installDir = folder;
    StartTrayProgram(s, open);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], L"VeltoDunemarchIISysTray.exe");
    EXPECT_EQ(_wcsicmp(where.c_str(), folder.c_str()) == 0 || _wcsicmp(where.c_str(), (folder + L"\\").c_str()) == 0, true);
    // Without an install folder (key unreadable) the tray is still started, from where we are.
    StartTrayProgram(StartupSettings{}, open);
    EXPECT_EQ(started.size(), 2u);
    SetCurrentDirectoryW(before);
}

TEST(DeviceNotice, ProductIdsNameTheirDevice) {
    struct Case { const wchar_t* path; int device; } cases[] = {
        {L"\\\\?\\HID#VID_2F3D&PID_0019#7&x&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", kMouse},
        {L"\\\\?\\hid#vid_2f3d&pid_001a#7&x", kKeyboard},
        {L"\\\\?\\HID#VID_2F3D&PID_001B#7&x", kHeadset},
        {L"\\\\?\\HID#VID_2F3D&PID_0020#7&x", -1},
        {L"\\\\?\\HID#VID_845E&PID_0019#7&x", -1},
        {L"\\\\?\\HID#VID_2F3D#7&x", -1},
        {L"\\\\?\\HID#VID_2F#", -1},
        {L"", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(CDmAppDlg::DeviceFromPath(c.path), c.device);
}

// The warm-up connects on a thread of its own, in a multi-threaded apartment that it keeps until
// released; the window's thread never waits for it, also when the connection hangs.
TEST(EngineWarmUp, ConnectsOnItsOwnThreadAndNeverHoldsUpTheWindow) {
    std::atomic<DWORD> thread{0};
    std::atomic<int> apartment{-1};
    std::atomic<bool> ended{false};
    {
        EngineWarmUp warmUp([&] {
            thread = GetCurrentThreadId();
            APTTYPE type{};
            APTTYPEQUALIFIER qualifier{};
            if (SUCCEEDED(CoGetApartmentType(&type, &qualifier))) apartment = int(type);
        });
        ASSERT_TRUE(warmUp.WaitConnected(10000));
        EXPECT_NE(thread.load(), 0u);
        EXPECT_NE(thread.load(), GetCurrentThreadId());
        EXPECT_EQ(apartment.load(), int(APTTYPE_MTA));
        warmUp.Release();
        warmUp.Release();
    }
    // A connection that does not come back: releasing and dropping the warm-up return at once, and
    // the thread ends by itself once the connection gives up.
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(gate, nullptr);
    const DWORD start = GetTickCount();
    {
        EngineWarmUp warmUp([&] {
            WaitForSingleObject(gate, 20000);
            ended = true;
        });
        EXPECT_FALSE(warmUp.WaitConnected(50));
    }
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(ended.load());
    SetEvent(gate);
    for (DWORD waited = 0; !ended && waited < 10000; waited += 10) Sleep(10);
    EXPECT_TRUE(ended.load());
    CloseHandle(gate);
}
