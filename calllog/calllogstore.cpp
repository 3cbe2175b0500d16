#include "calllog/calllogstore.h"

#include "citydb/numberformat.h"
#include "platform/text/localheap.h"
#include "platform/text/textops.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace {

VolumeId StoreVolume() {
    VolumeId volume{};
    volume.bytes[0] = 0xFF;
    return volume;
}

// Start time (property 2, a file time), latest first.
SortOrderSpec LatestFirst() {
    SortOrderSpec sort{};
    sort.version = 2;
    sort.propertyCount = 1;
    sort.keyFlags = 0;
    sort.properties[0] = (static_cast<uint32_t>(kPropertyStartTime) << 16) | kPropertyTypeFileTime;
    sort.propertyFlags[0] = kSortDescending;
    return sort;
}

// The store's reason for its last failure, as the list view tells it.
DeleteFailure StoreFailure() {
    switch (StoreLastErrorCode()) {
    case StoreError::Busy:
        return DeleteFailure::Busy;
    case StoreError::ReadOnly:
        return DeleteFailure::ReadOnly;
    case StoreError::Full:
        return DeleteFailure::Full;
    case StoreError::NoSuchRecord:
        return DeleteFailure::Gone;
    case StoreError::Taken:
        return DeleteFailure::Taken;
    default:
        return DeleteFailure::Other;
    }
}

int Failed(DeleteFailure reason, DeleteFailure* failure) {
    if (failure != nullptr) {
        *failure = reason;
    }
    return -1;
}

bool IsCallLog(const VolumeId& volume, ObjectId object) {
    ObjectInfo info;
    std::memset(&info, 0, sizeof(info));
    info.version = 2;
    if (StoreGetObjectInfo(volume, object, &info) != 0) {
        return false;
    }
    return info.objectType == kObjectTypeDatabase && TextEquals(info.name, u"clog.db");
}

bool SameText(const std::optional<std::u16string>& stored, LocalHandle held) {
    const char16_t* text = LocalText(held);
    if (!stored.has_value() || text == nullptr) {
        return !stored.has_value() && text == nullptr;
    }
    return TextEquals(stored->c_str(), text);
}

// The entry's number was stripped in place when it was loaded, so the stored one is stripped the
// same way before they are compared.
bool SameNumber(const std::optional<std::u16string>& stored, const NVXCallEntry& call) {
    if (!stored.has_value()) {
        return LocalText(call.number) == nullptr;
    }
    std::u16string number = stored->c_str();
    FixedText<51> scratch;
    StripNumber(number.data(), scratch.Data(), scratch.capacity);
    return SameText(std::optional<std::u16string>(number.c_str()), call.number);
}

// A name the address book gave the call is not the record's: the record holds no name and no
// name type (absent, or empty texts).
bool SameCallerName(const StoreRecordFields& fields, const NVXCallEntry& call) {
    if (call.nameFromAddressBook) {
        return (!fields.name.has_value() || fields.name->empty()) &&
               (!fields.nameType.has_value() || fields.nameType->empty());
    }
    return SameText(fields.name, call.name) && SameText(fields.nameType, call.nameType);
}

// Whether the record is the call: every field the phone gave the entry agrees. Two calls may
// share a start time, but not also their end, kinds, number and texts. 1 when it is, 0 when it is
// not or has gone meanwhile, -1 when the store cannot read it.
int Matches(StoreHandle database, ObjectId record, const NVXCallEntry& call) {
    StoreRecordFields fields;
    if (StoreReadRecord(database, record, &fields) != 0) {
        return StoreLastErrorCode() == StoreError::NoSuchRecord ? 0 : -1;
    }
    return fields.startTime == FileTimeValue(call.startTime) && fields.endTime == FileTimeValue(call.endTime) &&
                   fields.callType == call.callType && fields.flags == call.flags &&
                   fields.callerIdType == call.callerIdType && SameNumber(fields.number, call) &&
                   SameCallerName(fields, call) && SameText(fields.note, call.note)
               ? 1
               : 0;
}

// The record to delete: the one at position when it is the call, else the only record that is.
// 0 with *record set; -1 with the reason: the call is gone, several records are the call and the
// position does not say which, or the store could not be read.
int FindRecord(StoreHandle database, int position, const NVXCallEntry& call, ObjectId* record, DeleteFailure* failure) {
    ObjectId at = StoreSeek(database, kSeekBeginning, position, 0, nullptr);
    if (at == 0 && StoreLastErrorCode() != StoreError::NoSuchRecord) {
        return Failed(StoreFailure(), failure);
    }
    const int matches = at != 0 ? Matches(database, at, call) : 0;
    if (matches != 0) {
        *record = at;
        return matches > 0 ? 0 : Failed(StoreFailure(), failure);
    }
    // Records come latest first, so the search can stop at the first record older than the call.
    const auto wanted = static_cast<int64_t>(FileTimeValue(call.startTime));
    ObjectId found = 0;
    for (at = StoreSeek(database, kSeekBeginning, 0, 0, nullptr); at != 0;
         at = StoreSeek(database, kSeekCurrent, 1, 0, nullptr)) {
        uint64_t value = 0;
        if (StoreReadStartTime(database, at, &value) != 0) {
            return Failed(StoreFailure(), failure);
        }
        if (static_cast<int64_t>(value) < wanted) {
            break;
        }
        if (static_cast<int64_t>(value) != wanted) {
            continue;
        }
        const int same = Matches(database, at, call);
        if (same < 0) {
            return Failed(StoreFailure(), failure);
        }
        if (same > 0) {
            if (found != 0) {
                return Failed(DeleteFailure::Ambiguous, failure);
            }
            found = at;
        }
    }
    if (at == 0 && StoreLastErrorCode() != StoreError::NoSuchRecord) {
        return Failed(StoreFailure(), failure);
    }
    if (found == 0) {
        return Failed(DeleteFailure::Gone, failure);
    }
    *record = found;
    return 0;
}

} // namespace

