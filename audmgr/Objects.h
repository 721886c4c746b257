#pragma once
// The audio manager's COM objects: device manager, device (with volume sync), profile manager,
// profile, lighting and zones, equaliser, beam forming. Apartment-threaded; every object holds one
// lock on the module while it lives.
#include "VtAudMgr.h"
#include "audmgr/FilterDesign.h"
#include "audmgr/HidTransport.h"

#include <atomic>
#include <memory>
#include <string>

namespace vt::aud {

extern std::atomic<long> g_moduleLocks;

// Reference count and module lock shared by every object.
class ObjectBase {
public:
    ObjectBase() { ++g_moduleLocks; }
    virtual ~ObjectBase() { --g_moduleLocks; }
protected:
    ULONG DoAddRef() { return ++m_refs; }
    ULONG DoRelease() {
        const ULONG r = --m_refs;
        if (r == 0) delete this;
        return r;
    }
    std::atomic<ULONG> m_refs{1};
};

#define VT_AUD_IUNKNOWN                                                               \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;                    \
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }                     \
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }

// Tells whether a transport opens a usable device; a transport that does not open is kept, and
// every send on it fails without touching the device.
std::unique_ptr<CHidTransport> OpenTransport(const std::wstring& devicePath);

// The one creatable class. It can be aggregated: its IUnknown methods go to the controlling
// unknown (the outer object, or its own inner unknown when it stands alone).
class CVtAudDeviceMgr : public IVtAudDeviceMgr, public ObjectBase {
public:
    explicit CVtAudDeviceMgr(IUnknown* outer = nullptr) : m_inner(this), m_outer(outer ? outer : &m_inner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return m_outer->QueryInterface(riid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }
    STDMETHODIMP EnumDevices(ULONG dwIndex, IVtAudDevice** ppIAudDevice) override;
    static HRESULT ParseVidPid(const wchar_t* path, USHORT* vendorId, USHORT* productId);
    // The non-delegating unknown handed to an aggregating outer object.
    IUnknown* Inner() { return &m_inner; }

private:
    struct InnerUnknown : IUnknown {
        explicit InnerUnknown(CVtAudDeviceMgr* o) : owner(o) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return owner->DoAddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner->DoRelease(); }
        CVtAudDeviceMgr* owner;
    };
    InnerUnknown m_inner;
    IUnknown* m_outer;
};

class CVtAudDevice : public IVtAudDevice, public IVtSync, public ObjectBase {
public:
    ~CVtAudDevice() override;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
    STDMETHODIMP GetDeviceInfo(_AUDDEVICEINFOTYPE* pDeviceInfo) override;
    STDMETHODIMP CreateInterfaceInstance(GUID* riid, void** ppv) override;
    STDMETHODIMP IsSyncEnable(LONG* on) override;
    STDMETHODIMP SyncEnable(LONG on) override;
    HRESULT InitDevice(IVtAudDeviceMgr* manager, const std::wstring& devicePath);

    // Flags: bit 0 Windows 6 or later, bit 2 sync running, bit 3 muted, bit 4 volume-up held,
    // bit 5 volume-down held. Shared with the sync thread, so changed atomically.
    enum : uint32_t { kVista = 1, kSyncOn = 4, kMuted = 8, kVolUp = 16, kVolDown = 32 };
    uint32_t Flags() const { return m_flags.load(); }

private:
    static DWORD WINAPI SyncThreadProc(void* param);
    void RunVolumeSync();
    void StopSync();

    IVtAudDeviceMgr* m_manager = nullptr;  // not counted
    std::unique_ptr<CHidTransport> m_transport;
    std::wstring m_devicePath;
    std::wstring m_deviceKeyPath;
    ULONG m_firmware = 0, m_firmwareInternal = 0;
    uint8_t m_feature = 0;
    std::atomic<uint32_t> m_flags{0};
    HANDLE m_syncThread = nullptr;
    DWORD m_syncThreadId = 0;
};

class CVtProfileManager : public IVtProfileManager, public ObjectBase {
public:
    VT_AUD_IUNKNOWN
    STDMETHODIMP GetProfileByIndex(ULONG index, IVtProfile** profile) override;
    STDMETHODIMP GetProfileById(GUID id, IVtProfile** profile) override;
    STDMETHODIMP SetActiveProfile(IVtProfile* profile) override;
    STDMETHODIMP GetActiveProfile(IVtProfile** profile) override;
    STDMETHODIMP CreateProfile(IVtProfile** profile) override;
    STDMETHODIMP DeleteProfile(IVtProfile* profile) override;
    STDMETHODIMP Reserved9() override { return E_NOTIMPL; }
    STDMETHODIMP ImportProfile(LPCWSTR path, IVtProfile** profile) override { return E_NOTIMPL; }
    HRESULT Init(ULONG limit, const std::wstring& deviceKeyPath, const std::wstring& devicePath);

private:
    HRESULT NewProfile(const GUID& id, IVtProfile** profile);
    std::wstring m_profilesKey;
    std::wstring m_devicePath;
    ULONG m_limit = 0;
};

