// Code tables: button maps, the action map and record conversions in both directions.
#include "device/CodeTables.h"
#include <gtest/gtest.h>
#include <cstring>
#include <thread>

using namespace vt::device;

namespace {

struct DeviceTables : ::testing::Test {
    void SetUp() override { BuildCodeTables(); }
};

uint32_t WordAt(const EngineActionRecord& r, size_t offset) {
    uint32_t v;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(&r) + offset, 4);
    return v;
}

AssignmentRecord Assignment(int32_t kind, uint32_t w0 = 0, uint32_t w1 = 0, uint32_t w2 = 0, uint32_t w3 = 0) {
    AssignmentRecord a{};
    a.kind = kind;
    uint32_t w[4] = {w0, w1, w2, w3};
    std::memcpy(a.payload, w, 16);
    return a;
}

} // namespace

TEST_F(DeviceTables, ButtonMapsFollowTheEngineLayout) {
    struct Row { int32_t button; uint32_t bit; uint32_t index; };
    const Row rows[] = {
        {1, 0x1, 1}, {2, 0x2, 2}, {3, 0x4, 3}, {4, 0, 0}, {5, 0, 0}, {6, 0x10, 5}, {7, 0x8, 4},
        {8, 0x200, 10}, {9, 0x400, 11}, {10, 0x80, 8}, {11, 0x100, 9}, {12, 0x800, 12},
        {17, 0x10000, 17}, {23, 0x400000, 23}, {24, 0, 0}, {25, 0, 0}, {26, 0, 0},
    };
    auto& t = CodeTables();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.button);
        EXPECT_EQ(t.BitForButton(r.button), r.bit);
        EXPECT_EQ(t.IndexForButton(r.button), r.index);
        if (r.bit) {
            EXPECT_EQ(t.ButtonForBit(r.bit), r.button);
            EXPECT_EQ(t.ButtonForIndex(r.index), r.button);
        }
    }
    EXPECT_EQ(t.ButtonForBit(0x800000), 0);
    EXPECT_EQ(t.ButtonForIndex(99), 0);
}

// Every kind of the action map: the exact engine words it produces and the kind it reads back as.
TEST_F(DeviceTables, EveryKindBuildsItsRecordAndReadsBack) {
    struct Row { int32_t kind; uint32_t type; uint32_t at12; uint32_t at16; int32_t readsAs; };
    const Row rows[] = {
        {1, 1, 1, 0, 1}, {2, 1, 2, 0, 2}, {3, 1, 3, 0, 3}, {4, 1, 11, 0, 4}, {8, 1, 0, 0, 8},
        {10, 1, 8, 0, 10}, {13, 1, 9, 0, 13}, {14, 1, 10, 0, 14}, {32, 1, 5, 0, 32}, {33, 1, 4, 0, 33},
        {40, 1, 6, 0, 40}, {41, 1, 7, 0, 41}, {9, 6, 0, 0, 9},
        {16, 4, 3, 0, 16}, {17, 4, 3, 1, 17}, {18, 4, 3, 2, 18}, {19, 4, 3, 3, 19}, {20, 4, 3, 4, 20},
        {23, 3, 2, 0, 23}, {24, 3, 1, 0, 24},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.kind);
        EngineActionRecord rec = AssignmentToEngine(Assignment(r.kind), 7);
        EXPECT_EQ(rec.Flag, 1u);
        EXPECT_EQ(rec.Index, 7u);
        EXPECT_EQ(rec.Type, r.type);
        EXPECT_EQ(WordAt(rec, 12), r.at12);
        EXPECT_EQ(WordAt(rec, 16), r.at16);
        AssignmentRecord back = FromEngineRecord(rec);
        EXPECT_EQ(back.kind, r.readsAs);
    }
}

TEST_F(DeviceTables, ReferencedObjectsCarryTheirIds) {
    const uint32_t id[4] = {0x11111111, 0x22222222, 0x33333333, 0x44444444};
    // Kind 21 (a given profile): mode 3 and the id at +16.
    EngineActionRecord p = AssignmentToEngine(Assignment(21, id[0], id[1], id[2], id[3]), 1);
    EXPECT_EQ(p.Type, 3u);
    EXPECT_EQ(WordAt(p, 12), 3u);
    EXPECT_EQ(WordAt(p, 16), id[0]);
    EXPECT_EQ(WordAt(p, 28), id[3]);
    AssignmentRecord pb = FromEngineRecord(p);
    EXPECT_EQ(pb.kind, 21);
    EXPECT_EQ(0, std::memcmp(pb.payload, id, 16));
    // Profile next/previous keep no id.
    EngineActionRecord next = AssignmentToEngine(Assignment(24, id[0]), 1);
    EXPECT_EQ(WordAt(next, 16), 0u);
    // Kind 62 (launch entry): type 9, id at +12.
    EngineActionRecord l = AssignmentToEngine(Assignment(62, id[0], id[1], id[2], id[3]), 2);
    EXPECT_EQ(l.Type, 9u);
    EXPECT_EQ(WordAt(l, 12), id[0]);
    EXPECT_EQ(WordAt(l, 24), id[3]);
    AssignmentRecord lb = FromEngineRecord(l);
    EXPECT_EQ(lb.kind, 62);
    EXPECT_EQ(0, std::memcmp(lb.payload, id, 16));
}

