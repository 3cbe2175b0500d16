#include "calllog/calllist.h"

#include "citydb/citydatabase.h"
#include "platform/files/programfiles.h"
#include "platform/objectstore/objectstore.h"
#include "platform/text/localheap.h"
#include "tests/calllog/citydbfile.h"
#include "tests/platform/storetestenv.h"
#include "tests/support/placedcalls.h"

#include <sqlite3.h>

#include <fstream>
#include <memory>

namespace {

using storetest::Call;
using storetest::Utc;

class CallListTest : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        liveBefore = LocalLiveCount();
        rejectedBefore = LocalRejectedFreeCount();
        list = std::make_unique<CallList>();
    }
    void TearDown() override {
        list.reset();
        EXPECT_EQ(LocalLiveCount(), liveBefore) << "a text of the phone was not released";
        EXPECT_EQ(LocalRejectedFreeCount(), rejectedBefore) << "a text was released twice";
        EXPECT_EQ(PhoneOpenLogCount(), 0u);
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        StoreTest::TearDown();
    }

    // Three calls, latest first: C (today 12:00), B (yesterday), A (two days ago).
    void AddThreeCalls() {
        AddCalls({Call(Utc(2026, 12, 7, 10, 0), u"2065550001", u"A"),
                  Call(Utc(2026, 12, 8, 10, 0), u"2065550002", u"B"),
                  Call(Utc(2026, 12, 9, 12, 0), u"2065550003", u"C")});
    }

    std::vector<std::u16string> ListNames() const {
        std::vector<std::u16string> names;
        for (int i = 0; i < list->count; ++i) {
            names.push_back(list->EntryAt(i)->nameText.Data());
        }
        return names;
    }

    std::vector<std::u16string> StoredNames() {
        std::vector<std::u16string> names;
        for (const CallRecordData& call : StoredCalls()) {
            names.push_back(call.name.value_or(u"-"));
        }
        return names;
    }

    std::unique_ptr<CallList> list;
    size_t liveBefore = 0;
    size_t rejectedBefore = 0;
};

using Names = std::vector<std::u16string>;

TEST_F(CallListTest, EmptyLogLoadsAsAnEmptyList) {
    EXPECT_EQ(list->Load(), 0);
    EXPECT_EQ(list->count, 0);
    EXPECT_EQ(list->EntryAt(0), nullptr);
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

TEST_F(CallListTest, LoadKeepsThePhoneOrderAndDerivesTexts) {
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(list->count, 3);
    EXPECT_EQ(ListNames(), (Names{u"C", u"B", u"A"}));
    EXPECT_EQ(std::u16string(list->EntryAt(0)->timeText.Data()), u"12:00");
    EXPECT_EQ(std::u16string(list->EntryAt(1)->timeText.Data()), u"12/8/26");
    EXPECT_EQ(std::u16string(list->EntryAt(2)->dialNumber.Data()), u"(206) 555-0001");
    EXPECT_EQ(LocalLiveCount(), liveBefore + 6);

    // A second load replaces the entries and releases the earlier texts.
    AddCalls({Call(Utc(2026, 12, 9, 14, 0), nullptr, u"D")});
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(ListNames(), (Names{u"D", u"C", u"B", u"A"}));
    EXPECT_EQ(LocalLiveCount(), liveBefore + 7);
}

TEST_F(CallListTest, PositionsOutsideTheListAreRefused) {
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    ClearPlacedCalls();
    for (int position : {-1, 3, 1000}) {
        EXPECT_EQ(list->EntryAt(position), nullptr);
        EXPECT_EQ(list->PlaceCall(position), -1);
        EXPECT_EQ(list->DeleteAt(position), 0);
        EXPECT_EQ(list->RemoveAt(position), 0);
    }
    EXPECT_EQ(list->count, 3);
    EXPECT_EQ(StoredCalls().size(), 3u);
    EXPECT_TRUE(PlacedCalls().empty());
}

TEST_F(CallListTest, FindByStartTimeGivesTheFirstMatch) {
    const uint64_t noon = Utc(2026, 12, 9, 12, 0);
    AddCalls({Call(Utc(2026, 12, 8, 12, 0), u"1", u"old"), Call(noon, u"2", u"first added"),
              Call(noon, u"3", u"second added")});
    NVXCallEntry snapshot;
    snapshot.startTime = MakeFileTime(noon);
    EXPECT_EQ(list->FindByStartTime(&snapshot), -1); // empty list
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->FindByStartTime(&snapshot), 0);
    EXPECT_EQ(std::u16string(list->EntryAt(0)->nameText.Data()), u"second added");
    EXPECT_EQ(list->FindByStartTime(nullptr), -1);
    snapshot.startTime = MakeFileTime(Utc(2026, 12, 8, 12, 0));
    EXPECT_EQ(list->FindByStartTime(&snapshot), 2);
    // Both halves must match: same low half, other high half.
    snapshot.startTime.highDateTime += 1;
    EXPECT_EQ(list->FindByStartTime(&snapshot), -1);
}

