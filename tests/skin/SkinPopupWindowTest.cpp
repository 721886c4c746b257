// A popup built from its page file: size and shape from BACKGROUND and MASK, painted from the
// background, with bitmap items and push/check buttons that report clicks to the popup.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include "GuardAlloc.h"
#include "WindowTest.h"
#include "skin/BitmapBtn.h"
#include "skin/BitmapItem.h"
#include "skin/LangTable.h"
#include "skin/Panel.h"
#include "skin/UnusableFiles.h"
#include "base/ProgramFolder.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "support/SkinFixtures.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

struct Command { WORD id; WORD code; HWND control; };

// The test popup: binds its controls and records every command it receives.
class TestPopup : public CPopupBox {
public:
    explicit TestPopup(const std::wstring& page = L"SkinTestPopup.xml") : CPopupBox(page, kPopupTemplateId, nullptr) {}
    void BindItems() override {
        ++bindCount;
        auto button = [&](int id) {
            CGUIItem* item = FindItem(m_items, id);
            return item && item->m_kind == kKindBitmapBtn ? static_cast<CBitmapBtn*>(item) : nullptr;
        };
        ok = button(ctl::BUTTON_POPUP_OK);
        cancel = button(ctl::BUTTON_POPUP_CANCEL);
        autosave = button(ctl::BUTTON_CHECKBOX_AUTOSAVE);
        dpiOsd = button(ctl::BUTTON_ENABLE_DPI_OSD);
        help = button(ctl::BUTTON_HELP);
        reset = button(ctl::BUTTON_RESET);
        profile2 = button(ctl::BUTTON_PROFILE02);
        CGUIItem* w = FindItem(m_items, ctl::BITMAPWIN_ASSIGNKEY);
        keyWindow = w && w->m_kind == kKindBitmapWindow ? static_cast<CBitmapWindow*>(w) : nullptr;
        CGUIItem* card = FindItem(m_items, ctl::BITMAP_PROFILE_RECT);
        cardItem = card && card->m_kind == kKindBitmapItem ? static_cast<CBitmapItem*>(card) : nullptr;
        if (postOnInit) PostMessageW(m_hWnd, postOnInit, postWParam, 0);
    }
    int IdOf(HWND control) {
        CGUIItem* item = FindItemByWindow(m_items, control);
        return item ? item->m_controlId : -1;
    }
    std::vector<Command> commands;
    int bindCount = 0;
    UINT postOnInit = 0;
    WPARAM postWParam = 0;
    CBitmapBtn *ok = nullptr, *cancel = nullptr, *autosave = nullptr, *dpiOsd = nullptr, *help = nullptr,
               *reset = nullptr, *profile2 = nullptr;
    CBitmapWindow* keyWindow = nullptr;
    CBitmapItem* cardItem = nullptr;
protected:
    bool OnCommand(WORD id, WORD code, HWND control) override {
        if (control) {
            commands.push_back({id, code, control});
            return true;
        }
        return false;
    }
};

POINT CenterIn(HWND child, HWND relativeTo) {
    RECT r;
    GetWindowRect(child, &r);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(relativeTo, &p);
    return p;
}

class SkinPopupWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() {
        BuildVocabularyTables();
        vt::base::InitProgramFolder(TestImageFolder().c_str());
        // As start-up does: the selected language and the default one are built from Language.xml.
        SetSelectedLanguageId(549);
        languages = new CGUIItems;
        languages->LoadSkinPage(L"Language.xml", nullptr);
    }
    static void TearDownTestSuite() {
        SetCurrentLanguageTable(nullptr);
        delete languages;
        languages = nullptr;
    }
    void SetUp() override { UseLanguage(544); }
    static void UseLanguage(int id) {
        auto it = LanguageMap().find(id);
        SetCurrentLanguageTable(it == LanguageMap().end() ? nullptr : it->second);
    }
    static inline CGUIItems* languages = nullptr;
    void OpenPopup(TestPopup& popup) {
        ASSERT_TRUE(popup.CreatePanel());
        ShowWindow(popup, SW_SHOW);
        SetForegroundWindow(popup);
        UpdateWindow(popup);
        PumpMessages(50, 1000);
    }
};

} // namespace

