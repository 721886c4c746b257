#pragma once
// Little-endian writer and a bounds-checked reader for the engine's own files. The reader never
// reads past its buffer: any short read sets the failure flag and yields zeros.
#include <windows.h>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vt::engine {

uint32_t Crc32(const uint8_t* data, size_t size);

class Writer {
public:
    void U8(uint8_t v) { m_b.push_back(v); }
    void U16(uint16_t v) { Raw(&v, 2); }
    void U32(uint32_t v) { Raw(&v, 4); }
    void I32(int32_t v) { Raw(&v, 4); }
    void Guid(const GUID& g) { Raw(&g, 16); }
    void Str(const std::wstring& s) {
        U32(static_cast<uint32_t>(s.size()));
        Raw(s.data(), s.size() * 2);
    }
    void Raw(const void* p, size_t n) {
        auto* c = static_cast<const uint8_t*>(p);
        m_b.insert(m_b.end(), c, c + n);
    }
    std::vector<uint8_t>& Bytes() { return m_b; }
private:
    std::vector<uint8_t> m_b;
};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_pos == m_n; }
    size_t Left() const { return m_n - m_pos; }
    void Fail() { m_ok = false; }
    uint8_t U8() { uint8_t v = 0; Raw(&v, 1); return v; }
    uint16_t U16() { uint16_t v = 0; Raw(&v, 2); return v; }
    uint32_t U32() { uint32_t v = 0; Raw(&v, 4); return v; }
    int32_t I32() { int32_t v = 0; Raw(&v, 4); return v; }
    GUID Guid() { GUID g{}; Raw(&g, 16); return g; }
    // A string of at most maxChars characters; a longer length fails the read.
    std::wstring Str(size_t maxChars) {
        uint32_t n = U32();
        if (!m_ok || n > maxChars || size_t(n) * 2 > Left()) { m_ok = false; return {}; }
        std::wstring s(n, L'\0');
        Raw(s.data(), size_t(n) * 2);
        return s;
    }
    // A count that must not exceed max and whose elements (each at least minBytes) must fit.
    uint32_t Count(uint32_t max, size_t minBytes) {
        uint32_t n = U32();
        if (!m_ok || n > max || size_t(n) * minBytes > Left()) { m_ok = false; return 0; }
        return n;
    }
    void Raw(void* out, size_t n) {
        if (!m_ok || n > Left()) { m_ok = false; memset(out, 0, n); return; }
        memcpy(out, m_p + m_pos, n);
        m_pos += n;
    }
private:
    const uint8_t* m_p;
    size_t m_n;
    size_t m_pos = 0;
    bool m_ok = true;
};

// Framed file: 8-byte magic, u32 version, u32 payload size, u32 CRC-32 of the payload, payload.
std::vector<uint8_t> Frame(const char (&magic)[9], uint32_t version, const std::vector<uint8_t>& payload);
// Checks the frame; on success payload points into data. Answers false for anything malformed.
bool Unframe(const std::vector<uint8_t>& data, const char (&magic)[9], uint32_t version,
             const uint8_t** payload, size_t* size);

// Whole-file helpers. ReadFileBytes refuses files larger than maxSize.
bool ReadFileBytes(const std::wstring& path, size_t maxSize, std::vector<uint8_t>* out);
// Atomic replace: writes "<path>.new", flushes it to disk and renames it over path.
// pause(ms) is called between the flush and the rename (fault injection of slow writes).
bool WriteFileAtomic(const std::wstring& path, const std::vector<uint8_t>& data, DWORD pauseMs = 0);

}  // namespace vt::engine
