#pragma once
// A profile's action records: the mouse's button assignments (by engine button index, the
// buttons of the device's mask) and the keyboard's assignment table (by engine key code).
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateButtons(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv);
HRESULT CreateKeyTable(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv);

}  // namespace vt::engine
