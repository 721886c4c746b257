#include "audtest/ColorEdit.h"

namespace vt::audtest {

void CColorEdit::SetColor(COLORREF colour) {
    m_background = colour;
    if (m_brush) DeleteObject(m_brush);
    m_brush = CreateSolidBrush(colour);
    if (m_edit) RedrawWindow(m_edit, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
}

HBRUSH CColorEdit::CtlColor(HDC dc) const {
    SetBkColor(dc, m_background);
    SetTextColor(dc, m_text);
    return m_brush;
}

} // namespace vt::audtest
