#pragma once
// A present device: its identity and information, and the features it offers.
#include "ComObject.h"

namespace vt::engine {

IVtDevice* NewDeviceObject(const EnginePtr& e, uint32_t pid);

}  // namespace vt::engine
