#pragma once
// The engine core hosted in this process behind the engine-factory seam, with its test control.
#include "device/DeviceBase.h"
#include "device/EngineConnection.h"
#include "Engine.h"
#include "VtEngine.h"
#include "win/Handles.h"
#include <string>

namespace vt::test {

class InProcessEngine {
public:
    InProcessEngine() {
        vt::engine::EngineOptions o;
        o.persist = false;
        o.notifyWindows = false;
        engine = vt::engine::Engine::Create(o);
        std::shared_ptr<vt::engine::Engine> e = engine;
        vt::device::SetEngineFactory([e](IVtDeviceMgr** out) -> HRESULT {
            return vt::engine::CreateDeviceManager(e, IID_IVtDeviceMgr, reinterpret_cast<void**>(out));
        });
        vt::engine::CreateDeviceManager(engine, IID_IVtDeviceMgr, manager.PutVoid());
        manager.As(control);
    }
    ~InProcessEngine() {
        vt::device::SetEngineFactory({});
        control.Reset();
        manager.Reset();
    }
    std::wstring Log(bool clear = true) {
        BSTR text = nullptr;
        std::wstring s;
        if (control && SUCCEEDED(control->GetCallLog(clear, &text)) && text) s.assign(text, SysStringLen(text));
        SysFreeString(text);
        return s;
    }
    size_t Calls(const std::wstring& log, const std::wstring& method) {
        size_t n = 0;
        for (size_t at = log.find(method); at != std::wstring::npos; at = log.find(method, at + 1)) ++n;
        return n;
    }

    std::shared_ptr<vt::engine::Engine> engine;
    vt::win::ComPtr<IVtDeviceMgr> manager;
    vt::win::ComPtr<IVtSimControl> control;
};

} // namespace vt::test
