#include "calllog/nvxcallentry.h"

#include "citydb/citydatabase.h"
#include "platform/files/programfiles.h"
#include "platform/text/localheap.h"
#include "tests/calllog/citydbfile.h"
#include "tests/platform/storetestenv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using storetest::Utc;

struct Texts {
    const char16_t* number = nullptr;
    const char16_t* name = nullptr;
    const char16_t* nameType = nullptr;
    const char16_t* note = nullptr;
};

// An entry as the phone delivers it: texts in the local heap, owned by the entry.
std::unique_ptr<NVXCallEntry> Delivered(const Texts& texts, int32_t callerIdType, uint64_t start) {
    auto entry = std::make_unique<NVXCallEntry>();
    entry->startTime = MakeFileTime(start);
    entry->endTime = MakeFileTime(start);
    entry->callerIdType = callerIdType;
    entry->number = texts.number != nullptr ? LocalAllocText(texts.number) : 0;
    entry->name = texts.name != nullptr ? LocalAllocText(texts.name) : 0;
    entry->nameType = texts.nameType != nullptr ? LocalAllocText(texts.nameType) : 0;
    entry->note = texts.note != nullptr ? LocalAllocText(texts.note) : 0;
    return entry;
}

class CallEntry : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        liveBefore = LocalLiveCount();
        rejectedBefore = LocalRejectedFreeCount();
        citydbfile::Write(dir + "/Zonrik.dll");
        SetCityDatabaseOverride(dir + "/Zonrik.dll");
    }
    void TearDown() override {
        CityDatabase::Unload();
        SetCityDatabaseOverride("");
        EXPECT_EQ(LocalLiveCount(), liveBefore);
        EXPECT_EQ(LocalRejectedFreeCount(), rejectedBefore);
        StoreTest::TearDown();
    }

    // Derives the entry and releases its texts; the derived texts stay readable.
    std::unique_ptr<NVXCallEntry> Derive(const Texts& texts, int32_t callerIdType = CallerIdAvailable,
                                         uint64_t start = Utc(2026, 12, 9, 9, 41)) {
        auto entry = Delivered(texts, callerIdType, start);
        EXPECT_EQ(DeriveDisplayFields(*entry), 0);
        numberAfter = LocalText(entry->number) != nullptr ? LocalText(entry->number) : u"(absent)";
        FreeRecordStrings(*entry);
        return entry;
    }

    size_t liveBefore = 0;
    size_t rejectedBefore = 0;
    std::u16string numberAfter;
};

TEST_F(CallEntry, NewEntryIsAZeroedRecordOf48Bytes) {
    const NVXCallEntry entry;
    EXPECT_EQ(entry.recordSize, 48u);
    EXPECT_EQ(FileTimeValue(entry.startTime), 0u);
    EXPECT_EQ(entry.number + entry.name + entry.nameType + entry.note, 0u);
    EXPECT_TRUE(entry.nameText.IsEmpty() && entry.numberText.IsEmpty() && entry.locationText.IsEmpty() &&
                entry.cityText.IsEmpty() && entry.stateText.IsEmpty() && entry.timeText.IsEmpty() &&
                entry.dialNumber.IsEmpty());
}

TEST_F(CallEntry, NumberIsStrippedFormattedAndWrittenBackWithTheDatabase) {
    ASSERT_EQ(CityDatabase::Load(), 0);
    auto entry = Derive({u"+1 (425) 555-1212", u"Ada Lovelace"});
    EXPECT_EQ(std::u16string(entry->numberText.Data()), u"(425) 555-1212");
    EXPECT_EQ(std::u16string(entry->dialNumber.Data()), u"(425) 555-1212");
    EXPECT_EQ(numberAfter, u"14255551212");
    EXPECT_EQ(std::u16string(entry->cityText.Data()), u"Redmond");
    EXPECT_EQ(std::u16string(entry->stateText.Data()), u"WA");
    EXPECT_EQ(std::u16string(entry->locationText.Data()), u"Redmond, WA");
    EXPECT_EQ(std::u16string(entry->nameText.Data()), u"Ada Lovelace");
}

TEST_F(CallEntry, NumberStaysStrippedWithoutTheDatabase) {
    auto entry = Derive({u"+1 (425) 555-1212"});
    EXPECT_EQ(std::u16string(entry->numberText.Data()), u"14255551212");
    EXPECT_EQ(std::u16string(entry->dialNumber.Data()), u"(425) 555-1212");
    EXPECT_EQ(numberAfter, u"14255551212");
    EXPECT_TRUE(entry->cityText.IsEmpty() && entry->stateText.IsEmpty() && entry->locationText.IsEmpty());
}

