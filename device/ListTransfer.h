#pragma once
// Device-wide lists between a configuration and the engine: macros, program-launch entries,
// lighting entries (actions-per-minute colours), the 16 key entries, and the engine objects that
// assignments refer to (created on demand). Templates over the configuration interface: the
// mouse, keyboard and headset configurations name these operations alike.
//
// Every answer is true only when every engine call it made succeeded.
#include "device/CodeTables.h"
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "device/GroupSnapshot.h"
#include "device/MacroEvents.h"
#include "device/ProfileSync.h"
#include "profile/ApmList.h"
#include "profile/Macro.h"
#include "profile/Records.h"
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace vt::device {

// ---- action records -------------------------------------------------------------------------

// Action records in the snapshot's form.
inline GroupSnapshot::Bytes RecordValues(const std::vector<EngineActionRecord>& records) {
    return GroupBytes().AddRaw(records.data(), records.size() * sizeof(EngineActionRecord)).Take();
}

// Every record in one call. An engine that refuses the lot (it takes all or none) is given them one
// at a time, so each record it does take still lands; the answer is then false.
template <class Table>
bool SetEngineRecords(Table* table, const std::vector<EngineActionRecord>& records) {
    if (!table) return false;
    if (records.empty()) return true;
    const HRESULT hr = table->SetAssignment(ULONG(records.size()), records.data());
    if (SUCCEEDED(hr)) return true;
    if (IsEngineLost(hr)) return false;
    for (const EngineActionRecord& r : records) table->SetAssignment(1, &r);
    return false;
}

// ---- macros -----------------------------------------------------------------------------------

// A macro's events in the engine's buffer form.
std::vector<uint8_t> MacroBuffer(const CMacro& macro);
// Everything an engine macro holds; false when any part cannot be read.
struct EngineMacroCopy {
    GUID id{};
    std::wstring name;
    std::vector<EngineMacroEvent> events;
};
bool ReadEngineMacro(IVtMacro* macro, EngineMacroCopy& out);
// Same id, same name ignoring case, same events in the engine's form.
bool EngineMacroEquals(const EngineMacroCopy& engine, const CMacro& model);
bool SetEngineMacroEvents(IVtMacro* macro, const CMacro& model);

// A new engine macro for the model macro: its id goes into the model macro, then its events and
// its name.
bool CreateEngineMacro(IVtMacroStore* store, CMacro* macro);

template <class Config>
bool WriteMacros(Config* config, IVtMacroStore* store) {
    if (!config || !store) return false;
    bool ok = true;
    for (int32_t i = 0; i < config->GetMacroCount(); ++i) {
        CMacro* macro = config->GetMacroAt(uint32_t(i));
        if (!macro) continue;
        ComPtr<IVtMacro> engine;
        EngineMacroCopy copy;
        if (IsNullGuid(macro->id) || FAILED(store->GetMacroById(macro->id, engine.Put())) || !engine ||
            !ReadEngineMacro(engine.Get(), copy)) {
            ok = CreateEngineMacro(store, macro) && ok;
            continue;
        }
        if (EngineMacroEquals(copy, *macro)) continue;
        if (!NamesEqualNoCase(copy.name, macro->name)) ok = SUCCEEDED(engine->SetName(macro->name)) && ok;
        ok = SetEngineMacroEvents(engine.Get(), *macro) && ok;
    }
    return ok;
}

// The engine's macros into the model. A macro the model already holds (same id) is brought in
// line instead of being added twice.
template <class Config>
bool ReadMacros(Config* config, IVtMacroStore* store) {
    if (!config || !store) return false;
    bool ok = true;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtMacro> engine;
        if (FAILED(store->GetMacroByIndex(index, engine.Put())) || !engine) break;
        EngineMacroCopy copy;
        ULONG cch = 0;
        WCHAR* text = nullptr;
        HRESULT hr = engine->GetName(&cch, &text);
        copy.name = TakeEngineString(text, cch);
        if (FAILED(hr)) continue;
        if (FAILED(engine->GetId(&copy.id))) continue;
        ULONG cb = 0;
        BYTE* buffer = nullptr;
        hr = engine->GetEvents(&cb, &buffer);
        bool parsed = SUCCEEDED(hr) && ParseEngineMacroBuffer(buffer, cb, copy.events);
        if (buffer) CoTaskMemFree(buffer);
        if (!parsed) {
            ok = false;
            continue;
        }
        std::vector<MacroEvent> events;
        EngineEventsToMacro(copy.events.data(), copy.events.size(), events);
        CMacro* macro = config->FindMacroByGuid(copy.id);
        if (!macro) {
            macro = config->AddMacro(copy.name.c_str());
            if (!macro) {
                ok = false;  // another macro of the model holds this name
                continue;
            }
            macro->id = copy.id;
        } else if (copy.name != macro->name) {
            size_t n = std::min(copy.name.size(), vt::profile::kMacroNameUnits - 1);
            std::memset(macro->name, 0, sizeof macro->name);
            std::memcpy(macro->name, copy.name.data(), n * sizeof(wchar_t));
        }
        macro->events = std::move(events);
    }
    return ok;
}

