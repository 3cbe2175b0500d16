// The start-up's second load keeps the first load's entries only when they are what it would derive
// again: the same store file, written by nobody since, the same minute, zone, clock and names.
#include "calllog/calllist.h"

#include "citydb/citydatabase.h"
#include "platform/contacts/callernames.h"
#include "platform/contacts/contactlist.h"
#include "platform/files/programfiles.h"
#include "platform/phone/callername.h"
#include "platform/text/localheap.h"
#include "platform/text/utf8.h"
#include "tests/calllog/citydbfile.h"
#include "tests/platform/storetestenv.h"
#include "tests/platform/zonefilechild.h"

#include <sqlite3.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>

namespace {

using storetest::Call;
using storetest::Utc;

constexpr char16_t kMark[] = u"(kept)";

class Reload : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        liveBefore = LocalLiveCount();
        // Latest first: C today 12:00, B yesterday, A two days ago; A has no name.
        AddCalls({Call(Utc(2026, 12, 7, 10, 0), u"2065550001"), Call(Utc(2026, 12, 8, 10, 0), u"2065550002", u"B"),
                  Call(Utc(2026, 12, 9, 12, 0), u"2065550003", u"C")});
        list = std::make_unique<CallList>();
        ASSERT_EQ(list->Load(), 0);
        ASSERT_EQ(list->count, 3);
        // A derived text no load would write: an entry derived again loses it.
        list->EntryAt(0)->locationText.Assign(kMark);
    }
    void TearDown() override {
        list.reset();
        EXPECT_EQ(LocalLiveCount(), liveBefore);
        EXPECT_EQ(PhoneOpenLogCount(), 0u);
        CallerNames::UseSources({});
        StoreTest::TearDown();
    }

    bool Kept() const { return list->count > 0 && list->EntryAt(0)->locationText.Equals(kMark); }

    // Each entry's name (or "-"), time and number texts, latest first.
    std::string Shown() const {
        std::string out;
        for (int position = 0; position < list->count; ++position) {
            const NVXCallEntry* entry = list->EntryAt(position);
            const std::string name = Utf16ToUtf8(entry->nameText.Data());
            out += (name.empty() ? "-" : name) + "|" + Utf16ToUtf8(entry->timeText.Data()) + "|" +
                   Utf16ToUtf8(entry->numberText.Data()) + "\n";
        }
        return out;
    }

    void Exec(const std::string& path, const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    std::unique_ptr<CallList> list;
    size_t liveBefore = 0;
};

TEST_F(Reload, OnlyTheSecondLoadOfAnUnchangedStoreKeepsTheEntries) {
    const std::string before = Shown();
    ASSERT_EQ(list->Load(), 0);
    EXPECT_TRUE(Kept());
    EXPECT_EQ(Shown(), before);
    // Later loads (a return from another program) read the store again.
    ASSERT_EQ(list->Load(), 0);
    EXPECT_FALSE(Kept());
    EXPECT_EQ(Shown(), before);
}

TEST_F(Reload, WhatAnotherProgramWroteMeanwhileShows) {
    // A dialler's new call, through a connection of its own.
    AddCalls({Call(Utc(2026, 12, 9, 14, 0), u"2065550004", u"D")});
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "D|14:00|2065550004\nC|12:00|2065550003\nB|12/8/26|2065550002\n"
                       "-|12/7/26|2065550001\n");
}

TEST_F(Reload, ACallDeletedElsewhereMeanwhileGoes) {
    Exec(storePath, "DELETE FROM records WHERE name = 'B'");
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|12:00|2065550003\n-|12/7/26|2065550001\n");
}

TEST_F(Reload, AListThatChangedItselfIsReadAgain) {
    ASSERT_EQ(list->DeleteAt(1), 0);
    list->EntryAt(0)->locationText.Assign(kMark);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_FALSE(Kept());
    EXPECT_EQ(Shown(), "C|12:00|2065550003\n-|12/7/26|2065550001\n");
}

TEST_F(Reload, AnotherFileInTheStoresPlaceIsRead) {
    // Another store, moved over the one read: the file read is unchanged, the one at the path is not.
    const std::string other = dir + "/other.db";
    SetStorePath(other);
    AddCalls({Call(Utc(2026, 12, 9, 9, 0), u"2065550009", u"Other")});
    SetStorePath(storePath);
    std::filesystem::rename(other, storePath);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "Other|09:00|2065550009\n");
}

