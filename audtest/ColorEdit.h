#pragma once
// The small colour swatch of the LED page: a read-only edit painted in one colour. Its parent hands
// it the control-colour message (the edit asks its parent for its colours).
#include <windows.h>

namespace vt::audtest {

class CColorEdit {
public:
    CColorEdit() : m_background(GetSysColor(COLOR_BTNFACE)), m_brush(CreateSolidBrush(m_background)) {}
    ~CColorEdit() { if (m_brush) DeleteObject(m_brush); }
    CColorEdit(const CColorEdit&) = delete;
    CColorEdit& operator=(const CColorEdit&) = delete;

    void Attach(HWND edit) { m_edit = edit; }
    HWND Window() const { return m_edit; }
    COLORREF Color() const { return m_background; }
    // New background colour, drawn at once.
    void SetColor(COLORREF colour);
    // The control-colour answer: the device context's colours and the background brush.
    HBRUSH CtlColor(HDC dc) const;

private:
    HWND m_edit = nullptr;
    COLORREF m_background;
    COLORREF m_text = 0;
    HBRUSH m_brush;
};

} // namespace vt::audtest
