#pragma once
// The lighting effects popup: per game event the number of blinks, the colour and the switch
// (rules in config/popups/LightingEffects.h). BUTTON_ALERTSPOPUP_OK keeps the edits, Cancel and
// Escape drop them; Restore (after its confirmation) puts the defaults into the controls.
#include "config/popups/LightingEffects.h"
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/BitmapBtn.h"
#include "skin/ColourButton.h"
#include "skin/DropDownList.h"

namespace vt::config {

// What the main window runs: the records to edit (completed with an empty effect for every event
// without one) and the host the confirmation runs through. After OK (1) Records() holds the edits.
class LightingEffectsPopup : public IPopup {
public:
    LightingEffectsPopup(EffectRecords records, IPopupHost& warnings) : m_records(std::move(records)), m_warnings(warnings) {
        CompleteEffects(m_records);
    }
    EffectRecords& Records() { return m_records; }
    INT_PTR Show(HWND parent) override;

private:
    EffectRecords m_records;
    IPopupHost& m_warnings;
};

class CDmLightingEffectsPopup : public CDmPagePopup {
public:
    CDmLightingEffectsPopup(HWND parent, EffectRecords& records, IPopupHost& warnings);
    void BindItems() override;

protected:
    bool OnInitDialog() override;
    bool OnItem(int controlId) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Row {
        vt::skin::CDropdownListItem* blinks = nullptr;
        vt::skin::CDropdownColorButton* colour = nullptr;
        vt::skin::CBitmapBtn* enabled = nullptr;
        COLORREF chosen = 0;   // the colour before the open palette's previews
    };
    void Show(size_t index, const LightingEffect& effect);

    EffectRecords& m_records;
    IPopupHost& m_warnings;
    Row m_rows[13];
};

} // namespace vt::config
