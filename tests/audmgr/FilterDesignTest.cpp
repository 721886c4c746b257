// Equaliser filter design: known blocks, edge cases, refused bands and properties over a grid.
#include "audmgr/FilterDesign.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace vt::aud;

namespace {

int S16(const uint8_t* b, int i) { return static_cast<int16_t>(b[i] | (b[i + 1] << 8)); }

struct Known {
    const char* name;
    EqBand band;
    int a1, a2, b0, b1, b2;  // quantised integers as a1, a2, b0, b1, b2 (block holds -a1, -a2)
    int shift;
};

// Reference integers from an independent double-precision transcription of the design; a
// single-precision design may differ by one in an integer where two candidates nearly tie.
const Known kKnown[] = {
    {"dravon band 0 low shelf 31 Hz +6 dB", {1, 31, 361, 6 * 256}, -32728, 16345, 16393, -32728, 16336, 3},
    {"dravon band 1 peak 62 Hz +3 dB", {0, 62, 361, 3 * 256}, -32688, 16305, 16401, -32688, 16288, 3},
    {"dravon band 5 peak 1 kHz +4 dB", {0, 1000, 361, 4 * 256}, -31333, 15219, 16725, -31333, 14878, 3},
    {"dravon band 9 high shelf 16 kHz +4 dB", {2, 16000, 361, 4 * 256}, 10778, 2157, 19361, 8507, 1450, 3},
};

TEST(AudFilterDesign, KnownBlocks) {
    for (const auto& k : kKnown) {
        SCOPED_TRACE(k.name);
        uint8_t block[kEqBlockSize] = {};
        const uint32_t code = DesignBandFilter(48000, &k.band, block);
        EXPECT_EQ(code & kDesignBlockingCodes, 0u);
        EXPECT_NEAR(S16(block, 0), k.b0, 1);
        EXPECT_NEAR(S16(block, 2), k.b1, 1);
        EXPECT_NEAR(S16(block, 4), k.b2, 1);
        EXPECT_NEAR(-S16(block, 6), k.a1, 1);
        EXPECT_NEAR(-S16(block, 8), k.a2, 1);
        EXPECT_EQ(block[10], k.shift);
    }
}

TEST(AudFilterDesign, HighShelfBlockBytes) {
    const EqBand band{2, 16000, 361, 1024};
    uint8_t block[kEqBlockSize] = {};
    EXPECT_EQ(DesignBandFilter(0, &band, block), 0u);  // 0 means 48000 Hz
    const uint8_t expected[kEqBlockSize] = {0xa1, 0x4b, 0x3b, 0x21, 0xaa, 0x05, 0xe6, 0xd5, 0x93, 0xf7, 0x03};
    EXPECT_EQ(std::memcmp(block, expected, kEqBlockSize), 0);
}

TEST(AudFilterDesign, PassThroughBands) {
    struct Case { const char* name; EqBand band; };
    const Case cases[] = {
        {"peak 1 kHz at 0 dB", {0, 1000, 361, 0}},
        {"low shelf at 0 dB", {1, 31, 361, 0}},
        {"high shelf at 0 dB", {2, 16000, 361, 0}},
        {"Q field 0", {0, 1000, 0, 1536}},
        {"Q field 0 with a frequency that could not be designed", {3, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t block[kEqBlockSize];
        std::memset(block, 0xEE, sizeof block);
        const uint32_t code = DesignBandFilter(48000, &c.band, block);
        EXPECT_EQ(code & kDesignBlockingCodes, 0u) << std::hex << code;
        EXPECT_EQ(S16(block, 0), 0x4000);
        for (int i = 2; i < 10; i += 2) EXPECT_EQ(S16(block, i), 0) << i;
        EXPECT_EQ(block[10], 3);  // h = 1
    }
}

TEST(AudFilterDesign, QFieldZeroIsExact) {
    const EqBand band{0, 1000, 0, 1536};
    uint8_t block[kEqBlockSize] = {};
    EXPECT_EQ(DesignBandFilter(48000, &band, block), 0u);
}

TEST(AudFilterDesign, RefusedBandsLeaveTheBlockAlone) {
    struct Case { const char* name; const EqBand* band; bool withBlock; EqBand storage; uint32_t code; };
    const EqBand good{0, 1000, 361, 0};
    Case cases[] = {
        {"type 5", nullptr, true, {5, 1000, 361, 0}, kDesignBadType},
        {"type 15", nullptr, true, {15, 1000, 361, 256}, kDesignBadType},
        {"frequency 0", nullptr, true, {0, 0, 361, 256}, kDesignBadFrequency},
        {"frequency at half the rate", nullptr, true, {2, 24000, 361, 256}, kDesignBadFrequency},
        {"frequency above half the rate", nullptr, true, {3, 30000, 361, 256}, kDesignBadFrequency},
        {"no band", nullptr, true, {}, kDesignMissing},
        {"no block", &good, false, {}, kDesignMissing},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        const EqBand* band = c.band ? c.band : (std::strcmp(c.name, "no band") == 0 ? nullptr : &c.storage);
        uint8_t block[kEqBlockSize];
        std::memset(block, 0xEE, sizeof block);
        EXPECT_EQ(DesignBandFilter(48000, band, c.withBlock ? block : nullptr), c.code);
        for (uint8_t b : block) EXPECT_EQ(b, 0xEE);
        EXPECT_NE(c.code & kDesignBlockingCodes, 0u);
    }
    // The type's high bits are not part of the type.
    const EqBand highBits{0x10, 1000, 361, 256};
    uint8_t block[kEqBlockSize] = {};
    EXPECT_EQ(DesignBandFilter(48000, &highBits, block) & kDesignBlockingCodes, 0u);
}

TEST(AudFilterDesign, LowShelfAt31HzIsStableWithItsExponent) {
    const EqBand band{1, 31, 361, 6 * 256};
    uint8_t block[kEqBlockSize] = {};
    const uint32_t code = DesignBandFilter(48000, &band, block);
    EXPECT_EQ(code & kDesignUnstable, 0u);
    int maxAbs = 0;
    for (int i = 0; i < 10; i += 2) maxAbs = std::max(maxAbs, std::abs(S16(block, i)));
    // The largest coefficient is close to 2 (a1), so h = floor(log2 M) + 1 = 1 and shift = 3.
    EXPECT_EQ(block[10], 3);
    EXPECT_GE(maxAbs, 1 << 14);
    // This band cannot hold its gain in 14 fractional bits: recognition says so, which does not
    // stop the block from being written.
    EXPECT_NE(code & kDesignGainOff, 0u);
}

TEST(AudFilterDesign, RecognisesWellRepresentedBands) {
    struct Case { EqBand band; };
    const Case cases[] = {
        {{0, 1000, 361, 4 * 256}}, {{0, 4000, 361, -6 * 256}}, {{2, 16000, 361, 4 * 256}},
        {{1, 250, 361, 6 * 256}}, {{3, 1000, 361, 0}}, {{4, 1000, 361, 0}}, {{0, 8000, 512, 12 * 256}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.band.type << " f " << c.band.frequency << " g " << c.band.gain);
        uint8_t block[kEqBlockSize] = {};
        EXPECT_EQ(DesignBandFilter(48000, &c.band, block), 0u);
        const RecognisedFilter r = RecogniseBlock(48000, block);
        EXPECT_EQ(r.type, c.band.type);
        EXPECT_NEAR(r.frequency, c.band.frequency, c.band.frequency * 0.05);
        EXPECT_NEAR(r.gain, c.band.gain, 64);
    }
}

// Over a grid of every type, frequency, Q and gain the block is a stable filter whose exponent
// is the one the largest coefficient needs, and the design never produces NaN or overflows.
TEST(AudFilterDesign, GridProperties) {
    const uint16_t freqs[] = {20, 31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 12000, 16000, 20000, 23999};
    const uint16_t qs[] = {1, 64, 181, 361, 1024, 4096, 65535};
    const int16_t gains[] = {-36 * 256, -12 * 256, -1, 0, 1, 6 * 256, 15 * 256, 32767, -32768};
    int designs = 0;
    for (int type = 0; type <= 4; ++type)
        for (uint16_t f : freqs)
            for (uint16_t q : qs)
                for (int16_t g : gains) {
                    const EqBand band{static_cast<uint16_t>(type), f, q, g};
                    uint8_t block[kEqBlockSize];
                    std::memset(block, 0xEE, sizeof block);
                    const uint32_t code = DesignBandFilter(48000, &band, block);
                    if (code & kDesignUnstable) {
                        for (uint8_t b : block) ASSERT_EQ(b, 0xEE);
                        continue;
                    }
                    ++designs;
                    const int h = static_cast<int>(block[10]) - 2;
                    ASSERT_GE(h, -2);
                    ASSERT_LE(h, 40);
                    const float scale = std::ldexp(1.0f, 15 - h);
                    const float a1 = -S16(block, 6) / scale, a2 = -S16(block, 8) / scale;
                    // Poles inside the unit circle: |a2| < 1 and |a1| < 1 + a2.
                    ASSERT_LT(std::fabs(a2), 1.0f) << type << " " << f << " " << q << " " << g;
                    ASSERT_LT(std::fabs(a1), 1.0f + a2 + 1e-6f) << type << " " << f << " " << q << " " << g;
                    for (float w : {0.0f, 0.5f, 1.0f, 2.0f, 3.14f}) ASSERT_FALSE(std::isnan(BlockResponseDb(block, w)));
                }
    EXPECT_GT(designs, 2000);
}

TEST(AudFilterDesign, DefaultBandsOfEveryBuiltInRowAreWritable) {
    const uint16_t freqs[10] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    const int rows[][10] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},       {6, 3, 1, 2, -5, 4, -3, 1, 7, 4},
        {-12, -8, -4, 2, 5, 5, 7, 8, 2, 8},   {-5, 5, 3, 2, 3, 2, -1, 5, 2, 2},
        {5, 8, 6, 7, 1, 4, 5, 6, 4, 2},       {-6, 1, 4, -1, -1, -2, 0, 0, 5, 5},
        {-1, 1, 2, 3, -1, -1, 0, 0, 4, 4},    {-4, 0, 0, 0, 0, 0, 3, 0, 3, 1},
        {-1, 4, 5, 1, -1, -1, 0, 0, 4, 4},
    };
    for (const auto& row : rows)
        for (int b = 0; b < 10; ++b) {
            const EqBand band{static_cast<uint16_t>(b == 0 ? 1 : b == 9 ? 2 : 0), freqs[b], 361,
                              static_cast<int16_t>(row[b] * 256)};
            uint8_t block[kEqBlockSize] = {};
            EXPECT_EQ(DesignBandFilter(48000, &band, block) & kDesignBlockingCodes, 0u) << b;
            EXPECT_NE(S16(block, 0), 0) << b;  // never a silencing block
        }
}

} // namespace
