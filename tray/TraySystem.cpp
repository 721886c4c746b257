#include "tray/TraySystem.h"
#include <tlhelp32.h>
#include "win/Handles.h"

namespace vt::tray {

namespace {

// Engine class context: in-process server, in-process handler, local server, remote server.
constexpr DWORD kEngineClassContext = 23;

bool SnapshotProcesses(std::vector<ProcessEntry>& out) {
    out.clear();
    vt::win::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        out.push_back({entry.th32ProcessID, entry.szExeFile});
    }
    return true;
}

TraySystem RealSystem() {
    TraySystem s;
    s.notifyIcon = [](DWORD message, NOTIFYICONDATAW* data) { return Shell_NotifyIconW(message, data); };
    s.shellOpen = [](const wchar_t* verb, const wchar_t* file, const wchar_t* directory) {
        auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, file, nullptr, directory, SW_SHOWNORMAL));
        return result > 32;
    };
    s.processes = SnapshotProcesses;
    s.tickCount = [] { return GetTickCount(); };
    s.foregroundProcess = []() -> DWORD {
        HWND window = GetForegroundWindow();
        if (!window) return 0;
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        return id;
    };
    s.primaryMonitor = [] {
        RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) r = info.rcMonitor;
        return r;
    };
    s.messageBox = [](HWND owner, const wchar_t* text, UINT type) { return MessageBoxW(owner, text, nullptr, type); };
    s.createEngine = [](IVtDeviceMgr** out) {
        return CoCreateInstance(CLSID_VtDeviceEngine, nullptr, kEngineClassContext, IID_IVtDeviceMgr,
                                reinterpret_cast<void**>(out));
    };
    return s;
}

} // namespace

TraySystem& System() {
    static TraySystem system = RealSystem();
    return system;
}

void ResetTraySystem() { System() = RealSystem(); }

std::wstring ProcessExeName(DWORD processId) {
    std::vector<ProcessEntry> list;
    if (!System().processes(list)) return {};
    for (const ProcessEntry& p : list)
        if (p.id == processId) return p.exeFile;
    return {};
}

} // namespace vt::tray
