#include "audtest/MixerPage.h"
#include "audtest/resource.h"
#include "win/AudioEndpoints.h"

#include <algorithm>

namespace vt::audtest {

// Receives one endpoint's notices on the endpoint's thread, keeps the latest and posts a message to
// the page, whose thread shows it. Nothing waits for the page's thread here, so the page can stop
// the notices from its own thread at any time.
class CMixerPage::Follower : public vt::device::IVolumeNoticeSink {
public:
    Follower(HWND page, bool capture) : m_page(page), m_capture(capture) {}
    void OnVolumeNotice(const vt::device::VolumeNotice& notice) override {
        {
            std::lock_guard lock(m_lock);
            m_notice = notice;
            m_hasVolume = true;
        }
        PostMessageW(m_page, kNoticeArrived, m_capture ? 1 : 0, 0);
    }
    void OnAutoGainNotice(bool enabled) override {
        {
            std::lock_guard lock(m_lock);
            m_autoGain = enabled;
            m_hasAutoGain = true;
        }
        PostMessageW(m_page, kNoticeArrived, m_capture ? 1 : 0, 0);
    }
    // The latest notices not shown yet.
    bool TakeVolume(vt::device::VolumeNotice* notice) {
        std::lock_guard lock(m_lock);
        if (!m_hasVolume) return false;
        *notice = m_notice;
        m_hasVolume = false;
        return true;
    }
    bool TakeAutoGain(bool* on) {
        std::lock_guard lock(m_lock);
        if (!m_hasAutoGain) return false;
        *on = m_autoGain;
        m_hasAutoGain = false;
        return true;
    }

private:
    HWND m_page;
    bool m_capture;
    std::mutex m_lock;
    vt::device::VolumeNotice m_notice;
    bool m_hasVolume = false, m_autoGain = false, m_hasAutoGain = false;
};

CMixerPage::CMixerPage(CVtAudApiSheet& sheet, UINT templateId) : CSheetPage(sheet, templateId) {}
CMixerPage::~CMixerPage() { Stop(); }

void CMixerPage::KeepBalance(float master, float* left, float* right) {
    const float x = std::clamp(master, 0.0f, 1.0f);
    const float l = *left, r = *right;
    if (l == r) {
        *left = *right = x;
    } else if (r < l) {
        *left = x;
        *right = x * r / l;
    } else {
        *left = x * l / r;
        *right = x;
    }
}

void CMixerPage::SetSlider(int id, float level) {
    HWND slider = Item(id);
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(slider, TBM_SETRANGEMAX, TRUE, 100);
    SendMessageW(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(level * 100));
}

void CMixerPage::ShowRender() {
    if (!m_render) return;
    bool muted = false;
    if (m_render->GetMute(&muted)) Check(IDC_OUT_MUTE, muted);
    float level = 0;
    if (m_render->GetMaster(&level)) SetSlider(IDC_OUT_MASTER, level);
    for (unsigned channel = 0; channel < 2; ++channel) {
        float value = 0;
        if (!m_render->GetChannel(channel, &value)) value = 0;
        SetSlider(channel == 0 ? IDC_OUT_LEFT : IDC_OUT_RIGHT, value);
    }
}

void CMixerPage::ShowCapture() {
    if (!m_capture) return;
    bool muted = false;
    if (m_capture->GetMute(&muted)) Check(IDC_IN_MUTE, muted);
    float level = 0;
    if (m_capture->GetMaster(&level)) SetSlider(IDC_IN_MASTER, level);
    bool on = false;
    if (m_capture->HasAutoGain() && m_capture->GetAutoGain(&on)) Check(IDC_IN_AGC, on);
}

void CMixerPage::OnInitDialog() {
    if (!Device()) return;
    auto endpoints = vt::device::CurrentVolumeEndpoints();
    if (!endpoints) return;
    m_render = endpoints->Find(vt::device::VolumeFlow::Render, vt::win::kHeadsetEndpointName);
    if (m_render) {
        SetWindowTextW(Item(IDC_OUT_NAME), m_render->Name().c_str());
        ShowRender();
        m_renderFollower = std::make_unique<Follower>(m_hwnd, false);
        m_render->Follow(m_renderFollower.get());
    }
    m_capture = endpoints->Find(vt::device::VolumeFlow::Capture, vt::win::kHeadsetEndpointName);
    if (m_capture) {
        SetWindowTextW(Item(IDC_IN_NAME), m_capture->Name().c_str());
        ShowCapture();
        m_captureFollower = std::make_unique<Follower>(m_hwnd, true);
        m_capture->Follow(m_captureFollower.get());
    }
}

void CMixerPage::OnSetActive() {
    if (!Device()) return;
    ShowRender();
    ShowCapture();
}

void CMixerPage::OnCommand(UINT id, UINT code) {
    if (code != BN_CLICKED || !Device()) return;
    switch (id) {
    case IDC_OUT_MUTE:
        if (m_render) m_render->SetMute(Checked(IDC_OUT_MUTE), nullptr);
        break;
    case IDC_IN_MUTE:
        if (m_capture) m_capture->SetMute(Checked(IDC_IN_MUTE), nullptr);
        break;
    case IDC_IN_AGC:
        if (m_capture && m_capture->HasAutoGain()) m_capture->SetAutoGain(Checked(IDC_IN_AGC));
        break;
    case IDC_SYNC: {
        auto device = Device();
        GUID iid = IID_IVtSync;
        vt::win::ComPtr<IVtSync> sync;
        HRESULT hr = device->CreateInterfaceInstance(&iid, sync.PutVoid());
        const bool on = Checked(IDC_SYNC);
        if (SUCCEEDED(hr) && sync) hr = sync->SyncEnable(on ? 1 : 0);
        if (FAILED(hr) || !sync) Fail(on ? L"Cannot switch the volume sync on" : L"Cannot switch the volume sync off",
                                      FAILED(hr) ? hr : E_POINTER);
        break;
    }
    default:
        break;
    }
}

void CMixerPage::OnHScroll(UINT code, HWND control) {
    if (code != TB_ENDTRACK || !Device()) return;
    const int id = GetDlgCtrlID(control);
    const float level = static_cast<float>(SendMessageW(control, TBM_GETPOS, 0, 0)) / 100.0f;
    if ((id == IDC_OUT_LEFT || id == IDC_OUT_RIGHT) && m_render) {
        m_render->SetChannel(id == IDC_OUT_LEFT ? 0 : 1, level, nullptr);
    } else if (id == IDC_OUT_MASTER && m_render) {
        float left = 0, right = 0;
        const bool channels = m_render->GetChannel(0, &left) && m_render->GetChannel(1, &right);
        if (!channels) left = right = 0;
        KeepBalance(level, &left, &right);
        m_render->SetMaster(std::clamp(level, 0.0f, 1.0f), nullptr);
        if (channels) {
            m_render->SetChannel(0, left, nullptr);
            m_render->SetChannel(1, right, nullptr);
        }
    } else if (id == IDC_IN_MASTER && m_capture) {
        m_capture->SetMaster(level, nullptr);
    }
}

void CMixerPage::ShowNotice(bool capture) {
    Follower* follower = capture ? m_captureFollower.get() : m_renderFollower.get();
    if (!follower) return;
    vt::device::VolumeNotice notice;
    if (follower->TakeVolume(&notice)) {
        if (capture) {
            Check(IDC_IN_MUTE, notice.muted);
            SetSlider(IDC_IN_MASTER, notice.master);
        } else {
            Check(IDC_OUT_MUTE, notice.muted);
            SetSlider(IDC_OUT_MASTER, notice.master);
            // A channel the notice does not carry shows 0.
            SetSlider(IDC_OUT_LEFT, notice.channelCount > 0 ? notice.channels[0] : 0);
            SetSlider(IDC_OUT_RIGHT, notice.channelCount > 1 ? notice.channels[1] : 0);
        }
    }
    bool on = false;
    if (capture && follower->TakeAutoGain(&on)) Check(IDC_IN_AGC, on);
}

bool CMixerPage::OnMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR* result) {
    if (msg != kNoticeArrived) return false;
    ShowNotice(wParam == 1);
    *result = 0;
    return true;
}

void CMixerPage::Stop() {
    // Follow(null) returns only when no notice runs any more; then the followers can go.
    if (m_render) m_render->Follow(nullptr);
    if (m_capture) m_capture->Follow(nullptr);
    m_render.reset();
    m_capture.reset();
    m_renderFollower.reset();
    m_captureFollower.reset();
}

void CMixerPage::OnDestroy() { Stop(); }

} // namespace vt::audtest
