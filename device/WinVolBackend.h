#pragma once
// What every back-end of the headset's Windows volume wrapper offers: the speaker master, left and
// right levels, speaker mute, microphone level, microphone mute and the microphone's automatic gain
// control, read and set in Windows and followed when something else changes them.
#include "device/AudioDevice.h"
#include <windows.h>
#include <mmsystem.h>

namespace vt::device {

// Levels are floats in [0, 1]; capture is the headset's microphone, render its speakers.
class IWinVol {
public:
    virtual ~IWinVol() = default;
    virtual bool Init(CAudioVolChangeListener* listener) = 0;
    virtual bool IsReady() = 0;
    virtual bool SetVolume(float level) = 0;
    virtual bool GetVolume(float* level) = 0;
    virtual bool SetMute(bool muted) = 0;
    virtual bool GetMute(bool* muted) = 0;
    virtual bool SetLeftVolume(float level) = 0;
    virtual bool GetLeftVolume(float* level) = 0;
    virtual bool SetRightVolume(float level) = 0;
    virtual bool GetRightVolume(float* level) = 0;
    virtual bool SetMicVolume(float level) = 0;
    virtual bool GetMicVolume(float* level) = 0;
    virtual bool SetMicMute(bool muted) = 0;
    virtual bool GetMicMute(bool* muted) = 0;
    virtual bool SetAgc(bool on) = 0;
    virtual bool GetAgc(bool* on) = 0;
    // Windows has no noise reduction to set: both do nothing and answer true.
    virtual bool SetNoiseReduction(bool) { return true; }
    virtual bool GetNoiseReduction(bool*) { return true; }
    virtual bool OnMixerControlChange(HMIXER mixer, DWORD controlId) = 0;
};

// The friendly-name part of the headset's endpoints and the product name of its mixer.
inline constexpr wchar_t kHeadsetName[] = L"Velto Corvel";

// A level as Windows takes it: within [0, 1] (NaN becomes 0).
inline float ClampLevel(float x) {
    if (!(x >= 0.0f)) return 0.0f;
    return x > 1.0f ? 1.0f : x;
}

} // namespace vt::device
