// Device manager (enumeration of the headset's HID interfaces) and device object (information,
// firmware cache, profile manager, volume sync).
#include "audmgr/Objects.h"
#include "audmgr/Store.h"
#include "win/AudioEndpoints.h"

#include <objbase.h>
#include <mmsystem.h>

#include <cstring>
#include <algorithm>
#include <cwchar>

namespace vt::aud {

std::atomic<long> g_moduleLocks{0};

namespace {
// Time of the last volume step, shared by every device object of the process.
std::atomic<DWORD> g_lastStep{0};

bool IsVistaOrLater() {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwMajorVersion = 6;
    v.dwMinorVersion = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&v, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}

// Reads the hexadecimal number after a "vid_"/"pid_" tag of a lower-case path; 0 when absent.
unsigned long HexAfter(const std::wstring& lower, const wchar_t* tag) {
    const size_t at = lower.find(tag);
    if (at == std::wstring::npos || at + 4 >= lower.size()) return 0;
    return std::wcstoul(lower.c_str() + at + 4, nullptr, 16) & 0xFFFF;
}
// Before Windows 6: the waveform mixer named "Velto Corvel", its wave-in and microphone lines.
void MixerStep(uint32_t flags, bool muteChanged, DWORD elapsed) {
    const UINT count = mixerGetNumDevs();
    for (UINT d = 0; d < count; ++d) {
        HMIXER mixer = nullptr;
        if (mixerOpen(&mixer, d, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) continue;
        MIXERCAPSW caps{};
        if (mixerGetDevCapsW(d, &caps, sizeof caps) == MMSYSERR_NOERROR && wcscmp(caps.szPname, L"Velto Corvel") == 0) {
            for (DWORD dest = 0; dest < caps.cDestinations; ++dest) {
                MIXERLINEW line{};
                line.cbStruct = sizeof line;
                line.dwDestination = dest;
                line.dwSource = 0;
                if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR)
                    continue;
                if (line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_WAVEIN &&
                    line.dwComponentType != MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE)
                    continue;
                MIXERCONTROLW controls[32] = {};
                MIXERLINECONTROLSW lc{};
                lc.cbStruct = sizeof lc;
                lc.dwLineID = line.dwLineID;
                lc.cControls = std::min<DWORD>(line.cControls, 32);
                lc.cbmxctrl = sizeof(MIXERCONTROLW);
                lc.pamxctrl = controls;
                if (lc.cControls == 0 ||
                    mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &lc, MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR)
                    continue;
                for (DWORD c = 0; c < lc.cControls; ++c) {
                    const MIXERCONTROLW& ctl = controls[c];
                    DWORD channels = (ctl.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.cChannels;
                    channels = std::clamp<DWORD>(channels, 1, 8);
                    MIXERCONTROLDETAILS_UNSIGNED values[8] = {};
                    MIXERCONTROLDETAILS details{};
                    details.cbStruct = sizeof details;
                    details.dwControlID = ctl.dwControlID;
                    details.cChannels = channels;
                    details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
                    details.paDetails = values;
                    if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer), &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
                        continue;
                    const bool isMute = wcscmp(ctl.szShortName, L"Mute") == 0 || wcscmp(ctl.szName, L"Mute") == 0;
                    const bool isVolume = wcscmp(ctl.szShortName, L"Volume") == 0 || wcscmp(ctl.szName, L"Volume") == 0;
                    if (isMute && muteChanged) {
                        for (DWORD i = 0; i < channels; ++i) values[i].dwValue = (flags & CVtAudDevice::kMuted) ? 1 : 0;
                        mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &details, MIXER_SETCONTROLDETAILSF_VALUE);
                        break;
                    }
                    if (isVolume && elapsed >= 100) {
                        DWORD v = values[0].dwValue;
                        const DWORD lo = ctl.Bounds.dwMinimum, hi = ctl.Bounds.dwMaximum;
                        if ((flags & CVtAudDevice::kVolUp) && v < hi) v = (hi - v > 2621) ? v + 2621 : hi;
                        else if ((flags & CVtAudDevice::kVolDown) && v > lo) v = (v - lo > 2621) ? v - 2621 : lo;
                        for (DWORD i = 0; i < channels; ++i) values[i].dwValue = v;
                        mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &details, MIXER_SETCONTROLDETAILSF_VALUE);
                        g_lastStep = GetTickCount();
                        break;
                    }
                }
            }
        }
        mixerClose(mixer);
    }
}

} // namespace

// ---- device manager ----

