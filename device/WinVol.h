#pragma once
// The Windows volume wrapper of the headset: its speaker master, left and right levels, speaker
// mute, microphone level, microphone mute and the microphone's automatic gain control, read and
// set in Windows and followed when something else changes them. Core audio on Windows 6 and later
// (`CWinVol_Vista`), the waveform mixer before (`CWinVol_XP`). `CWinVol` owns the chosen one and
// copies single values between the headset configuration and Windows.
#include "device/AudioDevice.h"
#include "device/VolumeEndpoints.h"
#include <windows.h>
#include <mmsystem.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// Which implementation CreateWinVol makes: the system's version decides unless a test says.
enum class WinVolSystem { ByVersion, CoreAudio, Mixer };
void SetWinVolSystem(WinVolSystem system);
bool IsCoreAudioSystem();

// The headset's owner of the wrapper, with the transfers between its configuration and Windows.
// Every transfer needs an implementation and a connected owner, else it answers false and changes
// nothing.
class CWinVol {
public:
    explicit CWinVol(IAudioDevice* owner) : m_owner(owner) {}
    virtual ~CWinVol() = default;
    IWinVol* Impl() const { return m_impl; }
    IAudioDevice* Owner() const { return m_owner; }
    CWinVol_Vista* Vista() const { return m_vista.get(); }
    CWinVol_XP* Xp() const { return m_xp.get(); }
    // Makes the implementation the system calls for and keeps it.
    IWinVol* Create();
    // An implementation made elsewhere (tests); owned from now on.
    void Adopt(std::unique_ptr<IWinVol> impl);

    // Whether the transfers may talk to Windows.
    bool CanTransfer() const;

    bool PushVolume(IAudioConfig* config);
    bool PullVolume(IAudioConfig* config);
    bool PushLeftVolume(IAudioConfig* config);
    bool PullLeftVolume(IAudioConfig* config);
    bool PushRightVolume(IAudioConfig* config);
    bool PullRightVolume(IAudioConfig* config);
    bool PullMute(IAudioConfig* config);
    bool PushMicVolume(IAudioConfig* config);
    bool PullMicVolume(IAudioConfig* config);
    bool PullMicMute(IAudioConfig* config);
    bool PullAgc(IAudioConfig* config);
    bool PullNoiseReduction(IAudioConfig* config);

    // Model value to Windows level: value / (maximum - minimum) of the volume range.
    static bool ToLevel(IAudioConfig* config, int32_t value, float* level);
    // Windows level to model value: level x range width, to the nearest whole number, halves up.
    static int32_t ToValue(IAudioConfig* config, float level);
    static int32_t RoundHalfUp(double value);

private:
    bool PushChannel(IAudioConfig* config, bool right);
    bool PullChannel(IAudioConfig* config, bool right);
    IAudioDevice* m_owner;
    IWinVol* m_impl = nullptr;
    std::unique_ptr<CWinVol_Vista> m_vista;
    std::unique_ptr<CWinVol_XP> m_xp;
    std::unique_ptr<IWinVol> m_other;
};

// Chooses the implementation for `owner`, stores it there and answers it.
IWinVol* CreateWinVol(CWinVol& owner);

} // namespace vt::device
