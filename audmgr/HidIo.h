#pragma once
// The seam between the HID transport and the operating system: enumeration of HID interface paths,
// one opened interface (capabilities, output reports, bounded input reads) and the clock the
// transport paces itself with. The Win32 backend uses SetupAPI and hid.dll; tests plug in the
// headset simulator (standin/headset).
#include <memory>
#include <string>
#include <vector>

namespace vt::aud {

// The maker's USB vendor id and the headset's product id.
constexpr unsigned short kVeltoVendorId = 0x2F3D;  // the same id as the device engine's VT_VENDOR_ID
constexpr unsigned short kHeadsetProductId = 0x001B;

// Report buffers hold this many bytes; devices with longer reports are not opened.
constexpr unsigned kReportBufferSize = 64;

struct HidCaps {
    unsigned inputLength = 0;   // InputReportByteLength
    unsigned outputLength = 0;  // OutputReportByteLength
};

enum class HidRead { Ok, Timeout, Failed };

// One opened HID interface: a capabilities record, a write handle and an overlapped read handle.
class IHidHandle {
public:
    virtual ~IHidHandle() = default;
    virtual HidCaps Caps() const = 0;
    virtual bool CanWrite() const = 0;
    virtual bool CanRead() const = 0;
    // HidD_SetOutputReport with exactly length bytes.
    virtual bool SetOutputReport(const unsigned char* report, unsigned length) = 0;
    // Reads one input report, waiting at most timeoutMs. A read that does not complete in time is
    // cancelled and its completion awaited before this returns, so nothing writes into the buffer
    // afterwards. *got receives the bytes read; *error the system error of a failed read.
    virtual HidRead ReadInput(unsigned char* buffer, unsigned length, unsigned timeoutMs,
                              unsigned* got, unsigned long* error) = 0;
    // Drops the input reports queued for this handle (HidD_FlushQueue).
    virtual void FlushInput() = 0;
};

class IHidBackend {
public:
    virtual ~IHidBackend() = default;
    // Device interface paths of the present HID interfaces, in SetupAPI order.
    virtual std::vector<std::wstring> EnumerateInterfaces() = 0;
    // Opens an interface; null when even the capabilities could not be read.
    virtual std::unique_ptr<IHidHandle> Open(const std::wstring& path) = 0;
    virtual void Sleep(unsigned ms) = 0;
    virtual unsigned long NowMs() = 0;
};

// The backend new transports and the device manager use. Tests and the test twin of the
// COM server replace it; null restores the Win32 backend.
std::shared_ptr<IHidBackend> CurrentHidBackend();
void SetHidBackend(std::shared_ptr<IHidBackend> backend);
std::shared_ptr<IHidBackend> MakeWin32HidBackend();

} // namespace vt::aud
