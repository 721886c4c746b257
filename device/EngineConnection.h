#pragma once
// A short connection to the device engine: create its device manager, keep the first engine
// device whose USB product id matches, hand out feature interfaces, release everything.
//
// A connection belongs to the thread that made it: an engine proxy cannot be carried to another
// apartment, so every thread (the user-interface thread, a device worker) makes its own.
//
// A connection takes its manager, its device and its feature objects from the thread's engine
// batch (EngineBatch.h), opening one for its own life when none is open.
#include "device/EngineBatch.h"
#include "win/Handles.h"
#include "VtEngine.h"
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// Failures that mean the engine itself is not answering (its server is gone or refuses the call
// channel), as opposed to a call the engine answered with a failure.
bool IsEngineLost(HRESULT hr);

// How far the last attempt to reach a device got.
enum class EngineReach {
    Reached,            // the engine answered and lists the device
    DeviceAbsent,       // the engine answered but lists no such device
    EngineUnreachable,  // no device manager could be made, or the engine stopped answering
};

// A feature object of `owner` (a device or a profile) by interface id: the one the thread's batch
// keeps, else `fetch`ed (and kept when a batch is open). *out holds a reference of the caller's.
bool KeptFeature(IUnknown* owner, REFIID iid, const std::function<HRESULT(void**)>& fetch, void** out);

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
    // How far the last Connect got.
    EngineReach Reach() const { return m_reach; }

    bool IsOpen() const { return bool(m_device); }
    IVtDevice* Device() const { return m_device.Get(); }
    IVtDeviceMgr* Manager() const { return m_manager.Get(); }

    // A device feature by interface id (kept by the batch); the out pointer stays empty on failure.
    template <class T>
    bool Feature(REFIID iid, vt::win::ComPtr<T>& out) const {
        out.Reset();
        if (!m_device) return false;
        IVtDevice* device = m_device.Get();
        return KeptFeature(device, iid, [&](void** got) { return device->CreateInterfaceInstance(iid, got); },
                           reinterpret_cast<void**>(out.Put()));
    }
    bool ProfileManager(vt::win::ComPtr<IVtProfileManager>& out) const {
        return Feature(IID_IVtProfileManager, out);
    }

private:
    std::unique_ptr<EngineBatch> m_batch;
    vt::win::ComPtr<IVtDeviceMgr> m_manager;
    vt::win::ComPtr<IVtDevice> m_device;
    EngineReach m_reach = EngineReach::EngineUnreachable;
};

// Whether the engine answers and lists a device of this product id, through a connection of the
// thread's batch (or a short one of its own). Presence comes from here and from the system's
// arrival and removal notices, never from whether a read or write succeeded.
EngineReach ProbeDevice(uint32_t productId);

// Firmware and driver texts of a device ("%d.%02d"); "0.00" and false when the read fails.
bool GetFirmwareVersionText(IVtDevice* device, std::wstring& text);
bool GetDriverVersionText(IVtDevice* device, std::wstring& text);
// Both texts; false when either read failed (the other is still read).
bool ReadVersionTexts(IVtDevice* device, std::wstring& firmware, std::wstring& driver);

// A profile feature by interface id (kept by the thread's batch).
template <class T>
bool ProfileFeature(IVtProfile* profile, REFIID iid, vt::win::ComPtr<T>& out) {
    out.Reset();
    if (!profile) return false;
    return KeptFeature(profile, iid, [&](void** got) { return profile->CreateInterfaceInstance(iid, got); },
                       reinterpret_cast<void**>(out.Put()));
}

} // namespace vt::device
