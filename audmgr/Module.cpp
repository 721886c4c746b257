// VtAudMgr.dll: server entry points, the class factory of VtAudDeviceMgr and self-registration (AppID,
// ProgIDs, class key, type library).
#include "audmgr/Objects.h"
#include "audmgr/ServerStart.h"
#include "audmgr/Store.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>


using namespace vt::aud;

namespace {

HMODULE g_module = nullptr;

const wchar_t kAppId[] = L"{47EF9CFF-104E-4641-9773-BB36E02D7518}";
const wchar_t kClsid[] = L"{F5A17D0F-9301-4D98-9632-9B7B330B9238}";
const wchar_t kLibId[] = L"{1A3C65C7-0999-4669-98FC-8AFB584F8674}";
const wchar_t kClassName[] = L"VtAudDeviceMgr Class";
const GUID kLibGuid = {0x1A3C65C7, 0x0999, 0x4669, {0x98, 0xFC, 0x8A, 0xFB, 0x58, 0x4F, 0x86, 0x74}};


class ClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { ++g_moduleLocks; return 2; }
    STDMETHODIMP_(ULONG) Release() override { --g_moduleLocks; return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        // An aggregating outer object may ask for IUnknown only.
        if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
        auto* mgr = new (std::nothrow) CVtAudDeviceMgr(outer);
        if (!mgr) return E_OUTOFMEMORY;
        IUnknown* inner = mgr->Inner();
        const HRESULT hr = inner->QueryInterface(riid, ppv);
        inner->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) ++g_moduleLocks; else --g_moduleLocks;
        return S_OK;
    }
};
ClassFactory g_factory;

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    return path;
}

LSTATUS SetKey(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY k = nullptr;
    LSTATUS st = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    if (st != ERROR_SUCCESS) return st;
    st = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return st;
}

HRESULT Register() {
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsid;
    struct Entry { std::wstring key; const wchar_t* name; std::wstring value; };
    const Entry entries[] = {
        {std::wstring(L"AppID\\") + kAppId, nullptr, L"VtAudMgr"},
        {L"AppID\\VtAudMgr.DLL", L"AppID", kAppId},
        {L"VtAudMgr.VtAudDeviceMgr.1", nullptr, kClassName},
        {L"VtAudMgr.VtAudDeviceMgr.1\\CLSID", nullptr, kClsid},
        {L"VtAudMgr.VtAudDeviceMgr", nullptr, kClassName},
        {L"VtAudMgr.VtAudDeviceMgr\\CLSID", nullptr, kClsid},
        {L"VtAudMgr.VtAudDeviceMgr\\CurVer", nullptr, L"VtAudMgr.VtAudDeviceMgr.1"},
        {clsidKey, nullptr, kClassName},
        {clsidKey + L"\\ProgID", nullptr, L"VtAudMgr.VtAudDeviceMgr.1"},
        {clsidKey + L"\\VersionIndependentProgID", nullptr, L"VtAudMgr.VtAudDeviceMgr"},
        {clsidKey + L"\\InprocServer32", nullptr, ModulePath()},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsidKey + L"\\TypeLib", nullptr, kLibId},
    };
    for (const auto& e : entries) {
        const LSTATUS st = SetKey(e.key, e.name, e.value);
        if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    }
    ITypeLib* lib = nullptr;
    HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_REGISTER, &lib);
    if (lib) lib->Release();
    return hr;
}

HRESULT Unregister() {
    // The AppID parent key stays; our own keys go.
    const wchar_t* keys[] = {L"VtAudMgr.VtAudDeviceMgr.1", L"VtAudMgr.VtAudDeviceMgr", L"AppID\\VtAudMgr.DLL"};
    for (const wchar_t* k : keys) RegDeleteTreeW(HKEY_CLASSES_ROOT, k);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"AppID\\") + kAppId).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsid).c_str());
    UnRegisterTypeLib(kLibGuid, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    return S_OK;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

HRESULT WINAPI DllCanUnloadNow() {
    if (g_moduleLocks.load() != 0) return S_FALSE;
    // The firmware bytes are read from the headset again after the next load.
    ClearFirmwareCache();
    return S_OK;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    ServerStart();
    if (clsid != CLSID_VtAudDeviceMgr) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

HRESULT WINAPI DllRegisterServer() { return Register(); }
HRESULT WINAPI DllUnregisterServer() { return Unregister(); }

HRESULT WINAPI DllInstall(BOOL install, LPCWSTR cmdLine) {
    if (cmdLine && _wcsicmp(cmdLine, L"user") == 0) return S_OK;
    if (!install) return Unregister();
    const HRESULT hr = Register();
    if (FAILED(hr)) Unregister();
    return hr;
}

} // extern "C"
