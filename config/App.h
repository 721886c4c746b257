#pragma once
// The application: start-up (single instance, COM, program folder, configurations and devices,
// registry, tray program, language and keyboard layout), the modal main window, teardown.
#include <windows.h>

namespace vt::config {

// Runs the whole program; the process's exit code.
int RunConfigProgram(HINSTANCE instance);

} // namespace vt::config
