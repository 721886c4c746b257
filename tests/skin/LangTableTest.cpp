// Language tables: the text file parser (over buffers that end at an inaccessible page), lookups of
// "$" keys and "#" prefixes, the LANG element's overrides, the selection of the current table, the
// shipped Language.xml with its two languages, and a randomised run over mutated language files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "skin/LangTable.h"
#include "base/ProgramFolder.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "support/SkinFixtures.h"
#include "tests/base/GuardedBuffer.h"

using namespace vt::skin;

namespace {

using vt::test::GuardedBuffer;

using Bytes = std::vector<uint8_t>;

Bytes U16(const std::wstring& text) {
    Bytes b;
    for (wchar_t c : text) {
        b.push_back(uint8_t(uint16_t(c)));
        b.push_back(uint8_t(uint16_t(c) >> 8));
    }
    return b;
}
std::string Str(const Bytes& b) { return std::string(b.begin(), b.end()); }

bool Load(const Bytes& data, CLangTable& table) {
    GuardedBuffer buf(data);
    return LoadLanguageText(buf.Data(), int64_t(data.size()), table);
}

struct Lookup {
    const wchar_t* asked;
    const wchar_t* shown;
    bool found;
};

void ExpectLookups(const CLangTable& table, std::initializer_list<Lookup> lookups) {
    for (const Lookup& l : lookups) {
        std::wstring out;
        EXPECT_EQ(ResolveText(&table, l.asked, out), l.found) << std::string(l.asked, l.asked + wcslen(l.asked));
        EXPECT_EQ(out, l.shown) << std::string(l.asked, l.asked + wcslen(l.asked));
    }
}

} // namespace

TEST(LangText, FiveLineFileResolvesKeysWithoutTheirSpaces) {
    CLangTable t;
    EXPECT_TRUE(Load(U16(L"Header\r\nSecond\r\nOK Button\r\nOK\r\nEND OF FILE\r\n"), t));
    EXPECT_EQ(t.m_pairCount, 1);
    ExpectLookups(t, {{L"$okbutton", L"OK", true},
                      {L"$OKBUTTON", L"OK", true},
                      {L"#OK", L"OK", true},
                      {L"#okb", L"OK", true},
                      {L"$OK Button", L"$OK Button", false},
                      {L"$ok", L"$ok", false},
                      {L"#okbuttons", L"#okbuttons", false},
                      {L"#OK B", L"#OK B", false},
                      {L"$", L"$", false},
                      {L"#", L"#", false},
                      {L"", L"", false},
                      {L"okbutton", L"okbutton", false}});
}

