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

// Controls that show the same skin bitmap, or the same rectangle of it, share one bitmap: the whole
// bitmap is the store's own, a rectangle is cut once. A bitmap the store does not hold is copied.
TEST_F(SkinStoreTest, BitmapsAndTheirRectanglesAreSharedNotCopied) {
    folder.WriteBmp(L"skins\\strip.bmp", 40, 10, [](int x, int) { return RGB(x * 6, 0, 0); });
    CBitmap* strip = GetSkinBitmap(std::string_view("strip.bmp"));
    ASSERT_NE(strip, nullptr);
    vt::win::WindowDC dc(nullptr);
    CBitmap whole, first, second, other;
    ShareSkinBitmapRect(whole, dc, strip->Get(), 0, 0, 40, 10);
    ShareSkinBitmapRect(first, dc, strip->Get(), 10, 0, 20, 10);
    ShareSkinBitmapRect(second, dc, strip->Get(), 10, 0, 20, 10);
    ShareSkinBitmapRect(other, dc, strip->Get(), 20, 0, 30, 10);
    EXPECT_EQ(whole.Get(), strip->Get());
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_NE(first.Get(), other.Get());
    EXPECT_FALSE(first.Owns());
    EXPECT_EQ(BitmapSize(first.Get()).cx, 10);
    EXPECT_EQ(SkinBitmapCutCount(), 2u);
    first.Reset();
    EXPECT_EQ(GetObjectType(second.Get()), DWORD(OBJ_BITMAP)) << "letting go deletes nothing";

    CBitmap own(CreateBitmap(8, 8, 1, 32, nullptr)), copy;
    ShareSkinBitmapRect(copy, dc, own.Get(), 0, 0, 8, 8);
    EXPECT_NE(copy.Get(), own.Get());
    EXPECT_TRUE(copy.Owns());
    whole.Reset();
    second.Reset();
    other.Reset();
}

// A mask is kept as a 1-bit bitmap that cuts the same shape as the full picture.
TEST_F(SkinStoreTest, MasksAreKeptAsOneBitBitmapsOfTheSameShape) {
    auto shape = [](int x, int y) { return (x - 10) * (x - 10) + (y - 8) * (y - 8) < 40 ? RGB(0, 0, 0) : (x == 3 ? RGB(254, 255, 255) : RGB(255, 255, 255)); };
    folder.WriteBmp(L"skins\\mask.bmp", 24, 16, shape);
    CBitmap* mask = GetSkinMask(std::string_view("mask.bmp"));
    ASSERT_NE(mask, nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(mask->Get(), sizeof(info), &info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 24);
    EXPECT_EQ(GetSkinMask(std::string_view("MASK.bmp")), mask);

    CBitmap* picture = GetSkinBitmap(std::string_view("mask.bmp"));
    ASSERT_NE(picture, nullptr);
    vt::win::Region fromPicture(CreateRegionFromBitmap(picture->Get()));
    vt::win::Region fromMask(CreateRegionFromBitmap(mask->Get()));
    ASSERT_TRUE(fromPicture && fromMask);
    EXPECT_TRUE(EqualRgn(fromPicture, fromMask)) << "an almost-white pixel stays inside the shape";
    EXPECT_EQ(GetSkinMask(std::string_view("missing.bmp")), nullptr);
}
