// The audio manager server from a client process: registration, creation through COM, the type
// library, unloading, and every object of the server against the simulated headset. The registered
// server is the test twin (VtAudMgrSim.dll, fixture "audmgr_twin"), built from the product's server
// pieces; the product's VtAudMgr.dll is loaded from the program folder image by its path.
#include "VtAudMgr.h"
#include "WindowTest.h"
#include "standin/audio/FakeAudioEndpoints.h"
#include "standin/headset/HeadsetSimulator.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

const wchar_t kClsid[] = L"{F5A17D0F-9301-4D98-9632-9B7B330B9238}";
const wchar_t kDeviceKey[] = L"SOFTWARE\\VELTO\\0.01\\{CE89CE08-D9EC-4A3B-B359-2F7EA6611A2F}";
const GUID kLibId = {0x1A3C65C7, 0x0999, 0x4669, {0x98, 0xFC, 0x8A, 0xFB, 0x58, 0x4F, 0x86, 0x74}};
const GUID kDefaultProfile = {0x232EFC9F, 0x25A8, 0x47C7, {0xA7, 0x98, 0x45, 0x1F, 0x3C, 0x29, 0x46, 0xDE}};
const GUID kDravon = {0x1CE012A5, 0x0116, 0x4E49, {0x8D, 0xB9, 0xFD, 0x9C, 0x16, 0x99, 0x93, 0x43}};

template <class T>
struct Ptr {
    T* p = nullptr;
    ~Ptr() { Reset(); }
    void Reset() { if (p) { p->Release(); p = nullptr; } }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
    void** V() { return reinterpret_cast<void**>(&p); }
};

std::wstring ReadClassesValue(const std::wstring& key, const wchar_t* name) {
    wchar_t buf[512] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buf;
}

std::wstring ServerPath() { return ReadClassesValue(std::wstring(L"CLSID\\") + kClsid + L"\\InprocServer32", nullptr); }

using GetClassFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

// The product's VtAudMgr.dll of the program folder image, loaded by its path, and its class object.
struct ProductServer {
    HMODULE dll = LoadLibraryW((vt::test::ImageFolder() + L"VtAudMgr.dll").c_str());
    ~ProductServer() { if (dll) FreeLibrary(dll); }
    GetClassFn GetClassObject() const {
        return dll ? reinterpret_cast<GetClassFn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")))
                   : nullptr;
    }
};

class AudComServer : public testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

void ExpectRegistered() {
    const std::wstring clsid = std::wstring(L"CLSID\\") + kClsid;
    struct Row { std::wstring key; const wchar_t* name; const wchar_t* value; };
    const Row rows[] = {
        {L"AppID\\{47EF9CFF-104E-4641-9773-BB36E02D7518}", nullptr, L"VtAudMgr"},
        {L"AppID\\VtAudMgr.DLL", L"AppID", L"{47EF9CFF-104E-4641-9773-BB36E02D7518}"},
        {L"VtAudMgr.VtAudDeviceMgr.1", nullptr, L"VtAudDeviceMgr Class"},
        {L"VtAudMgr.VtAudDeviceMgr.1\\CLSID", nullptr, kClsid},
        {L"VtAudMgr.VtAudDeviceMgr", nullptr, L"VtAudDeviceMgr Class"},
        {L"VtAudMgr.VtAudDeviceMgr\\CLSID", nullptr, kClsid},
        {L"VtAudMgr.VtAudDeviceMgr\\CurVer", nullptr, L"VtAudMgr.VtAudDeviceMgr.1"},
        {clsid, nullptr, L"VtAudDeviceMgr Class"},
        {clsid + L"\\ProgID", nullptr, L"VtAudMgr.VtAudDeviceMgr.1"},
        {clsid + L"\\VersionIndependentProgID", nullptr, L"VtAudMgr.VtAudDeviceMgr"},
        {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid + L"\\TypeLib", nullptr, L"{1A3C65C7-0999-4669-98FC-8AFB584F8674}"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ReadClassesValue(r.key, r.name), r.value) << std::string(r.key.begin(), r.key.end());
    EXPECT_NE(ServerPath().find(L"VtAudMgrSim.dll"), std::wstring::npos);
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(kLibId, 1, 0, LOCALE_NEUTRAL, &lib), S_OK);
    BSTR doc = nullptr;
    lib->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr);
    EXPECT_STREQ(doc, L"VtAudMgr 1.0 Type Library");
    SysFreeString(doc);
    for (const IID* iid : {&IID_IVtAudDeviceMgr, &IID_IVtAudDevice, &IID_IVtBeamForm, &IID_IVtSync,
                           &IID_IVtEqualizer, &IID_IVtEQGain}) {
        ITypeInfo* info = nullptr;
        EXPECT_EQ(lib->GetTypeInfoOfGuid(*iid, &info), S_OK);
        if (info) info->Release();
    }
    ITypeInfo* info = nullptr;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IVtProfile, &info), TYPE_E_ELEMENTNOTFOUND);
    lib->Release();
}

