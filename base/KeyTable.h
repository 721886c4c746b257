#pragma once
// The key table: the key records of the maker's keyboard (name and scan-code sequences) read from
// the binary keyboard definition file of "bin\", and the default key codes read from the key
// defaults file. Every key's id is the djb2 hash of its name; the on-screen keyboard's key items,
// the keyboard profiles and the device layer share these ids.
//
// Definition file (little-endian): int32 record count N, then N records of
//   int32 L (name length in bytes; more than 512 is read as 512), L bytes of UTF-16 name (ends at
//   its first zero character or after L bytes), int16 value A, int16 value B, four blocks of ten
//   {int16 code, uint8 prefix, uint8 reserved}.
// Key defaults file: int32 count K, then K entries {int32 key id, int32 value}: the value's low 16
//   bits are the code and bits 16..23 the prefix. Valid only when K == (file size - 4) / 8.
//
// Filled on the GUI thread (the keyboard page reads the files); the lookups change nothing.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vt::base {

struct KeySeqEntry {
    int16_t code;
    uint8_t prefix;
    uint8_t reserved;
};
static_assert(sizeof(KeySeqEntry) == 4);
using KeySeqBlock = std::array<KeySeqEntry, 10>;
static_assert(sizeof(KeySeqBlock) == 40);

// A key's code: its scan code and prefix (1 marks an extended key).
struct KeyCode {
    int16_t code = 0;
    uint8_t prefix = 0;
    bool operator==(const KeyCode&) const = default;
};

struct KeyDefRecord {
    int32_t keyId = 0;
    std::wstring name;
    int16_t valueA = -1;             // carried unchanged
    int16_t valueB = -1;             // 0x55: the key is named with the extended bit
    std::array<KeySeqBlock, 4> sequences{};
    int16_t scanCode = 0;            // derived from block 0
    uint8_t prefix = 0;              // derived from block 0
};

// Orders key ids as unsigned 32-bit numbers.
struct UnsignedIdLess {
    bool operator()(int32_t a, int32_t b) const { return uint32_t(a) < uint32_t(b); }
};

class KeyTable {
public:
    // The usable key of this id, or null.
    const KeyDefRecord* FindKey(int32_t keyId) const;
    // The derived code of the usable key of this id; {0, 0} when there is none.
    KeyCode GetKeyCode(int32_t keyId) const;
    // The id of the first usable key (ids in unsigned order) whose derived code equals the packed
    // code (scan code in bits 0..15, prefix in bits 16..23); 0 when none.
    int32_t FindKeyIdByCode(uint32_t packedCode) const;
    // The default code of a key from the defaults file; false (and {0, 0}) when it has none.
    bool GetDefaultCode(int32_t keyId, KeyCode& code) const;

    // Forgets everything read (tests start afresh with it).
    void Reset();

    bool IsParsed() const { return m_parsed; }
    // The result of the parse of the definition file (false before any).
    bool ParseSucceeded() const { return m_parseResult; }

    std::vector<KeyDefRecord> m_allKeys;                             // every record, file order
    std::map<int32_t, KeyDefRecord, UnsignedIdLess> m_keysById;      // usable keys; later id wins
    std::map<int32_t, KeyCode> m_defaultCodes;                       // from the defaults file
    bool m_parsed = false;        // a definition file with data has been parsed
    bool m_parseResult = false;   // what that parse answered
};

// The program's one key table.
KeyTable& GlobalKeyTable();

// djb2: h = 5381, then h = h * 33 + c for every UTF-16 unit, in 32-bit wrap-around arithmetic.
int32_t KeyNameHash(std::wstring_view name);
// False for the names "DO NOT USE", "UNASSIGNED", "RESERVED" and "None" (any case) and when the
// first code of block 0 is negative.
bool IsUsableKey(const KeyDefRecord& record);
// Scan code and prefix derived from a make sequence: e0's code when e0 has no prefix; otherwise e0's
// prefix and the code of the last of the entries e1, e2, ... (at most e8) with a code and no prefix,
// or e0's code when e1 is not such an entry.
KeyCode DeriveScanCode(const KeySeqBlock& block);

// Parses a definition file into table. No data (null or size <= 0): false, nothing read, not marked
// parsed. A definition is parsed once: a later call answers the first parse's result without reading.
// True only when the data ends exactly after record N-1 (N > 0). A record that would run past the
// end, or a negative length, stops the parse with false; the records read before it are kept.
bool ParseKeyDefinitions(const void* data, int64_t size, KeyTable& table);
// Parses a key defaults file into table's default codes (a later entry for an id replaces an earlier
// one). False when the data is shorter than 4 bytes or its count does not match its size.
bool ParseKeyDefaults(const void* data, KeyTable& table, int64_t size);

// Lookups on the program's key table.
KeyCode GetKeyCode(int32_t keyId);
int32_t FindKeyIdByCode(uint32_t packedCode);

} // namespace vt::base
