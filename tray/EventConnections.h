#pragma once
// The tray's subscriptions to the device engine's events. A connection advises its own sink on one
// engine object's connection point for as long as it lives; the sink forwards each event, with the
// device's product id, to the tray's handler. The audio-sync connection subscribes to nothing and
// keeps the engine's volume synchronisation on while it lives.
#include <windows.h>
#include <ocidl.h>
#include <cstdint>
#include "VtEngine.h"
#include "tray/EventHandlers.h"

namespace vt::tray {

// Base of every connection.
class IDeviceCallback {
public:
    virtual ~IDeviceCallback() = default;
    virtual void Connect() = 0;
    virtual void Disconnect() = 0;
    // False when the engine object behind the connection no longer answers (its process ended):
    // what was subscribed there is gone and must be made again on a fresh engine. A connection that
    // never took hold has nothing to lose and answers true. One call to the engine.
    virtual bool Answers() = 0;
};

// A minimal COM sink: IUnknown and one event interface, starting with one reference (the
// connection's). Events to a sink without a handler are dropped and still answer S_OK.
template <class EventInterface, class Handler>
class CEventSink : public EventInterface {
public:
    using Interface = EventInterface;
    CEventSink(int32_t pid, Handler* handler) : m_pid(pid), m_handler(handler) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(EventInterface)) {
            *out = static_cast<EventInterface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0) delete this;
        return ULONG(left);
    }
protected:
    virtual ~CEventSink() = default;
    LONG m_refs = 1;
    int32_t m_pid;
    Handler* m_handler;
};

class CDpiEventSink : public CEventSink<_IDPIEvents, IDeviceCallbacksHandler> {
public:
    using CEventSink::CEventSink;
    HRESULT STDMETHODCALLTYPE OnDpiChanged(ULONG x, ULONG y) override;
};

class CProfileEventSink : public CEventSink<_IProfileManagerEvents, IProfileEventHandler> {
public:
    using CEventSink::CEventSink;
    HRESULT STDMETHODCALLTYPE OnProfileChanged(ULONG value) override;
};

class CLaunchAppEventSink : public CEventSink<_IApplicationEvent, ILaunchAppEventHandler> {
public:
    using CEventSink::CEventSink;
    HRESULT STDMETHODCALLTYPE OnLaunchApp(LONG kind, BSTR path) override;
};

class CMacroEventSink : public CEventSink<_IOTFMacroRecordingEvents, IMacroEventHandler> {
public:
    using CEventSink::CEventSink;
    HRESULT STDMETHODCALLTYPE OnRecordStart() override;
    HRESULT STDMETHODCALLTYPE OnRecordStop() override;
    HRESULT STDMETHODCALLTYPE OnRecordAssign(ULONG a, ULONG b) override;
    HRESULT STDMETHODCALLTYPE OnRecordCancel() override;
};

// A sink advised on the connection point of one event interface of a source object. Made
// connected; a step that fails leaves it silent. On destruction it unadvises and gives up its
// reference to the sink (the engine may still hold one of its own until it lets go).
template <class Sink, class Handler>
class CEventConnection : public IDeviceCallback {
public:
    CEventConnection(int32_t pid, IUnknown* source, Handler* handler, REFIID eventIid)
        : m_pid(pid), m_handler(handler), m_source(source), m_eventIid(eventIid) {
        if (m_source) m_source->AddRef();
        m_sink = new Sink(pid, handler);
        Connect();
    }
    ~CEventConnection() override {
        Disconnect();
        m_sink->Release();
        if (m_source) m_source->Release();
    }
    CEventConnection(const CEventConnection&) = delete;
    CEventConnection& operator=(const CEventConnection&) = delete;

    void Connect() override;
    void Disconnect() override;
    bool Answers() override;
    bool Advised() const { return m_cookie != 0; }

private:
    IConnectionPoint* FindPoint() const;
    int32_t m_pid;
    Handler* m_handler;
    IUnknown* m_source;
    Sink* m_sink = nullptr;
    IID m_eventIid;
    DWORD m_cookie = 0;
};

using CDpiEventConnection = CEventConnection<CDpiEventSink, IDeviceCallbacksHandler>;
using CProfileEventConnection = CEventConnection<CProfileEventSink, IProfileEventHandler>;
using CLaunchAppEventConnection = CEventConnection<CLaunchAppEventSink, ILaunchAppEventHandler>;
using CMacroEventConnection = CEventConnection<CMacroEventSink, IMacroEventHandler>;

// Switches the engine's volume synchronisation on when made (and on Connect), off on Disconnect
// and when destroyed.
class CAudioSyncEventConnection : public IDeviceCallback {
public:
    CAudioSyncEventConnection(int32_t pid, IVtDevice* device, IVtSync* sync);
    ~CAudioSyncEventConnection() override;
    CAudioSyncEventConnection(const CAudioSyncEventConnection&) = delete;
    CAudioSyncEventConnection& operator=(const CAudioSyncEventConnection&) = delete;
    void Connect() override;
    void Disconnect() override;
    bool Answers() override;

private:
    void Enable(LONG on);
    int32_t m_pid;
    IVtDevice* m_device;
    IVtSync* m_sync;
};

} // namespace vt::tray
