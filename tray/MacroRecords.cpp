#include "tray/MacroRecords.h"
#include <cstring>

namespace vt::tray {

std::vector<uint8_t> BuildMacroEventBuffer(const std::vector<TrayMacroEvent>& events) {
    std::vector<uint8_t> buffer(16 + 8 * events.size(), 0);
    const uint32_t count = uint32_t(events.size());
    std::memcpy(buffer.data() + 4, &count, 4);
    if (!events.empty()) std::memcpy(buffer.data() + 8, events.data(), 8 * events.size());
    return buffer;
}

VtActionRecord MacroAssignmentRecord(uint32_t key, const GUID& macroId) {
    VtActionRecord record{};
    record.Flag = 0;
    record.Index = key;
    record.Type = 8;
    std::memcpy(record.Payload, &macroId, 16);
    record.Payload[16] = 1;  // playback mode
    record.Payload[17] = 0;  // repeat
    return record;
}

const std::array<LightStep, 3>& CMacroLedScheme() {
    static const std::array<LightStep, 3> steps = {{
        {7, 1, 255, 100, 0, 0, 0},
        {7, 1, 255, 100, 1, 300, 300},
        {7, 0, 255, 100, 0, 0, 0},
    }};
    return steps;
}

} // namespace vt::tray
