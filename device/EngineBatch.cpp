#include "device/EngineBatch.h"
#include <objbase.h>

namespace vt::device {

namespace {
// Made by the thread's outermost batch and deleted when it ends, so nothing is left for the
// thread's exit to destroy.
struct ThreadBatch {
    int depth = 0;
    EngineBatch::Ending ending = EngineBatch::Ending::WhenIdle;
    std::map<std::type_index, std::shared_ptr<void>> stores;
};
thread_local ThreadBatch* t_batch = nullptr;

// The batch that ended on a thread of a single-threaded apartment, whose objects are released once
// the thread's message loop is idle (its timer), or before its next batch opens (so there is never
// more than one).
thread_local ThreadBatch* t_ended = nullptr;
thread_local UINT_PTR t_timer = 0;

void CALLBACK ReleaseEndedNow(HWND, UINT, UINT_PTR, DWORD) { EngineBatch::ReleaseEnded(); }

// Releases what a thread left before it leaves its apartment, whose proxies could not be released
// after it. One per thread that ever left anything, registered once and kept for the thread's life.
class LeavingApartment : public IInitializeSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = (riid == IID_IUnknown || riid == IID_IInitializeSpy) ? static_cast<IInitializeSpy*>(this) : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT hr, DWORD, DWORD) override { return hr; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD refs) override {
        if (refs <= 1) EngineBatch::ReleaseEnded();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};
thread_local int t_watching = 0;  // 1 watched, -1 cannot be, 0 not tried yet

// Whether the thread can leave what its batch kept for later: its apartment's end is watched.
bool WatchApartmentEnd() {
    if (t_watching == 0) {
        // Never deleted: the system may hold it until the thread ends.
        auto* spy = new LeavingApartment;
        ULARGE_INTEGER cookie{};
        t_watching = SUCCEEDED(CoRegisterInitializeSpy(spy, &cookie)) ? 1 : -1;
        if (t_watching < 0) delete spy;
    }
    return t_watching > 0;
}
} // namespace

bool InSingleThreadedApartment() {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && (type == APTTYPE_STA || type == APTTYPE_MAINSTA);
}

EngineBatch::EngineBatch(Ending ending) {
    if (!t_batch) {
        ReleaseEnded();
        t_batch = new ThreadBatch;
        t_batch->ending = ending;
    }
    ++t_batch->depth;
}

EngineBatch::~EngineBatch() {
    if (--t_batch->depth > 0) return;
    ThreadBatch* ending = t_batch;
    t_batch = nullptr;
    if (ending->ending == Ending::WhenIdle && InSingleThreadedApartment() && WatchApartmentEnd()) {
        if (!t_timer) t_timer = SetTimer(nullptr, 0, 0, &ReleaseEndedNow);
        if (t_timer) {
            t_ended = ending;
            return;
        }
    }
    delete ending;  // releases every kept engine object
}

void EngineBatch::ReleaseEnded() {
    if (t_timer) {
        KillTimer(nullptr, t_timer);
        t_timer = 0;
    }
    ThreadBatch* ended = t_ended;
    t_ended = nullptr;
    delete ended;
}

bool EngineBatch::IsOpen() { return t_batch != nullptr; }

EngineBatch::Stores* EngineBatch::Current() { return t_batch ? &t_batch->stores : nullptr; }

void EngineBatch::Drop() {
    if (!t_batch) return;
    Stores kept;
    kept.swap(t_batch->stores);
}

} // namespace vt::device
