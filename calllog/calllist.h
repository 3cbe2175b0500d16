#pragma once

#include "calllog/deletefailure.h"
#include "calllog/entryarena.h"
#include "calllog/nvxcallentry.h"
#include "platform/phone/phonelibrary.h"

#include <optional>
#include <vector>

// What a load's rows depend on besides the calls it reads, compared as a whole: a load whose inputs
// equal those the entries were read under would derive the same rows again, so it keeps them. Any
// new input to a row (a setting, a table, another source of names) must join it; otherwise a change
// of that input leaves the rows as they were until the store changes.
struct LoadInputs {
    // The minute, zone and clock the time texts are derived under.
    TimeFacts time{};
    // The city database was open: the rows' places were looked up in it.
    bool cityDatabaseOpen = false;
    // The store has been written since the entries were read, or another file stands in its place.
    bool storeChanged = false;
    // A name lookup now would use another reading of the address books than the entries' lookups.
    bool namesChanged = false;

    bool operator==(const LoadInputs&) const = default;

    // The same inputs as the read they were taken for leaves them: nothing has changed since it.
    LoadInputs AsRead() const {
        LoadInputs read = *this;
        read.storeChanged = false;
        read.namesChanged = false;
        return read;
    }
};

// The inputs as they are now; the store and the names as against the last read of the log. The
// store answers that only once per read (PhoneCallLogUnchanged): a load reads its inputs once.
LoadInputs ReadLoadInputs();

// Every call of the phone's call log, in the order the phone delivers them (latest first), with
// the operations the list view needs by 0-based position. Owns its entries and, through them, the
// phone's texts (the entries themselves live in an arena that the next load reuses); opens the city database for the
// view and unloads it at tear-down.
class CallList {
public:
    CallList() = default;
    ~CallList();
    CallList(const CallList&) = delete;
    CallList& operator=(const CallList&) = delete;

    // Loads the city database; returns 0 whatever that reports.
    int OpenCityDatabase();

    // Replaces the entries by the phone's call log. 0, or -1 when the log cannot be opened (the
    // entries are then left as they were).
    int Load();

    // Releases and deletes every entry. Returns 0.
    int Clear();

    // The entry at position, or null outside 0 to count - 1.
    NVXCallEntry* EntryAt(int position) const;

    // The position nearest the head of an entry with the snapshot's start time, or -1.
    int FindByStartTime(const NVXCallEntry* snapshot) const;

    // Whether the entry is the call the snapshot (CopyEntry) was taken from: the same start and end
    // time, type, number and name.
    static bool IsSameCall(const NVXCallEntry& entry, const NVXCallEntry& snapshot);

    // The position nearest the head of the call the snapshot was taken from, or -1. Several calls
    // may share a start time; only the one that matches in every field is that call.
    int FindCall(const NVXCallEntry* snapshot) const;

    // The snapshot's call again after the list may have changed: position when the entry there is
    // that call, else where FindCall finds it, else -1.
    int LocateCall(int position, const NVXCallEntry* snapshot) const;

    // Asks the phone to dial the entry at position. -1 outside 0 to count - 1, else 0.
    int PlaceCall(int position);

    // Deletes the entry's record from the phone's store and then the entry. 0 when both went, and
    // for a position out of range (nothing happens); -1 when the store kept the record or no longer
    // holds the call (the entry stays, so the list never shows less than the phone holds), with
    // the reason in *failure when given.
    int DeleteAt(int position, DeleteFailure* failure = nullptr);

    // Empties the phone's store and then the list. 0, or -1 when the store could not be emptied
    // (it then keeps every call), with the reason in *failure when given; the list is then read
    // again from the store, so it shows what the store holds.
    int DeleteAll(DeleteFailure* failure = nullptr);

    // Releases the entry at position and closes the gap. Returns 0.
    int RemoveAt(int position);

    int count = 0;
    CallLogHandle logHandle = nullptr;
    std::vector<NVXCallEntry*> entries;

private:
    EntryArena arena;
    // What the entries were derived under, while they are the whole log as the last load read it;
    // empty once the list was cleared or changed, or read only in part.
    std::optional<LoadInputs> readUnder;
};
