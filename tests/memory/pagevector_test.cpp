#include "platform/memory/pagevector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

struct Pair {
    int64_t key;
    uint32_t value;
};

TEST(PageVector, GrowsKeepingEveryRecordInOrder) {
    PageVector<Pair> pairs;
    EXPECT_TRUE(pairs.Empty());
    for (uint32_t i = 0; i < 300000; ++i) {
        ASSERT_TRUE(pairs.PushBack(Pair{-static_cast<int64_t>(i), i}));
    }
    ASSERT_EQ(pairs.Size(), 300000u);
    EXPECT_GE(pairs.Capacity(), pairs.Size());
    for (uint32_t i = 0; i < 300000; i += 997) {
        ASSERT_EQ(pairs[i].value, i);
        ASSERT_EQ(pairs[i].key, -static_cast<int64_t>(i));
    }
    // Usable as a range, as the phone library sorts its order.
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.key < b.key; });
    EXPECT_EQ(pairs[0].value, 299999u);
    EXPECT_EQ(pairs.Back().value, 0u);
    pairs.PopBack();
    EXPECT_EQ(pairs.Back().value, 1u);
}

TEST(PageVector, ReserveAndAppendKeepWhatIsThere) {
    PageVector<char> pool;
    ASSERT_TRUE(pool.Append("abc", 3));
    ASSERT_TRUE(pool.Reserve(10));
    EXPECT_EQ(pool.Capacity(), 64u) << "a reserve below the capacity changes nothing";
    ASSERT_TRUE(pool.Reserve(5 << 20));
    EXPECT_EQ(pool.Capacity(), size_t{5} << 20);
    const std::string text(100000, 'x');
    ASSERT_TRUE(pool.Append(text.data(), text.size()));
    ASSERT_TRUE(pool.Append("", 0));
    EXPECT_EQ(pool.Size(), 100003u);
    EXPECT_EQ(std::string(pool.Data(), 3), "abc");
    EXPECT_EQ(pool[100002], 'x');
    // Larger than the room: the pool grows to take it whole.
    const std::string big(6 << 20, 'y');
    ASSERT_TRUE(pool.Append(big.data(), big.size()));
    EXPECT_EQ(pool.Size(), 100003u + big.size());
    EXPECT_EQ(pool[pool.Size() - 1], 'y');
    EXPECT_EQ(std::string(pool.Data(), 4), "abcx");
}

TEST(PageVector, ReserveBeyondAnyAddressSpaceFailsAndLeavesTheRecordsAlone) {
    PageVector<char> pool;
    ASSERT_TRUE(pool.Append("abc", 3));
    EXPECT_FALSE(pool.Reserve(SIZE_MAX - 4095));
    EXPECT_FALSE(pool.Reserve(SIZE_MAX));
    EXPECT_EQ(pool.Capacity(), 64u);
    EXPECT_EQ(pool.Size(), 3u);
    ASSERT_TRUE(pool.PushBack('d'));
    EXPECT_EQ(std::string(pool.Data(), 4), "abcd");
}

} // namespace