TEST_F(SkinPopupWindowTest, OpensSizedShapedAndPaintedFromItsPage) {
    TestPopup popup;
    OpenPopup(popup);
    EXPECT_EQ(popup.bindCount, 1);
    RECT wr;
    GetWindowRect(popup, &wr);
    EXPECT_EQ(wr.left, 0);
    EXPECT_EQ(wr.top, 0);
    EXPECT_EQ(wr.right - wr.left, 400);
    EXPECT_EQ(wr.bottom - wr.top, 300);
    EXPECT_EQ(popup.PanelRect().right, 400);
    EXPECT_TRUE(popup.IsCreated());

    // The mask's rounded corners are cut away.
    vt::win::Region rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(popup, rgn), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 399, 299));
    EXPECT_TRUE(PtInRegion(rgn, 200, 150));
    EXPECT_TRUE(PtInRegion(rgn, 12, 0));

    // Build order: background, mask, fonts, bitmaps (items, then windows), then buttons.
    const CGUIItems& items = popup.Items();
    ASSERT_EQ(items.Count(), 2u + 3u + 4u + 9u + 1u);
    std::vector<int> kinds;
    for (CGUIItem* i : items.m_items) kinds.push_back(i->m_kind);
    EXPECT_EQ(kinds, (std::vector<int>{0, 0, 12, 12, 12, 1, 1, 1, 17, 2, 2, 2, 2, 2, 2, 2, 2, 2, 11}));
    EXPECT_EQ(items.At(0)->m_controlId, 0);
    EXPECT_EQ(items.At(1)->m_controlId, 1);
    EXPECT_EQ(items.At(10)->m_controlId, ctl::BUTTON_POPUP_CANCEL);   // name matched without regard to case
    ASSERT_TRUE(popup.ok && popup.cancel && popup.autosave && popup.dpiOsd && popup.help && popup.reset &&
                popup.profile2 && popup.keyWindow && popup.cardItem);
    EXPECT_EQ(popup.ok->m_owner, popup.Hwnd());
    EXPECT_EQ(popup.profile2->m_owner, popup.cardItem->Hwnd());
    EXPECT_EQ(GetParent(*popup.profile2), popup.cardItem->Hwnd());
    // A bitmap item is never found by its window; a bitmap window is.
    EXPECT_EQ(FindItemByWindow(items, popup.cardItem->Hwnd()), nullptr);
    EXPECT_EQ(FindItemByWindow(items, popup.keyWindow->Hwnd()), popup.keyWindow);
    EXPECT_EQ(FindItemByWindow(items, nullptr), items.At(0));

    // Captions: resolved text, case mode, first line break.
    EXPECT_EQ(popup.ok->m_caption, L"OK");
    EXPECT_EQ(popup.cancel->m_caption, L"Cancel");
    EXPECT_EQ(popup.reset->m_caption, L"RESET ALL\r\nSETTINGS");
    EXPECT_EQ(popup.ok->m_textFormat, 0x12000u | DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_WORDBREAK);
    EXPECT_EQ(popup.reset->m_textFormat, 0x12000u | DT_CENTER | DT_WORDBREAK);
    EXPECT_EQ(popup.ok->m_normalColor, 0xFFFFFFu);
    EXPECT_EQ(popup.ok->m_disabledColor, 0x777069u);
    EXPECT_EQ(popup.cancel->m_normalColor, 0u);                       // unset: drawn as 0xFEFEFE
    EXPECT_TRUE(popup.autosave->m_isCheckbox);
    EXPECT_FALSE(popup.ok->m_isCheckbox);
    EXPECT_NE(popup.ok->m_font, nullptr);
    EXPECT_EQ(popup.cancel->m_font, nullptr);
    EXPECT_EQ(popup.ok->m_tooltip.Text(), L"Keep the changes");       // tooltip lines flattened
    // Styles: owner-drawn child, no tab stop or border.
    const LONG_PTR style = GetWindowLongPtrW(*popup.ok, GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_FALSE(style & (WS_TABSTOP | WS_BORDER));
    EXPECT_TRUE(style & WS_CHILD);
    // The divider marked moveable is created disabled.
    CGUIItem* divider = FindItem(items, ctl::BITMAP_HORIZONTALBARLONG);
    ASSERT_TRUE(divider);
    EXPECT_FALSE(IsWindowEnabled(static_cast<CBitmapItem*>(divider)->Hwnd()));
    EXPECT_TRUE(IsWindowEnabled(popup.cardItem->Hwnd()));
    // The round help button is cut by its mask.
    vt::win::Region helpRgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(*popup.help, helpRgn), ERROR);
    EXPECT_FALSE(PtInRegion(helpRgn, 0, 0));
    EXPECT_TRUE(PtInRegion(helpRgn, 14, 14));

    // Pixels: body, header band and the buttons' own bitmaps.
    popup.keyWindow->SetCaptionBar(true);
    popup.keyWindow->SetItemText(L"Left click");
    BitmapSet key;
    key.normal = GetSkinBitmap(std::wstring_view(L"keypic.bmp"));
    key.rect = RECT{0, 0, 150, 86};
    popup.keyWindow->SetPicture(&key);
    popup.autosave->SetChecked(1);
    PumpMessages(50, 1000);
    MoveTo(399, 599);
    PumpMessages(50, 1000);
    Capture shot = CaptureClient(popup);
    shot.SaveBmp(OutputPath(L"skin-test-popup.bmp"));
    EXPECT_TRUE(SameColor(shot.At(100, 240), RGB(0x16, 0x19, 0x1d))) << std::hex << shot.At(100, 240);
    EXPECT_TRUE(SameColor(shot.At(250, 38), RGB(0x0f, 0x22, 0x36), 12)) << std::hex << shot.At(250, 38);
    EXPECT_TRUE(SameColor(shot.At(160, 270), RGB(0x2a, 0x30, 0x38))) << std::hex << shot.At(160, 270);   // OK, normal
    int ticked = 0;   // the check box of the checked button shows its tick
    for (int y = 131; y < 149; ++y)
        for (int x = 190; x < 208; ++x) ticked += SameColor(shot.At(x, y), RGB(0x3d, 0x8f, 0xe0), 24);
    EXPECT_GT(ticked, 6);
    EXPECT_TRUE(SameColor(shot.At(80, 152), RGB(0x2a, 0x30, 0x38))) << std::hex << shot.At(80, 152);    // key picture
    EXPECT_TRUE(SameColor(shot.At(21, 125), RGB(0x5e, 0xa6, 0xec))) << std::hex << shot.At(21, 125);    // over: a caption is set
}

