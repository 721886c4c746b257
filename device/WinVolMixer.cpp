// The volume wrapper's waveform-mixer back-end.
#include "device/WinVolMixer.h"

#include <algorithm>
#include <cwchar>
#include <mutex>

namespace vt::device {

namespace {

// The system's mixer (winmm is imported on first use: see CMakeLists.txt).
class SystemMixer final : public IMixerApi {
public:
    UINT GetNumDevs() override { return mixerGetNumDevs(); }
    MMRESULT Open(HMIXER* mixer, UINT id, HWND window) override {
        return mixerOpen(mixer, id, reinterpret_cast<DWORD_PTR>(window), 0,
                         MIXER_OBJECTF_MIXER | (window ? CALLBACK_WINDOW : 0));
    }
    MMRESULT GetDevCaps(UINT id, MIXERCAPSW* caps) override { return mixerGetDevCapsW(id, caps, sizeof *caps); }
    MMRESULT Close(HMIXER mixer) override { return mixerClose(mixer); }
    MMRESULT GetLineInfo(HMIXER mixer, MIXERLINEW* line, DWORD flags) override {
        return mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), line, flags | MIXER_OBJECTF_HMIXER);
    }
    MMRESULT GetLineControls(HMIXER mixer, MIXERLINECONTROLSW* controls, DWORD flags) override {
        return mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), controls, flags | MIXER_OBJECTF_HMIXER);
    }
    MMRESULT GetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer), details, flags | MIXER_OBJECTF_HMIXER);
    }
    MMRESULT SetControlDetails(HMIXER mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), details, flags | MIXER_OBJECTF_HMIXER);
    }
};

std::mutex g_mixerLock;
std::shared_ptr<IMixerApi> g_mixer;

bool NameIs(const MIXERCONTROLW& c, const wchar_t* name) {
    return _wcsicmp(c.szShortName, name) == 0 || _wcsicmp(c.szName, name) == 0;
}

} // namespace

std::shared_ptr<IMixerApi> CurrentMixerApi() {
    std::lock_guard g(g_mixerLock);
    if (!g_mixer) g_mixer = std::make_shared<SystemMixer>();
    return g_mixer;
}

void SetMixerApi(std::shared_ptr<IMixerApi> api) {
    std::lock_guard g(g_mixerLock);
    g_mixer = std::move(api);
}

CWinVol_XP::CWinVol_XP(std::shared_ptr<IMixerApi> api) : m_api(std::move(api)) {}

CWinVol_XP::~CWinVol_XP() { CloseMixer(); }

void CWinVol_XP::CloseMixer() {
    m_controls.clear();
    if (m_mixer && m_api) m_api->Close(m_mixer);
    m_mixer = nullptr;
    m_ready = false;
    m_renderRead = m_captureRead = false;
    m_renderVolumeId = m_renderMuteId = m_captureVolumeId = m_captureMuteId = m_agcId = 0;
    m_render = m_capture = Range{};
}

bool CWinVol_XP::Init(CAudioVolChangeListener* listener) {
    CloseMixer();
    if (!listener || !m_api) return false;
    const HWND window = listener->GetNotifyWindow();
    if (!window) return true;  // not ready: nothing receives the mixer's messages
    m_listener = listener;

    const UINT count = m_api->GetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        HMIXER h = nullptr;
        if (m_api->Open(&h, id, window) != MMSYSERR_NOERROR) continue;
        MIXERCAPSW caps{};
        if (!m_mixer && m_api->GetDevCaps(id, &caps) == MMSYSERR_NOERROR && _wcsicmp(caps.szPname, kHeadsetName) == 0) {
            m_mixer = h;
            m_caps = caps;
        } else {
            m_api->Close(h);
        }
    }
    if (!m_mixer) return false;

    bool ok = true;
    for (DWORD d = 0; d < m_caps.cDestinations; ++d) {
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwDestination = d;
        if (m_api->GetLineInfo(m_mixer, &line, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) continue;
        switch (line.dwComponentType) {
        case MIXERLINE_COMPONENTTYPE_DST_SPEAKERS:
        case MIXERLINE_COMPONENTTYPE_DST_HEADPHONES:
            // A mixer with both a speaker and a headphone line keeps the first.
            if (!m_renderRead) ok = ReadLine(line, LineKind::Render) && ok;
            break;
        case MIXERLINE_COMPONENTTYPE_DST_WAVEIN:
        case MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE:
            if (!m_captureRead) ok = ReadLine(line, LineKind::Capture) && ok;
            break;
        default:
            break;
        }
    }
    m_ready = ok;
    return ok;
}

