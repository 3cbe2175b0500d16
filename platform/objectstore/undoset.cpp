#include "platform/objectstore/undoset.h"

#include "platform/objectstore/diallerhistory.h"

#include <sqlite3.h>

namespace {

// A name as an SQL identifier: in double quotes, a quote inside doubled.
std::string Quoted(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

} // namespace

void UndoSet::ValueFree::operator()(sqlite3_value* value) const {
    sqlite3_value_free(value);
}

int UndoSet::Start(sqlite3* db, const std::string& storePath, DiallerHistory storeHistory) {
    Clear();
    const DiallerTable where = DiallerHistoryTable(storeHistory);
    // table_info leaves out generated columns, which cannot be written.
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?1, 'main') ORDER BY cid", -1, &stmt, nullptr) !=
        SQLITE_OK) {
        return -1;
    }
    sqlite3_bind_text(stmt, 1, where.table, -1, SQLITE_STATIC);
    std::vector<std::string> names;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        names.emplace_back(name != nullptr ? name : "");
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE || names.empty()) {
        return -1;
    }
    path = storePath;
    history = storeHistory;
    table = where.table;
    key = where.key;
    columns = std::move(names);
    return 0;
}

std::string UndoSet::CopySql() const {
    std::string sql = "SELECT rowid, " + Quoted(key);
    for (const std::string& column : columns) {
        sql += ", " + Quoted(column);
    }
    return sql + " FROM main." + Quoted(table) + " WHERE " + Quoted(key) + " = ?1";
}

int UndoSet::Keep(sqlite3_stmt* row) {
    Row copy;
    copy.rowid = sqlite3_column_int64(row, 0);
    copy.key = sqlite3_column_int64(row, 1);
    copy.values.reserve(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        // The protected value of a column is copied as it is stored: type, bytes, text encoding.
        sqlite3_value* value = sqlite3_value_dup(sqlite3_column_value(row, static_cast<int>(i) + 2));
        if (value == nullptr) {
            return -1;
        }
        copy.values.emplace_back(value);
    }
    rows.push_back(std::move(copy));
    return 0;
}

int UndoSet::Restore(sqlite3* db, std::vector<int64_t>* keys, int* failure) const {
    *failure = SQLITE_OK;
    keys->clear();
    const std::string from = " FROM main." + Quoted(table);
    std::string insert = "INSERT INTO main." + Quoted(table) + " (rowid";
    std::string values = ") VALUES (?1";
    for (size_t i = 0; i < columns.size(); ++i) {
        insert += ", " + Quoted(columns[i]);
        values += ", ?" + std::to_string(i + 2);
    }
    insert += values + ")";
    const std::string check = "SELECT 1" + from + " WHERE rowid = ?1 OR " + Quoted(key) + " = ?2 LIMIT 1";
    sqlite3_stmt* find = nullptr;
    sqlite3_stmt* put = nullptr;
    if (sqlite3_prepare_v2(db, check.c_str(), -1, &find, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, insert.c_str(), -1, &put, nullptr) != SQLITE_OK) {
        *failure = sqlite3_extended_errcode(db) & 0xFF;
        sqlite3_finalize(find);
        sqlite3_finalize(put);
        return -1;
    }
    // Every place is checked before anything is written: a plain INSERT would refuse a taken
    // rowid too, but a key that is not the rowid may have no constraint to stop a second row.
    for (size_t r = 0; *failure == SQLITE_OK && r < rows.size(); ++r) {
        sqlite3_bind_int64(find, 1, rows[r].rowid);
        sqlite3_bind_int64(find, 2, rows[r].key);
        const int rc = sqlite3_step(find);
        if (rc == SQLITE_ROW) {
            *failure = SQLITE_CONSTRAINT;
        } else if (rc != SQLITE_DONE) {
            *failure = sqlite3_extended_errcode(db) & 0xFF;
        }
        sqlite3_reset(find);
    }
    for (size_t r = 0; *failure == SQLITE_OK && r < rows.size(); ++r) {
        const Row& row = rows[r];
        sqlite3_bind_int64(put, 1, row.rowid);
        for (size_t i = 0; i < row.values.size(); ++i) {
            sqlite3_bind_value(put, static_cast<int>(i) + 2, row.values[i].get());
        }
        // A unique column of the dialler's own may hold the value of a row added since: that is
        // SQLITE_CONSTRAINT too.
        if (sqlite3_step(put) != SQLITE_DONE) {
            *failure = sqlite3_extended_errcode(db) & 0xFF;
        } else {
            keys->push_back(row.key);
        }
        sqlite3_reset(put);
    }
    sqlite3_finalize(find);
    sqlite3_finalize(put);
    return *failure == SQLITE_OK ? 0 : -1;
}

void UndoSet::KeepFirst(size_t n) {
    if (n < rows.size()) {
        rows.resize(n);
    }
}

void UndoSet::Clear() {
    path.clear();
    table.clear();
    key.clear();
    columns.clear();
    rows.clear();
}
