// The profiles of a read or a write spread over a few threads: the engine and the model end as
// they do with every profile on one thread, nothing is written twice, and a profile that fails on
// one thread fails the whole operation as it always did (its group is written again by the next
// Apply, the model keeps its edits and the values read from the other profiles).
#include "device/EngineBatch.h"
#include "device/Mouse.h"
#include "device/ProfileSpread.h"
#include "EngineHost.h"
#include "MouseModelUtil.h"
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

using namespace vt::device;
using vt::test::InProcessEngine;

namespace {

struct DeviceSpread : ::testing::TestWithParam<size_t> {
    void SetUp() override {
        DeviceCore::SetWorkerTimings(0, 7500);
        ProfileSpread::SetThreads(GetParam());
    }
    void TearDown() override {
        DeviceCore::SetWorkerTimings(500, 7500);
        ProfileSpread::SetThreads(4);
    }
    bool Apply(CMouse& mouse, CDmConfig_Mouse& config) {
        return mouse.TransferProfiles(&config, 0, kGroupAll) && mouse.WaitForWorker(20000) &&
               mouse.GetLastWriteResult() == 1;
    }
    // Nine edited profiles written by `mouse`.
    void NineEditedProfiles(CMouse& mouse, CDmConfig_Mouse& config) {
        ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
        while (config.GetProfileCount() < 9) config.CreateProfile((L"P" + std::to_wstring(config.GetProfileCount())).c_str());
        for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i + 2);
        config.SetCurrentProfile(config.GetProfileAt(6));
        ASSERT_TRUE(Apply(mouse, config));
    }
    void ExpectEngineHolds(CDmConfig_Mouse& config) {
        CMouse other;
        CDmConfig_Mouse back;
        ASSERT_TRUE(other.Open(&back) && other.TransferProfiles(&back, 1, kGroupAll));
        vt::test::ExpectSameModel(&config, &back);
    }
    size_t Calls(const std::wstring& log, const wchar_t* method) { return engine.Calls(log, method); }

    vt::win::ComInit com;
    InProcessEngine engine;
};

} // namespace

TEST_P(DeviceSpread, WritesAndReadsEveryProfileOnce) {
    CMouse mouse;
    CDmConfig_Mouse config;
    ASSERT_TRUE(mouse.Open(&config) && mouse.TransferProfiles(&config, 1, kGroupAll));
    while (config.GetProfileCount() < 9) config.CreateProfile((L"P" + std::to_wstring(config.GetProfileCount())).c_str());
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) vt::test::EditProfile(&config, config.GetProfileAt(i), i + 2);
    config.SetCurrentProfile(config.GetProfileAt(6));
    engine.Log();
    ASSERT_TRUE(Apply(mouse, config));
    std::wstring log = engine.Log();
    EXPECT_EQ(Calls(log, L"IVtDpi.SetDpiStages"), 9u) << vt::test::Narrow(log);
    EXPECT_LE(Calls(log, L"IVtButtonAssignments.SetAssignment"), 9u) << "at most once a profile";
    EXPECT_EQ(Calls(log, L"IVtProfileManager.CreateProfile"), 8u);
    EXPECT_EQ(Calls(log, L"IVtProfile.SetName"), 9u) << "each new profile named once, the first one with its program link";
    ExpectEngineHolds(config);

    // What each profile's write recorded came back from its thread: nothing is written again.
    engine.Log();
    ASSERT_TRUE(Apply(mouse, config));
    log = engine.Log();
    EXPECT_EQ(Calls(log, L"IVtDpi.SetDpiStages") + Calls(log, L"IVtButtonAssignments.SetAssignment") +
                  Calls(log, L"IVtLightingColor.SetColor") + Calls(log, L"IVtProfileProperties.SetProperty"),
              0u)
        << vt::test::Narrow(log);

    // A read by another object: every profile, the current one the engine's active one, and
    // what it read recorded (its Apply writes nothing either).
    CMouse reader;
    CDmConfig_Mouse back;
    ASSERT_TRUE(reader.Open(&back) && reader.TransferProfiles(&back, 1, kGroupAll));
    vt::test::ExpectSameModel(&config, &back);
    engine.Log();
    ASSERT_TRUE(Apply(reader, back));
    log = engine.Log();
    EXPECT_EQ(Calls(log, L"IVtDpi.SetDpiStages") + Calls(log, L"IVtButtonAssignments.SetAssignment"), 0u)
        << vt::test::Narrow(log);
}

