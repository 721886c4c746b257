#include "profile/KeyboardConfig.h"

using namespace vt::profile;

CDmConfig_Keyboard::CDmConfig_Keyboard() {
    m_settingsPath = BoundedPath({vt::base::ProgramFolder(), kSaveFolder, kKeyboardSettingsName, L".", kSettingsExtension});
    for (int32_t key = 1; key <= 16; ++key) {
        AssignmentRecord slot{};
        slot.kind = kKindKeySlot;
        SetConfigAssignment(key, slot);
    }
}

IKeyboardProfile* CDmConfig_Keyboard::CreateProfile(const wchar_t* name) {
    CDmProfile_Keyboard* profile = AppendNewProfile(name);
    SetKeyboardLightingDefaults(profile, this);
    return profile;
}

void SetKeyboardLightingDefaults(IKeyboardProfile* profile, IKeyboardConfig* config) {
    if (!profile || !config) return;
    profile->ResetAssignmentsToDefault();
    for (int32_t zone : kDefaultZones) config->SetLightOn(zone, 1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightFlag(zone, 1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightColor(zone, kDefaultZoneColour, profile);
    IKeyboardProfile* current = config->GetCurrentProfile();
    config->SetProfileOsdEnabledAll(current ? config->GetProfileOsdEnabled(current) : 0);
}
