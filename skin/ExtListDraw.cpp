// Drawing of the extended list: every row is drawn by the list itself, cell by cell (text, check
// image, combo cell with its button, progress bar), in the row's and the list's colours.
#include "skin/ExtListCtrl.h"
#include <commctrl.h>
#include <algorithm>
#include <cwchar>
#include "skin/CtlCommon.h"
#include "win/Gdi.h"

namespace vt::skin {

void CXListCtrl::DrawCell(HDC dc, int row, int position, const ListCell& first, ListCell& cell) {
    RECT r = GetCellRect(row, position);
    const bool selected = row == m_paintSelected;
    const int columnId = GetColumnIdAt(position);
    if (cell.progress) {
        FillSolid(dc, r, m_backColour);
        RECT b{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FrameSolid(dc, b, m_textColour, 1);
        const int width = (b.right - b.left - 4) * std::clamp(cell.percent, 0, 100) / 100;
        RECT bar{b.left + 2, b.top + 2, b.left + 2 + width, b.bottom - 2};
        if (cell.percent > 0) FillSolid(dc, bar, m_selBackColour);
        if (cell.showProgressText) {
            wchar_t text[64];
            swprintf(text, 64, cell.progressFormat.empty() ? L"%d%%" : cell.progressFormat.c_str(), cell.percent);
            SetBkMode(dc, TRANSPARENT);
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
            ::SetTextColor(dc, m_selTextColour);
            DrawTextW(dc, text, -1, &b, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            RestoreDC(dc, saved);
            const int saved2 = SaveDC(dc);
            ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
            ::SetTextColor(dc, m_textColour);
            DrawTextW(dc, text, -1, &b, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            RestoreDC(dc, saved2);
        }
        return;
    }
    if (cell.combo && selected) {
        RECT c{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FillSolid(dc, r, m_backColour);
        FrameSolid(dc, c, m_textColour, 1);
        const int side = c.bottom - c.top;
        RECT button{c.right - side + 2, c.top + 2, c.right - 2, c.bottom - 2};
        std::wstring text = CellText(row, position);
        if (text.empty() && cell.choices && !cell.choices->empty() && size_t(cell.defaultChoice) < cell.choices->size())
            text = (*cell.choices)[size_t(cell.defaultChoice)];
        RECT tr{c.left + 4, c.top, button.left - 2, c.bottom};
        SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, m_textColour);
        DrawTextW(dc, text.c_str(), int(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        FillSolid(dc, button, m_backColour);
        if (cell.comboPressed) FrameSolid(dc, button, m_textColour, 1);
        else DrawEdge(dc, &button, EDGE_RAISED, BF_RECT);
        const int cx = (button.left + button.right) / 2 + (cell.comboPressed ? 1 : 0);
        const int cy = (button.top + button.bottom) / 2 - 1 + (cell.comboPressed ? 1 : 0);
        for (int i = 0; i < 3; ++i) FillSolid(dc, RECT{cx - 2 + i, cy + i, cx + 3 - i, cy + i + 1}, m_textColour);
        return;
    }
    if (cell.check != -1) {
        FillSolid(dc, r, selected ? m_selBackColour : m_backColour);
        const ListColumnRecord& col = m_columns[columnId];
        HBITMAP image = cell.check == 1 ? col.checked : col.unchecked;
        if (image) {
            SIZE s = BitmapSize(image);
            const int x = (r.left + r.right - s.cx) / 2, y = (r.top + r.bottom - s.cy) / 2;
            if (col.mask) {
                vt::win::MemoryDC mem(dc);
                vt::win::SelectGuard sm(mem, col.mask);
                BitBlt(dc, x, y, s.cx, s.cy, mem, 0, 0, SRCAND);
                vt::win::SelectGuard si(mem, image);
                BitBlt(dc, x, y, s.cx, s.cy, mem, 0, 0, SRCPAINT);
            } else {
                DrawBitmapAt(dc, image, x, y);
            }
        }
        return;
    }
    FillSolid(dc, r, selected ? first.selBack : first.back);
    std::wstring text = CellText(row, position);
    if (text.empty()) return;
    HWND header = ListView_GetHeader(m_hWnd);
    HDITEMW hi{HDI_FORMAT};
    UINT align = DT_LEFT;
    if (header && SendMessageW(header, HDM_GETITEMW, WPARAM(position), LPARAM(&hi))) {
        if ((hi.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
        else if ((hi.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
    }
    RECT tr{r.left + 8, r.top, r.right, r.bottom};
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, selected ? first.selText : first.text);
    vt::win::Font bold;
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (cell.bold) {
        LOGFONTW lf{};
        if (base && GetObjectW(base, sizeof(lf), &lf)) {
            lf.lfWeight = FW_BOLD;
            bold.Reset(CreateFontIndirectW(&lf));
        }
    }
    vt::win::SelectGuard f(dc, bold ? static_cast<HGDIOBJ>(bold.Get()) : static_cast<HGDIOBJ>(base));
    DrawTextW(dc, text.c_str(), int(text.size()), &tr, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
}

void CXListCtrl::DrawRow(HDC dc, int row) {
    ListItemData* d = RowData(row);
    if (!d || d->cells.empty()) return;
    const ListCell first = d->cells[0];
    for (int pos = 0; pos < int(m_columns.size()) && size_t(pos) < d->cells.size(); ++pos)
        DrawCell(dc, row, pos, first, d->cells[size_t(pos)]);
}

} // namespace vt::skin
