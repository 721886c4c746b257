#include "profile/BaseProfile.h"

CBaseProfile::CBaseProfile(const wchar_t* name) : m_name(name ? name : L"") {}

CBaseProfile::CBaseProfile(const CBaseProfile& other)
    : m_lights(other.m_lights),
      m_effects(other.m_effects),
      m_name(other.m_name),
      m_profilePath(other.m_profilePath),
      m_fileName(other.m_fileName),
      m_storedFilePath(other.m_storedFilePath),
      m_id(other.m_id),
      m_profileFlag(other.m_profileFlag),
      m_profileOsd(other.m_profileOsd) {}

GUID* CBaseProfile::GetId(GUID* out) const {
    if (out) *out = m_id;
    return out;
}

void CBaseProfile::SetProfilePath(const wchar_t* path) {
    m_profilePath = path ? path : L"";
    // The last component after a folder separator or a drive colon, whatever its length.
    size_t cut = m_profilePath.find_last_of(L"\\/:");
    m_fileName = cut == std::wstring::npos ? m_profilePath : m_profilePath.substr(cut + 1);
}

void CBaseProfile::SetAssignment(int32_t id, AssignmentRecord record) {
    if (IsAssignmentTypeAllowed(record.kind)) m_assignments[id] = record;
}

AssignmentRecord CBaseProfile::GetAssignment(int32_t id) {
    auto it = m_assignments.find(id);
    if (it == m_assignments.end()) it = m_assignments.emplace(id, MakeEmptyAssignment()).first;
    return it->second;
}

uint8_t CBaseProfile::GetLightOn(int32_t zone) const {
    auto it = m_lights.find(zone);
    return it == m_lights.end() ? 0 : it->second.on;
}

int32_t CBaseProfile::GetLightColor(int32_t zone) const {
    auto it = m_lights.find(zone);
    return it == m_lights.end() ? 0 : it->second.colour;
}

uint8_t CBaseProfile::GetLightFlag(int32_t zone) const {
    auto it = m_effects.find(zone);
    return it == m_effects.end() ? 0 : it->second.on;
}