TEST_F(SkinPopupWindowTest, PushButtonReportsOneClickWithItsWindow) {
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.ok);
    const POINT p = CenterIn(*popup.ok, popup);
    ClickClient(popup, p.x, p.y);
    PumpMessages(30, 500);
    ASSERT_EQ(popup.commands.size(), 1u);
    EXPECT_EQ(popup.commands[0].id, 0);
    EXPECT_EQ(popup.commands[0].code, BN_CLICKED);
    EXPECT_EQ(popup.commands[0].control, popup.ok->Hwnd());
    EXPECT_EQ(popup.IdOf(popup.commands[0].control), int(ctl::BUTTON_POPUP_OK));

    // A double click is one click: the second press is ignored.
    popup.commands.clear();
    POINT s = p;
    ClientToScreen(popup, &s);
    MoveTo(s.x, s.y);
    for (int i = 0; i < 2; ++i) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        PumpMessages(5, 100);
    }
    PumpMessages(30, 500);
    EXPECT_EQ(popup.commands.size(), 1u);
}

TEST_F(SkinPopupWindowTest, CheckButtonTogglesAndReportsOnButtonDown) {
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.autosave && popup.dpiOsd);
    const POINT p = CenterIn(*popup.autosave, popup);
    POINT s = p;
    ClientToScreen(popup, &s);
    MoveTo(s.x, s.y);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &down, sizeof(INPUT));
    PumpMessages(30, 500);
    // Reported on the press, before any release.
    ASSERT_EQ(popup.commands.size(), 1u);
    EXPECT_EQ(popup.commands[0].code, BN_CLICKED);
    EXPECT_EQ(popup.commands[0].control, popup.autosave->Hwnd());
    EXPECT_EQ(popup.autosave->Checked(), 1);
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &up, sizeof(INPUT));
    PumpMessages(30, 500);
    EXPECT_EQ(popup.commands.size(), 1u);

    Sleep(GetDoubleClickTime() + 50);   // a quick second press would be a double click, which is ignored
    ClickClient(popup, p.x, p.y);
    EXPECT_EQ(popup.autosave->Checked(), 0);
    EXPECT_EQ(popup.commands.size(), 2u);

    // Without toggling on click the state stays; the page sets it.
    popup.dpiOsd->SetToggleOnClick(false);
    const POINT q = CenterIn(*popup.dpiOsd, popup);
    ClickClient(popup, q.x, q.y);
    ASSERT_EQ(popup.commands.size(), 3u);
    EXPECT_EQ(popup.commands[2].control, popup.dpiOsd->Hwnd());
    EXPECT_EQ(popup.dpiOsd->Checked(), 0);
}

TEST_F(SkinPopupWindowTest, ButtonInsideBitmapItemReportsThroughIt) {
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.profile2);
    const POINT p = CenterIn(*popup.profile2, popup);
    ClickClient(popup, p.x, p.y);
    PumpUntil([&] { return !popup.commands.empty(); }, 1000);
    ASSERT_EQ(popup.commands.size(), 1u);
    EXPECT_EQ(popup.commands[0].code, BN_CLICKED);
    EXPECT_EQ(popup.IdOf(popup.commands[0].control), int(ctl::BUTTON_PROFILE02));
}

