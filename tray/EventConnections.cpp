#include "tray/EventConnections.h"
#include "win/Handles.h"

namespace vt::tray {

HRESULT CDpiEventSink::OnDpiChanged(ULONG x, ULONG y) {
    if (m_handler) m_handler->OnDpiChanged(m_pid, x, y);
    return S_OK;
}

HRESULT CProfileEventSink::OnProfileChanged(ULONG value) {
    if (m_handler) m_handler->OnProfileChanged(m_pid, value);
    return S_OK;
}

HRESULT CLaunchAppEventSink::OnLaunchApp(LONG kind, BSTR path) {
    if (m_handler) m_handler->OnLaunchApp(m_pid, kind, path ? path : L"");
    return S_OK;
}

HRESULT CMacroEventSink::OnRecordStart() {
    if (m_handler) m_handler->OnMacroRecordStart(m_pid);
    return S_OK;
}

HRESULT CMacroEventSink::OnRecordStop() {
    if (m_handler) m_handler->OnMacroRecordStop(m_pid);
    return S_OK;
}

HRESULT CMacroEventSink::OnRecordAssign(ULONG a, ULONG b) {
    if (m_handler) m_handler->OnMacroRecordAssign(m_pid, a, b);
    return S_OK;
}

HRESULT CMacroEventSink::OnRecordCancel() {
    if (m_handler) m_handler->OnMacroRecordCancel(m_pid);
    return S_OK;
}

template <class Sink, class Handler>
IConnectionPoint* CEventConnection<Sink, Handler>::FindPoint() const {
    if (!m_source) return nullptr;
    vt::win::ComPtr<IConnectionPointContainer> container;
    if (FAILED(m_source->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) || !container)
        return nullptr;
    IConnectionPoint* point = nullptr;
    if (FAILED(container->FindConnectionPoint(m_eventIid, &point))) return nullptr;
    return point;
}

template <class Sink, class Handler>
void CEventConnection<Sink, Handler>::Connect() {
    if (!m_sink || !m_source || m_cookie) return;
    vt::win::ComPtr<IConnectionPoint> point;
    point.Attach(FindPoint());
    if (!point) return;
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(static_cast<IUnknown*>(static_cast<typename Sink::Interface*>(m_sink)), &cookie)))
        m_cookie = cookie;
}

template <class Sink, class Handler>
void CEventConnection<Sink, Handler>::Disconnect() {
    if (!m_cookie) return;
    vt::win::ComPtr<IConnectionPoint> point;
    point.Attach(FindPoint());
    if (point) point->Unadvise(m_cookie);
    m_cookie = 0;
}

template <class Sink, class Handler>
bool CEventConnection<Sink, Handler>::Answers() {
    if (!m_cookie) return true;
    vt::win::ComPtr<IConnectionPoint> point;
    point.Attach(FindPoint());
    return bool(point);
}

template class CEventConnection<CDpiEventSink, IDeviceCallbacksHandler>;
template class CEventConnection<CProfileEventSink, IProfileEventHandler>;
template class CEventConnection<CLaunchAppEventSink, ILaunchAppEventHandler>;
template class CEventConnection<CMacroEventSink, IMacroEventHandler>;

CAudioSyncEventConnection::CAudioSyncEventConnection(int32_t pid, IVtDevice* device, IVtSync* sync)
    : m_pid(pid), m_device(device), m_sync(sync) {
    if (m_device) m_device->AddRef();
    if (m_sync) m_sync->AddRef();
    Connect();
}

CAudioSyncEventConnection::~CAudioSyncEventConnection() {
    Enable(0);
    if (m_sync) m_sync->Release();
    if (m_device) m_device->Release();
}

void CAudioSyncEventConnection::Connect() { Enable(1); }
void CAudioSyncEventConnection::Disconnect() { Enable(0); }

bool CAudioSyncEventConnection::Answers() {
    LONG on = 0;
    return !m_sync || SUCCEEDED(m_sync->IsSyncEnable(&on));
}

void CAudioSyncEventConnection::Enable(LONG on) {
    if (m_sync) m_sync->SyncEnable(on);
}

} // namespace vt::tray
