#pragma once
// Keeping the engine's profiles in step with the model's: identity (id and name), the set of
// profiles (the model wins), the program link and its flags, and the active profile. Templates
// over the configuration and profile interfaces so every device kind uses the same steps.
#include "device/EngineConnection.h"
#include "device/GroupSnapshot.h"
#include "profile/Records.h"
#include "win/Strings.h"
#include <cstdint>
#include <string>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace vt::device {

using vt::win::ComPtr;

// Single engine calls with their strings and ids taken care of.
bool GetEngineProfileId(IVtProfile* profile, GUID& id);
bool GetEngineProfileName(IVtProfile* profile, std::wstring& name);
// The name the batch's list holds for this profile, else read from the engine.
bool GetKnownProfileName(IVtProfileManager* manager, IVtProfile* profile, const GUID& id, std::wstring& name);
// The name the batch's list holds for this profile (exactly as the engine has it); false when the
// batch holds no named list with it.
bool KeptProfileName(IVtProfileManager* manager, const GUID& id, std::wstring& name);
// Renames the profile (and its entry in the batch's list).
bool SetEngineProfileName(IVtProfileManager* manager, IVtProfile* profile, const GUID& id, const wchar_t* name);
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
// answer is true only when every write that was made succeeded. A null name leaves the engine
// profile's name alone (the write job's identity step has set it already).
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
// `known` (the profile's entry of the engine's list, when there is one) gives the id, and the name
// when the list was read with names, without asking the engine again.
struct EngineProfileEntry;
ProfileLinkRead ReadProfileLink(IVtProfile* profile, const EngineProfileEntry* known = nullptr, bool knownNamed = false);

// The program link in the snapshot's form: the profile's name, the linked program and the three
// flags as the write sets them (the automatic switch only with a program).
GroupSnapshot::Bytes LinkValues(const std::wstring& name, const std::wstring& path, uint8_t autoSwitch, uint8_t dpiOsd,
                                uint8_t profileOsd);
// What a link read found, in that form; false when a part of it was not read (or the engine holds
// no linked program yet).
bool LinkValuesRead(const ProfileLinkRead& link, GroupSnapshot::Bytes& out);

// Brings a snapshot in line with the engine's profile list (the whole snapshot is dropped when the
// list cannot be read, or without a manager).
void AlignSnapshot(GroupSnapshot* snapshot, IVtProfileManager* manager);
// Drops the whole snapshot when the engine no longer answers (after a failed job: what the engine
// kept of the job's writes is not known).
void ForgetSnapshotIfEngineLost(GroupSnapshot* snapshot, const EngineConnection& connection);

// The engine's profile list as one read: every profile in order with its id (and its name when
// asked for), and the active profile's id. A read that failed part way is never used: the caller
// gets false and nothing of it.
struct EngineProfileEntry {
    // Null for an entry a spread's thread read (FindEngineProfile fetches it here when wanted).
    ComPtr<IVtProfile> engine;
    GUID id{};
    std::wstring name;
    size_t slot = 0;  // the spread's slot whose thread read the entry and holds its object; 0: this thread
    bool nameSet = false;  // `name` is the one this batch gave the profile
};
struct EngineProfileList {
    std::vector<EngineProfileEntry> profiles;
    GUID active{};
    bool named = false;  // the entries' names were read
    // The active profile's entry; null when the list is empty.
    const EngineProfileEntry* Active() const;
};
// The list ends where the engine answers that there is no profile at an index; any other failure
// (a lost engine, a refused call, a profile whose id or name cannot be read, an active profile
// that is not in the list) fails the whole read.
// Within an engine batch the list is read once and kept up to date by the profile operations below
// (creation, deletion, activation); they are the only ones to use on the manager while a batch runs.
// With `spreadFor` (the device's product id), a caller that leaves a spread's pieces to other
// threads leaves them a long list as well: they read its entries side by side, through
// connections of their own, and keep the entries' engine objects for the batch's later pieces.
bool ReadEngineProfileList(IVtProfileManager* manager, EngineProfileList& list, bool withNames,
                           uint32_t spreadFor = 0);

// The engine object of the list's active profile (fetched here when a spread's thread read it);
// null when there is none or it cannot be had.
ComPtr<IVtProfile> ActiveEngineProfile(const EngineConnection& connection, const EngineProfileList& list);

// A new engine profile (kept in the batch's list). False when the engine refuses.
bool CreateEngineProfile(IVtProfileManager* manager, ComPtr<IVtProfile>& out, GUID& id);
// New engine profiles, one for each name: made one after another (the engine appends each to its
// list in that order), then named and their ids read side by side on the spread's threads when
// this thread shares its engine objects with them. Each made one is kept in the batch's list
// (with its name) and its id is in `ids`; `whole[i]` says that the i-th was made, named and its id
// read. False when any of them was not.
bool CreateEngineProfiles(IVtProfileManager* manager, const std::vector<std::wstring>& names, std::vector<GUID>& ids,
                          std::vector<bool>& whole);
