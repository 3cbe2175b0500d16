#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;
enum class DiallerHistory;
enum class StoreError;

// The store file as an SQLite database, shared by the object-store service and the phone library.
// Not for the program's own code: it carries the SQLite connection type.
//
// Schema (application_id 0x5A524C47, user_version 1, WAL journal):
//   databases(oid INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER NOT NULL)
//   records(oid INTEGER PRIMARY KEY AUTOINCREMENT, db INTEGER NOT NULL, start_time INTEGER NOT NULL,
//           end_time INTEGER NOT NULL, call_type INTEGER NOT NULL, flags INTEGER NOT NULL,
//           caller_id_type INTEGER NOT NULL, number TEXT, name TEXT, name_type TEXT, note TEXT)
// A text that is NULL is absent; '' is an empty text. File times are stored as signed 64-bit.

// The order in which the phone's call log is read and the "start time descending" sort: latest
// first, and of two calls with the same start the one added later first.
inline constexpr const char* kNewestFirstOrder = "start_time DESC, oid DESC";

// Opens the store file at StorePath() with the busy timeout. A missing file (or an empty SQLite
// file) becomes a new store holding an empty "clog.db", unless this process has opened a store at
// that path before: one that vanished while in use is a failure, not a new empty log. A dialler's
// history is opened in place and shown as the two tables above (diallerhistory.h); *history, when
// asked for, says which one it is (None: the program's own store). Any other file is refused
// untouched. Null on failure, with error set and, when asked for, *code saying why.
sqlite3* OpenStoreVolume(std::string* error, DiallerHistory* history = nullptr, StoreError* code = nullptr);

void CloseStoreVolume(sqlite3* db);

// The identifier of the first database named name (exact), 0 when there is none or on failure.
int64_t FindStoreDatabase(sqlite3* db, const char* name, std::string* error);

// Error text of the connection's last failure, prefixed with what was being done.
std::string StoreErrorText(sqlite3* db, const char* doing);

// Why the connection's last operation failed, from SQLite's result code.
StoreError StoreErrorCode(sqlite3* db);

// The same for an SQLite result code.
StoreError StoreErrorOfCode(int sqliteCode);

// Records the error returned by StoreLastError() and StoreLastErrorCode().
void SetStoreLastError(const std::string& error, StoreError code);

// A text column of the statement's current row: absent when it is NULL, the text otherwise.
std::optional<std::u16string> StoreColumnText(sqlite3_stmt* stmt, int column);
