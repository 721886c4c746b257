// VtEngine.exe: the device engine as an out-of-process COM server (LocalServer32, one process
// serving every client: REGCLS_MULTIPLEUSE, multithreaded apartment).
//   VtEngine.exe /RegServer     registers the class in the current user's and machine's classes
//   VtEngine.exe /UnregServer   removes it
//   VtEngine.exe -Embedding     started by COM; ends a minute (or %VT_ENGINE_IDLE_SECONDS%) after
//                               the last client object, call or sink
#include <windows.h>
#include <objbase.h>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>
#include <ocidl.h>
#include "Engine.h"
#include "EngineProxies.h"
#include "ServerInstance.h"
#include "VtEngine.h"

namespace {

using vt::engine::Engine;

std::atomic<long> g_locks{0};
std::atomic<bool> g_quit{false};
std::shared_ptr<Engine> g_engine;

class Factory : public vt::engine::instance::StaticClassFactory {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        Engine::NoteActivity();
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return vt::engine::CreateDeviceManager(g_engine, riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        Engine::NoteActivity();
        if (lock) ++g_locks;
        else --g_locks;
        return S_OK;
    }
};

// Wine's COM drops an interface's RPC registration when the last stub of that interface in the
// process goes, and there waits, holding a lock every marshal needs, for the calls on that
// interface to end. When a client's release of an object meets a call on the same interface, the
// release waits for the call and the call for the lock: the whole server hangs (seen under churn:
// an RPC worker in RemRelease inside RpcServerUnregisterIf, every other one in
// rpc_register_interface). One placeholder stub per interface, never handed to any client and kept
// for the server's life, keeps every registration alive, so none is ever dropped.
const std::vector<const IID*>& Served() {
    static const std::vector<const IID*> served = [] {
        std::vector<const IID*> v = {&IID_IUnknown, &IID_IClassFactory, &IID_IConnectionPointContainer,
                                     &IID_IConnectionPoint};
        for (const IID* iid : vt::EngineObjectInterfaces()) v.push_back(iid);
        return v;
    }();
    return served;
}

class Placeholder : public IUnknown {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // Each served interface (and nothing else, so COM marshals it the standard way): the stub only
    // keeps the pointer, and no call ever reaches it.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        for (const IID* iid : Served())
            if (riid == *iid) {
                *ppv = static_cast<IUnknown*>(this);
                return S_OK;
            }
        return E_NOINTERFACE;
    }
};

class InterfacePins {
public:
    void Pin() {
        for (const IID* iid : Served()) {
            IStream* s = nullptr;
            if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &s))) continue;
            if (SUCCEEDED(CoMarshalInterface(s, *iid, &m_placeholder, MSHCTX_LOCAL, nullptr, MSHLFLAGS_TABLESTRONG)))
                m_streams.push_back(s);
            else
                s->Release();
        }
    }
    // After CoUninitialize, which disconnected the stubs without waiting for anything. Releasing
    // the marshalled data before it would drop registrations the same waiting way.
    void Forget() {
        for (IStream* s : m_streams) s->Release();
        m_streams.clear();
    }
private:
    Placeholder m_placeholder;
    std::vector<IStream*> m_streams;
};

const wchar_t kClsidKey[] = L"Software\\Classes\\CLSID\\{472079C9-3628-45F7-A32E-FE00490518F1}";

