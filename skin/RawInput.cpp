#include "skin/RawInput.h"

#include <algorithm>

namespace vt::skin {

bool RawInputRegistration::AddUsage(uint16_t usage) {
    if (std::find(m_usages.begin(), m_usages.end(), usage) != m_usages.end()) return false;
    m_usages.push_back(usage);
    return true;
}

bool RawInputRegistration::Register(HWND window) {
    if (m_registered || m_held || !window || m_usages.empty()) return false;
    m_devices.clear();
    for (uint16_t usage : m_usages) {
        RAWINPUTDEVICE device{};
        device.usUsagePage = 1;
        device.usUsage = usage;
        device.dwFlags = usage == kRawUsageMouse ? RIDEV_INPUTSINK : (RIDEV_INPUTSINK | RIDEV_NOLEGACY);
        device.hwndTarget = window;
        m_devices.push_back(device);
    }
    m_held = true;
    m_registered = m_register(m_devices.data(), UINT(m_devices.size()), sizeof(RAWINPUTDEVICE)) != FALSE;
    return m_registered;
}

void RawInputRegistration::Unregister() {
    if (m_held) {
        for (RAWINPUTDEVICE& device : m_devices) {
            device.dwFlags = RIDEV_REMOVE;
            device.hwndTarget = nullptr;
        }
        m_register(m_devices.data(), UINT(m_devices.size()), sizeof(RAWINPUTDEVICE));
        m_devices.clear();
        m_held = false;
    }
    m_usages.clear();
    m_registered = false;
}

RawInputRegistration& GlobalRawInput() {
    static RawInputRegistration registration;
    return registration;
}

bool AddRawInputUsage(uint16_t usage) { return GlobalRawInput().AddUsage(usage); }
bool RegisterRawInput(HWND window) { return GlobalRawInput().Register(window); }
void UnregisterRawInput() { GlobalRawInput().Unregister(); }

const std::map<uint16_t, RawMouseButton>& GetRawMouseButtonTable() {
    static const std::map<uint16_t, RawMouseButton> table = {
        {RI_MOUSE_LEFT_BUTTON_DOWN, {1, kButtonPressed}},   {RI_MOUSE_LEFT_BUTTON_UP, {1, kButtonReleased}},
        {RI_MOUSE_RIGHT_BUTTON_DOWN, {2, kButtonPressed}},  {RI_MOUSE_RIGHT_BUTTON_UP, {2, kButtonReleased}},
        {RI_MOUSE_MIDDLE_BUTTON_DOWN, {3, kButtonPressed}}, {RI_MOUSE_MIDDLE_BUTTON_UP, {3, kButtonReleased}},
        {RI_MOUSE_BUTTON_4_DOWN, {7, kButtonPressed}},      {RI_MOUSE_BUTTON_4_UP, {7, kButtonReleased}},
        {RI_MOUSE_BUTTON_5_DOWN, {6, kButtonPressed}},      {RI_MOUSE_BUTTON_5_UP, {6, kButtonReleased}},
    };
    return table;
}

const RawMouseButton& LookupRawMouseButton(uint16_t rawFlag) {
    static const RawMouseButton none{};
    const auto& table = GetRawMouseButtonTable();
    auto it = table.find(rawFlag);
    return it == table.end() ? none : it->second;
}

} // namespace vt::skin
