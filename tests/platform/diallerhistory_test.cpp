#include "platform/objectstore/diallertime.h"
#include "platform/objectstore/objectstore.h"
#include "platform/objectstore/storecheck.h"
#include "platform/phone/phonelibrary.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"

#include <fstream>

namespace {

using storetest::Utc;

constexpr uint64_t kSecond = 10000000ULL;

struct ReadCall {
    uint64_t start;
    uint64_t end;
    int32_t callType;
    int32_t callerIdType;
    std::u16string number; // "~" when absent
};

class DiallerHistory : public storetest::StoreTest {
protected:
    std::vector<ReadCall> ReadAll() {
        std::vector<ReadCall> calls;
        CallLogHandle log = nullptr;
        EXPECT_EQ(PhoneOpenCallLog(&log), 0) << PhoneLastError();
        CallLogRecord record{};
        record.recordSize = 48;
        while (log != nullptr && PhoneGetNextCallLogRecord(log, &record) == 0) {
            const char16_t* number = LocalText(record.number);
            calls.push_back({FileTimeValue(record.startTime), FileTimeValue(record.endTime), record.callType,
                             record.callerIdType, number != nullptr ? number : u"~"});
            for (LocalHandle text : {record.number, record.name, record.nameType, record.note}) {
                LocalFree(text);
            }
        }
        PhoneCloseCallLog(log);
        return calls;
    }
};

TEST_F(DiallerHistory, GnomeCallsRowsBecomeCallsNewestFirst) {
    dialler::MakeGnomeCallsHistory(storePath);
    const std::vector<ReadCall> calls = ReadAll();
    ASSERT_EQ(calls.size(), 6u);

    // Answered, still going on: it ends at its start.
    EXPECT_EQ(calls[0].start, Utc(2026, 12, 9, 14, 59));
    EXPECT_EQ(calls[0].end, calls[0].start);
    EXPECT_EQ(calls[0].callType, 1);
    EXPECT_EQ(calls[0].number, u"+14255551212");
    // Two calls at 10:00: the one added later comes first. Not answered: missed.
    EXPECT_EQ(calls[1].start, Utc(2026, 12, 9, 10, 0));
    EXPECT_EQ(calls[1].callType, 0);
    EXPECT_EQ(calls[1].callerIdType, 2);
    EXPECT_EQ(calls[1].number, u"3125550100");
    // No target: the caller withheld the number.
    EXPECT_EQ(calls[2].start, Utc(2026, 12, 9, 10, 0));
    EXPECT_EQ(calls[2].callType, 1);
    EXPECT_EQ(calls[2].callerIdType, 1);
    EXPECT_EQ(calls[2].number, u"~");
    // A SIP address stays as it is; the fraction of a second is kept.
    EXPECT_EQ(calls[3].start, Utc(2026, 12, 9, 8, 0) + kSecond / 4);
    EXPECT_EQ(calls[3].end, Utc(2026, 12, 9, 8, 10));
    EXPECT_EQ(calls[3].number, u"sip:ada@example.org");
    EXPECT_EQ(calls[4].start, Utc(2026, 12, 9, 4, 25, 47));
    EXPECT_EQ(calls[4].end, Utc(2026, 12, 9, 4, 26, 7));
    EXPECT_EQ(calls[4].callType, 0);
    EXPECT_EQ(calls[4].number, u"2125550199");
    // Not inbound: outgoing.
    EXPECT_EQ(calls[5].start, Utc(2026, 12, 8, 9, 0));
    EXPECT_EQ(calls[5].end, Utc(2026, 12, 8, 9, 2, 5));
    EXPECT_EQ(calls[5].callType, 2);
    EXPECT_EQ(calls[5].number, u"+12065550123");
}

TEST_F(DiallerHistory, GnomeCallsRowWithUnreadableTimeIsStillShown) {
    dialler::Exec(storePath, std::string(dialler::kGnomeCallsSchema) +
                                 "INSERT INTO calls (target, inbound, start, end) VALUES"
                                 " ('tel:1', 0, 'yesterday', 'soon'), ('tel:2', 0, '2026-12-01T00:00:00Z', 'x');");
    const std::vector<ReadCall> calls = ReadAll();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].number, u"2");
    EXPECT_EQ(calls[0].end, calls[0].start);
    EXPECT_EQ(calls[1].number, u"1");
    EXPECT_EQ(calls[1].start, 0u);
}

