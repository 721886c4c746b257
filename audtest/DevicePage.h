#pragma once
// "Devices": the headsets the audio manager enumerates, by device path; choosing one makes it the
// sheet's current device.
#include "audtest/SheetPage.h"

namespace vt::audtest {

class CDevicePage : public CSheetPage {
public:
    using CSheetPage::CSheetPage;

protected:
    void OnInitDialog() override;
    void OnCommand(UINT id, UINT code) override;

private:
    void WidenDropDown();
};

} // namespace vt::audtest
