#include "base/ProgramFolder.h"
#include <vector>

namespace vt::base {

namespace {
std::wstring& Folder() {
    static std::wstring folder;
    return folder;
}
} // namespace

const std::wstring& ProgramFolder() { return Folder(); }

bool InitProgramFolder(const wchar_t* folder) {
    std::wstring path;
    if (folder) {
        path = folder;
    } else {
        std::vector<wchar_t> buf(MAX_PATH);
        for (;;) {
            DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
            if (n == 0) return false;
            if (n < buf.size()) { path.assign(buf.data(), n); break; }
            if (buf.size() >= 32768) return false;
            buf.resize(buf.size() * 2);
        }
        size_t slash = path.find_last_of(L"\\/");
        path = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    }
    if (path.empty()) return false;
    if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
    Folder() = path;
    return true;
}

LSTATUS ReadRegistryString(std::wstring& out, HKEY key, const wchar_t* valueName) {
    out.clear();
    wchar_t buffer[kRegistryStringMax + 1] = {};
    DWORD bytes = sizeof(buffer);
    // RegGetValueW terminates the text even when the stored value lacks its zero.
    LSTATUS rc = RegGetValueW(key, nullptr, valueName, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                              nullptr, buffer, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    buffer[kRegistryStringMax] = 0;
    out = buffer;
    return ERROR_SUCCESS;
}

} // namespace vt::base