// Deletes an engine profile (and drops it from the batch's list).
bool DeleteEngineProfile(IVtProfileManager* manager, IVtProfile* profile, const GUID& id);
// An imported profile (the batch's list is read afresh next time).
bool ImportEngineProfile(IVtProfileManager* manager, const wchar_t* path, ComPtr<IVtProfile>& out);

// Open: the model's profiles are replaced by the engine's, but only once the engine's whole list
// has been read; a failed read leaves the model as it was and answers false. Each new model
// profile (name and id from the engine) is handed to `each(entry, profile)` for what the device
// kind reads along with it. A profile the model cannot create, or an `each` that fails, makes the
// answer false; the other profiles are still made.
// `spreadFor` as for ReadEngineProfileList (`each` then finds no engine object in the entries the
// spread's threads read).
template <class Config, class Each>
bool ReplaceModelProfiles(IVtProfileManager* manager, Config* config, EngineProfileList& list, Each&& each,
                          uint32_t spreadFor = 0) {
    if (!manager || !config || !ReadEngineProfileList(manager, list, true, spreadFor)) return false;
    config->DeleteAllProfiles();
    bool ok = true;
    for (const EngineProfileEntry& e : list.profiles) {
        auto* profile = config->CreateProfile(e.name.c_str());
        if (!profile) {
            ok = false;
            continue;
        }
        profile->SetId(e.id);
        ok = each(e, profile) && ok;
    }
    return ok;
}

// Read job: each engine profile the model knows (by id) is handed to `each(entry, profile)`;
// engine profiles the model lacks are skipped, never created; the engine's active profile becomes
// the model's current one. A failed list read reads nothing into the model and answers false.
// With `withNames` the entries carry the engine's names as well.
template <class Config, class Each>
bool ReadModelProfiles(IVtProfileManager* manager, Config* config, bool withNames, Each&& each) {
    EngineProfileList list;
    if (!manager || !config || !ReadEngineProfileList(manager, list, withNames)) return false;
    bool ok = true;
    for (const EngineProfileEntry& e : list.profiles) {
        auto* profile = config->FindProfileById(e.id);
        if (!profile) continue;
        if (!IsNullGuid(list.active) && GuidsEqual(list.active, e.id)) config->SetCurrentProfile(profile);
        ok = each(e, profile) && ok;
    }
    return ok;
}

// Deletes the engine profiles the model does not know (by id). Answers whether the model has at
// least as many profiles as the engine has left.
// `withNames`: the list is read with the engine's names, so that the identity and link steps that
// follow know them (without, those steps ask for a name only where no snapshot holds it).
template <class Config>
bool DeleteProfilesNotInModel(IVtProfileManager* manager, Config* config, bool withNames = true) {
    if (!manager || !config) return false;
    EngineProfileList list;
    if (!ReadEngineProfileList(manager, list, withNames)) return false;
    int32_t left = 0;
    for (const EngineProfileEntry& e : list.profiles) {
        ComPtr<IVtProfile> engine;
        if (!config->FindProfileById(e.id) && FindEngineProfile(manager, e.id, engine) &&
            DeleteEngineProfile(manager, engine.Get(), e.id))
            continue;
        ++left;
    }
    return config->GetProfileCount() >= left;
}

// The name a program-link write should set: null when the engine profile holds it already.
template <class Profile>
const wchar_t* LinkNameToWrite(IVtProfileManager* manager, Profile* profile) {
    const wchar_t* name = profile->GetName();
    GUID id{};
    profile->GetId(&id);
    std::wstring held;
    if (KeptProfileName(manager, id, held) && held == (name ? name : L"")) return nullptr;
    return name ? name : L"";
}

// Gives a model profile its engine profile: a new one (its id stored in the model profile) when
// the model profile has none, else the existing one renamed when the names differ ignoring case.
// The name the snapshot's program link of a profile holds; false when it holds none.
bool HeldLinkName(const GroupSnapshot* snapshot, const GUID& id, std::wstring& name);

