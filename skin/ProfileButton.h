#pragma once
// Two owner-drawn buttons of the pages: CProfileBtn (PROFBUTTON), a row button that shows up to four text
// columns over its state bitmap, follows the mouse and can work as a toggle; and CAVIButton (AVIBUTTON),
// which plays a video clip in a child animation control on a double click.
#include <windows.h>
#include <string>
#include "skin/BitmapHelpers.h"
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "win/Window.h"

namespace vt::skin {

class CProfileBtn : public vt::win::Window, public CGUIItem {
public:
    CProfileBtn() = default;
    ~CProfileBtn() override = default;
    bool CreateButton(const RECT& rect, HWND parent);
    void SetStateBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled);
    // Used as given: no language lookup, no line-break flattening.
    void SetToolTipText(const wchar_t* text) { if (text) m_tooltip.SetText(m_hWnd, text); }
    // The state bitmap a paint uses: 0 normal, 1 over, 2 down, 3 disabled.
    int ChooseState(bool selected, bool disabled) const;
    // Column rectangles for a client rectangle: 50 pixels, then 100 each, 5 apart.
    static RECT ColumnRect(const RECT& client, int column);

    CtlToolTip m_tooltip;
    int m_checked = 0;
    int m_toggle = 0;
    int m_over = 0;
    CBitmap m_normal, m_overBitmap, m_down, m_disabled;
    std::wstring m_columns[4];

protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnMouseMove(UINT keys, POINT pt) override;
    bool OnCaptureChanged(HWND gaining) override;
    bool OnKillFocus(HWND next) override;
    bool OnLButtonDown(UINT keys, POINT pt) override;
    bool OnLButtonUp(UINT keys, POINT pt) override;
    bool OnEraseBkgnd(HDC) override { return true; }
    HWND OwnerOrParent() const { return ReportTarget(m_owner, m_hWnd); }
};

class CAVIButton : public vt::win::Window, public CGUIItem {
public:
    CAVIButton() = default;
    ~CAVIButton() override;
    bool CreateButton(const RECT& rect, HWND parent);
    void SetVideoFile(const wchar_t* text) { m_video = text ? text : L""; }
    void SetSoundFile(const wchar_t* text) { m_sound = text ? text : L""; }
    void StartClip();
    bool Started() const { return m_started != 0; }
    HWND Animation() const { return m_animation; }

    HWND m_animation = nullptr;
    int m_unused = 0;
    std::wstring m_video, m_sound;
    CBitmap m_still;
    int m_started = 0;

protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

} // namespace vt::skin
