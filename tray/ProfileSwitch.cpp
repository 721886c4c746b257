#include "tray/ProfileSwitch.h"
#include "tray/DeviceManager.h"
#include "tray/Osd.h"
#include "tray/TraySystem.h"

namespace vt::tray {

namespace {

// The foreground program's executable file name, read once per tick; empty when there is none.
std::wstring ForegroundProgramName() {
    const DWORD process = System().foregroundProcess();
    return process ? ProcessExeName(process) : std::wstring();
}

} // namespace

bool IsForegroundProgram(const std::wstring& program) {
    const std::wstring name = ForegroundProgramName();
    return !name.empty() && name == program;
}

void CProfileSwitch::OnTick() {
    std::wstring foreground;
    bool foregroundRead = false;
    for (const DeviceTableEntry& row : TrayDeviceTable()) {
        {
            ScopedDevice probe(m_devices, row.pid);
            if (!probe->IsPresent()) continue;
        }
        ScopedDevice client(m_devices, row.pid);
        std::wstring active;
        if (!client->GetProfileSettings(m_settings) || !client->GetActiveProfileName(active)) continue;
        for (const _Profile_Setting_& entry : m_settings) {
            if (!entry.autoSwitch) continue;
            if (!foregroundRead) {
                foreground = ForegroundProgramName();
                foregroundRead = true;
            }
            if (foreground.empty() || entry.program != foreground) continue;
            if (entry.name != active) {
                client->ActivateProfile(entry.name);
                if (entry.showProfile && m_display) m_display->ShowProfileOsd(entry.name.c_str());
            }
            break;
        }
    }
}

void CProfileSwitch::SelectProfileFromMenu(int index, int row) {
    const auto& table = TrayDeviceTable();
    if (row < 0 || row >= int(table.size()) || index < 0) return;
    ScopedDevice client(m_devices, table[size_t(row)].pid);
    std::vector<std::wstring> names;
    client->GetProfileNames(names);
    if (size_t(index) >= names.size()) return;  // the profiles changed after the menu was shown
    const std::wstring& chosen = names[size_t(index)];
    _Profile_Setting_ setting;
    const bool show = client->GetProfileSetting(chosen, setting) && setting.showProfile;
    if (client->ActivateProfile(chosen) && show && m_display) m_display->ShowProfileOsd(chosen.c_str());
}

} // namespace vt::tray