TEST(LangText, LinesPairsAndTheirEnds) {
    struct Case {
        const char* label;
        std::wstring text;
        int pairs;
        std::initializer_list<Lookup> lookups;
    };
    const Case cases[] = {
        {"empty lines between key and value", L"H\r\nH\r\nkey\r\n\r\n\r\n\n\nvalue\r\n", 1, {{L"$key", L"value", true}}},
        {"last value without a line end", L"H\r\nH\r\nkey\r\nlast value", 1, {{L"$key", L"last value", true}}},
        {"END OF FILE as a key", L"H\r\nH\r\na\r\n1\r\nEND OF FILE\r\nb\r\n2\r\n", 1, {{L"$b", L"$b", false}}},
        {"end of file in any case", L"H\r\nH\r\na\r\n1\r\nend of file\r\nb\r\n2\r\n", 1, {{L"$a", L"1", true}}},
        {"END OF FILE as a value", L"H\r\nH\r\na\r\nEND OF FILE\r\nb\r\n2\r\n", 0, {{L"$a", L"$a", false}}},
        {"END OF FILE in the headers", L"END OF FILE\r\nEND OF FILE\r\na\r\n1\r\n", 1, {{L"$a", L"1", true}}},
        {"key without value", L"H\r\nH\r\na\r\n1\r\nb\r\n", 1, {{L"$b", L"$b", false}}},
        {"line feeds alone do not end lines", L"H\nH\na\n1\n", 0, {{L"$a", L"$a", false}}},
        {"CR alone ends lines", L"H\rH\ra\r1\r", 1, {{L"$a", L"1", true}}},
        {"byte-order mark in the first header", L"\xFEFFH\r\nH\r\na\r\n1\r\n", 1, {{L"$a", L"1", true}}},
        {"headers only", L"H\r\nH\r\n", 0, {}},
        {"first match in file order", L"H\r\nH\r\nA b\r\nfirst\r\nab\r\nsecond\r\nabc\r\nthird\r\n", 3,
         {{L"$ab", L"first", true}, {L"#a", L"first", true}, {L"#abc", L"third", true}}},
        {"value keeps its spaces", L"H\r\nH\r\nk\r\n  two  words \r\n", 1, {{L"$k", L"  two  words ", true}}},
        {"non-ASCII keys fold", L"H\r\nH\r\nÜbung\r\nx\r\n", 1, {{L"$übung", L"x", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CLangTable t;
        EXPECT_EQ(Load(U16(c.text), t), c.pairs > 0);
        EXPECT_EQ(t.m_pairCount, c.pairs);
        ExpectLookups(t, c.lookups);
    }
}

TEST(LangText, KeysAreComparedOverTheirFirst59Characters) {
    std::wstring longKey(70, L'k');
    longKey[3] = L' ';  // spaces do not count
    CLangTable t;
    Load(U16(L"H\r\nH\r\n" + longKey + L"\r\nlong\r\n"), t);
    std::wstring first59(59, L'k');
    std::wstring out;
    EXPECT_TRUE(ResolveText(&t, L"$" + first59, out));
    EXPECT_EQ(out, L"long");
    EXPECT_FALSE(ResolveText(&t, L"$" + std::wstring(69, L'k'), out));
    EXPECT_FALSE(ResolveText(&t, L"$" + std::wstring(60, L'k'), out));
    EXPECT_TRUE(ResolveText(&t, L"#" + std::wstring(30, L'k'), out));
}

TEST(LangText, OddSizesAndNoDataAreSafe) {
    Bytes data = U16(L"H\r\nH\r\nk\r\nv\r\n");
    data.push_back(0x41);
    CLangTable t;
    EXPECT_TRUE(Load(data, t));
    CLangTable empty;
    EXPECT_FALSE(LoadLanguageText(nullptr, 10, empty));
    EXPECT_FALSE(Load(Bytes{0x41}, empty));
    EXPECT_FALSE(Load(Bytes{}, empty));
    std::wstring out;
    EXPECT_FALSE(ResolveText(nullptr, L"$k", out));
    EXPECT_EQ(out, L"$k");
}

class LangTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override {
        ReleaseSkinResources();
        ASSERT_TRUE(vt::base::InitProgramFolder(folder.Path().c_str()));
        SetSelectedLanguageId(kDefaultLanguageId);
        folder.Write(L"lang\\en.txt", Str(U16(L"H\r\nH\r\nok\r\nOK\r\nEND OF FILE\r\n")));
        folder.Write(L"lang\\de.txt", Str(U16(L"H\r\nH\r\nok\r\nJa\r\nEND OF FILE\r\n")));
        folder.Write(L"lang\\fr.txt", Str(U16(L"H\r\nH\r\nok\r\nD'accord\r\n")));
        folder.Write(L"lang\\nopairs.txt", Str(U16(L"H\r\nH\r\n")));
        folder.Write(L"lang\\empty.txt", "");
    }
    void TearDown() override {
        DeleteAllItems(items);
        EXPECT_TRUE(LanguageMap().empty()) << "tables leave the map when destroyed";
        EXPECT_EQ(CurrentLanguageTable(), nullptr);
        SetSelectedLanguageId(kDefaultLanguageId);
        ReleaseSkinResources();
    }
    CLangTable* ReadElement(const std::string& xml) {
        EXPECT_TRUE(doc.load_string(xml.c_str()));
        CLangTable* t = ReadLanguageItem(doc.first_child(), owner);
        if (t) items.Add(t);
        return t;
    }
    unsigned Build(const std::string& xml) {
        EXPECT_TRUE(doc.load_string(xml.c_str()));
        return BuildLanguageItems(doc.child("ITEMLIST"), items, owner);
    }
    static std::wstring Text(const void* data) { return data ? static_cast<const wchar_t*>(data) : L"<null>"; }

    vt::test::ScratchFolder folder;
    CGUIItems items;
    pugi::xml_document doc;
    HWND owner = reinterpret_cast<HWND>(0x4321);
};

TEST_F(LangTableTest, ElementWithoutNameOrTextFileBuildsNoTable) {
    struct Case {
        const char* xml;
        bool built;
    };
    const Case cases[] = {
        {R"(<LANG file="en.txt"/>)", false},
        {R"(<LANG name="LANGUAGE_KLINGON" file="en.txt"/>)", false},
        {R"(<LANG name="LANGUAGE_DEFAULT"/>)", false},
        {R"(<LANG name="LANGUAGE_DEFAULT" file="missing.txt"/>)", false},
        {R"(<LANG name="LANGUAGE_DEFAULT" file="empty.txt"/>)", false},
        {R"(<LANG name="LANGUAGE_DEFAULT" file="..\lang\en.txt"/>)", false},
        {R"(<LANG name="LANGUAGE_DEFAULT" file="nopairs.txt"/>)", true},
        {R"(<LANG name="language_default" file=" en.txt "/>)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        CLangTable* t = ReadElement(c.xml);
        EXPECT_EQ(t != nullptr, c.built);
        if (t) {
            EXPECT_EQ(t->m_kind, kKindLangTable);
            EXPECT_EQ(t->m_controlId, 544);
            EXPECT_EQ(t->m_itemWindow, nullptr);
            EXPECT_EQ(t->m_owner, owner);
            EXPECT_EQ(t->m_keyboardLayout, nullptr);
        }
    }
}

TEST_F(LangTableTest, FontSubstitutionsAndOverridesAsWritten) {
    CLangTable* t = ReadElement(R"(<LANG name="LANGUAGE_GERMAN" file="de.txt">
        <LANGFONT fontsearch="FONT_ARIAL12" fontreplace="FONT_ARIAL10"/>
        <LANGFONT fontsearch="FONT_ARIAL14" fontreplace="FONT_NONE"/>
        <LANGFONT fontsearch="FONT_ARIAL16"/>
        <LANGFONT fontsearch="FONT_ARIAL12" fontreplace="FONT_ARIAL16"/>
        <LANGOVERRIDECOL name="LCITEM_PROFILENAME" width="140"/>
        <LANGOVERRIDECOL width="99" NAME="LCITEM_PROFILEEXE"/>
        <LANGOVERRIDECOL name="LCITEM_NOSUCH" width="1"/>
        <LANGOVERRIDECOL name="LCITEM_PROFILEID" width="2" extra="3"/>
        <LANGOVERRIDECOL width="4" other="5"/>
        <LANGOVERRIDE name="BUTTON_OK" caps="U"/>
        <LANGOVERRIDE name="BUTTON_NOSUCH" caps="U"/>
        <LANGOVERRIDE caps="L" multiline="1"/>
        <LANGOVERRIDE name="BUTTON_OK" caps="L" multiline="1"/>
        <LANGOVERRIDE name="BUTTON_CANCEL"><RECT left="5" top=" -6" right="70x" bottom="abc"/><SBMN>n.bmp</SBMN></LANGOVERRIDE>
        <LANGOVERRIDE name="BUTTON_APPLY"><SBMM>m.bmp</SBMM><SBMN> n.bmp </SBMN><SBMDS/><SBMX>x.bmp</SBMX></LANGOVERRIDE>
        <LANGOVERRIDE name="BUTTON_EXIT"><![CDATA[ignored]]><SBMO><![CDATA[o.bmp]]></SBMO></LANGOVERRIDE>
        <LANGOVERRIDE other="BUTTON_HELP"><SBMN>n.bmp</SBMN></LANGOVERRIDE>
        <LANGOVERRIDE name="BUTTON_HELP" rect="5"/>
      </LANG>)");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->m_controlId, 549);
    EXPECT_EQ(t->m_fontSubstitutions.size(), 1u);
    EXPECT_EQ(FindLangFontSubstitute(t, FindControlIdByName(L"FONT_ARIAL12")), FindControlIdByName(L"FONT_ARIAL16"));
    EXPECT_EQ(FindLangFontSubstitute(t, FindControlIdByName(L"FONT_ARIAL14")), -1);

    EXPECT_EQ(Text(GetLangOverrideWidth(t, 2)), L"140");
    EXPECT_EQ(Text(GetLangOverrideWidth(t, 3)), L"99");
    EXPECT_EQ(GetLangOverrideWidth(t, 1), nullptr);
    EXPECT_EQ(Text(GetLayoutValue(t, -1, L"WIDTH")), L"140") << "item id -1 sees column records";

    EXPECT_EQ(Text(GetLayoutValue(t, 104, L"caps")), L"U") << "the first record wins";
    EXPECT_EQ(GetLayoutValue(t, 104, L"multiline"), nullptr);
    EXPECT_EQ(GetLangOverrideWidth(t, 104), nullptr) << "item records are not columns";

    size_t size = 0;
    const void* rect = GetLayoutValue(t, 106, L"rect", &size);
    ASSERT_NE(rect, nullptr);
    ASSERT_EQ(size, 16u);
    int32_t numbers[4];
    std::memcpy(numbers, rect, 16);
    EXPECT_EQ(numbers[0], 5);
    EXPECT_EQ(numbers[1], -6);
    EXPECT_EQ(numbers[2], 70);
    EXPECT_EQ(numbers[3], 0);
    EXPECT_EQ(GetLayoutValue(t, 106, L"SBMN"), nullptr) << "a RECT child keeps the bitmaps out";

    EXPECT_EQ(Text(GetLayoutValue(t, 105, L"SBMN")), L" n.bmp ");
    EXPECT_EQ(Text(GetLayoutValue(t, 105, L"SBMM")), L"m.bmp");
    EXPECT_EQ(Text(GetLayoutValue(t, 105, L"SBMDS")), L"");
    EXPECT_EQ(GetLayoutValue(t, 105, L"SBMX"), nullptr);
    EXPECT_EQ(Text(GetLayoutValue(t, 103, L"SBMO")), L"o.bmp");

    // A text written as an attribute named "rect" is never handed out as a rectangle's 16 bytes.
    EXPECT_EQ(GetLayoutValue(t, 102, L"RECT"), nullptr);
    EXPECT_EQ(GetLayoutValue(t, 102, L"SBMN"), nullptr);
}

TEST_F(LangTableTest, AddedOverridesAreCopiedAndZeroTerminated) {
    CLangTable t;
    const wchar_t text[] = {L'a', L'b'};
    AddLangOverride(t, 7, L"fontid", text, sizeof(text));
    AddLangOverride(t, 8, L"caps", nullptr, 0);
    EXPECT_EQ(Text(GetLayoutValue(&t, 7, L"FONTID")), L"ab");
    EXPECT_EQ(Text(GetLayoutValue(&t, 8, L"caps")), L"");
}

TEST_F(LangTableTest, SelectedAndDefaultLanguagesAreBuiltAndTheSelectedOneIsCurrent) {
    const std::string xml = R"(<ITEMLIST><LANGLIST>
        <LANG name="LANGUAGE_DEFAULT" file="en.txt"/>
        <LANG name="LANGUAGE_FRENCH" file="fr.txt"/>
        <LANG name="LANGUAGE_GERMAN" file="de.txt"/>
        <LANG name="LANGUAGE_KOREAN" file="missing.txt"/>
        <LANG name="BUTTON_OK" file="en.txt"/>
        <OTHER/>
      </LANGLIST></ITEMLIST>)";
    struct Case {
        const wchar_t* registryName;  // null: the value could not be read
        unsigned built;
        const wchar_t* okText;
    };
    const Case cases[] = {
        {L"German", (5u << 16) | 2u, L"Ja"},
        {L"french", (5u << 16) | 2u, L"D'accord"},
        {L"English", (5u << 16) | 1u, L"OK"},
        {nullptr, (5u << 16) | 1u, L"OK"},
        {L"Thai", (5u << 16) | 1u, L"OK"},        // no language of that name: the default one
        {L"Korean", (5u << 16) | 1u, L"OK"},      // its text file is missing: the default one
        {L"Spanish", (5u << 16) | 1u, L"OK"},     // not in the file: the default one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.registryName ? std::string(c.registryName, c.registryName + wcslen(c.registryName)) : "null");
        SetSelectedLanguageId(LanguageIdFromName(c.registryName));
        EXPECT_EQ(Build(xml), c.built);
        CLangTable* current = SelectCurrentLanguageTable();
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current, CurrentLanguageTable());
        std::wstring out;
        EXPECT_TRUE(ResolveText(current, L"$ok", out));
        EXPECT_EQ(out, c.okText);
        DeleteAllItems(items);
        EXPECT_EQ(CurrentLanguageTable(), nullptr);
    }
}

TEST_F(LangTableTest, SelectedIdOutsideTheLanguagesSelectsTheDefault) {
    for (int32_t id : {-1, 0, 543, 560, 985}) {
        SetSelectedLanguageId(id);
        EXPECT_EQ(SelectedLanguageId(), kDefaultLanguageId) << id;
    }
    SetSelectedLanguageId(559);
    EXPECT_EQ(SelectedLanguageId(), 559);
    EXPECT_EQ(SelectCurrentLanguageTable(), nullptr) << "no tables at all";
    EXPECT_EQ(Build("<ITEMLIST/>"), 0u);
}

TEST_F(LangTableTest, ALaterElementForTheSameLanguageReplacesTheEarlier) {
    EXPECT_EQ(Build(R"(<ITEMLIST><LANGLIST><LANG name="LANGUAGE_DEFAULT" file="en.txt"/>
                        <LANG name="LANGUAGE_DEFAULT" file="de.txt"/></LANGLIST></ITEMLIST>)"),
              (2u << 16) | 2u);
    std::wstring out;
    ResolveText(SelectCurrentLanguageTable(), L"$ok", out);
    EXPECT_EQ(out, L"Ja");
    DeleteAllItems(items);
}

class LangShipped : public LangTableTest {
protected:
    void SetUp() override {
        LangTableTest::SetUp();
        ReleaseSkinResources();
        ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageDir().c_str()));
    }
    CLangTable* Select(const wchar_t* registryName) {
        DeleteAllItems(items);
        SetSelectedLanguageId(LanguageIdFromName(registryName));
        std::wstring path = vt::test::ImageDir() + L"xml\\Language.xml";
        EXPECT_TRUE(doc.load_file(path.c_str()));
        BuildLanguageItems(doc.child("ITEMLIST"), items, owner);
        return SelectCurrentLanguageTable();
    }
};

