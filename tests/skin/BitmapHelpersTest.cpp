// Bitmap helpers: regions from masks, cutting bitmaps, picture loading, the panel bitmap item.
#include <gtest/gtest.h>
#include "skin/BitmapHelpers.h"
#include "support/SkinFixtures.h"

using namespace vt::skin;
using vt::win::MemoryDC;
using vt::win::SelectGuard;

namespace {
// A 32-bit DIB section filled by a function of the pixel.
HBITMAP MakeDib(int w, int h, COLORREF (*pixel)(int, int)) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = pixel(x, y);
            p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return bmp;
}

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    MemoryDC dc(nullptr);
    SelectGuard sel(dc, bmp);
    return GetPixel(dc, x, y);
}

int RectCount(HRGN rgn) {
    DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<BYTE> buf(size);
    GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(buf.data()));
    return int(reinterpret_cast<RGNDATA*>(buf.data())->rdh.nCount);
}
} // namespace

TEST(CreateRegionFromBitmap, WhiteIsOutsideEverythingElseInside) {
    // A 20x10 mask: white, with a black block at (5..9, 2..5) and a near-white pixel at (15, 8).
    vt::win::Bitmap mask(MakeDib(20, 10, [](int x, int y) -> COLORREF {
        if (x >= 5 && x < 10 && y >= 2 && y < 6) return RGB(0, 0, 0);
        if (x == 15 && y == 8) return RGB(255, 255, 254);
        return RGB(255, 255, 255);
    }));
    vt::win::Region rgn(CreateRegionFromBitmap(mask));
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(PtInRegion(rgn, 5, 2));
    EXPECT_TRUE(PtInRegion(rgn, 9, 5));
    EXPECT_FALSE(PtInRegion(rgn, 10, 5));
    EXPECT_FALSE(PtInRegion(rgn, 4, 2));
    EXPECT_FALSE(PtInRegion(rgn, 5, 6));
    EXPECT_TRUE(PtInRegion(rgn, 15, 8));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
}

TEST(CreateRegionFromBitmap, AllWhiteIsEmptyNoWhiteIsWholeAndNullIsNull) {
    vt::win::Bitmap white(MakeDib(8, 8, [](int, int) { return RGB(255, 255, 255); }));
    vt::win::Region empty(CreateRegionFromBitmap(white));
    ASSERT_TRUE(empty);
    RECT box;
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);

    vt::win::Bitmap grey(MakeDib(8, 6, [](int, int) { return RGB(10, 10, 10); }));
    vt::win::Region whole(CreateRegionFromBitmap(grey));
    ASSERT_TRUE(whole);
    EXPECT_EQ(GetRgnBox(whole, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 8);
    EXPECT_EQ(box.bottom, 6);

    EXPECT_EQ(CreateRegionFromBitmap(nullptr), nullptr);
}

TEST(CreateRegionFromBitmap, ManyRunsAreCombinedIntoOneRegion) {
    // A checkerboard of 200 x 50 single pixels: 5000 runs, more than one batch of rectangles.
    vt::win::Bitmap board(MakeDib(400, 50, [](int x, int y) {
        return ((x + y) & 1) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }));
    vt::win::Region rgn(CreateRegionFromBitmap(board));
    ASSERT_TRUE(rgn);
    EXPECT_EQ(RectCount(rgn), 200 * 50);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 399, 49));
    EXPECT_FALSE(PtInRegion(rgn, 398, 49));
}

TEST(CopyBitmapRect, CutsTheRectangleAndLeavesTargetAloneWithoutSource) {
    vt::win::Bitmap src(MakeDib(10, 10, [](int x, int y) { return RGB(x * 20, y * 20, 7); }));
    vt::win::WindowDC screen(nullptr);
    CBitmap target;
    CopyBitmapRect(target, screen, src, 2, 3, 7, 9);
    ASSERT_TRUE(target);
    EXPECT_EQ(BitmapSize(target).cx, 5);
    EXPECT_EQ(BitmapSize(target).cy, 6);
    EXPECT_EQ(PixelOf(target, 0, 0), RGB(40, 60, 7));
    EXPECT_EQ(PixelOf(target, 4, 5), RGB(120, 160, 7));

    HBITMAP before = target.Get();
    CopyBitmapRect(target, screen, nullptr, 0, 0, 5, 5);
    EXPECT_EQ(target.Get(), before);
    CopyBitmapRect(target, screen, src, 5, 5, 5, 9);   // empty width: nothing happens
    EXPECT_EQ(target.Get(), before);
}

