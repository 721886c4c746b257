#include "device/HeadsetDevice.h"
#include "device/EngineBatch.h"
#include "device/HeadsetTransfer.h"

#include "device/CodeTables.h"
#include "device/ProfileSync.h"

#include <cmath>

namespace vt::device {

using vt::win::ComPtr;

namespace {

constexpr UINT kDeliverReports = WM_APP + 0x51;
const wchar_t kReportWindowClass[] = L"VtHeadsetReports";

std::mutex g_makerLock;
CAudioDevice::WinVolMaker g_maker;

bool HasBits(uint32_t mask, uint32_t bits) { return (mask & bits) != 0; }

GUID ProfileId(IAudioProfile* profile) {
    GUID id{};
    if (profile) profile->GetId(&id);
    return id;
}

} // namespace

void CAudioDevice::SetWinVolMaker(WinVolMaker maker) {
    std::lock_guard g(g_makerLock);
    g_maker = std::move(maker);
}

int32_t CAudioDevice::Percent(float level) { return CWinVol::RoundHalfUp(double(level * 100.0f)); }

CAudioDevice::CAudioDevice(const DeviceDescription* description, IAudioConfig* config)
    : m_description(description), m_config(config), m_thread(GetCurrentThreadId()) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &CAudioDevice::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kReportWindowClass;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    m_window = CreateWindowExW(0, kReportWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (m_window) SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CAudioDevice::~CAudioDevice() {
    Detach();
    // The wrapper goes first: once it is gone no report can arrive any more.
    m_winvol.reset();
    Disconnect();
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

LRESULT CALLBACK CAudioDevice::WindowProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    if (message == kDeliverReports) {
        if (auto* self = reinterpret_cast<CAudioDevice*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            self->DeliverPendingReports();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wp, lp);
}

// ---- engine connection and the attached equaliser ----

bool CAudioDevice::Connect() {
    if (!m_description || m_description->productId == 0) return false;
    if (!m_connection.Connect(m_description->productId)) {
        if (!m_connection.IsOpen()) {
            m_connected = false;
            m_reach = m_connection.Reach();
        }
        return false;
    }
    m_reach = EngineReach::Reached;
    m_connected = true;
    ReadVersionTexts(m_connection.Device(), m_firmware, m_driver);
    return true;
}

void CAudioDevice::Disconnect() {
    m_manager.Reset();
    m_connection.Disconnect();
}

void CAudioDevice::Detach() {
    m_link.attached = false;
    m_link.equalizer.Reset();
    m_link.profile.Reset();
    m_manager.Reset();
    Disconnect();
}

bool CAudioDevice::Attach() {
    Detach();
    if (!Connect()) return false;
    if (m_connection.ProfileManager(m_manager)) {
        const GUID active = GetActiveProfileId(m_manager.Get());
        if (FindEngineProfile(m_manager.Get(), active, m_link.profile))
            m_link.attached = ProfileFeature(m_link.profile.Get(), IID_IVtEqualizer, m_link.equalizer);
    }
    if (!m_link.attached) {
        Detach();
        return false;
    }
    // The link holds what it needs; the connection and its batch end with this operation.
    m_connection.Disconnect();
    return true;
}

// ---- open and close ----

bool CAudioDevice::Open() {
    IAudioConfig* config = m_config;
    if (!config) return false;
    BuildCodeTables();
    if (!Connect()) return false;
    // The model's profiles are made afresh: nothing is known of what the engine holds of them.
    m_snapshot.Clear();
    bool ok = true;
    if (IsIdInList(m_description, kCapProfiles)) {
        ComPtr<IVtProfileManager> manager;
        EngineProfileList list;
        ok = m_connection.ProfileManager(manager) &&
             ReplaceModelProfiles(manager.Get(), config, list, [&](const EngineProfileEntry& e, IAudioProfile* p) {
                 return !IsIdInList(m_description, kCapEqualizer) ||
                        ReadEqualizerRange(GetEqualizer(e.engine.Get()), config, p);
             });
    }
    // A headset whose Windows endpoints cannot be found is still configured through the engine:
    // the wrapper is then not ready and Windows is left alone.
    m_winvol = std::make_unique<CWinVol>(this);
    {
        std::lock_guard g(g_makerLock);
        if (g_maker) m_winvol->Adopt(g_maker());
    }
    if (!m_winvol->Impl()) CreateWinVol(*m_winvol);
    if (!m_winvol->Impl()) ok = false;
    else m_winvol->Impl()->Init(this);
    ok = config->SetVolumeRange(0, 100, 1) && ok;
    ok = config->SetMicRange(0, 100, 1) && ok;
    Disconnect();
    return ok;
}

void CAudioDevice::Close() {
    Detach();
    Disconnect();
    m_winvol.reset();
    m_connected = false;
}

// ---- apply ----

bool CAudioDevice::Apply(int32_t mode, uint32_t mask) {
    if (mode != 0 && mode != 1) return false;
    EngineBatch batch;  // the job and the equaliser's re-attachment share the engine's objects
    const bool wasAttached = m_link.attached;
    if (wasAttached) Detach();
    if (!Connect()) return false;
    const bool ok = mode == 0 ? WriteJob(m_config, mask) : ReadJob(m_config, mask);
    Disconnect();
    if (wasAttached) Attach();
    return ok;
}

bool CAudioDevice::WriteJob(IAudioConfig* config, uint32_t mask) {
    if (!config || !m_connection.IsOpen()) return false;
    HeadsetJobContext context;
    context.description = m_description;
    context.mask = mask;
    context.keyEntries = KeyEntryJob{m_keyEntries, nullptr};
    context.snapshot = &m_snapshot;
    bool ok = WriteHeadsetProfilesJob(m_connection, config, context);
    if (HasBits(mask, kHeadsetLevels)) {
        const int32_t master = config->GetMasterVolume();
        int32_t left = 0, right = 0;
        config->GetBalance(&left, &right);
        if (m_winvol) {
            m_winvol->PushLeftVolume(config);
            config->SetBalance(left, right);
            m_winvol->PushRightVolume(config);
            config->SetMasterVolume(master);
            m_winvol->PushVolume(config);
            if (m_winvol->CanTransfer()) m_winvol->Impl()->SetMute(config->GetMute() != 0);
        }
        Post(WM_HEADSET_LEVELS_CHANGED, 15);
    }
    if (HasBits(mask, kHeadsetMic)) {
        if (m_winvol) {
            m_winvol->PushMicVolume(config);
            if (m_winvol->CanTransfer()) {
                m_winvol->Impl()->SetMicMute(config->GetMicMute() != 0);
                m_winvol->Impl()->SetAgc(config->GetMicAutoGain() != 0);
            }
        }
        Post(WM_HEADSET_MIC_CHANGED, 0xF0);
    }
    return ok;
}

bool CAudioDevice::ReadJob(IAudioConfig* config, uint32_t mask) {
    if (!config || !m_connection.IsOpen()) return false;
    HeadsetJobContext context;
    context.description = m_description;
    context.mask = mask;
    uint32_t learnt = 0;
    context.keyEntries = KeyEntryJob{m_keyEntries, &learnt};
    context.snapshot = &m_snapshot;
    bool ok = ReadHeadsetProfilesJob(m_connection, config, context);
    m_keyEntries |= learnt;
    if (!m_winvol) {
        if (HasBits(mask, kHeadsetLevels | kHeadsetMic)) ok = false;
    } else {
        IWinVol* impl = m_winvol->Impl();
        if (!impl || !impl->IsReady()) {
            if (!impl) impl = CreateWinVol(*m_winvol);
            if (impl) impl->Init(this);
        }
        // A wrapper that found no headset endpoints leaves Windows alone.
        const bool ready = impl && impl->IsReady();
        if (ready && HasBits(mask, kHeadsetLevels)) {
            bool all = m_winvol->PullVolume(config);
            all = m_winvol->PullLeftVolume(config) && all;
            all = m_winvol->PullRightVolume(config) && all;
            all = m_winvol->PullMute(config) && all;
            ok = all && ok;
        }
        if (ready && HasBits(mask, kHeadsetMic)) {
            bool all = m_winvol->PullMicVolume(config);
            all = m_winvol->PullMicMute(config) && all;
            all = m_winvol->PullAgc(config) && all;
            all = m_winvol->PullNoiseReduction(config) && all;
            ok = all && ok;
        }
    }
    ReadListenerValues();
    return ok;
}

bool CAudioDevice::ReadKeyEntries() {
    IAudioConfig* config = m_config;
    if (!config) return false;
    if (!IsIdInList(m_description, kCapEntries)) return true;
    const uint32_t slots = KeyEntrySlots(config);
    if ((m_keyEntries & slots) == slots) return true;
    EngineBatch batch;
    const bool wasAttached = m_link.attached;
    if (wasAttached) Detach();
    bool ok = false;
    if (Connect()) {
        uint32_t read = 0;
        GroupSnapshot::Bytes held;
        ok = vt::device::ReadKeyEntries(m_connection.Device(), config, &read, &held);
        m_keyEntries |= read;
        NoteGroupRead(&m_snapshot, GUID{}, kGroupKeyEntries, read != 0, std::move(held));
        Disconnect();
    }
    if (wasAttached) Attach();
    return ok;
}

// ---- equaliser ----

bool CAudioDevice::ReadEqualizer(IAudioConfig* config) {
    if (!config) {
        if (!m_link.attached) return false;
        Detach();
        return true;
    }
    EngineBatch batch;
    if (!m_link.attached && !Attach()) return false;
    m_link.equalizer.Reset();
    m_link.profile.Reset();
    m_link.attached = false;
    IAudioProfile* current = config->GetCurrentProfile();
    const GUID wanted = ProfileId(current);
    const GUID active = GetActiveProfileId(m_manager.Get());
    if (IsNullGuid(active) || !GuidsEqual(active, wanted)) {
        if (!ActivateProfileById(m_manager.Get(), wanted)) {
            Detach();
            return false;
        }
    }
    if (FindEngineProfile(m_manager.Get(), wanted, m_link.profile))
        m_link.attached = ProfileFeature(m_link.profile.Get(), IID_IVtEqualizer, m_link.equalizer);
    if (!m_link.attached) Detach();
    return m_link.attached;
}

bool CAudioDevice::WriteEqualizer(IAudioConfig* config, IAudioProfile* profile) {
    if (!config || !profile || !IsIdInList(m_description, kCapEqualizer)) return false;
    EngineBatch batch;
    const bool wasAttached = m_link.attached;
    if (wasAttached) Detach();
    bool ok = false;
    if (Connect()) {
        ComPtr<IVtProfileManager> manager;
        ComPtr<IVtProfile> engine;
        if (m_connection.ProfileManager(manager) && FindEngineProfile(manager.Get(), ProfileId(profile), engine))
            ok = WriteBandGains(config, GetEqualizer(engine.Get()), profile);
        Disconnect();
    }
    if (wasAttached) return Attach() && ok;
    return ok;
}

bool CAudioDevice::OnAttached(const std::function<bool()>& edit) {
    if (!m_link.attached) return false;
    if (edit()) return true;
    // The engine may have been restarted since the equaliser was attached: attach afresh once
    // and try again.
    return Attach() && edit();
}

bool CAudioDevice::WriteEqualizerBand(IAudioConfig* config, int32_t band) {
    if (!config) return false;
    return OnAttached([&] {
        EqualizerRecord record;
        record.profile = m_link.profile;
        record.equalizer = m_link.equalizer;
        return WriteEqualizerBandGain(band, config, record, config->GetCurrentProfile());
    });
}

bool CAudioDevice::SetEqualizerEnabled(IAudioConfig* config) {
    if (!config) return false;
    return OnAttached([&] {
        const LONG on = config->GetEqualizerEnabled(config->GetCurrentProfile()) == 1 ? 1 : 0;
        return m_link.equalizer && SUCCEEDED(m_link.equalizer->Enable(on));
    });
}

// ---- Windows levels ----

bool CAudioDevice::CanMirror() const { return m_winvol && m_winvol->CanTransfer(); }

bool CAudioDevice::MirrorMasterVolume(IAudioConfig* config) { return CanMirror() && m_winvol->PushVolume(config); }
bool CAudioDevice::MirrorLeftVolume(IAudioConfig* config) { return CanMirror() && m_winvol->PushLeftVolume(config); }
bool CAudioDevice::MirrorRightVolume(IAudioConfig* config) { return CanMirror() && m_winvol->PushRightVolume(config); }
bool CAudioDevice::MirrorMicVolume(IAudioConfig* config) { return CanMirror() && m_winvol->PushMicVolume(config); }
// A switch written to Windows is the last known state from then on: a later change back from
// elsewhere is a change (endpoints need not report the program's own writes).
bool CAudioDevice::MirrorMute(IAudioConfig* config) {
    if (!config || !CanMirror() || !m_winvol->Impl()->SetMute(config->GetMute() != 0)) return false;
    m_render.muted = config->GetMute() ? 1 : 0;
    return true;
}
bool CAudioDevice::MirrorMicMute(IAudioConfig* config) {
    if (!config || !CanMirror() || !m_winvol->Impl()->SetMicMute(config->GetMicMute() != 0)) return false;
    m_capture.mute = config->GetMicMute() ? 1 : 0;
    return true;
}
bool CAudioDevice::MirrorMicAutoGain(IAudioConfig* config) {
    if (!config || !CanMirror() || !m_winvol->Impl()->SetAgc(config->GetMicAutoGain() != 0)) return false;
    m_capture.agc = config->GetMicAutoGain() ? 1 : 0;
    return true;
}
bool CAudioDevice::MirrorMicNoiseReduction(IAudioConfig* config) {
    return config && CanMirror() && m_winvol->Impl()->SetNoiseReduction(config->GetMicNoiseReduction() != 0);
}

bool CAudioDevice::WinVolPassthrough(HMIXER mixer, DWORD controlId) {
    if (!m_notify) return true;
    return m_winvol && m_winvol->Impl() && m_winvol->Impl()->OnMixerControlChange(mixer, controlId);
}

void CAudioDevice::ReadListenerValues() {
    IAudioConfig* c = m_config;
    if (!c) return;
    int32_t left = 0, right = 0;
    c->GetBalance(&left, &right);
    m_render.master = float(c->GetMasterVolume()) * 0.01f;
    m_render.left = float(left) * 0.01f;
    m_render.right = float(right) * 0.01f;
    m_render.muted = c->GetMute();
    m_capture.volume = float(c->GetMicVolume()) * 0.01f;
    m_capture.mute = c->GetMicMute();
    m_capture.agc = c->GetMicAutoGain();
    m_capture.noiseReduction = c->GetMicNoiseReduction();
}

void CAudioDevice::Post(UINT message, LPARAM bits) {
    if (m_notify) PostMessageW(m_notify, message, 0, bits);
}

// ---- reports from the wrapper ----

void CAudioDevice::OnEndpointVolumeChanged(const VolumeState& state, bool capture) {
    Report r;
    r.kind = 0;
    r.state = state;
    r.capture = capture;
    Queue(r);
}

void CAudioDevice::OnAgcChanged(uint8_t enabled) {
    Report r;
    r.kind = 1;
    r.value = enabled;
    Queue(r);
}

void CAudioDevice::OnMuteChanged(uint8_t muted, bool capture) {
    Report r;
    r.kind = 2;
    r.value = muted;
    r.capture = capture;
    Queue(r);
}

void CAudioDevice::Queue(const Report& report) {
    if (OnOwnThread()) {
        // The mixer's reports come through the window message on this thread already.
        DeliverPendingReports();
        Run(report);
        return;
    }
    bool post = false;
    {
        std::lock_guard g(m_pendingLock);
        m_pending.push_back(report);
        post = !m_posted;
        m_posted = true;
    }
    if (post && m_window) PostMessageW(m_window, kDeliverReports, 0, 0);
}

void CAudioDevice::DeliverPendingReports() {
    std::vector<Report> reports;
    {
        std::lock_guard g(m_pendingLock);
        reports.swap(m_pending);
        m_posted = false;
    }
    for (const Report& r : reports) Run(r);
}

void CAudioDevice::Run(const Report& r) {
    switch (r.kind) {
    case 0: ApplyVolume(r.state, r.capture); break;
    case 1: ApplyAgc(r.value); break;
    default: ApplyMute(r.value, r.capture); break;
    }
}

void CAudioDevice::ApplyVolume(const VolumeState& s, bool capture) {
    IAudioConfig* c = m_config;
    if (!c) return;
    LPARAM bits = 0;
    if (capture) {
        const int32_t p = Percent(s.master);
        if (p != c->GetMicVolume()) {
            c->SetMicVolume(p);
            bits |= 0x10;
        }
        if (s.muted != m_capture.mute) {
            c->SetMicMute(s.muted);
            bits |= 0x20;
        }
        Post(WM_HEADSET_MIC_CHANGED, bits);
        m_capture.volume = s.master;
        m_capture.ch0 = s.left;
        m_capture.ch1 = s.right;
        m_capture.mute = s.muted;
        return;
    }
    const int32_t master = Percent(s.master);
    if (master != c->GetMasterVolume()) {
        c->SetMasterVolume(master);
        bits |= 1;
    }
    int32_t left = 0, right = 0;
    c->GetBalance(&left, &right);
    // A channel the report does not carry leaves the model's value.
    if (s.channels >= 1) {
        const int32_t p = Percent(s.left);
        if (p != left) {
            c->SetBalance(p, right);
            bits |= 2;
        }
    }
    c->GetBalance(&left, &right);
    if (s.channels >= 2) {
        const int32_t p = Percent(s.right);
        if (p != right) {
            c->SetBalance(left, p);
            bits |= 4;
        }
    }
    if (s.muted != m_render.muted) {
        c->SetMute(s.muted);
        bits |= 8;
    }
    Post(WM_HEADSET_LEVELS_CHANGED, bits);
    m_render = s;
}

void CAudioDevice::ApplyAgc(uint8_t enabled) {
    if (m_config) m_config->SetMicAutoGain(enabled);
    Post(WM_HEADSET_MIC_CHANGED, 0x40);
    m_capture.agc = enabled;
}

void CAudioDevice::ApplyMute(uint8_t muted, bool capture) {
    IAudioConfig* c = m_config;
    LPARAM bits = 0;
    if (capture) {
        if (muted != m_capture.mute) {
            if (c) c->SetMicMute(muted);
            bits = 0x20;
        }
        Post(WM_HEADSET_MIC_CHANGED, bits);
        m_capture.mute = muted;
    } else {
        if (muted != m_render.muted) {
            if (c) c->SetMute(muted);
            bits = 8;
        }
        Post(WM_HEADSET_LEVELS_CHANGED, bits);
        m_render.muted = muted;
    }
}

} // namespace vt::device
