#pragma once
// The program's device set: the device layer's objects over the device engine, one per kind,
// each bound to its configuration (the do-nothing object when the device is absent).
#include <memory>
#include "config/DeviceSet.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

std::unique_ptr<IDeviceSet> CreateEngineDevices(IMouseConfig*& mouse, IKeyboardConfig*& keyboard, IAudioConfig*& headset);

} // namespace vt::config