TEST(LoadPictureFile, LoadsBmpAndRefusesJunk) {
    vt::test::ScratchFolder folder;
    folder.WriteBmp(L"skins\\p.bmp", 7, 5, [](int x, int) { return x < 3 ? RGB(0, 0, 255) : RGB(0, 255, 0); });
    folder.Write(L"skins\\junk.bmp", "not a picture");
    folder.Write(L"skins\\empty.bmp", "");
    CBitmap bmp;
    ASSERT_TRUE(LoadPictureFile((folder.Path() + L"skins\\p.bmp").c_str(), bmp));
    EXPECT_EQ(BitmapSize(bmp).cx, 7);
    EXPECT_EQ(BitmapSize(bmp).cy, 5);
    EXPECT_EQ(PixelOf(bmp, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(bmp, 5, 4), RGB(0, 255, 0));
    HBITMAP kept = bmp.Get();
    EXPECT_FALSE(LoadPictureFile((folder.Path() + L"skins\\junk.bmp").c_str(), bmp));
    EXPECT_FALSE(LoadPictureFile((folder.Path() + L"skins\\empty.bmp").c_str(), bmp));
    EXPECT_FALSE(LoadPictureFile((folder.Path() + L"skins\\none.bmp").c_str(), bmp));
    EXPECT_EQ(bmp.Get(), kept);
}

// Plain bitmaps of every row order and depth come out with their pixels where they belong: row
// padding skipped, top-down files not flipped, the fourth byte of 32-bit pixels ignored.
TEST(LoadPictureFile, PlainBitmapsKeepTheirPixelsWhateverTheirRowOrderAndDepth) {
    auto colour = [](int x, int y) { return RGB(x * 30, y * 40, 200 - x * 10 - y); };
    auto make = [&](int w, int h, int bits, bool topDown) {
        const int bytes = bits / 8;
        const int stride = (w * bytes + 3) & ~3;
        std::string out(54 + size_t(stride) * h, '\0');
        auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) out[at + i] = char((v >> (8 * i)) & 0xFF); };
        out[0] = 'B'; out[1] = 'M';
        put32(2, uint32_t(out.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, uint32_t(w));
        put32(22, uint32_t(topDown ? -h : h));
        out[26] = 1;
        out[28] = char(bits);
        for (int y = 0; y < h; ++y) {
            const size_t row = 54 + size_t(topDown ? y : h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                const COLORREF c = colour(x, y);
                out[row + x * bytes + 0] = char(GetBValue(c));
                out[row + x * bytes + 1] = char(GetGValue(c));
                out[row + x * bytes + 2] = char(GetRValue(c));
                if (bytes == 4) out[row + x * bytes + 3] = char(0x80);
            }
        }
        return out;
    };
    struct Case { int w, h, bits; bool topDown; } cases[] = {
        {7, 5, 24, false}, {7, 5, 24, true}, {5, 3, 32, false}, {5, 3, 32, true}, {1, 1, 24, false}};
    vt::test::ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " " << c.bits << (c.topDown ? " top-down" : ""));
        folder.Write(L"skins\\p.bmp", make(c.w, c.h, c.bits, c.topDown));
        CBitmap bmp;
        ASSERT_TRUE(LoadPictureFile((folder.Path() + L"skins\\p.bmp").c_str(), bmp));
        ASSERT_EQ(BitmapSize(bmp).cx, c.w);
        ASSERT_EQ(BitmapSize(bmp).cy, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) EXPECT_EQ(PixelOf(bmp, x, y), colour(x, y)) << x << "," << y;
    }
}

TEST(PanelBitmap, SharesWhatACacheOwnsCopiesTheRestAndStartsWithEmptyFields) {
    vt::win::Bitmap src(MakeDib(30, 20, [](int, int) { return RGB(1, 2, 3); }));
    {
        CPanelBitmap copy(src);
        EXPECT_NE(copy.Get(), src.Get());
        EXPECT_TRUE(copy.Owns());
        EXPECT_EQ(BitmapSize(copy).cx, 30);
        EXPECT_EQ(copy.m_controlId, -1);
        EXPECT_EQ(copy.m_handle, nullptr);
    }
    vt::win::MarkCacheOwned(src.Get(), true);
    {
        CPanelBitmap shared(src);
        EXPECT_EQ(shared.Get(), src.Get());
        EXPECT_FALSE(shared.Owns());
    }
    EXPECT_EQ(GetObjectType(src.Get()), DWORD(OBJ_BITMAP)) << "the source outlives its sharer";
    vt::win::MarkCacheOwned(src.Get(), false);
    CPanelBitmap none(nullptr);
    EXPECT_FALSE(none);
}

TEST(CreateArialFont, BoldHeight14) {
    CFont font;
    CreateArialFont(font);
    ASSERT_TRUE(font);
    LOGFONTW lf{};
    GetObjectW(font, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, 14);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");
}

TEST(LoadPictureFile, MalformedBitmapFilesFailOrLoadButNeverCrash) {
    vt::test::ScratchFolder folder;
    const std::string good = vt::test::MakeBmp(8, 4, [](int, int) { return RGB(9, 9, 9); });
    auto with32 = [&](size_t at, uint32_t v) {
        std::string s = good;
        for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
        return s;
    };
    struct Case { const char* what; std::string bytes; };
    const Case cases[] = {
        {"truncated pixels", good.substr(0, good.size() - 20)},
        {"header only", good.substr(0, 54)},
        {"huge width", with32(18, 0x7FFFFFFF)},
        {"huge height", with32(22, 0x40000000)},
        {"zero width", with32(18, 0)},
        {"negative width", with32(18, 0xFFFFFFF0)},
        {"pixel offset past the end", with32(10, 0x7FFFFFF0)},
        {"info header size nonsense", with32(14, 0xFFFFFFFF)},
        {"top-down rows", with32(22, uint32_t(-4))},
        {"bits per pixel 0", [&] { std::string s = good; s[28] = 0; s[29] = 0; return s; }()},
    };
    for (const Case& c : cases) {
        folder.Write(L"skins\\bad.bmp", c.bytes);
        CBitmap bmp;
        if (LoadPictureFile((folder.Path() + L"skins\\bad.bmp").c_str(), bmp)) {
            const SIZE size = BitmapSize(bmp);
            EXPECT_GT(size.cx, 0) << c.what;
            EXPECT_LE(size.cx, 8) << c.what;
            EXPECT_LE(std::abs(size.cy), 4) << c.what;
        }
    }
}
