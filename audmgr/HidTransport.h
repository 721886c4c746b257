#pragma once
// The only way the audio manager talks to the headset: one HID interface path, output report 4
// (device memory read and write), output report 6 (LED driver chips on the headset's internal bus)
// and input reports (5 = memory read reply; 1 and 2 = button events). Operations answer 0 for
// success and 1 for failure, except IsDeviceReady. Every wait is bounded.
#include "audmgr/HidIo.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vt::aud {

// Device memory addresses.
enum : uint16_t {
    kAddrStatus = 0x0400,        // bit 7 = busy
    kAddrApply = 0x040A,         // apply register
    kAddrFirmware = 0x1001,      // 0x1001-0x1004 firmware bytes, 0x1005 feature byte
    kAddrFeature = 0x1005,
    kAddrZoneColour = 0x0017,    // + 3 x zone: R, G, B
    kAddrEqBlocks = 0x1021,      // + 11 x band
    kAddrBeamForm = 0x1136,      // bit 3
    kAddrEqControl = 0x1137,     // bit 0
    kAddrCommit = 0x1138,        // bit 0 = commit pending
};

class CHidTransport {
public:
    // How long the waits for a ready device may take before they fail.
    static constexpr unsigned kReadyTimeoutMs = 2000;
    static constexpr unsigned kReadTimeoutMs = 100;

    explicit CHidTransport(std::shared_ptr<IHidBackend> backend = CurrentHidBackend());
    ~CHidTransport();
    CHidTransport(const CHidTransport&) = delete;
    CHidTransport& operator=(const CHidTransport&) = delete;

    bool Open(const std::wstring& path);
    bool IsOpen() const { return m_handle != nullptr; }
    const std::wstring& Path() const { return m_path; }

    uint8_t SendOutputReport(const uint8_t* buffer);
    // Reads until a report with this id arrives; *length (when given) receives its byte count.
    uint8_t ReadReport(uint8_t id, uint8_t* buffer, unsigned* length = nullptr);
    uint8_t ReadOnce(uint8_t* buffer);
    uint8_t WriteMemory(uint16_t address, const uint8_t* data, unsigned n);
    uint8_t ReadMemory(uint16_t address, uint8_t* out, unsigned n);
    int IsDeviceReady();  // 1 ready, 0 busy, 2 error
    uint8_t WriteMemoryWhenReady(uint16_t address, bool alternate, const uint8_t* data, unsigned n);
    uint8_t ReadMemoryWhenReady(uint16_t address, bool alternate, uint8_t* out, unsigned n);
    uint8_t WriteBus(bool flag1, bool flag2, uint8_t busAddress, uint8_t extra, uint8_t reg,
                     const uint8_t* data, unsigned n);
    uint8_t ReadEvent(uint8_t* out, unsigned n);

    // The backend's clock, for callers that pace their own polls.
    void Sleep(unsigned ms) { m_backend->Sleep(ms); }
    unsigned long NowMs() { return m_backend->NowMs(); }

private:
    uint8_t WaitReady();
    unsigned InputLength() const;

    std::shared_ptr<IHidBackend> m_backend;
    std::unique_ptr<IHidHandle> m_handle;
    HidCaps m_caps;
    std::wstring m_path;
};

} // namespace vt::aud
