#pragma once
// The records the tray hands the engine when it stores a recorded macro: the 8-byte macro event,
// the macro's event buffer, the macro assignment of a key, and the keyboard's recording light steps.
#include <windows.h>
#include <array>
#include <cstdint>
#include <vector>
#include "VtEngine.h"

namespace vt::tray {

// One macro event in the engine's form.
struct TrayMacroEvent {
    int32_t type;    // 1 mouse button, 2 key, 3 delay
    uint16_t low;    // mouse: raw button flag; key: make code; delay: low half of the milliseconds
    uint16_t high;   // mouse: raw button data; key: raw keyboard flags; delay: high half
};
static_assert(sizeof(TrayMacroEvent) == 8, "engine macro events are 8 bytes");

enum : int32_t { kMacroEventMouse = 1, kMacroEventKey = 2, kMacroEventDelay = 3 };

// The engine's event buffer: uint32 0, uint32 count, the events, 8 zero bytes (16 + 8n bytes).
std::vector<uint8_t> BuildMacroEventBuffer(const std::vector<TrayMacroEvent>& events);

// The assignment of a macro to a key (type 8), as the tray writes it: first word 0, playback 1.
VtActionRecord MacroAssignmentRecord(uint32_t key, const GUID& macroId);

// One light step of the keyboard's recording zone.
struct LightStep {
    int32_t zone, on, colour, brightness, mode, value1, value2;
};
static_assert(sizeof(LightStep) == 28, "light steps are seven int32");

enum : int { kLightRecording = 0, kLightWaiting = 1, kLightOff = 2 };

// The three steps: recording (steady), waiting for the target key (blinking), off.
const std::array<LightStep, 3>& CMacroLedScheme();

} // namespace vt::tray
