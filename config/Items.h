#pragma once
// Small helpers over a page's items: typed lookup by control id and kind, texts, check states.
#include <string>
#include "skin/BitmapBtn.h"
#include "skin/GuiItem.h"
#include "skin/MultiSlider.h"
#include "skin/VocabularyIds.h"

namespace vt::config {

namespace ctl = vt::skin::ctl;
using vt::skin::CGUIItem;
using vt::skin::CGUIItems;

// The item with that control id when it has the expected kind, else null.
template <class T = CGUIItem>
T* BindItem(const CGUIItems& items, int id, int kind) {
    CGUIItem* item = vt::skin::FindItem(items, id);
    return item && item->m_kind == kind ? static_cast<T*>(item) : nullptr;
}

inline vt::skin::CBitmapBtn* BindButton(const CGUIItems& items, int id) {
    return BindItem<vt::skin::CBitmapBtn>(items, id, vt::skin::kKindBitmapBtn);
}

// Sets the text a text item shows (language keys resolved) and repaints what lies under it.
void SetItemText(CGUIItem* item, const std::wstring& text);
std::wstring GetItemText(CGUIItem* item);
// Sets a button's checked (selected) state and repaints it only when the state changes.
void SetChecked(vt::skin::CBitmapBtn* button, bool on);
bool IsChecked(vt::skin::CBitmapBtn* button);
// A check box whose text stands beside its box: the page file gives the text (a language key), and
// the shown text starts past the box.
void CaptionPastBox(vt::skin::CBitmapBtn* button);
void EnableItem(CGUIItem* item, bool on);
bool IsItemEnabled(CGUIItem* item);
// Shows or hides an item's windows (null: nothing).
void ShowItemIf(CGUIItem* item, bool show);
// Shows or hides every item of a list.
void ShowAll(const CGUIItems& items, bool show);
// Repaints a window with every child window on it (the skin's controls draw over their parent).
void RepaintAll(HWND window, const RECT* rect = nullptr);
// Paints a panel (its paint handler) and then has the child windows within the painted area
// paint themselves again over it: the skin's controls draw over their parent's background, so the
// parent's paint must come first.
template <class Paint>
bool PaintUnderChildren(HWND window, Paint paint) {
    RECT update{};
    const bool any = GetUpdateRect(window, &update, FALSE) != FALSE;
    const bool r = paint();
    if (any) {
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c)) continue;
            RECT rc, hit;
            GetWindowRect(c, &rc);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
            if (IntersectRect(&hit, &rc, &update)) RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
    }
    return r;
}
// The window of an item (bitmap items and slider tracks keep it in their own part), or null.
HWND ItemWindow(CGUIItem* item);

} // namespace vt::config

namespace vt::config {
// Gives every control window of the list (and every slider thumb) its control id as window id, so
// that a control can be found with GetDlgItem(parent, control id).
void AssignWindowIds(const CGUIItems& items);
} // namespace vt::config

namespace vt::config {
// Sets a multi-thumb slider's first thumb to a value (clamped to the thumb's range).
void SetSliderValue(vt::skin::CSliderHMulti* slider, int value);
// The first thumb's value (0 without a thumb).
int SliderValue(vt::skin::CSliderHMulti* slider);
// Makes window the receiver of the slider's thumb notifications.
void NotifySliderTo(vt::skin::CSliderHMulti* slider, HWND window);
} // namespace vt::config

namespace vt::config {
// The current language's text for a key ("$Key"), or the fallback (the key without its "$" when
// there is none).
std::wstring LanguageText(const wchar_t* key, const wchar_t* fallback = nullptr);
} // namespace vt::config