TEST_F(CallEntry, UnknownExchangeKeepsOnlyTheState) {
    ASSERT_EQ(CityDatabase::Load(), 0);
    auto entry = Derive({u"425-999-0000"});
    EXPECT_TRUE(entry->cityText.IsEmpty());
    EXPECT_TRUE(entry->locationText.IsEmpty());
    EXPECT_EQ(std::u16string(entry->stateText.Data()), u"WA");
    EXPECT_EQ(std::u16string(entry->numberText.Data()), u"(425) 999-0000");
}

TEST_F(CallEntry, NumberTextAndNameFollowTheCallerIdRules) {
    ASSERT_EQ(CityDatabase::Load(), 0);
    struct Row {
        Texts texts;
        int32_t callerIdType;
        const char16_t* numberText;
        const char16_t* nameText;
        const char16_t* dialNumber;
    };
    const Row rows[] = {
        {{}, CallerIdBlocked, u"Caller ID Blocked", u"", u""},
        {{}, CallerIdUnavailable, u"Unknown", u"", u""},
        {{}, CallerIdAvailable, u"Unknown", u"", u""},
        {{}, 9, u"Unknown", u"", u""},
        {{nullptr, u"Grace"}, CallerIdUnavailable, u"Grace", u"", u""},
        {{nullptr, u"Grace"}, CallerIdAvailable, u"Grace", u"Grace", u""},
        {{u"2063861234", u"Grace"}, CallerIdBlocked, u"(206) 386-1234", u"", u"(206) 386-1234"},
        {{u"2063861234", u"Grace", u"h"}, CallerIdAvailable, u"(206) 386-1234 h", u"Grace", u"(206) 386-1234"},
        {{nullptr, nullptr, u"w"}, CallerIdBlocked, u"Caller ID Blocked w", u"", u""},
        // Empty texts count as absent: the label stands in for the number, and there is nothing to dial.
        {{u"", u""}, CallerIdAvailable, u"Unknown", u"", u""},
        {{u"", u""}, CallerIdBlocked, u"Caller ID Blocked", u"", u""},
        {{u"", u"Grace"}, CallerIdAvailable, u"Grace", u"Grace", u""},
        {{u"( ) -", nullptr}, CallerIdUnavailable, u"Unknown", u"", u""},
        {{u"2063861234", u""}, CallerIdAvailable, u"(206) 386-1234", u"", u"(206) 386-1234"},
        {{u"*86", nullptr, u""}, CallerIdAvailable, u"*86 ", u"", u"*86"},
        {{u"+44 20 7946 0958"}, CallerIdAvailable, u"442079460958", u"", u"442079460958"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "caller id " << row.callerIdType << ", number "
                                        << (row.texts.number ? "present" : "absent"));
        auto entry = Derive(row.texts, row.callerIdType);
        EXPECT_EQ(std::u16string(entry->numberText.Data()), row.numberText);
        EXPECT_EQ(std::u16string(entry->nameText.Data()), row.nameText);
        EXPECT_EQ(std::u16string(entry->dialNumber.Data()), row.dialNumber);
    }
}

TEST_F(CallEntry, LongTextsAreCutToTheirBuffers) {
    ASSERT_EQ(CityDatabase::Load(), 0);
    const std::u16string digits(10000, u'7');
    const std::u16string name(10000, u'n');
    auto withNumber = Derive({digits.c_str(), name.c_str(), name.c_str(), name.c_str()});
    EXPECT_EQ(withNumber->numberText.Length(), 50u);
    // The name type does not fit behind 50 digits.
    EXPECT_EQ(std::u16string(withNumber->numberText.Data()), std::u16string(50, u'7'));
    EXPECT_EQ(std::u16string(withNumber->dialNumber.Data()), std::u16string(50, u'7'));
    EXPECT_EQ(std::u16string(withNumber->nameText.Data()), std::u16string(100, u'n'));

    auto withoutNumber = Derive({nullptr, name.c_str()});
    EXPECT_EQ(std::u16string(withoutNumber->numberText.Data()), std::u16string(50, u'n'));
    EXPECT_TRUE(withoutNumber->locationText.IsEmpty());
}

