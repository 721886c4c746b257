#include "config/popups/DpiStagesPopup.h"
#include <algorithm>
#include <string>
#include "config/Items.h"
#include "skin/DpiStageWnd.h"
#include "skin/Messages.h"
#include "skin/Slider.h"

namespace vt::config {

using namespace vt::skin;

INT_PTR DpiStagesPopup::Show(HWND parent) {
    // The window works on a copy: only OK hands the edits back.
    DpiStagesEdit copy = m_edit;
    CDPIStagesPopup popup(parent, &copy);
    if (popup.DoModal() != 1) return 2;
    m_edit = copy;
    return 1;
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
    CaptionPastBox(m_separate);
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
