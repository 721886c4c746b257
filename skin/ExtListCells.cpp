// The extended list's cells: finding a cell by row and column, its text and rectangle, and the
// changes that repaint only that cell (text, check, row colours, the header's check image).
#include "skin/ExtListCtrl.h"
#include <commctrl.h>

namespace vt::skin {

ListCell* CXListCtrl::Cell(int row, int columnId) {
    auto c = m_columns.find(columnId);
    ListItemData* d = RowData(row);
    if (c == m_columns.end() || !d || size_t(c->second.position) >= d->cells.size()) return nullptr;
    return &d->cells[size_t(c->second.position)];
}

std::wstring CXListCtrl::CellText(int row, int position) const {
    wchar_t buffer[512] = {};
    LVITEMW it{};
    it.iSubItem = position;
    it.pszText = buffer;
    it.cchTextMax = 511;
    SendMessageW(m_hWnd, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&it));
    return buffer;
}

bool CXListCtrl::SetItemTextByKey(int key, int columnId, const wchar_t* text) {
    const int row = FindRowByKey(key);
    auto c = m_columns.find(columnId);
    if (row < 0 || c == m_columns.end()) return false;
    LVITEMW it{};
    it.iSubItem = c->second.position;
    it.pszText = const_cast<wchar_t*>(text ? text : L"");
    SendMessageW(m_hWnd, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&it));
    RefreshCell(columnId, row);
    return true;
}

bool CXListCtrl::SetItemCheckByKey(int key, int value) {
    const int row = FindRowByKey(key);
    ListCell* cell = row >= 0 ? Cell(row, kColAutoSwitch) : nullptr;
    if (!cell) return false;
    cell->check = value;
    RefreshCell(kColAutoSwitch, row);
    UpdateHeaderCheckImage(kColAutoSwitch);
    return true;
}

void CXListCtrl::SetRowColors(int row, COLORREF text, COLORREF back, COLORREF selText, COLORREF selBack) {
    if (row >= RowCount()) return;
    ListItemData* d = RowData(row);
    if (!d || d->cells.empty()) return;
    d->cells[0].text = text;
    d->cells[0].back = back;
    d->cells[0].selText = selText;
    d->cells[0].selBack = selBack;
    SendMessageW(m_hWnd, LVM_REDRAWITEMS, WPARAM(row), LPARAM(row));
}

int CXListCtrl::GetColumnIdAt(int position) const {
    if (position < 0 || position > int(m_columns.size())) return -1;
    for (const auto& [id, rec] : m_columns)
        if (rec.position == position) return id;
    return -1;
}

RECT CXListCtrl::GetCellRect(int row, int position) const {
    RECT r{};
    if (row >= RowCount() || row < 0 || GetColumnIdAt(position) == -1) return r;
    r.top = position;
    r.left = LVIR_BOUNDS;
    SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&r));
    if (position == 0 && m_columns.size() >= 2) {
        RECT n{LVIR_BOUNDS, 1};
        n.top = 1;
        n.left = LVIR_BOUNDS;
        SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&n));
        r.right = n.left;
    }
    return r;
}

void CXListCtrl::RefreshCell(int columnId, int row) {
    auto c = m_columns.find(columnId);
    if (c == m_columns.end() || !m_hWnd) return;
    RECT r = GetCellRect(row, c->second.position);
    // Painted with the next paint of the list: filling many rows paints once, not once per cell.
    InvalidateRect(m_hWnd, &r, FALSE);
}

int CXListCtrl::CountCheckedCells(int columnId) const {
    auto c = m_columns.find(columnId);
    if (c == m_columns.end()) return 0;
    int n = 0;
    for (int i = 0; i < RowCount(); ++i)
        if (ListItemData* d = RowData(i); d && size_t(c->second.position) < d->cells.size() &&
                                          d->cells[size_t(c->second.position)].check == 1)
            ++n;
    return n;
}

void CXListCtrl::UpdateHeaderCheckImage(int columnId) {
    auto c = m_columns.find(columnId);
    HWND header = m_hWnd ? ListView_GetHeader(m_hWnd) : nullptr;
    if (c == m_columns.end() || !header) return;
    HDITEMW hi{HDI_IMAGE};
    if (!SendMessageW(header, HDM_GETITEMW, WPARAM(c->second.position), LPARAM(&hi)) || hi.iImage == -1) return;
    hi.mask = HDI_IMAGE;
    hi.iImage = CountCheckedCells(columnId) == RowCount() ? 1 : 0;
    SendMessageW(header, HDM_SETITEMW, WPARAM(c->second.position), LPARAM(&hi));
}

} // namespace vt::skin
