#pragma once
// What the tray does with the device engine's events: the four handler interfaces the event sinks
// forward to, each call carrying the product id of the device that raised the event.
#include <cstdint>

namespace vt::tray {

class IDeviceCallbacksHandler {
public:
    virtual void OnDpiChanged(int32_t pid, uint32_t x, uint32_t y) = 0;
protected:
    ~IDeviceCallbacksHandler() = default;
};

class IProfileEventHandler {
public:
    virtual void OnProfileChanged(int32_t pid, uint32_t value) = 0;
protected:
    ~IProfileEventHandler() = default;
};

class IMacroEventHandler {
public:
    virtual void OnMacroRecordStart(int32_t pid) = 0;
    virtual void OnMacroRecordStop(int32_t pid) = 0;
    virtual void OnMacroRecordCancel(int32_t pid) = 0;
    virtual void OnMacroRecordAssign(int32_t pid, uint32_t a, uint32_t b) = 0;
protected:
    ~IMacroEventHandler() = default;
};

class ILaunchAppEventHandler {
public:
    virtual void OnLaunchApp(int32_t pid, int32_t kind, const wchar_t* path) = 0;
protected:
    ~ILaunchAppEventHandler() = default;
};

// The four together, as the tray's dialog implements them; each connection takes the part it needs.
class ITrayEventHandlers : public IDeviceCallbacksHandler,
                           public IProfileEventHandler,
                           public IMacroEventHandler,
                           public ILaunchAppEventHandler {
protected:
    ~ITrayEventHandlers() = default;
};

} // namespace vt::tray
