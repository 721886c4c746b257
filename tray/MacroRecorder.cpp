#include "tray/MacroRecorder.h"
#include <algorithm>
#include <vector>
#include "skin/RawInput.h"
#include "tray/DeviceManager.h"
#include "tray/TraySystem.h"

namespace vt::tray {

namespace {

bool IsSingleButtonTransition(uint16_t flags) {
    for (uint16_t bit = 0x0001; bit <= 0x0200 && bit != 0; bit = uint16_t(bit << 1))
        if (flags == bit) return true;
    return false;
}

} // namespace

void CDelayTimer::AppendDelay(DWORD now) {
    if (!m_events.empty()) {
        const DWORD elapsed = std::min<DWORD>(now - m_lastTick, kDelayCap);
        m_events.push_back({kMacroEventDelay, uint16_t(elapsed & 0xFFFF), uint16_t(elapsed >> 16)});
    }
    m_lastTick = now;
}

void CDelayTimer::AddKey(uint16_t makeCode, uint16_t flags, DWORD now) {
    const bool down = (flags & RI_KEY_BREAK) == 0;
    if (down && !m_events.empty()) {
        const TrayMacroEvent& last = m_events.back();
        if (last.type == kMacroEventKey && last.low == makeCode && last.high == flags) return;  // auto-repeat
    }
    AppendDelay(now);
    m_events.push_back({kMacroEventKey, makeCode, flags});
}

void CDelayTimer::AddMouse(uint16_t buttonFlags, uint16_t buttonData, DWORD now) {
    if (!IsSingleButtonTransition(buttonFlags)) return;
    AppendDelay(now);
    m_events.push_back({kMacroEventMouse, buttonFlags, buttonData});
}

void CMacroRecorder::End() {
    vt::skin::UnregisterRawInput();
    m_recording = false;
    m_owner = 0;
    m_list.Clear();
}

void CMacroRecorder::OnStart(int32_t pid, HWND window) {
    {
        ScopedDevice client(m_devices, pid);
        client->BeginRecordingLights();
    }
    // A second start while recording starts over.
    vt::skin::UnregisterRawInput();
    m_list.Start(System().tickCount());
    m_recording = true;
    m_owner = pid;
    vt::skin::AddRawInputUsage(vt::skin::kRawUsageKeyboard);
    vt::skin::AddRawInputUsage(vt::skin::kRawUsageMouse);
    vt::skin::RegisterRawInput(window);
}

void CMacroRecorder::OnStop(int32_t pid) {
    if (pid != m_owner) return;
    {
        ScopedDevice client(m_devices, pid);
        client->PauseRecordingLights();
    }
    vt::skin::UnregisterRawInput();
    m_recording = false;
}

void CMacroRecorder::OnAssign(int32_t pid, uint32_t a, uint32_t b) {
    if (pid != m_owner) return;
    {
        ScopedDevice client(m_devices, pid);
        client->FinishRecording(a, b, m_list.Events());
    }
    End();
}

void CMacroRecorder::OnCancel(int32_t pid) {
    if (pid != m_owner) return;
    {
        ScopedDevice client(m_devices, pid);
        client->CancelRecordingLights();
    }
    End();
}

void CMacroRecorder::Reset(int32_t pid) {
    if (pid != m_owner) return;
    {
        ScopedDevice client(m_devices, pid);
        client->LightsOff();
    }
    End();
}

void CMacroRecorder::RecordRaw(const RAWINPUT& record) {
    if (!m_recording) return;
    const DWORD now = System().tickCount();
    if (record.header.dwType == RIM_TYPEKEYBOARD) {
        m_list.AddKey(record.data.keyboard.MakeCode, record.data.keyboard.Flags, now);
    } else if (record.header.dwType == RIM_TYPEMOUSE) {
        m_list.AddMouse(record.data.mouse.usButtonFlags, record.data.mouse.usButtonData, now);
    }
}

void CMacroRecorder::RecordRawInput(HRAWINPUT input) {
    if (!m_recording) return;
    UINT size = 0;
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0) return;
    std::vector<uint8_t> buffer(std::max<size_t>(size, sizeof(RAWINPUT)));
    if (GetRawInputData(input, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) == UINT(-1)) return;
    RecordRaw(*reinterpret_cast<const RAWINPUT*>(buffer.data()));
}

} // namespace vt::tray
