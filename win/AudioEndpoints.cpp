// Core-audio implementation of the endpoint seam (Windows 6 and later).
#include "win/AudioEndpoints.h"

#include <initguid.h>
#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <devicetopology.h>
#include <functiondiscoverykeys_devpkey.h>

#include <atomic>
#include <mutex>

namespace vt::win {
namespace {

// The automatic gain control as the platform declares it (the cross headers name its two methods
// differently): slot 3 GetEnabled(BOOL*), slot 4 SetEnabled(BOOL, LPCGUID).
struct DECLSPEC_UUID("85401fd4-6de4-4b9d-9869-2d6753a82f3c") AutoGainControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) = 0;
};
const IID kIidAutoGainControl = {0x85401fd4, 0x6de4, 0x4b9d, {0x98, 0x69, 0x2d, 0x67, 0x53, 0xa8, 0x2f, 0x3c}};
const IID kIidControlChangeNotify = {0xa09513ed, 0xc709, 0x4d21, {0xbd, 0x7b, 0x5f, 0x34, 0xc4, 0x7f, 0x39, 0x47}};

template <class T>
void SafeRelease(T*& p) {
    if (p) { p->Release(); p = nullptr; }
}

// Receives the endpoint's volume notifications and hands them to the listener.
class VolumeCallback final : public IAudioEndpointVolumeCallback {
public:
    explicit VolumeCallback(IAudioEndpointListener* l) : m_listener(l) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == __uuidof(IAudioEndpointVolumeCallback)) {
            *ppv = static_cast<IAudioEndpointVolumeCallback*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG r = --m_refs;
        if (!r) delete this;
        return r;
    }
    STDMETHODIMP OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override {
        if (data) m_listener->OnVolumeChanged(data->fMasterVolume, data->bMuted != FALSE);
        return S_OK;
    }
private:
    std::atomic<ULONG> m_refs{1};
    IAudioEndpointListener* m_listener;
};

// Receives change notices of the automatic gain control and hands its new state to the listener.
class AutoGainCallback final : public IControlChangeNotify {
public:
    AutoGainCallback(IAudioEndpointListener* l, AutoGainControl* agc) : m_listener(l), m_agc(agc) { m_agc->AddRef(); }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == kIidControlChangeNotify) {
            *ppv = static_cast<IControlChangeNotify*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG r = --m_refs;
        if (!r) {
            m_agc->Release();
            delete this;
        }
        return r;
    }
    STDMETHODIMP OnNotify(DWORD, LPCGUID) override {
        BOOL on = FALSE;
        const HRESULT hr = m_agc->GetEnabled(&on);
        if (SUCCEEDED(hr)) {
            const bool enabled = on != FALSE;
            m_listener->OnAutoGainChanged(enabled);
        }
        return S_OK;
    }
private:
    std::atomic<ULONG> m_refs{1};
    IAudioEndpointListener* m_listener;
    AutoGainControl* m_agc;
};

class CoreAudioEndpoint : public IAudioEndpoint {
public:
    CoreAudioEndpoint(IMMDevice* device, std::wstring name) : m_device(device), m_name(std::move(name)) {
        m_device->AddRef();
        m_device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                           reinterpret_cast<void**>(&m_volume));
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
        m_callback = new VolumeCallback(listener);
        if (FAILED(m_volume->RegisterControlChangeNotify(m_callback))) {
            SafeRelease(m_callback);
            return false;
        }
        // The automatic gain control is followed where the endpoint has one.
        if (AutoGainControl* agc = AutoGain(&m_agcPart)) {
            m_agcCallback = new AutoGainCallback(listener, agc);
            if (FAILED(m_agcPart->RegisterControlChangeCallback(kIidAutoGainControl, m_agcCallback)))
                SafeRelease(m_agcCallback);
            agc->Release();
        }
        return true;
    }

private:
    // The automatic gain control sits on the part the endpoint's connector leads to.
    AutoGainControl* AutoGain(IPart** partOut = nullptr) {
        IDeviceTopology* topology = nullptr;
        IConnector* connector = nullptr;
        IConnector* other = nullptr;
        IPart* part = nullptr;
        AutoGainControl* agc = nullptr;
        if (SUCCEEDED(m_device->Activate(__uuidof(IDeviceTopology), CLSCTX_INPROC_SERVER, nullptr,
                                         reinterpret_cast<void**>(&topology))) &&
            SUCCEEDED(topology->GetConnector(0, &connector)) && SUCCEEDED(connector->GetConnectedTo(&other)) &&
            SUCCEEDED(other->QueryInterface(__uuidof(IPart), reinterpret_cast<void**>(&part)))) {
            part->Activate(CLSCTX_INPROC_SERVER, kIidAutoGainControl, reinterpret_cast<void**>(&agc));
        }
        if (partOut && agc) {
            *partOut = part;
            part = nullptr;
        }
        SafeRelease(part);
        SafeRelease(other);
        SafeRelease(connector);
        SafeRelease(topology);
        return agc;
    }

    IMMDevice* m_device = nullptr;
    IAudioEndpointVolume* m_volume = nullptr;
    VolumeCallback* m_callback = nullptr;
    IPart* m_agcPart = nullptr;
    AutoGainCallback* m_agcCallback = nullptr;
    std::wstring m_name;
};

class CoreAudioEndpoints : public IAudioEndpoints {
public:
    std::vector<std::wstring> Names(AudioFlow flow) override {
        std::vector<std::wstring> names;
        Walk(flow, [&](IMMDevice*, const std::wstring& name) { names.push_back(name); return false; });
        return names;
    }
    std::unique_ptr<IAudioEndpoint> Find(AudioFlow flow, const std::wstring& part) override {
        std::unique_ptr<IAudioEndpoint> found;
        Walk(flow, [&](IMMDevice* device, const std::wstring& name) {
            if (name.find(part) == std::wstring::npos) return false;
            found = std::make_unique<CoreAudioEndpoint>(device, name);
            return true;
        });
        return found;
    }

private:
    template <class F>
    void Walk(AudioFlow flow, F&& visit) {
        IMMDeviceEnumerator* enumerator = nullptr;
        IMMDeviceCollection* devices = nullptr;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator))))
            return;
        UINT count = 0;
        if (SUCCEEDED(enumerator->EnumAudioEndpoints(flow == AudioFlow::Render ? eRender : eCapture,
                                                     DEVICE_STATE_ACTIVE, &devices)) &&
            SUCCEEDED(devices->GetCount(&count))) {
            for (UINT i = 0; i < count; ++i) {
                IMMDevice* device = nullptr;
                IPropertyStore* props = nullptr;
                bool stop = false;
                if (SUCCEEDED(devices->Item(i, &device)) && SUCCEEDED(device->OpenPropertyStore(STGM_READ, &props))) {
                    PROPVARIANT v;
                    PropVariantInit(&v);
                    if (SUCCEEDED(props->GetValue(PKEY_Device_FriendlyName, &v)) && v.vt == VT_LPWSTR && v.pwszVal)
                        stop = visit(device, std::wstring(v.pwszVal));
                    PropVariantClear(&v);
                }
                SafeRelease(props);
                SafeRelease(device);
                if (stop) break;
            }
        }
        SafeRelease(devices);
        SafeRelease(enumerator);
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
