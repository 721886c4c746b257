#pragma once
// Keyboard profile: key assignments by key id (in the base's map) and the keyboard's lighting.
#include "profile/BaseProfile.h"
#include "profile/ProfileInterfaces.h"

extern const int32_t KeyboardActionTable[5];

class CKeyboardProfile : public CBaseProfile {
public:
    CKeyboardProfile() = default;
    explicit CKeyboardProfile(const wchar_t* name) : CBaseProfile(name) {}
    // Unlike the other kinds, a keyboard copy keeps the assignments.
    CKeyboardProfile(const CKeyboardProfile& other) : CBaseProfile(other) { m_assignments = other.m_assignments; }
};

class CDmProfile_Keyboard : public CKeyboardProfile, public IKeyboardProfile {
public:
    CDmProfile_Keyboard() = default;
    explicit CDmProfile_Keyboard(const wchar_t* name) : CKeyboardProfile(name) {}
    CDmProfile_Keyboard(const CDmProfile_Keyboard& other) : CKeyboardProfile(other) {}

    const wchar_t* GetName() override { return CBaseProfile::GetName(); }
    GUID* GetId(GUID* out) override { return CBaseProfile::GetId(out); }
    // Every key already in the map gets a kind-0 record with its default code from the keyboard
    // definition (code 0 when it has none), in ascending key order; no key is added.
    void ResetAssignmentsToDefault() override;
    bool HasStoredFile() override { return CBaseProfile::HasStoredFile(); }
    void SetName(const wchar_t* name) override { CBaseProfile::SetName(name); }
    void SetId(GUID id) override { CBaseProfile::SetId(id); }
    const wchar_t* GetFileName() override { return CBaseProfile::GetFileName(); }
    void SetFileName(const wchar_t* name) override { CBaseProfile::SetFileName(name); }
    const wchar_t* GetStoredFilePath() override { return CBaseProfile::GetStoredFilePath(); }
    const wchar_t* GetProfilePath() override { return CBaseProfile::GetProfilePath(); }
    void SetProfilePath(const wchar_t* path) override { CBaseProfile::SetProfilePath(path); }
    void SetAssignment(int32_t id, AssignmentRecord r) override { CBaseProfile::SetAssignment(id, r); }
    AssignmentRecord GetAssignment(int32_t id) override { return CBaseProfile::GetAssignment(id); }
    bool IsAssignmentTypeAllowed(int32_t kind) override;
    void GetAllowedAssignmentTypes(std::vector<int32_t>& out) override;
    void SetProfileFlag(uint8_t f) override { CBaseProfile::SetProfileFlag(f); }
    uint8_t GetProfileFlag() override { return CBaseProfile::GetProfileFlag(); }
    void SetProfileOsdEnabled(uint8_t on) override { CBaseProfile::SetProfileOsdEnabled(on); }
    uint8_t GetProfileOsdEnabled() override { return CBaseProfile::GetProfileOsdEnabled(); }
    void Reserved19(int32_t) override {}
    bool Reserved20() override { return false; }
    void SetLightOn(int32_t z, uint8_t on) override { CBaseProfile::SetLightOn(z, on); }
    uint8_t GetLightOn(int32_t z) override { return CBaseProfile::GetLightOn(z); }
    void SetLightColor(int32_t z, int32_t c) override { CBaseProfile::SetLightColor(z, c); }
    int32_t GetLightColor(int32_t z) override { return CBaseProfile::GetLightColor(z); }
    void SetLightFlag(int32_t z, uint8_t e) override { CBaseProfile::SetLightFlag(z, e); }
    uint8_t GetLightFlag(int32_t z) override { return CBaseProfile::GetLightFlag(z); }
    bool SaveToFile(std::wstring* p, const wchar_t* f, const wchar_t* e) override { return CBaseProfile::SaveToFile(p, f, e); }
    bool LoadFromFile(const wchar_t* n, const wchar_t* f, const wchar_t* e) override { return CBaseProfile::LoadFromFile(n, f, e); }
};
