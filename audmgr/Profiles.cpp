// Profile manager and profile: views on the registry store; every call opens the keys it needs.
#include "audmgr/Objects.h"
#include "audmgr/Store.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>

namespace vt::aud {

// ---- profile manager ----

STDMETHODIMP CVtProfileManager::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtProfileManager) *ppv = static_cast<IVtProfileManager*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtProfileManager::Init(ULONG limit, const std::wstring& deviceKeyPath, const std::wstring& devicePath) {
    m_limit = limit;
    m_devicePath = devicePath;
    StoreKey key;
    const LSTATUS st = key.Create(deviceKeyPath + L"\\Profiles");
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    m_profilesKey = deviceKeyPath + L"\\Profiles";
    return S_OK;
}

HRESULT CVtProfileManager::NewProfile(const GUID& id, IVtProfile** profile) {
    auto* p = new (std::nothrow) CVtProfile;
    if (!p) return E_OUTOFMEMORY;
    HRESULT hr = p->Init(id, m_profilesKey, m_devicePath);
    if (SUCCEEDED(hr)) hr = p->QueryInterface(IID_IVtProfile, reinterpret_cast<void**>(profile));
    p->Release();
    return hr;
}

STDMETHODIMP CVtProfileManager::GetProfileByIndex(ULONG index, IVtProfile** profile) {
    if (m_profilesKey.empty()) return E_ABORT;
    if (!profile) return E_POINTER;
    StoreKey key;
    if (key.Open(m_profilesKey) != ERROR_SUCCESS) return E_FAIL;
    const auto list = ReadProfileList(key);
    if (list.empty() || index >= list.size()) return E_FAIL;
    return NewProfile(list[index], profile);
}

STDMETHODIMP CVtProfileManager::GetProfileById(GUID id, IVtProfile** profile) {
    if (m_profilesKey.empty()) return E_ABORT;
    if (!profile) return E_POINTER;
    StoreKey key;
    const LSTATUS st = key.Open(m_profilesKey);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    bool sawOther = false;
    wchar_t name[261];
    for (DWORD i = 0; RegEnumKeyW(key.Get(), i, name, 260) == ERROR_SUCCESS; ++i) {
        GUID g{};
        if (!ParseGuid(name, &g)) continue;
        if (IsEqualGUID(g, id)) return NewProfile(g, profile);
        sawOther = true;
    }
    return sawOther ? E_NOINTERFACE : E_FAIL;
}

STDMETHODIMP CVtProfileManager::SetActiveProfile(IVtProfile* profile) {
    if (m_profilesKey.empty()) return E_ABORT;
    if (!profile) return E_POINTER;
    GUID id{};
    HRESULT hr = profile->GetId(&id);
    if (FAILED(hr)) return hr;
    StoreKey key;
    const LSTATUS st = key.Open(m_profilesKey);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    key.WriteString(L"ActiveProfile", GuidString(id));
    return profile->Apply();
}

STDMETHODIMP CVtProfileManager::GetActiveProfile(IVtProfile** profile) {
    if (m_profilesKey.empty()) return E_ABORT;
    if (!profile) return E_POINTER;
    StoreKey key;
    const LSTATUS st = key.Open(m_profilesKey);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    const auto text = key.ReadString(L"ActiveProfile", 260);
    if (!text) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    GUID id{};
    if (!ParseGuid(*text, &id)) return E_FAIL;
    return GetProfileById(id, profile);
}

STDMETHODIMP CVtProfileManager::CreateProfile(IVtProfile** profile) {
    if (m_profilesKey.empty()) return E_ABORT;
    if (!profile) return E_POINTER;
    StoreKey key;
    const LSTATUS st = key.Open(m_profilesKey);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    // A list that is there but damaged is not replaced: it may still be repaired by hand.
    if (ProfileListDamaged(key)) return E_FAIL;
    auto list = ReadProfileList(key);
    // The limit counts every profile, the built-in ones included; a list that is already over
    // the limit does not grow further.
    if (list.size() >= m_limit) return E_FAIL;
    GUID id{};
    HRESULT hr = CoCreateGuid(&id);
    if (FAILED(hr)) return hr;
    // The key comes first, so that a failure leaves no list entry without a profile.
    StoreKey profileKey;
    const LSTATUS cs = profileKey.Create(m_profilesKey + L"\\" + GuidString(id));
    if (cs != ERROR_SUCCESS) return HRESULT_FROM_WIN32(cs);
    profileKey.WriteString(L"Name", L"New");
    list.push_back(id);
    key.WriteBinary(L"ProfileList", list.data(), list.size() * sizeof(GUID));
    return GetProfileById(id, profile);
}