template <class Config>
bool DeleteMacrosNotInModel(IVtMacroStore* store, Config* config) {
    if (!store || !config) return false;
    bool ok = true;
    for (ULONG index = 0;;) {
        ComPtr<IVtMacro> engine;
        if (FAILED(store->GetMacroByIndex(index, engine.Put())) || !engine) break;
        GUID id{};
        if (SUCCEEDED(engine->GetId(&id)) && !config->FindMacroByGuid(id)) {
            if (SUCCEEDED(store->DeleteMacro(engine.Get()))) continue;
            ok = false;
        }
        ++index;
    }
    return ok;
}

// ---- program-launch entries ---------------------------------------------------------------------

bool CreateLaunchEntry(IVtAppLauncher* launcher, CVtApp* app);
bool GetLaunchEntryPath(IVtLaunchEntry* entry, std::wstring& path);

template <class Config>
bool WriteApps(Config* config, IVtAppLauncher* launcher) {
    if (!config || !launcher) return false;
    bool ok = true;
    for (int32_t i = 0; i < config->GetAppCount(); ++i) {
        CVtApp* app = config->GetAppAt(uint32_t(i));
        if (!app) continue;
        ComPtr<IVtLaunchEntry> entry;
        GUID id{};
        std::wstring path;
        if (IsNullGuid(app->id) || FAILED(launcher->GetEntryById(app->id, entry.Put())) || !entry ||
            FAILED(entry->GetId(&id)) || !GetLaunchEntryPath(entry.Get(), path)) {
            ok = CreateLaunchEntry(launcher, app) && ok;
            continue;
        }
        if (GuidsEqual(id, app->id) && path == app->path) continue;
        if (!NamesEqualNoCase(path, app->path)) ok = SUCCEEDED(entry->SetPath(app->path.c_str())) && ok;
    }
    return ok;
}

template <class Config>
bool ReadApps(Config* config, IVtAppLauncher* launcher) {
    if (!config || !launcher) return false;
    bool ok = true;
    for (ULONG index = 0;; ++index) {
        ComPtr<IVtLaunchEntry> entry;
        if (FAILED(launcher->GetEntryByIndex(index, entry.Put())) || !entry) break;
        std::wstring path;
        GUID id{};
        if (!GetLaunchEntryPath(entry.Get(), path) || FAILED(entry->GetId(&id))) {
            ok = false;
            continue;
        }
        CVtApp* app = config->FindAppByGuid(id);
        if (app) {
            app->path = path;
            continue;
        }
        app = config->AddApp(path.c_str());
        if (!app) {
            ok = false;
            continue;
        }
        app->id = id;
    }
    return ok;
}

template <class Config>
bool DeleteAppsNotInModel(IVtAppLauncher* launcher, Config* config) {
    if (!launcher || !config) return false;
    bool ok = true;
    for (ULONG index = 0;;) {
        ComPtr<IVtLaunchEntry> entry;
        if (FAILED(launcher->GetEntryByIndex(index, entry.Put())) || !entry) break;
        GUID id{};
        if (SUCCEEDED(entry->GetId(&id)) && !config->FindAppByGuid(id)) {
            if (SUCCEEDED(launcher->DeleteEntry(entry.Get()))) continue;
            ok = false;
        }
        ++index;
    }
    return ok;
}

// ---- lighting entries ---------------------------------------------------------------------------

struct ApmEntry {
    int32_t colour;
    uint32_t high;
};
// Makes the engine's collection hold exactly these entries, in this order.
bool WriteCollectionEntryList(IVtEntryCollection* collection, const std::vector<ApmEntry>& entries);

// Lighting entries in the snapshot's form.
GroupSnapshot::Bytes ApmEntryValues(const std::vector<ApmEntry>& entries);

