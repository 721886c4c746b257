// Device arrival listener: registration on a real window and the ids read from interface paths.
#include "device/DeviceListener.h"
#include <dbt.h>
#include <gtest/gtest.h>
#include <vector>

using namespace vt::device;

TEST(DevicePath, HexAfterTag) {
    struct Case { const wchar_t* path; const wchar_t* tag; int32_t value; };
    const Case cases[] = {
        {L"\\\\?\\hid#vid_2f3d&pid_0019#7&1&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", L"PID_", 0x19},
        {L"\\\\?\\hid#vid_2f3d&pid_0019#x", L"VID_", 0x2F3D},
        {L"\\\\?\\HID#VID_2F3D&PID_001B#x", L"PID_", 0x1B},
        {L"\\\\?\\hid#vid_2f3d&pid_001a", L"PID_", 0x1A},
        {L"\\\\?\\hid#vid_2f3d#x", L"PID_", 0},
        {L"\\\\?\\hid#vid_2f3d&pid_", L"PID_", 0},
        {L"\\\\?\\hid#pid_1", L"PID_", 1},
        {L"\\\\?\\hid#pid_zzzz", L"PID_", 0},
        {L"\\\\?\\hid#pid_0019", nullptr, 0},
        {L"", L"PID_", 0},
        {nullptr, L"PID_", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path ? c.path : L"(null)");
        EXPECT_EQ(ParseHexAfterTag(c.path, c.tag), c.value);
    }
}

namespace {
std::vector<uint8_t> Notice(const wchar_t* name) {
    size_t bytes = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (wcslen(name) + 1) * sizeof(wchar_t);
    std::vector<uint8_t> buffer(bytes, 0);
    auto* n = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    n->dbcc_size = DWORD(bytes);
    n->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    wcscpy(n->dbcc_name, name);
    return buffer;
}
} // namespace

TEST(DevicePath, NoticesCarryVendorAndProduct) {
    auto arrival = Notice(L"\\\\?\\hid#vid_2f3d&pid_001a#8&2&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    DeviceIds ids;
    ASSERT_TRUE(DeviceIdsFromNotice(reinterpret_cast<LPARAM>(arrival.data()), ids));
    EXPECT_EQ(ids.vendorId, 0x2F3Du);
    EXPECT_EQ(ids.productId, 0x1Au);

    DEV_BROADCAST_HDR volume{sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_VOLUME, 0};
    EXPECT_FALSE(DeviceIdsFromNotice(reinterpret_cast<LPARAM>(&volume), ids));
    EXPECT_FALSE(DeviceIdsFromNotice(0, ids));
    // A name without its terminator inside the record is read only up to the record's end.
    auto cut = Notice(L"\\\\?\\hid#vid_2f3d&pid_0019");
    reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(cut.data())->dbcc_size -= 2 * sizeof(wchar_t);
    ASSERT_TRUE(DeviceIdsFromNotice(reinterpret_cast<LPARAM>(cut.data()), ids));
    EXPECT_EQ(ids.productId, 0x1u);
}

TEST(DeviceListener, RegistersAndUnregistersEveryHandle) {
    HWND window = CreateWindowExW(0, L"STATIC", L"listener", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    {
        CDeviceListener listener;
        listener.RegisterDeviceNotifications(nullptr);
        EXPECT_EQ(listener.HandleCount(), 0u);
        listener.RegisterDeviceNotifications(window);
        listener.RegisterDeviceNotifications(window);
        EXPECT_EQ(listener.HandleCount(), 2u);
        listener.UnregisterDeviceNotifications();
        EXPECT_EQ(listener.HandleCount(), 0u);
        listener.RegisterDeviceNotifications(window);
        EXPECT_EQ(listener.HandleCount(), 1u);
    }  // the destructor unregisters the rest
    DestroyWindow(window);
}
