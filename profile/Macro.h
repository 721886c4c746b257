#pragma once
// Macros (named sequences of key, mouse-button and delay events) and the predefined key-combination
// macros offered by the macro page.
#include "profile/Records.h"
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// One macro event, 12 bytes: a type and 8 data bytes.
//   key (0): uint16 scan at 4, uint16 vk at 6, uint8 direction at 8 (255 press, 1 release),
//            uint8 flags at 9 (bit 0 extended), 2 zero bytes at 10
//   mouse button (1): int32 button at 4, int32 transition at 8 (low byte 255 press, 1 release)
//   delay (2): int32 milliseconds at 4 and again at 8
struct MacroEvent {
    int32_t type;
    uint8_t data[8];
};
static_assert(sizeof(MacroEvent) == 12, "the device layer and the toolkit rely on the 12-byte event");
static_assert(offsetof(MacroEvent, data) == 4);

namespace vt::profile {
enum : int32_t { kEventKey = 0, kEventMouse = 1, kEventDelay = 2 };
constexpr uint8_t kKeyDown = 255;
constexpr uint8_t kKeyUp = 1;
constexpr size_t kMacroNameUnits = 256;  // 255 characters and the terminator

// Event builders; every byte they do not name is zero.
inline MacroEvent MakeKeyEvent(uint16_t scan, uint16_t vk, uint8_t direction, uint8_t flags) {
    MacroEvent e{};
    e.type = kEventKey;
    std::memcpy(e.data, &scan, 2);
    std::memcpy(e.data + 2, &vk, 2);
    e.data[4] = direction;
    e.data[5] = flags;
    return e;
}
inline MacroEvent MakeMouseEvent(int32_t button, uint8_t transition) {
    MacroEvent e{};
    e.type = kEventMouse;
    std::memcpy(e.data, &button, 4);
    e.data[4] = transition;
    return e;
}
inline MacroEvent MakeDelayEvent(int32_t milliseconds) {
    MacroEvent e{};
    e.type = kEventDelay;
    std::memcpy(e.data, &milliseconds, 4);
    std::memcpy(e.data + 4, &milliseconds, 4);
    return e;
}
} // namespace vt::profile

bool MacroEventsEqual(const std::vector<MacroEvent>& a, const std::vector<MacroEvent>& b);

class CMacro {
public:
    CMacro() = default;
    // The name is cut to 255 characters.
    CMacro(const wchar_t* name, const std::vector<MacroEvent>& events);

    wchar_t name[vt::profile::kMacroNameUnits]{};
    GUID id{};
    std::vector<MacroEvent> events;
    std::wstring text;

    void SetMacroText(const wchar_t* t) { text = t ? t : L""; }
};

const GUID& GetMacroGuid(const CMacro* macro);
bool MacroEquals(const CMacro& a, const CMacro& b);

class CMacroList : public std::vector<CMacro*> {
public:
    CMacroList() = default;
    CMacroList(const CMacroList&) = delete;
    CMacroList& operator=(const CMacroList&) = delete;
    virtual ~CMacroList();

    // Null when a macro of that name exists (compared ignoring case, after the cut to 255).
    CMacro* AddMacro(const wchar_t* name, const std::vector<MacroEvent>& events = {});
    CMacro* FindMacro(const wchar_t* name) const;
    // Takes this very object out of the list and deletes it; other pointers change nothing.
    void RemoveMacro(CMacro* macro);
    void Clear();
};

class CPredefinedMacroList {
public:
    CPredefinedMacroList();
    virtual ~CPredefinedMacroList() = default;

    // The name is looked up in the key-combination vocabulary (ignoring case); the out list is
    // replaced by the macro's events. An unknown name answers false and leaves the list alone.
    bool FindPredefinedMacro(const wchar_t* name, std::vector<MacroEvent>& out) const;
    // Key-combination names of the first table ("$cut" .. "$save") and of the second
    // ("$swapwindows" .. "$zoomout"), in ascending id order.
    void ListPredefinedMacros(std::vector<std::wstring>& out) const;
    void ListPredefinedMacros2(std::vector<std::wstring>& out) const;

private:
    std::map<int32_t, std::vector<MacroEvent>> m_first;   // ids 1..9
    std::map<int32_t, std::vector<MacroEvent>> m_second;  // ids 10..17
    std::map<int32_t, MacroEvent> m_keyEvents;            // numbers 1..40
};

extern const CPredefinedMacroList PredefinedMacros;
