#include "calllog/calllist.h"

#include "calllog/calllogstore.h"
#include "citydb/citydatabase.h"
#include "platform/phone/callername.h"
#include "platform/phone/placecall.h"
#include "platform/text/localheap.h"

#include <new>

namespace {

// Appends without throwing: false when the list cannot grow.
bool Append(std::vector<NVXCallEntry*>& entries, NVXCallEntry* entry) {
    try {
        entries.push_back(entry);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

LoadInputs ReadLoadInputs() {
    LoadInputs inputs;
    // The minute, the zone and the locale are taken once for the whole log: every call of one load
    // is judged against the same "now".
    inputs.time = ReadTimeFacts();
    inputs.cityDatabaseOpen = CityDatabase::IsLoaded();
    inputs.storeChanged = PhoneCallLogUnchanged() != 1;
    inputs.namesChanged = PhoneCallerNamesUnchanged() != 1;
    return inputs;
}

CallList::~CallList() {
    for (NVXCallEntry* entry : entries) {
        FreeRecordStrings(*entry);
    }
    entries.clear();
    count = 0;
    CityDatabase::Unload();
}

int CallList::OpenCityDatabase() {
    CityDatabase::Load();
    return 0;
}

int CallList::Load() {
    // Entries read in full under the inputs of now are what this load would derive again: they are
    // kept (the screen's second load at start-up; later loads find the store's question answered
    // already and read it).
    const LoadInputs inputs = ReadLoadInputs();
    if (readUnder == inputs) {
        return 0;
    }
    if (PhoneOpenCallLog(&logHandle) != 0) {
        logHandle = nullptr;
        return -1;
    }
    Clear();
    // The entries of the whole log in one block, where the arena has too little room for them: a
    // failure only means they come block by block.
    const int calls = PhoneCountCallLogRecords(logHandle);
    arena.Reserve(calls > 0 ? static_cast<size_t>(calls) : 0);
    PhoneBeginCallerNameLookups();
    for (;;) {
        // The record comes before its entry: the log's end takes none, so a log of the size reserved
        // fills the arena's block and adds no other.
        NVXCallEntry record;
        if (PhoneGetNextCallLogRecord(logHandle, &record) != 0) {
            // The end of the log, or its failure (which PhoneCallLogUnchanged knows about).
            readUnder = inputs.AsRead();
            break;
        }
        // Running out of memory ends the load as if the log had ended there. An entry that is not
        // kept goes back with the arena's next rewind.
        NVXCallEntry* entry = arena.Allocate();
        if (entry == nullptr) {
            FreeRecordStrings(record);
            break;
        }
        static_cast<CallLogRecord&>(*entry) = record;
        // Where the log holds no name the address book may know the caller: filled in before the
        // texts are derived, so that the row, the details and the screen reader all show it.
        entry->nameFromAddressBook = PhoneFindCallerName(entry) == 1;
        DeriveDisplayFields(*entry, inputs.time);
        if (!Append(entries, entry)) {
            FreeRecordStrings(*entry);
            break;
        }
    }
    count = static_cast<int>(entries.size());
    // A log that shrank leaves blocks no entry needs; a log that stays the same size keeps them all.
    arena.ReleaseUnused();
    PhoneCloseCallLog(logHandle);
    logHandle = nullptr;
    return 0;
}

int CallList::Clear() {
    readUnder.reset();
    for (NVXCallEntry* entry : entries) {
        FreeRecordStrings(*entry);
    }
    entries.clear();
    count = 0;
    arena.Rewind();
    return 0;
}

NVXCallEntry* CallList::EntryAt(int position) const {
    if (position < 0 || position >= count) {
        return nullptr;
    }
    return entries[static_cast<size_t>(position)];
}

int CallList::FindByStartTime(const NVXCallEntry* snapshot) const {
    if (snapshot == nullptr || count == 0) {
        return -1;
    }
    for (int position = 0; position < count; ++position) {
        const NVXCallEntry* entry = entries[static_cast<size_t>(position)];
        if (entry->startTime.lowDateTime == snapshot->startTime.lowDateTime &&
            entry->startTime.highDateTime == snapshot->startTime.highDateTime) {
            return position;
        }
    }
    return -1;
}

bool CallList::IsSameCall(const NVXCallEntry& entry, const NVXCallEntry& snapshot) {
    return entry.startTime.lowDateTime == snapshot.startTime.lowDateTime &&
           entry.startTime.highDateTime == snapshot.startTime.highDateTime &&
           entry.endTime.lowDateTime == snapshot.endTime.lowDateTime &&
           entry.endTime.highDateTime == snapshot.endTime.highDateTime && entry.callType == snapshot.callType &&
           entry.numberText.Equals(snapshot.numberText.Data()) && entry.nameText.Equals(snapshot.nameText.Data());
}

int CallList::FindCall(const NVXCallEntry* snapshot) const {
    if (snapshot == nullptr) {
        return -1;
    }
    for (int position = 0; position < count; ++position) {
        if (IsSameCall(*entries[static_cast<size_t>(position)], *snapshot)) {
            return position;
        }
    }
    return -1;
}

int CallList::LocateCall(int position, const NVXCallEntry* snapshot) const {
    if (snapshot == nullptr) {
        return -1;
    }
    const NVXCallEntry* entry = EntryAt(position);
    if (entry != nullptr && IsSameCall(*entry, *snapshot)) {
        return position;
    }
    return FindCall(snapshot);
}

int CallList::PlaceCall(int position) {
    NVXCallEntry* entry = EntryAt(position);
    if (entry == nullptr) {
        return -1;
    }
    // The request carries references to the texts; they live for the duration of the call.
    const LocalHandle destination = LocalAllocText(entry->dialNumber.Data());
    const LocalHandle calledParty = LocalAllocText(entry->nameText.Data());
    const MakeCallRequest request{sizeof(MakeCallRequest), 1, destination, 0, calledParty, 0};
    PhoneMakeCall(&request);
    LocalFree(calledParty);
    LocalFree(destination);
    return 0;
}

int CallList::DeleteAt(int position, DeleteFailure* failure) {
    NVXCallEntry* entry = EntryAt(position);
    if (entry == nullptr) {
        return 0;
    }
    // The entry goes only when its record went: a list that drops a call the phone still holds
    // would mislead the user until the next load.
    if (CallLogStore::DeleteRecordAt(position, *entry, failure) != 0) {
        return -1;
    }
    return RemoveAt(position);
}

int CallList::DeleteAll(DeleteFailure* failure) {
    if (CallLogStore::DeleteAllRecords(failure) < 0) {
        // The store is the truth (a dialler may have added a call meanwhile), so the list is read
        // again, and kept as it was when even that fails.
        Load();
        return -1;
    }
    return Clear();
}

int CallList::RemoveAt(int position) {
    NVXCallEntry* entry = EntryAt(position);
    if (entry == nullptr) {
        return 0;
    }
    // The entry's memory stays in the arena until the next load.
    readUnder.reset();
    FreeRecordStrings(*entry);
    entries.erase(entries.begin() + position);
    count = static_cast<int>(entries.size());
    return 0;
}
