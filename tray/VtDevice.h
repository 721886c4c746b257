#pragma once
// A short-lived client of the engine's device with one USB product id: made for one action (a menu,
// a timer tick, an event) and given back at once. It holds the engine's device manager and, when
// the device is present, the device and its profile manager; every operation of an absent device
// fails without calling the engine. Profile names are compared exactly, except in
// AssignMacroToProfile. GUI thread only.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "VtEngine.h"
#include "tray/MacroRecords.h"
#include "win/Handles.h"

namespace vt::tray {

class IDeviceCallback;
class IDeviceCallbacksHandler;
class IProfileEventHandler;
class IMacroEventHandler;
class ILaunchAppEventHandler;

// One profile's switching settings as the engine holds them.
struct _Profile_Setting_ {
    std::wstring name;
    std::wstring program;     // linked program's file name; empty when none
    int32_t autoSwitch = 0;   // flag bit 0: may be activated when its program is in front
    int32_t showDpi = 0;      // bit 1: its DPI changes are shown on the display
    int32_t showProfile = 0;  // bit 2: its activation is shown on the display
};

class CVtDevice {
public:
    explicit CVtDevice(int32_t pid);
    ~CVtDevice();
    CVtDevice(const CVtDevice&) = delete;
    CVtDevice& operator=(const CVtDevice&) = delete;

    int32_t Pid() const { return m_pid; }

    // Every profile's settings, in the engine's order (a profile whose name or properties cannot be
    // read is left out); true when the list is not empty.
    bool GetProfileSettings(std::vector<_Profile_Setting_>& list);
    bool GetProfileNames(std::vector<std::wstring>& names);
    // True only when both property reads succeeded.
    bool GetProfileSetting(const std::wstring& name, _Profile_Setting_& record);
    bool GetActiveProfileName(std::wstring& name);
    bool ActivateProfile(const std::wstring& name);

    // "New Macro" and one more than the largest number of the engine's "New Macro" names.
    bool MakeMacroName(std::wstring& name);
    bool CreateMacro(const std::wstring& name, const std::vector<TrayMacroEvent>& events, GUID& id);
    bool AssignMacroToActiveProfile(const GUID& id, uint32_t a, uint32_t b);
    bool AssignMacroToProfile(const std::wstring& name, const GUID& id, uint32_t a, uint32_t b);

    bool BeginRecordingLights();
    bool PauseRecordingLights();
    bool CancelRecordingLights();
    // Back to normal mode, lights off, then the events stored as a new macro assigned to key b of
    // the active profile.
    bool FinishRecording(uint32_t a, uint32_t b, const std::vector<TrayMacroEvent>& events);
    bool LightsOff();

    bool GetDpiRange(uint32_t& minimum, uint32_t& maximum, uint32_t& step);

    // New connections (owned by the caller), or null when the source cannot be had.
    IDeviceCallback* ConnectDpiEvents(IDeviceCallbacksHandler* handler);
    IDeviceCallback* ConnectProfileEvents(IProfileEventHandler* handler);
    IDeviceCallback* ConnectMacroEvents(IMacroEventHandler* handler);
    IDeviceCallback* ConnectLaunchAppEvents(ILaunchAppEventHandler* handler);
    IDeviceCallback* ConnectAudioSync();

    bool SetProfileProgramPath(const std::wstring& name, const std::wstring& path);
    bool SetProfileAutoSwitch(const std::wstring& name, bool value);
    bool SetProfileFlags(const std::wstring& name, bool bit0, bool bit1, bool bit2);

    bool IsPresent() const { return bool(m_device); }
    bool ApplyLightStep(int step);
    bool ApplyLightStepToProfile(const std::wstring& name, int step);
    bool SetRecordMode() { return SetKeyboardMode(2); }
    bool SetNormalMode() { return SetKeyboardMode(1); }
    bool SetKeyboardMode(uint32_t mode);

private:
    template <class T>
    bool Feature(REFIID iid, vt::win::ComPtr<T>& out) const;
    bool FindProfile(const std::wstring& name, bool ignoreCase, vt::win::ComPtr<IVtProfile>& out) const;
    bool ReadSetting(IVtProfile* profile, _Profile_Setting_& record, bool* bothRead) const;
    bool SetLinkFlag(IVtProfile* profile, uint16_t mask, bool value) const;
    bool AssignMacro(IVtProfile* profile, const GUID& id, uint32_t a, uint32_t b);

    int32_t m_pid;
    vt::win::ComPtr<IVtDeviceMgr> m_manager;
    vt::win::ComPtr<IVtDevice> m_device;
    vt::win::ComPtr<IVtProfileManager> m_profiles;
};

// A counted engine string (GetName) as a wide string; frees it.
std::wstring TakeEngineText(WCHAR* text, ULONG cch);
// The number part of a "New Macro" name for the next macro name: 0 for a name without "New Macro".
// Saturates at 10^18 instead of overflowing.
uint64_t NewMacroNumber(const std::wstring& name);

} // namespace vt::tray
