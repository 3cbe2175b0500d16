#pragma once

// A fresh phone store in a temporary folder for each test, with the zone, the locale and "now"
// pinned, so that store, phone and call list tests start from the same known state.
#include "platform/objectstore/storelocation.h"
#include "platform/phone/callstore.h"
#include "platform/phone/phonelibrary.h"
#include "platform/time/clock.h"
#include "platform/time/filetime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace storetest {

// File time of a UTC calendar time.
inline uint64_t Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    FileTime time{};
    EXPECT_EQ(UtcCalendarToFileTime(year, month, day, hour, minute, second, &time), 0);
    return FileTimeValue(time);
}

inline CallRecordData Call(uint64_t start, const char16_t* number, const char16_t* name = nullptr, int32_t callType = 1,
                           int32_t callerIdType = 2) {
    CallRecordData call;
    call.startTime = start;
    call.endTime = start + 600000000ULL; // one minute
    call.callType = callType;
    call.callerIdType = callerIdType;
    if (number != nullptr) {
        call.number = number;
    }
    if (name != nullptr) {
        call.name = name;
    }
    return call;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-store-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        storePath = dir + "/phone.db";
        SetStorePath(storePath);
        // Each test starts as a program does: its first read is the watched one.
        PhoneRestartCallLogWatch();
        SetStoreBusyTimeout(200);
        setenv("TZ", "UTC", 1);
        tzset();
        setenv("LC_ALL", "C", 1);
        // Wednesday 9 December 2026, 15:00 UTC.
        SetCurrentTimeOverride(FileTimeToUnixSeconds(MakeFileTime(Utc(2026, 12, 9, 15, 0))));
    }

    void TearDown() override {
        PhoneRestartCallLogWatch();
        SetStorePath("");
        ClearCurrentTimeOverride();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    void AddCalls(const std::vector<CallRecordData>& calls) {
        std::string error;
        ASSERT_EQ(AddCallRecords(calls, false, &error), 0) << error;
    }

    std::vector<CallRecordData> StoredCalls() {
        std::vector<CallRecordData> calls;
        std::string error;
        EXPECT_EQ(ReadCallRecords(&calls, &error), 0) << error;
        return calls;
    }

    std::string dir;
    std::string storePath;
};

} // namespace storetest
