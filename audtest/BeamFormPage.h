#pragma once
// "BeamForm": the active profile's microphone beam forming switch.
#include "audtest/SheetPage.h"

namespace vt::audtest {

class CBeamFormPage : public CSheetPage {
public:
    using CSheetPage::CSheetPage;

protected:
    void OnInitDialog() override { Show(); }
    void OnSetActive() override { Show(); }
    void OnCommand(UINT id, UINT code) override;

private:
    void Show();
};

} // namespace vt::audtest
