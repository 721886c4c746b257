#pragma once
// Profiles: the profile manager of a device (list, active profile, create, delete, import; the
// source of profile events) and each profile (name, export, and its features).
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateProfileManager(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
