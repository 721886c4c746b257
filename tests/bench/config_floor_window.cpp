// The floor of the configuration program's start-up benchmark: the least a Win32 program does to
// show one window, 880 x 600, painted in one colour.
#include <windows.h>

static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = CreateSolidBrush(RGB(0x16, 0x19, 0x1d));
    wc.lpszClassName = L"VtBenchFloorWindow";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, L"floor", WS_POPUP | WS_VISIBLE, 200, 200, 880, 600, nullptr, nullptr,
                             instance, nullptr);
    if (!h) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
