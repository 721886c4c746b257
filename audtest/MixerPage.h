#pragma once
// "Mixer": the headset's Windows levels, set directly (not through the audio manager): speaker
// master, left and right level and mute, microphone level and mute, and the microphone's automatic
// gain control, followed while the page lives; and one box that switches the audio manager's
// volume sync. Trackbars run 0 .. 100 (level x 100).
#include "audtest/SheetPage.h"
#include "device/VolumeEndpoints.h"

#include <memory>
#include <mutex>

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

    std::unique_ptr<vt::device::IVolumeEndpoint> m_render, m_capture;
    std::unique_ptr<Follower> m_renderFollower, m_captureFollower;
};

} // namespace vt::audtest
