#include "Profiles.h"
#include "BinaryIo.h"
#include "Dpi.h"
#include "Equalizer.h"
#include "EventSource.h"
#include "Lighting.h"
#include "Properties.h"
#include "RecordTables.h"

namespace vt::engine {
namespace {

const std::vector<FeatureRow<uint32_t, GUID>>& ProfileFeatures() {
    static const std::vector<FeatureRow<uint32_t, GUID>> rows = {
        {&IID_IVtProfileProperties, kAllKinds, CreateProperties},
        {&IID_IVtLighting, kAllKinds, CreateLighting},
        {&IID_IVtDpi, 1u << Mouse, CreateDpi},
        {&IID_IVtButtonAssignments, 1u << Mouse, CreateButtons},
        {&IID_IVtAssignmentTable, 1u << Keyboard, CreateKeyTable},
        {&IID_IVtEqualizer, 1u << Headset, CreateEqualizer},
        {&IID_IVtEQGain, 1u << Headset, CreateEqualizer},
    };
    return rows;
}

class ProfileObj : public ComObject<IVtProfile, IVtEngineItem>, ProfileItem {
public:
    ProfileObj(EnginePtr e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    void STDMETHODCALLTYPE GetItemKey(ItemKey* key) override { *key = {ItemType::Profile, m_pid, m_id, 0}; }
    HRESULT STDMETHODCALLTYPE CreateInterfaceInstance(REFIID riid, void** ppv) override {
        ENTER("IVtProfile.CreateInterfaceInstance", G(riid));
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (FAILED(Exists())) return E_FAIL;
        return CreateFeature(ProfileFeatures(), KindOf(m_pid), m_e, riid, ppv, m_pid, m_id);
    }
    HRESULT STDMETHODCALLTYPE GetId(GUID* id) override {
        ENTER("IVtProfile.GetId", L"");
        if (!id) return E_POINTER;
        *id = m_id;
        return Exists();
    }
    HRESULT STDMETHODCALLTYPE GetName(ULONG* cch, WCHAR** name) override {
        ENTER("IVtProfile.GetName", L"");
        if (!cch || !name) return E_POINTER;
        *cch = 0;
        *name = nullptr;
        return ReadProfile(*m_e, [&](const Profile& p) { return CoString(p.name, cch, name); });
    }
    HRESULT STDMETHODCALLTYPE SetName(LPCWSTR name) override {
        std::wstring n;
        bool valid = ValidInString(name, kMaxNameChars, &n);
        ENTER("IVtProfile.SetName", n);
        if (!name) return E_POINTER;
        if (!valid) return E_INVALIDARG;
        return WriteProfile(*m_e, [&](Profile& p, Events&) { p.name = n; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Apply() override {
        ENTER("IVtProfile.Apply", L"");
        return Exists();
    }
    HRESULT STDMETHODCALLTYPE Export(LPCWSTR path) override {
        ENTER("IVtProfile.Export", path ? path : L"");
        if (!path) return E_POINTER;
        std::vector<uint8_t> bytes;
        HRESULT hr = ReadProfile(*m_e, [&](const Profile& p) {
            bytes = ExportProfileFile(KindOf(m_pid), p);
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        return WriteFileAtomic(path, bytes) ? S_OK : E_FAIL;
    }
private:
    HRESULT Exists() { return ReadProfile(*m_e, [](const Profile&) { return S_OK; }); }
};

class ProfileManager : public EventSource<IVtProfileManager> {
public:
    ProfileManager(EnginePtr e, uint32_t pid)
        : EventSource(std::move(e), SourceKey{pid, Source::ProfileManager, {}}, IID__IProfileManagerEvents),
          m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetProfileByIndex(ULONG index, IVtProfile** out) override {
        ENTER("IVtProfileManager.GetProfileByIndex", U(index));
        return Lookup(out, [&](const Device& d) -> const Profile* {
            return index < d.profiles.size() ? &d.profiles[index] : nullptr;
        });
    }
    HRESULT STDMETHODCALLTYPE GetProfileById(GUID id, IVtProfile** out) override {
        ENTER("IVtProfileManager.GetProfileById", G(id));
        return Lookup(out, [&](const Device& d) { return FindProfile(d, id); });
    }
    HRESULT STDMETHODCALLTYPE SetActiveProfile(IVtProfile* profile) override {
        ENTER("IVtProfileManager.SetActiveProfile", L"");
        ItemKey key{};
        if (!profile) return E_POINTER;
        if (!KeyOf(profile, ItemType::Profile, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events& ev) -> HRESULT {
            size_t i = ProfileIndex(d, key.id);
            if (i == SIZE_MAX) return E_FAIL;
            d.active = key.id;
            // Raised also when it was active already: activating applies the profile again.
            ev.push_back({m_key, EventKind::ProfileChanged, uint32_t(i)});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetActiveProfile(IVtProfile** out) override {
        ENTER("IVtProfileManager.GetActiveProfile", L"");
        return Lookup(out, [&](const Device& d) { return FindProfile(d, d.active); });
    }
    HRESULT STDMETHODCALLTYPE CreateProfile(IVtProfile** out) override {
        ENTER("IVtProfileManager.CreateProfile", L"");
        if (!out) return E_POINTER;
        *out = nullptr;
        GUID id = NewId();
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            if (d.profiles.size() >= kMaxProfiles) return E_FAIL;
            d.profiles.push_back(FactoryProfile(d.kind, id, L"Profile " + std::to_wstring(d.profiles.size() + 1)));
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new ProfileObj(m_e, m_pid, id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeleteProfile(IVtProfile* profile) override {
        ENTER("IVtProfileManager.DeleteProfile", L"");
        ItemKey key{};
        if (!profile) return E_POINTER;
        if (!KeyOf(profile, ItemType::Profile, m_pid, &key)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events& ev) -> HRESULT {
            size_t i = ProfileIndex(d, key.id);
            if (i == SIZE_MAX) return E_FAIL;
            if (d.profiles.size() == 1) return E_FAIL;  // a device always keeps one profile
            bool wasActive = d.active == key.id;
            d.profiles.erase(d.profiles.begin() + i);
            if (wasActive) {
                d.active = d.profiles[0].id;
                ev.push_back({m_key, EventKind::ProfileChanged, 0});
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImportProfile(LPCWSTR path, IVtProfile** out) override {
        ENTER("IVtProfileManager.ImportProfile", path ? path : L"");
        if (!path || !out) return E_POINTER;
        *out = nullptr;
        std::vector<uint8_t> bytes;
        if (!ReadFileBytes(path, kMaxImportFile, &bytes)) return E_FAIL;
        GUID id = NewId();
        HRESULT hr = m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile p;
            if (!ImportProfileFile(bytes, d, &p)) return E_FAIL;
            if (d.profiles.size() >= kMaxProfiles) return E_FAIL;
            p.id = id;
            d.profiles.push_back(std::move(p));
            return S_OK;
        });
        if (FAILED(hr)) return hr;
        *out = new ProfileObj(m_e, m_pid, id);
        return S_OK;
    }
private:
    HRESULT Lookup(IVtProfile** out, const std::function<const Profile*(const Device&)>& pick) {
        return MakeFoundItem<Profile>(*m_e, m_pid, out, pick,
                                  [&](const GUID& id) -> IVtProfile* { return new ProfileObj(m_e, m_pid, id); });
    }
    uint32_t m_pid;
};

}  // namespace

HRESULT CreateProfileManager(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new ProfileManager(e, pid), riid, ppv);
}

}  // namespace vt::engine
