#include "platform/objectstore/objectstore.h"

#include "platform/objectstore/diallerhistory.h"
#include "platform/objectstore/storelocation.h"
#include "platform/objectstore/storelog.h"
#include "platform/objectstore/storevolume.h"
#include "platform/objectstore/undoset.h"
#include "platform/text/textops.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// A connection to the store file with the statements it has prepared. A deletion, a seek and a
// record read run once per record of a Delete All, so each statement is prepared once per
// connection and kept, not prepared again at every step.
struct Connection {
    sqlite3* db = nullptr;
    // The store file it was opened on, and which kind of call table that file holds.
    std::string path;
    DiallerHistory history = DiallerHistory::None;
    std::map<std::string, sqlite3_stmt*> statements;
    bool inTransaction = false;
    // Copies of the rows deleted in the open transaction; they become the last deletion when it
    // is committed.
    UndoSet deleting;
    // Counts the times changes were undone: a rollback moves neither of SQLite's change counts.
    int64_t undone = 0;
    ~Connection() {
        for (auto& [sql, stmt] : statements) {
            sqlite3_finalize(stmt);
        }
        CloseStoreVolume(db);
    }
};

// A kept statement, reset and with its parameters cleared when the user is done with it: a
// statement left mid-way would hold the store's read lock.
class Statement {
public:
    Statement(Connection& connection, const std::string& sql) {
        auto it = connection.statements.find(sql);
        if (it != connection.statements.end()) {
            stmt = it->second;
            return;
        }
        if (sqlite3_prepare_v3(connection.db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
            SQLITE_OK) {
            sqlite3_finalize(stmt);
            stmt = nullptr;
            return;
        }
        connection.statements.emplace(sql, stmt);
    }
    ~Statement() {
        if (stmt != nullptr) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* stmt = nullptr;
};

enum class Order { Own, StartAscending, StartDescending };

// What the store looked like when a position was counted: another connection's commits move
// SQLite's data version, this connection's own changes its total of changes. -1: not known.
struct StoreStamp {
    int64_t dataVersion = -1;
    int64_t totalChanges = -1;
    int64_t undone = -1;
    bool operator==(const StoreStamp&) const = default;
};

// The position of a database handle: the record it stands on, by its sort key. After that record
// is deleted the key stays and "current" means the record that followed it.
struct Cursor {
    bool valid = false;
    bool deleted = false;
    int64_t startTime = 0;
    int64_t oid = 0;
    // The record's position, carried from seek to seek so that asking for it costs no count of
    // the records before it; -1 when not known. It holds only while the store is as stamped:
    // a record added or deleted elsewhere before this one moves it.
    int64_t position = -1;
    StoreStamp stamp;
};

struct Handle {
    enum class Kind { Enumeration, Connection, Database } kind;
    std::vector<ObjectId> databases; // enumeration
    size_t next = 0;                 // enumeration
    std::shared_ptr<Connection> connection;
    int64_t databaseId = 0;
    Order order = Order::Own;
    Cursor cursor;
};

// The rows the last committed deletion took, until the next one replaces them or they are put back.
std::mutex undoLock;
UndoSet lastDeletion;

std::mutex tableLock;
std::map<StoreHandle, std::shared_ptr<Handle>> handles;
StoreHandle lastHandle = 0;

StoreHandle AddHandle(std::shared_ptr<Handle> handle) {
    std::lock_guard<std::mutex> guard(tableLock);
    StoreHandle id = lastHandle;
    do {
        ++id;
    } while (id == 0 || id == kInvalidStoreHandle || handles.count(id) != 0);
    lastHandle = id;
    handles.emplace(id, std::move(handle));
    return id;
}

std::shared_ptr<Handle> FindHandle(StoreHandle id, Handle::Kind kind) {
    std::lock_guard<std::mutex> guard(tableLock);
    auto it = handles.find(id);
    if (it == handles.end() || it->second->kind != kind) {
        return nullptr;
    }
    return it->second;
}

bool IsStoreVolume(const VolumeId& volume) {
    if (volume.bytes[0] != 0xFF) {
        return false;
    }
    for (size_t i = 1; i < sizeof(volume.bytes); ++i) {
        if (volume.bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

bool Fail(const std::string& error, StoreError code = StoreError::Other) {
    SetStoreLastError(error, code);
    return false;
}

// A failure of SQLite on db, with its reason.
bool FailSql(sqlite3* db, const char* doing) {
    return Fail(StoreErrorText(db, doing), StoreErrorCode(db));
}

// What was refused about one record, said with the reason the last failure recorded. -1.
int RefuseRecord(const char* refused, ObjectId record) {
    qCDebug(storeLog, "record %u %s: %s", static_cast<unsigned>(record), refused, StoreLastError().c_str());
    return -1;
}

// A short-lived connection for the calls that take only a volume.
std::shared_ptr<Connection> OpenVolume(const VolumeId& volume) {
    if (!IsStoreVolume(volume)) {
        Fail("unknown volume");
        return nullptr;
    }
    std::string error;
    StoreError code = StoreError::None;
    auto connection = std::make_shared<Connection>();
    connection->path = StorePath();
    connection->db = OpenStoreVolume(&error, &connection->history, &code);
    if (connection->db == nullptr) {
        qCDebug(storeLog, "store not opened: %s", error.c_str());
        Fail(error, code);
        return nullptr;
    }
    return connection;
}

const char* OrderBy(Order order, bool reversed) {
    switch (order) {
    case Order::StartDescending:
        return reversed ? "start_time ASC, oid ASC" : kNewestFirstOrder;
    case Order::StartAscending:
        return reversed ? "start_time DESC, oid DESC" : "start_time ASC, oid ASC";
    case Order::Own:
        break;
    }
    return reversed ? "oid DESC" : "oid ASC";
}

// The records of the handle's database. In the database's own order the seek walks the records'
// ids: "+db" keeps the planner off the time index, which would sort every record at every step.
const char* OfDatabase(Order order) {
    return order == Order::Own ? "+db = ?1" : "db = ?1";
}

// Records strictly after (or, reversed, strictly before) the key ?2/?3 in the handle's order.
const char* Beyond(Order order, bool reversed) {
    const bool later = (order == Order::StartDescending) == reversed;
    if (order == Order::Own) {
        return reversed ? "oid < ?3" : "oid > ?3";
    }
    return later ? "(start_time > ?2 OR (start_time = ?2 AND oid > ?3))"
                 : "(start_time < ?2 OR (start_time = ?2 AND oid < ?3))";
}

// Runs a query giving (oid, start_time) of one record with ?1 the database, ?2/?3 the cursor key
// and ?4 the offset. Moves the cursor there when a record is found.
ObjectId StepTo(Handle& h, const std::string& sql, int64_t offset, int64_t position, const StoreStamp& stamp) {
    sqlite3* db = h.connection->db;
    Statement statement(*h.connection, sql);
    sqlite3_stmt* stmt = statement.stmt;
    if (stmt == nullptr) {
        FailSql(db, "cannot seek");
        return 0;
    }
    sqlite3_bind_int64(stmt, 1, h.databaseId);
    sqlite3_bind_int64(stmt, 2, h.cursor.startTime);
    sqlite3_bind_int64(stmt, 3, h.cursor.oid);
    sqlite3_bind_int64(stmt, 4, offset);
    ObjectId found = 0;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        const int64_t oid = sqlite3_column_int64(stmt, 0);
        if (oid > 0 && oid <= static_cast<int64_t>(UINT32_MAX)) {
            found = static_cast<ObjectId>(oid);
            h.cursor = Cursor{true, false, sqlite3_column_int64(stmt, 1), oid, position, stamp};
        } else {
            qCDebug(storeLog, "record %lld skipped: its identifier is out of range", static_cast<long long>(oid));
            Fail("record identifier out of range");
        }
    } else if (rc != SQLITE_DONE) {
        FailSql(db, "cannot seek");
    } else {
        Fail("no record there", StoreError::NoSuchRecord);
    }
    return found;
}

// The store's stamp as this connection sees it now; inside a transaction, as at its start.
StoreStamp StampOf(Connection& connection) {
    StoreStamp stamp;
    Statement statement(connection, "PRAGMA data_version");
    if (statement.stmt != nullptr && sqlite3_step(statement.stmt) == SQLITE_ROW) {
        stamp.dataVersion = sqlite3_column_int64(statement.stmt, 0);
        stamp.totalChanges = sqlite3_total_changes64(connection.db);
        stamp.undone = connection.undone;
    }
    return stamp;
}

// One read of the store for the statements of a seek, unless a transaction is open already: the
// stamp, the record found and its count then all see the same records.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db) {
        if (sqlite3_get_autocommit(db) != 0 && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK) {
            open = db;
        }
    }
    ~ReadTransaction() {
        if (open != nullptr) {
            sqlite3_exec(open, "COMMIT", nullptr, nullptr, nullptr);
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    sqlite3* open = nullptr;
};

uint32_t PositionOf(Handle& h) {
    const std::string sql =
        std::string("SELECT count(*) FROM records WHERE ") + OfDatabase(h.order) + " AND " + Beyond(h.order, true);
    Statement statement(*h.connection, sql);
    sqlite3_stmt* stmt = statement.stmt;
    uint32_t position = 0;
    if (stmt != nullptr) {
        sqlite3_bind_int64(stmt, 1, h.databaseId);
        sqlite3_bind_int64(stmt, 2, h.cursor.startTime);
        sqlite3_bind_int64(stmt, 3, h.cursor.oid);
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            position = static_cast<uint32_t>(sqlite3_column_int64(stmt, 0));
        }
    }
    return position;
}

bool RecordExists(Handle& h, int64_t oid) {
    Statement statement(*h.connection, "SELECT 1 FROM records WHERE oid = ?1 AND db = ?2");
    sqlite3_stmt* stmt = statement.stmt;
    bool exists = false;
    if (stmt != nullptr) {
        sqlite3_bind_int64(stmt, 1, oid);
        sqlite3_bind_int64(stmt, 2, h.databaseId);
        exists = sqlite3_step(stmt) == SQLITE_ROW;
    }
    return exists;
}

// Reads one record of a database handle: sql takes ?1 the record and ?2 the database, and take
// gets the statement standing on the record's row. 0, or -1 with the failure recorded when the
// handle, the place for the answer or the record is not there.
template <typename Take>
int ReadRecordRow(StoreHandle database, const void* answer, ObjectId record, const char* sql, Take take) {
    auto h = FindHandle(database, Handle::Kind::Database);
    if (!h || answer == nullptr) {
        Fail("no such database handle");
        return -1;
    }
    sqlite3* db = h->connection->db;
    Statement statement(*h->connection, sql);
    if (statement.stmt == nullptr) {
        FailSql(db, "cannot read the record");
        return RefuseRecord("not read", record);
    }
    sqlite3_bind_int64(statement.stmt, 1, record);
    sqlite3_bind_int64(statement.stmt, 2, h->databaseId);
    const int rc = sqlite3_step(statement.stmt);
    if (rc != SQLITE_ROW) {
        if (rc == SQLITE_DONE) {
            Fail("no such record", StoreError::NoSuchRecord);
        } else {
            FailSql(db, "cannot read the record");
        }
        return RefuseRecord("not read", record);
    }
    take(statement.stmt);
    return 0;
}

bool ParseSortOrder(const SortOrderSpec* sortOrder, Order* order) {
    if (sortOrder == nullptr) {
        *order = Order::Own;
        return true;
    }
    const uint32_t startTime = (static_cast<uint32_t>(kPropertyStartTime) << 16) | kPropertyTypeFileTime;
    if (sortOrder->version != 2 || sortOrder->propertyCount != 1 || sortOrder->properties[0] != startTime) {
        return Fail("unsupported sort order: only the start time (property 2, a file time) can be sorted on");
    }
    *order = (sortOrder->propertyFlags[0] & kSortDescending) != 0 ? Order::StartDescending : Order::StartAscending;
    return true;
}

// Takes the store's write lock and opens a transaction on the connection. IMMEDIATE: a store held
// by another program fails here, before anything has changed. false with the reason.
bool BeginOn(Connection& connection) {
    if (sqlite3_exec(connection.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return FailSql(connection.db, "cannot lock the store");
    }
    connection.inTransaction = true;
    connection.deleting.Clear();
    return true;
}

void RollbackOn(Connection& connection) {
    connection.inTransaction = false;
    connection.deleting.Clear();
    ++connection.undone;
    // SQLite may have rolled back already after a failed write (a full disk); then there is
    // nothing left to undo.
    if (sqlite3_get_autocommit(connection.db) == 0) {
        sqlite3_exec(connection.db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

// Commits the connection's transaction; its deletions, if it made any, become the last deletion.
// false with the reason, and then nothing of the transaction is left.
bool CommitOn(Connection& connection) {
    sqlite3* db = connection.db;
    connection.inTransaction = false;
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        // The reason is kept before the rollback clears it.
        const std::string error = StoreErrorText(db, "cannot save the changes");
        const StoreError code = StoreErrorCode(db);
        RollbackOn(connection);
        qCDebug(storeLog, "changes not saved: %s", error.c_str());
        return Fail(error, code);
    }
    // A transaction that deleted nothing is no deletion: the one before can still be undone.
    if (connection.deleting.RowCount() != 0) {
        std::lock_guard<std::mutex> guard(undoLock);
        lastDeletion = std::move(connection.deleting);
    }
    connection.deleting.Clear();
    return true;
}

// Copies the rows that deleting record will take into the connection's undo set, inside the
// transaction that deletes them; alone: that transaction is the deletion's own. false with the reason.
bool KeepForUndo(Connection& connection, ObjectId record, bool alone) {
    UndoSet& copies = connection.deleting;
    if (!copies.Started()) {
        if (copies.Start(connection.db, connection.path, connection.history) != 0) {
            return FailSql(connection.db, "cannot read the call table's columns");
        }
        // The caller's transaction is a Delete All, which copies the whole table: room for it at
        // once. A count that fails only costs the room.
        if (!alone) {
            copies.ReserveForTable(connection.db);
        }
    }
    Statement statement(connection, copies.CopySql());
    if (statement.stmt == nullptr) {
        return FailSql(connection.db, "cannot copy the record");
    }
    sqlite3_bind_int64(statement.stmt, 1, record);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement.stmt)) == SQLITE_ROW) {
        if (copies.Keep(statement.stmt) != 0) {
            return Fail("out of memory copying the record");
        }
    }
    if (rc != SQLITE_DONE) {
        return FailSql(connection.db, "cannot copy the record");
    }
    return true;
}

// The position, latest first in its database, of the newest of the records with the given ids.
// 0, or -1 with the reason.
int NewestPosition(sqlite3* db, const std::vector<int64_t>& records, uint32_t* position) {
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT db, start_time FROM records WHERE oid = ?1", -1, &read, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db,
                           "SELECT count(*) FROM records WHERE db = ?1 AND"
                           " (start_time > ?2 OR (start_time = ?2 AND oid > ?3))",
                           -1, &count, nullptr) != SQLITE_OK) {
        FailSql(db, "cannot find the restored records");
        sqlite3_finalize(read);
        sqlite3_finalize(count);
        return -1;
    }
    bool found = false;
    int64_t newestDb = 0;
    int64_t newestStart = 0;
    int64_t newestRecord = 0;
    for (const int64_t record : records) {
        sqlite3_bind_int64(read, 1, record);
        if (sqlite3_step(read) == SQLITE_ROW) {
            const int64_t start = sqlite3_column_int64(read, 1);
            if (!found || start > newestStart || (start == newestStart && record > newestRecord)) {
                found = true;
                newestDb = sqlite3_column_int64(read, 0);
                newestStart = start;
                newestRecord = record;
            }
        }
        sqlite3_reset(read);
    }
    int result = -1;
    if (found) {
        sqlite3_bind_int64(count, 1, newestDb);
        sqlite3_bind_int64(count, 2, newestStart);
        sqlite3_bind_int64(count, 3, newestRecord);
        if (sqlite3_step(count) == SQLITE_ROW) {
            *position = static_cast<uint32_t>(sqlite3_column_int64(count, 0));
            result = 0;
        } else {
            FailSql(db, "cannot find the restored records");
        }
    } else {
        Fail("the restored records are not in the call log");
    }
    sqlite3_finalize(read);
    sqlite3_finalize(count);
    return result;
}

// Puts lastDeletion back on db inside one write transaction. 0, or -1 with the reason; then
// nothing is written.
int RestoreOn(sqlite3* db, uint32_t* position) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        FailSql(db, "cannot lock the store");
        return -1;
    }
    std::vector<int64_t> records;
    int failure = SQLITE_OK;
    uint32_t newest = 0;
    bool done = false;
    if (lastDeletion.Restore(db, &records, &failure) != 0) {
        if (failure == SQLITE_CONSTRAINT) {
            Fail("a deleted record's place is taken", StoreError::Taken);
        } else {
            Fail(std::string("cannot put the records back: ") + sqlite3_errstr(failure), StoreErrorOfCode(failure));
        }
    } else if (NewestPosition(db, records, &newest) == 0) {
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
            done = true;
        } else {
            FailSql(db, "cannot save the restored records");
        }
    }
    if (!done) {
        if (sqlite3_get_autocommit(db) == 0) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        return -1;
    }
    if (position != nullptr) {
        *position = newest;
    }
    return 0;
}

} // namespace

