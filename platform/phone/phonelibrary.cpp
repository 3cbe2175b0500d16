#include "platform/phone/phonelibrary.h"

#include "platform/memory/pagevector.h"
#include "platform/objectstore/storelocation.h"
#include "platform/objectstore/storevolume.h"
#include "platform/phone/phonelog.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

// The whole log is read when it opens, in the order the rows are stored, then sorted latest first.
// Read through the start-time index instead, every row is a separate look-up in the table; a scan
// in storage order reads each page once and in order. The texts wait as the store holds them
// (UTF-8, one pool for the whole log) and become local texts only as their record is delivered:
// the caller has released the texts of its previous load by then, so the new ones take their place
// in the local heap instead of both loads' texts being held at once.
struct SortKey {
    int64_t start;
    int64_t oid;
    size_t index;
};

// A record not yet delivered: its fields, and where its texts lie in the pool. The texts of the
// records lie one after another in the order read, so a text ends where the next begins (the last
// of a record where the next record's first begins); an absent (NULL) text is empty and not present.
struct PendingCall {
    uint64_t startTime;
    uint64_t endTime;
    int32_t callType;
    uint32_t flags;
    int32_t callerIdType;
    uint8_t present;
    uint32_t texts[4];
};
static_assert(sizeof(PendingCall) == 48, "a call waiting to be delivered stays as small as a record");

struct PhoneCallLog {
    PageVector<PendingCall> records;
    PageVector<char> textPool;
    // The records' order of delivery: latest first.
    PageVector<SortKey> order;
    size_t next = 0;
};

namespace {

thread_local std::string lastError;
std::atomic<size_t> openLogs{0};

// Which file a path names at a moment; two stats that agree saw the same file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool valid = false;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return FileIdentity{};
    }
    return FileIdentity{info.st_dev, info.st_ino, true};
}

// The connection of the process's first read, kept open until the next open or the next question.
// In WAL mode the store's file keeps no change counter; SQLite's data version does, but only on a
// connection that stays open: it changes when any other connection (another process, or this one's
// own deletions) has written the store. Only the first read is watched: the start-up's two loads
// come a moment apart, while a connection held for longer would keep out a program that wants the
// store to itself (an open WAL connection holds a shared lock on the file).
struct KeptRead {
    std::mutex lock;
    bool watched = false;
    sqlite3* db = nullptr;
    std::string path;
    FileIdentity identity;
    int64_t dataVersion = 0;
    // The log read through it while still open; once closed, whether it delivered every call.
    const PhoneCallLog* log = nullptr;
    bool deliveredInFull = false;

    ~KeptRead() { Forget(); }

    // The lock is held.
    void Forget() {
        if (db != nullptr) {
            CloseStoreVolume(db);
        }
        db = nullptr;
        log = nullptr;
        deliveredInFull = false;
    }
};

KeptRead& TheKeptRead() {
    static KeptRead kept;
    return kept;
}

// The connection's data version; false when it cannot be read.
bool ReadDataVersion(sqlite3* db, int64_t* version) {
    sqlite3_stmt* stmt = nullptr;
    bool read = false;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        *version = sqlite3_column_int64(stmt, 0);
        read = true;
    }
    sqlite3_finalize(stmt);
    return read;
}

int Fail(const std::string& error) {
    lastError = error;
    return -1;
}

// A call log that could not be opened, said in the phone's log. -1.
int FailOpen(const std::string& error) {
    qCDebug(phoneLog, "call log not read: %s", error.c_str());
    return Fail(error);
}

// A text column into the pool at the call's text i. Null, or why the text could not be kept.
const char* PoolText(sqlite3_stmt* stmt, int column, PageVector<char>& pool, PendingCall* call, int i) {
    call->texts[i] = static_cast<uint32_t>(pool.Size());
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL) {
        return nullptr;
    }
    // Read as stored (UTF-8): SQLite's own UTF-16 conversion would allocate a buffer per column.
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    const size_t length = bytes != nullptr ? static_cast<size_t>(sqlite3_column_bytes(stmt, column)) : 0;
    if (pool.Size() + length > UINT32_MAX) {
        return "the call log's texts are too large to read";
    }
    call->present = static_cast<uint8_t>(call->present | (1u << i));
    return pool.Append(bytes != nullptr ? bytes : "", length) ? nullptr : "out of memory for the call log";
}

void FreeTexts(const CallLogRecord& record) {
    for (LocalHandle text : {record.number, record.name, record.nameType, record.note}) {
        LocalFree(text);
    }
}

