#pragma once
// The tray program's start: one copy only (the mutex "VeltoDunemarchIISysTray"), the common
// controls, the hidden dialog, and the message loop until that dialog is gone.
#include <windows.h>

namespace vt::tray {

constexpr const wchar_t* kTrayMutexName = L"VeltoDunemarchIISysTray";

class CTolmSysTrayApp {
public:
    // Runs the program; the process's exit code (0 also when another copy runs).
    static int Run(HINSTANCE instance);
};

} // namespace vt::tray
