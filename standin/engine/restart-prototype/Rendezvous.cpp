#include "Rendezvous.h"
#include <objbase.h>
#include <cstdint>
#include <cstring>
#include <string>
#include "VtEngine.h"

namespace vt::engine::rendezvous {
namespace {

const wchar_t kAliveMutex[] = L"Local\\VtDeviceEngine.Alive";      // owned by the serving server
const wchar_t kLockMutex[] = L"Local\\VtDeviceEngine.Connect";     // held while connecting or withdrawing
const wchar_t kMapping[] = L"Local\\VtDeviceEngine.ClassObject";   // the published class object
const DWORD kMagic = 0x31455456;                                     // "VTE1"
const DWORD kMapSize = 64 * 1024;

struct Record {
    DWORD magic;  // kMagic while published, 0 otherwise
    DWORD pid;
    DWORD size;
    BYTE data[1];
};
const DWORD kMaxData = kMapSize - offsetof(Record, data);

// Waits for a mutex; an abandoned one (its owner was killed) is ours as well.
bool Take(HANDLE mutex, DWORD ms) {
    DWORD w = WaitForSingleObject(mutex, ms);
    return w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
}

// A live server owns the life mutex.
bool ServerAlive() {
    HANDLE m = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kAliveMutex);
    if (!m) return false;
    bool alive = !Take(m, 0);
    if (!alive) ReleaseMutex(m);
    CloseHandle(m);
    return alive;
}

// The class object's marshalled data, when published by a live server.
bool ReadPublished(std::string* data) {
    HANDLE map = OpenFileMappingW(FILE_MAP_READ, FALSE, kMapping);
    if (!map) return false;
    bool ok = false;
    if (auto* r = static_cast<const Record*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, kMapSize))) {
        if (r->magic == kMagic && r->size > 0 && r->size <= kMaxData) {
            data->assign(reinterpret_cast<const char*>(r->data), r->size);
            ok = true;
        }
        UnmapViewOfFile(r);
    }
    CloseHandle(map);
    return ok && ServerAlive();
}

HRESULT CreateThrough(const std::string& data, REFIID riid, void** ppv) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, data.size());
    if (!mem) return E_OUTOFMEMORY;
    memcpy(GlobalLock(mem), data.data(), data.size());
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    HRESULT hr = CreateStreamOnHGlobal(mem, TRUE, &stream);
    if (FAILED(hr)) {
        GlobalFree(mem);
        return hr;
    }
    IClassFactory* factory = nullptr;
    hr = CoUnmarshalInterface(stream, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    stream->Release();
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(nullptr, riid, ppv);
    factory->Release();
    return hr;
}

// Starts the registered server (its LocalServer32 command) as COM would.
HANDLE Launch() {
    wchar_t key[96], command[MAX_PATH * 2];
    swprintf(key, 96, L"CLSID\\{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}\\LocalServer32",
             static_cast<unsigned long>(CLSID_VtDeviceEngine.Data1), CLSID_VtDeviceEngine.Data2,
             CLSID_VtDeviceEngine.Data3, CLSID_VtDeviceEngine.Data4[0], CLSID_VtDeviceEngine.Data4[1],
             CLSID_VtDeviceEngine.Data4[2], CLSID_VtDeviceEngine.Data4[3], CLSID_VtDeviceEngine.Data4[4],
             CLSID_VtDeviceEngine.Data4[5], CLSID_VtDeviceEngine.Data4[6], CLSID_VtDeviceEngine.Data4[7]);
    LONG size = sizeof command;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key, command, &size) != ERROR_SUCCESS || !command[0]) return nullptr;
    command[MAX_PATH * 2 - 1] = 0;
    std::wstring line = std::wstring(command) + L" -Embedding";
    // Standard streams on NUL: the server outlives this client and must not hold its output open
    // (under Wine a new process otherwise gets the parent's own streams, pipes included).
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

}  // namespace

bool IsDisconnection(HRESULT hr) {
    switch (static_cast<uint32_t>(hr)) {
    case 0x80010108:  // RPC_E_DISCONNECTED
    case 0x800706BA:  // RPC_S_SERVER_UNAVAILABLE
    case 0x800706BE:  // RPC_S_CALL_FAILED
    case 0x800706BF:  // RPC_S_CALL_FAILED_DNE
    case 0x800401FD:  // CO_E_OBJNOTCONNECTED
    case 0x80010007:  // RPC_E_SERVER_DIED
    case 0x80010012:  // RPC_E_SERVER_DIED_DNE
        return true;
    default:
        return false;
    }
}

