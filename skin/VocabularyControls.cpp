// Skin element names by control id, from the one list of skin/ControlNames.inc.
#include "skin/VocabularyData.h"

namespace vt::skin::detail {

const VocabRow kControlRows[] = {
#define VT_CONTROL(name, id) {id, L"" #name},
#include "skin/ControlNames.inc"
#undef VT_CONTROL
};

const size_t kControlRowCount = sizeof(kControlRows) / sizeof(kControlRows[0]);

} // namespace vt::skin::detail
