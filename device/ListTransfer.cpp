#include "device/ListTransfer.h"
#include <algorithm>

namespace vt::device {

std::vector<uint8_t> MacroBuffer(const CMacro& macro) {
    std::vector<EngineMacroEvent> events;
    MacroEventsToEngine(macro.events, events);
    return BuildEngineMacroBuffer(events);
}

bool ReadEngineMacro(IVtMacro* macro, EngineMacroCopy& out) {
    out = EngineMacroCopy{};
    if (!macro || FAILED(macro->GetId(&out.id))) return false;
    ULONG cch = 0;
    WCHAR* text = nullptr;
    HRESULT hr = macro->GetName(&cch, &text);
    out.name = TakeEngineString(text, cch);
    if (FAILED(hr) || out.name.size() > vt::profile::kMacroNameUnits) return false;
    ULONG cb = 0;
    BYTE* buffer = nullptr;
    hr = macro->GetEvents(&cb, &buffer);
    bool ok = SUCCEEDED(hr) && ParseEngineMacroBuffer(buffer, cb, out.events);
    if (buffer) CoTaskMemFree(buffer);
    return ok;
}

bool EngineMacroEquals(const EngineMacroCopy& engine, const CMacro& model) {
    if (!GuidsEqual(engine.id, model.id) || !NamesEqualNoCase(engine.name, model.name)) return false;
    std::vector<EngineMacroEvent> events;
    MacroEventsToEngine(model.events, events);
    return events.size() == engine.events.size() &&
           (events.empty() || std::memcmp(events.data(), engine.events.data(), events.size() * 8) == 0);
}

bool SetEngineMacroEvents(IVtMacro* macro, const CMacro& model) {
    std::vector<uint8_t> buffer = MacroBuffer(model);
    // The engine is handed a block of the COM task allocator, as it expects.
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(buffer.size()));
    if (!block) return false;
    std::memcpy(block, buffer.data(), buffer.size());
    bool ok = SUCCEEDED(macro->SetEvents(ULONG(buffer.size()), block));
    CoTaskMemFree(block);
    return ok;
}

bool CreateEngineMacro(IVtMacroStore* store, CMacro* macro) {
    if (!store || !macro) return false;
    ComPtr<IVtMacro> created;
    if (FAILED(store->CreateMacro(created.Put())) || !created) return false;
    GUID id{};
    bool ok = SUCCEEDED(created->GetId(&id));
    if (ok) macro->id = id;
    std::vector<EngineMacroEvent> events;
    if (MacroEventsToEngine(macro->events, events)) ok = SetEngineMacroEvents(created.Get(), *macro) && ok;
    ok = SUCCEEDED(created->SetName(macro->name)) && ok;
    return ok;
}

bool GetLaunchEntryPath(IVtLaunchEntry* entry, std::wstring& path) {
    path.clear();
    if (!entry) return false;
    ULONG cch = 0;
    WCHAR* text = nullptr;
    HRESULT hr = entry->GetPath(&cch, &text);
    path = TakeEngineString(text, cch);
    return SUCCEEDED(hr);
}

bool CreateLaunchEntry(IVtAppLauncher* launcher, CVtApp* app) {
    if (!launcher || !app) return false;
    ComPtr<IVtLaunchEntry> created;
    if (FAILED(launcher->CreateEntry(created.Put())) || !created) return false;
    GUID id{};
    bool ok = SUCCEEDED(created->GetId(&id));
    if (ok) app->id = id;
    return SUCCEEDED(created->SetPath(app->path.c_str())) && ok;
}

