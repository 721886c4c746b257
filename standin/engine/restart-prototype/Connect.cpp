// VtEngineConnect.dll: the engine's in-process handler (InprocHandler32 of the engine class). A
// client's CoCreateInstance of the engine lands here before COM's own local-server activation; it
// connects to the live server, or starts a fresh one when the last was killed (Rendezvous.h).
#include <windows.h>
#include <objbase.h>
#include "Rendezvous.h"
#include "VtEngine.h"

namespace {

constexpr DWORD kConnectMs = 30000;  // as long as COM waits for a local server to register

class HandlerFactory : public IClassFactory {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return vt::engine::rendezvous::Connect(riid, ppv, kConnectMs);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

HandlerFactory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (clsid != CLSID_VtDeviceEngine) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

// Proxies it handed out may outlive any count kept here: stay loaded.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
