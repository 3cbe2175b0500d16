#pragma once

#include "platform/text/localheap.h"
#include "platform/time/filetime.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The phone library's call log: read-only, latest call first (of two calls with the same start,
// the one added later first), one 48-byte record at a time. The record's four texts are handles
// into the local-memory heap; from the moment a record is delivered they belong to the caller.
//
// Record layout, 48 bytes, little-endian:
//   0  uint32 record size (48)       4  start time (file time)    12  end time (file time)
//   20 int32 call type               24 uint32 flags              28  int32 caller-id type
//   32 number  36 name  40 name type  44 note: uint32 text handles, 0 for none
struct CallLogRecord {
    uint32_t recordSize;
    FileTime startTime;
    FileTime endTime;
    int32_t callType;
    uint32_t flags;
    int32_t callerIdType;
    LocalHandle number;
    LocalHandle name;
    LocalHandle nameType;
    LocalHandle note;
};
static_assert(sizeof(CallLogRecord) == 48, "a call-log record is 48 bytes");
static_assert(offsetof(CallLogRecord, startTime) == 4 && offsetof(CallLogRecord, endTime) == 12 &&
                  offsetof(CallLogRecord, callType) == 20 && offsetof(CallLogRecord, callerIdType) == 28 &&
                  offsetof(CallLogRecord, number) == 32 && offsetof(CallLogRecord, note) == 44,
              "call-log record fields sit at the phone's offsets");

struct PhoneCallLog;
using CallLogHandle = PhoneCallLog*;

// Opens the call log of the store. 0 with *handle set, or -1 (the store is missing its "clog.db",
// is not a store, or stays locked past the busy timeout).
int PhoneOpenCallLog(CallLogHandle* handle);

// Fills record (whose recordSize must be 48) with the next call. 0, or -1 at the end of the log and
// on any failure; on -1 the record's texts are left as they were.
int PhoneGetNextCallLogRecord(CallLogHandle handle, CallLogRecord* record);

// How many calls the log has still to deliver (all of them before the first), or -1 for a bad
// handle.
int PhoneCountCallLogRecords(CallLogHandle handle);

// Closes the log; the handle is invalid afterwards. Null is ignored. Returns 0.
int PhoneCloseCallLog(CallLogHandle handle);

// 1 when the call log holds what the first log this process opened held, that log was closed after
// its last call was delivered, and no other log has been opened since: the store is the same file,
// and no connection has written to it since. 0 otherwise, and whenever that cannot be told. It is
// answered once: the first read's connection stays open for this question only until it is asked or
// the next log is opened (the start-up's second load asks it).
int PhoneCallLogUnchanged();

// Closes the first read's connection, if still open, and lets the next log opened be watched as
// the first: for tests, which run many start-ups in one process.
void PhoneRestartCallLogWatch();

// What the last failed operation of the phone library found wrong.
std::string PhoneLastError();

// Number of call logs open, for tests that prove each one is closed.
size_t PhoneOpenLogCount();
