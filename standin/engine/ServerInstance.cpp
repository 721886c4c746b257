#include "ServerInstance.h"
#include <objbase.h>
#include <cstdint>
#include <string>
#include "VtEngine.h"

namespace vt::engine::instance {
namespace {

const wchar_t kAliveMutex[] = L"Local\\VtDeviceEngine.Alive";  // owned by the serving server for its life
const wchar_t kMapping[] = L"Local\\VtDeviceEngine.Instance";  // the serving server's record
const DWORD kMagic = 0x32455456;                                 // "VTE2"

struct Record {
    DWORD magic;  // kMagic while published, 0 otherwise
    DWORD pid;
    GUID clsid;   // the class id this server registered for itself
};

bool Take(HANDLE mutex, DWORD ms) {
    DWORD w = WaitForSingleObject(mutex, ms);
    return w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;  // abandoned: its owner was killed
}

bool ProcessAlive(DWORD pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h) return false;
    bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return alive;
}

bool ReadPublished(Record* out) {
    HANDLE map = OpenFileMappingW(FILE_MAP_READ, FALSE, kMapping);
    if (!map) return false;
    bool ok = false;
    if (auto* r = static_cast<const volatile Record*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, sizeof(Record)))) {
        out->pid = r->pid;
        out->clsid = const_cast<const GUID&>(r->clsid);
        ok = r->magic == kMagic && out->pid != 0;
        UnmapViewOfFile(const_cast<const Record*>(r));
    }
    CloseHandle(map);
    return ok && ProcessAlive(out->pid);
}

// A server owns the life mutex: one is serving, starting or ending.
bool ServerHoldsLife() {
    HANDLE m = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kAliveMutex);
    if (!m) return false;
    bool held = !Take(m, 0);
    if (!held) ReleaseMutex(m);
    CloseHandle(m);
    return held;
}

// Starts the registered server (its LocalServer32 command) the way COM would.
HANDLE Launch() {
    wchar_t clsid[40];
    if (!StringFromGUID2(CLSID_VtDeviceEngine, clsid, 40)) return nullptr;
    std::wstring key = L"CLSID\\" + std::wstring(clsid) + L"\\LocalServer32";
    wchar_t command[MAX_PATH * 2];
    DWORD size = sizeof command;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, command, &size) != ERROR_SUCCESS ||
        !command[0])
        return nullptr;
    std::wstring line = std::wstring(command) + L" -Embedding";
    // The server outlives this client: it gets no standard stream of the client's.
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul == INVALID_HANDLE_VALUE ? nullptr : nul;
    PROCESS_INFORMATION pi{};
    BOOL ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!ok) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The object from a live server's own class id: S_FALSE when that server has gone meanwhile.
HRESULT CreateThrough(const GUID& clsid, REFIID riid, void** ppv) {
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || !factory) return S_FALSE;  // revoked as it ended, or killed
    hr = factory->CreateInstance(nullptr, riid, ppv);
    factory->Release();
    if (FAILED(hr) && IsServerGone(hr)) return S_FALSE;
    return hr;
}

}  // namespace

bool IsServerGone(HRESULT hr) {
    switch (static_cast<uint32_t>(hr)) {
    case 0x80010108:  // RPC_E_DISCONNECTED
    case 0x80010007:  // RPC_E_SERVER_DIED
    case 0x80010012:  // RPC_E_SERVER_DIED_DNE
    case 0x800401FD:  // CO_E_OBJNOTCONNECTED
    case 0x80080005:  // CO_E_SERVER_EXEC_FAILURE
    case 0x80004019:  // CO_E_SERVER_STOPPING
    case 0x80040154:  // REGDB_E_CLASSNOTREG
    case 0x800706BA:  // RPC_S_SERVER_UNAVAILABLE
    case 0x800706BE:  // RPC_S_CALL_FAILED
    case 0x800706BF:  // RPC_S_CALL_FAILED_DNE
        return true;
    default:
        return false;
    }
}

Publication::~Publication() {
    Withdraw();
    if (m_view) UnmapViewOfFile(m_view);
    if (m_map) CloseHandle(m_map);
    if (m_alive) {
        ReleaseMutex(m_alive);
        CloseHandle(m_alive);
    }
}

bool Publication::Claim(DWORD waitMs) {
    m_alive = CreateMutexW(nullptr, FALSE, kAliveMutex);
    if (!m_alive) return false;
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        if (Take(m_alive, 100)) return true;
        // Another server holds it: give way to one that serves; wait (bounded) for one that ends.
        if (PublishedServer() || GetTickCount64() >= deadline) break;
    }
    CloseHandle(m_alive);
    m_alive = nullptr;
    return false;
}

HRESULT Publication::Publish(IUnknown* classObject) {
    if (!m_alive) return E_UNEXPECTED;
    GUID clsid;
    HRESULT hr = CoCreateGuid(&clsid);
    if (FAILED(hr)) return hr;
    hr = CoRegisterClassObject(clsid, classObject, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    if (FAILED(hr)) return hr;
    m_map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Record), kMapping);
    if (!m_map) return HRESULT_FROM_WIN32(GetLastError());
    m_view = MapViewOfFile(m_map, FILE_MAP_WRITE, 0, 0, sizeof(Record));
    if (!m_view) return HRESULT_FROM_WIN32(GetLastError());
    auto* r = static_cast<volatile Record*>(m_view);
    r->magic = 0;
    r->pid = GetCurrentProcessId();
    const_cast<GUID&>(r->clsid) = clsid;
    MemoryBarrier();
    r->magic = kMagic;
    return S_OK;
}

void Publication::Withdraw() {
    if (m_view) static_cast<volatile Record*>(m_view)->magic = 0;
    if (m_cookie) CoRevokeClassObject(m_cookie);
    m_cookie = 0;
}

DWORD PublishedServer() {
    Record r{};
    return ReadPublished(&r) ? r.pid : 0;
}

HRESULT Connect(REFIID riid, void** ppv, DWORD timeoutMs) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HANDLE started = nullptr;  // the server this call started
    int launches = 0;
    bool comTried = false;
    HRESULT last = CO_E_SERVER_EXEC_FAILURE;
    for (;;) {
        Record r{};
        if (ReadPublished(&r)) {
            HRESULT hr = CreateThrough(r.clsid, riid, ppv);
            if (hr != S_FALSE) {
                if (started) CloseHandle(started);
                return hr;  // the live server's own answer
            }
        } else if (!comTried) {
            // No server published: COM's own activation, which starts the registered server.
            comTried = true;
            HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, CLSCTX_LOCAL_SERVER, riid, ppv);
            if (SUCCEEDED(hr) || !IsServerGone(hr)) return hr;
            last = hr;  // a dead server's registration, or a server that did not come up
            continue;
        } else if (!(started && WaitForSingleObject(started, 0) == WAIT_TIMEOUT) && !ServerHoldsLife()) {
            // Nothing serves, starts or ends: start a server here (again if the last one ended).
            if (started) CloseHandle(started);
            started = launches++ < 3 ? Launch() : nullptr;
            if (!started) break;
        }
        if (GetTickCount64() >= deadline) break;
        Sleep(20);
    }
    if (started) CloseHandle(started);
    return FAILED(last) ? last : CO_E_SERVER_EXEC_FAILURE;
}

}  // namespace vt::engine::instance
