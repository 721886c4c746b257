#pragma once
// Builders of keyboard definition and key defaults files for tests (the formats of base/KeyTable.h).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vt::test::keyfiles {

using Bytes = std::vector<uint8_t>;

inline void PutInt32(Bytes& b, int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}
inline void PutInt16(Bytes& b, int16_t v) {
    b.push_back(uint8_t(uint16_t(v)));
    b.push_back(uint8_t(uint16_t(v) >> 8));
}

struct Entry {
    int16_t code;
    uint8_t prefix;
};

// One record: name (UTF-16), values A and B, block 0 from the entries given, blocks 1..3 filled
// with a marker so that a misplaced read shows.
inline Bytes Record(const std::wstring& name, std::vector<Entry> block0, int32_t lengthField = -2,
             int16_t valueA = 7, int16_t valueB = 0) {
    Bytes b;
    PutInt32(b, lengthField == -2 ? int32_t(name.size() * 2) : lengthField);
    for (wchar_t c : name) PutInt16(b, int16_t(c));
    PutInt16(b, valueA);
    PutInt16(b, valueB);
    block0.resize(10, Entry{0, 0});
    for (const Entry& e : block0) {
        PutInt16(b, e.code);
        b.push_back(e.prefix);
        b.push_back(0);
    }
    for (int i = 0; i < 30; ++i) {
        PutInt16(b, int16_t(0x100 + i));
        b.push_back(0);
        b.push_back(0xAA);
    }
    return b;
}

inline Bytes Definition(int32_t count, const std::vector<Bytes>& records) {
    Bytes b;
    PutInt32(b, count);
    for (const Bytes& r : records) b.insert(b.end(), r.begin(), r.end());
    return b;
}

inline Bytes Defaults(int32_t count, const std::vector<std::pair<int32_t, int32_t>>& entries) {
    Bytes b;
    PutInt32(b, count);
    for (const auto& [id, value] : entries) {
        PutInt32(b, id);
        PutInt32(b, value);
    }
    return b;
}

} // namespace vt::test::keyfiles
