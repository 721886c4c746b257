#pragma once
// Mouse profile: button assignments with this mouse's allow-lists, the DPI stage table with its
// range and clamping, the current DPI and the on-screen-display switches.
#include "profile/BaseProfile.h"
#include "profile/ProfileInterfaces.h"
#include <span>
#include <vector>

// One entry of a profile's stage table (all zero when created).
struct DpiStage {
    int32_t dpi;
    int32_t dpiX;
    int32_t dpiY;
    uint8_t separateXY;
};
static_assert(sizeof(DpiStage) == 16, "the device layer relies on the 16-byte stage");
static_assert(offsetof(DpiStage, separateXY) == 12);

// The form in which the mouse page hands stages to the DPI stages popup.
struct DpiStageRecord {
    int32_t dpi;
    int32_t dpiX;
    int32_t dpiY;
    uint8_t active;
    uint8_t inUse;
    uint8_t separateXY;
};
static_assert(sizeof(DpiStageRecord) == 16);

namespace vt::profile {
constexpr uint32_t kMaxDpiStages = 10;
constexpr uint32_t kDefaultDpiStageCount = 5;
// Buttons 10 and 11 are the wheel.
constexpr int32_t kWheelUpButton = 10;
constexpr int32_t kWheelDownButton = 11;
} // namespace vt::profile

extern const int32_t MouseActionTable[15];
extern const int32_t WheelActionTable[6];
extern const uint32_t DefaultDpiStages[5];
// Button -> default record (1->1, 2->2, 3->3, 6->33, 7->32, 10->40, 11->41, zero payloads).
extern std::map<int32_t, AssignmentRecord> DefaultButtonMap;
void FillDefaultButtonMap();

// Gives every record from position stageCount up to the fifth the default stage value of its
// position and clears its three bytes. Only records the list holds are written.
void SetDefaultDpiStages(std::span<DpiStageRecord> records, uint32_t stageCount);

// True when kind matches an entry of the table; 7, 22 and 63 match 6, 21 and 62.
bool ActionTableAllows(std::span<const int32_t> table, int32_t kind);

class CMouseProfile : public CBaseProfile {
public:
    CMouseProfile() = default;
    explicit CMouseProfile(const wchar_t* name) : CBaseProfile(name) {}
    CMouseProfile(const CMouseProfile& other);

    virtual bool IsActionAllowedForButton(int32_t kind, int32_t button) = 0;

    bool SetMaxDpiStageCount(uint32_t count);
    uint32_t GetMaxDpiStageCount() const { return uint32_t(m_stages.size()); }
    uint32_t GetDpiStageCount() const { return m_stagesInUse; }
    uint32_t GetAltButtonCount() const { return uint32_t(m_altButtons.size()); }
    void SetDpiStageCount(uint32_t count);
    void SetDpiOsdEnabled(uint8_t on) { m_dpiOsd = on; }
    uint8_t GetDpiOsdEnabled() const { return m_dpiOsd; }
    void SetDpiStageSeparateXY(uint32_t stage, uint8_t on);
    uint8_t GetDpiStageSeparateXY(uint32_t stage) const;
    void SetSeparateXY(uint8_t on) { m_separateXY = on; }
    uint8_t GetSeparateXY() const { return m_separateXY; }
    void SetActiveDpiStage(uint32_t stage);
    int32_t GetActiveDpiStage() const { return m_activeStage + 1; }
    void SetDpi(int32_t dpi) { m_dpi = dpi; }
    int32_t GetDpi() const { return m_dpi; }
    void SetDpiX(int32_t dpi) { m_dpiX = dpi; }
    int32_t GetDpiX() const { return m_dpiX; }
    void SetDpiY(int32_t dpi) { m_dpiY = dpi; }
    int32_t GetDpiY() const { return m_dpiY; }
    void SetDpiStageValue(uint32_t stage, uint32_t dpi);
    uint32_t GetDpiStageValue(uint32_t stage) const;
    void SetDpiStageValueX(uint32_t stage, uint32_t dpi);
    uint32_t GetDpiStageValueX(uint32_t stage) const;
    void SetDpiStageValueY(uint32_t stage, uint32_t dpi);
    uint32_t GetDpiStageValueY(uint32_t stage) const;
    void SetDpiRange(int32_t min, int32_t max, int32_t step);
    bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step) const;
    void SetButtonAssignment(int32_t button, AssignmentRecord record);
    AssignmentRecord GetButtonAssignment(int32_t button);
    bool HasLeftClickAssigned() const;
    void SetAltButtonsEnabled(uint8_t on) { m_altButtonsEnabled = on; }
    uint8_t GetAltButtonsEnabled() const { return m_altButtonsEnabled; }
    const std::map<int32_t, AssignmentRecord>& Buttons() const { return m_buttons; }

