#pragma once
// Key input turned into the key part of a macro event with a display name: from raw keyboard input
// (the macro display's recording, the single-key field) or from key messages.
#include <windows.h>
#include <cstdint>
#include <string>

namespace vt::skin {

struct KeyEventRecord {
    // The 8 key bytes of a macro event.
    uint16_t scanCode = 0;
    uint16_t virtualKey = 0;
    uint8_t direction = 0;   // 255 press, 1 release
    uint8_t flags = 0;       // bit 0 extended, 1 Alt, 2 Ctrl, 3 Shift
    uint8_t reserved[2]{};
    std::wstring displayName;
    uint16_t workingVirtualKey = 0;   // survives between raw records
    uint16_t workingScanCode = 0;
};

// The system calls behind key names; tests replace them (X key maps name keys their own way).
struct KeyNameSystem {
    int (*getKeyNameText)(LONG lParam, wchar_t* buffer, int size) = nullptr;
    UINT (*mapVirtualKey)(UINT code, UINT mapType) = nullptr;
    SHORT (*vkKeyScan)(wchar_t ch) = nullptr;
};
void SetKeyNameSystem(const KeyNameSystem& system);   // a null member keeps the system's own call
void ResetKeyNameSystem();

// True when the record is a real key to record: make code not 0, no E1 prefix, and not an E0 record with
// virtual key 255. Fills the 8 key bytes and the display name.
bool RawKeyToKeyEvent(KeyEventRecord& record, const RAWKEYBOARD* input);
// 1: the caller consumes the message. Converts key-down, key-up, system key-down and -up messages.
int KeyMessageToKeyEvent(const MSG& msg, KeyEventRecord& record);
void FillKeyEventFromMessage(const MSG& msg, KeyEventRecord& record);
std::wstring GetKeyDisplayName(uint16_t virtualKey, uint16_t scanCode, bool extended);

} // namespace vt::skin
