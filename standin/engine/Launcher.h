#pragma once
// A device's program launcher: its entries (a path each) and the source of launch events.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateLauncher(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
