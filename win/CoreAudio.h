#pragma once
// Core-audio interop shared by the endpoint seams: the automatic gain control interface, counted
// change receivers that hand each notice on untouched, and the lookup and activation of an active
// endpoint, its volume and its topology. Every helper that hands out an interface pointer hands out
// a reference of its own (release it); a failure answers null. The calling thread must have
// initialised COM.
#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <devicetopology.h>

#include <functional>
#include <string>

namespace vt::win::coreaudio {

// The automatic gain control as the platform declares it (the cross headers name its two methods
// differently): slot 3 GetEnabled(BOOL*), slot 4 SetEnabled(BOOL, LPCGUID).
struct DECLSPEC_UUID("85401fd4-6de4-4b9d-9869-2d6753a82f3c") AutoGainControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) = 0;
};
inline const IID kIidAutoGainControl = {0x85401fd4, 0x6de4, 0x4b9d, {0x98, 0x69, 0x2d, 0x67, 0x53, 0xa8, 0x2f, 0x3c}};
inline const IID kIidControlChangeNotify = {0xa09513ed, 0xc709, 0x4d21, {0xbd, 0x7b, 0x5f, 0x34, 0xc4, 0x7f, 0x39, 0x47}};

template <class T>
void SafeRelease(T*& p) {
    if (p) { p->Release(); p = nullptr; }
}

// A volume change receiver with a count of 1: each notice (null included) goes to `handler`, on the
// endpoint's thread, and the handler's answer is the receiver's.
using VolumeNotifyHandler = std::function<HRESULT(PAUDIO_VOLUME_NOTIFICATION_DATA)>;
IAudioEndpointVolumeCallback* MakeVolumeNotifyCallback(VolumeNotifyHandler handler);

// A control change receiver with a count of 1: each notice goes to `handler`, on the endpoint's
// thread, and the receiver answers S_OK. It keeps a reference on `control` (the control whose
// changes it receives, may be null) for as long as it lives, so the handler may use it.
using ControlChangeHandler = std::function<void(DWORD processId, LPCGUID context)>;
IControlChangeNotify* MakeControlChangeCallback(IUnknown* control, ControlChangeHandler handler);

// Visits the active endpoints of a flow, in the system's order, with their friendly names; those
// whose name cannot be read are skipped. The visit answers true to stop.
using EndpointVisit = std::function<bool(IMMDevice* device, const std::wstring& name)>;
void ForEachActiveEndpoint(EDataFlow flow, const EndpointVisit& visit);

// The first active endpoint of the flow whose friendly name contains `part` (case-sensitive), with
// its name in `name` when asked; null when none.
IMMDevice* FindActiveEndpoint(EDataFlow flow, const std::wstring& part, std::wstring* name = nullptr);

// The endpoint's volume interface (in-process).
IAudioEndpointVolume* ActivateEndpointVolume(IMMDevice* device);

// The part the endpoint's first connector leads to, through the endpoint's device topology
// activated with `context`.
IPart* ConnectedPart(IMMDevice* device, DWORD context);

// The automatic gain control of a part, activated with `context`.
AutoGainControl* ActivateAutoGain(IPart* part, DWORD context);

} // namespace vt::win::coreaudio
