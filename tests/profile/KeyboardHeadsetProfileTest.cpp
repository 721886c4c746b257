// Keyboard profile (kinds, reset to default codes, copies) and headset profile (band gains).
#include "profile/AudioProfile.h"
#include "profile/KeyboardProfile.h"
#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include "base/KeyTable.h"

namespace {

const GUID kId = {0xABCD, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

// Gives the program's keyboard definition these default codes for one test.
class KeyDefaultsScope {
public:
    explicit KeyDefaultsScope(std::map<int32_t, std::pair<uint16_t, uint8_t>> table) {
        auto& def = vt::base::GlobalKeyTable();
        def.Reset();
        for (const auto& [key, code] : table) def.m_defaultCodes[key] = {int16_t(code.first), code.second};
    }
    ~KeyDefaultsScope() { vt::base::GlobalKeyTable().Reset(); }
};

TEST(KeyboardProfileTest, StoredKinds) {
    struct Case {
        int32_t kind;
        bool stored;
    } cases[] = {{0, true},  {5, true},  {6, true},   {7, true},   {21, true},  {22, true}, {62, true},
                 {63, true}, {1, false}, {64, false}, {-1, false}, {40, false}, {8, false}};
    for (const auto& c : cases) {
        CDmProfile_Keyboard p;
        EXPECT_EQ(p.IsAssignmentTypeAllowed(c.kind), c.stored) << c.kind;
        p.SetAssignment(9, MakeActionRecord(c.kind, kId));
        EXPECT_EQ(p.Assignments().count(9), c.stored ? 1u : 0u) << c.kind;
    }
    CDmProfile_Keyboard p;
    std::vector<int32_t> kinds{1, 2};
    p.GetAllowedAssignmentTypes(kinds);
    EXPECT_EQ(kinds, (std::vector<int32_t>{0, 5, 21, 6, 62}));
}

TEST(KeyboardProfileTest, ResetToDefaultsTouchesOnlyPresentKeys) {
    KeyDefaultsScope defaults({{100, {0x1D, 1}}, {200, {0x1E, 0}}, {300, {0x45, 0x7F}}});
    CDmProfile_Keyboard empty;
    empty.ResetAssignmentsToDefault();
    EXPECT_TRUE(empty.Assignments().empty());

    CDmProfile_Keyboard p;
    p.SetAssignment(100, MakeActionRecord(6, kId));
    p.SetAssignment(200, MakeActionRecord(21, kId));
    p.SetAssignment(300, MakeActionRecord(62, kId));
    p.GetAssignment(400);  // present, but the definition has no default for it
    p.ResetAssignmentsToDefault();
    ASSERT_EQ(p.Assignments().size(), 4u);
    struct Case {
        int32_t key;
        uint16_t code;
        uint8_t prefixByte;
    } cases[] = {{100, 0x1D, 1}, {200, 0x1E, 0}, {300, 0x45, 1}, {400, 0, 0}};
    for (const auto& c : cases) {
        AssignmentRecord r = p.GetAssignment(c.key);
        EXPECT_EQ(r.kind, 0) << c.key;
        uint16_t code = 0, zero = 7;
        std::memcpy(&code, r.payload, 2);
        std::memcpy(&zero, r.payload + 2, 2);
        EXPECT_EQ(code, c.code) << c.key;
        EXPECT_EQ(zero, 0);
        EXPECT_EQ(r.payload[4], c.prefixByte) << c.key;
    }
}

TEST(KeyboardProfileTest, CopyKeepsAssignments) {
    CDmProfile_Keyboard src(L"Keys");
    src.SetId(kId);
    src.SetAssignment(5, MakeActionRecord(5, kId));
    src.SetLightOn(3, 1);
    CDmProfile_Keyboard copy(src);
    EXPECT_STREQ(copy.GetName(), L"Keys");
    EXPECT_EQ(copy.Assignments().size(), 1u);
    EXPECT_EQ(copy.GetAssignment(5).kind, 5);
    EXPECT_EQ(copy.GetLightOn(3), 1);
    IKeyboardProfile& i = copy;
    i.Reserved19(1);
    EXPECT_FALSE(i.Reserved20());
}

TEST(HeadsetProfileTest, GainClamping) {
    struct Case {
        int32_t min, max;
        int16_t gain, stored;
    } cases[] = {{-12, 12, 20, 12}, {-12, 12, -20, -12}, {-12, 12, 5, 5},    {-12, 12, 12, 12},
                 {0, 1, 5, 1},      {0, 1, -3, 0},       {-32768, 32767, -32768, -32768},
                 {10, -10, 0, 10},  // inverted range: the minimum is tested first
                 {10, -10, 20, -10}};
    for (const auto& c : cases) {
        CDmProfile_Headset p;
        p.InitBands({0, 1}, c.min, c.max, 1);
        EXPECT_TRUE(p.SetBandGain(1, c.gain));
        EXPECT_EQ(p.GetBandGain(1), c.stored) << c.min << ".." << c.max << " " << c.gain;
    }
    CDmProfile_Headset p;
    p.InitBands({0}, -12, 12, 1);
    EXPECT_TRUE(p.SetAllBandGains({{0, 20}, {7, -30}}));
    EXPECT_EQ(p.GetBandGain(0), 20);
    EXPECT_EQ(p.GetBandGain(7), -30);
}

TEST(HeadsetProfileTest, BandsByPosition) {
    CDmProfile_Headset p;
    EXPECT_EQ(p.GetBandCount(), 0u);
    int32_t mn = 9, mx = 9, sc = 9;
    p.GetGainRange(&mn, &mx, &sc);
    EXPECT_EQ(mn, 0);
    EXPECT_EQ(mx, 1);
    EXPECT_EQ(sc, 1);
    p.SetBandGain(5, 1);
    p.SetBandGain(1, 1);
    p.SetBandGain(3, 1);
    EXPECT_EQ(p.GetBandIdAt(0), 1);
    EXPECT_EQ(p.GetBandIdAt(1), 3);
    EXPECT_EQ(p.GetBandIdAt(2), 5);
    EXPECT_EQ(p.GetBandIdAt(3), 0);
    EXPECT_EQ(p.GetBandIdAt(0xFFFFFFFF), 0);
    EXPECT_EQ(p.GetBandGain(9), 0);
    EXPECT_EQ(p.GetBandCount(), 4u);
    // InitBands zeroes the listed bands and keeps the others.
    p.InitBands({1, 3}, -6, 6, 2);
    BandGains gains{{99, 99}};
    EXPECT_TRUE(p.GetAllBandGains(gains));
    EXPECT_EQ(gains, (BandGains{{1, 0}, {3, 0}, {5, 1}, {9, 0}}));
    p.GetGainRange(&mn, &mx, &sc);
    EXPECT_EQ(mn, -6);
    EXPECT_EQ(mx, 6);
    EXPECT_EQ(sc, 2);
}

TEST(HeadsetProfileTest, CopyKeepsBandsRangeAndSwitch) {
    CDmProfile_Headset src(L"Custom");
    src.InitBands({0, 1, 2}, -12, 12, 1);
    src.SetBandGain(2, -5);
    src.SetEqualizerEnabled(1);
    src.SetLightColor(9, 0xFF);
    CDmProfile_Headset copy(src);
    BandGains gains;
    copy.GetAllBandGains(gains);
    EXPECT_EQ(gains, (BandGains{{0, 0}, {1, 0}, {2, -5}}));
    EXPECT_EQ(copy.GetEqualizerEnabled(), 1);
    EXPECT_EQ(copy.GetLightColor(9), 0xFF);
    copy.SetBandGain(0, 40);
    EXPECT_EQ(copy.GetBandGain(0), 12);  // the range came along
    EXPECT_TRUE(copy.Assignments().empty());
}

} // namespace

namespace {

TEST(KeyboardProfileTest, ResetReadsTheKeyboardDefinitionDefaults) {
    auto& def = vt::base::GlobalKeyTable();
    def.Reset();
    // A key defaults file: count, then {key id, code | prefix << 16}.
    const int32_t file[] = {2, 100, 0x0001001D, 200, 0x0000001E};
    ASSERT_TRUE(vt::base::ParseKeyDefaults(file, def, sizeof(file)));
    CDmProfile_Keyboard p;
    for (int32_t key : {100, 200, 300}) p.GetAssignment(key);
    p.ResetAssignmentsToDefault();
    struct Case {
        int32_t key;
        uint8_t low, prefixByte;
    } cases[] = {{100, 0x1D, 1}, {200, 0x1E, 0}, {300, 0, 0}};
    for (const auto& c : cases) {
        AssignmentRecord r = p.GetAssignment(c.key);
        EXPECT_EQ(r.kind, 0);
        EXPECT_EQ(r.payload[0], c.low) << c.key;
        EXPECT_EQ(r.payload[1], 0);
        EXPECT_EQ(r.payload[4], c.prefixByte) << c.key;
    }
    def.Reset();
}

} // namespace
