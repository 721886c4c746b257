#pragma once
// "Device Info": firmware and driver versions, vendor and product id of the sheet's current device,
// read each time the page is shown.
#include "audtest/SheetPage.h"

namespace vt::audtest {

class CDeviceInfoPage : public CSheetPage {
public:
    using CSheetPage::CSheetPage;

protected:
    void OnSetActive() override;
};

} // namespace vt::audtest
