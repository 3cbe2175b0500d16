// The call list when memory runs out in the middle of a load. This binary brings its own
// AllocatePages and FreePages, the page memory the list's entry arena takes its blocks from, in
// place of the platform's, and can tell it to refuse blocks of entries; every other allocation
// (the phone library's and the local heap's tables come from page memory as well) is left alone.
#include "calllog/calllist.h"

#include "platform/memory/pagememory.h"
#include "platform/phone/phonelibrary.h"
#include "platform/text/localheap.h"
#include "tests/platform/storetestenv.h"

#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Blocks of entries still given before the next is refused (negative: never refused), and the
// most entries a block may hold.
int entryBlocksLeft = -1;
size_t largestEntryBlock = SIZE_MAX;
// Entries in the blocks given and not yet given back.
size_t liveEntryBlocks = 0;
size_t liveEntries = 0;

// Only the arena asks for whole entries: the sizes of the other tables in these tests are never a
// multiple of an entry (708 bytes: 59 times 12).
bool IsEntryBlock(size_t bytes) {
    return bytes % sizeof(NVXCallEntry) == 0;
}

} // namespace

void* AllocatePages(size_t bytes) {
    if (IsEntryBlock(bytes)) {
        if (entryBlocksLeft == 0 || bytes / sizeof(NVXCallEntry) > largestEntryBlock) {
            return nullptr;
        }
        if (entryBlocksLeft > 0) {
            --entryBlocksLeft;
        }
        ++liveEntryBlocks;
        liveEntries += bytes / sizeof(NVXCallEntry);
    }
    return std::calloc(1, bytes);
}

void FreePages(void* block, size_t bytes) {
    if (block != nullptr && IsEntryBlock(bytes)) {
        --liveEntryBlocks;
        liveEntries -= bytes / sizeof(NVXCallEntry);
    }
    std::free(block);
}

namespace {

using storetest::Call;
using storetest::Utc;

class CallListOutOfMemory : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        liveBefore = LocalLiveCount();
        // Five calls, latest first: E, D, C, B, A.
        AddCalls(
            {Call(Utc(2026, 12, 5, 10, 0), u"2065550001", u"A"), Call(Utc(2026, 12, 6, 10, 0), u"2065550002", u"B"),
             Call(Utc(2026, 12, 7, 10, 0), u"2065550003", u"C"), Call(Utc(2026, 12, 8, 10, 0), u"2065550004", u"D"),
             Call(Utc(2026, 12, 9, 10, 0), u"2065550005", u"E")});
    }
    void TearDown() override {
        entryBlocksLeft = -1;
        largestEntryBlock = SIZE_MAX;
        EXPECT_EQ(PhoneOpenLogCount(), 0u) << "the call log was left open";
        StoreTest::TearDown();
    }

    static std::vector<std::u16string> Names(const CallList& list) {
        std::vector<std::u16string> names;
        for (int i = 0; i < list.count; ++i) {
            names.push_back(list.EntryAt(i)->nameText.Data());
        }
        return names;
    }

    size_t liveBefore = 0;
};

using NameList = std::vector<std::u16string>;

TEST_F(CallListOutOfMemory, LoadKeepsTheCallsReadBeforeMemoryRanOut) {
    // More calls than the arena's first block holds, so the load needs a second block.
    std::vector<CallRecordData> calls;
    for (int i = 0; i < 300; ++i) {
        const std::u16string name = u"N" + std::u16string(1, static_cast<char16_t>(u'A' + i / 26 % 26)) +
                                    std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        calls.push_back(
            Call(Utc(2026, 11, 1, 0, 0) + static_cast<uint64_t>(i) * 600000000, u"2065550100", name.c_str()));
    }
    AddCalls(calls);
    {
        CallList list;
        // No block for the whole log, and only one of the arena's first size.
        entryBlocksLeft = 1;
        largestEntryBlock = 256;
        EXPECT_EQ(list.Load(), 0);
        entryBlocksLeft = -1;
        largestEntryBlock = SIZE_MAX;
        ASSERT_EQ(list.count, 256);
        // The latest calls, as far as the first block of 256 entries reached: the five of the set-up
        // (December), then the 300 of November from the latest down.
        EXPECT_EQ(Names(list)[0], u"E");
        EXPECT_EQ(Names(list)[4], u"A");
        EXPECT_EQ(Names(list)[5], u"NLN");
        EXPECT_EQ(Names(list)[255], u"NBX");
        EXPECT_EQ(list.EntryAt(256), nullptr);
        // Two texts (number and name) for each entry kept, none for the calls not read.
        EXPECT_EQ(LocalLiveCount(), liveBefore + 2 * 256);

        // Memory back: the next load reads the whole log.
        EXPECT_EQ(list.Load(), 0);
        EXPECT_EQ(list.count, 305);
        EXPECT_EQ(Names(list)[304], u"NAA");
    }
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

TEST_F(CallListOutOfMemory, LoadWithNoMemoryAtAllGivesAnEmptyList) {
    {
        CallList list;
        entryBlocksLeft = 0;
        EXPECT_EQ(list.Load(), 0);
        entryBlocksLeft = -1;
        EXPECT_EQ(list.count, 0);
        EXPECT_EQ(list.EntryAt(0), nullptr);
        EXPECT_EQ(LocalLiveCount(), liveBefore);
    }
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

TEST_F(CallListOutOfMemory, ALoadTakesOneBlockOfAsManyEntriesAsTheLogHasCalls) {
    const size_t blocksBefore = liveEntryBlocks;
    const size_t entriesBefore = liveEntries;
    {
        CallList list;
        ASSERT_EQ(list.Load(), 0);
        ASSERT_EQ(list.count, 5);
        EXPECT_EQ(liveEntryBlocks, blocksBefore + 1);
        EXPECT_EQ(liveEntries, entriesBefore + 5);
        // A log one call longer: one block more, as large as the arena, and nothing for the end.
        AddCalls({Call(Utc(2026, 12, 9, 11, 0), u"2065550006", u"F")});
        ASSERT_EQ(list.Load(), 0);
        ASSERT_EQ(list.count, 6);
        EXPECT_EQ(liveEntryBlocks, blocksBefore + 2);
        EXPECT_EQ(liveEntries, entriesBefore + 10);
    }
    EXPECT_EQ(liveEntryBlocks, blocksBefore);
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

TEST_F(CallListOutOfMemory, ReloadWritesOverTheEntriesOfTheLoadBefore) {
    CallList list;
    ASSERT_EQ(list.Load(), 0);
    ASSERT_EQ(list.count, 5);
    const NVXCallEntry* latest = list.EntryAt(0);
    // No memory for entries: the next load of the same log needs none.
    entryBlocksLeft = 0;
    EXPECT_EQ(list.Load(), 0);
    entryBlocksLeft = -1;
    EXPECT_EQ(Names(list), (NameList{u"E", u"D", u"C", u"B", u"A"}));
    EXPECT_EQ(list.EntryAt(0), latest);
    list.Clear();
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

} // namespace
