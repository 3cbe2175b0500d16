#pragma once

#include <cstddef>

// Large blocks of memory straight from the system, for arenas that hold many records: in huge pages
// where the system offers them, so that first touching a block of tens of megabytes costs a few
// dozen page faults instead of thousands. Pages that are never touched take no memory.

// A block of at least bytes, zero-filled, or null (also for 0 and for more than any address space
// holds).
void* AllocatePages(size_t bytes);

// Gives back a block of AllocatePages with the same size. Null does nothing.
void FreePages(void* block, size_t bytes);
