// CallList::Load and DeleteAt on GNOME Calls' history at 1,000 and 10,000 calls, read in place
// through the views over the dialler's table. Counter: time_per_call (seconds per call loaded).
#include "calllog/calllist.h"
#include "platform/objectstore/storelocation.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

std::string HistoryFor(int64_t calls) {
    return "/tmp/ringlog-bench-gnome-calls-" + std::to_string(calls) + ".db";
}

// n calls ten minutes apart, in GNOME Calls' schema, made afresh.
void PrepareHistory(int64_t calls) {
    const std::string path = HistoryFor(calls);
    SetStorePath(path);
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db,
                     "CREATE TABLE calls (id INTEGER PRIMARY KEY, target TEXT NOT NULL DEFAULT '', inbound BOOLEAN"
                     " NOT NULL, start TEXT NOT NULL, answered TEXT, end TEXT, protocol TEXT); BEGIN;",
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot make %s\n", path.c_str());
        std::exit(1);
    }
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO calls (target, inbound, start, answered, end, protocol) VALUES (?1, ?2, ?3,"
                       " ?4, ?5, 'tel')",
                       -1, &insert, nullptr);
    const std::time_t newest = 1796832000; // 9 Dec 2026 16:00 UTC
    for (int64_t i = calls - 1; i >= 0; --i) {
        const std::time_t start = newest - static_cast<std::time_t>(i) * 600;
        const std::time_t end = start + 90;
        char startText[32];
        char endText[32];
        std::tm fields{};
        std::strftime(startText, sizeof(startText), "%Y-%m-%dT%H:%M:%S.123456Z", gmtime_r(&start, &fields));
        std::strftime(endText, sizeof(endText), "%Y-%m-%dT%H:%M:%SZ", gmtime_r(&end, &fields));
        char target[32];
        std::snprintf(target, sizeof(target), "tel:+1206386%04d", static_cast<int>(i % 10000));
        sqlite3_reset(insert);
        sqlite3_bind_text(insert, 1, target, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 2, static_cast<int>(i % 2));
        sqlite3_bind_text(insert, 3, startText, -1, SQLITE_TRANSIENT);
        if (i % 3 != 0) {
            sqlite3_bind_text(insert, 4, startText, -1, SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(insert, 4);
        }
        sqlite3_bind_text(insert, 5, endText, -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void LoadGnomeCallsHistory(benchmark::State& state) {
    PrepareHistory(state.range(0));
    CallList list;
    for (auto _ : state) {
        if (list.Load() != 0 || list.count != state.range(0)) {
            state.SkipWithError("the history did not load whole");
            break;
        }
    }
    state.counters["time_per_call"] =
        benchmark::Counter(static_cast<double>(state.range(0)),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(LoadGnomeCallsHistory)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One call from the middle of the history, found by position and checked by its start time; the
// list is loaded again (not timed) so that every deletion finds a call there.
void DeleteFromGnomeCallsHistory(benchmark::State& state) {
    PrepareHistory(state.range(0));
    CallList list;
    for (auto _ : state) {
        state.PauseTiming();
        list.Load();
        state.ResumeTiming();
        if (list.DeleteAt(list.count / 2) != 0) {
            state.SkipWithError("the call was not deleted");
            break;
        }
    }
}
BENCHMARK(DeleteFromGnomeCallsHistory)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
