#include "skin/DropDownList.h"
#include <stdexcept>
#include "skin/CtlBuilders.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "skin/Panel.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

bool CDropdownListItem::CreateDropdown(const RECT& r, HWND parent, int controlId) {
    RegisterControlWindowClass();
    return Create(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent, UINT_PTR(controlId) & 0xFFFF);
}

int CDropdownListItem::AddEntry(const wchar_t* text, int32_t value) {
    EntryRecord e;
    e.name = text ? text : L"";
    e.value = value;
    m_entries.push_back(e);
    return int(m_entries.size()) - 1;
}

int CDropdownListItem::AddEntryRecord(const EntryRecord& record) {
    m_entries.push_back(record);
    return int(m_entries.size()) - 1;
}

bool CDropdownListItem::InsertEntry(int index, const wchar_t* text) {
    if (index < 0) return false;
    EntryRecord e;
    e.name = text ? text : L"";
    if (size_t(index) >= m_entries.size()) m_entries.push_back(e);
    else m_entries.insert(m_entries.begin() + index, e);
    return true;
}

std::wstring CDropdownListItem::GetEntryText(int index) const {
    if (index < 0 || size_t(index) >= m_entries.size()) return {};
    return m_entries[size_t(index)].name;
}

int CDropdownListItem::FindEntry(UINT flags, const wchar_t* text) const {
    if (!(flags & 0x2) || !text) return -1;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].name == text) return int(i);
    return -1;
}

int CDropdownListItem::GetSelectedIndex() const {
    if (m_current.empty()) return -1;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].name == m_current) return int(i);
    return -1;
}

int CDropdownListItem::GetCurrentEntry(std::wstring& detail) const {
    const int i = GetSelectedIndex();
    if (i >= 0 && !m_detail.empty()) detail = m_detail;
    return i;
}

int CDropdownListItem::SelectEntry(int index, const wchar_t* detail) {
    if (index < 0 || size_t(index) >= m_entries.size()) return 0;
    m_detail.clear();
    if (detail) m_detail = detail;
    m_current = m_entries[size_t(index)].name;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return 1;
}

const EntryRecord& CDropdownListItem::EntryAt(int index) const {
    if (index < 0 || size_t(index) >= m_entries.size()) throw std::out_of_range("drop-down entry");
    return m_entries[size_t(index)];
}

std::wstring CDropdownListItem::ShownText() const {
    std::wstring s = m_prefix + ResolveListText(m_current);
    if (!m_detail.empty()) s += L": " + m_detail;
    return s;
}

void CDropdownListItem::SetToolTipText(const wchar_t* text) {
    if (!text || !m_hWnd) return;
    m_tooltip.SetText(m_hWnd, FlattenBreaks(ResolveControlText(text)));
}

