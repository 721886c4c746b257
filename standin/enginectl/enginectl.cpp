// enginectl: test control of the running device engine (plug, press, record, faults, dump).
// A test instrument for tests and manual runs; the programs never use it.
#include <windows.h>
#include <objbase.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>
#include "ServerInstance.h"
#include "VtEngine.h"

namespace {

const wchar_t kUsage[] =
    L"usage: enginectl <command> [arguments]\n"
    L"  plug <kind|all>                 make a device present (kind: mouse, keyboard, headset)\n"
    L"  unplug <kind|all>               make a device absent\n"
    L"  press <kind> <code>             press a button (engine index) or key (engine key code)\n"
    L"  record key|target <code>|escape macro recording: record key, target key, Escape\n"
    L"  reset                           factory state of every device\n"
    L"  fail <Interface.Method|*> <nth> <hresult>   the nth next call fails (nth 0 clears)\n"
    L"  delay <Interface.Method|*|state.write> <ms> delay every such call (0 clears)\n"
    L"  set <kind> <name> <value>       device value (vendor, firmware.minor, layout, buttonmask, rate, infofail, ...)\n"
    L"  enum [<kind> ...]               scripted EnumDevices order (none: the normal list)\n"
    L"  dump                            the whole state as JSON\n"
    L"  log [clear]                     the engine's call log\n"
    L"  counts                          live engine objects and advised sinks\n"
    L"  reload                          read the state files again\n"
    L"  quit                            end the engine server (a rebuilt one starts on the next use)\n"
    L"  kill                            terminate the engine server's process, as a crash would\n";

// Ends the serving engine process at once, without connecting to it (so without starting one).
int Kill() {
    DWORD pid = vt::engine::instance::PublishedServer();
    if (!pid) {
        fputws(L"enginectl: no engine server is running\n", stderr);
        return 1;
    }
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!h || !TerminateProcess(h, 9) || WaitForSingleObject(h, 10000) != WAIT_OBJECT_0) {
        if (h) CloseHandle(h);
        fwprintf(stderr, L"enginectl: could not end the engine server (process %lu)\n", static_cast<unsigned long>(pid));
        return 1;
    }
    CloseHandle(h);
    printf("killed %lu\n", static_cast<unsigned long>(pid));
    return 0;
}

bool ParseKind(const wchar_t* s, ULONG* pid) {
    if (!_wcsicmp(s, L"mouse")) *pid = VT_PID_MOUSE;
    else if (!_wcsicmp(s, L"keyboard")) *pid = VT_PID_KEYBOARD;
    else if (!_wcsicmp(s, L"headset")) *pid = VT_PID_HEADSET;
    else return false;
    return true;
}

bool ParseNumber(const wchar_t* s, ULONG* v) {
    wchar_t* end = nullptr;
    unsigned long long n = wcstoull(s, &end, 0);
    if (!*s || *end || n > 0xFFFFFFFFull) return false;
    *v = ULONG(n);
    return true;
}

void PrintUtf8(const wchar_t* s, size_t n) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, s, int(n), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s, int(n), out.data(), bytes, nullptr, nullptr);
    fwrite(out.data(), 1, out.size(), stdout);
}