TEST_F(SkinPopupWindowTest, StateBitmapsFollowHoverCheckAndDisable) {
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.cancel && popup.autosave);
    auto centerPixel = [&](CBitmapBtn* b) {
        PumpMessages(30, 500);
        Capture c = CaptureClient(*b);
        return c.At(c.width / 2, c.height - 4);
    };
    const COLORREF normal = RGB(0x2a, 0x30, 0x38), over = RGB(0x30, 0x50, 0x6f), down = RGB(0x1d, 0x5a, 0x96),
                   disabled = RGB(0x1c, 0x1e, 0x22);
    EXPECT_TRUE(SameColor(centerPixel(popup.cancel), normal)) << std::hex << centerPixel(popup.cancel);
    // Hover lights the button.
    POINT s = CenterIn(*popup.cancel, popup);
    ClientToScreen(popup, &s);
    MoveTo(s.x, s.y);
    MoveTo(s.x + 1, s.y);
    EXPECT_EQ(popup.cancel->m_hot, 1);
    EXPECT_TRUE(SameColor(centerPixel(popup.cancel), over)) << std::hex << centerPixel(popup.cancel);
    MoveTo(5, 600);
    MoveTo(6, 600);
    EXPECT_EQ(popup.cancel->m_hot, 0);
    // A plain button set checked draws down; disabled draws the disabled bitmap even when checked.
    popup.cancel->SetChecked(1);
    EXPECT_TRUE(SameColor(centerPixel(popup.cancel), down)) << std::hex << centerPixel(popup.cancel);
    EnableWindow(*popup.cancel, FALSE);
    EXPECT_TRUE(SameColor(centerPixel(popup.cancel), disabled)) << std::hex << centerPixel(popup.cancel);
}

TEST_F(SkinPopupWindowTest, EscapeEndsWithTwoAndEnterWithOne) {
    {
        TestPopup popup;
        popup.postOnInit = WM_KEYDOWN;
        popup.postWParam = VK_ESCAPE;
        EXPECT_EQ(popup.DoModal(), 2);
        EXPECT_EQ(popup.bindCount, 1);
    }
    {
        TestPopup popup;
        popup.postOnInit = WM_KEYDOWN;
        popup.postWParam = VK_RETURN;
        EXPECT_EQ(popup.DoModal(), 1);
    }
}

TEST_F(SkinPopupWindowTest, APopupOpenedAgainBuildsItsControlsAfresh) {
    TestPopup popup;
    popup.postOnInit = WM_KEYDOWN;
    popup.postWParam = VK_ESCAPE;
    ASSERT_EQ(popup.DoModal(), 2);
    const size_t first = popup.Items().Count();
    ASSERT_EQ(popup.DoModal(), 2);
    EXPECT_EQ(popup.Items().Count(), first);
    EXPECT_EQ(popup.bindCount, 2);
    ASSERT_TRUE(popup.CreatePanel());
    ASSERT_NE(popup.Background(), nullptr);
    EXPECT_TRUE(*popup.Background());
    RECT wr;
    GetWindowRect(popup, &wr);
    EXPECT_EQ(wr.right - wr.left, 400);
    EXPECT_EQ(popup.Items().Count(), first);
}

// A popup object that goes while its window is still open deletes its controls, then closes the
// window. The window's last messages must find the background and mask gone, not reach into the
// freed controls: this program runs on the guard allocator, where such a read ends it at once.
TEST_F(SkinPopupWindowTest, APopupGoingWithItsWindowOpenClosesItWithoutReachingFreedControls) {
    ASSERT_GT(GuardedBlocks(), 0u);
    auto popup = std::make_unique<TestPopup>();
    OpenPopup(*popup);
    ASSERT_TRUE(popup->ok && popup->Background());
    const HWND window = popup->Hwnd();
    const HWND ok = *popup->ok;
    popup.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(ok));
    // The skin's shared background is whole: the next popup paints from it.
    TestPopup next;
    OpenPopup(next);
    Capture shot = CaptureClient(next);
    EXPECT_TRUE(SameColor(shot.At(100, 240), RGB(0x16, 0x19, 0x1d))) << std::hex << shot.At(100, 240);
}