// The model's entries; false when one cannot be read.
template <class Config>
bool ModelApmEntries(Config* config, std::vector<ApmEntry>& entries) {
    entries.clear();
    for (int32_t i = 0; i < config->GetApmStageCount(); ++i) {
        int32_t colour = 0, low = 0;
        uint32_t high = 0;
        if (!config->GetApmStageColor(uint32_t(i), &colour) || !config->GetApmStageRange(uint32_t(i), &low, &high))
            return false;
        entries.push_back(ApmEntry{colour, high});
    }
    return true;
}

template <class Config>
bool WriteCollectionEntries(IVtEntryCollection* collection, Config* config) {
    if (!collection || !config) return false;
    std::vector<ApmEntry> entries;
    if (!ModelApmEntries(config, entries)) return false;
    return WriteCollectionEntryList(collection, entries);
}

// Reads the engine's entries; the model is replaced only when every read succeeded, so a failing
// engine never leaves the model half cleared. An engine without entries leaves the model's alone.
bool ReadCollectionEntryList(IVtEntryCollection* collection, std::vector<ApmEntry>& entries);

template <class Config>
bool ReadCollectionEntries(IVtEntryCollection* collection, Config* config, GroupSnapshot::Bytes* held = nullptr) {
    if (!collection || !config) return false;
    std::vector<ApmEntry> entries;
    if (!ReadCollectionEntryList(collection, entries)) return false;
    if (held) *held = ApmEntryValues(entries);
    if (entries.empty()) return true;
    config->ClearApmStages();
    int32_t low = 0;
    for (const ApmEntry& e : entries) {
        config->AddApmStage(e.colour, low, e.high);
        low = int32_t(e.high);
    }
    return true;
}

// ---- key entries --------------------------------------------------------------------------------

bool GetKeyEntries(IVtDevice* device, ComPtr<IVtKeyEntries>& out);

// Keys 1 to 16 as bits (key k is bit k - 1). A device keeps which of its configuration's key
// entries hold what the engine holds (read from it; the user's edits of them start from those);
// only those are written, so an entry the engine was never asked for is never overwritten with
// the model's default.
constexpr uint32_t kAllKeyEntries = 0xFFFFu;
constexpr uint32_t KeyEntryBit(int32_t key) { return key >= 1 && key <= 16 ? 1u << (key - 1) : 0u; }

// The model's key entries of `keys` in the snapshot's form: each such key of kind 64 with its
// three values.
template <class Config>
GroupSnapshot::Bytes KeyEntryValues(Config* config, uint32_t keys) {
    GroupBytes b;
    for (int32_t key = 1; key <= 16; ++key) {
        if (!(keys & KeyEntryBit(key))) continue;
        AssignmentRecord record{};
        config->GetConfigAssignment(&record, key);
        if (record.kind != vt::profile::kKindKeySlot) continue;
        uint32_t w[3];
        std::memcpy(w, record.payload, sizeof w);
        b.Add(key).Add(w);
    }
    return b.Take();
}

// Writes the model's key entries of `keys` (nothing, and true, when there are none).
template <class Config>
bool WriteKeyEntries(IVtDevice* device, Config* config, uint32_t keys) {
    if (!config) return false;
    if (!(keys & kAllKeyEntries)) return true;
    ComPtr<IVtKeyEntries> entries;
    if (!GetKeyEntries(device, entries)) return false;
    bool ok = true;
    for (int32_t i = 0; i < config->GetConfigAssignmentCount(); ++i) {
        int32_t key = config->GetConfigAssignmentKeyAt(uint32_t(i));
        if (!(keys & KeyEntryBit(key))) continue;
        AssignmentRecord record{};
        config->GetConfigAssignment(&record, key);
        if (record.kind != vt::profile::kKindKeySlot) continue;
        uint32_t w[3];
        std::memcpy(w, record.payload, sizeof w);
        ok = SUCCEEDED(entries->SetValue1(ULONG(key), w[0])) && ok;
        ok = SUCCEEDED(entries->SetValue2(ULONG(key), w[1])) && ok;
        ok = SUCCEEDED(entries->SetValue3(ULONG(key), w[2])) && ok;
    }
    return ok;
}

