#include "Dpi.h"
#include <algorithm>
#include "EventSource.h"

namespace vt::engine {
namespace {

class Dpi : public EventSource<IVtDpi>, ProfileItem {
public:
    Dpi(EnginePtr e, uint32_t pid, GUID id)
        : EventSource(std::move(e), SourceKey{pid, Source::Dpi, id}, IID__IDPIEvents), ProfileItem(pid, id) {}
    HRESULT STDMETHODCALLTYPE GetStageCapacity(ULONG* a, ULONG* maxStages) override {
        ENTER("IVtDpi.GetStageCapacity", L"");
        if (!a || !maxStages) return E_POINTER;
        return ReadProfile(*m_e, [&](const Profile& p) { *a = 1; *maxStages = p.maxStages; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetDpiRange(ULONG* mn, ULONG* mx, ULONG* step) override {
        ENTER("IVtDpi.GetDpiRange", L"");
        if (!mn || !mx || !step) return E_POINTER;
        return ReadProfile(*m_e, [&](const Profile& p) { *mn = p.dpiMin; *mx = p.dpiMax; *step = p.dpiStep; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE GetDpiStages(ULONG* count, VtDpiStage** stages) override {
        ENTER("IVtDpi.GetDpiStages", L"");
        if (!count || !stages) return E_POINTER;
        *count = 0;
        *stages = nullptr;
        return ReadProfile(*m_e, [&](const Profile& p) -> HRESULT {
            auto* a = static_cast<VtDpiStage*>(CoTaskMemAlloc(p.stages.size() * sizeof(VtDpiStage)));
            if (!a) return E_OUTOFMEMORY;
            std::copy(p.stages.begin(), p.stages.end(), a);
            *stages = a;
            *count = ULONG(p.stages.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetDpiStages(ULONG count, const VtDpiStage* stages) override {
        ENTER("IVtDpi.SetDpiStages", U(count));
        if (!stages) return E_POINTER;
        return WriteProfile(*m_e, [&](Profile& p, Events&) -> HRESULT {
            if (count < 1 || count > p.maxStages) return E_INVALIDARG;
            for (ULONG i = 0; i < count; ++i)
                if (stages[i].X < p.dpiMin || stages[i].X > p.dpiMax || stages[i].Y < p.dpiMin || stages[i].Y > p.dpiMax)
                    return E_INVALIDARG;
            p.stages.assign(stages, stages + count);
            if (p.activeStage > count) p.activeStage = count;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetActiveStage(ULONG* stage) override {
        ENTER("IVtDpi.GetActiveStage", L"");
        if (!stage) return E_POINTER;
        return ReadProfile(*m_e, [&](const Profile& p) { *stage = p.activeStage; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetActiveStage(ULONG stage) override {
        ENTER("IVtDpi.SetActiveStage", U(stage));
        return WriteProfile(*m_e, [&](Profile& p, Events& ev) -> HRESULT {
            if (stage < 1 || stage > p.stages.size()) return E_INVALIDARG;
            p.activeStage = stage;
            Change(p, ev, p.stages[stage - 1].X, p.stages[stage - 1].Y);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetDpi(ULONG* x, ULONG* y) override {
        ENTER("IVtDpi.GetDpi", L"");
        if (!x || !y) return E_POINTER;
        return ReadProfile(*m_e, [&](const Profile& p) { *x = p.dpiX; *y = p.dpiY; return S_OK; });
    }
    HRESULT STDMETHODCALLTYPE SetDpi(ULONG x, ULONG y) override {
        ENTER("IVtDpi.SetDpi", U(x) + L" " + U(y));
        return WriteProfile(*m_e, [&](Profile& p, Events& ev) -> HRESULT {
            if (x < p.dpiMin || x > p.dpiMax || y < p.dpiMin || y > p.dpiMax) return E_INVALIDARG;
            Change(p, ev, x, y);
            return S_OK;
        });
    }
private:
    void Change(Profile& p, Events& ev, uint32_t x, uint32_t y) {
        if (p.dpiX == x && p.dpiY == y) return;
        p.dpiX = x;
        p.dpiY = y;
        ev.push_back({m_key, EventKind::DpiChanged, x, y});
    }
};

}  // namespace

HRESULT CreateDpi(const EnginePtr& e, uint32_t pid, GUID id, REFIID riid, void** ppv) {
    return Hand(new Dpi(e, pid, id), riid, ppv);
}

}  // namespace vt::engine
