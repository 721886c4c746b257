#pragma once
// The tray program as a process for the end-to-end tests: starting it, finding its windows, the
// process list, and ending what a test started; the fixture closes any tray or configuration
// program an earlier test left and resets the registered engine stand-in.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <string>
#include <vector>
#include "RegisteredEngine.h"
#include "WindowTest.h"

namespace vt::test::tray {

using vt::test::PumpUntil;

inline constexpr const wchar_t* kTrayExe = L"VeltoDunemarchIISysTray.exe";
inline constexpr const wchar_t* kConfigExe = L"VeltoDunemarchIIConfig.exe";
inline constexpr UINT kTrayCallback = WM_USER + 100;

inline std::vector<DWORD> Processes(const wchar_t* exe) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof(e);
    for (BOOL more = Process32FirstW(snapshot, &e); more; more = Process32NextW(snapshot, &e))
        if (!_wcsicmp(e.szExeFile, exe)) ids.push_back(e.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

// Top-level windows of a class (and of one process, when given).
inline std::vector<HWND> Windows(const wchar_t* className, DWORD pid = 0) {
    struct Ctx { const wchar_t* cls; DWORD pid; std::vector<HWND> found; } ctx{className, pid, {}};
    EnumWindows([](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (!wcscmp(cls, c->cls) && (!c->pid || owner == c->pid)) c->found.push_back(h);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// Ends a process of the test's making (politely first when it has a window to close).
inline void EndProcess(DWORD pid, HWND closeWindow = nullptr) {
    HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!p) return;
    if (closeWindow) PostMessageW(closeWindow, WM_CLOSE, 0, 0);
    if (!closeWindow || WaitForSingleObject(p, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(p, 1);
        WaitForSingleObject(p, 10000);
    }
    CloseHandle(p);
}

inline HWND TrayDialogOf(DWORD pid) {
    for (HWND h : Windows(L"#32770", pid)) {
        wchar_t title[64] = {};
        GetWindowTextW(h, title, 64);
        if (!wcscmp(title, L"VeltoDunemarchIISysTray")) return h;
    }
    return nullptr;
}

// The top-level window of the class (and title, when given) that a process has on any desktop of
// this window station: a tray another test's program started sits on that test's own desktop.
inline HWND WindowOnAnyDesktop(const wchar_t* className, const wchar_t* title, DWORD pid) {
    struct Ctx { const wchar_t* cls; const wchar_t* title; DWORD pid; HWND found; } ctx{className, title, pid, nullptr};
    auto match = [](HWND h, LPARAM p) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(p);
        wchar_t cls[64] = {}, text[64] = {};
        GetClassNameW(h, cls, 64);
        GetWindowTextW(h, text, 64);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == c->pid && !wcscmp(cls, c->cls) && (!c->title || !wcscmp(text, c->title))) c->found = h;
        return c->found == nullptr;
    };
    EnumWindows(match, reinterpret_cast<LPARAM>(&ctx));
    if (ctx.found) return ctx.found;
    struct Desktops { std::vector<std::wstring> names; } desktops;
    EnumDesktopsW(GetProcessWindowStation(), [](LPWSTR name, LPARAM p) -> BOOL {
        reinterpret_cast<Desktops*>(p)->names.push_back(name);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&desktops));
    for (const std::wstring& name : desktops.names) {
        HDESK desk = OpenDesktopW(name.c_str(), 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
        if (!desk) continue;
        EnumDesktopWindows(desk, match, reinterpret_cast<LPARAM>(&ctx));
        CloseDesktop(desk);
        if (ctx.found) break;
    }
    return ctx.found;
}

// Ends every copy of the program, its own way first (closing its window) so that it gives back what
// it holds in the engine; a copy without a window is ended outright.
inline void EndAll(const wchar_t* exe) {
    for (DWORD pid : Processes(exe)) {
        HWND close = !wcscmp(exe, kTrayExe) ? WindowOnAnyDesktop(L"#32770", L"VeltoDunemarchIISysTray", pid)
                                            : WindowOnAnyDesktop(L"SINGLE_INSTANCE_APP_DM", nullptr, pid);
        EndProcess(pid, close);
    }
}

struct Tray {
    PROCESS_INFORMATION pi{};
    HWND dialog = nullptr;

    bool Start(bool waitForWindow = true) {
        STARTUPINFOW si{sizeof(si)};
        std::wstring cmd = L"\"" + vt::test::ImageFolder() + kTrayExe + L"\"";
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, vt::test::ImageFolder().c_str(), &si, &pi))
            return false;
        if (!waitForWindow) return true;
        return PumpUntil([&] {
            dialog = TrayDialogOf(pi.dwProcessId);
            return dialog && !Windows(L"TrayNotifyIconClass", pi.dwProcessId).empty();
        }, 20000);
    }
    bool Exited(DWORD ms) { return pi.hProcess && WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() {
        DWORD code = DWORD(-1);
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    ~Tray() {
        if (!pi.hProcess) return;
        if (!Exited(0)) EndProcess(pi.dwProcessId, TrayDialogOf(pi.dwProcessId));
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
};

class TrayEndToEndBase : public ::testing::Test {
protected:
    void SetUp() override {
        // A tray or configuration program left by an earlier test would answer in their place.
        EndAll(kConfigExe);
        EndAll(kTrayExe);
        ASSERT_TRUE(engine.Ready());
    }
    void TearDown() override {
        EndAll(kConfigExe);
        EndAll(kTrayExe);
    }
    bool SinksBecome(ULONG n, DWORD ms = 10000) { return PumpUntil([&] { return engine.Sinks() == n; }, ms); }
    vt::test::RegisteredTrayEngine engine;
};

} // namespace vt::test::tray
