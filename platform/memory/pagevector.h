#pragma once

#include "platform/memory/pagememory.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// A growing array of plain records in memory from AllocatePages, for tables of hundreds of thousands
// of records: std::vector would take them from the C library in small pages, first touched one
// page fault at a time, and copy them over at every growth. Grows by doubling. A failed allocation
// is reported (false), never thrown; the array is then left as it was.
template <typename T> class PageVector {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved with memcpy");
    static_assert(alignof(T) <= kPageAlignment, "records sit at the start of a page block");

public:
    PageVector() = default;
    ~PageVector() { FreePages(items, capacity * sizeof(T)); }
    PageVector(const PageVector&) = delete;
    PageVector& operator=(const PageVector&) = delete;

    // Room for count records in all.
    bool Reserve(size_t count) {
        if (count <= capacity) {
            return true;
        }
        if (count > SIZE_MAX / sizeof(T)) {
            return false;
        }
        T* grown = static_cast<T*>(AllocatePages(count * sizeof(T)));
        if (grown == nullptr) {
            return false;
        }
        if (size > 0) {
            std::memcpy(static_cast<void*>(grown), items, size * sizeof(T));
        }
        FreePages(items, capacity * sizeof(T));
        items = grown;
        capacity = count;
        return true;
    }

    bool Append(const T* from, size_t count) {
        if (count > SIZE_MAX - size || (size + count > capacity && !Reserve(Grown(size + count)))) {
            return false;
        }
        if (count > 0) {
            std::memcpy(static_cast<void*>(items + size), from, count * sizeof(T));
        }
        size += count;
        return true;
    }

    bool PushBack(const T& item) { return Append(&item, 1); }
    void PopBack() { --size; }

    size_t Size() const { return size; }
    size_t Capacity() const { return capacity; }
    bool Empty() const { return size == 0; }
    T& operator[](size_t index) { return items[index]; }
    const T& operator[](size_t index) const { return items[index]; }
    T& Back() { return items[size - 1]; }
    T* Data() { return items; }
    const T* Data() const { return items; }
    T* begin() { return items; }
    T* end() { return items + size; }
    const T* begin() const { return items; }
    const T* end() const { return items + size; }

private:
    size_t Grown(size_t needed) const {
        size_t grown = capacity > 0 ? capacity : 64;
        while (grown < needed && grown <= SIZE_MAX / 2) {
            grown *= 2;
        }
        return grown < needed ? needed : grown;
    }

    T* items = nullptr;
    size_t size = 0;
    size_t capacity = 0;
};
