#pragma once
// List panels: a vector of entries shown as a skinned single-column list, either as a modal popup
// (CListPanel holding a CListPanelList; drop-down lists drop one below themselves) or inline on the
// page (CListPanelStatic). CListPanelItem is the page item of a LISTPANEL element: the entries, the look
// and, for dynamic="0", the inline list. An entry may carry another list panel item as its sub-list
// (its value is that item's handle); choosing the entry in a popup opens the sub-list beside the row.
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "profile/Records.h"
#include "skin/BitmapItem.h"
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "skin/Panel.h"
#include "skin/ScrollBar.h"
#include "win/Window.h"

namespace vt::skin {

// Every shown text: the language table's text when it resolves it, else the text itself.
std::wstring ResolveListText(const std::wstring& text);

// The look shared by list panel items, popups and inline lists.
struct ListLook {
    CFontItem* font = nullptr;
    COLORREF fontclr = 0xFFFFFF, fontclrhi = 0, fontclrsel = 0, disbfontclr = 0xFFFFFF;
    COLORREF backclr = 0, backclrhi = 0xFFFFFF, backclrsel = 0xFFFFFF, disbbackclr = 0;
    COLORREF bdrclr = 0xFFFFFF;
    int bdrwidth = 1;
    int scrollWidth = 0;
    int lmargin = 0, rmargin = 0;
    VScrollDescription scroll;
    BYTE sorted = 0;
};

class CListPanelStatic;

class CListPanelItem : public CGUIItem {
public:
    CListPanelItem();
    ~CListPanelItem() override;

    // Entries refer to sub-lists by this handle (their value); 0 is never a handle.
    int32_t Handle() const { return m_handle; }
    static CListPanelItem* FromHandle(int32_t handle);

    std::wstring GetEntryText(int index) const;
    int GetSelectedIndex() const;
    int SelectEntry(int index);
    void RefreshList(const std::vector<EntryRecord>& source);
    void SetToolTipText(const wchar_t* text);
    bool CreateInlineList(HWND parent, int controlId, const RECT& rect);

    std::wstring m_current;
    int m_width = 0, m_height = 0;
    std::vector<EntryRecord> m_entries;
    ListLook m_look;
    std::unique_ptr<CListPanelStatic> m_inline;

private:
    int32_t m_handle;
};

// Opens a popup list of the item's entries at (x, y) of the owner's client area; the chosen row id or -1.
int RunListPanelPopup(HWND owner, CListPanelItem& item, int height, int x, int y);

class CListPanelList;

class CListPanel : public CPopupBox {
public:
    CListPanel(HWND parent, UINT templateId, bool sorted, bool attachedBelow, std::vector<EntryRecord>* entries,
               const RECT& screenRect);
    ~CListPanel() override;
    void SetFrameWidth(int width);
    // Runs the popup: the chosen row id, or -1.
    int Run();

    ListLook m_look;
    std::vector<EntryRecord>* m_entries;
    BYTE m_attachedBelow;
    RECT m_screenRect;
    std::unique_ptr<CListPanelList> m_list;

protected:
    bool OnInitDialog() override;
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return false; }
    void OnOK() override;
    void OnCancel() override { EndDialog(-1); }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// The list window of both forms.
class CListPanelList : public vt::win::Window {
public:
    CListPanelList(std::vector<EntryRecord>* entries, const ListLook& look, bool inlineForm)
        : m_entries(entries), m_look(look), m_inline(inlineForm) {}
    ~CListPanelList() override;

    bool CreateListPanelList(HWND parent, const RECT& rect, UINT id);
    void FillListPanel();
    void MarkEmptySubLists();
    void SetListToolTip(const std::wstring& text, bool activate);
    // Row under a point of the client area, -1 for none.
    int RowAt(POINT pt) const;
    int HotRow() const { return m_hot; }
    int RowCount() const;
    int RowId(int row) const;
    EntryRecord* RowEntry(int row) const;
    virtual bool HitTestScrollBar(POINT pt) const;

    std::vector<EntryRecord>* m_entries;
    ListLook m_look;
    bool m_inline;
    std::unique_ptr<CVScrollBar> m_scrollBar;
    BYTE m_closing = 0;
    int m_scrollStep = 15;
    int m_hot = -1;
    int m_chosenSub = -1;
    int m_selected = -1;        // inline form: the row the page selected
    int m_controlId = -1;       // inline form
    std::wstring m_defaultTip;
    CtlToolTip m_tooltip;
    int m_lastTipRow = -1;

protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawRow(const DRAWITEMSTRUCT& dis);
    void SetHot(int row);
    void UpdateTip(int row);
    void OnPopupButtonDown();
};

// The inline form: stays on the page and reports clicks (WM_LISTPANEL_SELCHANGE: row id, control id).
class CListPanelStatic : public CListPanelList {
public:
    CListPanelStatic(std::vector<EntryRecord>* entries, const ListLook& look, int controlId)
        : CListPanelList(entries, look, true) { m_controlId = controlId; }
    void ClearHighlight();
};

} // namespace vt::skin