StoreHandle StoreFindFirstDatabase(const VolumeId& volume, uint32_t databaseType) {
    auto connection = OpenVolume(volume);
    if (!connection) {
        return kInvalidStoreHandle;
    }
    auto handle = std::make_shared<Handle>();
    handle->kind = Handle::Kind::Enumeration;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(connection->db, "SELECT oid FROM databases WHERE ?1 = 0 OR type = ?1 ORDER BY oid", -1,
                           &stmt, nullptr) != SQLITE_OK) {
        FailSql(connection->db, "cannot list the databases");
        return kInvalidStoreHandle;
    }
    sqlite3_bind_int64(stmt, 1, databaseType);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const int64_t oid = sqlite3_column_int64(stmt, 0);
        if (oid > 0 && oid <= static_cast<int64_t>(UINT32_MAX)) {
            handle->databases.push_back(static_cast<ObjectId>(oid));
        }
    }
    if (rc != SQLITE_DONE) {
        FailSql(connection->db, "cannot list the databases");
        sqlite3_finalize(stmt);
        return kInvalidStoreHandle;
    }
    sqlite3_finalize(stmt);
    return AddHandle(std::move(handle));
}

ObjectId StoreFindNextDatabase(StoreHandle enumeration, const VolumeId& volume) {
    auto h = FindHandle(enumeration, Handle::Kind::Enumeration);
    if (!h || !IsStoreVolume(volume) || h->next >= h->databases.size()) {
        return 0;
    }
    return h->databases[h->next++];
}

