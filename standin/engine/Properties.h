#pragma once
// A profile's properties: the linked program (256 bytes, or never set) and the link flags.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateProperties(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv);

}  // namespace vt::engine
