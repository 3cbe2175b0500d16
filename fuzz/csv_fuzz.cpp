// The CSV import of ringlog-tool: any text is either refused with errors or read into calls that
// write back to CSV and read again as the same calls.
#include "platform/phone/callcsv.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool Same(const CallRecordData& a, const CallRecordData& b) {
    return a.startTime == b.startTime && a.endTime == b.endTime && a.callType == b.callType && a.flags == b.flags &&
           a.callerIdType == b.callerIdType && a.number == b.number && a.name == b.name && a.nameType == b.nameType &&
           a.note == b.note;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool zoneSet = [] {
        setenv("TZ", "America/New_York", 1);
        return true;
    }();
    (void)zoneSet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<CallRecordData> calls;
    std::vector<std::string> errors;
    const bool read = CallsFromCsv(text, &calls, &errors);
    if (read != errors.empty() || (!read && !calls.empty())) {
        std::abort(); // refused without saying why, or refused and still gave calls
    }
    if (read) {
        std::vector<CallRecordData> again;
        std::vector<std::string> moreErrors;
        if (!CallsFromCsv(CallsToCsv(calls), &again, &moreErrors) || again.size() != calls.size()) {
            std::abort(); // what was written cannot be read back
        }
        for (size_t i = 0; i < calls.size(); ++i) {
            if (!Same(calls[i], again[i])) {
                std::abort();
            }
        }
    }
    uint64_t fileTime = 0;
    ParseCallTime(text.substr(0, 64), &fileTime);
    return 0;
}