TEST_F(AudComServer, RegisteredByRegsvr32) { ExpectRegistered(); }

TEST_F(AudComServer, UnregisterAndRegisterAgain) {
    HMODULE dll = LoadLibraryW(ServerPath().c_str());
    ASSERT_NE(dll, nullptr);
    using Fn = HRESULT(WINAPI*)();
    using Install = HRESULT(WINAPI*)(BOOL, LPCWSTR);
    auto reg = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    auto unreg = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
    ASSERT_TRUE(reg && unreg && install);
    EXPECT_EQ(install(FALSE, L"user"), S_OK);
    ExpectRegistered();
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_EQ(ReadClassesValue(std::wstring(L"CLSID\\") + kClsid, nullptr), L"<missing>");
    EXPECT_EQ(ReadClassesValue(L"VtAudMgr.VtAudDeviceMgr", nullptr), L"<missing>");
    ITypeLib* lib = nullptr;
    EXPECT_NE(LoadRegTypeLib(kLibId, 1, 0, LOCALE_NEUTRAL, &lib), S_OK);
    if (lib) lib->Release();
    ASSERT_EQ(install(TRUE, nullptr), S_OK);
    ExpectRegistered();
    FreeLibrary(dll);
}

TEST_F(AudComServer, OnlyTheDeviceManagerIsCreatable) {
    Ptr<IVtAudDeviceMgr> mgr;
    ASSERT_EQ(CoCreateInstance(CLSID_VtAudDeviceMgr, nullptr, CLSCTX_INPROC_SERVER, IID_IVtAudDeviceMgr, mgr.V()), S_OK);
    Ptr<IUnknown> eq;
    EXPECT_EQ(CoCreateInstance(CLSID_VtEqualizer, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, eq.V()),
              REGDB_E_CLASSNOTREG);
    ProductServer product;
    const GetClassFn get = product.GetClassObject();
    ASSERT_NE(get, nullptr);
    void* pv = nullptr;
    EXPECT_EQ(get(CLSID_VtEqualizer, IID_IClassFactory, &pv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pv, nullptr);
    // Aggregation: the outer object gets the inner unknown; the manager's own interface then
    // counts and answers on the outer object.
    struct Outer : IUnknown {
        ULONG refs = 1;
        IUnknown* inner = nullptr;
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
            if (riid == IID_IUnknown) { *ppv = this; AddRef(); return S_OK; }
            return inner->QueryInterface(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
        STDMETHODIMP_(ULONG) Release() override { return --refs; }
    } outer;
    Ptr<IClassFactory> factory;
    ASSERT_EQ(get(CLSID_VtAudDeviceMgr, IID_IClassFactory, factory.V()), S_OK);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IVtAudDeviceMgr, &pv), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
    IVtAudDeviceMgr* aggregated = nullptr;
    ASSERT_EQ(outer.QueryInterface(IID_IVtAudDeviceMgr, reinterpret_cast<void**>(&aggregated)), S_OK);
    EXPECT_EQ(outer.refs, 2u);
    IUnknown* controlling = nullptr;
    ASSERT_EQ(aggregated->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&controlling)), S_OK);
    EXPECT_EQ(controlling, static_cast<IUnknown*>(&outer));
    controlling->Release();
    Ptr<IVtAudDevice> device;
    EXPECT_EQ(aggregated->EnumDevices(0, &device), E_FAIL);  // the product has no simulated headset
    aggregated->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(outer.inner->Release(), 0u);
}

// The product looks at the real HID devices: Wine has no headset.
TEST_F(AudComServer, ProductFindsNoHeadsetAmongTheRealDevices) {
    ProductServer product;
    const GetClassFn get = product.GetClassObject();
    ASSERT_NE(get, nullptr);
    Ptr<IClassFactory> factory;
    ASSERT_EQ(get(CLSID_VtAudDeviceMgr, IID_IClassFactory, factory.V()), S_OK);
    Ptr<IVtAudDeviceMgr> mgr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVtAudDeviceMgr, mgr.V()), S_OK);
    Ptr<IVtAudDevice> device;
    EXPECT_EQ(mgr->EnumDevices(0, &device), E_FAIL);
    EXPECT_EQ(device.p, nullptr);
}

