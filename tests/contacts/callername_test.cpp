#include "platform/phone/callername.h"

#include "platform/contacts/callernames.h"
#include "platform/contacts/contactlist.h"
#include "platform/text/localheap.h"
#include "tests/support/gate.h"
#include "tests/support/heldsource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <new>
#include <string>
#include <thread>

namespace {

const std::vector<ContactCard> kCards = {
    {"Grace Hopper", {{"(206) 386-1234", "m", false}, {"+1 703 555 0142", "w", false}}},
    {"Ada Lovelace", {{"tel:+14255551212", "", false}}},
};

// Counts the notices, on whatever thread they come.
struct Notices {
    std::mutex lock;
    std::condition_variable changed;
    int count = 0;

    void Add() {
        {
            std::lock_guard<std::mutex> guard(lock);
            ++count;
        }
        changed.notify_all();
    }
    bool WaitFor(int wanted) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return count >= wanted; });
    }
};

std::string Text(LocalHandle handle) {
    const char16_t* text = LocalText(handle);
    if (text == nullptr) {
        return "~";
    }
    std::string out;
    for (; *text != 0; ++text) {
        out.push_back(static_cast<char>(*text));
    }
    return out;
}

// Whether the reading thread comes to its end within ten seconds.
bool BusyEnds() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (PhoneAddressBooksBusy()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Whether the call, made on a thread of its own, is still under way after a while: it waits for
// something.
bool StillWaiting(const std::future<void>& call) {
    return call.wait_for(std::chrono::milliseconds(200)) == std::future_status::timeout;
}

class CallerName : public ::testing::Test {
protected:
    void SetUp() override { liveBefore = LocalLiveCount(); }
    void TearDown() override {
        // A read the case started ends before the case's sources and the process go.
        CallerNames::UseSources({});
        for (CallLogRecord& record : records) {
            for (LocalHandle text : {record.number, record.name, record.nameType, record.note}) {
                LocalFree(text);
            }
        }
        EXPECT_EQ(LocalLiveCount(), liveBefore);
        EXPECT_EQ(LocalRejectedFreeCount(), 0u);
    }

    CallLogRecord& Record(const char16_t* number, const char16_t* name = nullptr, const char16_t* nameType = nullptr) {
        CallLogRecord record{};
        record.recordSize = sizeof(CallLogRecord);
        record.number = number != nullptr ? LocalAllocText(number) : 0;
        record.name = name != nullptr ? LocalAllocText(name) : 0;
        record.nameType = nameType != nullptr ? LocalAllocText(nameType) : 0;
        records.push_back(record);
        return records.back();
    }

    std::vector<CallLogRecord> records;
    size_t liveBefore = 0;
};

TEST_F(CallerName, RecordWithoutANameGetsTheContactsNameAndTheNumbersKind) {
    CallerNames::UseSources({std::make_shared<ContactList>(kCards)});
    PhoneUseAddressBooks(nullptr);
    records.reserve(8);
    CallLogRecord& cell = Record(u"+12063861234");
    EXPECT_EQ(PhoneFindCallerName(&cell), 1);
    EXPECT_EQ(Text(cell.name) + "|" + Text(cell.nameType), "Grace Hopper|m");
    CallLogRecord& work = Record(u"7035550142", u"", u"");
    EXPECT_EQ(PhoneFindCallerName(&work), 1);
    EXPECT_EQ(Text(work.name) + "|" + Text(work.nameType), "Grace Hopper|w");
    CallLogRecord& untyped = Record(u"14255551212");
    EXPECT_EQ(PhoneFindCallerName(&untyped), 1);
    EXPECT_EQ(Text(untyped.name) + "|" + Text(untyped.nameType), "Ada Lovelace|~");
}

// A reader that fails with an exception after a first card, as one out of memory would.
class ThrowingSource : public ContactSource {
public:
    int ReadContacts(std::vector<ContactCard>* cards) override {
        cards->push_back({"Half Read", {{"2065550199", "", false}}});
        throw std::bad_alloc();
    }
};

// Nothing leaves the reading thread: the source is skipped, with what it had appended, and the
// others are read.
TEST_F(CallerName, SourceThatThrowsIsSkippedAndTheOthersRead) {
    CallerNames::UseSources({std::make_shared<ThrowingSource>(), std::make_shared<ContactList>(kCards)});
    PhoneUseAddressBooks(nullptr);
    records.reserve(4);
    CallLogRecord& cell = Record(u"+12063861234");
    EXPECT_EQ(PhoneFindCallerName(&cell), 1);
    EXPECT_EQ(Text(cell.name), "Grace Hopper");
    EXPECT_EQ(PhoneFindCallerName(&Record(u"2065550199")), 0);
}

TEST_F(CallerName, NameInTheLogWinsAndUnknownCallersStayAsTheyAre) {
    CallerNames::UseSources({std::make_shared<ContactList>(kCards)});
    PhoneUseAddressBooks(nullptr);
    records.reserve(8);
    CallLogRecord& named = Record(u"2063861234", u"Dr. Hopper");
    CallLogRecord& typed = Record(u"2063861234", nullptr, u"h");
    CallLogRecord& unknown = Record(u"2063861235");
    CallLogRecord& withheld = Record(nullptr);
    for (CallLogRecord* record : {&named, &typed, &unknown, &withheld}) {
        const CallLogRecord before = *record;
        EXPECT_EQ(PhoneFindCallerName(record), 0);
        EXPECT_EQ(record->name, before.name);
        EXPECT_EQ(record->nameType, before.nameType);
    }
    EXPECT_EQ(Text(named.name), "Dr. Hopper");
    EXPECT_EQ(PhoneFindCallerName(nullptr), 0);
}

TEST_F(CallerName, LoadBeforeTheNamesAreReadIsFollowedByOneNotice) {
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    Notices notices;
    PhoneUseAddressBooks([&notices] { notices.Add(); });
    records.reserve(8);
    // The first record waits a moment, then goes without a name; so does the rest of that load.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(PhoneFindCallerName(&Record(u"2063861234")), 0);
    EXPECT_EQ(PhoneFindCallerName(&Record(u"7035550142")), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(notices.count, 0);
    EXPECT_TRUE(PhoneAddressBooksBusy()) << "the read is held, so a program ending now ends at once";
    held->Release();
    ASSERT_TRUE(notices.WaitFor(1));
    CallLogRecord& after = Record(u"2063861234");
    EXPECT_EQ(PhoneFindCallerName(&after), 1);
    EXPECT_EQ(Text(after.name), "Grace Hopper");
    // The map is kept: another read finds nothing owed.
    CallerNames::Read();
    CallerNames::Map(std::chrono::milliseconds(-1));
    EXPECT_TRUE(BusyEnds());
    EXPECT_EQ(notices.count, 1);
    PhoneUseAddressBooks(nullptr);
}

// The program's end (or a test's) replaces the notice and then lets go of what the old one uses:
// it must not get back while the reading thread is still in the old notice, nor think the thread
// done.
TEST_F(CallerName, ReplacingTheNoticeWaitsForTheOneUnderWayAndNoneRunsAfter) {
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    Gate inNotice;
    PhoneUseAddressBooks([&inNotice] { inNotice.Pass(); });
    records.reserve(2);
    EXPECT_EQ(PhoneFindCallerName(&Record(u"2063861234")), 0);
    held->Release();
    ASSERT_TRUE(inNotice.WaitArrived());
    EXPECT_TRUE(PhoneAddressBooksBusy()) << "a program ending now must not run the exit handlers";
    std::future<void> replacing = std::async(std::launch::async, [] { PhoneUseAddressBooks(nullptr); });
    EXPECT_TRUE(StillWaiting(replacing));
    inNotice.Open();
    replacing.get();
    EXPECT_EQ(inNotice.Passed(), 1);
    EXPECT_TRUE(BusyEnds());
    // Lookups from now on call nothing.
    EXPECT_EQ(PhoneFindCallerName(&Record(u"2063861234")), 1);
    EXPECT_EQ(inNotice.Passed(), 1);
}

TEST_F(CallerName, ReadersNoticeReplacedWhileRunningIsWaitedForThenNeverCalled) {
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    Gate inNotice;
    CallerNames::OnRead([&inNotice] { inNotice.Pass(); });
    CallerNames::Read();
    held->Release();
    ASSERT_TRUE(inNotice.WaitArrived());
    EXPECT_TRUE(CallerNames::Reading());
    std::future<void> replacing = std::async(std::launch::async, [] { CallerNames::OnRead(nullptr); });
    EXPECT_TRUE(StillWaiting(replacing));
    inNotice.Open();
    replacing.get();
    CallerNames::Read();
    CallerNames::UseSources({});
    EXPECT_FALSE(CallerNames::Reading());
    EXPECT_EQ(inNotice.Passed(), 1);
}

TEST_F(CallerName, WithoutANoticeTheLoadWaitsForTheNames) {
    auto held = std::make_shared<HeldSource>(kCards);
    CallerNames::UseSources({held});
    PhoneUseAddressBooks(nullptr);
    std::thread releaser([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held->Release();
    });
    CallLogRecord& record = Record(u"2063861234");
    EXPECT_EQ(PhoneFindCallerName(&record), 1);
    releaser.join();
    EXPECT_EQ(Text(record.name), "Grace Hopper");
}

} // namespace
