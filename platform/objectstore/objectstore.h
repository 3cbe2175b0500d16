#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The object-store database service of the phone: a volume (the store file) holds databases, each
// a set of records. Handles are 32-bit; 0 is none, except for enumerations, which give
// kInvalidStoreHandle on failure. Every failure is a result, never a crash; StoreLastError says
// what went wrong last. All integers in the records below are little-endian.

using StoreHandle = uint32_t;
using ObjectId = uint32_t;

constexpr StoreHandle kInvalidStoreHandle = 0xFFFFFFFFu;
constexpr uint16_t kObjectTypeDatabase = 3;
constexpr uint32_t kOpenAutoIncrement = 1;
constexpr uint32_t kSeekBeginning = 2;
constexpr uint32_t kSeekCurrent = 8;
constexpr uint32_t kSortDescending = 1;
constexpr uint16_t kPropertyTypeFileTime = 0x0040;
constexpr uint16_t kPropertyStartTime = 2;

// The volume: 16 bytes. The store file's volume is 0xFF followed by fifteen zero bytes.
struct VolumeId {
    uint8_t bytes[16];
};
static_assert(sizeof(VolumeId) == 16, "a volume identifier is 16 bytes");

// Object information, 2464 bytes:
//   0   uint16 record version (the caller sets 2)
//   2   uint16 object type (3: a database)
//   4   uint32 database type
//   8   uint32 number of records
//   12  database name, 32 UTF-16 characters with the terminator
//   76  reserved to the end
struct ObjectInfo {
    uint16_t version;
    uint16_t objectType;
    uint32_t databaseType;
    uint32_t recordCount;
    char16_t name[32];
    uint8_t reserved[2388];
};
static_assert(sizeof(ObjectInfo) == 2464, "object information is 2464 bytes");
static_assert(offsetof(ObjectInfo, name) == 12, "the database name starts at byte 12");

// Sort order, 136 bytes:
//   0   uint16 record version (2)
//   2   uint16 number of sort properties (1 to 16)
//   4   uint16 key flags
//   6   uint16 padding
//   8   sixteen uint32 property identifiers: property number in the high 16 bits, type in the low
//   72  sixteen uint32 flag words, one per property (1: descending)
struct SortOrderSpec {
    uint16_t version;
    uint16_t propertyCount;
    uint16_t keyFlags;
    uint16_t padding;
    uint32_t properties[16];
    uint32_t propertyFlags[16];
};
static_assert(sizeof(SortOrderSpec) == 136, "a sort order record is 136 bytes");
static_assert(offsetof(SortOrderSpec, propertyFlags) == 72, "the flag words start at byte 72");

// Starts an enumeration of the volume's databases of databaseType (0: all). The handle, or
// kInvalidStoreHandle.
StoreHandle StoreFindFirstDatabase(const VolumeId& volume, uint32_t databaseType);

// The next database's identifier, 0 when there are no more.
ObjectId StoreFindNextDatabase(StoreHandle enumeration, const VolumeId& volume);

// Fills info (whose version must be 2) for a database. 0, or -1.
int StoreGetObjectInfo(const VolumeId& volume, ObjectId object, ObjectInfo* info);

// A connection to the volume, 0 on failure.
StoreHandle StoreOpenConnection(const VolumeId& volume);

// Opens a database on a connection: by object when object is not 0, else by name. sortOrder null
// keeps the database's own order (oldest record first); the only sort supported is by the start
// time (property 2, a file time), ascending or descending, ties latest added first when
// descending. notify must be null. A database handle, 0 on failure.
StoreHandle StoreOpenDatabase(StoreHandle connection, const VolumeId& volume, ObjectId object, const char16_t* name,
                              const SortOrderSpec* sortOrder, uint32_t flags, const void* notify);

// Moves the current record: kSeekBeginning by count records from the first, kSeekCurrent by
// count from the current one (after a deletion, the current one is the record that followed).
// valueCount must be 0; index, when given, receives the record's position. The identifier of the
// record reached, 0 when there is none.
ObjectId StoreSeek(StoreHandle database, uint32_t seekType, int32_t count, uint32_t valueCount, uint32_t* index);

// Deletes a record of the database. 0, or -1.
int StoreDeleteRecord(StoreHandle database, ObjectId record);

// Reads a record's start time (property 2). 0, or -1 when there is no such record.
int StoreReadStartTime(StoreHandle database, ObjectId record, uint64_t* startTime);

// A record's fields as the store keeps them: file times, the call's kinds, and its four texts
// (absent when the store holds none).
struct StoreRecordFields {
    uint64_t startTime = 0;
    uint64_t endTime = 0;
    int32_t callType = 0;
    uint32_t flags = 0;
    int32_t callerIdType = 0;
    std::optional<std::u16string> number;
    std::optional<std::u16string> name;
    std::optional<std::u16string> nameType;
    std::optional<std::u16string> note;
};

// Reads every field of a record. 0, or -1 when there is no such record.
int StoreReadRecord(StoreHandle database, ObjectId record, StoreRecordFields* fields);

// Starts a transaction on a connection, taking the store's write lock at once: the busy timeout is
// waited here, not at every deletion inside. 0, or -1 (StoreLastErrorCode says why).
int StoreBeginTransaction(StoreHandle connection);

// Makes the transaction's changes lasting. 0, or -1; on failure every change of the transaction is
// undone, so the store is as it was before StoreBeginTransaction.
int StoreCommitTransaction(StoreHandle connection);

// Undoes every change since StoreBeginTransaction. Nothing happens when no transaction is open.
void StoreRollbackTransaction(StoreHandle connection);

// Whether the last deletion from the store at StorePath() can be undone. A deletion is one
// StoreDeleteRecord outside a transaction, or every deletion of one committed transaction; the
// rows it took are kept in memory until the next deletion, a successful undo or the process's end.
bool StoreCanUndoDeletion();

// Puts every row the last deletion took back into the table it came from, exactly as it was
// (every column, each value's type, the same ids), in one write transaction. It never overwrites:
// when a row's id has been taken since, nothing is written (StoreError::Taken). position, when
// given, receives the position of the newest restored record, latest first, in its database.
// 0, or -1 (StoreLastErrorCode says why; NoSuchRecord: nothing to undo); on failure the deleted
// rows stay kept for another try.
int StoreUndoDeletion(uint32_t* position);

// Closes an enumeration, database or connection handle; unknown handles are ignored. A connection
// closed inside a transaction undoes it.
void StoreCloseHandle(StoreHandle handle);

// Why the last failed operation of this service (on this thread) failed, as a code for the caller
// to act on; StoreLastError gives the words for a log.
enum class StoreError {
    None,
    Busy,         // another program holds the store locked past the busy timeout
    ReadOnly,     // the store file or its folder cannot be written
    Full,         // the disk is full
    NoSuchRecord, // the record or database is not there (any more)
    Taken,        // a deleted record's id has been given to another record since
    Other,        // anything else: a damaged file, a bad handle, out of memory
};
StoreError StoreLastErrorCode();

// What the last failed operation of this service (on this thread) found wrong.
std::string StoreLastError();

// Number of handles open, for tests that prove nothing stays open.
size_t StoreOpenHandleCount();
