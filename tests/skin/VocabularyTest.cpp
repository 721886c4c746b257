// The vocabulary tables: row counts and key ranges of every table, and names looked up both ways.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "skin/Vocabulary.h"

using namespace vt::skin;

namespace {

class VocabularyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
};

struct TableShape {
    const char* label;
    Vocab table;
    size_t rows;
    int32_t firstKey;
    int32_t lastKey;
    std::vector<int32_t> absentKeys;  // keys inside the range without a row
};

std::set<std::wstring> Names(const VocabTable& t) {
    std::set<std::wstring> names;
    for (const auto& [key, name] : t) names.insert(name);
    return names;
}

} // namespace

TEST_F(VocabularyTest, EveryTableHasItsRowsAndKeyRange) {
    const TableShape shapes[] = {
        {"key combos", Vocab::KeyCombos, 17, 1, 17, {}},
        {"actions", Vocab::Actions, 64, 0, 63, {}},
        {"keyboard help", Vocab::KeyboardHelp, 5, 0, 62, {1, 4, 7, 20, 22, 61, 63}},
        {"mouse help", Vocab::MouseHelp, 64, 0, 63, {}},
        {"controls", Vocab::Controls, 979, 0, 985, {107, 560, 577, 626, 747, 748, 868}},
        {"short keys", Vocab::ShortKeyNames, 72, 8, 167, {10, 11, 14, 15, 21, 48, 90, 94, 95, 129, 143, 146, 159}},
        {"colours", Vocab::Colors, 20, 0, 0xFFFFFF, {1, 0xFFFFFE}},
        {"languages", Vocab::Languages, 16, 544, 559, {}},
        {"list columns", Vocab::ListColumns, 7, 0, 6, {}},
        {"control kinds", Vocab::ControlKinds, 6, 0, 5, {}},
        {"cell kinds", Vocab::CellKinds, 2, 0, 1, {}},
    };
    for (const TableShape& s : shapes) {
        SCOPED_TRACE(s.label);
        const VocabTable& t = VocabularyTable(s.table);
        ASSERT_EQ(t.size(), s.rows);
        EXPECT_EQ(t.begin()->first, s.firstKey);
        EXPECT_EQ(t.rbegin()->first, s.lastKey);
        for (int32_t key : s.absentKeys) EXPECT_EQ(t.count(key), 0u) << key;
        for (const auto& [key, name] : t) {
            ASSERT_NE(name, nullptr) << key;
            EXPECT_NE(name[0], L'\0') << key;
        }
    }
}

TEST_F(VocabularyTest, ControlTableIsContiguousApartFromItsSevenGaps) {
    const std::set<int32_t> gaps = {107, 560, 577, 626, 747, 748, 868};
    const VocabTable& t = VocabularyTable(Vocab::Controls);
    for (int32_t id = 0; id <= 985; ++id) EXPECT_EQ(t.count(id), gaps.count(id) ? 0u : 1u) << id;
    EXPECT_EQ(Names(t).size(), 979u) << "control names are unique";
}

TEST_F(VocabularyTest, DistinctNamesWhereRowsShareOne) {
    EXPECT_EQ(Names(VocabularyTable(Vocab::Actions)).size(), 61u);
    EXPECT_EQ(Names(VocabularyTable(Vocab::Languages)).size(), 11u);
}

