#pragma once
// What belongs to a device configuration interface, for the pages that are one template over the
// mouse and the keyboard: its profile interface, its device object, its device index, and where
// a page finds its configuration and device object.
#include "config/pages/Page.h"
#include "device/GenDevice.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

template <class ConfigT> struct DeviceKind;
template <> struct DeviceKind<IMouseConfig> {
    using Profile = IMouseProfile;
    static constexpr bool kKeyboard = false;
    static constexpr int kDevice = kMouse;
    static IMouseConfig*& Config(PageContext& c) { return c.mouse; }
    static ::IMouseDevice* Device(PageContext& c) { return c.devices.MouseDevice(); }
};
template <> struct DeviceKind<IKeyboardConfig> {
    using Profile = IKeyboardProfile;
    static constexpr bool kKeyboard = true;
    static constexpr int kDevice = kKeyboard;
    static IKeyboardConfig*& Config(PageContext& c) { return c.keyboard; }
    static ::IKeyboardDevice* Device(PageContext& c) { return c.devices.KeyboardDevice(); }
};
template <class ConfigT>
using DeviceOf = IGenDevice<ConfigT*, typename DeviceKind<ConfigT>::Profile*>;

} // namespace vt::config