// With a snapshot whose program link of the profile holds the model's name, the engine's name is
// not asked for.
template <class Profile>
bool WriteProfileIdentity(IVtProfileManager* manager, Profile* profile, const GroupSnapshot* snapshot = nullptr) {
    if (!manager || !profile) return false;
    GUID id{};
    profile->GetId(&id);
    const wchar_t* name = profile->GetName();
    if (IsNullGuid(id)) {
        ComPtr<IVtProfile> created;
        GUID newId{};
        if (!CreateEngineProfile(manager, created, newId)) return false;
        profile->SetId(newId);
        return SetEngineProfileName(manager, created.Get(), newId, name ? name : L"");
    }
    ComPtr<IVtProfile> existing;
    if (!FindEngineProfile(manager, id, existing)) return false;
    std::wstring engineName;
    if (HeldLinkName(snapshot, id, engineName) && engineName == (name ? name : L"")) return true;
    if (GetKnownProfileName(manager, existing.Get(), id, engineName) && NamesEqualNoCase(engineName, name ? name : L""))
        return true;
    return SetEngineProfileName(manager, existing.Get(), id, name ? name : L"");
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

// One profile's group writes, planned once its engine profile is known. They may run on any thread
// of the multithreaded apartment, write nothing shared but the profile's own part of the snapshot
// (`part`, null without a snapshot), and hold what they use (the engine profile by reference).
using ProfileGroupWrite = std::function<bool(GroupSnapshot* part)>;
struct PlannedProfileWrite {
    GUID id{};
    ProfileGroupWrite write;
};
// Runs the planned writes spread over a few threads (ProfileSpread) and brings each profile's part
// back into `snapshot`; false when any failed. Writes that did not end in time are failed and
// their profiles' groups forgotten; `keep` (what the writes read, such as the job's copy of the
// model) is held until the last of them ended.
bool RunProfileWrites(GroupSnapshot* snapshot, std::vector<PlannedProfileWrite> writes, std::shared_ptr<void> keep);

// A job's profile pass over the engine's profile manager (fetched into `manager`, for what the job
// does after the pass).
// Write: the engine profiles the model lacks are deleted and the snapshot aligned with what is
// left; then each model profile gets its engine profile, and `plan(engine, profile, id, write)`
// does on this thread what needs the job's own objects (the referenced objects made, the names
// the batch keeps) and plans the profile's group writes; those then run side by side. A profile
// set that cannot be brought in line writes no profile and fails; a profile that fails makes the
// answer false, the others are still written.
template <class Config, class Plan>
bool WriteProfilePass(const EngineConnection& connection, Config* config, GroupSnapshot* snapshot,
                      ComPtr<IVtProfileManager>& manager, Plan&& plan, std::shared_ptr<void> keep) {
    if (!connection.ProfileManager(manager)) {
        AlignSnapshot(snapshot, nullptr);
        return false;
    }
    const bool setOk = DeleteProfilesNotInModel(manager.Get(), config, snapshot == nullptr);
    // Against the list the step above read (and kept up to date).
    AlignSnapshot(snapshot, setOk ? manager.Get() : nullptr);
    bool ok = setOk;
    // The model's new profiles get theirs first, all together.
    std::vector<bool> refused(setOk ? size_t(config->GetProfileCount()) : 0, false);
    if (setOk) {
        std::vector<size_t> fresh;
        std::vector<std::wstring> names;
        for (int32_t i = 0; i < config->GetProfileCount(); ++i) {
            auto* profile = config->GetProfileAt(uint32_t(i));
            GUID id{};
            profile->GetId(&id);
            if (!IsNullGuid(id)) continue;
            fresh.push_back(size_t(i));
            names.push_back(profile->GetName() ? profile->GetName() : L"");
        }
        std::vector<GUID> ids;
        std::vector<bool> whole;
        if (!fresh.empty() && !CreateEngineProfiles(manager.Get(), names, ids, whole)) ok = false;
        for (size_t k = 0; k < fresh.size(); ++k) {
            if (!IsNullGuid(ids[k])) config->GetProfileAt(uint32_t(fresh[k]))->SetId(ids[k]);
            refused[fresh[k]] = !whole[k];
        }
    }
    std::vector<PlannedProfileWrite> writes;
    for (int32_t i = 0; setOk && i < config->GetProfileCount(); ++i) {
        auto* profile = config->GetProfileAt(uint32_t(i));
        if (refused[size_t(i)] || !WriteProfileIdentity(manager.Get(), profile, snapshot)) {
            ok = false;
            continue;
        }
        GUID id{};
        profile->GetId(&id);
        ComPtr<IVtProfile> engine;
        if (!FindEngineProfile(manager.Get(), id, engine)) {
            ok = false;
            continue;
        }
        ProfileGroupWrite write;
        ok = plan(engine.Get(), profile, id, write) && ok;
        if (write) writes.push_back(PlannedProfileWrite{id, std::move(write)});
    }
    return RunProfileWrites(snapshot, std::move(writes), std::move(keep)) && ok;
}

// What a read found of the program link in `read` (a copy of `profile`), brought into `profile`:
// name, linked program, automatic switch and profile display (only what differs is set).
template <class Profile>
void MergeReadLink(Profile* read, Profile* profile) {
    auto text = [](const wchar_t* s) { return std::wstring(s ? s : L""); };
    if (text(read->GetName()) != text(profile->GetName())) profile->SetName(read->GetName());
    if (text(read->GetFileName()) != text(profile->GetFileName())) profile->SetFileName(read->GetFileName());
    if (read->GetProfileFlag() != profile->GetProfileFlag()) profile->SetProfileFlag(read->GetProfileFlag());
    if (read->GetProfileOsdEnabled() != profile->GetProfileOsdEnabled())
        profile->SetProfileOsdEnabled(read->GetProfileOsdEnabled());
}

// The engine profile of `entry` for a piece of a read: on the job's own thread (slot 0) the
// entry's (fetched through `own`, the job's manager, when the entry has none), on another thread
// the one it fetched for the batch already, else the profile of that id through the thread's own
// connection to the device (kept by its batch). Null when it cannot be had.
ComPtr<IVtProfile> SlotEngineProfile(const EngineProfileEntry& entry, size_t slot, uint32_t productId,
                                     IVtProfileManager* own);
// Whether a spread read left pieces running past its wait (their profiles are then not read);
// `preferred` as for ProfileSpread::Run.
bool SpreadLeftPieces(size_t count, const std::function<bool(size_t index, size_t slot)>& piece,
                      std::vector<size_t> preferred = {});

// Read: as ReadModelProfiles, with the profiles read side by side: `each(entry, config, profile,
// part)` reads one profile into a copy of it in a configuration of its own (`Scratch`), recording
// what it read in `part`, the profile's own part of the snapshot; it may run on any thread and
// must hold what it uses. Once every piece ended, `merge(copyConfig, copy, config, profile)`
// brings what each copy read into the model's profile on this thread. Then the snapshot is
// aligned with the list the read kept, and what it recorded is dropped when the read failed.
template <class Scratch, class Config, class Each, class Merge>
bool ReadProfilePass(const EngineConnection& connection, uint32_t productId, Config* config, GroupSnapshot* snapshot,
                     bool withNames, Each each, Merge&& merge) {
    using Profile = std::remove_pointer_t<decltype(config->GetProfileAt(0))>;
    ComPtr<IVtProfileManager> manager;
    EngineProfileList list;
    if (!config || !connection.ProfileManager(manager) || !ReadEngineProfileList(manager.Get(), list, withNames)) {
        AlignSnapshot(snapshot, nullptr);
        return false;
    }
    struct Piece {
        EngineProfileEntry entry;  // without its engine object, which belongs to this thread
        Profile* live = nullptr;
        Scratch scratch;
        Profile* copy = nullptr;
        GroupSnapshot part;
        bool read = false;
    };
    auto pieces = std::make_shared<std::vector<std::unique_ptr<Piece>>>();
    std::vector<const EngineProfileEntry*> own;  // the entries with this thread's engine objects
    std::vector<size_t> preferred;               // each piece on the thread that holds its profile
    for (const EngineProfileEntry& e : list.profiles) {
        auto* profile = config->FindProfileById(e.id);
        if (!profile) continue;
        if (!IsNullGuid(list.active) && GuidsEqual(list.active, e.id)) config->SetCurrentProfile(profile);
        auto piece = std::make_unique<Piece>();
        piece->entry.id = e.id;
        piece->entry.name = e.name;
        piece->live = profile;
        piece->copy = piece->scratch.AddProfileCopy(profile);
        if (snapshot) piece->part = snapshot->PartOf(e.id);
        pieces->push_back(std::move(piece));
        own.push_back(&e);
        preferred.push_back(e.slot);
    }
    const bool noted = snapshot != nullptr;
    // The manager is used on this thread only (slot 0); this thread holds it past the spread.
    IVtProfileManager* ownManager = manager.Get();
    auto piece = [pieces, own, each, productId, noted, ownManager](size_t i, size_t slot) {
        Piece& p = *(*pieces)[i];
        if (!p.copy) return false;
        EngineProfileEntry entry = p.entry;
        entry.engine = SlotEngineProfile(slot == 0 ? *own[i] : p.entry, slot, productId, ownManager);
        if (!entry.engine) return false;
        p.read = each(entry, &p.scratch, p.copy, noted ? &p.part : nullptr);
        // The engine object goes on this thread.
        entry.engine.Reset();
        return p.read;
    };
    const bool left = SpreadLeftPieces(pieces->size(), piece, std::move(preferred));
    bool ok = !left;
    for (auto& piece : *pieces) {
        if (left) {
            if (snapshot) snapshot->ForgetOwner(piece->entry.id);
            continue;
        }
        if (piece->copy) merge(&piece->scratch, piece->copy, config, piece->live);
        if (snapshot) snapshot->TakePart(piece->entry.id, piece->part);
        ok = piece->read && ok;
    }
    AlignSnapshot(snapshot, ok ? manager.Get() : nullptr);
    return ok;
}

} // namespace vt::device
