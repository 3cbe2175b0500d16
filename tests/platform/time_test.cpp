#include "platform/text/textops.h"
#include "platform/time/clock.h"
#include "platform/time/filetime.h"
#include "platform/time/timelocale.h"
#include "tests/platform/zonefilechild.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Sets TZ for one test and puts UTC back afterwards.
class Zone {
public:
    explicit Zone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~Zone() {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

class Locale {
public:
    explicit Locale(const char* name) { setenv("LC_ALL", name, 1); }
    ~Locale() { setenv("LC_ALL", "C", 1); }
};

SystemTime Fields(int year, int month, int day, int hour, int minute, int second = 0) {
    return CalendarFields(year, month, day, hour, minute, second);
}

TEST(FileTime, KnownInstantsConvertBothWays) {
    struct Row {
        uint64_t fileTime;
        int64_t unixSeconds;
        SystemTime fields;
    };
    const Row rows[] = {
        {116444736000000000ULL, 0, Fields(1970, 1, 1, 0, 0)},
        {0ULL, -11644473600LL, Fields(1601, 1, 1, 0, 0)},
        {128166372000000000ULL, 1172163600LL, Fields(2007, 2, 22, 17, 0)},
        {134111304000000000ULL, 1766656800LL, Fields(2025, 12, 25, 10, 0)}, // a Thursday
        {125911584000000000ULL, 946684800LL, Fields(2000, 1, 1, 0, 0)},
        {134432351990000000ULL, 1798761599LL, Fields(2026, 12, 31, 23, 59, 59)},
        {134774064000000000ULL, 1832932800LL, Fields(2028, 1, 31, 12, 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.unixSeconds);
        EXPECT_EQ(FileTimeToUnixSeconds(MakeFileTime(row.fileTime)), row.unixSeconds);
        EXPECT_EQ(FileTimeValue(UnixSecondsToFileTime(row.unixSeconds)), row.fileTime);
        SystemTime fields{};
        ASSERT_EQ(FileTimeToSystemTime(MakeFileTime(row.fileTime), &fields), 0);
        EXPECT_EQ(fields.year, row.fields.year);
        EXPECT_EQ(fields.month, row.fields.month);
        EXPECT_EQ(fields.day, row.fields.day);
        EXPECT_EQ(fields.hour, row.fields.hour);
        EXPECT_EQ(fields.minute, row.fields.minute);
        EXPECT_EQ(fields.second, row.fields.second);
        FileTime back{};
        ASSERT_EQ(SystemTimeToFileTime(row.fields, &back), 0);
        EXPECT_EQ(FileTimeValue(back), row.fileTime);
    }
    SystemTime thursday{};
    FileTimeToSystemTime(MakeFileTime(134111304000000000ULL), &thursday);
    EXPECT_EQ(thursday.dayOfWeek, 4);
    EXPECT_EQ(MakeFileTime(0x0123456789ABCDEFULL).lowDateTime, 0x89ABCDEFu);
    EXPECT_EQ(MakeFileTime(0x0123456789ABCDEFULL).highDateTime, 0x01234567u);
}

TEST(FileTime, ImpossibleFieldsAndTimesAreRefused) {
    FileTime time{};
    EXPECT_EQ(SystemTimeToFileTime(Fields(2026, 2, 30, 0, 0), &time), -1);
    EXPECT_EQ(SystemTimeToFileTime(Fields(2026, 13, 1, 0, 0), &time), -1);
    EXPECT_EQ(SystemTimeToFileTime(Fields(2026, 1, 1, 24, 0), &time), -1);
    EXPECT_EQ(SystemTimeToFileTime(Fields(1600, 1, 1, 0, 0), &time), -1);
    SystemTime fields{};
    EXPECT_EQ(FileTimeToSystemTime(MakeFileTime(0xFFFFFFFFFFFFFFFFULL), &fields), -1);
    EXPECT_EQ(FileTimeToSystemTime(MakeFileTime(0x7FFFFFFFFFFFFFFFULL), &fields), -1);
}

TEST(FileTime, UtcCalendarNumbersGiveTheirFileTimeOrAreRefused) {
    struct Row {
        int year, month, day, hour, minute, second;
        int result;
        uint64_t fileTime;
    };
    const Row rows[] = {
        {1601, 1, 1, 0, 0, 1, 0, 10000000ULL},
        {1970, 1, 1, 0, 0, 0, 0, 116444736000000000ULL},
        {2006, 3, 7, 14, 5, 9, 0, 127862139090000000ULL},
        {2026, 12, 31, 23, 59, 59, 0, 134432351990000000ULL},
        {2028, 2, 29, 12, 0, 0, 0, 134799120000000000ULL}, // a leap day
        {2026, 2, 29, 12, 0, 0, -1, 0},                    // not a leap year
        {2026, 1, 1, 0, 0, 60, -1, 0},
        {-1, 1, 1, 0, 0, 0, -1, 0},
        // Numbers that a 16-bit field would wrap into a real date: month 1, day 1 of year 2026.
        {2026, 65537, 1, 0, 0, 0, -1, 0},
        {2026, 1, 65537, 0, 0, 0, -1, 0},
        {67562, 1, 1, 0, 0, 0, -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.year << "-" << row.month << "-" << row.day << " " << row.hour << ":"
                                        << row.minute << ":" << row.second);
        FileTime time = MakeFileTime(1);
        EXPECT_EQ(UtcCalendarToFileTime(row.year, row.month, row.day, row.hour, row.minute, row.second, &time),
                  row.result);
        EXPECT_EQ(FileTimeValue(time), row.result == 0 ? row.fileTime : 1);
    }
}

TEST(FileTime, TimesOutsideTheRangeAreRefusedWithoutOverflow) {
    // Damaged records carry any 64 bits; a shift by the zone must not wrap them into a time.
    const uint64_t hostile[] = {0x8000000000000000ULL, 0xFFFFFFFFFFFFFFFFULL, 0x8000000000000001ULL};
    for (const char* name : {"America/Los_Angeles", "Asia/Tokyo", "UTC"}) {
        Zone zone(name);
        for (uint64_t value : hostile) {
            SCOPED_TRACE(testing::Message() << name << " " << value);
            FileTime local{1, 2};
            EXPECT_EQ(FileTimeToLocalFileTime(MakeFileTime(value), &local), -1);
            EXPECT_EQ(local.lowDateTime, 1u);
            EXPECT_EQ(local.highDateTime, 2u);
        }
    }
    {
        // The first file time cannot move back by eight hours, nor the last forward by nine.
        Zone zone("America/Los_Angeles");
        FileTime local{};
        EXPECT_EQ(FileTimeToLocalFileTime(MakeFileTime(0), &local), -1);
        ASSERT_EQ(FileTimeToLocalFileTime(MakeFileTime(0x7FFFFFFFFFFFFFFFULL), &local), 0);
        EXPECT_LE(FileTimeValue(local), 0x7FFFFFFFFFFFFFFFULL - 7 * 3600 * 10000000ULL); // PDT in September
    }
    {
        Zone zone("Asia/Tokyo");
        FileTime local{};
        EXPECT_EQ(FileTimeToLocalFileTime(MakeFileTime(0x7FFFFFFFFFFFFFFFULL), &local), -1);
    }
    SystemTime fields{};
    EXPECT_EQ(UnixSecondsToLocalTime(INT64_MAX, &fields), -1);
    EXPECT_EQ(UnixSecondsToLocalTime(INT64_MIN, &fields), -1);
    // A year near the largest the C library's int holds.
    EXPECT_EQ(UnixSecondsToLocalTime(67767976233532799LL, &fields), -1);
    EXPECT_EQ(FileTimeToSystemTime(MakeFileTime(0x8000000000000000ULL), &fields), -1);
    EXPECT_EQ(FileTimeValue(UnixSecondsToFileTime(INT64_MIN)), 0u);
    EXPECT_EQ(FileTimeValue(UnixSecondsToFileTime(INT64_MAX)) <= static_cast<uint64_t>(INT64_MAX), true);
}

TEST(FileTime, LocalTimeFollowsTheZoneAndDaylightSaving) {
    Zone zone("America/New_York");
    // 9 Dec 2026 03:30 UTC is 22:30 on the 8th in New York (winter, UTC-5).
    FileTime local{};
    SystemTime fields{};
    ASSERT_EQ(FileTimeToLocalFileTime(UnixSecondsToFileTime(1796787000), &local), 0);
    ASSERT_EQ(FileTimeToSystemTime(local, &fields), 0);
    EXPECT_EQ(fields.day, 8);
    EXPECT_EQ(fields.hour, 22);
    // 1 Jul 2026 12:00 UTC is 08:00 in summer (UTC-4).
    ASSERT_EQ(FileTimeToLocalFileTime(UnixSecondsToFileTime(1782907200), &local), 0);
    ASSERT_EQ(FileTimeToSystemTime(local, &fields), 0);
    EXPECT_EQ(fields.hour, 8);

    int64_t seconds = 0;
    ASSERT_EQ(LocalTimeToUnixSeconds(Fields(2026, 7, 1, 8, 0), &seconds), 0);
    EXPECT_EQ(seconds, 1782907200);
    ASSERT_EQ(LocalTimeToUnixSeconds(Fields(2026, 12, 8, 22, 30), &seconds), 0);
    EXPECT_EQ(seconds, 1796787000);
    ASSERT_EQ(UnixSecondsToLocalTime(1782907200, &fields), 0);
    EXPECT_EQ(fields.hour, 8);
    EXPECT_EQ(fields.dayOfWeek, 3);
}

TEST(Clock, FixedNowIsTheLocalTimeUnderTheZone) {
    Zone zone("Europe/Berlin");
    SetCurrentTimeOverride(1796787000); // 03:30 UTC, 04:30 in Berlin
    SystemTime now{};
    GetLocalTime(&now);
    EXPECT_EQ(now.year, 2026);
    EXPECT_EQ(now.month, 12);
    EXPECT_EQ(now.day, 9);
    EXPECT_EQ(now.hour, 4);
    EXPECT_EQ(now.minute, 30);
    ClearCurrentTimeOverride();
    EXPECT_NE(CurrentUnixSeconds(), 1796787000);
}

TEST(TimeLocale, FactsFollowTheLocaleVariables) {
    struct Row {
        const char* locale;
        bool twoDigitHours;
        bool marker;
    };
    const Row rows[] = {
        {"en_US.UTF-8", false, true},
        {"en_GB.UTF-8", true, false},
        {"de_DE.UTF-8", true, false},
        {"C", true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.locale);
        Locale locale(row.locale);
        char16_t pattern[255] = {};
        GetLocaleTimePattern(pattern, 255);
        const std::u16string p(pattern);
        EXPECT_EQ(p.find(u"hh") != std::u16string::npos || p.find(u"HH") != std::u16string::npos, row.twoDigitHours);
        char16_t text[15] = {};
        FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 5), text, 15);
        EXPECT_EQ(std::u16string(text).find(u'M') != std::u16string::npos, row.marker);
        EXPECT_NE(std::u16string(text).find(u"05"), std::u16string::npos);
    }
}

TEST(TimeLocale, FormattedTimeFollowsEveryMinuteAndHour) {
    Locale locale("en_GB.UTF-8");
    char16_t text[15] = {};
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 5), text, 15);
    EXPECT_EQ(std::u16string(text), u"17:05");
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 45), text, 15);
    EXPECT_EQ(std::u16string(text), u"17:45");
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 18, 45), text, 15);
    EXPECT_EQ(std::u16string(text), u"18:45");
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 18, 45), text, 15);
    EXPECT_EQ(std::u16string(text), u"18:45");
}

