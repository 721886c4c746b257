#include "config/popups/LightingEffectsPopup.h"
#include <string>
#include "config/Items.h"
#include "config/popups/WarningPopup.h"
#include "skin/Messages.h"

namespace vt::config {

using namespace vt::skin;

INT_PTR LightingEffectsPopup::Show(HWND parent) {
    EffectRecords copy = m_records;
    CDmLightingEffectsPopup popup(parent, copy, m_warnings);
    if (popup.DoModal() != 1) return 2;
    m_records = std::move(copy);
    return 1;
}

CDmLightingEffectsPopup::CDmLightingEffectsPopup(HWND parent, EffectRecords& records, IPopupHost& warnings)
    : CDmPagePopup(parent, L"LightingEffectsPopup.xml"), m_records(records), m_warnings(warnings) {}

void CDmLightingEffectsPopup::BindItems() {
    const auto& keys = EffectKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        m_rows[i].blinks = BindItem<CDropdownListItem>(m_items, keys[i].blinkId, kKindDropdownList);
        m_rows[i].colour = BindItem<CDropdownColorButton>(m_items, keys[i].colourId, kKindDropdownColor);
        m_rows[i].enabled = BindButton(m_items, keys[i].enableId);
    }
}

bool CDmLightingEffectsPopup::OnInitDialog() {
    const bool focus = CDmPagePopup::OnInitDialog();
    const auto& keys = EffectKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (CDropdownListItem* d = m_rows[i].blinks) {
            d->ClearEntries();
            d->AddEntry(L"$None");
            for (int n = 1; n <= kMaxBlinks; ++n) d->AddEntry(std::to_wstring(n).c_str());
        }
        if (m_rows[i].colour) m_rows[i].colour->m_notify = m_hWnd;
        CaptionPastBox(m_rows[i].enabled);
        Show(i, EffectOf(m_records[keys[i].key]));
    }
    return focus;
}

void CDmLightingEffectsPopup::Show(size_t index, const LightingEffect& effect) {
    Row& row = m_rows[index];
    if (row.blinks) row.blinks->SelectEntry(effect.blinks);
    if (row.colour) row.colour->SetColor(effect.colour);
    row.chosen = effect.colour;
    SetChecked(row.enabled, effect.enabled);
    for (HWND w : {row.blinks ? row.blinks->Hwnd() : nullptr, row.colour ? row.colour->Hwnd() : nullptr})
        if (w) InvalidateRect(w, nullptr, FALSE);
}

bool CDmLightingEffectsPopup::OnItem(int controlId) {
    const auto& keys = EffectKeys();
    if (controlId == ctl::BUTTON_LIGHTINGEFFECTS_RESET) {
        if (Warn(m_warnings, m_hWnd, L"RestorePopup.xml") == 1)
            for (size_t i = 0; i < keys.size(); ++i) Show(i, DefaultEffect(keys[i].key));
        return true;
    }
    if (controlId == ctl::BUTTON_ALERTSPOPUP_OK) {
        for (size_t i = 0; i < keys.size(); ++i) {
            const Row& row = m_rows[i];
            LightingEffect e = EffectOf(m_records[keys[i].key]);
            if (row.blinks) e.blinks = row.blinks->GetSelectedIndex() < 0 ? 0 : row.blinks->GetSelectedIndex();
            if (row.colour) e.colour = row.colour->GetColor();
            if (row.enabled) e.enabled = IsChecked(row.enabled);
            m_records[keys[i].key] = EffectRecord(e);
        }
        EndDialog(1);
        return true;
    }
    if (controlId == ctl::BUTTON_ALERTSPOPUP_CANCEL) {
        EndDialog(2);
        return true;
    }
    return false;
}

LRESULT CDmLightingEffectsPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PALETTE_COLOR_PICKED:
        // A final choice (only one palette is open at a time): the colours shown are the chosen ones.
        if (wParam != 100)
            for (Row& row : m_rows)
                if (row.colour) row.chosen = row.colour->GetColor();
        return 0;
    case WM_PALETTE_CLOSED:
        // Closed without a choice: that button shows its chosen colour again, not the last preview.
        for (Row& row : m_rows)
            if (row.colour && row.colour->m_controlId == int(lParam)) row.colour->SetColor(row.chosen);
        return 0;
    default: break;
    }
    return CDmPagePopup::WindowProc(msg, wParam, lParam);
}

} // namespace vt::config
