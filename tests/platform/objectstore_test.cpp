#include "platform/objectstore/objectstore.h"
#include "platform/phone/phonelibrary.h"
#include "tests/platform/storetestenv.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>

namespace {

using storetest::Call;
using storetest::Utc;

VolumeId StoreVolume() {
    VolumeId volume{};
    volume.bytes[0] = 0xFF;
    return volume;
}

SortOrderSpec LatestFirst() {
    SortOrderSpec sort{};
    sort.version = 2;
    sort.propertyCount = 1;
    sort.properties[0] = (2u << 16) | 0x0040u;
    sort.propertyFlags[0] = 1;
    return sort;
}

void RunSql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

struct Database {
    ObjectId id;
    uint16_t objectType;
    std::u16string name;
};

class ObjectStore : public storetest::StoreTest {
protected:
    std::vector<Database> Databases() {
        std::vector<Database> found;
        const VolumeId volume = StoreVolume();
        const StoreHandle enumeration = StoreFindFirstDatabase(volume, 0);
        EXPECT_NE(enumeration, kInvalidStoreHandle) << StoreLastError();
        for (ObjectId id = StoreFindNextDatabase(enumeration, volume); id != 0;
             id = StoreFindNextDatabase(enumeration, volume)) {
            ObjectInfo info;
            std::memset(&info, 0, sizeof(info));
            info.version = 2;
            EXPECT_EQ(StoreGetObjectInfo(volume, id, &info), 0);
            found.push_back({id, info.objectType, info.name});
        }
        StoreCloseHandle(enumeration);
        return found;
    }

    // Opens "clog.db" latest first; the connection goes to *connection.
    StoreHandle OpenCallLog(StoreHandle* connection, const SortOrderSpec* sort) {
        const VolumeId volume = StoreVolume();
        *connection = StoreOpenConnection(volume);
        EXPECT_NE(*connection, 0u) << StoreLastError();
        return StoreOpenDatabase(*connection, volume, 0, u"clog.db", sort, 1, nullptr);
    }

    uint64_t StartOf(StoreHandle database, ObjectId record) {
        uint64_t start = 0;
        EXPECT_EQ(StoreReadStartTime(database, record, &start), 0);
        return start;
    }
};

TEST_F(ObjectStore, MissingStoreIsCreatedWithAnEmptyCallLogInWalMode) {
    const std::vector<Database> databases = Databases();
    ASSERT_EQ(databases.size(), 1u);
    EXPECT_EQ(databases[0].objectType, 3);
    EXPECT_EQ(databases[0].name, u"clog.db");
    EXPECT_TRUE(StoredCalls().empty());

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal");
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

TEST_F(ObjectStore, StoreInANewFolderCreatesTheFolder) {
    storePath = dir + "/a/b/phone.db";
    SetStorePath(storePath);
    EXPECT_EQ(Databases().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(storePath));
}

TEST_F(ObjectStore, DatabasesOfAnyNameAreListedWithTheirOwnNames) {
    ASSERT_EQ(Databases().size(), 1u);
    RunSql(storePath, "INSERT INTO databases (name, type) VALUES ('CLOG.DB', 0), ('contacts.db', 7)");
    const std::vector<Database> databases = Databases();
    ASSERT_EQ(databases.size(), 3u);
    EXPECT_EQ(databases[1].name, u"CLOG.DB");
    EXPECT_EQ(databases[2].name, u"contacts.db");

    // An enumeration of one database type lists only that type.
    const StoreHandle enumeration = StoreFindFirstDatabase(StoreVolume(), 7);
    EXPECT_EQ(StoreFindNextDatabase(enumeration, StoreVolume()), databases[2].id);
    EXPECT_EQ(StoreFindNextDatabase(enumeration, StoreVolume()), 0u);
    StoreCloseHandle(enumeration);
}

TEST_F(ObjectStore, OpeningByNameIsCaseSensitive) {
    Databases();
    RunSql(storePath, "DELETE FROM databases WHERE name = 'clog.db'; INSERT INTO databases (name) VALUES ('Clog.db')");
    StoreHandle connection = 0;
    EXPECT_EQ(OpenCallLog(&connection, nullptr), 0u);
    StoreCloseHandle(connection);
    CallLogHandle log = nullptr;
    EXPECT_EQ(PhoneOpenCallLog(&log), -1);
}

TEST_F(ObjectStore, CallsRejectedForBadArguments) {
    Databases();
    VolumeId otherVolume{};
    otherVolume.bytes[0] = 0x01;
    EXPECT_EQ(StoreFindFirstDatabase(otherVolume, 0), kInvalidStoreHandle);
    EXPECT_EQ(StoreOpenConnection(otherVolume), 0u);

    ObjectInfo info;
    std::memset(&info, 0, sizeof(info));
    info.version = 1;
    EXPECT_EQ(StoreGetObjectInfo(StoreVolume(), 1, &info), -1);
    info.version = 2;
    EXPECT_EQ(StoreGetObjectInfo(StoreVolume(), 999, &info), -1);

    SortOrderSpec byName = LatestFirst();
    byName.properties[0] = (3u << 16) | 0x001Fu;
    StoreHandle connection = 0;
    EXPECT_EQ(OpenCallLog(&connection, &byName), 0u);
    EXPECT_EQ(StoreOpenDatabase(connection, StoreVolume(), 999, nullptr, nullptr, 1, nullptr), 0u);
    StoreCloseHandle(connection);

    EXPECT_EQ(StoreSeek(12345, kSeekBeginning, 0, 0, nullptr), 0u);
    EXPECT_EQ(StoreDeleteRecord(12345, 1), -1);
    EXPECT_EQ(StoreOpenHandleCount(), 0u);
}

TEST_F(ObjectStore, LatestFirstSortMatchesThePhoneOrderTiesIncluded) {
    const uint64_t noon = Utc(2026, 12, 9, 12, 0);
    const uint64_t later = Utc(2026, 12, 9, 13, 0);
    // Three calls at noon, added in the order A, B, C; the later one added between them.
    AddCalls({Call(noon, u"A"), Call(later, u"X"), Call(noon, u"B"), Call(noon, u"C")});

    std::vector<std::u16string> phoneOrder;
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), 0);
    CallLogRecord record{};
    record.recordSize = 48;
    while (PhoneGetNextCallLogRecord(log, &record) == 0) {
        phoneOrder.push_back(LocalText(record.number));
        LocalFree(record.number);
    }
    PhoneCloseCallLog(log);
    EXPECT_EQ(phoneOrder, (std::vector<std::u16string>{u"X", u"C", u"B", u"A"}));

