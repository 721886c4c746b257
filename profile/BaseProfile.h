#pragma once
// Base of every device profile: name and file names, the engine's id, assignments by key id,
// the per-zone lighting state and two flag bytes.
#include "profile/Records.h"
#include <map>
#include <string>

struct ZoneLight {
    uint8_t on = 0;
    int32_t colour = 0;  // COLORREF
};

class CBaseProfile {
public:
    CBaseProfile() = default;
    explicit CBaseProfile(const wchar_t* name);
    // Copies everything but the assignments map; kinds that keep assignments copy them themselves.
    CBaseProfile(const CBaseProfile& other);
    CBaseProfile& operator=(const CBaseProfile&) = delete;
    virtual ~CBaseProfile() = default;

    const wchar_t* GetName() const { return m_name.c_str(); }
    void SetName(const wchar_t* name) { m_name = name ? name : L""; }
    GUID* GetId(GUID* out) const;
    void SetId(GUID id) { m_id = id; }
    const GUID& Id() const { return m_id; }
    bool HasStoredFile() const { return !m_storedFilePath.empty(); }
    const wchar_t* GetStoredFilePath() const { return m_storedFilePath.c_str(); }
    const wchar_t* GetFileName() const { return m_fileName.c_str(); }
    void SetFileName(const wchar_t* name) { m_fileName = name ? name : L""; }
    const wchar_t* GetProfilePath() const { return m_profilePath.c_str(); }
    // Stores the path; the file name becomes its last component (base name and extension).
    void SetProfilePath(const wchar_t* path);

    void SetAssignment(int32_t id, AssignmentRecord record);
    // An absent id is inserted with kind -1 and a zero payload.
    AssignmentRecord GetAssignment(int32_t id);
    virtual bool IsAssignmentTypeAllowed(int32_t kind) { return false; }
    const std::map<int32_t, AssignmentRecord>& Assignments() const { return m_assignments; }

    void SetLightOn(int32_t zone, uint8_t on) { m_lights[zone].on = on; }
    uint8_t GetLightOn(int32_t zone) const;
    void SetLightColor(int32_t zone, int32_t colour) { m_lights[zone].colour = colour; }
    int32_t GetLightColor(int32_t zone) const;
    void SetLightFlag(int32_t zone, uint8_t effect) { m_effects[zone].on = effect; }
    uint8_t GetLightFlag(int32_t zone) const;
    bool HasLightZone(int32_t zone) const { return m_lights.count(zone) != 0; }

    void SetProfileFlag(uint8_t flag) { m_profileFlag = flag; }
    uint8_t GetProfileFlag() const { return m_profileFlag; }
    void SetProfileOsdEnabled(uint8_t on) { m_profileOsd = on; }
    uint8_t GetProfileOsdEnabled() const { return m_profileOsd; }

    // Profiles live in the device engine: this code neither writes nor reads profile files.
    virtual bool SaveToFile(std::wstring* writtenPath, const wchar_t* folder, const wchar_t* extension) { return false; }
    virtual bool LoadFromFile(const wchar_t* fileName, const wchar_t* folder, const wchar_t* extension) { return false; }

protected:
    std::map<int32_t, AssignmentRecord> m_assignments;

private:
    std::map<int32_t, ZoneLight> m_lights;
    std::map<int32_t, ZoneLight> m_effects;
    std::wstring m_name;
    std::wstring m_profilePath;
    std::wstring m_fileName;
    std::wstring m_storedFilePath;
    GUID m_id{};
    uint8_t m_profileFlag = 0;
    uint8_t m_profileOsd = 1;
};
