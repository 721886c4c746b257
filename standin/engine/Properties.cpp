#include "Properties.h"
#include <cstring>

namespace vt::engine {
namespace {

class Properties : public ComObject<IVtProfileProperties>, ProfileItem {
public:
    Properties(EnginePtr e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetProperty(ULONG id, ULONG, BYTE* buffer, ULONG, ULONG* size) override {
        ENTER("IVtProfileProperties.GetProperty", Hex(id));
        if (!buffer || !size) return E_POINTER;
        return ReadProfile(*m_e, [&](const Profile& p) -> HRESULT {
            if (id == VT_PROP_LINKED_PROGRAM) {
                if (p.program.empty()) { *size = 0; return S_OK; }
                if (*size < 256) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
                memcpy(buffer, p.program.data(), 256);
                *size = 256;
                return S_OK;
            }
            if (id == VT_PROP_LINK_FLAGS) {
                if (*size < 2) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
                memcpy(buffer, &p.flags, 2);
                *size = 2;
                return S_OK;
            }
            return E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE SetProperty(ULONG id, const BYTE* buffer, ULONG, ULONG size, ULONG) override {
        ENTER("IVtProfileProperties.SetProperty", Hex(id) + L" " + U(size));
        if (!buffer) return E_POINTER;
        return WriteProfile(*m_e, [&](Profile& p, Events&) -> HRESULT {
            if (id == VT_PROP_LINKED_PROGRAM) {
                if (size != 256) return E_INVALIDARG;
                p.program.assign(buffer, buffer + 256);
                return S_OK;
            }
            if (id == VT_PROP_LINK_FLAGS) {
                if (size != 4) return E_INVALIDARG;
                uint16_t mask, value;
                memcpy(&mask, buffer, 2);
                memcpy(&value, buffer + 2, 2);
                if ((mask != 1 && mask != 2 && mask != 4) || value > 1) return E_INVALIDARG;
                p.flags = value ? uint16_t(p.flags | mask) : uint16_t(p.flags & ~mask);
                return S_OK;
            }
            return E_INVALIDARG;
        });
    }
};

}  // namespace

HRESULT CreateProperties(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv) {
    return Hand(new Properties(e, pid, id), riid, ppv);
}

}  // namespace vt::engine