int StoreGetObjectInfo(const VolumeId& volume, ObjectId object, ObjectInfo* info) {
    if (info == nullptr || info->version != 2) {
        Fail("object information needs version 2");
        return -1;
    }
    auto connection = OpenVolume(volume);
    if (!connection) {
        return -1;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(
            connection->db,
            "SELECT name, type, (SELECT count(*) FROM records WHERE db = ?1) FROM databases WHERE oid = ?1", -1, &stmt,
            nullptr) != SQLITE_OK) {
        FailSql(connection->db, "cannot read object information");
        return -1;
    }
    sqlite3_bind_int64(stmt, 1, object);
    const int rc = sqlite3_step(stmt);
    int result = -1;
    if (rc == SQLITE_ROW) {
        info->objectType = kObjectTypeDatabase;
        info->databaseType = static_cast<uint32_t>(sqlite3_column_int64(stmt, 1));
        info->recordCount = static_cast<uint32_t>(sqlite3_column_int64(stmt, 2));
        const auto* name = static_cast<const char16_t*>(sqlite3_column_text16(stmt, 0));
        const size_t length = static_cast<size_t>(sqlite3_column_bytes16(stmt, 0)) / sizeof(char16_t);
        TextCopyN(info->name, sizeof(info->name) / sizeof(info->name[0]), name, length);
        result = 0;
    } else {
        if (rc == SQLITE_DONE) {
            Fail("no such object", StoreError::NoSuchRecord);
        } else {
            FailSql(connection->db, "cannot read object information");
        }
    }
    sqlite3_finalize(stmt);
    return result;
}

