#pragma once
// The guard allocator (GuardAlloc.cpp): a test program that links it has every operator new block
// on pages of its own, its end against a page never committed, and freed blocks never reused, so a
// use after delete or a write past a block's end faults where it happens.
#include <cstddef>

namespace vt::test {
// Blocks handed out on guarded pages, and from the plain heap when no more pages were to be had.
size_t GuardedBlocks();
size_t HeapBlocks();
} // namespace vt::test
