#include "platform/memory/pagememory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr size_t kFrame = size_t{2} << 20;

// The flags the kernel keeps for the mapping that holds address ("hg": advised to be huge pages).
std::string MappingFlags(const void* address) {
    const auto at = reinterpret_cast<uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        uintptr_t start = 0;
        uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> start >> dash >> end && dash == '-') {
            inside = start <= at && at < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line + " ";
        }
    }
    return "";
}

// Every byte of a block is there and zero; a block of a 2 MiB frame or more starts on a frame, so
// that its whole frames can be huge pages.
TEST(PageMemory, BlocksAreWholeZeroedAndLargeOnesStartOnAFrame) {
    for (const size_t bytes : {size_t{100}, size_t{4096}, kFrame - 1, kFrame, kFrame + 4096 + 100, 5 * kFrame}) {
        auto* block = static_cast<unsigned char*>(AllocatePages(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        if (bytes >= kFrame) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kFrame, 0u) << bytes;
        }
        EXPECT_EQ(block[0], 0) << bytes;
        EXPECT_EQ(block[bytes - 1], 0) << bytes;
        std::memset(block, 0xA5, bytes);
        EXPECT_EQ(block[bytes - 1], 0xA5) << bytes;
        FreePages(block, bytes);
    }
    EXPECT_EQ(AllocatePages(0), nullptr);
    FreePages(nullptr, 100);
}

// The system may place a block of whole frames on a frame by itself; the advice is the block's own.
TEST(PageMemory, BlocksOfAFrameAndMoreAreAdvisedToBeHugePages) {
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage/enabled")) {
        GTEST_SKIP() << "no transparent huge pages in this kernel";
    }
    for (const size_t bytes : {kFrame, 3 * kFrame + 100}) {
        void* block = AllocatePages(bytes);
        ASSERT_NE(block, nullptr);
        EXPECT_NE(MappingFlags(block).find(" hg "), std::string::npos) << bytes << ": " << MappingFlags(block);
        FreePages(block, bytes);
    }
    void* small = AllocatePages(kFrame - 4096);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(MappingFlags(small).find(" hg "), std::string::npos) << MappingFlags(small);
    FreePages(small, kFrame - 4096);
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
