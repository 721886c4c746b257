#pragma once
// The headset's device object: reads the headset's profiles from the engine into the headset
// configuration and writes them back by setting groups, keeps the equaliser of the engine's active
// profile attached for live band edits, and keeps the headset's Windows levels and the
// configuration in step both ways through the Windows volume wrapper. Its jobs' engine side is in
// HeadsetTransfer.h; the do-nothing headset (NullDevices.h) stands in when no headset can be opened,
// and the factory (DeviceFactory.h) chooses between them.
//
// Threads. Everything runs on the thread that made the object (the user-interface thread), except
// the wrapper's change reports, which arrive on system audio threads. A report never touches the
// configuration there: it is kept under a lock and handed to the object's own message window, so
// the configuration is brought in line and the notice posted to the notification window on the
// user-interface thread.
#include "device/AudioDevice.h"
#include "device/DeviceDescription.h"
#include "device/EngineConnection.h"
#include "device/Equaliser.h"
#include "device/GroupSnapshot.h"
#include "device/WinVol.h"
#include <windows.h>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vt::device {

class CAudioDevice : public IAudioDevice, public CAudioVolChangeListener {
public:
    CAudioDevice(const DeviceDescription* description, IAudioConfig* config);
    ~CAudioDevice() override;

    bool Open() override;
    void Close() override;
    bool Apply(int32_t mode, uint32_t mask) override;
    bool ReadEqualizer(IAudioConfig* config) override;
    bool WriteEqualizer(IAudioConfig* config, IAudioProfile* profile) override;
    bool WriteEqualizerBand(IAudioConfig* config, int32_t band) override;
    bool MirrorMasterVolume(IAudioConfig* config) override;
    bool MirrorLeftVolume(IAudioConfig* config) override;
    bool MirrorRightVolume(IAudioConfig* config) override;
    bool MirrorMicVolume(IAudioConfig* config) override;
    bool SetEqualizerEnabled(IAudioConfig* config) override;
    bool MirrorMute(IAudioConfig* config) override;
    bool MirrorMicMute(IAudioConfig* config) override;
    bool MirrorMicAutoGain(IAudioConfig* config) override;
    bool MirrorMicNoiseReduction(IAudioConfig* config) override;
    bool IsConnected() override { return m_connected; }
    bool GetFirmwareVersion(std::wstring& text) override { text = m_firmware; return true; }
    bool GetDriverVersion(std::wstring& text) override { text = m_driver; return true; }
    void SetNotifyWindow(HWND window) override { m_notify = window; }
    HWND GetNotifyWindow() override { return m_notify; }
    bool WinVolPassthrough(HMIXER mixer, DWORD controlId) override;

    // The model's levels become the last known Windows states.
    void ReadListenerValues();

    // Listener (CAudioVolChangeListener).
    void OnEndpointVolumeChanged(const VolumeState& state, bool capture) override;
    void OnAgcChanged(uint8_t enabled) override;
    void OnMuteChanged(uint8_t muted, bool capture) override;
    bool OnMixerChange(HMIXER mixer, DWORD controlId) override { return WinVolPassthrough(mixer, controlId); }

    // The configuration's key entries, read from the engine when first needed; from then on every
    // read reads them and every write writes them (only those read). Each key stands alone: the
    // keys read are kept even when another failed (the answer is then false).
    bool ReadKeyEntries();

    bool IsEqualizerAttached() const { return m_link.attached; }
    // How far the last connection got (see DeviceCore::LastReach).
    EngineReach LastReach() const { return m_reach; }
    CWinVol* WinVol() const { return m_winvol.get(); }
    const DeviceDescription* Description() const { return m_description; }
    // Where Open takes its wrapper implementation from (tests); empty: CreateWinVol.
    using WinVolMaker = std::function<std::unique_ptr<IWinVol>()>;
    static void SetWinVolMaker(WinVolMaker maker);
    // Runs the reports that came in from other threads (the message window does it on its own).
    void DeliverPendingReports();

    // A volume level 0..1 as a whole percentage, halves up.
    static int32_t Percent(float level);

private:
    struct Link {
        bool attached = false;
        vt::win::ComPtr<IVtProfile> profile;
        vt::win::ComPtr<IVtEqualizer> equalizer;
    };
    struct CaptureState {
        float volume = 0, ch0 = 0, ch1 = 0;
        uint8_t mute = 0, agc = 0, noiseReduction = 0;
    };
    // A report from the wrapper, kept until the object's own thread runs it.
    struct Report {
        int kind = 0;  // 0 volume, 1 automatic gain, 2 mute
        VolumeState state;
        bool capture = false;
        uint8_t value = 0;
    };

    bool Connect();
    void Disconnect();
    bool Attach();
    void Detach();
    // Runs a live edit on the attached equaliser, re-attaching once when it fails.
    bool OnAttached(const std::function<bool()>& edit);
    bool WriteJob(IAudioConfig* config, uint32_t mask);
    bool ReadJob(IAudioConfig* config, uint32_t mask);
    bool CanMirror() const;
    void Post(UINT message, LPARAM bits);
    bool OnOwnThread() const { return GetCurrentThreadId() == m_thread; }
    void Queue(const Report& report);
    void Run(const Report& report);
    void ApplyVolume(const VolumeState& state, bool capture);
    void ApplyAgc(uint8_t enabled);
    void ApplyMute(uint8_t muted, bool capture);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp);

    CaptureState m_capture;
    VolumeState m_render;
    HWND m_notify = nullptr;
    const DeviceDescription* m_description;
    bool m_connected = false;
    uint32_t m_keyEntries = 0;  // the key entries that hold what the engine holds (key bits)
    // What the engine holds of each group, as this object's jobs last wrote or read it.
    GroupSnapshot m_snapshot;
    EngineReach m_reach = EngineReach::EngineUnreachable;
    std::wstring m_firmware, m_driver;
    IAudioConfig* m_config;
    std::unique_ptr<CWinVol> m_winvol;
    EngineConnection m_connection;
    vt::win::ComPtr<IVtProfileManager> m_manager;
    Link m_link;

    DWORD m_thread;
    HWND m_window = nullptr;
    std::mutex m_pendingLock;
    std::vector<Report> m_pending;
    bool m_posted = false;
};

} // namespace vt::device
