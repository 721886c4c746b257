#pragma once
// Translation between the profile model's assignments and macro events and the device engine's
// 32-byte action records, button bits and indexes, and 8-byte macro events.
//
// One process-wide table object, built once (BuildCodeTables) and afterwards only read: lookups
// never insert, so the user-interface thread and a device worker may use it at the same time.
#include "profile/Records.h"
#include "VtEngine.h"
#include <cstdint>
#include <map>
#include <vector>

namespace vt::device {

// The engine's action record (button assignments and the assignment table), 32 bytes.
using EngineActionRecord = VtActionRecord;

// Record types.
enum : uint32_t {
    kRecFunction = 1, kRecObject = 2, kRecProfile = 3, kRecDpiStage = 4, kRecKey = 5,
    kRecAdvanced = 6, kRecMacro = 8, kRecLaunch = 9,
};

// Modifier flags of a single-key record (the uint32 at offset 14): the model's modifier byte bits
// 0..3 travel as bits 24..27. Bit 28 marks the Pause key among the keys that share make code 69
// (Pause and Num Lock); it is kept apart from the modifiers so neither is lost on the way back.
constexpr uint32_t kModifierShift = 24;
constexpr uint32_t kPauseMarker = 1u << 28;
constexpr uint16_t kPauseNumLockCode = 69;
constexpr uint16_t kVkPause = 19;
constexpr uint16_t kVkNumLock = 144;

// A mouse event of a macro: the model's button code and transition (255 press, 1 release).
struct MouseFlagEvent {
    int32_t button;
    uint8_t transition;
};

class DeviceCodeTables {
public:
    // Fills the tables once; later calls (from any thread) do nothing.
    void Build();
    bool IsBuilt() const { return m_built; }

    uint32_t BitForButton(int32_t button) const;       // 0 when the button has no bit
    int32_t ButtonForBit(uint32_t bit) const;          // 0 when absent
    uint32_t IndexForButton(int32_t button) const;     // 0 when absent
    int32_t ButtonForIndex(uint32_t index) const;      // 0 when absent
    // The kind's template; a kind not in the action map answers an all-zero record.
    EngineActionRecord TemplateForKind(int32_t kind) const;
    // The first kind (ascending) whose template matches; -1 when none does.
    int32_t KindForRecord(const EngineActionRecord& record) const;
    bool MouseEventForFlag(uint16_t flag, MouseFlagEvent& out) const;
    uint16_t FlagForMouseEvent(int32_t button, uint8_t transition) const;  // 0 when absent

    // Button ids of the button maps, ascending.
    std::vector<int32_t> ButtonIds() const;
    // Kinds of the action map, ascending.
    std::vector<int32_t> Kinds() const;

private:
    bool m_built = false;
    std::map<int32_t, uint32_t> m_buttonBits;
    std::map<int32_t, uint32_t> m_buttonIndexes;
    std::map<int32_t, EngineActionRecord> m_actions;
    std::map<uint16_t, MouseFlagEvent> m_mouseFlags;
};

// The process-wide tables (never destroyed, so a worker still running at exit cannot see them go).
DeviceCodeTables& CodeTables();
// Builds the process-wide tables once (thread-safe).
void BuildCodeTables();

// Fills the template's payload from the assignment's payload and returns the record.
EngineActionRecord ToEngineRecord(const EngineActionRecord& templ, const AssignmentRecord& assignment);
// The assignment a record stands for: the kind from the action map (-1 and a zero payload when
// none matches) and the payload from the record.
AssignmentRecord FromEngineRecord(const EngineActionRecord& record);
// Template for the assignment's kind, the index set, the payload filled.
EngineActionRecord AssignmentToEngine(const AssignmentRecord& assignment, uint32_t index);

// Playback mode of a macro assignment, model value <-> engine byte.
uint8_t PlaybackModeToEngine(int32_t mode);
int32_t PlaybackModeFromEngine(uint8_t mode);

} // namespace vt::device
