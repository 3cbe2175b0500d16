#include "platform/objectstore/diallertime.h"

#include "platform/time/filetime.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ULL;

// Reads exactly count digits.
bool Digits(const char*& p, int count, int* value) {
    int result = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') {
            return false;
        }
        result = result * 10 + (p[i] - '0');
    }
    p += count;
    *value = result;
    return true;
}

bool Expect(const char*& p, char c) {
    if (*p != c) {
        return false;
    }
    ++p;
    return true;
}

// The zone's offset east of UTC in seconds; false when there is text that is not a zone.
bool ParseZone(const char*& p, bool* hasZone, int64_t* offset) {
    *hasZone = false;
    *offset = 0;
    if (*p == '\0') {
        return true;
    }
    *hasZone = true;
    if (*p == 'Z' || *p == 'z') {
        ++p;
        return true;
    }
    if (*p != '+' && *p != '-') {
        return false;
    }
    const int sign = *p == '-' ? -1 : 1;
    ++p;
    int hours = 0;
    int minutes = 0;
    if (!Digits(p, 2, &hours)) {
        return false;
    }
    if (*p == ':') {
        ++p;
    }
    if (*p != '\0' && !Digits(p, 2, &minutes)) {
        return false;
    }
    if (hours > 23 || minutes > 59) {
        return false;
    }
    *offset = sign * (hours * 3600 + minutes * 60);
    return true;
}

} // namespace

bool ParseDiallerTime(const char* text, bool localWithoutZone, uint64_t* fileTime) {
    if (text == nullptr || fileTime == nullptr) {
        return false;
    }
    const char* p = text;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(p, 4, &year) || !Expect(p, '-') || !Digits(p, 2, &month) || !Expect(p, '-') || !Digits(p, 2, &day)) {
        return false;
    }
    if (*p != 'T' && *p != 't' && *p != ' ') {
        return false;
    }
    ++p;
    if (!Digits(p, 2, &hour) || !Expect(p, ':') || !Digits(p, 2, &minute) || !Expect(p, ':') ||
        !Digits(p, 2, &second)) {
        return false;
    }
    uint64_t fraction = 0; // in 100 ns
    if (*p == '.' || *p == ',') {
        ++p;
        if (*p < '0' || *p > '9') {
            return false;
        }
        uint64_t scale = kTicksPerSecond / 10;
        for (; *p >= '0' && *p <= '9'; ++p) {
            fraction += static_cast<uint64_t>(*p - '0') * scale;
            scale /= 10;
        }
    }
    bool hasZone = false;
    int64_t offset = 0;
    if (!ParseZone(p, &hasZone, &offset) || *p != '\0') {
        return false;
    }
    // A leap second is taken as the last second of its minute.
    if (second == 60) {
        second = 59;
    }
    const SystemTime fields = CalendarFields(year, month, day, hour, minute, second);
    FileTime asUtc{};
    if (SystemTimeToFileTime(fields, &asUtc) != 0) {
        return false;
    }
    int64_t seconds = FileTimeToUnixSeconds(asUtc);
    if (hasZone) {
        seconds -= offset;
    } else if (localWithoutZone && LocalTimeToUnixSeconds(fields, &seconds) != 0) {
        return false;
    }
    // Before 1601 there is no file time.
    if (seconds < FileTimeToUnixSeconds(MakeFileTime(0))) {
        return false;
    }
    const FileTime whole = UnixSecondsToFileTime(seconds);
    *fileTime = FileTimeValue(whole) + fraction;
    return true;
}