private:
    // Index of a stage number in the table; nullptr when the table is empty.
    DpiStage* StageAt(uint32_t stage);
    const DpiStage* StageAt(uint32_t stage) const;
    uint32_t Clamp(uint32_t dpi) const;

    std::map<int32_t, AssignmentRecord> m_buttons;
    std::map<int32_t, AssignmentRecord> m_altButtons;  // no operation fills it; copies carry it
    uint8_t m_dpiOsd = 0;
    uint8_t m_altButtonsEnabled = 1;
    int32_t m_dpiMin = 0, m_dpiMax = 0, m_dpiStep = 0;
    std::vector<DpiStage> m_stages;
    uint32_t m_stagesInUse = 0;
    int32_t m_activeStage = -1;
    int32_t m_dpi = 0, m_dpiX = 0, m_dpiY = 0;
    uint8_t m_separateXY = 0;
};

class CDmProfile_Mouse : public CMouseProfile, public IMouseProfile {
public:
    CDmProfile_Mouse() = default;
    explicit CDmProfile_Mouse(const wchar_t* name) : CMouseProfile(name) {}
    CDmProfile_Mouse(const CDmProfile_Mouse& other) : CMouseProfile(other) {}

    // IMouseProfile: each slot forwards to the profile operation of the same name.
    bool SetMaxDpiStageCount(uint32_t n) override { return CMouseProfile::SetMaxDpiStageCount(n); }
    uint32_t GetMaxDpiStageCount() override { return CMouseProfile::GetMaxDpiStageCount(); }
    uint32_t GetDpiStageCount() override { return CMouseProfile::GetDpiStageCount(); }
    uint32_t GetAltButtonCount() override { return CMouseProfile::GetAltButtonCount(); }
    void SetDpiStageCount(uint32_t n) override { CMouseProfile::SetDpiStageCount(n); }
    void Reserved5() override {}
    const wchar_t* GetName() override { return CBaseProfile::GetName(); }
    GUID* GetId(GUID* out) override { return CBaseProfile::GetId(out); }
    bool HasStoredFile() override { return CBaseProfile::HasStoredFile(); }
    void SetName(const wchar_t* name) override { CBaseProfile::SetName(name); }
    void SetId(GUID id) override { CBaseProfile::SetId(id); }
    const wchar_t* GetFileName() override { return CBaseProfile::GetFileName(); }
    void SetFileName(const wchar_t* name) override { CBaseProfile::SetFileName(name); }
    const wchar_t* GetStoredFilePath() override { return CBaseProfile::GetStoredFilePath(); }
    const wchar_t* GetProfilePath() override { return CBaseProfile::GetProfilePath(); }
    void SetProfilePath(const wchar_t* path) override { CBaseProfile::SetProfilePath(path); }
    void SetProfileFlag(uint8_t f) override { CBaseProfile::SetProfileFlag(f); }
    uint8_t GetProfileFlag() override { return CBaseProfile::GetProfileFlag(); }
    void SetDpiOsdEnabled(uint8_t on) override { CMouseProfile::SetDpiOsdEnabled(on); }
    uint8_t GetDpiOsdEnabled() override { return CMouseProfile::GetDpiOsdEnabled(); }
    void SetProfileOsdEnabled(uint8_t on) override { CBaseProfile::SetProfileOsdEnabled(on); }
    uint8_t GetProfileOsdEnabled() override { return CBaseProfile::GetProfileOsdEnabled(); }
    void SetDpiStageSeparateXY(uint32_t s, uint8_t on) override { CMouseProfile::SetDpiStageSeparateXY(s, on); }
    uint8_t GetDpiStageSeparateXY(uint32_t s) override { return CMouseProfile::GetDpiStageSeparateXY(s); }
    void SetActiveDpiStage(uint32_t s) override { CMouseProfile::SetActiveDpiStage(s); }
    int32_t GetActiveDpiStage() override { return CMouseProfile::GetActiveDpiStage(); }
    void SetDpiStageValue(uint32_t s, uint32_t v) override { CMouseProfile::SetDpiStageValue(s, v); }
    uint32_t GetDpiStageValue(uint32_t s) override { return CMouseProfile::GetDpiStageValue(s); }
    void SetDpiStageValueX(uint32_t s, uint32_t v) override { CMouseProfile::SetDpiStageValueX(s, v); }
    uint32_t GetDpiStageValueX(uint32_t s) override { return CMouseProfile::GetDpiStageValueX(s); }
    void SetDpiStageValueY(uint32_t s, uint32_t v) override { CMouseProfile::SetDpiStageValueY(s, v); }
    uint32_t GetDpiStageValueY(uint32_t s) override { return CMouseProfile::GetDpiStageValueY(s); }
    void SetDpi(int32_t v) override { CMouseProfile::SetDpi(v); }
    int32_t GetDpi() override { return CMouseProfile::GetDpi(); }
    void SetDpiX(int32_t v) override { CMouseProfile::SetDpiX(v); }
    int32_t GetDpiX() override { return CMouseProfile::GetDpiX(); }
    void SetDpiY(int32_t v) override { CMouseProfile::SetDpiY(v); }
    int32_t GetDpiY() override { return CMouseProfile::GetDpiY(); }
    void SetSeparateXY(uint8_t on) override { CMouseProfile::SetSeparateXY(on); }
    uint8_t GetSeparateXY() override { return CMouseProfile::GetSeparateXY(); }
    void SetDpiRange(int32_t a, int32_t b, int32_t c) override { CMouseProfile::SetDpiRange(a, b, c); }
    bool GetDpiRange(int32_t* a, int32_t* b, int32_t* c) override { return CMouseProfile::GetDpiRange(a, b, c); }
    void SetLightOn(int32_t z, uint8_t on) override { CBaseProfile::SetLightOn(z, on); }
    uint8_t GetLightOn(int32_t z) override { return CBaseProfile::GetLightOn(z); }
    void SetLightColor(int32_t z, int32_t c) override { CBaseProfile::SetLightColor(z, c); }
    int32_t GetLightColor(int32_t z) override { return CBaseProfile::GetLightColor(z); }
    void SetLightFlag(int32_t z, uint8_t e) override { CBaseProfile::SetLightFlag(z, e); }
    uint8_t GetLightFlag(int32_t z) override { return CBaseProfile::GetLightFlag(z); }
    void Reserved48(int32_t) override {}
    int32_t Reserved49() override { return 0; }
    void SetButtonAssignment(int32_t b, AssignmentRecord r) override { CMouseProfile::SetButtonAssignment(b, r); }
    AssignmentRecord GetButtonAssignment(int32_t b) override { return CMouseProfile::GetButtonAssignment(b); }
    bool HasLeftClickAssigned() override { return CMouseProfile::HasLeftClickAssigned(); }
    void SetAssignment(int32_t id, AssignmentRecord r) override { CBaseProfile::SetAssignment(id, r); }
    AssignmentRecord GetAssignment(int32_t id) override { return CBaseProfile::GetAssignment(id); }
    void SetAltButtonsEnabled(uint8_t on) override { CMouseProfile::SetAltButtonsEnabled(on); }
    uint8_t GetAltButtonsEnabled() override { return CMouseProfile::GetAltButtonsEnabled(); }
    bool IsActionAllowedForButton(int32_t kind, int32_t button) override;
    bool Reserved58(int32_t) override { return false; }
    void GetAllowedActionsForButton(std::vector<int32_t>& out, int32_t button) override;
    void Reserved60(int32_t, int32_t) override {}
    bool IsAssignmentTypeAllowed(int32_t kind) override { return false; }
    bool SaveToFile(std::wstring* p, const wchar_t* f, const wchar_t* e) override { return CBaseProfile::SaveToFile(p, f, e); }
    bool LoadFromFile(const wchar_t* n, const wchar_t* f, const wchar_t* e) override { return CBaseProfile::LoadFromFile(n, f, e); }
};