TEST_F(Reload, AClearedListOrOneWithoutItsPlacesIsReadAgain) {
    ASSERT_EQ(list->Clear(), 0);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->count, 3);
    // The city database opened since: the places are looked up again.
    list->EntryAt(0)->locationText.Assign(kMark);
    ASSERT_EQ(list->OpenCityDatabase(), 0);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_FALSE(Kept());
}

TEST_F(Reload, AnotherStoreChosenIsRead) {
    SetStorePath(dir + "/other.db");
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->count, 0);
}

TEST_F(Reload, TheNextMinuteDerivesAgain) {
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(Utc(2026, 12, 9, 15, 1))));
    const std::string before = Shown();
    ASSERT_EQ(list->Load(), 0);
    EXPECT_FALSE(Kept());
    EXPECT_EQ(Shown(), before);
}

TEST_F(Reload, TheNextDayDerivesAgain) {
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(Utc(2026, 12, 10, 0, 1))));
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|12/9/26|2065550003\nB|12/8/26|2065550002\n-|12/7/26|2065550001\n");
}

TEST_F(Reload, TheSameMinuteOfTheNextDayDerivesAgain) {
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(Utc(2026, 12, 10, 15, 0))));
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|12/9/26|2065550003\nB|12/8/26|2065550002\n-|12/7/26|2065550001\n");
}

TEST_F(Reload, AnotherZoneDerivesAgain) {
    // The same local minute in both zones: only the zone tells the loads apart.
    setenv("TZ", "Etc/GMT+1", 1);
    tzset();
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(Utc(2026, 12, 9, 16, 0))));
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|11:00|2065550003\nB|12/8/26|2065550002\n-|12/7/26|2065550001\n");
}

TEST_F(Reload, AZoneFileReplacedUnderTheProgramDerivesInTheNewZone) {
    // The phone travels: the system's zone file is replaced twice while the program runs.
    AddCalls({Call(Utc(2026, 12, 9, 18, 30), u"2065550004", u"D")});
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(Utc(2026, 12, 9, 20, 0))));
    const zonetest::ChildRun run = zonetest::InChildWithOwnZoneFile([this] {
        std::string seen;
        for (const char* zone : {"Asia/Tokyo", "America/New_York"}) {
            if (!zonetest::UseZoneFile(zone) || list->Load() != 0) {
                return seen + "cannot load in " + zone;
            }
            seen += Shown() + "\n";
        }
        return seen;
    });
    if (!run.skipped.empty()) {
        GTEST_SKIP() << run.skipped;
    }
    EXPECT_TRUE(run.exitedCleanly);
    // Tokyo (UTC+9) is at 05:00 on the 10th, New York (UTC-5) at 15:00 on the 9th: the calls' times
    // and which of them are from today follow the zone.
    EXPECT_EQ(run.output, "D|03:30|2065550004\nC|12/9/26|2065550003\nB|12/8/26|2065550002\n-|12/7/26|2065550001\n\n"
                          "D|13:30|2065550004\nC|07:00|2065550003\nB|12/8/26|2065550002\n-|12/7/26|2065550001\n\n");
}

TEST_F(Reload, AnotherClockDerivesAgain) {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_FALSE(Kept());
    EXPECT_EQ(list->EntryAt(0)->timeText.Data(), std::u16string(u"12:00 p"));
}

TEST_F(Reload, NamesReadMeanwhileShow) {
    CallerNames::UseSources(
        {std::make_shared<ContactList>(std::vector<ContactCard>{{"Ada Lovelace", {{"206-555-0001", "w", false}}}})});
    PhoneUseAddressBooks(nullptr);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|12:00|2065550003\nB|12/8/26|2065550002\nAda Lovelace|12/7/26|2065550001 w\n");
}

// Names that the first load already had: the second keeps them with the entries.
class ReloadWithNames : public Reload {
protected:
    void SetUp() override {
        CallerNames::UseSources({std::make_shared<ContactList>(
            std::vector<ContactCard>{{"Ada Lovelace", {{"206-555-0001", "w", false}}}})});
        PhoneUseAddressBooks(nullptr);
        Reload::SetUp();
    }
};

TEST_F(ReloadWithNames, TheSameBooksKeepTheEntries) {
    ASSERT_EQ(list->Load(), 0);
    EXPECT_TRUE(Kept());
    EXPECT_EQ(Shown(), "C|12:00|2065550003\nB|12/8/26|2065550002\nAda Lovelace|12/7/26|2065550001 w\n");
}

