#include "device/ProfileSpread.h"
#include "device/EngineBatch.h"
#include "win/Handles.h"
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vt::device {

namespace {

std::atomic<size_t> g_threads{4};
std::atomic<DWORD> g_waitMs{60000};

// How long a thread of a crew waits for its next run before it ends on its own (its caller's
// batch normally ends the crew long before).
constexpr DWORD kIdleMs = 30000;

// One run's pieces.
struct Job {
    ProfileSpread::Piece piece;
    std::shared_ptr<void> keep;
    size_t count = 0;
    std::atomic<bool> failed{false};
    // Each piece is taken once, first by its preferred slot's thread (when it has one).
    std::vector<size_t> preferred;
    std::unique_ptr<std::atomic<bool>[]> taken;
};

void TakePieces(Job& job, size_t slot) {
    auto run = [&](size_t i) {
        if (!job.taken[i].exchange(true) && !job.piece(i, slot)) job.failed = true;
    };
    for (size_t i = 0; i < job.count && i < job.preferred.size(); ++i)
        if (job.preferred[i] == slot) run(i);
    // Then whatever the others have not taken yet.
    for (size_t i = 0; i < job.count; ++i) run(i);
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

// The threads that take pieces for one caller. Each joins the multithreaded apartment and keeps
// one engine batch for its whole life, so what it fetched for one run (its connection, profiles,
// feature objects, zones) serves the next run of the same caller as well; its slot stays the
// same. A crew ends with its caller's batch (or with its run, for a caller without one): its
// threads then release what their batches kept while the caller goes on.
class Crew : public std::enable_shared_from_this<Crew> {
public:
    ~Crew() {
        for (auto& m : m_members) {
            CloseHandle(m->go);
            CloseHandle(m->done);
        }
    }

    // Threads added until there are `members`; false when none could be added and there were none.
    bool Grow(size_t members) {
        std::lock_guard<std::mutex> lock(m_lock);
        while (m_members.size() < members && !m_ending) {
            auto m = std::make_unique<Member>();
            m->go = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            m->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            const size_t slot = m_members.size() + 1;
            auto* start = new Start{shared_from_this(), slot};
            m->thread = (m->go && m->done) ? CreateThread(nullptr, 0, &Crew::ThreadProc, start, 0, nullptr) : nullptr;
            if (!m->thread) {
                delete start;
                if (m->go) CloseHandle(m->go);
                if (m->done) CloseHandle(m->done);
                break;
            }
            m_members.push_back(std::move(m));
        }
        return !m_members.empty();
    }

    // Whether every thread is still there to take a run (one that waited too long has ended).
    bool Usable() {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_ending) return false;
        for (auto& m : m_members)
            if (m->gone) return false;
        return true;
    }

    // Gives the run to every thread; the events each sets once it ran out of pieces.
    std::vector<HANDLE> Dispatch(const std::shared_ptr<Job>& job) {
        std::vector<HANDLE> done;
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& m : m_members) {
            if (m->gone) continue;
            ResetEvent(m->done);
            m->job = job;
            m->pending = true;
            SetEvent(m->go);
            done.push_back(m->done);
        }
        return done;
    }

    // The threads end once they finished what they run; they then release what they kept.
    void End() {
        std::vector<HANDLE> threads;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_ending) return;
            m_ending = true;
            for (auto& m : m_members) {
                SetEvent(m->go);
                threads.push_back(m->thread);
                m->thread = nullptr;
            }
        }
        for (HANDLE h : threads) g_releasing.Add(h);
    }

