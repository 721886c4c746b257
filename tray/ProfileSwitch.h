#pragma once
// Choosing a device's active profile: automatically, for the program in the foreground (every tick
// of the tray's 5-second timer), and by hand from the tray menu.
#include <windows.h>
#include <string>
#include <vector>
#include "tray/VtDevice.h"

namespace vt::tray {

class CDeviceManager;
class COsdDisplay;

// Whether the foreground program's executable file name equals program exactly.
bool IsForegroundProgram(const std::wstring& program);

class CProfileSwitch {
public:
    CProfileSwitch(CDeviceManager& devices, COsdDisplay*& display) : m_devices(devices), m_display(display) {}

    // For each present device of the table: the first profile that may switch automatically and is
    // linked to the foreground program becomes active (unless it is already), shown on the display
    // when its profile-display flag is set.
    void OnTick();
    // The profile at index of the device at row (a menu command); an index the device no longer
    // has is ignored. The display follows the chosen profile's own profile-display flag.
    void SelectProfileFromMenu(int index, int row);

    const std::vector<_Profile_Setting_>& Settings() const { return m_settings; }

private:
    CDeviceManager& m_devices;
    COsdDisplay*& m_display;
    std::vector<_Profile_Setting_> m_settings;
};

} // namespace vt::tray
