#pragma once
// The extended list's in-place editors: CXListEdit, the edit control over a text cell being edited,
// drawn in the list's colours (Return ends the edit keeping the text, Escape drops it), and, in
// ExtListEditors.cpp, the list's own editing: BeginEdit/EndEdit and the drop-down of a combo cell.
#include <windows.h>
#include "skin/BitmapItem.h"
#include "win/Gdi.h"
#include "win/Window.h"

namespace vt::skin {

class CXListEdit : public vt::win::Window {
public:
    CFontItem* m_font = nullptr;
    COLORREF m_text = 0xFFFFFF;
    COLORREF m_back = 0;
    COLORREF m_frame = 0xFFFFFF;
    vt::win::Brush m_brush;
protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

} // namespace vt::skin
