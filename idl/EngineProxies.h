#pragma once
// The engine's interfaces marshalled without a registry lookup each time.
//
// COM makes a proxy (in a client) or a stub (in the engine) for every interface of every engine
// object that crosses between the two, and for each one it looks up in the registry which
// proxy/stub factory marshals that interface and where its library is: keys and values read
// through the system each time, more than the call that handed the object out costs. Registering
// the engine's proxy/stub factory in an apartment, for each engine interface it marshals, answers
// those lookups there without the registry.
#include <windows.h>
#include <span>

namespace vt {

// The interfaces of every object the engine hands out (not those of the event sinks its clients
// advise).
std::span<const IID* const> EngineObjectInterfaces();

// Registers the engine's proxy/stub factory in the calling thread's apartment (once per apartment
// is enough; again does no harm). Does nothing when the factory is not registered in the system:
// COM then finds none either.
void UseEngineProxiesInThisApartment();

} // namespace vt
