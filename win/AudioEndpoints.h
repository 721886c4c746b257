#pragma once
// Windows audio endpoints through a small seam: find an active render or capture endpoint by a part
// of its friendly name, read and set its volume, mute and automatic gain control, and follow their
// changes. The core-audio implementation is the real one; tests plug in a fake (standin/audio).
// Change callbacks arrive on a thread of the endpoint's own (a system audio thread).
#include <memory>
#include <string>
#include <vector>

namespace vt::win {

enum class AudioFlow { Render, Capture };

class IAudioEndpointListener {
public:
    virtual ~IAudioEndpointListener() = default;
    virtual void OnVolumeChanged(float level, bool muted) = 0;
    virtual void OnAutoGainChanged(bool on) = 0;
};

class IAudioEndpoint {
public:
    virtual ~IAudioEndpoint() = default;
    virtual std::wstring Name() = 0;
    // Each call answers false when the endpoint cannot do it.
    virtual bool GetVolume(float* level) = 0;          // 0.0 .. 1.0
    virtual bool SetVolume(float level) = 0;
    virtual bool GetMute(bool* muted) = 0;
    virtual bool SetMute(bool muted) = 0;
    virtual bool GetAutoGain(bool* on) = 0;
    virtual bool SetAutoGain(bool on) = 0;
    // One listener at a time; null stops the callbacks. Answers false when changes cannot be followed.
    virtual bool Listen(IAudioEndpointListener* listener) = 0;
};

class IAudioEndpoints {
public:
    virtual ~IAudioEndpoints() = default;
    // Friendly names of the active endpoints of a flow, in the system's order.
    virtual std::vector<std::wstring> Names(AudioFlow flow) = 0;
    // The first active endpoint of the flow whose friendly name contains `part`; null when none.
    virtual std::unique_ptr<IAudioEndpoint> Find(AudioFlow flow, const std::wstring& part) = 0;
};

// The friendly-name part of the headset's endpoints.
inline constexpr wchar_t kHeadsetEndpointName[] = L"Velto Corvel";

// The endpoints in use: the core-audio ones unless a test has set others. The calling thread must
// have initialised COM for the core-audio implementation.
std::shared_ptr<IAudioEndpoints> CurrentAudioEndpoints();
void SetAudioEndpoints(std::shared_ptr<IAudioEndpoints> endpoints);
std::shared_ptr<IAudioEndpoints> MakeCoreAudioEndpoints();

} // namespace vt::win
