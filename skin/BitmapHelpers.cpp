#include "skin/BitmapHelpers.h"
#include <olectl.h>
#include <ocidl.h>
#include <cstring>
#include <memory>
#include <vector>

namespace vt::skin {

using vt::win::MemoryDC;
using vt::win::SelectGuard;

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

HRGN CreateRegionFromBitmap(HBITMAP mask) {
    if (!mask) return nullptr;
    const SIZE size = BitmapSize(mask);
    if (size.cx <= 0 || size.cy <= 0) return nullptr;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = size.cy;   // bottom-up rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    MemoryDC dibDC(nullptr);
    MemoryDC srcDC(nullptr);
    if (!dibDC.Get() || !srcDC.Get()) return nullptr;
    vt::win::Bitmap dib(CreateDIBSection(dibDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return nullptr;
    {
        SelectGuard selDib(dibDC, dib);
        SelectGuard selSrc(srcDC, mask);
        BitBlt(dibDC, 0, 0, size.cx, size.cy, srcDC, 0, 0, SRCCOPY);
    }
    GdiFlush();

    constexpr DWORD kGrow = 100;
    constexpr DWORD kFlushEvery = 2000;
    HRGN result = nullptr;
    std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + sizeof(RECT) * kGrow);
    DWORD capacity = kGrow;
    DWORD count = 0;
    RECT bounds{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};

    auto flush = [&]() {
        if (count == 0) return;
        auto* hdr = reinterpret_cast<RGNDATAHEADER*>(buffer.data());
        hdr->dwSize = sizeof(RGNDATAHEADER);
        hdr->iType = RDH_RECTANGLES;
        hdr->nCount = count;
        hdr->nRgnSize = count * sizeof(RECT);
        hdr->rcBound = bounds;
        HRGN piece = ExtCreateRegion(nullptr, DWORD(sizeof(RGNDATAHEADER) + count * sizeof(RECT)),
                                     reinterpret_cast<RGNDATA*>(buffer.data()));
        if (piece) {
            if (!result) result = piece;
            else {
                CombineRgn(result, result, piece, RGN_OR);
                DeleteObject(piece);
            }
        }
        count = 0;
        bounds = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    };
    auto add = [&](int x0, int x1, int y) {
        if (count == capacity) {
            capacity += kGrow;
            buffer.resize(sizeof(RGNDATAHEADER) + sizeof(RECT) * capacity);
        }
        RECT* rects = reinterpret_cast<RECT*>(buffer.data() + sizeof(RGNDATAHEADER));
        rects[count++] = RECT{x0, y, x1, y + 1};
        if (x0 < bounds.left) bounds.left = x0;
        if (x1 > bounds.right) bounds.right = x1;
        if (y < bounds.top) bounds.top = y;
        if (y + 1 > bounds.bottom) bounds.bottom = y + 1;
        if (count == kFlushEvery) flush();
    };

    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < size.cy; ++y) {
        const DWORD* row = pixels + size_t(size.cy - 1 - y) * size.cx;   // bottom-up storage
        int x = 0;
        while (x < size.cx) {
            while (x < size.cx && (row[x] & 0xFFFFFF) == 0xFFFFFF) ++x;
            const int start = x;
            while (x < size.cx && (row[x] & 0xFFFFFF) != 0xFFFFFF) ++x;
            if (x > start) add(start, x, y);
        }
    }
    flush();
    if (!result) result = CreateRectRgn(0, 0, 0, 0);   // all white: an empty region
    return result;
}

HBITMAP CreateDeviceBitmap(HDC dc, int width, int height) {
    if (width > 0 && height > 0) {
        // A 32-bit DIB section: drawn into and copied from without the display's help, which
        // under Wine makes cutting a skin bitmap ten times faster than a display bitmap would.
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        if (HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0)) return b;
    }
    return CreateCompatibleBitmap(dc, width, height);
}

void CopyBitmapRect(CBitmap& target, HDC dc, HBITMAP source, int x1, int y1, int x2, int y2) {
    if (!source) return;
    const int w = x2 - x1, h = y2 - y1;
    if (w <= 0 || h <= 0) return;
    HBITMAP copy = CreateDeviceBitmap(dc, w, h);
    if (!copy) return;
    {
        MemoryDC srcDC(dc);
        MemoryDC dstDC(dc);
        SelectGuard selSrc(srcDC, source);
        SelectGuard selDst(dstDC, copy);
        StretchBlt(dstDC, 0, 0, w, h, srcDC, x1, y1, w, h, SRCCOPY);
    }
    target.Reset(copy);
}

