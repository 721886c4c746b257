// Skin resource store: sharing by name and type, missing files, typed sizes, release.
#include <gtest/gtest.h>
#include "base/ProgramFolder.h"
#include "skin/SkinStore.h"
#include "support/SkinFixtures.h"

using namespace vt::skin;
using vt::test::ScratchFolder;

namespace {
class SkinStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseSkinResources();
        ASSERT_TRUE(vt::base::InitProgramFolder(folder.Path().c_str()));
        folder.WriteBmp(L"skins\\red.bmp", 6, 4, [](int, int) { return RGB(255, 0, 0); });
    }
    void TearDown() override { ReleaseSkinResources(); }
    ScratchFolder folder;
};
} // namespace

TEST_F(SkinStoreTest, NamesDifferingInCaseShareAnEntryOtherTypesGetTheirOwn) {
    SkinResource* a = FindSkinResource(L"red.bmp", kSkinPicture);
    SkinResource* b = FindSkinResource(L"RED.BMP", kSkinPicture);
    EXPECT_EQ(a, b);
    ASSERT_NE(a->data, nullptr);
    EXPECT_EQ(a->size, 8);
    EXPECT_EQ(a->path, folder.Path() + L"skins\\red.bmp");
    SkinResource* image = FindSkinResource(L"red.bmp", kSkinImage);
    EXPECT_NE(image, a);
    EXPECT_NE(image->data, nullptr);
    EXPECT_EQ(image->size, 54 + 4 * 20);   // file size: header + 4 rows of 18 bytes padded to 20
    EXPECT_EQ(SkinResourceCount(), 2u);
    EXPECT_EQ(BitmapSize(static_cast<CBitmap*>(a->data)->Get()).cx, 6);
}

TEST_F(SkinStoreTest, BlanksAroundANameFindTheTrimmedEntry) {
    CBitmap* plain = GetSkinBitmap(std::string_view("red.bmp"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(GetSkinBitmap(std::string_view("  red.bmp \t\r\n")), plain);
    EXPECT_EQ(SkinResourceCount(), 1u);
    EXPECT_EQ(GetSkinBitmap(std::string_view("   ")), nullptr);
}

TEST_F(SkinStoreTest, MissingFileGivesNullAndIsNotRetried) {
    EXPECT_EQ(GetSkinBitmap(std::string_view("late.bmp")), nullptr);
    folder.WriteBmp(L"skins\\late.bmp", 2, 2, [](int, int) { return RGB(0, 0, 0); });
    EXPECT_EQ(GetSkinBitmap(std::string_view("late.bmp")), nullptr);
    EXPECT_EQ(SkinResourceCount(), 1u);
}

TEST_F(SkinStoreTest, UndecodablePictureAndFolderEscapesGiveNull) {
    folder.Write(L"skins\\junk.bmp", "BM this is not a bitmap at all");
    folder.WriteBmp(L"outside.bmp", 2, 2, [](int, int) { return RGB(1, 2, 3); });
    EXPECT_EQ(GetSkinBitmap(std::string_view("junk.bmp")), nullptr);
    EXPECT_EQ(GetSkinImage("junk.bmp"), nullptr);
    EXPECT_EQ(GetSkinBitmap(std::string_view("..\\outside.bmp")), nullptr);
    EXPECT_EQ(GetSkinBitmap(std::string_view("../outside.bmp")), nullptr);
    EXPECT_EQ(GetSkinBitmap(std::string_view("C:\\windows\\x.bmp")), nullptr);
}

TEST_F(SkinStoreTest, BinaryAndLanguageBuffersCarryTheirOwnSizes) {
    folder.Write(L"bin\\k.bin", std::string(1000, 'x'));
    folder.Write(L"bin\\empty.bin", "");
    int size = -1;
    const BYTE* data = GetSkinBinaryData(L"k.bin", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 1000);
    EXPECT_EQ(FindSkinResourceSize(L"k.bin", kSkinBinary), 1000);
    EXPECT_EQ(data[999], 'x');
    EXPECT_EQ(data[1000], 0);   // a zero wide character follows the data
    EXPECT_EQ(data[1001], 0);
    EXPECT_EQ(GetSkinBinaryData(L"empty.bin", &size), nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(FindSkinResourceSize(L"empty.bin", kSkinBinary), 0);
    EXPECT_EQ(GetSkinBinaryData(L"none.bin", &size), nullptr);
    EXPECT_EQ(size, 0);
}

TEST_F(SkinStoreTest, SizeOfAnotherTypeOfTheSameNameNeverReachesABufferReader) {
    // "same.txt" exists as a large file in skins\ and as a short one in lang\: a reader of the
    // language buffer must be told the short size, whatever was asked for first.
    folder.Write(L"skins\\same.txt", std::string(5000, 'a'));
    folder.Write(L"lang\\same.txt", std::string(10, 'b'));
    FindSkinResource(L"same.txt", kSkinImage);   // not a picture: null data, but its size is the file's
    EXPECT_EQ(FindSkinResourceSize(L"same.txt", kSkinImage), 5000);
    int size = 0;
    const BYTE* data = GetSkinLanguageData("same.txt", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(FindSkinResourceSize(L"same.txt", kSkinLanguage), 10);
    // And a picture first (size 8) does not shrink a later buffer.
    folder.Write(L"bin\\red.bmp", std::string(300, 'c'));
    GetSkinBitmap(std::string_view("red.bmp"));
    EXPECT_NE(GetSkinBinaryData(L"red.bmp", &size), nullptr);
    EXPECT_EQ(size, 300);
}

TEST_F(SkinStoreTest, ReleaseRemovesEverythingAndPrivateFontsAreRemoved) {
    const std::wstring ttf = vt::test::ImageDir() + L"fonts\\LiberationSans-Regular.ttf";
    std::string bytes = vt::test::ReadFileBytes(ttf);
    if (bytes.empty()) GTEST_SKIP() << "no font in the image";
    folder.Write(L"fonts\\Test.ttf", bytes);
    SkinResource* font = FindSkinResource(L"Test.ttf", kSkinFont);
    ASSERT_NE(font->data, nullptr);
    EXPECT_GT(*static_cast<int*>(font->data), 0);
    GetSkinBitmap(std::string_view("red.bmp"));
    EXPECT_EQ(SkinResourceCount(), 2u);
    ReleaseSkinResources();
    EXPECT_EQ(SkinResourceCount(), 0u);
    // Removed again: a second removal finds nothing to remove.
    EXPECT_FALSE(RemoveFontResourceExW((folder.Path() + L"fonts\\Test.ttf").c_str(), FR_PRIVATE, nullptr));
}

TEST(SkinFileSize, MissingFileIsZero) {
    EXPECT_EQ(GetSkinFileSize(L"Z:\\no\\such\\file.bin"), 0);
    EXPECT_EQ(GetSkinFileSize(nullptr), 0);
}
