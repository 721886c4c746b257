#pragma once
// The registered engine stand-in (a second process), reached through COM the way the tray reaches
// it, reset to its factory state for each test.
#include "TrayTestEngine.h"

namespace vt::test {

class RegisteredTrayEngine : public TrayTestEngine {
public:
    RegisteredTrayEngine() {
        // A server this process starts inherits its environment: it must not outlive the test by
        // its usual idle minute.
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"3");
        if (SUCCEEDED(vt::tray::System().createEngine(manager.Put())) && manager) manager.As(control);
        if (control) control->Reset();
    }
    ~RegisteredTrayEngine() override {
        if (control) {
            control->FailCall(L"*", 0, S_OK);
            control->Reset();
        }
    }
};

} // namespace vt::test