STDMETHODIMP CVtAudDeviceMgr::InnerUnknown::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown) {
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    if (riid == IID_IVtAudDeviceMgr) {
        *ppv = static_cast<IVtAudDeviceMgr*>(owner);
        owner->AddRef();  // counted on the controlling unknown
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CVtAudDeviceMgr::ParseVidPid(const wchar_t* path, USHORT* vendorId, USHORT* productId) {
    if (!path || !vendorId || !productId) return E_POINTER;
    std::wstring lower(path);
    for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
    const unsigned long vid = HexAfter(lower, L"vid_");
    const unsigned long pid = HexAfter(lower, L"pid_");
    if (!vid || !pid) return E_FAIL;
    *vendorId = static_cast<USHORT>(vid);
    *productId = static_cast<USHORT>(pid);
    return S_OK;
}

STDMETHODIMP CVtAudDeviceMgr::EnumDevices(ULONG dwIndex, IVtAudDevice** ppIAudDevice) {
    if (!ppIAudDevice) return E_POINTER;
    ULONG match = 0;
    for (const auto& path : CurrentHidBackend()->EnumerateInterfaces()) {
        USHORT vid = 0, pid = 0;
        if (FAILED(ParseVidPid(path.c_str(), &vid, &pid))) continue;
        if (vid != kVeltoVendorId || pid != kHeadsetProductId) continue;
        if (match++ != dwIndex) continue;
        auto* device = new (std::nothrow) CVtAudDevice;
        if (!device) return E_OUTOFMEMORY;
        HRESULT hr = device->InitDevice(this, path);
        if (SUCCEEDED(hr)) {
            IVtAudDevice* out = nullptr;
            hr = device->QueryInterface(IID_IVtAudDevice, reinterpret_cast<void**>(&out));
            if (SUCCEEDED(hr)) *ppIAudDevice = out;
        }
        device->Release();
        return hr;
    }
    ClearFirmwareCache();
    return E_FAIL;
}

// ---- device ----

CVtAudDevice::~CVtAudDevice() { StopSync(); }

STDMETHODIMP CVtAudDevice::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtAudDevice) *ppv = static_cast<IVtAudDevice*>(this);
    else if (riid == IID_IVtSync) *ppv = static_cast<IVtSync*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtAudDevice::InitDevice(IVtAudDeviceMgr* manager, const std::wstring& devicePath) {
    m_manager = manager;
    m_devicePath = devicePath;
    m_transport = std::make_unique<CHidTransport>();
    if (!m_transport->Open(devicePath)) return E_FAIL;
    m_deviceKeyPath = Store().deviceKey;
    {
        StoreKey key;
        if (key.Open(m_deviceKeyPath) != ERROR_SUCCESS) {
            const HRESULT hr = CreateDefaultProfiles(m_deviceKeyPath);
            if (FAILED(hr)) return hr;
        }
    }
    m_flags = 0;
    StoreKey key;
    key.Open(m_deviceKeyPath);
    uint8_t fw[4] = {};
    if (auto v = key.ReadBinary(L"FW", 4)) std::memcpy(fw, v->data(), 4);
    if (!(fw[0] | fw[1] | fw[2] | fw[3])) {
        m_transport->ReadMemory(0x1001, &fw[2], 1);
        m_transport->ReadMemory(0x1002, &fw[3], 1);
        m_transport->ReadMemory(0x1003, &fw[0], 1);
        m_transport->ReadMemory(0x1004, &fw[1], 1);
        m_transport->ReadMemory(kAddrFeature, &m_feature, 1);
        key.WriteBinary(L"FW", fw, 4);
    }
    m_firmware = static_cast<ULONG>(fw[3]) << 16 | fw[2];
    m_firmwareInternal = static_cast<ULONG>(fw[1]) << 16 | fw[0];
    if (IsVistaOrLater()) m_flags |= kVista;
    return S_OK;
}

STDMETHODIMP CVtAudDevice::GetDeviceInfo(_AUDDEVICEINFOTYPE* info) {
    if (!info) return E_POINTER;
    info->dwVendorId = kVeltoVendorId;
    info->dwProductId = kHeadsetProductId;
    info->DriverVersion.Version = 0x10000;
    info->DriverVersion.InternalVersion = 0;
    info->FirmwareVersion.Version = m_firmware;
    info->FirmwareVersion.InternalVersion = m_firmwareInternal;
    const size_t bytes = (m_devicePath.size() + 1) * sizeof(wchar_t);
    info->pwszDevicePath = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (info->pwszDevicePath) std::memcpy(info->pwszDevicePath, m_devicePath.c_str(), bytes);
    return S_OK;
}

STDMETHODIMP CVtAudDevice::CreateInterfaceInstance(GUID* riid, void** ppv) {
    if (!riid || !ppv) return E_POINTER;
    *ppv = nullptr;
    if (*riid == IID_IVtProfileManager) {
        auto* pm = new (std::nothrow) CVtProfileManager;
        if (!pm) return E_OUTOFMEMORY;
        HRESULT hr = pm->Init(kProfileLimit, m_deviceKeyPath, m_devicePath);
        if (SUCCEEDED(hr)) hr = pm->QueryInterface(*riid, ppv);
        pm->Release();
        return hr;
    }
    if (*riid == IID_IVtSync) {
        *ppv = static_cast<IVtSync*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

// ---- volume sync ----

STDMETHODIMP CVtAudDevice::IsSyncEnable(LONG* on) {
    if (!on) return E_POINTER;
    *on = (m_flags.load() & kSyncOn) ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CVtAudDevice::SyncEnable(LONG on) {
    if (!m_transport) return E_FAIL;
    if (on) {  // any non-zero value switches on, as for the other switches of the server
        if (m_syncThread) return S_OK;
        m_transport = std::make_unique<CHidTransport>();
        m_transport->Open(m_devicePath);
        m_flags.fetch_or(kSyncOn);
        // The thread holds no reference on the device: the device's last Release stops and joins
        // it, so no thread outlives the object (or the module) it runs in.
        m_syncThread = CreateThread(nullptr, 0x8000, SyncThreadProc, this, CREATE_SUSPENDED, &m_syncThreadId);
        if (m_syncThread) ResumeThread(m_syncThread);
        else m_flags.fetch_and(~uint32_t(kSyncOn));
        return S_OK;
    }
    StopSync();
    return S_OK;
}

void CVtAudDevice::StopSync() {
    m_flags.fetch_and(~uint32_t(kSyncOn));
    if (!m_syncThread) return;
    // One round of the thread is at most one 100 ms read plus one endpoint update.
    if (WaitForSingleObject(m_syncThread, 10000) != WAIT_OBJECT_0) {
        // Never expected; the thread stops at its next round check, and we must not free what it uses.
        OutputDebugStringW(L"---  CVtAudDevice::StopSync: sync thread did not stop in time ---\n");
        WaitForSingleObject(m_syncThread, 30000);
    }
    CloseHandle(m_syncThread);
    m_syncThread = nullptr;
    m_syncThreadId = 0;
}

DWORD WINAPI CVtAudDevice::SyncThreadProc(void* param) {
    if (param) static_cast<CVtAudDevice*>(param)->RunVolumeSync();
    return 0;
}

void CVtAudDevice::RunVolumeSync() {
    while (m_transport && (m_flags.load() & kSyncOn)) {
        bool changed = false;
        bool wasMuteReport = false;
        DWORD elapsed = 0;
        uint8_t e[2] = {};
        const DWORD readStart = GetTickCount();
        if (m_transport->ReadEvent(e, 2)) {
            // A read that fails at once (no device, device gone) still keeps the 100 ms pace.
            const DWORD spent = GetTickCount() - readStart;
            if (spent < 100) Sleep(100 - spent);
            elapsed = GetTickCount() - g_lastStep.load();
        } else if (e[0] == 2) {
            wasMuteReport = true;
            const bool muted = (e[1] & 0x08) != 0;
            const uint32_t before = muted ? m_flags.fetch_or(kMuted) : m_flags.fetch_and(~uint32_t(kMuted));
            changed = ((before & kMuted) != 0) != muted;
        } else if (e[0] == 1) {
            // Every key report tells the state of both keys.
            if (e[1] & 0x20) {
                m_flags.fetch_and(~uint32_t(kVolDown));
                m_flags.fetch_or(kVolUp);
                g_lastStep = GetTickCount();
                elapsed = 100;
            } else if (e[1] & 0x40) {
                m_flags.fetch_and(~uint32_t(kVolUp));
                m_flags.fetch_or(kVolDown);
                g_lastStep = GetTickCount();
                elapsed = 100;
            } else {
                m_flags.fetch_and(~uint32_t(kVolUp | kVolDown));
            }
        }
        const uint32_t flags = m_flags.load();
        if (!changed && !(flags & (kVolUp | kVolDown))) continue;
        if (!(flags & kVista)) {
            MixerStep(flags, wasMuteReport && changed, elapsed);
            continue;
        }

        const HRESULT co = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (auto endpoint = vt::win::CurrentAudioEndpoints()->Find(vt::win::AudioFlow::Capture,
                                                                  vt::win::kHeadsetEndpointName)) {
            if (wasMuteReport && changed) {
                endpoint->SetMute((flags & kMuted) != 0);
            } else if (elapsed >= 100 && (flags & (kVolUp | kVolDown))) {
                float level = 0;
                if (endpoint->GetVolume(&level)) {
                    if ((flags & kVolUp) && level < 1.0f) level = std::min(1.0f, level + 0.04f);
                    else if ((flags & kVolDown) && level > 0.0f) level = std::max(0.0f, level - 0.04f);
                    endpoint->SetVolume(level);
                }
                g_lastStep = GetTickCount();
            }
        }
        if (SUCCEEDED(co)) CoUninitialize();
    }
}

} // namespace vt::aud
