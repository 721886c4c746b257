#include "profile/MouseConfig.h"
#include <algorithm>

using namespace vt::profile;

CDmConfig_Mouse::CDmConfig_Mouse() {
    FillDefaultButtonMap();
    for (int32_t key = 1; key <= 16; ++key) {
        AssignmentRecord slot{};
        slot.kind = kKindKeySlot;
        SetConfigAssignment(key, slot);
    }
    m_settingsPath = BoundedPath({vt::base::ProgramFolder(), kSaveFolder, kMouseSettingsName, L".", kSettingsExtension});
}

void CDmConfig_Mouse::SetDevice(IGenDevice<IMouseConfig*, IMouseProfile*>* device) {
    if (device) m_device = device;
}

bool CDmConfig_Mouse::SetMaxDpiStageCount(uint32_t count, IMouseProfile* p) {
    if (count == 0) return false;
    // Here a null profile means the configuration's cache, not the current profile.
    if (p) {
        CDmProfile_Mouse* q = Listed(p);
        return q ? q->CMouseProfile::SetMaxDpiStageCount(count) : false;
    }
    count = std::min(count, kMaxDpiStages);
    m_cachedDpi.assign(count, 0);
    m_cachedDpiX.assign(count, 0);
    m_cachedDpiY.assign(count, 0);
    m_cachedCapacity = count;
    return true;
}

void CDmConfig_Mouse::SetAccelerationRange(uint32_t min, uint32_t max) {
    m_accelMin = min;
    m_accelMax = max;
}

void CDmConfig_Mouse::SetRateList(const std::vector<uint32_t>& rates) {
    m_rateCount = uint32_t(std::min<size_t>(rates.size(), kMaxRates));
    for (uint32_t i = 0; i < m_rateCount; ++i) m_rates[i] = rates[i];
}

void CDmConfig_Mouse::SetAcceleration(uint32_t value, IMouseProfile*) {
    if (value > m_accelMax)
        m_accel = m_accelMax;
    else if (value < m_accelMin)
        m_accel = m_accelMin;
    else
        m_accel = value;
}

uint32_t CDmConfig_Mouse::CachePosition(uint32_t stage) const {
    if (stage > m_cachedCapacity) return m_cachedCapacity - 1;
    return stage == 0 ? 0 : stage - 1;
}

uint32_t CDmConfig_Mouse::ClampToCachedRange(uint32_t dpi) const {
    if (dpi > m_cachedMax) return m_cachedMax;
    if (dpi < m_cachedMin) return m_cachedMin;
    return dpi;
}

void CDmConfig_Mouse::SetDpiStageCount(uint32_t count, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiStageCount(count);
    m_cachedCount = std::min(count, m_cachedCapacity);
}

uint32_t CDmConfig_Mouse::GetMaxDpiStageCount(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetMaxDpiStageCount() : m_cachedCapacity;
}

uint32_t CDmConfig_Mouse::GetDpiStageCount(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetDpiStageCount() : m_cachedCount;
}

uint32_t CDmConfig_Mouse::GetAltButtonCount(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetAltButtonCount() : 0;
}

IMouseProfile* CDmConfig_Mouse::CreateProfile(const wchar_t* name) {
    bool first = m_profiles.empty();
    CDmProfile_Mouse* profile = AppendNewProfile(name);
    SetMaxDpiStageCount(kDefaultDpiStageCount, profile);
    FillMouseProfileDefaults(this, profile);
    if (first) FillMouseWideDefaults(this);
    return profile;
}

void CDmConfig_Mouse::SetProfilePath(IMouseProfile* p, const wchar_t* path) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CBaseProfile::SetProfilePath(path);
}
const wchar_t* CDmConfig_Mouse::GetProfilePath(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CBaseProfile::GetProfilePath() : L"";
}
void CDmConfig_Mouse::SetProfileFlag(IMouseProfile* p, uint8_t flag) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CBaseProfile::SetProfileFlag(flag);
}
uint8_t CDmConfig_Mouse::GetProfileFlag(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CBaseProfile::GetProfileFlag() : 0;
}
void CDmConfig_Mouse::SetDpiOsdEnabled(uint8_t on, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiOsdEnabled(on);
}
uint8_t CDmConfig_Mouse::GetDpiOsdEnabled(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetDpiOsdEnabled() : 0;
}

void CDmConfig_Mouse::SetDpiStageSeparateXY(uint32_t stage, uint8_t on, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiStageSeparateXY(stage, on);
    m_cachedSeparateXY = on;
}
uint8_t CDmConfig_Mouse::GetDpiStageSeparateXY(uint32_t stage, IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetDpiStageSeparateXY(stage) : m_cachedSeparateXY;
}

void CDmConfig_Mouse::SetActiveDpiStage(uint32_t stage, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetActiveDpiStage(stage);
    if (m_cachedCapacity == 0)
        m_cachedActive = 0;
    else if (stage >= m_cachedCapacity)
        m_cachedActive = int32_t(m_cachedCapacity) - 1;
    else
        m_cachedActive = int32_t(stage) - 1;
}
int32_t CDmConfig_Mouse::GetActiveDpiStage(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetActiveDpiStage() : m_cachedActive + 1;
}

