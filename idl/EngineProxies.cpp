#include "EngineProxies.h"
#include <windows.h>
#include <objbase.h>
#include <mutex>
#include <vector>
#include "VtEngine.h"

namespace vt {

namespace {

const IID* const kEventInterfaces[] = {
    &IID__IProfileManagerEvents, &IID__IDPIEvents, &IID__IApplicationEvent, &IID__IOTFMacroRecordingEvents,
};

const IID* const kObjectInterfaces[] = {
    &IID_IVtDeviceMgr,           &IID_IVtDevice,        &IID_IVtDeviceIdentity,  &IID_IVtKeyboardInfo,
    &IID_IVtProfileProperties,   &IID_IVtDpi,           &IID_IVtButtonAssignments, &IID_IVtAssignmentTable,
    &IID_IVtRateList,            &IID_IVtAcceleration,  &IID_IVtMacroStore,      &IID_IVtMacro,
    &IID_IVtAppLauncher,         &IID_IVtLaunchEntry,   &IID_IVtEntryCollection, &IID_IVtCollectionEntry,
    &IID_IVtKeyEntries,          &IID_IVtKeyboardMode,  &IID_IVtMacroRecorder,  &IID_IVtSimControl,
    &IID_IVtProfileManager,      &IID_IVtProfile,       &IID_IVtLighting,        &IID_IVtLightingZone,
    &IID_IVtLightingColor,       &IID_IVtLightingEffect, &IID_IVtLightingBrightness, &IID_IVtEqualizer,
    &IID_IVtEQGain,              &IID_IVtSync,
};

// Looked up once for the process, before any registration here could answer in the registry's
// place: the factory that marshals the device manager, and the interfaces the system gives to
// that same factory (an interface another library marshals is left to the registry).
struct Factory {
    CLSID clsid{};
    IUnknown* object = nullptr;  // kept for the process's life, like the library it comes from
    std::vector<const IID*> interfaces;
};

const Factory& EngineFactory() {
    static std::once_flag once;
    static Factory factory;
    std::call_once(once, [] {
        CLSID clsid{};
        if (FAILED(CoGetPSClsid(IID_IVtDeviceMgr, &clsid))) return;
        IUnknown* object = nullptr;
        if (FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IUnknown, reinterpret_cast<void**>(&object))) ||
            !object)
            return;
        for (std::span<const IID* const> list : {EngineObjectInterfaces(), std::span<const IID* const>(kEventInterfaces)})
            for (const IID* iid : list) {
                CLSID own{};
                if (SUCCEEDED(CoGetPSClsid(*iid, &own)) && IsEqualCLSID(own, clsid)) factory.interfaces.push_back(iid);
            }
        factory.clsid = clsid;
        factory.object = object;
    });
    return factory;
}

} // namespace

std::span<const IID* const> EngineObjectInterfaces() { return kObjectInterfaces; }

void UseEngineProxiesInThisApartment() {
    const Factory& factory = EngineFactory();
    if (!factory.object) return;
    // Kept until the apartment ends (a class registered again in the same apartment is left as it is).
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(factory.clsid, factory.object, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        return;
    for (const IID* iid : factory.interfaces) CoRegisterPSClsid(*iid, factory.clsid);
}

} // namespace vt
