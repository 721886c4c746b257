#include "profile/MouseProfile.h"
#include <algorithm>

using namespace vt::profile;

const int32_t MouseActionTable[15] = {1, 2, 3, 4, 6, 13, 14, 33, 32, 10, 5, 21, 40, 41, 8};
const int32_t WheelActionTable[6] = {6, 13, 14, 40, 41, 8};
const uint32_t DefaultDpiStages[5] = {800, 1200, 1800, 4000, 5600};
std::map<int32_t, AssignmentRecord> DefaultButtonMap;

void FillDefaultButtonMap() {
    static const int32_t pairs[][2] = {{1, 1}, {2, 2}, {3, 3}, {6, 33}, {7, 32}, {10, 40}, {11, 41}};
    for (const auto& p : pairs) {
        AssignmentRecord r{};
        r.kind = p[1];
        DefaultButtonMap[p[0]] = r;
    }
}

void SetDefaultDpiStages(std::span<DpiStageRecord> records, uint32_t stageCount) {
    size_t end = std::min<size_t>(records.size(), std::size(DefaultDpiStages));
    for (size_t i = stageCount; i < end; ++i) {
        DpiStageRecord& r = records[i];
        r.dpi = r.dpiX = r.dpiY = int32_t(DefaultDpiStages[i]);
        r.active = r.inUse = r.separateXY = 0;
    }
}

bool ActionTableAllows(std::span<const int32_t> table, int32_t kind) {
    for (int32_t entry : table) {
        if (entry == kind) return true;
        if ((kind == kKindProfileByName && entry == kKindProfile) ||
            (kind == kKindMacroByName && entry == kKindMacro) ||
            (kind == kKindLaunchProgramAlias && entry == kKindLaunchProgram))
            return true;
    }
    return false;
}

static std::span<const int32_t> TableForButton(int32_t button) {
    if (button == kWheelUpButton || button == kWheelDownButton) return WheelActionTable;
    return MouseActionTable;
}

CMouseProfile::CMouseProfile(const CMouseProfile& other)
    : CBaseProfile(other),
      m_dpiOsd(other.m_dpiOsd),
      m_altButtonsEnabled(other.m_altButtonsEnabled),
      m_dpiMin(other.m_dpiMin),
      m_dpiMax(other.m_dpiMax),
      m_dpiStep(other.m_dpiStep),
      m_stagesInUse(other.m_stagesInUse) {
    // A source without a table gives a copy without a table (not a one-entry table of zeros).
    if (!other.m_stages.empty()) SetMaxDpiStageCount(uint32_t(other.m_stages.size()));
    m_activeStage = other.m_activeStage;
    m_dpi = other.m_dpi;
    m_dpiX = other.m_dpiX;
    m_dpiY = other.m_dpiY;
    m_separateXY = other.m_separateXY;
    for (uint32_t stage = 1; stage <= m_stages.size(); ++stage) {
        SetDpiStageValue(stage, other.GetDpiStageValue(stage));
        SetDpiStageValueX(stage, other.GetDpiStageValueX(stage));
        SetDpiStageValueY(stage, other.GetDpiStageValueY(stage));
        SetDpiStageSeparateXY(stage, other.GetDpiStageSeparateXY(stage));
    }
    m_buttons = other.m_buttons;
    m_altButtons = other.m_altButtons;
}

bool CMouseProfile::SetMaxDpiStageCount(uint32_t count) {
    count = std::clamp<uint32_t>(count, 1, kMaxDpiStages);
    m_stages.assign(count, DpiStage{});
    SetActiveDpiStage(1);
    return true;
}

void CMouseProfile::SetDpiStageCount(uint32_t count) {
    m_stagesInUse = std::min<uint32_t>(count, uint32_t(m_stages.size()));
}

// Stage numbers count from 1; 0 addresses the first entry and a number past the table the last.
DpiStage* CMouseProfile::StageAt(uint32_t stage) {
    if (m_stages.empty()) return nullptr;
    if (stage > m_stages.size()) return &m_stages.back();
    return &m_stages[stage == 0 ? 0 : stage - 1];
}