    const SortOrderSpec sort = LatestFirst();
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, &sort);
    ASSERT_NE(database, 0u);
    std::vector<ObjectId> byPosition;
    for (int position = 0; position < 5; ++position) {
        byPosition.push_back(StoreSeek(database, kSeekBeginning, position, 0, nullptr));
    }
    EXPECT_EQ(byPosition[4], 0u);
    // Walking one by one from the current record gives the same records.
    EXPECT_EQ(StoreSeek(database, kSeekBeginning, 0, 0, nullptr), byPosition[0]);
    for (int position = 1; position < 4; ++position) {
        uint32_t index = 99;
        EXPECT_EQ(StoreSeek(database, kSeekCurrent, 1, 0, &index), byPosition[position]);
        EXPECT_EQ(index, static_cast<uint32_t>(position));
    }
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, -2, 0, nullptr), byPosition[1]);
    EXPECT_EQ(StartOf(database, byPosition[0]), later);
    EXPECT_EQ(StartOf(database, byPosition[3]), noon);
    // The record ids behind the tied calls descend: the later added comes first.
    EXPECT_GT(byPosition[1], byPosition[2]);
    EXPECT_GT(byPosition[2], byPosition[3]);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

TEST_F(ObjectStore, AfterADeleteTheFollowingRecordIsCurrent) {
    AddCalls({Call(Utc(2026, 12, 1, 9, 0), u"oldest"), Call(Utc(2026, 12, 2, 9, 0), u"middle"),
              Call(Utc(2026, 12, 3, 9, 0), u"newest")});
    const SortOrderSpec sort = LatestFirst();
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, &sort);
    const ObjectId newest = StoreSeek(database, kSeekBeginning, 0, 0, nullptr);
    const ObjectId middle = StoreSeek(database, kSeekBeginning, 1, 0, nullptr);
    const ObjectId oldest = StoreSeek(database, kSeekBeginning, 2, 0, nullptr);
    EXPECT_EQ(StoreSeek(database, kSeekBeginning, 3, 0, nullptr), 0u);

    ASSERT_EQ(StoreSeek(database, kSeekBeginning, 1, 0, nullptr), middle);
    EXPECT_EQ(StoreDeleteRecord(database, middle), 0);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 0, 0, nullptr), oldest);
    EXPECT_EQ(StoreDeleteRecord(database, middle), -1);
    EXPECT_EQ(StoreDeleteRecord(database, oldest), 0);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 0, 0, nullptr), 0u);
    EXPECT_EQ(StoreSeek(database, kSeekBeginning, 0, 0, nullptr), newest);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
    EXPECT_EQ(StoreOpenHandleCount(), 0u);
    ASSERT_EQ(StoredCalls().size(), 1u);
    EXPECT_EQ(StoredCalls()[0].number, u"newest");
}

