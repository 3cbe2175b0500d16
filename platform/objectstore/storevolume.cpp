#include "platform/objectstore/storevolume.h"

#include "platform/objectstore/diallerhistory.h"
#include "platform/objectstore/objectstore.h"
#include "platform/objectstore/storelocation.h"

#include <sqlite3.h>

#include <filesystem>
#include <mutex>
#include <system_error>

namespace {

constexpr int kApplicationId = 0x5A524C47;
constexpr int kSchemaVersion = 1;

thread_local std::string lastError;
thread_local StoreError lastCode = StoreError::None;

// The store file opened last. Once the program has used a store, that store vanishing is a
// failure: a new empty one in its place would show the user an empty call log.
std::mutex openedLock;
std::string openedPath;

bool WasOpened(const std::string& path) {
    std::lock_guard<std::mutex> guard(openedLock);
    return path == openedPath;
}

void RememberOpened(const std::string& path) {
    std::lock_guard<std::mutex> guard(openedLock);
    openedPath = path;
}

const char* const kCreateSchema =
    "PRAGMA application_id = 1515342919;"
    "PRAGMA user_version = 1;"
    "CREATE TABLE databases (oid INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE records (oid INTEGER PRIMARY KEY AUTOINCREMENT, db INTEGER NOT NULL, start_time INTEGER NOT NULL,"
    " end_time INTEGER NOT NULL, call_type INTEGER NOT NULL, flags INTEGER NOT NULL,"
    " caller_id_type INTEGER NOT NULL, number TEXT, name TEXT, name_type TEXT, note TEXT);"
    "CREATE INDEX records_by_time ON records (db, start_time DESC, oid DESC);"
    "INSERT INTO databases (name, type) VALUES ('clog.db', 0);";
static_assert(kApplicationId == 1515342919, "the schema text carries the application id");

// Reads one integer; false when the statement fails (a file that is not SQLite fails here).
bool QueryInt(sqlite3* db, const char* sql, int* value) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        return false;
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        *value = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_ROW;
}

std::string QueryText(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string text;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        text = value != nullptr ? value : "";
    }
    sqlite3_finalize(stmt);
    return text;
}

bool ReadHeader(sqlite3* db, int* applicationId, int* version, int* tables) {
    return QueryInt(db, "PRAGMA application_id", applicationId) && QueryInt(db, "PRAGMA user_version", version) &&
           QueryInt(db, "SELECT count(*) FROM sqlite_master", tables);
}

bool CannotWriteBeside(sqlite3* db) {
    const int code = sqlite3_extended_errcode(db) & 0xFF;
    return code == SQLITE_CANTOPEN || code == SQLITE_READONLY;
}

// "file:" and the path with the characters that mean something in a URI escaped.
std::string ImmutableUri(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    // An absolute path gets an empty authority, so that one starting with "//" is not a host.
    std::string uri = !path.empty() && path[0] == '/' ? "file://" : "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '?' || c == '#' || byte < 0x20 || byte >= 0x7F) {
            uri += '%';
            uri += hex[byte >> 4];
            uri += hex[byte & 0x0F];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Turns an empty database into a store. The check runs inside a write transaction so that two
// processes creating the same store do not both create it.
bool CreateSchemaIfEmpty(sqlite3* db, std::string* error, StoreError* code) {
    // The reason is taken before the rollback, which would clear it.
    const auto fail = [&](const char* doing) {
        *error = StoreErrorText(db, doing);
        *code = StoreErrorCode(db);
        Exec(db, "ROLLBACK");
        return false;
    };
    if (!Exec(db, "BEGIN IMMEDIATE")) {
        return fail("cannot lock the new store");
    }
    int tables = 0;
    if (!QueryInt(db, "SELECT count(*) FROM sqlite_master", &tables)) {
        return fail("cannot read the store's schema");
    }
    if (tables == 0 && !Exec(db, kCreateSchema)) {
        return fail("cannot create the store");
    }
    if (!Exec(db, "COMMIT")) {
        return fail("cannot create the store");
    }
    // WAL lets the phone's dialler write while the program reads. It is kept in the file.
    Exec(db, "PRAGMA journal_mode = WAL");
    return true;
}

} // namespace

std::string StoreErrorText(sqlite3* db, const char* doing) {
    return std::string(doing) + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
}

StoreError StoreErrorCode(sqlite3* db) {
    if (db == nullptr) {
        return StoreError::Other;
    }
    return StoreErrorOfCode(sqlite3_extended_errcode(db));
}

