#pragma once
// What every COM object of the engine shares: reference counting and QueryInterface over its
// interfaces, the call entry (log, delay, injected failure), the identity of items handed back to
// the engine, and reads and writes of the one profile an object views.
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include "Engine.h"

namespace vt::engine {

// Identity of an engine object, for calls that take an object back (delete, activate). The
// object handed back arrives in the engine's own apartment, so this interface is never marshalled.
enum class ItemType : int { Profile = 1, Macro = 2, LaunchEntry = 3, CollectionEntry = 4 };
struct ItemKey {
    ItemType type;
    uint32_t pid;
    GUID id;
    uint64_t entry;
};
struct IVtEngineItem : public IUnknown {
    virtual void STDMETHODCALLTYPE GetItemKey(ItemKey* key) = 0;
};
}  // namespace vt::engine
__CRT_UUID_DECL(vt::engine::IVtEngineItem, 0x0b603453, 0x9ab7, 0x48af, 0xbe, 0xea, 0x5e, 0xb3, 0x68, 0x6d, 0x05, 0x4b)

namespace vt::engine {

using Events = std::vector<PendingEvent>;
using EnginePtr = std::shared_ptr<Engine>;

template <class... I>
struct First;
template <class F, class... R>
struct First<F, R...> { using type = F; };

// Reference counting and QueryInterface over the listed interfaces.
template <class... I>
class ComObject : public I... {
public:
    explicit ComObject(EnginePtr e) : m_e(std::move(e)) {
        ++Engine::s_objects;
        Engine::NoteActivity();
    }
    virtual ~ComObject() {
        --Engine::s_objects;
        Engine::NoteActivity();
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_ref)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG r = InterlockedDecrement(&m_ref);
        if (r == 0) delete this;
        return ULONG(r);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown) *ppv = static_cast<typename First<I...>::type*>(this);
        else (void)((riid == __uuidof(I) ? (*ppv = static_cast<I*>(this), true) : false) || ...);
        if (!*ppv) return E_NOINTERFACE;
        reinterpret_cast<IUnknown*>(*ppv)->AddRef();
        return S_OK;
    }

protected:
    EnginePtr m_e;

private:
    LONG m_ref = 1;
};

// Hands a new object (one reference) out as riid, or drops it.
template <class T>
HRESULT Hand(T* obj, REFIID riid, void** ppv) {
    HRESULT hr = obj->QueryInterface(riid, ppv);
    obj->Release();
    return hr;
}

// The features a device or profile offers, from interface to builder; kinds is a mask of 1 << Kind.
template <class... Args>
struct FeatureRow {
    const IID* iid;
    unsigned kinds;
    HRESULT (*create)(const EnginePtr&, Args..., REFIID, void**);
};
constexpr unsigned kAllKinds = 1u << Mouse | 1u << Keyboard | 1u << Headset;

template <class... Args>
HRESULT CreateFeature(const std::vector<FeatureRow<Args...>>& table, int kind, const EnginePtr& e, REFIID riid,
                      void** ppv, Args... args) {
    for (const auto& row : table)
        if (*row.iid == riid && kind >= 0 && (row.kinds >> kind & 1)) return row.create(e, args..., riid, ppv);
    return E_NOINTERFACE;
}

// A counted CoTaskMem copy of s (with its terminator), as the interfaces hand strings out.
HRESULT CoString(const std::wstring& s, ULONG* cch, WCHAR** out);
// A caller's string of at most maxChars characters.
bool ValidInString(LPCWSTR s, size_t maxChars, std::wstring* out);

Profile* FindProfile(Device& d, const GUID& id);
const Profile* FindProfile(const Device& d, const GUID& id);
size_t ProfileIndex(const Device& d, const GUID& id);

// The key of an engine object handed back by a caller, when it is an item of that type and device.
bool KeyOf(IUnknown* obj, ItemType type, uint32_t pid, ItemKey* key);

// Call-log text of arguments.
std::wstring G(const GUID& g);
std::wstring U(uint32_t v);

// Every interface method enters the engine first: the call is logged, and may be delayed or failed.
#define ENTER(name, args)                              \
    do {                                               \
        HRESULT enter_hr_ = m_e->Enter(name, args);    \
        if (FAILED(enter_hr_)) return enter_hr_;       \
    } while (0)

// An object that views one profile of one device; its calls fail once the profile is deleted.
class ProfileItem {
protected:
    ProfileItem(uint32_t pid, const GUID& id) : m_pid(pid), m_id(id) {}
    HRESULT ReadProfile(Engine& e, const std::function<HRESULT(const Profile&)>& f) const;
    HRESULT WriteProfile(Engine& e, const std::function<HRESULT(Profile&, Events&)>& f) const;
    uint32_t m_pid;
    GUID m_id;
};

// An object that views one item (by id) of a device-wide list (macros, launch entries); its
// calls fail once the item is deleted.
template <class T, std::vector<T> Device::*List>
class ListItem {
protected:
    ListItem(uint32_t pid, const GUID& id) : m_pid(pid), m_id(id) {}
    HRESULT ReadItem(Engine& e, const std::function<HRESULT(const T&)>& f) const {
        return e.Read(m_pid, [&](const Device& d) -> HRESULT {
            for (const T& item : d.*List)
                if (item.id == m_id) return f(item);
            return E_FAIL;
        });
    }
    HRESULT WriteItem(Engine& e, const std::function<HRESULT(T&)>& f) const {
        return e.Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            for (T& item : d.*List)
                if (item.id == m_id) return f(item);
            return E_FAIL;
        });
    }
    uint32_t m_pid;
    GUID m_id;
};

// Looks an item up under the engine's lock and makes an object for it (one reference), or fails.
template <class Key, class Itf>
HRESULT MakeFound(Engine& e, uint32_t pid, Itf** out,
                  const std::type_identity_t<std::function<bool(const Device&, Key*)>>& find,
                  const std::type_identity_t<std::function<Itf*(const Key&)>>& make) {
    if (!out) return E_POINTER;
    *out = nullptr;
    Key key{};
    HRESULT hr = e.Read(pid, [&](const Device& d) { return find(d, &key) ? S_OK : E_FAIL; });
    if (FAILED(hr)) return hr;
    *out = make(key);
    return S_OK;
}

// The same for an item that pick finds in the device's state (or not), made by its id.
template <class T, class Itf>
HRESULT MakeFoundItem(Engine& e, uint32_t pid, Itf** out,
                      const std::type_identity_t<std::function<const T*(const Device&)>>& pick,
                      const std::type_identity_t<std::function<Itf*(const GUID&)>>& make) {
    return MakeFound<GUID, Itf>(
        e, pid, out,
        [&](const Device& d, GUID* id) {
            const T* item = pick(d);
            if (item) *id = item->id;
            return item != nullptr;
        },
        make);
}

}  // namespace vt::engine
