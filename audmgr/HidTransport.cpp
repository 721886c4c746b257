#include "audmgr/HidTransport.h"

#include <windows.h>

#include <cstring>

namespace vt::aud {
namespace {
constexpr unsigned kMaxStrangers = 11;   // reports of other ids a read may skip
constexpr unsigned kMaxReadRounds = 32;  // bound on rounds of a read that keeps failing softly
constexpr unsigned kMaxData = 32;
}

CHidTransport::CHidTransport(std::shared_ptr<IHidBackend> backend)
    : m_backend(backend ? std::move(backend) : CurrentHidBackend()) {}

CHidTransport::~CHidTransport() = default;

bool CHidTransport::Open(const std::wstring& path) {
    m_path = path;
    m_handle.reset();
    auto handle = m_backend->Open(path);
    if (!handle) return false;
    const HidCaps caps = handle->Caps();
    // Our report buffers hold 64 bytes: a device with longer reports is not ours to drive.
    if (caps.inputLength > kReportBufferSize || caps.outputLength > kReportBufferSize) return false;
    m_caps = caps;
    m_handle = std::move(handle);
    return m_handle->CanWrite() && m_handle->CanRead();
}

unsigned CHidTransport::InputLength() const {
    return m_caps.inputLength ? m_caps.inputLength : kReportBufferSize;
}

uint8_t CHidTransport::SendOutputReport(const uint8_t* buffer) {
    if (!m_handle || !m_handle->CanWrite() || m_caps.outputLength == 0) return 1;
    const bool ok = m_handle->SetOutputReport(buffer, m_caps.outputLength);
    m_backend->Sleep(10);
    return ok ? 0 : 1;
}

uint8_t CHidTransport::ReadReport(uint8_t id, uint8_t* buffer, unsigned* length) {
    if (length) *length = 0;
    if (!m_handle || !m_handle->CanRead()) return 1;
    unsigned strangers = 0;
    // Bounded twice: at most eleven reports of other ids, and at most kMaxReadRounds reads in all
    // (a read that keeps failing with an error other than "gone" does not loop for ever).
    for (unsigned round = 0; round < kMaxReadRounds; ++round) {
        unsigned got = 0;
        unsigned long error = 0;
        const HidRead r = m_handle->ReadInput(buffer, InputLength(), kReadTimeoutMs, &got, &error);
        if (r == HidRead::Timeout) return 1;
        if (r == HidRead::Failed) {
            if (error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_GEN_FAILURE || error == ERROR_INVALID_HANDLE) return 1;
            continue;
        }
        if (got > 0 && buffer[0] == id) {
            if (length) *length = got;
            return 0;
        }
        if (++strangers >= kMaxStrangers) return 1;
    }
    return 1;
}

uint8_t CHidTransport::ReadOnce(uint8_t* buffer) {
    if (!m_handle || !m_handle->CanRead()) return 1;
    unsigned got = 0;
    unsigned long error = 0;
    if (m_handle->ReadInput(buffer, InputLength(), kReadTimeoutMs, &got, &error) != HidRead::Ok || got == 0) return 1;
    return 0;
}

uint8_t CHidTransport::WriteMemory(uint16_t address, const uint8_t* data, unsigned n) {
    if (n == 0 || n > kMaxData || !data) return 1;
    uint8_t report[kReportBufferSize] = {4, 0x40, static_cast<uint8_t>(n), static_cast<uint8_t>(address >> 8),
                                         static_cast<uint8_t>(address & 0xFF)};
    std::memcpy(report + 5, data, n);
    return SendOutputReport(report);
}

uint8_t CHidTransport::ReadMemory(uint16_t address, uint8_t* out, unsigned n) {
    if (n == 0 || n > kMaxData || !out) return 1;
    if (!m_handle || !m_handle->CanRead()) return 1;
    uint8_t report[kReportBufferSize] = {4, 0x00, static_cast<uint8_t>(n), static_cast<uint8_t>(address >> 8),
                                         static_cast<uint8_t>(address & 0xFF)};
    // Every open handle receives every input report: drop replies meant for other readers first,
    // so the reply taken below answers this request.
    m_handle->FlushInput();
    if (SendOutputReport(report)) return 1;
    uint8_t reply[kReportBufferSize] = {};
    unsigned got = 0;
    if (ReadReport(5, reply, &got)) return 1;
    if (got < 1 + n) return 1;  // a short report does not carry the data asked for
    std::memcpy(out, reply + 1, n);
    return 0;
}

int CHidTransport::IsDeviceReady() {
    uint8_t status = 0;
    if (ReadMemory(kAddrStatus, &status, 1)) return 2;
    return (status & 0x80) ? 0 : 1;
}

uint8_t CHidTransport::WaitReady() {
    const unsigned long start = m_backend->NowMs();
    for (;;) {
        const int r = IsDeviceReady();
        if (r == 1) return 0;
        if (r == 2) return 1;
        if (m_backend->NowMs() - start >= kReadyTimeoutMs) return 1;
        m_backend->Sleep(5);
    }
}

uint8_t CHidTransport::WriteMemoryWhenReady(uint16_t address, bool alternate, const uint8_t* data, unsigned n) {
    if (n == 0 || n > kMaxData || !data) return 1;
    if (!m_handle) return 1;
    if (WaitReady()) return 1;
    uint8_t report[kReportBufferSize] = {4, static_cast<uint8_t>(alternate ? 0x70 : 0x60), static_cast<uint8_t>(n),
                                         static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF)};
    std::memcpy(report + 5, data, n);
    return SendOutputReport(report);
}

uint8_t CHidTransport::ReadMemoryWhenReady(uint16_t address, bool alternate, uint8_t* out, unsigned n) {
    if (n == 0 || n > kMaxData || !out) return 1;
    if (!m_handle || !m_handle->CanRead()) return 1;
    if (WaitReady()) return 1;
    uint8_t report[kReportBufferSize] = {4, static_cast<uint8_t>(alternate ? 0x30 : 0x20), static_cast<uint8_t>(n),
                                         static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF)};
    m_handle->FlushInput();
    if (SendOutputReport(report)) return 1;
    uint8_t reply[kReportBufferSize] = {};
    unsigned got = 0;
    unsigned long error = 0;
    if (m_handle->ReadInput(reply, InputLength(), kReadTimeoutMs, &got, &error) != HidRead::Ok) return 1;
    if (got < 1 + n || reply[0] != 5) return 1;
    std::memcpy(out, reply + 1, n);
    return 0;
}

uint8_t CHidTransport::WriteBus(bool flag1, bool flag2, uint8_t busAddress, uint8_t extra, uint8_t reg,
                                const uint8_t* data, unsigned n) {
    if (n > kMaxData || (n && !data)) return 1;
    uint8_t report[kReportBufferSize] = {6,
                                         static_cast<uint8_t>(n | (flag1 ? 0x80 : 0) | (flag2 ? 0x40 : 0)),
                                         static_cast<uint8_t>(busAddress << 1), extra,
                                         static_cast<uint8_t>(0xA0 | reg)};
    if (n) std::memcpy(report + 5, data, n);
    return SendOutputReport(report);
}

uint8_t CHidTransport::ReadEvent(uint8_t* out, unsigned n) {
    if (n > 2 || !out) return 1;
    uint8_t buffer[kReportBufferSize] = {};
    if (ReadOnce(buffer)) return 1;
    std::memcpy(out, buffer, n);
    return 0;
}

} // namespace vt::aud
