#include "device/MacroEvents.h"
#include <cstring>

namespace vt::device {

bool MacroEventsToEngine(const std::vector<MacroEvent>& events, std::vector<EngineMacroEvent>& out) {
    out.clear();
    for (const MacroEvent& e : events) {
        EngineMacroEvent m{};
        switch (e.type) {
        case vt::profile::kEventKey: {
            uint16_t scan, vk;
            std::memcpy(&scan, e.data, 2);
            std::memcpy(&vk, e.data + 2, 2);
            uint8_t direction = e.data[4];
            uint8_t extended = e.data[5] & 1;
            m.type = kEngineEventKey;
            m.data1 = scan;
            m.data2 = uint16_t((direction != vt::profile::kKeyDown ? 1 : 0) |
                               ((extended || vk == kVkPause) ? 2 : 0));
            break;
        }
        case vt::profile::kEventMouse: {
            int32_t button, transition;
            std::memcpy(&button, e.data, 4);
            std::memcpy(&transition, e.data + 4, 4);
            uint16_t flag = CodeTables().FlagForMouseEvent(button, uint8_t(transition & 0xFF));
            if (!flag) continue;
            m.type = kEngineEventMouse;
            m.data1 = flag;
            break;
        }
        case vt::profile::kEventDelay: {
            int32_t ms;
            std::memcpy(&ms, e.data, 4);
            m.type = kEngineEventDelay;
            std::memcpy(&m.data1, &ms, 4);
            break;
        }
        default:
            continue;
        }
        out.push_back(m);
    }
    return !out.empty();
}

bool EngineEventsToMacro(const EngineMacroEvent* events, size_t count, std::vector<MacroEvent>& out) {
    out.clear();
    for (size_t i = 0; events && i < count; ++i) {
        const EngineMacroEvent& m = events[i];
        switch (m.type) {
        case kEngineEventMouse: {
            MouseFlagEvent f;
            if (!CodeTables().MouseEventForFlag(m.data1, f)) continue;
            out.push_back(vt::profile::MakeMouseEvent(f.button, f.transition));
            break;
        }
        case kEngineEventKey: {
            uint8_t direction = (m.data2 & 1) ? vt::profile::kKeyUp : vt::profile::kKeyDown;
            uint8_t extended = (m.data2 & 2) ? 1 : 0;
            uint16_t vk = 0;
            if (m.data1 == kPauseNumLockCode) {
                vk = extended ? kVkPause : kVkNumLock;
                extended = 0;
            }
            out.push_back(vt::profile::MakeKeyEvent(m.data1, vk, direction, extended));
            break;
        }
        case kEngineEventDelay: {
            int32_t ms;
            std::memcpy(&ms, &m.data1, 4);
            out.push_back(vt::profile::MakeDelayEvent(ms));
            break;
        }
        default:
            break;
        }
    }
    return !out.empty();
}

std::vector<uint8_t> BuildEngineMacroBuffer(const std::vector<EngineMacroEvent>& events) {
    std::vector<uint8_t> buffer(16 + 8 * events.size(), 0);
    uint32_t count = uint32_t(events.size());
    std::memcpy(buffer.data() + 4, &count, 4);
    if (!events.empty()) std::memcpy(buffer.data() + 8, events.data(), 8 * events.size());
    return buffer;
}

bool ParseEngineMacroBuffer(const uint8_t* buffer, size_t bytes, std::vector<EngineMacroEvent>& out) {
    out.clear();
    if (!buffer || bytes < 8) return false;
    uint32_t count;
    std::memcpy(&count, buffer + 4, 4);
    if (count > (bytes - 8) / 8) return false;
    out.resize(count);
    if (count) std::memcpy(out.data(), buffer + 8, 8 * size_t(count));
    return true;
}

} // namespace vt::device
