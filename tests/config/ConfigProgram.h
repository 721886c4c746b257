#pragma once
// The configuration program driven from outside for end-to-end tests: started from the image
// folder (and ended with the test if it still runs), its popups found, its controls used by their
// window ids as clicks and keys arrive, and what it shows read from the screen.
#include <windows.h>
#include <string>
#include "WindowTest.h"
#include "skin/VocabularyIds.h"

namespace vt::test {

// Closes the tray programs on this desktop: the configuration program starts one, which outlives
// it as a client of the engine.
inline void CloseTrayPrograms() {
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
