#pragma once
// On-the-fly macro recording: while the keyboard records, every key stroke and mouse-button
// transition of the whole system arrives as raw input and is kept with the pauses between them;
// at the end the list becomes a new macro "New Macro n" in the engine, assigned to the chosen key
// of the active profile. The recording belongs to the device that started it: only that device's
// stop, assignment, cancel or removal ends it. GUI thread only.
#include <windows.h>
#include <cstdint>
#include <vector>
#include "tray/MacroRecords.h"

namespace vt::tray {

class CDeviceManager;

// The recorded events with the pauses between them.
class CDelayTimer {
public:
    static constexpr uint32_t kDelayCap = 0xFFFFFF;  // longest pause kept, in ms

    void Clear() { m_events.clear(); }
    void Start(DWORD now) { m_events.clear(); m_lastTick = now; }
    // A key record (make code, raw keyboard flags); an auto-repeat of the last key is dropped.
    void AddKey(uint16_t makeCode, uint16_t flags, DWORD now);
    // A mouse record; only a single press or release of one of the five buttons is kept.
    void AddMouse(uint16_t buttonFlags, uint16_t buttonData, DWORD now);
    const std::vector<TrayMacroEvent>& Events() const { return m_events; }

private:
    void AppendDelay(DWORD now);
    std::vector<TrayMacroEvent> m_events;
    DWORD m_lastTick = 0;
};

class CMacroRecorder {
public:
    explicit CMacroRecorder(CDeviceManager& devices) : m_devices(devices) {}

    void OnStart(int32_t pid, HWND window);
    void OnStop(int32_t pid);
    void OnAssign(int32_t pid, uint32_t a, uint32_t b);
    // Cancel (device event, session end, tray closing): acts only on the recording device.
    void OnCancel(int32_t pid);
    // The device left: its recording ends, its light goes off.
    void Reset(int32_t pid);
    // A WM_INPUT record.
    void RecordRawInput(HRAWINPUT input);
    // A raw record already read (header and data), for the same path.
    void RecordRaw(const RAWINPUT& record);

    bool Recording() const { return m_recording; }
    // The device whose recording runs or waits for its key; 0 when none.
    int32_t Owner() const { return m_owner; }
    const std::vector<TrayMacroEvent>& Events() const { return m_list.Events(); }

private:
    void End();
    CDeviceManager& m_devices;
    CDelayTimer m_list;
    bool m_recording = false;
    int32_t m_owner = 0;
};

} // namespace vt::tray
