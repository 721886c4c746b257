#pragma once
// What the engine holds of each setting group, as this device object last wrote or read it: per
// owner (an engine profile by id, or the device itself) and group, the group's values in the form a
// write sends them. A write job skips a group whose values the engine holds already, so an Apply
// after a small edit writes only what changed.
//
// The snapshot only ever errs towards writing: a group is recorded after a write or read of it
// succeeded, forgotten when one failed (the next write retries it), and the whole snapshot is
// dropped when the engine stopped answering, since what it kept of the last writes is not known.
// The device's own groups are trusted only while the engine still lists the profile they were
// recorded along with (the engine never reuses a profile id, so an engine reset to its factory
// state is told by its profiles).
#include <windows.h>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vt::device {

// The key entries share their group bit with the lighting entries; the snapshot keeps them apart.
constexpr uint32_t kGroupKeyEntries = 0x80000000u;

class GroupSnapshot {
public:
    using Bytes = std::vector<uint8_t>;

    // Whether the engine is known to hold exactly `values` for the group of `owner` (an engine
    // profile's id; the null id for the device's own groups).
    bool Holds(const GUID& owner, uint32_t group, const Bytes& values) const;
    // The values held for the group; null when not known.
    const Bytes* Held(const GUID& owner, uint32_t group) const;
    void SetHeld(const GUID& owner, uint32_t group, Bytes values);
    void Forget(const GUID& owner, uint32_t group);
    void Clear();
    // The groups of one owner alone, and back: a piece of a job that writes one profile works
    // on its own part, which replaces that owner's groups here once the piece ended.
    GroupSnapshot PartOf(const GUID& owner) const;
    void TakePart(const GUID& owner, const GroupSnapshot& part);
    void ForgetOwner(const GUID& owner);
    size_t Size() const { return m_held.size(); }

    // Brings the snapshot in line with the engine's profile list: groups of profiles the engine no
    // longer has are dropped, and the device's own groups as well when the profile they were
    // recorded along with is gone.
    void Align(const std::vector<GUID>& engineProfiles);

private:
    struct Key {
        GUID owner;
        uint32_t group;
        bool operator<(const Key& o) const {
            int c = std::memcmp(&owner, &o.owner, sizeof owner);
            return c != 0 ? c < 0 : group < o.group;
        }
    };
    std::map<Key, Bytes> m_held;
    GUID m_anchor{};  // a profile the engine listed when the device's own groups were recorded
};

// A group's values in the snapshot's form.
class GroupBytes {
public:
    template <class T>
    GroupBytes& Add(const T& value) {
        const auto* p = reinterpret_cast<const uint8_t*>(&value);
        m_bytes.insert(m_bytes.end(), p, p + sizeof value);
        return *this;
    }
    GroupBytes& AddRaw(const void* data, size_t size) {
        Add(uint32_t(size));
        const auto* p = static_cast<const uint8_t*>(data);
        if (size) m_bytes.insert(m_bytes.end(), p, p + size);
        return *this;
    }
    GroupBytes& AddText(const std::wstring& text) { return AddRaw(text.data(), text.size() * sizeof(wchar_t)); }
    GroupSnapshot::Bytes Take() { return std::move(m_bytes); }

private:
    GroupSnapshot::Bytes m_bytes;
};

// One group's write through the snapshot: skipped (true) when the engine holds `values` already;
// else `write()`, after which the group is recorded with `values` when it succeeded and forgotten
// when it failed. Without a snapshot the group is always written.
template <class Write>
bool WriteGroupIfChanged(GroupSnapshot* snapshot, const GUID& owner, uint32_t group, GroupSnapshot::Bytes values,
                         Write&& write) {
    if (snapshot && snapshot->Holds(owner, group, values)) return true;
    const bool ok = write();
    if (snapshot) {
        if (ok) snapshot->SetHeld(owner, group, std::move(values));
        else snapshot->Forget(owner, group);
    }
    return ok;
}

// Records a group after a read: `values` when the read succeeded, else the group is forgotten.
inline void NoteGroupRead(GroupSnapshot* snapshot, const GUID& owner, uint32_t group, bool read,
                          GroupSnapshot::Bytes values) {
    if (!snapshot) return;
    if (read) snapshot->SetHeld(owner, group, std::move(values));
    else snapshot->Forget(owner, group);
}

// Reads a group through `read` (which fills the bytes it read) and records it: held only when the
// read succeeded and gave bytes. The read's own answer.
template <class Read>
bool ReadAndNoteGroup(GroupSnapshot* snapshot, const GUID& owner, uint32_t group, Read read) {
    GroupSnapshot::Bytes values;
    const bool ok = read(&values);
    const bool whole = !values.empty();
    NoteGroupRead(snapshot, owner, group, ok && whole, std::move(values));
    return ok;
}

} // namespace vt::device
