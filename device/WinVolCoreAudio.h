#pragma once
// The volume wrapper's core-audio back-end (Windows 6 and later), over the endpoint seam.
#include "device/VolumeEndpoints.h"
#include "device/WinVolBackend.h"
#include <memory>

namespace vt::device {

// Core audio: endpoints found afresh for every call; the two endpoints of Init are kept for the
// change notices, with the capture path's automatic gain control.
class CWinVol_Vista final : public IWinVol {
public:
    explicit CWinVol_Vista(std::shared_ptr<IVolumeEndpoints> endpoints = CurrentVolumeEndpoints());
    ~CWinVol_Vista() override;
    bool Init(CAudioVolChangeListener* listener) override;
    bool IsReady() override { return m_ready; }
    bool SetVolume(float level) override;
    bool GetVolume(float* level) override;
    bool SetMute(bool muted) override;
    bool GetMute(bool* muted) override;
    bool SetLeftVolume(float level) override { return SetChannel(0, level); }
    bool GetLeftVolume(float* level) override { return GetChannel(0, level); }
    bool SetRightVolume(float level) override { return SetChannel(1, level); }
    bool GetRightVolume(float* level) override { return GetChannel(1, level); }
    bool SetMicVolume(float level) override;
    bool GetMicVolume(float* level) override;
    bool SetMicMute(bool muted) override;
    bool GetMicMute(bool* muted) override;
    bool SetAgc(bool on) override;
    bool GetAgc(bool* on) override;
    bool OnMixerControlChange(HMIXER, DWORD) override { return true; }

    // The event context of every volume and mute change this process makes.
    static const GUID& EventContext();

private:
    class Sink;
    std::unique_ptr<IVolumeEndpoint> Lookup(VolumeFlow flow);
    bool SetChannel(unsigned channel, float level);
    bool GetChannel(unsigned channel, float* level);
    void Unfollow();

    std::shared_ptr<IVolumeEndpoints> m_endpoints;
    bool m_ready = false;
    std::unique_ptr<Sink> m_renderSink, m_captureSink;
    std::unique_ptr<IVolumeEndpoint> m_render, m_capture;
};

} // namespace vt::device
