// Undoing a deletion on a store that cannot be written: read-only files and a full disk refuse the
// undo with the reason, write nothing and leave the deletion undoable for when the store is free.
#include "calllog/calllist.h"

#include "calllog/calllogstore.h"
#include "calllog/deletefailure.h"
#include "platform/objectstore/objectstore.h"
#include "tests/calllog/fullvfs.h"
#include "tests/calllog/undologs.h"

#include <string>

namespace {

using undotest::Dump;
using undotest::Log;

class UndoFaults : public storetest::StoreTest, public testing::WithParamInterface<Log> {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        undotest::MakeLog(GetParam(), storePath);
        before = Dump(GetParam(), storePath);
        ASSERT_EQ(list.Load(), 0);
        ASSERT_EQ(list.count, 4);
    }

    // After a refused undo: nothing was written, and the undo works once the store is writable.
    void ExpectNothingWrittenAndUndoLater(const std::string& deleted) {
        EXPECT_EQ(Dump(GetParam(), storePath), deleted);
        ASSERT_TRUE(CallLogStore::CanUndoDelete());
        ASSERT_EQ(CallLogStore::UndoLastDelete(), 0);
        EXPECT_EQ(Dump(GetParam(), storePath), before);
    }

    CallList list;
    std::string before;
};

TEST_P(UndoFaults, ReadOnlyStoreRefusesTheUndo) {
    ASSERT_EQ(list.DeleteAt(1), 0);
    const std::string deleted = Dump(GetParam(), storePath);
    DeleteFailure failure = DeleteFailure::None;
    {
        FullDiskVfs disk;
        disk.ReadOnlyFiles(true);
        EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
    }
    EXPECT_EQ(failure, DeleteFailure::ReadOnly);
    ExpectNothingWrittenAndUndoLater(deleted);
}

TEST_P(UndoFaults, FullDiskRefusesTheUndoOfADeleteAll) {
    ASSERT_EQ(list.DeleteAll(), 0);
    DeleteFailure failure = DeleteFailure::None;
    {
        FullDiskVfs disk;
        disk.FailAfter(0);
        EXPECT_EQ(CallLogStore::UndoLastDelete(&failure), -1);
        EXPECT_GE(disk.FailedWrites(), 1);
    }
    EXPECT_EQ(failure, DeleteFailure::Full);
    ExpectNothingWrittenAndUndoLater("");
}

TEST_P(UndoFaults, DeleteAllThatFailsHalfWayLeavesTheLastDeletionToUndo) {
    ASSERT_EQ(list.DeleteAt(0), 0);
    const std::string deleted = Dump(GetParam(), storePath);
    // The disk fills while the Delete All writes: its rows were copied, but it deleted nothing.
    DeleteFailure failure = DeleteFailure::None;
    {
        FullDiskVfs disk;
        disk.FailAfter(0);
        EXPECT_EQ(list.DeleteAll(&failure), -1);
    }
    EXPECT_EQ(failure, DeleteFailure::Full);
    ExpectNothingWrittenAndUndoLater(deleted);
}

INSTANTIATE_TEST_SUITE_P(EachLog, UndoFaults, testing::ValuesIn(undotest::kLogs), undotest::LogName);

} // namespace
