#include "device/EngineBatch.h"
#include <vector>

namespace vt::device {

namespace {
// Made by the thread's outermost batch and deleted when it ends, so nothing is left for the
// thread's exit to destroy.
struct ThreadBatch {
    int depth = 0;
    std::map<std::type_index, std::shared_ptr<void>> stores;
    std::vector<HANDLE> releasing;
};
thread_local ThreadBatch* t_batch = nullptr;

// How long a batch waits for the threads still releasing on its behalf; past it they are left to
// end on their own.
constexpr DWORD kReleaseWaitMs = 10000;

void AwaitThreads(std::vector<HANDLE>& threads) {
    const DWORD start = GetTickCount();
    for (HANDLE h : threads) {
        const DWORD spent = GetTickCount() - start;
        WaitForSingleObject(h, spent < kReleaseWaitMs ? kReleaseWaitMs - spent : 0);
        CloseHandle(h);
    }
    threads.clear();
}
} // namespace

EngineBatch::EngineBatch() {
    if (!t_batch) t_batch = new ThreadBatch;
    ++t_batch->depth;
}

EngineBatch::~EngineBatch() {
    if (--t_batch->depth > 0) return;
    ThreadBatch* ending = t_batch;
    t_batch = nullptr;
    AwaitThreads(ending->releasing);
    delete ending;  // releases every kept engine object
}

void EngineBatch::AwaitAtEnd(HANDLE thread) {
    if (!thread) return;
    if (t_batch) {
        t_batch->releasing.push_back(thread);
        return;
    }
    std::vector<HANDLE> one{thread};
    AwaitThreads(one);
}

bool EngineBatch::IsOpen() { return t_batch != nullptr; }

EngineBatch::Stores* EngineBatch::Current() { return t_batch ? &t_batch->stores : nullptr; }

void EngineBatch::Drop() {
    if (!t_batch) return;
    Stores kept;
    kept.swap(t_batch->stores);
}

} // namespace vt::device
