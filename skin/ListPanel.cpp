#include "skin/ListPanel.h"
#include <commctrl.h>
#include <windowsx.h>
#include <algorithm>
#include <cwchar>
#include <map>
#include "skin/CtlBuilders.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

namespace {
std::map<int32_t, CListPanelItem*>& Registry() {
    static std::map<int32_t, CListPanelItem*> r;
    return r;
}
int32_t g_nextHandle = 1;
constexpr UINT_PTR kCloseTimer = 1;
constexpr int kRowHeight = 18;
} // namespace

std::wstring ResolveListText(const std::wstring& text) { return ResolveControlText(text); }

// ---------------------------------------------------------------------------------------------
// List panel item

CListPanelItem::CListPanelItem() : m_handle(g_nextHandle++) { Registry()[m_handle] = this; }

CListPanelItem::~CListPanelItem() {
    Registry().erase(m_handle);
    m_inline.reset();
}

CListPanelItem* CListPanelItem::FromHandle(int32_t handle) {
    auto it = Registry().find(handle);
    return it == Registry().end() ? nullptr : it->second;
}

std::wstring CListPanelItem::GetEntryText(int index) const {
    if (index < 0 || size_t(index) >= m_entries.size()) return {};
    return m_entries[size_t(index)].name;
}

int CListPanelItem::GetSelectedIndex() const {
    if (m_current.empty()) return -1;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].name == m_current) return int(i);
    return -1;
}

int CListPanelItem::SelectEntry(int index) {
    if (index >= int(m_entries.size())) return 0;
    if (index < 0) {
        if (!m_inline) return 0;
        static_cast<CListPanelStatic*>(m_inline.get())->ClearHighlight();
        m_current.clear();
        return 1;
    }
    if (m_inline) {
        m_inline->m_selected = index;
        if (m_inline->Hwnd()) InvalidateRect(*m_inline, nullptr, FALSE);
    }
    m_current = m_entries[size_t(index)].name;
    return 1;
}

void CListPanelItem::RefreshList(const std::vector<EntryRecord>& source) {
    m_entries = source;
    if (m_inline) m_inline->FillListPanel();
}

void CListPanelItem::SetToolTipText(const wchar_t* text) {
    if (!m_inline || !text) return;
    m_inline->m_defaultTip = text;
    m_inline->SetListToolTip(text, true);
}

bool CListPanelItem::CreateInlineList(HWND parent, int controlId, const RECT& rect) {
    m_inline = std::make_unique<CListPanelStatic>(&m_entries, m_look, controlId);
    if (m_look.bdrwidth == 0) m_inline->m_look.bdrwidth = 1;
    if (!m_inline->CreateListPanelList(parent, rect, UINT(controlId) & 0xFFFF)) {
        m_inline.reset();
        return false;
    }
    return true;
}

int RunListPanelPopup(HWND owner, CListPanelItem& item, int height, int x, int y) {
    RECT r;
    GetClientRect(owner, &r);
    MapWindowPoints(owner, nullptr, reinterpret_cast<POINT*>(&r), 2);
    r.left += x;
    r.top += y;
    r.right = r.left + item.m_width;
    r.bottom = r.top + (height == 0 ? item.m_height : height);
    CListPanel panel(owner, kPopupTemplateId, item.m_look.sorted != 0, false, &item.m_entries, r);
    panel.m_look = item.m_look;
    panel.m_look.disbfontclr = item.m_look.fontclrsel;   // a popup paints disabled rows in these
    panel.m_look.backclrsel = item.m_look.disbbackclr;
    if (item.m_look.scrollWidth == 0) panel.m_look.scroll = {};
    panel.SetFrameWidth(item.m_look.bdrwidth);
    return panel.Run();
}

// ---------------------------------------------------------------------------------------------
// Popup

CListPanel::CListPanel(HWND parent, UINT templateId, bool sorted, bool attachedBelow, std::vector<EntryRecord>* entries,
                       const RECT& screenRect)
    : CPopupBox(parent, RECT{0, 0, screenRect.right - screenRect.left, screenRect.bottom - screenRect.top}, templateId),
      m_entries(entries), m_attachedBelow(attachedBelow ? 1 : 0), m_screenRect(screenRect) {
    m_look.sorted = sorted ? 1 : 0;
}

CListPanel::~CListPanel() { m_list.reset(); }

void CListPanel::SetFrameWidth(int width) { m_look.bdrwidth = width == 0 ? 1 : width; }

int CListPanel::Run() {
    INT_PTR r = DoModal();
    return r < 0 ? -1 : int(r);
}

