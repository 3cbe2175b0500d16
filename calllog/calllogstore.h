#pragma once

#include "platform/objectstore/objectstore.h"
#include "platform/time/filetime.h"

// Deletes calls from the phone's call-log store, the object-store database "clog.db" underneath
// the read-only call log. Nothing is kept between calls: each operation finds the database anew
// and closes what it opened.
class CallLogStore {
public:
    // The "clog.db" database in its own order, with the connection opened for it in *connection;
    // 0 (and *connection 0) when there is none.
    static StoreHandle OpenStore(StoreHandle* connection);

    // Deletes the record at position, latest first, provided it started at startTime; when the
    // log changed since it was read, the first record latest first that started then goes
    // instead. 0 when a record was deleted, -1 when none could be.
    static int DeleteRecordAt(int position, const FileTime& startTime);

    // Deletes every record. 1 when it deleted at least one and none is left, 0 when the log was
    // already empty, -1 when the store could not be opened or a deletion failed.
    static int DeleteAllRecords();
};
