// The colour palette control and the colour button with its popup palette.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/ColourButton.h"
#include "skin/ColourPalette.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

class CtlColourWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    void SetUp() override {
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(300, 200));
    }
    static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
};

COLORREF g_dialogColour = 0;
bool g_dialogOk = true;
bool FakeChooseColour(HWND, COLORREF& c) {
    if (g_dialogOk) c = g_dialogColour;
    return g_dialogOk;
}

} // namespace

TEST_F(CtlColourWindowTest, PaletteKeysWrapAndPreview) {
    CFODropColorPaletteControl p;
    p.Initialize(owner, RGB(1, 2, 3), RECT{0, 0, 200, 150}, 0);
    EXPECT_EQ(p.CurrentIndex(), -1);
    p.OnKeyDown(VK_RIGHT);   // no cell holds the colour: from cell 0
    EXPECT_EQ(p.CurrentIndex(), 1);
    PumpMessages();
    auto picked = owner.Of(WM_PALETTE_COLOR_PICKED);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].wParam, WPARAM(kPaletteColours[0][1]));
    EXPECT_EQ(picked[0].lParam, 100);
    struct Case { int from; UINT key; int to; } cases[] = {
        {47, VK_RIGHT, 0}, {7, VK_RIGHT, 8}, {0, VK_LEFT, 0}, {8, VK_LEFT, 7},
        {42, VK_DOWN, 2}, {3, VK_UP, 43}, {10, VK_DOWN, 18},
    };
    for (auto c : cases) {
        p.m_current = p.m_cells[c.from].m_colour;
        p.OnKeyDown(c.key);
        EXPECT_EQ(p.CurrentIndex(), c.to) << c.from << " key " << c.key;
    }
    // Return and Escape do nothing without hide-on-choice.
    PumpMessages();
    owner.messages.clear();
    p.OnKeyDown(VK_RETURN);
    p.OnKeyDown(VK_ESCAPE);
    PumpMessages();
    EXPECT_TRUE(owner.messages.empty());
    p.m_hideOnChoice = 1;
    p.OnKeyDown(VK_ESCAPE);
    PumpMessages();
    ASSERT_EQ(owner.Count(WM_PALETTE_CLOSED), 1u);
    EXPECT_EQ(owner.Count(WM_PALETTE_COLOR_PICKED), 0u);
}

TEST_F(CtlColourWindowTest, PaletteMouseCellsAndCustomEntry) {
    CFODropColorPaletteControl p;
    p.Initialize(owner, 0, RECT{0, 0, 200, 150}, 0);
    EXPECT_EQ(p.m_customRect.bottom, 146);
    EXPECT_EQ(p.m_cells[0].m_rect.left, 4);
    POINT c = Centre(p.m_cells[13].m_rect);
    ASSERT_NE(p.TrackPoint(c.x, c.y), nullptr);
    EXPECT_EQ(p.m_current, kPaletteColours[1][5]);
    p.OnButtonUp(c.x, c.y);
    POINT e = Centre(p.m_customRect);
    EXPECT_EQ(p.TrackPoint(e.x, e.y), nullptr);
    p.PressCustomEntry(e);
    EXPECT_EQ(p.m_customPressed, 1);
    p.OnButtonUp(e.x, e.y);
    PumpMessages();
    auto picked = owner.Of(WM_PALETTE_COLOR_PICKED);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].lParam, 0);
    auto custom = owner.Of(WM_PALETTE_CUSTOM_COLOR);
    ASSERT_EQ(custom.size(), 1u);
    EXPECT_EQ(custom[0].wParam, WPARAM(kPaletteColours[1][5]));
}

TEST_F(CtlColourWindowTest, ButtonPreviewsAndEscapeClosesWithoutAPick) {
    CGUIItems items;
    ASSERT_TRUE(LoadSkinPage(items, L"ControlsColour.xml", owner));
    ASSERT_EQ(items.Count(), 1u);   // the second has no CLIST
    auto* b = static_cast<CDropdownColorButton*>(items.At(0));
    ASSERT_EQ(b->m_kind, kKindDropdownColor);
    b->SetColor(kPaletteColours[2][1]);
    PumpMessages();
    SendMessageW(*b, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ASSERT_TRUE(b->IsPaletteLive());
    HWND pal = b->Palette()->Hwnd();
    ASSERT_TRUE(IsWindowVisible(pal));
    SendMessageW(pal, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_PALETTE_COLOR_PICKED) == 1; }));
    EXPECT_EQ(owner.Of(WM_PALETTE_COLOR_PICKED)[0].wParam, 100u);
    EXPECT_EQ(COLORREF(owner.Of(WM_PALETTE_COLOR_PICKED)[0].lParam), kPaletteColours[2][2]);
    EXPECT_EQ(b->GetColor(), kPaletteColours[2][2]);
    EXPECT_TRUE(b->IsPaletteLive());
    Capture cap = CaptureClient(pal);
    cap.SaveBmp(OutputPath(L"ctl_palette.bmp"));

    owner.messages.clear();
    SendMessageW(pal, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(60, 600);
    ASSERT_EQ(owner.Count(WM_PALETTE_CLOSED), 1u);
    EXPECT_EQ(owner.Of(WM_PALETTE_CLOSED)[0].wParam, WPARAM(kPaletteColours[2][2]));
    EXPECT_EQ(owner.Of(WM_PALETTE_CLOSED)[0].lParam, FindControlIdByName(L"BUTTON_APM_CHOSEN_COLOR"));
    EXPECT_EQ(owner.Count(WM_PALETTE_COLOR_PICKED), 0u);   // no pick trails the close
    EXPECT_FALSE(b->IsPaletteLive());
    DeleteAllItems(items);
}

