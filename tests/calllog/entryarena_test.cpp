#include "calllog/entryarena.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

std::vector<NVXCallEntry*> Take(EntryArena& arena, int count) {
    std::vector<NVXCallEntry*> taken;
    for (int i = 0; i < count; ++i) {
        taken.push_back(arena.Allocate());
    }
    return taken;
}

TEST(EntryArena, EntriesAreDistinctEmptyAndWritableAcrossBlocks) {
    EntryArena arena;
    const std::vector<NVXCallEntry*> entries = Take(arena, 1000);
    EXPECT_GT(arena.BlockCount(), 1u);
    EXPECT_GE(arena.Capacity(), 1000u);
    std::set<NVXCallEntry*> distinct;
    for (size_t i = 0; i < entries.size(); ++i) {
        ASSERT_NE(entries[i], nullptr);
        EXPECT_EQ(entries[i]->recordSize, 48u);
        EXPECT_TRUE(entries[i]->nameText.IsEmpty());
        EXPECT_EQ(entries[i]->number, 0u);
        distinct.insert(entries[i]);
        entries[i]->nameText.Format(u"%d", {static_cast<int>(i)});
    }
    EXPECT_EQ(distinct.size(), entries.size());
    // Writing one entry never reaches into another.
    EXPECT_TRUE(entries[999]->nameText.Equals(u"999"));
    EXPECT_TRUE(entries[256]->nameText.Equals(u"256"));
}

TEST(EntryArena, EachBlockDoublesTheArenaSoALargeLoadTakesFewBlocks) {
    EntryArena arena;
    Take(arena, 100000);
    EXPECT_GE(arena.Capacity(), 100000u);
    EXPECT_LE(arena.BlockCount(), 12u);
}

TEST(EntryArena, AfterRewindTheSameMemoryComesBackInOrderAndFreshlyEmptied) {
    EntryArena arena;
    const std::vector<NVXCallEntry*> first = Take(arena, 600);
    first[0]->timeText.Assign(u"12:00 p");
    const size_t blocks = arena.BlockCount();
    arena.Rewind();
    const std::vector<NVXCallEntry*> second = Take(arena, 600);
    EXPECT_EQ(second, first);
    EXPECT_TRUE(second[0]->timeText.IsEmpty());
    EXPECT_EQ(arena.BlockCount(), blocks);
}

TEST(EntryArena, BlocksALoadDidNotReachAreGivenBack) {
    EntryArena arena;
    Take(arena, 5000);
    const size_t capacity = arena.Capacity();
    arena.Rewind();
    Take(arena, 10);
    arena.ReleaseUnused();
    EXPECT_EQ(arena.BlockCount(), 1u);
    EXPECT_LT(arena.Capacity(), capacity);
    // A load of nothing keeps no block.
    arena.Rewind();
    arena.ReleaseUnused();
    EXPECT_EQ(arena.BlockCount(), 0u);
    EXPECT_NE(arena.Allocate(), nullptr);
}

TEST(EntryArena, ALoadOfKnownSizeTakesOneBlockAndAGrowingLogDoesNotAddOneEachTime) {
    EntryArena arena;
    ASSERT_EQ(arena.Reserve(5000), 0);
    EXPECT_EQ(arena.BlockCount(), 1u);
    EXPECT_EQ(arena.Capacity(), 5000u);
    const std::vector<NVXCallEntry*> entries = Take(arena, 5000);
    EXPECT_EQ(arena.BlockCount(), 1u);
    EXPECT_EQ(entries[4999], entries[0] + 4999) << "one block, in order";
    // Room enough already: nothing new, also for what is left after entries handed out.
    arena.Rewind();
    Take(arena, 1000);
    ASSERT_EQ(arena.Reserve(4000), 0);
    EXPECT_EQ(arena.BlockCount(), 1u);
    // One call more than there is room for: a block as large as the arena, not one of a single entry.
    arena.Rewind();
    ASSERT_EQ(arena.Reserve(5001), 0);
    EXPECT_EQ(arena.BlockCount(), 2u);
    EXPECT_EQ(arena.Capacity(), 10000u);
    for (int load = 0; load < 10; ++load) {
        arena.Rewind();
        ASSERT_EQ(arena.Reserve(5002 + static_cast<size_t>(load)), 0);
    }
    EXPECT_EQ(arena.BlockCount(), 2u);
}

TEST(EntryArena, EntriesHandedOutAreNoRoomAndASizeBeyondMemoryIsRefused) {
    EntryArena arena;
    ASSERT_EQ(arena.Reserve(5000), 0);
    Take(arena, 1000);
    ASSERT_EQ(arena.Reserve(4001), 0);
    EXPECT_EQ(arena.BlockCount(), 2u) << "4,000 left in the first block, one short";
    // Entries of the one more bytes than memory has: refused, not wrapped round to a small block.
    EntryArena empty;
    EXPECT_EQ(empty.Reserve(SIZE_MAX / sizeof(NVXCallEntry) + 1), -1);
    EXPECT_EQ(empty.BlockCount(), 0u);
}

} // namespace
