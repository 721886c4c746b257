#pragma once
// Owning wrappers for kernel handles, registry keys and COM interface pointers.
#include <windows.h>
#include <unknwn.h>
#include <utility>

namespace vt::win {

// A kernel handle closed with CloseHandle. Both null and INVALID_HANDLE_VALUE count as empty.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : m_h(o.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept { if (this != &o) Reset(o.Release()); return *this; }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h && m_h != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return Valid(); }
    HANDLE Release() { HANDLE h = m_h; m_h = nullptr; return h; }
    void Reset(HANDLE h = nullptr) { if (Valid()) CloseHandle(m_h); m_h = h; }
private:
    HANDLE m_h = nullptr;
};

// An open registry key.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY k) : m_k(k) {}
    ~RegKey() { Reset(); }
    RegKey(RegKey&& o) noexcept : m_k(o.Release()) {}
    RegKey& operator=(RegKey&& o) noexcept { if (this != &o) Reset(o.Release()); return *this; }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    LSTATUS Open(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ) {
        Reset();
        return RegOpenKeyExW(parent, path, 0, access, &m_k);
    }
    LSTATUS Create(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ | KEY_WRITE) {
        Reset();
        return RegCreateKeyExW(parent, path, 0, nullptr, 0, access, nullptr, &m_k, nullptr);
    }
    HKEY Get() const { return m_k; }
    explicit operator bool() const { return m_k != nullptr; }
    HKEY Release() { HKEY k = m_k; m_k = nullptr; return k; }
    void Reset(HKEY k = nullptr) { if (m_k) RegCloseKey(m_k); m_k = k; }
private:
    HKEY m_k = nullptr;
};

// A counted reference to a COM interface.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~ComPtr() { Reset(); }
    ComPtr& operator=(const ComPtr& o) { if (o.m_p) o.m_p->AddRef(); Reset(); m_p = o.m_p; return *this; }
    ComPtr& operator=(ComPtr&& o) noexcept { if (this != &o) { Reset(); m_p = o.m_p; o.m_p = nullptr; } return *this; }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** Put() { Reset(); return &m_p; }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }
    void Attach(T* p) { Reset(); m_p = p; }
    void Reset() { if (m_p) { T* p = m_p; m_p = nullptr; p->Release(); } }
    template <class U>
    HRESULT As(ComPtr<U>& out) const {
        return m_p ? m_p->QueryInterface(__uuidof(U), out.PutVoid()) : E_POINTER;
    }
private:
    T* m_p = nullptr;
};

// Initialises COM on this thread for the object's life (balanced only when it succeeded).
class ComInit {
public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(CoInitializeEx(nullptr, model)) {}
    ~ComInit() { if (SUCCEEDED(m_hr)) CoUninitialize(); }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    HRESULT Result() const { return m_hr; }
private:
    HRESULT m_hr;
};

} // namespace vt::win