bool CListPanel::OnInitDialog() {
    CPopupBox::OnInitDialog();
    SetWindowPos(m_hWnd, HWND_TOP, m_screenRect.left, m_screenRect.top, 0, 0, SWP_NOSIZE);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int b = m_look.bdrwidth;
    RECT lr{rc.left + b, rc.top + (m_attachedBelow ? 0 : b), rc.right - b, rc.bottom - b};
    m_list = std::make_unique<CListPanelList>(m_entries, m_look, false);
    m_list->CreateListPanelList(m_hWnd, lr, 0x3E8);
    m_list->MarkEmptySubLists();
    if (m_list->Hwnd()) {
        SetFocus(*m_list);
        SetCapture(*m_list);
    }
    return false;
}

void CListPanel::OnOK() {
    // Return picks the list's selected row (the keyboard's way to choose).
    int row = m_list && m_list->Hwnd() ? int(SendMessageW(*m_list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
    EntryRecord* e = row >= 0 ? m_list->RowEntry(row) : nullptr;
    EndDialog(e && e->extra == 0 ? m_list->RowId(row) : -1);
}

bool CListPanel::OnPaint() {
    vt::win::PaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    FillSolid(dc, rc, m_look.backclr);
    const int b = m_look.bdrwidth, lo = b / 2, hi = b - lo;
    RECT f{rc.left + lo, rc.top + lo, rc.right - hi, rc.bottom - hi};
    HPEN pen = CreatePen(PS_SOLID, b, m_look.bdrclr);
    vt::win::SelectGuard sp(dc, pen);
    if (m_attachedBelow) {
        MoveToEx(dc, f.left, f.top, nullptr);
        LineTo(dc, f.left, f.bottom);
        LineTo(dc, f.right, f.bottom);
        LineTo(dc, f.right, f.top - 1);
    } else {
        MoveToEx(dc, f.left, f.top, nullptr);
        LineTo(dc, f.right, f.top);
        LineTo(dc, f.right, f.bottom);
        LineTo(dc, f.left, f.bottom);
        LineTo(dc, f.left, f.top);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    return true;
}

LRESULT CListPanel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LISTPANEL_DONE) {
        if (m_list && m_list->Hwnd()) DestroyWindow(*m_list);
        EndDialog(INT_PTR(int(lParam)));
        return 0;
    }
    return CPopupBox::WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// List window

CListPanelList::~CListPanelList() {
    m_scrollBar.reset();
    if (m_hWnd) DestroyWindow(m_hWnd);
}

bool CListPanelList::CreateListPanelList(HWND parent, const RECT& rect, UINT id) {
    RECT lr = rect;
    const bool wantBar = m_look.scrollWidth > 0 && m_look.scroll.thumb;
    if (wantBar) lr.right -= m_look.scrollWidth;
    else m_look.scrollWidth = 0;
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_REPORT |
                  (wantBar ? 0 : LVS_NOSCROLL);
    if (!Create(0, WC_LISTVIEWW, L"", style, lr.left, lr.top, lr.right - lr.left, lr.bottom - lr.top, parent, id))
        return false;
    if (wantBar) {
        m_scrollBar = std::make_unique<CVScrollBar>(m_look.scrollWidth, m_hWnd);
        m_scrollBar->CreateVScrollBar(m_look.scroll);
        m_scrollBar->m_background = m_look.backclr;
        m_scrollBar->m_border = m_look.bdrclr;
        RECT sr{rect.right - m_look.scrollWidth, rect.top, rect.right, rect.bottom};
        if (!m_scrollBar->CreateBar(WS_CHILD | WS_VISIBLE, sr, parent, 0xFFFF)) {
            // Without its bar the list takes the whole rectangle.
            m_scrollBar.reset();
            m_look.scrollWidth = 0;
            lr = rect;
            MoveWindow(m_hWnd, lr.left, lr.top, lr.right - lr.left, lr.bottom - lr.top, TRUE);
        }
    }
    if (m_look.font && *m_look.font) SendMessageW(m_hWnd, WM_SETFONT, WPARAM(m_look.font->Get()), TRUE);
    SendMessageW(m_hWnd, LVM_SETTEXTCOLOR, 0, m_look.fontclr);
    SendMessageW(m_hWnd, LVM_SETBKCOLOR, 0, m_look.backclr);
    RECT cr;
    GetClientRect(m_hWnd, &cr);
    LVCOLUMNW col{LVCF_FMT | LVCF_WIDTH | LVCF_TEXT};
    col.fmt = LVCFMT_LEFT;
    col.cx = m_inline ? (lr.right - lr.left) - 2 * m_look.bdrwidth : cr.right;
    col.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, 0, LPARAM(&col));
    if (m_look.font && *m_look.font) {
        LOGFONTW lf{};
        if (GetObjectW(m_look.font->Get(), sizeof(lf), &lf)) m_scrollStep = std::abs(int(lf.lfHeight)) + 1;
    }
    FillListPanel();
    return true;
}

void CListPanelList::FillListPanel() {
    if (!m_hWnd || !m_entries) return;
    SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
    std::vector<int> order(m_entries->size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    if (m_look.sorted)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return _wcsicmp((*m_entries)[size_t(a)].name.c_str(), (*m_entries)[size_t(b)].name.c_str()) < 0;
        });
    int row = 0;
    for (int i : order) {
        LVITEMW it{LVIF_TEXT | LVIF_PARAM};
        it.iItem = row++;
        it.pszText = const_cast<wchar_t*>((*m_entries)[size_t(i)].name.c_str());
        it.lParam = LPARAM(i);   // the row id: the entry's index
        SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, LPARAM(&it));
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListPanelList::MarkEmptySubLists() {
    if (!m_entries) return;
    for (auto& e : *m_entries)
        if (CListPanelItem* sub = e.value ? CListPanelItem::FromHandle(e.value) : nullptr)
            e.extra = sub->m_entries.empty() ? 1 : 0;
}

int CListPanelList::RowCount() const { return m_hWnd ? int(SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)) : 0; }

