#pragma once
// The system calls behind keyboard layouts and key names, in one place so that tests can put fixed
// answers in their stead (under Wine, process-wide layout activation fails, unloading is a stub and
// key names are the X server's names).
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vt::skin {

class KeyboardSystem {
public:
    virtual ~KeyboardSystem() = default;
    virtual HKL LoadLayout(const wchar_t* layoutName, UINT flags) { return ::LoadKeyboardLayoutW(layoutName, flags); }
    virtual HKL ActivateLayout(HKL layout, UINT flags) { return ::ActivateKeyboardLayout(layout, flags); }
    virtual BOOL UnloadLayout(HKL layout) { return ::UnloadKeyboardLayout(layout); }
    // GetKeyNameTextW: lParam holds the scan code in bits 16..23 and the extended bit 24.
    virtual int KeyNameText(LONG lParam, wchar_t* buffer, int size) { return ::GetKeyNameTextW(lParam, buffer, size); }
    virtual UINT MapVirtualKey(UINT code, UINT mapType, HKL layout) { return ::MapVirtualKeyExW(code, mapType, layout); }
};

// The keyboard system in use: the system's own unless a test has put another in place.
KeyboardSystem& CurrentKeyboardSystem();
// Puts a keyboard system in place (null: the system's own again); returns the one it replaces
// (null when that was the system's own). The caller keeps ownership.
KeyboardSystem* SetKeyboardSystem(KeyboardSystem* system);

// A keyboard system with fixed answers, for tests: layouts are numbered handles, key names come from
// a table keyed by the GetKeyNameText argument (scan code << 16 | extended << 24), and virtual keys
// from a table keyed by {code, map type}. Every layout call is recorded.
class FixedKeyboardSystem : public KeyboardSystem {
public:
    struct Call {
        char op;           // 'L' load, 'A' activate, 'U' unload
        std::wstring name; // layout name of a load
        HKL layout;        // handle of an activation or unload
        UINT flags;
    };
    std::vector<Call> calls;
    bool activateFails = false;  // as under Wine: activation answers null
    BOOL unloadResult = TRUE;
    std::map<LONG, std::wstring> keyNames;
    std::map<std::pair<UINT, UINT>, UINT> virtualKeys;

    HKL LoadLayout(const wchar_t* layoutName, UINT flags) override;
    HKL ActivateLayout(HKL layout, UINT flags) override;
    BOOL UnloadLayout(HKL layout) override;
    int KeyNameText(LONG lParam, wchar_t* buffer, int size) override;
    UINT MapVirtualKey(UINT code, UINT mapType, HKL layout) override;

    HKL active = reinterpret_cast<HKL>(0x04090409);  // the "system" layout before any activation
    // Handle that a load of this layout name gives (the name read as hexadecimal, never null).
    static HKL HandleFor(const wchar_t* layoutName);
};

} // namespace vt::skin