StoreHandle StoreOpenConnection(const VolumeId& volume) {
    auto connection = OpenVolume(volume);
    if (!connection) {
        return 0;
    }
    auto handle = std::make_shared<Handle>();
    handle->kind = Handle::Kind::Connection;
    handle->connection = std::move(connection);
    return AddHandle(std::move(handle));
}

StoreHandle StoreOpenDatabase(StoreHandle connection, const VolumeId& volume, ObjectId object, const char16_t* name,
                              const SortOrderSpec* sortOrder, uint32_t, const void* notify) {
    auto c = FindHandle(connection, Handle::Kind::Connection);
    if (!c || !IsStoreVolume(volume) || notify != nullptr) {
        Fail("no such connection");
        return 0;
    }
    auto handle = std::make_shared<Handle>();
    handle->kind = Handle::Kind::Database;
    handle->connection = c->connection;
    if (!ParseSortOrder(sortOrder, &handle->order)) {
        return 0;
    }
    sqlite3* db = c->connection->db;
    sqlite3_stmt* stmt = nullptr;
    const char* sql = object != 0 ? "SELECT oid FROM databases WHERE oid = ?1"
                                  : "SELECT oid FROM databases WHERE name = ?2 ORDER BY oid LIMIT 1";
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        FailSql(db, "cannot open the database");
        return 0;
    }
    sqlite3_bind_int64(stmt, 1, object);
    sqlite3_bind_text16(stmt, 2, name != nullptr ? name : u"", -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        handle->databaseId = sqlite3_column_int64(stmt, 0);
    } else {
        if (rc == SQLITE_DONE) {
            Fail("no such database", StoreError::NoSuchRecord);
        } else {
            FailSql(db, "cannot open the database");
        }
    }
    sqlite3_finalize(stmt);
    return handle->databaseId != 0 ? AddHandle(std::move(handle)) : 0;
}

