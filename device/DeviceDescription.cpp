#include "device/DeviceDescription.h"

namespace vt::device {

namespace {
const int32_t kMouseCaps[] = {1, 2, 4, 5, 6, 7, 10, 11, 12, 8, 9};
const int32_t kKeyboardCaps[] = {1, 3, 4, 5, 6, 7, 8, 9};
const int32_t kHeadsetCaps[] = {1, 5, 6, 13, 9};
} // namespace

const DeviceDescription kMouseDescription{0x0019, kMouseCaps, sizeof(kMouseCaps) / sizeof(int32_t)};
const DeviceDescription kKeyboardDescription{0x001A, kKeyboardCaps, sizeof(kKeyboardCaps) / sizeof(int32_t)};
const DeviceDescription kHeadsetDescription{0x001B, kHeadsetCaps, sizeof(kHeadsetCaps) / sizeof(int32_t)};

bool IsIdInList(const DeviceDescription* description, int32_t id) {
    if (!description || !description->capabilities) return false;
    for (uint32_t i = 0; i < description->count; ++i)
        if (description->capabilities[i] == id) return true;
    return false;
}

} // namespace vt::device
