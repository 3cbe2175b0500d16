#include "calllog/calllist.h"

#include "platform/objectstore/objectstore.h"
#include "platform/text/localheap.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"

#include <memory>

namespace {

// Deleting calls from a dialler's history through the program's own call list, as the list view
// does: the dialler's rows go, its schema and its other tables stay.
class DiallerStore : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        liveBefore = LocalLiveCount();
        dialler::MakeGnomeCallsHistory(storePath);
        dialler::Exec(storePath,
                      "CREATE TABLE settings (key TEXT, value TEXT); INSERT INTO settings VALUES ('a', 'b');");
        schemaBefore = Schema();
        list = std::make_unique<CallList>();
        ASSERT_EQ(list->Load(), 0);
        ASSERT_EQ(list->count, 6);
    }
    void TearDown() override {
        list.reset();
        EXPECT_EQ(LocalLiveCount(), liveBefore);
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        EXPECT_EQ(Schema(), schemaBefore);
        EXPECT_EQ(dialler::Rows(storePath, "SELECT * FROM settings"), "a|b\n");
        StoreTest::TearDown();
    }

    std::string Schema() { return dialler::Rows(storePath, "SELECT type, name, sql FROM sqlite_master ORDER BY name"); }
    std::string Ids() {
        return dialler::Rows(storePath, "SELECT group_concat(id) FROM (SELECT id FROM calls ORDER BY id)");
    }

    std::unique_ptr<CallList> list;
    size_t liveBefore = 0;
    std::string schemaBefore;
};

TEST_F(DiallerStore, DeleteAtRemovesTheRowOfThatCall) {
    // Newest first: ids 6, 5, 4, 3, 2, 1. Position 1 is id 5, tied on its start with id 4.
    EXPECT_EQ(list->DeleteAt(1), 0);
    EXPECT_EQ(Ids(), "1,2,3,4,6\n");
    EXPECT_EQ(list->count, 5);
    EXPECT_EQ(list->DeleteAt(4), 0);
    EXPECT_EQ(Ids(), "2,3,4,6\n");
    EXPECT_EQ(list->DeleteAt(0), 0);
    EXPECT_EQ(Ids(), "2,3,4\n");
}

TEST_F(DiallerStore, CallChangedUnderTheListIsFoundByItsStartTime) {
    // The dialler removed the newest call since the list was loaded: position 3 in the list (id 3)
    // is now position 2 in the history.
    dialler::Exec(storePath, "DELETE FROM calls WHERE id = 6");
    EXPECT_EQ(list->DeleteAt(3), 0); // id 3
    EXPECT_EQ(Ids(), "1,2,4,5\n");
    // A call whose start is gone from the history is not deleted at all.
    dialler::Exec(storePath, "UPDATE calls SET start = '2026-12-09T04:25:48Z' WHERE id = 2");
    EXPECT_EQ(list->DeleteAt(3), -1);
    EXPECT_EQ(Ids(), "1,2,4,5\n");
    EXPECT_EQ(list->count, 5);
}

TEST_F(DiallerStore, DeleteAllEmptiesTheHistoryOnly) {
    EXPECT_EQ(list->DeleteAll(), 0);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT count(*) FROM calls"), "0\n");
}

TEST_F(DiallerStore, HistoryLockedByTheDiallerLosesNothing) {
    sqlite3* dialler = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &dialler), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(dialler, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(list->DeleteAt(0), -1);
    EXPECT_EQ(list->DeleteAll(), -1);
    EXPECT_EQ(list->count, 6);
    ASSERT_EQ(sqlite3_exec(dialler, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(dialler);
    EXPECT_EQ(Ids(), "1,2,3,4,5,6\n");
    EXPECT_EQ(dialler::Rows(storePath, "PRAGMA journal_mode"), "delete\n");
}

TEST_F(DiallerStore, WalHistoryIsDeletedFromWhileTheDiallerReads) {
    dialler::Exec(storePath, "PRAGMA journal_mode = WAL");
    sqlite3* dialler = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &dialler), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(dialler, "BEGIN; SELECT count(*) FROM calls;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(list->DeleteAt(0), 0);
    // The dialler's open read still sees its snapshot; a new one sees the deletion.
    sqlite3_exec(dialler, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(dialler);
    EXPECT_EQ(Ids(), "1,2,3,4,5\n");
    EXPECT_EQ(dialler::Rows(storePath, "PRAGMA journal_mode"), "wal\n");

    // While the dialler writes, deleting waits for the busy timeout and then fails.
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &dialler), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(dialler, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(list->DeleteAt(0), -1);
    sqlite3_exec(dialler, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(dialler);
    EXPECT_EQ(Ids(), "1,2,3,4,5\n");
}

} // namespace
