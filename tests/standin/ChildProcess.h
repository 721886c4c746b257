#pragma once
// A child process with its standard output on a pipe; every wait is bounded.
#include <windows.h>
#include <string>

namespace vt::test::engine {

class ChildProcess {
public:
    ~ChildProcess() { Kill(); if (m_out) CloseHandle(m_out); }
    bool Start(const std::wstring& commandLine) {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE write = nullptr;
        if (!CreatePipe(&m_out, &write, &sa, 0)) return false;
        SetHandleInformation(m_out, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = write;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::wstring cmd = commandLine;
        BOOL ok = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &m_pi);
        CloseHandle(write);
        return ok;
    }
    // Collects output until it contains text or the time is up.
    bool WaitFor(const std::string& text, DWORD timeoutMs) {
        DWORD start = GetTickCount();
        for (;;) {
            Drain();
            if (m_text.find(text) != std::string::npos) return true;
            if (GetTickCount() - start > timeoutMs) return false;
            if (WaitForSingleObject(m_pi.hProcess, 10) == WAIT_OBJECT_0) {
                Drain();
                return m_text.find(text) != std::string::npos;
            }
        }
    }
    // Waits for the end; answers the exit code, or -1 when it did not end in time (it is killed then).
    int Wait(DWORD timeoutMs) {
        DWORD start = GetTickCount();
        while (WaitForSingleObject(m_pi.hProcess, 20) != WAIT_OBJECT_0) {
            Drain();
            if (GetTickCount() - start > timeoutMs) {
                Kill();
                return -1;
            }
        }
        Drain();
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return int(code);
    }
    void Kill() {
        if (!m_pi.hProcess) return;
        TerminateProcess(m_pi.hProcess, 99);
        WaitForSingleObject(m_pi.hProcess, 10000);
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
        m_pi = {};
    }
    const std::string& Output() { Drain(); return m_text; }
private:
    void Drain() {
        DWORD avail = 0;
        while (m_out && PeekNamedPipe(m_out, nullptr, 0, nullptr, &avail, nullptr) && avail) {
            char buf[4096];
            DWORD got = 0;
            if (!ReadFile(m_out, buf, std::min<DWORD>(avail, sizeof buf), &got, nullptr) || !got) break;
            m_text.append(buf, got);
        }
    }
    HANDLE m_out = nullptr;
    PROCESS_INFORMATION m_pi{};
    std::string m_text;
};

inline std::wstring SiblingPath(const wchar_t* name) {
    wchar_t self[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    std::wstring dir(self, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

}  // namespace vt::test::engine
