// Keyboard layouts: KeyboardLayout.xml read into settings and the layout map, and the load/activate/
// unload order of LoadKeyboardLayout against a keyboard system with fixed answers.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/SkinFixtures.h"
#include "skin/KeyboardLayout.h"
#include "skin/KeyboardSystem.h"
#include "skin/Vocabulary.h"

using namespace vt::skin;

namespace {

HKL H(const wchar_t* name) { return FixedKeyboardSystem::HandleFor(name); }

class KeyboardLayoutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildVocabularyTables(); }
    void SetUp() override { SetKeyboardSystem(&fake); }
    void TearDown() override {
        ReleaseKeyboardLayout();
        DeleteAllItems(items);
        SetKeyboardSystem(nullptr);
        EXPECT_TRUE(GlobalKeyboardLayouts().layouts.empty()) << "settings leave the map when destroyed";
    }
    unsigned Read(const char* xml) {
        EXPECT_TRUE(doc.load_string(xml));
        return BuildKeyboardLayoutItems(doc.child("ITEMLIST"), items, owner);
    }
    FixedKeyboardSystem fake;
    CGUIItems items;
    pugi::xml_document doc;
    HWND owner = reinterpret_cast<HWND>(0x2468);
};

const char kTwoLayouts[] = R"(<ITEMLIST><KBLAYOUTLIST>
    <KBLAYOUT name="KBLAYOUT_ENGLISH" kbdlayout="00000409" kbditems="KeysA.xml"/>
    <KBLAYOUT name="KBLAYOUT_GERMAN" kbdlayout="00000407" kbditems="KeysB.xml"/>
  </KBLAYOUTLIST></ITEMLIST>)";

} // namespace

TEST_F(KeyboardLayoutTest, ShippedFileHasASettingForEveryLayoutAndCode) {
    std::wstring path = vt::test::ImageDir() + L"xml\\KeyboardLayout.xml";
    ASSERT_TRUE(doc.load_file(path.c_str()));
    EXPECT_EQ(BuildKeyboardLayoutItems(doc.child("ITEMLIST"), items, owner), (16u << 16) | 16u);
    auto& layouts = GlobalKeyboardLayouts().layouts;
    for (int32_t id = kFirstKeyboardLayoutId; id <= kLastKeyboardLayoutId; ++id) {
        ASSERT_EQ(layouts.count(id), 1u) << id;
        CKeyboardLayoutSetting* s = layouts[id];
        EXPECT_EQ(s->m_kind, kKindKeyboardLayout);
        EXPECT_EQ(s->m_owner, owner);
        EXPECT_EQ(s->m_layoutName.size(), 8u) << id;
        EXPECT_NE(s->m_keyItemsPage.find(L".xml"), std::wstring::npos) << id;
    }
    for (const auto& [code, id] : KeyboardLayoutCodeTable()) EXPECT_EQ(layouts.count(id), 1u) << code;
    EXPECT_EQ(layouts[561]->m_layoutName, L"00000409");
}

TEST_F(KeyboardLayoutTest, ElementsWithoutAKnownNameBuildNothing) {
    unsigned r = Read(R"(<ITEMLIST><KBLAYOUTLIST>
        <KBLAYOUT kbdlayout="00000409"/>
        <KBLAYOUT name="NO_SUCH_NAME" kbdlayout="00000409"/>
        <KBLAYOUT name="BUTTON_OK" kbdlayout="00000407"/>
        <KBLAYOUT name="kblayout_uk"/>
        <KBLAYOUT name="KBLAYOUT_UK" kbdlayout="00000809" kbditems="UK.xml"/>
        <OTHER name="KBLAYOUT_GREEK"/>
      </KBLAYOUTLIST></ITEMLIST>)");
    EXPECT_EQ(r, (5u << 16) | 3u);
    ASSERT_EQ(items.Count(), 3u);
    EXPECT_EQ(items.At(0)->m_controlId, 104) << "an id outside the layouts is built but not mapped";
    auto& layouts = GlobalKeyboardLayouts().layouts;
    ASSERT_EQ(layouts.size(), 1u);
    EXPECT_EQ(layouts[573]->m_layoutName, L"00000809") << "a later element replaces an earlier one";
    EXPECT_EQ(layouts[573]->m_keyItemsPage, L"UK.xml");
    auto* first = static_cast<CKeyboardLayoutSetting*>(items.At(1));
    EXPECT_TRUE(first->m_layoutName.empty());
    EXPECT_TRUE(first->m_keyItemsPage.empty());
    EXPECT_EQ(BuildKeyboardLayoutItems(doc.child("ITEMLIST").child("KBLAYOUTLIST"), items, owner), 0u);
}

