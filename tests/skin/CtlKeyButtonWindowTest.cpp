// On-screen keyboard keys, profile buttons and animation buttons built from a page file.
#include <windows.h>
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/KeyItem.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "skin/ProfileButton.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {
std::vector<LONG> g_nameRequests;
int FakeKeyName(LONG l, wchar_t* b, int n) {
    g_nameRequests.push_back(l);
    const unsigned scan = unsigned((l >> 16) & 0xFF);
    if (scan == 0x1E) return swprintf(b, n, L"&");
    return swprintf(b, n, L"Key%02X", scan);
}

class CtlKeyButtonWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    void SetUp() override {
        g_keyNameOf = &FakeKeyName;
        g_nameRequests.clear();
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(420, 160));
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsKeys.xml", owner));
        PumpMessages();
    }
    void TearDown() override {
        DeleteAllItems(items);
        g_keyNameOf = nullptr;
        WindowTest::TearDown();
    }
    template <class T> T* Find(const wchar_t* name) {
        return static_cast<T*>(FindItem(items, FindControlIdByName(name)));
    }
};
} // namespace

TEST_F(CtlKeyButtonWindowTest, KeysBindToTheirRecords) {
    auto* a = Find<CKeyboardKeyItem>(L"BITMAP_KB_A");
    auto* ctrl = Find<CKeyboardKeyItem>(L"BITMAP_KB_RTCTRL");
    auto* num = Find<CKeyboardKeyItem>(L"BITMAP_KB_NUMLK");
    auto* unbound = Find<CKeyboardKeyItem>(L"BITMAP_KB_S");
    ASSERT_TRUE(a && ctrl && num && unbound);
    EXPECT_EQ(a->m_kind, kKindKeyboardKey);
    EXPECT_TRUE(GetWindowLongPtrW(*a, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(a->m_scanCode, 0x1E);
    EXPECT_EQ(a->m_extended, 0);
    EXPECT_EQ(a->m_label, L"&&");             // one ampersand in the tooltip
    EXPECT_FALSE(a->m_caption.empty());
    EXPECT_EQ(ctrl->m_scanCode, 0x1D);
    EXPECT_EQ(ctrl->m_extended, 1);
    EXPECT_EQ(ctrl->m_label, L"Key1D");
    EXPECT_EQ(num->m_label, L"Num");          // the tooltip attribute wins
    EXPECT_EQ(unbound->m_scanCode, -1);
    EXPECT_EQ(unbound->m_virtualKey, -1);
    ASSERT_EQ(g_nameRequests.size(), 2u);
    EXPECT_EQ(g_nameRequests[0] & (1 << 24), 0);
    EXPECT_NE(g_nameRequests[1] & (1 << 24), 0);
}

TEST_F(CtlKeyButtonWindowTest, KeysReportHoverAndPressWithoutToggling) {
    const wchar_t* names[] = {L"BITMAP_KB_A", L"BITMAP_KB_RTCTRL", L"BITMAP_KB_NUMLK"};
    for (const wchar_t* n : names) SendMessageW(*Find<CKeyboardKeyItem>(n), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ReleaseCapture();
    auto hovers = owner.Of(WM_KEY_ITEM_HOVER);
    ASSERT_GE(hovers.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(hovers[size_t(i)].lParam, FindControlIdByName(names[i]));
    auto* a = Find<CKeyboardKeyItem>(L"BITMAP_KB_A");
    owner.messages.clear();
    ClickClient(*a, 10, 10);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_COMMAND) >= 1; }));
    ASSERT_GE(owner.messages.size(), 2u);
    EXPECT_EQ(owner.Of(WM_KEY_ITEM_PRESSED).size(), 1u);
    EXPECT_EQ(owner.Of(WM_KEY_ITEM_PRESSED)[0].lParam, FindControlIdByName(L"BITMAP_KB_A"));
    size_t pressed = 0, command = 0;
    for (size_t i = 0; i < owner.messages.size(); ++i) {
        if (owner.messages[i].msg == WM_KEY_ITEM_PRESSED) pressed = i;
        if (owner.messages[i].msg == WM_COMMAND) command = i;
    }
    EXPECT_LT(pressed, command);
    EXPECT_EQ(a->Checked(), 0);
    // Image choice: a disabled key never shows its over image.
    a->m_highlight = 1;
    EXPECT_EQ(a->ChooseImage(false), CKeyboardKeyItem::Image::Over);
    EXPECT_EQ(a->ChooseImage(true), CKeyboardKeyItem::Image::Normal);
    a->SetChecked(1);
    EXPECT_EQ(a->ChooseImage(true), CKeyboardKeyItem::Image::Down);
    Capture cap = CaptureClient(owner);
    cap.SaveBmp(OutputPath(L"ctl_keys.bmp"));
}

TEST_F(CtlKeyButtonWindowTest, ProfileButtonToggleColumnsAndAnimation) {
    auto* p = Find<CProfileBtn>(L"BUTTON_PROFILE01");
    ASSERT_TRUE(p);
    EXPECT_EQ(FindItem(items, FindControlIdByName(L"BUTTON_PROFILE02")), nullptr);   // the first only
    EXPECT_EQ(p->m_kind, kKindProfileBtn);
    EXPECT_EQ(p->m_over, 0);
    EXPECT_EQ(p->ChooseState(false, false), 0);
    EXPECT_EQ(p->m_tooltip.Text(), L"Profile & more");
    p->m_columns[0] = L"Default profile with a very long name";
    p->m_columns[1] = L"800 DPI";
    InvalidateRect(*p, nullptr, FALSE);
    RECT c{0, 0, 300, 30};
    EXPECT_EQ(CProfileBtn::ColumnRect(c, 0).left, 5);
    EXPECT_EQ(CProfileBtn::ColumnRect(c, 0).right, 55);
    EXPECT_EQ(CProfileBtn::ColumnRect(c, 1).left, 60);
    EXPECT_EQ(CProfileBtn::ColumnRect(c, 2).left, 165);
    // Not a toggle: the system button's click.
    ClickClient(*p, 100, 15);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(HIWORD(owner.Of(WM_COMMAND)[0].wParam), BN_CLICKED);
    EXPECT_EQ(p->m_checked, 0);
    p->m_toggle = 1;
    SendMessageW(*p, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(p->m_checked, 1);
    ASSERT_EQ(owner.Count(WM_COMMAND), 2u);
    EXPECT_EQ(LOWORD(owner.Of(WM_COMMAND)[1].wParam), FindControlIdByName(L"BUTTON_PROFILE01"));
    EXPECT_EQ(owner.Of(WM_COMMAND)[1].lParam, LPARAM(p->Hwnd()));
    EXPECT_EQ(p->ChooseState(false, false), 2);
    SendMessageW(*p, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(p->m_checked, 0);

    auto* avi = Find<CAVIButton>(L"BUTTON_AVI");
    ASSERT_TRUE(avi);
    EXPECT_EQ(avi->m_video, L"missing.avi");
    EXPECT_EQ(avi->m_sound, L"click.wav");
    SendMessageW(*avi, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    HWND anim = avi->Animation();
    EXPECT_NE(anim, nullptr);
    EXPECT_FALSE(avi->Started());   // the clip did not open: the still picture stays
    SendMessageW(*avi, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    EXPECT_EQ(avi->Animation(), anim);
}
