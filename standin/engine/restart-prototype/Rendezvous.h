#pragma once
// Where the running engine server and its clients meet, besides COM's own class registration.
//
// Under Wine, COM keeps a local server's class registration (in its rpcss service) until the
// server revokes it, and a killed server never does: every later activation is handed the dead
// server's class object and fails with RPC_S_SERVER_UNAVAILABLE, while no new server is started,
// until the whole Wine session ends. So the server also publishes its class object here, beside a
// mutex it owns for its whole life, and the engine's in-process handler (VtEngineConnect.dll,
// registered as the class's InprocHandler32) connects through it: it uses the published object only
// while that mutex is held by a live server, and otherwise starts a fresh server itself.
#include <windows.h>
#include <functional>

namespace vt::engine::rendezvous {

// The server's side: one per server process.
class Publication {
public:
    Publication() = default;
    Publication(const Publication&) = delete;
    Publication& operator=(const Publication&) = delete;
    ~Publication();
    // Becomes the serving server: owns the life mutex, waiting (bounded) for a server that is
    // still ending. False when another live server keeps it.
    bool Claim(DWORD waitMs);
    // Publishes the class object (marshalled for any number of connections).
    HRESULT Publish(IUnknown* classObject);
    // Under the connect lock, so no client is half-way through connecting: when stillIdle()
    // holds, withdraws the publication and answers true; clients then wait for this server to end
    // and start a new one.
    bool WithdrawIf(const std::function<bool()>& stillIdle);

private:
    void Withdraw();
    HANDLE m_alive = nullptr;
    HANDLE m_lock = nullptr;
    HANDLE m_map = nullptr;
    void* m_view = nullptr;
    IStream* m_marshal = nullptr;
};

// Failures of a call that mean the process on the other side is gone.
bool IsDisconnection(HRESULT hr);

// The client's side: creates the engine's object riid through the published class object,
// starting the registered server when none is alive; gives up after timeoutMs.
HRESULT Connect(REFIID riid, void** ppv, DWORD timeoutMs);

}  // namespace vt::engine::rendezvous
