#pragma once

#include "platform/phone/phonelibrary.h"
#include "platform/text/textops.h"
#include "platform/time/filetime.h"

// One call as the program holds it: the phone's 48-byte call-log record, then the texts the list
// and the call details show, derived once at load. An entry of the call list owns the record's
// four texts; a snapshot (CopyEntry) borrows them and never releases them.

enum CallType : int32_t {
    CallTypeMissed = 0,
    CallTypeIncoming = 1,
    CallTypeOutgoing = 2,
};

enum CallerIdType : int32_t {
    CallerIdUnavailable = 0,
    CallerIdBlocked = 1,
    CallerIdAvailable = 2,
};

struct NVXCallEntry : CallLogRecord {
    NVXCallEntry() : CallLogRecord{sizeof(CallLogRecord), {}, {}, 0, 0, 0, 0, 0, 0, 0} {}

    FixedText<101> nameText;
    FixedText<51> numberText;
    FixedText<60> locationText;
    FixedText<51> cityText;
    FixedText<3> stateText;
    FixedText<11> timeText;
    FixedText<52> dialNumber;
    // The record's name and name type came from the address book, not from the call log: the
    // store's record holds none, and the identity check compares it so.
    bool nameFromAddressBook = false;
};
static_assert(sizeof(NVXCallEntry) == 48 + (101 + 51 + 60 + 51 + 3 + 11 + 52) * sizeof(char16_t) + 2,
              "the record, the derived texts, the flag and padding to a 4-byte boundary");

// What the time texts of calls depend on besides the call: the local time now, to the minute, and
// the locale's clock (two-digit hours? a 12-hour clock with a marker?). Equal facts give the same
// calls the same texts.
struct TimeFacts {
    // Its seconds are 0: the texts show none, and facts of one minute must compare equal.
    SystemTime now;
    bool twoDigits;
    bool twelveHour;
    // The zone that "now" and the calls' local times are taken in.
    uint64_t zone;

    bool operator==(const TimeFacts&) const = default;
};

// The time facts as they are at this moment.
TimeFacts ReadTimeFacts();

// Fills the derived texts from the record, and writes the stripped number back over the record's
// number text. Returns 0.
int DeriveDisplayFields(NVXCallEntry& entry);

// The same with time facts read before: a load reads them once for all of its calls.
int DeriveDisplayFields(NVXCallEntry& entry, const TimeFacts& facts);

// Copies the record (its text handles borrowed), nameText, numberText, cityText, stateText and
// timeText into snapshot; dialNumber becomes the record's number text (stripped at load, not
// formatted) or empty. locationText is left alone.
void CopyEntry(const NVXCallEntry& source, NVXCallEntry& snapshot);

// Whether the entry has a number to dial. Only such a call is offered: a call whose caller is
// known but whose number is not would dial nothing.
bool CanDial(const NVXCallEntry& entry);

// Releases note, nameType, name and number, each when present, and clears the handles.
void FreeRecordStrings(NVXCallEntry& entry);