TEST_F(CallListTest, IsSameCallComparesStartEndTypeNumberAndName) {
    AddCalls({Call(Utc(2026, 12, 9, 12, 0), u"2065550003", u"Grace")});
    ASSERT_EQ(list->Load(), 0);
    const NVXCallEntry& entry = *list->EntryAt(0);
    NVXCallEntry snapshot;
    CopyEntry(entry, snapshot);
    EXPECT_TRUE(CallList::IsSameCall(entry, snapshot));

    struct Change {
        const char* field;
        void (*apply)(NVXCallEntry&);
    };
    const Change changes[] = {
        {"start", [](NVXCallEntry& e) { e.startTime.lowDateTime += 1; }},
        {"start high", [](NVXCallEntry& e) { e.startTime.highDateTime += 1; }},
        {"end", [](NVXCallEntry& e) { e.endTime.lowDateTime += 1; }},
        {"type", [](NVXCallEntry& e) { e.callType = CallTypeMissed; }},
        {"number", [](NVXCallEntry& e) { e.numberText.Assign(u"2065550004"); }},
        {"name", [](NVXCallEntry& e) { e.nameText.Assign(u"grace"); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.field);
        NVXCallEntry changed = snapshot;
        change.apply(changed);
        EXPECT_FALSE(CallList::IsSameCall(entry, changed));
    }
}

TEST_F(CallListTest, LocateCallFindsTheShownCallAmongCallsSharingItsStartTime) {
    const uint64_t noon = Utc(2026, 12, 9, 12, 0);
    AddCalls({Call(Utc(2026, 12, 8, 9, 0), u"2065550001", u"A"), Call(noon, u"2065550002", u"Bob"),
              Call(noon, u"2065550003", u"Ann")});
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(ListNames(), (Names{u"Ann", u"Bob", u"A"}));
    // The details of Bob, the second row, are open.
    NVXCallEntry snapshot;
    CopyEntry(*list->EntryAt(1), snapshot);
    EXPECT_EQ(list->LocateCall(1, &snapshot), 1);

    // Another process logs a call with the very same start time; the list is loaded again.
    AddCalls({Call(noon, u"2065550009", u"Zed")});
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(ListNames(), (Names{u"Zed", u"Ann", u"Bob", u"A"}));
    EXPECT_EQ(list->FindByStartTime(&snapshot), 0) << "the start time alone names another call";
    const int position = list->LocateCall(1, &snapshot);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(list->DeleteAt(position), 0);
    EXPECT_EQ(ListNames(), (Names{u"Zed", u"Ann", u"A"}));
    EXPECT_EQ(StoredNames(), (Names{u"Zed", u"Ann", u"A"}));

    // Gone from the log: no call matches, so nothing is called or deleted.
    EXPECT_EQ(list->FindCall(&snapshot), -1);
    EXPECT_EQ(list->LocateCall(1, &snapshot), -1);
    EXPECT_EQ(list->LocateCall(1, nullptr), -1);
    EXPECT_EQ(list->FindCall(nullptr), -1);
    EXPECT_EQ(list->DeleteAt(list->LocateCall(0, &snapshot)), 0);
    EXPECT_EQ(StoredCalls().size(), 3u);
}

TEST_F(CallListTest, PlaceCallDialsTheFormattedNumberAndName) {
    CallRecordData blocked = Call(Utc(2026, 12, 9, 11, 0), nullptr, nullptr, 0, CallerIdBlocked);
    AddCalls({blocked, Call(Utc(2026, 12, 9, 12, 0), u"+1 206 555 0003", u"Grace")});
    ASSERT_EQ(list->Load(), 0);
    ClearPlacedCalls();
    EXPECT_EQ(list->PlaceCall(0), 0);
    EXPECT_EQ(list->PlaceCall(1), 0);
    const std::vector<PlacedCall> placed = PlacedCalls();
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].request.size, 24u);
    EXPECT_EQ(placed[0].request.flags, 1u);
    EXPECT_EQ(placed[0].request.applicationName, 0u);
    EXPECT_EQ(placed[0].request.comment, 0u);
    EXPECT_EQ(placed[0].destination, u"(206) 555-0003");
    EXPECT_EQ(placed[0].calledParty, u"Grace");
    // Without a number the destination is empty; the view offers no call then.
    EXPECT_EQ(placed[1].destination, u"");
    EXPECT_EQ(placed[1].calledParty, u"");
}

