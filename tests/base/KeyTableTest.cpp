// The key table's definition and key defaults parsers: records, usable keys, derived scan codes, broken
// files (each parsed from a buffer that ends at an inaccessible page, so an over-read faults), and a
// randomised run over mutated copies of the files the build generates.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/KeyTable.h"
#include "tests/base/KeyFileBuilders.h"
#include "tests/base/GuardedBuffer.h"

using namespace vt::base;

namespace {

using vt::test::GuardedBuffer;

using namespace vt::test::keyfiles;

bool ParseDef(const Bytes& data, KeyTable& def) {
    GuardedBuffer buf(data);
    return ParseKeyDefinitions(buf.Data(), int64_t(data.size()), def);
}
bool ParseDefaults(const Bytes& data, KeyTable& def) {
    GuardedBuffer buf(data);
    return ParseKeyDefaults(buf.Data(), def, int64_t(data.size()));
}

Bytes ReadImageFile(const wchar_t* relative) {
    wchar_t dir[1024];
    DWORD n = GetEnvironmentVariableW(L"VT_IMAGE_DIR", dir, 1024);
    std::wstring path = (n > 0 && n < 1024) ? std::wstring(dir, n) : L".";
    if (path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path) if (c == L'/') c = L'\\';
    path += L"\\";
    path += relative;
    Bytes data;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        uint8_t chunk[4096];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + got);
        fclose(f);
    }
    return data;
}

} // namespace

TEST(KeyTable, KeyNameHashIsDjb2OverUtf16Units) {
    EXPECT_EQ(KeyNameHash(L""), 5381);
    EXPECT_EQ(KeyNameHash(L"A"), 177638);
    EXPECT_EQ(KeyNameHash(L"Aa"), KeyNameHash(L"B@"));
    // Wraps around in 32 bits and reads as signed.
    uint32_t h = 5381;
    for (wchar_t c : std::wstring(L"Keyboard RightControl")) h = h * 33 + c;
    EXPECT_EQ(KeyNameHash(L"Keyboard RightControl"), int32_t(h));
}

TEST(KeyTable, ScanCodeDerivedFromTheMakeSequence) {
    struct Case {
        std::vector<Entry> block;
        KeyCode expected;
    };
    const Case cases[] = {
        {{{0x1E, 0}, {0x2E, 0}}, {0x1E, 0}},
        {{{0, 1}, {0x1D, 0}, {0x45, 0}, {0, 0}}, {0x45, 1}},
        {{{0, 1}, {0x1D, 0}}, {0x1D, 1}},
        {{{0x2A, 1}}, {0x2A, 1}},                           // no run: e0's code
        {{{0x2A, 1}, {0x37, 2}}, {0x2A, 1}},                // e1 has a prefix: no run
        {{{0, 2}, {0x1D, 0}, {0, 1}, {0x45, 0}}, {0x1D, 2}}, // run stops at the first failing entry
        {{{0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}}, {8, 1}},  // never e9
        {{{-1, 0}}, {-1, 0}},
    };
    for (const Case& c : cases) {
        KeySeqBlock block{};
        for (size_t i = 0; i < c.block.size(); ++i) block[i] = {c.block[i].code, c.block[i].prefix, 0};
        KeyCode got = DeriveScanCode(block);
        EXPECT_EQ(got.code, c.expected.code);
        EXPECT_EQ(got.prefix, c.expected.prefix);
    }
}

TEST(KeyTable, ExactRecordsParseTrueAndLeftoverBytesFalseKeepingRecords) {
    Bytes two = Definition(2, {Record(L"Alpha", {{0x1E, 0}}), Record(L"Beta", {{0, 1}, {0x1D, 0}}, -2, 9, 0x55)});
    KeyTable def;
    EXPECT_TRUE(ParseDef(two, def));
    ASSERT_EQ(def.m_allKeys.size(), 2u);
    const KeyDefRecord& beta = def.m_allKeys[1];
    EXPECT_EQ(beta.name, L"Beta");
    EXPECT_EQ(beta.keyId, KeyNameHash(L"Beta"));
    EXPECT_EQ(beta.valueA, 9);
    EXPECT_EQ(beta.valueB, 0x55);
    EXPECT_EQ(beta.sequences[1][0].code, 0x100);
    EXPECT_EQ(beta.sequences[3][9].reserved, 0xAA);
    EXPECT_EQ(def.GetKeyCode(KeyNameHash(L"Beta")), (KeyCode{0x1D, 1}));
    EXPECT_EQ(def.FindKeyIdByCode(0x1D | 1 << 16), KeyNameHash(L"Beta"));
    EXPECT_EQ(def.FindKeyIdByCode(0x1D), 0);
    EXPECT_EQ(def.GetKeyCode(12345), KeyCode{});

    Bytes extra = two;
    PutInt32(extra, 0);
    KeyTable def2;
    EXPECT_FALSE(ParseDef(extra, def2));
    EXPECT_TRUE(def2.IsParsed());
    EXPECT_EQ(def2.m_allKeys.size(), 2u);
    EXPECT_EQ(def2.m_keysById.size(), 2u);
}

