#pragma once
// The headset configuration: the headset-wide levels (master volume, balance, mute, microphone
// volume, mute, automatic gain and noise reduction) with their ranges, a configuration copy of the
// equaliser switch, and per profile the equaliser bands and the lighting.
#include "profile/AudioProfile.h"
#include "profile/BaseConfig.h"

class CDmConfig_Headset : public CBaseConfig<CDmProfile_Headset, IAudioProfile, IAudioConfig> {
public:
    CDmConfig_Headset();

    // Headset profiles have no files.
    const wchar_t* GetProfileExtension() const override { return nullptr; }
    IAudioDevice* Device() const { return m_device; }

    void SetDevice(IAudioDevice* device) override {
        if (device) m_device = device;
    }
    // Ranges are stored as given; the levels clamp to them (signed, minimum tested first).
    bool SetVolumeRange(int32_t min, int32_t max, int32_t step) override;
    void SetMasterVolume(int32_t volume) override { m_master = Clamp(volume, m_volMin, m_volMax); }
    int32_t GetMasterVolume() override { return m_master; }
    void SetBalance(int32_t left, int32_t right) override;
    void GetBalance(int32_t* left, int32_t* right) override;
    void SetMute(uint8_t on) override { m_mute = on; }
    uint8_t GetMute() override { return m_mute; }
    void GetVolumeRange(int32_t* min, int32_t* max, int32_t* step) override;
    bool SetMicRange(int32_t min, int32_t max, int32_t step) override;
    void SetMicVolume(int32_t volume) override { m_micVolume = Clamp(volume, m_micMin, m_micMax); }
    int32_t GetMicVolume() override { return m_micVolume; }
    void SetMicMute(uint8_t on) override { m_micMute = on; }
    uint8_t GetMicMute() override { return m_micMute; }
    void SetMicAutoGain(uint8_t on) override { m_micAgc = on; }
    uint8_t GetMicAutoGain() override { return m_micAgc; }
    void SetMicNoiseReduction(uint8_t on) override { m_micNoiseReduction = on; }
    uint8_t GetMicNoiseReduction() override { return m_micNoiseReduction; }
    void GetMicRange(int32_t* min, int32_t* max, int32_t* step) override;
    // A new profile with the headset defaults. When the configuration held no profile before, the
    // configuration's equaliser switch and the headset-wide levels get their defaults too; later
    // profiles (new, import) leave the user's levels alone.
    IAudioProfile* CreateProfile(const wchar_t* name) override;

    uint32_t GetBandCount(IAudioProfile* p) override;
    bool InitBands(const std::vector<int32_t>& bands, int32_t min, int32_t max, int32_t scale, IAudioProfile* p) override;
    bool SetAllBandGains(const BandGains& gains, IAudioProfile* p) override;
    bool SetBandGain(int32_t band, int16_t gain, IAudioProfile* p) override;
    bool GetAllBandGains(BandGains& out, IAudioProfile* p) override;
    int16_t GetBandGain(int32_t band, IAudioProfile* p) override;
    void GetGainRange(int32_t* min, int32_t* max, int32_t* scale, IAudioProfile* p) override;
    int32_t GetBandIdAt(uint32_t position, IAudioProfile* p) override;
    // Stores the configuration copy; then the given profile's switch, or with null every profile's.
    void SetEqualizerEnabled(uint8_t on, IAudioProfile* p) override;
    // The given profile's switch; the configuration copy for null.
    uint8_t GetEqualizerEnabled(IAudioProfile* p) override;

private:
    static int32_t Clamp(int32_t v, int32_t min, int32_t max) { return v < min ? min : (v > max ? max : v); }

    IAudioDevice* m_device = nullptr;
    int32_t m_volMin = 0, m_volMax = 1, m_volStep = 1;
    int32_t m_master = 0;
    int32_t m_left = 0, m_right = 0;
    uint8_t m_mute = 0;
    int32_t m_micMin = 0, m_micMax = 1, m_micStep = 1;
    int32_t m_micVolume = 0;
    uint8_t m_micMute = 0;
    uint8_t m_micAgc = 0;
    uint8_t m_micNoiseReduction = 0;
    uint8_t m_eqEnabled = 0;
};

// The per-profile defaults of a headset profile: zones 3, 10 and 9 on with flag 1 and colour
// 0xFF0000, every band gain 0 when the profile is named "Custom" (any case), equaliser on. Also the
// lighting page's Restore.
void SetHeadsetProfileDefaults(IAudioProfile* profile, IAudioConfig* config);
// The headset-wide defaults a first profile brings: the configuration's equaliser switch on,
// master volume and both balance values at a fifth of the volume maximum, microphone volume at its
// maximum, mute, microphone mute and automatic gain off (noise reduction unchanged).
void SetHeadsetWideDefaults(IAudioProfile* profile, IAudioConfig* config);
