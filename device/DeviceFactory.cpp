#include "device/DeviceFactory.h"

namespace vt::device {

namespace {
CMouse* g_mouse = nullptr;
CNullMouse* g_nullMouse = nullptr;
IKeyboardDevice* g_keyboard = nullptr;
CNullKeyboard* g_nullKeyboard = nullptr;

void DestroyMouse() {
    delete g_mouse;
    g_mouse = nullptr;
    delete g_nullMouse;
    g_nullMouse = nullptr;
}

void DestroyKeyboard() {
    delete g_keyboard;
    g_keyboard = nullptr;
    delete g_nullKeyboard;
    g_nullKeyboard = nullptr;
}
} // namespace

CMouse* RealMouse() { return g_mouse; }
CNullMouse* NullMouse() { return g_nullMouse; }
IKeyboardDevice* RealKeyboard() { return g_keyboard; }
CNullKeyboard* NullKeyboard() { return g_nullKeyboard; }

bool CreateMouseDevice(const DeviceDescription* description, IMouseDevice** device, IMouseConfig* config) {
    return ChooseDevice<IMouseConfig, IMouseDevice>(g_mouse, g_nullMouse, new CMouse(description), device, config);
}

bool RecreateMouseDevice(IMouseDevice** device, IMouseConfig* config) {
    DestroyMouse();
    return CreateMouseDevice(&kMouseDescription, device, config);
}

bool CreateKeyboardDeviceWith(IKeyboardDevice* real, IKeyboardDevice** device, IKeyboardConfig* config) {
    if (!real) return false;
    return ChooseDevice<IKeyboardConfig, IKeyboardDevice>(g_keyboard, g_nullKeyboard, real, device, config);
}

void DestroyDevices() {
    DestroyMouse();
    DestroyKeyboard();
}

} // namespace vt::device
