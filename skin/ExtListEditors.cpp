#include "skin/ExtListEditors.h"
#include <commctrl.h>
#include <algorithm>
#include "skin/ExtListCtrl.h"
#include "skin/Messages.h"

namespace vt::skin {

bool CXListEdit::OnReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_CTLCOLOREDIT) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, m_text);
    SetBkColor(dc, m_back);
    SetDCPenColor(dc, m_frame);
    SetDCBrushColor(dc, m_frame);
    if (!m_brush) m_brush.Reset(CreateSolidBrush(m_back));
    result = LRESULT(m_brush.Get());
    return true;
}

LRESULT CXListEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Return ends the edit keeping the text, Escape drops it; both are used up here.
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        if (auto* list = dynamic_cast<CXListCtrl*>(vt::win::Window::FromHandle(GetParent(m_hWnd))))
            list->EndEdit(wParam == VK_RETURN);
        return 0;
    }
    if (msg == WM_CHAR && (wParam == L'\r' || wParam == 27)) return 0;
    if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | vt::win::Window::WindowProc(msg, wParam, lParam);
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

bool CXListCtrl::BeginEdit(int row, int position) {
    if (row < 0 || row >= RowCount() || GetColumnIdAt(position) == -1 || !m_edit.Hwnd()) return false;
    EndEdit(true);
    RECT r = GetCellRect(row, position);
    m_editRow = row;
    m_editPosition = position;
    SetWindowTextW(m_edit, CellText(row, position).c_str());
    SetWindowPos(m_edit, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
    SetFocus(m_edit);
    return true;
}

bool CXListCtrl::EndEdit(bool save) {
    if (GetCapture() == m_hWnd) ReleaseCapture();
    if (m_editRow < 0 || m_editPosition < 0) return false;
    const int row = m_editRow, position = m_editPosition;
    bool stored = false;
    if (row < RowCount()) {
        const int n = GetWindowTextLengthW(m_edit);
        std::wstring text(size_t(n) + 1, L'\0');
        GetWindowTextW(m_edit, text.data(), n + 1);
        text.resize(size_t(n));
        if (save && text != CellText(row, position)) {
            LVITEMW it{};
            it.iSubItem = position;
            it.pszText = text.data();
            SendMessageW(m_hWnd, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&it));
            ListItemData* d = RowData(row);
            ListNotifyRecord rec{d && !d->cells.empty() ? d->cells[0].key : -1, position, LPARAM(text.c_str())};
            SendMessageW(Owner(), WM_XLIST_EDIT_END, WPARAM(m_hWnd), LPARAM(&rec));
            stored = true;
        }
    }
    ShowWindow(m_edit, SW_HIDE);
    m_editRow = m_editPosition = -1;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return stored;
}

void CXListCtrl::ReleaseComboButton() {
    static bool inside = false;
    if (inside) return;
    inside = true;
    if (m_comboPressed && m_pressedRow >= 0 && m_pressedRow < RowCount()) {
        ListItemData* d = RowData(m_pressedRow);
        if (d && size_t(m_pressedPosition) < d->cells.size()) {
            d->cells[size_t(m_pressedPosition)].comboPressed = 0;
            RefreshCell(GetColumnIdAt(m_pressedPosition), m_pressedRow);
        }
    }
    m_comboPressed = false;
    inside = false;
}

void CXListCtrl::PressComboCell(int row, int position) {
    ListItemData* d = RowData(row);
    if (!d || size_t(position) >= d->cells.size()) return;
    ListCell& cell = d->cells[size_t(position)];
    m_combo.reset();
    cell.comboPressed = 1;
    m_comboPressed = true;
    m_pressedRow = row;
    m_pressedPosition = position;
    RECT r = GetCellRect(row, position);
    m_buttonRect = {r.right - (r.bottom - r.top), r.top, r.right, r.bottom};
    // The drop-down below the cell, as high as its entries allow.
    RECT drop{r.left, r.bottom - 1, r.right - 1, r.bottom - 1 + (r.bottom - r.top - 2) * std::max(1, cell.dropHeight)};
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&drop), 2);
    if (!m_dropFont) {
        LOGFONTW lf{};
        HFONT f = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        if (f && GetObjectW(f, sizeof(lf), &lf)) m_dropFont.Reset(CreateFontIndirectW(&lf));
    }
    m_combo = std::make_unique<CXComboList>(m_hWnd);
    if (!m_combo->CreateComboList(drop, m_hWnd, m_dropFont.Get())) {
        m_combo.reset();
        return;
    }
    std::wstring text = CellText(row, position);
    int select = 0;
    int index = 0;
    if (cell.choices)
        for (const auto& c : *cell.choices) {
            if (c.empty()) continue;
            SendMessageW(m_combo->ListBox(), LB_ADDSTRING, 0, LPARAM(c.c_str()));
            if (c == text) select = index;
            ++index;
        }
    SendMessageW(m_combo->ListBox(), LB_SETCURSEL, WPARAM(select), 0);
    if (text.empty() && index > 0) {
        ListItemData* dd = RowData(row);
        SetItemTextByKey(dd->cells[0].key, GetColumnIdAt(position), m_combo->SelectedText().c_str());
    }
    m_combo->ShowComboList();
    RefreshCell(GetColumnIdAt(position), row);
}

void CXListCtrl::CommitDropChoice(bool close) {
    if (m_combo && m_combo->Selection() >= 0 && m_pressedRow >= 0) {
        ListItemData* d = RowData(m_pressedRow);
        if (d && !d->cells.empty()) {
            m_lastDropText = m_combo->SelectedText();
            SetItemTextByKey(d->cells[0].key, GetColumnIdAt(m_pressedPosition), m_lastDropText.c_str());
        }
    }
    if (close) {
        m_combo.reset();
        ReleaseComboButton();
    }
}

} // namespace vt::skin
