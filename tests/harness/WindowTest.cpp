#include "WindowTest.h"
#include <cstdio>
#include <cstdlib>

namespace vt::test {

void PumpMessages(DWORD idleMs, DWORD maxMs) {
    DWORD start = GetTickCount();
    DWORD lastMsg = start;
    for (;;) {
        MSG msg;
        bool any = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD now = GetTickCount();
        if (any) lastMsg = now;
        if (now - lastMsg >= idleMs || now - start >= maxMs) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD maxMs) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= maxMs) return pred();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

static Capture CaptureFrom(HDC src, int x, int y, int w, int h) {
    Capture c;
    if (w <= 0 || h <= 0) return c;
    c.width = w;
    c.height = h;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(src);
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY);
    GdiFlush();
    c.pixels.resize(size_t(w) * h);
    const auto* p = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < c.pixels.size(); ++i)
        c.pixels[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4 + 0]);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    return c;
}

Capture CaptureClient(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    HDC screen = GetDC(nullptr);
    Capture c = CaptureFrom(screen, origin.x, origin.y, rc.right, rc.bottom);
    ReleaseDC(nullptr, screen);
    return c;
}

Capture CaptureWindowDC(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    HDC dc = GetDC(hwnd);
    Capture c = CaptureFrom(dc, 0, 0, rc.right, rc.bottom);
    ReleaseDC(hwnd, dc);
    return c;
}

bool Capture::SaveBmp(const std::wstring& path) const {
    if (width <= 0 || height <= 0) return false;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = DWORD(stride) * height;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&ih, sizeof(ih), 1, f);
    std::vector<unsigned char> row(stride);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = At(x, y);
            row[x * 3 + 0] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        fwrite(row.data(), 1, stride, f);
    }
    fclose(f);
    return true;
}

static void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = MulDiv(x, 65535, w - 1);
        in.mi.dy = MulDiv(y, 65535, h - 1);
    }
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(INPUT));
}

void MoveTo(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    PumpMessages(10, 200);
}

void ClickAt(int x, int y, bool right) {
    MoveTo(x, y);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    PumpMessages(10, 200);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    PumpMessages(20, 500);
}

void ClickClient(HWND hwnd, int x, int y, bool right) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    ClickAt(p.x, p.y, right);
}

static void SendKey(WORD vk, bool up, bool extended) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof(INPUT));
}

void KeyDown(WORD vk, bool extended) { SendKey(vk, false, extended); PumpMessages(10, 200); }
void KeyUp(WORD vk, bool extended) { SendKey(vk, true, extended); PumpMessages(10, 200); }
void PressKey(WORD vk, bool extended) { KeyDown(vk, extended); KeyUp(vk, extended); }

static std::wstring EnvFolder(const wchar_t* name, const wchar_t* fallback) {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(name, buf, DWORD(std::size(buf)));
    std::wstring s = (n > 0 && n < std::size(buf)) ? std::wstring(buf, n) : std::wstring(fallback);
    // Paths from the build are Unix paths; Wine maps them under drive Z:.
    if (!s.empty() && s[0] == L'/') {
        s = L"Z:" + s;
        for (auto& ch : s) if (ch == L'/') ch = L'\\';
    }
    if (!s.empty() && s.back() != L'\\') s += L'\\';
    return s;
}

std::wstring OutputPath(const std::wstring& fileName) {
    std::wstring dir = EnvFolder(L"VT_TEST_OUT", L"" VT_TEST_OUT_DEFAULT);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + fileName;
}

std::wstring ImageFolder() { return EnvFolder(L"VT_IMAGE_DIR", L".\\"); }
std::wstring TestImageFolder() { return EnvFolder(L"VT_TEST_IMAGE_DIR", L".\\"); }
std::wstring StandinFolder() { return EnvFolder(L"VT_STANDIN_DIR", L".\\"); }

static BOOL CALLBACK CollectThreadWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

void WindowTest::TearDown() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectThreadWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows)
        if (IsWindow(w)) DestroyWindow(w);
    PumpMessages(5, 200);
}

} // namespace vt::test
