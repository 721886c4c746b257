// The macro display built from a page file: loading, recording from raw input records, delay editing,
// commands and what it reports.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <cstring>
#include "CtlTestSupport.h"
#include "skin/MacroDisplay.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/RawInput.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {
DWORD g_clock = 1000;
DWORD Clock() { return g_clock; }
int FakeName(LONG l, wchar_t* b, int n) {
    swprintf(b, n, L"K%02X%s", unsigned((l >> 16) & 0xFF), (l & (1 << 24)) ? L"e" : L"");
    return int(wcslen(b));
}

MacroEvent Key(uint16_t scan, uint16_t vk, uint8_t dir, uint8_t flags = 0) {
    MacroEvent e{};
    e.type = 0;
    std::memcpy(e.data, &scan, 2);
    std::memcpy(e.data + 2, &vk, 2);
    e.data[4] = dir;
    e.data[5] = flags;
    return e;
}
MacroEvent Delay(int32_t ms) {
    MacroEvent e{};
    e.type = 2;
    std::memcpy(e.data, &ms, 4);
    std::memcpy(e.data + 4, &ms, 4);
    return e;
}
MacroEvent Mouse(int32_t button, int32_t transition) {
    MacroEvent e{};
    e.type = 1;
    std::memcpy(e.data, &button, 4);
    std::memcpy(e.data + 4, &transition, 4);
    return e;
}
int32_t DelayOf(const MacroEvent& e) {
    int32_t v;
    std::memcpy(&v, e.data, 4);
    return v;
}
RAWINPUT RawKey(USHORT make, USHORT vk, USHORT flags) {
    RAWINPUT r{};
    r.header.dwType = RIM_TYPEKEYBOARD;
    r.data.keyboard.MakeCode = make;
    r.data.keyboard.VKey = vk;
    r.data.keyboard.Flags = flags;
    return r;
}
RAWINPUT RawButton(USHORT flags) {
    RAWINPUT r{};
    r.header.dwType = RIM_TYPEMOUSE;
    r.data.mouse.usButtonFlags = flags;
    return r;
}

class CtlMacroDisplayWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    CMacroDisplayItem* md = nullptr;
    void SetUp() override {
        SetKeyNameSystem({&FakeName, nullptr, nullptr});
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(300, 300));
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsMacro.xml", owner));
        ASSERT_EQ(items.Count(), 1u);
        md = static_cast<CMacroDisplayItem*>(items.At(0));
        ASSERT_EQ(md->m_kind, kKindMacroDisplay);
        md->m_now = &Clock;
        g_clock = 1000;
    }
    void TearDown() override {
        DeleteAllItems(items);
        UnregisterRawInput();
        ResetKeyNameSystem();
        WindowTest::TearDown();
    }
    size_t Changed() const { return owner.Count(WM_MACRO_EVENTS_CHANGED); }
};
} // namespace

TEST_F(CtlMacroDisplayWindowTest, LoadShowsRowsAndSkipsUnknownEvents) {
    MacroEvent unknown{};
    unknown.type = 9;
    std::vector<MacroEvent> events{Key(0x1E, 'A', 255), Delay(50), Key(0x1E, 'A', 1), Mouse(1, 255), unknown, Mouse(99, 1)};
    ASSERT_TRUE(md->LoadEvents(&events));
    ASSERT_EQ(md->RowCount(), 5);
    EXPECT_EQ(md->Events().size(), 5u);
    EXPECT_EQ(md->RowKind(0), kRowKeyPress);
    EXPECT_EQ(md->RowKind(1), kRowDelay);
    EXPECT_EQ(md->RowKind(2), kRowKeyRelease);
    EXPECT_EQ(md->RowKind(3), kRowMouse);
    EXPECT_EQ(md->RowText(0), L"K1E");
    EXPECT_EQ(md->RowText(1).substr(0, 5), L"0.050");
    EXPECT_EQ(md->RowText(3), L"$LeftButtonDown");
    EXPECT_EQ(md->RowText(4), L"<null>Up");
    EXPECT_FALSE(md->LoadEvents(nullptr));
    std::vector<MacroEvent> none;
    EXPECT_FALSE(md->LoadEvents(&none));
    EXPECT_EQ(md->RowCount(), 0);
    EXPECT_EQ(Changed(), 0u);
    md->LoadEvents(&events);
    PumpMessages();
    Capture cap = CaptureClient(md->Frame());
    cap.SaveBmp(OutputPath(L"ctl_macro.bmp"));
}

