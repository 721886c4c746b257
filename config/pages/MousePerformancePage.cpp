#include "config/pages/MousePerformancePage.h"
#include <algorithm>
#include <string>
#include "config/DpiStages.h"
#include "config/Items.h"
#include "config/popups/DpiStagesPopup.h"
#include "skin/DropDownList.h"
#include "skin/Messages.h"
#include "skin/ItemText.h"
#include "skin/Slider.h"

namespace vt::config {

using namespace vt::skin;

void CDmItems_Mouse_AJP::BindPageItems() {
    m_profiles = BindItem(*this, ctl::BUTTON_DROPDOWN_PROFILESELECT, kKindDropdownList);
    m_headingX = BindItem(*this, ctl::TEXT_HEADING_X, kKindTextItem);
    m_headingY = BindItem(*this, ctl::TEXT_HEADING_Y, kKindTextItem);
    m_textDpiX = BindItem(*this, ctl::TEXT_DPI_X, kKindTextItem);
    m_textDpiY = BindItem(*this, ctl::TEXT_DPI_Y, kKindTextItem);
    m_value1 = BindItem(*this, ctl::TEXT_DPIVALUE1, kKindTextItem);
    m_value2 = BindItem(*this, ctl::TEXT_DPIVALUE2, kKindTextItem);
    m_textSeparate = BindItem(*this, ctl::TEXT_ENABLEXY, kKindTextItem);
    m_frame2 = BindItem(*this, ctl::BITMAP_SENSWINDOW2, kKindBitmapItem);
    m_trackXY = BindItem(*this, ctl::BITMAP_SLSENSTRK_XY, kKindSliderTrack);
    m_trackX = BindItem(*this, ctl::BITMAP_SLSENSTRK_X, kKindSliderTrack);
    m_trackY = BindItem(*this, ctl::BITMAP_SLSENSTRK_Y, kKindSliderTrack);
    m_trackAccel = BindItem(*this, ctl::BITMAP_SLACCLTRK, kKindSliderTrack);
    m_trackAccelOff = BindItem(*this, ctl::BITMAP_SLACCLTRKDISB, kKindSliderTrack);
    m_dpi = BindItem<CSliderHMulti>(*this, ctl::SLIDER_DPI_MULTI, kKindSliderHMulti);
    m_dpiX = BindItem<CSliderHMulti>(*this, ctl::SLIDER_DPI_MULTI_X, kKindSliderHMulti);
    m_dpiY = BindItem<CSliderHMulti>(*this, ctl::SLIDER_DPI_MULTI_Y, kKindSliderHMulti);
    m_accel = BindItem<CSliderHMulti>(*this, ctl::SLIDER_ID_ACCEL, kKindSliderHMulti);
    m_accelOff = BindItem<CSliderHMulti>(*this, ctl::SLIDER_ID_ACCELDISB, kKindSliderHMulti);
    m_separate = BindButton(*this, ctl::BUTTON_ENABLEXY);
    m_accelOn = BindButton(*this, ctl::BUTTON_ENABLEACCELERATION);
    m_dpiOsd = BindButton(*this, ctl::BUTTON_ENABLE_DPI_OSD);
    for (CBitmapBtn* box : {m_separate, m_accelOn, m_dpiOsd}) CaptionPastBox(box);
    m_rates[0] = BindButton(*this, ctl::BUTTON_RATE1);
    m_rates[1] = BindButton(*this, ctl::BUTTON_RATE2);
    m_rates[2] = BindButton(*this, ctl::BUTTON_RATE3);
}

uint32_t CDmItems_Mouse_AJP::Step() {
    int32_t mn = 0, mx = 0, st = 0;
    if (m_config) m_config->GetDpiRange(&mn, &mx, &st, nullptr);
    return SafeStep(st);
}

void CDmItems_Mouse_AJP::Initialise() {
    const HWND owner = m_ctx.Owner();
    BindPageItems();
    if (!m_config) return;
    for (CSliderHMulti* s : {m_dpi, m_dpiX, m_dpiY, m_accel, m_accelOff}) NotifySliderTo(s, owner);
    SetChecked(m_separate, m_config->GetSeparateXY(nullptr) != 0);
    SetChecked(m_dpiOsd, m_config->GetDpiOsdEnabled(nullptr) != 0);
    int32_t mn = 0, mx = 0, st = 0;
    m_config->GetDpiRange(&mn, &mx, &st, nullptr);
    const uint32_t step = SafeStep(st);
    const int lo = int(uint32_t(mn) / step), hi = int(uint32_t(mx) / step);
    for (CSliderHMulti* s : {m_dpi, m_dpiX, m_dpiY})
        if (s) s->SetRange(lo, std::max(lo, hi));
    SetSliderValue(m_dpi, int(uint32_t(m_config->GetDpi(nullptr)) / step));
    SetSliderValue(m_dpiX, int(uint32_t(m_config->GetDpiX(nullptr)) / step));
    SetSliderValue(m_dpiY, int(uint32_t(m_config->GetDpiY(nullptr)) / step));
    const int amin = int(m_config->GetAccelerationMin()), amax = int(m_config->GetAccelerationMax());
    for (CSliderHMulti* s : {m_accel, m_accelOff}) {
        if (!s) continue;
        s->SetRange(amin, std::max(amin, amax));
        SetSliderValue(s, int(m_config->GetAcceleration(nullptr)));
    }
    SetChecked(m_accelOn, m_config->GetAccelerationEnabled(nullptr) != 0);
    const int n = m_config->GetRateCount();
    const int index = m_config->GetRateIndex(nullptr);
    for (int i = 0; i < 3; ++i) {
        CBitmapBtn* b = m_rates[i];
        if (!b) continue;
        b->SetToggleOnClick(false);
        if (i >= n) continue;
        const std::wstring caption = std::to_wstring(m_config->GetRateAt(uint32_t(i))) + b->m_caption;
        b->SetItemText(caption.c_str(), kCaseAsWritten);
        SetChecked(b, index == i);
        if (b->Hwnd()) InvalidateRect(b->Hwnd(), nullptr, FALSE);
    }
    FillProfileList();
}

void CDmItems_Mouse_AJP::Refresh() {
    if (!m_config) return;
    IMouseProfile* p = m_config->GetCurrentProfile();
    SetChecked(m_separate, m_config->GetSeparateXY(nullptr) != 0);
    SeparateClicked();
    const uint32_t step = Step();
    SetSliderValue(m_dpi, int(uint32_t(m_config->GetDpi(p)) / step));
    SetSliderValue(m_dpiX, int(uint32_t(m_config->GetDpiX(p)) / step));
    SetSliderValue(m_dpiY, int(uint32_t(m_config->GetDpiY(p)) / step));
    UpdateReadouts();
    SetChecked(m_accelOn, m_config->GetAccelerationEnabled(nullptr) != 0);
    AccelerationClicked();
    for (CSliderHMulti* s : {m_accel, m_accelOff}) SetSliderValue(s, int(m_config->GetAcceleration(nullptr)));
    const int n = m_config->GetRateCount();
    const int index = m_config->GetRateIndex(nullptr);
    for (int i = 0; i < 3 && i < n; ++i) SetChecked(m_rates[i], index == i);
    SetChecked(m_dpiOsd, m_config->GetDpiOsdEnabled(nullptr) != 0);
}

void CDmItems_Mouse_AJP::UpdateReadouts() {
    if (!m_config) return;
    const uint32_t step = Step();
    const bool separate = m_config->GetSeparateXY(nullptr) == 1;
    SetItemText(m_value1, std::to_wstring(int64_t(SliderValue(separate ? m_dpiX : m_dpi)) * step));
    SetItemText(m_value2, std::to_wstring(int64_t(SliderValue(m_dpiY)) * step));
}

void CDmItems_Mouse_AJP::DpiSliderValue(int axis, int value) {
    if (!m_config) return;
    const int32_t dpi = int32_t(int64_t(value) * Step());
    IMouseProfile* p = m_config->GetCurrentProfile();
    if (axis == 0) m_config->SetDpi(dpi, p);
    else if (axis == 1) m_config->SetDpiX(dpi, p);
    else if (axis == 2) m_config->SetDpiY(dpi, p);
    UpdateReadouts();
}

void CDmItems_Mouse_AJP::LayoutSeparate(bool s) {
    // A page that is not shown keeps every control hidden; Show lays it out.
    if (!Shown()) return;
    ShowItemIf(m_dpi, !s);
    ShowItemIf(m_trackXY, !s);
    for (CGUIItem* item : {static_cast<CGUIItem*>(m_dpiX), static_cast<CGUIItem*>(m_dpiY), m_trackX, m_trackY, m_frame2,
                           m_headingX, m_headingY, m_textDpiX, m_textDpiY, m_value2})
        ShowItemIf(item, s);
}

void CDmItems_Mouse_AJP::SeparateClicked() {
    if (!m_config) return;
    const bool t = IsChecked(m_separate);
    IMouseProfile* p = m_config->GetCurrentProfile();
    const bool changed = t != (m_config->GetSeparateXY(nullptr) != 0);
    if (changed) m_config->SetSeparateXY(t ? 1 : 0, nullptr);
    int32_t d = m_config->GetDpi(p), x = m_config->GetDpiX(p), y = m_config->GetDpiY(p);
    const bool s = m_config->GetSeparateXY(nullptr) == 1;
    LayoutSeparate(s);
    if (changed) {
        if (t) x = y = d;
        else d = x;
        m_config->SetDpi(d, p);
        m_config->SetDpiX(x, p);
        m_config->SetDpiY(y, p);
    }
    const uint32_t step = Step();
    SetSliderValue(m_dpi, int(uint32_t(d) / step));
    SetSliderValue(m_dpiX, int(uint32_t(x) / step));
    SetSliderValue(m_dpiY, int(uint32_t(y) / step));
    UpdateReadouts();
}

void CDmItems_Mouse_AJP::LayoutAcceleration(bool e) {
    if (!Shown()) return;
    ShowItemIf(m_accel, e);
    ShowItemIf(m_trackAccel, e);
    ShowItemIf(m_accelOff, !e);
    ShowItemIf(m_trackAccelOff, !e);
}

void CDmItems_Mouse_AJP::AccelerationClicked() {
    if (!m_config) return;
    const bool t = IsChecked(m_accelOn);
    const bool changed = t != (m_config->GetAccelerationEnabled(nullptr) != 0);
    if (changed) m_config->SetAccelerationEnabled(t ? 1 : 0, nullptr);
    LayoutAcceleration(m_config->GetAccelerationEnabled(nullptr) != 0);
    if (changed) m_config->SetAcceleration(uint32_t(SliderValue(m_accel)), nullptr);
    for (CSliderHMulti* s : {m_accel, m_accelOff}) SetSliderValue(s, int(m_config->GetAcceleration(nullptr)));
    if (m_accelOff) m_accelOff->Enable(false);
    for (CGUIItem* t2 : {m_trackAccel, m_trackAccelOff})
        if (HWND w = ItemWindow(t2)) InvalidateRect(w, nullptr, FALSE);
}

void CDmItems_Mouse_AJP::AccelerationReleased() {
    for (CSliderHMulti* s : {m_accel, m_accelOff}) SetSliderValue(s, SliderValue(s));
}

void CDmItems_Mouse_AJP::RateChosen(int controlId) {
    if (!m_config) return;
    const int index = controlId == ctl::BUTTON_RATE1 ? 0 : controlId == ctl::BUTTON_RATE2 ? 1 : 2;
    m_config->SetRateIndex(index, nullptr);
    for (int i = 0; i < 3; ++i) SetChecked(m_rates[i], i == index);
}

void CDmItems_Mouse_AJP::FillProfileList() {
    auto* list = static_cast<CDropdownListItem*>(m_profiles);
    if (!list || !m_config) return;
    list->ClearEntries();
    IMouseProfile* current = m_config->GetCurrentProfile();
    int selected = 0;
    for (int i = 0; i < m_config->GetProfileCount(); ++i) {
        IMouseProfile* p = m_config->GetProfileAt(uint32_t(i));
        if (!p) continue;
        list->AddEntry(p->GetName());
        if (p == current) selected = int(list->m_entries.size()) - 1;
    }
    if (int(list->m_entries.size()) > 0) list->SelectEntry(selected);
    if (list->Hwnd()) InvalidateRect(list->Hwnd(), nullptr, FALSE);
}

void CDmItems_Mouse_AJP::ProfileChosen(int index) {
    if (!m_config || index < 0) return;
    IMouseProfile* p = m_config->GetProfileAt(uint32_t(index));
    if (!p) return;
    m_config->SetCurrentProfile(p);
    if (auto* list = static_cast<CDropdownListItem*>(m_profiles)) list->SelectEntry(index);
    if (Shown()) Refresh();
}

bool CDmItems_Mouse_AJP::EditDpiStages() {
    if (!m_config) return false;
    // The popup starts from what the page shows: the active stage holds the current settings.
    DpiStagesEdit start = ReadDpiStages(m_config);
    TakeCurrentSettings(m_config, start);
    DpiStagesPopup popup(start);
    if (m_ctx.popups.Run(m_ctx.Owner(), popup) != 1 || SameDpiStages(popup.Edit(), start)) return false;
    WriteDpiStages(m_config, popup.Edit());
    Refresh();
    return true;
}

void CDmItems_Mouse_AJP::Show(bool show) {
    CDmPage::Show(show);
    if (!show || !m_config) return;
    // The switches choose which of the page's sliders and texts are there.
    LayoutSeparate(m_config->GetSeparateXY(nullptr) == 1);
    LayoutAcceleration(m_config->GetAccelerationEnabled(nullptr) != 0);
}

bool CDmItems_Mouse_AJP::OnItemCommand(CGUIItem& item, WORD) {
    if (item.m_kind != kKindBitmapBtn && item.m_kind != kKindTextItem) return true;
    switch (item.m_controlId) {
    case ctl::BUTTON_RATE1:
    case ctl::BUTTON_RATE2:
    case ctl::BUTTON_RATE3: RateChosen(item.m_controlId); break;
    case ctl::BUTTON_ENABLEXY: SeparateClicked(); break;
    case ctl::BUTTON_ENABLEACCELERATION: AccelerationClicked(); break;
    case ctl::BUTTON_SENSITIVITY_STAGES: return EditDpiStages();
    case ctl::BUTTON_ENABLE_DPI_OSD:
        if (m_config) m_config->SetDpiOsdEnabled(IsChecked(static_cast<CBitmapBtn*>(&item)) ? 1 : 0, nullptr);
        break;
    default: break;
    }
    return true;
}

void CDmItems_Mouse_AJP::OnSlider(UINT msg, int value, int thumb) {
    int axis = -1;
    if (thumb >= ctl::SLIDER_DPI_MULTI_STAGE1 && thumb <= ctl::SLIDER_DPI_MULTI_STAGE1 + 4) axis = 0;
    else if (thumb >= ctl::SLIDER_DPI_MULTI_X_STAGE1 && thumb <= ctl::SLIDER_DPI_MULTI_X_STAGE1 + 4) axis = 1;
    else if (thumb >= ctl::SLIDER_DPI_MULTI_Y_STAGE1 && thumb <= ctl::SLIDER_DPI_MULTI_Y_STAGE1 + 4) axis = 2;
    if (msg == WM_SLIDER_VALUE_SET && axis >= 0 &&
        thumb != ctl::SLIDER_DPI_MULTI_STAGE1 && thumb != ctl::SLIDER_DPI_MULTI_X_STAGE1 && thumb != ctl::SLIDER_DPI_MULTI_Y_STAGE1)
        axis = -1;
    if (axis >= 0) {
        DpiSliderValue(axis, value);
        m_ctx.MarkChanged();
    } else if (thumb == ctl::SLIDER_ACCEL_STAGE1) {
        if (m_config) m_config->SetAcceleration(uint32_t(value), nullptr);
        if (msg == WM_SLIDER_VALUE_CHANGING) m_ctx.MarkChanged();
        else AccelerationReleased();   // released, or moved by a click on the track: the value stands
    }
}

bool CDmItems_Mouse_AJP::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_SLIDER_VALUE_CHANGING:
    case WM_SLIDER_VALUE_SET: OnSlider(msg, int(wParam), int(lParam)); return true;
    case WM_DROPDOWN_SELCHANGE: {
        CGUIItem* item = FindItemByWindow(*this, reinterpret_cast<HWND>(lParam));
        if (item && item->m_controlId == ctl::BUTTON_DROPDOWN_PROFILESELECT) {
            ProfileChosen(int(wParam));
            m_ctx.MarkChanged();
            RepaintAll(m_ctx.Owner());
        }
        return true;
    }
    case WM_SLIDER_TRACK_CLICKED:
        if (int(wParam) == ctl::BITMAP_SLACCLTRK && m_config) m_ctx.MarkChanged();
        return true;
    default: return false;
    }
}

} // namespace vt::config
