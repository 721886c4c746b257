// Core-audio implementation of the endpoint seam (Windows 6 and later).
#include "win/AudioEndpoints.h"

#include "win/CoreAudio.h"

#include <mutex>

namespace vt::win {
namespace {

using coreaudio::AutoGainControl;
using coreaudio::SafeRelease;

EDataFlow Flow(AudioFlow flow) { return flow == AudioFlow::Render ? eRender : eCapture; }

// Receives the endpoint's volume notifications and hands them to the listener.
IAudioEndpointVolumeCallback* MakeVolumeCallback(IAudioEndpointListener* listener) {
    return coreaudio::MakeVolumeNotifyCallback([listener](PAUDIO_VOLUME_NOTIFICATION_DATA data) {
        if (data) listener->OnVolumeChanged(data->fMasterVolume, data->bMuted != FALSE);
        return S_OK;
    });
}

// Receives change notices of the automatic gain control and hands its new state to the listener.
IControlChangeNotify* MakeAutoGainCallback(IAudioEndpointListener* listener, AutoGainControl* agc) {
    return coreaudio::MakeControlChangeCallback(agc, [listener, agc](DWORD, LPCGUID) {
        BOOL on = FALSE;
        if (SUCCEEDED(agc->GetEnabled(&on))) listener->OnAutoGainChanged(on != FALSE);
    });
}

class CoreAudioEndpoint : public IAudioEndpoint {
public:
    CoreAudioEndpoint(IMMDevice* device, std::wstring name) : m_device(device), m_name(std::move(name)) {
        m_device->AddRef();
        m_volume = coreaudio::ActivateEndpointVolume(m_device);
    }
    ~CoreAudioEndpoint() override {
        Listen(nullptr);
        SafeRelease(m_volume);
        SafeRelease(m_device);
    }
    std::wstring Name() override { return m_name; }
    bool GetVolume(float* level) override { return m_volume && SUCCEEDED(m_volume->GetMasterVolumeLevelScalar(level)); }
    bool SetVolume(float level) override { return m_volume && SUCCEEDED(m_volume->SetMasterVolumeLevelScalar(level, nullptr)); }
    bool GetMute(bool* muted) override {
        BOOL m = FALSE;
        if (!m_volume || FAILED(m_volume->GetMute(&m))) return false;
        *muted = m != FALSE;
        return true;
    }
    bool SetMute(bool muted) override { return m_volume && SUCCEEDED(m_volume->SetMute(muted, nullptr)); }
    bool GetAutoGain(bool* on) override {
        AutoGainControl* agc = AutoGain();
        BOOL v = FALSE;
        const bool ok = agc && SUCCEEDED(agc->GetEnabled(&v));
        SafeRelease(agc);
        if (ok) *on = v != FALSE;
        return ok;
    }
    bool SetAutoGain(bool on) override {
        AutoGainControl* agc = AutoGain();
        const bool ok = agc && SUCCEEDED(agc->SetEnabled(on, nullptr));
        SafeRelease(agc);
        return ok;
    }
    bool Listen(IAudioEndpointListener* listener) override {
        if (m_callback) {
            if (m_volume) m_volume->UnregisterControlChangeNotify(m_callback);
            SafeRelease(m_callback);
        }
        if (m_agcCallback) {
            if (m_agcPart) m_agcPart->UnregisterControlChangeCallback(m_agcCallback);
            SafeRelease(m_agcCallback);
        }
        SafeRelease(m_agcPart);
        if (!listener || !m_volume) return listener == nullptr;
        m_callback = MakeVolumeCallback(listener);
        if (FAILED(m_volume->RegisterControlChangeNotify(m_callback))) {
            SafeRelease(m_callback);
            return false;
        }
        // The automatic gain control is followed where the endpoint has one.
        if (AutoGainControl* agc = AutoGain(&m_agcPart)) {
            m_agcCallback = MakeAutoGainCallback(listener, agc);
            if (FAILED(m_agcPart->RegisterControlChangeCallback(coreaudio::kIidAutoGainControl, m_agcCallback)))
                SafeRelease(m_agcCallback);
            agc->Release();
        }
        return true;
    }

private:
    // The automatic gain control sits on the part the endpoint's connector leads to.
    AutoGainControl* AutoGain(IPart** partOut = nullptr) {
        IPart* part = coreaudio::ConnectedPart(m_device, CLSCTX_INPROC_SERVER);
        AutoGainControl* agc = part ? coreaudio::ActivateAutoGain(part, CLSCTX_INPROC_SERVER) : nullptr;
        if (partOut && agc) {
            *partOut = part;
            part = nullptr;
        }
        SafeRelease(part);
        return agc;
    }

    IMMDevice* m_device = nullptr;
    IAudioEndpointVolume* m_volume = nullptr;
    IAudioEndpointVolumeCallback* m_callback = nullptr;
    IPart* m_agcPart = nullptr;
    IControlChangeNotify* m_agcCallback = nullptr;
    std::wstring m_name;
};

class CoreAudioEndpoints : public IAudioEndpoints {
public:
    std::vector<std::wstring> Names(AudioFlow flow) override {
        std::vector<std::wstring> names;
        coreaudio::ForEachActiveEndpoint(Flow(flow), [&](IMMDevice*, const std::wstring& name) {
            names.push_back(name);
            return false;
        });
        return names;
    }
    std::unique_ptr<IAudioEndpoint> Find(AudioFlow flow, const std::wstring& part) override {
        std::wstring name;
        IMMDevice* device = coreaudio::FindActiveEndpoint(Flow(flow), part, &name);
        if (!device) return nullptr;
        auto found = std::make_unique<CoreAudioEndpoint>(device, name);
        device->Release();
        return found;
    }
};

std::mutex g_lock;
std::shared_ptr<IAudioEndpoints> g_endpoints;

} // namespace

std::shared_ptr<IAudioEndpoints> MakeCoreAudioEndpoints() { return std::make_shared<CoreAudioEndpoints>(); }

std::shared_ptr<IAudioEndpoints> CurrentAudioEndpoints() {
    std::lock_guard g(g_lock);
    if (!g_endpoints) g_endpoints = MakeCoreAudioEndpoints();
    return g_endpoints;
}

void SetAudioEndpoints(std::shared_ptr<IAudioEndpoints> endpoints) {
    std::lock_guard g(g_lock);
    g_endpoints = std::move(endpoints);
}

} // namespace vt::win
