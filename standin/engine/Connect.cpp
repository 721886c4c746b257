// VtEngineConnect.dll: the engine's in-process handler (InprocHandler32 of the engine's class). A
// client's activation of the engine lands here before COM's own local-server activation; it reaches
// the live server, or starts a fresh one when the last was killed (ServerInstance.h).
#include <windows.h>
#include <objbase.h>
#include "ServerInstance.h"
#include "VtEngine.h"

namespace {

constexpr DWORD kConnectMs = 30000;  // as long as COM waits for a local server to register

class HandlerFactory : public vt::engine::instance::StaticClassFactory {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return vt::engine::instance::Connect(riid, ppv, kConnectMs);
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

// The proxies it handed out belong to COM, not to this library: it holds nothing that could stop
// it from unloading, but stays loaded so a client's next activation does not load it again.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
