#include "config/DpiStages.h"
#include <algorithm>
#include <span>
#include <string>
#include "config/Items.h"

namespace vt::config {

using namespace vt::skin;

DpiStagesEdit ReadDpiStages(IMouseConfig* config) {
    DpiStagesEdit e;
    if (!config) return e;
    int32_t mn = 0, mx = 0, st = 0;
    config->GetDpiRange(&mn, &mx, &st, nullptr);
    e.minDpi = mn;
    e.maxDpi = mx;
    e.step = st;
    e.count = int32_t(config->GetDpiStageCount(nullptr));
    e.active = config->GetActiveDpiStage(nullptr);
    const uint32_t slots = config->GetMaxDpiStageCount(nullptr);
    for (uint32_t i = 1; i <= slots; ++i) {
        DpiStageRecord r{};
        r.dpi = int32_t(config->GetDpiStageValue(i, nullptr));
        r.dpiX = int32_t(config->GetDpiStageValueX(i, nullptr));
        r.dpiY = int32_t(config->GetDpiStageValueY(i, nullptr));
        r.active = int32_t(i) == e.active ? 1 : 0;
        r.inUse = int32_t(i - 1) < e.count ? 1 : 0;
        r.separateXY = config->GetDpiStageSeparateXY(i, nullptr);
        e.stages.push_back(r);
    }
    // Only the records there are get their defaults (fewer than five slots stay fewer).
    SetDefaultDpiStages(std::span<DpiStageRecord>(e.stages), uint32_t(std::max(0, e.count)));
    return e;
}

void WriteDpiStages(IMouseConfig* config, const DpiStagesEdit& e) {
    if (!config) return;
    config->SetDpiStageCount(uint32_t(std::max(0, e.count)), nullptr);
    uint32_t h = 1;
    for (const DpiStageRecord& r : e.stages) {
        config->SetDpiStageValue(h, uint32_t(r.dpi), nullptr);
        config->SetDpiStageValueX(h, uint32_t(r.dpiX), nullptr);
        config->SetDpiStageValueY(h, uint32_t(r.dpiY), nullptr);
        config->SetDpiStageSeparateXY(h, r.separateXY, nullptr);
        if (r.active == 1) {
            config->SetActiveDpiStage(h, nullptr);
            config->SetDpi(r.dpi, nullptr);
            config->SetDpiX(r.dpiX, nullptr);
            config->SetDpiY(r.dpiY, nullptr);
            config->SetSeparateXY(r.separateXY, nullptr);
        }
        ++h;
    }
}

// ------------------------------------------------------------------------------------------------

void TakeCurrentSettings(IMouseConfig* config, DpiStagesEdit& e) {
    if (!config || e.active < 1 || size_t(e.active) > e.stages.size()) return;
    DpiStageRecord& r = e.stages[size_t(e.active - 1)];
    r.dpi = config->GetDpi(nullptr);
    r.dpiX = config->GetDpiX(nullptr);
    r.dpiY = config->GetDpiY(nullptr);
    r.separateXY = config->GetSeparateXY(nullptr) ? 1 : 0;
}

bool SameDpiStages(const DpiStagesEdit& a, const DpiStagesEdit& b) {
    if (a.count != b.count || a.active != b.active || a.stages.size() != b.stages.size()) return false;
    for (size_t i = 0; i < a.stages.size(); ++i) {
        const DpiStageRecord &x = a.stages[i], &y = b.stages[i];
        if (x.dpi != y.dpi || x.dpiX != y.dpiX || x.dpiY != y.dpiY || x.active != y.active || x.inUse != y.inUse ||
            x.separateXY != y.separateXY)
            return false;
    }
    return true;
}

int DpiStagesRules::Windows() const { return int(std::min<size_t>(kStageWindows, m_edit.stages.size())); }

int DpiStagesRules::MaxCount() const { return std::max(Windows(), std::min(m_edit.count, int(m_edit.stages.size()))); }

DpiStageRecord* DpiStagesRules::Active() {
    if (m_edit.active < 1 || size_t(m_edit.active) > m_edit.stages.size()) return nullptr;
    return &m_edit.stages[size_t(m_edit.active - 1)];
}

void DpiStagesRules::Layout() {
    for (int i = 0; i < Windows(); ++i) {
        DpiStageRecord& r = m_edit.stages[size_t(i)];
        r.inUse = i < m_edit.count ? 1 : 0;
        if (r.active && !r.inUse) {
            r.active = 0;
            if (m_edit.count > 0 && size_t(m_edit.count) <= m_edit.stages.size()) {
                m_edit.active = m_edit.count;
                m_edit.stages[size_t(m_edit.count - 1)].active = 1;
            }
        }
    }
}

void DpiStagesRules::Decrease() {
    if (m_edit.count > 1) --m_edit.count;
    Layout();
}

void DpiStagesRules::Increase() {
    if (m_edit.count < MaxCount()) ++m_edit.count;
    Layout();
}

void DpiStagesRules::Select(int index) {
    if (index < 0 || index >= Windows() || !m_edit.stages[size_t(index)].inUse) return;
    for (int i = 0; i < Windows(); ++i) m_edit.stages[size_t(i)].active = i == index ? 1 : 0;
    m_edit.active = index + 1;
}

void DpiStagesRules::SetSeparate(bool on) {
    DpiStageRecord* r = Active();
    if (!r) return;
    if ((r->separateXY != 0) == on) return;
    r->separateXY = on ? 1 : 0;
    if (on) r->dpiX = r->dpiY = r->dpi;
    else r->dpi = r->dpiX;
}

void DpiStagesRules::SliderValue(int axis, int value) {
    DpiStageRecord* r = Active();
    if (!r) return;
    const int64_t raw = int64_t(value) * int64_t(SafeStep(m_edit.step));
    const int32_t dpi = int32_t(std::clamp<int64_t>(raw, m_edit.minDpi, std::max(m_edit.minDpi, m_edit.maxDpi)));
    if (axis == 0) r->dpi = dpi;
    else if (axis == 1) r->dpiX = dpi;
    else if (axis == 2) r->dpiY = dpi;
}

// ------------------------------------------------------------------------------------------------

} // namespace vt::config
