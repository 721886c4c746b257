#include "audtest/MixerPage.h"
#include "audtest/resource.h"
#include "device/WinVol.h"
#include "win/AudioEndpoints.h"

#include <algorithm>
#include <cwchar>

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
    m_coreAudio = vt::device::IsCoreAudioSystem();
    if (!m_coreAudio) {
        OpenMixer();
        return;
    }
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
    if (!m_coreAudio) {
        ScanMixer();
        return;
    }
    ShowRender();
    ShowCapture();
}

void CMixerPage::OnCommand(UINT id, UINT code) {
    if (code != BN_CLICKED || !Device()) return;
    switch (id) {
    case IDC_OUT_MUTE:
        if (!m_coreAudio) MixerBox(LineKind::Render, L"Mute", Checked(IDC_OUT_MUTE));
        else if (m_render) m_render->SetMute(Checked(IDC_OUT_MUTE), nullptr);
        break;
    case IDC_IN_MUTE:
        if (!m_coreAudio) MixerBox(LineKind::Capture, L"Mute", Checked(IDC_IN_MUTE));
        else if (m_capture) m_capture->SetMute(Checked(IDC_IN_MUTE), nullptr);
        break;
    case IDC_IN_AGC:
        if (!m_coreAudio) MixerBox(LineKind::Capture, L"AGC", Checked(IDC_IN_AGC));
        else if (m_capture && m_capture->HasAutoGain()) m_capture->SetAutoGain(Checked(IDC_IN_AGC));
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
    if (!m_coreAudio) {
        MixerTrack(id, static_cast<DWORD>(SendMessageW(control, TBM_GETPOS, 0, 0)));
        return;
    }
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

bool CMixerPage::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (msg == MM_MIXM_CONTROL_CHANGE) {
        MixerChanged(reinterpret_cast<HMIXER>(wParam), static_cast<DWORD>(lParam));
    } else if (msg == kNoticeArrived) {
        ShowNotice(wParam == 1);
    } else if (msg != MM_MIXM_LINE_CHANGE) {
        return false;
    }
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
    if (m_mixer) m_mixerApi->Close(m_mixer);
    m_mixer = nullptr;
}

// ---- the waveform mixer ----

namespace {

// Fixed room for a line's controls and a control's channels: what a line reports beyond it is left out.
constexpr DWORD kMaxControls = 32;
constexpr DWORD kMaxChannels = 8;

bool Named(const MIXERCONTROLW& control, const wchar_t* name) {
    return wcscmp(control.szShortName, name) == 0 || wcscmp(control.szName, name) == 0;
}

} // namespace

void CMixerPage::OpenMixer() {
    m_mixerApi = vt::device::CurrentMixerApi();
    const UINT count = m_mixerApi->GetNumDevs();
    for (UINT id = 0; id < count && !m_mixer; ++id) {
        HMIXER mixer = nullptr;
        if (m_mixerApi->Open(&mixer, id, m_hwnd) != MMSYSERR_NOERROR) continue;
        MIXERCAPSW caps{};
        if (m_mixerApi->GetDevCaps(id, &caps) == MMSYSERR_NOERROR && wcscmp(caps.szPname, L"Velto Corvel") == 0) {
            m_mixer = mixer;
            m_caps = caps;
        } else {
            m_mixerApi->Close(mixer);
        }
    }
    if (m_mixer) ScanMixer();
}

std::vector<CMixerPage::MixerControl> CMixerPage::MixerControls(LineKind kind) {
    std::vector<MixerControl> out;
    if (!m_mixer) return out;
    for (DWORD destination = 0; destination < m_caps.cDestinations; ++destination) {
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwDestination = destination;
        if (m_mixerApi->GetLineInfo(m_mixer, &line, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) continue;
        const DWORD type = line.dwComponentType;
        const bool render = type == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS || type == MIXERLINE_COMPONENTTYPE_DST_HEADPHONES;
        const bool capture = type == MIXERLINE_COMPONENTTYPE_DST_WAVEIN || type == MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
        if (kind == LineKind::Render ? !render : !capture) continue;
        MIXERCONTROLW controls[kMaxControls] = {};
        MIXERLINECONTROLSW lc{};
        lc.cbStruct = sizeof lc;
        lc.dwLineID = line.dwLineID;
        lc.cControls = std::min(line.cControls, kMaxControls);
        lc.cbmxctrl = sizeof(MIXERCONTROLW);
        lc.pamxctrl = controls;
        if (lc.cControls == 0 || m_mixerApi->GetLineControls(m_mixer, &lc, MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR)
            continue;
        for (DWORD c = 0; c < lc.cControls; ++c) {
            MixerControl mc;
            mc.control = controls[c];
            mc.channels = (controls[c].fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.cChannels;
            mc.channels = std::clamp<DWORD>(mc.channels, 1, kMaxChannels);
            mc.values.assign(mc.channels, 0);
            MIXERCONTROLDETAILS details{};
            details.cbStruct = sizeof details;
            details.dwControlID = controls[c].dwControlID;
            details.cChannels = mc.channels;
            details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
            details.paDetails = mc.values.data();
            if (m_mixerApi->GetControlDetails(m_mixer, &details, MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR)
                out.push_back(std::move(mc));
        }
    }
    return out;
}

void CMixerPage::SetMixerSlider(int id, const MIXERCONTROLW& control, DWORD value) {
    HWND slider = Item(id);
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, static_cast<LPARAM>(control.Bounds.dwMinimum));
    SendMessageW(slider, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(control.Bounds.dwMaximum));
    SendMessageW(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(value));
}

void CMixerPage::ScanMixer() {
    if (!m_mixer) return;
    for (const MixerControl& c : MixerControls(LineKind::Render)) {
        SetWindowTextW(Item(IDC_OUT_NAME), m_caps.szPname);
        if (Named(c.control, L"Mute")) {
            m_renderMute = c.control.dwControlID;
            Check(IDC_OUT_MUTE, c.values[0] != 0);
        } else if (Named(c.control, L"Volume")) {
            m_renderVolume = c.control.dwControlID;
            const DWORD left = c.values[0], right = c.channels > 1 ? c.values[1] : c.values[0];
            SetMixerSlider(IDC_OUT_LEFT, c.control, left);
            if (c.channels > 1) SetMixerSlider(IDC_OUT_RIGHT, c.control, right);
            SetMixerSlider(IDC_OUT_MASTER, c.control, std::max(left, right));
        }
    }
    for (const MixerControl& c : MixerControls(LineKind::Capture)) {
        SetWindowTextW(Item(IDC_IN_NAME), m_caps.szPname);
        if (Named(c.control, L"Mute")) {
            m_captureMute = c.control.dwControlID;
            Check(IDC_IN_MUTE, c.values[0] != 0);
        } else if (Named(c.control, L"Volume")) {
            m_captureVolume = c.control.dwControlID;
            SetMixerSlider(IDC_IN_MASTER, c.control, c.values[0]);
        } else if (Named(c.control, L"AGC")) {
            m_autoGain = c.control.dwControlID;
            Check(IDC_IN_AGC, c.values[0] != 0);
        }
    }
}

bool CMixerPage::WriteMixer(MixerControl& c) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = c.control.dwControlID;
    details.cChannels = c.channels;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    details.paDetails = c.values.data();
    return m_mixerApi->SetControlDetails(m_mixer, &details, MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

void CMixerPage::MixerBox(LineKind kind, const wchar_t* name, bool on) {
    // On each line of the kind, the first control of that name gets the box's state.
    if (!m_mixer) return;
    SetWindowTextW(Item(kind == LineKind::Render ? IDC_OUT_NAME : IDC_IN_NAME), m_caps.szPname);
    for (MixerControl& c : MixerControls(kind)) {
        if (!Named(c.control, name)) continue;
        std::fill(c.values.begin(), c.values.end(), on ? 1u : 0u);
        WriteMixer(c);
        break;
    }
}

void CMixerPage::MixerTrack(int id, DWORD position) {
    if (!m_mixer) return;
    const bool render = id == IDC_OUT_LEFT || id == IDC_OUT_RIGHT || id == IDC_OUT_MASTER;
    if (!render && id != IDC_IN_MASTER) return;
    for (MixerControl& c : MixerControls(render ? LineKind::Render : LineKind::Capture)) {
        if (!Named(c.control, L"Volume")) continue;
        if (!render) {
            std::fill(c.values.begin(), c.values.end(), position);
        } else if (id == IDC_OUT_LEFT) {
            c.values[0] = position;
        } else if (id == IDC_OUT_RIGHT) {
            if (c.channels > 1) c.values[1] = position;
        } else if (c.channels > 1) {
            // The master keeps the balance on the raw values: the louder channel becomes the
            // position, the other keeps its ratio to it.
            DWORD& left = c.values[0];
            DWORD& right = c.values[1];
            if (left == right) {
                left = right = position;
            } else if (left > right) {
                right = static_cast<DWORD>(static_cast<unsigned long long>(position) * right / left);
                left = position;
            } else {
                left = static_cast<DWORD>(static_cast<unsigned long long>(position) * left / right);
                right = position;
            }
        } else {
            c.values[0] = position;
        }
        WriteMixer(c);
    }
}

void CMixerPage::MixerChanged(HMIXER mixer, DWORD controlId) {
    if (!m_mixer || mixer != m_mixer) return;
    const bool render = controlId == m_renderMute || controlId == m_renderVolume;
    for (const MixerControl& c : MixerControls(render ? LineKind::Render : LineKind::Capture)) {
        if (c.control.dwControlID != controlId) continue;
        if (controlId == m_renderMute) {
            Check(IDC_OUT_MUTE, c.values[0] != 0);
        } else if (controlId == m_captureMute) {
            Check(IDC_IN_MUTE, c.values[0] != 0);
        } else if (controlId == m_renderVolume) {
            const DWORD left = c.values[0], right = c.channels > 1 ? c.values[1] : c.values[0];
            SendDlgItemMessageW(m_hwnd, IDC_OUT_MASTER, TBM_SETPOS, TRUE, static_cast<LPARAM>(std::max(left, right)));
            SendDlgItemMessageW(m_hwnd, IDC_OUT_LEFT, TBM_SETPOS, TRUE, static_cast<LPARAM>(left));
            SendDlgItemMessageW(m_hwnd, IDC_OUT_RIGHT, TBM_SETPOS, TRUE, static_cast<LPARAM>(right));
        } else if (controlId == m_captureVolume) {
            SendDlgItemMessageW(m_hwnd, IDC_IN_MASTER, TBM_SETPOS, TRUE, static_cast<LPARAM>(c.values[0]));
        } else if (controlId == m_autoGain) {
            Check(IDC_IN_AGC, c.values[0] != 0);
        }
        return;
    }
}

void CMixerPage::OnDestroy() { Stop(); }

} // namespace vt::audtest