TEST_F(VocabularyTest, SearchByNameFindsSmallestKeyWithoutRegardToCase) {
    struct Case {
        int32_t (*find)(std::wstring_view);
        const wchar_t* name;
        int32_t expected;
    };
    const Case cases[] = {
        {FindControlIdByName, L"background", 0},
        {FindControlIdByName, L"BACKGROUND", 0},
        {FindControlIdByName, L"button_ok", 104},
        {FindControlIdByName, L"BUTTON_CANCEL", 106},
        {FindControlIdByName, L"BUTTON_ASSNLEFTCLICK", 108},
        {FindControlIdByName, L"LANGUAGE_DEFAULT", 544},
        {FindControlIdByName, L"LANGUAGE_GREEK", 559},
        {FindControlIdByName, L"KBLAYOUT_ENGLISH", 561},
        {FindControlIdByName, L"KBLAYOUT_PORTUGUESE_BRAZIL", 576},
        {FindControlIdByName, L"BITMAPWIN_ASSIGNKEY", 578},
        {FindControlIdByName, L"BUTTON_ADD_ADV_MACRO_CMDS", 625},
        {FindControlIdByName, L"BUTTON_KB_ESC", 627},
        {FindControlIdByName, L"BUTTON_KB_BRAZIL_NUM_DECIMAL", 701},
        {FindControlIdByName, L"BUTTON_KB_LANG1_HANG_ENG", 746},
        {FindControlIdByName, L"BITMAP_KB_ESC", 749},
        {FindControlIdByName, L"BITMAP_KB_LANG1_HANG_ENG", 867},
        {FindControlIdByName, L"BITMAP_MECHKBD", 869},
        {FindControlIdByName, L"KBDDEF_WINDOWS", 870},
        {FindControlIdByName, L"TEXT_EQ_ENABLEEQUALIZER", 985},
        {FindControlIdByName, L"NO_SUCH_CONTROL", -1},
        {FindControlIdByName, L"", -1},
        {FindControlIdByName, L"BUTTON_OK ", -1},
        {FindControlIdByName, L"BUTTON_O", -1},
        {FindActionIdByName, L"$MACRO", 6},
        {FindActionIdByName, L"$profile", 21},
        {FindActionIdByName, L"$launchprogram", 62},
        {FindActionIdByName, L"$defaultkey", 0},
        {FindActionIdByName, L"$cut", 42},
        {FindActionIdByName, L"$zoomout", 58},
        {FindActionIdByName, L"macro", -1},
        {FindKeyComboIdByName, L"$cut", 1},
        {FindKeyComboIdByName, L"$ZoomOut", 17},
        {FindKeyComboIdByName, L"$selectfun", -1},
        {FindColorByName, L"BLACK", 0},
        {FindColorByName, L"red", 0x0000FF},
        {FindColorByName, L"GOLD_DM_HIGHTLIGHT", 0x007CD0},
        {FindColorByName, L"BLUE_DM_TAB_SELECT", 0xFDAE00},
        {FindColorByName, L"PINK", -1},
        {FindLanguageIdByName, L"English", 544},
        {FindLanguageIdByName, L"german", 549},
        {FindLanguageIdByName, L"PortugueseBrazil", 554},
        {FindLanguageIdByName, L"Thai", -1},
        {FindListColumnIdByName, L"LCITEM_PROFILECURRENT", 0},
        {FindListColumnIdByName, L"lcitem_mcrevent_descrip", 6},
        {FindListColumnIdByName, L"LCITEM_NONE", -1},
        {FindControlKindByName, L"ICON", 0},
        {FindControlKindByName, L"filedialog", 5},
        {FindCellKindByName, L"STATIC", 1},
        {FindCellKindByName, L"EDIT", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.find(c.name), c.expected) << std::wstring(c.name).c_str();
}

TEST_F(VocabularyTest, ReadingByKeyGivesNamesAndNullWithoutAddingRows) {
    struct Case {
        const wchar_t* (*read)(int32_t);
        int32_t key;
        const wchar_t* expected;  // null: no row
    };
    const Case cases[] = {
        {FindControlNameById, 0, L"BACKGROUND"},
        {FindControlNameById, 104, L"BUTTON_OK"},
        {FindControlNameById, 107, nullptr},
        {FindControlNameById, 870, L"KBDDEF_WINDOWS"},
        {FindControlNameById, 985, L"TEXT_EQ_ENABLEEQUALIZER"},
        {FindControlNameById, 986, nullptr},
        {FindControlNameById, -1, nullptr},
        {GetActionName, 7, L"$macro"},
        {GetActionName, 63, L"$launchprogram"},
        {GetActionName, 64, nullptr},
        {GetKeyComboName, 10, L"$swapwindows"},
        {GetKeyComboName, 0, nullptr},
        {GetKeyboardHelpText, 62, L"$AssignKeyToLaunchASelectedApplication"},
        {GetKeyboardHelpText, 1, nullptr},
        {GetMouseHelpText, 10, L"$Assignthisbuttontoenableon-the-flysensitivitywhilstheld"},
        {GetMouseHelpText, 22, L"$Assignthisbuttontochangetoaprofile"},
        {GetMouseHelpText, 9, L"$advanced"},
        {GetMouseHelpText, 42, L"$cut"},
        {GetMouseHelpText, 63, L"$launchprogram"},
        {GetShortKeyName, 8, L"BkSp"},
        {GetShortKeyName, 105, L"Num9"},
        {GetShortKeyName, 111, L"Num/"},
        {GetShortKeyName, 126, L"F15"},
        {GetShortKeyName, 127, L"F16"},
        {GetShortKeyName, 128, L"F17"},
        {GetShortKeyName, 167, L"Forward"},
        {GetShortKeyName, 65, nullptr},
        {GetLanguageName, 549, L"German"},
        {GetLanguageName, 559, L"English"},
        {GetLanguageName, 560, nullptr},
        {GetListColumnName, 2, L"LCITEM_PROFILENAME"},
    };
    size_t before = VocabularyTable(Vocab::Controls).size();
    for (const Case& c : cases) {
        const wchar_t* got = c.read(c.key);
        if (!c.expected) {
            EXPECT_EQ(got, nullptr) << c.key;
        } else {
            ASSERT_NE(got, nullptr) << c.key;
            EXPECT_STREQ(got, c.expected) << c.key;
        }
    }
    EXPECT_EQ(VocabularyTable(Vocab::Controls).size(), before);
    EXPECT_EQ(VocabularyTable(Vocab::ShortKeyNames).size(), 72u);
}

TEST_F(VocabularyTest, MouseHelpRepeatsActionNameWhereItHasNoTextOfItsOwn) {
    const std::set<int32_t> own = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 13, 14, 21, 22, 32, 33, 40, 41};
    for (int32_t id = 0; id < 64; ++id) {
        std::wstring help = GetMouseHelpText(id), action = GetActionName(id);
        if (own.count(id)) EXPECT_NE(help, action) << id;
        else EXPECT_EQ(help, action) << id;
    }
}