ObjectId StoreSeek(StoreHandle database, uint32_t seekType, int32_t count, uint32_t valueCount, uint32_t* index) {
    auto h = FindHandle(database, Handle::Kind::Database);
    if (!h || valueCount != 0) {
        Fail("no such database handle");
        return 0;
    }
    const std::string select = std::string("SELECT oid, start_time FROM records WHERE ") + OfDatabase(h->order);
    // A seek that gives no position carries the cursor's stamp on: a position carried from it is
    // checked against the store at the seek that asks for one.
    std::optional<ReadTransaction> read;
    StoreStamp stamp = h->cursor.stamp;
    if (index != nullptr) {
        read.emplace(h->connection->db);
        stamp = StampOf(*h->connection);
    }
    ObjectId found = 0;
    if (seekType == kSeekBeginning) {
        if (count < 0) {
            Fail("no record there", StoreError::NoSuchRecord);
            return 0;
        }
        found = StepTo(*h, select + " ORDER BY " + OrderBy(h->order, false) + " LIMIT 1 OFFSET ?4", count,
                       index != nullptr ? count : -1, stamp);
    } else if (seekType == kSeekCurrent) {
        if (!h->cursor.valid) {
            Fail("no current record", StoreError::NoSuchRecord);
            return 0;
        }
        const int64_t oid = h->cursor.oid;
        // Count records from the current one: after a deletion the record that followed stands
        // at the deleted one's position, so either way the record reached is count further on.
        const bool known = h->cursor.position >= 0 && stamp.dataVersion >= 0 && h->cursor.stamp == stamp;
        const int64_t position = known ? h->cursor.position + count : -1;
        if (count == 0 && !h->cursor.deleted && RecordExists(*h, oid)) {
            found = static_cast<ObjectId>(oid);
            h->cursor.position = position;
            h->cursor.stamp = stamp;
        } else if (count >= 0) {
            // The record that followed a deleted one is current, so it is 0 records away.
            const int64_t offset = h->cursor.deleted ? count : int64_t{count} - 1;
            if (offset < 0) {
                Fail("no record there", StoreError::NoSuchRecord);
            }
            found = offset < 0 ? 0
                               : StepTo(*h,
                                        select + " AND " + Beyond(h->order, false) + " ORDER BY " +
                                            OrderBy(h->order, false) + " LIMIT 1 OFFSET ?4",
                                        offset, position, stamp);
        } else {
            found = StepTo(*h,
                           select + " AND " + Beyond(h->order, true) + " ORDER BY " + OrderBy(h->order, true) +
                               " LIMIT 1 OFFSET ?4",
                           -int64_t{count} - 1, position, stamp);
        }
    } else {
        Fail("unsupported seek type");
        return 0;
    }
    if (found != 0 && index != nullptr) {
        if (h->cursor.position < 0) {
            h->cursor.position = PositionOf(*h);
        }
        *index = static_cast<uint32_t>(h->cursor.position);
    }
    return found;
}

