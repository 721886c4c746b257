#pragma once
// The engine core hosted in this process behind the tray's engine seam. Its events arrive on the
// engine's own delivery thread; WaitEvents() returns once they are delivered.
#include "Engine.h"
#include "TrayTestEngine.h"

namespace vt::test {

class InProcessTrayEngine : public TrayTestEngine {
public:
    InProcessTrayEngine() {
        vt::engine::EngineOptions o;
        o.persist = false;
        o.notifyWindows = false;
        engine = vt::engine::Engine::Create(o);
        std::shared_ptr<vt::engine::Engine> e = engine;
        vt::tray::System().createEngine = [e](IVtDeviceMgr** out) -> HRESULT {
            return vt::engine::CreateDeviceManager(e, IID_IVtDeviceMgr, reinterpret_cast<void**>(out));
        };
        vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, manager.PutVoid());
        manager.As(control);
    }
    ~InProcessTrayEngine() override {
        control.Reset();
        manager.Reset();
        vt::tray::ResetTraySystem();
    }
    bool WaitEvents() { return engine->WaitEventsIdle(5000); }

    std::shared_ptr<vt::engine::Engine> engine;
};

} // namespace vt::test
