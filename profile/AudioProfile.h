#pragma once
// Headset profile: equaliser band gains with their range, the equaliser switch and the lighting.
#include "profile/BaseProfile.h"
#include "profile/ProfileInterfaces.h"

class CAudioProfile : public CBaseProfile {
public:
    CAudioProfile() = default;
    explicit CAudioProfile(const wchar_t* name) : CBaseProfile(name) {}
    CAudioProfile(const CAudioProfile& other);

    uint32_t GetBandCount() const { return uint32_t(m_gains.size()); }
    // Stores the range; every listed band's gain becomes 0, other bands keep theirs.
    bool InitBands(const std::vector<int32_t>& bands, int32_t min, int32_t max, int32_t scale);
    // Stored as given, not clamped.
    bool SetAllBandGains(const BandGains& gains);
    // Clamped to the gain range (signed); a new band is added.
    bool SetBandGain(int32_t band, int16_t gain);
    bool GetAllBandGains(BandGains& out) const;
    // An absent band is added with gain 0.
    int16_t GetBandGain(int32_t band);
    void GetGainRange(int32_t* min, int32_t* max, int32_t* scale) const;
    // The band id at a position of the ascending order; 0 past the end (0 is also a real id:
    // bound positions by GetBandCount).
    int32_t GetBandIdAt(uint32_t position) const;
    void SetEqualizerEnabled(uint8_t on) { m_eqEnabled = on; }
    uint8_t GetEqualizerEnabled() const { return m_eqEnabled; }

private:
    BandGains m_gains;
    int32_t m_gainMin = 0, m_gainMax = 1, m_gainScale = 1;
    uint8_t m_eqEnabled = 0;
};

class CDmProfile_Headset : public CAudioProfile, public IAudioProfile {
public:
    CDmProfile_Headset() = default;
    explicit CDmProfile_Headset(const wchar_t* name) : CAudioProfile(name) {}
    CDmProfile_Headset(const CDmProfile_Headset& other) : CAudioProfile(other) {}

    const wchar_t* GetName() override { return CBaseProfile::GetName(); }
    GUID* GetId(GUID* out) override { return CBaseProfile::GetId(out); }
    void Reserved2() override {}
    bool HasStoredFile() override { return CBaseProfile::HasStoredFile(); }
    void SetName(const wchar_t* name) override { CBaseProfile::SetName(name); }
    void SetId(GUID id) override { CBaseProfile::SetId(id); }
    uint32_t GetBandCount() override { return CAudioProfile::GetBandCount(); }
    bool InitBands(const std::vector<int32_t>& b, int32_t mn, int32_t mx, int32_t sc) override {
        return CAudioProfile::InitBands(b, mn, mx, sc);
    }
    bool SetAllBandGains(const BandGains& g) override { return CAudioProfile::SetAllBandGains(g); }
    bool SetBandGain(int32_t band, int16_t gain) override { return CAudioProfile::SetBandGain(band, gain); }
    bool GetAllBandGains(BandGains& out) override { return CAudioProfile::GetAllBandGains(out); }
    int16_t GetBandGain(int32_t band) override { return CAudioProfile::GetBandGain(band); }
    void GetGainRange(int32_t* mn, int32_t* mx, int32_t* sc) override { CAudioProfile::GetGainRange(mn, mx, sc); }
    int32_t GetBandIdAt(uint32_t pos) override { return CAudioProfile::GetBandIdAt(pos); }
    void SetEqualizerEnabled(uint8_t on) override { CAudioProfile::SetEqualizerEnabled(on); }
    uint8_t GetEqualizerEnabled() override { return CAudioProfile::GetEqualizerEnabled(); }
    void SetLightOn(int32_t z, uint8_t on) override { CBaseProfile::SetLightOn(z, on); }
    uint8_t GetLightOn(int32_t z) override { return CBaseProfile::GetLightOn(z); }
    void SetLightColor(int32_t z, int32_t c) override { CBaseProfile::SetLightColor(z, c); }
    int32_t GetLightColor(int32_t z) override { return CBaseProfile::GetLightColor(z); }
    void SetLightFlag(int32_t z, uint8_t e) override { CBaseProfile::SetLightFlag(z, e); }
    uint8_t GetLightFlag(int32_t z) override { return CBaseProfile::GetLightFlag(z); }
};
