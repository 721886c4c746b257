#pragma once
// What the three device configurations share: the owned profile list and the current profile, the
// macros, the linked programs, the key-assignment map and the lighting entries, the profile-list
// operations and the profile argument rule.
//
// The profile argument rule: a null profile means the current profile; a profile that is not in
// this configuration's list (never one of ours, or already deleted) is treated as no profile. With
// no profile, getters answer 0 and setters do nothing.
//
// No operation locks: the user-interface thread and the device layer's write job must not use a
// configuration at the same time.
#include "profile/ApmList.h"
#include "profile/ConfigInterfaces.h"
#include "profile/IniFile.h"
#include "profile/Macro.h"
#include "base/ProgramFolder.h"
#include "win/Strings.h"
#include <windows.h>
#include <algorithm>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace vt::profile {

constexpr size_t kMaxPathChars = 260;
constexpr int32_t kMaxMacroBytes = 1024;
constexpr const wchar_t* kSaveFolder = L"save\\";
constexpr const wchar_t* kSettingsSection = L"SETTINGS";
constexpr const wchar_t* kActiveProfileKey = L"ActiveProfileName";
// The zones every new profile lights, and how.
constexpr int32_t kDefaultZones[3] = {3, 10, 9};
constexpr int32_t kDefaultZoneColour = 0xFF0000;

// Joins the parts; empty when the result (with its terminator) would not fit in 260 characters.
std::wstring BoundedPath(std::initializer_list<std::wstring_view> parts);

} // namespace vt::profile

// P: the kind's profile class; I: its profile interface; IConfig: the configuration interface.
template <class P, class I, class IConfig>
class CBaseConfig : public IConfig {
public:
    CBaseConfig() {
        m_profileFolder = vt::profile::BoundedPath({vt::base::ProgramFolder(), vt::profile::kSaveFolder});
        m_macroFolder = m_profileFolder;
    }
    CBaseConfig(const CBaseConfig&) = delete;
    CBaseConfig& operator=(const CBaseConfig&) = delete;
    ~CBaseConfig() override {
        m_apm.ClearAPMList();
        m_keyMap.clear();
        m_apps.ClearAppList();
        m_macros.Clear();
        DeleteAllProfiles();
    }

    virtual int32_t GetMaxMacroBytes() { return vt::profile::kMaxMacroBytes; }
    // The profile file extension without a dot; null for a kind without profile files.
    virtual const wchar_t* GetProfileExtension() const = 0;

    const std::wstring& ProfileFolder() const { return m_profileFolder; }
    const std::wstring& MacroFolder() const { return m_macroFolder; }

    // --- profile list -------------------------------------------------------------------------
    void DeleteAllProfiles() {
        while (!m_profiles.empty()) {
            delete m_profiles.back();
            m_profiles.pop_back();
        }
        m_current = nullptr;
    }
    int32_t GetProfileCount() { return int32_t(m_profiles.size()); }

    I* AddProfileCopy(I* p) {
        P* source = dynamic_cast<P*>(p);
        if (!source) return nullptr;
        P* copy = new P(*source);
        m_profiles.push_back(copy);
        return copy;
    }
    I* FindProfileById(GUID id) {
        if (IsNullGuid(id)) return nullptr;  // the zero id marks profiles the engine does not know
        for (P* q : m_profiles)
            if (GuidsEqual(q->Id(), id)) return q;
        return nullptr;
    }
    I* FindProfileByName(const wchar_t* name) {
        if (!name) return nullptr;
        for (P* q : m_profiles)
            if (vt::win::EqualsNoCase(q->CBaseProfile::GetName(), name)) return q;
        return nullptr;
    }
    I* GetProfileAt(uint32_t index) { return index < m_profiles.size() ? m_profiles[index] : nullptr; }
    I* GetCurrentProfile() { return m_current; }
    void SetCurrentProfile(I* p) { m_current = Listed(p); }

