#include "skin/ExtListCtrl.h"
#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>
#include <algorithm>
#include <cwchar>
#include "skin/CtlBuilders.h"
#include "skin/ItemText.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "skin/Vocabulary.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

namespace {
constexpr UINT_PTR kPressTimer = 1, kChoiceTimer = 3, kKeyChoiceTimer = 4;

bool SystemOpenFile(HWND owner, std::wstring& path) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{sizeof(ofn)};
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"*.exe\0*.exe\0\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return false;
    path = file;
    return true;
}

int RunMenuPopup(HWND list, CListPanelItem& menu, POINT pt) { return RunListPanelPopup(list, menu, 0, pt.x, pt.y); }

std::wstring FileNameOf(const std::wstring& path) {
    size_t p = path.find_last_of(L"\\/");
    return p == std::wstring::npos ? path : path.substr(p + 1);
}
} // namespace

CXListCtrl::CXListCtrl() { ComboMessages(); }

CXListCtrl::~CXListCtrl() {
    m_combo.reset();
    m_scrollBar.reset();
    if (m_hWnd) DestroyWindow(m_hWnd);
    if (m_images) ImageList_Destroy(m_images);
    m_frame.reset();
}

void CXListCtrl::SetBorderWidth(int n) {
    if (n == 0) n = 1;
    m_borderWidth = n;
    m_borderLow = n / 2;
    m_borderHigh = n - n / 2;
}

bool CXListCtrl::SetBackColor(COLORREF c) {
    m_backColour = c;
    if (m_frame) m_frame->m_background = c;
    if (m_hWnd) ListView_SetBkColor(m_hWnd, c);
    return true;
}

bool CXListCtrl::SetBorderColor(COLORREF c) {
    m_borderColour = c;
    if (m_frame) m_frame->m_border = c;
    if (m_scrollBar) m_scrollBar->m_border = c;
    return true;
}

int CXListCtrl::AddColumn(const wchar_t* heading, int columnId, int cellKind, const wchar_t* tooltip, int width,
                          int exclusive, HBITMAP unchecked, HBITMAP checked, HBITMAP mask) {
    if (columnId == -1 || cellKind == -1 || m_columns.count(columnId) || m_columns.size() >= 10) return -1;
    ListColumnRecord rec;
    rec.cellKind = cellKind;
    rec.unchecked = unchecked;
    rec.checked = checked;
    rec.mask = mask;
    rec.exclusive = exclusive;
    rec.position = int(m_columns.size());
    if (tooltip && *tooltip) rec.tooltip = ResolveControlText(tooltip);
    m_columns[columnId] = rec;
    if (m_hWnd) {
        LVCOLUMNW col{LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM};
        col.fmt = LVCFMT_LEFT;
        col.cx = width;
        col.pszText = const_cast<wchar_t*>(heading ? heading : L"");
        col.iSubItem = rec.position;
        SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, WPARAM(rec.position), LPARAM(&col));
    }
    return rec.position;
}

