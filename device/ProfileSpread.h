#pragma once
// Independent pieces of one engine job (one per profile) spread over a few threads, so that their
// round trips to the engine overlap: the engine serves its clients' calls side by side, and a job
// over many profiles spends nearly all its time waiting for answers.
//
// A caller in the multithreaded apartment takes pieces as well; one in a single-threaded apartment
// only waits (the engine objects it fetched could only be released on its own thread, one after
// another). The other threads join the multithreaded apartment, each with an engine batch of its
// own, and stay for every run of the caller's batch: what a thread fetched for one run (its
// connection, profiles, feature objects) serves its later runs, and its slot stays the same. When
// the caller's batch ends (or the run, for a caller without one) they release what they kept while
// the caller goes on: each release is a round trip of its own (AwaitReleases waits for them). A
// piece writes only what belongs to it (its own index's results); the caller merges the results
// on its own thread once every piece ended, so nothing shared is ever written by two threads.
#include <windows.h>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace vt::device {

class ProfileSpread {
public:
    // piece(index, slot): slot 0 is the calling thread, 1 to Threads() the others (a slot is one
    // thread for the caller's whole batch, so per-slot resources are never shared).
    using Piece = std::function<bool(size_t index, size_t slot)>;
    struct Outcome {
        bool ended = true;  // every piece ran and ended within the wait
        bool ok = true;     // ended, and every piece answered true
    };

    // The most threads that take pieces in a run, the caller's included when it takes any (1: every
    // piece on the calling thread).
    static void SetThreads(size_t threads);
    static size_t Threads();
    // The longest wait for the other threads once the caller ran out of pieces.
    static void SetWait(DWORD ms);

    // Runs piece(0) .. piece(count - 1), each once. When the other threads have not all ended
    // within the wait the outcome is not ended: those threads keep `piece` and `keep` (and so
    // whatever they hold) alive until they end, and the caller must not use the pieces' results.
    // `preferred` (when given) names a slot for each piece, whose thread takes it before any other
    // (the thread that holds what the piece needs); a thread that ran out of its own takes others'.
    static Outcome Run(size_t count, Piece piece, std::shared_ptr<void> keep = nullptr,
                       std::vector<size_t> preferred = {});
    // Whether a run from this thread leaves every piece to the other threads (see above).
    static bool LeavesPiecesToOthers();

    // Releases what this thread's ended batches left (EngineBatch::ReleaseEnded), then waits
    // (bounded) until the threads of ended batches released what they kept; the process's end
    // waits for them as well.
    static void AwaitReleases();
};

} // namespace vt::device
