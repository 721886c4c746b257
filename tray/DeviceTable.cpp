#include "tray/DeviceTable.h"
#include <cwchar>
#include <string>
#include "VtEngine.h"

namespace vt::tray {

namespace {

// Every device the maker's engine may report; the tray copies the first three and leaves the last
// keyboard out.
constexpr DeviceTableEntry kInitialTable[4] = {
    {0x0019, L"PID_0019", L"Pylit", kEventDpi | kEventProfile | kEventLaunchApp},
    {0x001A, L"PID_001A", L"Tessaran", kEventProfile | kEventLaunchApp | kEventMacro},
    {0x001B, L"PID_001B", L"Corvel", kEventAudioSync},
    {0x010E, L"PID_010E", L"Ondrake", kEventProfile | kEventLaunchApp | kEventMacro},
};

std::wstring VendorMarker() {
    wchar_t text[16];
    std::swprintf(text, 16, L"VID_%04X", unsigned(VT_VENDOR_ID & 0xFFFF));
    return text;
}

} // namespace

const std::array<DeviceTableEntry, 3>& TrayDeviceTable() {
    static const std::array<DeviceTableEntry, 3> table = {kInitialTable[0], kInitialTable[1], kInitialTable[2]};
    return table;
}

std::vector<DeviceNotice> ReadDeviceNotice(WPARAM event, const DEV_BROADCAST_HDR* header) {
    std::vector<DeviceNotice> out;
    if (event == DBT_DEVNODES_CHANGED) {
        out.push_back({WM_TRAY_DEVICE_NODES_CHANGED, 0});
        return out;
    }
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return out;
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return out;
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (record->dbcc_size <= nameOffset) return out;
    const size_t room = (record->dbcc_size - nameOffset) / sizeof(wchar_t);
    std::wstring path(record->dbcc_name, wcsnlen(record->dbcc_name, room));
    for (wchar_t& c : path) c = wchar_t(towupper(c));
    if (path.find(VendorMarker()) == std::wstring::npos) return out;
    const UINT message = event == DBT_DEVICEARRIVAL ? WM_TRAY_DEVICE_ARRIVED : WM_TRAY_DEVICE_REMOVED;
    for (const DeviceTableEntry& row : TrayDeviceTable())
        if (path.find(row.pidText) != std::wstring::npos) out.push_back({message, WPARAM(row.pid)});
    return out;
}

} // namespace vt::tray
