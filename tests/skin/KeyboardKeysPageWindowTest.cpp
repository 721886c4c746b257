// The on-screen keyboard's key-items pages of the program folder image, read through the page
// reader as the main window reads them: every page the layout list names loads, its keys are the
// BUTTON_KB_ keys bound to records of the key table, they lie apart inside the assign-keys page's
// card, and each arrangement has the keys and key shapes of its caps. A screenshot of every
// keyboard is saved for a person to look at.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CtlTestSupport.h"
#include "base/ProgramFolder.h"
#include "skin/KeyItem.h"
#include "skin/KeyboardDef.h"
#include "skin/KeyboardLayout.h"
#include "skin/KeyboardSystem.h"
#include "skin/PageReader.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;
using namespace vt::test;

namespace {

constexpr int kFirstKeyId = 627;   // BUTTON_KB_ESC
constexpr int kKeyIdCount = 120;
// The main window's content card, inside its edge: the page area.
constexpr RECT kPageArea{223, 73, 867, 535};
constexpr COLORREF kCard = RGB(0x1e, 0x23, 0x29);

// A main-window-sized owner painted in the content card's colour.
class CardWindow : public vt::win::Window {
public:
    bool Open() {
        static HBRUSH brush = CreateSolidBrush(kCard);
        vt::win::Window::RegisterClass(L"VtKbdPageCard", 0, brush);
        if (!Create(0, L"VtKbdPageCard", L"keys", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 880, 600, nullptr, 0))
            return false;
        SetForegroundWindow(m_hWnd);
        return true;
    }
};

class KeyboardKeysPageWindowTest : public WindowTest {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override {
        ReleaseSkinResources();
        GlobalKeyboardDef().Reset();
        ASSERT_TRUE(vt::base::InitProgramFolder(ImageFolder().c_str()));
        ASSERT_TRUE(owner.Open());
    }
    void TearDown() override {
        DeleteAllItems(items);
        GlobalKeyboardDef().Reset();
        ReleaseSkinResources();
        WindowTest::TearDown();
    }
    // The page's keys by control name.
    std::map<std::wstring, CKeyboardKeyItem*> Keys() const {
        std::map<std::wstring, CKeyboardKeyItem*> keys;
        for (CGUIItem* item : items.m_items)
            if (item->m_kind == kKindKeyboardKey) {
                const wchar_t* name = FindControlNameById(item->m_controlId);
                keys[name ? name : L"(no name)"] = static_cast<CKeyboardKeyItem*>(item);
            }
        return keys;
    }
    RECT Rect(CKeyboardKeyItem* key) const {
        RECT r;
        GetWindowRect(*key, &r);
        MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    CardWindow owner;
    CGUIItems items;
};

struct PageCase {
    const wchar_t* page;
    size_t keys;
    std::vector<const wchar_t*> only;   // of the keys some arrangements lack, those this one has
};
// The keys that not every arrangement has. The keyboard's own key (BUTTON_KB_VLT) has no record in
// the key table and is on no page.
const wchar_t* const kOptionalKeys[] = {
    L"BUTTON_KB_VRTLINE", L"BUTTON_KB_EU1_NOTE2", L"BUTTON_KB_EU2_NOTE2", L"BUTTON_KB_INTL2_YEN",
    L"BUTTON_KB_INTL2_KATA_HIRA", L"BUTTON_KB_INTL5_MUHENKAN", L"BUTTON_KB_INTL4_HENKAN", L"BUTTON_KB_INTL1_RO",
    L"BUTTON_KB_LANG2_HANJA", L"BUTTON_KB_LANG1_HANG_ENG", L"BUTTON_KB_BRAZIL_NUM_DECIMAL", L"BUTTON_KB_VLT"};
const PageCase kPages[] = {
    {L"KeyboardKeysANSI.xml", 109, {L"BUTTON_KB_VRTLINE"}},
    {L"KeyboardKeysISO.xml", 110, {L"BUTTON_KB_EU1_NOTE2", L"BUTTON_KB_EU2_NOTE2"}},
    {L"KeyboardKeysKorean.xml", 111, {L"BUTTON_KB_VRTLINE", L"BUTTON_KB_LANG2_HANJA", L"BUTTON_KB_LANG1_HANG_ENG"}},
    {L"KeyboardKeysJapanese.xml", 114,
     {L"BUTTON_KB_EU1_NOTE2", L"BUTTON_KB_INTL2_YEN", L"BUTTON_KB_INTL2_KATA_HIRA", L"BUTTON_KB_INTL5_MUHENKAN",
      L"BUTTON_KB_INTL4_HENKAN", L"BUTTON_KB_INTL1_RO"}},
    {L"KeyboardKeysBrazil.xml", 112,
     {L"BUTTON_KB_EU1_NOTE2", L"BUTTON_KB_EU2_NOTE2", L"BUTTON_KB_INTL1_RO", L"BUTTON_KB_BRAZIL_NUM_DECIMAL"}},
};

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

} // namespace

TEST_F(KeyboardKeysPageWindowTest, EveryPageHoldsItsKeysBoundAndApartInsideThePageArea) {
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(Narrow(c.page));
        DeleteAllItems(items);
        ASSERT_TRUE(LoadSkinPage(items, c.page, owner));
        auto keys = Keys();
        EXPECT_EQ(keys.size(), c.keys);
        size_t keyItems = 0;
        for (CGUIItem* item : items.m_items) keyItems += item->m_kind == kKindKeyboardKey;
        EXPECT_EQ(keyItems, keys.size()) << "a control id twice";

        std::set<int32_t> keyIds;
        std::vector<std::pair<std::wstring, RECT>> placed;
        for (auto& [name, key] : keys) {
            SCOPED_TRACE(Narrow(name));
            EXPECT_GE(key->m_controlId, kFirstKeyId);
            EXPECT_LT(key->m_controlId, kFirstKeyId + kKeyIdCount);
            EXPECT_EQ(name.rfind(L"BUTTON_KB_", 0), 0u);
            ASSERT_NE(key->m_keyDef, nullptr) << "no record of the key table";
            EXPECT_EQ(vt::base::GlobalKeyTable().FindKey(key->m_keyDef->keyId), key->m_keyDef);
            EXPECT_NE(key->m_scanCode, -1);
            EXPECT_TRUE(keyIds.insert(key->m_keyDef->keyId).second) << "two keys share a record";
            EXPECT_FALSE(key->m_caption.empty() && name != L"BUTTON_KB_SPACE") << "a key without a cap";
            EXPECT_EQ(key->m_owner, HWND(owner)) << "the page's window hears the key";
            RECT r = Rect(key);
            EXPECT_GE(r.left, kPageArea.left);
            EXPECT_GE(r.top, kPageArea.top);
            EXPECT_LE(r.right, kPageArea.right);
            EXPECT_LE(r.bottom, kPageArea.bottom);
            for (auto& [other, o] : placed) EXPECT_FALSE(Overlap(r, o)) << "overlaps " << Narrow(other);
            placed.push_back({name, r});
        }
        for (const wchar_t* optional : kOptionalKeys) {
            const bool expected = std::find_if(c.only.begin(), c.only.end(), [&](const wchar_t* n) {
                                      return std::wstring(n) == optional;
                                  }) != c.only.end();
            EXPECT_EQ(keys.count(optional) == 1, expected) << Narrow(optional);
        }
    }
}