Publication::~Publication() {
    Withdraw();
    if (m_view) UnmapViewOfFile(m_view);
    if (m_map) CloseHandle(m_map);
    if (m_lock) CloseHandle(m_lock);
    if (m_alive) {
        ReleaseMutex(m_alive);
        CloseHandle(m_alive);
    }
}

bool Publication::Claim(DWORD waitMs) {
    m_alive = CreateMutexW(nullptr, FALSE, kAliveMutex);
    m_lock = CreateMutexW(nullptr, FALSE, kLockMutex);
    if (!m_alive || !m_lock || !Take(m_alive, waitMs)) {
        if (m_alive) CloseHandle(m_alive);
        m_alive = nullptr;
        return false;
    }
    return true;
}

HRESULT Publication::Publish(IUnknown* classObject) {
    if (!m_alive) return E_UNEXPECTED;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &m_marshal);
    if (FAILED(hr)) return hr;
    hr = CoMarshalInterface(m_marshal, IID_IClassFactory, classObject, MSHCTX_LOCAL, nullptr, MSHLFLAGS_TABLESTRONG);
    if (FAILED(hr)) {
        m_marshal->Release();
        m_marshal = nullptr;
        return hr;
    }
    HGLOBAL mem = nullptr;
    GetHGlobalFromStream(m_marshal, &mem);
    STATSTG st{};
    m_marshal->Stat(&st, STATFLAG_NONAME);
    DWORD size = DWORD(st.cbSize.QuadPart);
    if (!mem || size == 0 || size > kMaxData) return E_UNEXPECTED;
    m_map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMapSize, kMapping);
    if (!m_map) return HRESULT_FROM_WIN32(GetLastError());
    m_view = MapViewOfFile(m_map, FILE_MAP_WRITE, 0, 0, kMapSize);
    if (!m_view) return HRESULT_FROM_WIN32(GetLastError());
    if (!Take(m_lock, 10000)) return HRESULT_FROM_WIN32(WAIT_TIMEOUT);
    auto* r = static_cast<Record*>(m_view);
    memcpy(r->data, GlobalLock(mem), size);
    GlobalUnlock(mem);
    r->pid = GetCurrentProcessId();
    r->size = size;
    r->magic = kMagic;
    ReleaseMutex(m_lock);
    return S_OK;
}

bool Publication::WithdrawIf(const std::function<bool()>& stillIdle) {
    if (!m_lock || !Take(m_lock, 2000)) return false;
    bool idle = stillIdle();
    if (idle) Withdraw();
    ReleaseMutex(m_lock);
    return idle;
}

void Publication::Withdraw() {
    if (m_view) static_cast<Record*>(m_view)->magic = 0;
    if (m_marshal) {
        LARGE_INTEGER zero{};
        m_marshal->Seek(zero, STREAM_SEEK_SET, nullptr);
        CoReleaseMarshalData(m_marshal);
        m_marshal->Release();
        m_marshal = nullptr;
    }
}

HRESULT Connect(REFIID riid, void** ppv, DWORD timeoutMs) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    HANDLE lock = CreateMutexW(nullptr, FALSE, kLockMutex);
    if (!lock) return HRESULT_FROM_WIN32(GetLastError());
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HANDLE server = nullptr;  // the server this call started
    int launches = 0;
    HRESULT hr = CO_E_SERVER_EXEC_FAILURE;
    while (GetTickCount64() < deadline) {
        if (!Take(lock, DWORD(deadline - GetTickCount64()))) break;
        std::string data;
        bool published = ReadPublished(&data);
        if (published) hr = CreateThrough(data, riid, ppv);
        ReleaseMutex(lock);
        if (published && !IsDisconnection(hr)) break;  // the live server's own answer
        // No live server published (or it died as we connected): start one unless a server is
        // still starting or ending, or the one started here is still coming up.
        bool starting = server && WaitForSingleObject(server, 0) == WAIT_TIMEOUT;
        if (!starting && !ServerAlive()) {
            if (server) CloseHandle(server);
            server = launches++ < 3 ? Launch() : nullptr;
            if (!server) break;
        }
        Sleep(20);
    }
    if (server) CloseHandle(server);
    CloseHandle(lock);
    return *ppv ? S_OK : (FAILED(hr) ? hr : CO_E_SERVER_EXEC_FAILURE);
}

}  // namespace vt::engine::rendezvous
