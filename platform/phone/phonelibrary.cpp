#include "platform/phone/phonelibrary.h"

#include "platform/objectstore/storevolume.h"

#include <sqlite3.h>

#include <atomic>
#include <string>

struct PhoneCallLog {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
};

namespace {

thread_local std::string lastError;
std::atomic<size_t> openLogs{0};

int Fail(const std::string& error) {
    lastError = error;
    return -1;
}

// A text column as a new local text; 0 for NULL. false when the heap is out of memory.
bool ColumnText(sqlite3_stmt* stmt, int column, LocalHandle* handle) {
    *handle = 0;
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) {
        return true;
    }
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, column));
    const size_t length = static_cast<size_t>(sqlite3_column_bytes16(stmt, column)) / sizeof(char16_t);
    *handle = LocalAllocText(text != nullptr ? text : u"", text != nullptr ? length : 0);
    return *handle != 0;
}

} // namespace

int PhoneOpenCallLog(CallLogHandle* handle) {
    if (handle == nullptr) {
        return Fail("no place for the call log handle");
    }
    std::string error;
    sqlite3* db = OpenStoreVolume(&error);
    if (db == nullptr) {
        return Fail(error);
    }
    const int64_t callLog = FindStoreDatabase(db, "clog.db", &error);
    if (callLog == 0) {
        CloseStoreVolume(db);
        return Fail(error);
    }
    const std::string sql = std::string("SELECT start_time, end_time, call_type, flags, caller_id_type, number, name,"
                                        " name_type, note FROM records WHERE db = ?1 ORDER BY ") +
                            kNewestFirstOrder;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        error = StoreErrorText(db, "cannot read the call log");
        CloseStoreVolume(db);
        return Fail(error);
    }
    sqlite3_bind_int64(stmt, 1, callLog);
    *handle = new PhoneCallLog{db, stmt};
    ++openLogs;
    return 0;
}

int PhoneGetNextCallLogRecord(CallLogHandle handle, CallLogRecord* record) {
    if (handle == nullptr || record == nullptr || record->recordSize != sizeof(CallLogRecord)) {
        return Fail("bad call log handle or record");
    }
    const int rc = sqlite3_step(handle->stmt);
    if (rc == SQLITE_DONE) {
        return Fail("end of the call log");
    }
    if (rc != SQLITE_ROW) {
        return Fail(StoreErrorText(handle->db, "cannot read the call log"));
    }
    LocalHandle texts[4] = {};
    for (int i = 0; i < 4; ++i) {
        if (!ColumnText(handle->stmt, 5 + i, &texts[i])) {
            for (LocalHandle text : texts) {
                LocalFree(text);
            }
            return Fail("out of memory for the call's texts");
        }
    }
    record->startTime = MakeFileTime(static_cast<uint64_t>(sqlite3_column_int64(handle->stmt, 0)));
    record->endTime = MakeFileTime(static_cast<uint64_t>(sqlite3_column_int64(handle->stmt, 1)));
    record->callType = static_cast<int32_t>(sqlite3_column_int64(handle->stmt, 2));
    record->flags = static_cast<uint32_t>(sqlite3_column_int64(handle->stmt, 3));
    record->callerIdType = static_cast<int32_t>(sqlite3_column_int64(handle->stmt, 4));
    record->number = texts[0];
    record->name = texts[1];
    record->nameType = texts[2];
    record->note = texts[3];
    return 0;
}

int PhoneCloseCallLog(CallLogHandle handle) {
    if (handle == nullptr) {
        return 0;
    }
    sqlite3_finalize(handle->stmt);
    CloseStoreVolume(handle->db);
    delete handle;
    --openLogs;
    return 0;
}

std::string PhoneLastError() {
    return lastError;
}

size_t PhoneOpenLogCount() {
    return openLogs.load();
}
