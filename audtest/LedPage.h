#pragma once
// "LED": the active profile's lighting zones. A zone is chosen in the list; its on/off box, its
// colour (swatch and colour dialog), its effect and its brightness are shown and changed.
#include "audtest/ColorEdit.h"
#include "audtest/SheetPage.h"

namespace vt::audtest {

class CLEDPage : public CSheetPage {
public:
    using CSheetPage::CSheetPage;
    const CColorEdit& Swatch() const { return m_swatch; }

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    void OnCommand(UINT id, UINT code) override;
    bool OnNotify(NMHDR* hdr, LRESULT* result) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

private:
    void FillZones();
    // The selected zone of the active profile's lighting; false (silently) without a selection.
    bool SelectedZone(vt::win::ComPtr<IVtLightingZone>* zone);
    void ZoneSelected();
    void ShowEffect(LONG mode, LONG first);
    void ShowEffectControls(bool show);
    void ChangeColour();
    void SwitchZone();
    void EffectChosen();

    CColorEdit m_swatch;
};

} // namespace vt::audtest