TEST_F(AudComServer, UnloadsOnlyWhenNoObjectLives) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDeviceKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                              &key, nullptr), ERROR_SUCCESS);
    const BYTE fw[4] = {1, 2, 3, 4};
    RegSetValueExW(key, L"FW", 0, REG_BINARY, fw, 4);
    HMODULE dll = LoadLibraryW(ServerPath().c_str());
    ASSERT_NE(dll, nullptr);
    using Fn = HRESULT(WINAPI*)();
    auto canUnload = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    auto get = reinterpret_cast<GetClassFn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    Ptr<IClassFactory> factory;
    ASSERT_EQ(get(CLSID_VtAudDeviceMgr, IID_IClassFactory, factory.V()), S_OK);
    Ptr<IVtAudDeviceMgr> mgr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVtAudDeviceMgr, mgr.V()), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    BYTE back[4] = {};
    DWORD size = 4;
    RegQueryValueExW(key, L"FW", nullptr, nullptr, back, &size);
    EXPECT_EQ(back[0], 1);
    mgr.Reset();
    EXPECT_EQ(canUnload(), S_OK);
    size = 4;
    RegQueryValueExW(key, L"FW", nullptr, nullptr, back, &size);
    EXPECT_EQ(std::vector<BYTE>(back, back + 4), std::vector<BYTE>(4, 0));
    RegCloseKey(key);
    FreeLibrary(dll);
}

// Every object of the server, through COM, against the simulated headset.
class AudComSimulated : public AudComServer {
protected:
    void SetUp() override {
        AudComServer::SetUp();
        // A fresh store for this run: the device key is created with the built-in profiles.
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDeviceKey);
        ASSERT_EQ(CoCreateInstance(CLSID_VtAudDeviceMgr, nullptr, CLSCTX_INPROC_SERVER, IID_IVtAudDeviceMgr, mgr.V()),
                  S_OK);
        HMODULE dll = GetModuleHandleW(L"VtAudMgrSim.dll");
        ASSERT_NE(dll, nullptr);
        using Get = void* (*)();
        sim = static_cast<vt::sim::IHeadsetControl*>(
            reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(dll, "VtAudMgrHeadsetSimulator")))());
        endpoints = static_cast<vt::sim::FakeAudioEndpoints*>(
            reinterpret_cast<Get>(reinterpret_cast<void*>(GetProcAddress(dll, "VtAudMgrFakeEndpoints")))());
        ASSERT_NE(sim, nullptr);
        ASSERT_NE(endpoints, nullptr);
    }
    void TearDown() override {
        mgr.Reset();
        AudComServer::TearDown();
    }
    Ptr<IVtAudDeviceMgr> mgr;
    vt::sim::IHeadsetControl* sim = nullptr;
    vt::sim::FakeAudioEndpoints* endpoints = nullptr;
};

// QueryInterface answers IUnknown and exactly the object's own interfaces.
void ExpectInterfaces(IUnknown* obj, std::vector<const IID*> yes) {
    const IID* all[] = {&IID_IVtAudDeviceMgr, &IID_IVtAudDevice, &IID_IVtSync, &IID_IVtProfileManager, &IID_IVtProfile,
                        &IID_IVtPersistSettings, &IID_IVtLighting, &IID_IVtLightingZone, &IID_IVtLightingColor,
                        &IID_IVtLightingEffect, &IID_IVtLightingBrightness, &IID_IVtEqualizer, &IID_IVtEQGain,
                        &IID_IVtBeamForm, &IID_IDispatch};
    yes.push_back(&IID_IUnknown);
    for (const IID* iid : all) {
        const bool expected = std::find(yes.begin(), yes.end(), iid) != yes.end();
        IUnknown* got = nullptr;
        EXPECT_EQ(obj->QueryInterface(*iid, reinterpret_cast<void**>(&got)), expected ? S_OK : E_NOINTERFACE);
        if (got) got->Release();
    }
}

