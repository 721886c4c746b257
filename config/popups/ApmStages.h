#pragma once
// The activity-lighting stages: the list the APM popup edits, its rules (2 to 10 stages, add,
// remove, recolour, restore, moved bounds), and how the list is read from and written into the
// three device configurations, apart from any window.
#include <cstdint>
#include <vector>
#include <windows.h>

namespace vt::config {

struct ApmStage {
    COLORREF colour = 0;
    int lower = 0;   // first APM value of the stage
    int upper = 0;   // first APM value past it (the next stage's lower bound)
};

// Stages the popup keeps: between 2 and 10 (1 to 9 bounds between them).
constexpr int kMinApmStages = 2;
constexpr int kMaxApmStages = 10;
// The slider's range.
constexpr int kApmRangeMin = 0;
constexpr int kApmRangeMax = 401;

// The stages Restore puts back: eight stages of 50 from 0 to 400.
std::vector<ApmStage> DefaultApmStages();

// The popup's rules on the stage list, apart from the slider that shows it.
class ApmStagesRules {
public:
    enum class Result { Done, TooMany, TooFew };

    explicit ApmStagesRules(std::vector<ApmStage> stages = DefaultApmStages()) : m_stages(std::move(stages)) {}

    const std::vector<ApmStage>& Stages() const { return m_stages; }
    int Selected() const { return m_selected; }
    // Selects a stage; an index outside the list is ignored.
    void Select(int index);
    // Splits the selected stage in two, the new first half taking colour; TooMany at 10 stages.
    Result Add(COLORREF colour);
    // Removes the selected stage, its range going to its neighbour; TooFew at 2 stages. The
    // selection stays while it still names a stage, else moves to the last one.
    Result Remove();
    void Recolour(COLORREF colour);
    void Restore();
    // The stages as the slider now shows them (bounds dragged); the selection stays while it
    // names a stage.
    void Replace(std::vector<ApmStage> stages);
    // Moves the bound between stage k and k + 1, kept inside its neighbours' bounds.
    void MoveBound(int k, int value);
    // The texts under the slider: the selected stage's lower bound and its last value (upper - 1).
    int LowerLabel() const;
    int UpperLabel() const;

private:
    std::vector<ApmStage> m_stages;
    int m_selected = 0;
};

// The stages as they may be stored: in order, each one's lower bound its predecessor's upper
// bound, stages that cover no value (two bounds that met) merged away. The configurations key
// their entries by the upper bound, so two stages ending at the same bound cannot both be kept.
std::vector<ApmStage> StorableApmStages(const std::vector<ApmStage>& stages);

// Reads the stages of one configuration (any of the three interfaces); empty without one.
template <class Config>
std::vector<ApmStage> ReadApmStages(Config* config) {
    std::vector<ApmStage> out;
    if (!config) return out;
    const int32_t n = config->GetApmStageCount();
    for (int32_t i = 0; i < n && i < 64; ++i) {
        int32_t colour = 0, low = 0;
        uint32_t high = 0;
        if (!config->GetApmStageColor(uint32_t(i), &colour) || !config->GetApmStageRange(uint32_t(i), &low, &high))
            continue;
        out.push_back({COLORREF(colour), int(low), int(high)});
    }
    return out;
}

// Replaces the stages of one configuration with the storable form of stages. False when a stage
// was refused (the configuration then holds the stages written before it); true without one.
template <class Config>
bool WriteApmStages(Config* config, const std::vector<ApmStage>& stages) {
    if (!config) return true;
    const std::vector<ApmStage> storable = StorableApmStages(stages);
    config->ClearApmStages();
    bool ok = true;
    for (const ApmStage& s : storable)
        ok = config->AddApmStage(int32_t(s.colour), s.lower, uint32_t(s.upper)) && ok;
    return ok && config->GetApmStageCount() == int32_t(storable.size());
}

} // namespace vt::config
