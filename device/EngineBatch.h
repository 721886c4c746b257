#pragma once
// One batch of engine operations on one thread.
//
// Every engine object handed out costs the engine a round trip to hand it out and another to
// release it, far more than a call on it, and a new connection costs more still. So the
// connections and operations of one thread share a batch: the device manager and devices, the
// feature objects of each device and profile, the profile list and the lighting zones are fetched
// once per batch and released together when the batch ends, never one by one between calls. A
// connection made while no batch is open on its thread opens one for its own life.
//
// What a batch keeps holds only while nobody else changes the engine's profiles, so batches are
// short: one open and read, one write job, one user operation.
//
// On a thread of a single-threaded apartment (a window's thread) each release is a round trip the
// window waits for, one after another. There what an operation's batch kept is released once the
// thread's message loop is idle (after what the operation changed has been painted), or before the
// next batch on the thread fetches anything, whichever comes first; ReleaseEnded releases it at
// once. A connection's own batch releases at once.
#include <windows.h>
#include <map>
#include <memory>
#include <typeindex>

namespace vt::device {

// Whether the calling thread is in a single-threaded apartment.
bool InSingleThreadedApartment();

class EngineBatch {
public:
    // How an outermost batch releases what it kept when it ends (see above).
    enum class Ending { WhenIdle, AtOnce };
    // Joins the batch open on this thread, or opens one.
    explicit EngineBatch(Ending ending = Ending::WhenIdle);
    // The outermost batch of the thread releases everything it kept.
    ~EngineBatch();
    EngineBatch(const EngineBatch&) = delete;
    EngineBatch& operator=(const EngineBatch&) = delete;

    static bool IsOpen();
    // The batch's store of type T (made on first use, destroyed when the batch ends); null when no
    // batch is open on this thread. Each part of the device layer keeps its own objects in a store
    // of its own type.
    template <class T>
    static T* Store() {
        Stores* s = Current();
        if (!s) return nullptr;
        auto& slot = (*s)[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return static_cast<T*>(slot.get());
    }
    // Releases everything kept so far (the batch stays open): after the engine stopped answering,
    // the batch's next connection starts afresh.
    static void Drop();
    // Releases now what the ended batches of this thread left to be released (see above); before
    // the thread leaves its apartment, whatever it left is released here.
    static void ReleaseEnded();

private:
    using Stores = std::map<std::type_index, std::shared_ptr<void>>;
    static Stores* Current();
};

} // namespace vt::device
