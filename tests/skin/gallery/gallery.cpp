// The control gallery: opens ControlsGallery.xml from the program folder image in a window, with sample
// content, for a person to look at and try. A test instrument, not part of any product.
//   ctl_gallery.exe [image-folder] [--screenshot file.bmp]
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include "gallery/GalleryFill.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "win/Gdi.h"
#include "win/Window.h"

namespace {
// The page's transparent texts show the window's own body under them: no WS_CLIPCHILDREN.
class GalleryWindow : public vt::win::Window {
protected:
    bool OnPaint() override {
        vt::win::PaintDC dc(m_hWnd);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        vt::win::Brush body(CreateSolidBrush(RGB(0x16, 0x19, 0x1d)));
        FillRect(dc, &rc, body);
        return true;
    }
    void OnDestroy() override { PostQuitMessage(0); }
};

bool SaveClient(HWND hwnd, const wchar_t* path) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    HDC screen = GetDC(hwnd);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), rc.right, rc.bottom, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = (DWORD(rc.right) * 3 + 3) & ~3u, size = stride * DWORD(rc.bottom);
    BITMAPFILEHEADER fh{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                        DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    bool ok = false;
    if (FILE* f = _wfopen(path, L"wb")) {
        ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             fwrite(bits, size, 1, f) == 1;
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(hwnd, screen);
    return ok;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const wchar_t* folder = nullptr;
    const wchar_t* screenshot = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--screenshot" && i + 1 < argc) screenshot = argv[++i];
        else folder = argv[i];
    }
    // Without a folder argument: the tests' program folder named by VT_TEST_IMAGE_DIR, which holds the
    // gallery page (the program folder image does not).
    std::wstring fromEnv;
    if (!folder) {
        if (const wchar_t* v = _wgetenv(L"VT_TEST_IMAGE_DIR"); v && *v) {
            fromEnv = v;
            if (fromEnv[0] == L'/') fromEnv = L"Z:" + fromEnv;
            for (auto& c : fromEnv) if (c == L'/') c = L'\\';
            folder = fromEnv.c_str();
        }
    }
    vt::base::InitProgramFolder(folder);
    vt::skin::BuildVocabularyTables();
    vt::win::Window::RegisterClass(L"VtControlGallery");
    GalleryWindow window;
    if (!window.Create(0, L"VtControlGallery", L"Control gallery", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                       40, 40, 840, 660, nullptr, 0))
        return 1;
    vt::skin::CGUIItems language;
    vt::gallery::LoadGalleryLanguage(language, window);
    vt::skin::CGUIItems items;
    if (!vt::skin::LoadSkinPage(items, L"ControlsGallery.xml", window)) {
        std::fwprintf(stderr, L"ControlsGallery.xml could not be read from %ls\n", vt::base::ProgramFolder().c_str());
        return 2;
    }
    vt::gallery::FillGallery(items);
    if (screenshot) {
        MSG msg;
        const DWORD until = GetTickCount() + 800;
        while (GetTickCount() < until)
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        const bool ok = SaveClient(window, screenshot);
        vt::skin::DeleteAllItems(items);
        return ok ? 0 : 3;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (vt::win::PreTranslateChain(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    vt::skin::DeleteAllItems(items);
    return 0;
}
