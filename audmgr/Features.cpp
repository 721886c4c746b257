// Lighting, equaliser and beam-forming objects of a profile. The registry is the store; the headset
// mirrors it and is written only while the profile is the active one. A change is stored first; when
// the headset then does not take it, the call answers E_FAIL (the store keeps the change, and the
// next apply of the profile sends it again).
#include "audmgr/Objects.h"
#include "audmgr/Store.h"

#include <cstring>

namespace vt::aud {

std::unique_ptr<CHidTransport> OpenTransport(const std::wstring& devicePath) {
    auto t = std::make_unique<CHidTransport>();
    t->Open(devicePath);  // a failed open is kept: every later send fails without touching the device
    return t;
}

// ---- commit handshake ----

int CommitReady(CHidTransport& t) {
    uint8_t v = 0;
    if (t.ReadMemory(kAddrCommit, &v, 1)) return 2;
    return (v & 1) ? 0 : 1;
}

bool WaitCommitReady(CHidTransport& t) {
    const unsigned long start = t.NowMs();
    for (;;) {
        const int r = CommitReady(t);
        if (r == 1) return true;
        if (r == 2) return false;
        if (t.NowMs() - start >= CHidTransport::kReadyTimeoutMs) return false;
        t.Sleep(30);
    }
}

bool Commit(CHidTransport& t) {
    uint8_t v = 0;
    if (t.ReadMemory(kAddrCommit, &v, 1)) return false;
    v |= 1;
    return t.WriteMemory(kAddrCommit, &v, 1) == 0;
}

// ---- lighting ----

namespace {
constexpr ULONG kZoneIds[3] = {11, 4, 10};
constexpr ULONG kZoneBuses[3] = {0x60, 0x61, 0x62};
constexpr uint8_t kDefaultLed = 0x81;
constexpr DWORD kDefaultColour = 0x00FF0000;

template <class T, class I>
HRESULT QueryNew(T* obj, HRESULT init, REFIID riid, void** ppv) {
    HRESULT hr = init;
    if (SUCCEEDED(hr)) hr = obj->QueryInterface(riid, ppv);
    obj->Release();
    return hr;
}
} // namespace

STDMETHODIMP CVtLighting::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtLighting) *ppv = static_cast<IVtLighting*>(this);
    else if (riid == IID_IVtPersistSettings) *ppv = static_cast<IVtPersistSettings*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtLighting::Init(const std::wstring& profileKeyPath, const std::wstring& devicePath) {
    m_keyPath = profileKeyPath;
    m_devicePath = devicePath;
    for (int i = 0; i < 3; ++i) { m_ids[i] = kZoneIds[i]; m_buses[i] = kZoneBuses[i]; }
    StoreKey key;
    if (key.Open(m_keyPath) == ERROR_SUCCESS) {
        if (!key.ReadBinary(L"LED", 3)) {
            const uint8_t led[3] = {kDefaultLed, kDefaultLed, kDefaultLed};
            key.WriteBinary(L"LED", led, 3);
        }
        if (!key.ReadBinary(L"LEDCOLOR", 12)) {
            const DWORD colours[3] = {kDefaultColour, kDefaultColour, kDefaultColour};
            key.WriteBinary(L"LEDCOLOR", colours, 12);
        }
    }
    return S_OK;
}

STDMETHODIMP CVtLighting::GetZone(ULONG index, IVtLightingZone** zone) {
    if (!zone) return E_POINTER;
    if (m_keyPath.empty()) return E_ABORT;
    if (index > 2) return E_FAIL;
    auto* z = new (std::nothrow) CVtLightingZone;
    if (!z) return E_OUTOFMEMORY;
    return QueryNew<CVtLightingZone, IVtLightingZone>(
        z, z->Init(index, m_ids[index], m_buses[index], m_keyPath, m_devicePath), IID_IVtLightingZone,
        reinterpret_cast<void**>(zone));
}