int StoreDeleteRecord(StoreHandle database, ObjectId record) {
    auto h = FindHandle(database, Handle::Kind::Database);
    if (!h || record == 0) {
        Fail("no such record", StoreError::NoSuchRecord);
        return RefuseRecord("not deleted", record);
    }
    Connection& connection = *h->connection;
    sqlite3* db = connection.db;
    // A deletion outside a transaction gets one of its own, so that the copy kept for undo is the
    // row that goes.
    const bool alone = !connection.inTransaction;
    if (alone && !BeginOn(connection)) {
        return RefuseRecord("not deleted", record);
    }
    const size_t kept = connection.deleting.RowCount();
    const auto refuse = [&]() {
        connection.deleting.KeepFirst(kept);
        if (alone) {
            RollbackOn(connection);
        }
        return RefuseRecord("not deleted", record);
    };
    if (!KeepForUndo(connection, record, alone)) {
        return refuse();
    }
    // When the handle stands on the record, it goes only if it still starts when it did at the
    // seek: in a dialler's history another call may have taken over the row's id since.
    const bool onCursor = h->cursor.valid && !h->cursor.deleted && h->cursor.oid == static_cast<int64_t>(record);
    const char* sql = onCursor ? "DELETE FROM records WHERE oid = ?1 AND db = ?2 AND start_time = ?3"
                               : "DELETE FROM records WHERE oid = ?1 AND db = ?2";
    // Counted over the whole statement: in a dialler's history the row goes in a trigger, which
    // sqlite3_changes() leaves out.
    const int64_t before = sqlite3_total_changes64(db);
    {
        Statement statement(connection, sql);
        sqlite3_stmt* stmt = statement.stmt;
        if (stmt == nullptr) {
            FailSql(db, "cannot delete the record");
            return refuse();
        }
        sqlite3_bind_int64(stmt, 1, record);
        sqlite3_bind_int64(stmt, 2, h->databaseId);
        if (onCursor) {
            sqlite3_bind_int64(stmt, 3, h->cursor.startTime);
        }
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            // SQLite may have undone the whole transaction (a full disk).
            ++connection.undone;
            FailSql(db, "cannot delete the record");
            return refuse();
        }
    }
    if (sqlite3_total_changes64(db) - before != 1) {
        // Gone already, or (on the cursor) another call has taken over its id since the seek.
        Fail("no such record", StoreError::NoSuchRecord);
        return refuse();
    }
    if (alone && !CommitOn(connection)) {
        return RefuseRecord("not deleted", record);
    }
    if (h->cursor.valid && h->cursor.oid == static_cast<int64_t>(record)) {
        h->cursor.deleted = true;
        // The follower takes the deleted record's position, so it stays known if nothing else
        // had changed since it was counted.
        if (h->cursor.stamp.totalChanges == before) {
            h->cursor.stamp.totalChanges = sqlite3_total_changes64(db);
        }
    }
    return 0;
}

