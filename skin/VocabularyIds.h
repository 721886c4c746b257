#pragma once
// Control ids of the skin vocabulary: one constant per skin element name, valued by its control id.
// Pages use these to find their items (the page files write the same names as text).
#include <cstdint>

namespace vt::skin::ctl {

enum ControlId : int32_t {
#define VT_CONTROL(name, id) name = id,
#include "skin/ControlNames.inc"
#undef VT_CONTROL
};

} // namespace vt::skin::ctl
