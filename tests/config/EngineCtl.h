#pragma once
// enginectl from a test: runs it with arguments and gives its exit code and standard output.
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include "WindowTest.h"

namespace vt::test {

// Runs enginectl with the arguments; its exit code (-1 when it did not end in time) and its
// standard output, through a file of the test output folder.
inline int RunEngineCtl(const std::wstring& args, std::string* out = nullptr) {
    // A file of its own for every run: an engine server that enginectl starts inherits the handle
    // and may keep it open after enginectl has ended.
    static int run = 0;
    const std::wstring file = OutputPath(L"enginectl_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                         std::to_wstring(++run) + L".txt");
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                           CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = h;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + StandinFolder() + L"enginectl.exe\" " + args;
    const BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    CloseHandle(h);
    if (!started) return -1;
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    if (out) {
        std::ifstream in(std::filesystem::path(file), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        *out = ss.str();
    }
    DeleteFileW(file.c_str());
    return int(code);
}

} // namespace vt::test
