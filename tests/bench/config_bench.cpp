// Configuration program start-up benchmark: from CreateProcess to the first painted main window
// (its window found on screen with the body colour of its content card painted), to the first
// page shown with its device read (a device tab enabled), and the peak working set after
// start-up; beside the same figures of a minimal program that opens one empty window (the floor).
// Run in a session with the engine stand-in registered and a device plugged:
//   config_bench [image folder] [runs] [other image folder...]
// Other image folders (builds to compare, e.g. before and after a change) are started in turn with
// the first, in the same rounds, and reported by folder.
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

struct Run {
    double ms = -1;
    double filledMs = -1;   // a device tab enabled: the first page shows the device's values
    double peakMb = -1;
};

constexpr int kDeviceTabs[] = {885, 886, 887};   // BUTTON_PRODSELECT_MOUSE, _KEYBOARD, _HEADSET

bool AnyTabEnabled(HWND h) {
    for (int id : kDeviceTabs) {
        HWND tab = GetDlgItem(h, id);
        if (tab && IsWindowVisible(tab) && IsWindowEnabled(tab)) return true;
    }
    return false;
}

bool Painted(HWND h, int x, int y, COLORREF expected) {
    if (!h || !IsWindowVisible(h)) return false;
    RECT rc;
    GetWindowRect(h, &rc);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, rc.left + x, rc.top + y);
    ReleaseDC(nullptr, screen);
    auto within = [](int a, int b) { return a - b <= 6 && b - a <= 6; };
    return c != CLR_INVALID && within(GetRValue(c), GetRValue(expected)) && within(GetGValue(c), GetGValue(expected)) &&
           within(GetBValue(c), GetBValue(expected));
}

Run Measure(const std::wstring& exe, const std::wstring& folder, const wchar_t* windowClass, int x, int y, COLORREF colour,
            bool tabs = false) {
    Run r;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    const auto t0 = Clock::now();
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return r;
    HWND found = nullptr;
    while (Clock::now() - t0 < std::chrono::seconds(30)) {
        HWND h = FindWindowW(windowClass, nullptr);
        DWORD pid = 0;
        if (h) GetWindowThreadProcessId(h, &pid);
        if (h && pid == pi.dwProcessId && Painted(h, x, y, colour)) {
            found = h;
            break;
        }
        Sleep(2);
    }
    if (found) {
        r.ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (tabs) {
            while (Clock::now() - t0 < std::chrono::seconds(30) && !AnyTabEnabled(found)) Sleep(2);
            if (AnyTabEnabled(found)) r.filledMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        }
        Sleep(1000);   // start-up settles (pages built, devices read)
        PROCESS_MEMORY_COUNTERS pmc{sizeof(pmc)};
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc))) r.peakMb = double(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
        PostMessageW(found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return r;
}

void Report(const char* name, std::vector<Run> runs) {
    std::vector<double> ms, mb, filled;
    for (const Run& r : runs) {
        if (r.ms >= 0) ms.push_back(r.ms);
        if (r.peakMb >= 0) mb.push_back(r.peakMb);
        if (r.filledMs >= 0) filled.push_back(r.filledMs);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(mb.begin(), mb.end());
    std::sort(filled.begin(), filled.end());
    if (ms.empty()) {
        printf("%-28s no painted window\n", name);
        return;
    }
    printf("%-28s first paint median %7.1f ms (min %7.1f, max %7.1f, %zu runs)   peak working set %6.1f MB\n", name,
           ms[ms.size() / 2], ms.front(), ms.back(), ms.size(), mb.empty() ? -1.0 : mb.back());
    if (!filled.empty())
        printf("%-28s first page with its device read, median %7.1f ms (min %7.1f, max %7.1f)\n", "", filled[filled.size() / 2],
               filled.front(), filled.back());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring binDir = self;
    binDir.resize(binDir.find_last_of(L'\\') + 1);
    std::wstring image = argc > 1 ? argv[1] : binDir + L"..\\image\\";
    if (!image.empty() && image.back() != L'\\') image += L'\\';
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;

    std::vector<std::wstring> images{image};
    for (int i = 3; i < argc; ++i) {
        std::wstring other = argv[i];
        if (!other.empty() && other.back() != L'\\') other += L'\\';
        images.push_back(other);
    }

    std::vector<Run> floor;
    std::vector<std::vector<Run>> config(images.size());
    // One start of each first, not counted: the wineserver and the file cache are warm afterwards.
    Measure(binDir + L"config_floor_window.exe", binDir, L"VtBenchFloorWindow", 440, 300, RGB(0x16, 0x19, 0x1d));
    for (const std::wstring& folder : images)
        Measure(folder + L"VeltoDunemarchIIConfig.exe", folder, L"SINGLE_INSTANCE_APP_DM", 440, 300, RGB(0x1e, 0x23, 0x29));
    for (int i = 0; i < runs; ++i) {
        floor.push_back(Measure(binDir + L"config_floor_window.exe", binDir, L"VtBenchFloorWindow", 440, 300,
                                RGB(0x16, 0x19, 0x1d)));
        for (size_t k = 0; k < images.size(); ++k)
            config[k].push_back(Measure(images[k] + L"VeltoDunemarchIIConfig.exe", images[k], L"SINGLE_INSTANCE_APP_DM", 440,
                                        300, RGB(0x1e, 0x23, 0x29), true));
    }
    Report("floor (one empty window)", floor);
    for (size_t k = 0; k < images.size(); ++k) {
        if (images.size() > 1) printf("%ls\n", images[k].c_str());
        Report("VeltoDunemarchIIConfig", config[k]);
    }
    return 0;
}
