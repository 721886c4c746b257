#pragma once
// A small in-process stand-in for the engine's manager and devices: a scripted device list,
// counts of live objects and of manager creations, and the thread of each creation.
#include "device/EngineConnection.h"
#include "VtEngine.h"
#include <windows.h>
#include <atomic>
#include <mutex>
#include <vector>

namespace vt::test {

struct FakeDeviceSetup {
    ULONG productId = 0;
    bool infoFails = false;
    VtVersion firmware{1, 5};
    VtVersion driver{2, 10};
};

struct FakeEngineState {
    std::vector<FakeDeviceSetup> devices;
    std::atomic<long> liveObjects{0};
    std::atomic<long> managersCreated{0};
    std::atomic<long> pathsHandedOut{0};
    std::atomic<HRESULT> createResult{S_OK};
    std::mutex lock;
    std::vector<DWORD> creatorThreads;
};

template <class I>
class FakeObject : public I {
public:
    explicit FakeObject(FakeEngineState* s) : m_state(s) { ++m_state->liveObjects; }
    virtual ~FakeObject() { --m_state->liveObjects; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(I))) {
            *ppv = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        long n = --m_refs;
        if (n == 0) delete this;
        return ULONG(n);
    }
protected:
    FakeEngineState* m_state;
    std::atomic<long> m_refs{1};
};

class FakeDevice : public FakeObject<IVtDevice> {
public:
    FakeDevice(FakeEngineState* s, FakeDeviceSetup setup) : FakeObject(s), m_setup(setup) {}
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(VtDeviceInfo* info) override {
        if (!info) return E_POINTER;
        if (m_setup.infoFails) return E_FAIL;
        info->VendorId = VT_VENDOR_ID;
        info->ProductId = m_setup.productId;
        info->DriverVersion = m_setup.driver;
        info->FirmwareVersion = m_setup.firmware;
        const wchar_t path[] = L"\\\\?\\hid#vid_2f3d&pid_0019#fake";
        info->DevicePath = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(path)));
        memcpy(info->DevicePath, path, sizeof(path));
        ++m_state->pathsHandedOut;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateInterfaceInstance(REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return E_NOINTERFACE;
    }
private:
    FakeDeviceSetup m_setup;
};

class FakeManager : public FakeObject<IVtDeviceMgr> {
public:
    using FakeObject::FakeObject;
    HRESULT STDMETHODCALLTYPE EnumDevices(ULONG index, IVtDevice** device) override {
        if (!device) return E_POINTER;
        *device = nullptr;
        if (index >= m_state->devices.size()) return E_FAIL;
        *device = new FakeDevice(m_state, m_state->devices[index]);
        return S_OK;
    }
};

// Installs the fake as the engine factory for the life of the object.
class FakeEngine {
public:
    FakeEngine() {
        vt::device::SetEngineFactory([this](IVtDeviceMgr** out) -> HRESULT {
            ++state.managersCreated;
            {
                std::lock_guard<std::mutex> g(state.lock);
                state.creatorThreads.push_back(GetCurrentThreadId());
            }
            if (FAILED(state.createResult.load())) return state.createResult.load();
            *out = new FakeManager(&state);
            return S_OK;
        });
    }
    ~FakeEngine() { vt::device::SetEngineFactory({}); }
    FakeEngineState state;
};

} // namespace vt::test
