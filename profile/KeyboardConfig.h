#pragma once
// The keyboard configuration: the defaults of a new keyboard profile, the 16 key slots of the key
// map, and the keyboard's folders and settings file ("save\Tessaran.vtc", section "SETTINGS", key
// "ActiveProfileName").
#include "profile/BaseConfig.h"
#include "profile/KeyboardProfile.h"
#include "profile/MouseConfig.h"

namespace vt::profile {
constexpr const wchar_t* kKeyboardSettingsName = L"Tessaran";
} // namespace vt::profile

class CDmConfig_Keyboard : public CBaseConfig<CDmProfile_Keyboard, IKeyboardProfile, IKeyboardConfig> {
public:
    CDmConfig_Keyboard();

    const wchar_t* GetProfileExtension() const override { return vt::profile::kProfileExtension; }
    IGenDevice<IKeyboardConfig*, IKeyboardProfile*>* Device() const { return m_device; }

    void SetDevice(IGenDevice<IKeyboardConfig*, IKeyboardProfile*>* device) override {
        if (device) m_device = device;
    }
    IKeyboardProfile* CreateProfile(const wchar_t* name) override;
    void Reserved20(int32_t) override {}
    bool Reserved21() override { return false; }
    void Reserved22(int32_t) override {}
    bool Reserved23() override { return false; }
    void Reserved36(IKeyboardProfile*, uint8_t) override {}
    bool Reserved37(IKeyboardProfile*) override { return true; }
    void Reserved48(int32_t, int32_t) override {}
    bool Reserved49(int32_t) override { return false; }
    bool Reserved59(uint32_t) override { return false; }

private:
    IGenDevice<IKeyboardConfig*, IKeyboardProfile*>* m_device = nullptr;
};

// The defaults of a keyboard profile, through the configuration: every key back to its default
// code, zones 3, 10 and 9 on with flag 1 and colour 0xFF0000, and the profile display switch of
// every profile re-applied from the current profile (off when there is none).
void SetKeyboardLightingDefaults(IKeyboardProfile* profile, IKeyboardConfig* config);
