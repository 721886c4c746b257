// Raw input registration against a recording stand-in for the system call, and the raw mouse table.
#include <gtest/gtest.h>

#include <vector>

#include "skin/RawInput.h"

using namespace vt::skin;

namespace {

struct Call {
    std::vector<RAWINPUTDEVICE> devices;
    UINT elementSize;
};
std::vector<Call> g_calls;
BOOL g_result = TRUE;

BOOL WINAPI FakeRegister(PCRAWINPUTDEVICE devices, UINT count, UINT elementSize) {
    g_calls.push_back({std::vector<RAWINPUTDEVICE>(devices, devices + count), elementSize});
    return g_result;
}

class RawInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_result = TRUE;
    }
    RawInputRegistration reg{FakeRegister};
    HWND window = reinterpret_cast<HWND>(0x1234);
};

} // namespace

TEST_F(RawInputTest, UsagesAreListedOnceInOrder) {
    EXPECT_TRUE(reg.AddUsage(kRawUsageKeyboard));
    EXPECT_FALSE(reg.AddUsage(kRawUsageKeyboard));
    EXPECT_TRUE(reg.AddUsage(kRawUsageMouse));
    EXPECT_EQ(reg.Usages(), (std::vector<uint16_t>{6, 2}));
}

TEST_F(RawInputTest, RegistersEachUsageWithItsFlagsAndTheRealElementSize) {
    reg.AddUsage(kRawUsageKeyboard);
    reg.AddUsage(kRawUsageMouse);
    ASSERT_TRUE(reg.Register(window));
    EXPECT_TRUE(reg.IsRegistered());
    ASSERT_EQ(g_calls.size(), 1u);
    const Call& c = g_calls[0];
    EXPECT_EQ(c.elementSize, sizeof(RAWINPUTDEVICE));
    ASSERT_EQ(c.devices.size(), 2u);
    EXPECT_EQ(c.devices[0].usUsagePage, 1);
    EXPECT_EQ(c.devices[0].usUsage, 6);
    EXPECT_EQ(c.devices[0].dwFlags, DWORD(0x130));
    EXPECT_EQ(c.devices[0].hwndTarget, window);
    EXPECT_EQ(c.devices[1].usUsage, 2);
    EXPECT_EQ(c.devices[1].dwFlags, DWORD(0x100));
}

TEST_F(RawInputTest, RefusedRegistrationsChangeNothing) {
    struct Case {
        const char* label;
        bool addUsage;
        bool registerFirst;
        BOOL firstResult;
        HWND target;
    };
    const Case cases[] = {
        {"already registered", true, true, TRUE, reinterpret_cast<HWND>(0x1234)},
        {"array left by a failed call", true, true, FALSE, reinterpret_cast<HWND>(0x1234)},
        {"null window", true, false, TRUE, nullptr},
        {"empty usage list", false, false, TRUE, reinterpret_cast<HWND>(0x1234)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RawInputRegistration r{FakeRegister};
        g_calls.clear();
        if (c.addUsage) r.AddUsage(kRawUsageKeyboard);
        if (c.registerFirst) {
            g_result = c.firstResult;
            EXPECT_EQ(r.Register(window), c.firstResult != FALSE);
            g_result = TRUE;
        }
        size_t callsBefore = g_calls.size();
        bool wasRegistered = r.IsRegistered();
        EXPECT_FALSE(r.Register(c.target));
        EXPECT_EQ(g_calls.size(), callsBefore);
        EXPECT_EQ(r.IsRegistered(), wasRegistered);
    }
}

TEST_F(RawInputTest, UnregisterRemovesEveryDeviceAndAllowsANewRegistration) {
    reg.AddUsage(kRawUsageKeyboard);
    g_result = FALSE;
    EXPECT_FALSE(reg.Register(window));
    g_result = TRUE;
    reg.Unregister();
    ASSERT_EQ(g_calls.size(), 2u);
    ASSERT_EQ(g_calls[1].devices.size(), 1u);
    EXPECT_EQ(g_calls[1].devices[0].dwFlags, DWORD(RIDEV_REMOVE));
    EXPECT_EQ(g_calls[1].devices[0].hwndTarget, nullptr);
    EXPECT_EQ(g_calls[1].elementSize, sizeof(RAWINPUTDEVICE));
    EXPECT_TRUE(reg.Usages().empty());
    EXPECT_TRUE(reg.Devices().empty());
    EXPECT_FALSE(reg.IsRegistered());

    reg.AddUsage(kRawUsageMouse);
    EXPECT_TRUE(reg.Register(window));
}

TEST_F(RawInputTest, UnregisterWithoutRegistrationOnlyEmptiesTheList) {
    reg.AddUsage(kRawUsageKeyboard);
    reg.Unregister();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(reg.Usages().empty());
}

TEST_F(RawInputTest, UsageAddedWhileRegisteredWaitsForTheNextRegistration) {
    reg.AddUsage(kRawUsageKeyboard);
    ASSERT_TRUE(reg.Register(window));
    EXPECT_TRUE(reg.AddUsage(kRawUsageMouse));
    EXPECT_EQ(reg.Devices().size(), 1u);
}

TEST(RawInputMouseTable, TenRowsWithButtonsFourAndFiveCrossed) {
    struct Row {
        uint16_t flag;
        int32_t button;
        uint8_t transition;
    };
    const Row rows[] = {
        {0x0001, 1, 255}, {0x0002, 1, 1}, {0x0004, 2, 255}, {0x0008, 2, 1}, {0x0010, 3, 255},
        {0x0020, 3, 1},   {0x0040, 7, 255}, {0x0080, 7, 1}, {0x0100, 6, 255}, {0x0200, 6, 1},
        {0x0400, 0, 0},   {0x0000, 0, 0},  {0x0003, 0, 0},
    };
    EXPECT_EQ(GetRawMouseButtonTable().size(), 10u);
    for (const Row& r : rows) {
        const RawMouseButton& b = LookupRawMouseButton(r.flag);
        EXPECT_EQ(b.button, r.button) << r.flag;
        EXPECT_EQ(b.transition, r.transition) << r.flag;
    }
    EXPECT_EQ(GetRawMouseButtonTable().size(), 10u) << "lookups add no row";
}
