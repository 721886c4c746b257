// Keyboard pages and the keyboard layout page read through the page reader: a KEYBOARD page builds
// its lists only over a definition that loaded, and KeyboardLayout.xml gives the on-screen keyboard
// its key items page, also for a layout code the table does not know.
#include <gtest/gtest.h>

#include <string>

#include "skin/KeyboardDef.h"
#include "skin/KeyboardLayout.h"
#include "skin/KeyboardSystem.h"
#include "skin/PageReader.h"
#include "base/ProgramFolder.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "support/SkinFixtures.h"

using namespace vt::skin;
using vt::base::FindKeyIdByCode;
using vt::base::GetKeyCode;
using vt::base::KeyCode;
using vt::base::KeyNameHash;

namespace {

const char kLayoutList[] =
    R"(<KBLAYOUTLIST><KBLAYOUT name="KBLAYOUT_ENGLISH" kbdlayout="00000409" kbditems="Keys.xml"/></KBLAYOUTLIST>)";

std::string KeyboardPage(const std::string& keyboardDef) {
    return "<?xml version=\"1.0\"?><KEYBOARD>" + keyboardDef + kLayoutList + "</KEYBOARD>";
}

class KeyboardPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override {
        ReleaseSkinResources();
        GlobalKeyboardDef().Reset();
        SetKeyboardSystem(&fake);
        ASSERT_TRUE(vt::base::InitProgramFolder(folder.Path().c_str()));
        for (const wchar_t* file : {L"bin\\KeyboardDef.bin", L"bin\\KeyDefaults.bin"}) {
            std::string bytes = vt::test::ReadFileBytes(vt::test::ImageDir() + file);
            ASSERT_FALSE(bytes.empty());
            folder.Write(file, bytes);
        }
        std::string def = vt::test::ReadFileBytes(vt::test::ImageDir() + L"bin\\KeyboardDef.bin");
        folder.Write(L"bin\\Truncated.bin", def.substr(0, def.size() - 10));
        folder.Write(L"bin\\BadDefaults.bin", std::string("\x05\x00\x00\x00", 4));
        folder.Write(L"xml\\Good.xml", KeyboardPage(
            R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="KeyboardDef.bin" kbddefaults="KeyDefaults.bin"/>)"));
        folder.Write(L"xml\\NoDefaults.xml", KeyboardPage(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="KeyboardDef.bin"/>)"));
        folder.Write(L"xml\\Truncated.xml", KeyboardPage(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="Truncated.bin"/>)"));
        folder.Write(L"xml\\Missing.xml", KeyboardPage(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="Gone.bin"/>)"));
        folder.Write(L"xml\\NoDef.xml", KeyboardPage(""));
        folder.Write(L"xml\\BadDefaults.xml", KeyboardPage(
            R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="KeyboardDef.bin" kbddefaults="BadDefaults.bin"/>)"));
        folder.Write(L"xml\\Broken.xml", "<KEYBOARD><KEYBOARDDEF name=\"KBDDEF_WINDOWS\" file=\"KeyboardDef.bin\"></KEYBOARD>");
    }
    void TearDown() override {
        ReleaseKeyboardLayout();
        DeleteAllItems(items);
        SetKeyboardSystem(nullptr);
        GlobalKeyboardDef().Reset();
        ReleaseSkinResources();
    }
    vt::test::ScratchFolder folder;
    FixedKeyboardSystem fake;
    CGUIItems items;
};

} // namespace

TEST_F(KeyboardPageTest, PageListsAreBuiltOnlyOverALoadedDefinition) {
    struct Case {
        const wchar_t* page;
        bool loaded;
        bool parsed;
        bool definitionItem;  // kind 22 set
    };
    const Case cases[] = {
        {L"Good.xml", true, true, true},
        {L"NoDefaults.xml", true, true, true},
        {L"Truncated.xml", false, true, false},
        {L"Missing.xml", false, false, false},
        {L"NoDef.xml", false, false, false},
        {L"BadDefaults.xml", false, true, true},
        {L"Broken.xml", false, false, false},
        {L"Absent.xml", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.page, c.page + wcslen(c.page)));
        GlobalKeyboardDef().Reset();
        EXPECT_EQ(LoadSkinPage(items, c.page, nullptr), c.loaded);
        EXPECT_EQ(items.Count(), c.loaded ? 1u : 0u) << "the page's lists";
        EXPECT_EQ(GlobalKeyboardDef().Keys().IsParsed(), c.parsed);
        EXPECT_EQ(GlobalKeyboardDef().m_kind, c.definitionItem ? kKindKeyboardDef : -1);
        DeleteAllItems(items);
    }
}

TEST_F(KeyboardPageTest, LaterPagesShareTheFirstDefinitionAndItsAnswer) {
    ASSERT_TRUE(LoadSkinPage(items, L"Good.xml", nullptr));
    size_t keys = GlobalKeyboardDef().Keys().m_allKeys.size();
    EXPECT_TRUE(LoadSkinPage(items, L"Truncated.xml", nullptr)) << "the definition is read once per run";
    EXPECT_EQ(GlobalKeyboardDef().Keys().m_allKeys.size(), keys);
    EXPECT_FALSE(LoadSkinPage(items, L"BadDefaults.xml", nullptr)) << "a named defaults file is read again";
    EXPECT_EQ(items.Count(), 2u);
    KeyCode code;
    EXPECT_TRUE(GlobalKeyboardDef().Keys().GetDefaultCode(KeyNameHash(L"Keyboard Tab"), code));
    EXPECT_EQ(code, (KeyCode{0x0F, 0}));
    EXPECT_EQ(GetKeyCode(KeyNameHash(L"Keyboard RightAlt")), (KeyCode{0x38, 1}));
    EXPECT_EQ(FindKeyIdByCode(0x38 | 1 << 16), KeyNameHash(L"Keyboard RightAlt"));

    GlobalKeyboardDef().Reset();
    DeleteAllItems(items);
    EXPECT_FALSE(LoadSkinPage(items, L"Truncated.xml", nullptr));
    EXPECT_FALSE(LoadSkinPage(items, L"Good.xml", nullptr)) << "a definition that failed stays failed";
    EXPECT_EQ(items.Count(), 0u);
}

TEST_F(KeyboardPageTest, ShippedLayoutPageGivesEveryReportedLayoutItsKeyItemsPage) {
    ReleaseSkinResources();
    ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageDir().c_str()));
    ASSERT_TRUE(LoadSkinPage(items, L"KeyboardLayout.xml", nullptr));
    EXPECT_EQ(items.Count(), 16u);
    for (int32_t code = -1; code <= 20; ++code) {
        LoadKeyboardLayout(FindKeyboardLayoutControlId(code));
        CKeyboardLayoutSetting* current = CurrentKeyboardLayoutSetting();
        ASSERT_NE(current, nullptr) << code;
        EXPECT_FALSE(current->m_keyItemsPage.empty()) << code;
        int32_t expected = FindKeyboardLayoutControlId(code) < 0 ? 561 : FindKeyboardLayoutControlId(code);
        EXPECT_EQ(current->m_controlId, expected) << code;
    }
    EXPECT_EQ(fake.calls.back().op, 'A');
    EXPECT_EQ(fake.calls.back().flags, UINT(KLF_SETFORPROCESS));
}
