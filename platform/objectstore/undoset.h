#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;
enum class DiallerHistory;

// Exact copies of the rows one deletion took from a store's call table, kept so that the deletion
// can be undone: every column the table declares (also those the program never reads), each value
// with the type SQLite stored it with, and the row's rowid. Owns the copied values. Not for the
// program's own code: it carries SQLite's types.
class UndoSet {
public:
    // Makes the set ready to copy rows of the call table of history on db, a store opened at path.
    // 0, or -1 when the table's columns cannot be read (the failure stays on db).
    int Start(sqlite3* db, const std::string& path, DiallerHistory history);

    // Whether Start has run since the set was last cleared.
    bool Started() const { return !table.empty(); }

    // The query that gives the rows to copy: rowid, the key, then every column; ?1 is the key.
    std::string CopySql() const;

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
    struct ValueFree {
        void operator()(sqlite3_value* value) const;
    };
    using Value = std::unique_ptr<sqlite3_value, ValueFree>;
    struct Row {
        int64_t rowid = 0;
        int64_t key = 0;
        std::vector<Value> values;
    };

    std::string path;
    DiallerHistory history{};
    std::string table;
    std::string key;
    std::vector<std::string> columns;
    std::vector<Row> rows;
};
