// Core-audio endpoints with channel levels and event contexts, and the adapter over the shared
// endpoint seam.
#include "device/VolumeEndpoints.h"

#include "win/CoreAudio.h"

#include <atomic>
#include <mutex>

namespace vt::device {
namespace {

namespace coreaudio = vt::win::coreaudio;
using coreaudio::SafeRelease;
using AgcControl = coreaudio::AutoGainControl;

IAudioEndpointVolumeCallback* NewVolumeCallback(IVolumeNoticeSink* sink) {
    return coreaudio::MakeVolumeNotifyCallback([sink](PAUDIO_VOLUME_NOTIFICATION_DATA data) -> HRESULT {
        if (!data) return E_INVALIDARG;
        if (!sink) return S_OK;
        VolumeNotice n;
        n.context = data->guidEventContext;
        n.master = data->fMasterVolume;
        n.muted = data->bMuted != FALSE;
        n.channelCount = data->nChannels;
        // The record declares room for one channel; the system allocates nChannels of them.
        for (UINT c = 0; c < data->nChannels && c < 2; ++c) n.channels[c] = data->afChannelVolumes[c];
        sink->OnVolumeNotice(n);
        return S_OK;
    });
}

IControlChangeNotify* NewAgcCallback(IVolumeNoticeSink* sink, AgcControl* agc) {
    return coreaudio::MakeControlChangeCallback(agc, [sink, agc](DWORD, LPCGUID) {
        if (!sink) return;
        BOOL on = FALSE;
        agc->GetEnabled(&on);
        sink->OnAutoGainNotice(on != FALSE);
    });
}

class CoreEndpoint final : public IVolumeEndpoint {
public:
    CoreEndpoint(IMMDevice* device, IAudioEndpointVolume* volume, std::wstring name)
        : m_device(device), m_volume(volume), m_name(std::move(name)) {}
    ~CoreEndpoint() override {
        Follow(nullptr);
        SafeRelease(m_agc);
        SafeRelease(m_agcPart);
        SafeRelease(m_volume);
        SafeRelease(m_device);
    }
    std::wstring Name() override { return m_name; }
    bool GetMaster(float* level) override { return SUCCEEDED(m_volume->GetMasterVolumeLevelScalar(level)); }
    bool SetMaster(float level, const GUID* context) override {
        return SUCCEEDED(m_volume->SetMasterVolumeLevelScalar(level, context));
    }
    bool GetChannel(unsigned channel, float* level) override {
        return SUCCEEDED(m_volume->GetChannelVolumeLevelScalar(channel, level));
    }
    bool SetChannel(unsigned channel, float level, const GUID* context) override {
        return SUCCEEDED(m_volume->SetChannelVolumeLevelScalar(channel, level, context));
    }
    bool GetMute(bool* muted) override {
        BOOL m = FALSE;
        if (FAILED(m_volume->GetMute(&m))) return false;
        *muted = m != FALSE;
        return true;
    }
    bool SetMute(bool muted, const GUID* context) override { return SUCCEEDED(m_volume->SetMute(muted, context)); }
    bool HasAutoGain() override { FindAgc(); return m_agc != nullptr; }
    bool GetAutoGain(bool* on) override {
        FindAgc();
        BOOL v = FALSE;
        if (!m_agc || FAILED(m_agc->GetEnabled(&v))) return false;
        *on = v != FALSE;
        return true;
    }
    bool SetAutoGain(bool on) override {
        FindAgc();
        return m_agc && SUCCEEDED(m_agc->SetEnabled(on, nullptr));
    }
    bool Follow(IVolumeNoticeSink* sink) override {
        if (m_agcCallback) {
            if (m_agcPart) m_agcPart->UnregisterControlChangeCallback(m_agcCallback);
            SafeRelease(m_agcCallback);
        }
        if (m_callback) {
            m_volume->UnregisterControlChangeNotify(m_callback);
            SafeRelease(m_callback);
        }
        if (!sink) return true;
        m_callback = NewVolumeCallback(sink);
        if (FAILED(m_volume->RegisterControlChangeNotify(m_callback))) {
            SafeRelease(m_callback);
            return false;
        }
        FindAgc();
        if (m_agc && m_agcPart) {
            m_agcCallback = NewAgcCallback(sink, m_agc);
            if (FAILED(m_agcPart->RegisterControlChangeCallback(coreaudio::kIidAutoGainControl, m_agcCallback)))
                SafeRelease(m_agcCallback);
        }
        return true;
    }

private:
    // The automatic gain control of the capture path: from the part the endpoint's connector leads
    // to, walk outward through the subunits; the last part that has the control wins. The walk is
    // bounded and ends at a connector or where a part's type cannot be read.
    void FindAgc() {
        if (m_agcSearched) return;
        m_agcSearched = true;
        IPart* part = coreaudio::ConnectedPart(m_device, CLSCTX_ALL);
        for (int step = 0; part && step < 64; ++step) {
            IPartsList* list = nullptr;
            IPart* next = nullptr;
            if (FAILED(part->EnumPartsOutgoing(&list)) || !list || FAILED(list->GetPart(0, &next)) || !next) {
                SafeRelease(list);
                break;
            }
            SafeRelease(list);
            if (AgcControl* agc = coreaudio::ActivateAutoGain(next, CLSCTX_ALL)) {
                SafeRelease(m_agc);
                SafeRelease(m_agcPart);
                m_agc = agc;
                m_agcPart = next;
                m_agcPart->AddRef();
            }
            PartType type = Connector;
            const bool typed = SUCCEEDED(next->GetPartType(&type));
            SafeRelease(part);
            part = next;
            if (!typed || type != Subunit) break;
        }
        SafeRelease(part);
    }

