#pragma once
// A connection to the device engine made on a thread of its own while the main window is built.
// The window's first device read then finds the engine's libraries loaded, the process's call
// channel set up and, when the engine was not running yet, its server already starting. The
// thread keeps its apartment (and with it those libraries) until Release, and never waits on the
// window: Release and the destructor return at once, and the thread ends on its own.
#include <windows.h>
#include <functional>
#include <memory>

namespace vt::config {

class EngineWarmUp {
public:
    // connect: makes and drops one connection; runs on the warm-up thread, in its own apartment.
    explicit EngineWarmUp(std::function<void()> connect);
    ~EngineWarmUp();
    EngineWarmUp(const EngineWarmUp&) = delete;
    EngineWarmUp& operator=(const EngineWarmUp&) = delete;

    // Lets the thread leave its apartment and end. Once is enough; later calls do nothing.
    void Release();
    // Waits at most ms for the connection attempt to be over (tests).
    bool WaitConnected(DWORD ms) const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;   // with the thread, which may outlive this object
};

} // namespace vt::config
