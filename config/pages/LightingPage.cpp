#include "config/pages/LightingPage.h"
#include <string>
#include <type_traits>
#include "config/Items.h"
#include "config/popups/WarningPopup.h"
#include "profile/AudioConfig.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"
#include "skin/DropDownList.h"
#include "skin/Messages.h"

namespace vt::config {

using namespace vt::skin;

namespace {

constexpr int kZoneMain = 3, kZoneSide = 10, kZoneBase = 9;

const LightingPageIds kMouseIds = {kMouse, ctl::BUTTON_DROPDOWN_PROFILESELECT, ctl::BUTTON_RESET,
    {{kZoneMain, ctl::BUTTON_DMMOUSE_LTMAIN_COLOR, ctl::BUTTON_DMMOUSE_LTMAIN_ON, ctl::BUTTON_DMMOUSE_LTMAIN_OFF, ctl::BUTTON_DMMOUSE_LTMAIN_APM},
     {kZoneSide, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR, ctl::BUTTON_DMMOUSE_LTSIDE_ON, ctl::BUTTON_DMMOUSE_LTSIDE_OFF, ctl::BUTTON_DMMOUSE_LTSIDE_APM},
     {kZoneBase, ctl::BUTTON_DMMOUSE_LTBASE_COLOR, ctl::BUTTON_DMMOUSE_LTBASE_ON, ctl::BUTTON_DMMOUSE_LTBASE_OFF, ctl::BUTTON_DMMOUSE_LTBASE_APM}}};
const LightingPageIds kKeyboardIds = {kKeyboard, ctl::BUTTON_KEYBOARD_DROPDOWN_PROFILESELECT, ctl::BUTTON_RESET_KEYBOARD,
    {{kZoneMain, ctl::BUTTON_DMKBD_LTMAIN_COLOR, ctl::BUTTON_DMKBD_LTMAIN_ON, ctl::BUTTON_DMKBD_LTMAIN_OFF, ctl::BUTTON_DMKBD_LTMAIN_APM},
     {kZoneSide, ctl::BUTTON_DMKBD_LTSIDE_COLOR, ctl::BUTTON_DMKBD_LTSIDE_ON, ctl::BUTTON_DMKBD_LTSIDE_OFF, ctl::BUTTON_DMKBD_LTSIDE_APM},
     {kZoneBase, ctl::BUTTON_DMKBD_LTBASE_COLOR, ctl::BUTTON_DMKBD_LTBASE_ON, ctl::BUTTON_DMKBD_LTBASE_OFF, ctl::BUTTON_DMKBD_LTBASE_APM}}};
const LightingPageIds kHeadsetIds = {kHeadset, 0, ctl::BUTTON_RESET_HEADSET,
    {{kZoneMain, ctl::BUTTON_DMHEADSET_LTMAIN_COLOR, ctl::BUTTON_DMHEADSET_LTMAIN_ON, ctl::BUTTON_DMHEADSET_LTMAIN_OFF, ctl::BUTTON_DMHEADSET_LTMAIN_APM},
     {kZoneSide, ctl::BUTTON_DMHEADSET_LTSIDE_COLOR, ctl::BUTTON_DMHEADSET_LTSIDE_ON, ctl::BUTTON_DMHEADSET_LTSIDE_OFF, ctl::BUTTON_DMHEADSET_LTSIDE_APM},
     {kZoneBase, ctl::BUTTON_DMHEADSET_LTBASE_COLOR, ctl::BUTTON_DMHEADSET_LTBASE_ON, ctl::BUTTON_DMHEADSET_LTBASE_OFF, ctl::BUTTON_DMHEADSET_LTBASE_APM}}};

} // namespace

CDmItems_Mouse_LTG::CDmItems_Mouse_LTG(PageContext& context) : CDmLightingPage(context, context.mouse, kMouseIds) {}
CDmItems_Keyboard_LTG::CDmItems_Keyboard_LTG(PageContext& context) : CDmLightingPage(context, context.keyboard, kKeyboardIds) {}
CDmItems_Headset_LTG::CDmItems_Headset_LTG(PageContext& context) : CDmLightingPage(context, context.headset, kHeadsetIds) {}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::Initialise() {
    for (int i = 0; i < 3; ++i) {
        const LightingZoneIds& z = m_ids.zones[i];
        m_colour[i] = BindItem<CDropdownColorButton>(*this, z.colour, kKindDropdownColor);
        m_on[i] = BindButton(*this, z.on);
        m_off[i] = BindButton(*this, z.off);
        m_apm[i] = BindButton(*this, z.apm);
        CaptionPastBox(m_apm[i]);
        // ON and OFF are a radio pair: a click selects, it never clears.
        for (CBitmapBtn* b : {m_on[i], m_off[i]})
            if (b) b->SetToggleOnClick(false);
        if (m_colour[i]) m_colour[i]->m_notify = m_ctx.Owner();
    }
    if (m_ids.profiles) m_profiles = BindItem(*this, m_ids.profiles, kKindDropdownList);
    if (!m_config) return;
    ShowZones(nullptr);
    for (int i = 0; i < 3; ++i)
        if (m_colour[i]) m_colour[i]->SetColor(COLORREF(m_config->GetLightColor(m_ids.zones[i].zone, nullptr)));
    FillProfileList();
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::ShowZones(Profile* p) {
    for (int i = 0; i < 3; ++i) {
        const int zone = m_ids.zones[i].zone;
        const bool on = m_config->GetLightOn(zone, p) != 0;
        SetChecked(m_apm[i], m_config->GetLightFlag(zone, p) != 0);
        SetChecked(m_on[i], on);
        SetChecked(m_off[i], !on);
    }
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::Refresh() {
    m_before.clear();
    if (!m_config) return;
    Profile* p = m_config->GetCurrentProfile();
    if (!p) return;
    ShowZones(p);
    for (int i = 0; i < 3; ++i)
        if (m_colour[i]) m_colour[i]->SetColor(COLORREF(m_config->GetLightColor(m_ids.zones[i].zone, p)));
    FillProfileList();
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::ZoneOnOff(int index, bool on) {
    if (index < 0 || index > 2) return;
    SetChecked(m_on[index], on);
    SetChecked(m_off[index], !on);
    if (m_config) m_config->SetLightOn(m_ids.zones[index].zone, on ? 1 : 0, m_config->GetCurrentProfile());
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::ZoneApm(int index, bool on) {
    if (index < 0 || index > 2 || !m_config) return;
    m_config->SetLightFlag(m_ids.zones[index].zone, on ? 1 : 0, m_config->GetCurrentProfile());
}

template <class Config, class Profile>
std::vector<Profile*> CDmLightingPage<Config, Profile>::ColourTargets() {
    std::vector<Profile*> out;
    if (!m_config) return out;
    if constexpr (std::is_same_v<Config, IAudioConfig>) {
        const int32_t n = m_config->GetProfileCount();
        for (int32_t i = 0; i < n; ++i)
            if (Profile* p = m_config->GetProfileAt(uint32_t(i))) out.push_back(p);
    } else if (Profile* p = m_config->GetCurrentProfile()) {
        out.push_back(p);
    }
    return out;
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::ColoursPicked(bool preview) {
    const std::vector<Profile*> targets = ColourTargets();
    if (preview && m_before.empty())
        for (Profile* p : targets) {
            std::vector<int32_t> colours;
            for (const LightingZoneIds& z : m_ids.zones) colours.push_back(m_config->GetLightColor(z.zone, p));
            m_before.emplace_back(p, std::move(colours));
        }
    for (Profile* p : targets)
        for (int i = 0; i < 3; ++i)
            if (m_colour[i]) m_config->SetLightColor(m_ids.zones[i].zone, int32_t(m_colour[i]->GetColor()), p);
    if (!preview) m_before.clear();
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::PaletteCancelled() {
    if (!m_config) return;
    for (const auto& [p, colours] : m_before)
        for (int i = 0; i < 3; ++i) m_config->SetLightColor(m_ids.zones[i].zone, colours[size_t(i)], p);
    m_before.clear();
    // The button shows the colour the palette last previewed, whether or not that preview has
    // reached the model yet: the faces follow the model again.
    Profile* shown = m_config->GetCurrentProfile();
    if (!shown) return;
    for (int i = 0; i < 3; ++i)
        if (m_colour[i]) m_colour[i]->SetColor(COLORREF(m_config->GetLightColor(m_ids.zones[i].zone, shown)));
}

template <class Config, class Profile>
bool CDmLightingPage<Config, Profile>::PaletteOpen() const {
    for (const CDropdownColorButton* b : m_colour)
        if (b && b->IsPaletteLive()) return true;
    return false;
}

template <class Config, class Profile>
bool CDmLightingPage<Config, Profile>::Restore() {
    if (!m_config) return false;
    if constexpr (std::is_same_v<Config, IAudioConfig>) {
        // The headset: its first profile becomes current and takes the defaults, and the colours
        // go to every profile.
        Profile* first = m_config->GetProfileAt(0);
        if (!first) return false;
        if (Warn(m_ctx.popups, m_ctx.Owner(), L"RestoreAllPopup.xml") != 1) return false;
        m_config->SetCurrentProfile(first);
        SetHeadsetProfileDefaults(first, m_config);
        Refresh();
        ColoursPicked(false);
    } else {
        Profile* p = m_config->GetCurrentProfile();
        if (!p) return false;
        const std::wstring subject = std::wstring(L": ") + (p->GetName() ? p->GetName() : L"");
        if (Warn(m_ctx.popups, m_ctx.Owner(), L"RestoreAllPopup.xml", nullptr, subject.c_str()) != 1) return false;
        if constexpr (std::is_same_v<Config, IMouseConfig>) FillMouseProfileDefaults(m_config, p);
        else SetKeyboardLightingDefaults(p, m_config);
        // Restoring reaches beyond this page (buttons, DPI, keys): every page of the device follows.
        m_ctx.site.RefreshDevicePages(m_ids.device);
    }
    Refresh();
    return true;
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::FillProfileList() {
    auto* list = static_cast<CDropdownListItem*>(m_profiles);
    if (!list || !m_config) return;
    list->ClearEntries();
    Profile* current = m_config->GetCurrentProfile();
    int selected = 0;
    for (int32_t i = 0; i < m_config->GetProfileCount(); ++i) {
        Profile* p = m_config->GetProfileAt(uint32_t(i));
        if (!p) continue;
        list->AddEntry(p->GetName());
        if (p == current) selected = int(list->m_entries.size()) - 1;
    }
    if (!list->m_entries.empty()) list->SelectEntry(selected);
    if (list->Hwnd()) InvalidateRect(list->Hwnd(), nullptr, FALSE);
}

template <class Config, class Profile>
void CDmLightingPage<Config, Profile>::ProfileChosen(int index) {
    if (!m_config || index < 0) return;
    Profile* p = m_config->GetProfileAt(uint32_t(index));
    if (!p) return;
    m_config->SetCurrentProfile(p);
    m_ctx.site.RefreshDevicePages(m_ids.device);
    Refresh();
}

template <class Config, class Profile>
bool CDmLightingPage<Config, Profile>::OnItemCommand(CGUIItem& item, WORD) {
    const int id = item.m_controlId;
    if (id == m_ids.reset) return Restore();
    for (int i = 0; i < 3; ++i) {
        const LightingZoneIds& z = m_ids.zones[i];
        if (id == z.on || id == z.off) {
            ZoneOnOff(i, id == z.on);
            return true;
        }
        if (id == z.apm) {
            ZoneApm(i, IsChecked(m_apm[i]));
            return true;
        }
    }
    return false;
}

template <class Config, class Profile>
bool CDmLightingPage<Config, Profile>::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_PALETTE_COLOR_PICKED:
        // A preview is posted on by the button while the palette's close is sent at once: one
        // that arrives after its palette has closed is stale and must not undo the close.
        if (wParam == 100 && !PaletteOpen()) return true;
        ColoursPicked(wParam == 100);
        // Only a choice is an edit: previews end in a choice or go back on a close.
        if (wParam != 100) m_ctx.MarkChanged();
        return true;
    case WM_PALETTE_CLOSED:
        PaletteCancelled();
        return true;
    case WM_DROPDOWN_SELCHANGE: {
        CGUIItem* item = FindItemByWindow(*this, reinterpret_cast<HWND>(lParam));
        if (!item || item != m_profiles) return false;
        ProfileChosen(int(wParam));
        m_ctx.MarkChanged();
        RepaintAll(m_ctx.Owner());
        return true;
    }
    default: return false;
    }
}

template class CDmLightingPage<IMouseConfig, IMouseProfile>;
template class CDmLightingPage<IKeyboardConfig, IKeyboardProfile>;
template class CDmLightingPage<IAudioConfig, IAudioProfile>;

} // namespace vt::config