TEST_P(DeviceSpread, AProfileThatFailsFailsTheWholeWrite) {
    CMouse mouse;
    CDmConfig_Mouse config;
    NineEditedProfiles(mouse, config);
    for (int32_t i = 0; i < config.GetProfileCount(); ++i) {
        IMouseProfile* p = config.GetProfileAt(i);
        const uint32_t value = uint32_t(config.GetDpiStageValue(1, p) + 50);
        config.SetDpiStageSeparateXY(1, 0, p);
        config.SetDpiStageValue(1, value, p);
        config.SetDpiStageValueX(1, value, p);
        config.SetDpiStageValueY(1, value, p);
    }
    engine.control->FailCall(L"IVtDpi.SetDpiStages", 5, E_FAIL);
    ASSERT_TRUE(mouse.TransferProfiles(&config, 0, kGroupAll) && mouse.WaitForWorker(20000));
    EXPECT_EQ(mouse.GetLastWriteResult(), 0);
    engine.Log();
    ASSERT_TRUE(Apply(mouse, config)) << "the model kept its edits";
    const std::wstring log = engine.Log();
    EXPECT_EQ(Calls(log, L"IVtDpi.SetDpiStages"), 1u) << "only the failed profile's group: " << vt::test::Narrow(log);
    ExpectEngineHolds(config);
}

TEST_P(DeviceSpread, AProfileThatFailsToReadFailsTheRead) {
    CMouse mouse;
    CDmConfig_Mouse config;
    NineEditedProfiles(mouse, config);
    CMouse reader;
    CDmConfig_Mouse back;
    ASSERT_TRUE(reader.Open(&back));
    engine.control->FailCall(L"IVtDpi.GetDpiStages", 4, E_FAIL);
    EXPECT_FALSE(reader.TransferProfiles(&back, 1, kGroupAll));
    // Every other profile was read; the failed one keeps what the model held for it.
    int32_t same = 0;
    for (int32_t i = 0; i < back.GetProfileCount(); ++i)
        same += back.GetDpiStageValue(1, back.GetProfileAt(i)) == config.GetDpiStageValue(1, config.GetProfileAt(i));
    EXPECT_EQ(same, 8);
    EXPECT_EQ(back.GetCurrentProfile(), back.GetProfileAt(6));
    ASSERT_TRUE(reader.TransferProfiles(&back, 1, kGroupAll));
    vt::test::ExpectSameModel(&config, &back);
}

// Once two lists of a thread's profiles' lighting zones agreed, the thread fetches the zones of
// the others by their ids; a zone that cannot be had so sends it back to listing them, and every
// zone is still written. A list cut short by a failed call is never taken for the device's zones.
TEST_P(DeviceSpread, ZonesAreListedTwiceAThreadThenFetchedById) {
    CMouse mouse;
    CDmConfig_Mouse config;
    NineEditedProfiles(mouse, config);
    const std::wstring log = engine.Log();
    const size_t zones = vt::test::kMouseZones.size(), threads = GetParam();
    const int32_t first = vt::test::kMouseZones.front(), last = vt::test::kMouseZones.back();
    // The first read listed its one profile; the write lists at most two profiles a thread.
    EXPECT_LE(Calls(log, L"IVtLighting.GetZone "), (1 + 2 * threads) * (zones + 1)) << vt::test::Narrow(log);
    EXPECT_GE(Calls(log, L"IVtLighting.GetZoneById"), (9 - 2 * threads) * zones);

    for (int32_t i = 0; i < config.GetProfileCount(); ++i) {
        config.SetLightColor(first, 0x102030 + i, config.GetProfileAt(i));
        config.SetLightColor(last, 0x405060 + i, config.GetProfileAt(i));
    }
    engine.control->FailCall(L"IVtLighting.GetZoneById", 2, E_FAIL);
    ASSERT_TRUE(Apply(mouse, config));
    ExpectEngineHolds(config);

    // The second zone of the first list fails: that profile's lighting fails, the others' is
    // still read whole.
    CMouse reader;
    CDmConfig_Mouse back;
    ASSERT_TRUE(reader.Open(&back));
    engine.control->FailCall(L"IVtLighting.GetZone", 2, E_FAIL);
    reader.TransferProfiles(&back, 1, kGroupAll);
    int32_t whole = 0;
    for (int32_t i = 0; i < back.GetProfileCount(); ++i)
        whole += back.GetLightColor(first, back.GetProfileAt(i)) == config.GetLightColor(first, config.GetProfileAt(i)) &&
                 back.GetLightColor(last, back.GetProfileAt(i)) == config.GetLightColor(last, config.GetProfileAt(i));
    EXPECT_GE(whole, 8);
}

// The other threads release what they kept after handing back their pieces: a write reports its
// completion once every engine object of it was released, a read leaves them to be released
// while the program goes on, and nothing is kept for good.
TEST_P(DeviceSpread, EveryEngineObjectIsReleasedAfterTheOperation) {
    const long alive = vt::engine::Engine::s_objects;
    CMouse mouse;
    CDmConfig_Mouse config;
    NineEditedProfiles(mouse, config);
    EXPECT_EQ(vt::engine::Engine::s_objects.load(), alive) << "after the write";
    {
        EngineBatch batch;
        CMouse reader;
        CDmConfig_Mouse back;
        ASSERT_TRUE(reader.Open(&back) && reader.TransferProfiles(&back, 1, kGroupAll));
        EXPECT_GT(vt::engine::Engine::s_objects.load(), alive) << "the batch keeps its objects";
    }
    ProfileSpread::AwaitReleases();
    EXPECT_EQ(vt::engine::Engine::s_objects.load(), alive) << "after the read's batch";
}

