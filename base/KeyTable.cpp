#include "base/KeyTable.h"

#include <algorithm>
#include <cstring>

#include "win/Strings.h"

namespace vt::base {
namespace {

constexpr int64_t kMaxNameBytes = 512;
constexpr int64_t kRecordTailBytes = 2 + 2 + 4 * 40;  // value A, value B, four blocks

// Reads little-endian values from a buffer whose bounds the caller has checked.
int32_t ReadInt32(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return int32_t(v);
}
int16_t ReadInt16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }

} // namespace

int32_t KeyNameHash(std::wstring_view name) {
    uint32_t h = 5381;
    for (wchar_t c : name) h = h * 33 + uint16_t(c);
    return int32_t(h);
}

bool IsUsableKey(const KeyDefRecord& record) {
    for (const wchar_t* reserved : {L"DO NOT USE", L"UNASSIGNED", L"RESERVED", L"None"}) {
        if (vt::win::EqualsNoCaseAscii(record.name, reserved)) return false;
    }
    return record.sequences[0][0].code >= 0;
}

KeyCode DeriveScanCode(const KeySeqBlock& block) {
    const KeySeqEntry& e0 = block[0];
    if (e0.prefix == 0) return {e0.code, 0};
    KeyCode result{e0.code, e0.prefix};
    for (size_t i = 1; i <= 8; ++i) {
        if (block[i].code == 0 || block[i].prefix != 0) break;
        result.code = block[i].code;
    }
    return result;
}

bool ParseKeyDefinitions(const void* data, int64_t size, KeyTable& table) {
    if (!data || size <= 0) return false;
    if (table.m_parsed) return table.m_parseResult;
    table.m_parsed = true;
    table.m_parseResult = false;
    if (size < 4) return false;

    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const uint32_t count = uint32_t(ReadInt32(bytes));
    int64_t pos = 4;
    uint32_t read = 0;
    while (read < count && pos < size) {
        if (size - pos < 4) break;
        const int32_t length = ReadInt32(bytes + pos);
        if (length < 0) break;
        const int64_t nameBytes = std::min<int64_t>(length, kMaxNameBytes);
        if (size - pos - 4 < nameBytes + kRecordTailBytes) break;
        pos += 4;

        KeyDefRecord record;
        for (int64_t i = 0; i + 1 < nameBytes; i += 2) {
            wchar_t c = wchar_t(uint16_t(bytes[pos + i] | bytes[pos + i + 1] << 8));
            if (c == L'\0') break;
            record.name.push_back(c);
        }
        pos += nameBytes;
        record.valueA = ReadInt16(bytes + pos);
        record.valueB = ReadInt16(bytes + pos + 2);
        pos += 4;
        for (KeySeqBlock& block : record.sequences) {
            for (KeySeqEntry& entry : block) {
                entry.code = ReadInt16(bytes + pos);
                entry.prefix = bytes[pos + 2];
                entry.reserved = bytes[pos + 3];
                pos += 4;
            }
        }
        KeyCode derived = DeriveScanCode(record.sequences[0]);
        record.scanCode = derived.code;
        record.prefix = derived.prefix;
        record.keyId = KeyNameHash(record.name);

        table.m_allKeys.push_back(record);
        if (IsUsableKey(record)) table.m_keysById[record.keyId] = record;
        ++read;
    }
    table.m_parseResult = count > 0 && read == count && pos == size;
    return table.m_parseResult;
}

bool ParseKeyDefaults(const void* data, KeyTable& table, int64_t size) {
    if (!data || size < 4) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const int32_t count = ReadInt32(bytes);
    const bool valid = count >= 0 && int64_t(count) == (size - 4) / 8;
    if (!valid || count == 0) return valid;
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* entry = bytes + 4 + i * 8;
        const int32_t keyId = ReadInt32(entry);
        const uint32_t value = uint32_t(ReadInt32(entry + 4));
        table.m_defaultCodes[keyId] = KeyCode{int16_t(uint16_t(value & 0xFFFF)), uint8_t((value >> 16) & 0xFF)};
    }
    return true;
}

const KeyDefRecord* KeyTable::FindKey(int32_t keyId) const {
    auto it = m_keysById.find(keyId);
    return it == m_keysById.end() ? nullptr : &it->second;
}

KeyCode KeyTable::GetKeyCode(int32_t keyId) const {
    const KeyDefRecord* record = FindKey(keyId);
    return record ? KeyCode{record->scanCode, record->prefix} : KeyCode{};
}

int32_t KeyTable::FindKeyIdByCode(uint32_t packedCode) const {
    const int16_t code = int16_t(uint16_t(packedCode & 0xFFFF));
    const uint8_t prefix = uint8_t((packedCode >> 16) & 0xFF);
    for (const auto& [id, record] : m_keysById) {
        if (record.scanCode == code && record.prefix == prefix) return id;
    }
    return 0;
}

bool KeyTable::GetDefaultCode(int32_t keyId, KeyCode& code) const {
    auto it = m_defaultCodes.find(keyId);
    code = it == m_defaultCodes.end() ? KeyCode{} : it->second;
    return it != m_defaultCodes.end();
}

void KeyTable::Reset() {
    m_allKeys.clear();
    m_keysById.clear();
    m_defaultCodes.clear();
    m_parsed = false;
    m_parseResult = false;
}

KeyTable& GlobalKeyTable() {
    static KeyTable table;
    return table;
}

KeyCode GetKeyCode(int32_t keyId) { return GlobalKeyTable().GetKeyCode(keyId); }
int32_t FindKeyIdByCode(uint32_t packedCode) { return GlobalKeyTable().FindKeyIdByCode(packedCode); }

} // namespace vt::base