bool CXListCtrl::CreateList(DWORD style, const RECT& rect, HWND parent, int controlId, int borderWidth,
                            const VScrollDescription* scroll, int scrollWidth, bool header) {
    SetBorderWidth(borderWidth);
    m_frame = std::make_unique<CGenericPanel>(m_borderWidth);
    if (!m_frame->CreatePanel(rect, parent, 0xFFFF)) return false;
    m_frame->m_background = m_backColour;
    m_frame->m_border = m_borderColour;
    RECT pc;
    GetClientRect(*m_frame, &pc);
    InflateRect(&pc, -m_borderWidth, -m_borderWidth);
    RECT lr = pc;
    const bool bar = scroll && scroll->thumb && scrollWidth > 0;
    if (bar) lr.right -= scrollWidth;
    if (!header) style |= LVS_NOCOLUMNHEADER;
    if (!Create(0, WC_LISTVIEWW, L"", style, lr.left, lr.top, lr.right - lr.left, lr.bottom - lr.top, *m_frame,
                UINT_PTR(controlId) & 0xFFFF))
        return false;
    m_controlId = controlId;
    m_images = ImageList_Create(18, 18, ILC_COLOR4, 10, 10);
    ListView_SetImageList(m_hWnd, m_images, LVSIL_SMALL);
    if (!m_headerTaken) m_headerTaken = m_header.Attach(ListView_GetHeader(m_hWnd));
    m_edit.Create(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, m_hWnd, 0xFFFE);
    if (m_font && *m_font) SendMessageW(m_hWnd, WM_SETFONT, WPARAM(m_font->Get()), TRUE);
    ListView_SetTextColor(m_hWnd, m_textColour);
    ListView_SetBkColor(m_hWnd, m_backColour);
    LOGFONTW lf{};
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    int height = 0;
    if (f && GetObjectW(f, sizeof(lf), &lf)) height = std::abs(int(lf.lfHeight));
    m_rowHeight = height < 1 ? 16 : height + 1;
    if (bar) {
        m_scrollBar = std::make_unique<CVScrollBar>(scrollWidth, m_hWnd);
        m_scrollBar->CreateVScrollBar(*scroll);
        m_scrollBar->m_background = m_backColour;
        m_scrollBar->m_border = m_borderColour;
        RECT sr{lr.right, lr.top, lr.right + scrollWidth, lr.bottom};
        if (!m_scrollBar->CreateBar(WS_CHILD | WS_VISIBLE, sr, *m_frame, 0xFFFF)) m_scrollBar.reset();
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

int CXListCtrl::RowCount() const { return m_hWnd ? int(SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)) : 0; }

ListItemData* CXListCtrl::RowData(int row) const {
    if (!m_hWnd || row < 0 || size_t(row) >= m_rows.size()) return nullptr;
    return m_rows[size_t(row)];
}

int CXListCtrl::FirstSelected() const {
    return m_hWnd ? int(SendMessageW(m_hWnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
}

int CXListCtrl::InsertRow(int index) {
    if (index < 0 || !m_hWnd) return -1;
    auto* data = new ListItemData();
    data->cells.resize(std::max<size_t>(1, m_columns.size()));
    ListCell& first = data->cells[0];
    first.text = m_textColour;
    first.back = m_backColour;
    first.selText = m_selTextColour;
    first.selBack = m_selBackColour;
    first.key = index;
    // Rows inserted one after another are painted together: drawing stops at the first insertion and
    // resumes when the message loop next runs (a posted message), so filling many rows paints once.
    if (!m_redrawHeld) {
        SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
        m_redrawHeld = true;
        PostMessageW(m_hWnd, ResumeRedrawMessage(), 0, 0);
    }
    LVITEMW it{LVIF_PARAM | LVIF_TEXT};
    it.iItem = index;
    it.pszText = const_cast<wchar_t*>(L"");
    it.lParam = LPARAM(data);
    const int row = int(SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, LPARAM(&it)));
    if (row < 0) {
        delete data;
        return -1;
    }
    m_rows.insert(m_rows.begin() + std::min<size_t>(size_t(row), m_rows.size()), data);
    SendMessageW(m_hWnd, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
    Resync();
    return row;
}

int CXListCtrl::FindRowByKey(int key) const {
    if (key == -1) return -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (ListItemData* d = m_rows[i]; d && !d->cells.empty() && d->cells[0].key == key) return int(i);
    return -1;
}

int CXListCtrl::GetSelectedKey() const {
    ListItemData* d = RowData(FirstSelected());
    return d && !d->cells.empty() ? d->cells[0].key : -1;
}

UINT CXListCtrl::ResumeRedrawMessage() {
    static const UINT msg = RegisterWindowMessageW(L"VtListResumeRedraw");
    return msg;
}

void CXListCtrl::ResumeRedraw() {
    if (!m_redrawHeld || !m_hWnd) return;
    m_redrawHeld = false;
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    Resync();
}

int CXListCtrl::RowPixels() const {
    RECT r{LVIR_BOUNDS};
    if (RowCount() > 0 && SendMessageW(m_hWnd, LVM_GETITEMRECT, 0, LPARAM(&r)) && r.bottom > r.top) return r.bottom - r.top;
    return m_rowHeight > 0 ? m_rowHeight : 16;
}

void CXListCtrl::Resync() {
    if (m_scrollBar) m_scrollBar->SyncThumbPosition();
}

void CXListCtrl::OnLeft(POINT pt) {
    EndEdit(true);
    LVHITTESTINFO hit{};
    hit.pt = pt;
    const int row = int(SendMessageW(m_hWnd, LVM_HITTEST, 0, LPARAM(&hit)));
    if (row < 0) {
        KillTimer(m_hWnd, kPressTimer);
        return;
    }
    ListItemData* d = RowData(row);
    if (!d || d->cells.empty() || d->cells[0].enabled == 0) return;
    for (int pos = 0; pos < int(m_columns.size()) && size_t(pos) < d->cells.size(); ++pos) {
        RECT r = GetCellRect(row, pos);
        ListCell& cell = d->cells[size_t(pos)];
        if (cell.check != -1) {
            const int centre = (r.left + r.right) / 2;
            r.left = centre - 6;
            r.right = centre + 6;
        }
        if (!PtInRect(&r, pt)) continue;
        const int columnId = GetColumnIdAt(pos);
        if (cell.check != -1) {
            const ListColumnRecord& col = m_columns[columnId];
            BYTE value;
            if (col.exclusive) {
                if (cell.check == 1) break;
                for (int i = 0; i < RowCount(); ++i) {
                    ListItemData* o = RowData(i);
                    if (o && size_t(pos) < o->cells.size() && o->cells[size_t(pos)].check != -1) {
                        o->cells[size_t(pos)].check = 0;
                        RefreshCell(columnId, i);
                    }
                }
                cell.check = 1;
                value = 1;
            } else {
                cell.check = cell.check == 1 ? 0 : 1;
                value = BYTE(cell.check);
            }
            RefreshCell(columnId, row);
            ListNotifyRecord rec{d->cells[0].key, pos, LPARAM(&value)};
            SendMessageW(Owner(), WM_XLIST_CELL_CLICKED, WPARAM(m_hWnd), LPARAM(&rec));
            UpdateHeaderCheckImage(columnId);
        } else if (cell.combo) {
            m_combo.reset();
            if (pt.x >= r.right - (r.bottom - r.top)) {
                PressComboCell(row, pos);
                SetTimer(m_hWnd, kPressTimer, 100, nullptr);
            }
        } else if (m_combo) {
            KillTimer(m_hWnd, kPressTimer);
        }
        break;
    }
    SendMessageW(Owner(), WM_XLIST_ROW_CLICKED, WPARAM(d->cells[0].key), LPARAM(m_hWnd));
    // Selection, as the list view's own press would make it (without its drag detection).
    ListView_SetItemState(m_hWnd, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(m_hWnd, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CXListCtrl::OnDoubleClick(POINT pt) {
    LVHITTESTINFO hit{};
    hit.pt = pt;
    const int row = int(SendMessageW(m_hWnd, LVM_SUBITEMHITTEST, 0, LPARAM(&hit)));
    if (row < 0) return;
    ListItemData* d = RowData(row);
    if (!d || d->cells.empty()) return;
    ListNotifyRecord rec{d->cells[0].key, hit.iSubItem, 0};
    SendMessageW(Owner(), WM_XLIST_SUBITEM_DBLCLK, WPARAM(m_hWnd), LPARAM(&rec));
}

void CXListCtrl::OnRight(POINT pt) {
    EndEdit(true);
    if (!m_contextMenu) return;
    LVHITTESTINFO hit{};
    hit.pt = pt;
    const int row = int(SendMessageW(m_hWnd, LVM_SUBITEMHITTEST, 0, LPARAM(&hit)));
    if (row < 0 || hit.iSubItem < 0) return;
    ListItemData* d = RowData(row);
    if (!d || d->cells.empty()) return;
    const int key = d->cells[0].key;
    const int chosen = (m_runMenu ? m_runMenu : &RunMenuPopup)(m_hWnd, *m_contextMenu, pt);
    const std::wstring name = m_contextMenu->GetEntryText(chosen);
    if (_wcsicmp(name.c_str(), L"$AssignApplication") == 0) {
        std::wstring path;
        if (!(m_openFile ? m_openFile : &SystemOpenFile)(m_hWnd, path)) return;
        SetItemTextByKey(key, kColProfileExe, FileNameOf(path).c_str());
        ListNotifyRecord rec{key, 3, LPARAM(path.c_str())};
        SendMessageW(Owner(), WM_XLIST_APP_CHANGED, WPARAM(m_hWnd), LPARAM(&rec));
    } else if (_wcsicmp(name.c_str(), L"$UnassignApplication") == 0) {
        SetItemTextByKey(key, kColProfileExe, L"");
        ListNotifyRecord rec{key, 3, LPARAM(L"")};
        SendMessageW(Owner(), WM_XLIST_APP_CHANGED, WPARAM(m_hWnd), LPARAM(&rec));
        const int r2 = FindRowByKey(key);
        if (ListItemData* d2 = RowData(r2); d2 && d2->cells.size() > 4) d2->cells[4].check = 0;
        RefreshCell(kColAutoSwitch, r2);
        BYTE zero = 0;
        ListNotifyRecord rec2{key, 4, LPARAM(&zero)};
        SendMessageW(Owner(), WM_XLIST_CELL_CLICKED, WPARAM(m_hWnd), LPARAM(&rec2));
    } else {
        ListNotifyRecord rec{key, 0, LPARAM(name.c_str())};
        SendMessageW(Owner(), WM_XLIST_CELL_CHOICE, WPARAM(m_hWnd), LPARAM(&rec));
    }
}

bool CXListCtrl::OnReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_NOTIFY) return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->hwndFrom != m_hWnd) return false;
    if (hdr->code == NM_CUSTOMDRAW) {
        auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            m_paintSelected = FirstSelected();   // asked once per paint, not once per cell
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        }
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            DrawRow(cd->nmcd.hdc, int(cd->nmcd.dwItemSpec));
            result = CDRF_SKIPDEFAULT;
            return true;
        }
        result = CDRF_DODEFAULT;
        return true;
    }
    if (hdr->code == LVN_DELETEITEM) {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(lParam);
        auto* data = reinterpret_cast<ListItemData*>(nm->lParam);
        auto it = std::find(m_rows.begin(), m_rows.end(), data);
        if (it != m_rows.end()) m_rows.erase(it);
        delete data;
        result = 0;
        return true;
    }
    if (hdr->code == NM_CLICK) {
        EndEdit(true);
        ReleaseComboButton();
    }
    return false;
}

bool CXListCtrl::OnNotify(NMHDR* hdr, LRESULT& result) {
    // Columns cannot be resized by dragging their dividers.
    if (hdr->code == HDN_BEGINTRACKW || hdr->code == HDN_BEGINTRACKA || hdr->code == HDN_DIVIDERDBLCLICKW ||
        hdr->code == HDN_DIVIDERDBLCLICKA) {
        result = TRUE;
        return true;
    }
    return false;
}

LRESULT CXListCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const ComboListMessages& cm = ComboMessages();
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (msg == ResumeRedrawMessage()) {
        ResumeRedraw();
        return 0;
    }
    // Anything painted or clicked sees the rows as they are: drawing resumes first.
    if (m_redrawHeld && (msg == WM_PAINT || msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_VSCROLL ||
                         msg == WM_MOUSEWHEEL || msg == WM_LBUTTONDBLCLK))
        ResumeRedraw();
    if (msg == cm.vkReturn || msg == cm.lButtonUp) {
        KillTimer(m_hWnd, kPressTimer);
        SetTimer(m_hWnd, kChoiceTimer, 50, nullptr);
        return 0;
    }
    if (msg == cm.keyDown) {
        SetTimer(m_hWnd, kKeyChoiceTimer, 50, nullptr);
        return 0;
    }
    if (msg == cm.vkEscape) {
        KillTimer(m_hWnd, kPressTimer);
        return 0;
    }
    switch (msg) {
    case WM_LBUTTONDOWN: OnLeft(pt); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(pt); return 0;
    case WM_RBUTTONDOWN: OnRight(pt); return 0;
    case WM_TIMER:
        if (wParam == kPressTimer) {
            POINT c;
            GetCursorPos(&c);
            ScreenToClient(m_hWnd, &c);
            if (m_comboPressed && !PtInRect(&m_buttonRect, c)) ReleaseComboButton();
            else if (m_combo) m_combo->ShowComboList();
            else KillTimer(m_hWnd, kPressTimer);
            return 0;
        }
        if (wParam == kChoiceTimer) {
            KillTimer(m_hWnd, kChoiceTimer);
            CommitDropChoice(true);
            return 0;
        }
        if (wParam == kKeyChoiceTimer) {
            KillTimer(m_hWnd, kKeyChoiceTimer);
            CommitDropChoice(false);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && m_editRow < 0) return 0;
        break;
    case WM_CHAR:
        if (wParam == L' ' && m_editRow < 0) return 0;
        break;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_edit.Hwnd()) return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 0;
    case WM_NCCALCSIZE: {
        LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        if (style & (WS_VSCROLL | WS_HSCROLL)) SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
        return 0;
    }
    case WM_MOUSEWHEEL: {
        Resync();
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        for (int i = 0; i < std::abs(delta) / WHEEL_DELTA; ++i)
            PostMessageW(m_hWnd, WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return 0;
    }
    case WM_VSCROLL: {
        // Positions are rows: the top row is the list's scroll position.
        const int top = int(SendMessageW(m_hWnd, LVM_GETTOPINDEX, 0, 0));
        const int count = RowCount();
        const int page = int(SendMessageW(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0));
        const int code = LOWORD(wParam);
        if (code == SB_LINEDOWN && top >= count - page) return 0;
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
            const int target = HIWORD(wParam);
            if (target != top) SendMessageW(m_hWnd, LVM_SCROLL, 0, (target - top) * RowPixels());
            Resync();
            return 0;
        }
        LRESULT r = vt::win::Window::WindowProc(msg, wParam, lParam);
        Resync();
        return r;
    }
    case WM_MOUSEMOVE: {
        int column = -1;
        if (RowCount() > 0) {
            RECT cr;
            GetClientRect(m_hWnd, &cr);
            for (int pos = 0; pos < int(m_columns.size()); ++pos) {
                RECT r = GetCellRect(0, pos);
                if (pt.x >= r.left && pt.x < r.right && pt.y >= cr.top && pt.y < cr.bottom) column = pos;
            }
        }
        if (column != m_lastTooltipColumn) {
            m_lastTooltipColumn = column;
            auto c = m_columns.find(GetColumnIdAt(column));
            std::wstring tip = c != m_columns.end() ? c->second.tooltip : L"";
            for (size_t p = tip.find(L"\\n"); p != std::wstring::npos; p = tip.find(L"\\n", p)) tip.replace(p, 2, L"\r\n");
            m_tooltip.SetText(m_hWnd, tip);
        }
        break;
    }
    case WM_DESTROY:
        m_combo.reset();
        SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
        break;
    default: break;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

} // namespace vt::skin
