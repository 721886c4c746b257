#include "config/popups/ApmStages.h"
#include <algorithm>

namespace vt::config {

std::vector<ApmStage> DefaultApmStages() {
    static const COLORREF kColours[] = {0x728D05, 0x00C000, 0x00C0C0, 0x00FFFF, 0x0080FF, 0x0C31DE, 0x0000D2, 0xFFFFFF};
    std::vector<ApmStage> out;
    int lower = 0;
    for (COLORREF c : kColours) {
        out.push_back({c, lower, lower + 50});
        lower += 50;
    }
    return out;
}

void ApmStagesRules::Select(int index) {
    if (index >= 0 && index < int(m_stages.size())) m_selected = index;
}

ApmStagesRules::Result ApmStagesRules::Add(COLORREF colour) {
    if (int(m_stages.size()) >= kMaxApmStages) return Result::TooMany;
    if (m_stages.empty()) {
        m_stages.push_back({colour, kApmRangeMin, kApmRangeMax});
        return Result::Done;
    }
    ApmStage& s = m_stages[size_t(m_selected)];
    const int middle = s.lower + (s.upper - s.lower) / 2;
    ApmStage first{colour, s.lower, middle};
    s.lower = middle;
    m_stages.insert(m_stages.begin() + m_selected, first);
    return Result::Done;
}

ApmStagesRules::Result ApmStagesRules::Remove() {
    if (int(m_stages.size()) <= kMinApmStages) return Result::TooFew;
    const size_t i = size_t(m_selected);
    if (i + 1 < m_stages.size()) m_stages[i + 1].lower = m_stages[i].lower;
    else if (i > 0) m_stages[i - 1].upper = m_stages[i].upper;
    m_stages.erase(m_stages.begin() + m_selected);
    if (m_selected >= int(m_stages.size())) m_selected = int(m_stages.size()) - 1;
    return Result::Done;
}

void ApmStagesRules::Recolour(COLORREF colour) {
    if (m_selected < int(m_stages.size())) m_stages[size_t(m_selected)].colour = colour;
}

void ApmStagesRules::Restore() {
    m_stages = DefaultApmStages();
    m_selected = 0;
}

void ApmStagesRules::Replace(std::vector<ApmStage> stages) {
    m_stages = std::move(stages);
    if (m_selected >= int(m_stages.size())) m_selected = m_stages.empty() ? 0 : int(m_stages.size()) - 1;
}

void ApmStagesRules::MoveBound(int k, int value) {
    if (k < 0 || k + 1 >= int(m_stages.size())) return;
    ApmStage& a = m_stages[size_t(k)];
    ApmStage& b = m_stages[size_t(k) + 1];
    value = std::clamp(value, a.lower, b.upper);
    a.upper = value;
    b.lower = value;
}

int ApmStagesRules::LowerLabel() const {
    return m_stages.empty() ? 0 : m_stages[size_t(m_selected)].lower;
}

int ApmStagesRules::UpperLabel() const {
    return m_stages.empty() ? 0 : m_stages[size_t(m_selected)].upper - 1;
}

std::vector<ApmStage> StorableApmStages(const std::vector<ApmStage>& stages) {
    std::vector<ApmStage> out;
    for (const ApmStage& s : stages) {
        const int lower = out.empty() ? s.lower : out.back().upper;
        if (s.upper <= lower) continue;   // covers nothing: its bound met the previous one
        out.push_back({s.colour, lower, s.upper});
    }
    return out;
}

} // namespace vt::config
