#pragma once
// The Windows endpoints the volume wrapper talks to, behind one seam: an active render or capture
// endpoint found by a part of its friendly name, with its master level, its first two channel
// levels, its mute, the automatic gain control on its capture path, and the notices of their
// changes. Changes are made with an event context the caller chooses, and every notice carries the
// context of the change that caused it.
//
// The core-audio implementation is the real one. The endpoints of the shared endpoint seam
// (win/AudioEndpoints.h, with its fake) can be used through an adapter; they have no channel levels.
//
// Threads: notices arrive on the endpoint's own threads (system audio threads), never on the thread
// that asked for them.
#include "win/AudioEndpoints.h"
#include <windows.h>
#include <memory>
#include <string>

struct IAudioEndpointVolumeCallback;

namespace vt::device {

enum class VolumeFlow { Render = 0, Capture = 1 };

// One change of an endpoint's volume. Channels the notice does not carry are 0.
struct VolumeNotice {
    GUID context{};
    float master = 0;
    float channels[2] = {0, 0};
    unsigned channelCount = 0;
    bool muted = false;
};

class IVolumeNoticeSink {
public:
    virtual void OnVolumeNotice(const VolumeNotice& notice) = 0;
    virtual void OnAutoGainNotice(bool enabled) = 0;
protected:
    ~IVolumeNoticeSink() = default;
};

class IVolumeEndpoint {
public:
    virtual ~IVolumeEndpoint() = default;
    virtual std::wstring Name() = 0;
    // Levels are 0.0 .. 1.0; every call answers false when the endpoint cannot do it.
    virtual bool GetMaster(float* level) = 0;
    virtual bool SetMaster(float level, const GUID* context) = 0;
    virtual bool GetChannel(unsigned channel, float* level) = 0;
    virtual bool SetChannel(unsigned channel, float level, const GUID* context) = 0;
    virtual bool GetMute(bool* muted) = 0;
    virtual bool SetMute(bool muted, const GUID* context) = 0;
    // The automatic gain control of the capture path; HasAutoGain is false where there is none.
    virtual bool HasAutoGain() = 0;
    virtual bool GetAutoGain(bool* on) = 0;
    virtual bool SetAutoGain(bool on) = 0;
    // Starts the notices to `sink` (volume, and automatic gain where there is a control); null
    // stops them and returns only when no notice is running any more. False when the volume
    // cannot be followed.
    virtual bool Follow(IVolumeNoticeSink* sink) = 0;
};

class IVolumeEndpoints {
public:
    virtual ~IVolumeEndpoints() = default;
    // The first active endpoint of the flow, in the system's order, whose friendly name contains
    // `part` (case-sensitive); null when there is none. Endpoints that cannot be read are skipped.
    virtual std::unique_ptr<IVolumeEndpoint> Find(VolumeFlow flow, const std::wstring& part) = 0;
};

// The endpoints the volume wrapper uses: the core-audio ones unless others have been set (null
// goes back to core audio). The calling thread must have initialised COM.
std::shared_ptr<IVolumeEndpoints> CurrentVolumeEndpoints();
void SetVolumeEndpoints(std::shared_ptr<IVolumeEndpoints> endpoints);

std::shared_ptr<IVolumeEndpoints> MakeCoreVolumeEndpoints();
// The shared endpoint seam seen through this one: master, mute and automatic gain; no channels,
// and notices carry no channel and no context.
std::shared_ptr<IVolumeEndpoints> AdaptAudioEndpoints(std::shared_ptr<vt::win::IAudioEndpoints> endpoints);

// The core-audio notice receiver (for tests of its answers): a counted object with a count of 1
// that hands each notice to `sink` and answers E_INVALIDARG for a missing notice.
IAudioEndpointVolumeCallback* MakeVolumeCallback(IVolumeNoticeSink* sink);

} // namespace vt::device