TEST_F(LangShipped, EveryVocabularyKeyHasATextInBothLanguages) {
    for (const wchar_t* language : {L"English", L"German"}) {
        CLangTable* t = Select(language);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->m_controlId, FindLanguageIdByName(language));
        for (Vocab v : {Vocab::KeyCombos, Vocab::Actions, Vocab::KeyboardHelp, Vocab::MouseHelp}) {
            for (const auto& [key, name] : VocabularyTable(v)) {
                std::wstring out;
                EXPECT_TRUE(ResolveText(t, name, out)) << std::string(name, name + wcslen(name));
                EXPECT_FALSE(out.empty());
            }
        }
    }
}

// German changes the texts and nothing else: the program's pages fit its words with their own
// fonts and places, so the shipped table substitutes no font and overrides no item (a substitute
// font that a page does not define leaves its controls in the bold fallback face; a rectangle
// written for another page moves that page's control). The kinds of override a language can make
// are read from the toolkit test pages' own language file (SkinPopupWindowTest).
TEST_F(LangShipped, SwitchingLanguageChangesTheTextsOnly) {
    std::wstring out;
    CLangTable* en = Select(L"English");
    ASSERT_NE(en, nullptr);
    ResolveText(en, L"$cancel", out);
    EXPECT_EQ(out, L"Cancel");
    // Each table lives until the next Select: read it now.
    EXPECT_TRUE(en->m_fontSubstitutions.empty());
    EXPECT_TRUE(en->m_overrides.empty());

    CLangTable* de = Select(L"German");
    ASSERT_NE(de, nullptr);
    ResolveText(de, L"$cancel", out);
    EXPECT_EQ(out, L"Abbrechen");
    ResolveText(de, L"$apply", out);
    EXPECT_EQ(out, L"\u00DCbernehmen");
    ResolveText(de, L"$ResetKeyToDefaultFunction", out);
    EXPECT_EQ(out, L"Taste auf ihre Standardfunktion zur\u00FCcksetzen");
    EXPECT_TRUE(de->m_fontSubstitutions.empty());
    EXPECT_TRUE(de->m_overrides.empty());
}