TEST_F(CtlColourWindowTest, ButtonPickDeactivationAndCustomDialog) {
    CDropdownColorButton b;
    b.m_controlId = 77;
    ASSERT_TRUE(b.CreateDropdown(RECT{20, 20, 80, 44}, owner, 77));
    b.m_chooseColour = &FakeChooseColour;
    b.SetColor(RGB(9, 9, 9));
    // A click on a cell: a final pick, and no change report since the live palette applied the colour.
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    HWND pal = b.Palette()->Hwnd();
    POINT c = Centre(b.Palette()->Control()->m_cells[4].m_rect);
    SendMessageW(pal, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    SendMessageW(pal, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    PumpMessages(60, 600);
    ASSERT_EQ(owner.Count(WM_PALETTE_COLOR_PICKED), 1u);
    EXPECT_EQ(owner.Of(WM_PALETTE_COLOR_PICKED)[0].wParam, 0u);
    EXPECT_EQ(COLORREF(owner.Of(WM_PALETTE_COLOR_PICKED)[0].lParam), kPaletteColours[0][4]);
    EXPECT_EQ(b.GetColor(), kPaletteColours[0][4]);
    EXPECT_EQ(owner.Count(WM_COLOR_BUTTON_CHANGED), 0u);

    // Another window taking the activation keeps the palette's current colour, once.
    owner.messages.clear();
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    pal = b.Palette()->Hwnd();
    SendMessageW(pal, WM_KEYDOWN, VK_DOWN, 0);
    SetActiveWindow(owner);
    SetForegroundWindow(owner);
    PumpMessages(60, 600);
    auto picks = owner.Of(WM_PALETTE_COLOR_PICKED);
    ASSERT_EQ(picks.size(), 2u);   // the preview, then the final pick
    EXPECT_EQ(picks[1].wParam, 0u);
    EXPECT_EQ(COLORREF(picks[1].lParam), kPaletteColours[1][4]);

    // The custom colour: OK picks the dialog's colour, Cancel closes with the palette's colour.
    owner.messages.clear();
    g_dialogOk = true;
    g_dialogColour = RGB(10, 20, 30);
    SendMessageW(b, WM_PALETTE_CUSTOM_COLOR, kPaletteColours[3][3], 0);
    PumpMessages();
    ASSERT_EQ(owner.Count(WM_PALETTE_COLOR_PICKED), 1u);
    EXPECT_EQ(COLORREF(owner.Of(WM_PALETTE_COLOR_PICKED)[0].lParam), RGB(10, 20, 30));
    EXPECT_EQ(b.GetColor(), RGB(10, 20, 30));
    g_dialogOk = false;
    SendMessageW(b, WM_PALETTE_CUSTOM_COLOR, kPaletteColours[3][3], 0);
    ASSERT_EQ(owner.Count(WM_PALETTE_CLOSED), 1u);
    EXPECT_EQ(owner.Of(WM_PALETTE_CLOSED)[0].wParam, WPARAM(kPaletteColours[3][3]));
    // A colour differing from the face without a live palette is reported as a change.
    SendMessageW(b, WM_PALETTE_COLOR_PICKED, RGB(1, 1, 1), 0);
    EXPECT_EQ(owner.Count(WM_COLOR_BUTTON_CHANGED), 1u);
    // Not enabled: no palette.
    b.m_enabled = 0;
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_FALSE(b.IsPaletteLive());
}

TEST(CtlColourPlacement, NearTheCornerOpensAboveAndRightAligned) {
    RECT work{0, 0, 1024, 768};
    RECT below = CFOPopupColorPaletteWnd::Place(0x90000001, RECT{100, 100, 160, 124}, work, 200, 150);
    EXPECT_EQ(below.left, 100);
    EXPECT_EQ(below.top, 124);
    RECT corner = CFOPopupColorPaletteWnd::Place(0x90000001, RECT{900, 700, 960, 724}, work, 200, 150);
    EXPECT_EQ(corner.top, 700 - 150);
    EXPECT_EQ(corner.right, 960);
}
