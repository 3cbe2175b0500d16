#include "platform/objectstore/diallerhistory.h"

#include "platform/objectstore/diallertime.h"
#include "platform/objectstore/storelog.h"

#include <sqlite3.h>

#include <set>
#include <string>

namespace {

struct Backend {
    DiallerHistory history;
    const char* name;
    const char* table;
    // The column the deletion trigger picks the dialler's row by: the view's oid.
    const char* key;
    std::set<std::string> columns; // the ones the mapping reads; more may be there
    const char* mapping;
};

// Both views give one call-log database, "clog.db", with object id 1. A time that cannot be read
// becomes file time 0, so the call is still shown and can still be deleted. A number held as a
// "tel:" URI loses its scheme; any other address (SIP) stays as it is. An empty number is a caller
// who withheld it: caller identification "blocked".
const Backend kBackends[] = {
    {DiallerHistory::GnomeCalls,
     "GNOME Calls' history",
     "calls",
     "id",
     {"id", "target", "inbound", "start", "answered", "end", "protocol"},
     "CREATE TEMP VIEW databases AS SELECT 1 AS oid, 'clog.db' AS name, 0 AS type;"
     "CREATE TEMP VIEW records AS SELECT id AS oid, 1 AS db,"
     " coalesce(ringlog_utc_time(start), 0) AS start_time,"
     // A call still going on has no end yet: it ends at its start.
     " coalesce(ringlog_utc_time(\"end\"), ringlog_utc_time(start), 0) AS end_time,"
     " CASE WHEN inbound = 0 THEN 2 WHEN answered IS NULL OR answered = '' THEN 0 ELSE 1 END AS call_type,"
     " 0 AS flags,"
     " CASE WHEN target IS NULL OR target = '' THEN 1 ELSE 2 END AS caller_id_type,"
     " CASE WHEN target IS NULL OR target = '' THEN NULL WHEN target LIKE 'tel:%' THEN substr(target, 5)"
     "  ELSE target END AS number,"
     " NULL AS name, NULL AS name_type, NULL AS note FROM main.calls;"
     "CREATE TEMP TRIGGER records_delete INSTEAD OF DELETE ON records BEGIN"
     " DELETE FROM calls WHERE id = OLD.oid; END;"},
    {DiallerHistory::PlasmaDialer,
     "Plasma Dialer's history",
     "History",
     "rowid",
     {"communicationWith", "direction", "stateReason", "startedAt", "duration"},
     "CREATE TEMP VIEW databases AS SELECT 1 AS oid, 'clog.db' AS name, 0 AS type;"
     "CREATE TEMP VIEW records AS SELECT rowid AS oid, 1 AS db,"
     " coalesce(ringlog_local_time(startedAt), 0) AS start_time,"
     // A duration is kept within a year, so that the end time cannot overflow.
     " coalesce(ringlog_local_time(startedAt), 0) +"
     "  min(max(coalesce(CAST(duration AS INTEGER), 0), 0), 31536000) * 10000000 AS end_time,"
     " CASE WHEN direction = 2 THEN 2 WHEN stateReason = 3 THEN 1 ELSE 0 END AS call_type,"
     " 0 AS flags,"
     " CASE WHEN communicationWith IS NULL OR communicationWith = '' THEN 1 ELSE 2 END AS caller_id_type,"
     " CASE WHEN communicationWith IS NULL OR communicationWith = '' THEN NULL"
     "  WHEN communicationWith LIKE 'tel:%' THEN substr(communicationWith, 5) ELSE communicationWith END AS number,"
     " NULL AS name, NULL AS name_type, NULL AS note FROM main.History;"
     "CREATE TEMP TRIGGER records_delete INSTEAD OF DELETE ON records BEGIN"
     " DELETE FROM History WHERE rowid = OLD.oid; END;"},
};

const Backend* BackendOf(DiallerHistory history) {
    for (const Backend& backend : kBackends) {
        if (backend.history == history) {
            return &backend;
        }
    }
    return nullptr;
}

// Column names of a table of the main schema; empty when there is no such table.
std::set<std::string> ColumnsOf(sqlite3* db, const char* table) {
    std::set<std::string> columns;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1, 'main')", -1, &stmt, nullptr) != SQLITE_OK) {
        return columns;
    }
    sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        if (name != nullptr) {
            columns.insert(name);
        }
    }
    sqlite3_finalize(stmt);
    return columns;
}

bool HasColumns(const std::set<std::string>& have, const std::set<std::string>& wanted) {
    for (const std::string& column : wanted) {
        if (have.count(column) == 0) {
            return false;
        }
    }
    return true;
}

// ringlog_utc_time(text) and ringlog_local_time(text): the file time of a dialler's time text,
// NULL when it is not one.
void ResultTime(sqlite3_context* context, sqlite3_value* value, bool localWithoutZone) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    uint64_t fileTime = 0;
    if (text != nullptr && ParseDiallerTime(text, localWithoutZone, &fileTime)) {
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(fileTime));
    } else {
        if (text != nullptr) {
            qCDebug(storeLog, "a call's time \"%.40s\" is not a time", text);
        }
        sqlite3_result_null(context);
    }
}

void UtcTime(sqlite3_context* context, int, sqlite3_value** args) {
    ResultTime(context, args[0], false);
}

void LocalTime(sqlite3_context* context, int, sqlite3_value** args) {
    ResultTime(context, args[0], true);
}

} // namespace

DiallerHistory FindDiallerHistory(sqlite3* db) {
    for (const Backend& backend : kBackends) {
        if (HasColumns(ColumnsOf(db, backend.table), backend.columns)) {
            return backend.history;
        }
    }
    return DiallerHistory::None;
}

int MapDiallerHistory(sqlite3* db, DiallerHistory history, std::string* error) {
    const Backend* backend = BackendOf(history);
    if (backend == nullptr) {
        *error = "not a dialler's history";
        return -1;
    }
    // Local time depends on the zone, so only the UTC reading is deterministic.
    const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS;
    if (sqlite3_create_function(db, "ringlog_utc_time", 1, flags | SQLITE_DETERMINISTIC, nullptr, UtcTime, nullptr,
                                nullptr) != SQLITE_OK ||
        sqlite3_create_function(db, "ringlog_local_time", 1, flags, nullptr, LocalTime, nullptr, nullptr) !=
            SQLITE_OK ||
        sqlite3_exec(db, backend->mapping, nullptr, nullptr, nullptr) != SQLITE_OK) {
        *error = std::string("cannot read ") + backend->name + ": " + sqlite3_errmsg(db);
        return -1;
    }
    return 0;
}

DiallerTable DiallerHistoryTable(DiallerHistory history) {
    const Backend* backend = BackendOf(history);
    if (backend == nullptr) {
        return DiallerTable{"records", "oid"};
    }
    return DiallerTable{backend->table, backend->key};
}

const char* DiallerHistoryName(DiallerHistory history) {
    const Backend* backend = BackendOf(history);
    return backend != nullptr ? backend->name : "the program's own store";
}
