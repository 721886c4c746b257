#pragma once
// The registered engine stand-in (a second process) reached through COM, with its test control.
#include "device/EngineConnection.h"
#include "VtEngine.h"
#include "win/Handles.h"
#include <string>

namespace vt::test {

class StandinEngine {
public:
    StandinEngine() {
        // A server this process starts inherits its output; it must not outlive the test by its
        // usual idle minute.
        SetEnvironmentVariableW(L"VT_ENGINE_IDLE_SECONDS", L"2");
        vt::device::SetEngineFactory({});  // the engine's own class, through COM
        if (SUCCEEDED(vt::device::CreateEngineManager(manager.Put())) && manager) manager.As(control);
        if (control) control->Reset();
    }
    ~StandinEngine() {
        if (control) {
            control->FailCall(L"*", 0, S_OK);
            control->DelayCall(L"*", 0);
            control->Reset();
        }
    }
    bool Ready() const { return bool(control); }
    std::wstring Log(bool clear = true) {
        BSTR text = nullptr;
        std::wstring s;
        if (control && SUCCEEDED(control->GetCallLog(clear, &text)) && text) s.assign(text, SysStringLen(text));
        SysFreeString(text);
        return s;
    }
    static size_t Lines(const std::wstring& log) {
        size_t n = 0;
        for (wchar_t c : log)
            if (c == L'\n') ++n;
        return n;
    }
    static size_t Calls(const std::wstring& log, const std::wstring& method) {
        size_t n = 0;
        for (size_t at = log.find(method); at != std::wstring::npos; at = log.find(method, at + 1)) ++n;
        return n;
    }

    vt::win::ComPtr<IVtDeviceMgr> manager;
    vt::win::ComPtr<IVtSimControl> control;
};

} // namespace vt::test
