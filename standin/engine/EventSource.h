#pragma once
// Event sources: an object that is a connection-point container for its one event interface,
// and the connection point that advises sinks on the engine (sinks belong to the item, not to
// the object, so every object of the same item reaches the same sinks).
#include <ocidl.h>
#include <olectl.h>
#include "ComObject.h"

namespace vt::engine {

// A connection point of the source key on the engine; holds a reference to its container.
IConnectionPoint* NewConnectionPoint(const EnginePtr& e, const SourceKey& key, REFIID iid,
                                     IConnectionPointContainer* owner);

// An event source: answers FindConnectionPoint for its one event interface.
template <class... I>
class EventSource : public ComObject<IConnectionPointContainer, I...> {
public:
    EventSource(EnginePtr e, SourceKey key, IID iid)
        : ComObject<IConnectionPointContainer, I...>(std::move(e)), m_key(key), m_iid(iid) {}
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** e) override {
        if (e) *e = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** cp) override {
        if (!cp) return E_POINTER;
        *cp = nullptr;
        if (riid != m_iid) return CONNECT_E_NOCONNECTION;
        *cp = NewConnectionPoint(this->m_e, m_key, m_iid, this);
        return S_OK;
    }
protected:
    SourceKey m_key;
    IID m_iid;
};

}  // namespace vt::engine