STDMETHODIMP CVtLighting::GetZoneById(ULONG id, IVtLightingZone** zone) {
    if (!zone) return E_POINTER;
    for (ULONG i = 0; i < 3; ++i)
        if (m_ids[i] == id) return GetZone(i, zone);
    return E_FAIL;
}

STDMETHODIMP CVtLighting::Save() {
    StoreKey key;
    if (key.Open(m_keyPath) != ERROR_SUCCESS) return E_FAIL;
    const uint8_t led[3] = {kDefaultLed, kDefaultLed, kDefaultLed};
    const DWORD colours[3] = {kDefaultColour, kDefaultColour, kDefaultColour};
    key.WriteBinary(L"LED", led, 3);
    key.WriteBinary(L"LEDCOLOR", colours, 12);
    return S_OK;
}

STDMETHODIMP CVtLightingZone::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtLightingZone) *ppv = static_cast<IVtLightingZone*>(this);
    else if (riid == IID_IVtLightingColor) *ppv = static_cast<IVtLightingColor*>(this);
    else if (riid == IID_IVtLightingEffect) *ppv = static_cast<IVtLightingEffect*>(this);
    else if (riid == IID_IVtLightingBrightness) *ppv = static_cast<IVtLightingBrightness*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtLightingZone::Init(ULONG index, ULONG id, ULONG busAddress, const std::wstring& profileKeyPath,
                              const std::wstring& devicePath) {
    if (index >= 3) return E_FAIL;
    m_index = index;
    m_id = id;
    m_bus = busAddress;
    m_keyPath = profileKeyPath;
    m_devicePath = devicePath;
    m_transport = OpenTransport(devicePath);
    m_state = 1;
    m_color = kDefaultColour;
    StoreKey key;
    if (key.Open(m_keyPath) == ERROR_SUCCESS) {
        if (auto led = key.ReadBinary(L"LED", 3)) m_state = (*led)[index];
        if (auto col = key.ReadBinary(L"LEDCOLOR", 12)) std::memcpy(&m_color, col->data() + 4 * index, 4);
    }
    m_scale = 0x00FFFFFF;
    return S_OK;
}

void CVtLightingZone::ScaledRgb(uint8_t rgb[3]) const {
    for (int i = 0; i < 3; ++i) {
        const unsigned c = (m_color >> (8 * i)) & 0xFF, s = (m_scale >> (8 * i)) & 0xFF;
        rgb[i] = static_cast<uint8_t>(c * s / 255);
    }
}

bool CVtLightingZone::ChangeLedByte(uint8_t setBits, uint8_t clearBits) {
    StoreKey key;
    if (key.Open(m_keyPath) != ERROR_SUCCESS) return false;
    auto led = key.ReadBinary(L"LED", 3);
    if (!led) return false;
    (*led)[m_index] = static_cast<uint8_t>(((*led)[m_index] & ~clearBits) | setBits);
    return key.WriteBinary(L"LED", led->data(), 3) == ERROR_SUCCESS;
}

STDMETHODIMP CVtLightingZone::TurnOn() {
    if (!m_transport) return E_FAIL;
    bool sent = true;
    if (IsProfileActive(m_keyPath)) {
        const uint8_t on = 0x3F;
        sent = m_transport->WriteBus(false, false, static_cast<uint8_t>(m_bus), 0, 8, &on, 1) == 0;
        if (sent) {
            uint8_t current[3] = {}, rgb[3];
            ScaledRgb(rgb);
            const uint16_t address = static_cast<uint16_t>(kAddrZoneColour + 3 * m_index);
            if (m_transport->ReadMemoryWhenReady(address, false, current, 3)) {
                sent = false;
            } else if (std::memcmp(current, rgb, 3) != 0) {
                const bool stored = m_transport->WriteMemoryWhenReady(address, false, rgb, 3) == 0;
                sent = m_transport->WriteBus(false, false, static_cast<uint8_t>(m_bus), 0, 2, rgb, 3) == 0 && stored;
            }
        }
    }
    if (!(m_state & 1)) {
        m_state |= 1;
        ChangeLedByte(1, 0);
    }
    return sent ? S_OK : E_FAIL;
}

