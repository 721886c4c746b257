// Page reader: lexical rules, common attributes, list building order and the failure answers on
// broken page files (a table of small files plus a randomised run over mutated real pages).
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <random>
#include <string>
#include "skin/BitmapBtn.h"
#include "skin/BitmapItem.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/ScrollBar.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "support/SkinFixtures.h"

using namespace vt::skin;
using vt::test::ScratchFolder;

namespace {

pugi::xml_node Element(pugi::xml_document& doc, const char* xml) {
    EXPECT_TRUE(doc.load_string(xml)) << xml;
    return doc.first_child();
}

// A scratch program folder with a tiny skin, and a hidden window that pages are built in.
class PageReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override {
        ReleaseSkinResources();
        ASSERT_TRUE(vt::base::InitProgramFolder(folder.Path().c_str()));
        folder.WriteBmp(L"skins\\bg.bmp", 60, 40, [](int, int) { return RGB(20, 30, 40); });
        folder.WriteBmp(L"skins\\mask.bmp", 60, 40, [](int x, int y) { return x < 4 && y < 4 ? RGB(255, 255, 255) : 0; });
        folder.WriteBmp(L"skins\\b.bmp", 40, 20, [](int, int) { return RGB(90, 90, 90); });
        folder.WriteBmp(L"skins\\thumb.bmp", 12, 30, [](int, int) { return RGB(1, 1, 1); });
        folder.WriteBmp(L"skins\\ten.bmp", 10, 10, [](int, int) { return RGB(2, 2, 2); });
        RegisterSkinWindowClass();
        parent = CreateWindowExW(0, kSkinWindowClass, L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(parent);
    }
    void TearDown() override {
        DeleteAllItems(items);
        DestroyWindow(parent);
        ReleaseSkinResources();
    }
    bool Load(const std::string& xml) {
        folder.Write(L"xml\\page.xml", xml);
        return items.LoadSkinPage(L"page.xml", parent);
    }
    std::vector<int> Kinds() const {
        std::vector<int> k;
        for (CGUIItem* i : items.m_items) k.push_back(i->m_kind);
        return k;
    }
    ScratchFolder folder;
    HWND parent = nullptr;
    CGUIItems items;
};

} // namespace

