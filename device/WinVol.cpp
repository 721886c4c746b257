// The volume wrapper's choice of back-end and the owner's transfers between the headset
// configuration and Windows.
#include "device/WinVol.h"

#include <atomic>
#include <cmath>

namespace vt::device {

namespace {
std::atomic<WinVolSystem> g_system{WinVolSystem::ByVersion};
} // namespace

void SetWinVolSystem(WinVolSystem system) { g_system.store(system); }

bool IsCoreAudioSystem() {
    switch (g_system.load()) {
    case WinVolSystem::CoreAudio: return true;
    case WinVolSystem::Mixer: return false;
    default: break;
    }
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwMajorVersion = 6;
    v.dwMinorVersion = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&v, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}

IWinVol* CWinVol::Create() {
    m_vista.reset();
    m_xp.reset();
    m_other.reset();
    if (IsCoreAudioSystem()) {
        m_vista = std::make_unique<CWinVol_Vista>();
        m_impl = m_vista.get();
    } else {
        m_xp = std::make_unique<CWinVol_XP>();
        m_impl = m_xp.get();
    }
    return m_impl;
}

void CWinVol::Adopt(std::unique_ptr<IWinVol> impl) {
    m_vista.reset();
    m_xp.reset();
    m_other = std::move(impl);
    m_impl = m_other.get();
}

IWinVol* CreateWinVol(CWinVol& owner) { return owner.Create(); }

// ---- transfers ----

bool CWinVol::CanTransfer() const { return m_impl && m_owner && m_owner->IsConnected(); }

int32_t CWinVol::RoundHalfUp(double v) {
    if (!(v >= 1.0)) return v >= 0.5 ? 1 : 0;
    return int32_t(std::floor(v + 0.5));
}

bool CWinVol::ToLevel(IAudioConfig* config, int32_t value, float* level) {
    int32_t min = 0, max = 0, step = 0;
    config->GetVolumeRange(&min, &max, &step);
    if (max - min == 0) return false;
    *level = float(value) / float(max - min);
    return true;
}

int32_t CWinVol::ToValue(IAudioConfig* config, float level) {
    int32_t min = 0, max = 0, step = 0;
    config->GetVolumeRange(&min, &max, &step);
    // Windows levels are floats; the product is taken as a float too (0.005 of 100 is a half).
    return RoundHalfUp(double(level * float(max - min)));
}

bool CWinVol::PushVolume(IAudioConfig* config) {
    float level = 0;
    if (!config || !CanTransfer() || !ToLevel(config, config->GetMasterVolume(), &level)) return false;
    return m_impl->SetVolume(level);
}

// A Windows read that fails leaves the model's value as it is.
bool CWinVol::PullVolume(IAudioConfig* config) {
    if (!config || !CanTransfer()) return false;
    float level = 0;
    if (!m_impl->GetVolume(&level)) return false;
    config->SetMasterVolume(ToValue(config, level));
    return true;
}

// One side of the balance: the left or the right level between the model and Windows.
bool CWinVol::PushChannel(IAudioConfig* config, bool right) {
    if (!config || !CanTransfer()) return false;
    int32_t left = 0, rightValue = 0;
    config->GetBalance(&left, &rightValue);
    float level = 0;
    if (!ToLevel(config, right ? rightValue : left, &level)) return false;
    return right ? m_impl->SetRightVolume(level) : m_impl->SetLeftVolume(level);
}

bool CWinVol::PullChannel(IAudioConfig* config, bool right) {
    if (!config || !CanTransfer()) return false;
    int32_t left = 0, rightValue = 0;
    config->GetBalance(&left, &rightValue);
    float level = 0;
    if (!(right ? m_impl->GetRightVolume(&level) : m_impl->GetLeftVolume(&level))) return false;
    if (right) config->SetBalance(left, ToValue(config, level));
    else config->SetBalance(ToValue(config, level), rightValue);
    return true;
}

bool CWinVol::PushLeftVolume(IAudioConfig* config) { return PushChannel(config, false); }
bool CWinVol::PullLeftVolume(IAudioConfig* config) { return PullChannel(config, false); }
bool CWinVol::PushRightVolume(IAudioConfig* config) { return PushChannel(config, true); }
bool CWinVol::PullRightVolume(IAudioConfig* config) { return PullChannel(config, true); }

bool CWinVol::PullMute(IAudioConfig* config) {
    if (!config || !CanTransfer()) return false;
    bool v = config->GetMute() != 0;
    const bool ok = m_impl->GetMute(&v);
    config->SetMute(v ? 1 : 0);
    return ok;
}

bool CWinVol::PushMicVolume(IAudioConfig* config) {
    float level = 0;
    if (!config || !CanTransfer() || !ToLevel(config, config->GetMicVolume(), &level)) return false;
    return m_impl->SetMicVolume(level);
}

bool CWinVol::PullMicVolume(IAudioConfig* config) {
    if (!config || !CanTransfer()) return false;
    float level = 0;
    if (!m_impl->GetMicVolume(&level)) return false;
    config->SetMicVolume(ToValue(config, level));
    return true;
}

bool CWinVol::PullMicMute(IAudioConfig* config) {
    if (!config || !CanTransfer()) return false;
    bool v = config->GetMicMute() != 0;
    const bool ok = m_impl->GetMicMute(&v);
    config->SetMicMute(v ? 1 : 0);
    return ok;
}

bool CWinVol::PullAgc(IAudioConfig* config) {
    if (!config || !CanTransfer()) return false;
    bool v = config->GetMicAutoGain() != 0;
    const bool ok = m_impl->GetAgc(&v);
    config->SetMicAutoGain(v ? 1 : 0);
    return ok;
}

bool CWinVol::PullNoiseReduction(IAudioConfig* config) {
    if (!config || !CanTransfer()) return false;
    bool v = config->GetMicNoiseReduction() != 0;
    const bool ok = m_impl->GetNoiseReduction(&v);
    config->SetMicNoiseReduction(v ? 1 : 0);
    return ok;
}

} // namespace vt::device