TEST_F(CtlMacroDisplayWindowTest, RecordingTimingRepeatsAndLeftRightKeys) {
    ASSERT_TRUE(md->ToggleRecording());
    md->ProcessRawInput(RawKey(0x1D, VK_CONTROL, 0));                // left Ctrl down: no delay before it
    g_clock += 120;
    md->ProcessRawInput(RawKey(0x1D, VK_CONTROL, 0));                // auto-repeat: dropped
    md->ProcessRawInput(RawKey(0x1D, VK_CONTROL, RI_KEY_E0));        // right Ctrl down: a key of its own
    g_clock += 30;
    md->ProcessRawInput(RawButton(RI_MOUSE_LEFT_BUTTON_DOWN));
    g_clock += 0x2000000;
    md->ProcessRawInput(RawKey(0x1D, VK_CONTROL, RI_KEY_BREAK));
    md->ProcessRawInput(RawKey(0, VK_CONTROL, 0));                   // no make code: no key
    const auto& ev = md->Events();
    ASSERT_EQ(ev.size(), 7u);
    EXPECT_EQ(ev[0].type, 0);
    EXPECT_EQ(ev[1].type, 2);
    EXPECT_EQ(DelayOf(ev[1]), 120);
    EXPECT_EQ(ev[2].data[5], 1);   // E0: extended
    EXPECT_EQ(DelayOf(ev[3]), 30);
    EXPECT_EQ(ev[4].type, 1);
    int32_t button;
    std::memcpy(&button, ev[4].data, 4);
    EXPECT_EQ(button, 1);
    EXPECT_EQ(DelayOf(ev[5]), 0xFFFFFF);   // capped
    EXPECT_EQ(ev[6].data[4], 1);           // release
    EXPECT_FALSE(md->ToggleRecording());
    EXPECT_EQ(Changed(), 0u);
    // A key still held when recording stopped is recorded in the next session; fixed delays.
    md->ClearEvents();
    md->m_fixedDelayOn = 1;
    ASSERT_TRUE(md->ToggleRecording());
    md->ProcessRawInput(RawKey(0x1D, VK_CONTROL, RI_KEY_E0));
    g_clock += 999;
    md->ProcessRawInput(RawKey(0x2A, VK_SHIFT, 0));
    md->ToggleRecording();
    ASSERT_EQ(md->Events().size(), 3u);
    EXPECT_EQ(DelayOf(md->Events()[1]), 50);
    // Not recording: records are ignored.
    md->ProcessRawInput(RawKey(0x2C, 'Z', 0));
    EXPECT_EQ(md->Events().size(), 3u);
}

TEST_F(CtlMacroDisplayWindowTest, RecordingRefusedWhenInputCannotBeRegistered) {
    ASSERT_TRUE(AddRawInputUsage(kRawUsageKeyboard));
    ASSERT_TRUE(RegisterRawInput(owner));   // someone else holds the registration
    EXPECT_FALSE(md->ToggleRecording());
    EXPECT_FALSE(md->IsRecording());
    UnregisterRawInput();
    md->m_readOnly = 1;
    EXPECT_FALSE(md->ToggleRecording());
}

