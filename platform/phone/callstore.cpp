#include "platform/phone/callstore.h"

#include "platform/objectstore/diallerhistory.h"
#include "platform/objectstore/storelocation.h"
#include "platform/objectstore/storevolume.h"
#include "platform/phone/phonelog.h"

#include <sqlite3.h>

namespace {

void BindText(sqlite3_stmt* stmt, int column, const std::optional<std::u16string>& text) {
    if (text.has_value()) {
        sqlite3_bind_text16(stmt, column, text->data(), static_cast<int>(text->size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(stmt, column);
    }
}

// Calls that were not written, said in the phone's log. -1.
int NotAdded(const std::string& error) {
    qCDebug(phoneLog, "calls not added: %s", error.c_str());
    return -1;
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int InsertAll(sqlite3* db, int64_t callLog, const std::vector<CallRecordData>& calls, bool replace,
              std::string* error) {
    if (replace) {
        sqlite3_stmt* clear = nullptr;
        bool cleared = sqlite3_prepare_v2(db, "DELETE FROM records WHERE db = ?1", -1, &clear, nullptr) == SQLITE_OK;
        if (cleared) {
            sqlite3_bind_int64(clear, 1, callLog);
            cleared = sqlite3_step(clear) == SQLITE_DONE;
        }
        sqlite3_finalize(clear);
        if (!cleared) {
            *error = StoreErrorText(db, "cannot empty the call log");
            return -1;
        }
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db,
                           "INSERT INTO records (db, start_time, end_time, call_type, flags, caller_id_type, number,"
                           " name, name_type, note) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        *error = StoreErrorText(db, "cannot add calls");
        return -1;
    }
    for (const CallRecordData& call : calls) {
        sqlite3_reset(stmt);
        sqlite3_bind_int64(stmt, 1, callLog);
        sqlite3_bind_int64(stmt, 2, static_cast<int64_t>(call.startTime));
        sqlite3_bind_int64(stmt, 3, static_cast<int64_t>(call.endTime));
        sqlite3_bind_int64(stmt, 4, call.callType);
        sqlite3_bind_int64(stmt, 5, call.flags);
        sqlite3_bind_int64(stmt, 6, call.callerIdType);
        BindText(stmt, 7, call.number);
        BindText(stmt, 8, call.name);
        BindText(stmt, 9, call.nameType);
        BindText(stmt, 10, call.note);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            *error = StoreErrorText(db, "cannot add a call");
            sqlite3_finalize(stmt);
            return -1;
        }
    }
    sqlite3_finalize(stmt);
    return 0;
}

} // namespace

int AddCallRecords(const std::vector<CallRecordData>& calls, bool replace, std::string* error) {
    DiallerHistory history = DiallerHistory::None;
    sqlite3* db = OpenStoreVolume(error, &history);
    if (db == nullptr) {
        return NotAdded(*error);
    }
    // A dialler's history is its own: calls are only read from it and deleted.
    if (history != DiallerHistory::None) {
        *error =
            StorePath() + " is " + DiallerHistoryName(history) + "; calls are added only to the program's own store";
        CloseStoreVolume(db);
        return NotAdded(*error);
    }
    int result = -1;
    if (!Exec(db, "BEGIN IMMEDIATE")) {
        *error = StoreErrorText(db, "cannot lock the store");
    } else {
        const int64_t callLog = FindStoreDatabase(db, "clog.db", error);
        if (callLog != 0 && InsertAll(db, callLog, calls, replace, error) == 0) {
            if (Exec(db, "COMMIT")) {
                result = 0;
            } else {
                *error = StoreErrorText(db, "cannot save the calls");
            }
        }
        if (result != 0) {
            Exec(db, "ROLLBACK");
        }
    }
    CloseStoreVolume(db);
    return result == 0 ? 0 : NotAdded(*error);
}

int ReadCallRecords(std::vector<CallRecordData>* calls, std::string* error) {
    sqlite3* db = OpenStoreVolume(error);
    if (db == nullptr) {
        return -1;
    }
    const int64_t callLog = FindStoreDatabase(db, "clog.db", error);
    if (callLog == 0) {
        CloseStoreVolume(db);
        return -1;
    }
    const std::string sql = std::string("SELECT start_time, end_time, call_type, flags, caller_id_type, number, name,"
                                        " name_type, note FROM records WHERE db = ?1 ORDER BY ") +
                            kNewestFirstOrder;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        *error = StoreErrorText(db, "cannot read the call log");
        CloseStoreVolume(db);
        return -1;
    }
    sqlite3_bind_int64(stmt, 1, callLog);
    calls->clear();
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        CallRecordData call;
        call.startTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 0));
        call.endTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 1));
        call.callType = static_cast<int32_t>(sqlite3_column_int64(stmt, 2));
        call.flags = static_cast<uint32_t>(sqlite3_column_int64(stmt, 3));
        call.callerIdType = static_cast<int32_t>(sqlite3_column_int64(stmt, 4));
        call.number = StoreColumnText(stmt, 5);
        call.name = StoreColumnText(stmt, 6);
        call.nameType = StoreColumnText(stmt, 7);
        call.note = StoreColumnText(stmt, 8);
        calls->push_back(std::move(call));
    }
    if (rc != SQLITE_DONE) {
        *error = StoreErrorText(db, "cannot read the call log");
    }
    sqlite3_finalize(stmt);
    CloseStoreVolume(db);
    return rc == SQLITE_DONE ? 0 : -1;
}
