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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

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

// Reads every row of the call log as the phone library's query does, opening the store for the read
// as a load opens the call log. The number of rows read, or -1.
int64_t BareRead(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
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
    return rows;
}

void BM_BareSqliteRead(benchmark::State& state) {
    const int64_t calls = state.range(0);
    PrepareStore(calls);
    const std::string path = StoreFor(calls);
    for (auto _ : state) {
        if (BareRead(path) != calls) {
            state.SkipWithError("cannot read the store");
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

double MillisecondsSince(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - start.tv_sec) * 1e3 +
           static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e6;
}

// One cold measurement in this fresh process: "load" (CallList::Load, the city database opened
// first as the program does) or "bare" (BareRead). Prints milliseconds; exit code 0 on success.
int ColdChild(const std::string& what, int64_t calls) {
    SetStorePath(StoreFor(calls));
    CallList list;
    if (what == "load") {
        list.OpenCityDatabase();
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const int64_t rows = what == "load" ? (list.Load() == 0 ? list.count : -1) : BareRead(StoreFor(calls));
    const double elapsed = MillisecondsSince(start);
    if (rows != calls) {
        return 1;
    }
    std::printf("%.2f\n", elapsed);
    return 0;
}

// The cold case, as a user starts the program: every measurement in a process of its own that has
// read nothing before, so no memory is faulted in yet. Alternates load and bare read.
int ColdRuns(int runs) {
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0) {
        return 1;
    }
    std::printf("%8s %6s %14s %14s %7s\n", "calls", "runs", "load_ms(med)", "bare_ms(med)", "ratio");
    for (int64_t calls : {1000, 10000, 100000, 1000000}) {
        PrepareStore(calls);
        std::vector<double> times[2];
        for (int run = 0; run < runs; ++run) {
            for (int kind = 0; kind < 2; ++kind) {
                const std::string command =
                    std::string(self) + " --cold-child " + (kind == 0 ? "load " : "bare ") + std::to_string(calls);
                FILE* child = popen(command.c_str(), "r");
                double ms = -1;
                if (child == nullptr || std::fscanf(child, "%lf", &ms) != 1) {
                    ms = -1;
                }
                if (child != nullptr && pclose(child) != 0) {
                    ms = -1;
                }
                if (ms < 0) {
                    std::fprintf(stderr, "cold run of %lld calls failed\n", static_cast<long long>(calls));
                    return 1;
                }
                times[kind].push_back(ms);
            }
        }
        for (std::vector<double>& each : times) {
            std::sort(each.begin(), each.end());
        }
        const double load = times[0][times[0].size() / 2];
        const double bare = times[1][times[1].size() / 2];
        std::printf("%8lld %6d %14.1f %14.1f %7.2f\n", static_cast<long long>(calls), runs, load, bare, load / bare);
    }
    return 0;
}

} // namespace

BENCHMARK(BM_BareSqliteRead)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CallListLoad)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    Setup();
    if (argc == 4 && std::string(argv[1]) == "--cold-child") {
        return ColdChild(argv[2], std::atoll(argv[3]));
    }
    if (argc >= 2 && std::string(argv[1]) == "--cold") {
        return ColdRuns(argc >= 3 ? std::atoi(argv[2]) : 5);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
