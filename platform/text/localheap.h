#pragma once

#include <cstddef>
#include <cstdint>

// The local-memory heap that owns the texts of the phone's call-log records. A record is 48 bytes
// with four 32-bit text references, too small for a pointer on a 64-bit machine, so a reference is
// a handle into this heap; 0 means no text. Whoever holds a handle releases it with LocalFree.
// The heap counts live handles and rejected releases so tests can prove that nothing leaks and
// nothing is freed twice.
using LocalHandle = uint32_t;

// Copies length characters of text (which need not be terminated) into a new terminated text.
// Returns its handle, or 0 when it cannot be allocated.
LocalHandle LocalAllocText(const char16_t* text, size_t length);

// Copies bytes of UTF-8 as UTF-16 (malformed input becomes U+FFFD), terminated.
LocalHandle LocalAllocUtf8(const char* text, size_t bytes);

// Copies a terminated text; null counts as empty.
LocalHandle LocalAllocText(const char16_t* text);

// The text behind a live handle, writable in place up to its own length; null for 0 or a handle
// that is not live.
char16_t* LocalText(LocalHandle handle);

// Releases a live handle. 0 does nothing; an unknown or already released handle is reported
// (a debug message and the rejected count) and changes nothing.
void LocalFree(LocalHandle handle);

size_t LocalLiveCount();
size_t LocalRejectedFreeCount();

// The bytes of text memory the heap holds, in use or kept for the next texts: for tests that prove
// a reload takes no more memory than the load before it.
size_t LocalCommittedBytes();
