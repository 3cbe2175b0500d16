#pragma once

// Call histories as the Linux diallers keep them, made from their documented schemas, for the
// tests of reading, ordering and deleting them in place.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>

namespace dialler {

inline const char* const kGnomeCallsSchema =
    "CREATE TABLE calls (id INTEGER PRIMARY KEY, target TEXT NOT NULL DEFAULT '', inbound BOOLEAN NOT NULL,"
    " start TEXT NOT NULL, answered TEXT, end TEXT, protocol TEXT);";

inline const char* const kPlasmaDialerSchema =
    "CREATE TABLE History (id INTEGER PRIMARY KEY AUTOINCREMENT, protocol TEXT, account TEXT, provider TEXT,"
    " communicationWith TEXT, direction INTEGER, state INTEGER, stateReason INTEGER, callAttribute INTEGER,"
    " startedAt TEXT, duration INTEGER);";

inline void Exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// Every row of a query, columns joined by "|", rows ended by "\n"; NULL as "~".
inline std::string Rows(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open";
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        out = std::string("error: ") + sqlite3_errmsg(db);
    }
    while (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            out += (i > 0 ? "|" : "") + std::string(text != nullptr ? text : "~");
        }
        out += "\n";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

// Six GNOME Calls calls, inserted oldest first (ids 1 to 6).
inline void MakeGnomeCallsHistory(const std::string& path) {
    Exec(path, std::string(kGnomeCallsSchema) +
                   "INSERT INTO calls (target, inbound, start, answered, end, protocol) VALUES"
                   " ('tel:+12065550123', 0, '2026-12-08T09:00:00Z', '2026-12-08T09:00:05Z',"
                   "  '2026-12-08T09:02:05Z', 'tel'),"
                   " ('tel:2125550199', 1, '2026-12-09T04:25:47Z', NULL, '2026-12-09T04:26:07Z', 'tel'),"
                   " ('sip:ada@example.org', 1, '2026-12-09T08:00:00.250Z', '2026-12-09T08:00:03Z',"
                   "  '2026-12-09T08:10:00Z', 'sip'),"
                   " ('', 1, '2026-12-09T10:00:00Z', '2026-12-09T10:00:02Z', '2026-12-09T10:01:00Z', 'tel'),"
                   " ('tel:3125550100', 1, '2026-12-09T10:00:00Z', NULL, '2026-12-09T10:00:30Z', 'tel'),"
                   " ('tel:+14255551212', 1, '2026-12-09T14:59:00Z', '2026-12-09T14:59:04Z', NULL, 'tel');");
}

} // namespace dialler
