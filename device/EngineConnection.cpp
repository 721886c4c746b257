#include "device/EngineConnection.h"
#include <cstdio>
#include <mutex>

namespace vt::device {

namespace {
std::mutex g_factoryLock;
EngineFactory& Factory() {
    static EngineFactory factory;
    return factory;
}

// Engine class context: in-process server, in-process handler, local server, remote server.
constexpr DWORD kEngineClassContext = 23;

std::wstring FormatVersion(const VtVersion& v) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%d.%02d", int(v.Major), int(v.Minor));
    return text;
}

enum class Which { Firmware, Driver };
bool ReadVersion(IVtDevice* device, Which which, std::wstring& text) {
    text = L"0.00";
    if (!device) return false;
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

bool EngineConnection::Connect(uint32_t productId) {
    if (productId == 0) return false;
    if (m_device || m_manager) return false;  // already open: leave it as it is
    vt::win::ComPtr<IVtDeviceMgr> manager;
    if (FAILED(CreateEngineManager(manager.Put())) || !manager) return false;
    for (ULONG index = 0;; ++index) {
        vt::win::ComPtr<IVtDevice> device;
        if (FAILED(manager->EnumDevices(index, device.Put())) || !device) break;
        VtDeviceInfo info{};
        HRESULT hr = device->GetDeviceInfo(&info);
        if (info.DevicePath) CoTaskMemFree(info.DevicePath);
        if (FAILED(hr)) continue;
        if (info.ProductId == productId) {
            m_manager = std::move(manager);
            m_device = std::move(device);
            return true;
        }
    }
    return false;
}

void EngineConnection::Disconnect() {
    m_device.Reset();
    m_manager.Reset();
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
