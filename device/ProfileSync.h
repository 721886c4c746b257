#pragma once
// Keeping the engine's profiles in step with the model's: identity (id and name), the set of
// profiles (the model wins), the program link and its flags, and the active profile. Templates
// over the configuration and profile interfaces so every device kind uses the same steps.
#include "device/EngineConnection.h"
#include "profile/Records.h"
#include "win/Strings.h"
#include <cstdint>
#include <string>

namespace vt::device {

using vt::win::ComPtr;

// Single engine calls with their strings and ids taken care of.
bool GetEngineProfileId(IVtProfile* profile, GUID& id);
bool GetEngineProfileName(IVtProfile* profile, std::wstring& name);
bool FindEngineProfile(IVtProfileManager* manager, const GUID& id, ComPtr<IVtProfile>& out);
// The active engine profile's id; the zero id when it cannot be read.
GUID GetActiveProfileId(IVtProfileManager* manager);
// Engine profiles counted by index until the first failure.
int32_t CountEngineProfiles(IVtProfileManager* manager);
// The engine profile with this id becomes the active one.
bool ActivateProfileById(IVtProfileManager* manager, const GUID& id);

// Names compared as the wide, case-insensitive comparison does.
bool NamesEqualNoCase(const std::wstring& a, const std::wstring& b);

// Program link of one engine profile: its name, the linked program (property 0x80000002,
// 256 bytes of UTF-16, at most 127 characters) and the three link flags (property 0x80000003).
// A path longer than 127 characters is never sent: false, and no flag is written either. The
// answer is true only when every write that was made succeeded.
bool WriteProfileLink(IVtProfile* profile, const wchar_t* name, const wchar_t* path, uint8_t autoSwitch,
                      uint8_t dpiOsd, uint8_t profileOsd);

// What a program-link read found; each part is set only when its read succeeded.
struct ProfileLinkRead {
    bool hasName = false;
    std::wstring name;
    bool hasId = false;
    GUID id{};
    bool hasPath = false;
    std::wstring path;
    bool hasAutoSwitch = false;
    uint8_t autoSwitch = 0;
    bool hasOsdFlags = false;
    uint8_t dpiOsd = 0;
    uint8_t profileOsd = 0;
};
ProfileLinkRead ReadProfileLink(IVtProfile* profile);

// Deletes the engine profiles the model does not know (by id). Answers whether the model has at
// least as many profiles as the engine has left.
template <class Config>
bool DeleteProfilesNotInModel(IVtProfileManager* manager, Config* config) {
    if (!manager || !config) return false;
    int32_t left = 0;
    for (ULONG index = 0;;) {
        ComPtr<IVtProfile> profile;
        if (FAILED(manager->GetProfileByIndex(index, profile.Put())) || !profile) break;
        GUID id{};
        if (GetEngineProfileId(profile.Get(), id) && !config->FindProfileById(id) &&
            SUCCEEDED(manager->DeleteProfile(profile.Get())))
            continue;  // the later profiles moved down: read the same index again
        ++left;
        ++index;
    }
    return config->GetProfileCount() >= left;
}

// Gives a model profile its engine profile: a new one (its id stored in the model profile) when
// the model profile has none, else the existing one renamed when the names differ ignoring case.
template <class Profile>
bool WriteProfileIdentity(IVtProfileManager* manager, Profile* profile) {
    if (!manager || !profile) return false;
    GUID id{};
    profile->GetId(&id);
    const wchar_t* name = profile->GetName();
    if (IsNullGuid(id)) {
        ComPtr<IVtProfile> created;
        if (FAILED(manager->CreateProfile(created.Put())) || !created) return false;
        GUID newId{};
        if (!GetEngineProfileId(created.Get(), newId)) return false;
        profile->SetId(newId);
        return SUCCEEDED(created->SetName(name ? name : L""));
    }
    ComPtr<IVtProfile> existing;
    if (!FindEngineProfile(manager, id, existing)) return false;
    std::wstring engineName;
    if (GetEngineProfileName(existing.Get(), engineName) && NamesEqualNoCase(engineName, name ? name : L""))
        return true;
    return SUCCEEDED(existing->SetName(name ? name : L""));
}

// The model's current profile becomes the engine's active profile.
template <class Config>
bool ActivateCurrentProfile(IVtProfileManager* manager, Config* config) {
    if (!manager || !config) return false;
    auto* current = config->GetCurrentProfile();
    if (!current) return false;
    GUID id{};
    current->GetId(&id);
    return ActivateProfileById(manager, id);
}

} // namespace vt::device