TEST_F(CallListTest, DeleteAtRemovesTheChosenCallFromStoreAndList) {
    struct Row {
        int position;
        Names left;
    };
    const Row rows[] = {{0, {u"B", u"A"}}, {1, {u"C", u"A"}}, {2, {u"C", u"B"}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.position);
        std::string error;
        ASSERT_EQ(AddCallRecords({}, true, &error), 0);
        AddThreeCalls();
        ASSERT_EQ(list->Load(), 0);
        EXPECT_EQ(list->DeleteAt(row.position), 0);
        EXPECT_EQ(list->count, 2);
        EXPECT_EQ(ListNames(), row.left);
        EXPECT_EQ(StoredNames(), row.left);
    }
}

TEST_F(CallListTest, DeleteAfterAnotherProcessAddedANewerCallTakesOnlyTheChosenCall) {
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    // The dialler logs a new call: store position 0 is now that call, not the list's C.
    AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"2065550004", u"new")});
    EXPECT_EQ(list->DeleteAt(0), 0);
    EXPECT_EQ(ListNames(), (Names{u"B", u"A"}));
    EXPECT_EQ(StoredNames(), (Names{u"new", u"B", u"A"}));
    // And a middle position shifted by one.
    EXPECT_EQ(list->DeleteAt(1), 0);
    EXPECT_EQ(StoredNames(), (Names{u"new", u"B"}));
}

TEST_F(CallListTest, DeleteOfOneOfTwoCallsWithTheSameStartTakesOnlyThatCall) {
    const uint64_t start = Utc(2026, 12, 9, 11, 0);
    AddCalls({Call(start, u"2065550002", u"B"), Call(start, u"2065550003", u"C")});
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(ListNames(), (Names{u"C", u"B"}));
    // A newer call moves C to the store's position 1, where the list has B.
    AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"2065550004", u"N")});
    EXPECT_EQ(list->DeleteAt(1), 0);
    EXPECT_EQ(ListNames(), (Names{u"C"}));
    EXPECT_EQ(StoredNames(), (Names{u"N", u"C"}));
}

TEST_F(CallListTest, CallsThatDifferOnlyInOneFieldAreToldApart) {
    const uint64_t start = Utc(2026, 12, 9, 11, 0);
    CallRecordData base = Call(start, u"(206) 555-0002", u"B");
    base.nameType = u"w";
    base.note = u"n";
    std::vector<CallRecordData> twins;
    for (int field = 0; field < 8; ++field) {
        CallRecordData twin = base;
        switch (field) {
        case 0:
            twin.endTime += 1;
            break;
        case 1:
            twin.callType = 2;
            break;
        case 2:
            twin.flags = 1;
            break;
        case 3:
            twin.callerIdType = 1;
            break;
        case 4:
            twin.number = u"2065550009";
            break;
        case 5:
            twin.name.reset();
            break;
        case 6:
            twin.nameType = u"h";
            break;
        default:
            twin.note.reset();
            break;
        }
        twins.push_back(twin);
    }
    // The chosen call is the oldest of nine with one start, so it is last in the list.
    std::vector<CallRecordData> calls{base};
    calls.insert(calls.end(), twins.begin(), twins.end());
    AddCalls(calls);
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(list->count, 9);
    AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"2065550004", u"N")});
    EXPECT_EQ(list->DeleteAt(8), 0);
    const std::vector<CallRecordData> left = StoredCalls();
    ASSERT_EQ(left.size(), 9u);
    for (const CallRecordData& call : left) {
        EXPECT_FALSE(call.endTime == base.endTime && call.callType == base.callType && call.flags == base.flags &&
                     call.callerIdType == base.callerIdType && call.number == base.number && call.name == base.name &&
                     call.nameType == base.nameType && call.note == base.note);
    }
}

TEST_F(CallListTest, IdenticalCallsMovedFromTheirPositionAreNotGuessedAt) {
    const uint64_t start = Utc(2026, 12, 9, 11, 0);
    AddCalls({Call(start, u"2065550002", u"B"), Call(start, u"2065550002", u"B")});
    ASSERT_EQ(list->Load(), 0);
    AddCalls({Call(Utc(2026, 12, 9, 14, 30), u"2065550004", u"N"), Call(Utc(2026, 12, 9, 14, 40), u"1", u"M")});
    // Two records could be the call and the position points at neither: nothing goes.
    EXPECT_EQ(list->DeleteAt(0), -1);
    EXPECT_EQ(list->count, 2);
    EXPECT_EQ(StoredNames(), (Names{u"M", u"N", u"B", u"B"}));
    // At its own position an identical twin is the call: either may go.
    std::string error;
    ASSERT_EQ(AddCallRecords({Call(start, u"2065550002", u"B"), Call(start, u"2065550002", u"B")}, true, &error), 0);
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->DeleteAt(1), 0);
    EXPECT_EQ(StoredNames(), (Names{u"B"}));
}

