#pragma once
// Registration of a window for HID device-interface arrival and removal notices, and the reading
// of USB vendor and product ids out of the interface path such a notice carries.
#include <windows.h>
#include <cstdint>
#include <vector>

namespace vt::device {

class CDeviceListener {
public:
    CDeviceListener() = default;
    virtual ~CDeviceListener();
    CDeviceListener(const CDeviceListener&) = delete;
    CDeviceListener& operator=(const CDeviceListener&) = delete;

    // Null window: nothing. A failed registration is dropped silently (no notices arrive).
    void RegisterDeviceNotifications(HWND window);
    // Unregisters every handle, last first.
    void UnregisterDeviceNotifications();
    size_t HandleCount() const { return m_handles.size(); }

private:
    std::vector<HDEVNOTIFY> m_handles;
};

// The up to 4 hexadecimal digits after the first occurrence of `tag` in `path`, compared without
// regard to letter case; 0 when the tag is null or absent or no digit follows.
int32_t ParseHexAfterTag(const wchar_t* path, const wchar_t* tag);

// Vendor and product id of a device-interface path ("VID_" and "PID_").
struct DeviceIds {
    uint32_t vendorId = 0;
    uint32_t productId = 0;
};
DeviceIds DeviceIdsFromPath(const wchar_t* path);
// The ids of a WM_DEVICECHANGE arrival or removal notice (lParam); false when the notice is not
// about a device interface.
bool DeviceIdsFromNotice(LPARAM lParam, DeviceIds& ids);

} // namespace vt::device
