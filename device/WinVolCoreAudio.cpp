// The volume wrapper's core-audio back-end.
#include "device/WinVolCoreAudio.h"

#include <mutex>

namespace vt::device {

namespace {
GUID g_eventContext{};
std::mutex g_contextLock;
} // namespace

// Hands one endpoint's notices to the listener as change records.
class CWinVol_Vista::Sink final : public IVolumeNoticeSink {
public:
    Sink(CAudioVolChangeListener* listener, bool capture) : m_listener(listener), m_capture(capture) {}
    void OnVolumeNotice(const VolumeNotice& n) override {
        if (!m_listener) return;
        VolumeState s;
        s.master = n.master;
        s.left = n.channelCount > 0 ? n.channels[0] : 0.0f;
        s.right = n.channelCount > 1 ? n.channels[1] : 0.0f;
        s.channels = uint8_t(n.channelCount < 2 ? n.channelCount : 2);
        s.muted = n.muted ? 1 : 0;
        m_listener->OnEndpointVolumeChanged(s, m_capture);
    }
    void OnAutoGainNotice(bool enabled) override {
        if (m_listener) m_listener->OnAgcChanged(enabled ? 1 : 0);
    }
private:
    CAudioVolChangeListener* m_listener;
    bool m_capture;
};

const GUID& CWinVol_Vista::EventContext() { return g_eventContext; }

CWinVol_Vista::CWinVol_Vista(std::shared_ptr<IVolumeEndpoints> endpoints) : m_endpoints(std::move(endpoints)) {
    std::lock_guard g(g_contextLock);
    CoCreateGuid(&g_eventContext);
}

CWinVol_Vista::~CWinVol_Vista() { Unfollow(); }

void CWinVol_Vista::Unfollow() {
    // Notices stop before the sinks they reach go away.
    if (m_capture) m_capture->Follow(nullptr);
    if (m_render) m_render->Follow(nullptr);
    m_capture.reset();
    m_render.reset();
    m_captureSink.reset();
    m_renderSink.reset();
}

std::unique_ptr<IVolumeEndpoint> CWinVol_Vista::Lookup(VolumeFlow flow) {
    return m_endpoints ? m_endpoints->Find(flow, kHeadsetName) : nullptr;
}

bool CWinVol_Vista::Init(CAudioVolChangeListener* listener) {
    Unfollow();
    m_ready = false;
    auto render = Lookup(VolumeFlow::Render);
    if (!render) return false;
    m_renderSink = std::make_unique<Sink>(listener, false);
    m_render = std::move(render);
    m_render->Follow(m_renderSink.get());

    auto capture = Lookup(VolumeFlow::Capture);
    if (!capture) return false;
    m_captureSink = std::make_unique<Sink>(listener, true);
    m_capture = std::move(capture);
    m_capture->Follow(m_captureSink.get());
    m_ready = true;
    return true;
}

bool CWinVol_Vista::SetVolume(float level) {
    auto e = Lookup(VolumeFlow::Render);
    if (!e) return false;
    const float x = ClampLevel(level);
    float l = 0, r = 0;
    const bool channels = e->GetChannel(0, &l) && e->GetChannel(1, &r);
    if (!channels || l == r) {
        l = r = x;
    } else if (r < l) {
        r = x * r / l;
        l = x;
    } else {
        l = x * l / r;
        r = x;
    }
    const GUID* ctx = &EventContext();
    const bool master = e->SetMaster(x, ctx);
    // An endpoint without channel levels has only its master.
    if (!channels) return master;
    e->SetChannel(0, l, ctx);
    return e->SetChannel(1, r, ctx);
}

bool CWinVol_Vista::GetVolume(float* level) {
    auto e = Lookup(VolumeFlow::Render);
    return e && level && e->GetMaster(level);
}

bool CWinVol_Vista::SetMute(bool muted) {
    auto e = Lookup(VolumeFlow::Render);
    return e && e->SetMute(muted, &EventContext());
}

bool CWinVol_Vista::GetMute(bool* muted) {
    auto e = Lookup(VolumeFlow::Render);
    bool v = false;
    if (!e || !muted || !e->GetMute(&v)) return false;
    *muted = v;
    return true;
}

bool CWinVol_Vista::SetChannel(unsigned channel, float level) {
    auto e = Lookup(VolumeFlow::Render);
    return e && e->SetChannel(channel, ClampLevel(level), &EventContext());
}

bool CWinVol_Vista::GetChannel(unsigned channel, float* level) {
    auto e = Lookup(VolumeFlow::Render);
    return e && level && e->GetChannel(channel, level);
}

bool CWinVol_Vista::SetMicVolume(float level) {
    auto e = Lookup(VolumeFlow::Capture);
    return e && e->SetMaster(ClampLevel(level), &EventContext());
}

bool CWinVol_Vista::GetMicVolume(float* level) {
    auto e = Lookup(VolumeFlow::Capture);
    return e && level && e->GetMaster(level);
}

bool CWinVol_Vista::SetMicMute(bool muted) {
    auto e = Lookup(VolumeFlow::Capture);
    return e && e->SetMute(muted, &EventContext());
}

bool CWinVol_Vista::GetMicMute(bool* muted) {
    auto e = Lookup(VolumeFlow::Capture);
    bool v = false;
    if (!e || !muted || !e->GetMute(&v)) return false;
    *muted = v;
    return true;
}

// A microphone without automatic gain control is a normal headset: nothing to do.
bool CWinVol_Vista::SetAgc(bool on) {
    if (m_capture && m_capture->HasAutoGain()) m_capture->SetAutoGain(on);
    return true;
}

bool CWinVol_Vista::GetAgc(bool* on) {
    bool v = false;
    if (on && m_capture && m_capture->HasAutoGain() && m_capture->GetAutoGain(&v)) *on = v;
    return true;
}

} // namespace vt::device
