#pragma once

#include "calllog/nvxcallentry.h"
#include "platform/objectstore/objectstore.h"

// Deletes calls from the phone's call-log store, the object-store database "clog.db" underneath
// the read-only call log. Nothing is kept between calls: each operation finds the database anew
// and closes what it opened.
class CallLogStore {
public:
    // The "clog.db" database in its own order, with the connection opened for it in *connection;
    // 0 (and *connection 0) when there is none.
    static StoreHandle OpenStore(StoreHandle* connection);

    // Deletes the record at position, latest first, provided it is the call (every field the
    // phone gave agrees); when the log changed since it was read, the one record that is the call
    // goes instead. 0 when a record was deleted, -1 when none could be or none can be told apart.
    static int DeleteRecordAt(int position, const NVXCallEntry& call);

    // Deletes every record. 1 when it deleted at least one and none is left, 0 when the log was
    // already empty, -1 when the store could not be opened or a deletion failed.
    static int DeleteAllRecords();
};
