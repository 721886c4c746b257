#include "config/popups/ApmPopup.h"
#include <string>
#include "config/Items.h"
#include "config/popups/WarningPopup.h"
#include "skin/Messages.h"

namespace vt::config {

using namespace vt::skin;

INT_PTR ApmPopup::Show(HWND parent) {
    ApmStagesRules rules(m_stages);
    CDmApmPopup popup(parent, rules, m_warnings);
    if (popup.DoModal() != 1) return 2;
    m_stages = rules.Stages();
    return 1;
}

CDmApmPopup::CDmApmPopup(HWND parent, ApmStagesRules& rules, IPopupHost& warnings)
    : CDmPagePopup(parent, L"APMConfig.xml"), m_rules(rules), m_warnings(warnings) {}

void CDmApmPopup::BindItems() {
    m_slider = BindItem<CAPMSlider>(m_items, ctl::SLIDER_APM_MULTI, kKindAPMSlider);
    m_colour = BindItem<CDropdownColorButton>(m_items, ctl::BUTTON_APM_CHOSEN_COLOR, kKindDropdownColor);
    m_lower = BindItem(m_items, ctl::TEXT_APM_LOWER_LIMIT_VALUE, kKindTextItem);
    m_upper = BindItem(m_items, ctl::TEXT_APM_UPPER_LIMIT_VALUE, kKindTextItem);
}

bool CDmApmPopup::OnInitDialog() {
    const bool focus = CDmPagePopup::OnInitDialog();
    if (m_slider) {
        m_slider->m_owner = m_hWnd;
        m_slider->SetRange(kApmRangeMin, kApmRangeMax);
    }
    if (m_colour) m_colour->m_notify = m_hWnd;
    // Stages read from a device may not cover the slider's range: they are shown as they are,
    // within it; fewer than two become the defaults.
    if (int(m_rules.Stages().size()) < kMinApmStages) m_rules.Restore();
    PushToSlider();
    PullFromSlider();
    m_rules.Select(0);
    RefreshLabels();
    return focus;
}

void CDmApmPopup::PushToSlider() {
    if (!m_slider) return;
    const std::vector<ApmStage>& stages = m_rules.Stages();
    m_slider->RemoveTickerCapRanges();
    while (m_slider->StageCount() > stages.size() && m_slider->StageCount() > 1) m_slider->RemoveStage(m_slider->StageCount() - 1);
    while (m_slider->StageCount() < stages.size()) m_slider->InsertStage(0, 0, 0);
    for (size_t k = 0; k + 1 < stages.size(); ++k)
        if (CAPMTicker* t = m_slider->Ticker(k)) t->SetSliderValue(stages[k].upper);
    for (size_t i = 0; i < stages.size(); ++i) m_slider->SetStageColour(i, stages[i].colour);
    m_slider->RestrictTickersCrossOver();
    if (m_slider->Hwnd()) RedrawWindow(m_slider->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CDmApmPopup::PullFromSlider() {
    if (!m_slider) return;
    std::vector<ApmStage> stages;
    for (size_t i = 0; i < m_slider->StageCount(); ++i) {
        ApmStage s;
        if (m_slider->GetStage(i, s.colour, s.lower, s.upper)) stages.push_back(s);
    }
    m_rules.Replace(std::move(stages));
}

void CDmApmPopup::RefreshLabels() {
    if (m_rules.Stages().empty()) return;
    SetItemText(m_lower, std::to_wstring(m_rules.LowerLabel()));
    SetItemText(m_upper, std::to_wstring(m_rules.UpperLabel()));
    if (m_colour) m_colour->SetColor(m_rules.Stages()[size_t(m_rules.Selected())].colour);
}

bool CDmApmPopup::OnItem(int controlId) {
    const COLORREF colour = m_colour ? m_colour->GetColor() : 0;
    switch (controlId) {
    case ctl::BUTTON_APM_ADD_COLOR:
        PullFromSlider();
        if (m_rules.Add(colour) == ApmStagesRules::Result::TooMany) Warn(m_warnings, m_hWnd, L"APMMaxNumReachedPopup.xml");
        break;
    case ctl::BUTTON_APM_DEL_COLOR:
        PullFromSlider();
        if (m_rules.Remove() == ApmStagesRules::Result::TooFew) Warn(m_warnings, m_hWnd, L"APMMinNumReachedPopup.xml");
        break;
    case ctl::BUTTON_APM_RESTORE:
        if (Warn(m_warnings, m_hWnd, L"RestorePopup.xml") != 1) return true;
        m_rules.Restore();
        break;
    default: return false;
    }
    PushToSlider();
    PullFromSlider();
    RefreshLabels();
    return true;
}

LRESULT CDmApmPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_APM_STAGE_CLICKED:
        PullFromSlider();
        m_rules.Select(int(wParam));
        RefreshLabels();
        return 0;
    case WM_SLIDER_VALUE_CHANGING:
    case WM_SLIDER_VALUE_SET:
        PullFromSlider();
        RefreshLabels();
        return 0;
    case WM_PALETTE_COLOR_PICKED:
        // The live preview shows on the selected stage; the final choice recolours it. A preview
        // that arrives after its palette closed (they are posted on, the close is sent) is stale.
        if (!m_colour || (wParam == 100 && !m_colour->IsPaletteLive())) return 0;
        if (wParam != 100) {
            PullFromSlider();
            m_rules.Recolour(m_colour->GetColor());
        }
        if (m_slider) {
            m_slider->SetStageColour(size_t(m_rules.Selected()), m_colour->GetColor());
            InvalidateRect(m_slider->Hwnd(), nullptr, FALSE);
        }
        return 0;
    case WM_PALETTE_CLOSED:
        // Closed without a choice: the stage and the button show the stage's colour again.
        if (m_slider && !m_rules.Stages().empty()) {
            m_slider->SetStageColour(size_t(m_rules.Selected()), m_rules.Stages()[size_t(m_rules.Selected())].colour);
            InvalidateRect(m_slider->Hwnd(), nullptr, FALSE);
        }
        RefreshLabels();
        return 0;
    default: break;
    }
    return CDmPagePopup::WindowProc(msg, wParam, lParam);
}

} // namespace vt::config