// Time and date texts: the call's local day against today's.
TEST_F(CallEntry, TimeTextFollowsTheLocaleZoneAndDay) {
    struct Row {
        const char* locale;
        const char* zone;
        uint64_t now;
        uint64_t start;
        const char16_t* timeText;
    };
    const uint64_t now = Utc(2026, 12, 9, 15, 0);
    const Row rows[] = {
        {"en_US.UTF-8", "UTC", now, Utc(2026, 12, 9, 12, 30), u"12:30 p"},
        {"en_US.UTF-8", "UTC", now, Utc(2026, 12, 9, 0, 5), u"12:05 a"},
        {"en_US.UTF-8", "UTC", now, Utc(2026, 12, 9, 13, 7), u"1:07 p"},
        {"en_US.UTF-8", "UTC", now, Utc(2026, 12, 9, 9, 41), u"9:41 a"},
        {"en_US.UTF-8", "UTC", now, Utc(2026, 12, 9, 23, 59), u"11:59 p"},
        {"en_GB.UTF-8", "UTC", now, Utc(2026, 12, 9, 0, 5), u"00:05"},
        {"en_GB.UTF-8", "UTC", now, Utc(2026, 12, 9, 13, 7), u"13:07"},
        {"ja_JP.UTF-8", "UTC", now, Utc(2026, 12, 9, 0, 5), u"0:05"},
        {"C", "UTC", now, Utc(2026, 12, 9, 9, 41), u"09:41"},
        // A 12-hour clock with two-digit hours.
        {"gu_IN.UTF-8", "UTC", now, Utc(2026, 12, 9, 9, 5), u"09:05 a"},
        {"gu_IN.UTF-8", "UTC", now, Utc(2026, 12, 9, 13, 7), u"01:07 p"},
        {"gu_IN.UTF-8", "UTC", now, Utc(2026, 12, 9, 0, 45), u"12:45 a"},
        // Not today: month/day/two-digit year.
        {"en_US.UTF-8", "UTC", now, Utc(2026, 12, 8, 23, 59), u"12/8/26"},
        {"en_US.UTF-8", "UTC", Utc(2008, 1, 6, 10, 0), Utc(2008, 1, 5, 10, 0), u"1/5/08"},
        {"en_US.UTF-8", "UTC", now, Utc(2010, 12, 25, 10, 0), u"12/25/10"},
        {"en_US.UTF-8", "UTC", now, Utc(2009, 3, 7, 10, 0), u"3/7/09"},
        {"en_US.UTF-8", "UTC", now, Utc(2000, 2, 29, 10, 0), u"2/29/00"},
        // Same day and month of an earlier year is not today.
        {"en_US.UTF-8", "UTC", Utc(2009, 1, 5, 10, 0), Utc(2008, 1, 5, 10, 0), u"1/5/08"},
        {"en_US.UTF-8", "UTC", now, Utc(2025, 12, 9, 14, 0), u"12/9/25"},
        // Same day of another month of this year is not today either.
        {"en_US.UTF-8", "UTC", now, Utc(2026, 11, 9, 14, 0), u"11/9/26"},
        {"en_US.UTF-8", "UTC", Utc(2026, 1, 9, 8, 0), Utc(2026, 12, 9, 7, 0), u"12/9/26"},
        // The 31st, and the last second of a year.
        {"en_US.UTF-8", "UTC", now, Utc(2026, 10, 31, 10, 0), u"10/31/26"},
        {"en_US.UTF-8", "UTC", Utc(2026, 12, 31, 23, 59, 59), Utc(2026, 12, 31, 23, 59, 59), u"11:59 p"},
        {"en_US.UTF-8", "UTC", Utc(2027, 1, 1, 0, 0), Utc(2026, 12, 31, 23, 59, 59), u"12/31/26"},
        // The local day decides: 05:00 UTC on the 9th is the evening of the 8th in Los Angeles,
        // and in Tokyo 23:30 UTC on the 8th is the morning of the 9th.
        {"en_US.UTF-8", "America/Los_Angeles", now, Utc(2026, 12, 9, 5, 0), u"12/8/26"},
        {"en_US.UTF-8", "America/Los_Angeles", now, Utc(2026, 12, 9, 9, 0), u"1:00 a"},
        {"ja_JP.UTF-8", "Asia/Tokyo", now, Utc(2026, 12, 8, 23, 30), u"12/9/26"},
        {"ja_JP.UTF-8", "Asia/Tokyo", Utc(2026, 12, 9, 2, 0), Utc(2026, 12, 8, 23, 30), u"8:30"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.locale << " " << row.zone << " row " << static_cast<int>(&row - rows));
        setenv("LC_ALL", row.locale, 1);
        setenv("TZ", row.zone, 1);
        tzset();
        SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(row.now)));
        auto entry = Derive({u"4255551212"}, CallerIdAvailable, row.start);
        EXPECT_EQ(std::u16string(entry->timeText.Data()), row.timeText);
    }
}

