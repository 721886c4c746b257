#pragma once
// Drawing helpers every skinned control uses: regions from mask bitmaps, cutting bitmaps to size,
// loading picture files, the default caption font; and the page's BACKGROUND or MASK item.
#include <windows.h>
#include "skin/GuiItem.h"
#include "win/Gdi.h"

namespace vt::skin {

using CBitmap = vt::win::Bitmap;
using CFont = vt::win::Font;

// Region of every pixel of the mask that is not pure white; null for a null bitmap or when a DC or
// DIB section cannot be made. The caller owns the region.
HRGN CreateRegionFromBitmap(HBITMAP mask);
// Replaces target's bitmap by a bitmap compatible with dc of size (x2 - x1) x (y2 - y1) holding the
// source's rectangle from (x1, y1). Does nothing when the source has no bitmap or the size is empty.
void CopyBitmapRect(CBitmap& target, HDC dc, HBITMAP source, int x1, int y1, int x2, int y2);
// Loads a picture file (any format the system's picture loader reads) into target. False when the
// file cannot be read or decoded; target is then unchanged.
bool LoadPictureFile(const wchar_t* path, CBitmap& target);
// Attaches the default caption font: bold Arial of height 14.
void CreateArialFont(CFont& font);
// A bitmap to draw into and copy to the DC: a 32-bit DIB section (a compatible bitmap when that
// cannot be made). Skin bitmaps are cut into these; they need no round trip to the display.
HBITMAP CreateDeviceBitmap(HDC dc, int width, int height);
// Size of a bitmap in pixels; (0, 0) for none.
SIZE BitmapSize(HBITMAP bitmap);

// A page's BACKGROUND (control id 0) or MASK (control id 1): the skin store's bitmap, shared with
// every page that names the same file (a mask is the store's 1-bit form of it).
class CPanelBitmap : public CBitmap, public CGUIItem {
public:
    // Shares the source when the skin store owns it (it keeps it until ReleaseSkinResources),
    // else holds a copy of its own.
    explicit CPanelBitmap(HBITMAP source);
    ~CPanelBitmap() override = default;

    HBITMAP m_handle = nullptr;   // the bitmap's handle (set by the page reader)
};

} // namespace vt::skin
