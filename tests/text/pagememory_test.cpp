#include "platform/text/pagememory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

TEST(PageMemory, BlocksAreZeroFilledAndWritableToTheirLastByte) {
    // Below one huge page, one whole frame, and a frame and a bit: every way the block is placed.
    for (const size_t bytes : {size_t{5000}, size_t{2} << 20, (size_t{2} << 20) + 4097}) {
        auto* block = static_cast<unsigned char*>(AllocatePages(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_EQ(block[0], 0);
        EXPECT_EQ(block[bytes - 1], 0);
        std::memset(block, 0xA5, bytes);
        EXPECT_EQ(block[bytes - 1], 0xA5);
        FreePages(block, bytes);
    }
}

TEST(PageMemory, SizesNoAddressSpaceHoldsAreRefused) {
    // Near the top of the size range a block with a huge page to spare wraps round to a small one.
    for (const size_t bytes : {SIZE_MAX, SIZE_MAX - 4095, SIZE_MAX - (size_t{2} << 20) + 1, SIZE_MAX / 2 + 1}) {
        void* block = AllocatePages(bytes);
        EXPECT_EQ(block, nullptr) << bytes;
        FreePages(block, bytes);
    }
    EXPECT_EQ(AllocatePages(0), nullptr);
}

} // namespace