// How many calls the log holds, counted on the time index; 0 when it cannot be told. Only a hint
// for the room to reserve: growing the lists as the rows come would copy them over and over.
size_t CountCalls(sqlite3* db, int64_t callLog) {
    sqlite3_stmt* stmt = nullptr;
    size_t calls = 0;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM records WHERE db = ?1", -1, &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_int64(stmt, 1, callLog);
        if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int64(stmt, 0) > 0) {
            calls = static_cast<size_t>(sqlite3_column_int64(stmt, 0));
        }
    }
    sqlite3_finalize(stmt);
    return calls;
}

// Reads every row of the call log into log. 0, or -1 with the error set (nothing is kept then).
int ReadAll(sqlite3* db, int64_t callLog, PhoneCallLog& log) {
    // NOT INDEXED: the scan in storage order is the point, whatever index the planner would pick.
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT oid, start_time, end_time, call_type, flags, caller_id_type, number, name,"
                           " name_type, note FROM records NOT INDEXED WHERE db = ?1",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        return Fail(StoreErrorText(db, "cannot read the call log"));
    }
    sqlite3_bind_int64(stmt, 1, callLog);
    int rc = SQLITE_OK;
    const char* error = nullptr;
    const size_t expected = CountCalls(db, callLog);
    if (!log.records.Reserve(expected) || !log.order.Reserve(expected) || !log.textPool.Reserve(expected * 32)) {
        error = "out of memory for the call log";
    }
    while (error == nullptr && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        PendingCall call{};
        const int64_t oid = sqlite3_column_int64(stmt, 0);
        call.startTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 1));
        call.endTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 2));
        call.callType = static_cast<int32_t>(sqlite3_column_int64(stmt, 3));
        call.flags = static_cast<uint32_t>(sqlite3_column_int64(stmt, 4));
        call.callerIdType = static_cast<int32_t>(sqlite3_column_int64(stmt, 5));
        for (int i = 0; i < 4 && error == nullptr; ++i) {
            error = PoolText(stmt, 6 + i, log.textPool, &call, i);
        }
        if (error == nullptr && (!log.order.PushBack(SortKey{sqlite3_column_int64(stmt, 1), oid, log.records.Size()}) ||
                                 !log.records.PushBack(call))) {
            error = "out of memory for the call log";
        }
    }
    if (error == nullptr && rc != SQLITE_DONE) {
        const std::string reason = StoreErrorText(db, "cannot read the call log");
        sqlite3_finalize(stmt);
        return Fail(reason);
    }
    sqlite3_finalize(stmt);
    if (error != nullptr) {
        return Fail(error);
    }
    // Latest first; of two calls with the same start, the one added later first. A dialler appends
    // its calls as they happen, so the rows usually come oldest first: then the order is reversed.
    const auto latestFirst = [](const SortKey& a, const SortKey& b) {
        return a.start != b.start ? a.start > b.start : a.oid > b.oid;
    };
    if (std::is_sorted(std::make_reverse_iterator(log.order.end()), std::make_reverse_iterator(log.order.begin()),
                       latestFirst)) {
        std::reverse(log.order.begin(), log.order.end());
    } else if (!std::is_sorted(log.order.begin(), log.order.end(), latestFirst)) {
        std::sort(log.order.begin(), log.order.end(), latestFirst);
    }
    return 0;
}

} // namespace

