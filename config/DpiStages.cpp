#include "config/DpiStages.h"
#include <algorithm>
#include <span>
#include <string>
#include "config/Items.h"
#include "skin/Messages.h"
#include "skin/Slider.h"
#if __has_include("skin/DpiStageWnd.h")
#include "skin/DpiStageWnd.h"
#define VT_HAVE_DPI_STAGE_WINDOW 1
#endif

namespace vt::config {

using namespace vt::skin;

DpiStagesEdit ReadDpiStages(IMouseConfig* config) {
    DpiStagesEdit e;
    if (!config) return e;
    int32_t mn = 0, mx = 0, st = 0;
    config->GetDpiRange(&mn, &mx, &st, nullptr);
    e.minDpi = mn;
    e.maxDpi = mx;
    e.step = st;
    e.count = int32_t(config->GetDpiStageCount(nullptr));
    e.active = config->GetActiveDpiStage(nullptr);
    const uint32_t slots = config->GetMaxDpiStageCount(nullptr);
    for (uint32_t i = 1; i <= slots; ++i) {
        DpiStageRecord r{};
        r.dpi = int32_t(config->GetDpiStageValue(i, nullptr));
        r.dpiX = int32_t(config->GetDpiStageValueX(i, nullptr));
        r.dpiY = int32_t(config->GetDpiStageValueY(i, nullptr));
        r.active = int32_t(i) == e.active ? 1 : 0;
        r.inUse = int32_t(i - 1) < e.count ? 1 : 0;
        r.separateXY = config->GetDpiStageSeparateXY(i, nullptr);
        e.stages.push_back(r);
    }
    // Only the records there are get their defaults (fewer than five slots stay fewer).
    SetDefaultDpiStages(std::span<DpiStageRecord>(e.stages), uint32_t(std::max(0, e.count)));
    return e;
}

void WriteDpiStages(IMouseConfig* config, const DpiStagesEdit& e) {
    if (!config) return;
    config->SetDpiStageCount(uint32_t(std::max(0, e.count)), nullptr);
    uint32_t h = 1;
    for (const DpiStageRecord& r : e.stages) {
        config->SetDpiStageValue(h, uint32_t(r.dpi), nullptr);
        config->SetDpiStageValueX(h, uint32_t(r.dpiX), nullptr);
        config->SetDpiStageValueY(h, uint32_t(r.dpiY), nullptr);
        config->SetDpiStageSeparateXY(h, r.separateXY, nullptr);
        if (r.active == 1) {
            config->SetActiveDpiStage(h, nullptr);
            config->SetDpi(r.dpi, nullptr);
            config->SetDpiX(r.dpiX, nullptr);
            config->SetDpiY(r.dpiY, nullptr);
            config->SetSeparateXY(r.separateXY, nullptr);
        }
        ++h;
    }
}

// ------------------------------------------------------------------------------------------------

int DpiStagesRules::Windows() const { return int(std::min<size_t>(kStageWindows, m_edit.stages.size())); }

int DpiStagesRules::MaxCount() const { return std::max(Windows(), std::min(m_edit.count, int(m_edit.stages.size()))); }

DpiStageRecord* DpiStagesRules::Active() {
    if (m_edit.active < 1 || size_t(m_edit.active) > m_edit.stages.size()) return nullptr;
    return &m_edit.stages[size_t(m_edit.active - 1)];
}

void DpiStagesRules::Layout() {
    for (int i = 0; i < Windows(); ++i) {
        DpiStageRecord& r = m_edit.stages[size_t(i)];
        r.inUse = i < m_edit.count ? 1 : 0;
        if (r.active && !r.inUse) {
            r.active = 0;
            if (m_edit.count > 0 && size_t(m_edit.count) <= m_edit.stages.size()) {
                m_edit.active = m_edit.count;
                m_edit.stages[size_t(m_edit.count - 1)].active = 1;
            }
        }
    }
}

void DpiStagesRules::Decrease() {
    if (m_edit.count > 1) --m_edit.count;
    Layout();
}

void DpiStagesRules::Increase() {
    if (m_edit.count < MaxCount()) ++m_edit.count;
    Layout();
}

void DpiStagesRules::Select(int index) {
    if (index < 0 || index >= Windows() || !m_edit.stages[size_t(index)].inUse) return;
    for (int i = 0; i < Windows(); ++i) m_edit.stages[size_t(i)].active = i == index ? 1 : 0;
    m_edit.active = index + 1;
}

void DpiStagesRules::SetSeparate(bool on) {
    DpiStageRecord* r = Active();
    if (!r) return;
    if ((r->separateXY != 0) == on) return;
    r->separateXY = on ? 1 : 0;
    if (on) r->dpiX = r->dpiY = r->dpi;
    else r->dpi = r->dpiX;
}

void DpiStagesRules::SliderValue(int axis, int value) {
    DpiStageRecord* r = Active();
    if (!r) return;
    const int64_t raw = int64_t(value) * int64_t(SafeStep(m_edit.step));
    const int32_t dpi = int32_t(std::clamp<int64_t>(raw, m_edit.minDpi, std::max(m_edit.minDpi, m_edit.maxDpi)));
    if (axis == 0) r->dpi = dpi;
    else if (axis == 1) r->dpiX = dpi;
    else if (axis == 2) r->dpiY = dpi;
}

// ------------------------------------------------------------------------------------------------

void SetSliderValue(CSliderHMulti* slider, int value) {
    if (!slider) return;
    if (CPHSlider* t = slider->Thumb(0)) t->SetSliderValue(value);
}

int SliderValue(CSliderHMulti* slider) {
    CPHSlider* t = slider ? slider->Thumb(0) : nullptr;
    return t ? t->Value() : 0;
}

void NotifySliderTo(CSliderHMulti* slider, HWND window) {
    if (slider && slider->m_track) slider->m_track->m_owner = window;
}

CDPIStagesPopup::CDPIStagesPopup(HWND parent, DpiStagesEdit* edit)
    : CPopupBox(L"DPIStagesPopup.xml", kPopupTemplateId, parent), m_edit(edit), m_rules(*edit) {}

CDPIStagesPopup::~CDPIStagesPopup() {
    if (m_black) DeleteObject(m_black);
}

void CDPIStagesPopup::BindItems() {
    for (int i = 0; i < kStageWindows; ++i)
        m_stageWindows[i] = BindItem(m_items, ctl::DPISTAGEWINDOW_01 + i, kKindDPIStageWindow);
    m_numStages = BindItem(m_items, ctl::TEXT_NUMSTAGES, kKindTextItem);
    m_textX = BindItem(m_items, ctl::TEXT_DPI_X, kKindTextItem);
    m_textY = BindItem(m_items, ctl::TEXT_DPI_Y, kKindTextItem);
    m_separate = BindButton(m_items, ctl::BUTTON_ENABLEXY_POPUP);
    m_slider = BindItem<CSliderHMulti>(m_items, ctl::SLIDER_DPI_MULTI_POPUP, kKindSliderHMulti);
    m_sliderX = BindItem<CSliderHMulti>(m_items, ctl::SLIDER_DPI_MULTI_X_POPUP, kKindSliderHMulti);
    m_sliderY = BindItem<CSliderHMulti>(m_items, ctl::SLIDER_DPI_MULTI_Y_POPUP, kKindSliderHMulti);
    m_track = BindItem(m_items, ctl::BITMAP_SLSENSTRK_XY_POPUP, kKindSliderTrack);
    m_trackX = BindItem(m_items, ctl::BITMAP_SLSENSTRK_X_POPUP, kKindSliderTrack);
    m_trackY = BindItem(m_items, ctl::BITMAP_SLSENSTRK_Y_POPUP, kKindSliderTrack);
}

bool CDPIStagesPopup::OnInitDialog() {
    m_black = CreateSolidBrush(RGB(0, 0, 0));
    const bool focus = CPopupBox::OnInitDialog();   // builds the page and binds the items
    AssignWindowIds(m_items);
    for (CSliderHMulti* s : {m_slider, m_sliderX, m_sliderY}) NotifySliderTo(s, m_hWnd);
    ShowCount();
    const int32_t lo = m_rules.SliderOf(m_edit->minDpi), hi = m_rules.SliderOf(m_edit->maxDpi);
    for (CSliderHMulti* s : {m_slider, m_sliderX, m_sliderY})
        if (s) s->SetRange(lo, std::max(lo, hi));
    DpiStageRecord* r = m_rules.Active();
    const bool separate = r && r->separateXY;
    SetChecked(m_separate, separate);
    ApplySeparate(separate);
    SetSlidersFromActive();
    LayoutWindows(false);
    // Centred on the owner.
    RECT rc, owner;
    GetWindowRect(m_hWnd, &rc);
    HWND parent = GetWindow(m_hWnd, GW_OWNER);
    if (!parent || !GetWindowRect(parent, &owner)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    SetWindowPos(m_hWnd, nullptr, owner.left + (owner.right - owner.left - (rc.right - rc.left)) / 2,
                 owner.top + (owner.bottom - owner.top - (rc.bottom - rc.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return focus;
}

void CDPIStagesPopup::ShowCount() { SetItemText(m_numStages, std::to_wstring(m_edit->count)); }

void CDPIStagesPopup::SetSlidersFromActive() {
    DpiStageRecord* r = m_rules.Active();
    if (!r) return;
    SetSliderValue(m_slider, m_rules.SliderOf(r->dpi));
    SetSliderValue(m_sliderX, m_rules.SliderOf(r->dpiX));
    SetSliderValue(m_sliderY, m_rules.SliderOf(r->dpiY));
}

void CDPIStagesPopup::ApplySeparate(bool on) {
    m_rules.SetSeparate(on);
    DpiStageRecord* r = m_rules.Active();
    const bool s = r ? r->separateXY != 0 : on;
    ShowItemIf(m_slider, !s);
    ShowItemIf(m_track, !s);
    for (CGUIItem* item : {static_cast<CGUIItem*>(m_sliderX), static_cast<CGUIItem*>(m_sliderY), m_trackX, m_trackY,
                           m_textX, m_textY})
        ShowItemIf(item, s);
    SetSlidersFromActive();
    LayoutWindows(false);
}

void CDPIStagesPopup::LayoutWindows(bool forceRepaint) {
    m_rules.Layout();
    for (int i = 0; i < m_rules.Windows(); ++i) {
        CGUIItem* item = m_stageWindows[i];
        if (!item) continue;
        const DpiStageRecord& r = m_edit->stages[size_t(i)];
#ifdef VT_HAVE_DPI_STAGE_WINDOW
        auto* w = static_cast<CDPIStageWindow*>(item);
        w->m_ready = 1;
        w->m_selected = r.active;
        w->m_separateXY = r.separateXY;
        w->m_dpi = r.dpi;
        w->m_xDpi = r.dpiX;
        w->m_yDpi = r.dpiY;
        w->m_dpiText = std::to_wstring(r.dpi);
        w->m_xText = std::to_wstring(r.dpiX);
        w->m_yText = std::to_wstring(r.dpiY);
        w->Refresh();
        if (forceRepaint && w->Hwnd()) UpdateWindow(w->Hwnd());
#endif
        ShowItemIf(item, r.inUse != 0);
    }
    // Windows without a record stay hidden.
    for (int i = m_rules.Windows(); i < kStageWindows; ++i) ShowItemIf(m_stageWindows[i], false);
    SetSlidersFromActive();
}

void CDPIStagesPopup::TakeSelection() {
    DpiStageRecord* r = m_rules.Active();
    const bool s = r && r->separateXY;
    SetChecked(m_separate, s);
    ApplySeparate(s);
    SetSlidersFromActive();
}

bool CDPIStagesPopup::OnCommand(WORD id, WORD code, HWND control) {
    CGUIItem* item = control ? FindItemByWindow(m_items, control) : nullptr;
    if (!item || (item->m_kind != kKindBitmapBtn && item->m_kind != kKindTextItem)) {
        if (!control && id == IDCANCEL) {
            EndDialog(2);
            return true;
        }
        return CPopupBox::OnCommand(id, code, control);
    }
    switch (item->m_controlId) {
    case ctl::BUTTON_ENABLEXY_POPUP: ApplySeparate(IsChecked(m_separate)); return true;
    case ctl::BUTTON_DPISTAGES_OK: TakeSelection(); EndDialog(1); return true;
    case ctl::BUTTON_DPISTAGES_CANCEL: EndDialog(2); return true;
    case ctl::BUTTON_DPISTAGES_DEC:
    case ctl::BUTTON_DPISTAGES_INC:
        if (item->m_controlId == ctl::BUTTON_DPISTAGES_DEC) m_rules.Decrease();
        else m_rules.Increase();
        ShowCount();
        LayoutWindows(false);
        TakeSelection();
        RepaintAll(m_hWnd);
        return true;
    default: return CPopupBox::OnCommand(id, code, control);
    }
}

LRESULT CDPIStagesPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DPI_STAGE_SELECTED:
        for (int i = 0; i < m_rules.Windows(); ++i) {
            if (m_stageWindows[i] && m_stageWindows[i]->m_controlId == int(lParam)) {
                m_rules.Select(i);
                break;
            }
        }
        LayoutWindows(true);
        TakeSelection();
        RepaintAll(m_hWnd);
        return 0;
    case WM_SLIDER_VALUE_CHANGING:
    case WM_SLIDER_VALUE_SET: {
        const int thumb = int(lParam);
        const int axis = thumb == ctl::SLIDER_DPI_MULTI_STAGE1_POPUP     ? 0
                         : thumb == ctl::SLIDER_DPI_MULTI_STAGE1_X_POPUP ? 1
                         : thumb == ctl::SLIDER_DPI_MULTI_STAGE1_Y_POPUP ? 2
                                                                         : -1;
        if (axis >= 0) {
            m_rules.SliderValue(axis, int(wParam));
            LayoutWindows(true);
        }
        return 0;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        if (m_black) return reinterpret_cast<LRESULT>(m_black);
        break;
    default: break;
    }
    return CPopupBox::WindowProc(msg, wParam, lParam);
}

bool CDPIStagesPopup::OnPaint() {
    return PaintUnderChildren(m_hWnd, [this] { return CPopupBox::OnPaint(); });
}

} // namespace vt::config
