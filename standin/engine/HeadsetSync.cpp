#include "HeadsetSync.h"

namespace vt::engine {
namespace {

class Sync : public ComObject<IVtSync> {
public:
    Sync(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE IsSyncEnable(LONG* on) override {
        ENTER("IVtSync.IsSyncEnable", L"");
        if (!on) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *on = d.sync ? 1 : 0; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SyncEnable(LONG on) override {
        ENTER("IVtSync.SyncEnable", std::to_wstring(on));
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.sync = on != 0; return S_OK; });
    }
private:
    uint32_t m_pid;
};

}  // namespace

HRESULT CreateHeadsetSync(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new Sync(e, pid), riid, ppv);
}

}  // namespace vt::engine