TEST_F(AudComSimulated, EveryObjectAndInterface) {
    ExpectInterfaces(mgr.p, {&IID_IVtAudDeviceMgr});
    Ptr<IVtAudDevice> device;
    ASSERT_EQ(mgr->EnumDevices(0, &device), S_OK);
    ExpectInterfaces(device.p, {&IID_IVtAudDevice, &IID_IVtSync});
    Ptr<IVtAudDevice> none;
    EXPECT_EQ(mgr->EnumDevices(1, &none), E_FAIL);

    _AUDDEVICEINFOTYPE info{};
    ASSERT_EQ(device->GetDeviceInfo(&info), S_OK);
    EXPECT_EQ(info.dwProductId, 0x1Bu);
    EXPECT_EQ(info.FirmwareVersion.Version, 0x00010003u);
    EXPECT_NE(info.pwszDevicePath, nullptr);
    CoTaskMemFree(info.pwszDevicePath);

    GUID iid = IID_IVtProfileManager;
    Ptr<IVtProfileManager> pm;
    ASSERT_EQ(device->CreateInterfaceInstance(&iid, pm.V()), S_OK);
    ExpectInterfaces(pm.p, {&IID_IVtProfileManager});
    Ptr<IVtProfile> active;
    ASSERT_EQ(pm->GetActiveProfile(&active), S_OK);
    GUID id{};
    active->GetId(&id);
    EXPECT_TRUE(IsEqualGUID(id, kDefaultProfile));
    Ptr<IVtProfile> dravon;
    ASSERT_EQ(pm->GetProfileById(kDravon, &dravon), S_OK);
    ExpectInterfaces(dravon.p, {&IID_IVtProfile, &IID_IVtPersistSettings});
    const unsigned applies = sim->ApplyCount();
    ASSERT_EQ(pm->SetActiveProfile(dravon.p), S_OK);
    EXPECT_EQ(sim->ApplyCount(), applies + 1);
    EXPECT_EQ(sim->Memory(0x1021 + 9 * 11), 0xa1);  // band 9 block, first byte (16 kHz shelf +4 dB)

    Ptr<IVtLighting> lighting;
    ASSERT_EQ(dravon->CreateInterfaceInstance(IID_IVtLighting, lighting.V()), S_OK);
    ExpectInterfaces(lighting.p, {&IID_IVtLighting, &IID_IVtPersistSettings});
    Ptr<IVtLightingZone> zone;
    ASSERT_EQ(lighting->GetZone(2, &zone), S_OK);
    ExpectInterfaces(zone.p, {&IID_IVtLightingZone, &IID_IVtLightingColor, &IID_IVtLightingEffect,
                              &IID_IVtLightingBrightness});
    Ptr<IVtLightingColor> colour;
    zone->QueryInterface(IID_IVtLightingColor, colour.V());
    ASSERT_EQ(colour->SetColor(0x000000FF), S_OK);
    EXPECT_EQ(sim->BusRegister(0x62, 2), 0xFF);

    Ptr<IVtEqualizer> eq;
    ASSERT_EQ(dravon->CreateInterfaceInstance(IID_IVtEqualizer, eq.V()), S_OK);
    ExpectInterfaces(eq.p, {&IID_IVtEqualizer, &IID_IVtEQGain, &IID_IVtPersistSettings});
    Ptr<IVtEQGain> gain;
    eq->QueryInterface(IID_IVtEQGain, gain.V());
    ASSERT_EQ(gain->SetGain(5, -3), S_OK);
    SHORT g = 0;
    gain->GetGain(5, &g);
    EXPECT_EQ(g, -3);
    ASSERT_EQ(eq->Enable(1), S_OK);
    EXPECT_EQ(sim->Memory(0x1137) & 1, 1);

    Ptr<IVtBeamForm> bf;
    ASSERT_EQ(dravon->CreateInterfaceInstance(IID_IVtBeamForm, bf.V()), S_OK);
    ExpectInterfaces(bf.p, {&IID_IVtBeamForm, &IID_IVtPersistSettings});
    ASSERT_EQ(bf->Enable(1), S_OK);
    EXPECT_EQ(sim->Memory(0x1136) & 0x08, 0x08);
    Ptr<IUnknown> nothing;
    EXPECT_EQ(dravon->CreateInterfaceInstance(IID_IVtSync, nothing.V()), E_NOINTERFACE);

    // Volume sync through the server's fake recording endpoint.
    Ptr<IVtSync> sync;
    ASSERT_EQ(device->QueryInterface(IID_IVtSync, sync.V()), S_OK);
    ASSERT_EQ(sync->SyncEnable(1), S_OK);
    Sleep(150);
    sim->SetMicMuted(true);
    bool muted = false;
    for (int i = 0; i < 50 && !(muted = endpoints->Get(0).muted); ++i) Sleep(20);
    EXPECT_TRUE(muted);
    ASSERT_EQ(sync->SyncEnable(0), S_OK);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"Dravon export.vtp";
    EXPECT_EQ(dravon->Export(file.c_str()), S_OK);
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(file.c_str());
}

} // namespace
