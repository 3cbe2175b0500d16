#include "platform/text/localheap.h"

#include "platform/memory/pagevector.h"

#include "platform/text/utf8.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// A handle is a slot of the table (its index + 1, in the low bits) and the slot's generation (high
// bits), which grows each time the slot is given out again: a stale handle finds another generation
// in its slot and is caught as unknown, until that slot has been reused 512 times. The table finds
// a text without hashing and never rehashes, however many calls a log holds.
constexpr unsigned kSlotBits = 23;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kMaxSlots = kSlotMask;
constexpr uint32_t kGenerations = 1u << (32 - kSlotBits);

// Texts are packed one after another into blocks instead of being allocated one by one: a call log
// of 100,000 calls holds about 250,000 texts of a few characters each, and a block costs neither
// an allocation nor an allocator's header per text. A block counts its live texts; once the last
// of them is released, the block is written from its start again, so the texts of the next load
// land in memory that is already in use. A text longer than a block gets a block of its own, whose
// memory goes back to the system when that text is released: kept, it would fit only texts of its
// size or less, and each load would add a block for every long text that found none to fit. Long
// texts are rare, so an allocation each costs little.
constexpr size_t kBlockChars = 16384;

struct Block {
    std::unique_ptr<char16_t[]> chars;
    size_t capacity = 0;
    size_t used = 0;
    size_t live = 0;
};

struct Slot {
    char16_t* text = nullptr;
    uint32_t generation = 0;
    uint32_t block = 0;
};

struct Heap {
    std::mutex lock;
    // In page memory: a load of many calls makes hundreds of thousands of slots.
    PageVector<Slot> slots;
    PageVector<uint32_t> freeSlots;
    std::vector<Block> blocks;
    // Blocks without a live text, to be filled again; the block texts are written to now.
    std::vector<uint32_t> emptyBlocks;
    // Blocks whose long text was released and whose memory went with it, for the next long text.
    std::vector<uint32_t> bareBlocks;
    // None at first: a long text's own block never becomes the one that short texts fill.
    uint32_t current = UINT32_MAX;
    size_t live = 0;
    size_t rejectedFrees = 0;

    // The slot of a live handle, or null.
    Slot* Find(LocalHandle handle) {
        const uint32_t index = (handle & kSlotMask) - 1;
        if ((handle & kSlotMask) == 0 || index >= slots.Size()) {
            return nullptr;
        }
        Slot& slot = slots[index];
        return slot.text != nullptr && slot.generation == handle >> kSlotBits ? &slot : nullptr;
    }

    // Room for chars characters in a block, or -1. The room is claimed with Commit.
    int64_t BlockWithRoom(size_t chars) {
        if (current < blocks.size() && blocks[current].capacity - blocks[current].used >= chars) {
            return current;
        }
        if (chars <= kBlockChars && !emptyBlocks.empty()) {
            current = emptyBlocks.back();
            emptyBlocks.pop_back();
            return current;
        }
        if (chars > kBlockChars && !bareBlocks.empty()) {
            const uint32_t bare = bareBlocks.back();
            Block& block = blocks[bare];
            block.chars.reset(new (std::nothrow) char16_t[chars]);
            if (block.chars == nullptr) {
                return -1;
            }
            block.capacity = chars;
            bareBlocks.pop_back();
            return bare;
        }
        if (blocks.size() >= UINT32_MAX) {
            return -1;
        }
        try {
            // Room to list every block as empty or bare later, so that LocalFree never has to allocate.
            emptyBlocks.reserve(blocks.size() + 1);
            bareBlocks.reserve(blocks.size() + 1);
            Block block;
            block.capacity = chars > kBlockChars ? chars : kBlockChars;
            block.chars.reset(new char16_t[block.capacity]);
            blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return -1;
        }
        const auto added = static_cast<uint32_t>(blocks.size() - 1);
        // A block of its own for a long text leaves the current block as it is.
        if (chars <= kBlockChars) {
            current = added;
        }
        return added;
    }

