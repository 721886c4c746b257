#pragma once
// The Windows volume wrapper of the headset: the choice of back-end (core audio on Windows 6 and
// later, `CWinVol_Vista`; the waveform mixer before, `CWinVol_XP`) and `CWinVol`, which owns the
// chosen one and copies single values between the headset configuration and Windows.
#include "device/AudioDevice.h"
#include "device/WinVolBackend.h"
#include "device/WinVolCoreAudio.h"
#include "device/WinVolMixer.h"
#include <memory>

namespace vt::device {

// Which implementation CreateWinVol makes: the system's version decides unless a test says.
enum class WinVolSystem { ByVersion, CoreAudio, Mixer };
void SetWinVolSystem(WinVolSystem system);
bool IsCoreAudioSystem();

// The headset's owner of the wrapper, with the transfers between its configuration and Windows.
// Every transfer needs an implementation and a connected owner, else it answers false and changes
// nothing.
class CWinVol {
public:
    explicit CWinVol(IAudioDevice* owner) : m_owner(owner) {}
    virtual ~CWinVol() = default;
    IWinVol* Impl() const { return m_impl; }
    IAudioDevice* Owner() const { return m_owner; }
    CWinVol_Vista* Vista() const { return m_vista.get(); }
    CWinVol_XP* Xp() const { return m_xp.get(); }
    // Makes the implementation the system calls for and keeps it.
    IWinVol* Create();
    // An implementation made elsewhere (tests); owned from now on.
    void Adopt(std::unique_ptr<IWinVol> impl);

    // Whether the transfers may talk to Windows.
    bool CanTransfer() const;

    bool PushVolume(IAudioConfig* config);
    bool PullVolume(IAudioConfig* config);
    bool PushLeftVolume(IAudioConfig* config);
    bool PullLeftVolume(IAudioConfig* config);
    bool PushRightVolume(IAudioConfig* config);
    bool PullRightVolume(IAudioConfig* config);
    bool PullMute(IAudioConfig* config);
    bool PushMicVolume(IAudioConfig* config);
    bool PullMicVolume(IAudioConfig* config);
    bool PullMicMute(IAudioConfig* config);
    bool PullAgc(IAudioConfig* config);
    bool PullNoiseReduction(IAudioConfig* config);

    // Model value to Windows level: value / (maximum - minimum) of the volume range.
    static bool ToLevel(IAudioConfig* config, int32_t value, float* level);
    // Windows level to model value: level x range width, to the nearest whole number, halves up.
    static int32_t ToValue(IAudioConfig* config, float level);
    static int32_t RoundHalfUp(double value);

private:
    bool PushChannel(IAudioConfig* config, bool right);
    bool PullChannel(IAudioConfig* config, bool right);
    IAudioDevice* m_owner;
    IWinVol* m_impl = nullptr;
    std::unique_ptr<CWinVol_Vista> m_vista;
    std::unique_ptr<CWinVol_XP> m_xp;
    std::unique_ptr<IWinVol> m_other;
};

// Chooses the implementation for `owner`, stores it there and answers it.
IWinVol* CreateWinVol(CWinVol& owner);

} // namespace vt::device
