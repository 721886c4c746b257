#pragma once
// Macro events between the profile model (12-byte MacroEvent) and the device engine (8-byte
// events in a counted buffer).
#include "device/CodeTables.h"
#include "profile/Macro.h"
#include <cstdint>
#include <vector>

namespace vt::device {

// The engine's macro event, 8 bytes (the tray's recorder uses the same layout).
//   type 1 mouse: data1 = raw mouse-button flag, data2 = 0
//   type 2 key:   data1 = make code, data2 = flags (bit 0 release, bit 1 extended)
//   type 3 delay: data1 | data2 << 16 = milliseconds
struct EngineMacroEvent {
    int32_t type;
    uint16_t data1;
    uint16_t data2;
};
static_assert(sizeof(EngineMacroEvent) == 8, "engine macro events are 8 bytes");
using TrayMacroEvent = EngineMacroEvent;

enum : int32_t { kEngineEventMouse = 1, kEngineEventKey = 2, kEngineEventDelay = 3 };

// Macro events in both directions. Unknown mouse buttons or flags are skipped. The answer tells
// whether at least one event resulted.
bool MacroEventsToEngine(const std::vector<MacroEvent>& events, std::vector<EngineMacroEvent>& out);
bool EngineEventsToMacro(const EngineMacroEvent* events, size_t count, std::vector<MacroEvent>& out);

// The engine's macro buffer: ULONG 0, ULONG count, the events, 8 bytes of slack
// (16 + 8 * count bytes).
std::vector<uint8_t> BuildEngineMacroBuffer(const std::vector<EngineMacroEvent>& events);
// Reads a buffer handed out by the engine; false when it is too short for its own count.
bool ParseEngineMacroBuffer(const uint8_t* buffer, size_t bytes, std::vector<EngineMacroEvent>& out);

} // namespace vt::device
