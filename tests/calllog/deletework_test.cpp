// How much work a deletion asks of the store, counted by SQLite itself, and why a deletion that
// did not happen did not: Delete All must grow with the log, not with its square, on the program's
// own store and on the diallers' histories alike.
#include "calllog/calllist.h"

#include "calllog/calllogstore.h"
#include "platform/objectstore/objectstore.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"

#include <sqlite3.h>

#include <string>
#include <vector>

namespace {

using storetest::Call;
using storetest::Utc;

// What SQLite did on every connection opened while it was installed: statements run (those of
// triggers included) and virtual-machine steps. The steps catch a statement that scans or sorts
// the whole log, which a count of statements alone would miss.
struct Work {
    int64_t statements = 0;
    int64_t steps = 0;
};

Work counted;

int Trace(unsigned type, void*, void* p, void*) {
    auto* stmt = static_cast<sqlite3_stmt*>(p);
    if (type == SQLITE_TRACE_STMT) {
        ++counted.statements;
    } else if (type == SQLITE_TRACE_PROFILE) {
        // Reset on reading: the program keeps its statements and runs them again.
        counted.steps += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_VM_STEP, 1);
    }
    return 0;
}

int TraceNewConnection(sqlite3* db, const char**, const void*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, Trace, nullptr);
    return SQLITE_OK;
}

class CountedWork {
public:
    CountedWork() {
        counted = Work{};
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(TraceNewConnection));
    }
    ~CountedWork() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(TraceNewConnection)); }
    CountedWork(const CountedWork&) = delete;
    CountedWork& operator=(const CountedWork&) = delete;
    Work Result() const { return counted; }
};

enum class Log { Own, GnomeCalls, PlasmaDialer };

class DeleteWork : public storetest::StoreTest {
protected:
    // calls calls a minute apart, in the log's own format, in a file of its own.
    void MakeLog(Log log, int calls) {
        storePath = dir + "/log" + std::to_string(++logs) + ".db";
        SetStorePath(storePath);
        std::string sql;
        switch (log) {
        case Log::Own: {
            std::vector<CallRecordData> records;
            for (int i = 0; i < calls; ++i) {
                records.push_back(Call(Utc(2026, 1, 1, 0, 0) + static_cast<uint64_t>(i) * 600000000ULL, u"2065550100"));
            }
            AddCalls(records);
            return;
        }
        case Log::GnomeCalls:
            sql = std::string(dialler::kGnomeCallsSchema) +
                  "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < " + std::to_string(calls) +
                  ") INSERT INTO calls (target, inbound, start, answered, end, protocol) SELECT"
                  " 'tel:+1206386' || printf('%04d', i), i % 2,"
                  " strftime('%Y-%m-%dT%H:%M:%S.123456Z', 1767225600 + i * 60, 'unixepoch'), NULL,"
                  " strftime('%Y-%m-%dT%H:%M:%SZ', 1767225630 + i * 60, 'unixepoch'), 'tel' FROM c;";
            break;
        case Log::PlasmaDialer:
            sql = std::string(dialler::kPlasmaDialerSchema) +
                  "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < " + std::to_string(calls) +
                  ") INSERT INTO History (protocol, communicationWith, direction, state, stateReason,"
                  " callAttribute, startedAt, duration) SELECT 'tel', '+1206386' || printf('%04d', i),"
                  " 1 + i % 2, 0, 3, 0, strftime('%Y-%m-%dT%H:%M:%S', 1767225600 + i * 60, 'unixepoch'), 30 FROM c;";
            break;
        }
        dialler::Exec(storePath, sql);
    }

    // The work of a Delete All of a log of that many calls, which must leave it empty.
    Work DeleteAllWork(Log log, int calls) {
        MakeLog(log, calls);
        CallList list;
        EXPECT_EQ(list.Load(), 0);
        EXPECT_EQ(list.count, calls);
        CountedWork work;
        EXPECT_EQ(list.DeleteAll(), 0);
        const Work result = work.Result();
        EXPECT_EQ(list.Load(), 0);
        EXPECT_EQ(list.count, 0);
        return result;
    }

