#pragma once
// The skinned drop-down list (page element COMBO): paints its current choice and an arrow, and on a
// left click drops its entries down as a modal list panel directly below itself. It reports to its
// parent: WM_DROPDOWN_OPENING (0, its window) before opening, WM_DROPDOWN_SELCHANGE (index, its window)
// after a choice.
#include <windows.h>
#include <string>
#include <vector>
#include "profile/Records.h"
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "skin/ListPanel.h"
#include "win/Window.h"

namespace vt::skin {

class CDropdownListItem : public vt::win::Window, public CGUIItem {
public:
    CDropdownListItem() = default;
    ~CDropdownListItem() override = default;

    bool CreateDropdown(const RECT& rect, HWND parent, int controlId);
    int AddEntry(const wchar_t* text, int32_t value = 0);
    int AddEntryRecord(const EntryRecord& record);
    bool InsertEntry(int index, const wchar_t* text);
    void ClearEntries() { m_entries.clear(); }
    std::wstring GetEntryText(int index) const;
    // Index of the first entry whose text equals the find record's text; -1 without the string-search bit.
    int FindEntry(UINT flags, const wchar_t* text) const;
    int GetSelectedIndex() const;
    int GetCurrentEntry(std::wstring& detail) const;
    int SelectEntry(int index, const wchar_t* detail = nullptr);
    void OpenDropdownList();
    void SetToolTipText(const wchar_t* text);
    // Bounds-tested access: an index outside the entries raises std::out_of_range.
    const EntryRecord& EntryAt(int index) const;
    // The text painted now (prefix, resolved current text and detail).
    std::wstring ShownText() const;
    // How the list panel runs; tests replace it to answer without a modal loop.
    int (*m_runList)(CListPanel& panel) = nullptr;

    CtlToolTip m_tooltip;
    BYTE m_disabled = 0;
    BYTE m_open = 0;
    std::wstring m_current, m_detail, m_prefix;
    std::vector<EntryRecord> m_entries;
    RECT m_dropRect{};
    int m_listHeight = 0;
    CFontItem* m_font = nullptr;
    COLORREF m_fontclr = 0, m_fontclrhi = 0, m_backclr = 0, m_backclrhi = 0, m_bdrclr = 0, m_disbbackclr = 0,
             m_disbbdrclr = 0, m_disbfontclr = 0;
    int m_bdrwidth = 1;
    int m_lmargin = 0, m_rmargin = 0;
    VScrollDescription m_scroll;
    int m_scrollWidth = 0;
    BYTE m_sorted = 0;
    CBitmap m_swatch;

protected:
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnLButtonDown(UINT keys, POINT pt) override;
    bool OnLButtonDblClk(UINT, POINT) override { return true; }
    // The frame, for the colour button too.
    void PaintFrame(HDC dc, const RECT& client);
};

// Reads the attributes COMBO and COMBOCOLOR share; false when the element must build nothing.
bool ReadDropdownCommon(pugi::xml_node e, CDropdownListItem& item, bool full);

} // namespace vt::skin
