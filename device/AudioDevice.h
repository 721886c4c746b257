#pragma once
// The device interface of the headset's device object and of its do-nothing object, and the
// listener through which the Windows volume wrapper reports level changes to the device object.
#include "profile/ConfigInterfaces.h"
#include <windows.h>
#include <mmsystem.h>
#include <cstdint>
#include <string>

// Notices posted to the notification window (wParam 0, lParam the bits of what changed).
constexpr UINT WM_HEADSET_MIC_CHANGED = WM_USER + 400;     // 0x10 volume, 0x20 mute, 0x40 automatic gain
constexpr UINT WM_HEADSET_LEVELS_CHANGED = WM_USER + 401;  // 1 master, 2 left, 4 right, 8 mute

namespace vt::device {

// Apply group mask of the headset.
enum : uint32_t {
    kHeadsetLevels = 0x0000F,      // master, left, right, mute
    kHeadsetMic = 0x000F0,         // microphone volume, mute, automatic gain, noise reduction
    kHeadsetBands = 0x3FF00,       // one bit per equaliser band 0..9 (bit 8 + band)
    kHeadsetLighting = 0x40000,    // lighting zones
    kHeadsetEntries = 0x80000,     // lighting entries and key entries
    kHeadsetAll = 0xFFFFF,
};

// One endpoint state as the wrapper reports it: levels 0..1.
struct VolumeState {
    float master = 0;
    float left = 0;
    float right = 0;
    uint8_t muted = 0;
    uint8_t extra[2] = {0, 0};
    // How many of left and right the report carries; a channel it lacks is reported as 0.
    uint8_t channels = 2;
};

// Receives the wrapper's reports. The endpoint reports arrive on system audio threads; the mixer
// reports on the thread that handles the mixer's window message.
class CAudioVolChangeListener {
public:
    virtual void OnEndpointVolumeChanged(const VolumeState& state, bool capture) = 0;
    virtual void OnAgcChanged(uint8_t enabled) = 0;
    virtual void OnMuteChanged(uint8_t muted, bool capture) = 0;
    virtual void SetNotifyWindow(HWND window) = 0;
    virtual HWND GetNotifyWindow() = 0;
    virtual bool OnMixerChange(HMIXER mixer, DWORD controlId) = 0;
protected:
    ~CAudioVolChangeListener() = default;
};

} // namespace vt::device

class IAudioDevice {
public:
    virtual bool Open() = 0;                                                        // 0
    virtual void Close() = 0;
    // mode 0 writes the model to the headset, mode 1 reads the headset into the model.
    virtual bool Apply(int32_t mode, uint32_t mask) = 0;
    virtual bool ReadEqualizer(IAudioConfig* config) = 0;
    virtual bool WriteEqualizer(IAudioConfig* config, IAudioProfile* profile) = 0;
    virtual bool WriteEqualizerBand(IAudioConfig* config, int32_t band) = 0;       // 5
    virtual bool MirrorMasterVolume(IAudioConfig* config) = 0;
    virtual bool MirrorLeftVolume(IAudioConfig* config) = 0;
    virtual bool MirrorRightVolume(IAudioConfig* config) = 0;
    virtual bool MirrorMicVolume(IAudioConfig* config) = 0;
    virtual bool SetEqualizerEnabled(IAudioConfig* config) = 0;                     // 10
    virtual bool MirrorMute(IAudioConfig* config) = 0;
    virtual bool MirrorMicMute(IAudioConfig* config) = 0;
    virtual bool MirrorMicAutoGain(IAudioConfig* config) = 0;
    virtual bool MirrorMicNoiseReduction(IAudioConfig* config) = 0;
    virtual bool IsConnected() = 0;                                                 // 15
    virtual bool GetFirmwareVersion(std::wstring& text) = 0;
    virtual bool GetDriverVersion(std::wstring& text) = 0;
    virtual void SetNotifyWindow(HWND window) = 0;
    virtual HWND GetNotifyWindow() = 0;
    // The system's mixer control-change message (MM_MIXM_CONTROL_CHANGE) handed on to the wrapper.
    virtual bool WinVolPassthrough(HMIXER mixer, DWORD controlId) = 0;             // 20
    virtual ~IAudioDevice() = default;
};
