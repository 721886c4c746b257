#pragma once
// A simulated Velto Corvel headset behind the audio manager's HID seam: an ordered list of HID
// interfaces, per-handle input queues that every input report is broadcast to (as HID does), the
// device memory and LED driver buses that output reports 4 and 6 reach, the button reports 1 and 2,
// a log of every output report, and fault injection (busy device, commit that never clears, lost,
// late, short or foreign replies, disconnect after k reports).
#include "audmgr/HidIo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vt::sim {

// What a test (in this process or, through the exports of the server's test twin, in the server's
// process) uses to drive and inspect the simulated headset. Pure virtual so that it can cross a
// module boundary.
class IHeadsetControl {
public:
    struct Interface {
        std::wstring path;
        bool opens = true;           // the interface can be opened
        bool acceptsOutput = true;   // output reports are taken (a second collection may refuse them)
    };
    struct Faults {
        int statusBusyReads = 0;     // reads of 0x0400 that report busy; -1: busy for ever
        int commitPendingReads = 1;  // reads of 0x1138 still pending after a commit; -1: never clears
        int applyBusyReads = 2;      // reads of 0x040A with bit 7 set after 0xC1 was written; -1: for ever
        int dropReplies = 0;         // memory read replies that are lost; -1: all
        unsigned replyDelayMs = 0;   // delay of every memory read reply
        int strangersBeforeReply = 0; // reports of id 3 queued before each reply
        bool shortReplies = false;   // replies carry the report id only
        int disconnectAfterReports = -1; // the device disappears after this many more output reports
    };

    virtual ~IHeadsetControl() = default;
    virtual void SetInterfaces(const std::vector<Interface>& interfaces) = 0;
    virtual void SetReportLengths(unsigned input, unsigned output) = 0;
    virtual void SetFaults(const Faults& faults) = 0;
    virtual Faults GetFaults() = 0;
    virtual void Disconnect() = 0;
    virtual void Reconnect() = 0;

    virtual uint8_t Memory(uint16_t address) = 0;
    virtual void SetMemory(uint16_t address, uint8_t value) = 0;
    virtual uint8_t BusRegister(uint8_t bus, uint8_t reg) = 0;
    virtual unsigned CommitCount() = 0;
    virtual unsigned ApplyCount() = 0;

    // Button reports, broadcast to every open handle.
    virtual void SetVolumeKeys(bool up, bool down) = 0;
    virtual void SetMicMuted(bool muted) = 0;
    virtual void SendReport(const uint8_t* data, unsigned n) = 0;

    // Output reports sent so far (each OutputReportByteLength bytes long), oldest first.
    virtual unsigned SentCount() = 0;
    virtual std::vector<uint8_t> SentReport(unsigned index) = 0;
    virtual void ClearLog() = 0;
    virtual unsigned OpenHandles() = 0;
};

// A headset interface path as SetupAPI reports it; collection is the "&mi_" interface number.
std::wstring HeadsetPath(int collection = 0, unsigned short vendor = vt::aud::kVeltoVendorId,
                         unsigned short product = vt::aud::kHeadsetProductId);
// The two virtual HID devices Wine lists of its own.
std::vector<IHeadsetControl::Interface> WineOwnInterfaces();

// Creates a simulator: one headset interface after Wine's own two, firmware bytes 3, 1, 7, 0
// (firmware 1.3.0.7) and feature byte 0x5A. With a fast clock the transport's pauses only advance
// a virtual clock; input reads still wait in real time.
class HeadsetSimulator;
std::shared_ptr<HeadsetSimulator> MakeHeadsetSimulator(bool fastClock = true);

class HeadsetSimulator : public vt::aud::IHidBackend, public IHeadsetControl {};

} // namespace vt::sim
