#include "ComObject.h"
#include <cstring>

namespace vt::engine {

HRESULT CoString(const std::wstring& s, ULONG* cch, WCHAR** out) {
    if (!cch || !out) return E_POINTER;
    *out = nullptr;
    *cch = 0;
    auto* p = static_cast<WCHAR*>(CoTaskMemAlloc((s.size() + 1) * sizeof(WCHAR)));
    if (!p) return E_OUTOFMEMORY;
    memcpy(p, s.c_str(), (s.size() + 1) * sizeof(WCHAR));
    *out = p;
    *cch = ULONG(s.size() + 1);
    return S_OK;
}

bool ValidInString(LPCWSTR s, size_t maxChars, std::wstring* out) {
    if (!s) return false;
    size_t n = wcsnlen(s, maxChars + 1);
    if (n > maxChars) return false;
    out->assign(s, n);
    return true;
}

Profile* FindProfile(Device& d, const GUID& id) {
    for (Profile& p : d.profiles)
        if (p.id == id) return &p;
    return nullptr;
}

const Profile* FindProfile(const Device& d, const GUID& id) {
    for (const Profile& p : d.profiles)
        if (p.id == id) return &p;
    return nullptr;
}

size_t ProfileIndex(const Device& d, const GUID& id) {
    for (size_t i = 0; i < d.profiles.size(); ++i)
        if (d.profiles[i].id == id) return i;
    return SIZE_MAX;
}

bool KeyOf(IUnknown* obj, ItemType type, uint32_t pid, ItemKey* key) {
    if (!obj) return false;
    IVtEngineItem* item = nullptr;
    if (FAILED(obj->QueryInterface(__uuidof(IVtEngineItem), reinterpret_cast<void**>(&item))) || !item) return false;
    item->GetItemKey(key);
    item->Release();
    return key->type == type && key->pid == pid;
}

std::wstring G(const GUID& g) {
    std::string s = GuidText(g);
    return std::wstring(s.begin(), s.end());
}

std::wstring U(uint32_t v) { return std::to_wstring(v); }

HRESULT ProfileItem::ReadProfile(Engine& e, const std::function<HRESULT(const Profile&)>& f) const {
    return e.Read(m_pid, [&](const Device& d) -> HRESULT {
        const Profile* p = FindProfile(d, m_id);
        return p ? f(*p) : E_FAIL;
    });
}

HRESULT ProfileItem::WriteProfile(Engine& e, const std::function<HRESULT(Profile&, Events&)>& f) const {
    return e.Write(m_pid, [&](Device& d, Events& ev) -> HRESULT {
        Profile* p = FindProfile(d, m_id);
        return p ? f(*p, ev) : E_FAIL;
    });
}

}  // namespace vt::engine
