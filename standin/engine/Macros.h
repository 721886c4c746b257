#pragma once
// A device's macro store (list, create, delete, import) and each macro (name, events, export).
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateMacroStore(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
