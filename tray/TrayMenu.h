#pragma once
// The tray menu, built afresh before every display: the start item, one submenu per device of the
// tray's table listing its profiles (the active one checked; greyed while the device is absent),
// and the close item. Commands: 500 start, 1000 * (row + 1) + profile index, 503 close.
#include <windows.h>

namespace vt::skin { class CLangTable; }

namespace vt::tray {

class CDeviceManager;

// Loads menu 129 from instance and fills its first submenu; null when the menu cannot be loaded.
// Texts come from the language table when it has them ("$LoadVeltoDunemarchII", "$CloseTrayIcon").
HMENU BuildTrayMenu(HINSTANCE instance, CDeviceManager& devices, const vt::skin::CLangTable* language);

// The device row and profile index of a profile command; false for other commands.
bool ProfileCommand(UINT command, int& row, int& index);

} // namespace vt::tray
