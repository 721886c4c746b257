// The guard allocator itself: a block's end lies against a page that is never committed, a freed
// block's pages are decommitted and never handed out again, and a use after delete or an overrun
// ends the program with the guard's exit code, also inside a window procedure the system calls
// back (where it would otherwise swallow the fault and carry on).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <set>
#include <vector>
#include "GuardAlloc.h"

namespace {

constexpr int kGuardExit = 86;

bool Committed(const void* p) {
    MEMORY_BASIC_INFORMATION mbi{};
    return VirtualQuery(p, &mbi, sizeof(mbi)) == sizeof(mbi) && mbi.State == MEM_COMMIT &&
           (mbi.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE));
}

// Reads a byte through a pointer the compiler cannot reason about.
char Touch(const char* p) { return *static_cast<const volatile char*>(p); }

} // namespace

TEST(GuardAlloc, EveryBlockEndsAgainstAPageNeverCommitted) {
    for (size_t size : {size_t(1), size_t(15), size_t(16), size_t(17), size_t(100), size_t(4079), size_t(4080),
                        size_t(4096), size_t(10000), size_t(1) << 20}) {
        const size_t before = vt::test::GuardedBlocks();
        std::unique_ptr<char[]> block(new char[size]);
        EXPECT_EQ(vt::test::GuardedBlocks(), before + 1) << size;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block.get()) % 16, 0u) << size;
        EXPECT_TRUE(Committed(block.get())) << size;
        EXPECT_TRUE(Committed(block.get() + size - 1)) << size;
        const size_t rounded = (size + 15) & ~size_t(15);
        EXPECT_FALSE(Committed(block.get() + rounded)) << size;
    }
    EXPECT_EQ(vt::test::HeapBlocks(), 0u);
}

TEST(GuardAlloc, FreedBlocksAreDecommittedAndNeverHandedOutAgain) {
    std::set<char*> freed;
    for (int i = 0; i < 200; ++i) {
        char* p = new char[48];
        EXPECT_EQ(freed.count(p), 0u);
        delete[] p;
        EXPECT_FALSE(Committed(p));
        freed.insert(p);
    }
    // The other forms go the same way.
    auto* aligned = new (std::align_val_t(64)) int[3];
    EXPECT_EQ(reinterpret_cast<uintptr_t>(aligned) % 64, 0u);
    operator delete[](aligned, std::align_val_t(64));
    int* quiet = new (std::nothrow) int(5);
    ASSERT_NE(quiet, nullptr);
    delete quiet;
    EXPECT_FALSE(Committed(quiet));
}

// Death tests: each runs in a process of its own and must end with the guard's exit code.
TEST(GuardAllocDeathTest, UseAfterDeleteAndOverrunEndTheProgram) {
    EXPECT_EXIT({
        char* p = new char[40];
        delete[] p;
        Touch(p);
    }, ::testing::ExitedWithCode(kGuardExit), "");
    EXPECT_EXIT({
        char* p = new char[48];
        Touch(p + 48);
    }, ::testing::ExitedWithCode(kGuardExit), "");
}

namespace {
char* g_freedOnDestroy = nullptr;
LRESULT CALLBACK ReadsFreedOnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && g_freedOnDestroy) Touch(g_freedOnDestroy);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
} // namespace

TEST(GuardAllocDeathTest, AFaultInAWindowProcedureTheSystemCallsBackEndsTheProgram) {
    EXPECT_EXIT({
        WNDCLASSW wc{};
        wc.lpfnWndProc = ReadsFreedOnDestroy;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VtGuardAllocProbe";
        RegisterClassW(&wc);
        HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        g_freedOnDestroy = new char[32];
        delete[] g_freedOnDestroy;
        DestroyWindow(hwnd);
        // Not reached: without the guard's handler the system would have swallowed the fault.
        std::exit(0);
    }, ::testing::ExitedWithCode(kGuardExit), "");
}