TEST_F(LangShipped, MutatedLanguageFilesNeverCrashOrOverRead) {
    Bytes english = [] {
        std::string s = vt::test::ReadFileBytes(vt::test::ImageDir() + L"lang\\English.txt");
        return Bytes(s.begin(), s.end());
    }();
    ASSERT_GT(english.size(), 1000u);
    std::mt19937 rng(1210);
    for (int round = 0; round < 400; ++round) {
        Bytes d = english;
        switch (rng() % 4) {
        case 0:
            for (int i = 0, n = 1 + rng() % 16; i < n; ++i) d[rng() % d.size()] = uint8_t(rng());
            break;
        case 1:
            d.resize(rng() % (d.size() + 1));
            break;
        case 2:  // line ends and zeros where they do not belong
            for (int i = 0, n = 1 + rng() % 16; i < n; ++i) d[rng() % d.size()] = uint8_t(rng() % 2 ? 0x0D : 0x00);
            break;
        default:
            d.erase(d.begin() + rng() % d.size());
            break;
        }
        CLangTable t;
        Load(d, t);
        EXPECT_LE(size_t(t.m_pairCount), d.size() / 4);
        std::wstring out;
        ResolveText(&t, L"$cancel", out);
        ResolveText(&t, L"#Assign", out);
    }
}

