#include "Macros.h"
#include <algorithm>
#include <cstring>
#include "BinaryIo.h"

namespace vt::engine {
namespace {

class MacroObj : public ComObject<IVtMacro, IVtEngineItem>, ListItem<Macro, &Device::macros> {
public:
    MacroObj(EnginePtr e, uint32_t pid, GUID id) : ComObject(std::move(e)), ListItem(pid, id) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {ItemType::Macro, m_pid, m_id, 0}; }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override {
        ENTER("IVtMacro.GetId", L"");
        if (!id) return E_POINTER;
        *id = m_id;
        return ReadItem(*m_e, [](const Macro&) { return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetName(ULONG* cch, WCHAR** name) override {
        ENTER("IVtMacro.GetName", L"");
        if (!cch || !name) return E_POINTER;
        *cch = 0;
        *name = nullptr;
        return ReadItem(*m_e, [&](const Macro& m) { return CoString(m.name, cch, name); });
    }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override {
        std::wstring n;
        bool valid = ValidInString(name, kMaxNameChars, &n);
        ENTER("IVtMacro.SetName", n);
        if (!name) return E_POINTER;
        if (!valid) return E_INVALIDARG;
        return WriteItem(*m_e, [&](Macro& m) { m.name = n; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override {
        ENTER("IVtMacro.Export", path ? path : L"");
        if (!path) return E_POINTER;
        std::vector<uint8_t> bytes;
        HRESULT hr = ReadItem(*m_e, [&](const Macro& m) { bytes = ExportMacroFile(m); return S_OK; });
        if (FAILED(hr)) return hr;
        return WriteFileAtomic(path, bytes) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetEvents(ULONG* cb, BYTE** buffer) override {
        ENTER("IVtMacro.GetEvents", L"");
        if (!cb || !buffer) return E_POINTER;
        *cb = 0;
        *buffer = nullptr;
        return ReadItem(*m_e, [&](const Macro& m) -> HRESULT {
            std::vector<uint8_t> b = MacroBuffer(m);
            auto* p = static_cast<BYTE*>(CoTaskMemAlloc(b.size()));
            if (!p) return E_OUTOFMEMORY;
            memcpy(p, b.data(), b.size());
            *buffer = p;
            *cb = ULONG(b.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetEvents(ULONG cb, const BYTE* buffer) override {
        ENTER("IVtMacro.SetEvents", U(cb));
        if (!buffer) return E_POINTER;
        std::vector<MacroEvent> events;
        if (!ParseMacroBuffer(buffer, cb, &events)) return E_INVALIDARG;
        return WriteItem(*m_e, [&](Macro& m) { m.events = std::move(events); return S_OK; });
    }
};

class MacroStore : public ComObject<IVtMacroStore> {
public:
    MacroStore(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetMacroByIndex(ULONG index, IVtMacro** out) override {
        ENTER("IVtMacroStore.GetMacroByIndex", U(index));
        return Lookup(out, [&](const Device& d) -> const Macro* { return index < d.macros.size() ? &d.macros[index] : nullptr; });
    }
    HRESULT STDMETHODCALLTYPE GetMacroById(GUID id, IVtMacro** out) override {
        ENTER("IVtMacroStore.GetMacroById", G(id));
        return Lookup(out, [&](const Device& d) -> const Macro* {
            for (const Macro& m : d.macros)
                if (m.id == id) return &m;
            return nullptr;
        });
    }
    HRESULT STDMETHODCALLTYPE CreateMacro(IVtMacro** out) override {
        ENTER("IVtMacroStore.CreateMacro", L"");
        Macro m;
        m.id = NewId();
        return Add(out, std::move(m));
    }
    HRESULT STDMETHODCALLTYPE DeleteMacro(IVtMacro* macro) override {
        ENTER("IVtMacroStore.DeleteMacro", L"");
        ItemKey key{};
        if (!macro) return E_POINTER;
        if (!KeyOf(macro, ItemType::Macro, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            auto it = std::find_if(d.macros.begin(), d.macros.end(), [&](const Macro& m) { return m.id == key.id; });
            if (it == d.macros.end()) return E_FAIL;
            d.macros.erase(it);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportMacro(LPCWSTR path, IVtMacro** out) override {
        ENTER("IVtMacroStore.ImportMacro", path ? path : L"");
        if (!path || !out) return E_POINTER;
        *out = nullptr;
        std::vector<uint8_t> bytes;
        Macro m;
        if (!ReadFileBytes(path, kMaxImportFile, &bytes) || !ImportMacroFile(bytes, &m)) return E_FAIL;
        m.id = NewId();
        return Add(out, std::move(m));
    }
private:
    HRESULT Add(IVtMacro** out, Macro m) {
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id = m.id;
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            if (d.macros.size() >= (d.kind == Mouse ? 4u : kMaxMacros)) return E_FAIL;
            d.macros.push_back(std::move(m));
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new MacroObj(m_e, m_pid, id);
        return S_OK;
    }
    HRESULT Lookup(IVtMacro** out, const std::function<const Macro*(const Device&)>& pick) {
        return MakeFoundItem<Macro>(*m_e, m_pid, out, pick,
                                  [&](const GUID& id) -> IVtMacro* { return new MacroObj(m_e, m_pid, id); });
    }
    uint32_t m_pid;
};

}  // namespace

HRESULT CreateMacroStore(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new MacroStore(e, pid), riid, ppv);
}

}  // namespace vt::engine