int CListPanelList::RowId(int row) const {
    LVITEMW it{LVIF_PARAM};
    it.iItem = row;
    if (!m_hWnd || !SendMessageW(m_hWnd, LVM_GETITEMW, 0, LPARAM(&it))) return -1;
    return int(it.lParam);
}

EntryRecord* CListPanelList::RowEntry(int row) const {
    const int id = RowId(row);
    if (!m_entries || id < 0 || size_t(id) >= m_entries->size()) return nullptr;
    return &(*m_entries)[size_t(id)];
}

bool CListPanelList::HitTestScrollBar(POINT pt) const {
    if (!m_scrollBar || !m_scrollBar->Hwnd()) return false;
    RECT cr;
    GetClientRect(m_hWnd, &cr);
    return pt.x >= cr.right && pt.x < cr.right + m_look.scrollWidth && pt.y >= cr.top && pt.y < cr.bottom;
}

int CListPanelList::RowAt(POINT pt) const {
    int found = -1;
    const int n = RowCount();
    for (int i = 0; i < n; ++i) {
        RECT r{LVIR_BOUNDS};
        if (SendMessageW(m_hWnd, LVM_GETITEMRECT, WPARAM(i), LPARAM(&r)) && PtInRect(&r, pt)) found = i;
    }
    return found;
}

