#pragma once
// The configuration program driven from outside for end-to-end tests: started from the image
// folder (and ended with the test if it still runs), its popups found, its controls used by their
// window ids as clicks and keys arrive, and what it shows read from the screen.
#include <windows.h>
#include <tlhelp32.h>
#include <string>
#include <vector>
#include "WindowTest.h"
#include "skin/VocabularyIds.h"

namespace vt::test {

// Ends every tray program of the session (the tests that start the configuration program take the
// serial turn, so none is another test's): the configuration program starts one, which outlives it
// as a client of the engine. Found by process, not by window: a tray started just before the test
// ended may not have made its window yet, and would otherwise stay for the tests after.
inline void CloseTrayPrograms() {
    const wchar_t kTray[] = L"VeltoDunemarchIISysTray.exe";
    for (int round = 0; round < 10; ++round) {
        std::vector<DWORD> trays;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32W e{};
        e.dwSize = sizeof(e);
        for (BOOL more = Process32FirstW(snapshot, &e); more; more = Process32NextW(snapshot, &e))
            if (!_wcsicmp(e.szExeFile, kTray)) trays.push_back(e.th32ProcessID);
        CloseHandle(snapshot);
        if (trays.empty()) return;
        for (DWORD pid : trays) {
            HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
            if (!process) continue;
            // The id may have gone to another program since the list was taken.
            wchar_t image[MAX_PATH] = {};
            DWORD size = MAX_PATH;
            const std::wstring path = QueryFullProcessImageNameW(process, 0, image, &size) ? image : L"";
            if (path.size() < wcslen(kTray) || _wcsicmp(path.c_str() + path.size() - wcslen(kTray), kTray)) {
                CloseHandle(process);
                continue;
            }
            // Asked to close through its window once it has one; ended when it shows none or stays.
            HWND window = nullptr;
            PumpUntil([&] {
                window = nullptr;
                for (HWND h = FindWindowW(L"#32770", L"VeltoDunemarchIISysTray"); h && !window;
                     h = FindWindowExW(nullptr, h, L"#32770", L"VeltoDunemarchIISysTray")) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(h, &owner);
                    if (owner == pid) window = h;
                }
                return window || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
            }, 10000);
            if (window) PostMessageW(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process, window ? 10000 : 0) != WAIT_OBJECT_0) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
            }
            CloseHandle(process);
        }
    }
}

class ConfigProgram {
public:
    ConfigProgram() = default;
    ConfigProgram(const ConfigProgram&) = delete;
    ConfigProgram& operator=(const ConfigProgram&) = delete;
    ~ConfigProgram() {
        if (!m_pi.hProcess) return;
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
        CloseTrayPrograms();
    }
    // Started, its main window shown and a device read (a device tab is on).
    bool Start() {
        namespace ctl = vt::skin::ctl;
        const std::wstring folder = ImageFolder();
        std::wstring cmd = L"\"" + folder + L"VeltoDunemarchIIConfig.exe\"";
        STARTUPINFOW si{sizeof(si)};
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &m_pi))
            return false;
        PumpUntil([&] {
            HWND h = FindWindowW(L"SINGLE_INSTANCE_APP_DM", nullptr);
            DWORD owner = 0;
            if (h) GetWindowThreadProcessId(h, &owner);
            if (h && owner == m_pi.dwProcessId && IsWindowVisible(h) && GetDlgItem(h, ctl::BUTTON_OK)) main = h;
            return main != nullptr;
        }, 20000);
        return main && PumpUntil([&] {
            for (int id : {ctl::BUTTON_PRODSELECT_MOUSE, ctl::BUTTON_PRODSELECT_KEYBOARD, ctl::BUTTON_PRODSELECT_HEADSET})
                if (IsWindowEnabled(GetDlgItem(main, id))) return true;
            return false;
        }, 20000);
    }
    bool Ended(DWORD ms) const { return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, ms) == WAIT_OBJECT_0; }
    bool Running() const { return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    bool Shown(int id) const { return IsWindowVisible(GetDlgItem(main, id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(main, id)) != FALSE; }

    // A visible top-level window of the program other than the main window: one holding the
    // control, or (controlId 0) one of the window class.
    HWND Popup(int controlId, DWORD ms = 5000, const wchar_t* windowClass = nullptr) const {
        struct Ctx { DWORD pid; HWND main; int id; const wchar_t* cls; HWND found; } ctx{m_pi.dwProcessId, main, controlId, windowClass, nullptr};
        PumpUntil([&] {
            EnumWindows([](HWND h, LPARAM p) -> BOOL {
                auto* c = reinterpret_cast<Ctx*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if (owner != c->pid || h == c->main || !IsWindowVisible(h)) return TRUE;
                if (c->id && !GetDlgItem(h, c->id)) return TRUE;
                if (c->cls) {
                    wchar_t name[64] = {};
                    GetClassNameW(h, name, 64);
                    if (std::wstring(name) != c->cls) return TRUE;
                }
                c->found = h;
                return FALSE;
            }, reinterpret_cast<LPARAM>(&ctx));
            return ctx.found != nullptr;
        }, ms);
        return ctx.found;
    }

    HWND main = nullptr;

private:
    PROCESS_INFORMATION m_pi{};
};

// A command of a control of the window, as the control reports a click.
inline bool ClickControl(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    if (!c) return false;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(c));
    PumpMessages(30, 300);
    return true;
}

// A button pressed and released by the mouse (a check box toggles itself, then reports).
inline bool PressControl(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    if (!c) return false;
    PostMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    PostMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    PumpMessages(30, 300);
    return true;
}

// The colour the control shows in its middle, read from the screen.
inline COLORREF ShownColour(HWND window, int id) {
    HWND c = GetDlgItem(window, id);
    if (!c) return CLR_INVALID;
    PumpMessages(30, 300);
    const Capture shot = CaptureClient(c);
    return shot.width > 0 ? shot.At(shot.width / 2, shot.height / 2) : CLR_INVALID;
}

// The text between the first `key` at or after `from` and the next `end`; empty when none.
inline std::string Between(const std::string& s, const std::string& key, const std::string& end, size_t from = 0) {
    size_t a = s.find(key, from);
    if (a == std::string::npos) return {};
    a += key.size();
    const size_t b = s.find(end, a);
    return b == std::string::npos ? std::string() : s.substr(a, b - a);
}

} // namespace vt::test