bool WriteCollectionEntryList(IVtEntryCollection* collection, const std::vector<ApmEntry>& wanted) {
    if (!collection) return false;
    // What the engine holds now.
    std::vector<ComPtr<IVtCollectionEntry>> entries;
    std::vector<ULONG> numbers;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtCollectionEntry> e;
        if (FAILED(collection->GetEntry(i, e.Put())) || !e) break;
        ULONG n = 0;
        if (FAILED(e->GetNumber(&n))) return false;
        entries.push_back(e);
        numbers.push_back(n);
    }
    // Numbers above everything held or wanted are free for the moves below.
    ULONG spare = 0;
    for (ULONG n : numbers) spare = std::max(spare, n);
    for (const ApmEntry& w : wanted) spare = std::max<ULONG>(spare, w.high);
    ++spare;

    // Surplus entries go from the front, as many as there are too many.
    while (entries.size() > wanted.size()) {
        ComPtr<IVtCollectionEntry> first;
        if (FAILED(collection->GetEntry(0, first.Put())) || !first) return false;
        if (FAILED(collection->DeleteEntry(first.Get()))) return false;
        entries.erase(entries.begin());
        numbers.erase(numbers.begin());
    }
    // Missing entries are created at free numbers and numbered below.
    while (entries.size() < wanted.size()) {
        ComPtr<IVtCollectionEntry> created;
        if (FAILED(collection->CreateEntry(spare, created.Put())) || !created) return false;
        entries.push_back(created);
        numbers.push_back(spare);
        ++spare;
    }
    // Two passes, so no number is ever asked for while another entry still holds it: first every
    // entry that must change moves to a free number, then each takes its own.
    for (size_t i = 0; i < entries.size(); ++i) {
        if (numbers[i] == wanted[i].high) continue;
        bool held = false;
        for (size_t j = 0; j < entries.size(); ++j)
            if (j != i && numbers[j] == wanted[i].high) held = true;
        if (!held) continue;
        // The holder moves out of the way.
        for (size_t j = 0; j < entries.size(); ++j) {
            if (j == i || numbers[j] != wanted[i].high) continue;
            if (FAILED(entries[j]->SetNumber(spare))) return false;
            numbers[j] = spare++;
        }
    }
    bool ok = true;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (numbers[i] != wanted[i].high) {
            if (FAILED(entries[i]->SetNumber(wanted[i].high))) return false;
            numbers[i] = wanted[i].high;
        }
        if (FAILED(entries[i]->SetColor(DWORD(wanted[i].colour)))) return false;
    }
    return ok;
}

bool ReadCollectionEntryList(IVtEntryCollection* collection, std::vector<ApmEntry>& out) {
    out.clear();
    if (!collection) return false;
    for (ULONG i = 0;; ++i) {
        ComPtr<IVtCollectionEntry> e;
        if (FAILED(collection->GetEntry(i, e.Put())) || !e) return true;
        DWORD colour = 0;
        ULONG number = 0;
        if (FAILED(e->GetColor(&colour)) || FAILED(e->GetNumber(&number))) return false;
        out.push_back(ApmEntry{int32_t(colour), number});
    }
}

bool GetKeyEntries(IVtDevice* device, ComPtr<IVtKeyEntries>& out) {
    out.Reset();
    if (!device) return false;
    ComPtr<IVtEntryCollection> collection;
    if (!KeptFeature(device, IID_IVtEntryCollection,
                     [&](void** got) { return device->CreateInterfaceInstance(IID_IVtEntryCollection, got); },
                     collection.PutVoid()))
        return false;
    // The key entries are the collection's other face: asked for once per batch as well.
    IVtEntryCollection* c = collection.Get();
    return KeptFeature(c, IID_IVtKeyEntries, [&](void** got) { return c->QueryInterface(IID_IVtKeyEntries, got); },
                       out.PutVoid());
}

std::wstring NameFromPayload(const AssignmentRecord& record) {
    const size_t units = sizeof(record.payload) / sizeof(wchar_t);
    const wchar_t* text = reinterpret_cast<const wchar_t*>(record.payload);
    return std::wstring(text, wcsnlen(text, units));
}

AssignmentRecord RecordWithId(int32_t kind, const GUID& id, const AssignmentRecord* keepTail) {
    AssignmentRecord r{};
    r.kind = kind;
    std::memcpy(r.payload, &id, sizeof id);
    if (keepTail) {
        std::memcpy(r.payload + vt::profile::kMacroModeOffset, keepTail->payload + vt::profile::kMacroModeOffset, 4);
        std::memcpy(r.payload + vt::profile::kMacroFlagOffset, keepTail->payload + vt::profile::kMacroFlagOffset, 4);
    }
    return r;
}

GroupSnapshot::Bytes ApmEntryValues(const std::vector<ApmEntry>& entries) {
    GroupBytes b;
    b.Add(uint32_t(entries.size()));
    for (const ApmEntry& e : entries) b.Add(int32_t(e.colour)).Add(uint32_t(e.high));
    return b.Take();
}

} // namespace vt::device
