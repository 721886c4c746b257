#include "EventSource.h"

namespace vt::engine {
namespace {

class ConnectionPoint : public ComObject<IConnectionPoint> {
public:
    ConnectionPoint(EnginePtr e, SourceKey key, IID iid, IConnectionPointContainer* owner)
        : ComObject(std::move(e)), m_key(key), m_iid(iid), m_owner(owner) { m_owner->AddRef(); }
    ~ConnectionPoint() override { m_owner->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = m_iid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
        if (!c) return E_POINTER;
        *c = m_owner;
        m_owner->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        ENTER("IConnectionPoint.Advise", L"");
        return m_e->Advise(m_key, m_iid, sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        ENTER("IConnectionPoint.Unadvise", U(cookie));
        return m_e->Unadvise(m_key, cookie);
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** e) override {
        if (e) *e = nullptr;
        return E_NOTIMPL;
    }
private:
    SourceKey m_key;
    IID m_iid;
    IConnectionPointContainer* m_owner;
};

}  // namespace

IConnectionPoint* NewConnectionPoint(const EnginePtr& e, const SourceKey& key, REFIID iid,
                                     IConnectionPointContainer* owner) {
    return new ConnectionPoint(e, key, iid, owner);
}

}  // namespace vt::engine
