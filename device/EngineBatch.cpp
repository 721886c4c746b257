#include "device/EngineBatch.h"

namespace vt::device {

namespace {
// Made by the thread's outermost batch and deleted when it ends, so nothing is left for the
// thread's exit to destroy.
struct ThreadBatch {
    int depth = 0;
    std::map<std::type_index, std::shared_ptr<void>> stores;
};
thread_local ThreadBatch* t_batch = nullptr;
} // namespace

EngineBatch::EngineBatch() {
    if (!t_batch) t_batch = new ThreadBatch;
    ++t_batch->depth;
}

EngineBatch::~EngineBatch() {
    if (--t_batch->depth > 0) return;
    ThreadBatch* ending = t_batch;
    t_batch = nullptr;
    delete ending;  // releases every kept engine object
}

bool EngineBatch::IsOpen() { return t_batch != nullptr; }

EngineBatch::Stores* EngineBatch::Current() { return t_batch ? &t_batch->stores : nullptr; }

void EngineBatch::Drop() {
    if (!t_batch) return;
    Stores kept;
    kept.swap(t_batch->stores);
}

} // namespace vt::device