int StoreReadStartTime(StoreHandle database, ObjectId record, uint64_t* startTime) {
    return ReadRecordRow(
        database, startTime, record, "SELECT start_time FROM records WHERE oid = ?1 AND db = ?2",
        [startTime](sqlite3_stmt* stmt) { *startTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 0)); });
}

int StoreReadRecord(StoreHandle database, ObjectId record, StoreRecordFields* fields) {
    return ReadRecordRow(database, fields, record,
                         "SELECT start_time, end_time, call_type, flags, caller_id_type, number, name, name_type, note"
                         " FROM records WHERE oid = ?1 AND db = ?2",
                         [fields](sqlite3_stmt* stmt) {
                             fields->startTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 0));
                             fields->endTime = static_cast<uint64_t>(sqlite3_column_int64(stmt, 1));
                             fields->callType = static_cast<int32_t>(sqlite3_column_int64(stmt, 2));
                             fields->flags = static_cast<uint32_t>(sqlite3_column_int64(stmt, 3));
                             fields->callerIdType = static_cast<int32_t>(sqlite3_column_int64(stmt, 4));
                             fields->number = StoreColumnText(stmt, 5);
                             fields->name = StoreColumnText(stmt, 6);
                             fields->nameType = StoreColumnText(stmt, 7);
                             fields->note = StoreColumnText(stmt, 8);
                         });
}

