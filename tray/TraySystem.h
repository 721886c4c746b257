#pragma once
// The few system calls the tray's behaviour depends on, behind one replaceable table so tests can
// watch and steer them: the notification-area call, the shell's "open", the process list, the tick
// count, the foreground program, the primary monitor and the plain message box. Each member starts
// out as the real call; a test swaps a member and puts the table back with ResetTraySystem().
// GUI thread only.
#include <windows.h>
#include <shellapi.h>
#include <functional>
#include <string>
#include <vector>
#include "VtEngine.h"

namespace vt::tray {

struct ProcessEntry {
    DWORD id = 0;
    std::wstring exeFile;  // file name only, as the process list gives it
};

struct TraySystem {
    // Shell_NotifyIconW.
    std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)> notifyIcon;
    // ShellExecuteW(nullptr, verb, file, nullptr, directory, SW_SHOWNORMAL) > 32.
    std::function<bool(const wchar_t* verb, const wchar_t* file, const wchar_t* directory)> shellOpen;
    // The running processes; false when no snapshot could be taken.
    std::function<bool(std::vector<ProcessEntry>& out)> processes;
    // GetTickCount (milliseconds, wrapping).
    std::function<DWORD()> tickCount;
    // The process id owning the foreground window; 0 when there is no foreground window.
    std::function<DWORD()> foregroundProcess;
    // The full rectangle of the primary monitor (the monitor of point 0,0).
    std::function<RECT()> primaryMonitor;
    // A plain message box owned by the window.
    std::function<int(HWND owner, const wchar_t* text, UINT type)> messageBox;
    // Creates the engine's device manager (CoCreateInstance of the engine class with context 23).
    std::function<HRESULT(IVtDeviceMgr** out)> createEngine;
};

// The table in use.
TraySystem& System();
// Puts every member back to the real call.
void ResetTraySystem();

// The executable file name of a process, from the process list; empty when it is not listed.
std::wstring ProcessExeName(DWORD processId);

} // namespace vt::tray