INSTANTIATE_TEST_SUITE_P(Threads, DeviceSpread, ::testing::Values(size_t(1), size_t(4)),
                         [](const ::testing::TestParamInfo<size_t>& info) { return std::to_string(info.param); });

namespace {

// The thread each slot ran on, from one run of `count` pieces (each piece takes `pieceMs`).
struct SlotThreads {
    std::vector<DWORD> byIndex;
    ProfileSpread::Outcome outcome;
    std::map<size_t, DWORD> bySlot;
};
SlotThreads RunPieces(size_t count, DWORD pieceMs = 5) {
    auto seen = std::make_shared<std::vector<std::pair<size_t, DWORD>>>(count);
    SlotThreads r;
    r.outcome = ProfileSpread::Run(
        count,
        [seen, pieceMs](size_t i, size_t slot) {
            (*seen)[i] = {slot, GetCurrentThreadId()};
            Sleep(pieceMs);
            return true;
        },
        seen);
    if (!r.outcome.ended) return r;
    for (const auto& [slot, thread] : *seen) {
        r.byIndex.push_back(thread);
        r.bySlot[slot] = thread;
    }
    return r;
}

// Whether the thread has ended, waiting at most `ms`.
bool ThreadEnds(DWORD id, DWORD ms) {
    HANDLE h = OpenThread(SYNCHRONIZE, FALSE, id);
    if (!h) return true;  // gone already
    const bool ended = WaitForSingleObject(h, ms) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

struct SpreadThreads : ::testing::Test {
    void SetUp() override { ProfileSpread::SetThreads(4); }
    void TearDown() override {
        ProfileSpread::SetThreads(4);
        ProfileSpread::SetWait(60000);
        ProfileSpread::AwaitReleases();
    }
    vt::win::ComInit com;  // a single-threaded apartment, as the program's window thread
};

} // namespace

// The threads of a batch take every run of it, each slot on the same thread, and end (releasing
// what they kept) only when the batch ends; a caller without a batch has threads of its run alone.
TEST_F(SpreadThreads, ABatchKeepsItsThreadsForEveryRunAndEndsThemWithIt) {
    std::map<size_t, DWORD> first;
    {
        EngineBatch batch;
        SlotThreads a = RunPieces(12);
        ASSERT_TRUE(a.outcome.ok);
        EXPECT_EQ(a.bySlot.count(0), 0u) << "a caller in a single-threaded apartment takes no piece";
        EXPECT_EQ(a.bySlot.size(), 4u);
        SlotThreads b = RunPieces(12);
        ASSERT_TRUE(b.outcome.ok);
        EXPECT_EQ(a.bySlot, b.bySlot) << "each slot keeps its thread";
        for (const auto& [slot, thread] : a.bySlot) EXPECT_FALSE(ThreadEnds(thread, 0)) << "slot " << slot;
        first = a.bySlot;
    }
    ProfileSpread::AwaitReleases();
    for (const auto& [slot, thread] : first) EXPECT_TRUE(ThreadEnds(thread, 0)) << "slot " << slot;

    SlotThreads c = RunPieces(12);
    ASSERT_TRUE(c.outcome.ok);
    ProfileSpread::AwaitReleases();
    for (const auto& [slot, thread] : c.bySlot) EXPECT_TRUE(ThreadEnds(thread, 0)) << "slot " << slot;
}

// A run whose pieces outlast the wait is not ended; its threads finish on their own, and the
// batch's next run gets threads of its own.
TEST_F(SpreadThreads, ARunPastTheWaitLeavesItsThreadsAndTheNextRunGetsNewOnes) {
    EngineBatch batch;
    SlotThreads warm = RunPieces(8);
    ASSERT_TRUE(warm.outcome.ok);
    ProfileSpread::SetWait(50);
    SlotThreads slow = RunPieces(8, 400);
    EXPECT_FALSE(slow.outcome.ended);
    EXPECT_FALSE(slow.outcome.ok);
    ProfileSpread::SetWait(60000);
    SlotThreads next = RunPieces(8);
    ASSERT_TRUE(next.outcome.ok);
    for (const auto& [slot, thread] : next.bySlot)
        for (const auto& [oldSlot, old] : warm.bySlot) EXPECT_NE(thread, old) << "slot " << slot;
    for (const auto& [slot, thread] : warm.bySlot) EXPECT_TRUE(ThreadEnds(thread, 5000)) << "slot " << slot;
}
