#pragma once
// The lighting pages of the mouse, the keyboard and the headset: one page over any of the three
// configuration interfaces. Three zones (main 3, side 10, base 9), each with a colour button, an
// ON/OFF pair and the activity-lighting (APM) switch; the restore command; on the mouse and the
// keyboard the profile selector. Colours picked in the palette reach the model at once (the
// palette's live preview too); a palette closed without a choice puts the colours back.
#include <vector>
#include <windows.h>
#include "config/pages/Page.h"
#include "skin/BitmapBtn.h"
#include "skin/ColourButton.h"

namespace vt::config {

// The controls of one zone.
struct LightingZoneIds {
    int zone;
    int colour, on, off, apm;
};

// What differs between the three pages.
struct LightingPageIds {
    int device;                  // kMouse, kKeyboard, kHeadset
    int profiles;                // the profile selector, 0 without one
    int reset;                   // the restore command
    LightingZoneIds zones[3];    // main, side, base
};

template <class Config, class Profile>
class CDmLightingPage : public CDmPage {
public:
    CDmLightingPage(PageContext& context, Config*& config, const LightingPageIds& ids)
        : CDmPage(context), m_config(config), m_ids(ids) {}

    void Initialise() override;
    void Refresh() override;
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // A zone's ON (on) or OFF button was clicked.
    void ZoneOnOff(int index, bool on);
    void ZoneApm(int index, bool on);
    // The colours the buttons show go into the model: the current profile, or every profile on
    // the headset. preview: a live pick of the open palette (the colours before it are kept).
    void ColoursPicked(bool preview);
    // The palette closed without a choice: the colours before it come back.
    void PaletteCancelled();
    // The restore command; true when something was restored.
    bool Restore();
    void ProfileChosen(int index);

private:
    // The profiles a colour pick writes to: the current one, or every one on the headset.
    std::vector<Profile*> ColourTargets();
    void ShowZones(Profile* p);
    void FillProfileList();
    // A palette of one of the zones' colour buttons is open.
    bool PaletteOpen() const;

    Config*& m_config;
    LightingPageIds m_ids;
    vt::skin::CDropdownColorButton* m_colour[3] = {};
    vt::skin::CBitmapBtn* m_on[3] = {};
    vt::skin::CBitmapBtn* m_off[3] = {};
    vt::skin::CBitmapBtn* m_apm[3] = {};
    vt::skin::CGUIItem* m_profiles = nullptr;
    // The colours of the zones before the open palette's live picks, per target profile.
    std::vector<std::pair<Profile*, std::vector<int32_t>>> m_before;
};

class CDmItems_Mouse_LTG : public CDmLightingPage<IMouseConfig, IMouseProfile> {
public:
    explicit CDmItems_Mouse_LTG(PageContext& context);
};
class CDmItems_Keyboard_LTG : public CDmLightingPage<IKeyboardConfig, IKeyboardProfile> {
public:
    explicit CDmItems_Keyboard_LTG(PageContext& context);
};
class CDmItems_Headset_LTG : public CDmLightingPage<IAudioConfig, IAudioProfile> {
public:
    explicit CDmItems_Headset_LTG(PageContext& context);
};

} // namespace vt::config
