// Core-audio interop shared by the endpoint seams.
#include "win/CoreAudio.h"

#include <initguid.h>
#include <functiondiscoverykeys_devpkey.h>

#include <atomic>
#include <utility>

namespace vt::win::coreaudio {
namespace {

class VolumeNotifyCallback final : public IAudioEndpointVolumeCallback {
public:
    explicit VolumeNotifyCallback(VolumeNotifyHandler handler) : m_handler(std::move(handler)) {}
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
    STDMETHODIMP OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override { return m_handler(data); }
private:
    std::atomic<ULONG> m_refs{1};
    VolumeNotifyHandler m_handler;
};

class ControlChangeCallback final : public IControlChangeNotify {
public:
    ControlChangeCallback(IUnknown* control, ControlChangeHandler handler)
        : m_control(control), m_handler(std::move(handler)) {
        if (m_control) m_control->AddRef();
    }
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
            SafeRelease(m_control);
            delete this;
        }
        return r;
    }
    STDMETHODIMP OnNotify(DWORD processId, LPCGUID context) override {
        m_handler(processId, context);
        return S_OK;
    }
private:
    std::atomic<ULONG> m_refs{1};
    IUnknown* m_control;
    ControlChangeHandler m_handler;
};

} // namespace

IAudioEndpointVolumeCallback* MakeVolumeNotifyCallback(VolumeNotifyHandler handler) {
    return new VolumeNotifyCallback(std::move(handler));
}

IControlChangeNotify* MakeControlChangeCallback(IUnknown* control, ControlChangeHandler handler) {
    return new ControlChangeCallback(control, std::move(handler));
}

void ForEachActiveEndpoint(EDataFlow flow, const EndpointVisit& visit) {
    IMMDeviceEnumerator* enumerator = nullptr;
    IMMDeviceCollection* devices = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator))))
        return;
    UINT count = 0;
    if (SUCCEEDED(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &devices)) &&
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

IMMDevice* FindActiveEndpoint(EDataFlow flow, const std::wstring& part, std::wstring* name) {
    IMMDevice* found = nullptr;
    ForEachActiveEndpoint(flow, [&](IMMDevice* device, const std::wstring& n) {
        if (n.find(part) == std::wstring::npos) return false;
        found = device;
        found->AddRef();
        if (name) *name = n;
        return true;
    });
    return found;
}

IAudioEndpointVolume* ActivateEndpointVolume(IMMDevice* device) {
    IAudioEndpointVolume* volume = nullptr;
    if (FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                reinterpret_cast<void**>(&volume))))
        SafeRelease(volume);
    return volume;
}

IPart* ConnectedPart(IMMDevice* device, DWORD context) {
    IDeviceTopology* topology = nullptr;
    IConnector* connector = nullptr;
    IConnector* other = nullptr;
    IPart* part = nullptr;
    if (SUCCEEDED(device->Activate(__uuidof(IDeviceTopology), context, nullptr, reinterpret_cast<void**>(&topology))) &&
        SUCCEEDED(topology->GetConnector(0, &connector)) && SUCCEEDED(connector->GetConnectedTo(&other)) &&
        FAILED(other->QueryInterface(__uuidof(IPart), reinterpret_cast<void**>(&part))))
        SafeRelease(part);
    SafeRelease(other);
    SafeRelease(connector);
    SafeRelease(topology);
    return part;
}

AutoGainControl* ActivateAutoGain(IPart* part, DWORD context) {
    AutoGainControl* agc = nullptr;
    if (FAILED(part->Activate(context, kIidAutoGainControl, reinterpret_cast<void**>(&agc)))) SafeRelease(agc);
    return agc;
}

} // namespace vt::win::coreaudio
