#pragma once
// The devices the tray follows (one row per USB product id, with the events it connects for each),
// and the reading of a device-interface notice into the tray's own device messages.
#include <windows.h>
#include <dbt.h>
#include <array>
#include <cstdint>
#include <vector>

namespace vt::tray {

// Event connections of a device (DeviceTableEntry::eventMask).
enum : int32_t {
    kEventDpi = 1,
    kEventProfile = 2,
    kEventLaunchApp = 4,
    kEventMacro = 8,
    kEventAudioSync = 16,
};

struct DeviceTableEntry {
    int32_t pid;            // USB product id
    const wchar_t* pidText; // searched in device paths, e.g. "PID_0019"
    const wchar_t* model;   // shown in the tray menu
    int32_t eventMask;
};

// The tray's three rows, in menu order: mouse, keyboard, headset.
const std::array<DeviceTableEntry, 3>& TrayDeviceTable();

// The dialog's own device messages (wParam: the product id).
constexpr UINT WM_TRAY_DEVICE_REMOVED = WM_USER + 20;
constexpr UINT WM_TRAY_DEVICE_ARRIVED = WM_USER + 21;
constexpr UINT WM_TRAY_DEVICE_NODES_CHANGED = WM_USER + 22;
// A session notice, handled after the notice itself has been answered (wParam: the session code).
constexpr UINT WM_TRAY_SESSION_CHANGE = WM_USER + 23;

struct DeviceNotice {
    UINT message;
    WPARAM pid;
};

// The messages a WM_DEVICECHANGE asks for: nodes changed gives one WM_TRAY_DEVICE_NODES_CHANGED;
// an arrival or a completed removal of a device interface gives one message per table row whose
// product id text and the maker's vendor marker both occur in the (upper-cased) path; anything else
// none. header may be null; the path is read only within the record's own size.
std::vector<DeviceNotice> ReadDeviceNotice(WPARAM event, const DEV_BROADCAST_HDR* header);

} // namespace vt::tray