TEST(KeyTable, ReservedNamesAndNegativeCodesAreNotUsable) {
    Bytes data = Definition(6, {Record(L"Reserved", {{0x10, 0}}), Record(L"do not use", {{0x11, 0}}),
                                Record(L"UNASSIGNED", {{0x12, 0}}), Record(L"NONE", {{0x13, 0}}),
                                Record(L"Dead", {{-1, 0}}), Record(L"Live", {{0x14, 0}})});
    KeyTable def;
    EXPECT_TRUE(ParseDef(data, def));
    EXPECT_EQ(def.m_allKeys.size(), 6u);
    ASSERT_EQ(def.m_keysById.size(), 1u);
    EXPECT_EQ(def.m_keysById.begin()->second.name, L"Live");
    EXPECT_EQ(def.FindKey(KeyNameHash(L"Reserved")), nullptr);
}

TEST(KeyTable, SameIdKeepsTheLaterRecordAndIdsRunUnsigned) {
    Bytes data = Definition(2, {Record(L"Aa", {{0x20, 0}}), Record(L"B@", {{0x21, 0}})});
    KeyTable def;
    EXPECT_TRUE(ParseDef(data, def));
    ASSERT_EQ(def.m_keysById.size(), 1u);
    EXPECT_EQ(def.FindKey(KeyNameHash(L"Aa"))->name, L"B@");

    // Two keys with one code: the one with the smaller unsigned id is found.
    std::wstring a = L"Keyboard a and A", b = L"Keyboard b and B";
    Bytes same = Definition(2, {Record(a, {{0x30, 0}}), Record(b, {{0x30, 0}})});
    KeyTable def2;
    EXPECT_TRUE(ParseDef(same, def2));
    int32_t expected = uint32_t(KeyNameHash(a)) < uint32_t(KeyNameHash(b)) ? KeyNameHash(a) : KeyNameHash(b);
    EXPECT_EQ(def2.FindKeyIdByCode(0x30), expected);
}

TEST(KeyTable, LongNameLengthIsReadAs512) {
    Bytes rec;
    PutInt32(rec, 600);
    for (int i = 0; i < 256; ++i) PutInt16(rec, int16_t(L'a' + i % 26));
    Bytes tail = Record(L"", {{0x22, 0}});  // length field 0, then the tail
    rec.insert(rec.end(), tail.begin() + 4, tail.end());
    KeyTable def;
    EXPECT_TRUE(ParseDef(Definition(1, {rec}), def));
    ASSERT_EQ(def.m_allKeys.size(), 1u);
    EXPECT_EQ(def.m_allKeys[0].name.size(), 256u);
    EXPECT_EQ(def.m_allKeys[0].scanCode, 0x22);
}

TEST(KeyTable, NameEndsAtItsFirstZeroCharacter) {
    KeyTable def;
    EXPECT_TRUE(ParseDef(Definition(1, {Record(std::wstring(L"Esc\0junk", 8), {{1, 0}})}), def));
    EXPECT_EQ(def.m_allKeys[0].name, L"Esc");
}

