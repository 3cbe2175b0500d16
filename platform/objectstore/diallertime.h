#pragma once

#include <cstdint>

// Times as the Linux diallers write them: ISO 8601 text, "YYYY-MM-DDTHH:MM:SS" (a space instead of
// the "T" too), an optional fraction of a second and an optional zone ("Z", "+HH:MM", "+HHMM",
// "+HH"). A time without a zone is read in the zone the dialler is known to use: UTC, or local
// time under TZ. The result is a file time; digits of the fraction beyond 100 ns are dropped.
// false for anything else, including trailing text and impossible dates (31 April).

bool ParseDiallerTime(const char* text, bool localWithoutZone, uint64_t* fileTime);
