#include "platform/objectstore/undoset.h"

#include "platform/objectstore/diallerhistory.h"

#include <sqlite3.h>

#include <cstring>

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
    // Made once: a Delete All copies every record with it.
    copySql = "SELECT rowid, " + Quoted(key);
    for (const std::string& column : columns) {
        copySql += ", " + Quoted(column);
    }
    copySql += " FROM main." + Quoted(table) + " WHERE " + Quoted(key) + " = ?1";
    return 0;
}

int UndoSet::ReserveForTable(sqlite3* db) {
    const std::string sql = "SELECT count(*) FROM main." + Quoted(table);
    sqlite3_stmt* stmt = nullptr;
    int64_t count = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        count = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    if (count < 0) {
        return -1;
    }
    expectedRows = static_cast<size_t>(count);
    rows.reserve(rows.size() + expectedRows);
    return 0;
}

int UndoSet::Keep(sqlite3_stmt* row) {
    const size_t offset = values.size();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i) + 2;
        const int type = sqlite3_column_type(row, column);
        values += static_cast<char>(type);
        if (type == SQLITE_INTEGER) {
            const int64_t number = sqlite3_column_int64(row, column);
            values.append(reinterpret_cast<const char*>(&number), sizeof(number));
        } else if (type == SQLITE_FLOAT) {
            const double number = sqlite3_column_double(row, column);
            values.append(reinterpret_cast<const char*>(&number), sizeof(number));
        } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
            // The pointer first, then the length: the order SQLite asks for.
            const void* data = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(row, column))
                                                   : sqlite3_column_blob(row, column);
            const auto length = static_cast<uint32_t>(sqlite3_column_bytes(row, column));
            if (data == nullptr && length != 0) {
                values.resize(offset);
                return -1;
            }
            values.append(reinterpret_cast<const char*>(&length), sizeof(length));
            if (length != 0) {
                values.append(static_cast<const char*>(data), length);
            }
        }
    }
    if (rows.empty() && expectedRows > 1) {
        // Rows differ in their texts' lengths: an eighth more than the first row's length times
        // the count, so that most logs fit without a move and a longer one moves once.
        const size_t rowBytes = values.size() - offset;
        const size_t guess = rowBytes * expectedRows;
        if (guess / expectedRows == rowBytes) {
            values.reserve(guess + guess / 8);
        }
    }
    rows.push_back(Row{sqlite3_column_int64(row, 0), sqlite3_column_int64(row, 1), offset});
    return 0;
}

int UndoSet::BindValues(sqlite3_stmt* stmt, size_t offset) const {
    size_t at = offset;
    const auto take = [&](void* into, size_t size) {
        if (size > values.size() || at > values.size() - size) {
            return false;
        }
        std::memcpy(into, values.data() + at, size);
        at += size;
        return true;
    };
    for (size_t i = 0; i < columns.size(); ++i) {
        const int parameter = static_cast<int>(i) + 2;
        char type = 0;
        int64_t integer = 0;
        double real = 0;
        uint32_t length = 0;
        if (!take(&type, 1)) {
            return -1;
        }
        if (type == SQLITE_INTEGER && take(&integer, sizeof(integer))) {
            sqlite3_bind_int64(stmt, parameter, integer);
        } else if (type == SQLITE_FLOAT && take(&real, sizeof(real))) {
            sqlite3_bind_double(stmt, parameter, real);
        } else if ((type == SQLITE_TEXT || type == SQLITE_BLOB) && take(&length, sizeof(length)) &&
                   length <= values.size() - at) {
            // Never a null pointer: SQLite would bind NULL for an empty text or blob.
            const char* data = values.data() + at;
            at += length;
            if (type == SQLITE_TEXT) {
                sqlite3_bind_text(stmt, parameter, data, static_cast<int>(length), SQLITE_STATIC);
            } else {
                sqlite3_bind_blob(stmt, parameter, data, static_cast<int>(length), SQLITE_STATIC);
            }
        } else if (type == SQLITE_NULL) {
            sqlite3_bind_null(stmt, parameter);
        } else {
            return -1;
        }
    }
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
        // A unique column of the dialler's own may hold the value of a row added since: that is
        // SQLITE_CONSTRAINT too.
        if (BindValues(put, row.offset) != 0) {
            *failure = SQLITE_CORRUPT;
        } else if (sqlite3_step(put) != SQLITE_DONE) {
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
        values.resize(rows[n].offset);
        rows.resize(n);
    }
}

void UndoSet::Clear() {
    path.clear();
    table.clear();
    key.clear();
    columns.clear();
    copySql.clear();
    rows.clear();
    values.clear();
    expectedRows = 0;
}