TEST_F(ObjectStore, PositionsFollowTheWalkAcrossADeletionAndTheStoreSaysWhyASeekFoundNothing) {
    AddCalls({Call(Utc(2026, 12, 1, 9, 0), u"e"), Call(Utc(2026, 12, 2, 9, 0), u"d"),
              Call(Utc(2026, 12, 3, 9, 0), u"c"), Call(Utc(2026, 12, 4, 9, 0), u"b"),
              Call(Utc(2026, 12, 5, 9, 0), u"a")});
    const SortOrderSpec sort = LatestFirst();
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, &sort);
    std::vector<ObjectId> byPosition;
    for (int position = 0; position < 5; ++position) {
        byPosition.push_back(StoreSeek(database, kSeekBeginning, position, 0, nullptr));
    }
    uint32_t index = 99;
    ASSERT_EQ(StoreSeek(database, kSeekBeginning, 1, 0, &index), byPosition[1]);
    EXPECT_EQ(index, 1u);
    ASSERT_EQ(StoreDeleteRecord(database, byPosition[1]), 0);
    // The follower now stands where the deleted record stood.
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 0, 0, &index), byPosition[2]);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 2, 0, &index), byPosition[4]);
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, -3, 0, &index), byPosition[0]);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, -1, 0, &index), 0u);
    EXPECT_EQ(StoreLastErrorCode(), StoreError::NoSuchRecord);
    EXPECT_EQ(StoreDeleteRecord(database, byPosition[1]), -1);
    EXPECT_EQ(StoreLastErrorCode(), StoreError::NoSuchRecord);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

// Another program, another connection or another handle on the same connection changes the records
// before the current one: the next position a seek gives is the record's place now, not then.
TEST_F(ObjectStore, PositionsFollowChangesMadeElsewhere) {
    AddCalls({Call(Utc(2026, 12, 1, 9, 0), u"e"), Call(Utc(2026, 12, 2, 9, 0), u"d"),
              Call(Utc(2026, 12, 3, 9, 0), u"c"), Call(Utc(2026, 12, 4, 9, 0), u"b"),
              Call(Utc(2026, 12, 5, 9, 0), u"a")});
    const SortOrderSpec sort = LatestFirst();
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, &sort);
    uint32_t index = 99;
    ASSERT_NE(StoreSeek(database, kSeekBeginning, 3, 0, &index), 0u);
    ASSERT_EQ(index, 3u);

    // Another program deletes the newest call, "a", which stood before the current one ("d").
    RunSql(storePath, "DELETE FROM records WHERE number = 'a'");
    const ObjectId d = StoreSeek(database, kSeekCurrent, 0, 0, &index);
    EXPECT_EQ(index, 2u);
    const ObjectId e = StoreSeek(database, kSeekCurrent, 1, 0, &index);
    EXPECT_EQ(index, 3u);

    // Another connection of this program deletes "b".
    StoreHandle otherConnection = 0;
    const StoreHandle other = OpenCallLog(&otherConnection, &sort);
    ASSERT_EQ(StoreDeleteRecord(other, StoreSeek(other, kSeekBeginning, 0, 0, nullptr)), 0);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, -1, 0, &index), d);
    EXPECT_EQ(index, 1u);

    // Another handle on the same connection deletes "c"; a new call arrives from another program.
    const StoreHandle sibling = StoreOpenDatabase(connection, StoreVolume(), 0, u"clog.db", &sort, 1, nullptr);
    ASSERT_EQ(StoreDeleteRecord(sibling, StoreSeek(sibling, kSeekBeginning, 0, 0, nullptr)), 0);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 1, 0, &index), e);
    EXPECT_EQ(index, 1u);
    AddCalls({Call(Utc(2026, 12, 9, 9, 0), u"new")});
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 0, 0, &index), e);
    EXPECT_EQ(index, 2u);
    // Each answer is the position a seek from the first record finds the record at.
    EXPECT_EQ(StoreSeek(database, kSeekBeginning, 2, 0, &index), e);
    StoreCloseHandle(sibling);
    StoreCloseHandle(other);
    StoreCloseHandle(otherConnection);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

