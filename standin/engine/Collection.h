#pragma once
// A device's entry collection (numbered, coloured entries; numbers unique) and its 16 key
// entries, offered by one object.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateCollection(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
