#pragma once
// The part every skinned control carries beside its window: control id from the skin vocabulary,
// item kind code, window handle and the window it was created in; and the list of one page's items.
#include <windows.h>
#include <vector>

namespace vt::skin {

// Item kind codes: which class an item is. The toolkit dispatches on these with switches.
enum GUIItemKind : int {
    kKindPanelBitmap = 0,        // CPanelBitmap: a page's BACKGROUND or MASK
    kKindBitmapItem = 1,         // CBitmapItem
    kKindBitmapBtn = 2,          // CBitmapBtn
    kKindAVIButton = 3,          // CAVIButton
    kKindProfileBtn = 4,         // CProfileBtn
    kKindVertSlider = 5,         // CVertSlider
    kKindThumb = 6,              // a thumb inside a multi-thumb item; never in a page's list
    kKindMarker = 7,             // CDMarker
    kKindSliderHMulti = 8,       // CSliderHMulti
    kKindAPMSlider = 9,          // CAPMSlider
    kKindMacroDisplay = 10,      // CMacroDisplayItem
    kKindTextItem = 11,          // CTextItem
    kKindFontItem = 12,          // CFontItem
    kKindLangTable = 13,         // CLangTable
    kKindDropdownList = 14,      // CDropdownListItem
    kKindDropdownColor = 15,     // CDropdownColorButton
    kKindListPanel = 16,         // CListPanelItem
    kKindBitmapWindow = 17,      // CBitmapWindow
    kKindXListCtrl = 18,         // CXListCtrl
    kKindEditItem = 19,          // CEditItem
    kKindEditItemSingleKey = 20, // CEditItemSingleKeyInput
    kKindDPIStageWindow = 21,    // CDPIStageWindow
    kKindKeyboardDef = 22,       // CKeyboardDef; never in a page's list
    kKindKeyboardKey = 23,       // CKeyboardKeyItem
    kKindKeyboardLayout = 24,    // CKeyboardLayoutSetting
    kKindSliderTrack = 25,       // CSliderTrack
};

// Marks a window handle field that has not been set yet (the windowless items use null).
inline HWND const kNoWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));

class CGUIItem {
public:
    CGUIItem() = default;
    virtual ~CGUIItem() = default;
    CGUIItem(const CGUIItem&) = delete;
    CGUIItem& operator=(const CGUIItem&) = delete;

    // Sets all four fields at once, as every element builder does when it has built its control.
    void SetItemFields(int controlId, int kind, HWND window, HWND owner) {
        m_controlId = controlId;
        m_kind = kind;
        m_itemWindow = window;
        m_owner = owner;
    }

    int m_controlId = -1;            // control vocabulary id; -1 = none
    int m_kind = -1;                 // GUIItemKind
    HWND m_itemWindow = kNoWindow;   // the control's own window; null for windowless items
    HWND m_owner = nullptr;          // the window the control was created in
};

// The items of one page, in build order. The list owns its items.
class CGUIItems {
public:
    CGUIItems() = default;
    virtual ~CGUIItems();
    CGUIItems(const CGUIItems&) = delete;
    CGUIItems& operator=(const CGUIItems&) = delete;

    // Reads the device configuration into the page's controls (page classes override it).
    virtual void Refresh() {}

    // Reads a page file of the program's "xml\" folder into this list (see PageReader.h).
    bool LoadSkinPage(const wchar_t* fileName, HWND parent);

    void Add(CGUIItem* item) { if (item) m_items.push_back(item); }
    size_t Count() const { return m_items.size(); }
    CGUIItem* At(size_t i) const { return m_items[i]; }

    std::vector<CGUIItem*> m_items;
};

// Shows (show == 1) or hides (anything else) the windows of an item, by its kind.
void ShowItem(CGUIItem* item, int show);
void ShowAllItems(CGUIItems& items, int show);
// First item (build order) with this control id, or null.
CGUIItem* FindItem(const CGUIItems& items, int id);
// First item whose window handle equals hwnd, or null.
CGUIItem* FindItemByWindow(const CGUIItems& items, HWND hwnd);
// Destroys every item, last built first; the list is empty afterwards.
void DeleteAllItems(CGUIItems& items);

} // namespace vt::skin
