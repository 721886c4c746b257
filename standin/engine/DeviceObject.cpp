#include "DeviceObject.h"
#include "Collection.h"
#include "HeadsetSync.h"
#include "KeyboardFeatures.h"
#include "Launcher.h"
#include "Macros.h"
#include "MouseFeatures.h"
#include "Profiles.h"

namespace vt::engine {
namespace {

const std::vector<FeatureRow<uint32_t>>& DeviceFeatures() {
    constexpr unsigned mouse = 1u << Mouse, keyboard = 1u << Keyboard, headset = 1u << Headset;
    static const std::vector<FeatureRow<uint32_t>> rows = {
        {&IID_IVtProfileManager, kAllKinds, CreateProfileManager},
        {&IID_IVtEntryCollection, kAllKinds, CreateCollection},
        {&IID_IVtKeyEntries, kAllKinds, CreateCollection},
        {&IID_IVtRateList, mouse, CreateRateList},
        {&IID_IVtAcceleration, mouse, CreateAcceleration},
        {&IID_IVtMacroStore, mouse | keyboard, CreateMacroStore},
        {&IID_IVtAppLauncher, mouse | keyboard, CreateLauncher},
        {&IID_IVtKeyboardMode, keyboard, CreateKeyboardMode},
        {&IID_IVtMacroRecorder, keyboard, CreateRecorder},
        {&IID_IVtSync, headset, CreateHeadsetSync},
    };
    return rows;
}

class DeviceObj : public ComObject<IVtDevice, IVtDeviceIdentity, IVtKeyboardInfo> {
public:
    DeviceObj(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(VtDeviceInfo* info) override {
        ENTER("IVtDevice.GetDeviceInfo", L"");
        if (!info) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            if (d.infoFails) return E_FAIL;
            ULONG cch;
            WCHAR* p;
            if (FAILED(CoString(DevicePath(d), &cch, &p))) return E_OUTOFMEMORY;
            info->VendorId = d.vendor;
            info->ProductId = d.pid;
            info->DriverVersion = d.driver;
            info->FirmwareVersion = d.firmware;
            info->DevicePath = p;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateInterfaceInstance(REFIID riid, void** ppv) override {
        ENTER("IVtDevice.CreateInterfaceInstance", G(riid));
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        return CreateFeature(DeviceFeatures(), KindOf(m_pid), m_e, riid, ppv, m_pid);
    }
    HRESULT STDMETHODCALLTYPE GetIds(ULONG* productId, ULONG* vendorId) override {
        ENTER("IVtDeviceIdentity.GetIds", L"");
        if (!productId || !vendorId) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) {
            *productId = d.pid;
            *vendorId = d.vendor;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLayout(ULONG* layout) override {
        ENTER("IVtKeyboardInfo.GetLayout", L"");
        if (!layout) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *layout = d.layout; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IVtKeyboardInfo && m_pid != VT_PID_KEYBOARD) {
            if (ppv) *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return ComObject::QueryInterface(riid, ppv);
    }
private:
    uint32_t m_pid;
};

}  // namespace

IVtDevice* NewDeviceObject(const EnginePtr& e, uint32_t pid) { return new DeviceObj(e, pid); }

}  // namespace vt::engine