    // Renames the profile in place: the object, its position and every pointer to it stay valid
    // (the returned pointer is the one passed). Null, and nothing changes, for a null profile or
    // name, a profile that is not in the list, or a name that equals the old one exactly.
    I* RenameProfile(I* p, const wchar_t* name) {
        P* target = Listed(p);
        if (!target || !name) return nullptr;
        if (std::wcscmp(target->CBaseProfile::GetName(), name) == 0) return nullptr;
        std::wstring oldFile = target->CBaseProfile::GetStoredFilePath();
        target->CBaseProfile::SetName(name);
        if (!oldFile.empty()) {
            // The old file goes only once the profile has been written under its new name.
            std::wstring written;
            if (SaveOne(target, &written) && !written.empty() && !vt::win::EqualsNoCase(written, oldFile))
                DeleteFileW(oldFile.c_str());
        }
        return target;
    }
    // A copy with the null id and the new name, appended. Null for a null profile or name, or for
    // the source's own name (exactly); other profiles' names are not checked.
    I* DuplicateProfile(I* p, const wchar_t* name) {
        P* source = dynamic_cast<P*>(p);
        if (!source || !name) return nullptr;
        if (std::wcscmp(source->CBaseProfile::GetName(), name) == 0) return nullptr;
        P* copy = new P(*source);
        copy->CBaseProfile::SetId(GUID{});
        copy->CBaseProfile::SetName(name);
        m_profiles.push_back(copy);
        return copy;
    }
    void DeleteProfile(I* p) {
        P* target = Listed(p);
        if (!target) return;  // not ours: neither its file nor the object is touched
        if (m_current == target) m_current = nullptr;
        if (target->CBaseProfile::HasStoredFile()) DeleteFileW(target->CBaseProfile::GetStoredFilePath());
        m_profiles.erase(std::find(m_profiles.begin(), m_profiles.end(), target));
        delete target;
    }

    void SetProfileOsdEnabledAll(uint8_t on) {
        for (P* q : m_profiles) q->CBaseProfile::SetProfileOsdEnabled(on);
    }
    void SetProfileOsdEnabled(uint8_t on, I* p) {
        if (P* q = Resolve(p)) q->CBaseProfile::SetProfileOsdEnabled(on);
    }
    uint8_t GetProfileOsdEnabled(I* p) {
        P* q = Resolve(p);
        return q ? q->CBaseProfile::GetProfileOsdEnabled() : 0;
    }

    // --- per-profile assignments and lighting ------------------------------------------------
    void SetAssignment(int32_t id, AssignmentRecord record, I* p) {
        if (P* q = Resolve(p)) q->CBaseProfile::SetAssignment(id, record);
    }
    AssignmentRecord* GetAssignment(AssignmentRecord* out, int32_t id, I* p) {
        P* q = Resolve(p);
        AssignmentRecord r = q ? q->CBaseProfile::GetAssignment(id) : MakeEmptyAssignment();
        if (out) *out = r;
        return out;
    }
    void SetLightOn(int32_t zone, uint8_t on, I* p) {
        if (P* q = Resolve(p)) q->CBaseProfile::SetLightOn(zone, on);
    }
    uint8_t GetLightOn(int32_t zone, I* p) {
        P* q = Resolve(p);
        return q ? q->CBaseProfile::GetLightOn(zone) : 0;
    }
    void SetLightColor(int32_t zone, int32_t colour, I* p) {
        if (P* q = Resolve(p)) q->CBaseProfile::SetLightColor(zone, colour);
    }
    int32_t GetLightColor(int32_t zone, I* p) {
        P* q = Resolve(p);
        return q ? q->CBaseProfile::GetLightColor(zone) : 0;
    }
    void SetLightFlag(int32_t zone, uint8_t effect, I* p) {
        if (P* q = Resolve(p)) q->CBaseProfile::SetLightFlag(zone, effect);
    }
    uint8_t GetLightFlag(int32_t zone, I* p) {
        P* q = Resolve(p);
        return q ? q->CBaseProfile::GetLightFlag(zone) : 0;
    }