TEST_F(LangShipped, MutatedLanguagePagesBuildWhatTheyCanAndNeverCrash) {
    std::string xml = vt::test::ReadFileBytes(vt::test::ImageDir() + L"xml\\Language.xml");
    ASSERT_FALSE(xml.empty());
    const char* pieces[] = {"<", ">", "/>", "\"", "=", " name=\"BUTTON_OK\"", "<RECT/>", "<SBMN/>", "LANGOVERRIDE",
                            "LANG", "file=\"German.txt\"", "\x00", "&#0;", "<![CDATA[", "]]>"};
    std::mt19937 rng(77);
    int parsed = 0;
    SetSelectedLanguageId(549);
    for (int round = 0; round < 400; ++round) {
        std::string d = xml;
        for (int i = 0, n = 1 + rng() % 4; i < n; ++i) {
            size_t at = rng() % d.size();
            if (rng() % 2) d.insert(at, pieces[rng() % std::size(pieces)]);
            else d.erase(at, 1 + rng() % 8);
        }
        pugi::xml_document mutated;
        if (!mutated.load_buffer(d.data(), d.size())) continue;
        ++parsed;
        unsigned r = BuildLanguageItems(mutated.child("ITEMLIST"), items, owner);
        EXPECT_LE(r & 0xFFFF, r >> 16);
        if (CLangTable* t = SelectCurrentLanguageTable()) {
            std::wstring out;
            ResolveText(t, L"$ok", out);
            size_t size = 0;
            if (const void* rect = GetLayoutValue(t, FindControlIdByName(L"BUTTON_RESET"), L"RECT", &size)) {
                EXPECT_EQ(size, 16u);
                (void)rect;
            }
        }
        DeleteAllItems(items);
    }
    EXPECT_GT(parsed, 50);
}

