#include "platform/text/pagememory.h"

#include <sys/mman.h>

namespace {

// Huge pages are worth asking for only where a block spans some of them.
constexpr size_t kHugePage = size_t{2} << 20;

} // namespace

void* AllocatePages(size_t bytes) {
    if (bytes == 0) {
        return nullptr;
    }
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) {
        return nullptr;
    }
#ifdef MADV_HUGEPAGE
    if (bytes >= 2 * kHugePage) {
        // Advice only: without transparent huge pages the block is as good in small pages.
        madvise(block, bytes, MADV_HUGEPAGE);
    }
#endif
    return block;
}

void FreePages(void* block, size_t bytes) {
    if (block != nullptr) {
        munmap(block, bytes);
    }
}
