#include "Collection.h"
#include <algorithm>

namespace vt::engine {
namespace {

class CollectionEntryObj : public ComObject<IVtCollectionEntry, IVtEngineItem> {
public:
    CollectionEntryObj(EnginePtr e, uint32_t pid, uint64_t key) : ComObject(std::move(e)), m_pid(pid), m_key(key) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {ItemType::CollectionEntry, m_pid, {}, m_key}; }
    HRESULT STDMETHODCALLTYPE GetNumber(ULONG* n) override {
        ENTER("IVtCollectionEntry.GetNumber", L"");
        if (!n) return E_POINTER;
        return ReadC([&](const CollectionEntry& e) { *n = e.number; });
    }
    HRESULT STDMETHODCALLTYPE SetNumber(ULONG n) override {
        ENTER("IVtCollectionEntry.SetNumber", U(n));
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            CollectionEntry* self = nullptr;
            for (CollectionEntry& e : d.collection) {
                if (e.key == m_key) self = &e;
                else if (e.number == n) return E_ACCESSDENIED;
            }
            if (!self) return E_FAIL;
            self->number = n;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetColor(DWORD* c) override {
        ENTER("IVtCollectionEntry.GetColor", L"");
        if (!c) return E_POINTER;
        return ReadC([&](const CollectionEntry& e) { *c = e.color; });
    }
    HRESULT STDMETHODCALLTYPE SetColor(DWORD c) override {
        ENTER("IVtCollectionEntry.SetColor", Hex(c));
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (CollectionEntry& e : d.collection)
                if (e.key == m_key) { e.color = c & 0xFFFFFF; return S_OK; }
            return E_FAIL;
        });
    }
private:
    HRESULT ReadC(const std::function<void(const CollectionEntry&)>& f) {
        return m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            for (const CollectionEntry& e : d.collection)
                if (e.key == m_key) { f(e); return S_OK; }
            return E_FAIL;
        });
    }
    uint32_t m_pid;
    uint64_t m_key;
};

class Collection : public ComObject<IVtEntryCollection, IVtKeyEntries> {
public:
    Collection(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetEntry(ULONG index, IVtCollectionEntry** out) override {
        ENTER("IVtEntryCollection.GetEntry", U(index));
        return MakeFound<uint64_t>(
            *m_e, m_pid, out,
            [&](const Device& d, uint64_t* key) {
                if (index >= d.collection.size()) return false;
                *key = d.collection[index].key;
                return true;
            },
            [&](const uint64_t& key) -> IVtCollectionEntry* { return new CollectionEntryObj(m_e, m_pid, key); });
    }
    HRESULT STDMETHODCALLTYPE CreateEntry(ULONG number, IVtCollectionEntry** out) override {
        ENTER("IVtEntryCollection.CreateEntry", U(number));
        if (!out) return E_POINTER;
        *out = nullptr;
        uint64_t key = 0;
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (const CollectionEntry& e : d.collection)
                if (e.number == number) return E_ACCESSDENIED;
            if (d.collection.size() >= kMaxCollection) return E_FAIL;
            key = d.nextEntryKey++;
            d.collection.push_back({key, number, 0});
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new CollectionEntryObj(m_e, m_pid, key);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteEntry(IVtCollectionEntry* entry) override {
        ENTER("IVtEntryCollection.DeleteEntry", L"");
        ItemKey key{};
        if (!entry) return E_POINTER;
        if (!KeyOf(entry, ItemType::CollectionEntry, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            auto it = std::find_if(d.collection.begin(), d.collection.end(),
                                   [&](const CollectionEntry& e) { return e.key == key.entry; });
            if (it == d.collection.end()) return E_FAIL;
            d.collection.erase(it);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetValue1(ULONG k, ULONG* v) override { ENTER("IVtKeyEntries.GetValue1", U(k)); return GetV(k, 0, v); }
    HRESULT STDMETHODCALLTYPE SetValue1(ULONG k, ULONG v) override { ENTER("IVtKeyEntries.SetValue1", U(k)); return SetV(k, 0, v); }
    HRESULT STDMETHODCALLTYPE GetValue2(ULONG k, ULONG* v) override { ENTER("IVtKeyEntries.GetValue2", U(k)); return GetV(k, 1, v); }
    HRESULT STDMETHODCALLTYPE SetValue2(ULONG k, ULONG v) override { ENTER("IVtKeyEntries.SetValue2", U(k)); return SetV(k, 1, v); }
    HRESULT STDMETHODCALLTYPE GetValue3(ULONG k, ULONG* v) override { ENTER("IVtKeyEntries.GetValue3", U(k)); return GetV(k, 2, v); }
    HRESULT STDMETHODCALLTYPE SetValue3(ULONG k, ULONG v) override { ENTER("IVtKeyEntries.SetValue3", U(k)); return SetV(k, 2, v); }
private:
    HRESULT GetV(ULONG k, int i, ULONG* v) {
        if (!v) return E_POINTER;
        if (k < 1 || k > kKeyEntries) return E_INVALIDARG;
        return m_e->Read(m_pid, [&](const Device& d) { *v = d.keyValues[k - 1][i]; return S_OK; });
    }
    HRESULT SetV(ULONG k, int i, ULONG v) {
        if (k < 1 || k > kKeyEntries) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.keyValues[k - 1][i] = v; return S_OK; });
    }
    uint32_t m_pid;
};

}  // namespace

HRESULT CreateCollection(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new Collection(e, pid), riid, ppv);
}

}  // namespace vt::engine
