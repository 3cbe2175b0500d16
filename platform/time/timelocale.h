#pragma once

#include "platform/time/filetime.h"

#include <cstddef>

// The two facts about the user's locale that the call list's time texts need, from the system
// locale (LC_ALL, then LC_TIME, then LANG). Texts are cut to fit capacity (terminator included).

// The locale's time pattern ("h:mm AP", "HH:mm"). Returns its length.
size_t GetLocaleTimePattern(char16_t* pattern, size_t capacity);

// The time of fields written in the locale's own short form, without seconds ("5:07 PM",
// "17:07"). Returns its length.
size_t FormatLocaleTimeNoSeconds(const SystemTime& fields, char16_t* text, size_t capacity);
