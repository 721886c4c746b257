#pragma once
// The three device objects as the main window and start-up reach them: one entry per device kind
// (0 mouse, 1 keyboard, 2 headset), each bound to its configuration. The program's own set wraps
// the device layer's objects (EngineDevices.cpp); tests give the window a scripted set.
#include <windows.h>
#include <memory>
#include <string>
#include "device/GenDevice.h"

namespace vt::config {

enum DeviceIndex : int { kMouse = 0, kKeyboard = 1, kHeadset = 2, kNoDevice = 4 };
constexpr int kDeviceCount = 3;

class IDeviceSet {
public:
    virtual ~IDeviceSet() = default;
    // Builds and opens the device objects (each kind's real object, or its do-nothing object when
    // the device is absent), bound to their configurations. Once; opening what is open already
    // changes nothing.
    virtual void Open() = 0;
    // Builds and opens one device's object (start-up opens the first device the window shows
    // before the others). A set that cannot open them one by one opens them all.
    virtual void OpenDevice(int device) {
        (void)device;
        Open();
    }
    // Reads the device into its configuration (mode 1); false when it did not answer.
    virtual bool Read(int device) = 0;
    // Starts writing the configuration to the device (mode 0, on the device's worker for mouse
    // and keyboard); false when the write could not start.
    virtual bool StartWrite(int device) = 0;
    // True while a write of that device still runs.
    virtual bool IsBusy(int device) = 0;
    // How the last write ended once it is no longer busy: -1 none, 0 failed, 1 succeeded.
    virtual int LastWriteResult(int device) = 0;
    virtual bool FirmwareVersion(int device, std::wstring& text) = 0;
    virtual bool DriverVersion(int device, std::wstring& text) = 0;
    // Builds the device object again (device arrival or removal); false when only the do-nothing
    // object could be bound.
    virtual bool Recreate(int device) = 0;
    // The keyboard's layout number; false when the keyboard is absent or does not report it.
    virtual bool QueryKeyboardLayout(ULONG* value) = 0;
    // The window that receives the headset's change messages.
    virtual void SetNotifyWindow(HWND window) = 0;
    // Tears every device object down (waits for running writes, bounded).
    virtual void Destroy() = 0;
    // Whether the device is there as the engine sees it now: 1 it lists the device, 0 it does not
    // (or only the do-nothing object is bound), -1 the device engine does not answer. After a
    // read or write failed, this (with the arrival and removal notices) says whether the device
    // is still there: a failed operation is never an absent device by itself.
    virtual int Listed(int device) { return 0; }
    // Whether the engine lists a device that has not been opened, without opening it: 1 it does,
    // 0 it does not, -1 the engine does not answer; kCannotProbe when the set cannot tell without
    // opening the device (the window then opens and reads it).
    static constexpr int kCannotProbe = -2;
    virtual int Probe(int device) {
        (void)device;
        return kCannotProbe;
    }
    // Reads the key entries (the lighting effects) of every device opened into its configuration,
    // where they have not been read yet: they are not read at start-up. False when a device's
    // could not be read (the keys read are kept).
    virtual bool ReadKeyEntries() { return true; }
    // Keeps one engine connection, and the engine objects it fetches, for the device operations
    // made until the holder is let go (start-up's open and read, an arrival's re-creation).
    virtual std::shared_ptr<void> HoldEngine() { return nullptr; }
    // The mouse's and the keyboard's device objects as they are bound now (the do-nothing object
    // while the device is absent), for the pages that hand files to the engine; null when none.
    virtual ::IMouseDevice* MouseDevice() { return nullptr; }
    virtual ::IKeyboardDevice* KeyboardDevice() { return nullptr; }
    // The headset's device object as it is bound now (the do-nothing headset while it is absent),
    // for the headset pages, which write to it at once; null when none.
    virtual ::IAudioDevice* HeadsetDevice() { return nullptr; }
};

} // namespace vt::config