    // --- macros ----------------------------------------------------------------------------
    int32_t GetMacroCount() { return int32_t(m_macros.size()); }
    CMacro* AddMacro(const wchar_t* name) { return name ? m_macros.AddMacro(name) : nullptr; }
    void RemoveMacro(CMacro* macro) { m_macros.RemoveMacro(macro); }
    CMacro* FindMacro(const wchar_t* name) { return m_macros.FindMacro(name); }
    CMacro* FindMacroByGuid(GUID id) {
        if (IsNullGuid(id)) return nullptr;
        for (CMacro* m : m_macros)
            if (GuidsEqual(m->id, id)) return m;
        return nullptr;
    }
    CMacro* GetMacroAt(uint32_t index) { return index < m_macros.size() ? m_macros[index] : nullptr; }

    // --- linked programs -------------------------------------------------------------------
    int32_t GetAppCount() { return int32_t(m_apps.size()); }
    CVtApp* AddApp(const wchar_t* path) { return m_apps.AddApp(path); }
    void RemoveApp(CVtApp* app) { m_apps.RemoveApp(app); }
    CVtApp* FindApp(const wchar_t* path) { return m_apps.FindApp(path); }
    CVtApp* FindAppByGuid(GUID id) {
        if (IsNullGuid(id)) return nullptr;
        for (CVtApp* a : m_apps)
            if (GuidsEqual(a->id, id)) return a;
        return nullptr;
    }
    CVtApp* GetAppAt(uint32_t index) { return index < m_apps.size() ? m_apps[index] : nullptr; }

    // --- key-assignment map (key slots, kind 64 only) --------------------------------------
    int32_t GetConfigAssignmentCount() { return int32_t(m_keyMap.size()); }
    void SetConfigAssignment(int32_t key, AssignmentRecord record) {
        if (record.kind == vt::profile::kKindKeySlot) m_keyMap[key] = record;
    }
    // A key not in the map is added with kind -1 and a zero payload.
    AssignmentRecord* GetConfigAssignment(AssignmentRecord* out, int32_t key) {
        auto it = m_keyMap.find(key);
        if (it == m_keyMap.end()) it = m_keyMap.emplace(key, MakeEmptyAssignment()).first;
        if (out) *out = it->second;
        return out;
    }
    int32_t GetConfigAssignmentKeyAt(uint32_t index) {
        if (index >= m_keyMap.size()) return 0;
        auto it = m_keyMap.begin();
        std::advance(it, index);
        return it->first;
    }

    // --- lighting entries ------------------------------------------------------------------
    int32_t GetApmStageCount() { return int32_t(m_apm.size()); }
    bool SetApmStageColor(uint32_t index, int32_t colour) {
        if (index >= m_apm.size()) return false;
        m_apm[index]->colour = colour;
        return true;
    }
    // Not re-sorted; a high bound that another entry already has is refused (it is the key).
    bool SetApmStageRange(uint32_t index, int32_t low, uint32_t high) {
        if (index >= m_apm.size()) return false;
        for (uint32_t i = 0; i < m_apm.size(); ++i)
            if (i != index && m_apm[i]->high == high) return false;
        m_apm[index]->low = low;
        m_apm[index]->high = high;
        return true;
    }
    bool GetApmStageColor(uint32_t index, int32_t* colour) {
        if (index >= m_apm.size()) return false;
        if (colour) *colour = m_apm[index]->colour;
        return true;
    }
    bool GetApmStageRange(uint32_t index, int32_t* low, uint32_t* high) {
        if (index >= m_apm.size()) return false;
        if (low) *low = m_apm[index]->low;
        if (high) *high = m_apm[index]->high;
        return true;
    }
    bool AddApmStage(int32_t colour, int32_t low, uint32_t high) { return m_apm.AddAPM(colour, low, high); }
    bool RemoveApmStageAt(uint32_t index) { return m_apm.RemoveAPMAt(index); }
    void ClearApmStages() { m_apm.ClearAPMList(); }

