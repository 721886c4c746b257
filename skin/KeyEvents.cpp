#include "skin/KeyEvents.h"
#include <cwctype>
#include "skin/Vocabulary.h"

namespace vt::skin {

namespace {
int SysKeyName(LONG l, wchar_t* b, int n) { return GetKeyNameTextW(l, b, n); }
UINT SysMapVirtualKey(UINT c, UINT t) { return MapVirtualKeyW(c, t); }
SHORT SysVkKeyScan(wchar_t c) { return VkKeyScanW(c); }
KeyNameSystem g_system{&SysKeyName, &SysMapVirtualKey, &SysVkKeyScan};
} // namespace

void SetKeyNameSystem(const KeyNameSystem& s) {
    ResetKeyNameSystem();
    if (s.getKeyNameText) g_system.getKeyNameText = s.getKeyNameText;
    if (s.mapVirtualKey) g_system.mapVirtualKey = s.mapVirtualKey;
    if (s.vkKeyScan) g_system.vkKeyScan = s.vkKeyScan;
}

void ResetKeyNameSystem() { g_system = {&SysKeyName, &SysMapVirtualKey, &SysVkKeyScan}; }

std::wstring GetKeyDisplayName(uint16_t vk, uint16_t scan, bool extended) {
    LONG l = LONG(scan) << 16;
    if (extended || vk == VK_NUMLOCK || vk == 0xC2) l |= 1 << 24;
    wchar_t buffer[41] = {};
    int n = g_system.getKeyNameText(l, buffer, 41);
    if (n > 0) return std::wstring(buffer, size_t(n > 40 ? 40 : n));
    if (const wchar_t* shortName = GetShortKeyName(vk); shortName && *shortName) return shortName;
    UINT ch = g_system.mapVirtualKey(vk, MAPVK_VK_TO_CHAR) & 0xFF;
    if (!ch) return {};
    wchar_t c = wchar_t(ch);
    if (c >= L'a' && c <= L'z') c = wchar_t(std::towupper(c));
    return std::wstring(1, c);
}

bool RawKeyToKeyEvent(KeyEventRecord& r, const RAWKEYBOARD* in) {
    if (!in) return false;
    r.scanCode = r.virtualKey = 0;
    r.direction = r.flags = 0;
    r.reserved[0] = r.reserved[1] = 0;
    if (in->MakeCode == 0 || (in->Flags & RI_KEY_E1)) return false;
    const bool e0 = (in->Flags & RI_KEY_E0) != 0;
    if (e0 && in->VKey == 255) return false;
    if (in->VKey != 255) r.workingVirtualKey = in->VKey;
    r.workingScanCode = in->MakeCode;
    r.scanCode = in->MakeCode;
    r.virtualKey = r.workingVirtualKey;
    r.flags = e0 ? 1 : 0;
    r.direction = (in->Flags & RI_KEY_BREAK) ? 1 : 255;
    r.displayName = GetKeyDisplayName(r.virtualKey, r.scanCode, e0);
    return true;
}

void FillKeyEventFromMessage(const MSG& msg, KeyEventRecord& r) {
    const LPARAM data = msg.lParam;
    const uint16_t scan = uint16_t((data >> 16) & 0xFF);
    const bool extended = (data >> 24) & 1;
    uint16_t vk = uint16_t(msg.wParam);
    switch (vk) {
    case VK_CONTROL: vk = extended ? VK_RCONTROL : VK_LCONTROL; break;
    case VK_SHIFT: vk = scan == 0x36 ? VK_RSHIFT : VK_LSHIFT; break;
    case VK_MENU: vk = extended ? VK_RMENU : VK_LMENU; break;
    case VK_RETURN: if (extended) vk = VK_SEPARATOR; break;
    default: break;
    }
    r.scanCode = scan;
    r.virtualKey = vk;
    r.workingScanCode = scan;
    r.workingVirtualKey = vk;
    r.direction = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) ? 255 : 1;
    r.flags = uint8_t((extended ? 1 : 0) | (((data >> 29) & 1) ? 2 : 0));
    const UINT ch = g_system.mapVirtualKey(vk, MAPVK_VK_TO_CHAR) & 0xFF;
    if (ch) {
        const SHORT scanResult = g_system.vkKeyScan(wchar_t(ch));
        if (scanResult != -1) {
            const BYTE shift = HIBYTE(scanResult);
            if (shift & 1) r.flags |= 8;
            if (shift & 2) r.flags |= 4;
            if (shift & 4) r.flags |= 2;
        }
    }
    r.displayName = GetKeyDisplayName(r.virtualKey, r.scanCode, extended);
}

int KeyMessageToKeyEvent(const MSG& msg, KeyEventRecord& r) {
    const UINT m = msg.message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return 1;
    if ((m == WM_KEYDOWN || m == WM_SYSKEYDOWN) && ((msg.lParam >> 30) & 1)) return 1;   // auto-repeat
    FillKeyEventFromMessage(msg, r);
    if (m == WM_KEYDOWN) {
        switch (msg.wParam) {
        case VK_BACK: case VK_TAB: case VK_PAUSE: case VK_CAPITAL: case VK_SPACE: case VK_HOME:
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_LWIN: case VK_RWIN: case VK_APPS:
        case VK_NUMLOCK: case VK_SCROLL:
            return 1;
        default: break;
        }
    }
    return 0;
}

} // namespace vt::skin
