#include "config/pages/PageTable.h"
#include "config/pages/HeadsetEqualiserPage.h"
#include "config/pages/HeadsetLevelsPage.h"
#include "config/pages/HeadsetMicPage.h"
#include "config/pages/KeyboardKeysPage.h"
#include "config/pages/LightingPage.h"
#include "config/pages/MacroPage.h"
#include "config/pages/MouseButtonsPage.h"
#include "config/pages/MousePerformancePage.h"
#include "config/pages/ProfilePage.h"
#include "skin/VocabularyIds.h"

namespace vt::config {

namespace ctl = vt::skin::ctl;

namespace {

template <class Page>
std::unique_ptr<CDmPage> Make(PageContext& context) {
    return std::make_unique<Page>(context);
}

// In the order the pages are initialised.
const PageRow kPages[] = {
    // id                     device     page file                  page button                                 factory                           refresh default
    {kPageMouseButtons,       kMouse,    L"Mouse_AssnBtns.xml",     ctl::BUTTON_ASSIGNBUTTONS,                  Make<CDmItems_Mouse_ASB>,         2, true},
    {kPageMousePerformance,   kMouse,    L"Mouse_AdjPerf.xml",      ctl::BUTTON_ADJUSTPERFORMANCE,              Make<CDmItems_Mouse_AJP>,         3, false},
    {kPageMouseProfiles,      kMouse,    L"Mouse_MgProfs.xml",      ctl::BUTTON_MANAGEPROFILES,                 Make<CDmItems_Mouse_MGP>,         1, false},
    {kPageMouseMacros,        kMouse,    L"Mouse_MgMcrs.xml",       ctl::BUTTON_MANAGEMACROS,                   Make<CDmItems_Mouse_MGM>,         0, false},
    {kPageMouseLighting,      kMouse,    L"Mouse_Lighting.xml",     ctl::BUTTON_LIGHTINGMAINTENANCE,            Make<CDmItems_Mouse_LTG>,         4, false},
    {kPageKeyboardKeys,       kKeyboard, L"Keyboard_AssnKeys.xml",  ctl::BUTTON_ASSIGNKEYS,                     Make<CDmItems_Keyboard_ASK>,      2, true},
    {kPageKeyboardMacros,     kKeyboard, L"Keyboard_MgMcrs.xml",    ctl::BUTTON_MANAGEMACROS_KEYBOARD,          Make<CDmItems_Keyboard_MGM>,      0, false},
    {kPageKeyboardProfiles,   kKeyboard, L"Keyboard_MgProfs.xml",   ctl::BUTTON_MANAGEPROFILES_KEYBOARD,        Make<CDmItems_Keyboard_MGP>,      1, false},
    {kPageKeyboardLighting,   kKeyboard, L"Keyboard_Lighting.xml",  ctl::BUTTON_LIGHTINGMAINTENANCE_KEYBOARD,   Make<CDmItems_Keyboard_LTG>,      3, false},
    {kPageHeadsetLevels,      kHeadset,  L"Headset_AudLvl.xml",     ctl::BUTTON_AUDIOLEVEL,                     Make<CDmItems_Headset_ALC>,       1, true},
    {kPageHeadsetMicrophone,  kHeadset,  L"Headset_MicSet.xml",     ctl::BUTTON_MICSETTINGS,                    Make<CDmItems_Headset_MCS>,       3, false},
    {kPageHeadsetEqualiser,   kHeadset,  L"Headset_EqSet.xml",      ctl::BUTTON_EQSETTINGS,                     Make<CDmItems_Headset_EQS>,       2, false},
    {kPageHeadsetLighting,    kHeadset,  L"Headset_Lighting.xml",   ctl::BUTTON_LIGHTINGMAINTENANCE_HEADSET,    Make<CDmItems_Headset_LTG>,       4, false},
};

} // namespace

std::span<const PageRow> PageTable() { return kPages; }

const PageRow* FindPageRow(int pageId) {
    for (const PageRow& row : kPages)
        if (row.id == pageId) return &row;
    return nullptr;
}

int DeviceOfPage(int pageId) {
    const PageRow* row = FindPageRow(pageId);
    return row ? row->device : -1;
}

} // namespace vt::config