const DpiStage* CMouseProfile::StageAt(uint32_t stage) const {
    return const_cast<CMouseProfile*>(this)->StageAt(stage);
}

uint32_t CMouseProfile::Clamp(uint32_t dpi) const {
    if (dpi > uint32_t(m_dpiMax)) return uint32_t(m_dpiMax);
    if (dpi < uint32_t(m_dpiMin)) return uint32_t(m_dpiMin);
    return dpi;
}

void CMouseProfile::SetDpiStageSeparateXY(uint32_t stage, uint8_t on) {
    if (DpiStage* s = StageAt(stage)) s->separateXY = on;
}

uint8_t CMouseProfile::GetDpiStageSeparateXY(uint32_t stage) const {
    const DpiStage* s = StageAt(stage);
    return s ? s->separateXY : 0;
}

void CMouseProfile::SetActiveDpiStage(uint32_t stage) {
    uint32_t size = uint32_t(m_stages.size());
    if (size == 0)
        m_activeStage = 0;
    else if (stage >= size)
        m_activeStage = int32_t(size) - 1;
    else
        m_activeStage = int32_t(stage) - 1;  // stage 0 stores none
}

void CMouseProfile::SetDpiStageValue(uint32_t stage, uint32_t dpi) {
    if (DpiStage* s = StageAt(stage)) s->dpi = int32_t(Clamp(dpi));
}
uint32_t CMouseProfile::GetDpiStageValue(uint32_t stage) const {
    const DpiStage* s = StageAt(stage);
    return s ? uint32_t(s->dpi) : 0;
}
void CMouseProfile::SetDpiStageValueX(uint32_t stage, uint32_t dpi) {
    if (DpiStage* s = StageAt(stage)) s->dpiX = int32_t(Clamp(dpi));
}
uint32_t CMouseProfile::GetDpiStageValueX(uint32_t stage) const {
    const DpiStage* s = StageAt(stage);
    return s ? uint32_t(s->dpiX) : 0;
}
void CMouseProfile::SetDpiStageValueY(uint32_t stage, uint32_t dpi) {
    if (DpiStage* s = StageAt(stage)) s->dpiY = int32_t(Clamp(dpi));
}
uint32_t CMouseProfile::GetDpiStageValueY(uint32_t stage) const {
    const DpiStage* s = StageAt(stage);
    return s ? uint32_t(s->dpiY) : 0;
}

void CMouseProfile::SetDpiRange(int32_t min, int32_t max, int32_t step) {
    m_dpiMin = min;
    m_dpiMax = max;
    m_dpiStep = step;
}

bool CMouseProfile::GetDpiRange(int32_t* min, int32_t* max, int32_t* step) const {
    if (min) *min = m_dpiMin;
    if (max) *max = m_dpiMax;
    if (step) *step = m_dpiStep;
    return true;
}

void CMouseProfile::SetButtonAssignment(int32_t button, AssignmentRecord record) {
    if (IsActionAllowedForButton(record.kind, button)) m_buttons[button] = record;
}

AssignmentRecord CMouseProfile::GetButtonAssignment(int32_t button) {
    auto it = m_buttons.find(button);
    if (it == m_buttons.end()) it = m_buttons.emplace(button, MakeEmptyAssignment()).first;
    return it->second;
}

bool CMouseProfile::HasLeftClickAssigned() const {
    for (const auto& [button, r] : m_buttons)
        if (r.kind == 1) return true;
    if (m_altButtonsEnabled == 1)
        for (const auto& [button, r] : m_altButtons)
            if (r.kind == 1) return true;
    return false;
}

bool CDmProfile_Mouse::IsActionAllowedForButton(int32_t kind, int32_t button) {
    return ActionTableAllows(TableForButton(button), kind);
}

void CDmProfile_Mouse::GetAllowedActionsForButton(std::vector<int32_t>& out, int32_t button) {
    auto table = TableForButton(button);
    out.assign(table.begin(), table.end());
}
