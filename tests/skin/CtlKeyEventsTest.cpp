// Key events from raw keyboard records and from key messages.
#include <gtest/gtest.h>
#include "skin/KeyEvents.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;

namespace {
int FakeName(LONG l, wchar_t* b, int n) {
    swprintf(b, n, L"K%02X%s", unsigned((l >> 16) & 0xFF), (l & (1 << 24)) ? L"e" : L"");
    return int(wcslen(b));
}
int NoName(LONG, wchar_t*, int) { return 0; }
UINT FakeMap(UINT vk, UINT) { return vk >= 'A' && vk <= 'Z' ? vk + 32 : 0; }
SHORT FakeScan(wchar_t c) { return c == L'a' ? SHORT(0x0141) : SHORT(-1); }

class CtlKeyEventsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override { SetKeyNameSystem({&FakeName, &FakeMap, &FakeScan}); }
    void TearDown() override { ResetKeyNameSystem(); }
    static MSG Key(UINT message, WPARAM vk, int scan, bool extended = false, bool repeat = false) {
        MSG m{};
        m.message = message;
        m.wParam = vk;
        m.lParam = LPARAM((scan << 16) | (extended ? 1 << 24 : 0) | (repeat ? 1 << 30 : 0) |
                          (message == WM_KEYUP || message == WM_SYSKEYUP ? (1u << 31) | (1 << 30) : 0) | 1);
        return m;
    }
};
} // namespace

TEST_F(CtlKeyEventsTest, RawRecords) {
    KeyEventRecord r;
    RAWKEYBOARD k{};
    k.MakeCode = 0x1D;
    k.VKey = VK_CONTROL;
    k.Flags = RI_KEY_E0;
    ASSERT_TRUE(RawKeyToKeyEvent(r, &k));
    EXPECT_EQ(r.scanCode, 0x1D);
    EXPECT_EQ(r.virtualKey, VK_CONTROL);   // raw input keeps the raw virtual key
    EXPECT_EQ(r.flags, 1);
    EXPECT_EQ(r.direction, 255);
    EXPECT_EQ(r.displayName, L"K1De");
    // Virtual key 255 keeps the previous one (not with E0).
    k.Flags = RI_KEY_BREAK;
    k.VKey = 255;
    ASSERT_TRUE(RawKeyToKeyEvent(r, &k));
    EXPECT_EQ(r.virtualKey, VK_CONTROL);
    EXPECT_EQ(r.direction, 1);
    k.Flags = RI_KEY_E0;
    EXPECT_FALSE(RawKeyToKeyEvent(r, &k));
    k.VKey = 'A';
    k.Flags = RI_KEY_E1;
    EXPECT_FALSE(RawKeyToKeyEvent(r, &k));
    k.Flags = 0;
    k.MakeCode = 0;
    EXPECT_FALSE(RawKeyToKeyEvent(r, &k));
    EXPECT_FALSE(RawKeyToKeyEvent(r, nullptr));
}

TEST_F(CtlKeyEventsTest, MessagesTellLeftAndRightApart) {
    struct Case { WPARAM vk; int scan; bool ext; uint16_t expected; } cases[] = {
        {VK_CONTROL, 0x1D, false, VK_LCONTROL}, {VK_CONTROL, 0x1D, true, VK_RCONTROL},
        {VK_SHIFT, 0x2A, false, VK_LSHIFT},     {VK_SHIFT, 0x36, false, VK_RSHIFT},
        {VK_MENU, 0x38, false, VK_LMENU},       {VK_MENU, 0x38, true, VK_RMENU},
        {VK_RETURN, 0x1C, true, VK_SEPARATOR},  {VK_RETURN, 0x1C, false, VK_RETURN},
    };
    for (const auto& c : cases) {
        KeyEventRecord r;
        EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_KEYDOWN, c.vk, c.scan, c.ext), r), 0);
        EXPECT_EQ(r.virtualKey, c.expected) << c.vk << " " << c.ext;
        EXPECT_EQ(r.direction, 255);
    }
    KeyEventRecord r;
    EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_KEYUP, VK_SHIFT, 0x36), r), 0);
    EXPECT_EQ(r.virtualKey, VK_RSHIFT);
    EXPECT_EQ(r.direction, 1);
}

TEST_F(CtlKeyEventsTest, ConsumedKeysRepeatsAndOtherMessages) {
    KeyEventRecord r;
    EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_KEYDOWN, VK_SPACE, 0x39), r), 1);
    EXPECT_EQ(r.virtualKey, VK_SPACE);   // converted, then consumed
    EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_KEYUP, VK_SPACE, 0x39), r), 0);
    r = {};
    EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_KEYDOWN, 'A', 0x1E, false, true), r), 1);
    EXPECT_EQ(r.virtualKey, 0);   // a repeat is not converted
    MSG other{};
    other.message = WM_CHAR;
    EXPECT_EQ(KeyMessageToKeyEvent(other, r), 1);
    EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_SYSKEYDOWN, VK_LEFT, 0x4B, true), r), 0);
    // The character of A needs Shift on the fake layout: flag bit 3.
    EXPECT_EQ(KeyMessageToKeyEvent(Key(WM_KEYDOWN, 'A', 0x1E), r), 0);
    EXPECT_EQ(r.flags & 8, 8);
}

TEST_F(CtlKeyEventsTest, DisplayNameFallbacks) {
    EXPECT_EQ(GetKeyDisplayName(VK_NUMLOCK, 0x45, false), L"K45e");
    SetKeyNameSystem({&NoName, &FakeMap, &FakeScan});
    const wchar_t* shortName = GetShortKeyName(VK_F1);
    if (shortName && *shortName) EXPECT_EQ(GetKeyDisplayName(VK_F1, 0x3B, false), shortName);
    EXPECT_EQ(GetKeyDisplayName('Q', 0x10, false), GetShortKeyName('Q') && *GetShortKeyName('Q') ? std::wstring(GetShortKeyName('Q')) : L"Q");
    EXPECT_EQ(GetKeyDisplayName(0xE8, 0, false), L"");
}