// Reads the engine's entry of every kind-64 key of the model. Each key stands alone: a key that
// is read goes into the model and into `read` (key bits), one that fails keeps the model's value
// and makes the answer false. `held` (when given) gets the keys read in the snapshot's form.
template <class Config>
bool ReadKeyEntries(IVtDevice* device, Config* config, uint32_t* read = nullptr, GroupSnapshot::Bytes* held = nullptr) {
    ComPtr<IVtKeyEntries> entries;
    if (!config || !GetKeyEntries(device, entries)) return false;
    bool ok = true;
    GroupBytes engineValues;
    for (int32_t key = 1; key <= 16; ++key) {
        AssignmentRecord record{};
        config->GetConfigAssignment(&record, key);
        if (record.kind != vt::profile::kKindKeySlot) continue;
        ULONG v[3] = {};
        const bool got = SUCCEEDED(entries->GetValue1(ULONG(key), &v[0])) &&
                         SUCCEEDED(entries->GetValue2(ULONG(key), &v[1])) &&
                         SUCCEEDED(entries->GetValue3(ULONG(key), &v[2]));
        if (!got) {
            ok = false;
            continue;
        }
        std::memcpy(record.payload, v, sizeof v);
        config->SetConfigAssignment(key, record);
        if (read) *read |= KeyEntryBit(key);
        uint32_t w[3] = {uint32_t(v[0]), uint32_t(v[1]), uint32_t(v[2])};
        engineValues.Add(key).Add(w);
    }
    if (held) *held = engineValues.Take();
    return ok;
}

// The key entries' group of a device read or written by a job: `known` are the keys the model
// holds from the engine (only those are written); a read job reads them only when some are known
// already (the first read is left to whoever first needs them) and adds the keys it read to
// `*learnt`.
struct KeyEntryJob {
    uint32_t known = 0;
    uint32_t* learnt = nullptr;
};

template <class Config>
bool WriteKeyEntryGroup(const EngineConnection& connection, Config* config, GroupSnapshot* snapshot,
                        const KeyEntryJob& job) {
    if (!(job.known & kAllKeyEntries)) return true;
    return WriteGroupIfChanged(snapshot, GUID{}, kGroupKeyEntries, KeyEntryValues(config, job.known),
                               [&] { return WriteKeyEntries(connection.Device(), config, job.known); });
}

template <class Config>
bool ReadKeyEntryGroup(const EngineConnection& connection, Config* config, GroupSnapshot* snapshot,
                       const KeyEntryJob& job) {
    if (!(job.known & kAllKeyEntries)) return true;
    uint32_t read = 0;
    GroupSnapshot::Bytes held;
    const bool ok = ReadKeyEntries(connection.Device(), config, &read, &held);
    if (job.learnt) *job.learnt |= read;
    NoteGroupRead(snapshot, GUID{}, kGroupKeyEntries, read != 0, std::move(held));
    return ok;
}

// ---- engine objects that assignments refer to ---------------------------------------------------

// Feature interfaces fetched on first use within one connection.
class ReferenceContext {
public:
    explicit ReferenceContext(const EngineConnection& connection) : m_connection(connection) {}
    IVtProfileManager* Manager() { return Get(IID_IVtProfileManager, m_manager); }
    IVtMacroStore* Macros() { return Get(IID_IVtMacroStore, m_macros); }
    IVtAppLauncher* Launcher() { return Get(IID_IVtAppLauncher, m_launcher); }

private:
    template <class T>
    T* Get(REFIID iid, ComPtr<T>& slot) {
        if (!slot) m_connection.Feature(iid, slot);
        return slot.Get();
    }
    const EngineConnection& m_connection;
    ComPtr<IVtProfileManager> m_manager;
    ComPtr<IVtMacroStore> m_macros;
    ComPtr<IVtAppLauncher> m_launcher;
};

std::wstring NameFromPayload(const AssignmentRecord& record);
AssignmentRecord RecordWithId(int32_t kind, const GUID& id, const AssignmentRecord* keepTail = nullptr);

