#include "platform/memory/pagememory.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

// Huge pages are worth asking for only where a block spans at least one of them.
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kSmallPage = kPageAlignment;
// No address space holds a block of half the size range: refusing larger ones keeps the sums below
// (a block with a frame to spare, rounded up to whole pages) from wrapping round to small sizes.
constexpr size_t kLargestBlock = SIZE_MAX / 2;

} // namespace

void* AllocatePages(size_t bytes) {
    if (bytes == 0 || bytes > kLargestBlock) {
        return nullptr;
    }
#ifdef MADV_HUGEPAGE
    if (bytes >= kHugePage) {
        // The huge-page start of pagememory.h: whole frames are advised, the block's last part short
        // of a frame stays in small pages (a huge page there would hold memory the block does not
        // have). A block placed anywhere would leave up to two frames at its ends in small pages,
        // thousands of page faults more.
        void* area = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) {
            return nullptr;
        }
        const auto start = reinterpret_cast<uintptr_t>(area);
        const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
        const uintptr_t end = start + bytes + kHugePage;
        // What lies before the first frame and after the block, in whole small pages, goes back.
        const uintptr_t blockEnd = (aligned + bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
        if (aligned > start) {
            munmap(area, aligned - start);
        }
        if (end > blockEnd) {
            munmap(reinterpret_cast<void*>(blockEnd), end - blockEnd);
        }
        auto* block = reinterpret_cast<void*>(aligned);
        // Advice only: without transparent huge pages the block is as good in small pages.
        madvise(block, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
        return block;
    }
#endif
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block != MAP_FAILED ? block : nullptr;
}

void FreePages(void* block, size_t bytes) {
    if (block != nullptr) {
        munmap(block, bytes);
    }
}