TEST(KeyTable, BrokenDefinitionFilesFailWithoutOverRead) {
    Bytes good = Definition(2, {Record(L"Alpha", {{0x1E, 0}}), Record(L"Beta", {{0x30, 0}})});
    Bytes oneRecord = Definition(1, {Record(L"Alpha", {{0x1E, 0}})});
    struct Case {
        const char* label;
        Bytes data;
        size_t recordsKept;
    };
    std::vector<Case> cases = {
        {"count only, zero", Definition(0, {}), 0},
        {"count zero with a record", Definition(0, {Record(L"A", {{1, 0}})}), 0},
        {"three bytes", Bytes{2, 0, 0}, 0},
        {"count two, one record", Definition(2, {Record(L"Alpha", {{0x1E, 0}})}), 1},
        {"huge count", Definition(-1, {Record(L"Alpha", {{0x1E, 0}})}), 1},
        {"negative length", Definition(1, {Record(L"Alpha", {{1, 0}}, -5)}), 0},
        {"length past the end", Definition(1, {Record(L"Alpha", {{1, 0}}, 0x7FFFFFFF)}), 0},
        {"length field cut", Bytes(oneRecord.begin(), oneRecord.begin() + 6), 0},
    };
    for (size_t cut = 4; cut < good.size(); cut += 7) {
        size_t kept = cut >= 4 + Record(L"Alpha", {{0x1E, 0}}).size() ? 1 : 0;
        cases.push_back({"truncated", Bytes(good.begin(), good.begin() + cut), kept});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        KeyTable def;
        EXPECT_FALSE(ParseDef(c.data, def));
        EXPECT_TRUE(def.IsParsed());
        EXPECT_EQ(def.m_allKeys.size(), c.recordsKept);
    }
}

TEST(KeyTable, NoDataIsNotAParse) {
    KeyTable def;
    EXPECT_FALSE(ParseKeyDefinitions(nullptr, 10, def));
    uint8_t byte = 1;
    EXPECT_FALSE(ParseKeyDefinitions(&byte, 0, def));
    EXPECT_FALSE(ParseKeyDefinitions(&byte, -4, def));
    EXPECT_FALSE(def.IsParsed());
    EXPECT_TRUE(ParseDef(Definition(1, {Record(L"A", {{1, 0}})}), def));
}

TEST(KeyTable, ParsedOnceAndLaterCallsAnswerTheFirstResult) {
    KeyTable failed;
    EXPECT_FALSE(ParseDef(Definition(2, {Record(L"A", {{1, 0}})}), failed));
    // A second keyboard page must not be told that the broken definition loaded.
    EXPECT_FALSE(ParseDef(Definition(1, {Record(L"B", {{2, 0}})}), failed));
    EXPECT_EQ(failed.m_allKeys.size(), 1u);

    KeyTable good;
    EXPECT_TRUE(ParseDef(Definition(1, {Record(L"A", {{1, 0}})}), good));
    EXPECT_TRUE(ParseDef(Bytes{1, 2, 3}, good));
    EXPECT_EQ(good.m_allKeys.size(), 1u);
}

