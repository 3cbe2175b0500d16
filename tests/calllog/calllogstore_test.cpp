#include "calllog/calllogstore.h"

#include "platform/text/localheap.h"
#include "tests/platform/storetestenv.h"

#include <sqlite3.h>

namespace {

using storetest::Call;
using storetest::Utc;

// Records go straight into databases of any name, as the phone's other programs keep them.
void AddRecord(const std::string& path, const char* database, uint64_t start, const char* number) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db,
                           "INSERT INTO records (db, start_time, end_time, call_type, flags, caller_id_type, number)"
                           " VALUES ((SELECT oid FROM databases WHERE name = ?1 ORDER BY oid DESC LIMIT 1),"
                           " ?2, ?2 + 600000000, 1, 0, 2, ?3)",
                           -1, &stmt, nullptr),
        SQLITE_OK);
    sqlite3_bind_text(stmt, 1, database, -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(stmt, 2, static_cast<int64_t>(start));
    sqlite3_bind_text(stmt, 3, number, -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

int CountRecords(const std::string& path, const char* database) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT count(*) FROM records JOIN databases ON databases.oid = records.db"
                                 " WHERE databases.name = ?1",
                                 -1, &stmt, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_bind_text(stmt, 1, database, -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    EXPECT_EQ(rc, SQLITE_ROW) << sqlite3_errmsg(db);
    const int count = rc == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

void AddDatabase(const std::string& path, const char* name) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO databases (name, type) VALUES (?1, 0)", -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, name, -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

// The entry the call list holds for a stored call: its number stripped as at load.
class HeldEntry {
public:
    explicit HeldEntry(const CallRecordData& call) {
        entry.startTime = MakeFileTime(call.startTime);
        entry.endTime = MakeFileTime(call.endTime);
        entry.callType = call.callType;
        entry.flags = call.flags;
        entry.callerIdType = call.callerIdType;
        entry.number = call.number ? LocalAllocText(call.number->c_str()) : 0;
        entry.name = call.name ? LocalAllocText(call.name->c_str()) : 0;
        entry.nameType = call.nameType ? LocalAllocText(call.nameType->c_str()) : 0;
        entry.note = call.note ? LocalAllocText(call.note->c_str()) : 0;
        DeriveDisplayFields(entry);
    }
    ~HeldEntry() { FreeRecordStrings(entry); }
    HeldEntry(const HeldEntry&) = delete;
    HeldEntry& operator=(const HeldEntry&) = delete;

    NVXCallEntry entry;
};

CallRecordData Newest() {
    return Call(Utc(2026, 12, 3, 9, 0), u"newest");
}
CallRecordData Middle() {
    return Call(Utc(2026, 12, 2, 9, 0), u"middle");
}
CallRecordData Oldest() {
    return Call(Utc(2026, 12, 1, 9, 0), u"oldest");
}

class CallLogStoreTest : public storetest::StoreTest {
protected:
    void TearDown() override {
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        StoreTest::TearDown();
    }
    void AddThree() { AddCalls({Oldest(), Newest(), Middle()}); }
    std::vector<std::u16string> StoreNumbers() {
        std::vector<std::u16string> numbers;
        for (const CallRecordData& call : StoredCalls()) {
            numbers.push_back(call.number.value_or(u"-"));
        }
        return numbers;
    }
};

using Numbers = std::vector<std::u16string>;

TEST_F(CallLogStoreTest, DeleteRecordAtCountsLatestFirst) {
    AddThree();
    EXPECT_EQ(CallLogStore::DeleteRecordAt(0, HeldEntry(Newest()).entry), 0);
    EXPECT_EQ(StoreNumbers(), (Numbers{u"middle", u"oldest"}));
    EXPECT_EQ(CallLogStore::DeleteRecordAt(1, HeldEntry(Oldest()).entry), 0);
    EXPECT_EQ(StoreNumbers(), (Numbers{u"middle"}));
}

TEST_F(CallLogStoreTest, DeleteRecordAtOfAStartTimeNotInTheStoreDeletesNothing) {
    AddThree();
    EXPECT_EQ(CallLogStore::DeleteRecordAt(0, HeldEntry(Call(Utc(2026, 12, 2, 9, 30), u"middle")).entry), -1);
    // The same start with another number is another call.
    EXPECT_EQ(CallLogStore::DeleteRecordAt(0, HeldEntry(Call(Utc(2026, 12, 3, 9, 0), u"other")).entry), -1);
    EXPECT_EQ(CallLogStore::DeleteRecordAt(5, HeldEntry(Newest()).entry), 0); // found by its fields
    EXPECT_EQ(CallLogStore::DeleteRecordAt(7, HeldEntry(Newest()).entry), -1);
    EXPECT_EQ(StoreNumbers(), (Numbers{u"middle", u"oldest"}));
}

TEST_F(CallLogStoreTest, DeleteAllRecordsReportsWhatItDid) {
    EXPECT_EQ(CallLogStore::DeleteAllRecords(), 0);
    AddThree();
    EXPECT_EQ(CallLogStore::DeleteAllRecords(), 1);
    EXPECT_TRUE(StoreNumbers().empty());
    EXPECT_EQ(CallLogStore::DeleteAllRecords(), 0);
}

TEST_F(CallLogStoreTest, OnlyTheDatabaseNamedExactlyClogDbIsTouched) {
    AddThree();
    for (const char* name : {"CLOG.DB", "Clog.db", "clog.db ", "clog.dbx"}) {
        AddDatabase(storePath, name);
        AddRecord(storePath, name, Utc(2026, 12, 3, 9, 0), "other");
        AddRecord(storePath, name, Utc(2026, 12, 4, 9, 0), "other");
    }
    EXPECT_EQ(CallLogStore::DeleteRecordAt(0, HeldEntry(Newest()).entry), 0);
    EXPECT_EQ(CallLogStore::DeleteAllRecords(), 1);
    EXPECT_EQ(CountRecords(storePath, "clog.db"), 0);
    for (const char* name : {"CLOG.DB", "Clog.db", "clog.db ", "clog.dbx"}) {
        EXPECT_EQ(CountRecords(storePath, name), 2) << name;
    }
}

TEST_F(CallLogStoreTest, EveryDatabaseNamedClogDbIsTreatedAlike) {
    AddThree();
    AddDatabase(storePath, "clog.db");
    AddRecord(storePath, "clog.db", Utc(2026, 12, 3, 9, 0), "newest");
    AddRecord(storePath, "clog.db", Utc(2026, 12, 3, 9, 0), "second");
    AddRecord(storePath, "clog.db", Utc(2026, 12, 5, 9, 0), "second");
    EXPECT_EQ(CallLogStore::DeleteRecordAt(0, HeldEntry(Newest()).entry), 0);
    EXPECT_EQ(CountRecords(storePath, "clog.db"), 4);
    EXPECT_EQ(StoreNumbers(), (Numbers{u"middle", u"oldest"}));
}

TEST_F(CallLogStoreTest, OpenStoreGivesTheCallLogAndItsConnection) {
    StoreHandle connection = 99;
    const StoreHandle database = CallLogStore::OpenStore(&connection);
    ASSERT_NE(database, 0u);
    EXPECT_NE(connection, 0u);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "UPDATE databases SET name = 'CLOG.DB'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(CallLogStore::OpenStore(&connection), 0u);
    EXPECT_EQ(connection, 0u);
    EXPECT_EQ(CallLogStore::DeleteAllRecords(), -1);
    EXPECT_EQ(CallLogStore::DeleteRecordAt(0, HeldEntry(Call(0, nullptr)).entry), -1);
}

} // namespace