STDMETHODIMP CVtLightingZone::TurnOff() {
    if (!m_transport) return E_FAIL;
    bool sent = true;
    if (IsProfileActive(m_keyPath)) {
        uint8_t current[3] = {};
        const uint16_t address = static_cast<uint16_t>(kAddrZoneColour + 3 * m_index);
        if (m_transport->ReadMemoryWhenReady(address, false, current, 3)) {
            sent = false;
        } else if (current[0] | current[1] | current[2]) {
            const uint8_t black[3] = {};
            const bool stored = m_transport->WriteMemoryWhenReady(address, false, black, 3) == 0;
            sent = m_transport->WriteBus(false, false, static_cast<uint8_t>(m_bus), 0, 2, black, 3) == 0 && stored;
        }
        const uint8_t off = 0;
        if (m_transport->WriteBus(false, false, static_cast<uint8_t>(m_bus), 0, 8, &off, 1)) sent = false;
    }
    if (m_state & 1) {
        m_state &= ~1;
        ChangeLedByte(0, 1);
    }
    return sent ? S_OK : E_FAIL;
}

STDMETHODIMP CVtLightingZone::IsOn(LONG* on) {
    if (!on) return E_POINTER;
    *on = m_state & 1;
    return S_OK;
}

STDMETHODIMP CVtLightingZone::GetZoneId(ULONG* id) {
    if (!id) return E_POINTER;
    *id = m_id;
    return S_OK;
}

STDMETHODIMP CVtLightingZone::SetColor(DWORD color) {
    if (!m_transport || m_index > 2) return E_FAIL;
    const DWORD old = m_color;
    m_color = color;
    bool sent = true;
    if (IsProfileActive(m_keyPath) && (m_state & 1)) {
        uint8_t rgb[3], current[3] = {};
        ScaledRgb(rgb);
        sent = m_transport->WriteBus(false, false, static_cast<uint8_t>(m_bus), 0, 2, rgb, 3) == 0;
        const uint16_t address = static_cast<uint16_t>(kAddrZoneColour + 3 * m_index);
        if (m_transport->ReadMemoryWhenReady(address, false, current, 3))
            sent = false;
        else if (std::memcmp(current, rgb, 3) != 0 && m_transport->WriteMemoryWhenReady(address, false, rgb, 3))
            sent = false;
    }
    if (color != old) {
        StoreKey key;
        if (key.Open(m_keyPath) == ERROR_SUCCESS) {
            if (auto col = key.ReadBinary(L"LEDCOLOR", 12)) {
                std::memcpy(col->data() + 4 * m_index, &color, 4);
                key.WriteBinary(L"LEDCOLOR", col->data(), 12);
            }
        }
    }
    return sent ? S_OK : E_FAIL;
}

STDMETHODIMP CVtLightingZone::GetColor(DWORD* color) {
    if (!color) return E_POINTER;
    *color = m_color;
    return S_OK;
}

STDMETHODIMP CVtLightingZone::SetEffect(LONG mode, LONG, LONG) {
    if (mode == 4) ChangeLedByte(0x80, 0);
    else if (mode == 0) ChangeLedByte(0, 0x80);
    else return E_NOTIMPL;
    return S_OK;
}

STDMETHODIMP CVtLightingZone::GetEffect(LONG* mode, LONG*, LONG*) {
    if (!mode) return E_POINTER;
    StoreKey key;
    if (key.Open(m_keyPath) == ERROR_SUCCESS)
        if (auto led = key.ReadBinary(L"LED", 3)) *mode = ((*led)[m_index] & 0x80) ? 4 : 0;
    return S_OK;
}

// ---- equaliser ----

