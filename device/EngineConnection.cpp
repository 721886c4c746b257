#include "device/EngineConnection.h"
#include "device/EngineBatch.h"
#include "EngineProxies.h"
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace vt::device {

using vt::win::ComPtr;

namespace {
std::mutex g_factoryLock;
EngineFactory& Factory() {
    static EngineFactory factory;
    return factory;
}

// Engine class context: in-process server, in-process handler, local server, remote server.
constexpr DWORD kEngineClassContext = 23;

// What a batch keeps of the engine: its manager, the devices found (with what GetDeviceInfo told
// of them), and the feature objects fetched from devices and profiles.
struct EngineObjects {
    ComPtr<IVtDeviceMgr> manager;
    struct Device {
        uint32_t productId = 0;
        ComPtr<IVtDevice> device;
        VtVersion firmware{}, driver{};
    };
    std::vector<Device> devices;  // every device enumerated so far, in the engine's order
    ULONG nextIndex = 0;
    bool enumerated = false;      // the engine's list has been read to its end
    struct FeatureKey {
        IUnknown* owner;
        GUID iid;
        bool operator<(const FeatureKey& o) const {
            if (owner != o.owner) return owner < o.owner;
            return std::memcmp(&iid, &o.iid, sizeof iid) < 0;
        }
    };
    struct Kept {
        ComPtr<IUnknown> owner;  // keeps the key's pointer from being reused
        ComPtr<IUnknown> object;
    };
    std::map<FeatureKey, Kept> features;

    const Device* FindDevice(IVtDevice* device) const {
        for (const Device& d : devices)
            if (d.device.Get() == device) return &d;
        return nullptr;
    }
};

std::wstring FormatVersion(const VtVersion& v) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%d.%02d", int(v.Major), int(v.Minor));
    return text;
}

enum class Which { Firmware, Driver };
bool ReadVersion(IVtDevice* device, Which which, std::wstring& text) {
    text = L"0.00";
    if (!device) return false;
    // The connection read the versions along with the product id.
    if (EngineObjects* kept = EngineBatch::Store<EngineObjects>()) {
        if (const EngineObjects::Device* d = kept->FindDevice(device)) {
            text = FormatVersion(which == Which::Firmware ? d->firmware : d->driver);
            return true;
        }
    }
    VtDeviceInfo info{};
    HRESULT hr = device->GetDeviceInfo(&info);
    if (info.DevicePath) CoTaskMemFree(info.DevicePath);
    if (FAILED(hr)) return false;
    text = FormatVersion(which == Which::Firmware ? info.FirmwareVersion : info.DriverVersion);
    return true;
}
} // namespace

void SetEngineFactory(EngineFactory factory) {
    std::lock_guard<std::mutex> lock(g_factoryLock);
    Factory() = std::move(factory);
}

HRESULT CreateEngineManager(IVtDeviceMgr** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    EngineFactory factory;
    {
        std::lock_guard<std::mutex> lock(g_factoryLock);
        factory = Factory();
    }
    if (factory) return factory(out);
    return CoCreateInstance(CLSID_VtDeviceEngine, nullptr, kEngineClassContext, IID_IVtDeviceMgr,
                            reinterpret_cast<void**>(out));
}

std::wstring TakeEngineString(WCHAR* text, ULONG cch) {
    std::wstring s;
    if (text) {
        size_t n = 0;
        while (n < cch && text[n]) ++n;  // never past the counted length
        s.assign(text, n);
        CoTaskMemFree(text);
    }
    return s;
}

bool IsEngineLost(HRESULT hr) {
    switch (hr) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case RPC_E_CALL_REJECTED:
    case RPC_E_SERVERCALL_RETRYLATER:
    case RPC_E_SERVERFAULT:
    case CO_E_OBJNOTCONNECTED:
    case CO_E_SERVER_EXEC_FAILURE:
    case CO_E_SERVER_STOPPING:
    case REGDB_E_CLASSNOTREG:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
    case HRESULT_FROM_WIN32(RPC_S_UNKNOWN_IF):
        return true;
    default:
        return false;
    }
}

