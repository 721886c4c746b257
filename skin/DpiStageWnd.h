#pragma once
// One tile of a row of DPI stages (page element DPISTAGEWINDOW): a framed picture with a heading, a
// label and the stage's DPI in a value box, or two boxes with the X and Y values. A click selects the
// tile and tells the parent which stage was chosen (WM_DPI_STAGE_SELECTED: stage number, control id).
#include <string>
#include "skin/BitmapItem.h"
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "win/Window.h"

namespace vt::skin {

class CDPIStageWindow : public vt::win::Window, public CGUIItem {
public:
    enum Picture { kFrame = 0, kValueBox, kXBox, kYBox, kPictureCount };
    enum TextArea { kHeading = 0, kX, kY, kDpi, kDpiX, kDpiY, kTextCount };
    struct NamedText { std::wstring name, text; RECT rect; };
    struct NamedPicture { std::wstring name; HBITMAP bitmap; RECT rect; };

    explicit CDPIStageWindow(int stageNumber) : m_stageNumber(stageNumber) {}
    ~CDPIStageWindow() override = default;

    bool CreateDPIStageWindow(HWND parent, const std::vector<NamedText>& texts, const std::vector<NamedPicture>& pictures,
                              const RECT& rect);
    void SetHeadingText(const std::wstring& text);
    void SetToolTipText(const wchar_t* text);
    // The owner sets the values and flags directly, then repaints.
    void Refresh() { if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE); }

    struct Slot { CBitmap normal, selected; RECT rect{}; };
    Slot m_pictures[kPictureCount];
    std::wstring m_heading;
    std::wstring m_texts[kTextCount];
    RECT m_textRects[kTextCount]{};
    std::wstring m_dpiText = L"0", m_xText = L"0", m_yText = L"0";
    BYTE m_clickable = 1, m_selected = 0, m_ready = 0;
    HWND m_previousFocus = nullptr;
    CFontItem* m_font = nullptr;
    COLORREF m_textColour = 0;
    UINT m_format = DT_VCENTER | DT_SINGLELINE;
    BYTE m_caps = 0;
    int m_stageNumber;
    int m_dpi = 0, m_xDpi = 0, m_yDpi = 0;
    BYTE m_separateXY = 0;
    CtlToolTip m_tooltip;

protected:
    bool OnLButtonUp(UINT keys, POINT pt) override;
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnKillFocus(HWND next) override;
};

} // namespace vt::skin
