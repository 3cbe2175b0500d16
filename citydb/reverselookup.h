#pragma once

#include <cstddef>

// The reverse lookup's answer for the digits typed so far: with six characters, "%s, %s" of city
// and state, or "City and State information not available"; with fewer, the empty text. Only the
// first six characters of digits are read. Returns 0.
int ReverseLookupText(const char16_t* digits, char16_t* result, size_t capacity);