TEST_F(KeyboardKeysPageWindowTest, AnsiAndIsoKeysHaveTheirShapes) {
    struct Shape {
        RECT enter, leftShift, rightShift, aboveEnter;
    };
    auto shapeOf = [&](const wchar_t* page, const wchar_t* aboveEnter) {
        DeleteAllItems(items);
        EXPECT_TRUE(LoadSkinPage(items, page, owner));
        auto keys = Keys();
        Shape s{};
        for (auto [name, out] : {std::pair{L"BUTTON_KB_ENTER", &s.enter}, std::pair{L"BUTTON_KB_LTSHFT", &s.leftShift},
                                 std::pair{L"BUTTON_KB_RTSHFT", &s.rightShift}, std::pair{aboveEnter, &s.aboveEnter}}) {
            EXPECT_EQ(keys.count(name), 1u) << Narrow(page) << " " << Narrow(name);
            if (keys.count(name)) *out = Rect(keys[name]);
        }
        return s;
    };
    auto height = [](const RECT& r) { return r.bottom - r.top; };
    auto width = [](const RECT& r) { return r.right - r.left; };
    const Shape ansi = shapeOf(L"KeyboardKeysANSI.xml", L"BUTTON_KB_VRTLINE");
    const Shape iso = shapeOf(L"KeyboardKeysISO.xml", L"BUTTON_KB_RTCRBKT");
    const int row = height(ansi.leftShift);
    // ANSI: a wide one-row Enter below the backslash key; a long left Shift.
    EXPECT_EQ(height(ansi.enter), row);
    EXPECT_GT(width(ansi.enter), 2 * row);
    EXPECT_GT(ansi.enter.top, ansi.aboveEnter.bottom);
    EXPECT_LT(ansi.enter.top - ansi.aboveEnter.bottom, row / 4);
    EXPECT_EQ(ansi.enter.right, ansi.aboveEnter.right);
    // ISO: the Enter takes two rows, beginning on the brackets' row; a short left Shift, with the
    // extra key beside it, and the same right Shift.
    EXPECT_GT(height(iso.enter), 2 * row);
    EXPECT_EQ(iso.enter.top, iso.aboveEnter.top);
    EXPECT_GT(iso.enter.left, iso.aboveEnter.right);
    EXPECT_EQ(iso.enter.right, ansi.enter.right);
    EXPECT_LT(3 * width(iso.leftShift), 2 * width(ansi.leftShift));
    EXPECT_EQ(width(iso.rightShift), width(ansi.rightShift));
    auto keys = Keys();
    ASSERT_TRUE(keys.count(L"BUTTON_KB_EU2_NOTE2") && keys.count(L"BUTTON_KB_Z") && keys.count(L"BUTTON_KB_EU1_NOTE2"));
    const RECT extra = Rect(keys[L"BUTTON_KB_EU2_NOTE2"]), z = Rect(keys[L"BUTTON_KB_Z"]), hash = Rect(keys[L"BUTTON_KB_EU1_NOTE2"]);
    EXPECT_EQ(extra.top, iso.leftShift.top);
    EXPECT_GT(extra.left, iso.leftShift.right);
    EXPECT_LT(extra.right, z.left);
    EXPECT_LT(hash.right, iso.enter.left);          // the # key lies left of the Enter's lower part
    EXPECT_GT(hash.top, iso.enter.top);
    // The German caps: the key of the US "Y" says Z, and the key of the US "Z" says Y.
    EXPECT_EQ(keys[L"BUTTON_KB_Y"]->m_caption, L"Z");
    EXPECT_EQ(z.top, iso.leftShift.top);
    EXPECT_EQ(keys[L"BUTTON_KB_Z"]->m_caption, L"Y");
}

