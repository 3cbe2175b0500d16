// What counts as one deletion for undo at the object store: a deletion outside a transaction, or
// a committed transaction that deleted records. Nothing else replaces the last deletion.
#include "platform/objectstore/objectstore.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"

#include <string>

namespace {

using storetest::Call;
using storetest::Utc;

class UndoDeletion : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        AddCalls({Call(Utc(2026, 12, 9, 10, 0), u"2065550101"), Call(Utc(2026, 12, 9, 11, 0), u"2065550102"),
                  Call(Utc(2026, 12, 9, 12, 0), u"2065550103")});
        VolumeId volume{};
        volume.bytes[0] = 0xFF;
        connection = StoreOpenConnection(volume);
        database = StoreOpenDatabase(connection, volume, 0, u"clog.db", nullptr, kOpenAutoIncrement, nullptr);
        ASSERT_NE(database, 0u);
    }
    void TearDown() override {
        StoreCloseHandle(database);
        StoreCloseHandle(connection);
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        StoreTest::TearDown();
    }

    std::string Ids() {
        return dialler::Rows(storePath, "SELECT group_concat(oid) FROM (SELECT oid FROM records ORDER BY oid)");
    }

    StoreHandle connection = 0;
    StoreHandle database = 0;
};

TEST_F(UndoDeletion, EmptyOrRolledBackTransactionsLeaveTheLastDeletion) {
    ASSERT_EQ(StoreDeleteRecord(database, 2), 0);
    ASSERT_TRUE(StoreCanUndoDeletion());
    // A Delete All of a log that was empty already deletes nothing.
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    ASSERT_EQ(StoreCommitTransaction(connection), 0);
    // A Delete All that failed half-way and was undone.
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    ASSERT_EQ(StoreDeleteRecord(database, 3), 0);
    StoreRollbackTransaction(connection);
    EXPECT_EQ(Ids(), "1,3\n");

    uint32_t position = 99;
    ASSERT_EQ(StoreUndoDeletion(&position), 0);
    EXPECT_EQ(Ids(), "1,2,3\n");
    EXPECT_EQ(position, 1u);
    EXPECT_FALSE(StoreCanUndoDeletion());
    EXPECT_EQ(StoreUndoDeletion(nullptr), -1);
    EXPECT_EQ(StoreLastErrorCode(), StoreError::NoSuchRecord);
}

TEST_F(UndoDeletion, RefusedDeletionKeepsNoCopy) {
    ASSERT_EQ(StoreDeleteRecord(database, 1), 0);
    // Record 1 is gone already: this deletion takes nothing and must not replace the first.
    EXPECT_EQ(StoreDeleteRecord(database, 1), -1);
    EXPECT_EQ(StoreLastErrorCode(), StoreError::NoSuchRecord);
    ASSERT_EQ(StoreUndoDeletion(nullptr), 0);
    EXPECT_EQ(Ids(), "1,2,3\n");
}

TEST_F(UndoDeletion, ConnectionClosedInsideATransactionDeletesNothingToUndo) {
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    ASSERT_EQ(StoreDeleteRecord(database, 3), 0);
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
    database = 0;
    connection = 0;
    EXPECT_EQ(Ids(), "1,2,3\n");
    EXPECT_FALSE(StoreCanUndoDeletion());
}

TEST_F(UndoDeletion, DeleteAllWithRowsFarLongerThanItsFirstIsUndoneExactly) {
    // The copies get room from the first row's length: the next rows outgrow it many times over.
    dialler::Exec(storePath, "UPDATE records SET name = CASE oid WHEN 1 THEN 'A' ELSE hex(randomblob(3000)) END");
    const std::string all = "SELECT * FROM records ORDER BY oid";
    const std::string before = dialler::Rows(storePath, all);
    ASSERT_EQ(StoreBeginTransaction(connection), 0);
    for (ObjectId record = 1; record <= 3; ++record) {
        ASSERT_EQ(StoreDeleteRecord(database, record), 0);
    }
    ASSERT_EQ(StoreCommitTransaction(connection), 0);
    ASSERT_EQ(Ids(), "~\n");

    ASSERT_EQ(StoreUndoDeletion(nullptr), 0);
    EXPECT_EQ(dialler::Rows(storePath, all), before);
}

} // namespace