// Kind 22 (a profile by name), 7 (a macro by name) and 63 (a program by path) become kinds 21, 6
// and 62 with the id of the engine object, which is created when the model object has none yet.
// Other kinds are left alone (true). False when the named object is missing or cannot be made.
template <class Config>
bool ConvertReferencedObject(AssignmentRecord& record, Config* config, ReferenceContext& engine) {
    using namespace vt::profile;
    switch (record.kind) {
    case kKindProfileByName: {
        auto* target = config->FindProfileByName(NameFromPayload(record).c_str());
        if (!target) return false;
        GUID id{};
        target->GetId(&id);
        if (IsNullGuid(id)) {
            IVtProfileManager* manager = engine.Manager();
            ComPtr<IVtProfile> created;
            if (!CreateEngineProfile(manager, created, id)) return false;
            target->SetId(id);
            SetEngineProfileName(manager, created.Get(), id, target->GetName());
        }
        record = RecordWithId(kKindProfile, id);
        return true;
    }
    case kKindMacroByName: {
        CMacro* macro = config->FindMacro(NameFromPayload(record).c_str());
        if (!macro) return false;
        if (IsNullGuid(macro->id)) {
            IVtMacroStore* store = engine.Macros();
            if (!store) return false;
            CreateEngineMacro(store, macro);
            if (IsNullGuid(macro->id)) return false;
        }
        record = RecordWithId(kKindMacro, macro->id, &record);
        return true;
    }
    case kKindLaunchProgramAlias: {
        CVtApp* app = config->FindApp(NameFromPayload(record).c_str());
        if (!app) return false;
        if (IsNullGuid(app->id)) {
            IVtAppLauncher* launcher = engine.Launcher();
            if (!launcher) return false;
            CreateLaunchEntry(launcher, app);
            if (IsNullGuid(app->id)) return false;
        }
        record = RecordWithId(kKindLaunchProgram, app->id);
        return true;
    }
    default:
        return true;
    }
}

// ---- the device-wide lists of a job ---------------------------------------------------------------

// The keys of the model's kind-64 key entries (key bits).
template <class Config>
uint32_t KeyEntrySlots(Config* config) {
    uint32_t keys = 0;
    for (int32_t key = 1; key <= 16; ++key) {
        AssignmentRecord record{};
        config->GetConfigAssignment(&record, key);
        if (record.kind == vt::profile::kKindKeySlot) keys |= KeyEntryBit(key);
    }
    return keys;
}

// Macros: the engine's macros the model no longer has go, then each model macro is written.
template <class Config>
bool WriteMacroList(ReferenceContext& references, Config* config) {
    IVtMacroStore* store = references.Macros();
    const bool deleted = store && DeleteMacrosNotInModel(store, config);
    return store && WriteMacros(config, store) && deleted;
}

template <class Config>
bool ReadMacroList(const EngineConnection& connection, Config* config) {
    ComPtr<IVtMacroStore> store;
    return connection.Feature(IID_IVtMacroStore, store) && ReadMacros(config, store.Get());
}

// Program-launch entries, as the macros.
template <class Config>
bool WriteAppList(ReferenceContext& references, Config* config) {
    IVtAppLauncher* launcher = references.Launcher();
    const bool deleted = launcher && DeleteAppsNotInModel(launcher, config);
    return launcher && WriteApps(config, launcher) && deleted;
}

template <class Config>
bool ReadAppList(const EngineConnection& connection, Config* config) {
    ComPtr<IVtAppLauncher> launcher;
    return connection.Feature(IID_IVtAppLauncher, launcher) && ReadApps(config, launcher.Get());
}

// The lighting entries and the key entries (one group bit). Through `snapshot` when given.
template <class Config>
bool WriteEntryLists(const EngineConnection& connection, Config* config, GroupSnapshot* snapshot, const KeyEntryJob& keys) {
    std::vector<ApmEntry> entries;
    const bool modelRead = ModelApmEntries(config, entries);
    const bool written = WriteGroupIfChanged(modelRead ? snapshot : nullptr, GUID{}, kGroupEntries, ApmEntryValues(entries), [&] {
        ComPtr<IVtEntryCollection> collection;
        return modelRead && connection.Feature(IID_IVtEntryCollection, collection) &&
               WriteCollectionEntryList(collection.Get(), entries);
    });
    return WriteKeyEntryGroup(connection, config, snapshot, keys) && written;
}

template <class Config>
bool ReadEntryLists(const EngineConnection& connection, Config* config, GroupSnapshot* snapshot, const KeyEntryJob& keys) {
    ComPtr<IVtEntryCollection> collection;
    GroupSnapshot::Bytes held;
    const bool read = connection.Feature(IID_IVtEntryCollection, collection) &&
                      ReadCollectionEntries(collection.Get(), config, &held);
    NoteGroupRead(snapshot, GUID{}, kGroupEntries, read, std::move(held));
    return ReadKeyEntryGroup(connection, config, snapshot, keys) && read;
}

} // namespace vt::device
