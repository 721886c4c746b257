#pragma once
// Helpers shared by the engine tests: a sink for every engine event, strings, temporary folders.
#include <windows.h>
#include <ocidl.h>
#include <tlhelp32.h>
#include <olectl.h>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include "VtEngine.h"
#include "win/Handles.h"

namespace vt::test::engine {

using vt::win::ComPtr;

struct Received {
    std::string what;  // "profile", "dpi", "launch", "start", "stop", "assign", "cancel"
    ULONG a = 0, b = 0;
    std::wstring path;
    DWORD thread = 0;
};

// Records every engine event it is given. Waiting pumps messages, so it also serves a
// single-threaded apartment whose calls arrive as messages.
class Sink final : public _IProfileManagerEvents, public _IDPIEvents, public _IApplicationEvent,
                   public _IOTFMacroRecordingEvents {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_ref)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG r = InterlockedDecrement(&m_ref);
        if (!r) delete this;
        return ULONG(r);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID__IProfileManagerEvents) *ppv = static_cast<_IProfileManagerEvents*>(this);
        else if (riid == IID__IDPIEvents) *ppv = static_cast<_IDPIEvents*>(this);
        else if (riid == IID__IApplicationEvent) *ppv = static_cast<_IApplicationEvent*>(this);
        else if (riid == IID__IOTFMacroRecordingEvents) *ppv = static_cast<_IOTFMacroRecordingEvents*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnProfileChanged(ULONG v) override { return Add({"profile", v}); }
    HRESULT STDMETHODCALLTYPE OnDpiChanged(ULONG x, ULONG y) override { return Add({"dpi", x, y}); }
    HRESULT STDMETHODCALLTYPE OnLaunchApp(LONG kind, BSTR path) override {
        Received r{"launch", ULONG(kind)};
        if (path) r.path.assign(path, SysStringLen(path));
        return Add(r);
    }
    HRESULT STDMETHODCALLTYPE OnRecordStart() override { return Add({"start"}); }
    HRESULT STDMETHODCALLTYPE OnRecordStop() override { return Add({"stop"}); }
    HRESULT STDMETHODCALLTYPE OnRecordAssign(ULONG a, ULONG b) override { return Add({"assign", a, b}); }
    HRESULT STDMETHODCALLTYPE OnRecordCancel() override { return Add({"cancel"}); }

    std::vector<Received> Events() {
        std::lock_guard<std::mutex> l(m_lock);
        return m_events;
    }
    size_t Count() {
        std::lock_guard<std::mutex> l(m_lock);
        return m_events.size();
    }
    void Clear() {
        std::lock_guard<std::mutex> l(m_lock);
        m_events.clear();
    }
    // Waits (pumping messages) until at least n events arrived or the time is up.
    bool WaitFor(size_t n, DWORD timeoutMs) {
        DWORD start = GetTickCount();
        for (;;) {
            if (Count() >= n) return true;
            DWORD spent = GetTickCount() - start;
            if (spent >= timeoutMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, timeoutMs - spent), QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    // Pumps messages for ms milliseconds (to show that nothing arrives).
    static void Pump(DWORD ms) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    }

private:
    HRESULT Add(Received r) {
        r.thread = GetCurrentThreadId();
        std::lock_guard<std::mutex> l(m_lock);
        m_events.push_back(std::move(r));
        return S_OK;
    }
    LONG m_ref = 1;
    std::mutex m_lock;
    std::vector<Received> m_events;
};

// A connection of a sink to an event source, undone on destruction.
class Connection {
public:
    Connection() = default;
    HRESULT Connect(IUnknown* source, REFIID iid, IUnknown* sink) {
        ComPtr<IConnectionPointContainer> cpc;
        HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid());
        if (FAILED(hr)) return hr;
        hr = cpc->FindConnectionPoint(iid, m_cp.Put());
        if (FAILED(hr)) return hr;
        return m_cp->Advise(sink, &m_cookie);
    }
    HRESULT Disconnect() {
        if (!m_cp || !m_cookie) return S_FALSE;
        HRESULT hr = m_cp->Unadvise(m_cookie);
        m_cookie = 0;
        m_cp.Reset();
        return hr;
    }
    ~Connection() { Disconnect(); }
private:
    ComPtr<IConnectionPoint> m_cp;
    DWORD m_cookie = 0;
};

inline std::wstring TakeString(WCHAR* s) {
    std::wstring r = s ? s : L"";
    CoTaskMemFree(s);
    return r;
}

template <class T>
std::wstring NameOf(T* item) {
    ULONG cch = 0;
    WCHAR* s = nullptr;
    if (FAILED(item->GetName(&cch, &s))) return L"<failed>";
    return TakeString(s);
}

template <class T>
ComPtr<T> Feature(IVtDevice* device, REFIID iid) {
    ComPtr<T> p;
    if (device) device->CreateInterfaceInstance(iid, p.PutVoid());
    return p;
}

template <class T>
ComPtr<T> Feature(IVtProfile* profile, REFIID iid) {
    ComPtr<T> p;
    if (profile) profile->CreateInterfaceInstance(iid, p.PutVoid());
    return p;
}

// The device of a product id among the manager's present devices.
inline ComPtr<IVtDevice> DeviceOf(IVtDeviceMgr* mgr, ULONG pid) {
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtDevice> d;
        if (FAILED(mgr->EnumDevices(i, d.Put()))) return {};
        ComPtr<IVtDeviceIdentity> id;
        ULONG p = 0, v = 0;
        if (SUCCEEDED(d.As(id)) && SUCCEEDED(id->GetIds(&p, &v)) && p == pid) return d;
    }
}

// The process id of the running engine server (VtEngine.exe), or 0 when none runs.
inline DWORD EngineServerPid() {
    DWORD pid = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e))
        if (!_wcsicmp(e.szExeFile, L"VtEngine.exe")) pid = e.th32ProcessID;
    CloseHandle(snap);
    return pid;
}

// A new empty folder under the temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t name[64];
        swprintf(name, 64, L"vteng-%lu-%lu-%u", GetCurrentProcessId(), GetTickCount(), unsigned(++Counter()));
        m_path = std::wstring(base) + name;
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempDir() { Remove(m_path); }
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    std::vector<std::wstring> List() const {
        std::vector<std::wstring> out;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((m_path + L"\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return out;
        do {
            if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) out.push_back(fd.cFileName);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        return out;
    }
private:
    static int& Counter() { static int c = 0; return c; }
    static void Remove(const std::wstring& dir) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring n = fd.cFileName;
                if (n == L"." || n == L"..") continue;
                std::wstring p = dir + L"\\" + n;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(p);
                else DeleteFileW(p.c_str());
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }
    std::wstring m_path;
};

inline std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    DWORD size = GetFileSize(h, nullptr), got = 0;
    out.resize(size);
    if (size) ReadFile(h, out.data(), size, &got, nullptr);
    out.resize(got);
    CloseHandle(h);
    return out;
}

inline bool WriteAll(const std::wstring& path, const std::vector<uint8_t>& data) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = data.empty() || WriteFile(h, data.data(), DWORD(data.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == data.size();
}

}  // namespace vt::test::engine
