#pragma once
// The keyboard's mode (1 normal, 2 capturing or recording) and its macro recorder, which is only
// an event source: the recording itself is driven by test control.
#include "ComObject.h"

namespace vt::engine {

HRESULT CreateKeyboardMode(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);
HRESULT CreateRecorder(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv);

}  // namespace vt::engine
