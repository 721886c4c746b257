#pragma once
// The mouse's device-wide settings: report rate (code and the rates offered) and acceleration.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateRateList(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);
HRESULT CreateAcceleration(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
