#include "device/GroupSnapshot.h"

namespace vt::device {

namespace {
bool IsNull(const GUID& id) {
    static const GUID zero{};
    return std::memcmp(&id, &zero, sizeof id) == 0;
}
bool Same(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
} // namespace

bool GroupSnapshot::Holds(const GUID& owner, uint32_t group, const Bytes& values) const {
    const Bytes* held = Held(owner, group);
    return held && *held == values;
}

const GroupSnapshot::Bytes* GroupSnapshot::Held(const GUID& owner, uint32_t group) const {
    auto at = m_held.find(Key{owner, group});
    return at == m_held.end() ? nullptr : &at->second;
}

void GroupSnapshot::SetHeld(const GUID& owner, uint32_t group, Bytes values) {
    m_held[Key{owner, group}] = std::move(values);
}

void GroupSnapshot::Forget(const GUID& owner, uint32_t group) { m_held.erase(Key{owner, group}); }

GroupSnapshot GroupSnapshot::PartOf(const GUID& owner) const {
    GroupSnapshot part;
    for (auto it = m_held.lower_bound(Key{owner, 0}); it != m_held.end() && Same(it->first.owner, owner); ++it)
        part.m_held.insert(*it);
    return part;
}

void GroupSnapshot::TakePart(const GUID& owner, const GroupSnapshot& part) {
    ForgetOwner(owner);
    for (const auto& [key, values] : part.m_held)
        if (Same(key.owner, owner)) m_held[key] = values;
}

void GroupSnapshot::ForgetOwner(const GUID& owner) {
    auto it = m_held.lower_bound(Key{owner, 0});
    while (it != m_held.end() && Same(it->first.owner, owner)) it = m_held.erase(it);
}

void GroupSnapshot::Clear() {
    m_held.clear();
    m_anchor = GUID{};
}

void GroupSnapshot::Align(const std::vector<GUID>& engineProfiles) {
    auto listed = [&](const GUID& id) {
        for (const GUID& p : engineProfiles)
            if (Same(p, id)) return true;
        return false;
    };
    const bool anchored = !IsNull(m_anchor) && listed(m_anchor);
    for (auto it = m_held.begin(); it != m_held.end();) {
        const bool own = IsNull(it->first.owner);
        if (own ? !anchored : !listed(it->first.owner)) it = m_held.erase(it);
        else ++it;
    }
    if (!anchored) m_anchor = engineProfiles.empty() ? GUID{} : engineProfiles.front();
}

} // namespace vt::device