int Fail(const wchar_t* what, HRESULT hr) {
    fwprintf(stderr, L"enginectl: %ls failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    return 1;
}

int Run(IVtSimControl* ctl, int argc, wchar_t** argv) {
    std::wstring cmd = argv[1];
    ULONG pid = 0, v = 0, n = 0;
    auto kinds = [&](const wchar_t* s, std::vector<ULONG>* out) {
        if (!_wcsicmp(s, L"all")) { *out = {VT_PID_MOUSE, VT_PID_KEYBOARD, VT_PID_HEADSET}; return true; }
        ULONG p;
        if (!ParseKind(s, &p)) return false;
        *out = {p};
        return true;
    };
    if ((cmd == L"plug" || cmd == L"unplug") && argc == 3) {
        std::vector<ULONG> pids;
        if (!kinds(argv[2], &pids)) return 2;
        for (ULONG p : pids) {
            HRESULT hr = ctl->SetPresent(p, cmd == L"plug");
            if (FAILED(hr)) return Fail(cmd.c_str(), hr);
        }
        return 0;
    }
    if (cmd == L"press" && argc == 4 && ParseKind(argv[2], &pid) && ParseNumber(argv[3], &v)) {
        HRESULT hr = ctl->Press(pid, v);
        return FAILED(hr) ? Fail(L"press", hr) : 0;
    }
    if (cmd == L"record" && argc >= 3) {
        HRESULT hr;
        if (!_wcsicmp(argv[2], L"key") && argc == 3) hr = ctl->RecordAction(1, 0);
        else if (!_wcsicmp(argv[2], L"target") && argc == 4 && ParseNumber(argv[3], &v)) hr = ctl->RecordAction(2, v);
        else if (!_wcsicmp(argv[2], L"escape") && argc == 3) hr = ctl->RecordAction(3, 0);
        else return 2;
        return FAILED(hr) ? Fail(L"record", hr) : 0;
    }
    if (cmd == L"reset" && argc == 2) {
        HRESULT hr = ctl->Reset();
        return FAILED(hr) ? Fail(L"reset", hr) : 0;
    }
    if (cmd == L"fail" && argc == 5 && ParseNumber(argv[3], &n) && ParseNumber(argv[4], &v)) {
        HRESULT hr = ctl->FailCall(argv[2], n, HRESULT(v));
        return FAILED(hr) ? Fail(L"fail", hr) : 0;
    }
    if (cmd == L"delay" && argc == 4 && ParseNumber(argv[3], &v)) {
        HRESULT hr = ctl->DelayCall(argv[2], v);
        return FAILED(hr) ? Fail(L"delay", hr) : 0;
    }
    if (cmd == L"set" && argc == 5 && ParseKind(argv[2], &pid) && ParseNumber(argv[4], &v)) {
        HRESULT hr = ctl->SetDeviceValue(pid, argv[3], v);
        return FAILED(hr) ? Fail(L"set", hr) : 0;
    }
    if (cmd == L"enum") {
        std::vector<ULONG> pids;
        for (int i = 2; i < argc; ++i) {
            if (!ParseKind(argv[i], &pid)) return 2;
            pids.push_back(pid);
        }
        HRESULT hr = ctl->SetEnumOrder(ULONG(pids.size()), pids.empty() ? nullptr : pids.data());
        return FAILED(hr) ? Fail(L"enum", hr) : 0;
    }
    if ((cmd == L"dump" && argc == 2) || (cmd == L"log" && argc <= 3)) {
        BSTR text = nullptr;
        HRESULT hr = cmd == L"dump" ? ctl->Dump(&text) : ctl->GetCallLog(argc == 3 && !_wcsicmp(argv[2], L"clear"), &text);
        if (FAILED(hr)) return Fail(cmd.c_str(), hr);
        PrintUtf8(text, SysStringLen(text));
        if (cmd == L"dump") fputc('\n', stdout);
        SysFreeString(text);
        return 0;
    }
    if (cmd == L"counts" && argc == 2) {
        ULONG objects = 0, sinks = 0;
        HRESULT hr = ctl->GetCounts(&objects, &sinks);
        if (FAILED(hr)) return Fail(L"counts", hr);
        printf("objects %lu sinks %lu\n", static_cast<unsigned long>(objects), static_cast<unsigned long>(sinks));
        return 0;
    }
    if (cmd == L"quit" && argc == 2) {
        HRESULT hr = ctl->Shutdown();
        if (FAILED(hr)) return Fail(L"quit", hr);
        Sleep(1500);  // the server revokes its class and ends within a few tenths of a second
        return 0;
    }
    if (cmd == L"reload" && argc == 2) {
        HRESULT hr = ctl->ReloadState();
        return FAILED(hr) ? Fail(L"reload", hr) : 0;
    }
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fputws(kUsage, stderr);
        return 2;
    }
    if (argc == 2 && !wcscmp(argv[1], L"kill")) return Kill();
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    IVtDeviceMgr* mgr = nullptr;
    IVtSimControl* ctl = nullptr;
    // Through the engine's in-process handler as the programs do, so a server killed before is replaced.
    HRESULT hr = CoCreateInstance(CLSID_VtDeviceEngine, nullptr, CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, IID_IVtDeviceMgr,
                                  reinterpret_cast<void**>(&mgr));
    if (SUCCEEDED(hr)) hr = mgr->QueryInterface(IID_IVtSimControl, reinterpret_cast<void**>(&ctl));
    int rc;
    if (FAILED(hr)) {
        rc = Fail(L"connecting to the device engine", hr);
    } else {
        rc = Run(ctl, argc, argv);
        if (rc == 2) fputws(kUsage, stderr);
    }
    if (ctl) ctl->Release();
    if (mgr) mgr->Release();
    CoUninitialize();
    return rc;
}
