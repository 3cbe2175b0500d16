#pragma once

#include "platform/time/filetime.h"

#include <cstdint>

// The current time. Tests and ringlog-tool can fix "now" so that texts that depend on the day
// ("today" shows a time, another day a date) come out the same on every run.

// Seconds since 1970 UTC: the fixed time when one is set, else the system clock.
int64_t CurrentUnixSeconds();

// The current local date and time under TZ.
void GetLocalTime(SystemTime* fields);

// Fixes the current time at seconds since 1970 UTC.
void SetCurrentTimeOverride(int64_t seconds);
void ClearCurrentTimeOverride();
