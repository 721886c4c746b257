#include "standin/headset/HeadsetSimulator.h"
#include "audmgr/HidTransport.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <atomic>
#include <mutex>
#include <thread>

namespace vt::sim {
namespace {

using Clock = std::chrono::steady_clock;

struct Queued {
    std::vector<uint8_t> bytes;
    Clock::time_point readyAt;
};

struct State;

class SimHandle : public vt::aud::IHidHandle {
public:
    SimHandle(std::shared_ptr<State> state, size_t iface);
    ~SimHandle() override;
    vt::aud::HidCaps Caps() const override;
    bool CanWrite() const override { return true; }
    bool CanRead() const override { return true; }
    bool SetOutputReport(const unsigned char* report, unsigned length) override;
    vt::aud::HidRead ReadInput(unsigned char* buffer, unsigned length, unsigned timeoutMs, unsigned* got,
                               unsigned long* error) override;
    void FlushInput() override;

    std::deque<Queued> fifo;  // guarded by State::lock

private:
    std::shared_ptr<State> m_state;
    size_t m_iface;
};

struct State {
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<IHeadsetControl::Interface> interfaces;
    unsigned inputLength = 64, outputLength = 64;
    IHeadsetControl::Faults faults;
    bool disconnected = false;
    uint8_t memory[65536] = {};
    uint8_t bus[3][32] = {};
    std::vector<SimHandle*> handles;
    std::vector<std::vector<uint8_t>> log;
    int statusBusyLeft = 0;
    int commitPendingLeft = 0;
    int applyBusyLeft = 0;
    int dropLeft = 0;
    unsigned commits = 0, applies = 0;
    uint8_t keys = 0;

    // Broadcasts one input report to every open handle's queue (32 reports, oldest dropped).
    void Broadcast(const uint8_t* data, unsigned n, unsigned delayMs = 0) {
        std::vector<uint8_t> bytes(inputLength, 0);
        std::memcpy(bytes.data(), data, std::min(n, inputLength));
        const auto at = Clock::now() + std::chrono::milliseconds(delayMs);
        for (SimHandle* h : handles) {
            if (h->fifo.size() >= 32) h->fifo.pop_front();
            h->fifo.push_back({bytes, at});
        }
        arrived.notify_all();
    }

    uint8_t ReadByte(uint16_t address) {
        uint8_t v = memory[address];
        switch (address) {
        case vt::aud::kAddrStatus:
            if (faults.statusBusyReads < 0 || statusBusyLeft > 0) {
                if (statusBusyLeft > 0) --statusBusyLeft;
                v |= 0x80;
            } else {
                v &= 0x7F;
            }
            break;
        case vt::aud::kAddrCommit:
            if (memory[address] & 1) {
                if (faults.commitPendingReads >= 0 && commitPendingLeft-- <= 0) {
                    memory[address] &= ~1;  // the headset takes the staged values
                    ++commits;
                    v = memory[address];
                }
            }
            break;
        case vt::aud::kAddrApply:
            if (memory[address] & 0x80) {
                if (faults.applyBusyReads >= 0 && applyBusyLeft-- <= 0) {
                    memory[address] &= 0x7F;
                    ++applies;
                    v = memory[address];
                }
            }
            break;
        }
        return v;
    }

    void WriteByte(uint16_t address, uint8_t value) {
        if (address == vt::aud::kAddrStatus) return;  // read-only
        if (address >= vt::aud::kAddrFirmware && address <= vt::aud::kAddrFeature) return;
        if (address == vt::aud::kAddrCommit && (value & 1)) commitPendingLeft = faults.commitPendingReads;
        if (address == vt::aud::kAddrApply && value == 0xC1) {
            applyBusyLeft = faults.applyBusyReads;
            value |= 0x80;
        }
        memory[address] = value;
    }

