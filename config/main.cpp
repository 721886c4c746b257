// VeltoDunemarchIIConfig.exe: the configuration program.
#include <windows.h>
#include "config/App.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return vt::config::RunConfigProgram(instance); }
