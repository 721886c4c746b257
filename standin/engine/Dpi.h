#pragma once
// A mouse profile's DPI: range, stages, active stage and current DPI; the source of DPI events.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateDpi(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv);

}  // namespace vt::engine
