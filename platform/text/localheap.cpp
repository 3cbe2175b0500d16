#include "platform/text/localheap.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct Heap {
    std::mutex lock;
    std::unordered_map<LocalHandle, std::unique_ptr<char16_t[]>> texts;
    LocalHandle lastHandle = 0;
    size_t rejectedFrees = 0;
};

Heap& TheHeap() {
    // Never destroyed: a handle released during static clean-up must still find the heap.
    static Heap* heap = new Heap;
    return *heap;
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

    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    // Handles are not reused until the counter wraps, so a stale handle is caught as unknown
    // instead of freeing somebody else's text.
    LocalHandle handle = heap.lastHandle;
    do {
        ++handle;
    } while (handle == 0 || heap.texts.count(handle) != 0);
    heap.lastHandle = handle;
    heap.texts.emplace(handle, std::move(copy));
    return handle;
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
    auto it = heap.texts.find(handle);
    return it == heap.texts.end() ? nullptr : it->second.get();
}

void LocalFree(LocalHandle handle) {
    if (handle == 0) {
        return;
    }
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    if (heap.texts.erase(handle) == 0) {
        ++heap.rejectedFrees;
        std::fprintf(stderr, "ringlog: LocalFree of unknown or released handle %u ignored\n",
                     static_cast<unsigned>(handle));
    }
}

size_t LocalLiveCount() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    return heap.texts.size();
}

size_t LocalRejectedFreeCount() {
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    return heap.rejectedFrees;
}
