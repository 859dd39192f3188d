// SPDX-License-Identifier: GPL-3.0-or-later
#include "heap_pages.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#endif

namespace quillet::cli {

#if defined(__linux__) && defined(__GLIBC__)

void preferLargeHeapPages() {
    // Enough for the rows of a 100,000-waypoint list; beyond it the heap grows as usual.
    constexpr std::intptr_t kHeapStep = std::intptr_t{64} << 20;
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    constexpr std::size_t kBlock = 96 << 10;  // below the size that malloc maps apart
    if (mallopt(M_TOP_PAD, static_cast<int>(kHeapStep)) == 0) {
        return;
    }
    // Blocks are taken until the heap has grown by the step, which it does at once as
    // soon as its free end is used up.
    auto* const before = static_cast<char*>(sbrk(0));
    std::array<void*, 64> blocks{};
    for (void*& block : blocks) {
        block = std::malloc(kBlock);
        if (block == nullptr || static_cast<char*>(sbrk(0)) - before >= kHeapStep) {
            break;
        }
    }
    const auto begin =
        (reinterpret_cast<std::uintptr_t>(before) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    for (void* block : blocks) {
        std::free(block);
    }
}

#else

void preferLargeHeapPages() {}

#endif

}  // namespace quillet::cli
