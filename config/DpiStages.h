#pragma once
// The DPI stages edit: the record the mouse performance page fills from the mouse configuration,
// the DPI stages popup edits and the page writes back on OK, and the popup's rules on it (stage
// count, active stage, separate X/Y, slider values), apart from any window.
#include <cstdint>
#include <vector>
#include "profile/ConfigInterfaces.h"
#include "profile/MouseProfile.h"

namespace vt::config {

// Stage windows of the popup.
constexpr int kStageWindows = 5;

struct DpiStagesEdit {
    int32_t minDpi = 0, maxDpi = 0, step = 1;
    int32_t count = 0;    // stages in use, 1 .. number of records
    int32_t active = 0;   // from 1
    std::vector<DpiStageRecord> stages;
};

// A DPI step of 0 (a device that reports none) counts as 1, so that no division by it happens.
inline uint32_t SafeStep(int32_t step) { return step > 0 ? uint32_t(step) : 1u; }

// Fills the record from the configuration (its current profile), stages beyond the count reset to
// their defaults.
DpiStagesEdit ReadDpiStages(IMouseConfig* config);
// Writes the record back: the count, every stage, and the active stage's values as the current DPI.
void WriteDpiStages(IMouseConfig* config, const DpiStagesEdit& edit);

// The active stage's record takes the configuration's current settings (DPI, X, Y, separate X/Y),
// which the page may have changed since the stage was stored.
void TakeCurrentSettings(IMouseConfig* config, DpiStagesEdit& edit);
// True when both records hold the same stages (count, active stage, every record's values).
bool SameDpiStages(const DpiStagesEdit& a, const DpiStagesEdit& b);

// The popup's rules on the record, apart from any window.
class DpiStagesRules {
public:
    explicit DpiStagesRules(DpiStagesEdit& edit) : m_edit(edit) {}
    // Stage windows there are records for (at most five).
    int Windows() const;
    // Highest stage count INC may reach: the records that have a window (a count read from the
    // device above that is kept, never raised).
    int MaxCount() const;
    // The active record, or null when the active stage names no record.
    DpiStageRecord* Active();
    // In-use flags from the count; an active stage that fell out of use moves to the last stage in use.
    void Layout();
    void Decrease();
    void Increase();
    // The stage window index (0-based) was clicked.
    void Select(int index);
    // Separate X/Y of the active stage: on copies DPI into X and Y, off takes X as DPI (Y kept).
    void SetSeparate(bool on);
    // A slider value v of the combined (axis 0), X (1) or Y (2) slider: v x step clamped to the range.
    void SliderValue(int axis, int value);
    // The slider position of a DPI value (value / step).
    int32_t SliderOf(int32_t dpi) const { return int32_t(uint32_t(dpi) / SafeStep(m_edit.step)); }

private:
    DpiStagesEdit& m_edit;
};

} // namespace vt::config
