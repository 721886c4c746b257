#pragma once
// Helpers of the control window tests: an owner window that records the private messages it gets,
// and solid or drawn bitmaps made in memory.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "WindowTest.h"
#include "win/Window.h"

namespace vt::test {

struct RecordedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// A top-level window that records every message from WM_USER on (and WM_COMMAND, WM_VSCROLL).
class RecorderWindow : public vt::win::Window {
public:
    bool Open(int width = 420, int height = 300, int x = 40, int y = 40) {
        vt::win::Window::RegisterClass(L"VtCtlRecorder", CS_DBLCLKS, reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        if (!Create(0, L"VtCtlRecorder", L"controls", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
                    nullptr, 0))
            return false;
        SetForegroundWindow(m_hWnd);
        PumpMessages();
        return true;
    }
    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> Of(UINT msg) const {
        std::vector<RecordedMessage> out;
        for (auto& m : messages) if (m.msg == msg) out.push_back(m);
        return out;
    }
    size_t Count(UINT msg) const { return Of(msg).size(); }
    // Called with every recorded message (e.g. to copy a record passed by pointer).
    std::function<LRESULT(const RecordedMessage&)> onMessage;

protected:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if ((msg >= WM_USER && msg < 0x7FFF) || msg == WM_COMMAND || msg == WM_VSCROLL) {
            messages.push_back({msg, w, l});
            if (onMessage) return onMessage(messages.back());
            if (msg >= WM_USER) return 0;
        }
        return vt::win::Window::WindowProc(msg, w, l);
    }
};

// A DIB section of the given size painted by pixel(x, y).
inline HBITMAP MakeBitmap(int w, int h, const std::function<COLORREF(int, int)>& pixel) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = pixel(x, y);
            p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return b;
}
inline HBITMAP SolidBitmap(int w, int h, COLORREF c) { return MakeBitmap(w, h, [c](int, int) { return c; }); }

inline LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

} // namespace vt::test
