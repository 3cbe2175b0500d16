#pragma once

#include <cstddef>

// Large blocks of memory straight from the system, for arenas that hold many records: in huge pages
// where the system offers them, so that first touching a block of tens of megabytes costs a few
// dozen page faults instead of thousands. Pages that are never touched take no memory.
//
// Alignment: every block starts on a page boundary (kPageAlignment); where the system takes huge-page
// advice, a block of at least a huge page (2 MiB) starts on a huge-page boundary, so that the kernel
// can back its whole frames with huge pages. The containers built on these blocks (PageVector, PageAllocator, the call
// list's entry arena) place their records at the block's start and at multiples of the record's size from it: any
// record whose alignment is at most a page sits aligned, which each of them asserts.

// The alignment every block has at least: a small page.
inline constexpr size_t kPageAlignment = 4096;

// A block of at least bytes, zero-filled, or null (also for 0 and for more than any address space
// holds).
void* AllocatePages(size_t bytes);

// Gives back a block of AllocatePages with the same size. Null does nothing.
void FreePages(void* block, size_t bytes);