    // --- profile files and the settings file -----------------------------------------------
    // Loads every "<folder>*.<extension>" file (the extension exactly) into new profiles. The list
    // is replaced only when at least one file loaded; the result is the number loaded.
    int32_t LoadAllProfiles() {
        const wchar_t* ext = GetProfileExtension();
        if (!ext || m_profileFolder.empty()) return 0;
        std::wstring pattern = vt::profile::BoundedPath({m_profileFolder, L"*.", ext});
        if (pattern.empty()) return 0;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        std::vector<P*> loaded;
        do {
            std::wstring file = found.cFileName;
            size_t dot = file.find_last_of(L'.');
            if (dot == std::wstring::npos || !vt::win::EqualsNoCase(std::wstring_view(file).substr(dot + 1), ext))
                continue;  // "*.vtp" also finds "*.vtpx" files
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            P* profile = new P();
            if (!profile->LoadFromFile(file.substr(0, dot).c_str(), m_profileFolder.c_str(), ext)) {
                delete profile;
                break;
            }
            loaded.push_back(profile);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        if (loaded.empty()) return 0;
        DeleteAllProfiles();
        m_profiles = std::move(loaded);
        return int32_t(m_profiles.size());
    }
    // With a profile: writes it and answers whether that worked. With null: writes every profile,
    // ignores the results and answers true.
    bool SaveProfile(I* p) {
        if (!p) {
            for (P* q : m_profiles) SaveOne(q, nullptr);
            return true;
        }
        P* q = Listed(p);
        return q ? SaveOne(q, nullptr) : false;
    }
    // Makes the profile named in the settings file current, when profiles were loaded.
    void LoadActiveProfile() {
        int32_t n = LoadAllProfiles();
        std::wstring name = ReadIniString(m_settingsPath.c_str(), vt::profile::kSettingsSection,
                                          vt::profile::kActiveProfileKey, L"");
        if (n == 0) return;
        m_current = m_profiles.empty() ? nullptr : m_profiles.front();
        if (!name.empty())
            if (I* named = FindProfileByName(name.c_str())) m_current = Listed(named);
    }
    // Writes the current profile's name into the settings file.
    bool SaveActiveProfile() {
        if (!SaveProfile(nullptr)) return false;
        if (!m_current) return false;
        return WriteIniString(m_settingsPath.c_str(), vt::profile::kSettingsSection, vt::profile::kActiveProfileKey,
                              m_current->CBaseProfile::GetName()) != 0;
    }
    const std::wstring& SettingsPath() const { return m_settingsPath; }

protected:
    P* Listed(I* p) const {
        if (!p) return nullptr;
        for (P* q : m_profiles)
            if (static_cast<I*>(q) == p) return q;
        return nullptr;
    }
    P* Resolve(I* p) const { return p ? Listed(p) : m_current; }
    // The single-profile save: the profile writes itself into the profile folder.
    bool SaveOne(P* q, std::wstring* written) {
        std::wstring path;
        bool ok = q->SaveToFile(&path, m_profileFolder.c_str(), GetProfileExtension());
        if (written) *written = path;
        return ok;
    }
    // Appends a new profile of the kind with that name and the null id.
    P* AppendNewProfile(const wchar_t* name) {
        P* profile = new P(name);
        m_profiles.push_back(profile);
        return profile;
    }

    std::vector<P*> m_profiles;
    P* m_current = nullptr;
    CMacroList m_macros;
    CVtAppList m_apps;
    std::map<int32_t, AssignmentRecord> m_keyMap;
    CAPMList m_apm;
    std::wstring m_profileFolder;
    std::wstring m_macroFolder;
    std::wstring m_settingsPath;
};
