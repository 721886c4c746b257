// A layered window with colour key 0xFF00FF shows its painted bitmap and lets the key colour through.
#include "WindowTest.h"
#include "win/Gdi.h"
#include "win/Window.h"
#include <iterator>
#include <string>

using namespace vt::test;
using namespace vt::win;

namespace {

class KeyedWindow : public Window {
public:
    static constexpr COLORREF kKey = RGB(255, 0, 255);
    HBITMAP picture = nullptr;
protected:
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnPaint() override {
        PaintDC dc(m_hWnd);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        BufferedPaint buf(dc, rc.right, rc.bottom);
        MemoryDC src(buf);
        SelectGuard sel(src, picture);
        BitBlt(buf, 0, 0, rc.right, rc.bottom, src, 0, 0, SRCCOPY);
        return true;
    }
};

// 120x80: left half red, right half the key colour, with a green square in the middle.
HBITMAP MakePicture(HDC ref) {
    HBITMAP bmp = CreateCompatibleBitmap(ref, 120, 80);
    MemoryDC dc(ref);
    SelectGuard sel(dc, bmp);
    RECT left{0, 0, 60, 80}, right{60, 0, 120, 80}, square{50, 30, 70, 50};
    Brush red(CreateSolidBrush(RGB(200, 0, 0))), key(CreateSolidBrush(KeyedWindow::kKey)),
        green(CreateSolidBrush(RGB(0, 180, 0)));
    FillRect(dc, &left, red);
    FillRect(dc, &right, key);
    FillRect(dc, &square, green);
    return bmp;
}

} // namespace

class LayeredWindowTest : public WindowTest {};

TEST_F(LayeredWindowTest, ColourKeyIsTransparentAndPaintedPixelsShow) {
    // A plain backdrop in a known colour behind the layered window.
    ASSERT_TRUE(Window::RegisterClass(L"VtTestBackdrop", 0, CreateSolidBrush(RGB(0, 0, 160))));
    Window backdrop;
    ASSERT_TRUE(backdrop.Create(0, L"VtTestBackdrop", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 160, nullptr, 0));

    ASSERT_TRUE(Window::RegisterClass(L"VtTestKeyed"));
    KeyedWindow w;
    WindowDC screen(nullptr);
    Bitmap picture(MakePicture(screen));
    w.picture = picture;
    ASSERT_TRUE(w.Create(WS_EX_LAYERED | WS_EX_TOPMOST, L"VtTestKeyed", L"", WS_POPUP, 140, 140, 120, 80, nullptr, 0));
    ASSERT_TRUE(SetLayeredWindowAttributes(w, KeyedWindow::kKey, 0, LWA_COLORKEY));
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    PumpMessages(100, 1500);

    Capture shot = CaptureClient(w);
    ASSERT_EQ(shot.width, 120);
    ASSERT_EQ(shot.height, 80);
    shot.SaveBmp(OutputPath(L"layered-window.bmp"));

    EXPECT_TRUE(SameColor(shot.At(10, 10), RGB(200, 0, 0))) << std::hex << shot.At(10, 10);
    EXPECT_TRUE(SameColor(shot.At(60, 40), RGB(0, 180, 0))) << std::hex << shot.At(60, 40);
    // Where the bitmap holds the key colour, the backdrop shows through.
    EXPECT_TRUE(SameColor(shot.At(100, 10), RGB(0, 0, 160))) << std::hex << shot.At(100, 10);
    EXPECT_FALSE(SameColor(shot.At(100, 10), KeyedWindow::kKey));
}

// Without an output folder in the environment, screenshots go under the build tree, never into the
// current folder (which may be the source tree).
TEST(TestOutput, WithoutAnOutputFolderFilesGoUnderTheBuildTree) {
    wchar_t saved[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableW(L"VT_TEST_OUT", saved, DWORD(std::size(saved)));
    SetEnvironmentVariableW(L"VT_TEST_OUT", nullptr);
    const std::wstring path = OutputPath(L"probe.bmp");
    if (n > 0 && n < std::size(saved)) SetEnvironmentVariableW(L"VT_TEST_OUT", saved);

    std::wstring expected = L"Z:" VT_TEST_OUT_DEFAULT L"\\probe.bmp";
    for (auto& c : expected) if (c == L'/') c = L'\\';
    EXPECT_EQ(path, expected);
}
