// VeltoDunemarchIISysTray.exe: the tray program.
#include <windows.h>
#include "tray/TrayApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return vt::tray::CTolmSysTrayApp::Run(instance); }
