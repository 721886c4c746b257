// A guard allocator for test programs: linked into a program, it replaces the global operator new
// and delete. Every block gets pages of its own, its end against a page that is never committed,
// and a freed block's pages are decommitted and never handed out again. A write past a block's end
// or any use of a block after its delete is then an access violation at the faulty instruction,
// not a heap corrupted long before the crash that shows it.
//
// The system swallows a fault inside some window procedures (those it calls back from its own
// calls, DestroyWindow's WM_DESTROY among them) and carries on. A fault on these pages is therefore
// caught first, by a vectored handler: it prints the faulting instruction with the frames above
// it and ends the program with exit code 86. Each frame is a module and an offset; a program's
// offset plus its image base (0x140000000) is found among `x86_64-w64-mingw32-nm -C PROGRAM`.
//
// Blocks end on a 16-byte boundary (the alignment operator new promises), so an overrun of fewer
// bytes than the size's rounding is not caught. When the system refuses more pages (the host's
// limit of mappings), blocks come from the process heap instead, unguarded; GuardedBlocks() and
// HeapBlocks() tell how many of each were handed out.
#include "GuardAlloc.h"
#include <windows.h>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t kPage = 4096;
constexpr size_t kArena = size_t(1) << 32;   // address space reserved at a time (4 GiB)
constexpr uint32_t kGuardedMagic = 0x47554152;   // a guarded block
constexpr uint32_t kHeapMagic = 0x48454150;      // a block from the process heap
constexpr uint32_t kFreedMagic = 0x46524545;     // a heap block already freed

// Lies just before every block.
struct alignas(16) Header {
    void* region;        // first page of the block's pages (guarded) or the heap allocation
    uint32_t pages;      // committed pages (guarded)
    uint32_t magic;
};
static_assert(sizeof(Header) == 16, "the header keeps blocks 16-byte aligned");

std::atomic<size_t> g_guarded{0};
std::atomic<size_t> g_heap{0};

// The pages are carved in order from reserved arenas, under a lock of its own (no allocation).
SRWLOCK g_lock = SRWLOCK_INIT;
char* g_next = nullptr;
char* g_end = nullptr;
constexpr int kMaxArenas = 256;
std::atomic<char*> g_arenas[kMaxArenas];
std::atomic<size_t> g_arenaSizes[kMaxArenas];
std::atomic<int> g_arenaCount{0};

bool InArenas(uintptr_t address) {
    const int n = g_arenaCount.load();
    for (int i = 0; i < n; ++i) {
        const auto base = reinterpret_cast<uintptr_t>(g_arenas[i].load());
        if (address >= base && address - base < g_arenaSizes[i].load()) return true;
    }
    return false;
}

void Say(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, DWORD(strlen(text)), &written, nullptr);
}

void SayFrame(int depth, DWORD64 pc) {
    char line[600];
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(pc), &module) && module) {
        GetModuleFileNameA(module, name, sizeof(name));
        const char* slash = strrchr(name, '\\');
        snprintf(line, sizeof(line), "[  GUARD   ]   #%d %s+0x%llx\n", depth, slash ? slash + 1 : name,
                 static_cast<unsigned long long>(pc - reinterpret_cast<DWORD64>(module)));
    } else {
        snprintf(line, sizeof(line), "[  GUARD   ]   #%d 0x%llx\n", depth, static_cast<unsigned long long>(pc));
    }
    Say(line);
}

LONG CALLBACK OnFault(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD* r = e->ExceptionRecord;
    if (r->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || r->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    const uintptr_t address = r->ExceptionInformation[1];
    if (!InArenas(address)) return EXCEPTION_CONTINUE_SEARCH;
    fflush(stdout);
    fflush(stderr);
    char line[300];
    snprintf(line, sizeof(line), "\n[  GUARD   ] %s of 0x%llx: a freed block, or past the end of a live one\n",
             r->ExceptionInformation[0] == 1 ? "write" : "read", static_cast<unsigned long long>(address));
    Say(line);
    // The frames from the faulting instruction up, by the unwind data of each function.
    CONTEXT c = *e->ContextRecord;
    for (int depth = 0; depth < 40 && c.Rip; ++depth) {
        SayFrame(depth, c.Rip);
        DWORD64 base = 0;
        RUNTIME_FUNCTION* f = RtlLookupFunctionEntry(c.Rip, &base, nullptr);
        if (!f) {   // a leaf function: its return address is on top of the stack
            c.Rip = *reinterpret_cast<DWORD64*>(c.Rsp);
            c.Rsp += 8;
            continue;
        }
        void* handlerData = nullptr;
        DWORD64 frame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, c.Rip, f, &c, &handlerData, &frame, nullptr);
    }
    TerminateProcess(GetCurrentProcess(), 86);
    return EXCEPTION_CONTINUE_SEARCH;
}

