#include "device/DeviceListener.h"
#include <dbt.h>
#include <cwchar>
#include <string>

namespace vt::device {

namespace {
// GUID_DEVINTERFACE_HID {4D1E55B2-F16F-11CF-88CB-001111000030}
const GUID kHidInterface = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

std::wstring Upper(const wchar_t* s) {
    std::wstring out = s ? s : L"";
    for (wchar_t& c : out)
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    return out;
}
} // namespace

CDeviceListener::~CDeviceListener() {
    UnregisterDeviceNotifications();
}

void CDeviceListener::RegisterDeviceNotifications(HWND window) {
    if (!window) return;
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32, "the filter header is 32 bytes");
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = kHidInterface;
    HDEVNOTIFY handle = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (handle) m_handles.push_back(handle);
}

void CDeviceListener::UnregisterDeviceNotifications() {
    while (!m_handles.empty()) {
        if (m_handles.back()) UnregisterDeviceNotification(m_handles.back());
        m_handles.pop_back();
    }
}

int32_t ParseHexAfterTag(const wchar_t* path, const wchar_t* tag) {
    std::wstring copy = Upper(path);
    if (!tag) return 0;
    size_t at = copy.find(tag);
    if (at == std::wstring::npos) return 0;
    std::wstring digits = copy.substr(at + std::wcslen(tag), 4);
    unsigned int value = 0;
    if (digits.empty() || std::swscanf(digits.c_str(), L"%x", &value) != 1) return 0;
    return int32_t(value);
}

DeviceIds DeviceIdsFromPath(const wchar_t* path) {
    DeviceIds ids;
    ids.vendorId = uint32_t(ParseHexAfterTag(path, L"VID_"));
    ids.productId = uint32_t(ParseHexAfterTag(path, L"PID_"));
    return ids;
}

bool DeviceIdsFromNotice(LPARAM lParam, DeviceIds& ids) {
    ids = DeviceIds{};
    auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return false;
    if (header->dbch_size < sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)) return false;
    auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    // The name runs to the end of the record; never read past it.
    size_t room = (header->dbch_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)) / sizeof(wchar_t);
    std::wstring name(iface->dbcc_name, wcsnlen(iface->dbcc_name, room));
    ids = DeviceIdsFromPath(name.c_str());
    return true;
}

} // namespace vt::device
