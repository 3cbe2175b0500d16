#pragma once

#include <cstddef>

// The two in-place rewrites of a phone number text that the call list shows and dials.
// Capacities count characters with the terminator.

// Drops blanks, "(", ")", "-" and "+" from text and keeps every other character in order. The
// result stands in scratch and, copied back, in text. A result longer than scratch can hold is cut
// to fit. Returns 0.
int StripNumber(char16_t* text, char16_t* scratch, size_t scratchCapacity);

// Rewrites a ten-character number, alone or behind "1", "01", "91" or "001", as "(%s) %s-%s".
// Any other text, or a buffer of fewer than 15 characters, is left unchanged. Returns 0.
int FormatNumber(char16_t* text, size_t capacity);