// Reserves pages + 1 (the guard) and commits the first `pages`; null when the system refuses.
char* TakePages(size_t pages) {
    const size_t span = (pages + 1) * kPage;
    AcquireSRWLockExclusive(&g_lock);
    if (!g_next || size_t(g_end - g_next) < span) {
        const size_t size = span > kArena ? span : kArena;
        void* arena = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
        if (!arena) {
            ReleaseSRWLockExclusive(&g_lock);
            return nullptr;
        }
        g_next = static_cast<char*>(arena);
        g_end = g_next + size;
        const int n = g_arenaCount.load();
        if (n < kMaxArenas) {
            g_arenas[n] = g_next;
            g_arenaSizes[n] = size;
            g_arenaCount = n + 1;
        }
        if (n == 0) AddVectoredExceptionHandler(1, OnFault);
    }
    char* region = g_next;
    g_next += span;
    ReleaseSRWLockExclusive(&g_lock);
    if (!VirtualAlloc(region, pages * kPage, MEM_COMMIT, PAGE_READWRITE)) return nullptr;
    return region;
}

void* HeapBlock(size_t size) {
    void* raw = HeapAlloc(GetProcessHeap(), 0, size + sizeof(Header));
    if (!raw) return nullptr;
    auto* h = static_cast<Header*>(raw);
    h->region = raw;
    h->pages = 0;
    h->magic = kHeapMagic;
    g_heap.fetch_add(1, std::memory_order_relaxed);
    return h + 1;
}

void* Allocate(size_t size) {
    if (size == 0) size = 1;
    const size_t rounded = (size + 15) & ~size_t(15);
    if (rounded < size) return nullptr;
    const size_t pages = (rounded + sizeof(Header) + kPage - 1) / kPage;
    char* region = pages < UINT32_MAX ? TakePages(pages) : nullptr;
    if (!region) return HeapBlock(size);
    char* block = region + pages * kPage - rounded;
    auto* h = reinterpret_cast<Header*>(block) - 1;
    h->region = region;
    h->pages = uint32_t(pages);
    h->magic = kGuardedMagic;
    g_guarded.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void* AllocateOrThrow(size_t size) {
    for (;;) {
        if (void* p = Allocate(size)) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void Free(void* p) {
    if (!p) return;
    Header* h = static_cast<Header*>(p) - 1;
    if (h->magic == kGuardedMagic) {
        // Decommitted, not released: the addresses stay reserved and are never handed out again.
        VirtualFree(h->region, h->pages * kPage, MEM_DECOMMIT);
        return;
    }
    if (h->magic == kHeapMagic) {
        h->magic = kFreedMagic;
        HeapFree(GetProcessHeap(), 0, h->region);
        return;
    }
    // Not a block of ours, freed twice or its header overwritten: stop here, where it shows.
    __builtin_trap();
}

// Over-aligned blocks: a larger block with the aligned pointer's offset stored just before it.
void* AllocateAligned(size_t size, size_t align) {
    if (align <= 16) return Allocate(size);
    void* raw = Allocate(size + align);
    if (!raw) return nullptr;
    auto p = (reinterpret_cast<uintptr_t>(raw) + sizeof(void*) + align - 1) & ~(uintptr_t(align) - 1);
    if (p - reinterpret_cast<uintptr_t>(raw) < sizeof(void*)) p += align;
    reinterpret_cast<void**>(p)[-1] = raw;
    return reinterpret_cast<void*>(p);
}

void FreeAligned(void* p, size_t align) {
    if (!p) return;
    if (align <= 16) return Free(p);
    Free(static_cast<void**>(p)[-1]);
}

} // namespace

namespace vt::test {
size_t GuardedBlocks() { return g_guarded.load(); }
size_t HeapBlocks() { return g_heap.load(); }
} // namespace vt::test

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }

void* operator new(size_t size, std::align_val_t a) {
    void* p = AllocateAligned(size, size_t(a));
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size, std::align_val_t a) { return operator new(size, a); }
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept { return AllocateAligned(size, size_t(a)); }
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept { return AllocateAligned(size, size_t(a)); }
void operator delete(void* p, std::align_val_t a) noexcept { FreeAligned(p, size_t(a)); }
void operator delete[](void* p, std::align_val_t a) noexcept { FreeAligned(p, size_t(a)); }
void operator delete(void* p, size_t, std::align_val_t a) noexcept { FreeAligned(p, size_t(a)); }
void operator delete[](void* p, size_t, std::align_val_t a) noexcept { FreeAligned(p, size_t(a)); }