STDMETHODIMP CVtProfileManager::DeleteProfile(IVtProfile* profile) {
    if (m_profilesKey.empty()) return E_ABORT;
    if (!profile) return E_POINTER;
    GUID id{};
    HRESULT hr = profile->GetId(&id);
    if (FAILED(hr)) return hr;
    if (BuiltInRow(id) >= 0) return E_FAIL;
    StoreKey key;
    LSTATUS st = key.Open(m_profilesKey);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    GUID active{};
    const auto text = key.ReadString(L"ActiveProfile", 260);
    if (text && ParseGuid(*text, &active) && IsEqualGUID(active, id)) {
        key.WriteString(L"ActiveProfile", GuidString(kBuiltInProfiles[0].id));
        IVtProfile* def = nullptr;
        if (SUCCEEDED(GetActiveProfile(&def)) && def) {
            SetActiveProfile(def);
            def->Release();
        }
    }
    // The key is removed in the registry view the store was written in (the 64-bit one), before
    // the list is shortened, so that a failed deletion leaves no unlisted profile behind.
    st = RegDeleteKeyExW(Store().root, (m_profilesKey + L"\\" + GuidString(id)).c_str(), KEY_WOW64_64KEY, 0);
    if (st != ERROR_SUCCESS && st != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(st);
    auto list = ReadProfileList(key);
    const auto it = std::find_if(list.begin(), list.end(), [&](const GUID& g) { return IsEqualGUID(g, id); });
    if (it != list.end()) {
        list.erase(it);
        key.WriteBinary(L"ProfileList", list.data(), list.size() * sizeof(GUID));
    }
    return st == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(st);
}

// ---- profile ----

STDMETHODIMP CVtProfile::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtProfile) *ppv = static_cast<IVtProfile*>(this);
    else if (riid == IID_IVtPersistSettings) *ppv = static_cast<IVtPersistSettings*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtProfile::Init(const GUID& id, const std::wstring& profilesKeyPath, const std::wstring& devicePath) {
    m_id = id;
    m_devicePath = devicePath;
    m_transport = OpenTransport(devicePath);
    const std::wstring s = GuidString(id);
    if (s.size() != 38) return E_FAIL;
    m_keyPath = profilesKeyPath + L"\\" + s;
    return S_OK;
}

bool CVtProfile::Initialised() const { return !IsEqualGUID(m_id, GUID_NULL); }

