#include "win/Gdi.h"
#include <mutex>
#include <unordered_set>

namespace vt::win {

namespace {
struct CacheOwned {
    std::mutex lock;
    std::unordered_set<HGDIOBJ> objects;
};
CacheOwned& Owned() {
    static CacheOwned* owned = new CacheOwned;   // never destroyed: holders may let go at exit
    return *owned;
}
} // namespace

void MarkCacheOwned(HGDIOBJ object, bool owned) {
    if (!object) return;
    CacheOwned& o = Owned();
    std::lock_guard<std::mutex> guard(o.lock);
    if (owned) o.objects.insert(object);
    else o.objects.erase(object);
}

bool IsCacheOwned(HGDIOBJ object) {
    if (!object) return false;
    CacheOwned& o = Owned();
    std::lock_guard<std::mutex> guard(o.lock);
    return o.objects.count(object) != 0;
}

} // namespace vt::win
