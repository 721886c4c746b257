#include "MouseFeatures.h"

namespace vt::engine {
namespace {

class RateList : public ComObject<IVtRateList> {
public:
    RateList(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetRate(ULONG* code) override {
        ENTER("IVtRateList.GetRate", L"");
        if (!code) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *code = d.rate; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetRate(ULONG code) override {
        ENTER("IVtRateList.SetRate", U(code));
        if (!FindDeviceValueRule(Mouse, L"rate")->valid(code)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.rate = code; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetRateList(ULONG* count, ULONG** rates) override {
        ENTER("IVtRateList.GetRateList", L"");
        if (!count || !rates) return E_POINTER;
        *count = 0;
        *rates = static_cast<ULONG*>(CoTaskMemAlloc(3 * sizeof(ULONG)));
        if (!*rates) return E_OUTOFMEMORY;
        (*rates)[0] = 125;
        (*rates)[1] = 500;
        (*rates)[2] = 1000;
        *count = 3;
        return S_OK;
    }
private:
    uint32_t m_pid;
};

class Acceleration : public ComObject<IVtAcceleration> {
public:
    Acceleration(EnginePtr e, uint32_t pid) : ComObject(std::move(e)), m_pid(pid) {}
    HRESULT STDMETHODCALLTYPE GetAcceleration(ULONG* v) override {
        ENTER("IVtAcceleration.GetAcceleration", L"");
        if (!v) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *v = d.accel; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetAcceleration(ULONG v) override {
        ENTER("IVtAcceleration.SetAcceleration", U(v));
        if (!FindDeviceValueRule(Mouse, L"acceleration")->valid(v)) return E_INVALIDARG;
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.accel = v; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE IsEnabled(LONG* on) override {
        ENTER("IVtAcceleration.IsEnabled", L"");
        if (!on) return E_POINTER;
        return m_e->Read(m_pid, [&](const Device& d) { *on = d.accelOn ? 1 : 0; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Enable() override {
        ENTER("IVtAcceleration.Enable", L"");
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.accelOn = true; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Disable() override {
        ENTER("IVtAcceleration.Disable", L"");
        return m_e->Write(m_pid, [&](Device& d, Events&) { d.accelOn = false; return S_OK; });
    }
private:
    uint32_t m_pid;
};

}  // namespace

HRESULT CreateRateList(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new RateList(e, pid), riid, ppv);
}

HRESULT CreateAcceleration(const EnginePtr& e, uint32_t pid, REFIID riid, void** ppv) {
    return Hand(new Acceleration(e, pid), riid, ppv);
}

}  // namespace vt::engine
