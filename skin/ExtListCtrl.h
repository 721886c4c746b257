#pragma once
// The skinned report list (page element LISTCTRL): a list view in report mode, single full-row selection,
// drawn entirely by the control from its own colours, inside a border panel with an optional skinned
// scroll bar. Rows are known by a row key kept in the row's data; columns by list-column ids. Cells show
// text, a check image, a drop-down choice (combo) or a progress bar. Reports to its owner (SendMessage):
//   WM_XLIST_APP_CHANGED (list, record {key, 3, path})    WM_XLIST_CELL_CLICKED (list, record {key, column, byte*})
//   WM_XLIST_ROW_CLICKED (key, list)                       WM_XLIST_SUBITEM_DBLCLK (list, record {key, column, 0})
//   WM_XLIST_CELL_CHOICE (list, record {key, 0, name})    WM_XLIST_EDIT_END (list, record {key, column, text})
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "skin/BitmapItem.h"
#include "skin/CtlCommon.h"
#include "skin/ExtListCells.h"
#include "skin/ExtListEditors.h"
#include "skin/GuiItem.h"
#include "skin/ListHeader.h"
#include "skin/ListPanel.h"
#include "skin/ScrollBar.h"
#include "win/Window.h"

namespace vt::skin {

class CXListCtrl : public vt::win::Window, public CGUIItem {
public:
    CXListCtrl();
    ~CXListCtrl() override;

    int AddColumn(const wchar_t* heading, int columnId, int cellKind, const wchar_t* tooltip, int width, int exclusive,
                  HBITMAP unchecked, HBITMAP checked, HBITMAP mask);
    bool CreateList(DWORD style, const RECT& rect, HWND parent, int controlId, int borderWidth,
                    const VScrollDescription* scroll, int scrollWidth, bool header);
    bool SetTextColor(COLORREF c) { m_textColour = c; if (m_hWnd) ListView_SetTextColor(m_hWnd, c); return true; }
    bool SetSelTextColor(COLORREF c) { m_selTextColour = c; return true; }
    bool SetBackColor(COLORREF c);
    bool SetSelBackColor(COLORREF c) { m_selBackColour = c; return true; }
    bool SetBorderColor(COLORREF c);
    void SetBorderWidth(int n);

    int InsertRow(int index);
    bool SetItemTextByKey(int key, int columnId, const wchar_t* text);
    bool SetItemCheckByKey(int key, int value);
    int GetSelectedKey() const;
    int FindRowByKey(int key) const;
    void SetRowColors(int row, COLORREF text, COLORREF back, COLORREF selText, COLORREF selBack);
    ListCell* Cell(int row, int columnId);
    std::wstring CellText(int row, int position) const;
    int RowCount() const;
    int ColumnCount() const { return int(m_columns.size()); }

    int GetColumnIdAt(int position) const;
    RECT GetCellRect(int row, int position) const;
    void RefreshCell(int columnId, int row);
    bool BeginEdit(int row, int position);
    bool EndEdit(bool save);
    int CountCheckedCells(int columnId) const;
    bool IsEditing() const { return m_editRow >= 0; }
    CXComboList* ComboList() { return m_combo.get(); }
    CVScrollBar* ScrollBar() { return m_scrollBar.get(); }
    HWND Frame() const { return m_frame ? m_frame->Hwnd() : nullptr; }
    void PressComboCell(int row, int position);

    // The owner's context menu, and the file dialog of "$AssignApplication" (tests replace it).
    CListPanelItem* m_contextMenu = nullptr;
    bool (*m_openFile)(HWND owner, std::wstring& path) = nullptr;
    // How the context menu runs; tests replace it. Returns the chosen entry index or -1.
    int (*m_runMenu)(HWND list, CListPanelItem& menu, POINT clientPoint) = nullptr;

    std::map<int, ListColumnRecord> m_columns;
    CXHeaderCtrl m_header;
    bool m_headerTaken = false;
    HIMAGELIST m_images = nullptr;
    CXListEdit m_edit;
    CtlToolTip m_tooltip;
    int m_lastTooltipColumn = -1;   // the column whose tooltip text is set; -1 none
    BYTE m_sorted = 0;              // the element's "sorted" (rows stay in insertion order)
    int m_pressedRow = -1, m_pressedPosition = -1;
    bool m_comboPressed = false;
    RECT m_buttonRect{};
    std::unique_ptr<CXComboList> m_combo;
    vt::win::Font m_dropFont;
    CFontItem* m_font = nullptr;
    std::wstring m_lastDropText;
    int m_editRow = -1, m_editPosition = -1;
    COLORREF m_textColour = 0xFFFFFF, m_selTextColour = 0, m_backColour = 0, m_selBackColour = 0xFFFFFF,
             m_borderColour = 0xFFFFFF;
    int m_borderWidth = 1, m_borderLow = 0, m_borderHigh = 1;
    std::unique_ptr<CGenericPanel> m_frame;
    std::unique_ptr<CVScrollBar> m_scrollBar;
    int m_rowHeight = 16;
    // The rows' data in row order, kept in step with the list view (lookups by key stay in-process).
    std::vector<ListItemData*> m_rows;

protected:
    int m_paintSelected = -1;
    HWND Owner() const { return ReportTarget(m_owner, m_hWnd); }
    ListItemData* RowData(int row) const;
    int FirstSelected() const;
    void DrawRow(HDC dc, int row);
    void DrawCell(HDC dc, int row, int position, const ListCell& first, ListCell& cell);
    void ReleaseComboButton();
    void OnLeft(POINT pt);
    void OnRight(POINT pt);
    void OnDoubleClick(POINT pt);
    void CommitDropChoice(bool close);
    void UpdateHeaderCheckImage(int columnId);
    void Resync();
    int RowPixels() const;
    static UINT ResumeRedrawMessage();
    void ResumeRedraw();
    bool m_redrawHeld = false;
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(NMHDR* hdr, LRESULT& result) override;
};

} // namespace vt::skin
