#include "platform/time/filetime.h"

#include <cerrno>
#include <ctime>

namespace {

// Seconds from 1 January 1601 to 1 January 1970, and file-time ticks per second.
constexpr int64_t kEpochDifference = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000LL;
// The last second a file time can hold, as Unix seconds: file times are kept signed here so that
// arithmetic on them never wraps.
constexpr int64_t kMaxUnixSeconds = INT64_MAX / kTicksPerSecond - kEpochDifference;

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
    const int64_t seconds = FileTimeToUnixSeconds(utc);
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) {
        return -1;
    }
    const int64_t shifted = static_cast<int64_t>(FileTimeValue(utc)) + static_cast<int64_t>(tm.tm_gmtoff) * kTicksPerSecond;
    if (shifted < 0) {
        return -1;
    }
    *local = MakeFileTime(static_cast<uint64_t>(shifted));
    return 0;
}

int FileTimeToSystemTime(const FileTime& time, SystemTime* fields) {
    const uint64_t ticks = FileTimeValue(time);
    if (ticks > static_cast<uint64_t>(INT64_MAX)) {
        return -1;
    }
    const std::time_t t = static_cast<std::time_t>(FileTimeToUnixSeconds(time));
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr || tm.tm_year + 1900 > 30827) {
        return -1;
    }
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

int UnixSecondsToLocalTime(int64_t seconds, SystemTime* fields) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr || tm.tm_year + 1900 < 1601 || tm.tm_year + 1900 > 30827) {
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
