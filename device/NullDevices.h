#pragma once
// Do-nothing devices: they stand in for an absent mouse, keyboard or headset behind the same
// interface, fill the configuration with built-in defaults on Open and refuse every transfer.
#include "device/AudioDevice.h"
#include "device/DeviceDescription.h"
#include "device/GenDevice.h"
#include "profile/Records.h"
#include <map>
#include <string>
#include <vector>

namespace vt::device {

class CNullMouse : public IMouseDevice {
public:
    // Replaces the configuration's profiles by one built-in profile with the mouse defaults.
    bool Open(IMouseConfig* config) override;
    void Close() override {}
    bool IsBusy() override { return false; }
    bool ImportMacro(const wchar_t*, IMouseConfig*) override { return true; }
    bool ExportMacro(const wchar_t*, CMacro*) override { return true; }
    bool HasEngineMacro(CMacro*) override { return true; }
    bool ImportProfile(const wchar_t*, IMouseConfig*) override { return true; }
    bool ExportProfile(const wchar_t*, IMouseProfile*) override { return true; }
    bool HasEngineProfile(IMouseProfile*) override { return true; }
    bool SelectMode2() override { return false; }
    bool SelectMode1() override { return false; }
    bool QueryKeyboardValue(ULONG*) override { return false; }
    bool TransferProfiles(IMouseConfig*, int32_t, uint32_t) override { return false; }
    bool IsConnected() override { return true; }
    bool GetFirmwareVersion(std::wstring& text) override;
    bool GetDriverVersion(std::wstring& text) override;
    int32_t GetProductId() override { return 0; }
    int32_t GetProfileCount() override { return 20; }
    int32_t GetLastWriteResult() override { return -1; }

    const std::map<int32_t, AssignmentRecord>& KeyMap() const { return m_keys; }
    const std::map<int32_t, AssignmentRecord>& ButtonMap() const { return m_buttons; }

private:
    std::map<int32_t, AssignmentRecord> m_keys;
    std::map<int32_t, AssignmentRecord> m_buttons;
};

class CNullKeyboard : public IKeyboardDevice {
public:
    ~CNullKeyboard() override { Close(); }
    // Builds the key-id table, replaces the configuration's profiles by the seven built-in ones
    // and makes the first current.
    bool Open(IKeyboardConfig* config) override;
    void Close() override { m_keyIds.clear(); m_keyIds.shrink_to_fit(); }
    bool IsBusy() override { return false; }
    bool ImportMacro(const wchar_t*, IKeyboardConfig*) override { return true; }
    bool ExportMacro(const wchar_t*, CMacro*) override { return true; }
    bool HasEngineMacro(CMacro*) override { return true; }
    bool ImportProfile(const wchar_t*, IKeyboardConfig*) override { return true; }
    bool ExportProfile(const wchar_t*, IKeyboardProfile*) override { return true; }
    bool HasEngineProfile(IKeyboardProfile*) override { return true; }
    bool SelectMode2() override { return false; }
    bool SelectMode1() override { return false; }
    bool QueryKeyboardValue(ULONG*) override { return false; }
    bool TransferProfiles(IKeyboardConfig*, int32_t, uint32_t) override { return false; }
    bool IsConnected() override { return true; }
    bool GetFirmwareVersion(std::wstring& text) override;
    bool GetDriverVersion(std::wstring& text) override;
    int32_t GetProductId() override { return 0; }
    int32_t GetProfileCount() override { return 7; }
    int32_t GetLastWriteResult() override { return -1; }

    const std::vector<int32_t>& KeyIds() const { return m_keyIds; }

private:
    std::vector<int32_t> m_keyIds;
};

// The do-nothing headset.
class CNullAudio : public IAudioDevice {
public:
    CNullAudio(const DeviceDescription* description, IAudioConfig* config) : m_description(description), m_config(config) {}
    // Fills the configuration with the headset defaults and six equaliser presets.
    bool Open() override;
    void Close() override {}
    bool Apply(int32_t mode, uint32_t) override { return mode == 0; }
    bool ReadEqualizer(IAudioConfig*) override { return false; }
    bool WriteEqualizer(IAudioConfig*, IAudioProfile*) override { return false; }
    bool WriteEqualizerBand(IAudioConfig*, int32_t) override { return false; }
    bool MirrorMasterVolume(IAudioConfig*) override { return false; }
    bool MirrorLeftVolume(IAudioConfig*) override { return false; }
    bool MirrorRightVolume(IAudioConfig*) override { return false; }
    bool MirrorMicVolume(IAudioConfig*) override { return false; }
    bool SetEqualizerEnabled(IAudioConfig*) override { return false; }
    bool MirrorMute(IAudioConfig*) override { return false; }
    bool MirrorMicMute(IAudioConfig*) override { return false; }
    bool MirrorMicAutoGain(IAudioConfig*) override { return false; }
    bool MirrorMicNoiseReduction(IAudioConfig*) override { return false; }
    bool IsConnected() override { return true; }
    bool GetFirmwareVersion(std::wstring& text) override { text = L"1.00"; return true; }
    bool GetDriverVersion(std::wstring& text) override { text = L"1.00"; return true; }
    void SetNotifyWindow(HWND) override {}
    HWND GetNotifyWindow() override { return nullptr; }
    bool WinVolPassthrough(HMIXER, DWORD) override { return false; }

    // Names and ids of the six presets the do-nothing headset offers.
    static const wchar_t* const kPresetNames[6];
    static const GUID kPresetIds[6];

private:
    const DeviceDescription* m_description;
    IAudioConfig* m_config;
};

// The keyboard-page key names the null keyboard hashes (106 names).
const std::vector<std::wstring>& HidKeyboardUsageNames();

} // namespace vt::device