void CVtEqualizer::DefaultBands(int row, EqBand bands[10]) {
    static const uint16_t freqs[10] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    if (row < 0 || row > 9) row = 0;
    for (int b = 0; b < 10; ++b) {
        bands[b].type = static_cast<uint16_t>(b == 0 ? 1 : b == 9 ? 2 : 0);
        bands[b].frequency = freqs[b];
        bands[b].q = 361;
        bands[b].gain = static_cast<int16_t>(kBuiltInProfiles[row].gains[b] * 256);
    }
}

STDMETHODIMP CVtEqualizer::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtEqualizer) *ppv = static_cast<IVtEqualizer*>(this);
    else if (riid == IID_IVtEQGain) *ppv = static_cast<IVtEQGain*>(this);
    else if (riid == IID_IVtPersistSettings) *ppv = static_cast<IVtPersistSettings*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtEqualizer::Init(const GUID& profileId, const std::wstring& profileKeyPath, const std::wstring& devicePath) {
    m_profileId = profileId;
    m_keyPath = profileKeyPath;
    m_devicePath = devicePath;
    m_transport = OpenTransport(devicePath);
    m_flags = 1;
    DefaultBands(BuiltInRow(profileId), m_bands);
    StoreKey key;
    if (key.Open(m_keyPath) == ERROR_SUCCESS) {
        if (auto eq = key.ReadBinary(L"EQ", sizeof m_bands)) std::memcpy(m_bands, eq->data(), sizeof m_bands);
        else key.WriteBinary(L"EQ", m_bands, sizeof m_bands);
    }
    return S_OK;
}

STDMETHODIMP CVtEqualizer::GetInfo(VtEqualizerInfo* info) {
    if (!info) return E_POINTER;
    info->TotalBand = 10;
    info->SupportFeature = 0;
    return S_OK;
}

STDMETHODIMP CVtEqualizer::IsEnable(LONG* on) {
    if (!m_transport || !on) return E_POINTER;
    uint8_t v = 0;
    if (m_transport->ReadMemory(kAddrEqControl, &v, 1) == 0) m_flags = (m_flags & ~1u) | (v & 1);
    *on = m_flags & 1;
    return S_OK;
}

