#pragma once
// The volume wrapper's waveform-mixer back-end (before Windows 6), over a seam for the mixer calls.
#include "device/WinVolBackend.h"
#include <windows.h>
#include <mmsystem.h>
#include <map>
#include <memory>
#include <vector>

namespace vt::device {

// The waveform mixer's calls, behind a seam so that the mixer branch can be driven by a fake.
class IMixerApi {
public:
    virtual ~IMixerApi() = default;
    virtual UINT GetNumDevs() = 0;
    virtual MMRESULT Open(HMIXER* mixer, UINT id, HWND callbackWindow) = 0;
    virtual MMRESULT GetDevCaps(UINT id, MIXERCAPSW* caps) = 0;
    virtual MMRESULT Close(HMIXER mixer) = 0;
    virtual MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEW* line, DWORD flags) = 0;
    virtual MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSW* controls, DWORD flags) = 0;
    virtual MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
    virtual MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
};
std::shared_ptr<IMixerApi> CurrentMixerApi();
void SetMixerApi(std::shared_ptr<IMixerApi> api);  // null: the system's mixer again

// Waveform mixer: the mixer named after the headset, its speaker or headphone line (render) and its
// wave-in line (capture). Changes come in as the mixer's window messages, through
// OnMixerControlChange on the thread that owns the listener's window.
class CWinVol_XP final : public IWinVol {
public:
    explicit CWinVol_XP(std::shared_ptr<IMixerApi> api = CurrentMixerApi());
    ~CWinVol_XP() override;
    bool Init(CAudioVolChangeListener* listener) override;
    bool IsReady() override { return m_ready; }
    bool SetVolume(float level) override;
    bool GetVolume(float* level) override;
    bool SetMute(bool muted) override;
    bool GetMute(bool* muted) override;
    bool SetLeftVolume(float level) override { return SetRenderChannel(0, level); }
    bool GetLeftVolume(float* level) override { return GetRenderChannel(0, level); }
    bool SetRightVolume(float level) override { return SetRenderChannel(1, level); }
    bool GetRightVolume(float* level) override { return GetRenderChannel(1, level); }
    bool SetMicVolume(float level) override;
    bool GetMicVolume(float* level) override;
    bool SetMicMute(bool muted) override { return SetOne(m_captureMuteId, muted ? 1 : 0); }
    bool GetMicMute(bool* muted) override { return GetOne(m_captureMuteId, muted); }
    bool SetAgc(bool on) override { return SetOne(m_agcId, on ? 1 : 0); }
    bool GetAgc(bool* on) override { return GetOne(m_agcId, on); }
    bool OnMixerControlChange(HMIXER mixer, DWORD controlId) override;

private:
    struct Control {
        DWORD channels = 1;
        std::vector<DWORD> values;
        MIXERCONTROLW record{};
    };
    struct Range {
        DWORD min = 0, max = 0;
        float scale = 0;
    };
    enum class LineKind { Render, Capture };
    bool ReadLine(const MIXERLINEW& line, LineKind kind);
    bool ReadControl(DWORD id);
    bool WriteControl(DWORD id);
    bool Has(DWORD id) const { return id && m_controls.count(id); }
    bool SetOne(DWORD id, DWORD value);
    bool GetOne(DWORD id, bool* value);
    bool SetRenderChannel(unsigned channel, float level);
    bool GetRenderChannel(unsigned channel, float* level);
    // Every readable control named "Mute" of every speaker or headphone destination.
    template <class F>
    void ForEachRenderMute(F&& visit);
    void CloseMixer();

    std::shared_ptr<IMixerApi> m_api;
    bool m_ready = false;
    HMIXER m_mixer = nullptr;
    MIXERCAPSW m_caps{};
    bool m_renderRead = false, m_captureRead = false;
    CAudioVolChangeListener* m_listener = nullptr;
    Range m_render, m_capture;
    DWORD m_renderVolumeId = 0, m_renderMuteId = 0, m_captureVolumeId = 0, m_captureMuteId = 0, m_agcId = 0;
    std::map<DWORD, Control> m_controls;
};

} // namespace vt::device
