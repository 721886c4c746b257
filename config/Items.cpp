#include "config/Items.h"
#include "skin/BitmapItem.h"
#include "skin/ItemText.h"
#include "skin/LangTable.h"
#include "skin/Slider.h"
#include "skin/TextItems.h"

namespace vt::config {

HWND ItemWindow(CGUIItem* item) {
    if (!item) return nullptr;
    HWND w = nullptr;
    if (item->m_kind == vt::skin::kKindBitmapItem) w = static_cast<vt::skin::CBitmapItem*>(item)->Hwnd();
    else if (item->m_kind == vt::skin::kKindSliderTrack) w = static_cast<vt::skin::CSliderTrack*>(item)->Hwnd();
    else w = item->m_itemWindow;
    return w == vt::skin::kNoWindow ? nullptr : w;
}

void RepaintAll(HWND window, const RECT* rect) {
    if (window) RedrawWindow(window, rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void SetItemText(CGUIItem* item, const std::wstring& text) {
    HWND w = ItemWindow(item);
    if (!w) return;
    // The text is drawn over the page's background: repaint the parent's area first.
    HWND parent = GetParent(w);
    if (parent) {
        RECT rc;
        GetWindowRect(w, &rc);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        RepaintAll(parent, &rc);
    }
    if (item->m_kind == vt::skin::kKindTextItem) {
        static_cast<vt::skin::CTextItem*>(item)->SetItemText(text.c_str(), vt::skin::kCaseAsWritten);
    } else {
        SetWindowTextW(w, vt::skin::ResolveItemText(text).c_str());
    }
    InvalidateRect(w, nullptr, TRUE);
}

std::wstring GetItemText(CGUIItem* item) {
    if (item && item->m_kind == vt::skin::kKindTextItem) return static_cast<vt::skin::CTextItem*>(item)->GetText();
    HWND w = ItemWindow(item);
    if (!w) return {};
    int n = GetWindowTextLengthW(w);
    std::wstring s(size_t(n) + 1, L'\0');
    GetWindowTextW(w, s.data(), n + 1);
    s.resize(size_t(n));
    return s;
}

void SetChecked(vt::skin::CBitmapBtn* button, bool on) {
    if (!button) return;
    if ((button->Checked() != 0) == on) return;
    button->SetChecked(on ? 1 : 0);
    if (button->Hwnd()) InvalidateRect(button->Hwnd(), nullptr, FALSE);
}

void ShowAll(const CGUIItems& items, bool show) {
    for (CGUIItem* item : items.m_items) ShowItemIf(item, show);
}

void CaptionPastBox(vt::skin::CBitmapBtn* b) {
    if (b && !b->m_caption.empty() && b->m_caption[0] != L' ') b->SetItemText((L"        " + b->m_caption).c_str(), 0);
}

bool IsChecked(vt::skin::CBitmapBtn* button) { return button && button->Checked() != 0; }

void EnableItem(CGUIItem* item, bool on) {
    if (HWND w = ItemWindow(item)) {
        EnableWindow(w, on ? TRUE : FALSE);
        InvalidateRect(w, nullptr, FALSE);
    }
}

bool IsItemEnabled(CGUIItem* item) {
    HWND w = ItemWindow(item);
    return w && IsWindowEnabled(w);
}

void ShowItemIf(CGUIItem* item, bool show) {
    if (!item) return;
    // Slider tracks and multi-thumb sliders (whose window is their track) are shown here; the
    // rest by the toolkit.
    if (item->m_kind == vt::skin::kKindSliderTrack || item->m_kind == vt::skin::kKindSliderHMulti) {
        if (HWND w = ItemWindow(item)) ShowWindow(w, show ? SW_SHOW : SW_HIDE);
        return;
    }
    vt::skin::ShowItem(item, show ? 1 : 0);
}

} // namespace vt::config

#include "skin/MultiSlider.h"
#include "skin/Slider.h"

namespace vt::config {

void AssignWindowIds(const CGUIItems& items) {
    auto set = [](HWND w, int id) {
        if (w && w != vt::skin::kNoWindow && id > 0 && (GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD))
            SetWindowLongPtrW(w, GWLP_ID, id);
    };
    for (CGUIItem* item : items.m_items) {
        if (!item) continue;
        // A multi-thumb slider's window is its track, which has its own id.
        if (item->m_kind != vt::skin::kKindSliderHMulti) set(ItemWindow(item), item->m_controlId);
        if (item->m_kind == vt::skin::kKindSliderHMulti) {
            auto* s = static_cast<vt::skin::CSliderHMulti*>(item);
            for (unsigned i = 0; i < s->Count(); ++i)
                if (vt::skin::CPHSlider* t = s->Thumb(i)) set(t->Hwnd(), t->m_controlId);
        }
    }
}

void SetSliderValue(vt::skin::CSliderHMulti* slider, int value) {
    if (!slider) return;
    if (vt::skin::CPHSlider* t = slider->Thumb(0)) t->SetSliderValue(value);
}

int SliderValue(vt::skin::CSliderHMulti* slider) {
    vt::skin::CPHSlider* t = slider ? slider->Thumb(0) : nullptr;
    return t ? t->Value() : 0;
}

void NotifySliderTo(vt::skin::CSliderHMulti* slider, HWND window) {
    if (slider && slider->m_track) slider->m_track->m_owner = window;
}

} // namespace vt::config

namespace vt::config {

std::wstring LanguageText(const wchar_t* key, const wchar_t* fallback) {
    std::wstring text;
    if (vt::skin::CurrentLanguageTable() && vt::skin::ResolveText(vt::skin::CurrentLanguageTable(), key, text) &&
        !text.empty())
        return text;
    return fallback ? fallback : (key[0] == L'$' ? key + 1 : key);
}

} // namespace vt::config
