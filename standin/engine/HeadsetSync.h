#pragma once
// The headset's audio-sync switch.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateHeadsetSync(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
