#pragma once
// The skinned vertical scroll bar of lists: drawn from six skin bitmaps (top cap, bottom cap, up arrow,
// down arrow, spine, thumb), it turns clicks, drags and timer steps into WM_VSCROLL posted to its owner
// (the list, lParam 0, as a standard scroll bar would) and follows the owner's scroll position.
#include <windows.h>
#include "skin/BitmapHelpers.h"
#include "skin/PageReader.h"
#include "win/Window.h"

namespace vt::skin {

struct VScrollSkin {
    enum { kTop = 0, kBottom, kArrowUp, kArrowDown, kSpine, kThumb, kCount };
    HBITMAP sources[kCount]{};
    int borderWidth = 0;
    int prepared = 0;
    CBitmap copies[kCount];
    SIZE sizes[kCount]{};
};

class CVScrollBar : public vt::win::Window {
public:
    CVScrollBar(int barWidth, HWND owner) : m_barWidth(barWidth), m_ownerWindow(owner) {}
    ~CVScrollBar() override;

    void CreateVScrollBar(const VScrollDescription& description);
    // Creates the window; false without a skin or when the rectangle is too short for caps, arrows and thumb.
    bool CreateBar(DWORD style, const RECT& rect, HWND parent, UINT id);
    void SyncThumbPosition();
    void DrawScrollBar();

    int ThumbPosition() const { return m_thumbPos; }
    int TrackTop() const { return m_trackTop; }
    int TrackBottom() const { return m_trackBottom; }
    int ThumbHeight() const { return m_skin ? m_skin->sizes[VScrollSkin::kThumb].cy : 0; }
    RECT UpArrow() const { return m_upRect; }
    RECT DownArrow() const { return m_downRect; }

    COLORREF m_background = 0;
    COLORREF m_border = 0xFFFFFF;

protected:
    void PrepareScrollBitmaps();
    bool CalcScrollLayout(const RECT& client);
    void ClampThumb();
    int Height(int k) const { return m_skin ? m_skin->sizes[k].cy : 0; }
    void Action(int code);
    bool OwnerScrollInfo(SCROLLINFO& si) const;
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnLButtonDown(UINT keys, POINT pt) override;
    bool OnLButtonDblClk(UINT keys, POINT pt) override;
    bool OnLButtonUp(UINT keys, POINT pt) override;
    bool OnMouseMove(UINT keys, POINT pt) override;
    bool OnTimer(UINT_PTR id) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int m_unused = 0;
    double m_trackLength = 0;
    int m_grabOffset = 0;
    int m_trackTop = 0, m_trackBottom = 0;
    RECT m_upRect{}, m_downRect{};
    int m_thumbPos = 0;
    BYTE m_upPressed = 0, m_downPressed = 0, m_dragging = 0;
    VScrollSkin* m_skin = nullptr;
    int m_barWidth;
    HWND m_ownerWindow;
    int m_borderWidth = 0, m_insetBefore = 0, m_insetAfter = 0;
    int m_lastPosted = 0;
    // Pending work of this bar's timers (kept per bar, so two bars never take each other's step).
    bool m_pendingSync = false;
    int m_pendingTarget = -1;
};

constexpr UINT_PTR kEndScrollTimer = 0;   // 5 ms
constexpr UINT_PTR kJumpTimer = 1;        // 20 ms

} // namespace vt::skin
