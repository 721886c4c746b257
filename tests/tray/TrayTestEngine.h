#pragma once
// The device engine for the tray's tests: the engine core hosted in this process behind the tray's
// engine seam (InProcess), or the registered stand-in reached through COM (Registered), with the
// few steps the tests use to lay out profiles and macros.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "VtEngine.h"
#include "tray/TraySystem.h"
#include "tray/VtDevice.h"
#include "win/Handles.h"

namespace vt::test {

using vt::win::ComPtr;

class TrayTestEngine {
public:
    virtual ~TrayTestEngine() = default;

    ComPtr<IVtDeviceMgr> manager;
    ComPtr<IVtSimControl> control;

    bool Ready() const { return bool(control); }

    ComPtr<IVtProfileManager> Profiles(ULONG pid) {
        ComPtr<IVtProfileManager> out;
        ComPtr<IVtDevice> device = Device(pid);
        if (device) device->CreateInterfaceInstance(IID_IVtProfileManager, out.PutVoid());
        return out;
    }
    ComPtr<IVtDevice> Device(ULONG pid) {
        for (ULONG i = 0;; ++i) {
            ComPtr<IVtDevice> device;
            if (FAILED(manager->EnumDevices(i, device.Put())) || !device) return {};
            VtDeviceInfo info{};
            HRESULT hr = device->GetDeviceInfo(&info);
            if (info.DevicePath) CoTaskMemFree(info.DevicePath);
            if (SUCCEEDED(hr) && info.ProductId == pid) return device;
        }
    }
    // Appends a profile with the name; true when the engine took it.
    bool AddProfile(ULONG pid, const std::wstring& name) {
        ComPtr<IVtProfileManager> profiles = Profiles(pid);
        ComPtr<IVtProfile> profile;
        return profiles && SUCCEEDED(profiles->CreateProfile(profile.Put())) && SUCCEEDED(profile->SetName(name.c_str()));
    }
    bool AddMacro(ULONG pid, const std::wstring& name) {
        ComPtr<IVtDevice> device = Device(pid);
        ComPtr<IVtMacroStore> store;
        ComPtr<IVtMacro> macro;
        return device && SUCCEEDED(device->CreateInterfaceInstance(IID_IVtMacroStore, store.PutVoid())) &&
               SUCCEEDED(store->CreateMacro(macro.Put())) && SUCCEEDED(macro->SetName(name.c_str()));
    }
    std::wstring Dump() {
        BSTR text = nullptr;
        std::wstring s;
        if (control && SUCCEEDED(control->Dump(&text)) && text) s.assign(text, SysStringLen(text));
        SysFreeString(text);
        return s;
    }
    ComPtr<IVtMacroStore> Macros(ULONG pid) {
        ComPtr<IVtMacroStore> store;
        ComPtr<IVtDevice> device = Device(pid);
        if (device) device->CreateInterfaceInstance(IID_IVtMacroStore, store.PutVoid());
        return store;
    }
    // The names of the device's macros, in the engine's order.
    std::vector<std::wstring> MacroNames(ULONG pid) {
        std::vector<std::wstring> names;
        ComPtr<IVtMacroStore> store = Macros(pid);
        for (ULONG i = 0; store; ++i) {
            ComPtr<IVtMacro> macro;
            if (FAILED(store->GetMacroByIndex(i, macro.Put()))) break;
            WCHAR* text = nullptr;
            ULONG cch = 0;
            macro->GetName(&cch, &text);
            names.push_back(vt::tray::TakeEngineText(text, cch));
        }
        return names;
    }
    // The event types of the macro at index (1 mouse, 2 key, 3 delay) and its id.
    std::vector<int32_t> MacroEventTypes(ULONG pid, ULONG index, GUID* id = nullptr) {
        std::vector<int32_t> types;
        ComPtr<IVtMacroStore> store = Macros(pid);
        ComPtr<IVtMacro> macro;
        if (!store || FAILED(store->GetMacroByIndex(index, macro.Put()))) return types;
        if (id) macro->GetId(id);
        BYTE* buffer = nullptr;
        ULONG cb = 0, count = 0;
        if (FAILED(macro->GetEvents(&cb, &buffer))) return types;
        if (cb >= 8) memcpy(&count, buffer + 4, 4);
        for (ULONG i = 0; i < count && 8 + 8 * (i + 1) <= cb; ++i) {
            int32_t type = 0;
            memcpy(&type, buffer + 8 + 8 * i, 4);
            types.push_back(type);
        }
        CoTaskMemFree(buffer);
        return types;
    }
    // The first key's record in the keyboard's active profile.
    VtActionRecord FirstKey(ULONG keyboard) {
        ComPtr<IVtProfile> profile;
        ComPtr<IVtAssignmentTable> table;
        VtActionRecord first{};
        ComPtr<IVtProfileManager> profiles = Profiles(keyboard);
        if (profiles && SUCCEEDED(profiles->GetActiveProfile(profile.Put())) &&
            SUCCEEDED(profile->CreateInterfaceInstance(IID_IVtAssignmentTable, table.PutVoid()))) {
            ULONG a = 0, count = 0;
            table->GetTableInfo(&a, &count);
            std::vector<VtActionRecord> records(count);
            ULONG n = count;
            if (count && SUCCEEDED(table->GetAssignments(&n, records.data()))) first = records[0];
        }
        return first;
    }
    ULONG Sinks() {
        ULONG objects = 0, sinks = 0;
        if (control) control->GetCounts(&objects, &sinks);
        return sinks;
    }
};

} // namespace vt::test
