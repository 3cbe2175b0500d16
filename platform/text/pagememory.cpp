#include "platform/text/pagememory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

// Huge pages are worth asking for only where a block spans some of them.
constexpr size_t kHugePage = size_t{2} << 20;

} // namespace

void* AllocatePages(size_t bytes) {
    if (bytes == 0) {
        return nullptr;
    }
#ifdef MADV_HUGEPAGE
    if (bytes >= 2 * kHugePage) {
        // Huge pages cover only whole 2 MiB frames: the block starts on one, and its size is made a
        // whole number of them (pages never touched take no memory). A block placed anywhere
        // would leave up to two frames at its ends in small pages, thousands of page faults more.
        const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* area = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) {
            return nullptr;
        }
        const auto start = reinterpret_cast<uintptr_t>(area);
        const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > start) {
            munmap(area, aligned - start);
        }
        if (start + kHugePage > aligned) {
            munmap(reinterpret_cast<void*>(aligned + size), start + kHugePage - aligned);
        }
        auto* block = reinterpret_cast<void*>(aligned);
        // Advice only: without transparent huge pages the block is as good in small pages.
        madvise(block, size, MADV_HUGEPAGE);
        return block;
    }
#endif
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block != MAP_FAILED ? block : nullptr;
}

void FreePages(void* block, size_t bytes) {
    if (block == nullptr) {
        return;
    }
#ifdef MADV_HUGEPAGE
    if (bytes >= 2 * kHugePage) {
        bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    }
#endif
    munmap(block, bytes);
}
