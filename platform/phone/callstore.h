#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Writing the store's call log, as the phone's dialler does: for ringlog-tool and tests. The
// program itself only reads the log and deletes from it.

// One call with owned texts; an absent text is std::nullopt, an empty one "". Times are file times.
struct CallRecordData {
    uint64_t startTime = 0;
    uint64_t endTime = 0;
    int32_t callType = 0;
    uint32_t flags = 0;
    int32_t callerIdType = 2;
    std::optional<std::u16string> number;
    std::optional<std::u16string> name;
    std::optional<std::u16string> nameType;
    std::optional<std::u16string> note;
};

// Adds the calls in the given order, in one transaction (all or none). With replace, the call log
// is emptied first in the same transaction. 0, or -1 with the reason in *error.
int AddCallRecords(const std::vector<CallRecordData>& calls, bool replace, std::string* error);

// Every call of the log, latest first as the phone library reads them. 0, or -1.
int ReadCallRecords(std::vector<CallRecordData>* calls, std::string* error);
