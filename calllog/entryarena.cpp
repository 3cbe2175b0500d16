#include "calllog/entryarena.h"

#include "platform/memory/pagememory.h"

#include <algorithm>
#include <cstdint>
#include <new>

static_assert(alignof(NVXCallEntry) <= kPageAlignment, "entries sit at multiples of their size in page blocks");

EntryArena::~EntryArena() {
    for (const Block& block : blocks) {
        FreePages(block.entries, block.capacity * sizeof(NVXCallEntry));
    }
}

NVXCallEntry* EntryArena::Allocate() {
    while (current < blocks.size() && used == blocks[current].capacity) {
        ++current;
        used = 0;
    }
    if (current == blocks.size()) {
        if (!AddBlock(blocks.empty() ? kFirstBlock : Capacity())) {
            return nullptr;
        }
        used = 0;
    }
    return new (&blocks[current].entries[used++]) NVXCallEntry;
}

int EntryArena::Reserve(size_t count) {
    size_t room = 0;
    for (size_t i = current; i < blocks.size(); ++i) {
        room += blocks[i].capacity - (i == current ? used : 0);
    }
    if (room >= count) {
        return 0;
    }
    // At least as many as the arena holds, as Allocate grows it: a log that gains a call at every
    // load must not add a block for each.
    return AddBlock(std::max(count - room, Capacity())) ? 0 : -1;
}

bool EntryArena::AddBlock(size_t capacity) {
    if (capacity > SIZE_MAX / sizeof(NVXCallEntry)) {
        return false;
    }
    void* memory = AllocatePages(capacity * sizeof(NVXCallEntry));
    if (memory == nullptr) {
        return false;
    }
    try {
        blocks.push_back(Block{static_cast<NVXCallEntry*>(memory), capacity});
    } catch (const std::bad_alloc&) {
        FreePages(memory, capacity * sizeof(NVXCallEntry));
        return false;
    }
    return true;
}

void EntryArena::Rewind() {
    current = 0;
    used = 0;
}

void EntryArena::ReleaseUnused() {
    const size_t keep = used > 0 ? current + 1 : current;
    while (blocks.size() > keep) {
        FreePages(blocks.back().entries, blocks.back().capacity * sizeof(NVXCallEntry));
        blocks.pop_back();
    }
}

size_t EntryArena::Capacity() const {
    size_t capacity = 0;
    for (const Block& block : blocks) {
        capacity += block.capacity;
    }
    return capacity;
}
