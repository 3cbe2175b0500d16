#include "calllog/calllogstore.h"

#include "citydb/numberformat.h"
#include "platform/text/localheap.h"
#include "platform/text/textops.h"

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

// The record is the call when every field the phone gave the entry agrees: two calls may share
// a start time, but not also their end, kinds, number and texts.
bool IsTheCall(StoreHandle database, ObjectId record, const NVXCallEntry& call) {
    StoreRecordFields fields;
    if (StoreReadRecord(database, record, &fields) != 0) {
        return false;
    }
    return fields.startTime == FileTimeValue(call.startTime) && fields.endTime == FileTimeValue(call.endTime) &&
           fields.callType == call.callType && fields.flags == call.flags && fields.callerIdType == call.callerIdType &&
           SameNumber(fields.number, call) && SameText(fields.name, call.name) &&
           SameText(fields.nameType, call.nameType) && SameText(fields.note, call.note);
}

// The record to delete: the one at position when it is the call, else the only record that is.
// 0 when none is, and when several are and the position does not say which.
ObjectId FindRecord(StoreHandle database, int position, const NVXCallEntry& call) {
    ObjectId record = StoreSeek(database, kSeekBeginning, position, 0, nullptr);
    if (record != 0 && IsTheCall(database, record, call)) {
        return record;
    }
    // Records come latest first, so the search can stop at the first record older than the call.
    const auto wanted = static_cast<int64_t>(FileTimeValue(call.startTime));
    ObjectId found = 0;
    for (record = StoreSeek(database, kSeekBeginning, 0, 0, nullptr); record != 0;
         record = StoreSeek(database, kSeekCurrent, 1, 0, nullptr)) {
        uint64_t value = 0;
        if (StoreReadStartTime(database, record, &value) != 0) {
            return 0;
        }
        if (static_cast<int64_t>(value) < wanted) {
            break;
        }
        if (static_cast<int64_t>(value) == wanted && IsTheCall(database, record, call)) {
            if (found != 0) {
                return 0;
            }
            found = record;
        }
    }
    return found;
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

int CallLogStore::DeleteRecordAt(int position, const NVXCallEntry& call) {
    const VolumeId volume = StoreVolume();
    const SortOrderSpec sort = LatestFirst();
    const StoreHandle enumeration = StoreFindFirstDatabase(volume, 0);
    if (enumeration == kInvalidStoreHandle) {
        return -1;
    }
    bool deleted = false;
    for (ObjectId object = StoreFindNextDatabase(enumeration, volume); object != 0;
         object = StoreFindNextDatabase(enumeration, volume)) {
        if (!IsCallLog(volume, object)) {
            continue;
        }
        const StoreHandle connection = StoreOpenConnection(volume);
        if (connection == 0) {
            continue;
        }
        const StoreHandle database =
            StoreOpenDatabase(connection, volume, object, u"clog.db", &sort, kOpenAutoIncrement, nullptr);
        if (database != 0) {
            const ObjectId record = FindRecord(database, position, call);
            if (record != 0 && StoreDeleteRecord(database, record) == 0) {
                deleted = true;
            }
            StoreCloseHandle(database);
        }
        StoreCloseHandle(connection);
    }
    StoreCloseHandle(enumeration);
    return deleted ? 0 : -1;
}

int CallLogStore::DeleteAllRecords() {
    StoreHandle connection = 0;
    const StoreHandle database = OpenStore(&connection);
    if (database == 0) {
        return -1;
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
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
    return result;
}