TEST(KeyTable, DefaultsFileValidOnlyWhenCountMatchesSize) {
    struct Case {
        const char* label;
        Bytes data;
        bool valid;
        size_t entries;
    };
    Bytes threeEntries = Defaults(3, {{10, 0x1E}, {11, 0x1D | 1 << 16}, {10, 0x30 | 0xFF0000}});
    Bytes countTwo = threeEntries;
    countTwo[0] = 2;
    Bytes withSpare = threeEntries;
    withSpare.insert(withSpare.end(), {1, 2, 3});
    const Case cases[] = {
        {"three entries", threeEntries, true, 2},
        {"count two for three entries", countTwo, false, 0},
        {"three spare bytes", withSpare, true, 2},
        {"count only", Defaults(0, {}), true, 0},
        {"empty", Bytes{}, false, 0},
        {"one byte", Bytes{0}, false, 0},
        {"three bytes", Bytes{0, 0, 0}, false, 0},
        {"negative count", Defaults(-1, {}), false, 0},
        {"huge count", Defaults(0x7FFFFFFF, {{1, 1}}), false, 0},
        {"count one, half entry", Bytes{1, 0, 0, 0, 5, 0, 0, 0}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        KeyTable def;
        EXPECT_EQ(ParseDefaults(c.data, def), c.valid);
        EXPECT_EQ(def.m_defaultCodes.size(), c.entries);
    }
    KeyTable def;
    ASSERT_TRUE(ParseDefaults(threeEntries, def));
    KeyCode code;
    EXPECT_TRUE(def.GetDefaultCode(10, code));
    EXPECT_EQ(code, (KeyCode{0x30, 0xFF})) << "a later entry replaces an earlier one";
    EXPECT_TRUE(def.GetDefaultCode(11, code));
    EXPECT_EQ(code, (KeyCode{0x1D, 1}));
    EXPECT_FALSE(def.GetDefaultCode(12, code));
    EXPECT_EQ(code, KeyCode{});
    EXPECT_TRUE(def.m_keysById.empty());
}

class KeyTableFiles : public ::testing::Test {
protected:
    void SetUp() override {
        definition = ReadImageFile(L"bin\\KeyboardDef.bin");
        defaults = ReadImageFile(L"bin\\KeyDefaults.bin");
        ASSERT_FALSE(definition.empty());
        ASSERT_FALSE(defaults.empty());
    }
    Bytes definition, defaults;
};

TEST_F(KeyTableFiles, GeneratedFilesParseAndAgree) {
    KeyTable def;
    ASSERT_TRUE(ParseDef(definition, def));
    ASSERT_TRUE(ParseDefaults(defaults, def));
    EXPECT_GT(def.m_allKeys.size(), 100u);
    EXPECT_EQ(def.m_keysById.size(), def.m_allKeys.size() - 1) << "one reserved record";

    struct Key {
        const wchar_t* name;
        KeyCode code;
        int16_t valueB;
    };
    const Key keys[] = {
        {L"Keyboard a and A", {0x1E, 0}, 0},
        {L"Keyboard ESCAPE", {0x01, 0}, 0},
        {L"Keyboard RightControl", {0x1D, 1}, 0},
        {L"Keyboard Pause", {0x45, 2}, 0},
        {L"Keypad Num Lock and Clear", {0x45, 0}, 0x55},
        {L"Keypad ENTER", {0x1C, 1}, 0},
        {L"Keyboard Non-US \\ and | (Note 2)", {0x56, 0}, 0},
        {L"Macro 1", {0x64, 1}, 0},
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(testing::Message() << std::string(k.name, k.name + wcslen(k.name)));
        int32_t id = KeyNameHash(k.name);
        const KeyDefRecord* rec = def.FindKey(id);
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(rec->valueB, k.valueB);
        EXPECT_EQ(def.GetKeyCode(id), k.code);
        EXPECT_EQ(def.FindKeyIdByCode(uint16_t(k.code.code) | uint32_t(k.code.prefix) << 16), id);
    }
    // Every usable key's default is its own code.
    EXPECT_EQ(def.m_defaultCodes.size(), def.m_keysById.size());
    for (const auto& [id, rec] : def.m_keysById) {
        KeyCode code;
        ASSERT_TRUE(def.GetDefaultCode(id, code)) << id;
        EXPECT_EQ(code, (KeyCode{rec.scanCode, rec.prefix})) << id;
    }
}

TEST_F(KeyTableFiles, MutatedCopiesNeverCrashOrOverRead) {
    std::mt19937 rng(20261210);
    auto mutate = [&](Bytes data) {
        switch (rng() % 6) {
        case 0:  // flip a few bytes
            for (int i = 0, n = 1 + rng() % 8; i < n && !data.empty(); ++i) data[rng() % data.size()] ^= uint8_t(1 + rng() % 255);
            break;
        case 1:  // truncate
            data.resize(rng() % (data.size() + 1));
            break;
        case 2:  // extend with noise
            for (int i = 0, n = 1 + rng() % 64; i < n; ++i) data.push_back(uint8_t(rng()));
            break;
        case 3: {  // a wild 32-bit value at a random place
            if (data.size() >= 4) {
                size_t at = rng() % (data.size() - 3);
                const uint32_t wild[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0x00000201u, 0xFFFFFE00u, uint32_t(rng())};
                uint32_t v = wild[rng() % 6];
                std::memcpy(&data[at], &v, 4);
            }
            break;
        }
        case 4:  // cut out a slice
            if (data.size() > 8) {
                size_t at = rng() % (data.size() - 4), n = 1 + rng() % 4;
                data.erase(data.begin() + at, data.begin() + at + n);
            }
            break;
        default:  // the count field
            if (data.size() >= 4) {
                int32_t v = int32_t(rng() % 3 == 0 ? rng() : rng() % 300);
                std::memcpy(&data[0], &v, 4);
            }
            break;
        }
        return data;
    };
    int passed = 0;
    for (int round = 0; round < 1500; ++round) {
        Bytes d = mutate(definition), k = mutate(defaults);
        KeyTable def;
        bool ok = ParseDef(d, def);
        passed += ok;
        EXPECT_LE(def.m_allKeys.size(), d.size() / 168 + 1);
        EXPECT_LE(def.m_keysById.size(), def.m_allKeys.size());
        ParseDefaults(k, def);
        EXPECT_LE(def.m_defaultCodes.size(), k.size() / 8);
        if (ok) {
            EXPECT_TRUE(def.ParseSucceeded());
        }
    }
    EXPECT_LT(passed, 1500);
}