TEST(PageLexical, Numbers) {
    struct Case { const char* text; int value; };
    const Case cases[] = {{"12", 12}, {"  -7x", -7}, {"+3", 3}, {"\t 42 ", 42}, {"abc", 0}, {"", 0}, {nullptr, 0},
                          {"- 5", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
                          {"999999999999999999999999", INT_MAX}, {"0x10", 0}, {"010", 10}};
    for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << (c.text ? c.text : "(null)");
}

TEST(PageLexical, TruthValues) {
    for (const char* t : {"1", "t", "T", "true", "y", "Y", "yes"}) EXPECT_TRUE(ParseTruth(t)) << t;
    for (const char* f : {"0", "n", "no", "false", "F", "", " y", "2"}) EXPECT_FALSE(ParseTruth(f)) << f;
    EXPECT_FALSE(ParseTruth(nullptr));
}

TEST(PageAttributes, FirstLetterEnumsAndTruthDefaults) {
    struct Case { const char* xml; wchar_t ttpos; int caps; wchar_t justify; bool multiline, checkbox, interactive, dynamic; int multiplier; };
    const Case cases[] = {
        {"<E/>", L'L', 0, L'L', false, false, true, true, 1},
        {"<E ttpos='Right' caps='Upper' justify='Centre' multiline='1' ischeckbox='y' interactive='1' dynamic='0' multiplier='25'/>",
         L'R', 1, L'C', true, true, true, false, 25},
        {"<E ttpos='right' caps='Lower' justify='R' multiline='01' ischeckbox='n' interactive='' dynamic=''/>",
         L'L', 2, L'R', true, false, false, false, 1},
        {"<E ttpos='T' caps='lower' justify='c' multiline=' +1' ischeckbox='Yes' interactive='no' multiplier='x'/>",
         L'T', 0, L'L', true, true, false, true, 0},
        {"<E ttpos='B' caps='' justify='' multiline='2' ischeckbox='' interactive='T' dynamic='y'/>",
         L'B', 0, L'L', false, false, true, true, 1},
        {"<E ttpos='X' multiline='' />", L'L', 0, L'L', false, false, true, true, 1},
    };
    for (const Case& c : cases) {
        pugi::xml_document doc;
        pugi::xml_node e = Element(doc, c.xml);
        EXPECT_EQ(ReadTooltipPosition(e), c.ttpos) << c.xml;
        EXPECT_EQ(ReadCaseMode(e, -1), c.caps) << c.xml;
        EXPECT_EQ(ReadJustify(e), c.justify) << c.xml;
        EXPECT_EQ(ReadMultiline(e, -1), c.multiline) << c.xml;
        EXPECT_EQ(ReadIsCheckbox(e), c.checkbox) << c.xml;
        EXPECT_EQ(ReadInteractive(e), c.interactive) << c.xml;
        EXPECT_EQ(ReadDynamic(e), c.dynamic) << c.xml;
        EXPECT_EQ(ReadMultiplier(e), c.multiplier) << c.xml;
    }
}

TEST(PageAttributes, RectHoldsWidthAndHeightAndNeverWraps) {
    struct Case { const char* xml; RECT r; };
    const Case cases[] = {
        {"<E><RECT left='10' top='20' right='100' bottom='30'/></E>", {10, 20, 110, 50}},
        {"<E/>", {0, 0, 0, 0}},
        {"<E><RECT left='5' top='6'/></E>", {5, 6, 5, 6}},
        {"<E><RECT left='2147483647' top='-2147483648' right='99' bottom='-99'/></E>", {INT_MAX, INT_MIN, INT_MAX, INT_MIN}},
        {"<E><NOTRECT left='1'/></E>", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        pugi::xml_document doc;
        RECT r = ReadItemRect(Element(doc, c.xml), -1);
        EXPECT_EQ(r.left, c.r.left) << c.xml;
        EXPECT_EQ(r.top, c.r.top) << c.xml;
        EXPECT_EQ(r.right, c.r.right) << c.xml;
        EXPECT_EQ(r.bottom, c.r.bottom) << c.xml;
    }
    int v[4] = {9, 9, 9, 9};
    pugi::xml_document doc;
    ReadRectElement(Element(doc, "<SBMN left='1'/>"), v);   // not a RECT element: all 0
    EXPECT_EQ(v[0] + v[1] + v[2] + v[3], 0);
}

TEST(PageAttributes, ColoursByNameUnknownIsMinusOneAbsentKeeps) {
    BuildVocabularyTables();
    pugi::xml_document doc;
    pugi::xml_node e = Element(doc, "<E a='WHITE' b='blue_dm_border' c='NOSUCHCOLOUR' d='BLACK'/>");
    COLORREF c = 0x123456;
    EXPECT_TRUE(ReadColorAttribute(e, "a", c));
    EXPECT_EQ(c, 0xFFFFFFu);
    ReadColorAttribute(e, "b", c);
    EXPECT_EQ(c, 0x623300u);
    ReadColorAttribute(e, "c", c);
    EXPECT_EQ(c, COLORREF(-1));
    ReadColorAttribute(e, "d", c);
    EXPECT_EQ(c, 0u);
    c = 0x123456;
    EXPECT_FALSE(ReadColorAttribute(e, "missing", c));
    EXPECT_EQ(c, 0x123456u);
}

TEST_F(PageReaderTest, ScrollBarWidthFromItsBitmaps) {
    struct Case { const char* xml; int width; bool described; };
    const Case cases[] = {
        {"<E><VSCROLL bdrwidth='2'><VSBMP_TOP>ten.bmp</VSBMP_TOP><VSBMP_SPN>ten.bmp</VSBMP_SPN>"
         "<VSBMP_TMB>thumb.bmp</VSBMP_TMB></VSCROLL></E>", 14, true},
        {"<E><VSCROLL bdrwidth='2'><VSBMP_TOP>ten.bmp</VSBMP_TOP></VSCROLL></E>", 0, false},
        {"<E><VSCROLL><VSBMP_TMB>missing.bmp</VSBMP_TMB></VSCROLL></E>", 0, false},
        {"<E><VSCROLL bdrwidth='-50'><VSBMP_TMB>thumb.bmp</VSBMP_TMB></VSCROLL></E>", 12, true},
        {"<E><VSCROLL bdrwidth='2147483647'><VSBMP_TMB>thumb.bmp</VSBMP_TMB></VSCROLL></E>", INT_MAX, true},
        {"<E/>", 0, false},
    };
    for (const Case& c : cases) {
        pugi::xml_document doc;
        VScrollDescription d;
        EXPECT_EQ(ReadVScroll(Element(doc, c.xml), d), c.width) << c.xml;
        EXPECT_EQ(d.thumb != nullptr, c.described) << c.xml;
    }
}

TEST_F(PageReaderTest, ScrollBarIsMadeEvenWithoutAThumb) {
    pugi::xml_document doc;
    auto bar = CreateItemVScroll(Element(doc, "<E><VSCROLL bdrwidth='3'><VSBMP_TOP>ten.bmp</VSBMP_TOP></VSCROLL></E>"), parent);
    EXPECT_NE(bar, nullptr);
    pugi::xml_document doc2;
    auto skinned = CreateItemVScroll(Element(doc2, "<E><VSCROLL><VSBMP_TMB>thumb.bmp</VSBMP_TMB></VSCROLL></E>"), parent);
    EXPECT_NE(skinned, nullptr);
}

TEST_F(PageReaderTest, BitmapSetCountsOnlyWithItsNormalBitmap) {
    pugi::xml_document doc;
    BitmapSet set;
    CBitmap sentinel;
    set.over = &sentinel;
    EXPECT_FALSE(ReadBitmapSet(Element(doc, "<BMPINFO><SBMO>b.bmp</SBMO></BMPINFO>"), -1, set));
    EXPECT_EQ(set.over, &sentinel);   // without SBMN nothing else is read
    pugi::xml_document doc2;
    EXPECT_TRUE(ReadBitmapSet(Element(doc2, "<BMPINFO><SBMN> b.bmp </SBMN><SBMD>ten.bmp</SBMD>"
                                            "<RECT left='1' top='2' right='3' bottom='4'/></BMPINFO>"), -1, set));
    EXPECT_NE(set.normal, nullptr);
    EXPECT_EQ(set.over, nullptr);
    EXPECT_NE(set.down, nullptr);
    EXPECT_EQ(set.rect.right, 4);
    NamedBitmaps named = {{"SBMN", set.normal}, {"SBMD", set.down}};
    EXPECT_EQ(FindNamedBitmap(named, "sbmd"), set.down);
    EXPECT_EQ(FindNamedBitmap(named, "SBMM"), nullptr);
}

TEST_F(PageReaderTest, BrokenPagesGiveFalseAndBuildNothingMore) {
    struct Case { const char* what; std::string xml; bool result; size_t items; };
    const std::string button = "<BUTTONLIST><BUTTON name='BUTTON_OK'><RECT left='1' top='1' right='40' bottom='20'/>"
                               "<SBMN>b.bmp</SBMN></BUTTON></BUTTONLIST>";
    const Case cases[] = {
        {"empty file", "", false, 0},
        {"not well-formed", "<GUIPANEL><BACKGROUND>bg.bmp</BACKGROUND>", false, 0},
        {"binary junk", std::string("\xff\xfe\x00\x01<<>>\x80", 10), false, 0},
        {"unknown root", "<PAGE>" + button + "</PAGE>", false, 0},
        {"root not first", "<OTHER/><ITEMLIST>" + button + "</ITEMLIST>", true, 1},
        {"panel without background", "<GUIPANEL><MASK>mask.bmp</MASK>" + button + "</GUIPANEL>", false, 0},
        {"background bitmap missing", "<GUIPANEL><BACKGROUND>none.bmp</BACKGROUND><MASK>mask.bmp</MASK></GUIPANEL>", false, 0},
        {"background not a picture", "<GUIPANEL><BACKGROUND>page.xml</BACKGROUND><MASK>mask.bmp</MASK></GUIPANEL>", false, 0},
        {"panel without mask", "<GUIPANEL><BACKGROUND>bg.bmp</BACKGROUND>" + button + "</GUIPANEL>", false, 1},
        {"mask missing", "<GUIPANEL><BACKGROUND>bg.bmp</BACKGROUND><MASK> gone.bmp </MASK>" + button + "</GUIPANEL>", false, 1},
        {"full panel", "<GUIPANEL><BACKGROUND>bg.bmp</BACKGROUND><MASK>mask.bmp</MASK>" + button + "</GUIPANEL>", true, 3},
        {"keyboard page without definition", "<KEYBOARD>" + button + "</KEYBOARD>", false, 0},
        {"keyboard definition file missing",
         "<KEYBOARD><KEYBOARDDEF name='KBDDEF_WINDOWS' file='none.bin'/>" + button + "</KEYBOARD>", false, 0},
        {"unknown and missing names skipped",
         "<ITEMLIST><BUTTONLIST><BUTTON name='NO_SUCH_CONTROL'/><BUTTON/><BUTTON name='BUTTON_OK'><SBMN>b.bmp</SBMN>"
         "<RECT right='10' bottom='10'/></BUTTON></BUTTONLIST></ITEMLIST>", true, 1},
        {"unknown elements and lists ignored",
         "<ITEMLIST><WHATEVER/><BUTTONLIST><SPINNER name='BUTTON_OK'/></BUTTONLIST><FONTLIST><FONT/></FONTLIST></ITEMLIST>",
         true, 0},
        {"missing bitmaps leave states empty",
         "<ITEMLIST><BUTTONLIST><BUTTON name='BUTTON_OK'><RECT right='10' bottom='10'/><SBMN>no.bmp</SBMN>"
         "<SBMM>no.bmp</SBMM></BUTTON></BUTTONLIST></ITEMLIST>", true, 1},
        {"huge and negative numbers",
         "<ITEMLIST><BITMAPLIST><BITMAPITEM name='BITMAP_VIMBA'><RECT left='-2147483648' top='99999999999' right='-5' "
         "bottom='2147483647'/><SBMN>b.bmp</SBMN></BITMAPITEM></BITMAPLIST><FONTLIST><FONT name='FONT_ARIAL10' "
         "pitch='2147483647' boldlevel='99999'>  </FONT></FONTLIST></ITEMLIST>", true, 2},
        {"font file missing", "<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL10'>nofont.ttf</FONT></FONTLIST></ITEMLIST>", true, 1},
        {"names with folders stay in their folder",
         "<GUIPANEL><BACKGROUND>..\\skins\\bg.bmp</BACKGROUND><MASK>mask.bmp</MASK></GUIPANEL>", false, 0},
    };
    for (const Case& c : cases) {
        DeleteAllItems(items);
        EXPECT_EQ(Load(c.xml), c.result) << c.what;
        EXPECT_EQ(items.Count(), c.items) << c.what;
    }
    EXPECT_FALSE(items.LoadSkinPage(L"does-not-exist.xml", parent));
    EXPECT_FALSE(BuildPanelFromXml(folder.Path() + L"xml\\page.xml", nullptr, parent));
}

TEST_F(PageReaderTest, ListsBuildInTableOrderThenNameOrderThenDocumentOrder) {
    // Buttons first in the file, fonts and bitmaps after: the reader builds fonts, then bitmaps,
    // then buttons; within a list all BUTTONs before the first-only PROFBUTTON and AVIBUTTON.
    ASSERT_TRUE(Load("<ITEMLIST>"
                     "<BUTTONLIST>"
                     "  <BUTTON name='BUTTON_OK' fontid='FONT_ARIAL12' windowid='BITMAP_VIMBA'><RECT right='10' bottom='10'/></BUTTON>"
                     "  <AVIBUTTON name='BUTTON_AVI'/>"
                     "  <BUTTON name='BUTTON_APPLY' fontid='BITMAP_VIMBA' windowid='FONT_ARIAL12'><RECT right='10' bottom='10'/></BUTTON>"
                     "  <PROFBUTTON name='BUTTON_PROFILE01'/><PROFBUTTON name='BUTTON_PROFILE02'/>"
                     "</BUTTONLIST>"
                     "<BITMAPLIST><BITMAPWINDOW name='BITMAPWIN_ASSIGNKEY'><RECT right='40' bottom='40'/></BITMAPWINDOW>"
                     "  <BITMAPITEM name='BITMAP_VIMBA'><RECT right='50' bottom='30'/><SBMN>b.bmp</SBMN></BITMAPITEM></BITMAPLIST>"
                     "<FONTLIST><FONT name='FONT_ARIAL12' typeface='Liberation Sans' pitch='12'/></FONTLIST>"
                     "<BUTTONLIST><BUTTON name='BUTTON_CANCEL'/></BUTTONLIST>"
                     "</ITEMLIST>"));
    // Only the first PROFBUTTON is built: its id is the first one's.
    ASSERT_EQ(Kinds(), (std::vector<int>{12, 1, 17, 2, 2, 4, 3}));
    EXPECT_EQ(items.At(5)->m_controlId, int(ctl::BUTTON_PROFILE01));
    EXPECT_EQ(items.At(6)->m_controlId, int(ctl::BUTTON_AVI));
    auto* ok = static_cast<CBitmapBtn*>(items.At(3));
    auto* apply = static_cast<CBitmapBtn*>(items.At(4));
    EXPECT_EQ(ok->m_controlId, int(ctl::BUTTON_OK));
    EXPECT_EQ(apply->m_controlId, int(ctl::BUTTON_APPLY));
    // References resolve to earlier items of the right kind only.
    EXPECT_EQ(ok->m_font, items.At(0));
    EXPECT_EQ(GetParent(*ok), static_cast<CBitmapItem*>(items.At(1))->Hwnd());
    EXPECT_EQ(apply->m_font, nullptr);
    EXPECT_EQ(GetParent(*apply), parent);
    EXPECT_EQ(apply->m_owner, parent);

    // The list builder's answer: elements seen and items built.
    pugi::xml_document doc;
    doc.load_string("<R><L><B name='BUTTON_OK'/><A/><B name='NOPE'/><A/><B name='BUTTON_APPLY'/></L></R>");
    const ListElement elements[] = {{"B", [](pugi::xml_node e, CGUIItems&, HWND) -> CGUIItem* {
                                         int id = ReadItemName(e);
                                         if (id < 0) return nullptr;
                                         auto* item = new CGUIItem;
                                         item->SetItemFields(id, kKindTextItem, nullptr, nullptr);
                                         return item;
                                     }, false},
                                    {"A", nullptr, true}};
    CGUIItems built;
    EXPECT_EQ(BuildListElements(doc.child("R"), "L", elements, 2, built, nullptr), (4u << 16) | 2u);
    EXPECT_EQ(BuildListElements(doc.child("R"), "NONE", elements, 2, built, nullptr), 0u);
}

TEST_F(PageReaderTest, FontElementBuildsItsLogicalFont) {
    ASSERT_TRUE(Load("<ITEMLIST><FONTLIST>"
                     "<FONT name='FONT_ARIAL10'/>"
                     "<FONT name='FONT_ARIAL12' typeface='ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn' pitch='0' boldlevel='0'/>"
                     "<FONT name='FONT_ARIAL14B' typeface='Liberation Sans' pitch='18' boldlevel='700'/>"
                     "</FONTLIST></ITEMLIST>"));
    ASSERT_EQ(items.Count(), 3u);
    LOGFONTW lf[3];
    for (int i = 0; i < 3; ++i) {
        auto* font = static_cast<CFontItem*>(items.At(i));
        EXPECT_EQ(font->m_kind, kKindFontItem);
        EXPECT_EQ(font->m_itemWindow, nullptr);
        ASSERT_TRUE(font->Get());
        GetObjectW(font->Get(), sizeof(lf[i]), &lf[i]);
    }
    EXPECT_EQ(lf[0].lfHeight, 0);
    EXPECT_EQ(lf[0].lfWeight, 0);
    EXPECT_EQ(lf[0].lfPitchAndFamily, 0x20);
    EXPECT_EQ(std::wstring(lf[1].lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");   // 31 characters
    EXPECT_EQ(lf[1].lfHeight, 0);
    EXPECT_EQ(lf[2].lfHeight, 18);
    EXPECT_EQ(lf[2].lfWeight, 700);
}

TEST_F(PageReaderTest, BitmapItemElementAndFindByWindow) {
    ASSERT_TRUE(Load("<ITEMLIST><BITMAPLIST>"
                     "<BITMAPITEM name='BITMAP_VIMBA' moveable='yes' tooltip='A\\nB\\nC'><RECT left='3' top='4' right='20' bottom='10'/>"
                     "<SBMN>b.bmp</SBMN><SBMM>mask.bmp</SBMM></BITMAPITEM>"
                     "<BITMAPITEM name='BITMAP_SORLVIEWPLAN' moveable='0'><RECT right='5' bottom='5'/></BITMAPITEM>"
                     "<BITMAPITEM name='BITMAP_SORLVIEWSIDE'><RECT right='5' bottom='5'/></BITMAPITEM>"
                     "</BITMAPLIST></ITEMLIST>"));
    ASSERT_EQ(items.Count(), 3u);
    auto* a = static_cast<CBitmapItem*>(items.At(0));
    EXPECT_EQ(a->m_itemWindow, nullptr);
    EXPECT_EQ(a->m_owner, parent);
    EXPECT_FALSE(IsWindowEnabled(a->Hwnd()));
    EXPECT_TRUE(IsWindowEnabled(static_cast<CBitmapItem*>(items.At(1))->Hwnd()));
    EXPECT_TRUE(IsWindowEnabled(static_cast<CBitmapItem*>(items.At(2))->Hwnd()));
    EXPECT_EQ(FindItemByWindow(items, a->Hwnd()), nullptr);
    EXPECT_EQ(a->m_tooltip.Text(), L"A B C");
    RECT wr;
    GetWindowRect(a->Hwnd(), &wr);
    EXPECT_EQ(wr.right - wr.left, 20);
    EXPECT_EQ(BitmapSize(a->m_image).cx, 20);
    EXPECT_EQ(BitmapSize(a->m_image).cy, 10);
    // The mask's white corner is cut from the window.
    vt::win::Region rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(a->Hwnd(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 1, 1));
    EXPECT_TRUE(PtInRegion(rgn, 10, 5));
}

TEST(PageReaderWidePath, LoadsFromAFolderWithNonAsciiName) {
    BuildVocabularyTables();
    ReleaseSkinResources();
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::wstring dir = std::wstring(tmp) + L"vt-sk\u00efn-\u9875-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW((dir + L"xml").c_str(), nullptr);
    const std::wstring page = dir + L"xml\\p\u00e4ge.xml";
    FILE* f = _wfopen(page.c_str(), L"wb");
    ASSERT_TRUE(f);
    fputs("<ITEMLIST><FONTLIST><FONT name='FONT_ARIAL10'/></FONTLIST></ITEMLIST>", f);
    fclose(f);
    ASSERT_TRUE(vt::base::InitProgramFolder(dir.c_str()));
    CGUIItems items;
    EXPECT_TRUE(items.LoadSkinPage(L"p\u00e4ge.xml", nullptr));
    EXPECT_EQ(items.Count(), 1u);
    DeleteFileW(page.c_str());
    RemoveDirectoryW((dir + L"xml").c_str());
    RemoveDirectoryW(dir.c_str());
}

// Mutated copies of the real page files: every build must end (true or false) without a crash,
// and the items must go again without leaving windows behind.
TEST_F(PageReaderTest, MutatedRealPagesNeverCrashOrLeak) {
    ReleaseSkinResources();
    ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::TestImageDir().c_str()));
    std::vector<std::string> pages, ownPages;   // every page; the pages of the controls built here
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((vt::test::TestImageDir() + L"xml\\*.xml").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        std::string bytes = vt::test::ReadFileBytes(vt::test::TestImageDir() + L"xml\\" + fd.cFileName);
        if (!bytes.empty()) pages.push_back(bytes);
        if (!bytes.empty() && std::wstring(fd.cFileName).rfind(L"SkinTest", 0) == 0) ownPages.push_back(bytes);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    ASSERT_FALSE(pages.empty());

    std::mt19937 rng(20261210);
    const char* inserts[] = {"99999999999", "-2147483648", "<", ">", "\"", "&amp;", "&#0;", "\xff\xfe", "<BUTTON>",
                             "</BUTTONLIST>", "name='BUTTON_OK'", " windowid='BITMAP_PROFILE_RECT'", "..\\", "\x80\x81"};
    auto mutate = [&](std::string s) {
        const int ops = 1 + int(rng() % 4);
        for (int i = 0; i < ops && !s.empty(); ++i) {
            const size_t at = rng() % s.size();
            switch (rng() % 6) {
            case 0: s[at] = char(rng() % 256); break;
            case 1: s.erase(at, 1 + rng() % 40); break;
            case 2: s.insert(at, inserts[rng() % std::size(inserts)]); break;
            case 3: s.insert(at, s.substr(rng() % s.size(), 1 + rng() % 200)); break;
            case 4: s.resize(at); break;
            case 5: if (std::isdigit(static_cast<unsigned char>(s[at]))) s.insert(at, "9999999"); break;
            }
        }
        return s;
    };
    auto runBatch = [&](int count, const std::vector<std::string>& corpus) {
        for (int i = 0; i < count; ++i) {
            const std::string page = mutate(corpus[rng() % corpus.size()]);
            CGUIItems built;
            BuildPanelFromXmlBuffer(page.data(), page.size(), &built, parent);
            for (CGUIItem* item : built.m_items) {
                ASSERT_GE(item->m_kind, 0);
                ASSERT_LE(item->m_kind, 25);
                // Make the tooltip windows as a mouse move would, so that they have to go too.
                if (item->m_kind == kKindBitmapItem) static_cast<CBitmapItem*>(item)->m_tooltip.Realize();
                if (item->m_kind == kKindBitmapBtn) static_cast<CBitmapBtn*>(item)->m_tooltip.Realize();
                if (item->m_kind == kKindBitmapWindow) static_cast<CBitmapWindow*>(item)->m_tooltip.Realize();
            }
        }
    };
    // Every window a build made goes with its items: none stays in the page's window, and no
    // top-level window (tooltips) of the controls built here stays behind. (GDI object counts are
    // not available under Wine.)
    auto countChildren = [&] {
        int n = 0;
        EnumChildWindows(parent, [](HWND, LPARAM p) { ++*reinterpret_cast<int*>(p); return TRUE; },
                         reinterpret_cast<LPARAM>(&n));
        return n;
    };
    auto countTopLevel = [] {
        int n = 0;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND, LPARAM p) { ++*reinterpret_cast<int*>(p); return TRUE; },
                          reinterpret_cast<LPARAM>(&n));
        return n;
    };
    ASSERT_FALSE(ownPages.empty());
    const int topLevel = countTopLevel();
    for (int round = 0; round < 3; ++round) {
        runBatch(150, ownPages);
        ASSERT_EQ(countChildren(), 0);
        ASSERT_EQ(countTopLevel(), topLevel);
    }
    for (int round = 0; round < 4; ++round) {
        runBatch(150, pages);
        ASSERT_EQ(countChildren(), 0);
    }
    // The unmutated pages still build after all that.
    for (const std::string& page : pages) {
        CGUIItems built;
        BuildPanelFromXmlBuffer(page.data(), page.size(), &built, parent);
    }
}