bool CWinVol_XP::ReadLine(const MIXERLINEW& line, LineKind kind) {
    const bool render = kind == LineKind::Render;
    (render ? m_renderRead : m_captureRead) = true;
    if (line.cControls == 0) return true;
    // Room for every control the line reports, however many.
    std::vector<MIXERCONTROLW> records(line.cControls);
    MIXERLINECONTROLSW lc{};
    lc.cbStruct = sizeof lc;
    lc.dwLineID = line.dwLineID;
    lc.cControls = line.cControls;
    lc.cbmxctrl = sizeof(MIXERCONTROLW);
    lc.pamxctrl = records.data();
    if (m_api->GetLineControls(m_mixer, &lc, MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR) return false;
    const DWORD n = std::min<DWORD>(lc.cControls, line.cControls);

    std::vector<std::pair<DWORD, Control>> found;
    for (DWORD i = 0; i < n; ++i) {
        const MIXERCONTROLW& rec = records[i];
        Control c;
        c.record = rec;
        c.channels = (rec.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : std::max<DWORD>(1, line.cChannels);
        const DWORD items = (rec.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? rec.cMultipleItems : 0;
        c.values.assign(size_t(c.channels) * std::max<DWORD>(1, items), 0);
        MIXERCONTROLDETAILS det{};
        det.cbStruct = sizeof det;
        det.dwControlID = rec.dwControlID;
        det.cChannels = c.channels;
        det.cMultipleItems = items;
        det.cbDetails = sizeof(DWORD);
        det.paDetails = c.values.data();
        if (m_api->GetControlDetails(m_mixer, &det, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) return false;
        found.emplace_back(rec.dwControlID, std::move(c));
    }
    for (auto& [id, c] : found) {
        const MIXERCONTROLW& rec = c.record;
        bool keep = false;
        if (NameIs(rec, L"Mute")) {
            (render ? m_renderMuteId : m_captureMuteId) = id;
            keep = true;
        } else if (NameIs(rec, L"Volume")) {
            Range& r = render ? m_render : m_capture;
            r.min = rec.Bounds.dwMinimum;
            r.max = rec.Bounds.dwMaximum;
            r.scale = r.max > r.min ? 1.0f / float(r.max - r.min) : 0.0f;
            (render ? m_renderVolumeId : m_captureVolumeId) = id;
            keep = true;
        } else if (!render && NameIs(rec, L"AGC")) {
            m_agcId = id;
            keep = true;
        }
        if (keep) m_controls[id] = std::move(c);
    }
    return true;
}

bool CWinVol_XP::ReadControl(DWORD id) {
    auto it = m_controls.find(id);
    if (!m_mixer || it == m_controls.end()) return false;
    Control& c = it->second;
    const DWORD items = (c.record.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? c.record.cMultipleItems : 0;
    MIXERCONTROLDETAILS det{};
    det.cbStruct = sizeof det;
    det.dwControlID = id;
    det.cChannels = c.channels;
    det.cMultipleItems = items;
    det.cbDetails = sizeof(DWORD);
    det.paDetails = c.values.data();
    return m_api->GetControlDetails(m_mixer, &det, MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

bool CWinVol_XP::WriteControl(DWORD id) {
    auto it = m_controls.find(id);
    if (!m_mixer || it == m_controls.end()) return false;
    Control& c = it->second;
    const DWORD items = (c.record.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? c.record.cMultipleItems : 0;
    MIXERCONTROLDETAILS det{};
    det.cbStruct = sizeof det;
    det.dwControlID = id;
    det.cChannels = c.channels;
    det.cMultipleItems = items;
    det.cbDetails = sizeof(DWORD);
    det.paDetails = c.values.data();
    return m_api->SetControlDetails(m_mixer, &det, MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

bool CWinVol_XP::SetVolume(float level) {
    if (!Has(m_renderVolumeId)) return false;
    Control& c = m_controls[m_renderVolumeId];
    const DWORD b = DWORD(ClampLevel(level) * float(m_render.max - m_render.min)) + m_render.min;
    if (c.values.size() >= 2) {
        const uint64_t d = c.values[0], e = c.values[1];
        if (d == e) {
            c.values[0] = c.values[1] = b;
        } else if (e < d) {
            c.values[0] = b;
            c.values[1] = DWORD(uint64_t(b) * e / d);
        } else {
            c.values[0] = DWORD(uint64_t(b) * d / e);
            c.values[1] = b;
        }
    } else {
        c.values[0] = b;
    }
    return WriteControl(m_renderVolumeId);
}

bool CWinVol_XP::GetVolume(float* level) {
    if (!level || !Has(m_renderVolumeId) || !ReadControl(m_renderVolumeId)) return false;
    const Control& c = m_controls[m_renderVolumeId];
    DWORD v = c.values[0];
    if (c.values.size() >= 2) v = std::max(v, c.values[1]);
    v = std::clamp(v, m_render.min, std::max(m_render.min, m_render.max));
    *level = float(v) * m_render.scale;
    return true;
}

template <class F>
void CWinVol_XP::ForEachRenderMute(F&& visit) {
    for (DWORD d = 0; m_mixer && d < m_caps.cDestinations; ++d) {
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwDestination = d;
        if (m_api->GetLineInfo(m_mixer, &line, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) continue;
        if (line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS &&
            line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_HEADPHONES)
            continue;
        if (line.cControls == 0) continue;
        std::vector<MIXERCONTROLW> records(line.cControls);
        MIXERLINECONTROLSW lc{};
        lc.cbStruct = sizeof lc;
        lc.dwLineID = line.dwLineID;
        lc.cControls = line.cControls;
        lc.cbmxctrl = sizeof(MIXERCONTROLW);
        lc.pamxctrl = records.data();
        if (m_api->GetLineControls(m_mixer, &lc, MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR) continue;
        const DWORD n = std::min<DWORD>(lc.cControls, line.cControls);
        for (DWORD i = 0; i < n; ++i) {
            if (!NameIs(records[i], L"Mute")) continue;
            DWORD value = 0;
            MIXERCONTROLDETAILS det{};
            det.cbStruct = sizeof det;
            det.dwControlID = records[i].dwControlID;
            det.cChannels = 1;
            det.cbDetails = sizeof(DWORD);
            det.paDetails = &value;
            if (m_api->GetControlDetails(m_mixer, &det, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR) continue;
            if (!visit(det, value)) break;
        }
    }
}

bool CWinVol_XP::SetMute(bool muted) {
    bool written = false;
    ForEachRenderMute([&](MIXERCONTROLDETAILS& det, DWORD& value) {
        value = muted ? 1 : 0;
        written = m_api->SetControlDetails(m_mixer, &det, MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR || written;
        return false;  // the first readable mute control of the line
    });
    return written;
}

bool CWinVol_XP::GetMute(bool* muted) {
    bool read = false;
    bool v = false;
    ForEachRenderMute([&](MIXERCONTROLDETAILS&, DWORD& value) {
        v = value != 0;
        read = true;
        return true;
    });
    if (read && muted) *muted = v;
    return read;
}

bool CWinVol_XP::SetRenderChannel(unsigned channel, float level) {
    if (!m_mixer || !Has(m_renderVolumeId) || !ReadControl(m_renderVolumeId)) return false;
    Control& c = m_controls[m_renderVolumeId];
    if (channel >= c.values.size()) return false;
    c.values[channel] = DWORD(ClampLevel(level) * float(m_render.max - m_render.min));
    return WriteControl(m_renderVolumeId);
}

bool CWinVol_XP::GetRenderChannel(unsigned channel, float* level) {
    if (!level || !m_mixer || !Has(m_renderVolumeId) || !ReadControl(m_renderVolumeId)) return false;
    const Control& c = m_controls[m_renderVolumeId];
    if (channel >= c.values.size()) return false;
    *level = float(c.values[channel]) * m_render.scale;
    return true;
}

bool CWinVol_XP::SetMicVolume(float level) {
    if (!m_mixer || !Has(m_captureVolumeId)) return false;
    Control& c = m_controls[m_captureVolumeId];
    const DWORD v = DWORD(ClampLevel(level) * float(m_capture.max));
    for (auto& x : c.values) x = v;
    return WriteControl(m_captureVolumeId);
}

bool CWinVol_XP::GetMicVolume(float* level) {
    if (!level || !m_mixer || !Has(m_captureVolumeId) || !ReadControl(m_captureVolumeId)) return false;
    if (m_capture.max == 0) return false;
    *level = float(m_controls[m_captureVolumeId].values[0]) / float(m_capture.max);
    return true;
}

bool CWinVol_XP::SetOne(DWORD id, DWORD value) {
    if (!m_mixer || !Has(id)) return false;
    auto& values = m_controls[id].values;
    std::fill(values.begin(), values.end(), value);
    return WriteControl(id);
}

bool CWinVol_XP::GetOne(DWORD id, bool* value) {
    if (!value || !m_mixer || !Has(id) || !ReadControl(id)) return false;
    *value = m_controls[id].values[0] != 0;
    return true;
}

bool CWinVol_XP::OnMixerControlChange(HMIXER mixer, DWORD id) {
    if (!m_listener || !m_mixer || mixer != m_mixer || !Has(id)) return false;
    if (id == m_renderMuteId || id == m_captureMuteId) {
        if (!ReadControl(id)) return false;
        m_listener->OnMuteChanged(m_controls[id].values[0] != 0 ? 1 : 0, id == m_captureMuteId);
    } else if (id == m_renderVolumeId || id == m_captureVolumeId) {
        if (!ReadControl(id)) return false;
        const bool capture = id == m_captureVolumeId;
        // Each line's levels with its own control's range.
        const float scale = capture ? m_capture.scale : m_render.scale;
        const auto& v = m_controls[id].values;
        VolumeState s;
        s.left = float(v[0]) * scale;
        s.right = float(v.size() >= 2 ? v[1] : v[0]) * scale;
        s.master = std::max(s.left, s.right);
        m_listener->OnEndpointVolumeChanged(s, capture);
    } else if (id == m_agcId) {
        if (!ReadControl(id)) return false;
        m_listener->OnAgcChanged(m_controls[id].values[0] != 0 ? 1 : 0);
    } else {
        return false;
    }
    return true;
}

} // namespace vt::device