TEST_F(DeviceTables, MacroPlaybackModesMapBothWays) {
    struct Row { int32_t model; uint8_t engine; int32_t back; };
    const Row rows[] = {{1, 1, 1}, {2, 2, 2}, {3, 4, 3}, {4, 3, 4}, {0, 0, 0}, {9, 0, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.model);
        AssignmentRecord a = Assignment(6, 0xA, 0xB, 0xC, 0xD);
        std::memcpy(a.payload + vt::profile::kMacroModeOffset, &r.model, 4);
        int32_t repeat = 0x1F7;
        std::memcpy(a.payload + vt::profile::kMacroFlagOffset, &repeat, 4);
        EngineActionRecord rec = AssignmentToEngine(a, 3);
        EXPECT_EQ(rec.Type, 8u);
        EXPECT_EQ(WordAt(rec, 12), 0xAu);
        EXPECT_EQ(rec.Payload[16], r.engine);
        EXPECT_EQ(rec.Payload[17], 0xF7);
        AssignmentRecord back = FromEngineRecord(rec);
        EXPECT_EQ(back.kind, 6);
        int32_t mode, rep;
        std::memcpy(&mode, back.payload + vt::profile::kMacroModeOffset, 4);
        std::memcpy(&rep, back.payload + vt::profile::kMacroFlagOffset, 4);
        EXPECT_EQ(mode, r.back);
        EXPECT_EQ(rep, 0xF7);
    }
}

// Single keys: modifiers travel in bits 24..27; the Pause / Num Lock choice of make code 69 has a
// bit of its own, so a real modifier 1 survives beside it.
TEST_F(DeviceTables, SingleKeysKeepModifiersAndThePauseChoice) {
    struct Row { uint16_t key; uint16_t vk; uint32_t modifiers; uint32_t flags; uint16_t vkBack; };
    const Row rows[] = {
        {0x1E, 0, 0, 0, 0},
        {0x1E, 0, 1, 1u << 24, 0},
        {0x1E, 0, 0x0F, 0x0Fu << 24, 0},
        {69, kVkPause, 0, kPauseMarker, kVkPause},
        {69, kVkPause, 1, kPauseMarker | (1u << 24), kVkPause},
        {69, kVkNumLock, 0, 0, kVkNumLock},
        {69, kVkNumLock, 1, 1u << 24, kVkNumLock},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.key << "/" << r.vk << "/" << r.modifiers);
        AssignmentRecord a = Assignment(5, uint32_t(r.key) | (uint32_t(r.vk) << 16), r.modifiers);
        EngineActionRecord rec = AssignmentToEngine(a, 4);
        EXPECT_EQ(rec.Type, 5u);
        uint16_t key;
        uint32_t flags;
        std::memcpy(&key, reinterpret_cast<uint8_t*>(&rec) + 12, 2);
        std::memcpy(&flags, reinterpret_cast<uint8_t*>(&rec) + 14, 4);
        EXPECT_EQ(key, r.key);
        EXPECT_EQ(flags, r.flags);
        AssignmentRecord back = FromEngineRecord(rec);
        EXPECT_EQ(back.kind, 5);
        uint32_t w0, w1;
        std::memcpy(&w0, back.payload, 4);
        std::memcpy(&w1, back.payload + 4, 4);
        EXPECT_EQ(w0 & 0xFFFF, r.key);
        EXPECT_EQ(w0 >> 16, r.vkBack);
        EXPECT_EQ(w1, r.modifiers);
    }
}

TEST_F(DeviceTables, UnknownRecordsReadAsNoAssignment) {
    for (uint32_t type : {0u, 2u, 7u, 10u}) {
        SCOPED_TRACE(type);
        EngineActionRecord rec{};
        rec.Flag = 1;
        rec.Index = 3;
        rec.Type = type;
        std::memset(rec.Payload, 0xAB, sizeof rec.Payload);
        AssignmentRecord back = FromEngineRecord(rec);
        EXPECT_EQ(back.kind, -1);
        AssignmentRecord zero{};
        EXPECT_EQ(0, std::memcmp(back.payload, zero.payload, sizeof zero.payload));
    }
    // A function code no kind uses.
    EngineActionRecord rec = AssignmentToEngine(Assignment(1), 1);
    uint32_t code = 99;
    std::memcpy(rec.Payload, &code, 4);
    EXPECT_EQ(FromEngineRecord(rec).kind, -1);
}

// A kind outside the action map is sent as an all-zero record with only the index; asking for it
// must not add it to the map (the worker thread asks too).
TEST_F(DeviceTables, AbsentKindsAreSentEmptyAndNeverInserted) {
    auto before = CodeTables().Kinds();
    for (int32_t kind : {0, 11, 12, 15, 30, 63, 64, -1}) {
        SCOPED_TRACE(kind);
        EngineActionRecord rec = AssignmentToEngine(Assignment(kind, 5, 6), 9);
        EXPECT_EQ(rec.Flag, 0u);
        EXPECT_EQ(rec.Index, 9u);
        EXPECT_EQ(rec.Type, 0u);
        EXPECT_EQ(WordAt(rec, 12), 0u);
    }
    EXPECT_EQ(CodeTables().Kinds(), before);
}

TEST_F(DeviceTables, BuildingTwiceChangesNothingAndLookupsRunInParallel) {
    auto kinds = CodeTables().Kinds();
    auto buttons = CodeTables().ButtonIds();
    BuildCodeTables();
    CodeTables().Build();
    EXPECT_EQ(CodeTables().Kinds(), kinds);
    EXPECT_EQ(CodeTables().ButtonIds(), buttons);
    EXPECT_EQ(buttons.size(), 26u);

    std::atomic<int> mismatches{0};
    auto work = [&] {
        for (int i = 0; i < 2000; ++i) {
            int32_t kind = i % 70;
            EngineActionRecord r = AssignmentToEngine(Assignment(kind), 1);
            if (r.Type != CodeTables().TemplateForKind(kind).Type) ++mismatches;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(CodeTables().Kinds(), kinds);
}