int StoreBeginTransaction(StoreHandle connection) {
    auto c = FindHandle(connection, Handle::Kind::Connection);
    if (!c || c->connection->inTransaction) {
        Fail(c ? "a transaction is already open" : "no such connection");
        return -1;
    }
    return BeginOn(*c->connection) ? 0 : -1;
}

int StoreCommitTransaction(StoreHandle connection) {
    auto c = FindHandle(connection, Handle::Kind::Connection);
    if (!c || !c->connection->inTransaction) {
        Fail(c ? "no transaction is open" : "no such connection");
        return -1;
    }
    return CommitOn(*c->connection) ? 0 : -1;
}

void StoreRollbackTransaction(StoreHandle connection) {
    auto c = FindHandle(connection, Handle::Kind::Connection);
    if (!c || !c->connection->inTransaction) {
        return;
    }
    RollbackOn(*c->connection);
}

bool StoreCanUndoDeletion() {
    const std::string path = StorePath();
    std::lock_guard<std::mutex> guard(undoLock);
    return lastDeletion.RowCount() != 0 && lastDeletion.Path() == path;
}

int StoreUndoDeletion(uint32_t* position) {
    const std::string path = StorePath();
    std::lock_guard<std::mutex> guard(undoLock);
    if (lastDeletion.RowCount() == 0 || lastDeletion.Path() != path) {
        Fail("nothing to undo", StoreError::NoSuchRecord);
        return -1;
    }
    std::string error;
    StoreError code = StoreError::None;
    DiallerHistory history = DiallerHistory::None;
    sqlite3* db = OpenStoreVolume(&error, &history, &code);
    if (db == nullptr) {
        Fail(error, code);
    } else if (history != lastDeletion.History()) {
        Fail("the store holds another kind of call log than the deleted records came from");
    } else if (RestoreOn(db, position) == 0) {
        CloseStoreVolume(db);
        lastDeletion.Clear();
        return 0;
    }
    qCDebug(storeLog, "deletion not undone: %s", StoreLastError().c_str());
    CloseStoreVolume(db);
    return -1;
}

void StoreCloseHandle(StoreHandle handle) {
    std::shared_ptr<Handle> closing;
    {
        std::lock_guard<std::mutex> guard(tableLock);
        auto it = handles.find(handle);
        if (it == handles.end()) {
            return;
        }
        closing = std::move(it->second);
        handles.erase(it);
    }
    // A database keeps its connection alive until both are closed.
}

size_t StoreOpenHandleCount() {
    std::lock_guard<std::mutex> guard(tableLock);
    return handles.size();
}
