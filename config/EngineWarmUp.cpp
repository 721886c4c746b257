#include "config/EngineWarmUp.h"
#include <objbase.h>
#include <atomic>

namespace vt::config {

namespace {
// How long the thread keeps its apartment when nobody releases it.
constexpr DWORD kLongestHold = 30000;
} // namespace

struct EngineWarmUp::Shared {
    std::function<void()> connect;
    HANDLE connected = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> holders{1};
    ~Shared() {
        if (connected) CloseHandle(connected);
        if (released) CloseHandle(released);
    }
    void Drop() {
        if (--holders == 0) delete this;
    }
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<Shared*>(param);
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(com) && self->connect) self->connect();
        SetEvent(self->connected);
        WaitForSingleObject(self->released, kLongestHold);
        if (SUCCEEDED(com)) CoUninitialize();
        self->Drop();
        return 0;
    }
};

EngineWarmUp::EngineWarmUp(std::function<void()> connect) : m_shared(new Shared) {
    m_shared->connect = std::move(connect);
    if (!m_shared->connected || !m_shared->released) {
        SetEvent(m_shared->connected);
        return;
    }
    ++m_shared->holders;
    HANDLE thread = CreateThread(nullptr, 0, &Shared::Run, m_shared, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        --m_shared->holders;
        SetEvent(m_shared->connected);
    }
}

EngineWarmUp::~EngineWarmUp() {
    Release();
    m_shared->Drop();
}

void EngineWarmUp::Release() {
    if (m_shared->released) SetEvent(m_shared->released);
}

bool EngineWarmUp::WaitConnected(DWORD ms) const {
    return m_shared->connected && WaitForSingleObject(m_shared->connected, ms) == WAIT_OBJECT_0;
}

} // namespace vt::config