TEST_F(SkinPopupWindowTest, PanelWithoutPageTakesItsRectangle) {
    class Plain : public CGUIPanel {
    public:
        Plain() : CGUIPanel(nullptr, RECT{0, 0, 220, 90}, kPopupTemplateId) {}
        void BindItems() override {}
    } panel;
    ASSERT_TRUE(panel.CreatePanel());
    RECT wr;
    GetWindowRect(panel, &wr);
    EXPECT_EQ(wr.right - wr.left, 220);
    EXPECT_EQ(wr.bottom - wr.top, 90);
    EXPECT_EQ(panel.Items().Count(), 0u);
}

// A popup whose page the reader refuses (one without a mask, one that is missing) is never shown
// half-built: it ends at once as if cancelled, naming the file through the damage report.
TEST_F(SkinPopupWindowTest, APopupWhosePageCannotBeUsedEndsUnshownAndNamesTheFile) {
    static std::vector<std::wstring> reported;
    static HWND reportedOwner = reinterpret_cast<HWND>(-1);
    for (const wchar_t* file : {L"SkinTestNoMask.xml", L"NoSuchPage.xml"}) {
        const std::vector<std::wstring> named{std::wstring(L"xml\\") + file};
        reported.clear();
        TakeUnusableFiles();
        CPopupBox::SetDamageReport([](HWND owner, const std::vector<std::wstring>& files) {
            reported = files;
            reportedOwner = owner;
        });
        {
            TestPopup popup(file);
            EXPECT_EQ(popup.DoModal(), 2);
            EXPECT_EQ(popup.DamagedFiles(), named);
            EXPECT_EQ(reported, named);
            EXPECT_EQ(reportedOwner, nullptr);
        }
        {
            TestPopup modeless(file);
            EXPECT_FALSE(modeless.CreatePanel() && IsWindow(modeless) && IsWindowVisible(modeless));
        }
        // Without a report the files stay reported for whoever asks next.
        CPopupBox::SetDamageReport(nullptr);
        TakeUnusableFiles();
        {
            TestPopup popup(file);
            EXPECT_EQ(popup.DoModal(), 2);
            EXPECT_EQ(TakeUnusableFiles(), named);
        }
    }
}

TEST_F(SkinPopupWindowTest, SecondLanguageChangesTextsAndItemAttributes) {
    UseLanguage(549);
    ASSERT_NE(CurrentLanguageTable(), nullptr);
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.ok && popup.cancel && popup.reset && popup.autosave && popup.profile2);
    EXPECT_EQ(popup.cancel->m_caption, L"ABBRECHEN");   // per-item case override
    EXPECT_EQ(popup.profile2->m_caption, L"Profil 2");
    EXPECT_EQ(popup.reset->m_caption, L"RESET ALL\r\nSETTINGS");   // not a key: as written
    // The RECT override moves and widens the reset button.
    RECT r;
    GetWindowRect(*popup.reset, &r);
    MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 180);
    EXPECT_EQ(r.top, 188);
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 228);
    // FONT_ARIAL12 is replaced by FONT_ARIAL10 in this language.
    ASSERT_NE(popup.autosave->m_font, nullptr);
    EXPECT_EQ(popup.autosave->m_font->m_controlId, int(ctl::FONT_ARIAL10));
    Capture shot = CaptureClient(popup);
    shot.SaveBmp(OutputPath(L"skin-test-popup-german.bmp"));
}

TEST_F(SkinPopupWindowTest, TooltipWindowIsMadeOnTheFirstMouseMoveWithItsText) {
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.help && popup.cancel);
    EXPECT_EQ(popup.help->m_tooltip.Hwnd(), nullptr);
    SendMessageW(*popup.help, WM_MOUSEMOVE, 0, MAKELPARAM(14, 14));
    HWND tip = popup.help->m_tooltip.Hwnd();
    ASSERT_NE(tip, nullptr);
    wchar_t buf[80] = {};
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = popup.help->Hwnd();
    ti.uId = 1;
    ti.lpszText = buf;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(buf, L"Help");
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    // A control without a tooltip text makes no tooltip window.
    SendMessageW(*popup.cancel, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(popup.cancel->m_tooltip.Hwnd(), nullptr);
    ReleaseCapture();
}

TEST_F(SkinPopupWindowTest, WithoutALanguageTableTextsShowAsWritten) {
    UseLanguage(-1);
    ASSERT_EQ(CurrentLanguageTable(), nullptr);
    TestPopup popup;
    OpenPopup(popup);
    ASSERT_TRUE(popup.ok && popup.autosave);
    EXPECT_EQ(popup.ok->m_caption, L"$ok");
    EXPECT_EQ(popup.autosave->m_caption, L"      Save automatically");
    EXPECT_EQ(popup.help->m_tooltip.Text(), L"$help");
}