LSTATUS SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY k;
    LSTATUS s = RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    if (s != ERROR_SUCCESS) return s;
    s = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       DWORD((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return s;
}

int Register() {
    wchar_t exe[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
    if (!n || n >= MAX_PATH * 2) return 1;
    std::wstring key = kClsidKey;
    std::wstring quoted = L"\"" + std::wstring(exe) + L"\"";
    LSTATUS s = SetValue(HKEY_LOCAL_MACHINE, key, nullptr, L"Velto Device Engine");
    if (s == ERROR_SUCCESS) s = SetValue(HKEY_LOCAL_MACHINE, key + L"\\LocalServer32", nullptr, quoted);
    if (s == ERROR_SUCCESS) s = SetValue(HKEY_LOCAL_MACHINE, key + L"\\ProgID", nullptr, L"Velto.DeviceEngine.1");
    // The in-process handler beside the server: it reaches a server started after a killed one
    // (ServerInstance.h).
    std::wstring handler = exe;
    handler = handler.substr(0, handler.find_last_of(L"\\/") + 1) + L"VtEngineConnect.dll";
    if (s == ERROR_SUCCESS && GetFileAttributesW(handler.c_str()) != INVALID_FILE_ATTRIBUTES) {
        s = SetValue(HKEY_LOCAL_MACHINE, key + L"\\InprocHandler32", nullptr, handler);
        if (s == ERROR_SUCCESS) s = SetValue(HKEY_LOCAL_MACHINE, key + L"\\InprocHandler32", L"ThreadingModel", L"Both");
    }
    if (s == ERROR_SUCCESS)
        s = SetValue(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Velto.DeviceEngine.1\\CLSID", nullptr,
                     L"{472079C9-3628-45F7-A32E-FE00490518F1}");
    if (s != ERROR_SUCCESS) {
        fwprintf(stderr, L"VtEngine: registration failed (%ld)\n", long(s));
        return 1;
    }
    return 0;
}

int Unregister() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClsidKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Velto.DeviceEngine.1");
    return 0;
}

int Serve() {
    // Started by COM from a client, the server may have inherited the client's standard handles;
    // holding them would keep the client's output pipes open for as long as the server runs.
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE h = GetStdHandle(which);
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
        SetStdHandle(which, nullptr);
    }
    // One server at a time: one that is still ending is waited for, one that serves is left to serve.
    static vt::engine::instance::Publication publication;
    if (!publication.Claim(10000)) return 0;
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    // Every stub of every object handed out is made without a registry lookup.
    vt::UseEngineProxiesInThisApartment();
    static InterfacePins pins;
    pins.Pin();
    g_engine = Engine::Create();
    g_engine->onShutdown = [] { g_quit = true; };
    static Factory factory;
    DWORD cookie = 0;
    HRESULT hr = CoRegisterClassObject(CLSID_VtDeviceEngine, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                       &cookie);
    if (FAILED(hr)) {
        fwprintf(stderr, L"VtEngine: CoRegisterClassObject failed 0x%08lX\n", static_cast<unsigned long>(hr));
        g_engine.reset();
        CoUninitialize();
        pins.Forget();
        return 1;
    }
    hr = publication.Publish(&factory);
    if (FAILED(hr)) fwprintf(stderr, L"VtEngine: publishing the server failed 0x%08lX\n", static_cast<unsigned long>(hr));
    // Clients connect for short operations: stay while objects, locks or sinks are alive, and for
    // the idle limit after the last object, call or connection, however brief each was.
    ULONGLONG idleMs = 60000;
    wchar_t buf[32];
    if (GetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", buf, 32) > 0) idleMs = wcstoull(buf, nullptr, 10) * 1000;
    Engine::NoteActivity();
    while (!g_quit) {
        Sleep(100);
        bool busy = Engine::s_objects.load() > 0 || g_locks.load() > 0 || g_engine->SinkCount() > 0;
        if (!busy && GetTickCount64() - Engine::s_lastActivity.load() >= idleMs) break;
    }
    publication.Withdraw();
    CoRevokeClassObject(cookie);
    g_engine->WaitEventsIdle(2000);
    g_engine->Flush();  // clients may still hold objects, which keep the engine itself alive
    g_engine.reset();
    CoUninitialize();
    pins.Forget();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const wchar_t* a = argv[i];
        if (*a == L'/' || *a == L'-') ++a;
        if (!_wcsicmp(a, L"RegServer")) return Register();
        if (!_wcsicmp(a, L"UnregServer")) return Unregister();
    }
    return Serve();
}
