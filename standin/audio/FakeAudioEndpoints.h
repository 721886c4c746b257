#pragma once
// Fake Windows audio endpoints for tests: named render and capture endpoints whose volume, mute and
// automatic gain a test reads and changes, and whose change callbacks it can fire from a thread of
// the fake's own, as the system's audio threads do.
#include "win/AudioEndpoints.h"

#include <memory>
#include <string>

namespace vt::sim {

class FakeAudioEndpoints : public vt::win::IAudioEndpoints {
public:
    struct State {
        float level = 0.5f;
        bool muted = false;
        bool autoGain = false;
        unsigned setVolumeCalls = 0, setMuteCalls = 0;
    };
    // Adds an endpoint; answers its index.
    virtual int Add(vt::win::AudioFlow flow, const std::wstring& name, bool active = true) = 0;
    virtual State Get(int index) = 0;
    virtual void Set(int index, const State& state) = 0;
    // Changes the endpoint as another program would, and fires the listener's callbacks from a
    // thread of the fake's own; waits for that thread to finish.
    virtual void ChangeFromOutside(int index, float level, bool muted, bool autoGain) = 0;
};

std::shared_ptr<FakeAudioEndpoints> MakeFakeAudioEndpoints();

} // namespace vt::sim
