// Raw input registered with the system for a real window: keyboard input arrives as WM_INPUT only,
// mouse input arrives as WM_INPUT and keeps its legacy messages.
#include "WindowTest.h"

#include "skin/RawInput.h"
#include "win/Window.h"

using namespace vt::skin;

namespace {

class InputWindow : public vt::win::Window {
public:
    int rawKeyboard = 0, rawMouse = 0, keyDowns = 0, buttonDowns = 0;

protected:
    bool OnInput(WPARAM, HRAWINPUT input) override {
        RAWINPUTHEADER header{};
        UINT size = sizeof(header);
        if (GetRawInputData(input, RID_HEADER, &header, &size, sizeof(RAWINPUTHEADER)) == sizeof(header)) {
            if (header.dwType == RIM_TYPEKEYBOARD) ++rawKeyboard;
            if (header.dwType == RIM_TYPEMOUSE) ++rawMouse;
        }
        return false;  // DefWindowProc cleans up the input
    }
    bool OnKeyDown(UINT, UINT) override {
        ++keyDowns;
        return true;
    }
    bool OnLButtonDown(UINT, POINT) override {
        ++buttonDowns;
        return true;
    }
};

class RawInputWindowTest : public vt::test::WindowTest {
protected:
    void TearDown() override {
        UnregisterRawInput();
        WindowTest::TearDown();
    }
    void Open(InputWindow& w) {
        ASSERT_TRUE(vt::win::Window::RegisterClass(L"VtRawInputTestWindow"));
        ASSERT_TRUE(w.Create(0, L"VtRawInputTestWindow", L"raw", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                             200, 150, nullptr, 0));
        SetForegroundWindow(w);
        SetFocus(w);
        vt::test::PumpMessages();
    }
};

} // namespace

TEST_F(RawInputWindowTest, KeyboardRegistrationTakesKeysWithoutLegacyMessages) {
    InputWindow w;
    Open(w);
    ASSERT_TRUE(AddRawInputUsage(kRawUsageKeyboard));
    ASSERT_TRUE(RegisterRawInput(w));
    vt::test::PressKey('A');
    EXPECT_TRUE(vt::test::PumpUntil([&] { return w.rawKeyboard >= 2; }));
    vt::test::PumpMessages();
    EXPECT_EQ(w.keyDowns, 0);

    UnregisterRawInput();
    EXPECT_FALSE(GlobalRawInput().IsRegistered());
    int before = w.rawKeyboard;
    vt::test::PressKey('B');
    EXPECT_TRUE(vt::test::PumpUntil([&] { return w.keyDowns >= 1; }));
    EXPECT_EQ(w.rawKeyboard, before);
}

TEST_F(RawInputWindowTest, MouseRegistrationKeepsLegacyButtonMessages) {
    InputWindow w;
    Open(w);
    ASSERT_TRUE(AddRawInputUsage(kRawUsageMouse));
    ASSERT_TRUE(RegisterRawInput(w));
    vt::test::ClickClient(w, 50, 50);
    EXPECT_TRUE(vt::test::PumpUntil([&] { return w.rawMouse >= 1 && w.buttonDowns >= 1; }));
}