STDMETHODIMP CVtEqualizer::Enable(LONG on) {
    if (!m_transport) return E_FAIL;
    const uint8_t bit = on ? 1 : 0;  // any non-zero value switches on, and only bit 0 is touched
    if (!IsProfileActive(m_keyPath)) return S_OK;
    if (!WaitCommitReady(*m_transport)) return E_FAIL;
    uint8_t v = 0;
    if (m_transport->ReadMemory(kAddrEqControl, &v, 1)) return E_FAIL;
    if ((v & 1) != bit) {
        v = static_cast<uint8_t>((v & ~1) | bit);
        // Answered once the headset has taken the change.
        if (m_transport->WriteMemory(kAddrEqControl, &v, 1) || !Commit(*m_transport) || !WaitCommitReady(*m_transport))
            return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP CVtEqualizer::QueryGainRange(ULONG band, SHORT* minGain, SHORT* maxGain) {
    if (band > 9 || !minGain || !maxGain) return E_POINTER;
    *minGain = -36;
    *maxGain = 15;
    return S_OK;
}

STDMETHODIMP CVtEqualizer::SetGain(ULONG band, SHORT gain) {
    if (!m_transport || band >= 10) return E_FAIL;
    // The band stores dB x 256 in 16 bits: a gain beyond that would wrap to another gain.
    if (gain < -128 || gain > 127) return E_INVALIDARG;
    const int16_t stored = static_cast<int16_t>(gain * 256);
    const bool changed = m_bands[band].gain != stored;
    m_bands[band].gain = stored;
    // The store is written first, so that a device that does not answer leaves registry and
    // object in agreement.
    if (changed) {
        StoreKey key;
        if (key.Open(m_keyPath) == ERROR_SUCCESS) key.WriteBinary(L"EQ", m_bands, sizeof m_bands);
    }
    if (IsProfileActive(m_keyPath)) {
        uint8_t block[kEqBlockSize] = {};
        // A band the design refuses (damaged type or frequency, unstable filter) is not written:
        // an all-zero block would silence the headset's whole output.
        if ((DesignBandFilter(kDefaultSampleRate, &m_bands[band], block) & kDesignBlockingCodes) == 0) {
            if (!WaitCommitReady(*m_transport)) return E_FAIL;
            // Answered once the headset has taken the band.
            if (m_transport->WriteMemory(static_cast<uint16_t>(kAddrEqBlocks + 11 * band), block, kEqBlockSize) ||
                !Commit(*m_transport) || !WaitCommitReady(*m_transport))
                return E_FAIL;
        }
    }
    return S_OK;
}

STDMETHODIMP CVtEqualizer::GetGain(ULONG band, SHORT* gain) {
    if (!m_transport || band > 9 || !gain) return E_FAIL;
    *gain = static_cast<SHORT>(m_bands[band].gain >> 8);
    return S_OK;
}

STDMETHODIMP CVtEqualizer::Save() {
    DefaultBands(BuiltInRow(m_profileId), m_bands);
    m_flags = 1;
    StoreKey key;
    if (key.Open(m_keyPath) != ERROR_SUCCESS) return E_FAIL;
    key.WriteBinary(L"EQ", m_bands, sizeof m_bands);
    return S_OK;
}

// ---- beam forming ----

STDMETHODIMP CVtBeamForm::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IVtBeamForm) *ppv = static_cast<IVtBeamForm*>(this);
    else if (riid == IID_IVtPersistSettings) *ppv = static_cast<IVtPersistSettings*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT CVtBeamForm::Init(const std::wstring& profileKeyPath, const std::wstring& devicePath) {
    m_keyPath = profileKeyPath;
    m_devicePath = devicePath;
    m_transport = OpenTransport(devicePath);
    m_mode = 0;
    StoreKey key;
    if (key.Open(m_keyPath) == ERROR_SUCCESS) {
        if (auto v = key.ReadDword(L"BFMode")) m_mode = *v;
        else key.WriteDword(L"BFMode", 0);
    }
    return S_OK;
}

STDMETHODIMP CVtBeamForm::GetInfo(_vtbeamforminfo_* info) {
    if (!info) return E_POINTER;
    info->SupportFeature = 0;
    return S_OK;
}

STDMETHODIMP CVtBeamForm::IsEnable(long* on) {
    if (!m_transport || !on) return E_POINTER;
    *on = m_mode & 1;
    return S_OK;
}

STDMETHODIMP CVtBeamForm::Enable(long on) {
    if (!m_transport) return E_FAIL;
    const uint32_t bit = on ? 1 : 0;  // any non-zero value switches on
    if ((m_mode & 1) != bit) {
        m_mode = (m_mode & ~1u) | bit;
        StoreKey key;
        if (key.Open(m_keyPath) == ERROR_SUCCESS) key.WriteDword(L"BFMode", m_mode);
    }
    if (!IsProfileActive(m_keyPath)) return S_OK;
    if (!WaitCommitReady(*m_transport)) return E_FAIL;
    uint8_t v = 0;
    if (m_transport->ReadMemory(kAddrBeamForm, &v, 1)) return E_FAIL;
    v = static_cast<uint8_t>((v & ~0x08) | (bit << 3));
    if (m_transport->WriteMemory(kAddrBeamForm, &v, 1) || !Commit(*m_transport)) return E_FAIL;
    return WaitCommitReady(*m_transport) ? S_OK : E_FAIL;
}

STDMETHODIMP CVtBeamForm::Save() {
    m_mode = 0;
    StoreKey key;
    if (key.Open(m_keyPath) != ERROR_SUCCESS) return E_FAIL;
    key.WriteDword(L"BFMode", 0);
    return S_OK;
}

} // namespace vt::aud
