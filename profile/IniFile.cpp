#include "profile/IniFile.h"
#include <windows.h>
#include <string>
#include <vector>

namespace {

constexpr DWORD kIniBufferChars = 4096;
constexpr DWORD kMaxConvertedBytes = 1 << 20;  // a settings file is a few lines; refuse to convert more

bool ReadWholeFile(const wchar_t* path, std::vector<char>& out) {
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart <= kMaxConvertedBytes;
    if (ok) {
        out.resize(size_t(size.QuadPart));
        DWORD got = 0;
        ok = out.empty() || (ReadFile(h, out.data(), DWORD(out.size()), &got, nullptr) && got == out.size());
    }
    CloseHandle(h);
    return ok;
}

bool WriteWholeFile(const wchar_t* path, const void* data, DWORD size, DWORD disposition) {
    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(h, data, size, &put, nullptr) && put == size;
    ok = CloseHandle(h) && ok;
    return ok;
}

const unsigned char kUtf16Bom[2] = {0xFF, 0xFE};

// Makes sure the file exists as UTF-16LE text with a byte-order mark, keeping what it holds.
bool PrepareUtf16File(const wchar_t* path) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return WriteWholeFile(path, kUtf16Bom, sizeof(kUtf16Bom), CREATE_NEW);
    std::vector<char> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) return true;
    // An 8-bit file: UTF-8 when it says so, else the ANSI code page the system wrote it in.
    UINT codePage = CP_ACP;
    size_t skip = 0;
    if (bytes.size() >= 3 && (unsigned char)bytes[0] == 0xEF && (unsigned char)bytes[1] == 0xBB &&
        (unsigned char)bytes[2] == 0xBF) {
        codePage = CP_UTF8;
        skip = 3;
    }
    std::wstring text;
    if (bytes.size() > skip) {
        int n = MultiByteToWideChar(codePage, 0, bytes.data() + skip, int(bytes.size() - skip), nullptr, 0);
        if (n <= 0) return false;
        text.resize(size_t(n));
        MultiByteToWideChar(codePage, 0, bytes.data() + skip, int(bytes.size() - skip), text.data(), n);
    }
    std::vector<char> converted(kUtf16Bom, kUtf16Bom + 2);
    const char* raw = reinterpret_cast<const char*>(text.data());
    converted.insert(converted.end(), raw, raw + text.size() * sizeof(wchar_t));
    // Write beside the file and swap, so a failed write leaves the old file whole.
    std::wstring temp = std::wstring(path) + L".new";
    if (!WriteWholeFile(temp.c_str(), converted.data(), DWORD(converted.size()), CREATE_ALWAYS)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    if (!MoveFileExW(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

std::wstring ReadIniString(const wchar_t* path, const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) {
    const wchar_t* def = defaultValue ? defaultValue : L"";
    if (!path || !*path || !section || !key) return def;
    std::vector<wchar_t> buffer(kIniBufferChars, L'\0');
    DWORD n = GetPrivateProfileStringW(section, key, def, buffer.data(), kIniBufferChars, path);
    if (n >= kIniBufferChars) n = kIniBufferChars - 1;
    return std::wstring(buffer.data(), n);
}

int32_t WriteIniString(const wchar_t* path, const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    if (!path || !*path || !section || !key) return 0;
    if (!PrepareUtf16File(path)) return 0;
    return WritePrivateProfileStringW(section, key, value, path) ? 1 : 0;
}
