// Captions and tooltip texts of skinned controls: state and colour choice of the bitmap button,
// case modes, line breaks.
#include <gtest/gtest.h>
#include "skin/BitmapBtn.h"
#include "skin/BitmapItem.h"
#include "skin/ItemText.h"
#include "skin/LangTable.h"

using namespace vt::skin;
using State = CBitmapBtn::State;

TEST(BitmapBtnState, ChoiceByCheckboxCheckedDisabledPressedHot) {
    struct Case { bool checkbox, checked, disabled, pressed, hot; State state; };
    const Case cases[] = {
        // Check buttons: checked shows down even when disabled.
        {true, true, true, false, false, State::Down},
        {true, true, false, false, true, State::Down},
        {true, false, true, false, true, State::Disabled},
        {true, false, false, true, true, State::Over},     // pressing does not show down
        {true, false, false, false, false, State::Normal},
        // Plain buttons: disabled wins, even when checked.
        {false, true, true, false, false, State::Disabled},
        {false, true, false, false, false, State::Down},
        {false, false, false, true, false, State::Down},
        {false, false, false, false, true, State::Over},
        {false, false, false, false, false, State::Normal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CBitmapBtn::ChooseState(c.checkbox, c.checked, c.disabled, c.pressed, c.hot), c.state)
            << c.checkbox << c.checked << c.disabled << c.pressed << c.hot;
}

TEST(BitmapBtnState, CaptionColourFollowsStateAndZeroIsNearWhite) {
    CBitmapBtn b;
    b.m_normalColor = 0x000011;
    b.m_overColor = 0x002200;
    b.m_downColor = 0x330000;
    b.m_disabledColor = 0;
    EXPECT_EQ(b.CaptionColor(false, false, false, false), 0x000011u);
    EXPECT_EQ(b.CaptionColor(false, false, true, false), 0x002200u);
    EXPECT_EQ(b.CaptionColor(true, false, true, true), 0x330000u);
    EXPECT_EQ(b.CaptionColor(false, true, false, false), 0x330000u);
    EXPECT_EQ(b.CaptionColor(false, false, false, true), 0xFEFEFEu);   // unset disabled colour
}

TEST(ItemCaption, CaseModeAndOnlyTheFirstLineBreak) {
    SetCurrentLanguageTable(nullptr);
    CBitmapBtn b;
    b.SetItemText(L"A\\nB\\nC", kCaseAsWritten);
    EXPECT_EQ(b.m_caption, L"A\r\nB\\nC");
    b.SetItemText(L"Two\\nlines", kCaseUpper);
    EXPECT_EQ(b.m_caption, L"TWO\r\nLINES");
    b.SetItemText(L"MiXeD", kCaseLower);
    EXPECT_EQ(b.m_caption, L"mixed");
    b.SetItemText(L"MiXeD", 7);
    EXPECT_EQ(b.m_caption, L"MiXeD");
    b.SetItemText(nullptr, kCaseUpper);
    EXPECT_EQ(b.m_caption, L"");
}

TEST(ItemCaption, KeysResolveThroughTheCurrentTableThenTheCaseApplies) {
    CLangTable table;
    const wchar_t text[] = L"\xFEFFheader\r\nsecond\r\nOK Button\r\nOk\r\nlong key\r\nfirst\\nsecond\r\nEND OF FILE\r\n";
    ASSERT_TRUE(LoadLanguageText(text, sizeof(text) - sizeof(wchar_t), table));
    SetCurrentLanguageTable(&table);
    EXPECT_EQ(MakeCaption(L"$okbutton", kCaseUpper), L"OK");
    EXPECT_EQ(MakeCaption(L"#OK", kCaseLower), L"ok");
    EXPECT_EQ(MakeCaption(L"$longkey", kCaseAsWritten), L"first\r\nsecond");
    EXPECT_EQ(MakeCaption(L"$OK Button", kCaseAsWritten), L"$OK Button");   // a space in the asked text never matches
    EXPECT_EQ(MakeCaption(L"$", kCaseAsWritten), L"$");
    EXPECT_EQ(MakeCaption(L"plain", kCaseUpper), L"PLAIN");
    SetCurrentLanguageTable(nullptr);
    EXPECT_EQ(MakeCaption(L"$okbutton", kCaseAsWritten), L"$okbutton");   // no table: as written
}

TEST(ToolTipText, FlattenLineBreaksReplacesEveryPair) {
    struct Case { const wchar_t* in; const wchar_t* out; int count; };
    const Case cases[] = {{L"a\\nb\\nc", L"a b c", 2}, {L"plain", L"plain", 0}, {L"\\n", L" ", 1},
                          {L"\\\\n", L"\\ ", 1}, {L"", L"", 0}, {L"end\\", L"end\\", 0}};
    for (const Case& c : cases) {
        std::wstring s = c.in;
        EXPECT_EQ(FlattenLineBreaks(s), c.count) << c.in;
        EXPECT_EQ(s, c.out) << c.in;
    }
}
