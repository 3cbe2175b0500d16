#pragma once

#include "platform/memory/pagememory.h"

#include <cstddef>
#include <cstdint>
#include <new>

// An allocator for standard containers that takes their storage from AllocatePages: for a container
// of hundreds of thousands of elements that must stay one (a list's rows), whose growth would
// otherwise first-touch every buffer in small pages.
template <typename T> struct PageAllocator {
    static_assert(alignof(T) <= kPageAlignment, "elements sit at the start of a page block");

    using value_type = T;

    PageAllocator() = default;
    template <typename U> PageAllocator(const PageAllocator<U>&) {}

    T* allocate(size_t count) {
        if (count > SIZE_MAX / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        void* block = AllocatePages(count * sizeof(T));
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t count) { FreePages(block, count * sizeof(T)); }

    template <typename U> bool operator==(const PageAllocator<U>&) const { return true; }
};
