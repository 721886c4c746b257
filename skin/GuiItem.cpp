#include "skin/GuiItem.h"
#include "skin/BitmapItem.h"
#include "skin/CtlBuilders.h"

namespace vt::skin {

CGUIItems::~CGUIItems() { DeleteAllItems(*this); }

namespace {
void ShowWindowOf(HWND hwnd, int cmd) {
    if (hwnd && hwnd != kNoWindow && IsWindow(hwnd)) ShowWindow(hwnd, cmd);
}
} // namespace

void ShowItem(CGUIItem* item, int show) {
    if (!item) return;
    const int cmd = show == 1 ? SW_SHOW : SW_HIDE;
    if (ShowControlWindows(item, cmd)) return;
    switch (item->m_kind) {
    case kKindBitmapItem:
    case kKindBitmapBtn:
    case kKindAVIButton:
    case kKindProfileBtn:
    case kKindVertSlider:
    case kKindThumb:
    case kKindMarker:
    case kKindTextItem:
    case kKindDropdownList:
    case kKindDropdownColor:
    case kKindBitmapWindow:
    case kKindDPIStageWindow:
    case kKindKeyboardKey:
    // The list-like controls show their scroll bar and frame first; their classes add them here.
    case kKindMacroDisplay:
    case kKindXListCtrl:
    case kKindEditItem:
    case kKindEditItemSingleKey:
    case kKindSliderTrack:
        // A bitmap item keeps a null handle in its item part; its window is the object's own.
        // A bitmap item keeps a null handle in its item part; its window is the object's own.
        if (item->m_kind == kKindBitmapItem) ShowWindowOf(static_cast<CBitmapItem*>(item)->Hwnd(), cmd);
        else ShowWindowOf(item->m_itemWindow, cmd);
        break;
    default:
        // 0, 8, 9, 12, 13, 16 (until attached), 22, 24 and unknown codes have no window to show.
        break;
    }
}

void ShowAllItems(CGUIItems& items, int show) {
    for (CGUIItem* item : items.m_items) ShowItem(item, show);
}

CGUIItem* FindItem(const CGUIItems& items, int id) {
    for (CGUIItem* item : items.m_items)
        if (item->m_controlId == id) return item;
    return nullptr;
}

CGUIItem* FindItemByWindow(const CGUIItems& items, HWND hwnd) {
    for (CGUIItem* item : items.m_items)
        if (item->m_itemWindow == hwnd) return item;
    return nullptr;
}

void DeleteAllItems(CGUIItems& items) {
    while (!items.m_items.empty()) {
        CGUIItem* item = items.m_items.back();
        items.m_items.pop_back();
        delete item;   // the virtual destructor destroys the full object
    }
}

} // namespace vt::skin
