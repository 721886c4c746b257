// HID transport against the headset simulator: exact report bytes, bounded reads and waits,
// stale replies of other handles, short replies and disconnects.
#include "audmgr/HidTransport.h"
#include "standin/headset/HeadsetSimulator.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

using namespace vt::aud;
using vt::sim::HeadsetPath;

namespace {

class AudHidTransport : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(t.Open(HeadsetPath(0)));
        sim->ClearLog();
    }
    std::vector<uint8_t> Sent(unsigned i, unsigned n) {
        auto r = sim->SentReport(i);
        r.resize(n);
        return r;
    }
    std::shared_ptr<vt::sim::HeadsetSimulator> sim;
    CHidTransport t;
public:
    AudHidTransport() : sim(vt::sim::MakeHeadsetSimulator()), t(sim) {}
};

using Bytes = std::vector<uint8_t>;

TEST_F(AudHidTransport, ReportBytes) {
    const uint8_t eq[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    ASSERT_EQ(t.WriteMemory(0x1021, eq, 11), 0);
    EXPECT_EQ(Sent(0, 16), (Bytes{4, 0x40, 11, 0x10, 0x21, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(sim->SentReport(0).size(), 64u);

    uint8_t v = 0;
    ASSERT_EQ(t.ReadMemory(0x1001, &v, 1), 0);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(Sent(1, 5), (Bytes{4, 0x00, 1, 0x10, 0x01}));

    const uint8_t on = 0x3F;
    ASSERT_EQ(t.WriteBus(false, false, 0x60, 0, 8, &on, 1), 0);
    EXPECT_EQ(Sent(2, 6), (Bytes{6, 0x01, 0xC0, 0x00, 0xA8, 0x3F}));
    EXPECT_EQ(sim->BusRegister(0x60, 8), 0x3F);

    const uint8_t rgb[3] = {0x11, 0x22, 0x33};
    ASSERT_EQ(t.WriteMemoryWhenReady(0x0017, false, rgb, 3), 0);
    EXPECT_EQ(Sent(3, 5), (Bytes{4, 0x00, 1, 0x04, 0x00}));  // status poll
    EXPECT_EQ(Sent(4, 8), (Bytes{4, 0x60, 3, 0x00, 0x17, 0x11, 0x22, 0x33}));

    uint8_t back[3] = {};
    ASSERT_EQ(t.ReadMemoryWhenReady(0x0017, false, back, 3), 0);
    EXPECT_EQ(Sent(6, 5), (Bytes{4, 0x20, 3, 0x00, 0x17}));
    EXPECT_EQ(Bytes(back, back + 3), (Bytes{0x11, 0x22, 0x33}));
}

TEST_F(AudHidTransport, LengthsAboveThirtyTwoAreRefusedWithoutTraffic) {
    uint8_t data[40] = {};
    EXPECT_EQ(t.WriteMemoryWhenReady(0x0017, false, data, 33), 1);
    EXPECT_EQ(t.ReadMemoryWhenReady(0x0017, false, data, 33), 1);
    EXPECT_EQ(t.WriteBus(false, false, 0x60, 0, 2, data, 33), 1);
    EXPECT_EQ(t.ReadEvent(data, 3), 1);
    EXPECT_EQ(sim->SentCount(), 0u);
}

TEST_F(AudHidTransport, ReplyThatNeverComesFailsWithinTheReadTimeout) {
    auto f = sim->GetFaults();
    f.dropReplies = -1;
    sim->SetFaults(f);
    uint8_t v = 0;
    const DWORD start = GetTickCount();
    EXPECT_EQ(t.ReadMemory(0x1001, &v, 1), 1);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(t.IsDeviceReady(), 2);
    // A late reply is not taken as the answer to the next request either.
    f.dropReplies = 0;
    f.replyDelayMs = 300;
    sim->SetFaults(f);
    EXPECT_EQ(t.ReadMemory(0x1001, &v, 1), 1);
    f.replyDelayMs = 0;
    sim->SetFaults(f);
    Sleep(350);
    ASSERT_EQ(t.ReadMemory(0x1002, &v, 1), 0);
    EXPECT_EQ(v, 1);
}

TEST_F(AudHidTransport, StrangersBeforeTheReply) {
    struct Case { int strangers; uint8_t expected; };
    for (const Case c : {Case{0, 0}, Case{10, 0}, Case{11, 1}, Case{20, 1}}) {
        SCOPED_TRACE(c.strangers);
        auto f = sim->GetFaults();
        f.strangersBeforeReply = c.strangers;
        sim->SetFaults(f);
        uint8_t v = 0;
        EXPECT_EQ(t.ReadMemory(0x1001, &v, 1), c.expected);
    }
    // The ready-tested read takes the next report only: a stranger first is a failure.
    auto f = sim->GetFaults();
    f.strangersBeforeReply = 1;
    sim->SetFaults(f);
    uint8_t rgb[3];
    EXPECT_EQ(t.ReadMemoryWhenReady(0x0017, false, rgb, 3), 1);
}

TEST_F(AudHidTransport, BusyDeviceFailsWithinTheReadyTimeout) {
    auto f = sim->GetFaults();
    f.statusBusyReads = 3;
    sim->SetFaults(f);
    const uint8_t rgb[3] = {1, 2, 3};
    EXPECT_EQ(t.WriteMemoryWhenReady(0x0017, false, rgb, 3), 0);
    EXPECT_EQ(sim->Memory(0x17), 1);

    f.statusBusyReads = -1;
    sim->SetFaults(f);
    const unsigned before = sim->SentCount();
    EXPECT_EQ(t.WriteMemoryWhenReady(0x0017, false, rgb, 3), 1);
    // Polls every 5 ms (plus 10 ms per report) for at most two seconds of the device's clock.
    EXPECT_LE(sim->SentCount() - before, CHidTransport::kReadyTimeoutMs / 15 + 2);
}

TEST_F(AudHidTransport, RepliesToOtherHandlesAreNotTaken) {
    CHidTransport other(sim);
    ASSERT_TRUE(other.Open(HeadsetPath(0)));
    uint8_t v = 0;
    ASSERT_EQ(t.ReadMemory(0x1001, &v, 1), 0);        // its reply also lands in other's queue
    ASSERT_EQ(t.ReadMemory(0x1003, &v, 1), 0);
    ASSERT_EQ(other.ReadMemory(0x1002, &v, 1), 0);
    EXPECT_EQ(v, 1);                                   // 0x1002, not the stale 0x1001 or 0x1003
    uint8_t rgb[3] = {};
    sim->SetMemory(0x17, 9);
    ASSERT_EQ(t.ReadMemory(0x1001, &v, 1), 0);
    ASSERT_EQ(other.ReadMemoryWhenReady(0x0017, false, rgb, 3), 0);
    EXPECT_EQ(rgb[0], 9);
}

TEST_F(AudHidTransport, ShortRepliesFail) {
    auto f = sim->GetFaults();
    f.shortReplies = true;
    sim->SetFaults(f);
    sim->SetReportLengths(1, 64);
    CHidTransport shortReads(sim);
    shortReads.Open(HeadsetPath(0));
    uint8_t v[3] = {};
    EXPECT_EQ(shortReads.ReadMemory(0x1001, v, 1), 1);
    EXPECT_EQ(shortReads.ReadMemoryWhenReady(0x0017, false, v, 3), 1);
}

TEST_F(AudHidTransport, DisconnectMidOperation) {
    auto f = sim->GetFaults();
    f.disconnectAfterReports = 1;
    sim->SetFaults(f);
    const uint8_t rgb[3] = {1, 2, 3};
    const DWORD start = GetTickCount();
    EXPECT_EQ(t.WriteMemoryWhenReady(0x0017, false, rgb, 3), 1);  // status poll passes, the write does not
    uint8_t v;
    EXPECT_EQ(t.ReadMemory(0x1001, &v, 1), 1);
    EXPECT_EQ(t.ReadEvent(&v, 1), 1);
    EXPECT_EQ(t.IsDeviceReady(), 2);
    EXPECT_LT(GetTickCount() - start, 1000u);
    CHidTransport again(sim);
    EXPECT_FALSE(again.Open(HeadsetPath(0)));
    EXPECT_EQ(again.WriteMemory(0x17, rgb, 3), 1);
    EXPECT_EQ(again.ReadMemory(0x17, &v, 1), 1);
}

TEST_F(AudHidTransport, ButtonReportsReachReadEvent) {
    sim->SetVolumeKeys(true, false);
    uint8_t e[2] = {};
    ASSERT_EQ(t.ReadEvent(e, 2), 0);
    EXPECT_EQ(e[0], 1);
    EXPECT_EQ(e[1], 0x20);
    sim->SetMicMuted(true);
    ASSERT_EQ(t.ReadEvent(e, 2), 0);
    EXPECT_EQ(e[0], 2);
    EXPECT_EQ(e[1], 0x08);
    EXPECT_EQ(t.ReadEvent(e, 2), 1);  // nothing more within 100 ms
}

TEST(AudHidTransportOpen, RefusedInterfaces) {
    auto sim = vt::sim::MakeHeadsetSimulator();
    CHidTransport foreign(sim);
    EXPECT_FALSE(foreign.Open(L"\\\\?\\hid#vid_dead&pid_beef#1#{x}"));
    uint8_t v = 0;
    EXPECT_EQ(foreign.WriteMemory(0x17, &v, 1), 1);
    EXPECT_EQ(sim->SentCount(), 0u);
    sim->SetReportLengths(65, 64);
    CHidTransport tooLong(sim);
    EXPECT_FALSE(tooLong.Open(HeadsetPath(0)));
    EXPECT_EQ(tooLong.ReadMemory(0x1001, &v, 1), 1);
    EXPECT_EQ(sim->SentCount(), 0u);
}

// The real backend runs under Wine and finds no headset among Wine's own HID devices.
TEST(AudWin32Hid, FindsNoHeadset) {
    auto backend = MakeWin32HidBackend();
    for (const auto& path : backend->EnumerateInterfaces()) {
        std::wstring lower = path;
        for (auto& ch : lower) ch = towlower(ch);
        EXPECT_EQ(lower.find(L"pid_001b"), std::wstring::npos) << "unexpected headset";
    }
    EXPECT_EQ(backend->Open(L"\\\\?\\hid#vid_2f3d&pid_001b#none#{4d1e55b2-f16f-11cf-88cb-001111000030}"), nullptr);
}

} // namespace

// Wine's own virtual HID devices, opened through the real backend: a read with nothing to read
// ends after its time-out, cancelled and finished, and the handle stays usable.
TEST(AudWin32Hid, BoundedReadsOnARealHandle) {
    auto backend = MakeWin32HidBackend();
    int opened = 0;
    for (const auto& path : backend->EnumerateInterfaces()) {
        auto handle = backend->Open(path);
        if (!handle || !handle->CanRead()) continue;
        ++opened;
        const HidCaps caps = handle->Caps();
        EXPECT_GT(caps.inputLength, 0u);
        std::vector<unsigned char> buffer(caps.inputLength + 1, 0xEE);
        for (int round = 0; round < 3; ++round) {
            unsigned got = 0;
            unsigned long error = 0;
            const DWORD start = GetTickCount();
            const HidRead r = handle->ReadInput(buffer.data(), caps.inputLength, 100, &got, &error);
            EXPECT_LT(GetTickCount() - start, 1000u);
            if (r == HidRead::Timeout) {
                EXPECT_EQ(got, 0u);
            }
        }
        EXPECT_EQ(buffer.back(), 0xEE);  // nothing written past the report
        handle->FlushInput();
    }
    std::printf("opened %d of Wine's HID interfaces\n", opened);
}
