#pragma once
// Owning wrappers for GDI objects and device contexts, and a double-buffered paint helper.
#include <windows.h>

namespace vt::win {

// Objects a cache owns for the process's life (the skin store's bitmaps and the pieces it cuts):
// any number of holders share one, none of them deletes it; only the cache does, after it has
// stopped marking it as its own.
void MarkCacheOwned(HGDIOBJ object, bool owned);
bool IsCacheOwned(HGDIOBJ object);

// A GDI object (bitmap, brush, pen, font, region) deleted with DeleteObject, unless it is one a
// cache owns (shared with Share, or handed over by its handle): that one is only let go.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : m_h(h) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& o) noexcept : m_h(o.Release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept { if (this != &o) Reset(o.Release()); return *this; }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H Get() const { return m_h; }
    operator H() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    // Whether this object deletes its handle (false for one a cache owns).
    bool Owns() const { return m_h && !IsCacheOwned(m_h); }
    H Release() { H h = m_h; m_h = nullptr; return h; }
    void Reset(H h = nullptr) {
        if (m_h && !IsCacheOwned(m_h)) DeleteObject(m_h);
        m_h = h;
    }
    // Holds an object a cache owns (marked with MarkCacheOwned), without deleting it.
    void Share(H h) { Reset(h); }
private:
    H m_h = nullptr;
};
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;

// Selects an object into a DC and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() { if (m_old) SelectObject(m_dc, m_old); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC (DeleteDC).
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible = nullptr) : m_dc(CreateCompatibleDC(compatible)) {}
    ~MemoryDC() { if (m_dc) DeleteDC(m_dc); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
private:
    HDC m_dc;
};

// GetDC / ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDC() { if (m_dc) ReleaseDC(m_hwnd, m_dc); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const RECT& PaintRect() const { return m_ps.rcPaint; }
private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc = nullptr;
};

// Double buffer: paint into Get(), copied to the target DC when the object goes.
class BufferedPaint {
public:
    BufferedPaint(HDC target, int width, int height)
        : m_target(target), m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1), m_mem(target),
          m_bitmap(CreateCompatibleBitmap(target, m_width, m_height)), m_select(m_mem, m_bitmap) {}
    ~BufferedPaint() { BitBlt(m_target, 0, 0, m_width, m_height, m_mem, 0, 0, SRCCOPY); }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    HDC Get() const { return m_mem; }
    operator HDC() const { return m_mem; }
private:
    HDC m_target;
    int m_width, m_height;
    MemoryDC m_mem;
    Bitmap m_bitmap;
    SelectGuard m_select;
};

} // namespace vt::win
