#pragma once

#include <string>

struct sqlite3;

// The call histories that the Linux phones' diallers keep, read and deleted from as if they were
// the phone's own store. A history is recognised by its schema and then shown, on one connection
// only, as the store's two tables "databases" and "records": TEMP views over the dialler's table,
// with a trigger that turns a deletion from "records" into a deletion of the dialler's row. TEMP
// objects live in the connection, so the dialler's file and schema are never changed.
//
// GNOME Calls: calls(id, target, inbound, start, answered, end, protocol); times are ISO 8601 UTC
// text; a call is outgoing when inbound is 0, missed when inbound with no answered time.
// Plasma Dialer: History(communicationWith, direction, stateReason, startedAt, duration, ...);
// direction 1 in, 2 out; stateReason 3 accepted; startedAt is local time text; duration seconds.
enum class DiallerHistory { None, GnomeCalls, PlasmaDialer };

// Which history the open database holds, by its tables and columns.
DiallerHistory FindDiallerHistory(sqlite3* db);

// Installs the views over the history. 0, or -1 with error set.
int MapDiallerHistory(sqlite3* db, DiallerHistory history, std::string* error);

// The table of the main schema that holds a history's calls, and the column whose value is the
// record's id in "records": the program's own store is records(oid), GNOME Calls' calls(id),
// Plasma Dialer's History(rowid).
struct DiallerTable {
    const char* table;
    const char* key;
};
DiallerTable DiallerHistoryTable(DiallerHistory history);

// "GNOME Calls' history", "Plasma Dialer's history", for messages.
const char* DiallerHistoryName(DiallerHistory history);