    IMMDevice* m_device;
    IAudioEndpointVolume* m_volume;
    std::wstring m_name;
    IAudioEndpointVolumeCallback* m_callback = nullptr;
    bool m_agcSearched = false;
    AgcControl* m_agc = nullptr;
    IPart* m_agcPart = nullptr;
    IControlChangeNotify* m_agcCallback = nullptr;
};

class CoreEndpoints final : public IVolumeEndpoints {
public:
    std::unique_ptr<IVolumeEndpoint> Find(VolumeFlow flow, const std::wstring& part) override {
        std::wstring name;
        IMMDevice* device = coreaudio::FindActiveEndpoint(flow == VolumeFlow::Render ? eRender : eCapture, part, &name);
        if (!device) return nullptr;
        // The first match decides: its volume interface is the answer, failing or not.
        IAudioEndpointVolume* volume = coreaudio::ActivateEndpointVolume(device);
        if (!volume) {
            device->Release();
            return nullptr;
        }
        return std::make_unique<CoreEndpoint>(device, volume, name);
    }
};

// The shared seam's endpoints: master, mute and automatic gain; no channels. A handle of the
// shared seam stops its endpoint's callbacks when it goes away, so one handle per endpoint is kept
// and shared by every lookup that finds the same endpoint again.
class AdaptedEndpoint final : public IVolumeEndpoint, private vt::win::IAudioEndpointListener {
public:
    explicit AdaptedEndpoint(std::shared_ptr<vt::win::IAudioEndpoint> e) : m_e(std::move(e)) {}
    ~AdaptedEndpoint() override { Follow(nullptr); }
    std::wstring Name() override { return m_e->Name(); }
    bool GetMaster(float* level) override { return m_e->GetVolume(level); }
    bool SetMaster(float level, const GUID*) override { return m_e->SetVolume(level); }
    bool GetChannel(unsigned, float*) override { return false; }
    bool SetChannel(unsigned, float, const GUID*) override { return false; }
    bool GetMute(bool* muted) override { return m_e->GetMute(muted); }
    bool SetMute(bool muted, const GUID*) override { return m_e->SetMute(muted); }
    bool HasAutoGain() override {
        bool on = false;
        return m_e->GetAutoGain(&on);
    }
    bool GetAutoGain(bool* on) override { return m_e->GetAutoGain(on); }
    bool SetAutoGain(bool on) override { return m_e->SetAutoGain(on); }
    bool Follow(IVolumeNoticeSink* sink) override {
        if (!sink) {
            if (m_following) m_e->Listen(nullptr);
            m_following = false;
            m_sink.store(nullptr);
            return true;
        }
        m_sink.store(sink);
        m_following = m_e->Listen(this);
        return m_following;
    }

private:
    void OnVolumeChanged(float level, bool muted) override {
        if (IVolumeNoticeSink* s = m_sink.load()) {
            VolumeNotice n;
            n.master = level;
            n.muted = muted;
            s->OnVolumeNotice(n);
        }
    }
    void OnAutoGainChanged(bool on) override {
        if (IVolumeNoticeSink* s = m_sink.load()) s->OnAutoGainNotice(on);
    }
    std::shared_ptr<vt::win::IAudioEndpoint> m_e;
    std::atomic<IVolumeNoticeSink*> m_sink{nullptr};
    bool m_following = false;
};

class AdaptedEndpoints final : public IVolumeEndpoints {
public:
    explicit AdaptedEndpoints(std::shared_ptr<vt::win::IAudioEndpoints> e) : m_e(std::move(e)) {}
    std::unique_ptr<IVolumeEndpoint> Find(VolumeFlow flow, const std::wstring& part) override {
        if (!m_e) return nullptr;
        const auto f = flow == VolumeFlow::Render ? vt::win::AudioFlow::Render : vt::win::AudioFlow::Capture;
        std::wstring name;
        for (const auto& n : m_e->Names(f))
            if (n.find(part) != std::wstring::npos) { name = n; break; }
        if (name.empty()) return nullptr;
        std::lock_guard g(m_lock);
        auto& kept = m_kept[int(flow)];
        if (!kept || kept->Name() != name) {
            std::shared_ptr<vt::win::IAudioEndpoint> fresh(m_e->Find(f, part).release());
            if (!fresh) return nullptr;
            kept = fresh;
        }
        return std::make_unique<AdaptedEndpoint>(kept);
    }
private:
    std::shared_ptr<vt::win::IAudioEndpoints> m_e;
    std::mutex m_lock;
    std::shared_ptr<vt::win::IAudioEndpoint> m_kept[2];
};

std::mutex g_lock;
std::shared_ptr<IVolumeEndpoints> g_endpoints;

} // namespace

std::shared_ptr<IVolumeEndpoints> MakeCoreVolumeEndpoints() { return std::make_shared<CoreEndpoints>(); }

std::shared_ptr<IVolumeEndpoints> AdaptAudioEndpoints(std::shared_ptr<vt::win::IAudioEndpoints> endpoints) {
    return std::make_shared<AdaptedEndpoints>(std::move(endpoints));
}

std::shared_ptr<IVolumeEndpoints> CurrentVolumeEndpoints() {
    std::lock_guard g(g_lock);
    if (!g_endpoints) g_endpoints = MakeCoreVolumeEndpoints();
    return g_endpoints;
}

void SetVolumeEndpoints(std::shared_ptr<IVolumeEndpoints> endpoints) {
    std::lock_guard g(g_lock);
    g_endpoints = std::move(endpoints);
}

IAudioEndpointVolumeCallback* MakeVolumeCallback(IVolumeNoticeSink* sink) { return NewVolumeCallback(sink); }

} // namespace vt::device
