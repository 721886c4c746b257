#include "config/EngineWarmUp.h"
#include <objbase.h>
#include <system_error>
#include <thread>

namespace vt::config {

namespace {
// How long the thread keeps its apartment when nobody releases it.
constexpr DWORD kLongestHold = 30000;
} // namespace

struct EngineWarmUp::Shared {
    HANDLE connected = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Shared() {
        if (connected) CloseHandle(connected);
        if (released) CloseHandle(released);
    }
};

EngineWarmUp::EngineWarmUp(std::function<void()> connect) : m_shared(std::make_shared<Shared>()) {
    if (m_shared->connected && m_shared->released) {
        try {
            std::thread([shared = m_shared, connect = std::move(connect)] {
                const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                if (SUCCEEDED(com) && connect) connect();
                SetEvent(shared->connected);
                WaitForSingleObject(shared->released, kLongestHold);
                if (SUCCEEDED(com)) CoUninitialize();
            }).detach();
            return;
        } catch (const std::system_error&) {
            // No thread: the first read connects as it would have.
        }
    }
    if (m_shared->connected) SetEvent(m_shared->connected);
}

EngineWarmUp::~EngineWarmUp() { Release(); }

void EngineWarmUp::Release() {
    if (m_shared->released) SetEvent(m_shared->released);
}

bool EngineWarmUp::WaitConnected(DWORD ms) const {
    return m_shared->connected && WaitForSingleObject(m_shared->connected, ms) == WAIT_OBJECT_0;
}

} // namespace vt::config
