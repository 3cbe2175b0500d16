#include "platform/text/localheap.h"

#include "platform/text/utf8.h"

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

struct Slot {
    std::unique_ptr<char16_t[]> text;
    uint32_t generation = 0;
};

struct Heap {
    std::mutex lock;
    std::vector<Slot> slots;
    std::vector<uint32_t> freeSlots;
    size_t live = 0;
    size_t rejectedFrees = 0;

    // The slot of a live handle, or null.
    Slot* Find(LocalHandle handle) {
        const uint32_t index = (handle & kSlotMask) - 1;
        if ((handle & kSlotMask) == 0 || index >= slots.size()) {
            return nullptr;
        }
        Slot& slot = slots[index];
        return slot.text != nullptr && slot.generation == handle >> kSlotBits ? &slot : nullptr;
    }
};

Heap& TheHeap() {
    // Never destroyed: a handle released during static clean-up must still find the heap.
    static Heap* heap = new Heap;
    return *heap;
}

// Gives the text a slot and a handle; 0 when the table is full or cannot grow.
LocalHandle Adopt(std::unique_ptr<char16_t[]> copy) {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    uint32_t index = 0;
    if (!heap.freeSlots.empty()) {
        index = heap.freeSlots.back();
        heap.freeSlots.pop_back();
    } else {
        if (heap.slots.size() >= kMaxSlots) {
            return 0;
        }
        try {
            heap.slots.emplace_back();
            // Room to give every slot back later, so that LocalFree never has to allocate.
            if (heap.freeSlots.capacity() < heap.slots.size()) {
                heap.freeSlots.reserve(heap.slots.capacity());
            }
        } catch (const std::bad_alloc&) {
            if (heap.slots.size() > heap.freeSlots.capacity()) {
                heap.slots.pop_back();
            }
            return 0;
        }
        index = static_cast<uint32_t>(heap.slots.size() - 1);
    }
    Slot& slot = heap.slots[index];
    slot.generation = (slot.generation + 1) % kGenerations;
    slot.text = std::move(copy);
    ++heap.live;
    return (slot.generation << kSlotBits) | (index + 1);
}

} // namespace

LocalHandle LocalAllocText(const char16_t* text, size_t length) {
    std::unique_ptr<char16_t[]> copy(new (std::nothrow) char16_t[length + 1]);
    if (!copy) {
        return 0;
    }
    for (size_t i = 0; i < length; ++i) {
        copy[i] = text[i];
    }
    copy[length] = u'\0';
    return Adopt(std::move(copy));
}

LocalHandle LocalAllocUtf8(const char* text, size_t bytes) {
    std::unique_ptr<char16_t[]> copy(new (std::nothrow) char16_t[bytes + 1]);
    if (!copy) {
        return 0;
    }
    copy[bytes > 0 ? Utf8ToUtf16(text, bytes, copy.get()) : 0] = u'\0';
    return Adopt(std::move(copy));
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
    return slot != nullptr ? slot->text.get() : nullptr;
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
    slot->text.reset();
    --heap.live;
    heap.freeSlots.push_back((handle & kSlotMask) - 1);
}

size_t LocalLiveCount() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    return heap.live;
}

size_t LocalRejectedFreeCount() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    return heap.rejectedFrees;
}
