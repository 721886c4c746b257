#include "device/ProfileSync.h"
#include <cstring>

namespace vt::device {

namespace {
constexpr ULONG kLinkBytes = 256;
constexpr size_t kLinkChars = 127;

bool WriteFlag(IVtProfileProperties* props, uint16_t mask, uint8_t value) {
    uint16_t word[2] = {mask, uint16_t(value ? 1 : 0)};
    return SUCCEEDED(props->SetProperty(VT_PROP_LINK_FLAGS, reinterpret_cast<const BYTE*>(word), 0, 4, 0));
}

bool ReadFlags(IVtProfileProperties* props, uint16_t& flags) {
    uint16_t word = 0;
    ULONG size = sizeof(word);
    if (FAILED(props->GetProperty(VT_PROP_LINK_FLAGS, 0, reinterpret_cast<BYTE*>(&word), 0, &size)) || size == 0)
        return false;
    flags = word;
    return true;
}
} // namespace

bool GetEngineProfileId(IVtProfile* profile, GUID& id) {
    id = GUID{};
    return profile && SUCCEEDED(profile->GetId(&id));
}

bool GetEngineProfileName(IVtProfile* profile, std::wstring& name) {
    name.clear();
    if (!profile) return false;
    ULONG cch = 0;
    WCHAR* text = nullptr;
    HRESULT hr = profile->GetName(&cch, &text);
    name = TakeEngineString(text, cch);
    return SUCCEEDED(hr);
}

bool FindEngineProfile(IVtProfileManager* manager, const GUID& id, ComPtr<IVtProfile>& out) {
    out.Reset();
    if (!manager || IsNullGuid(id)) return false;
    if (FAILED(manager->GetProfileById(id, out.Put())) || !out) {
        out.Reset();
        return false;
    }
    return true;
}

GUID GetActiveProfileId(IVtProfileManager* manager) {
    GUID id{};
    if (!manager) return id;
    ComPtr<IVtProfile> active;
    if (SUCCEEDED(manager->GetActiveProfile(active.Put())) && active) GetEngineProfileId(active.Get(), id);
    return id;
}

int32_t CountEngineProfiles(IVtProfileManager* manager) {
    int32_t count = 0;
    if (!manager) return 0;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtProfile> p;
        if (FAILED(manager->GetProfileByIndex(i, p.Put())) || !p) break;
        ++count;
    }
    return count;
}

bool ActivateProfileById(IVtProfileManager* manager, const GUID& id) {
    ComPtr<IVtProfile> profile;
    if (!FindEngineProfile(manager, id, profile)) return false;
    return SUCCEEDED(manager->SetActiveProfile(profile.Get()));
}

namespace {
// How the engine says that there is no profile at an index. Anything else (a lost server, a
// refused call) is a failure of the read, not the end of the list.
bool IsEndOfList(HRESULT hr) {
    return hr == E_FAIL || hr == E_INVALIDARG || hr == HRESULT(0x8000000BL) /* E_BOUNDS */ ||
           hr == HRESULT_FROM_WIN32(ERROR_NO_MORE_ITEMS);
}
} // namespace

const EngineProfileEntry* EngineProfileList::Active() const {
    for (const EngineProfileEntry& e : profiles)
        if (GuidsEqual(e.id, active)) return &e;
    return nullptr;
}

bool ReadEngineProfileList(IVtProfileManager* manager, EngineProfileList& list, bool withNames) {
    list = EngineProfileList{};
    if (!manager) return false;
    EngineProfileList read;
    for (ULONG index = 0;; ++index) {
        EngineProfileEntry e;
        HRESULT hr = manager->GetProfileByIndex(index, e.engine.Put());
        if (FAILED(hr) || !e.engine) {
            if (SUCCEEDED(hr) || IsEndOfList(hr)) break;
            return false;
        }
        if (!GetEngineProfileId(e.engine.Get(), e.id) || IsNullGuid(e.id)) return false;
        if (withNames && !GetEngineProfileName(e.engine.Get(), e.name)) return false;
        read.profiles.push_back(std::move(e));
    }
    if (!read.profiles.empty()) {
        // The engine always has an active profile while it has profiles; one that is not in the
        // list means the list was cut short.
        read.active = GetActiveProfileId(manager);
        if (IsNullGuid(read.active) || !read.Active()) return false;
    }
    list = std::move(read);
    return true;
}

bool NamesEqualNoCase(const std::wstring& a, const std::wstring& b) {
    return vt::win::EqualsNoCase(a, b);
}

bool WriteProfileLink(IVtProfile* profile, const wchar_t* name, const wchar_t* path, uint8_t autoSwitch,
                      uint8_t dpiOsd, uint8_t profileOsd) {
    if (!profile) return false;
    profile->SetName(name ? name : L"");  // its answer is not part of the link's
    ComPtr<IVtProfileProperties> props;
    if (!ProfileFeature(profile, IID_IVtProfileProperties, props)) return false;
    size_t length = path ? std::wcslen(path) : 0;
    if (length > kLinkChars) return false;
    wchar_t buffer[kLinkBytes / sizeof(wchar_t)] = {};
    if (length) std::memcpy(buffer, path, length * sizeof(wchar_t));
    bool ok = SUCCEEDED(props->SetProperty(VT_PROP_LINKED_PROGRAM, reinterpret_cast<const BYTE*>(buffer), 0,
                                           kLinkBytes, 0));
    bool mask1Failed = false;
    if (ok) {
        mask1Failed = !WriteFlag(props.Get(), 1, length ? autoSwitch : 0);
        ok = !mask1Failed;
    }
    if (mask1Failed) return false;
    if (!WriteFlag(props.Get(), 2, dpiOsd)) return false;
    return WriteFlag(props.Get(), 4, profileOsd) && ok;
}

ProfileLinkRead ReadProfileLink(IVtProfile* profile) {
    ProfileLinkRead r;
    if (!profile) return r;
    r.hasName = GetEngineProfileName(profile, r.name);
    r.hasId = GetEngineProfileId(profile, r.id);
    ComPtr<IVtProfileProperties> props;
    if (!ProfileFeature(profile, IID_IVtProfileProperties, props)) return r;
    wchar_t buffer[kLinkBytes / sizeof(wchar_t) + 1] = {};
    ULONG size = kLinkBytes;
    // The flag word is read once and serves both the automatic switch (only with a path) and the
    // display flags.
    uint16_t flags = 0;
    bool flagsRead = false;
    if (SUCCEEDED(props->GetProperty(VT_PROP_LINKED_PROGRAM, 0, reinterpret_cast<BYTE*>(buffer), 0, &size)) &&
        size != 0) {
        size_t chars = std::min<size_t>(size, kLinkBytes) / sizeof(wchar_t);
        r.path.assign(buffer, wcsnlen(buffer, chars));
        r.hasPath = true;
        flagsRead = ReadFlags(props.Get(), flags);
        if (flagsRead) {
            r.hasAutoSwitch = true;
            r.autoSwitch = flags & 1;
        }
    }
    if (flagsRead || ReadFlags(props.Get(), flags)) {
        r.hasOsdFlags = true;
        r.dpiOsd = (flags >> 1) & 1;
        r.profileOsd = (flags >> 2) & 1;
    }
    return r;
}

} // namespace vt::device