TEST_F(ReloadWithNames, TheSameBooksKeepTheEntriesOfSeveralCallsNamedFromThem) {
    AddCalls({Call(Utc(2026, 12, 6, 10, 0), u"2065550001")});
    PhoneRestartCallLogWatch();
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(list->count, 4);
    list->EntryAt(0)->locationText.Assign(kMark);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_TRUE(Kept());
}

TEST_F(ReloadWithNames, BooksReadAgainAndFinishedMeanwhileAreAskedAgain) {
    CallerNames::UseSources(
        {std::make_shared<ContactList>(std::vector<ContactCard>{{"Grace Hopper", {{"206-555-0001", "m", false}}}})});
    PhoneUseAddressBooks(nullptr);
    ASSERT_NE(CallerNames::Map(std::chrono::milliseconds(-1)), nullptr);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|12:00|2065550003\nB|12/8/26|2065550002\nGrace Hopper|12/7/26|2065550001 m\n");
}

TEST_F(ReloadWithNames, BooksReadAgainMeanwhileAreAskedAgain) {
    CallerNames::UseSources(
        {std::make_shared<ContactList>(std::vector<ContactCard>{{"Grace Hopper", {{"206-555-0001", "m", false}}}})});
    PhoneUseAddressBooks(nullptr);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Shown(), "C|12:00|2065550003\nB|12/8/26|2065550002\nGrace Hopper|12/7/26|2065550001 m\n");
}

// Each input of a load changed alone, after a first load: any one of them is enough for the next
// load to derive its rows again, and with none changed it keeps them.
class ReloadInput;

struct InputChange {
    const char* input;
    void (*change)(ReloadInput& test);
    bool kept;
};

class ReloadInput : public Reload, public testing::WithParamInterface<InputChange> {
public:
    void TearDown() override {
        Reload::TearDown();
        SetCityDatabaseOverride("");
    }
    void Write(const char* sql) { Exec(storePath, sql); }
    // A city database that opens, where the first load had none.
    void OpenCityDatabase() {
        citydbfile::Write(dir + "/Zonrik.dll");
        SetCityDatabaseOverride(dir + "/Zonrik.dll");
        ASSERT_EQ(list->OpenCityDatabase(), 0);
        ASSERT_TRUE(CityDatabase::IsLoaded());
    }
};

void At(uint64_t utc) {
    SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(utc)));
}

const InputChange kInputChanges[] = {
    {"nothing", [](ReloadInput&) {}, true},
    // The fixture's clock stands at 15:00 on 9 December, UTC, in the C locale.
    {"a second within the minute", [](ReloadInput&) { At(Utc(2026, 12, 9, 15, 0, 59)); }, true},
    {"the minute", [](ReloadInput&) { At(Utc(2026, 12, 9, 15, 1)); }, false},
    {"the day alone", [](ReloadInput&) { At(Utc(2026, 12, 10, 15, 0)); }, false},
    // UTC+14 at 01:00 UTC: the local minute stays 15:00 on the 9th, and only the zone tells.
    {"the zone",
     [](ReloadInput&) {
         setenv("TZ", "Etc/GMT-14", 1);
         At(Utc(2026, 12, 9, 1, 0));
     },
     false},
    // "H.mm" against the C locale's "HH:mm:ss": only the hours' digits differ.
    {"two-digit hours", [](ReloadInput&) { setenv("LC_ALL", "fi_FI.UTF-8", 1); }, false},
    // "hh:mm AP": two-digit hours as in the C locale, only the clock differs.
    {"a 12-hour clock", [](ReloadInput&) { setenv("LC_ALL", "gu_IN.UTF-8", 1); }, false},
    {"the city database", [](ReloadInput& test) { test.OpenCityDatabase(); }, false},
    // A write that leaves every call as it was: the store cannot tell, so the rows are read again.
    {"the store", [](ReloadInput& test) { test.Write("UPDATE records SET start_time = start_time"); }, false},
    {"the address books",
     [](ReloadInput&) {
         CallerNames::UseSources({std::make_shared<ContactList>(
             std::vector<ContactCard>{{"Ada Lovelace", {{"206-555-0001", "w", false}}}})});
         PhoneUseAddressBooks(nullptr);
     },
     false},
};

TEST_P(ReloadInput, KeepsTheRowsOnlyWhileNoInputChanged) {
    GetParam().change(*this);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(Kept(), GetParam().kept) << "changed: " << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(EachAlone, ReloadInput, testing::ValuesIn(kInputChanges),
                         [](const testing::TestParamInfo<InputChange>& info) {
                             std::string name;
                             for (const char* c = info.param.input; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name;
                         });

} // namespace
