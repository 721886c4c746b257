#pragma once
// Where the running engine server and its clients meet besides the engine's own class registration.
//
// Under Wine, COM keeps a local server's class registration (in its rpcss service) until the server
// revokes it, and a killed server never does: later activations of the engine's class are handed the
// dead server's class object, fail with RPC_S_SERVER_UNAVAILABLE and start no new server, while a
// new server's own registration of the class sits behind the dead one until the Wine session ends.
// So every server also registers its class object under a class id of its own, made fresh when it
// starts, and publishes that id beside its process id in a named mapping it holds for its life.
// The engine's in-process handler (VtEngineConnect.dll, the class's InprocHandler32) activates the
// live server through that id, COM's own activation of the engine's class when none is published,
// and starts a fresh server itself when that activation meets a dead registration.
#include <windows.h>

namespace vt::engine::instance {

// A class factory that lives as long as the process: no reference count, only its two interfaces.
class StaticClassFactory : public IClassFactory {
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
};


// The server's side: one per server process.
class Publication {
public:
    Publication() = default;
    Publication(const Publication&) = delete;
    Publication& operator=(const Publication&) = delete;
    ~Publication();
    // Becomes the one serving server (owns the life mutex), waiting up to waitMs for a server that
    // is still ending. False when another live server serves or is starting.
    bool Claim(DWORD waitMs);
    // Registers the class object under a fresh class id of this server and publishes that id.
    HRESULT Publish(IUnknown* classObject);
    // Withdraws the publication and revokes the class id (before the server ends).
    void Withdraw();

private:
    HANDLE m_alive = nullptr;
    HANDLE m_map = nullptr;
    void* m_view = nullptr;
    DWORD m_cookie = 0;
};

// The process id of the live published server, 0 when none.
DWORD PublishedServer();

// Failures of an activation or call that mean the server process on the other side is gone.
bool IsServerGone(HRESULT hr);

// The client's side: creates the engine's object riid in the live server, starting a server when
// none is alive; gives up after timeoutMs (a server's own failure is answered at once).
HRESULT Connect(REFIID riid, void** ppv, DWORD timeoutMs);

}  // namespace vt::engine::instance