private:
    struct Member {
        HANDLE thread = nullptr;
        HANDLE go = nullptr;    // auto-reset: a run is pending, or the crew ends
        HANDLE done = nullptr;  // manual-reset: the pending run's pieces ran out
        std::shared_ptr<Job> job;
        bool pending = false;
        bool gone = false;  // ended; takes no more runs
    };
    struct Start {
        std::shared_ptr<Crew> crew;
        size_t slot;
    };

    static DWORD WINAPI ThreadProc(void* parameter) {
        std::unique_ptr<Start> start(static_cast<Start*>(parameter));
        start->crew->Serve(start->slot);
        // The crew's events stay open until its last thread let go of it.
        start.reset();
        return 0;
    }

    void Serve(size_t slot) {
        Member* m = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m = m_members.size() >= slot ? m_members[slot - 1].get() : nullptr;
        }
        // Made before Grow returns: Grow holds the lock until the member is in the list.
        if (!m) return;
        vt::win::ComInit com(COINIT_MULTITHREADED);
        // A thread that cannot join the apartment leaves its pieces to the others.
        const bool joined = SUCCEEDED(com.Result());
        std::optional<EngineBatch> batch;
        if (joined) batch.emplace();
        for (;;) {
            const DWORD woken = WaitForSingleObject(m->go, kIdleMs);
            std::shared_ptr<Job> job;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                if (!m->pending) {
                    if (m_ending || woken != WAIT_OBJECT_0) {
                        m->gone = true;
                        break;
                    }
                    continue;  // woken for a run it took already
                }
                job = std::move(m->job);
                m->pending = false;
            }
            if (joined) TakePieces(*job, slot);
            // What the pieces hold goes on this thread, before the caller hears it ended.
            job.reset();
            SetEvent(m->done);
        }
        // The batch ends here: everything the thread kept is released while its caller goes on.
        batch.reset();
    }

    std::mutex m_lock;
    std::vector<std::unique_ptr<Member>> m_members;
    bool m_ending = false;
};

// The crew of the batch open on the calling thread, ended with it.
struct BatchCrew {
    std::shared_ptr<Crew> crew;
    ~BatchCrew() {
        if (crew) crew->End();
    }
};

} // namespace

void ProfileSpread::AwaitReleases() {
    // This thread's ended batches first: they end their threads.
    EngineBatch::ReleaseEnded();
    g_releasing.Await(Releasing::kReleaseWaitMs);
}

void ProfileSpread::SetThreads(size_t threads) { g_threads = std::max<size_t>(1, threads); }
size_t ProfileSpread::Threads() { return g_threads; }
void ProfileSpread::SetWait(DWORD ms) { g_waitMs = ms; }

bool ProfileSpread::LeavesPiecesToOthers() { return Threads() > 1 && InSingleThreadedApartment(); }

ProfileSpread::Outcome ProfileSpread::Run(size_t count, Piece piece, std::shared_ptr<void> keep,
                                          std::vector<size_t> preferred) {
    Outcome outcome;
    if (count == 0 || !piece) return outcome;
    auto job = std::make_shared<Job>();
    job->piece = std::move(piece);
    job->keep = std::move(keep);
    job->count = count;
    job->preferred = std::move(preferred);
    job->taken = std::make_unique<std::atomic<bool>[]>(count);
    for (size_t i = 0; i < count; ++i) job->taken[i] = false;
    // A caller in a single-threaded apartment leaves the pieces to the others: the engine objects
    // it fetched could only be released on its own thread, one after another, once its batch ends.
    const bool callerTakes = count == 1 || !LeavesPiecesToOthers();
    const size_t others = std::min(Threads(), count) - (callerTakes ? 1 : 0);
    std::shared_ptr<Crew> crew;
    // With a batch open here the crew is the batch's, else this run's alone. (The batch's store
    // is looked up afresh each time: a piece on this thread may drop what the batch kept.)
    const bool batchCrew = EngineBatch::IsOpen();
    if (others) {
        BatchCrew* kept = EngineBatch::Store<BatchCrew>();
        if (kept && kept->crew && !kept->crew->Usable()) {
            kept->crew->End();
            kept->crew.reset();
        }
        crew = kept && kept->crew ? kept->crew : std::make_shared<Crew>();
        if (crew->Grow(others)) {
            if (kept) kept->crew = crew;
        } else {
            crew->End();
            crew.reset();
        }
    }
    std::vector<HANDLE> done;
    if (crew) done = crew->Dispatch(job);
    if (callerTakes || done.empty()) TakePieces(*job, 0);
    if (!done.empty()) {
        const DWORD waited = WaitForMultipleObjects(DWORD(done.size()), done.data(), TRUE, g_waitMs);
        outcome.ended = waited < WAIT_OBJECT_0 + done.size();
        if (outcome.ended) {
            // What no thread took (one that could not join the apartment) runs here.
            TakePieces(*job, 0);
        } else {
            // Threads past the wait keep the run (and whatever it holds) alive until they end;
            // the crew takes no further run.
            crew->End();
            BatchCrew* kept = EngineBatch::Store<BatchCrew>();
            if (kept && kept->crew == crew) kept->crew.reset();
        }
    }
    if (crew && !batchCrew) crew->End();
    outcome.ok = outcome.ended && !job->failed;
    return outcome;
}

} // namespace vt::device