TEST_F(DiallerHistory, PlasmaDialerTimesAreLocalAndDurationsGiveTheEnd) {
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
    dialler::Exec(storePath, std::string(dialler::kPlasmaDialerSchema) +
                                 "INSERT INTO History (communicationWith, direction, stateReason, startedAt, duration)"
                                 " VALUES ('+12065550123', 2, 3, '2026-07-01T10:00:00.000', 75),"
                                 " ('2125550199', 1, 1, '2026-12-09T10:25:47.250', 0),"
                                 " ('3125550100', 1, 3, '2026-12-09T11:00:00.000', 600),"
                                 " ('', 1, 3, '2026-12-09T12:00:00.000', -5);");
    const std::vector<ReadCall> calls = ReadAll();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].start, Utc(2026, 12, 9, 17, 0));
    EXPECT_EQ(calls[0].end, calls[0].start);
    EXPECT_EQ(calls[0].callerIdType, 1);
    EXPECT_EQ(calls[1].start, Utc(2026, 12, 9, 16, 0));
    EXPECT_EQ(calls[1].end, Utc(2026, 12, 9, 16, 10));
    EXPECT_EQ(calls[1].callType, 1); // in, accepted
    EXPECT_EQ(calls[2].start, Utc(2026, 12, 9, 15, 25, 47) + kSecond / 4);
    EXPECT_EQ(calls[2].callType, 0); // in, not accepted
    EXPECT_EQ(calls[2].number, u"2125550199");
    // Summer time: four hours behind UTC.
    EXPECT_EQ(calls[3].start, Utc(2026, 7, 1, 14, 0));
    EXPECT_EQ(calls[3].end, Utc(2026, 7, 1, 14, 1, 15));
    EXPECT_EQ(calls[3].callType, 2);
}

TEST_F(DiallerHistory, OtherFilesAreRefusedAndLeftAsTheyWere) {
    const std::string other = dir + "/contacts.db";
    dialler::Exec(other, "CREATE TABLE people (id INTEGER PRIMARY KEY, name TEXT); INSERT INTO people VALUES (1, 'x')");
    // Almost GNOME Calls: the answered column is missing.
    const std::string near = dir + "/near.db";
    dialler::Exec(near, "CREATE TABLE calls (id INTEGER PRIMARY KEY, target TEXT, inbound BOOLEAN, start TEXT,"
                        " end TEXT, protocol TEXT); INSERT INTO calls VALUES (1, 'tel:1', 0, '2026-12-09T04:25:47Z',"
                        " NULL, 'tel')");
    const std::string text = dir + "/notes.txt";
    std::ofstream(text) << "not a database\n";

    for (const std::string& path : {other, near, text}) {
        const std::string before = storetest::ReadFileBytes(path);
        std::string error;
        EXPECT_EQ(CheckStoreFile(path, &error), -1) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        SetStorePath(path);
        CallLogHandle log = nullptr;
        EXPECT_EQ(PhoneOpenCallLog(&log), -1) << path;
        const StoreHandle connection = StoreOpenConnection(VolumeId{{0xFF}});
        EXPECT_EQ(connection, 0u);
        EXPECT_EQ(storetest::ReadFileBytes(path), before) << path;
    }
    EXPECT_EQ(StoreOpenHandleCount(), 0u);
}

TEST_F(DiallerHistory, EveryKindOfStoreIsAccepted) {
    dialler::MakeGnomeCallsHistory(dir + "/records.db");
    dialler::Exec(dir + "/calls.sqlite", dialler::kPlasmaDialerSchema);
    std::ofstream(dir + "/empty.db").close();
    AddCalls({storetest::Call(Utc(2026, 12, 9, 8, 0), u"1")});
    for (const std::string& path :
         {dir + "/missing.db", dir + "/empty.db", dir + "/records.db", dir + "/calls.sqlite", storePath}) {
        std::string error;
        EXPECT_EQ(CheckStoreFile(path, &error), 0) << path << ": " << error;
    }
}