bool EngineConnection::Connect(uint32_t productId) {
    if (productId == 0) return false;
    if (m_device || m_manager) return false;  // already open: leave it as it is
    // Only without a batch open: a connection kept in the store of the batch it joined would
    // otherwise keep that batch from ever ending, and everything it kept from being released.
    if (!EngineBatch::IsOpen()) m_batch = std::make_unique<EngineBatch>(EngineBatch::Ending::AtOnce);
    EngineObjects* kept = EngineBatch::Store<EngineObjects>();
    auto found = [&]() -> bool {
        for (const EngineObjects::Device& d : kept->devices) {
            if (d.productId != productId) continue;
            m_manager = kept->manager;
            m_device = d.device;
            m_reach = EngineReach::Reached;
            return true;
        }
        return false;
    };
    if (found()) return true;
    if (!kept->manager) {
        // The proxies of every engine object this apartment is handed are made without a
        // registry lookup each.
        vt::UseEngineProxiesInThisApartment();
        HRESULT hr = CreateEngineManager(kept->manager.Put());
        if (FAILED(hr) || !kept->manager) {
            kept->manager.Reset();
            m_reach = EngineReach::EngineUnreachable;
            m_batch.reset();
            return false;
        }
    }
    // The engine's devices are enumerated once per batch: each one seen is kept with its product
    // id and versions, the first of a product id being the one used.
    m_reach = EngineReach::DeviceAbsent;
    while (!kept->enumerated) {
        ComPtr<IVtDevice> device;
        HRESULT hr = kept->manager->EnumDevices(kept->nextIndex, device.Put());
        if (FAILED(hr) || !device) {
            if (IsEngineLost(hr)) {
                m_reach = EngineReach::EngineUnreachable;
                EngineBatch::Drop();
            } else {
                kept->enumerated = true;
            }
            break;
        }
        ++kept->nextIndex;
        VtDeviceInfo info{};
        hr = device->GetDeviceInfo(&info);
        if (info.DevicePath) CoTaskMemFree(info.DevicePath);
        if (FAILED(hr)) {
            if (!IsEngineLost(hr)) continue;
            m_reach = EngineReach::EngineUnreachable;
            EngineBatch::Drop();
            break;
        }
        EngineObjects::Device d;
        d.productId = info.ProductId;
        d.device = device;
        d.firmware = info.FirmwareVersion;
        d.driver = info.DriverVersion;
        kept->devices.push_back(std::move(d));
        if (info.ProductId == productId) break;
    }
    if (m_reach != EngineReach::EngineUnreachable && found()) return true;
    m_batch.reset();
    return false;
}

void EngineConnection::Disconnect() {
    m_device.Reset();
    m_manager.Reset();
    m_batch.reset();
}

bool KeptFeature(IUnknown* owner, REFIID iid, const std::function<HRESULT(void**)>& fetch, void** out) {
    *out = nullptr;
    if (!owner) return false;
    EngineObjects* kept = EngineBatch::Store<EngineObjects>();
    if (kept) {
        auto at = kept->features.find(EngineObjects::FeatureKey{owner, iid});
        if (at != kept->features.end()) {
            at->second.object.Get()->AddRef();
            *out = at->second.object.Get();
            return true;
        }
    }
    IUnknown* got = nullptr;
    HRESULT hr = fetch(reinterpret_cast<void**>(&got));
    if (FAILED(hr) || !got) {
        if (got) got->Release();
        if (IsEngineLost(hr)) EngineBatch::Drop();
        return false;
    }
    if (kept) {
        EngineObjects::Kept k;
        k.owner = ComPtr<IUnknown>(owner);
        k.object = ComPtr<IUnknown>(got);
        kept->features.emplace(EngineObjects::FeatureKey{owner, iid}, std::move(k));
    }
    *out = got;
    return true;
}

EngineReach ProbeDevice(uint32_t productId) {
    if (productId == 0) return EngineReach::DeviceAbsent;
    EngineConnection connection;
    connection.Connect(productId);
    return connection.Reach();
}

bool GetFirmwareVersionText(IVtDevice* device, std::wstring& text) {
    return ReadVersion(device, Which::Firmware, text);
}

bool GetDriverVersionText(IVtDevice* device, std::wstring& text) {
    return ReadVersion(device, Which::Driver, text);
}

bool ReadVersionTexts(IVtDevice* device, std::wstring& firmware, std::wstring& driver) {
    bool a = GetFirmwareVersionText(device, firmware);
    bool b = GetDriverVersionText(device, driver);
    return a && b;
}

} // namespace vt::device