void CDmConfig_Mouse::SetDpiStageValue(uint32_t stage, uint32_t dpi, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiStageValue(stage, dpi);
    if (!m_cachedDpi.empty()) m_cachedDpi[CachePosition(stage)] = ClampToCachedRange(dpi);
}
uint32_t CDmConfig_Mouse::GetDpiStageValue(uint32_t stage, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) return q->CMouseProfile::GetDpiStageValue(stage);
    return m_cachedDpi.empty() ? 0 : m_cachedDpi[CachePosition(stage)];
}
void CDmConfig_Mouse::SetDpiStageValueX(uint32_t stage, uint32_t dpi, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiStageValueX(stage, dpi);
    if (!m_cachedDpiX.empty()) m_cachedDpiX[CachePosition(stage)] = ClampToCachedRange(dpi);
}
uint32_t CDmConfig_Mouse::GetDpiStageValueX(uint32_t stage, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) return q->CMouseProfile::GetDpiStageValueX(stage);
    return m_cachedDpiX.empty() ? 0 : m_cachedDpiX[CachePosition(stage)];
}
void CDmConfig_Mouse::SetDpiStageValueY(uint32_t stage, uint32_t dpi, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiStageValueY(stage, dpi);
    if (!m_cachedDpiY.empty()) m_cachedDpiY[CachePosition(stage)] = ClampToCachedRange(dpi);
}
uint32_t CDmConfig_Mouse::GetDpiStageValueY(uint32_t stage, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) return q->CMouseProfile::GetDpiStageValueY(stage);
    return m_cachedDpiY.empty() ? 0 : m_cachedDpiY[CachePosition(stage)];
}

void CDmConfig_Mouse::SetDpi(int32_t dpi, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpi(dpi);
}
int32_t CDmConfig_Mouse::GetDpi(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetDpi() : 0;
}
void CDmConfig_Mouse::SetDpiX(int32_t dpi, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiX(dpi);
}
int32_t CDmConfig_Mouse::GetDpiX(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetDpiX() : 0;
}
void CDmConfig_Mouse::SetDpiY(int32_t dpi, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiY(dpi);
}
int32_t CDmConfig_Mouse::GetDpiY(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetDpiY() : 0;
}

void CDmConfig_Mouse::SetSeparateXY(uint8_t on, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetSeparateXY(on);
    m_cachedSeparateXY = on;
}
uint8_t CDmConfig_Mouse::GetSeparateXY(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetSeparateXY() : m_cachedSeparateXY;
}

void CDmConfig_Mouse::SetDpiRange(int32_t min, int32_t max, int32_t step, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetDpiRange(min, max, step);
    m_cachedMin = uint32_t(min);
    m_cachedMax = uint32_t(max);
    m_cachedStep = uint32_t(step);
}
bool CDmConfig_Mouse::GetDpiRange(int32_t* min, int32_t* max, int32_t* step, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) return q->CMouseProfile::GetDpiRange(min, max, step);
    if (min) *min = int32_t(m_cachedMin);
    if (max) *max = int32_t(m_cachedMax);
    if (step) *step = int32_t(m_cachedStep);
    return true;
}

void CDmConfig_Mouse::SetButtonAssignment(int32_t button, AssignmentRecord record, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetButtonAssignment(button, record);
}
AssignmentRecord* CDmConfig_Mouse::GetButtonAssignment(AssignmentRecord* out, int32_t button, IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    AssignmentRecord r = q ? q->CMouseProfile::GetButtonAssignment(button) : MakeEmptyAssignment();
    if (out) *out = r;
    return out;
}
bool CDmConfig_Mouse::HasLeftClickAssigned(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::HasLeftClickAssigned() : false;
}
void CDmConfig_Mouse::SetAltButtonsEnabled(uint8_t on, IMouseProfile* p) {
    if (CDmProfile_Mouse* q = Resolve(p)) q->CMouseProfile::SetAltButtonsEnabled(on);
}
uint8_t CDmConfig_Mouse::GetAltButtonsEnabled(IMouseProfile* p) {
    CDmProfile_Mouse* q = Resolve(p);
    return q ? q->CMouseProfile::GetAltButtonsEnabled() : 0;
}

void FillMouseProfileDefaults(IMouseConfig* config, IMouseProfile* profile) {
    if (!config || !profile) return;
    for (int32_t button : {1, 2, 3, 6, 7, 10, 11}) {
        auto it = DefaultButtonMap.find(button);
        if (it != DefaultButtonMap.end()) config->SetButtonAssignment(button, it->second, profile);
    }
    config->SetDpiRange(100, 5600, 100, profile);
    config->SetActiveDpiStage(3, profile);
    for (uint32_t stage = 1; stage <= 5; ++stage) {
        config->SetDpiStageValue(stage, DefaultDpiStages[stage - 1], profile);
        config->SetDpiStageSeparateXY(stage, 0, profile);
    }
    config->SetDpiStageCount(kDefaultDpiStageCount, profile);
    config->SetSeparateXY(0, profile);
    config->SetDpi(1800, profile);
    config->SetDpiOsdEnabled(1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightOn(zone, 1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightFlag(zone, 1, profile);
    for (int32_t zone : kDefaultZones) config->SetLightColor(zone, kDefaultZoneColour, profile);
    IMouseProfile* current = config->GetCurrentProfile();
    config->SetProfileOsdEnabledAll(current ? config->GetProfileOsdEnabled(current) : 1);
}

void FillMouseWideDefaults(IMouseConfig* config) {
    if (!config) return;
    config->SetRateIndex(1, nullptr);
    config->SetAcceleration(5, nullptr);
    config->SetAccelerationEnabled(0, nullptr);
}
