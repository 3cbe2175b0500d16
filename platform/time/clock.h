#pragma once

#include "platform/time/filetime.h"

#include <cstdint>

// The current time. Tests and ringlog-tool can fix "now" so that texts that depend on the day
// ("today" shows a time, another day a date) come out the same on every run.

// Seconds since 1970 UTC: the fixed time when one is set, else the system clock.
int64_t CurrentUnixSeconds();

// The current local date and time, in the zone as it is now.
void GetLocalTime(SystemTime* fields);

// A number that changes whenever the zone local times are taken in may have changed since the last
// call: the TZ variable, or the zone file it names (the system's when it is unset), is not what it
// was. A change is applied to the conversions before the new number is returned.
uint64_t LocalZoneStamp();

// Fixes the current time at seconds since 1970 UTC.
void SetCurrentTimeOverride(int64_t seconds);
void ClearCurrentTimeOverride();
