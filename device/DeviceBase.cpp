#include "device/DeviceBase.h"
#include "device/ProfileSpread.h"
#include <utility>

namespace vt::device {

namespace {
std::atomic<DWORD> g_pauseMs{500};
std::atomic<DWORD> g_teardownWaitMs{7500};
} // namespace

// Shared by the device and its thread, so a device torn down while its worker still runs frees
// nothing the worker uses.
struct DeviceCore::WorkerState {
    uint32_t productId = 0;
    Job job;
    DWORD pauseMs = 0;
    bool result = false;
    EngineReach reach = EngineReach::EngineUnreachable;
    std::atomic<bool> ended{false};
};

DeviceCore::DeviceCore(const DeviceDescription* description) : m_description(description) {}

DeviceCore::~DeviceCore() {
    if (m_thread) {
        WaitForSingleObject(m_thread, TeardownWait());
        // A worker still running keeps its own state alive; its completion is dropped with us.
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    m_worker.reset();
    m_done = nullptr;
}

void DeviceCore::SetWorkerTimings(DWORD pauseMs, DWORD teardownWaitMs) {
    g_pauseMs = pauseMs;
    g_teardownWaitMs = teardownWaitMs;
}
DWORD DeviceCore::WorkerPause() { return g_pauseMs; }
DWORD DeviceCore::TeardownWait() { return g_teardownWaitMs; }

bool DeviceCore::WorkerRunning() {
    FinishWorker();
    return m_thread != nullptr;
}

bool DeviceCore::ConnectToEngine(EngineConnection& connection) {
    if (WorkerRunning()) return false;
    bool ok = connection.Connect(ProductId());
    m_connected.store(ok);
    m_lastReach.store(ProductId() ? connection.Reach() : EngineReach::DeviceAbsent);
    return ok;
}

bool DeviceCore::RunDeviceJob(const Job& job) {
    EngineConnection connection;
    if (!ConnectToEngine(connection)) return false;
    bool result = job ? job(connection) : false;
    connection.Disconnect();
    return result;
}

bool DeviceCore::StartDeviceWorker(Job job, Completion done) {
    if (WorkerRunning()) return false;
    {
        // The engine and the device must be reachable now; the worker connects again on its own
        // thread, since this thread's engine objects cannot be used there.
        EngineConnection probe;
        if (!ConnectToEngine(probe)) return false;
    }
    auto state = std::make_shared<WorkerState>();
    state->productId = ProductId();
    state->job = std::move(job);
    state->pauseMs = WorkerPause();
    auto* parameter = new std::shared_ptr<WorkerState>(state);
    HANDLE thread = CreateThread(nullptr, 0, &DeviceCore::WorkerProc, parameter, 0, nullptr);
    if (!thread) {
        delete parameter;
        return false;
    }
    m_worker = std::move(state);
    m_thread = thread;
    m_done = std::move(done);
    return true;
}

DWORD WINAPI DeviceCore::WorkerProc(void* parameter) {
    std::unique_ptr<std::shared_ptr<WorkerState>> holder(static_cast<std::shared_ptr<WorkerState>*>(parameter));
    WorkerState& state = **holder;
    bool result = false;
    DWORD written = GetTickCount();
    {
        vt::win::ComInit com(COINIT_MULTITHREADED);
        if (SUCCEEDED(com.Result()) || com.Result() == RPC_E_CHANGED_MODE) {
            EngineConnection connection;
            if (connection.Connect(state.productId) && state.job) result = state.job(connection);
            written = GetTickCount();
            state.reach = connection.Reach();
            // The pause below starts with the write's end: the job's engine objects are released
            // within it, those of its other threads included.
            connection.Disconnect();
            ProfileSpread::AwaitReleases();
        }
        // Engine objects the job kept must go while COM is still initialised on this thread.
        state.job = nullptr;
    }
    const DWORD spent = GetTickCount() - written;
    if (state.pauseMs > spent) Sleep(state.pauseMs - spent);
    state.result = result;
    state.ended.store(true, std::memory_order_release);
    return result ? 1 : 0;
}

void DeviceCore::FinishWorker() {
    if (!m_thread || !m_worker || !m_worker->ended.load(std::memory_order_acquire)) return;
    // The worker has set its result; its thread only returns from here on.
    WaitForSingleObject(m_thread, 5000);
    CloseHandle(m_thread);
    m_thread = nullptr;
    bool result = m_worker->result;
    m_lastReach.store(m_worker->reach);
    m_worker.reset();
    m_lastWrite = result ? kWriteSucceeded : kWriteFailed;
    Completion done = std::move(m_done);
    m_done = nullptr;
    if (done) done(result);
}

bool DeviceCore::IsBusy() {
    return WorkerRunning();
}

bool DeviceCore::WaitForWorker(DWORD ms) {
    if (m_thread) {
        DWORD start = GetTickCount();
        while (m_worker && !m_worker->ended.load(std::memory_order_acquire)) {
            if (GetTickCount() - start >= ms) break;
            Sleep(5);
        }
    }
    return !WorkerRunning();
}

void DeviceCore::ResetDevice() {
    m_connected.store(false);
    m_keyList.clear();
    m_snapshot->Clear();
}

} // namespace vt::device