StoreHandle CallLogStore::OpenStore(StoreHandle* connection) {
    *connection = 0;
    const VolumeId volume = StoreVolume();
    const StoreHandle enumeration = StoreFindFirstDatabase(volume, 0);
    if (enumeration == kInvalidStoreHandle) {
        return 0;
    }
    StoreHandle database = 0;
    for (ObjectId object = StoreFindNextDatabase(enumeration, volume); object != 0;
         object = StoreFindNextDatabase(enumeration, volume)) {
        ObjectInfo info;
        std::memset(&info, 0, sizeof(info));
        info.version = 2;
        if (StoreGetObjectInfo(volume, object, &info) != 0) {
            break;
        }
        if (!TextEquals(info.name, u"clog.db")) {
            continue;
        }
        const StoreHandle opened = StoreOpenConnection(volume);
        if (opened == 0) {
            continue;
        }
        database = StoreOpenDatabase(opened, volume, object, nullptr, nullptr, kOpenAutoIncrement, nullptr);
        if (database == 0) {
            StoreCloseHandle(opened);
        } else {
            *connection = opened;
        }
        break;
    }
    StoreCloseHandle(enumeration);
    return database;
}

int CallLogStore::DeleteRecordAt(int position, const NVXCallEntry& call, DeleteFailure* failure) {
    const VolumeId volume = StoreVolume();
    const SortOrderSpec sort = LatestFirst();
    const StoreHandle enumeration = StoreFindFirstDatabase(volume, 0);
    if (enumeration == kInvalidStoreHandle) {
        return Failed(StoreFailure(), failure);
    }
    // Without a call log in the store the call is gone with it.
    DeleteFailure reason = DeleteFailure::Gone;
    bool deleted = false;
    for (ObjectId object = StoreFindNextDatabase(enumeration, volume); object != 0;
         object = StoreFindNextDatabase(enumeration, volume)) {
        if (!IsCallLog(volume, object)) {
            continue;
        }
        const StoreHandle connection = StoreOpenConnection(volume);
        const StoreHandle database = connection != 0 ? StoreOpenDatabase(connection, volume, object, u"clog.db", &sort,
                                                                         kOpenAutoIncrement, nullptr)
                                                     : 0;
        ObjectId record = 0;
        if (database == 0) {
            reason = StoreFailure();
        } else if (FindRecord(database, position, call, &record, &reason) == 0) {
            if (StoreDeleteRecord(database, record) == 0) {
                deleted = true;
            } else {
                reason = StoreFailure();
            }
        }
        StoreCloseHandle(database);
        StoreCloseHandle(connection);
        // A store that refused once refuses the next database too: one busy timeout is enough.
        if (!deleted && reason != DeleteFailure::Gone && reason != DeleteFailure::Ambiguous) {
            break;
        }
    }
    StoreCloseHandle(enumeration);
    if (deleted) {
        return 0;
    }
    return Failed(reason, failure);
}

int CallLogStore::DeleteAllRecords(DeleteFailure* failure) {
    StoreHandle connection = 0;
    const StoreHandle database = OpenStore(&connection);
    if (database == 0) {
        return Failed(StoreFailure(), failure);
    }
    // One transaction: a store that refuses part way keeps every call, never half of them.
    if (StoreBeginTransaction(connection) != 0) {
        const DeleteFailure reason = StoreFailure();
        StoreCloseHandle(database);
        StoreCloseHandle(connection);
        return Failed(reason, failure);
    }
    int result = 0;
    ObjectId record = StoreSeek(database, kSeekBeginning, 0, 0, nullptr);
    while (record != 0) {
        if (StoreDeleteRecord(database, record) != 0) {
            result = -1;
            break;
        }
        record = StoreSeek(database, kSeekCurrent, 0, 0, nullptr);
        result = 1;
    }
    // A seek that ended on a failure rather than at the end leaves records behind.
    if (record == 0 && result >= 0 && StoreLastErrorCode() != StoreError::NoSuchRecord) {
        result = -1;
    }
    DeleteFailure reason = DeleteFailure::None;
    if (result < 0) {
        reason = StoreFailure();
        StoreRollbackTransaction(connection);
    } else if (StoreCommitTransaction(connection) != 0) {
        reason = StoreFailure();
        result = -1;
    }
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
    return result < 0 ? Failed(reason, failure) : result;
}

bool CallLogStore::CanUndoDelete() {
    return StoreCanUndoDeletion();
}

int CallLogStore::UndoLastDelete(DeleteFailure* failure, int* position) {
    uint32_t restoredAt = 0;
    if (StoreUndoDeletion(&restoredAt) != 0) {
        return Failed(StoreFailure(), failure);
    }
    if (position != nullptr) {
        *position = restoredAt <= static_cast<uint32_t>(INT32_MAX) ? static_cast<int>(restoredAt) : INT32_MAX;
    }
    return 0;
}