void CListPanelList::SetHot(int row) {
    if (row == m_hot) return;
    m_hot = row;
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListPanelList::SetListToolTip(const std::wstring& text, bool activate) {
    m_tooltip.SetText(m_hWnd, FlattenBreaks(ResolveListText(text)), activate);
}

void CListPanelList::UpdateTip(int row) {
    if (row == m_lastTipRow) return;
    m_lastTipRow = row;
    if (!m_inline && (!m_entries || m_entries->empty())) return;
    EntryRecord* e = row >= 0 ? RowEntry(row) : nullptr;
    if (e && e->extra == 0 && !e->text.empty()) SetListToolTip(e->text, true);
    else if (m_inline) SetListToolTip(m_defaultTip, true);
    else if (!m_defaultTip.empty()) SetListToolTip(m_defaultTip, true);
    else if (m_tooltip.Hwnd()) SetListToolTip(L"", false);
}

void CListPanelList::DrawRow(const DRAWITEMSTRUCT& dis) {
    const int row = int(dis.itemID);
    EntryRecord* e = RowEntry(row);
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const bool selectedState = (dis.itemState & ODS_SELECTED) != 0;
    const bool disabled = e && e->extra == 1;
    COLORREF text = m_look.fontclr, back = m_look.backclr;
    if (m_inline) {
        if (disabled) text = m_look.disbfontclr;
        else if (row == m_hot) text = m_look.fontclrhi;
        else if (row == m_selected || selectedState) text = m_look.fontclrsel;
    } else if (disabled) {
        text = m_look.disbfontclr;
        back = m_look.backclrsel;   // the popup's disabled-row background
    } else if (row == m_hot || selectedState) {
        text = m_look.fontclrhi;
        back = m_look.backclrhi;
    }
    FillSolid(dc, r, back);
    r.top += 1;
    r.left += m_look.lmargin + (m_inline ? m_look.bdrwidth : 0);
    r.right -= m_look.rmargin;
    if (!e) return;
    std::wstring s = ResolveListText(e->name);
    vt::win::SelectGuard f(dc, m_look.font && *m_look.font ? static_cast<HGDIOBJ>(m_look.font->Get()) : DefaultControlFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    DrawTextW(dc, s.c_str(), int(s.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

bool CListPanelList::OnReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg == WM_DRAWITEM) {
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (msg == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
        result = TRUE;
        return true;
    }
    return false;
}

void CListPanelList::OnPopupButtonDown() {
    EntryRecord* e = m_hot >= 0 ? RowEntry(m_hot) : nullptr;
    CListPanelItem* sub = e && e->value ? CListPanelItem::FromHandle(e->value) : nullptr;
    if (sub && !sub->m_entries.empty()) {
        const int n = int(sub->m_entries.size());
        const int visible = n >= 6 ? 5 : n;
        RECT rr{LVIR_BOUNDS};
        SendMessageW(m_hWnd, LVM_GETITEMRECT, WPARAM(m_hot), LPARAM(&rr));
        const int rowHeight = rr.bottom - rr.top;
        ReleaseCapture();
        m_chosenSub = RunListPanelPopup(m_hWnd, *sub, rowHeight * visible + 2 * sub->m_look.bdrwidth, rr.right, rr.top);
        sub->SelectEntry(m_chosenSub);
        if (m_hWnd) SetCapture(m_hWnd);
    }
    m_closing = 1;
    SetTimer(m_hWnd, kCloseTimer, 250, nullptr);
}

LRESULT CListPanelList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_NCCALCSIZE: {
        // No system scroll bar ever shows: the skinned bar (or none) stands in for it.
        LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        if (style & (WS_VSCROLL | WS_HSCROLL)) SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
        break;
    }
    case WM_MOUSEMOVE: {
        if (m_closing) return 0;
        UpdateTip(RowAt(pt));
        if (HitTestScrollBar(pt)) {
            if (m_scrollBar) SetCapture(*m_scrollBar);
            return 0;
        }
        if (m_inline) {
            RECT cr;
            GetClientRect(m_hWnd, &cr);
            if (!PtInRect(&cr, pt)) {
                if (GetCapture() == m_hWnd) ReleaseCapture();
                SetHot(-1);
                return 0;
            }
            if (GetCapture() != m_hWnd) SetCapture(m_hWnd);
        }
        const int row = RowAt(pt);
        if (row < 0) {
            SetHot(-1);
            return 0;
        }
        EntryRecord* e = RowEntry(row);
        if (!e || e->extra == 1) return 0;
        SetHot(row);
        return 0;
    }
    case WM_LBUTTONDOWN:
        if (HitTestScrollBar(pt)) return 0;
        if (m_inline) {
            EntryRecord* e = m_hot >= 0 ? RowEntry(m_hot) : nullptr;
            if (m_hot < 0 || !e || e->extra == 1) return 0;
            m_closing = 0;
            PostMessageW(GetParent(m_hWnd), WM_LISTPANEL_SELCHANGE, WPARAM(RowId(m_hot)), LPARAM(m_controlId));
            return 0;
        }
        OnPopupButtonDown();
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_LBUTTONUP:
        if (HitTestScrollBar(pt)) return 0;
        if (!m_inline) return 0;
        break;
    case WM_RBUTTONDOWN:
        if (m_inline) return 0;
        m_hot = -1;
        m_chosenSub = -1;
        m_closing = 1;
        SetTimer(m_hWnd, kCloseTimer, 250, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            m_closing = 0;
            KillTimer(m_hWnd, kCloseTimer);
            if (!m_inline) PostMessageW(GetParent(m_hWnd), WM_LISTPANEL_DONE, WPARAM(m_chosenSub), LPARAM(m_hot >= 0 ? RowId(m_hot) : -1));
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        if (!m_inline) {
            EntryRecord* e = m_hot >= 0 ? RowEntry(m_hot) : nullptr;
            HWND gaining = reinterpret_cast<HWND>(wParam);
            // The sub-list popup takes the focus while it runs; the popup's own windows do not end it.
            if ((e && e->value && CListPanelItem::FromHandle(e->value)) || m_closing) break;
            if (gaining && (gaining == GetParent(m_hWnd) || IsChild(GetParent(m_hWnd), gaining))) break;
            m_hot = -1;
            m_chosenSub = -1;
            PostMessageW(GetParent(m_hWnd), WM_LISTPANEL_DONE, 0, -1);
        }
        break;
    case WM_MOUSEWHEEL: {
        if (!m_scrollBar) return 0;
        m_scrollBar->SyncThumbPosition();
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        for (int i = 0; i < std::abs(delta) / WHEEL_DELTA; ++i)
            PostMessageW(m_hWnd, WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return 0;
    }
    case WM_KEYDOWN: case WM_KEYUP:
        if (m_scrollBar) m_scrollBar->SyncThumbPosition();
        if (wParam == VK_RIGHT) return 0;
        if (msg == WM_KEYDOWN && wParam == VK_ESCAPE && !m_inline) {
            m_hot = -1;
            PostMessageW(GetParent(m_hWnd), WM_LISTPANEL_DONE, WPARAM(-1), -1);
            return 0;
        }
        break;
    case WM_VSCROLL: {
        SCROLLINFO si{sizeof(si), SIF_ALL};
        GetScrollInfo(m_hWnd, SB_VERT, &si);
        const int code = LOWORD(wParam);
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
            const int target = HIWORD(wParam);
            if (target != si.nPos) SendMessageW(m_hWnd, LVM_SCROLL, 0, (target - si.nPos) * m_scrollStep);
            if (m_scrollBar) m_scrollBar->SyncThumbPosition();
            return 0;
        }
        if (code == SB_LINEDOWN && si.nPos >= si.nMax - int(si.nPage)) return 0;
        LRESULT r = vt::win::Window::WindowProc(msg, wParam, lParam);
        if (m_scrollBar) m_scrollBar->SyncThumbPosition();
        return r;
    }
    case WM_ERASEBKGND: {
        RECT cr;
        GetClientRect(m_hWnd, &cr);
        FillSolid(reinterpret_cast<HDC>(wParam), cr, m_look.backclr);
        return 1;
    }
    case WM_PAINT: {
        LRESULT r = vt::win::Window::WindowProc(msg, wParam, lParam);
        if (m_inline && m_look.bdrwidth > 0) {
            // The inline list's frame over its rows.
            vt::win::WindowDC dc(m_hWnd);
            RECT cr;
            GetClientRect(m_hWnd, &cr);
            FrameSolid(dc, cr, m_look.bdrclr, m_look.bdrwidth);
        }
        return r;
    }
    default: break;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

void CListPanelStatic::ClearHighlight() {
    const bool was = m_hot != -1 || m_selected != -1;
    m_hot = -1;
    m_selected = -1;
    if (was && m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

// ---------------------------------------------------------------------------------------------
// Page element

CGUIItem* ReadListPanel(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto* item = new CListPanelItem();
    RECT r = ReadItemRect(e, id);
    item->m_width = r.right - r.left;
    item->m_height = r.bottom - r.top;
    ListLook& l = item->m_look;
    ReadColorAttribute(e, "fontclr", l.fontclr);
    ReadColorAttribute(e, "fontclrhi", l.fontclrhi);
    ReadColorAttribute(e, "fontclrsel", l.fontclrsel);
    ReadColorAttribute(e, "disbfontclr", l.disbfontclr);
    ReadColorAttribute(e, "backclr", l.backclr);
    ReadColorAttribute(e, "backclrhi", l.backclrhi);
    ReadColorAttribute(e, "backclrsel", l.backclrsel);
    ReadColorAttribute(e, "disbbackclr", l.disbbackclr);
    ReadColorAttribute(e, "bdrclr", l.bdrclr);
    l.bdrwidth = ReadNonNegative(e, "bdrwidth", 1);
    l.lmargin = ReadNonNegative(e, "lmargin", 0);
    l.rmargin = ReadNonNegative(e, "rmargin", 0);
    l.font = ReadItemFont(e, id, items);
    l.sorted = ReadTruthAttr(e, "sorted", false) ? 1 : 0;
    std::vector<EntryRecord> entries;
    if (pugi::xml_node list = e.child("LISTPANELITEMS"))
        for (pugi::xml_node i = list.child("LISTPANELITEM"); i; i = i.next_sibling("LISTPANELITEM")) {
            EntryRecord rec;
            rec.name = vt::win::Utf8ToWide(TrimmedText(i));
            if (pugi::xml_attribute t = i.attribute("tooltip")) rec.text = vt::win::Utf8ToWide(t.value());
            entries.push_back(rec);
        }
    item->RefreshList(entries);
    pugi::xml_node clist = e.child("CLIST");
    l.scrollWidth = ReadVScroll(clist ? clist : e, l.scroll);
    if (!ReadTruthAttr(e, "dynamic", true)) {
        item->CreateInlineList(parent, id, r);
        std::wstring tip;
        if (ReadTooltip(e, tip)) item->SetToolTipText(tip.c_str());
    }
    item->SetItemFields(id, kKindListPanel, nullptr, parent);
    return item;
}

} // namespace vt::skin