int PhoneOpenCallLog(CallLogHandle* handle) {
    if (handle == nullptr) {
        return FailOpen("no place for the call log handle");
    }
    KeptRead& kept = TheKeptRead();
    std::lock_guard<std::mutex> guard(kept.lock);
    // A new read replaces the last one's connection, whatever becomes of it.
    kept.Forget();
    const std::string path = StorePath();
    const FileIdentity before = IdentityOf(path);
    std::string error;
    sqlite3* db = OpenStoreVolume(&error);
    if (db == nullptr) {
        return FailOpen(error);
    }
    const int64_t callLog = FindStoreDatabase(db, "clog.db", &error);
    if (callLog == 0) {
        CloseStoreVolume(db);
        return FailOpen(error);
    }
    PhoneCallLog* log = nullptr;
    try {
        log = new PhoneCallLog;
    } catch (const std::bad_alloc&) {
        CloseStoreVolume(db);
        return FailOpen("out of memory for the call log");
    }
    // One transaction counts and reads the whole log, so the calls come from one state of it
    // whatever another process writes meanwhile, and the data version is that state's.
    const bool inTransaction = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    const int read = ReadAll(db, callLog, *log);
    int64_t dataVersion = 0;
    const bool versioned = read == 0 && inTransaction && ReadDataVersion(db, &dataVersion);
    if (inTransaction) {
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    if (read != 0) {
        CloseStoreVolume(db);
        delete log;
        return FailOpen(lastError);
    }
    // The connection is kept for the next open to ask whether the store has changed since, when
    // this read can be pinned to one file: the path named the same file before the open and after
    // the read. A store opened read-only (immutable) reports no changes, so it is never kept.
    const FileIdentity after = IdentityOf(path);
    if (!kept.watched && versioned && before.valid && before == after && sqlite3_db_readonly(db, "main") == 0) {
        kept.watched = true;
        // Asking must never wait for a writer: a busy store simply counts as changed.
        sqlite3_busy_timeout(db, 0);
        kept.db = db;
        kept.path = path;
        kept.identity = after;
        kept.dataVersion = dataVersion;
        kept.log = log;
    } else {
        CloseStoreVolume(db);
    }
    *handle = log;
    ++openLogs;
    return 0;
}

int PhoneCallLogUnchanged() {
    KeptRead& kept = TheKeptRead();
    std::lock_guard<std::mutex> guard(kept.lock);
    if (kept.db == nullptr || kept.log != nullptr || !kept.deliveredInFull) {
        return 0;
    }
    const std::string path = StorePath();
    int64_t dataVersion = 0;
    const bool sameVersion =
        path == kept.path && ReadDataVersion(kept.db, &dataVersion) && dataVersion == kept.dataVersion;
    // Asked after the version: a file put in the store's place meanwhile is not the one read.
    const FileIdentity now = IdentityOf(path);
    // One answer per read: the connection goes now.
    kept.Forget();
    return sameVersion && now.valid && now == kept.identity ? 1 : 0;
}

void PhoneRestartCallLogWatch() {
    KeptRead& kept = TheKeptRead();
    std::lock_guard<std::mutex> guard(kept.lock);
    kept.Forget();
    kept.watched = false;
}

int PhoneGetNextCallLogRecord(CallLogHandle handle, CallLogRecord* record) {
    if (handle == nullptr || record == nullptr || record->recordSize != sizeof(CallLogRecord)) {
        qCDebug(phoneLog, "no record delivered: %s",
                handle == nullptr ? "no call log" : "no record, or one of the wrong size");
        return Fail("bad call log handle or record");
    }
    if (handle->next >= handle->records.Size()) {
        return Fail("end of the call log");
    }
    const size_t index = handle->order[handle->next].index;
    const PendingCall& call = handle->records[index];
    CallLogRecord delivered{};
    delivered.recordSize = sizeof(CallLogRecord);
    delivered.startTime = MakeFileTime(call.startTime);
    delivered.endTime = MakeFileTime(call.endTime);
    delivered.callType = call.callType;
    delivered.flags = call.flags;
    delivered.callerIdType = call.callerIdType;
    LocalHandle* texts[4] = {&delivered.number, &delivered.name, &delivered.nameType, &delivered.note};
    for (int i = 0; i < 4; ++i) {
        if ((call.present & (1u << i)) == 0) {
            continue;
        }
        const size_t end = i < 3                                ? call.texts[i + 1]
                           : index + 1 < handle->records.Size() ? handle->records[index + 1].texts[0]
                                                                : handle->textPool.Size();
        *texts[i] = LocalAllocUtf8(handle->textPool.Data() + call.texts[i], end - call.texts[i]);
        if (*texts[i] == 0) {
            FreeTexts(delivered);
            qCDebug(phoneLog, "call %zu of the log not delivered: out of memory for its texts", handle->next);
            return Fail("out of memory for the call's texts");
        }
    }
    ++handle->next;
    *record = delivered;
    return 0;
}

int PhoneCountCallLogRecords(CallLogHandle handle) {
    if (handle == nullptr) {
        return -1;
    }
    return static_cast<int>(std::min<size_t>(handle->records.Size() - handle->next, INT32_MAX));
}

int PhoneCloseCallLog(CallLogHandle handle) {
    if (handle == nullptr) {
        return 0;
    }
    {
        KeptRead& kept = TheKeptRead();
        std::lock_guard<std::mutex> guard(kept.lock);
        if (kept.log == handle) {
            kept.deliveredInFull = handle->next == handle->records.Size();
            kept.log = nullptr;
        }
    }
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
