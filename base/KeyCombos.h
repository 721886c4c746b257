#pragma once
// The key-combination actions (cut, copy, paste, ...): numbers 1..17 and their names. The
// predefined macros are keyed by these numbers; the names are language keys ("$cut"), shown
// through the language table. A fixed table, readable from any thread at any time.
#include <cstdint>
#include <span>
#include <string_view>

namespace vt::base {

struct KeyComboName {
    int32_t id;
    const wchar_t* name;
};

// Every key combination, in ascending number order.
std::span<const KeyComboName> KeyComboNames();
// The number of the key combination with this name (compared without regard to ASCII case);
// -1 when no key combination has it.
int32_t FindKeyComboIdByName(std::wstring_view name);
// The name of a key combination, or null when the number has none.
const wchar_t* GetKeyComboName(int32_t id);

} // namespace vt::base
