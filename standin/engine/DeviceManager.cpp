// The device manager (CreateDeviceManager, declared with the engine): the present devices, and
// test control of the engine.
#include "ComObject.h"
#include "DeviceObject.h"

namespace vt::engine {
namespace {

class DeviceMgr : public ComObject<IVtDeviceMgr, IVtSimControl> {
public:
    explicit DeviceMgr(EnginePtr e) : ComObject(std::move(e)) {}
    HRESULT STDMETHODCALLTYPE EnumDevices(ULONG index, IVtDevice** device) override {
        ENTER("IVtDeviceMgr.EnumDevices", U(index));
        if (!device) return E_POINTER;
        *device = nullptr;
        std::vector<uint32_t> list = m_e->EnumList();
        if (index >= list.size()) return E_FAIL;
        *device = NewDeviceObject(m_e, list[index]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPresent(ULONG pid, LONG present) override { return m_e->SetPresent(pid, present != 0); }
    HRESULT STDMETHODCALLTYPE Press(ULONG pid, ULONG code) override { return m_e->Press(pid, code); }
    HRESULT STDMETHODCALLTYPE RecordAction(ULONG action, ULONG code) override { return m_e->RecordAction(action, code); }
    HRESULT STDMETHODCALLTYPE Reset() override { return m_e->Reset(); }
    HRESULT STDMETHODCALLTYPE FailCall(LPCWSTR method, ULONG nth, HRESULT hr) override {
        return method ? m_e->FailCall(method, nth, hr) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE DelayCall(LPCWSTR method, ULONG ms) override {
        return method ? m_e->DelayCall(method, ms) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE Dump(BSTR* json) override {
        if (!json) return E_POINTER;
        std::string s = m_e->Dump();
        int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
        *json = SysAllocStringLen(nullptr, UINT(n));
        if (!*json) return E_OUTOFMEMORY;
        MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), *json, n);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDeviceValue(ULONG pid, LPCWSTR name, ULONG value) override {
        return name ? m_e->SetDeviceValue(pid, name, value) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE SetEnumOrder(ULONG count, const ULONG* pids) override {
        if (count && !pids) return E_POINTER;
        if (count > 16) return E_INVALIDARG;
        return m_e->SetEnumOrder(std::vector<uint32_t>(pids, pids + count));
    }
    HRESULT STDMETHODCALLTYPE GetCallLog(LONG clear, BSTR* log) override {
        if (!log) return E_POINTER;
        std::wstring s = m_e->CallLog(clear != 0);
        *log = SysAllocStringLen(s.data(), UINT(s.size()));
        return *log ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetCounts(ULONG* objects, ULONG* sinks) override {
        if (!objects || !sinks) return E_POINTER;
        *objects = ULONG(Engine::s_objects.load());
        *sinks = m_e->SinkCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReloadState() override { return m_e->ReloadState(); }
    HRESULT STDMETHODCALLTYPE Shutdown() override {
        if (!m_e->onShutdown) return E_NOTIMPL;
        m_e->onShutdown();
        return S_OK;
    }
};

}  // namespace

HRESULT CreateDeviceManager(const std::shared_ptr<Engine>& engine, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!engine) return E_INVALIDARG;
    return Hand(new DeviceMgr(engine), riid, ppv);
}

}  // namespace vt::engine