TEST_F(DiallerHistory, RowWhoseCallChangedSinceTheSeekIsKept) {
    dialler::MakeGnomeCallsHistory(storePath);
    const VolumeId volume{{0xFF}};
    const StoreHandle connection = StoreOpenConnection(volume);
    SortOrderSpec latestFirst{};
    latestFirst.version = 2;
    latestFirst.propertyCount = 1;
    latestFirst.properties[0] = (2u << 16) | 0x0040u;
    latestFirst.propertyFlags[0] = 1;
    const StoreHandle database = StoreOpenDatabase(connection, volume, 0, u"clog.db", &latestFirst, 1, nullptr);
    ASSERT_NE(database, 0u) << StoreLastError();
    const ObjectId newest = StoreSeek(database, kSeekBeginning, 0, 0, nullptr);
    ASSERT_EQ(newest, 6u);
    // The dialler deletes that call and a new one takes its id.
    dialler::Exec(storePath, "UPDATE calls SET start = '2026-12-09T15:30:00Z' WHERE id = 6");
    EXPECT_EQ(StoreDeleteRecord(database, newest), -1);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT count(*) FROM calls WHERE id = 6"), "1\n");
    // Seeking again finds the new call, which then goes.
    ASSERT_EQ(StoreSeek(database, kSeekBeginning, 0, 0, nullptr), 6u);
    EXPECT_EQ(StoreDeleteRecord(database, 6), 0);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT count(*) FROM calls WHERE id = 6"), "0\n");
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

TEST_F(DiallerHistory, CallsAreNeverAddedToADiallersHistory) {
    dialler::MakeGnomeCallsHistory(storePath);
    const std::string before = storetest::ReadFileBytes(storePath);
    std::string error;
    EXPECT_EQ(AddCallRecords({storetest::Call(Utc(2026, 12, 9, 8, 0), u"1")}, true, &error), -1);
    EXPECT_NE(error.find("GNOME Calls"), std::string::npos) << error;
    EXPECT_EQ(storetest::ReadFileBytes(storePath), before);
}

TEST_F(DiallerHistory, DefaultStoreIsTheDiallersHistoryWhereThereIsOne) {
    SetStorePath("");
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    EXPECT_EQ(StorePath(), dir + "/zonrik/phone.db");
    std::filesystem::create_directories(dir + "/plasmaphonedialer");
    dialler::Exec(dir + "/plasmaphonedialer/calls.sqlite", dialler::kPlasmaDialerSchema);
    EXPECT_EQ(StorePath(), dir + "/plasmaphonedialer/calls.sqlite");
    std::filesystem::create_directories(dir + "/calls");
    dialler::MakeGnomeCallsHistory(dir + "/calls/records.db");
    EXPECT_EQ(StorePath(), dir + "/calls/records.db");
    EXPECT_EQ(ReadAll().size(), 6u);
    unsetenv("XDG_DATA_HOME");
}

struct TimeCase {
    const char* text;
    bool local;
    bool valid;
    uint64_t expected;
};

TEST(DiallerTime, TextsOfTheDiallers) {
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
    const uint64_t morning = Utc(2026, 12, 9, 4, 25, 47);
    const TimeCase cases[] = {
        {"2026-12-09T04:25:47Z", false, true, morning},
        {"2026-12-09T04:25:47", false, true, morning},
        {"2026-12-09 04:25:47z", false, true, morning},
        {"2026-12-09T04:25:47.123456789Z", false, true, morning + 1234567},
        {"2026-12-09T04:25:47,5Z", false, true, morning + kSecond / 2},
        {"2026-12-09T06:25:47+02:00", false, true, morning},
        {"2026-12-09T02:25:47-0200", false, true, morning},
        {"2026-12-09T06:25:47+02", false, true, morning},
        {"2026-12-08T23:25:47.000", true, true, morning},
        {"2026-12-09T04:25:47Z", true, true, morning},
        {"2026-12-31T23:59:60Z", false, true, Utc(2026, 12, 31, 23, 59, 59)},
        {"1601-01-01T00:00:00Z", false, true, 0},
        {"", false, false, 0},
        {"2026-12-09", false, false, 0},
        {"2026-12-09T04:25", false, false, 0},
        {"2026-04-31T04:25:47Z", false, false, 0},
        {"2026-13-01T04:25:47Z", false, false, 0},
        {"2026-12-09T24:00:00Z", false, false, 0},
        {"2026-12-09T04:25:47.Z", false, false, 0},
        {"2026-12-09T04:25:47Z trailing", false, false, 0},
        {"2026-12-09T04:25:47+25:00", false, false, 0},
        {"1601-01-01T00:00:00+01:00", false, false, 0},
        {"２026-12-09T04:25:47Z", false, false, 0},
    };
    for (const TimeCase& c : cases) {
        uint64_t fileTime = 0;
        EXPECT_EQ(ParseDiallerTime(c.text, c.local, &fileTime), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(fileTime, c.expected) << c.text;
        }
    }
    EXPECT_FALSE(ParseDiallerTime(nullptr, false, nullptr));
    setenv("TZ", "UTC", 1);
    tzset();
}

} // namespace
