// Undoing the last deletion on the program's own store and on both diallers' histories: the rows
// come back as they were, column by column, with their ids; a refusal writes nothing.
#include "calllog/calllist.h"

#include "calllog/calllogstore.h"
#include "calllog/deletefailure.h"
#include "platform/objectstore/objectstore.h"
#include "platform/objectstore/storelocation.h"
#include "tests/calllog/undologs.h"

#include <sqlite3.h>

#include <memory>
#include <string>

namespace {

using undotest::Dump;
using undotest::Log;

class UndoDelete : public storetest::StoreTest, public testing::WithParamInterface<Log> {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        undotest::MakeLog(GetParam(), storePath);
        before = Dump(GetParam(), storePath);
        list = std::make_unique<CallList>();
        ASSERT_EQ(list->Load(), 0);
        ASSERT_EQ(list->count, 4);
    }
    void TearDown() override {
        list.reset();
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        StoreTest::TearDown();
    }

    // The table now, or only its rows matching where.
    std::string Now(const std::string& where = "1") { return Dump(GetParam(), storePath, where); }
    // A dialler adding a call after the deletion, with the id its table gives it.
    void DiallerAddsACall() {
        switch (GetParam()) {
        case Log::Own: {
            std::string error;
            ASSERT_EQ(
                AddCallRecords({storetest::Call(storetest::Utc(2026, 12, 9, 14, 0), u"2065559999")}, false, &error), 0)
                << error;
            break;
        }
        case Log::PlasmaDialer:
            dialler::Exec(storePath, "INSERT INTO History (communicationWith, direction, stateReason, startedAt,"
                                     " duration) VALUES ('2065559999', 1, 3, '2026-12-09T14:00:00', 5)");
            break;
        default:
            dialler::Exec(storePath, "INSERT INTO calls (target, inbound, start) VALUES"
                                     " ('tel:2065559999', 1, '2026-12-09T14:00:00Z')");
            break;
        }
    }

    std::unique_ptr<CallList> list;
    std::string before;
};

TEST_P(UndoDelete, DeleteThenUndoPutsTheRowBackColumnByColumn) {
    EXPECT_FALSE(CallLogStore::CanUndoDelete());
    // Latest first: position 1 is id 3, whose extra column holds a text and amount a blob.
    ASSERT_EQ(list->DeleteAt(1), 0);
    EXPECT_EQ(Now("rowid = 3"), "");
    EXPECT_TRUE(CallLogStore::CanUndoDelete());
    DeleteFailure failure = DeleteFailure::None;
    int position = -1;
    ASSERT_EQ(CallLogStore::UndoLastDelete(&failure, &position), 0);
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(position, 1);
    // Undone once: there is nothing left to undo.
    EXPECT_FALSE(CallLogStore::CanUndoDelete());
    EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Gone);
    EXPECT_EQ(Now(), before);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->count, 4);
}

TEST_P(UndoDelete, DeleteAllThenUndoPutsEveryRowBackAsOne) {
    ASSERT_EQ(list->DeleteAll(), 0);
    EXPECT_EQ(Now(), "");
    ASSERT_TRUE(CallLogStore::CanUndoDelete());
    int position = -1;
    ASSERT_EQ(CallLogStore::UndoLastDelete(nullptr, &position), 0);
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(position, 0);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->count, 4);
}

TEST_P(UndoDelete, SecondDeletionReplacesTheFirstAndARefusedOneDoesNot) {
    const std::string firstThree = Now("rowid <= 3");
    ASSERT_EQ(list->DeleteAt(0), 0); // id 4
    ASSERT_EQ(list->DeleteAt(0), 0); // id 3
    {
        // A Delete All the store refuses deletes nothing, so it is no deletion to undo.
        undotest::WriteLock lock(storePath);
        ASSERT_TRUE(lock.held);
        DeleteFailure failure = DeleteFailure::None;
        EXPECT_EQ(list->DeleteAll(&failure), -1);
        EXPECT_EQ(failure, DeleteFailure::Busy);
    }
    ASSERT_EQ(CallLogStore::UndoLastDelete(), 0);
    EXPECT_EQ(Now(), firstThree);
    EXPECT_FALSE(CallLogStore::CanUndoDelete());
}

TEST_P(UndoDelete, LockedStoreRefusesAndWritesNothingUntilItIsFree) {
    ASSERT_EQ(list->DeleteAll(), 0);
    DeleteFailure failure = DeleteFailure::None;
    {
        undotest::WriteLock lock(storePath);
        ASSERT_TRUE(lock.held);
        EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
        EXPECT_EQ(failure, DeleteFailure::Busy);
    }
    EXPECT_EQ(Now(), "");
    // The deletion stays undoable for another try.
    ASSERT_TRUE(CallLogStore::CanUndoDelete());
    ASSERT_EQ(CallLogStore::UndoLastDelete(&failure), 0);
    EXPECT_EQ(Now(), before);
}

TEST_P(UndoDelete, NewCallAfterTheDeletionKeepsItsOwnIdAndTheUndoStillWorks) {
    // Ids are AUTOINCREMENT in all three logs: the new call never takes the deleted id 4.
    ASSERT_EQ(list->DeleteAt(0), 0);
    DiallerAddsACall();
    const std::string added = Now("rowid > 4");
    ASSERT_NE(added, "");
    ASSERT_EQ(CallLogStore::UndoLastDelete(), 0);
    EXPECT_EQ(Now("rowid <= 4"), before);
    EXPECT_EQ(Now("rowid > 4"), added);
}

TEST_P(UndoDelete, AnotherStoreHasNothingToUndoAndIsLeftAlone) {
    ASSERT_EQ(list->DeleteAt(2), 0);
    const std::string otherPath = dir + "/other.db";
    undotest::MakeLog(GetParam(), otherPath);
    const std::string other = Dump(GetParam(), otherPath);
    SetStorePath(otherPath);
    EXPECT_FALSE(CallLogStore::CanUndoDelete());
    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Gone);
    EXPECT_EQ(Dump(GetParam(), otherPath), other);
    SetStorePath(storePath);
    ASSERT_EQ(CallLogStore::UndoLastDelete(), 0);
    EXPECT_EQ(Now(), before);
}

INSTANTIATE_TEST_SUITE_P(EachLog, UndoDelete, testing::ValuesIn(undotest::kLogs), undotest::LogName);

// A history whose ids are not AUTOINCREMENT: the dialler's next call takes the deleted id.
class UndoDeleteReusedId : public UndoDelete {};

TEST_P(UndoDeleteReusedId, IdTakenSinceTheDeleteRefusesAndWritesNothing) {
    ASSERT_EQ(list->DeleteAt(0), 0); // id 4, the highest
    DiallerAddsACall();
    const std::string now = Now();
    ASSERT_NE(Now("rowid = 4"), "");
    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Taken);
    EXPECT_EQ(Now(), now);
    EXPECT_TRUE(CallLogStore::CanUndoDelete());
}

TEST_P(UndoDeleteReusedId, OneTakenIdOfADeleteAllRefusesTheWholeSet) {
    // Delete All goes latest first; the new call takes id 1, the last of the set to go back.
    ASSERT_EQ(list->DeleteAll(), 0);
    DiallerAddsACall();
    const std::string now = Now();
    ASSERT_NE(Now("rowid = 1"), "");
    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Taken);
    EXPECT_EQ(Now(), now);
}

INSTANTIATE_TEST_SUITE_P(GnomeCallsWithoutAutoIncrement, UndoDeleteReusedId, testing::Values(Log::GnomeCallsReusingIds),
                         undotest::LogName);

} // namespace