TEST_F(KeyboardLayoutTest, LoadActivatesForTheProcessAndASecondLoadRestoresFirst) {
    Read(kTwoLayouts);
    ASSERT_TRUE(LoadKeyboardLayout(561));
    ASSERT_EQ(fake.calls.size(), 2u);
    EXPECT_EQ(fake.calls[0].op, 'L');
    EXPECT_EQ(fake.calls[0].name, L"00000409");
    EXPECT_EQ(fake.calls[0].flags, UINT(KLF_ACTIVATE));
    EXPECT_EQ(fake.calls[1].op, 'A');
    EXPECT_EQ(fake.calls[1].layout, H(L"00000409"));
    EXPECT_EQ(fake.calls[1].flags, UINT(KLF_SETFORPROCESS));
    EXPECT_EQ(CurrentKeyboardLayoutSetting()->m_keyItemsPage, L"KeysA.xml");
    HKL system = reinterpret_cast<HKL>(0x04090409);

    fake.calls.clear();
    ASSERT_TRUE(LoadKeyboardLayout(566));
    ASSERT_EQ(fake.calls.size(), 4u);
    EXPECT_EQ(fake.calls[0].op, 'A');
    EXPECT_EQ(fake.calls[0].layout, system);
    EXPECT_EQ(fake.calls[1].op, 'U');
    EXPECT_EQ(fake.calls[1].layout, H(L"00000409"));
    EXPECT_EQ(fake.calls[2].op, 'L');
    EXPECT_EQ(fake.calls[2].name, L"00000407");
    EXPECT_EQ(fake.calls[3].op, 'A');
    EXPECT_EQ(CurrentKeyboardLayoutSetting()->m_keyItemsPage, L"KeysB.xml");

    fake.calls.clear();
    ReleaseKeyboardLayout();
    ASSERT_EQ(fake.calls.size(), 2u);
    EXPECT_EQ(fake.calls[0].layout, system);
    EXPECT_EQ(fake.calls[1].layout, H(L"00000407"));
    EXPECT_EQ(CurrentKeyboardLayoutSetting(), nullptr);
    EXPECT_EQ(fake.active, system);
}

TEST_F(KeyboardLayoutTest, UnknownLayoutFallsBackToEnglishSoTheKeyboardKeepsItsKeys) {
    Read(kTwoLayouts);
    for (int32_t code : {14, 99, -1}) {
        EXPECT_FALSE(LoadKeyboardLayout(FindKeyboardLayoutControlId(code))) << code;
        ASSERT_NE(CurrentKeyboardLayoutSetting(), nullptr) << code;
        EXPECT_EQ(CurrentKeyboardLayoutSetting()->m_controlId, 561);
    }
    EXPECT_FALSE(LoadKeyboardLayout(570)) << "a layout the file does not list";
    EXPECT_EQ(CurrentKeyboardLayoutSetting()->m_keyItemsPage, L"KeysA.xml");
}

TEST_F(KeyboardLayoutTest, WithoutAnySettingNothingChanges) {
    EXPECT_FALSE(LoadKeyboardLayout(561));
    EXPECT_FALSE(LoadKeyboardLayout(-1));
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(CurrentKeyboardLayoutSetting(), nullptr);
}

TEST_F(KeyboardLayoutTest, FailedActivationAsUnderWineKeepsNoRestoreHandle) {
    Read(kTwoLayouts);
    fake.activateFails = true;
    EXPECT_TRUE(LoadKeyboardLayout(561));
    EXPECT_EQ(GlobalKeyboardLayouts().restore, nullptr);
    fake.calls.clear();
    EXPECT_TRUE(LoadKeyboardLayout(566));
    ASSERT_EQ(fake.calls.size(), 2u) << "nothing to restore: only the new load and activation";
    EXPECT_EQ(fake.calls[0].op, 'L');
    EXPECT_EQ(CurrentKeyboardLayoutSetting()->m_controlId, 566);
}

TEST_F(KeyboardLayoutTest, FailedUnloadKeepsTheHandlesForLater) {
    Read(kTwoLayouts);
    fake.unloadResult = FALSE;
    LoadKeyboardLayout(561);
    LoadKeyboardLayout(566);
    // The first layout could not be unloaded: the handles of the second load replace them.
    EXPECT_EQ(GlobalKeyboardLayouts().loaded, H(L"00000407"));
}

TEST_F(KeyboardLayoutTest, DestroyedSettingsLeaveTheStateAlone) {
    Read(kTwoLayouts);
    LoadKeyboardLayout(566);
    DeleteAllItems(items);
    EXPECT_EQ(CurrentKeyboardLayoutSetting(), nullptr);
    EXPECT_TRUE(GlobalKeyboardLayouts().layouts.empty());
    EXPECT_FALSE(LoadKeyboardLayout(566));
}

TEST_F(KeyboardLayoutTest, RealSystemCallsAreHarmless) {
    SetKeyboardSystem(nullptr);
    Read(kTwoLayouts);
    EXPECT_TRUE(LoadKeyboardLayout(561));
    EXPECT_TRUE(LoadKeyboardLayout(566));
    ReleaseKeyboardLayout();
    EXPECT_EQ(CurrentKeyboardLayoutSetting(), nullptr);
}

TEST_F(KeyboardLayoutTest, MutatedLayoutPagesBuildWhatTheyCanAndNeverCrash) {
    std::string xml = vt::test::ReadFileBytes(vt::test::ImageDir() + L"xml\\KeyboardLayout.xml");
    ASSERT_FALSE(xml.empty());
    const char* pieces[] = {"<", ">", "/>", "\"", "=", " name=\"KBLAYOUT_UK\"", "KBLAYOUT", " kbdlayout=\"\"", "\x00"};
    std::mt19937 rng(78);
    for (int round = 0; round < 300; ++round) {
        std::string d = xml;
        for (int i = 0, n = 1 + rng() % 4; i < n; ++i) {
            size_t at = rng() % d.size();
            if (rng() % 2) d.insert(at, pieces[rng() % std::size(pieces)]);
            else d.erase(at, 1 + rng() % 8);
        }
        pugi::xml_document mutated;
        if (!mutated.load_buffer(d.data(), d.size())) continue;
        unsigned r = BuildKeyboardLayoutItems(mutated.child("ITEMLIST"), items, owner);
        EXPECT_LE(r & 0xFFFF, r >> 16);
        LoadKeyboardLayout(FindKeyboardLayoutControlId(int32_t(rng() % 16)));
        ReleaseKeyboardLayout();
        DeleteAllItems(items);
        EXPECT_TRUE(GlobalKeyboardLayouts().layouts.empty());
    }
}
