#include "RecordTables.h"
#include <cstring>

namespace vt::engine {
namespace {

// The records shared by both tables.
template <class Itf>
class RecordTable : public ComObject<Itf>, protected ProfileItem {
public:
    RecordTable(EnginePtr e, uint32_t pid, GUID id) : ComObject<Itf>(std::move(e)), ProfileItem(pid, id) {}
protected:
    HRESULT Get(ULONG* count, VtActionRecord* records) {
        if (!count || !records) return E_POINTER;
        return this->m_e->Read(m_pid, [&](const Device& d) -> HRESULT {
            const Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            ULONG n = 0;
            auto put = [&](uint32_t key) {
                if (n < *count) records[n++] = p->records.at(key);
            };
            if (d.kind == Mouse) {
                for (uint32_t bit = 0; bit < kMouseButtonBits; ++bit)
                    if (d.buttonMask >> bit & 1) put(ButtonIndexOfBit(bit));
            } else {
                for (uint32_t code : KeyboardKeys()) put(code);
            }
            *count = n;
            return S_OK;
        });
    }
    HRESULT Set(ULONG count, const VtActionRecord* records) {
        if (!records) return E_POINTER;
        if (count == 0 || count > 4096) return E_INVALIDARG;
        return this->m_e->Write(m_pid, [&](Device& d, Events&) -> HRESULT {
            Profile* p = FindProfile(d, m_id);
            if (!p) return E_FAIL;
            for (ULONG i = 0; i < count; ++i)
                if (!IsValidIndex(d, records[i].Index) || records[i].Type > 9 || records[i].Flag > 1) return E_INVALIDARG;
            for (ULONG i = 0; i < count; ++i) {
                const VtActionRecord& r = records[i];
                static const BYTE zero[20] = {};
                if (r.Type == 0 && !memcmp(r.Payload, zero, 20)) p->records[r.Index] = DefaultRecord(d.kind, r.Index);
                else p->records[r.Index] = r;
            }
            return S_OK;
        });
    }
};

class Buttons : public RecordTable<IVtButtonAssignments> {
public:
    Buttons(EnginePtr e, uint32_t pid, GUID id) : RecordTable(std::move(e), pid, id) {}
    HRESULT STDMETHODCALLTYPE GetAssignments(ULONG* count, VtActionRecord* records) override {
        ENTER("IVtButtonAssignments.GetAssignments", count ? U(*count) : L"");
        return Get(count, records);
    }
    HRESULT STDMETHODCALLTYPE SetAssignment(ULONG count, const VtActionRecord* records) override {
        ENTER("IVtButtonAssignments.SetAssignment", records && count ? U(records[0].Index) : L"");
        return Set(count, records);
    }
    HRESULT STDMETHODCALLTYPE GetButtonInfo(ULONG* count, ULONG* second, ULONG* mask) override {
        ENTER("IVtButtonAssignments.GetButtonInfo", L"");
        if (!count || !second || !mask) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) {
            *count = d.buttonCount;
            *second = 0;
            *mask = d.buttonMask;
            return S_OK;
        });
    }
};

class KeyTable : public RecordTable<IVtAssignmentTable> {
public:
    KeyTable(EnginePtr e, uint32_t pid, GUID id) : RecordTable(std::move(e), pid, id) {}
    HRESULT STDMETHODCALLTYPE GetTableInfo(ULONG* first, ULONG* count) override {
        ENTER("IVtAssignmentTable.GetTableInfo", L"");
        if (!first || !count) return E_POINTER;
        *first = *count = ULONG(KeyboardKeys().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAssignments(ULONG* count, VtActionRecord* records) override {
        ENTER("IVtAssignmentTable.GetAssignments", count ? U(*count) : L"");
        return Get(count, records);
    }
    HRESULT STDMETHODCALLTYPE SetAssignment(ULONG count, const VtActionRecord* records) override {
        ENTER("IVtAssignmentTable.SetAssignment", records && count ? Hex(records[0].Index) : L"");
        return Set(count, records);
    }
};

}  // namespace

HRESULT CreateButtons(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv) {
    return Hand(new Buttons(e, pid, id), riid, ppv);
}

HRESULT CreateKeyTable(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv) {
    return Hand(new KeyTable(e, pid, id), riid, ppv);
}

}  // namespace vt::engine