TEST_F(CtlMacroDisplayWindowTest, DelayEditRoundTripAndCancel) {
    for (int ms : {50, 290, 1001, 16777215}) {
        std::vector<MacroEvent> events{Key(0x1E, 'A', 255), Delay(ms)};
        md->LoadEvents(&events);
        md->SelectRow(1);
        ASSERT_TRUE(md->BeginDelayEdit());
        wchar_t shown[16];
        GetWindowTextW(md->DelayEditor(), shown, 16);
        EXPECT_EQ(std::wstring(shown), std::to_wstring(ms));
        SendMessageW(md->DelayEditor(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(DelayOf(md->Events()[1]), ms) << ms;
    }
    owner.messages.clear();
    md->SelectRow(1);
    ASSERT_TRUE(md->BeginDelayEdit());
    SetWindowTextW(md->DelayEditor(), L"777");
    SendMessageW(md->DelayEditor(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(DelayOf(md->Events()[1]), 16777215);
    EXPECT_EQ(Changed(), 0u);
    EXPECT_NE(md->RowText(1), L"");
    for (const wchar_t* typed : {L"", L"0"}) {
        md->SelectRow(1);
        ASSERT_TRUE(md->BeginDelayEdit());
        SetWindowTextW(md->DelayEditor(), typed);
        SendMessageW(md->DelayEditor(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(DelayOf(md->Events()[1]), 16777215);
    }
    md->SelectRow(1);
    ASSERT_TRUE(md->BeginDelayEdit());
    SetWindowTextW(md->DelayEditor(), L"250");
    SendMessageW(md->DelayEditor(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(DelayOf(md->Events()[1]), 250);
    EXPECT_EQ(Changed(), 3u);
    md->SelectRow(0);
    EXPECT_FALSE(md->BeginDelayEdit());   // not a delay row
}

TEST_F(CtlMacroDisplayWindowTest, CommandsInsertDeleteEditAndReplace) {
    std::vector<MacroEvent> events{Key(0x1E, 'A', 255), Key(0x1E, 'A', 1), Mouse(2, 255)};
    md->LoadEvents(&events);
    md->SelectRow(-1);
    md->RunMacroCommand(L"$insertdelay");
    ASSERT_EQ(md->Events().size(), 4u);
    EXPECT_EQ(md->Events()[0].type, 2);
    EXPECT_EQ(md->FirstSelected(), 0);
    md->SelectRow(1);
    md->RunMacroCommand(L"$InsertDelay");
    EXPECT_EQ(md->Events()[2].type, 2);
    EXPECT_EQ(md->FirstSelected(), 2);
    EXPECT_EQ(Changed(), 2u);
    md->SelectRow(4);
    md->RunMacroCommand(L"$Delete");   // the last row: nothing after it to select
    EXPECT_EQ(md->Events().size(), 4u);
    EXPECT_EQ(md->FirstSelected(), -1);
    md->RunMacroCommand(L"$Delete");   // nothing selected: nothing deleted, still reported
    EXPECT_EQ(md->Events().size(), 4u);
    EXPECT_EQ(Changed(), 4u);
    md->SelectRow(1);
    md->RunMacroCommand(L"$Edit");
    EXPECT_EQ(owner.Count(WM_MACRO_EDIT_KEY), 1u);
    EXPECT_EQ(owner.Of(WM_MACRO_EDIT_KEY)[0].lParam, md->m_controlId);
    EXPECT_TRUE(md->ReplaceEventAt(1, Mouse(3, 1)));
    EXPECT_EQ(md->RowKind(1), kRowMouse);
    EXPECT_EQ(Changed(), 5u);
    EXPECT_FALSE(md->ReplaceEventAt(9, Mouse(3, 1)));
    md->SelectRow(1);
    md->RunMacroCommand(L"$Edit");   // a mouse row: nothing
    EXPECT_EQ(owner.Count(WM_MACRO_EDIT_KEY), 1u);
    EXPECT_FALSE(md->IsEditingDelay());
}

TEST_F(CtlMacroDisplayWindowTest, RecordsRealKeysAndButtonsThroughRawInput) {
    md->m_now = nullptr;
    SetForegroundWindow(owner);
    PumpMessages();
    ASSERT_TRUE(md->ToggleRecording());
    PressKey('B');
    ClickClient(owner, 290, 290);
    ASSERT_TRUE(PumpUntil([&] { return md->Events().size() >= 7; }));
    EXPECT_FALSE(md->ToggleRecording());
    const auto& ev = md->Events();
    // B down, delay, B up, delay, left button down, delay, left button up.
    EXPECT_EQ(ev[0].type, 0);
    EXPECT_EQ(ev[0].data[4], 255);
    EXPECT_EQ(ev[2].type, 0);
    EXPECT_EQ(ev[2].data[4], 1);
    EXPECT_EQ(ev[4].type, 1);
    EXPECT_EQ(ev[6].type, 1);
    EXPECT_EQ(ev[1].type, 2);
    EXPECT_EQ(md->RowKind(0), kRowKeyPress);
}