TEST_F(KeyboardKeysPageWindowTest, EveryLayoutOfTheListGetsAPageThatLoads) {
    FixedKeyboardSystem fake;
    SetKeyboardSystem(&fake);
    CGUIItems layouts;
    ASSERT_TRUE(LoadSkinPage(layouts, L"KeyboardLayout.xml", nullptr));
    std::set<std::wstring> pages;
    for (int32_t id = 561; id <= 576; ++id) {
        LoadKeyboardLayout(id);
        CKeyboardLayoutSetting* current = CurrentKeyboardLayoutSetting();
        ASSERT_NE(current, nullptr) << id;
        pages.insert(current->m_keyItemsPage);
    }
    EXPECT_EQ(pages.size(), 5u);
    for (const std::wstring& page : pages) {
        DeleteAllItems(items);
        EXPECT_TRUE(LoadSkinPage(items, page.c_str(), owner)) << Narrow(page);
        EXPECT_GT(Keys().size(), 100u) << Narrow(page);
    }
    ReleaseKeyboardLayout();
    DeleteAllItems(layouts);
    SetKeyboardSystem(nullptr);
}

TEST_F(KeyboardKeysPageWindowTest, KeyboardsAsTheyShow) {
    struct Shot {
        const wchar_t* page;
        const wchar_t* file;
    };
    // The pointer stays off the keys: a key under it would show its over image.
    SetCursorPos(4, 596);
    for (const Shot& shot : {Shot{L"KeyboardKeysANSI.xml", L"kbd_keys_english.bmp"},
                             Shot{L"KeyboardKeysISO.xml", L"kbd_keys_german.bmp"},
                             Shot{L"KeyboardKeysKorean.xml", L"kbd_keys_korean.bmp"},
                             Shot{L"KeyboardKeysJapanese.xml", L"kbd_keys_japanese.bmp"},
                             Shot{L"KeyboardKeysBrazil.xml", L"kbd_keys_brazil.bmp"}}) {
        SCOPED_TRACE(Narrow(shot.page));
        DeleteAllItems(items);
        ASSERT_TRUE(LoadSkinPage(items, shot.page, owner));
        auto keys = Keys();
        // A key with an assignment of its own shows marked, the key being assigned highlighted.
        CKeyboardKeyItem* marked = keys[L"BUTTON_KB_W"];
        CKeyboardKeyItem* selected = keys[L"BUTTON_KB_F5"];
        CKeyboardKeyItem* plain = keys[L"BUTTON_KB_TAB"];
        ASSERT_TRUE(marked && selected && plain);
        marked->SetChecked(1);
        selected->m_highlight = 1;
        RedrawWindow(owner, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        PumpMessages(60, 1500);
        Capture cap = CaptureClient(owner);
        cap.SaveBmp(OutputPath(shot.file));
        // The cap bitmaps are found and cut to each key: sample a key's lower left, clear of its caption.
        auto sample = [&](CKeyboardKeyItem* key) {
            RECT r = Rect(key);
            return cap.At(r.left + 2, r.bottom - 3);
        };
        EXPECT_TRUE(SameColor(sample(plain), RGB(0x2a, 0x30, 0x38))) << std::hex << sample(plain);
        EXPECT_TRUE(SameColor(sample(marked), RGB(0x1d, 0x5a, 0x96))) << std::hex << sample(marked);
        EXPECT_TRUE(SameColor(sample(selected), RGB(0x30, 0x50, 0x6f))) << std::hex << sample(selected);
        RECT tab = Rect(plain);
        EXPECT_TRUE(SameColor(cap.At(tab.right + 1, tab.top + 5), kCard)) << "the gap between two keys";
    }
}
