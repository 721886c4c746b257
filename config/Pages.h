#pragma once
// The main window's thirteen pages. Each is the item list of its page file plus what the page
// does with its configuration. The mouse performance page is complete; the others show that they
// are not finished yet and do nothing.
#include <windows.h>
#include "config/DpiStages.h"
#include "profile/ConfigInterfaces.h"
#include "skin/BitmapBtn.h"
#include "skin/GuiItem.h"
#include "skin/MultiSlider.h"

namespace vt::config {

class IPopupHost;

class CDmPage : public vt::skin::CGUIItems {
public:
    // Once, after the page file has been read into the list.
    virtual void Initialise(HWND owner) { m_owner = owner; }
protected:
    HWND m_owner = nullptr;
};

// Pages that are not finished yet: their page file says so, and they hold no settings.
class CDmItems_Mouse_ASB : public CDmPage {};
class CDmItems_Mouse_MGP : public CDmPage {};
class CDmItems_Mouse_MGM : public CDmPage {};
class CDmItems_Mouse_LTG : public CDmPage {};
class CDmItems_Keyboard_ASK : public CDmPage {};
class CDmItems_Keyboard_MGP : public CDmPage {};
class CDmItems_Keyboard_MGM : public CDmPage {};
class CDmItems_Keyboard_LTG : public CDmPage {};
class CDmItems_Headset_ALC : public CDmPage {};
class CDmItems_Headset_EQS : public CDmPage {};
class CDmItems_Headset_MCS : public CDmPage {};
class CDmItems_Headset_LTG : public CDmPage {};

// The mouse's adjust-performance page: DPI (combined or X and Y), acceleration, polling rate,
// the DPI on-screen display and the DPI stages popup.
class CDmItems_Mouse_AJP : public CDmPage {
public:
    // currentPage: the main window's record of the page shown, to know whether this one is.
    CDmItems_Mouse_AJP(IMouseConfig*& config, CDmPage** currentPage, IPopupHost& popups)
        : m_config(config), m_currentPage(currentPage), m_popups(popups) {}

    void Initialise(HWND owner) override;
    void Refresh() override;
    void FillProfileList();
    void ProfileChosen(int index);
    // axis 0 combined, 1 X, 2 Y.
    void DpiSliderValue(int axis, int value);
    void AccelerationReleased();
    void SeparateClicked();
    void AccelerationClicked();
    void RateChosen(int controlId);
    // Opens the DPI stages popup and writes its result into the configuration; true on OK.
    bool EditDpiStages();

private:
    void BindPageItems();
    void UpdateReadouts();
    void LayoutSeparate(bool separate);
    void LayoutAcceleration(bool enabled);
    uint32_t Step();

    IMouseConfig*& m_config;
    CDmPage** m_currentPage;
    IPopupHost& m_popups;
    vt::skin::CGUIItem* m_profiles = nullptr;
    vt::skin::CGUIItem* m_headingX = nullptr;
    vt::skin::CGUIItem* m_headingY = nullptr;
    vt::skin::CGUIItem* m_textDpiX = nullptr;
    vt::skin::CGUIItem* m_textDpiY = nullptr;
    vt::skin::CGUIItem* m_value1 = nullptr;
    vt::skin::CGUIItem* m_value2 = nullptr;
    vt::skin::CGUIItem* m_textSeparate = nullptr;
    vt::skin::CGUIItem* m_frame2 = nullptr;
    vt::skin::CGUIItem* m_trackXY = nullptr;
    vt::skin::CGUIItem* m_trackX = nullptr;
    vt::skin::CGUIItem* m_trackY = nullptr;
    vt::skin::CGUIItem* m_trackAccel = nullptr;
    vt::skin::CGUIItem* m_trackAccelOff = nullptr;
    vt::skin::CSliderHMulti* m_dpi = nullptr;
    vt::skin::CSliderHMulti* m_dpiX = nullptr;
    vt::skin::CSliderHMulti* m_dpiY = nullptr;
    vt::skin::CSliderHMulti* m_accel = nullptr;
    vt::skin::CSliderHMulti* m_accelOff = nullptr;
    vt::skin::CBitmapBtn* m_separate = nullptr;
    vt::skin::CBitmapBtn* m_accelOn = nullptr;
    vt::skin::CBitmapBtn* m_dpiOsd = nullptr;
    vt::skin::CBitmapBtn* m_rates[3] = {};
};

} // namespace vt::config
