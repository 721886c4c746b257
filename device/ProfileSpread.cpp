#include "device/ProfileSpread.h"
#include "device/EngineBatch.h"
#include "win/Handles.h"
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace vt::device {

namespace {

std::atomic<size_t> g_threads{4};
std::atomic<DWORD> g_waitMs{60000};

struct SpreadState {
    ProfileSpread::Piece piece;
    std::shared_ptr<void> keep;
    size_t count = 0;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    // One per other thread, set once it ran out of pieces (before it releases what its batch
    // kept). Closed with the state, which the caller and every thread hold.
    std::vector<HANDLE> done;
    ~SpreadState() {
        for (HANDLE h : done) CloseHandle(h);
    }
};

void TakePieces(SpreadState& state, size_t slot) {
    for (size_t i = state.next++; i < state.count; i = state.next++)
        if (!state.piece(i, slot)) state.failed = true;
}

struct ThreadStart {
    std::shared_ptr<SpreadState> state;
    size_t slot = 0;
    HANDLE done = nullptr;  // the state's, closed with it
};

DWORD WINAPI SpreadThread(void* parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    vt::win::ComInit com(COINIT_MULTITHREADED);
    const HANDLE done = start->done;
    // A thread that cannot join the apartment leaves its pieces to the others.
    if (SUCCEEDED(com.Result())) {
        EngineBatch batch;
        TakePieces(*start->state, start->slot);
        // The caller goes on from here; the objects this thread's batch kept are released while
        // it does (each release is a round trip of its own).
        SetEvent(done);
    } else {
        SetEvent(done);
    }
    // Whatever the pieces hold goes while this thread is still in the apartment.
    start.reset();
    return 0;
}

// Threads still releasing what their batches kept, waited for by AwaitReleases and, at the
// latest, when the process ends.
class Releasing {
public:
    ~Releasing() { Await(kReleaseWaitMs); }
    void Add(HANDLE thread) {
        std::lock_guard<std::mutex> lock(m_lock);
        // Those that ended meanwhile are let go here, so the list never grows with a long session.
        for (auto it = m_threads.begin(); it != m_threads.end();) {
            if (WaitForSingleObject(*it, 0) != WAIT_OBJECT_0) {
                ++it;
                continue;
            }
            CloseHandle(*it);
            it = m_threads.erase(it);
        }
        m_threads.push_back(thread);
    }
    void Await(DWORD ms) {
        std::vector<HANDLE> threads;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            threads.swap(m_threads);
        }
        const DWORD start = GetTickCount();
        for (HANDLE h : threads) {
            const DWORD spent = GetTickCount() - start;
            WaitForSingleObject(h, spent < ms ? ms - spent : 0);
            CloseHandle(h);
        }
    }
    static constexpr DWORD kReleaseWaitMs = 10000;

private:
    std::mutex m_lock;
    std::vector<HANDLE> m_threads;
};
Releasing g_releasing;

bool InSingleThreadedApartment() {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && (type == APTTYPE_STA || type == APTTYPE_MAINSTA);
}

} // namespace

void ProfileSpread::AwaitReleases() { g_releasing.Await(Releasing::kReleaseWaitMs); }

void ProfileSpread::SetThreads(size_t threads) { g_threads = std::max<size_t>(1, threads); }
size_t ProfileSpread::Threads() { return g_threads; }
void ProfileSpread::SetWait(DWORD ms) { g_waitMs = ms; }

ProfileSpread::Outcome ProfileSpread::Run(size_t count, Piece piece, std::shared_ptr<void> keep) {
    Outcome outcome;
    if (count == 0 || !piece) return outcome;
    auto state = std::make_shared<SpreadState>();
    state->piece = std::move(piece);
    state->keep = std::move(keep);
    state->count = count;
    std::vector<HANDLE> threads;
    // A caller in a single-threaded apartment leaves the pieces to the others: the engine objects
    // it fetched could only be released on its own thread, one after another, once its batch ends.
    const bool callerTakes = Threads() == 1 || count == 1 || !InSingleThreadedApartment();
    const size_t others = std::min(Threads(), count) - (callerTakes ? 1 : 0);
    for (size_t slot = 1; slot <= others; ++slot) {
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!done) break;
        state->done.push_back(done);
        auto* start = new ThreadStart{state, slot, done};
        HANDLE h = CreateThread(nullptr, 0, &SpreadThread, start, 0, nullptr);
        if (!h) {
            delete start;
            break;
        }
        threads.push_back(h);
    }
    if (callerTakes || threads.empty()) TakePieces(*state, 0);
    if (!threads.empty()) {
        const DWORD waited = WaitForMultipleObjects(DWORD(threads.size()), state->done.data(), TRUE, g_waitMs);
        outcome.ended = waited < WAIT_OBJECT_0 + threads.size();
        // Their releases go on while the caller does what comes next. Threads past the wait are
        // left to end on their own.
        for (HANDLE h : threads) outcome.ended ? g_releasing.Add(h) : void(CloseHandle(h));
        // What no thread took (one that could not join the apartment) runs here.
        if (outcome.ended) TakePieces(*state, 0);
    }
    outcome.ok = outcome.ended && !state->failed;
    return outcome;
}

} // namespace vt::device