STDMETHODIMP CVtProfile::CreateInterfaceInstance(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IVtLighting) {
        auto* o = new (std::nothrow) CVtLighting;
        if (!o) return E_OUTOFMEMORY;
        HRESULT hr = o->Init(m_keyPath, m_devicePath);
        if (SUCCEEDED(hr)) hr = o->QueryInterface(riid, ppv);
        o->Release();
        return hr;
    }
    if (riid == IID_IVtEqualizer) {
        auto* o = new (std::nothrow) CVtEqualizer;
        if (!o) return E_OUTOFMEMORY;
        HRESULT hr = o->Init(m_id, m_keyPath, m_devicePath);
        if (SUCCEEDED(hr)) hr = o->QueryInterface(riid, ppv);
        o->Release();
        return hr;
    }
    if (riid == IID_IVtBeamForm) {
        auto* o = new (std::nothrow) CVtBeamForm;
        if (!o) return E_OUTOFMEMORY;
        HRESULT hr = o->Init(m_keyPath, m_devicePath);
        if (SUCCEEDED(hr)) hr = o->QueryInterface(riid, ppv);
        o->Release();
        return hr;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP CVtProfile::GetId(GUID* id) {
    if (!id) return E_POINTER;
    *id = m_id;
    return S_OK;
}

STDMETHODIMP CVtProfile::GetName(ULONG* cch, WCHAR** name) {
    if (!cch || !name) return E_POINTER;
    *cch = 0;
    *name = nullptr;
    StoreKey key;
    const LSTATUS st = key.Open(m_keyPath);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    const auto text = key.ReadString(L"Name", 520);
    if (!text) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    const size_t n = text->size() + 1;
    auto* out = static_cast<WCHAR*>(CoTaskMemAlloc(n * sizeof(WCHAR)));
    if (!out) return E_OUTOFMEMORY;
    std::memcpy(out, text->c_str(), n * sizeof(WCHAR));
    *name = out;
    *cch = static_cast<ULONG>(n);
    return S_OK;
}

STDMETHODIMP CVtProfile::SetName(LPCWSTR name) {
    if (!name) return E_POINTER;
    if (BuiltInRow(m_id) >= 0) return E_FAIL;
    StoreKey key;
    LSTATUS st = key.Open(m_keyPath);
    if (st != ERROR_SUCCESS) return HRESULT_FROM_WIN32(st);
    st = key.WriteString(L"Name", name);
    return HRESULT_FROM_WIN32(st);
}

STDMETHODIMP CVtProfile::Apply() {
    if (!Initialised()) return E_ABORT;
    // The settings go one after the other until the headset fails to take one: a busy or silent
    // headset would make every further step wait for its bound. The answer tells whether it took all.
    bool took = true;
    auto note = [&took](HRESULT hr) { if (FAILED(hr)) took = false; };
    // Lighting: every zone's colour and state again.
    IVtLighting* lighting = nullptr;
    if (SUCCEEDED(CreateInterfaceInstance(IID_IVtLighting, reinterpret_cast<void**>(&lighting)))) {
        IVtLightingZone* zone = nullptr;
        for (ULONG i = 0; took && SUCCEEDED(lighting->GetZone(i, &zone)); ++i) {
            IVtLightingColor* colour = nullptr;
            if (SUCCEEDED(zone->QueryInterface(IID_IVtLightingColor, reinterpret_cast<void**>(&colour)))) {
                DWORD c = 0;
                if (SUCCEEDED(colour->GetColor(&c))) note(colour->SetColor(c));
                colour->Release();
            }
            LONG on = 0;
            if (took && SUCCEEDED(zone->IsOn(&on))) note(on ? zone->TurnOn() : zone->TurnOff());
            zone->Release();
            zone = nullptr;
        }
        lighting->Release();
    }
    // Equaliser: every band's gain, then the switch.
    IVtEqualizer* eq = nullptr;
    if (took && SUCCEEDED(CreateInterfaceInstance(IID_IVtEqualizer, reinterpret_cast<void**>(&eq)))) {
        IVtEQGain* gain = nullptr;
        if (SUCCEEDED(eq->QueryInterface(IID_IVtEQGain, reinterpret_cast<void**>(&gain)))) {
            for (ULONG b = 0; took && b < 10; ++b) {
                SHORT g = 0;
                if (SUCCEEDED(gain->GetGain(b, &g))) note(gain->SetGain(b, g));
            }
            gain->Release();
        }
        LONG on = 0;
        if (took && SUCCEEDED(eq->IsEnable(&on))) note(eq->Enable(on));
        eq->Release();
    }
    IVtBeamForm* bf = nullptr;
    if (took && SUCCEEDED(CreateInterfaceInstance(IID_IVtBeamForm, reinterpret_cast<void**>(&bf)))) {
        long on = 0;
        if (SUCCEEDED(bf->IsEnable(&on))) note(bf->Enable(on));
        bf->Release();
    }
    // Apply handshake: wait while bit 7 of the apply register is set, write 0xC1, wait again. A
    // register that cannot be read or stays busy beyond the bound fails the apply.
    auto waitApply = [&] {
        const unsigned long start = m_transport->NowMs();
        uint8_t v = 0;
        for (;;) {
            if (m_transport->ReadMemory(kAddrApply, &v, 1)) return false;
            if (!(v & 0x80)) return true;
            if (m_transport->NowMs() - start >= CHidTransport::kReadyTimeoutMs) return false;
            m_transport->Sleep(50);
        }
    };
    if (!took || !waitApply()) return E_FAIL;
    const uint8_t go = 0xC1;
    if (m_transport->WriteMemory(kAddrApply, &go, 1) || !waitApply()) return E_FAIL;
    return S_OK;
}

STDMETHODIMP CVtProfile::Export(LPCWSTR path) {
    if (!Initialised()) return E_ABORT;
    if (!path) return E_POINTER;
    if (!*path || wcschr(path, L'"')) return E_INVALIDARG;
    // Always overwrite without asking: the tool would otherwise wait for an answer that never
    // comes when the file exists (the caller's save dialog has already asked).
    const std::wstring command = L"Reg Export " + Store().rootName + L"\\" + m_keyPath + L" \"" + path + L"\" /y";
    if (command.size() >= 32767) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    typedef BOOL(WINAPI * IsWow64Fn)(HANDLE, PBOOL);
    BOOL wow64 = FALSE;
    if (auto fn = reinterpret_cast<IsWow64Fn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")))) {
        if (!fn(GetCurrentProcess(), &wow64)) return HRESULT_FROM_WIN32(GetLastError());
    }
    PVOID redirection = nullptr;
    if (wow64 && !Wow64DisableWow64FsRedirection(&redirection)) return HRESULT_FROM_WIN32(GetLastError());

    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    HRESULT hr = S_OK;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        hr = HRESULT_FROM_WIN32(GetLastError());
    } else {
        if (WaitForSingleObject(pi.hProcess, kExportTimeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 1000);
            hr = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
        } else {
            DWORD code = 1;
            GetExitCodeProcess(pi.hProcess, &code);
            if (code != 0) hr = E_FAIL;
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (wow64 && !Wow64RevertWow64FsRedirection(redirection) && SUCCEEDED(hr)) hr = HRESULT_FROM_WIN32(GetLastError());
    return hr;
}

STDMETHODIMP CVtProfile::Save() {
    if (!Initialised()) return E_ABORT;
    HRESULT hr = E_FAIL;
    const IID* iids[3] = {&IID_IVtLighting, &IID_IVtEqualizer, &IID_IVtBeamForm};
    for (const IID* iid : iids) {
        IUnknown* feature = nullptr;
        hr = CreateInterfaceInstance(*iid, reinterpret_cast<void**>(&feature));
        if (FAILED(hr)) continue;
        IVtPersistSettings* persist = nullptr;
        hr = feature->QueryInterface(IID_IVtPersistSettings, reinterpret_cast<void**>(&persist));
        if (SUCCEEDED(hr)) {
            hr = persist->Save();
            persist->Release();
        }
        feature->Release();
    }
    return hr;
}

} // namespace vt::aud
