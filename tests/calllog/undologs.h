#pragma once

// The three call logs a deletion can be undone in, each with a column the program never reads
// holding a value of every SQLite type, and the table read back column by column with its types.
#include "platform/objectstore/storelocation.h"
#include "platform/phone/callstore.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace undotest {

// GnomeCallsReusingIds: a history whose ids are not AUTOINCREMENT, so the next call may take the
// id of the last one deleted.
enum class Log { Own, GnomeCalls, GnomeCallsReusingIds, PlasmaDialer };

inline const Log kLogs[] = {Log::Own, Log::GnomeCalls, Log::PlasmaDialer};

// The schema GNOME Calls creates: ids never reused.
inline const char* const kGnomeCallsAutoIncrementSchema =
    "CREATE TABLE calls (id INTEGER PRIMARY KEY AUTOINCREMENT, target TEXT NOT NULL DEFAULT '',"
    " inbound BOOLEAN NOT NULL, start TEXT NOT NULL, answered TEXT, end TEXT, protocol TEXT);";

// The log's name for a test's name.
inline std::string LogName(const testing::TestParamInfo<Log>& info) {
    switch (info.param) {
    case Log::Own:
        return "OwnStore";
    case Log::GnomeCalls:
        return "GnomeCalls";
    case Log::GnomeCallsReusingIds:
        return "GnomeCallsReusingIds";
    case Log::PlasmaDialer:
        return "PlasmaDialer";
    }
    return "Unknown";
}

inline const char* TableOf(Log log) {
    switch (log) {
    case Log::Own:
        return "records";
    case Log::PlasmaDialer:
        return "History";
    default:
        return "calls";
    }
}

// Four calls an hour apart on 9 December 2026 (ids 1 to 4, the latest last), plus columns the
// program never reads holding what their affinity keeps as stored: "extra" without a type and
// "amount INTEGER" a blob with a zero byte, a real, a text, an integer, an empty blob; "label
// TEXT" an empty text or NULL.
inline void MakeLog(Log log, const std::string& path) {
    std::string sql;
    switch (log) {
    case Log::Own: {
        std::vector<CallRecordData> calls;
        for (int hour = 10; hour < 14; ++hour) {
            calls.push_back(storetest::Call(storetest::Utc(2026, 12, 9, hour, 0), u"2065550100", u"Ada"));
        }
        calls[1].note = u"note";
        // The own store is written through the program's store, at path for the while.
        const std::string current = StorePath();
        SetStorePath(path);
        std::string error;
        const int added = AddCallRecords(calls, false, &error);
        SetStorePath(current);
        ASSERT_EQ(added, 0) << error;
        break;
    }
    case Log::GnomeCalls:
    case Log::GnomeCallsReusingIds:
        sql = std::string(log == Log::GnomeCalls ? kGnomeCallsAutoIncrementSchema : dialler::kGnomeCallsSchema) +
              "INSERT INTO calls (target, inbound, start, answered, end, protocol) VALUES"
              " ('tel:+12065550100', 0, '2026-12-09T10:00:00Z', '2026-12-09T10:00:05Z', '2026-12-09T10:02:00Z', 'tel'),"
              " ('tel:2125550199', 1, '2026-12-09T11:00:00Z', NULL, '2026-12-09T11:00:20Z', 'tel'),"
              " ('', 1, '2026-12-09T12:00:00.250Z', '2026-12-09T12:00:02Z', NULL, 'tel'),"
              " ('sip:ada@example.org', 1, '2026-12-09T13:00:00Z', '2026-12-09T13:00:03Z', '2026-12-09T13:10:00Z',"
              "  'sip');";
        break;
    case Log::PlasmaDialer:
        sql = std::string(dialler::kPlasmaDialerSchema) +
              "INSERT INTO History (protocol, account, communicationWith, direction, state, stateReason,"
              " callAttribute, startedAt, duration) VALUES"
              " ('tel', 'sim1', '+12065550100', 2, 0, 3, 0, '2026-12-09T10:00:00', 120),"
              " ('tel', 'sim1', '2125550199', 1, 0, 2, 0, '2026-12-09T11:00:00', 0),"
              " ('tel', NULL, '', 1, 0, 3, 0, '2026-12-09T12:00:00', 58),"
              " ('tel', 'sim2', '+14255551212', 1, 0, 3, 1, '2026-12-09T13:00:00', 600);";
        break;
    }
    const std::string table = TableOf(log);
    dialler::Exec(path, sql + "ALTER TABLE " + table + " ADD COLUMN extra; ALTER TABLE " + table +
                            " ADD COLUMN amount INTEGER; ALTER TABLE " + table + " ADD COLUMN label TEXT; UPDATE " +
                            table +
                            " SET extra = CASE rowid WHEN 1 THEN x'00ff10' WHEN 2 THEN 2.5 WHEN 3 THEN 'Müller'"
                            " ELSE 7 END, amount = CASE rowid WHEN 1 THEN 1.5 WHEN 2 THEN 'x' WHEN 3 THEN x'01'"
                            " ELSE x'' END, label = CASE rowid WHEN 3 THEN '' ELSE NULL END;");
}

// Every row of the log's table by rowid: the rowid, then each column as its stored type and its
// value written as an SQL literal.
inline std::string Dump(Log log, const std::string& path, const std::string& where = "1") {
    const std::string table = TableOf(log);
    sqlite3* db = nullptr;
    std::string select = "SELECT rowid";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        const std::string columns = "SELECT name FROM pragma_table_info('" + table + "') ORDER BY cid";
        if (sqlite3_prepare_v2(db, columns.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
                select += ", typeof(\"" + name + "\") || ':' || quote(\"" + name + "\")";
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return dialler::Rows(path, select + " FROM " + table + " WHERE " + where + " ORDER BY rowid");
}

// Holds a log's write lock on a connection of its own, as a dialler writing its history does;
// unlike storetest::LockHolder it takes any log, not only the program's own store.
class WriteLock {
public:
    explicit WriteLock(const std::string& path) {
        held = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
               sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~WriteLock() {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held = false;

private:
    sqlite3* db = nullptr;
};

} // namespace undotest