TEST_F(CallListTest, DeleteOfACallNoLongerInTheStoreFailsAndKeepsTheEntry) {
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    std::string error;
    ASSERT_EQ(AddCallRecords({Call(Utc(2026, 12, 9, 12, 0), u"2065550003", u"C")}, true, &error), 0);
    ASSERT_EQ(list->Load(), 0);
    ASSERT_EQ(AddCallRecords({Call(Utc(2026, 12, 1, 1, 0), u"1", u"other")}, true, &error), 0);
    // The list's only call is gone from the phone; the other call in the store must stay.
    EXPECT_EQ(list->DeleteAt(0), -1);
    EXPECT_EQ(list->count, 1);
    EXPECT_EQ(StoredNames(), (Names{u"other"}));
}

TEST_F(CallListTest, DeleteAllEmptiesStoreAndList) {
    EXPECT_EQ(list->DeleteAll(), 0); // empty list and store
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(list->DeleteAll(), 0);
    EXPECT_EQ(list->count, 0);
    EXPECT_TRUE(StoredCalls().empty());
}

TEST_F(CallListTest, RecordsTheStoreRefusesToDeleteStayInTheList) {
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    // The phone protects B: every deletion of it fails.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER keep_b BEFORE DELETE ON records WHEN old.name = 'B'"
                           " BEGIN SELECT RAISE(ABORT, 'protected'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(list->DeleteAt(1, &failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Other);
    EXPECT_EQ(ListNames(), (Names{u"C", u"B", u"A"}));
    // Delete All is one transaction: A, deleted before B refused, comes back with it, and the
    // list is not emptied while the store still holds calls.
    failure = DeleteFailure::None;
    EXPECT_EQ(list->DeleteAll(&failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Other);
    EXPECT_EQ(StoredNames(), (Names{u"C", u"B", u"A"}));
    EXPECT_EQ(ListNames(), (Names{u"C", u"B", u"A"}));
    EXPECT_EQ(list->count, 3);
}

TEST_F(CallListTest, StoreThatCannotBeReadLeavesTheListAsItWas) {
    AddThreeCalls();
    ASSERT_EQ(list->Load(), 0);
    const std::string goodStore = storePath;

    for (const char* content : {"not a database", ""}) {
        SCOPED_TRACE(content);
        storePath = dir + "/other.db";
        std::ofstream(storePath) << content;
        if (content[0] == '\0') {
            // An SQLite file of another program.
            std::filesystem::remove(storePath);
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(storePath.c_str(), &db), SQLITE_OK);
            sqlite3_exec(db, "CREATE TABLE calls (n TEXT)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        const std::string before = storetest::ReadFileBytes(storePath);
        SetStorePath(storePath);
        EXPECT_EQ(list->Load(), -1);
        EXPECT_EQ(list->DeleteAt(1), -1);
        EXPECT_EQ(list->DeleteAll(), -1);
        EXPECT_EQ(ListNames(), (Names{u"C", u"B", u"A"}));
        EXPECT_EQ(storetest::ReadFileBytes(storePath), before);
    }

    // Locked by another process past the busy timeout.
    SetStorePath(goodStore);
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(goodStore.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM records", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(list->Load(), -1);
    EXPECT_EQ(list->DeleteAt(0), -1);
    EXPECT_EQ(list->count, 3);
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(StoredNames(), (Names{u"C", u"B", u"A"}));
}

TEST_F(CallListTest, TearDownReleasesEveryTextAndUnloadsTheCityDatabase) {
    citydbfile::Write(dir + "/Zonrik.dll");
    SetCityDatabaseOverride(dir + "/Zonrik.dll");
    AddThreeCalls();
    EXPECT_EQ(list->OpenCityDatabase(), 0);
    EXPECT_TRUE(CityDatabase::IsLoaded());
    ASSERT_EQ(list->Load(), 0);
    EXPECT_EQ(std::u16string(list->EntryAt(0)->stateText.Data()), u"WA");
    EXPECT_GT(LocalLiveCount(), liveBefore);
    list.reset();
    EXPECT_FALSE(CityDatabase::IsLoaded());
    EXPECT_EQ(LocalLiveCount(), liveBefore);
    SetCityDatabaseOverride("");

    // A missing database file is not a failure of the list.
    SetCityDatabaseOverride(dir + "/missing.dll");
    CallList other;
    EXPECT_EQ(other.OpenCityDatabase(), 0);
    EXPECT_FALSE(CityDatabase::IsLoaded());
    SetCityDatabaseOverride("");
}

} // namespace
