#include "Launcher.h"
#include <algorithm>
#include "EventSource.h"

namespace vt::engine {
namespace {

class LaunchEntryObj : public ComObject<IVtLaunchEntry, IVtEngineItem>, ListItem<LaunchEntry, &Device::launch> {
public:
    LaunchEntryObj(EnginePtr e, uint32_t pid, GUID id) : ComObject(std::move(e)), ListItem(pid, id) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {ItemType::LaunchEntry, m_pid, m_id, 0}; }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override {
        ENTER("IVtLaunchEntry.GetId", L"");
        if (!id) return E_POINTER;
        *id = m_id;
        return ReadItem(*m_e, [](const LaunchEntry&) { return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPath(ULONG* cch, WCHAR** path) override {
        ENTER("IVtLaunchEntry.GetPath", L"");
        if (!cch || !path) return E_POINTER;
        *cch = 0;
        *path = nullptr;
        return ReadItem(*m_e, [&](const LaunchEntry& e) { return CoString(e.path, cch, path); });
    }
    HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR path) override {
        std::wstring p;
        bool valid = ValidInString(path, kMaxPathChars, &p);
        ENTER("IVtLaunchEntry.SetPath", p);
        if (!path) return E_POINTER;
        if (!valid) return E_INVALIDARG;
        return WriteItem(*m_e, [&](LaunchEntry& e) { e.path = p; return S_OK; });
    }
};

class Launcher : public EventSource<IVtAppLauncher> {
public:
    Launcher(EnginePtr e, uint32_t pid)
        : EventSource(std::move(e), SourceKey{pid, Source::Launcher, {}}, IID__IApplicationEvent), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetEntryByIndex(ULONG index, IVtLaunchEntry** out) override {
        ENTER("IVtAppLauncher.GetEntryByIndex", U(index));
        return Lookup(out, [&](const Device& d) -> const LaunchEntry* { return index < d.launch.size() ? &d.launch[index] : nullptr; });
    }
    HRESULT STDMETHODCALLTYPE GetEntryById(GUID id, IVtLaunchEntry** out) override {
        ENTER("IVtAppLauncher.GetEntryById", G(id));
        return Lookup(out, [&](const Device& d) -> const LaunchEntry* {
            for (const LaunchEntry& e : d.launch)
                if (e.id == id) return &e;
            return nullptr;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateEntry(IVtLaunchEntry** out) override {
        ENTER("IVtAppLauncher.CreateEntry", L"");
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id = NewId();
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            if (d.launch.size() >= kMaxLaunchEntries) return E_FAIL;
            d.launch.push_back({id, L""});
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new LaunchEntryObj(m_e, m_pid, id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteEntry(IVtLaunchEntry* entry) override {
        ENTER("IVtAppLauncher.DeleteEntry", L"");
        ItemKey key{};
        if (!entry) return E_POINTER;
        if (!KeyOf(entry, ItemType::LaunchEntry, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            auto it = std::find_if(d.launch.begin(), d.launch.end(), [&](const LaunchEntry& e) { return e.id == key.id; });
            if (it == d.launch.end()) return E_FAIL;
            d.launch.erase(it);
            return S_OK;
        });
    }
private:
    HRESULT Lookup(IVtLaunchEntry** out, const std::function<const LaunchEntry*(const Device&)>& pick) {
        return MakeFoundItem<LaunchEntry>(*m_e, m_pid, out, pick,
                                          [&](const GUID& id) -> IVtLaunchEntry* { return new LaunchEntryObj(m_e, m_pid, id); });
    }
    uint32_t m_pid;
};

}  // namespace

HRESULT CreateLauncher(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new Launcher(e, pid), riid, ppv);
}

}  // namespace vt::engine