TEST_F(LangShipped, EveryLanguageKeyOfTheShippedPagesHasAnEnglishText) {
    CLangTable* en = Select(L"English");
    ASSERT_NE(en, nullptr);
    std::vector<std::wstring> pages;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((vt::test::ImageDir() + L"xml\\*.xml").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do pages.push_back(fd.cFileName);
    while (FindNextFileW(h, &fd));
    FindClose(h);

    size_t keys = 0;
    for (const std::wstring& page : pages) {
        pugi::xml_document d;
        ASSERT_TRUE(d.load_file((vt::test::ImageDir() + L"xml\\" + page).c_str()));
        std::vector<std::string> texts;
        struct Walker : pugi::xml_tree_walker {
            std::vector<std::string>* out;
            bool for_each(pugi::xml_node& n) override {
                for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) out->push_back(a.value());
                if (n.type() == pugi::node_pcdata) out->push_back(n.value());
                return true;
            }
        } walker;
        walker.out = &texts;
        d.traverse(walker);
        for (const std::string& text : texts) {
            if (text.size() < 2 || text[0] != '$') continue;
            ++keys;
            std::wstring wide(text.begin(), text.end()), out;
            EXPECT_TRUE(ResolveText(en, wide, out)) << text << " in " << std::string(page.begin(), page.end());
        }
    }
    EXPECT_GT(keys, 0u);
}

TEST_F(LangShipped, GermanHasATextForEveryEnglishKey) {
    std::vector<std::wstring> englishKeys;
    for (const auto& [key, value] : Select(L"English")->m_texts) englishKeys.push_back(key);
    CLangTable* de = Select(L"German");
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(de->m_texts.size(), englishKeys.size());
    for (const std::wstring& key : englishKeys) {
        std::wstring asked = L"$", out;
        for (wchar_t c : key) if (c != L' ') asked += c;
        EXPECT_TRUE(ResolveText(de, asked, out)) << std::string(asked.begin(), asked.end());
    }
}
