#pragma once
// Row arrays the vocabulary tables are filled from (internal to the vocabulary).
#include <cstddef>
#include <cstdint>

namespace vt::skin::detail {

struct VocabRow {
    int32_t key;
    const wchar_t* name;
};

extern const VocabRow kControlRows[];
extern const size_t kControlRowCount;

} // namespace vt::skin::detail