TEST_F(CallEntry, SnapshotBorrowsTheTextsAndDialsTheStrippedNumber) {
    ASSERT_EQ(CityDatabase::Load(), 0);
    auto entry = Delivered({u"+1 (425) 555-1212", u"Ada", u"m", u"note"}, CallerIdAvailable, Utc(2026, 12, 9, 9, 41));
    entry->callType = CallTypeOutgoing;
    entry->flags = 0x11;
    DeriveDisplayFields(*entry);
    const size_t live = LocalLiveCount();

    NVXCallEntry snapshot;
    snapshot.locationText.Assign(u"kept");
    CopyEntry(*entry, snapshot);
    EXPECT_EQ(std::memcmp(static_cast<const CallLogRecord*>(&snapshot), static_cast<const CallLogRecord*>(entry.get()),
                          sizeof(CallLogRecord)),
              0);
    EXPECT_EQ(std::u16string(snapshot.nameText.Data()), u"Ada");
    EXPECT_EQ(std::u16string(snapshot.numberText.Data()), u"(425) 555-1212 m");
    EXPECT_EQ(std::u16string(snapshot.cityText.Data()), u"Redmond");
    EXPECT_EQ(std::u16string(snapshot.stateText.Data()), u"WA");
    EXPECT_EQ(std::u16string(snapshot.timeText.Data()), u"09:41");
    EXPECT_EQ(std::u16string(snapshot.dialNumber.Data()), u"14255551212");
    EXPECT_EQ(std::u16string(snapshot.locationText.Data()), u"kept");
    EXPECT_EQ(LocalLiveCount(), live);

    NVXCallEntry noNumber;
    auto withoutNumber = Delivered({nullptr, u"Ada"}, CallerIdAvailable, Utc(2026, 12, 9, 9, 41));
    DeriveDisplayFields(*withoutNumber);
    noNumber.dialNumber.Assign(u"stale");
    CopyEntry(*withoutNumber, noNumber);
    EXPECT_TRUE(noNumber.dialNumber.IsEmpty());

    FreeRecordStrings(*entry);
    FreeRecordStrings(*withoutNumber);
}

TEST_F(CallEntry, FreeRecordStringsReleasesWhatIsPresentOnce) {
    auto all = Delivered({u"1", u"2", u"3", u"4"}, CallerIdAvailable, 0);
    auto some = Delivered({nullptr, u"2", nullptr, u""}, CallerIdAvailable, 0);
    auto none = Delivered({}, CallerIdAvailable, 0);
    EXPECT_EQ(LocalLiveCount(), liveBefore + 6);
    FreeRecordStrings(*none);
    EXPECT_EQ(LocalLiveCount(), liveBefore + 6);
    FreeRecordStrings(*some);
    EXPECT_EQ(LocalLiveCount(), liveBefore + 4);
    FreeRecordStrings(*all);
    FreeRecordStrings(*all);
    EXPECT_EQ(LocalLiveCount(), liveBefore);
    // TearDown checks that nothing was released twice.
}

} // namespace

namespace {

// A load reads the time facts once and derives every call with them: the facts handed in decide,
// not the clock or the locale at the moment each call is derived.
TEST_F(CallEntry, TimeFactsHandedInDecideTheTimeText) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    setenv("TZ", "UTC", 1);
    tzset();
    const TimeFacts read = ReadTimeFacts();
    EXPECT_TRUE(read.twelveHour);
    EXPECT_FALSE(read.twoDigits);

    TimeFacts facts{};
    facts.now = SystemTime{2026, 12, 3, 9, 15, 0, 0, 0};
    facts.twoDigits = true;
    facts.twelveHour = false;
    auto today = Delivered({u"2065550100"}, CallerIdAvailable, Utc(2026, 12, 9, 9, 41));
    EXPECT_EQ(DeriveDisplayFields(*today, facts), 0);
    EXPECT_TRUE(today->timeText.Equals(u"09:41"));
    facts.now.day = 10;
    auto yesterday = Delivered({u"2065550100"}, CallerIdAvailable, Utc(2026, 12, 9, 9, 41));
    EXPECT_EQ(DeriveDisplayFields(*yesterday, facts), 0);
    EXPECT_TRUE(yesterday->timeText.Equals(u"12/9/26"));
    FreeRecordStrings(*today);
    FreeRecordStrings(*yesterday);
}

} // namespace