    bool Output(size_t iface, const uint8_t* r, unsigned length) {
        if (disconnected || length != outputLength) return false;
        if (!interfaces[iface].acceptsOutput) return false;
        if (faults.disconnectAfterReports == 0) {
            disconnected = true;
            return false;
        }
        if (faults.disconnectAfterReports > 0) --faults.disconnectAfterReports;
        log.emplace_back(r, r + length);
        if (r[0] == 4) {
            const uint8_t cmd = r[1];
            const unsigned n = r[2];
            const uint16_t address = static_cast<uint16_t>(r[3] << 8 | r[4]);
            if (n == 0 || n > 32) return true;
            if (cmd == 0x40 || cmd == 0x60) {
                for (unsigned i = 0; i < n; ++i) WriteByte(static_cast<uint16_t>(address + i), r[5 + i]);
            } else if (cmd == 0x00 || cmd == 0x20) {
                uint8_t reply[64] = {5};
                for (unsigned i = 0; i < n; ++i) reply[1 + i] = ReadByte(static_cast<uint16_t>(address + i));
                for (int i = 0; i < faults.strangersBeforeReply; ++i) {
                    const uint8_t stranger[2] = {3, 0};
                    Broadcast(stranger, 2);
                }
                if (faults.dropReplies < 0) return true;
                if (dropLeft > 0) { --dropLeft; return true; }
                Broadcast(reply, faults.shortReplies ? 1 : 1 + n, faults.replyDelayMs);
            }
        } else if (r[0] == 6) {
            const unsigned n = r[1] & 0x3F;
            const unsigned busIndex = (r[2] >> 1) - 0x60;
            const unsigned reg = r[4] & 0x1F;
            if (busIndex < 3)
                for (unsigned i = 0; i < n && reg + i < 32; ++i) bus[busIndex][reg + i] = r[5 + i];
        }
        return true;
    }
};

SimHandle::SimHandle(std::shared_ptr<State> state, size_t iface) : m_state(std::move(state)), m_iface(iface) {
    std::lock_guard g(m_state->lock);
    m_state->handles.push_back(this);
}

SimHandle::~SimHandle() {
    std::lock_guard g(m_state->lock);
    std::erase(m_state->handles, this);
}

vt::aud::HidCaps SimHandle::Caps() const {
    std::lock_guard g(m_state->lock);
    return {m_state->inputLength, m_state->outputLength};
}

bool SimHandle::SetOutputReport(const unsigned char* report, unsigned length) {
    std::lock_guard g(m_state->lock);
    return m_state->Output(m_iface, report, length);
}

vt::aud::HidRead SimHandle::ReadInput(unsigned char* buffer, unsigned length, unsigned timeoutMs, unsigned* got,
                                      unsigned long* error) {
    *got = 0;
    *error = 0;
    std::unique_lock g(m_state->lock);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (m_state->disconnected) {
            *error = ERROR_DEVICE_NOT_CONNECTED;
            return vt::aud::HidRead::Failed;
        }
        const auto now = Clock::now();
        if (!fifo.empty() && fifo.front().readyAt <= now) {
            const auto& q = fifo.front().bytes;
            const unsigned n = std::min<unsigned>(length, static_cast<unsigned>(q.size()));
            std::memcpy(buffer, q.data(), n);
            *got = n;
            fifo.pop_front();
            return vt::aud::HidRead::Ok;
        }
        if (now >= deadline) return vt::aud::HidRead::Timeout;
        auto wakeAt = deadline;
        if (!fifo.empty() && fifo.front().readyAt < wakeAt) wakeAt = fifo.front().readyAt;
        m_state->arrived.wait_until(g, wakeAt);
    }
}

void SimHandle::FlushInput() {
    std::lock_guard g(m_state->lock);
    fifo.clear();
}

class Simulator : public HeadsetSimulator {
public:
    explicit Simulator(bool fastClock) : m_state(std::make_shared<State>()), m_fast(fastClock) {
        m_state->interfaces = WineOwnInterfaces();
        m_state->interfaces.push_back({HeadsetPath(0)});
        m_state->memory[0x1001] = 3;
        m_state->memory[0x1002] = 1;
        m_state->memory[0x1003] = 7;
        m_state->memory[0x1004] = 0;
        m_state->memory[0x1005] = 0x5A;
    }

    // IHidBackend
    std::vector<std::wstring> EnumerateInterfaces() override {
        std::lock_guard g(m_state->lock);
        std::vector<std::wstring> paths;
        for (const auto& i : m_state->interfaces) paths.push_back(i.path);
        return paths;
    }
    std::unique_ptr<vt::aud::IHidHandle> Open(const std::wstring& path) override {
        size_t index = 0;
        {
            std::lock_guard g(m_state->lock);
            if (m_state->disconnected) return nullptr;
            for (; index < m_state->interfaces.size(); ++index)
                if (_wcsicmp(m_state->interfaces[index].path.c_str(), path.c_str()) == 0) break;
            if (index == m_state->interfaces.size() || !m_state->interfaces[index].opens) return nullptr;
        }
        return std::make_unique<SimHandle>(m_state, index);
    }
    void Sleep(unsigned ms) override {
        if (m_fast) {
            m_virtualMs += ms;
            std::this_thread::yield();
        } else {
            ::Sleep(ms);
        }
    }
    unsigned long NowMs() override { return GetTickCount() + static_cast<unsigned long>(m_virtualMs.load()); }

