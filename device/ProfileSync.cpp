#include "device/ProfileSync.h"
#include "device/DeviceDescription.h"
#include "device/EngineBatch.h"
#include "device/ProfileSpread.h"
#include <atomic>
#include <cstring>
#include <memory>

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

namespace {
// How the engine says that there is no profile at an index. Anything else (a lost server, a
// refused call) is a failure of the read, not the end of the list.
bool IsEndOfList(HRESULT hr) {
    return hr == E_FAIL || hr == E_INVALIDARG || hr == HRESULT(0x8000000BL) /* E_BOUNDS */ ||
           hr == HRESULT_FROM_WIN32(ERROR_NO_MORE_ITEMS);
}

// The profile lists an engine batch read, by the manager they came from.
struct KeptProfileLists {
    std::vector<std::pair<ComPtr<IVtProfileManager>, EngineProfileList>> lists;
};

EngineProfileList* KeptList(IVtProfileManager* manager) {
    KeptProfileLists* kept = EngineBatch::Store<KeptProfileLists>();
    if (!kept || !manager) return nullptr;
    for (auto& [owner, list] : kept->lists)
        if (owner.Get() == manager) return &list;
    return nullptr;
}

void ForgetList(IVtProfileManager* manager) {
    KeptProfileLists* kept = EngineBatch::Store<KeptProfileLists>();
    if (!kept) return;
    for (auto it = kept->lists.begin(); it != kept->lists.end(); ++it) {
        if (it->first.Get() != manager) continue;
        kept->lists.erase(it);
        return;
    }
}

// A profile the engine just made (appended to its list) joins the batch's list: `name` is the
// name this batch gave it, else it is read when the list holds names. A list that cannot take it
// whole is forgotten (read afresh next time).
void KeepMadeProfile(IVtProfileManager* manager, const ComPtr<IVtProfile>& engine, const GUID& id,
                     const std::wstring* name) {
    EngineProfileList* list = KeptList(manager);
    if (!list) return;
    // Which one the engine made active (with no profile before it), or what it made, is not known.
    if (list->profiles.empty() || IsNullGuid(id)) {
        ForgetList(manager);
        return;
    }
    EngineProfileEntry e;
    e.engine = engine;
    e.id = id;
    if (name) {
        e.name = *name;
        e.nameSet = true;
    } else if (list->named && !GetEngineProfileName(engine.Get(), e.name)) {
        ForgetList(manager);
        return;
    }
    list->profiles.push_back(std::move(e));
}

// The connections of a spread's thread other than the job's (one per device), kept by the
// thread's batch, with the engine profiles it fetched through them.
struct SlotConnections {
    struct Device {
        uint32_t productId = 0;
        EngineConnection connection;
        ComPtr<IVtProfileManager> manager;
        // Held as long as the batch, like the feature objects it keeps for them.
        std::vector<std::pair<GUID, ComPtr<IVtProfile>>> profiles;
    };
    std::vector<std::unique_ptr<Device>> devices;
};

// This thread's connection to the device (made once a batch); null without a batch.
SlotConnections::Device* SlotDevice(uint32_t productId) {
    SlotConnections* own = EngineBatch::Store<SlotConnections>();
    if (!own) return nullptr;
    for (auto& d : own->devices)
        if (d->productId == productId) return d.get();
    own->devices.push_back(std::make_unique<SlotConnections::Device>());
    SlotConnections::Device* device = own->devices.back().get();
    device->productId = productId;
    if (!device->connection.Connect(productId) || !device->connection.ProfileManager(device->manager))
        device->manager.Reset();
    return device;
}

// The entries a caller reads itself before it leaves the rest of a list to the spread's threads:
// a device with fewer profiles is read without them.
constexpr ULONG kOwnEntries = 2;
// More profiles than any device holds; indices past the list's end cost no call.
constexpr size_t kMostEntries = 1024;

// The list's entries from index `first` on, read side by side by the spread's threads, each with
// its own connection to the device: every entry gets its id (and name) and the slot of the thread
// that holds its engine object (which the thread keeps for the later pieces of the batch). False
// when any call failed other than the one that ends the list.
bool ReadSpreadEntries(uint32_t productId, ULONG first, bool withNames, std::vector<EngineProfileEntry>& out) {
    struct Found {
        bool present = false;
        GUID id{};
        std::wstring name;
        size_t slot = 0;
    };
    struct Shared {
        std::vector<Found> found = std::vector<Found>(kMostEntries);
        std::atomic<size_t> end{kMostEntries};
        std::atomic<bool> failed{false};
    };
    auto shared = std::make_shared<Shared>();
    auto piece = [shared, productId, first, withNames](size_t i, size_t slot) {
        if (i >= shared->end || shared->failed) return true;
        SlotConnections::Device* device = SlotDevice(productId);
        if (!device || !device->manager) {
            shared->failed = true;
            return false;
        }
        ComPtr<IVtProfile> profile;
        const HRESULT hr = device->manager->GetProfileByIndex(ULONG(first + i), profile.Put());
        if (FAILED(hr) || !profile) {
            if (FAILED(hr) && !IsEndOfList(hr)) {
                shared->failed = true;
                return false;
            }
            // The list ends here, unless an earlier index ended it already.
            for (size_t end = shared->end; i < end && !shared->end.compare_exchange_weak(end, i);) {
            }
            return true;
        }
        Found& f = shared->found[i];
        if (!GetEngineProfileId(profile.Get(), f.id) || IsNullGuid(f.id) ||
            (withNames && !GetEngineProfileName(profile.Get(), f.name))) {
            shared->failed = true;
            return false;
        }
        f.slot = slot;
        f.present = true;
        device->profiles.emplace_back(f.id, profile);
        return true;
    };
    if (!ProfileSpread::Run(kMostEntries, piece, shared).ok || shared->failed) return false;
    // A list with no end within that many is not one to take for the device's.
    if (shared->end == kMostEntries) return false;
    for (size_t i = 0; i < shared->end; ++i) {
        const Found& f = shared->found[i];
        if (!f.present) return false;
        EngineProfileEntry e;
        e.id = f.id;
        e.name = f.name;
        e.slot = f.slot;
        out.push_back(std::move(e));
    }
    return true;
}

EngineProfileEntry* KeptEntry(IVtProfileManager* manager, const GUID& id) {
    EngineProfileList* list = KeptList(manager);
    if (!list) return nullptr;
    for (EngineProfileEntry& e : list->profiles)
        if (GuidsEqual(e.id, id)) return &e;
    return nullptr;
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
    EngineProfileEntry* e = KeptEntry(manager, id);
    if (e && e->engine) {
        out = e->engine;
        return true;
    }
    if (FAILED(manager->GetProfileById(id, out.Put())) || !out) {
        out.Reset();
        return false;
    }
    // An entry another thread read gets its object on this thread once it is wanted here.
    if (e) e->engine = out;
    return true;
}

GUID GetActiveProfileId(IVtProfileManager* manager) {
    GUID id{};
    if (!manager) return id;
    if (EngineProfileList* list = KeptList(manager))
        if (!list->profiles.empty()) return list->active;
    ComPtr<IVtProfile> active;
    if (SUCCEEDED(manager->GetActiveProfile(active.Put())) && active) GetEngineProfileId(active.Get(), id);
    return id;
}

int32_t CountEngineProfiles(IVtProfileManager* manager) {
    int32_t count = 0;
    if (!manager) return 0;
    EngineProfileList list;
    if (KeptList(manager) && ReadEngineProfileList(manager, list, false)) return int32_t(list.profiles.size());
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
    if (FAILED(manager->SetActiveProfile(profile.Get()))) return false;
    if (EngineProfileList* list = KeptList(manager)) list->active = id;
    return true;
}


const EngineProfileEntry* EngineProfileList::Active() const {
    for (const EngineProfileEntry& e : profiles)
        if (GuidsEqual(e.id, active)) return &e;
    return nullptr;
}

bool ReadEngineProfileList(IVtProfileManager* manager, EngineProfileList& list, bool withNames, uint32_t spreadFor) {
    list = EngineProfileList{};
    if (!manager) return false;
    if (EngineProfileList* kept = KeptList(manager)) {
        if (withNames && !kept->named) {
            for (size_t i = 0; i < kept->profiles.size(); ++i) {
                ComPtr<IVtProfile> engine;
                if (!FindEngineProfile(manager, kept->profiles[i].id, engine) ||
                    !GetEngineProfileName(engine.Get(), kept->profiles[i].name))
                    return false;
            }
            kept->named = true;
        }
        list = *kept;
        return true;
    }
    EngineProfileList read;
    read.named = withNames;
    // A caller whose spread leaves the pieces to other threads leaves them a long list as well.
    const bool spread = spreadFor != 0 && ProfileSpread::LeavesPiecesToOthers();
    for (ULONG index = 0;; ++index) {
        if (spread && index == kOwnEntries) {
            if (!ReadSpreadEntries(spreadFor, index, withNames, read.profiles)) return false;
            break;
        }
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
    if (KeptProfileLists* kept = EngineBatch::Store<KeptProfileLists>())
        kept->lists.emplace_back(ComPtr<IVtProfileManager>(manager), read);
    list = std::move(read);
    return true;
}

ComPtr<IVtProfile> ActiveEngineProfile(const EngineConnection& connection, const EngineProfileList& list) {
    ComPtr<IVtProfileManager> manager;
    ComPtr<IVtProfile> active;
    if (!list.Active() || !connection.ProfileManager(manager) || !FindEngineProfile(manager.Get(), list.active, active))
        return nullptr;
    return active;
}

bool CreateEngineProfile(IVtProfileManager* manager, ComPtr<IVtProfile>& out, GUID& id) {
    out.Reset();
    id = GUID{};
    if (!manager || FAILED(manager->CreateProfile(out.Put())) || !out) {
        out.Reset();
        return false;
    }
    if (!GetEngineProfileId(out.Get(), id)) {
        ForgetList(manager);
        return false;
    }
    KeepMadeProfile(manager, out, id, nullptr);
    return true;
}

bool CreateEngineProfiles(IVtProfileManager* manager, const std::vector<std::wstring>& names, std::vector<GUID>& ids,
                          std::vector<bool>& whole) {
    ids.assign(names.size(), GUID{});
    whole.assign(names.size(), false);
    if (!manager) return names.empty();
    struct Made {
        std::vector<ComPtr<IVtProfile>> engines;
        std::vector<std::wstring> names;
        std::vector<GUID> ids;
        std::vector<char> named;
    };
    auto made = std::make_shared<Made>();
    made->engines.resize(names.size());
    made->names = names;
    made->ids.resize(names.size());
    made->named.resize(names.size(), 0);
    // One after another: the engine's list order is the model's.
    for (auto& engine : made->engines)
        if (FAILED(manager->CreateProfile(engine.Put())) || !engine) engine.Reset();
    auto finish = [made](size_t i, size_t) {
        IVtProfile* engine = made->engines[i].Get();
        if (!engine || !GetEngineProfileId(engine, made->ids[i]) || IsNullGuid(made->ids[i])) {
            made->ids[i] = GUID{};
            return false;
        }
        made->named[i] = SUCCEEDED(engine->SetName(made->names[i].c_str()));
        return made->named[i] != 0;
    };
    // The other threads share this thread's engine objects only in the multithreaded apartment.
    bool ended = true;
    if (ProfileSpread::LeavesPiecesToOthers())
        for (size_t i = 0; i < names.size(); ++i) finish(i, 0);
    else
        ended = ProfileSpread::Run(names.size(), finish, made).ended;
    if (!ended) {
        // Not known what was made: the list is read afresh next time.
        ForgetList(manager);
        return false;
    }
    bool ok = true;
    for (size_t i = 0; i < names.size(); ++i) {
        ids[i] = made->ids[i];
        whole[i] = !IsNullGuid(ids[i]) && made->named[i];
        ok = whole[i] && ok;
        if (made->engines[i]) KeepMadeProfile(manager, made->engines[i], ids[i], made->named[i] ? &names[i] : nullptr);
    }
    return ok;
}

bool DeleteEngineProfile(IVtProfileManager* manager, IVtProfile* profile, const GUID& id) {
    if (!manager || !profile || FAILED(manager->DeleteProfile(profile))) return false;
    if (EngineProfileList* list = KeptList(manager)) {
        if (GuidsEqual(list->active, id)) {
            ForgetList(manager);  // the engine chose another active profile
        } else {
            for (auto it = list->profiles.begin(); it != list->profiles.end(); ++it) {
                if (!GuidsEqual(it->id, id)) continue;
                list->profiles.erase(it);
                break;
            }
        }
    }
    return true;
}

bool ImportEngineProfile(IVtProfileManager* manager, const wchar_t* path, ComPtr<IVtProfile>& out) {
    out.Reset();
    if (!manager || !path) return false;
    ForgetList(manager);
    if (FAILED(manager->ImportProfile(path, out.Put())) || !out) {
        out.Reset();
        return false;
    }
    return true;
}

bool GetKnownProfileName(IVtProfileManager* manager, IVtProfile* profile, const GUID& id, std::wstring& name) {
    if (KeptProfileName(manager, id, name)) return true;
    return GetEngineProfileName(profile, name);
}

bool KeptProfileName(IVtProfileManager* manager, const GUID& id, std::wstring& name) {
    EngineProfileList* list = KeptList(manager);
    if (!list) return false;
    for (const EngineProfileEntry& e : list->profiles) {
        if (!GuidsEqual(e.id, id)) continue;
        if (!list->named && !e.nameSet) return false;
        name = e.name;
        return true;
    }
    return false;
}

bool SetEngineProfileName(IVtProfileManager* manager, IVtProfile* profile, const GUID& id, const wchar_t* name) {
    if (!profile || FAILED(profile->SetName(name ? name : L""))) return false;
    if (EngineProfileEntry* e = KeptEntry(manager, id)) {
        e->name = name ? name : L"";
        e->nameSet = true;
    }
    return true;
}

bool NamesEqualNoCase(const std::wstring& a, const std::wstring& b) {
    return vt::win::EqualsNoCase(a, b);
}

bool WriteProfileLink(IVtProfile* profile, const wchar_t* name, const wchar_t* path, uint8_t autoSwitch,
                      uint8_t dpiOsd, uint8_t profileOsd) {
    if (!profile) return false;
    if (name) profile->SetName(name);  // its answer is not part of the link's
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

ProfileLinkRead ReadProfileLink(IVtProfile* profile, const EngineProfileEntry* known, bool knownNamed) {
    ProfileLinkRead r;
    if (!profile) return r;
    if (known && knownNamed) {
        r.hasName = true;
        r.name = known->name;
    } else {
        r.hasName = GetEngineProfileName(profile, r.name);
    }
    if (known) {
        r.hasId = true;
        r.id = known->id;
    } else {
        r.hasId = GetEngineProfileId(profile, r.id);
    }
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

GroupSnapshot::Bytes LinkValues(const std::wstring& name, const std::wstring& path, uint8_t autoSwitch, uint8_t dpiOsd,
                                uint8_t profileOsd) {
    return GroupBytes()
        .AddText(name)
        .AddText(path)
        .Add(uint8_t(!path.empty() && autoSwitch ? 1 : 0))
        .Add(uint8_t(dpiOsd ? 1 : 0))
        .Add(uint8_t(profileOsd ? 1 : 0))
        .Take();
}

bool LinkValuesRead(const ProfileLinkRead& link, GroupSnapshot::Bytes& out) {
    if (!link.hasName || !link.hasPath || !link.hasAutoSwitch || !link.hasOsdFlags) return false;
    // The flag word's own bit, even without a program: a write would clear it then.
    out = GroupBytes()
              .AddText(link.name)
              .AddText(link.path)
              .Add(uint8_t(link.autoSwitch ? 1 : 0))
              .Add(uint8_t(link.dpiOsd ? 1 : 0))
              .Add(uint8_t(link.profileOsd ? 1 : 0))
              .Take();
    return true;
}

namespace {
std::vector<GUID> ProfileIds(const EngineProfileList& list) {
    std::vector<GUID> ids;
    for (const EngineProfileEntry& e : list.profiles) ids.push_back(e.id);
    return ids;
}
} // namespace

void AlignSnapshot(GroupSnapshot* snapshot, IVtProfileManager* manager) {
    if (!snapshot) return;
    EngineProfileList list;
    if (manager && ReadEngineProfileList(manager, list, false)) snapshot->Align(ProfileIds(list));
    else snapshot->Clear();
}

void ForgetSnapshotIfEngineLost(GroupSnapshot* snapshot, const EngineConnection& connection) {
    if (!snapshot || !connection.Manager()) return;
    ComPtr<IVtDevice> device;
    if (IsEngineLost(connection.Manager()->EnumDevices(0, device.Put()))) snapshot->Clear();
}

bool HeldLinkName(const GroupSnapshot* snapshot, const GUID& id, std::wstring& name) {
    const GroupSnapshot::Bytes* held = snapshot ? snapshot->Held(id, kGroupProgramLink) : nullptr;
    uint32_t bytes = 0;
    if (!held || held->size() < sizeof bytes) return false;
    std::memcpy(&bytes, held->data(), sizeof bytes);
    if (bytes % sizeof(wchar_t) || held->size() < sizeof bytes + bytes) return false;
    name.assign(bytes / sizeof(wchar_t), L'\0');
    if (bytes) std::memcpy(name.data(), held->data() + sizeof bytes, bytes);
    return true;
}

bool RunProfileWrites(GroupSnapshot* snapshot, std::vector<PlannedProfileWrite> writes, std::shared_ptr<void> keep) {
    if (writes.empty()) return true;
    struct Work {
        std::vector<PlannedProfileWrite> writes;
        std::vector<GroupSnapshot> parts;
        bool withSnapshot = false;
    };
    auto work = std::make_shared<Work>();
    work->withSnapshot = snapshot != nullptr;
    for (const PlannedProfileWrite& w : writes) work->parts.push_back(snapshot ? snapshot->PartOf(w.id) : GroupSnapshot{});
    work->writes = std::move(writes);
    const ProfileSpread::Outcome outcome = ProfileSpread::Run(
        work->writes.size(),
        [work](size_t i, size_t) { return work->writes[i].write(work->withSnapshot ? &work->parts[i] : nullptr); },
        std::move(keep));
    if (snapshot) {
        for (size_t i = 0; i < work->writes.size(); ++i) {
            if (outcome.ended) snapshot->TakePart(work->writes[i].id, work->parts[i]);
            else snapshot->ForgetOwner(work->writes[i].id);
        }
    }
    return outcome.ok;
}

ComPtr<IVtProfile> SlotEngineProfile(const EngineProfileEntry& entry, size_t slot, uint32_t productId,
                                     IVtProfileManager* own) {
    if (slot == 0) {
        ComPtr<IVtProfile> engine = entry.engine;
        if (!engine && !FindEngineProfile(own, entry.id, engine)) return nullptr;
        return engine;
    }
    SlotConnections::Device* device = SlotDevice(productId);
    if (!device) return nullptr;
    for (const auto& [id, engine] : device->profiles)
        if (GuidsEqual(id, entry.id)) return engine;
    ComPtr<IVtProfile> engine;
    if (!device->manager || !FindEngineProfile(device->manager.Get(), entry.id, engine)) return nullptr;
    device->profiles.emplace_back(entry.id, engine);
    return engine;
}

bool SpreadLeftPieces(size_t count, const std::function<bool(size_t index, size_t slot)>& piece,
                      std::vector<size_t> preferred) {
    return !ProfileSpread::Run(count, piece, nullptr, std::move(preferred)).ended;
}

} // namespace vt::device
