#pragma once

#include "calllog/deletefailure.h"
#include "calllog/nvxcallentry.h"
#include "platform/objectstore/objectstore.h"

// Deletes calls from the phone's call-log store, the object-store database "clog.db" underneath
// the read-only call log, and undoes the last deletion. Nothing else is kept between calls: each
// operation finds the database anew and closes what it opened; the store keeps what undo needs.
class CallLogStore {
public:
    // The "clog.db" database in its own order, with the connection opened for it in *connection;
    // 0 (and *connection 0) when there is none.
    static StoreHandle OpenStore(StoreHandle* connection);

    // Deletes the record at position, latest first, provided it is the call (every field the
    // phone gave agrees); when the log changed since it was read, the one record that is the call
    // goes instead. 0 when a record was deleted; -1 when none was, with the reason in *failure
    // when given: the call is gone, cannot be told apart from another, or the store refused.
    static int DeleteRecordAt(int position, const NVXCallEntry& call, DeleteFailure* failure = nullptr);

    // Deletes every record, all in one transaction. 1 when it deleted at least one and none is
    // left, 0 when the log was already empty, -1 when the store could not be opened or refused;
    // then nothing is deleted, and *failure, when given, says why.
    static int DeleteAllRecords(DeleteFailure* failure = nullptr);

    // Whether the last deletion (one DeleteRecordAt, or one DeleteAllRecords that deleted calls)
    // can be undone. It is kept in memory until the next deletion, its undo or the program's end.
    static bool CanUndoDelete();

    // Puts back every record the last deletion removed, as it was and with the same ids, in one
    // transaction. 0, with *position (when given) the restored call's position latest first, the
    // newest one's after a Delete All. -1 when nothing was written, with the reason in *failure
    // when given: Taken (another call has been given a deleted call's id since), Busy, ReadOnly,
    // Full, Gone (there is nothing to undo) or Other. After a failure the deletion stays undoable.
    static int UndoLastDelete(DeleteFailure* failure = nullptr, int* position = nullptr);
};
