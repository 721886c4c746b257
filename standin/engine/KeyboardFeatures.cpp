#include "KeyboardFeatures.h"
#include "EventSource.h"

namespace vt::engine {
namespace {

class KeyboardMode : public ComObject<IVtKeyboardMode> {
public:
    KeyboardMode(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetMode(ULONG* mode) override {
        ENTER("IVtKeyboardMode.GetMode", L"");
        if (!mode) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *mode = d.mode; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetMode(ULONG mode) override {
        ENTER("IVtKeyboardMode.SetMode", U(mode));
        if (mode != 1 && mode != 2) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.mode = mode; return S_OK; });
    }
private:
    uint32_t m_pid;
};

class Recorder : public EventSource<IVtMacroRecorder> {
public:
    Recorder(EnginePtr e, uint32_t pid)
        : EventSource(std::move(e), SourceKey{pid, Source::Recorder, {}}, IID__IOTFMacroRecordingEvents) {}
};

}  // namespace

HRESULT CreateKeyboardMode(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new KeyboardMode(e, pid), riid, ppv);
}

HRESULT CreateRecorder(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new Recorder(e, pid), riid, ppv);
}

}  // namespace vt::engine