namespace {

// An uncompressed 24- or 32-bit BMP, as the skins ship, copied straight into a 32-bit DIB section
// (the form the picture loader's copy had). Null for anything else, which the picture loader then
// reads: every size and offset is checked against the file before a pixel is touched.
HBITMAP DibFromPlainBmp(const BYTE* data, size_t size) {
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    if (size < sizeof(file) + sizeof(info)) return nullptr;
    std::memcpy(&file, data, sizeof(file));
    std::memcpy(&info, data + sizeof(file), sizeof(info));
    if (file.bfType != 0x4D42 || info.biSize < sizeof(info) || info.biSize > size - sizeof(file)) return nullptr;
    if (info.biPlanes != 1 || info.biCompression != BI_RGB || (info.biBitCount != 24 && info.biBitCount != 32))
        return nullptr;
    constexpr LONG kLargest = 16384;
    const LONG width = info.biWidth;
    const LONG height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    if (width <= 0 || width > kLargest || height <= 0 || height > kLargest) return nullptr;
    const size_t bytesPerPixel = info.biBitCount / 8u;
    const size_t stride = (size_t(width) * bytesPerPixel + 3u) & ~size_t(3);
    const size_t offset = file.bfOffBits;
    if (offset < sizeof(file) + info.biSize || offset > size || stride * size_t(height) > size - offset) return nullptr;

    BITMAPINFO out{};
    out.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    out.bmiHeader.biWidth = width;
    out.bmiHeader.biHeight = height;   // bottom-up, like the file's usual order
    out.bmiHeader.biPlanes = 1;
    out.bmiHeader.biBitCount = 32;
    out.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return nullptr;
    }
    const bool topDown = info.biHeight < 0;
    for (LONG row = 0; row < height; ++row) {
        // Row `row` of the result counts from the bottom.
        const BYTE* src = data + offset + stride * size_t(topDown ? height - 1 - row : row);
        auto* dst = static_cast<DWORD*>(bits) + size_t(row) * size_t(width);
        for (LONG x = 0; x < width; ++x, src += bytesPerPixel)
            dst[x] = DWORD(src[0]) | DWORD(src[1]) << 8 | DWORD(src[2]) << 16;
    }
    GdiFlush();
    return dib;
}

} // namespace

bool LoadPictureFile(const wchar_t* path, CBitmap& target) {
    if (!path) return false;
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000;
    HGLOBAL mem = ok ? GlobalAlloc(GMEM_MOVEABLE, SIZE_T(size.QuadPart)) : nullptr;
    void* data = mem ? GlobalLock(mem) : nullptr;
    DWORD read = 0;
    ok = data && ReadFile(file, data, DWORD(size.QuadPart), &read, nullptr) && read == DWORD(size.QuadPart);
    // The skins' own plain bitmaps are copied directly: the picture loader's decode and copy cost
    // several times more, and the main window's background and mask are read before it first shows.
    HBITMAP plain = ok ? DibFromPlainBmp(static_cast<const BYTE*>(data), size_t(size.QuadPart)) : nullptr;
    if (data) GlobalUnlock(mem);
    CloseHandle(file);
    if (plain) {
        GlobalFree(mem);
        target.Reset(plain);
        return true;
    }
    if (!ok) {
        if (mem) GlobalFree(mem);
        return false;
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream)) || !stream) {
        GlobalFree(mem);
        return false;
    }
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(stream, LONG(size.QuadPart), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr) || !picture) return false;
    // The picture object owns its bitmap: keep a copy of our own and let the picture go.
    OLE_HANDLE handle = 0;
    SHORT type = 0;
    HBITMAP copy = nullptr;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP && SUCCEEDED(picture->get_Handle(&handle)))
        copy = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    picture->Release();
    if (!copy) return false;
    target.Reset(copy);
    return true;
}

void CreateArialFont(CFont& font) {
    font.Reset(CreateFontW(14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Arial"));
}

CPanelBitmap::CPanelBitmap(HBITMAP source) {
    if (!source) return;
    if (vt::win::IsCacheOwned(source)) {
        Share(source);
        return;
    }
    const SIZE size = BitmapSize(source);
    vt::win::WindowDC dc(nullptr);
    CopyBitmapRect(*this, dc, source, 0, 0, size.cx, size.cy);
}

} // namespace vt::skin