TEST_F(ObjectStore, PositionsAfterARollbackCountTheRecordItBroughtBack) {
    AddCalls(
        {Call(Utc(2026, 12, 1, 9, 0), u"c"), Call(Utc(2026, 12, 2, 9, 0), u"b"), Call(Utc(2026, 12, 3, 9, 0), u"a")});
    const SortOrderSpec sort = LatestFirst();
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, &sort);
    uint32_t index = 99;
    const ObjectId b = StoreSeek(database, kSeekBeginning, 1, 0, &index);
    ASSERT_EQ(index, 1u);
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    ASSERT_EQ(StoreDeleteRecord(database, b), 0);
    const ObjectId c = StoreSeek(database, kSeekCurrent, 0, 0, &index);
    EXPECT_EQ(index, 1u);
    StoreRollbackTransaction(connection);
    // "b" is back before the current record, "c".
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, 0, 0, &index), c);
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(StoreSeek(database, kSeekCurrent, -1, 0, &index), b);
    EXPECT_EQ(index, 1u);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

TEST_F(ObjectStore, ATransactionCommitsOrUndoesEveryDeletionInIt) {
    AddCalls({Call(Utc(2026, 12, 1, 9, 0), u"x"), Call(Utc(2026, 12, 2, 9, 0), u"y")});
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, nullptr);
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    EXPECT_EQ(StoreBeginTransaction(connection), -1) << "transactions do not nest";
    EXPECT_EQ(StoreDeleteRecord(database, StoreSeek(database, kSeekBeginning, 0, 0, nullptr)), 0);
    StoreRollbackTransaction(connection);
    EXPECT_EQ(StoredCalls().size(), 2u);
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    EXPECT_EQ(StoreDeleteRecord(database, StoreSeek(database, kSeekBeginning, 0, 0, nullptr)), 0);
    // Another connection does not see the deletion before the commit.
    EXPECT_EQ(StoredCalls().size(), 2u);
    EXPECT_EQ(StoreCommitTransaction(connection), 0);
    EXPECT_EQ(StoreCommitTransaction(connection), -1) << "nothing left to commit";
    EXPECT_EQ(StoredCalls().size(), 1u);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

TEST_F(ObjectStore, OwnOrderIsTheOrderOfAdding) {
    AddCalls({Call(Utc(2026, 12, 3, 9, 0), u"first"), Call(Utc(2026, 12, 1, 9, 0), u"second")});
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLog(&connection, nullptr);
    const ObjectId first = StoreSeek(database, kSeekBeginning, 0, 0, nullptr);
    EXPECT_EQ(StartOf(database, first), Utc(2026, 12, 3, 9, 0));
    EXPECT_EQ(StartOf(database, StoreSeek(database, kSeekCurrent, 1, 0, nullptr)), Utc(2026, 12, 1, 9, 0));
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

// A file the store does not own: refused, and left byte for byte as it was.
class ForeignFile : public ObjectStore {
protected:
    void ExpectRefusedAndUnchanged() {
        const std::string before = storetest::ReadFileBytes(storePath);
        EXPECT_EQ(StoreFindFirstDatabase(StoreVolume(), 0), kInvalidStoreHandle);
        EXPECT_EQ(StoreOpenConnection(StoreVolume()), 0u);
        EXPECT_FALSE(StoreLastError().empty());
        CallLogHandle log = nullptr;
        EXPECT_EQ(PhoneOpenCallLog(&log), -1);
        std::string error;
        EXPECT_EQ(AddCallRecords({Call(Utc(2026, 1, 1, 0, 0), u"1")}, false, &error), -1);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(storetest::ReadFileBytes(storePath), before);
        EXPECT_FALSE(std::filesystem::exists(storePath + "-wal"));
    }
};

TEST_F(ForeignFile, TextFileIsNotTurnedIntoAStore) {
    std::ofstream(storePath) << "call log of another phone\n" << std::string(5000, 'x');
    ExpectRefusedAndUnchanged();
}

TEST_F(ForeignFile, SqliteFileOfAnotherProgramGetsNoTables) {
    RunSql(storePath, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('keep me')");
    ExpectRefusedAndUnchanged();
}

TEST_F(ForeignFile, StoreLockedPastTheTimeoutIsReported) {
    Databases();
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder,
                           "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; "
                           "INSERT INTO databases (name) VALUES ('busy.db')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(StoreOpenConnection(StoreVolume()), 0u);
    EXPECT_NE(StoreLastError().find("locked"), std::string::npos) << StoreLastError();
    CallLogHandle log = nullptr;
    EXPECT_EQ(PhoneOpenCallLog(&log), -1);
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(Databases().size(), 1u);
}

} // namespace
