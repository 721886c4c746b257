#pragma once
// The mouse configuration: per-profile DPI stages, buttons and lighting (with configuration-level
// cached DPI values for when no profile is at hand), and the mouse-wide polling rates and
// acceleration.
#include "profile/BaseConfig.h"
#include "profile/MouseProfile.h"
#include <map>
#include <vector>

namespace vt::profile {
constexpr uint32_t kMaxRates = 5;
constexpr const wchar_t* kMouseSettingsName = L"Pylit";
constexpr const wchar_t* kSettingsExtension = L"vtc";
constexpr const wchar_t* kProfileExtension = L"vtp";
} // namespace vt::profile

class CDmConfig_Mouse : public CBaseConfig<CDmProfile_Mouse, IMouseProfile, IMouseConfig> {
public:
    CDmConfig_Mouse();

    const wchar_t* GetProfileExtension() const override { return vt::profile::kProfileExtension; }
    IGenDevice<IMouseConfig*, IMouseProfile*>* Device() const { return m_device; }

    void SetDevice(IGenDevice<IMouseConfig*, IMouseProfile*>* device) override;
    bool SetMaxDpiStageCount(uint32_t count, IMouseProfile* p) override;
    void SetAccelerationRange(uint32_t min, uint32_t max) override;
    void SetRateList(const std::vector<uint32_t>& rates) override;
    void SetDpiStageCount(uint32_t count, IMouseProfile* p) override;
    uint32_t GetMaxDpiStageCount(IMouseProfile* p) override;
    uint32_t GetDpiStageCount(IMouseProfile* p) override;
    uint32_t GetAltButtonCount(IMouseProfile* p) override;
    int32_t GetRateCount() override { return int32_t(m_rateCount); }
    // A new profile with the mouse defaults. When the configuration held no profile before, the
    // mouse-wide values (rate index, acceleration and its switch) get their defaults too; later
    // profiles (new, import) leave the user's mouse-wide settings alone.
    IMouseProfile* CreateProfile(const wchar_t* name) override;
    void SetProfilePath(IMouseProfile* p, const wchar_t* path) override;
    const wchar_t* GetProfilePath(IMouseProfile* p) override;
    void SetProfileFlag(IMouseProfile* p, uint8_t flag) override;
    uint8_t GetProfileFlag(IMouseProfile* p) override;
    void SetDpiOsdEnabled(uint8_t on, IMouseProfile* p) override;
    uint8_t GetDpiOsdEnabled(IMouseProfile* p) override;
    void SetDpiStageSeparateXY(uint32_t stage, uint8_t on, IMouseProfile* p) override;
    uint8_t GetDpiStageSeparateXY(uint32_t stage, IMouseProfile* p) override;
    void SetAccelerationEnabled(uint8_t on, IMouseProfile*) override { m_accelEnabled = on; }
    uint8_t GetAccelerationEnabled(IMouseProfile*) override { return m_accelEnabled; }
    void SetAcceleration(uint32_t value, IMouseProfile*) override;
    uint32_t GetAcceleration(IMouseProfile*) override { return m_accel; }
    void SetActiveDpiStage(uint32_t stage, IMouseProfile* p) override;
    int32_t GetActiveDpiStage(IMouseProfile* p) override;
    void SetDpiStageValue(uint32_t stage, uint32_t dpi, IMouseProfile* p) override;
    uint32_t GetDpiStageValue(uint32_t stage, IMouseProfile* p) override;
    void SetDpi(int32_t dpi, IMouseProfile* p) override;
    int32_t GetDpi(IMouseProfile* p) override;
    void SetDpiX(int32_t dpi, IMouseProfile* p) override;
    int32_t GetDpiX(IMouseProfile* p) override;
    void SetDpiY(int32_t dpi, IMouseProfile* p) override;
    int32_t GetDpiY(IMouseProfile* p) override;
    void SetSeparateXY(uint8_t on, IMouseProfile* p) override;
    uint8_t GetSeparateXY(IMouseProfile* p) override;
    void SetDpiStageValueX(uint32_t stage, uint32_t dpi, IMouseProfile* p) override;
    uint32_t GetDpiStageValueX(uint32_t stage, IMouseProfile* p) override;
    void SetDpiStageValueY(uint32_t stage, uint32_t dpi, IMouseProfile* p) override;
    uint32_t GetDpiStageValueY(uint32_t stage, IMouseProfile* p) override;
    void SetDpiRange(int32_t min, int32_t max, int32_t step, IMouseProfile* p) override;
    bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step, IMouseProfile* p) override;
    void Reserved55(int32_t, int32_t) override {}
    bool Reserved56(int32_t) override { return false; }
    void Reserved57(int32_t, int32_t) override {}
    bool Reserved58(int32_t) override { return false; }
    void SetRateIndex(int32_t index, IMouseProfile*) override { m_rateIndex = index; }
    int32_t GetRateIndex(IMouseProfile*) override { return m_rateIndex; }
    // The rate under that index; an index never stored is added with 0.
    uint32_t GetRateAt(uint32_t index) override { return m_rates[index]; }
    void SetButtonAssignment(int32_t button, AssignmentRecord record, IMouseProfile* p) override;
    AssignmentRecord* GetButtonAssignment(AssignmentRecord* out, int32_t button, IMouseProfile* p) override;
    bool HasLeftClickAssigned(IMouseProfile* p) override;
    void SetAltButtonsEnabled(uint8_t on, IMouseProfile* p) override;
    uint8_t GetAltButtonsEnabled(IMouseProfile* p) override;
    void Reserved84(int32_t) override {}
    bool Reserved85() override { return false; }
    void Reserved86(int32_t) override {}
    bool Reserved87() override { return false; }
    void Reserved94(int32_t, int32_t, int32_t) override {}
    bool Reserved95(int32_t, int32_t) override { return false; }
    void Reserved96(int32_t, int32_t) override {}
    int32_t Reserved97(int32_t) override { return 0; }
    void Reserved98(int32_t, int32_t) override {}
    bool Reserved99(int32_t) override { return false; }
    void Reserved100(int32_t, int32_t) override {}
    bool Reserved101(int32_t) override { return false; }
    void Reserved102(int32_t, int32_t) override {}
    bool Reserved103(int32_t) override { return false; }
    void Reserved104(int32_t, int32_t) override {}
    int32_t Reserved105(int32_t) override { return 0; }
    void Reserved106(int32_t, int32_t) override {}
    int32_t Reserved107(int32_t) override { return 0; }
    void Reserved108(int32_t, int32_t) override {}
    int32_t Reserved109(int32_t) override { return 0; }
    int32_t Reserved114() override { return 0; }
    int32_t Reserved115() override { return 0; }
    int32_t Reserved116() override { return 0; }
    int32_t Reserved117() override { return 0; }
    int32_t Reserved118() override { return 0; }
    int32_t Reserved119() override { return 0; }
    uint32_t GetAccelerationMin() override { return m_accelMin; }
    uint32_t GetAccelerationMax() override { return m_accelMax; }
    int32_t Reserved122() override { return 0; }
    int32_t Reserved123() override { return 0; }
    bool Reserved130(uint32_t) override { return false; }

