#pragma once
// What the end-to-end tests of the configuration program share: running the image's programs and
// enginectl, starting the program and finding its popups, clicking its controls, reading the
// engine's dump.
#include <windows.h>
#include <algorithm>
#include <string>
#include "WindowTest.h"
#include "skin/VocabularyIds.h"

namespace vt::test::e2e {

namespace ctl = vt::skin::ctl;
using vt::test::PumpUntil;

inline std::wstring Image() { return vt::test::ImageFolder(); }

// Runs a program of the image and collects its standard output; its exit code, -1 on failure.
inline int Run(const std::wstring& commandLine, std::string* out = nullptr, DWORD timeoutMs = 30000) {
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

inline int EngineCtl(const std::wstring& args, std::string* out = nullptr) {
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

inline bool Click(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    if (!c) return false;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    vt::test::PumpMessages(30, 300);
    return true;
}

inline bool Enabled(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    return c && IsWindowEnabled(c);
}

// The text between the first `key` after `from` and the next `end`.
inline std::string Between(const std::string& s, const std::string& key, const std::string& end, size_t from = 0) {
    size_t a = s.find(key, from);
    if (a == std::string::npos) return {};
    a += key.size();
    size_t b = s.find(end, a);
    return b == std::string::npos ? std::string() : s.substr(a, b - a);
}

} // namespace vt::test::e2e
