#include "BinaryIo.h"
#include <algorithm>

namespace vt::engine {

uint32_t Crc32(const uint8_t* data, size_t size) {
    static uint32_t table[256];
    static bool init = [] {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        return true;
    }();
    (void)init;
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<uint8_t> Frame(const char (&magic)[9], uint32_t version, const std::vector<uint8_t>& payload) {
    Writer w;
    w.Raw(magic, 8);
    w.U32(version);
    w.U32(static_cast<uint32_t>(payload.size()));
    w.U32(Crc32(payload.data(), payload.size()));
    w.Raw(payload.data(), payload.size());
    return std::move(w.Bytes());
}

bool Unframe(const std::vector<uint8_t>& data, const char (&magic)[9], uint32_t version,
             const uint8_t** payload, size_t* size) {
    if (data.size() < 20 || memcmp(data.data(), magic, 8) != 0) return false;
    Reader r(data.data() + 8, 12);
    uint32_t v = r.U32(), n = r.U32(), crc = r.U32();
    if (v != version || n != data.size() - 20) return false;
    if (Crc32(data.data() + 20, n) != crc) return false;
    *payload = data.data() + 20;
    *size = n;
    return true;
}

bool ReadFileBytes(const std::wstring& path, size_t maxSize, std::vector<uint8_t>* out) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart >= 0 && uint64_t(size.QuadPart) <= maxSize;
    if (ok) {
        out->resize(size_t(size.QuadPart));
        DWORD got = 0;
        ok = out->empty() || (ReadFile(h, out->data(), DWORD(out->size()), &got, nullptr) && got == out->size());
    }
    CloseHandle(h);
    return ok;
}

bool WriteFileAtomic(const std::wstring& path, const std::vector<uint8_t>& data, DWORD pauseMs) {
    std::wstring tmp = path + L".new";
    HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    // Written in pieces so that a slowed-down write can be interrupted half-way.
    size_t done = 0;
    bool ok = true;
    while (ok && done < data.size()) {
        DWORD chunk = DWORD(std::min<size_t>(data.size() - done, pauseMs ? 64 : data.size() - done)), put = 0;
        ok = WriteFile(h, data.data() + done, chunk, &put, nullptr) && put == chunk;
        done += put;
        if (pauseMs && done < data.size()) Sleep(pauseMs / 8 + 1);
    }
    ok = ok && FlushFileBuffers(h);
    CloseHandle(h);
    if (ok && pauseMs) Sleep(pauseMs);
    ok = ok && MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(tmp.c_str());
    return ok;
}

}  // namespace vt::engine