void CDropdownListItem::PaintFrame(HDC dc, const RECT& rc) {
    const int b = m_bdrwidth;
    HPEN pen = CreatePen(PS_SOLID, b, m_disabled ? m_disbbdrclr : m_bdrclr);
    vt::win::SelectGuard sp(dc, pen);
    RECT f = rc;
    InflateRect(&f, 1 - b, 1 - b);
    MoveToEx(dc, f.left, f.bottom - 1, nullptr);
    LineTo(dc, f.left, f.top - 1);
    MoveToEx(dc, f.left, f.top, nullptr);
    LineTo(dc, f.right - 1, f.top);
    LineTo(dc, f.right - 1, f.bottom - 1);
    LineTo(dc, f.left - 1, f.bottom - 1);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

bool CDropdownListItem::OnPaint() {
    vt::win::PaintDC pdc(m_hWnd);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(pdc, rc.right, rc.bottom);
    SetBkMode(buf, TRANSPARENT);
    FillSolid(buf, rc, m_disabled ? m_disbbackclr : m_backclr);
    PaintFrame(buf, rc);
    const int h = rc.bottom - rc.top;
    RECT tr{rc.left + 4, rc.top, rc.right - h, rc.bottom};
    InflateRect(&tr, -m_bdrwidth, -m_bdrwidth);
    std::wstring s = ShownText();
    SetTextColor(buf, m_disabled ? m_disbfontclr : m_fontclr);
    vt::win::SelectGuard f(buf, m_font && *m_font ? static_cast<HGDIOBJ>(m_font->Get()) : DefaultControlFont());
    DrawTextW(buf, s.c_str(), int(s.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    // The arrow: lines of 7, 5, 3 and 1 pixels in the square at the right end.
    const int sx = rc.right - h + (h - 7) / 2, sy = (h - 6) / 2;
    for (int i = 0; i < 4; ++i) FillSolid(buf, RECT{sx + i, sy + i, sx + i + 7 - 2 * i, sy + i + 1}, m_fontclrhi);
    return true;
}

bool CDropdownListItem::OnLButtonDown(UINT, POINT) {
    if (m_disabled) return true;
    SendMessageW(GetParent(m_hWnd), WM_DROPDOWN_OPENING, 0, LPARAM(m_hWnd));
    OpenDropdownList();
    return true;
}

void CDropdownListItem::OpenDropdownList() {
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    m_dropRect = {rc.left, rc.bottom, rc.right, rc.bottom + m_listHeight};
    CListPanel panel(GetParent(m_hWnd), kPopupTemplateId, m_sorted != 0, true, &m_entries, m_dropRect);
    panel.SetFrameWidth(m_bdrwidth);
    ListLook& l = panel.m_look;
    l.lmargin = m_lmargin;
    l.rmargin = m_rmargin;
    l.font = m_font;
    l.fontclr = m_fontclr;
    l.backclr = m_backclr;
    l.bdrclr = m_bdrclr;
    l.fontclrhi = m_fontclrhi;
    l.backclrhi = m_backclrhi;
    l.disbfontclr = m_disbfontclr;
    l.backclrsel = m_disbbackclr;   // the popup's disabled-row background
    l.scroll = m_scroll;
    l.scrollWidth = m_scrollWidth;
    m_open = 1;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    const int result = m_runList ? m_runList(panel) : panel.Run();
    m_open = 0;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    if (result < 0 || size_t(result) >= m_entries.size()) return;
    const EntryRecord chosen = m_entries[size_t(result)];
    if (CListPanelItem* sub = chosen.value ? CListPanelItem::FromHandle(chosen.value) : nullptr) {
        const int s = sub->GetSelectedIndex();
        if (s == -1) return;
        const std::wstring detail = sub->GetEntryText(s);
        SelectEntry(result, detail.c_str());
    } else {
        SelectEntry(result);
    }
    if (m_hWnd) SendMessageW(GetParent(m_hWnd), WM_DROPDOWN_SELCHANGE, WPARAM(result), LPARAM(m_hWnd));
}

bool ReadDropdownCommon(pugi::xml_node e, CDropdownListItem& d, bool full) {
    ReadColorAttribute(e, "fontclr", d.m_fontclr);
    ReadColorAttribute(e, "fontclrhi", d.m_fontclrhi);
    ReadColorAttribute(e, "backclr", d.m_backclr);
    ReadColorAttribute(e, "backclrhi", d.m_backclrhi);
    ReadColorAttribute(e, "bdrclr", d.m_bdrclr);
    ReadColorAttribute(e, "disbbackclr", d.m_disbbackclr);
    ReadColorAttribute(e, "disbbdrclr", d.m_disbbdrclr);
    ReadColorAttribute(e, "disbfontclr", d.m_disbfontclr);
    d.m_bdrwidth = ReadNonNegative(e, "bdrwidth", 1);
    if (full) {
        d.m_lmargin = ReadNonNegative(e, "lmargin", 0);
        d.m_rmargin = ReadNonNegative(e, "rmargin", 0);
        d.m_sorted = ReadTruthAttr(e, "sorted", false) ? 1 : 0;
    }
    pugi::xml_node clist = e.child("CLIST");
    if (!clist) return false;
    d.m_listHeight = ReadNonNegative(clist, "height", 0);
    d.m_scrollWidth = ReadVScroll(clist, d.m_scroll);
    return true;
}

namespace {
void ReadComboItems(pugi::xml_node e, CDropdownListItem& d) {
    if (pugi::xml_node items = e.child("COMBOITEMS"))
        for (pugi::xml_node i = items.child("COMBOITEM"); i; i = i.next_sibling("COMBOITEM"))
            d.AddEntry(vt::win::Utf8ToWide(TrimmedText(i)).c_str(), 0);
}
} // namespace

CGUIItem* ReadComboItem(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto* d = new CDropdownListItem();
    d->m_font = ReadItemFont(e, id, items);
    if (!ReadDropdownCommon(e, *d, true)) {
        delete d;
        return nullptr;
    }
    RECT r = ReadItemRect(e.child("CBOX"), id);
    if (!d->CreateDropdown(r, parent, id)) {
        delete d;
        return nullptr;
    }
    std::wstring tip;
    if (ReadTooltip(e, tip)) d->SetToolTipText(tip.c_str());
    ReadComboItems(e, *d);
    d->SetItemFields(id, kKindDropdownList, d->Hwnd(), parent);
    return d;
}

} // namespace vt::skin
