#pragma once
// A level marker (page element DMARKER): a bar cut from an empty and a full skin picture whose full part
// covers the left side in proportion to the value; a click or drag sets the value, the release tells the
// parent with WM_MARKER_MOVED (value, control id).
#include "skin/BitmapHelpers.h"
#include "skin/GuiItem.h"
#include "win/Window.h"

namespace vt::skin {

class CDMarker : public vt::win::Window, public CGUIItem {
public:
    CDMarker() = default;
    ~CDMarker() override = default;

    bool CreateMarker(const RECT& rect, int controlId, HWND parent);
    // Cuts each page-sized bitmap at the rectangle.
    void SetMarkerBitmaps(HBITMAP empty, HBITMAP full, const RECT& rect);
    // Value of a point in the marker's client coordinates.
    int ValueFromPoint(POINT clientPoint) const;
    void SetRange(int min, int max) { m_rangeMin = min; m_rangeMax = max; }
    void SetValue(int v);

    int m_id = -1;
    CBitmap m_empty, m_full;
    int m_dragging = 0;
    RECT m_rect{};
    POINT m_downPoint{};
    HWND m_parent = nullptr;
    int m_rangeMin = 0, m_rangeMax = 10, m_value = 0, m_interactive = 1;

protected:
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnLButtonDown(UINT, POINT pt) override;
    bool OnLButtonUp(UINT, POINT pt) override;
    bool OnMouseMove(UINT, POINT pt) override;
    bool OnCaptureChanged(HWND) override;
    bool OnKillFocus(HWND) override;
};

} // namespace vt::skin