TEST(TimeLocale, LcTimeDecidesWhenLcAllIsUnset) {
    unsetenv("LC_ALL");
    setenv("LC_TIME", "en_US.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    char16_t text[15] = {};
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 5), text, 15);
    EXPECT_NE(std::u16string(text).find(u"PM"), std::u16string::npos);
    unsetenv("LC_TIME");
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 5), text, 15);
    EXPECT_EQ(std::u16string(text), u"17:05");
    unsetenv("LANG");
    setenv("LC_ALL", "C", 1);
}

// Qt reads the environment for its system locale at the first locale anyone makes; opening a
// logging category makes one. A locale chosen after that is still the one the times follow.
TEST(TimeLocale, LocaleChosenAfterQtReadTheEnvironmentIsFollowed) {
    EXPECT_EQ(QLocale::system().name(), QLatin1String("C"));
    Locale locale("en_US.UTF-8");
    char16_t text[15] = {};
    FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 5), text, 15);
    EXPECT_NE(std::u16string(text).find(u"PM"), std::u16string::npos);
}

TEST(TimeLocale, TextIsCutToItsBuffer) {
    Locale locale("en_US.UTF-8");
    char16_t text[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(FormatLocaleTimeNoSeconds(Fields(2026, 12, 9, 17, 5), text, 4), 3u);
    EXPECT_EQ(std::u16string(text), u"5:0");
}

TEST(Clock, ZoneStampChangesOnlyWithTheZone) {
    const uint64_t utc = LocalZoneStamp();
    EXPECT_EQ(LocalZoneStamp(), utc);
    {
        Zone zone("America/New_York");
        const uint64_t newYork = LocalZoneStamp();
        EXPECT_NE(newYork, utc);
        EXPECT_EQ(LocalZoneStamp(), newYork);
    }
    // Back to the first zone is a change as well: entries derived in between are in the other.
    EXPECT_NE(LocalZoneStamp(), utc);
}

// Day and "hh:mm" of local calendar fields.
std::string DayAndClock(const SystemTime& fields) {
    char text[32];
    std::snprintf(text, sizeof text, "%d %02d:%02d", fields.day, fields.hour, fields.minute);
    return text;
}

TEST(Clock, AZoneFileReplacedUnderARunningProgramIsTheZoneOfItsNextConversions) {
    // 9 Dec 2026 03:30 UTC: 12:30 on the 9th in Tokyo, 22:30 on the 8th in New York.
    constexpr int64_t kSeconds = 1796787000;
    SetCurrentTimeOverride(kSeconds);
    const zonetest::ChildRun run = zonetest::InChildWithOwnZoneFile([] {
        std::string seen;
        for (const char* zone : {"Asia/Tokyo", "America/New_York"}) {
            if (!zonetest::UseZoneFile(zone)) {
                return seen + "cannot mount " + zone;
            }
            // Each way a call's time or "now" is taken in local time, with no other call before it.
            FileTime local{};
            SystemTime fields{};
            FileTimeToLocalFileTime(UnixSecondsToFileTime(kSeconds), &local);
            FileTimeToSystemTime(local, &fields);
            seen += DayAndClock(fields) + ", ";
            fields = SystemTime{};
            UnixSecondsToLocalTime(kSeconds, &fields);
            seen += DayAndClock(fields) + ", ";
            fields = SystemTime{};
            GetLocalTime(&fields);
            seen += DayAndClock(fields) + "; ";
        }
        return seen;
    });
    ClearCurrentTimeOverride();
    if (!run.skipped.empty()) {
        GTEST_SKIP() << run.skipped;
    }
    EXPECT_TRUE(run.exitedCleanly);
    EXPECT_EQ(run.output, "9 12:30, 9 12:30, 9 12:30; 8 22:30, 8 22:30, 8 22:30; ");
}

} // namespace