StoreError StoreErrorOfCode(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreError::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return StoreError::ReadOnly;
    case SQLITE_FULL:
        return StoreError::Full;
    default:
        return StoreError::Other;
    }
}

void SetStoreLastError(const std::string& error, StoreError code) {
    lastError = error;
    lastCode = code;
}

StoreError StoreLastErrorCode() {
    return lastCode;
}

std::string StoreLastError() {
    return lastError;
}

sqlite3* OpenStoreVolume(std::string* error, DiallerHistory* history, StoreError* code) {
    StoreError ignored = StoreError::None;
    if (code == nullptr) {
        code = &ignored;
    }
    *code = StoreError::Other;
    const std::string path = StorePath();
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (ec) {
        *error = "cannot reach the store " + path + ": " + ec.message();
        return nullptr;
    }
    if (!exists && WasOpened(path)) {
        *error = "the store " + path + " has gone";
        return nullptr;
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (!exists) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) {
            std::filesystem::create_directories(parent, ec);
        }
        flags |= SQLITE_OPEN_CREATE;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        *error = StoreErrorText(db, ("cannot open the store " + path).c_str());
        *code = StoreErrorCode(db);
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, StoreBusyTimeout());
    sqlite3_extended_result_codes(db, 1);

    int applicationId = 0;
    int version = 0;
    int tables = 0;
    bool readable = ReadHeader(db, &applicationId, &version, &tables);
    if (!readable && exists && CannotWriteBeside(db)) {
        // A store in WAL mode is read through files beside it (-shm, -wal). In a folder where they
        // cannot be made nobody can write the store either, so it is read as it stands.
        sqlite3_close(db);
        db = nullptr;
        if (sqlite3_open_v2(ImmutableUri(path).c_str(), &db,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
            sqlite3_extended_result_codes(db, 1);
            readable = ReadHeader(db, &applicationId, &version, &tables);
        }
    }
    if (!readable) {
        *error = StoreErrorText(db, ("cannot read the store " + path).c_str());
        *code = StoreErrorCode(db);
        sqlite3_close(db);
        return nullptr;
    }
    if (applicationId == 0 && version == 0 && tables == 0) {
        if (!CreateSchemaIfEmpty(db, error, code)) {
            sqlite3_close(db);
            return nullptr;
        }
        QueryInt(db, "PRAGMA application_id", &applicationId);
        QueryInt(db, "PRAGMA user_version", &version);
    }
    DiallerHistory found = DiallerHistory::None;
    if (applicationId != kApplicationId || version != kSchemaVersion) {
        // Not our store: a dialler's history is read in place, anything else is left alone.
        found = FindDiallerHistory(db);
        if (found == DiallerHistory::None) {
            *error = "the store " + path + " is an SQLite file of another program, not a call log";
            sqlite3_close(db);
            return nullptr;
        }
        if (MapDiallerHistory(db, found, error) != 0) {
            sqlite3_close(db);
            return nullptr;
        }
        // Its journal is the dialler's choice; under WAL a commit without a flush is as safe here
        // as in our own store.
        if (QueryText(db, "PRAGMA journal_mode") == "wal") {
            Exec(db, "PRAGMA synchronous = NORMAL");
        }
    } else {
        // With WAL, NORMAL still never corrupts the store; it spares a disk flush per deleted record.
        Exec(db, "PRAGMA synchronous = NORMAL");
    }
    if (history != nullptr) {
        *history = found;
    }
    *code = StoreError::None;
    RememberOpened(path);
    return db;
}

void CloseStoreVolume(sqlite3* db) {
    sqlite3_close_v2(db);
}

int64_t FindStoreDatabase(sqlite3* db, const char* name, std::string* error) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT oid FROM databases WHERE name = ?1 ORDER BY oid LIMIT 1", -1, &stmt, nullptr) !=
        SQLITE_OK) {
        *error = StoreErrorText(db, "cannot read the store's databases");
        return 0;
    }
    sqlite3_bind_text(stmt, 1, name, -1, SQLITE_TRANSIENT);
    int64_t id = 0;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        id = sqlite3_column_int64(stmt, 0);
    } else if (rc != SQLITE_DONE) {
        *error = StoreErrorText(db, "cannot read the store's databases");
    } else {
        *error = std::string("the store has no database ") + name;
    }
    sqlite3_finalize(stmt);
    return id;
}

std::optional<std::u16string> StoreColumnText(sqlite3_stmt* stmt, int column) {
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, column));
    const size_t length = static_cast<size_t>(sqlite3_column_bytes16(stmt, column)) / sizeof(char16_t);
    return text != nullptr ? std::u16string(text, length) : std::u16string();
}
