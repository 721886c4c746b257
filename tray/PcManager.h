#pragma once
// Starts the configuration program from the install folder unless a process of it already runs.
#include <windows.h>
#include <string>

namespace vt::tray {

constexpr const wchar_t* kConfigProgram = L"VeltoDunemarchIIConfig.exe";
constexpr const wchar_t* kInstallKey = L"Software\\Velto\\Dunemarch2";

class CPcManager {
public:
    // True when the process list holds "VeltoDunemarchIIConfig.exe" (same case); false when it
    // does not or cannot be read. Needs no privilege: the list shows the user's own processes.
    static bool IsConfigProgramRunning();
    // Reads "InstallDir" of the install key under root (one trailing backslash dropped), makes it
    // the current directory and opens the configuration program there; false when the value is
    // missing, empty or unreadable, or the shell cannot start it.
    static bool LaunchConfigProgram(HKEY root = HKEY_LOCAL_MACHINE, const wchar_t* keyPath = kInstallKey);
    // Both: starts the program only when it does not run.
    static void StartConfigProgramIfNotRunning();
};

} // namespace vt::tray
