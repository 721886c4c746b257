#pragma once
// A profile's lighting: the zone list and each zone (on, colour, effect, brightness).
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateLighting(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv);

}  // namespace vt::engine
