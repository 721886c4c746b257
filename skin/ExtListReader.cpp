// The LISTCTRL page element: builds an extended list with its columns, colours, font and scroll bar.
#include <algorithm>
#include "skin/CtlBuilders.h"
#include "skin/ExtListCtrl.h"
#include "skin/ItemText.h"
#include "skin/PageReader.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

namespace vt::skin {

CGUIItem* ReadListControl(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto list = std::make_unique<CXListCtrl>();
    VScrollDescription scroll;
    const int w = ReadVScroll(e, scroll);
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL;
    pugi::xml_node hdr = e.child("LISTHDR");
    const int b = ReadNonNegative(e, "bdrwidth", 1);
    int total = w + b;
    int n = 0;
    std::map<int, int> widths;
    for (pugi::xml_node c = e.child("LISTCOLUMN"); c; c = c.next_sibling("LISTCOLUMN")) {
        ++n;
        const int colId = FindListColumnIdByName(vt::win::Utf8ToWide(c.attribute("name").value()));
        if (colId == -1) continue;
        int width = ReadNonNegative(c, "width", 0);
        if (const void* over = FindLanguageOverride(colId, L"width")) width = std::max(0, _wtoi(static_cast<const wchar_t*>(over)));
        widths[colId] = width;
        total += width;
    }
    RECT r = ReadItemRect(e, id);
    r.right = r.left + total;
    if (!list->CreateList(style, r, parent, id, b, w > 0 ? &scroll : nullptr, w, bool(hdr))) return nullptr;
    ListView_SetExtendedListViewStyle(list->Hwnd(), ListView_GetExtendedListViewStyle(list->Hwnd()) | LVS_EX_DOUBLEBUFFER |
                                                       LVS_EX_FLATSB | LVS_EX_FULLROWSELECT);
    if (hdr) {
        COLORREF back = 0, text = 0xFFFFFF;
        if (ReadColorAttribute(hdr, "backclr", back)) list->m_header.m_background = list->m_header.m_pen1 = list->m_header.m_pen2 = back;
        if (ReadColorAttribute(hdr, "fontclr", text)) list->m_header.m_text = text;
    }
    if (CFontItem* f = ReadItemFont(e, id, items)) {
        list->m_font = f;
        SendMessageW(list->Hwnd(), WM_SETFONT, WPARAM(f->Get()), TRUE);
    }
    COLORREF c;
    if (ReadColorAttribute(e, "fontclr", c)) list->SetTextColor(c);
    if (ReadColorAttribute(e, "fontclrhi", c)) list->SetSelTextColor(c);
    if (ReadColorAttribute(e, "backclr", c)) list->SetBackColor(c);
    if (ReadColorAttribute(e, "backclrhi", c)) list->SetSelBackColor(c);
    if (ReadColorAttribute(e, "bdrclr", c)) list->SetBorderColor(c);
    list->m_sorted = ReadTruthAttr(e, "sorted", false) ? 1 : 0;
    int added = 0;
    for (pugi::xml_node col = e.child("LISTCOLUMN"); col; col = col.next_sibling("LISTCOLUMN")) {
        const int colId = FindListColumnIdByName(vt::win::Utf8ToWide(col.attribute("name").value()));
        const int kind = FindControlKindByName(vt::win::Utf8ToWide(col.attribute("type").value()));
        if (colId == -1 || kind == -1 || widths[colId] == 0) continue;
        int exclusive = 0;
        HBITMAP un = nullptr, on = nullptr, mask = nullptr;
        if (kind == kCellCheckbox) {
            exclusive = ReadTruthAttr(col, "exclusive", false) ? 1 : 0;
            CBitmap* a = ReadBitmapChild(col, "SBMN");
            CBitmap* bb = ReadBitmapChild(col, "SBMD");
            CBitmap* m = ReadBitmapChild(col, "SBMM");
            un = a ? a->Get() : nullptr;
            on = bb ? bb->Get() : nullptr;
            mask = m ? m->Get() : nullptr;
        }
        std::wstring tip;
        ReadTooltip(col, tip);
        const std::wstring heading = vt::win::Utf8ToWide(TrimmedText(col));
        if (list->AddColumn(heading.c_str(), colId, kind, tip.c_str(), widths[colId], exclusive, un, on, mask) >= 0) ++added;
    }
    if (n == 0 || added != n) return nullptr;   // a list with a bad column yields nothing
    list->SetItemFields(id, kKindXListCtrl, list->Hwnd(), parent);
    return list.release();
}

} // namespace vt::skin
