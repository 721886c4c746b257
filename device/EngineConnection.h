#pragma once
// A short connection to the device engine: create its device manager, keep the first engine
// device whose USB product id matches, hand out feature interfaces, release everything.
//
// A connection belongs to the thread that made it: an engine proxy cannot be carried to another
// apartment, so every thread (the user-interface thread, a device worker) makes its own.
#include "win/Handles.h"
#include "VtEngine.h"
#include <cstdint>
#include <functional>
#include <string>

namespace vt::device {

// Where device managers come from. The default creates the engine's class through COM
// (CoCreateInstance with class context 23); tests can host the engine in-process instead.
using EngineFactory = std::function<HRESULT(IVtDeviceMgr** out)>;
void SetEngineFactory(EngineFactory factory);  // empty: back to the default
HRESULT CreateEngineManager(IVtDeviceMgr** out);

// Frees what the engine handed out with the COM task allocator.
template <class T>
class CoTaskMem {
public:
    CoTaskMem() = default;
    ~CoTaskMem() { Reset(); }
    CoTaskMem(const CoTaskMem&) = delete;
    CoTaskMem& operator=(const CoTaskMem&) = delete;
    T** Put() { Reset(); return &m_p; }
    T* Get() const { return m_p; }
    void Reset() { if (m_p) { CoTaskMemFree(m_p); m_p = nullptr; } }
private:
    T* m_p = nullptr;
};

// A counted string handed out by the engine (GetName, GetPath), as a wide string.
std::wstring TakeEngineString(WCHAR* text, ULONG cch);

class EngineConnection {
public:
    EngineConnection() = default;
    ~EngineConnection() { Disconnect(); }
    EngineConnection(const EngineConnection&) = delete;
    EngineConnection& operator=(const EngineConnection&) = delete;

    // Product id 0 fails at once without creating anything. A connection already open is left
    // untouched and the call answers false.
    bool Connect(uint32_t productId);
    // Releases the device, then the manager.
    void Disconnect();

    bool IsOpen() const { return bool(m_device); }
    IVtDevice* Device() const { return m_device.Get(); }
    IVtDeviceMgr* Manager() const { return m_manager.Get(); }

    // A device feature by interface id; the out pointer stays empty on failure.
    template <class T>
    bool Feature(REFIID iid, vt::win::ComPtr<T>& out) const {
        out.Reset();
        if (!m_device) return false;
        HRESULT hr = m_device->CreateInterfaceInstance(iid, out.PutVoid());
        if (FAILED(hr)) { out.Reset(); return false; }
        return bool(out);
    }
    bool ProfileManager(vt::win::ComPtr<IVtProfileManager>& out) const {
        return Feature(IID_IVtProfileManager, out);
    }

private:
    vt::win::ComPtr<IVtDeviceMgr> m_manager;
    vt::win::ComPtr<IVtDevice> m_device;
};

// Firmware and driver texts of a device ("%d.%02d"); "0.00" and false when the read fails.
bool GetFirmwareVersionText(IVtDevice* device, std::wstring& text);
bool GetDriverVersionText(IVtDevice* device, std::wstring& text);
// Both texts; false when either read failed (the other is still read).
bool ReadVersionTexts(IVtDevice* device, std::wstring& firmware, std::wstring& driver);

// A profile feature by interface id.
template <class T>
bool ProfileFeature(IVtProfile* profile, REFIID iid, vt::win::ComPtr<T>& out) {
    out.Reset();
    if (!profile) return false;
    if (FAILED(profile->CreateInterfaceInstance(iid, out.PutVoid()))) { out.Reset(); return false; }
    return bool(out);
}

} // namespace vt::device
