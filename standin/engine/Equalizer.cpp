#include "Equalizer.h"

namespace vt::engine {
namespace {

class Equalizer : public ComObject<IVtEqualizer, IVtEQGain>, ProfileItem {
public:
    Equalizer(EnginePtr e, uint32_t pid, GUID id) : ComObject(std::move(e)), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetInfo(VtEqualizerInfo* info) override {
        ENTER("IVtEqualizer.GetInfo", L"");
        if (!info) return E_POINTER;
        info->TotalBand = kBands;
        info->SupportFeature = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsEnable(LONG* on) override {
        ENTER("IVtEqualizer.IsEnable", L"");
        if (!on) return E_POINTER;
        return ReadProfile(*m_e, [&](const Profile& p) { *on = p.eqOn ? 1 : 0; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE Enable(LONG on) override {
        ENTER("IVtEqualizer.Enable", std::to_wstring(on));
        return WriteProfile(*m_e, [&](Profile& p, Events&) { p.eqOn = on != 0; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE QueryGainRange(ULONG band, SHORT* mn, SHORT* mx) override {
        ENTER("IVtEQGain.QueryGainRange", U(band));
        if (!mn || !mx) return E_POINTER;
        if (band >= kBands) return E_INVALIDARG;
        *mn = kGainMin;
        *mx = kGainMax;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetGain(ULONG band, SHORT gain) override {
        ENTER("IVtEQGain.SetGain", U(band) + L" " + std::to_wstring(gain));
        if (band >= kBands || gain < kGainMin || gain > kGainMax) return E_INVALIDARG;
        return WriteProfile(*m_e, [&](Profile& p, Events&) { p.gains[band] = gain; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetGain(ULONG band, SHORT* gain) override {
        ENTER("IVtEQGain.GetGain", U(band));
        if (!gain) return E_POINTER;
        if (band >= kBands) return E_INVALIDARG;
        return ReadProfile(*m_e, [&](const Profile& p) { *gain = p.gains[band]; return S_OK; });
    }
};

}  // namespace

HRESULT CreateEqualizer(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv) {
    return Hand(new Equalizer(e, pid, id), riid, ppv);
}

}  // namespace vt::engine
