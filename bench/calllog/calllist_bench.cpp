// CallList::Load against a bare read of the same rows through SQLite, at 1,000 to 1,000,000 calls.
// Counters: time_per_call (seconds per call), and for Load also bytes_per_call (resident memory that
// the loaded list holds, per call). The ratio of the two times is in bench/README.md.
#include "calllog/calllist.h"
#include "citydb/citydatabase.h"
#include "platform/files/programfiles.h"
#include "platform/objectstore/storelocation.h"
#include "platform/phone/callstore.h"
#include "platform/time/clock.h"
#include "platform/time/filetime.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string StoreFor(int64_t calls) {
    return "/tmp/ringlog-bench-" + std::to_string(calls) + ".db";
}

// A store of n calls: two thirds with a name and name type, a few without a number.
void PrepareStore(int64_t calls) {
    const std::string path = StoreFor(calls);
    SetStorePath(path);
    std::vector<CallRecordData> existing;
    std::string error;
    if (std::filesystem::exists(path) && ReadCallRecords(&existing, &error) == 0 &&
        static_cast<int64_t>(existing.size()) == calls) {
        return;
    }
    const uint64_t newest = FileTimeValue(UnixSecondsToFileTime(1796832000)); // 9 Dec 2026 16:00 UTC
    std::vector<CallRecordData> records;
    records.reserve(static_cast<size_t>(calls));
    char number[32];
    for (int64_t i = calls - 1; i >= 0; --i) {
        CallRecordData call;
        call.startTime = newest - static_cast<uint64_t>(i) * 600ULL * 10000000ULL;
        call.endTime = call.startTime + 90ULL * 10000000ULL;
        call.callType = static_cast<int32_t>(i % 3);
        call.callerIdType = i % 17 == 0 ? 1 : 2;
        if (call.callerIdType == 2) {
            std::snprintf(number, sizeof(number), "+1 (206) 386-%04d", static_cast<int>(i % 10000));
            call.number = std::u16string(number, number + std::char_traits<char>::length(number));
            if (i % 3 != 0) {
                call.name = u"Frances Allen";
                call.nameType = u"w";
            }
        }
        records.push_back(std::move(call));
    }
    if (AddCallRecords(records, true, &error) != 0) {
        std::fprintf(stderr, "cannot prepare %s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
}

size_t ResidentBytes() {
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

void BM_CallListLoad(benchmark::State& state) {
    const int64_t calls = state.range(0);
    PrepareStore(calls);
    CallList list;
    list.OpenCityDatabase();

    malloc_trim(0);
    const size_t before = ResidentBytes();
    if (list.Load() != 0 || list.count != calls) {
        state.SkipWithError("load failed");
        return;
    }
    const size_t after = ResidentBytes();
    list.Clear();

    for (auto _ : state) {
        list.Load();
        benchmark::DoNotOptimize(list.count);
    }
    // Seconds per call, shown with an SI prefix ("1.2u" is 1.2 microseconds).
    state.counters["time_per_call"] = benchmark::Counter(
        static_cast<double>(calls), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bytes_per_call"] = static_cast<double>(after - before) / static_cast<double>(calls);
}

void BM_BareSqliteRead(benchmark::State& state) {
    const int64_t calls = state.range(0);
    PrepareStore(calls);
    const std::string path = StoreFor(calls);
    for (auto _ : state) {
        // Opened for every read, as the phone library opens the log for every load.
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            state.SkipWithError("cannot open the store");
            break;
        }
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT start_time, end_time, call_type, flags, caller_id_type, number, name, name_type,"
                           " note FROM records WHERE db = (SELECT oid FROM databases WHERE name = 'clog.db')"
                           " ORDER BY start_time DESC, oid DESC",
                           -1, &stmt, nullptr);
        int64_t rows = 0;
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 5; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
            }
            for (int c = 5; c < 9; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_text16(stmt, c));
                bytes += static_cast<size_t>(sqlite3_column_bytes16(stmt, c));
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        benchmark::DoNotOptimize(bytes);
        if (rows != calls) {
            state.SkipWithError("wrong row count");
            break;
        }
    }
    // Seconds per call, shown with an SI prefix ("1.2u" is 1.2 microseconds).
    state.counters["time_per_call"] = benchmark::Counter(
        static_cast<double>(calls), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Setup() {
    setenv("TZ", "America/Los_Angeles", 1);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    SetCurrentTimeOverride(1796832000);
    SetCityDatabaseOverride(RINGLOG_SHARE_DIR "/Zonrik.dll");
}

} // namespace

BENCHMARK(BM_BareSqliteRead)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CallListLoad)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    Setup();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
