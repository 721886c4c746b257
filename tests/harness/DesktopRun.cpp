// Test instrument: runs a program on a Wine desktop of its own, so that its windows, activation,
// focus, mouse capture, cursor and keyboard state are out of every other process's reach while
// tests run side by side (scripts/wine-exec gives it an X display of its own too); and holds the
// default desktop open for a test session.
//
//   vtdesktop run PROGRAM [ARGS...]     runs PROGRAM on a new desktop; exits with its exit code
//   vtdesktop relay PROGRAM [ARGS...]   runs PROGRAM on this desktop, its output relayed (below)
//   vtdesktop hold                      keeps the default desktop in use until it is ended
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Quotes one argument the way CommandLineToArgvW reads it back.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

// A Unix path as the build hands it over (/work/...) becomes the same file under drive Z:.
std::wstring WindowsPath(std::wstring path) {
    if (path.empty() || path[0] != L'/') return path;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

// Brings up the desktop's own window: Wine starts a desktop process for it, which outlives the
// program by a moment. Started from here it takes this process's Unix standard error, which
// scripts/wine-exec points at /dev/null; started by the program it would hold the test's output open.
void StartDesktopWindow(HDESK desktop) {
    HANDLE thread = CreateThread(nullptr, 0, [](void* p) -> DWORD {
        if (!SetThreadDesktop(static_cast<HDESK>(p))) return 1;
        return GetDesktopWindow() ? 0 : 1;
    }, desktop, 0, nullptr);
    if (thread) {
        WaitForSingleObject(thread, 60000);
        CloseHandle(thread);
    }
}

// An inheritable copy of one of this process's standard handles.
HANDLE Inheritable(DWORD which) {
    HANDLE h = GetStdHandle(which), copy = nullptr;
    if (!h || h == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return h;
    return copy;
}

// Runs the program (argv[2] on) on `desktop` (null: this process's own) and copies its output to
// ours until it ends; its exit code.
//
// The program writes into a pipe of this process, not into the caller's: Wine hands a process's
// Unix standard error to every process it starts, so a server that the program starts through
// COM (the engine stand-in) would otherwise hold the caller's output open, and CTest would wait
// for that server to end long after the test has. Once the program has ended, what is left in the
// pipe is copied and the pipe is closed; later writers get an error, never a block.
int RunProgram(int argc, wchar_t** argv, const wchar_t* desktop) {
    std::wstring cmd = Quote(WindowsPath(argv[2]));
    for (int i = 3; i < argc; ++i) cmd += L" " + Quote(argv[i]);
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 1 << 16)) {
        fwprintf(stdout, L"vtdesktop: cannot make a pipe (error %lu)\n", GetLastError());
        return 126;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // The program is ended with this process, as when CTest stops a run that overstays its time;
    // what the program starts in turn (servers, programs under test) breaks away and lives on.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    STARTUPINFOW si{sizeof(si)};
    si.lpDesktop = const_cast<wchar_t*>(desktop);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = Inheritable(STD_INPUT_HANDLE);
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                                        nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        fwprintf(stdout, L"vtdesktop: cannot start %ls (error %lu)\n", cmd.c_str(), GetLastError());
        CloseHandle(readEnd);
        return 126;
    }
    if (job) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    unsigned long long relayed = 0;
    auto copy = [&] {
        char buf[8192];
        DWORD avail = 0, got = 0, put = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail &&
               ReadFile(readEnd, buf, DWORD(std::min<DWORD>(avail, sizeof(buf))), &got, nullptr) && got) {
            WriteFile(out, buf, got, &put, nullptr);
            relayed += got;
        }
    };
    const ULONGLONG startedAt = GetTickCount64();
    // The program's own bound is CTest's: this waits as long as the program runs.
    while (WaitForSingleObject(pi.hProcess, 20) == WAIT_TIMEOUT) copy();
    copy();
    CloseHandle(readEnd);
    DWORD code = 1;
    if (!GetExitCodeProcess(pi.hProcess, &code))
        fwprintf(stdout, L"vtdesktop: the exit code of process %lu is unknown (error %lu)\n", pi.dwProcessId, GetLastError());
    else if (code && !relayed)
        // Ended by someone else, or before its first line: say so, the run shows nothing else.
        fwprintf(stdout, L"vtdesktop: process %lu ended with exit code 0x%lx after %llu ms without a word\n",
                 pi.dwProcessId, code, GetTickCount64() - startedAt);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return int(code);
}

int RunOnOwnDesktop(int argc, wchar_t** argv) {
    wchar_t name[64];
    swprintf(name, std::size(name), L"vt-%lu-%llu", GetCurrentProcessId(), GetTickCount64());
    HDESK desktop = CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) {
        fwprintf(stdout, L"vtdesktop: cannot create desktop %ls (error %lu)\n", name, GetLastError());
        return 125;
    }
    StartDesktopWindow(desktop);
    return RunProgram(argc, argv, name);
}

// Keeps the default desktop in use: without a user Wine closes a desktop a moment after its last
// program ends, and the next program to need it starts its desktop process with that program's
// standard streams, holding a test's output open for as long as the desktop then lives.
int Hold() {
    if (!GetDesktopWindow()) return 1;
    Sleep(INFINITE);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && !wcscmp(argv[1], L"run")) return RunOnOwnDesktop(argc, argv);
    if (argc >= 3 && !wcscmp(argv[1], L"relay")) return RunProgram(argc, argv, nullptr);
    if (argc == 2 && !wcscmp(argv[1], L"hold")) return Hold();
    fwprintf(stderr, L"usage: vtdesktop run|relay PROGRAM [ARGS...] | vtdesktop hold\n");
    return 2;
}
