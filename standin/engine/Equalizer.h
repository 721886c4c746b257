#pragma once
// A headset profile's equaliser: its switch and the gain of each band.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateEqualizer(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv);

}  // namespace vt::engine