TEST_F(VocabularyTest, ActionsRepeatTheKeyCombinationsInOrder) {
    for (int32_t i = 1; i <= 17; ++i) EXPECT_STREQ(GetActionName(41 + i), GetKeyComboName(i)) << i;
}

TEST_F(VocabularyTest, KeyboardLayoutCodesMapToLayoutElements) {
    const std::pair<int32_t, const wchar_t*> rows[] = {
        {0, L"KBLAYOUT_ENGLISH"},  {1, L"KBLAYOUT_ENGLISH"},  {2, L"KBLAYOUT_GREEK"},
        {3, L"KBLAYOUT_GERMAN"},   {4, L"KBLAYOUT_FRENCH"},   {5, L"KBLAYOUT_RUSSIAN"},
        {6, L"KBLAYOUT_UK"},       {7, L"KBLAYOUT_NORDIC"},   {8, L"KBLAYOUT_CHINESE_TRADITIONAL"},
        {9, L"KBLAYOUT_KOREAN"},   {10, L"KBLAYOUT_TURKISH"}, {11, L"KBLAYOUT_THAI"},
        {12, L"KBLAYOUT_JAPANESE"}, {13, L"KBLAYOUT_PORTUGUESE_BRAZIL"},
    };
    EXPECT_EQ(KeyboardLayoutCodeTable().size(), 14u);
    for (const auto& [code, element] : rows) {
        int32_t id = FindKeyboardLayoutControlId(code);
        EXPECT_EQ(id, FindControlIdByName(element)) << code;
        EXPECT_GE(id, kFirstKeyboardLayoutId);
        EXPECT_LE(id, kLastKeyboardLayoutId);
    }
    EXPECT_EQ(FindKeyboardLayoutControlId(14), -1);
    EXPECT_EQ(FindKeyboardLayoutControlId(-1), -1);
}

TEST_F(VocabularyTest, LanguageIdsAreTheLanguageElements) {
    for (int32_t id = kFirstLanguageId; id <= kLastLanguageId; ++id) {
        ASSERT_NE(FindControlNameById(id), nullptr);
        EXPECT_EQ(std::wstring(FindControlNameById(id)).rfind(L"LANGUAGE_", 0), 0u) << id;
    }
    EXPECT_EQ(FindControlIdByName(L"LANGUAGE_THAI"), 555);
}

TEST_F(VocabularyTest, ControlIdConstantsMatchTheTable) {
    EXPECT_EQ(ctl::BACKGROUND, 0);
    EXPECT_EQ(ctl::BUTTON_OK, FindControlIdByName(L"BUTTON_OK"));
    EXPECT_EQ(ctl::KBDDEF_WINDOWS, 870);
    EXPECT_EQ(ctl::LIST_DROPDOWN_POPUP, FindControlIdByName(L"LIST_DROPDOWN_POPUP"));
    EXPECT_EQ(ctl::TEXT_EQ_ENABLEEQUALIZER, 985);
}

TEST_F(VocabularyTest, BuildingAgainKeepsTheSameTables) {
    BuildVocabularyTables();
    EXPECT_EQ(VocabularyTable(Vocab::Controls).size(), 979u);
    EXPECT_EQ(VocabularyTable(Vocab::Actions).size(), 64u);
    EXPECT_EQ(FindActionIdByName(L"$macro"), 6);
}
