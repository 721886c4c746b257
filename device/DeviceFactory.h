#pragma once
// The device objects of the program: one real and one do-nothing object per kind, at most one of
// each pair alive. A factory opens the real object and falls back to the do-nothing one when the
// open fails, then binds the chosen object to the configuration.
#include "device/DeviceDescription.h"
#include "device/GenDevice.h"
#include "device/HeadsetDevice.h"
#include "device/Mouse.h"
#include "device/NullDevices.h"

namespace vt::device {

// The process-wide objects (null when absent).
CMouse* RealMouse();
CNullMouse* NullMouse();
IKeyboardDevice* RealKeyboard();
CNullKeyboard* NullKeyboard();

bool CreateMouseDevice(const DeviceDescription* description, IMouseDevice** device, IMouseConfig* config);
// Deletes the mouse's objects, then creates it again with the mouse's description.
bool RecreateMouseDevice(IMouseDevice** device, IMouseConfig* config);
// The keyboard factory over a real keyboard object (owned from here on; deleted when its Open
// fails).
bool CreateKeyboardDeviceWith(IKeyboardDevice* real, IKeyboardDevice** device, IKeyboardConfig* config);
// Deletes every device object of mouse and keyboard and clears the pointers.
void DestroyDevices();

// The headset's factory: opens a real headset and falls back to the do-nothing one when the open
// fails; the configuration is bound to the object kept. Answers the kept object's Open.
bool CreateAudioDevice(const DeviceDescription* description, IAudioDevice** device, IAudioConfig* config);
CAudioDevice* RealHeadset();
CNullAudio* NullHeadset();
void DestroyHeadsetDevices();

// The factory step both kinds share: open the real object; on failure delete it and open the
// do-nothing object instead; bind the one kept. Answers the kept object's Open.
template <class Config, class Device, class Real, class Null>
bool ChooseDevice(Real*& realSlot, Null*& nullSlot, Real* real, Device** out, Config* config) {
    realSlot = real;
    Device* chosen = real;
    bool opened = real->Open(config);
    if (!opened) {
        delete real;
        realSlot = nullptr;
        nullSlot = new Null();
        chosen = nullSlot;
        opened = nullSlot->Open(config);
    }
    if (out) *out = chosen;
    if (config) config->SetDevice(chosen);
    return opened;
}

} // namespace vt::device
