// LoadKeyboardDef: the KEYBOARDDEF element of a keyboard page and the files it names.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/SkinFixtures.h"
#include "base/ProgramFolder.h"
#include "skin/KeyboardDef.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "tests/base/KeyFileBuilders.h"

using namespace vt::skin;
using namespace vt::test::keyfiles;
using vt::base::KeyCode;
using vt::base::KeyNameHash;

// LoadKeyboardDef over KEYBOARD pages in memory and files in a scratch program folder's "bin\".
class KeyboardDefPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override {
        ReleaseSkinResources();
        ASSERT_TRUE(vt::base::InitProgramFolder(folder.Path().c_str()));
        auto str = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
        folder.Write(L"bin\\def.bin", str(Definition(2, {Record(L"Alpha", {{0x1E, 0}}), Record(L"Beta", {{0x30, 0}})})));
        folder.Write(L"bin\\short.bin", str(Definition(3, {Record(L"Alpha", {{0x1E, 0}})})));
        folder.Write(L"bin\\empty.bin", "");
        folder.Write(L"bin\\defaults.bin", str(Defaults(1, {{KeyNameHash(L"Alpha"), 0x1E}})));
        folder.Write(L"bin\\baddefaults.bin", str(Defaults(2, {{KeyNameHash(L"Alpha"), 0x1E}})));
        folder.Write(L"bin\\tiny.bin", "\x01\x00");
    }
    void TearDown() override { ReleaseSkinResources(); }
    bool Load(const char* keyboardDef, CKeyboardDef& def) {
        std::string xml = std::string("<KEYBOARD>") + keyboardDef + "</KEYBOARD>";
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(xml.c_str()));
        return LoadKeyboardDef(doc.child("KEYBOARD"), owner, def);
    }
    vt::test::ScratchFolder folder;
    HWND owner = reinterpret_cast<HWND>(0x1357);
};

TEST_F(KeyboardDefPage, ElementsAndFilesDecideTheAnswer) {
    struct Case {
        const char* label;
        const char* element;
        bool result;
        bool parsed;
        bool itemFieldsSet;
        size_t defaults;
    };
    const Case cases[] = {
        {"no element", "<OTHER/>", false, false, false, 0},
        {"no name", R"(<KEYBOARDDEF file="def.bin"/>)", false, false, false, 0},
        {"unknown name", R"(<KEYBOARDDEF name="KBDDEF_MAC" file="def.bin"/>)", false, false, false, 0},
        {"no file", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS"/>)", false, false, false, 0},
        {"missing file", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="nothere.bin"/>)", false, false, false, 0},
        {"empty file", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="empty.bin"/>)", false, false, false, 0},
        {"folder in the name", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="..\bin\def.bin"/>)", false, false, false, 0},
        {"short file", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="short.bin"/>)", false, true, false, 0},
        {"two-byte file", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="tiny.bin"/>)", false, true, false, 0},
        {"good", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin"/>)", true, true, true, 0},
        {"good with defaults", R"(<KEYBOARDDEF name="kbddef_windows" file="def.bin" kbddefaults="defaults.bin"/>)", true, true, true, 1},
        {"defaults missing", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin" kbddefaults="gone.bin"/>)", false, true, true, 0},
        {"defaults empty", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin" kbddefaults="empty.bin"/>)", false, true, true, 0},
        {"defaults count wrong", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin" kbddefaults="baddefaults.bin"/>)", false, true, true, 0},
        {"defaults too short", R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin" kbddefaults="tiny.bin"/>)", false, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        vt::base::KeyTable keys;
        CKeyboardDef def(keys);
        EXPECT_EQ(Load(c.element, def), c.result);
        EXPECT_EQ(keys.IsParsed(), c.parsed);
        EXPECT_EQ(def.m_kind, c.itemFieldsSet ? kKindKeyboardDef : -1);
        if (c.itemFieldsSet) {
            EXPECT_EQ(def.m_controlId, 870);
            EXPECT_EQ(def.m_owner, owner);
            EXPECT_EQ(def.m_itemWindow, nullptr);
        }
        EXPECT_EQ(keys.m_defaultCodes.size(), c.defaults);
    }
}

TEST_F(KeyboardDefPage, ALaterPageFindsTheDefinitionParsedAndRereadsItsDefaults) {
    vt::base::KeyTable keys;
    CKeyboardDef def(keys);
    EXPECT_FALSE(Load(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="missing.bin"/>)", def));
    EXPECT_TRUE(Load(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin"/>)", def)) << "a missing file is tried again";
    EXPECT_TRUE(Load(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="short.bin" kbddefaults="defaults.bin"/>)", def));
    EXPECT_EQ(keys.m_allKeys.size(), 2u);
    EXPECT_EQ(keys.m_defaultCodes.size(), 1u);

    vt::base::KeyTable brokenKeys;
    CKeyboardDef broken(brokenKeys);
    EXPECT_FALSE(Load(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="short.bin"/>)", broken));
    EXPECT_FALSE(Load(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="def.bin"/>)", broken))
        << "a definition that failed to parse is never reported as loaded";
    EXPECT_EQ(broken.m_kind, -1);
}

TEST_F(KeyboardDefPage, ShippedFilesLoadIntoTheProgramDefinition) {
    ReleaseSkinResources();
    ASSERT_TRUE(vt::base::InitProgramFolder(vt::test::ImageDir().c_str()));
    vt::base::KeyTable keys;
    CKeyboardDef def(keys);
    EXPECT_TRUE(Load(R"(<KEYBOARDDEF name="KBDDEF_WINDOWS" file="KeyboardDef.bin" kbddefaults="KeyDefaults.bin"/>)", def));
    KeyCode code;
    EXPECT_TRUE(keys.GetDefaultCode(KeyNameHash(L"Keyboard Caps Lock"), code));
    EXPECT_EQ(code, (KeyCode{0x3A, 0}));
}