    // A free slot, or -1 when the table is full or cannot grow.
    int64_t FreeSlot() {
        if (!freeSlots.Empty()) {
            const uint32_t index = freeSlots.Back();
            freeSlots.PopBack();
            return index;
        }
        if (slots.Size() >= kMaxSlots || !slots.PushBack(Slot{})) {
            return -1;
        }
        // Room to give every slot back later, so that LocalFree never has to allocate.
        if (freeSlots.Capacity() < slots.Size() && !freeSlots.Reserve(slots.Capacity())) {
            slots.PopBack();
            return -1;
        }
        return static_cast<int64_t>(slots.Size() - 1);
    }

    // A block's text is gone: a block left without texts is filled again from its start, or, when
    // it was a long text's own, gives its memory back.
    void Release(uint32_t index) {
        Block& block = blocks[index];
        if (--block.live > 0) {
            return;
        }
        block.used = 0;
        if (block.capacity > kBlockChars) {
            block.chars.reset();
            block.capacity = 0;
            bareBlocks.push_back(index);
        } else if (index != current) {
            emptyBlocks.push_back(index);
        }
    }
};

Heap& TheHeap() {
    // Never destroyed: a handle released during static clean-up must still find the heap.
    static Heap* heap = new Heap;
    return *heap;
}

// Gives a new text of up to maxChars characters (terminator included) a slot and a handle, and
// lets write put the text there; write returns the characters it wrote, terminator included.
// 0 when the heap cannot grow.
template <typename Write> LocalHandle Allocate(size_t maxChars, Write write) {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    const int64_t index = heap.FreeSlot();
    if (index < 0) {
        return 0;
    }
    const int64_t block = heap.BlockWithRoom(maxChars);
    if (block < 0) {
        // Never allocates: the list of free slots has room for every slot.
        heap.freeSlots.PushBack(static_cast<uint32_t>(index));
        return 0;
    }
    Block& into = heap.blocks[static_cast<size_t>(block)];
    char16_t* text = into.chars.get() + into.used;
    into.used += write(text);
    ++into.live;
    Slot& slot = heap.slots[static_cast<size_t>(index)];
    slot.generation = (slot.generation + 1) % kGenerations;
    slot.text = text;
    slot.block = static_cast<uint32_t>(block);
    ++heap.live;
    return (slot.generation << kSlotBits) | static_cast<uint32_t>(index + 1);
}

} // namespace

LocalHandle LocalAllocText(const char16_t* text, size_t length) {
    if (length >= SIZE_MAX / sizeof(char16_t)) {
        return 0;
    }
    return Allocate(length + 1, [&](char16_t* copy) {
        for (size_t i = 0; i < length; ++i) {
            copy[i] = text[i];
        }
        copy[length] = u'\0';
        return length + 1;
    });
}

LocalHandle LocalAllocUtf8(const char* text, size_t bytes) {
    if (bytes >= SIZE_MAX / sizeof(char16_t)) {
        return 0;
    }
    // A byte never decodes into more than one UTF-16 unit; the unused rest of the room is not taken.
    return Allocate(bytes + 1, [&](char16_t* copy) {
        const size_t length = bytes > 0 ? Utf8ToUtf16(text, bytes, copy) : 0;
        copy[length] = u'\0';
        return length + 1;
    });
}

LocalHandle LocalAllocText(const char16_t* text) {
    size_t length = 0;
    while (text != nullptr && text[length] != u'\0') {
        ++length;
    }
    return LocalAllocText(text != nullptr ? text : u"", length);
}

char16_t* LocalText(LocalHandle handle) {
    if (handle == 0) {
        return nullptr;
    }
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    Slot* slot = heap.Find(handle);
    return slot != nullptr ? slot->text : nullptr;
}

void LocalFree(LocalHandle handle) {
    if (handle == 0) {
        return;
    }
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    Slot* slot = heap.Find(handle);
    if (slot == nullptr) {
        ++heap.rejectedFrees;
        std::fprintf(stderr, "ringlog: LocalFree of unknown or released handle %u ignored\n",
                     static_cast<unsigned>(handle));
        return;
    }
    slot->text = nullptr;
    heap.Release(slot->block);
    --heap.live;
    heap.freeSlots.PushBack((handle & kSlotMask) - 1);
}

size_t LocalLiveCount() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    return heap.live;
}

size_t LocalCommittedBytes() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    size_t chars = 0;
    for (const Block& block : heap.blocks) {
        chars += block.capacity;
    }
    return chars * sizeof(char16_t);
}

size_t LocalRejectedFreeCount() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    return heap.rejectedFrees;
}
