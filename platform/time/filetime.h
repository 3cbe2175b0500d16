#pragma once

#include <cstdint>

// Times as the phone's call log keeps them: 64-bit file times, counts of 100-nanosecond intervals
// since 1 January 1601 UTC, stored as two 32-bit halves (low first) so that a record can hold one
// at any 4-byte offset. Local time follows the C library's zone (TZ).
struct FileTime {
    uint32_t lowDateTime;
    uint32_t highDateTime;
};
static_assert(sizeof(FileTime) == 8, "a file time is two 32-bit halves");

// Calendar fields of a time; month 1 to 12, day 1 to 31, dayOfWeek 0 (Sunday) to 6.
struct SystemTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;

    bool operator==(const SystemTime&) const = default;
};
static_assert(sizeof(SystemTime) == 16, "calendar fields are eight 16-bit values");

uint64_t FileTimeValue(const FileTime& time);
FileTime MakeFileTime(uint64_t value);

// Seconds since 1970 UTC and back; sub-second parts are dropped.
int64_t FileTimeToUnixSeconds(const FileTime& time);
FileTime UnixSecondsToFileTime(int64_t seconds);

// Shifts a UTC file time by the local zone's offset at that moment, in the zone as it is now (a
// zone chosen since the last conversion is applied first). 0, or -1 when the time is outside what
// the C library can convert, has the top bit set (a negative stored time), or would leave the range
// of file times when shifted (local is then untouched).
int FileTimeToLocalFileTime(const FileTime& utc, FileTime* local);

// The same in the zone that the last look at it (LocalZoneStamp) applied, without looking again: for
// the many conversions of one load, which looks once before them.
int FileTimeToLocalFileTimeInAppliedZone(const FileTime& utc, FileTime* local);

// Calendar fields of a file time, without any zone. 0, or -1 for a time beyond year 30827.
int FileTimeToSystemTime(const FileTime& time, SystemTime* fields);

// File time of calendar fields, without any zone. 0, or -1 for fields out of range.
int SystemTimeToFileTime(const SystemTime& fields, FileTime* time);

// Calendar fields of plain numbers, with the day of the week and the milliseconds 0. A number that
// its field cannot hold gives fields that every conversion refuses, never a wrapped-around date.
SystemTime CalendarFields(int year, int month, int day, int hour, int minute, int second);

// File time of a UTC calendar time given as plain numbers. 0, or -1 for fields out of range.
int UtcCalendarToFileTime(int year, int month, int day, int hour, int minute, int second, FileTime* time);

// The C library's local time conversions: seconds since 1970 to local calendar fields (in the zone
// as it is now, as above), and local calendar fields (daylight saving decided by the library, as
// with tm_isdst -1) to seconds.
int UnixSecondsToLocalTime(int64_t seconds, SystemTime* fields);
int LocalTimeToUnixSeconds(const SystemTime& fields, int64_t* seconds);
