#include "device/DeviceFactory.h"
#include "device/EngineBatch.h"

namespace vt::device {

namespace {
CMouse* g_mouse = nullptr;
CNullMouse* g_nullMouse = nullptr;
IKeyboardDevice* g_keyboard = nullptr;
CNullKeyboard* g_nullKeyboard = nullptr;
CAudioDevice* g_headset = nullptr;
CNullAudio* g_nullHeadset = nullptr;

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
    // Before the program's thread leaves its apartment.
    EngineBatch::ReleaseEnded();
}

CAudioDevice* RealHeadset() { return g_headset; }
CNullAudio* NullHeadset() { return g_nullHeadset; }

void DestroyHeadsetDevices() {
    delete g_headset;
    g_headset = nullptr;
    delete g_nullHeadset;
    g_nullHeadset = nullptr;
    EngineBatch::ReleaseEnded();
}

bool CreateAudioDevice(const DeviceDescription* description, IAudioDevice** device, IAudioConfig* config) {
    DestroyHeadsetDevices();
    g_headset = new CAudioDevice(description, config);
    IAudioDevice* chosen = g_headset;
    bool opened = g_headset->Open();
    if (!opened) {
        delete g_headset;
        g_headset = nullptr;
        g_nullHeadset = new CNullAudio(description, config);
        chosen = g_nullHeadset;
        opened = g_nullHeadset->Open();
    }
    if (device) *device = chosen;
    if (config) config->SetDevice(chosen);
    return opened;
}

} // namespace vt::device
