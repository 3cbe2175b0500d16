#include "platform/objectstore/storecheck.h"

#include "platform/objectstore/diallerhistory.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace {

constexpr int kApplicationId = 0x5A524C47;

bool QueryInt(sqlite3* db, const char* sql, int* value) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        return false;
    }
    const bool found = sqlite3_step(stmt) == SQLITE_ROW;
    if (found) {
        *value = sqlite3_column_int(stmt, 0);
    }
    sqlite3_finalize(stmt);
    return found;
}

// Empty when the file is none of the kinds, else what it is.
std::string Describe(const std::string& path, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (ec) {
            *error = "cannot reach " + path + ": " + ec.message();
            return {};
        }
        return "a new store";
    }
    if (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0 && !ec) {
        return "a new store";
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        *error = "cannot open " + path + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return {};
    }
    sqlite3_busy_timeout(db, 2000);
    std::string kind;
    int applicationId = 0;
    int tables = 0;
    if (!QueryInt(db, "PRAGMA application_id", &applicationId) ||
        !QueryInt(db, "SELECT count(*) FROM sqlite_master", &tables)) {
        *error = path + " is not a call log (" + sqlite3_errmsg(db) + ")";
    } else if (applicationId == kApplicationId) {
        kind = "the program's own store";
    } else if (applicationId == 0 && tables == 0) {
        kind = "a new store";
    } else {
        const DiallerHistory history = FindDiallerHistory(db);
        if (history != DiallerHistory::None) {
            kind = DiallerHistoryName(history);
        } else {
            *error = path + " is not a call log: it is neither this program's store nor GNOME Calls' or "
                            "Plasma Dialer's history";
        }
    }
    sqlite3_close(db);
    return kind;
}

} // namespace

int CheckStoreFile(const std::string& path, std::string* error) {
    return Describe(path, error).empty() ? -1 : 0;
}
