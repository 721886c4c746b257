// Core-audio endpoints with channel levels and event contexts, and the adapter over the shared
// endpoint seam.
#include "device/VolumeEndpoints.h"

#include <initguid.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <devicetopology.h>
#include <functiondiscoverykeys_devpkey.h>

#include <atomic>
#include <mutex>

namespace vt::device {
namespace {

// The automatic gain control as the platform declares it: slot 3 GetEnabled(BOOL*), slot 4
// SetEnabled(BOOL, LPCGUID).
struct DECLSPEC_UUID("85401fd4-6de4-4b9d-9869-2d6753a82f3c") AgcControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) = 0;
};
const IID kIidAgc = {0x85401fd4, 0x6de4, 0x4b9d, {0x98, 0x69, 0x2d, 0x67, 0x53, 0xa8, 0x2f, 0x3c}};
const IID kIidControlChangeNotify = {0xa09513ed, 0xc709, 0x4d21, {0xbd, 0x7b, 0x5f, 0x34, 0xc4, 0x7f, 0x39, 0x47}};

template <class T>
void SafeRelease(T*& p) {
    if (p) { p->Release(); p = nullptr; }
}

class VolumeCallback final : public IAudioEndpointVolumeCallback {
public:
    explicit VolumeCallback(IVolumeNoticeSink* sink) : m_sink(sink) {}
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
        if (!data) return E_INVALIDARG;
        if (!m_sink) return S_OK;
        VolumeNotice n;
        n.context = data->guidEventContext;
        n.master = data->fMasterVolume;
        n.muted = data->bMuted != FALSE;
        n.channelCount = data->nChannels;
        // The record declares room for one channel; the system allocates nChannels of them.
        for (UINT c = 0; c < data->nChannels && c < 2; ++c) n.channels[c] = data->afChannelVolumes[c];
        m_sink->OnVolumeNotice(n);
        return S_OK;
    }
private:
    std::atomic<ULONG> m_refs{1};
    IVolumeNoticeSink* m_sink;
};

class AgcCallback final : public IControlChangeNotify {
public:
    AgcCallback(IVolumeNoticeSink* sink, AgcControl* agc) : m_sink(sink), m_agc(agc) { m_agc->AddRef(); }
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
        if (!m_sink) return S_OK;
        BOOL on = FALSE;
        m_agc->GetEnabled(&on);
        m_sink->OnAutoGainNotice(on != FALSE);
        return S_OK;
    }
private:
    std::atomic<ULONG> m_refs{1};
    IVolumeNoticeSink* m_sink;
    AgcControl* m_agc;
};

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
        m_callback = new VolumeCallback(sink);
        if (FAILED(m_volume->RegisterControlChangeNotify(m_callback))) {
            SafeRelease(m_callback);
            return false;
        }
        FindAgc();
        if (m_agc && m_agcPart) {
            m_agcCallback = new AgcCallback(sink, m_agc);
            if (FAILED(m_agcPart->RegisterControlChangeCallback(kIidAgc, m_agcCallback))) SafeRelease(m_agcCallback);
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
        IDeviceTopology* topology = nullptr;
        IConnector* connector = nullptr;
        IConnector* other = nullptr;
        IPart* part = nullptr;
        if (SUCCEEDED(m_device->Activate(__uuidof(IDeviceTopology), CLSCTX_ALL, nullptr,
                                         reinterpret_cast<void**>(&topology))) &&
            SUCCEEDED(topology->GetConnector(0, &connector)) && SUCCEEDED(connector->GetConnectedTo(&other)) &&
            SUCCEEDED(other->QueryInterface(__uuidof(IPart), reinterpret_cast<void**>(&part)))) {
            for (int step = 0; part && step < 64; ++step) {
                IPartsList* list = nullptr;
                IPart* next = nullptr;
                if (FAILED(part->EnumPartsOutgoing(&list)) || !list || FAILED(list->GetPart(0, &next)) || !next) {
                    SafeRelease(list);
                    break;
                }
                SafeRelease(list);
                AgcControl* agc = nullptr;
                if (SUCCEEDED(next->Activate(CLSCTX_ALL, kIidAgc, reinterpret_cast<void**>(&agc))) && agc) {
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
        }
        SafeRelease(part);
        SafeRelease(other);
        SafeRelease(connector);
        SafeRelease(topology);
    }

    IMMDevice* m_device;
    IAudioEndpointVolume* m_volume;
    std::wstring m_name;
    VolumeCallback* m_callback = nullptr;
    bool m_agcSearched = false;
    AgcControl* m_agc = nullptr;
    IPart* m_agcPart = nullptr;
    AgcCallback* m_agcCallback = nullptr;
};

class CoreEndpoints final : public IVolumeEndpoints {
public:
    std::unique_ptr<IVolumeEndpoint> Find(VolumeFlow flow, const std::wstring& part) override {
        IMMDeviceEnumerator* enumerator = nullptr;
        IMMDeviceCollection* devices = nullptr;
        std::unique_ptr<IVolumeEndpoint> found;
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator))))
            return nullptr;
        UINT count = 0;
        if (SUCCEEDED(enumerator->EnumAudioEndpoints(flow == VolumeFlow::Render ? eRender : eCapture,
                                                     DEVICE_STATE_ACTIVE, &devices)) &&
            SUCCEEDED(devices->GetCount(&count))) {
            for (UINT i = 0; i < count && !found; ++i) {
                IMMDevice* device = nullptr;
                IPropertyStore* props = nullptr;
                std::wstring name;
                bool match = false;
                if (SUCCEEDED(devices->Item(i, &device)) && SUCCEEDED(device->OpenPropertyStore(STGM_READ, &props))) {
                    PROPVARIANT v;
                    PropVariantInit(&v);
                    if (SUCCEEDED(props->GetValue(PKEY_Device_FriendlyName, &v)) && v.vt == VT_LPWSTR && v.pwszVal) {
                        name = v.pwszVal;
                        match = name.find(part) != std::wstring::npos;
                    }
                    PropVariantClear(&v);
                }
                SafeRelease(props);
                if (match) {
                    // The first match decides: its volume interface is the answer, failing or not.
                    IAudioEndpointVolume* volume = nullptr;
                    if (SUCCEEDED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                                   reinterpret_cast<void**>(&volume))) && volume) {
                        found = std::make_unique<CoreEndpoint>(device, volume, name);
                        device = nullptr;
                    }
                    SafeRelease(device);
                    break;
                }
                SafeRelease(device);
            }
        }
        SafeRelease(devices);
        SafeRelease(enumerator);
        return found;
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

IAudioEndpointVolumeCallback* MakeVolumeCallback(IVolumeNoticeSink* sink) { return new VolumeCallback(sink); }

} // namespace vt::device