    // IHeadsetControl
    void SetInterfaces(const std::vector<Interface>& interfaces) override {
        std::lock_guard g(m_state->lock);
        m_state->interfaces = interfaces;
    }
    void SetReportLengths(unsigned input, unsigned output) override {
        std::lock_guard g(m_state->lock);
        m_state->inputLength = input;
        m_state->outputLength = output;
    }
    void SetFaults(const Faults& faults) override {
        std::lock_guard g(m_state->lock);
        m_state->faults = faults;
        m_state->statusBusyLeft = faults.statusBusyReads;
        m_state->dropLeft = faults.dropReplies;
    }
    Faults GetFaults() override {
        std::lock_guard g(m_state->lock);
        return m_state->faults;
    }
    void Disconnect() override {
        std::lock_guard g(m_state->lock);
        m_state->disconnected = true;
        m_state->arrived.notify_all();
    }
    void Reconnect() override {
        std::lock_guard g(m_state->lock);
        m_state->disconnected = false;
        m_state->faults.disconnectAfterReports = -1;
    }
    uint8_t Memory(uint16_t address) override {
        std::lock_guard g(m_state->lock);
        return m_state->memory[address];
    }
    void SetMemory(uint16_t address, uint8_t value) override {
        std::lock_guard g(m_state->lock);
        m_state->memory[address] = value;
    }
    uint8_t BusRegister(uint8_t bus, uint8_t reg) override {
        std::lock_guard g(m_state->lock);
        const unsigned i = bus - 0x60u;
        return i < 3 && reg < 32 ? m_state->bus[i][reg] : 0;
    }
    unsigned CommitCount() override {
        std::lock_guard g(m_state->lock);
        return m_state->commits;
    }
    unsigned ApplyCount() override {
        std::lock_guard g(m_state->lock);
        return m_state->applies;
    }
    void SetVolumeKeys(bool up, bool down) override {
        std::lock_guard g(m_state->lock);
        const uint8_t r[2] = {1, static_cast<uint8_t>((up ? 0x20 : 0) | (down ? 0x40 : 0))};
        m_state->Broadcast(r, 2);
    }
    void SetMicMuted(bool muted) override {
        std::lock_guard g(m_state->lock);
        const uint8_t r[2] = {2, static_cast<uint8_t>(muted ? 0x08 : 0)};
        m_state->Broadcast(r, 2);
    }
    void SendReport(const uint8_t* data, unsigned n) override {
        std::lock_guard g(m_state->lock);
        m_state->Broadcast(data, n);
    }
    unsigned SentCount() override {
        std::lock_guard g(m_state->lock);
        return static_cast<unsigned>(m_state->log.size());
    }
    std::vector<uint8_t> SentReport(unsigned index) override {
        std::lock_guard g(m_state->lock);
        return index < m_state->log.size() ? m_state->log[index] : std::vector<uint8_t>{};
    }
    void ClearLog() override {
        std::lock_guard g(m_state->lock);
        m_state->log.clear();
    }
    unsigned OpenHandles() override {
        std::lock_guard g(m_state->lock);
        return static_cast<unsigned>(m_state->handles.size());
    }

private:
    std::shared_ptr<State> m_state;
    bool m_fast;
    std::atomic<unsigned long long> m_virtualMs{0};
};

} // namespace

std::wstring HeadsetPath(int collection, unsigned short vendor, unsigned short product) {
    wchar_t buf[200];
    swprintf(buf, 200, L"\\\\?\\hid#vid_%04x&pid_%04x&mi_%02d#7&2b8f1c4a&0&%04d#{4d1e55b2-f16f-11cf-88cb-001111000030}",
             vendor, product, collection, collection);
    return buf;
}

std::vector<IHeadsetControl::Interface> WineOwnInterfaces() {
    return {{L"\\\\?\\hid#vid_845e&pid_0001#0&0000&0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}", false, true},
            {L"\\\\?\\hid#vid_845e&pid_0002#0&0000&0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}", false, true}};
}

std::shared_ptr<HeadsetSimulator> MakeHeadsetSimulator(bool fastClock) {
    return std::make_shared<Simulator>(fastClock);
}

} // namespace vt::sim
