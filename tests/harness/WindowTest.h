#pragma once
// Fixture and helpers for tests that open real windows on the X display.
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace vt::test {

// Runs every pending message of this thread; returns once the queue stays empty for idleMs.
void PumpMessages(DWORD idleMs = 30, DWORD maxMs = 2000);
// Pumps until pred() holds or maxMs passes; returns pred()'s last answer.
bool PumpUntil(const std::function<bool()>& pred, DWORD maxMs = 3000);

// Screen pixels of a window's client area, read back after painting (0x00BBGGRR like COLORREF).
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool SaveBmp(const std::wstring& path) const;
};
// Reads what the screen shows of the window's client area (for layered windows, the composed result).
Capture CaptureClient(HWND hwnd);
// Reads the window's own painting through WM_PRINTCLIENT-free BitBlt of its DC.
Capture CaptureWindowDC(HWND hwnd);

// Injected input through SendInput, in screen coordinates.
void ClickAt(int screenX, int screenY, bool right = false);
void ClickClient(HWND hwnd, int x, int y, bool right = false);
void MoveTo(int screenX, int screenY);
void PressKey(WORD vk, bool extended = false);
void KeyDown(WORD vk, bool extended = false);
void KeyUp(WORD vk, bool extended = false);

// Folder for screenshots and other files a person may look at after a run.
std::wstring OutputPath(const std::wstring& fileName);
// The program folder image the build lays out (VT_IMAGE_DIR), ending in a backslash.
std::wstring ImageFolder();
// The program folder of the skinned-page tests (VT_TEST_IMAGE_DIR): the image's data plus the test
// pages and their bitmaps; ends in a backslash.
std::wstring TestImageFolder();
// The folder of the device engine stand-in, its proxy DLL and enginectl (VT_STANDIN_DIR), ending in
// a backslash.
std::wstring StandinFolder();

inline bool SameColor(COLORREF a, COLORREF b, int tolerance = 8) {
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= tolerance &&
           std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= tolerance &&
           std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= tolerance;
}

// Base fixture: destroys every top-level window of this thread the test left behind.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override;
};

} // namespace vt::test
