// The server start of the test twin of VtAudMgr.dll: before the first class object is handed out,
// the server's HID devices become a simulated headset and its audio endpoints fake ones (a
// "Microphone (Velto Corvel)" recording endpoint and a "Speakers (Velto Corvel)" playback endpoint).
// A test in the process that loaded the twin reaches both through the twin's two exports.
#include "audmgr/ServerStart.h"
#include "standin/audio/FakeAudioEndpoints.h"
#include "standin/headset/HeadsetSimulator.h"

#include <memory>
#include <mutex>

namespace {

std::shared_ptr<vt::sim::HeadsetSimulator> g_simulator;
std::shared_ptr<vt::sim::FakeAudioEndpoints> g_endpoints;
std::once_flag g_started;

} // namespace

namespace vt::aud {

void ServerStart() {
    std::call_once(g_started, [] {
        g_simulator = vt::sim::MakeHeadsetSimulator(false);
        SetHidBackend(g_simulator);
        g_endpoints = vt::sim::MakeFakeAudioEndpoints();
        g_endpoints->Add(vt::win::AudioFlow::Capture, L"Microphone (Velto Corvel)");
        g_endpoints->Add(vt::win::AudioFlow::Render, L"Speakers (Velto Corvel)");
        vt::win::SetAudioEndpoints(g_endpoints);
    });
}

} // namespace vt::aud

extern "C" {

// The simulated headset the twin drives (a vt::sim::IHeadsetControl*).
void* VtAudMgrHeadsetSimulator() {
    vt::aud::ServerStart();
    return static_cast<vt::sim::IHeadsetControl*>(g_simulator.get());
}

// The fake endpoints the twin uses (a vt::sim::FakeAudioEndpoints*).
void* VtAudMgrFakeEndpoints() {
    vt::aud::ServerStart();
    return static_cast<vt::sim::FakeAudioEndpoints*>(g_endpoints.get());
}

} // extern "C"
