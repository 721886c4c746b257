#pragma once
// Raw input registration shared by the controls that read the keyboard and mouse past the normal
// focus routing (the macro display while it records, the single-key edit field), and the table that
// turns the button transition bits of a raw mouse report into mouse button numbers.
// GUI thread only; raw input arrives as WM_INPUT at the registered window.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace vt::skin {

// Generic-desktop usages (usage page 1).
constexpr uint16_t kRawUsageMouse = 2;
constexpr uint16_t kRawUsageKeyboard = 6;

// The system call that registers and removes raw input devices; tests pass a fake.
using RegisterRawInputDevicesFn = BOOL(WINAPI*)(PCRAWINPUTDEVICE devices, UINT count, UINT elementSize);

class RawInputRegistration {
public:
    explicit RawInputRegistration(RegisterRawInputDevicesFn registerFn = ::RegisterRawInputDevices)
        : m_register(registerFn) {}
    ~RawInputRegistration() = default;
    RawInputRegistration(const RawInputRegistration&) = delete;
    RawInputRegistration& operator=(const RawInputRegistration&) = delete;

    // Lists a usage once: true when added, false when already listed. A usage added while
    // registered takes effect at the next registration.
    bool AddUsage(uint16_t usage);
    // Registers every listed usage for the window: the mouse as an input sink, every other usage as
    // an input sink without legacy messages. Refused (false, nothing changes) while registered, while
    // the device array of an earlier attempt is still held, for a null window or an empty list.
    // The array stays held even when the system call fails, so only Unregister() allows a retry.
    bool Register(HWND window);
    // Removes the registrations (when an array is held), frees the array, empties the list.
    void Unregister();

    bool IsRegistered() const { return m_registered; }
    const std::vector<uint16_t>& Usages() const { return m_usages; }
    // The devices passed to the system at the last registration (empty when none is held).
    const std::vector<RAWINPUTDEVICE>& Devices() const { return m_devices; }

private:
    RegisterRawInputDevicesFn m_register;
    std::vector<uint16_t> m_usages;
    std::vector<RAWINPUTDEVICE> m_devices;
    bool m_held = false;  // a device array exists (from a successful or a failed attempt)
    bool m_registered = false;
};

// The program's one registration object.
RawInputRegistration& GlobalRawInput();
bool AddRawInputUsage(uint16_t usage);
bool RegisterRawInput(HWND window);
void UnregisterRawInput();

// A raw mouse button transition: system mouse button number (1 left, 2 right, 3 middle, 7 for the
// report's button 4, 6 for its button 5) and 255 for a press, 1 for a release.
struct RawMouseButton {
    int32_t button = 0;
    uint8_t transition = 0;
};
constexpr uint8_t kButtonPressed = 255;
constexpr uint8_t kButtonReleased = 1;

// Raw button flag (RI_MOUSE_*_BUTTON_DOWN/UP) -> button transition; ten rows, none for the wheel.
const std::map<uint16_t, RawMouseButton>& GetRawMouseButtonTable();
// The row of a flag; {0, 0} for a flag without a row.
const RawMouseButton& LookupRawMouseButton(uint16_t rawFlag);

} // namespace vt::skin