private:
    // Position of a stage number in the cached arrays: 0 and 1 the first, past the capacity the last.
    uint32_t CachePosition(uint32_t stage) const;
    uint32_t ClampToCachedRange(uint32_t dpi) const;

    IGenDevice<IMouseConfig*, IMouseProfile*>* m_device = nullptr;
    uint8_t m_cachedSeparateXY = 0;
    uint32_t m_cachedMin = 0, m_cachedMax = 0, m_cachedStep = 0;
    std::vector<uint32_t> m_cachedDpi, m_cachedDpiX, m_cachedDpiY;  // absent (empty) until sized
    uint32_t m_cachedCapacity = 0;
    uint32_t m_cachedCount = 0;
    int32_t m_cachedActive = -1;
    std::map<uint32_t, uint32_t> m_rates;
    uint32_t m_rateCount = 0;
    uint32_t m_accelMin = 0, m_accelMax = 0, m_accel = 0;
    uint8_t m_accelEnabled = 0;
    int32_t m_rateIndex = -1;
};

// The per-profile defaults of a mouse profile, written through the configuration with the profile
// as the profile argument: default buttons, DPI range 100..5600 step 100, active stage 3, stages
// 800, 1200, 1800, 4000, 5600 (not separate), 5 stages in use, DPI 1800, DPI display on, zones 3,
// 10 and 9 on with flag 1 and colour 0xFF0000, and the profile display switch of every profile
// re-applied from the current profile (on when there is none). Also the mouse page's Restore.
void FillMouseProfileDefaults(IMouseConfig* config, IMouseProfile* profile);
// The mouse-wide defaults a first profile brings: rate index 1, acceleration 5, acceleration off.
void FillMouseWideDefaults(IMouseConfig* config);
