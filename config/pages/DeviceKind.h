#pragma once
// The types that belong to a device configuration interface: its profile interface and its device
// object, for the pages that are one template over the mouse and the keyboard.
#include "device/GenDevice.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

template <class ConfigT> struct DeviceKind;
template <> struct DeviceKind<IMouseConfig> {
    using Profile = IMouseProfile;
    static constexpr bool kKeyboard = false;
};
template <> struct DeviceKind<IKeyboardConfig> {
    using Profile = IKeyboardProfile;
    static constexpr bool kKeyboard = true;
};
template <class ConfigT>
using DeviceOf = IGenDevice<ConfigT*, typename DeviceKind<ConfigT>::Profile*>;

} // namespace vt::config
