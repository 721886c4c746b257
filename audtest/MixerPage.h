#pragma once
// "Mixer": the headset's Windows levels, set directly (not through the audio manager): speaker
// master, left and right level and mute, microphone level and mute, and the microphone's automatic
// gain control, followed while the page lives; and one box that switches the audio manager's
// volume sync. On Windows 6 and later the page works on the headset's core-audio endpoints and its
// trackbars run 0 .. 100 (level x 100); before, on the waveform mixer named "Velto Corvel", whose raw
// control values the trackbars show.
#include "audtest/SheetPage.h"
#include "device/VolumeEndpoints.h"
#include "device/WinVolMixer.h"

#include <memory>
#include <mutex>
#include <vector>

namespace vt::audtest {

class CMixerPage : public CSheetPage {
public:
    CMixerPage(CVtAudApiSheet& sheet, UINT templateId);
    ~CMixerPage() override;

    // The master write that keeps the balance: equal channels both become `master`; otherwise the
    // louder one becomes `master` and the other keeps its ratio to it. Levels are clamped to 0 .. 1.
    static void KeepBalance(float master, float* left, float* right);

    // Posted to the page when an endpoint's notice has arrived (wParam: 0 render, 1 capture).
    static constexpr UINT kNoticeArrived = WM_APP + 0x106;

protected:
    void OnInitDialog() override;
    void OnSetActive() override;
    void OnCommand(UINT id, UINT code) override;
    void OnHScroll(UINT code, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnDestroy() override;

private:
    class Follower;
    void ShowRender();
    void ShowCapture();
    void ShowNotice(bool capture);
    void SetSlider(int id, float level);
    void Stop();

    // The waveform mixer (before Windows 6).
    struct MixerControl {
        MIXERCONTROLW control{};
        DWORD channels = 1;
        std::vector<DWORD> values;
    };
    enum class LineKind { Render, Capture };
    void OpenMixer();
    // The controls of every speaker or headphone line (render) or wave-in or microphone line
    // (capture), each with its values; a control whose values cannot be read is left out.
    std::vector<MixerControl> MixerControls(LineKind kind);
    void ScanMixer();
    void SetMixerSlider(int id, const MIXERCONTROLW& control, DWORD value);
    bool WriteMixer(MixerControl& control);
    void MixerBox(LineKind kind, const wchar_t* name, bool on);
    void MixerTrack(int id, DWORD position);
    void MixerChanged(HMIXER mixer, DWORD controlId);

    bool m_coreAudio = true;
    std::unique_ptr<vt::device::IVolumeEndpoint> m_render, m_capture;
    std::unique_ptr<Follower> m_renderFollower, m_captureFollower;
    std::shared_ptr<vt::device::IMixerApi> m_mixerApi;
    HMIXER m_mixer = nullptr;
    MIXERCAPSW m_caps{};
    static constexpr DWORD kNone = 0xFFFFFFFF;
    DWORD m_renderMute = kNone, m_renderVolume = kNone, m_captureMute = kNone, m_captureVolume = kNone,
          m_autoGain = kNone;
};

} // namespace vt::audtest
