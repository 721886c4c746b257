// Text items, edit items and the single-key field built from a page file.
#include <gtest/gtest.h>
#include "CtlTestSupport.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/RawInput.h"
#include "skin/TextItems.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {
int FakeName(LONG l, wchar_t* b, int n) {
    swprintf(b, n, L"Key%02X", unsigned((l >> 16) & 0xFF));
    return int(wcslen(b));
}

class CtlTextWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    RecorderWindow owner;
    CGUIItems items;
    void SetUp() override {
        SetKeyNameSystem({&FakeName, nullptr, nullptr});
        ASSERT_TRUE(vt::base::InitProgramFolder(TestImageFolder().c_str()));
        ASSERT_TRUE(owner.Open(400, 220));
        ASSERT_TRUE(LoadSkinPage(items, L"ControlsText.xml", owner));
        PumpMessages();
    }
    void TearDown() override {
        DeleteAllItems(items);
        UnregisterRawInput();
        ResetKeyNameSystem();
        WindowTest::TearDown();
    }
    template <class T> T* Find(const wchar_t* name) {
        return static_cast<T*>(FindItem(items, FindControlIdByName(name)));
    }
};
} // namespace

TEST_F(CtlTextWindowTest, TextItemsFormatsAndDrawing) {
    auto* left = Find<CTextItem>(L"TEXT_PROFILEINFO");
    auto* centre = Find<CTextItem>(L"TEXT_PROFILENAME");
    ASSERT_TRUE(left && centre);
    EXPECT_EQ(left->m_kind, kKindTextItem);
    EXPECT_EQ(left->m_format, 0u);
    EXPECT_EQ(centre->m_format, UINT(DT_CENTER | DT_WORDBREAK));
    EXPECT_EQ(centre->GetText(), L"Centred\r\nin two\\nlines");
    EXPECT_EQ(left->CurrentColour(), RGB(255, 255, 255));
    Capture cap = CaptureClient(owner);
    cap.SaveBmp(OutputPath(L"ctl_text.bmp"));
    // The left label is drawn from (5, 2): white pixels in its first line.
    Capture label = CaptureClient(*left);
    bool white = false;
    for (int x = 5; x < 60; ++x)
        for (int y = 2; y < 16; ++y) white = white || SameColor(label.At(x, y), RGB(255, 255, 255), 60);
    EXPECT_TRUE(white);
}

TEST_F(CtlTextWindowTest, LinkedTextTogglesItsCheckButton) {
    auto* text = Find<CTextItem>(L"TEXT_ASSIGNBUTTONS");
    auto* box = Find<CBitmapBtn>(L"BUTTON_CHECKBOX_AUTOSAVE");
    ASSERT_TRUE(text && box);
    ASSERT_EQ(text->m_linkedButton, box);
    SendMessageW(*text, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(box->Checked(), 1);
    auto cmds = owner.Of(WM_COMMAND);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(LOWORD(cmds[0].wParam), FindControlIdByName(L"TEXT_ASSIGNBUTTONS"));
    EXPECT_EQ(cmds[0].lParam, LPARAM(box->Hwnd()));
    SendMessageW(*text, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(box->Checked(), 0);
    // Hover follows the mouse and is dropped when another window takes the capture.
    text->SetHover(true);
    SetCapture(owner);
    SendMessageW(*text, WM_CAPTURECHANGED, 0, LPARAM(owner.Hwnd()));
    ReleaseCapture();
    EXPECT_EQ(text->m_hover, 0);
}

TEST_F(CtlTextWindowTest, EditReportsChangesAndDigitsOnlyFilters) {
    auto* ed = Find<CEditItem>(L"EDITCTRL_POPUP_NAMEENTRY");
    ASSERT_TRUE(ed);
    EXPECT_EQ(ed->m_kind, kKindEditItem);
    EXPECT_EQ(SendMessageW(*ed, EM_GETLIMITTEXT, 0, 0), 12);
    // The frame surrounds the edit by its border width.
    RECT er, fr;
    GetWindowRect(*ed, &er);
    GetWindowRect(*ed->m_frame, &fr);
    EXPECT_EQ(er.left - fr.left, 2);
    SetFocus(*ed);
    PressKey('A');
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(WM_EDIT_ITEM_CHANGED) >= 1; }));
    EXPECT_EQ(owner.Of(WM_EDIT_ITEM_CHANGED)[0].lParam, LPARAM(ed->Hwnd()));
    EXPECT_EQ(ed->Text(), L"a");

    ed->m_digitsOnly = 1;
    SetWindowTextW(*ed, L"");
    for (WORD vk : {WORD('7'), WORD('X'), WORD('3'), WORD(VK_HOME), WORD(VK_SPACE)}) PressKey(vk);
    PumpMessages();
    EXPECT_EQ(ed->Text(), L"73");

    auto* zeroFrame = Find<CEditItem>(L"EDITCTRL_DELAY");
    ASSERT_TRUE(zeroFrame);
    GetWindowRect(*zeroFrame, &er);
    GetWindowRect(*zeroFrame->m_frame, &fr);
    EXPECT_TRUE(EqualRect(&er, &fr));
    EXPECT_EQ(SendMessageW(*zeroFrame, EM_GETLIMITTEXT, 0, 0), SendMessageW(*Find<CEditItem>(L"EDITCTRL_POPUP_NUMENTRY"), EM_GETLIMITTEXT, 0, 0));
    const LRESULT defaultLimit = SendMessageW(*Find<CEditItem>(L"EDITCTRL_DEFAULT_DELAY"), EM_GETLIMITTEXT, 0, 0);
    EXPECT_GT(defaultLimit, 0);
}

TEST_F(CtlTextWindowTest, SingleKeyFieldShowsWholeNameAndKeepsOtherEditsTyping) {
    auto* key = Find<CEditItemSingleKeyInput>(L"EDITCTRL_POPUP_SINGLEKEYENTRY");
    auto* other = Find<CEditItem>(L"EDITCTRL_POPUP_NAMEENTRY");
    ASSERT_TRUE(key && other);
    EXPECT_EQ(key->m_kind, kKindEditItemSingleKey);
    EXPECT_EQ(key->m_itemWindow, nullptr);
    EXPECT_FALSE(key->IsListening());   // nothing registered while the page merely exists

    // Another edit of the page can still be typed into.
    SetFocus(*other);
    PressKey('B');
    ASSERT_TRUE(PumpUntil([&] { return other->Text() == L"b"; }));

    SetFocus(*key);
    PumpMessages();
    EXPECT_TRUE(key->IsListening());
    SetWindowTextW(*key, L"some long text");
    SendMessageW(*key, EM_SETSEL, 2, 2);
    RAWKEYBOARD raw{};
    raw.MakeCode = 0x2A;
    raw.VKey = VK_SHIFT;
    key->OnRawKeyboard(raw);
    wchar_t buffer[64];
    GetWindowTextW(*key, buffer, 64);
    EXPECT_STREQ(buffer, L"Key2A");
    // Key messages: a real key press shows its name; repeats and typed characters change nothing.
    PressKey('C');
    PumpMessages();
    GetWindowTextW(*key, buffer, 64);
    EXPECT_STREQ(buffer, L"Key2E");
    SetFocus(*other);
    PumpMessages();
    EXPECT_FALSE(key->IsListening());
}
