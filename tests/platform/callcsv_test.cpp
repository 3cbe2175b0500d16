// The CSV of the call log, byte for byte as ringlog-tool's export has always written it: the
// program's Export Calls and the tool share the writer; the tool's import tests read it back.
#include "platform/phone/callcsv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 2026-12-09T16:05:00Z and 1999-01-01T00:00:00Z as file times.
constexpr uint64_t kDecember9 = 134413059000000000ULL;
constexpr uint64_t kNewYear1999 = 125596224000000000ULL;

std::vector<CallRecordData> AwkwardCalls() {
    std::vector<CallRecordData> calls(4);
    calls[0].callType = 1;
    calls[0].startTime = kDecember9;
    calls[0].endTime = kDecember9 + 65 * 10000000ULL + 1234567;
    calls[0].number = u"+1 (206) 386-4545";
    calls[0].name = u"Quote \" and, comma";
    calls[0].nameType = u"";
    calls[0].note = u"two\nlines";
    calls[1].callType = 0;
    calls[1].startTime = kDecember9;
    calls[1].endTime = kDecember9;
    calls[1].callerIdType = 0;
    calls[1].name = u"Zo\u00eb \u65e5\u672c";
    calls[2].callType = 2;
    calls[2].startTime = kNewYear1999;
    calls[2].endTime = kNewYear1999 + 3600 * 10000000ULL;
    calls[2].number = u"";
    calls[2].flags = 4294967295u;
    calls[2].callerIdType = 1;
    // Values the phone never writes keep their numbers, and a time past year 9999 its raw count.
    calls[3].callType = 7;
    calls[3].callerIdType = -3;
    calls[3].startTime = 9223372036854775807ULL;
    calls[3].endTime = 0;
    return calls;
}

TEST(CallCsv, WritesEveryKindOfFieldAsItAlwaysHas) {
    EXPECT_EQ(CallsToCsv(AwkwardCalls()),
              "type,start,end,number,name,name_type,note,caller_id,flags\n"
              "incoming,2026-12-09T16:05:00Z,2026-12-09T16:06:05.1234567Z,\"+1 (206) 386-4545\","
              "\"Quote \"\" and, comma\",\"\",\"two\nlines\",available,0\n"
              "missed,2026-12-09T16:05:00Z,2026-12-09T16:05:00Z,,\"Zo\xc3\xab \xe6\x97\xa5\xe6\x9c\xac\",,,"
              "unavailable,0\n"
              "outgoing,1999-01-01T00:00:00Z,1999-01-01T01:00:00Z,\"\",,,,blocked,4294967295\n"
              "7,9223372036854775807,1601-01-01T00:00:00Z,,,,,-3,0\n");
    EXPECT_EQ(CallsToCsv({}), "type,start,end,number,name,name_type,note,caller_id,flags\n");
}

} // namespace
