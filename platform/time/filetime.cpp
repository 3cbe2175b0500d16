#include "platform/time/filetime.h"

#include "platform/time/clock.h"

#include <cerrno>
#include <ctime>

namespace {

// Seconds from 1 January 1601 to 1 January 1970, and file-time ticks per second.
constexpr int64_t kEpochDifference = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000LL;
constexpr int64_t kSecondsPerWeek = 7 * 24 * 3600LL;
// The last second a file time can hold, as Unix seconds: file times are kept signed here so that
// arithmetic on them never wraps.
constexpr int64_t kMaxUnixSeconds = INT64_MAX / kTicksPerSecond - kEpochDifference;

// The calendar year of a converted time, without overflow for the C library's largest years.
int64_t YearOf(const std::tm& tm) {
    return static_cast<int64_t>(tm.tm_year) + 1900;
}

// File times are kept signed in the store: one with the top bit set is a damaged record, not a
// time, and every conversion refuses it.
bool IsFileTime(uint64_t ticks) {
    return ticks <= static_cast<uint64_t>(INT64_MAX);
}

// The calendar fields of a file time as the C library gives them, in UTC or in the local zone;
// false for a time with the top bit set or one the library cannot convert.
bool BreakDown(const FileTime& time, bool local, std::tm* tm) {
    if (!IsFileTime(FileTimeValue(time))) {
        return false;
    }
    const std::time_t t = static_cast<std::time_t>(FileTimeToUnixSeconds(time));
    return (local ? localtime_r(&t, tm) : gmtime_r(&t, tm)) != nullptr;
}

void FieldsFromTm(const std::tm& tm, uint16_t milliseconds, SystemTime* fields) {
    fields->year = static_cast<uint16_t>(tm.tm_year + 1900);
    fields->month = static_cast<uint16_t>(tm.tm_mon + 1);
    fields->dayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    fields->day = static_cast<uint16_t>(tm.tm_mday);
    fields->hour = static_cast<uint16_t>(tm.tm_hour);
    fields->minute = static_cast<uint16_t>(tm.tm_min);
    fields->second = static_cast<uint16_t>(tm.tm_sec);
    fields->milliseconds = milliseconds;
}

std::tm TmFromFields(const SystemTime& fields) {
    std::tm tm{};
    tm.tm_year = fields.year - 1900;
    tm.tm_mon = fields.month - 1;
    tm.tm_mday = fields.day;
    tm.tm_hour = fields.hour;
    tm.tm_min = fields.minute;
    tm.tm_sec = fields.second;
    return tm;
}

// A number as a calendar field; one that does not fit is 0xFFFF, which is out of every field's range.
uint16_t FieldOf(int value) {
    return value >= 0 && value < 0xFFFF ? static_cast<uint16_t>(value) : 0xFFFF;
}

bool FieldsInRange(const SystemTime& f) {
    return f.year >= 1601 && f.year <= 30827 && f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= 31 &&
           f.hour <= 23 && f.minute <= 59 && f.second <= 59 && f.milliseconds <= 999;
}

} // namespace

uint64_t FileTimeValue(const FileTime& time) {
    return (static_cast<uint64_t>(time.highDateTime) << 32) | time.lowDateTime;
}

FileTime MakeFileTime(uint64_t value) {
    return FileTime{static_cast<uint32_t>(value & 0xFFFFFFFFu), static_cast<uint32_t>(value >> 32)};
}

int64_t FileTimeToUnixSeconds(const FileTime& time) {
    const uint64_t ticks = FileTimeValue(time);
    return static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochDifference;
}

FileTime UnixSecondsToFileTime(int64_t seconds) {
    if (seconds < -kEpochDifference) {
        return MakeFileTime(0);
    }
    if (seconds > kMaxUnixSeconds) {
        seconds = kMaxUnixSeconds;
    }
    return MakeFileTime(static_cast<uint64_t>(seconds + kEpochDifference) * kTicksPerSecond);
}

int FileTimeToLocalFileTime(const FileTime& utc, FileTime* local) {
    LocalZoneStamp();
    return FileTimeToLocalFileTimeInAppliedZone(utc, local);
}

int FileTimeToLocalFileTimeInAppliedZone(const FileTime& utc, FileTime* local) {
    std::tm tm{};
    if (!BreakDown(utc, true, &tm)) {
        return -1;
    }
    // A zone's offset is at most about a day, but the TZ variable comes from outside.
    const int64_t offsetSeconds = static_cast<int64_t>(tm.tm_gmtoff);
    if (offsetSeconds < -kSecondsPerWeek || offsetSeconds > kSecondsPerWeek) {
        return -1;
    }
    const int64_t offset = offsetSeconds * kTicksPerSecond;
    const auto value = static_cast<int64_t>(FileTimeValue(utc));
    if ((offset > 0 && value > INT64_MAX - offset) || value + offset < 0) {
        return -1;
    }
    *local = MakeFileTime(static_cast<uint64_t>(value + offset));
    return 0;
}

int FileTimeToSystemTime(const FileTime& time, SystemTime* fields) {
    std::tm tm{};
    if (!BreakDown(time, false, &tm) || YearOf(tm) > 30827) {
        return -1;
    }
    const uint64_t ticks = FileTimeValue(time);
    FieldsFromTm(tm, static_cast<uint16_t>((ticks % kTicksPerSecond) / 10000), fields);
    return 0;
}

int SystemTimeToFileTime(const SystemTime& fields, FileTime* time) {
    if (!FieldsInRange(fields)) {
        return -1;
    }
    std::tm tm = TmFromFields(fields);
    const int64_t seconds = timegm(&tm);
    // timegm normalises 31 February into March; such fields are not a date.
    if (tm.tm_mday != fields.day) {
        return -1;
    }
    *time = MakeFileTime(static_cast<uint64_t>(seconds + kEpochDifference) * kTicksPerSecond +
                         static_cast<uint64_t>(fields.milliseconds) * 10000);
    return 0;
}

SystemTime CalendarFields(int year, int month, int day, int hour, int minute, int second) {
    return SystemTime{FieldOf(year),   FieldOf(month),  0, FieldOf(day), FieldOf(hour),
                      FieldOf(minute), FieldOf(second), 0};
}

int UtcCalendarToFileTime(int year, int month, int day, int hour, int minute, int second, FileTime* time) {
    return SystemTimeToFileTime(CalendarFields(year, month, day, hour, minute, second), time);
}

int UnixSecondsToLocalTime(int64_t seconds, SystemTime* fields) {
    LocalZoneStamp();
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr || YearOf(tm) < 1601 || YearOf(tm) > 30827) {
        return -1;
    }
    FieldsFromTm(tm, 0, fields);
    return 0;
}

int LocalTimeToUnixSeconds(const SystemTime& fields, int64_t* seconds) {
    if (!FieldsInRange(fields)) {
        return -1;
    }
    std::tm tm = TmFromFields(fields);
    tm.tm_isdst = -1;
    errno = 0;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && errno != 0) {
        return -1;
    }
    *seconds = static_cast<int64_t>(t);
    return 0;
}