    int logs = 0;
};

TEST_F(DeleteWork, DeleteAllGrowsWithTheLogNotWithItsSquare) {
    for (Log log : {Log::Own, Log::GnomeCalls, Log::PlasmaDialer}) {
        SCOPED_TRACE(static_cast<int>(log));
        const Work small = DeleteAllWork(log, 1000);
        const Work large = DeleteAllWork(log, 4000);
        ASSERT_GT(small.statements, 1000);
        ASSERT_GT(small.steps, 0);
        // Four times the calls: at most four times the work, with a little room for the fixed
        // cost of opening the store.
        EXPECT_LE(large.statements, 4 * small.statements + 100) << small.statements << " then " << large.statements;
        EXPECT_LE(large.steps, 4 * small.steps + 10000) << small.steps << " then " << large.steps;
    }
    EXPECT_EQ(StoreOpenHandleCount(), 0u);
}

TEST_F(DeleteWork, DeleteAtOfOneCallDoesNotReadTheWholeLog) {
    MakeLog(Log::Own, 4000);
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    CountedWork work;
    // The call in the middle: reached by one seek, not by walking to it.
    ASSERT_EQ(list.DeleteAt(2000), 0);
    EXPECT_LT(work.Result().statements, 100);
    EXPECT_EQ(StoredCalls().size(), 3999u);
}

class DeleteReason : public storetest::StoreTest {};

TEST_F(DeleteReason, ACallDeletedByAnotherProgramIsGoneAndNothingElseGoes) {
    AddCalls({Call(Utc(2026, 12, 9, 9, 0), u"2065550101", u"A"), Call(Utc(2026, 12, 9, 10, 0), u"2065550102", u"B"),
              Call(Utc(2026, 12, 9, 11, 0), u"2065550103", u"C")});
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    dialler::Exec(storePath, "DELETE FROM records WHERE name = 'B'");
    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(list.DeleteAt(1, &failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Gone);
    EXPECT_EQ(StoredCalls().size(), 2u);
}

TEST_F(DeleteReason, TwoCallsThatCannotBeToldApartAreNeitherDeletedWhenTheLogMoved) {
    // Two records alike in every field, then a newer call arrives: the position no longer says
    // which of the two the user chose.
    const CallRecordData twin = Call(Utc(2026, 12, 9, 9, 0), u"2065550101", u"Twin");
    AddCalls({Call(Utc(2026, 12, 9, 8, 0), u"2065550100", u"Older"), twin, twin});
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    ASSERT_EQ(list.count, 3);
    AddCalls({Call(Utc(2026, 12, 9, 12, 0), u"2065550199", u"Newer")});
    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(list.DeleteAt(0, &failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Ambiguous);
    EXPECT_EQ(StoredCalls().size(), 4u);
    // Where the position still holds one of them, that one goes.
    ASSERT_EQ(list.Load(), 0);
    EXPECT_EQ(list.DeleteAt(1), 0);
    EXPECT_EQ(StoredCalls().size(), 3u);
}

TEST_F(DeleteReason, ACallWithEmptyTextsIsStillDeletedByWhatItIs) {
    // The derived texts show such a call as "Unknown"; the identity check compares the stored texts.
    CallRecordData empty = Call(Utc(2026, 12, 9, 9, 0), u"", u"");
    AddCalls({Call(Utc(2026, 12, 9, 8, 0), u"2065550100", u"A"), empty});
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    ASSERT_EQ(std::u16string(list.EntryAt(0)->numberText.Data()), u"Unknown");
    EXPECT_EQ(list.DeleteAt(0), 0);
    const std::vector<CallRecordData> left = StoredCalls();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, u"A");
}

} // namespace
