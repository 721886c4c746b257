#pragma once
// The one step the server takes before it hands out its first class object: the place where a build
// of the server chooses the devices it talks to. VtAudMgr.dll links an empty step
// (ServerStartNone.cpp) and talks to the system's HID devices and audio endpoints; the test twin of
// the server links a step that plugs in the headset simulator and fake endpoints
// (standin/headset/TwinServerStart.cpp).

namespace vt::aud {

// Called on every DllGetClassObject, before anything else runs; runs its work at most once.
void ServerStart();

} // namespace vt::aud
