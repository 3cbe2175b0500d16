#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
enum class DiallerHistory;

// Exact copies of the rows one deletion took from a store's call table, kept so that the deletion
// can be undone: every column the table declares (also those the program never reads), each value
// with the type SQLite stored it with, and the row's rowid. Owns the copied values. Not for the
// program's own code: it works on SQLite's statements.
class UndoSet {
public:
    // Makes the set ready to copy rows of the call table of history on db, a store opened at path.
    // 0, or -1 when the table's columns cannot be read (the failure stays on db).
    int Start(sqlite3* db, const std::string& path, DiallerHistory history);

    // Whether Start has run since the set was last cleared.
    bool Started() const { return !table.empty(); }

    // The query that gives the rows to copy: rowid, the key, then every column; ?1 is the key.
    const std::string& CopySql() const { return copySql; }

    // Makes room for copies of every row of the table on db, the most one deletion can take: a Delete
    // All of a large log then copies without moving what it copied at each growth of the buffer.
    // Only a hint: 0, or -1 when the rows cannot be counted (the copies then grow as they come).
    int ReserveForTable(sqlite3* db);

    // Copies the current row of a statement running CopySql. 0, or -1 when out of memory.
    int Keep(sqlite3_stmt* row);

    // Puts every copied row back into the table on db, which must be inside a write transaction;
    // keys receives each row's key (its record id). 0; -1 with SQLite's primary result code in
    // *failure: SQLITE_CONSTRAINT when a row's rowid or key is taken. Nothing is undone here: on
    // failure the caller rolls back.
    int Restore(sqlite3* db, std::vector<int64_t>* keys, int* failure) const;

    // Forgets the copies from the n-th on.
    void KeepFirst(size_t n);
    void Clear();

    size_t RowCount() const { return rows.size(); }
    const std::string& Path() const { return path; }
    DiallerHistory History() const { return history; }

private:
    // A copied row: its rowid, its key and where its values start in `values`.
    struct Row {
        int64_t rowid = 0;
        int64_t key = 0;
        size_t offset = 0;
    };

    // Binds the values of the row at offset to the statement's parameters from 2 on. 0, or -1
    // when the copy is damaged.
    int BindValues(sqlite3_stmt* stmt, size_t offset) const;

    std::string path;
    DiallerHistory history{};
    std::string table;
    std::string key;
    std::vector<std::string> columns;
    std::string copySql;
    std::vector<Row> rows;
    // The rows ReserveForTable counted: the values get room for that many once the first row shows
    // how long a row is.
    size_t expectedRows = 0;
    // The values of every row, one row after another, each value in column order:
    //   1 byte   SQLite's type: 1 integer, 2 real, 3 text, 4 blob, 5 null
    //   integer  8 bytes, the int64 as this machine stores it
    //   real     8 bytes, the double as this machine stores it
    //   text     4 bytes, a uint32 length, then that many bytes of UTF-8 without a terminator
    //   blob     4 bytes, a uint32 length, then that many bytes
    //   null     nothing more
    // One buffer rather than a value object per column: a Delete All may copy a whole log.
    std::string values;
};