class CVtProfile : public IVtProfile, public IVtPersistSettings, public ObjectBase {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
    STDMETHODIMP CreateInterfaceInstance(REFIID riid, void** ppv) override;
    STDMETHODIMP GetId(GUID* id) override;
    STDMETHODIMP GetName(ULONG* cch, WCHAR** name) override;
    STDMETHODIMP SetName(LPCWSTR name) override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Export(LPCWSTR path) override;
    STDMETHODIMP Save() override;
    HRESULT Init(const GUID& id, const std::wstring& profilesKeyPath, const std::wstring& devicePath);

    // How long Export waits for the registry export tool.
    static constexpr DWORD kExportTimeoutMs = 15000;

private:
    bool Initialised() const;
    GUID m_id{};
    std::wstring m_keyPath;
    std::wstring m_devicePath;
    std::unique_ptr<CHidTransport> m_transport;
};

class CVtLighting : public IVtLighting, public IVtPersistSettings, public ObjectBase {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
    STDMETHODIMP GetZone(ULONG index, IVtLightingZone** zone) override;
    STDMETHODIMP GetZoneById(ULONG id, IVtLightingZone** zone) override;
    STDMETHODIMP Save() override;
    HRESULT Init(const std::wstring& profileKeyPath, const std::wstring& devicePath);

private:
    std::wstring m_keyPath, m_devicePath;
    ULONG m_ids[3] = {}, m_buses[3] = {};
};

class CVtLightingZone : public IVtLightingZone, public IVtLightingColor, public IVtLightingEffect,
                        public IVtLightingBrightness, public ObjectBase {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
    STDMETHODIMP TurnOn() override;
    STDMETHODIMP TurnOff() override;
    STDMETHODIMP IsOn(LONG* on) override;
    STDMETHODIMP GetZoneId(ULONG* id) override;
    STDMETHODIMP SetColor(DWORD color) override;
    STDMETHODIMP GetColor(DWORD* color) override;
    STDMETHODIMP SetEffect(LONG mode, LONG p1, LONG p2) override;
    STDMETHODIMP GetEffect(LONG* mode, LONG* p1, LONG* p2) override;
    STDMETHODIMP SetBrightness(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetBrightness(LONG*) override { return E_NOTIMPL; }
    HRESULT Init(ULONG index, ULONG id, ULONG busAddress, const std::wstring& profileKeyPath,
                 const std::wstring& devicePath);

private:
    void ScaledRgb(uint8_t rgb[3]) const;
    bool ChangeLedByte(uint8_t setBits, uint8_t clearBits);
    std::unique_ptr<CHidTransport> m_transport;
    ULONG m_id = 0, m_bus = 0, m_index = 0;
    std::wstring m_keyPath, m_devicePath;
    uint8_t m_state = 1;
    DWORD m_color = 0x00FF0000;
    DWORD m_scale = 0x00FFFFFF;
};

class CVtEqualizer : public IVtEqualizer, public IVtEQGain, public IVtPersistSettings, public ObjectBase {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
    STDMETHODIMP GetInfo(VtEqualizerInfo* info) override;
    STDMETHODIMP IsEnable(LONG* on) override;
    STDMETHODIMP Enable(LONG on) override;
    STDMETHODIMP QueryGainRange(ULONG band, SHORT* minGain, SHORT* maxGain) override;
    STDMETHODIMP SetGain(ULONG band, SHORT gain) override;
    STDMETHODIMP GetGain(ULONG band, SHORT* gain) override;
    STDMETHODIMP Save() override;
    HRESULT Init(const GUID& profileId, const std::wstring& profileKeyPath, const std::wstring& devicePath);

    static void DefaultBands(int row, EqBand bands[10]);

private:
    std::unique_ptr<CHidTransport> m_transport;
    GUID m_profileId{};
    std::wstring m_keyPath, m_devicePath;
    uint32_t m_flags = 1;
    EqBand m_bands[10] = {};
};

class CVtBeamForm : public IVtBeamForm, public IVtPersistSettings, public ObjectBase {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return DoAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DoRelease(); }
    STDMETHODIMP GetInfo(_vtbeamforminfo_* info) override;
    STDMETHODIMP IsEnable(long* on) override;
    STDMETHODIMP Enable(long on) override;
    STDMETHODIMP Save() override;
    HRESULT Init(const std::wstring& profileKeyPath, const std::wstring& devicePath);

private:
    std::unique_ptr<CHidTransport> m_transport;
    std::wstring m_keyPath, m_devicePath;
    uint32_t m_mode = 0;
};

// Commit handshake of the headset's signal processor (register 0x1138).
int CommitReady(CHidTransport& t);             // 1 ready, 0 busy, 2 error
bool WaitCommitReady(CHidTransport& t);        // bounded; false on error or time-out
bool Commit(CHidTransport& t);

} // namespace vt::aud
