#include "platform/text/localheap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LocalHeap, AllocatedTextReadsBackAndIsCounted) {
    const size_t before = LocalLiveCount();
    LocalHandle h = LocalAllocText(u"+1 (425) 555-1212");
    ASSERT_NE(h, 0u);
    EXPECT_EQ(LocalLiveCount(), before + 1);
    EXPECT_EQ(std::u16string(LocalText(h)), u"+1 (425) 555-1212");
    LocalFree(h);
    EXPECT_EQ(LocalLiveCount(), before);
    EXPECT_EQ(LocalText(h), nullptr);
}

TEST(LocalHeap, TextWithoutTerminatorIsCopiedByLength) {
    const char16_t raw[] = {u'a', u'b', u'c'};
    LocalHandle h = LocalAllocText(raw, 2);
    EXPECT_EQ(std::u16string(LocalText(h)), u"ab");
    LocalFree(h);
}

TEST(LocalHeap, ReleasingZeroDoesNothing) {
    const size_t live = LocalLiveCount();
    const size_t rejected = LocalRejectedFreeCount();
    LocalFree(0);
    EXPECT_EQ(LocalLiveCount(), live);
    EXPECT_EQ(LocalRejectedFreeCount(), rejected);
}

TEST(LocalHeap, DoubleFreeIsRejectedAndCountedNotCrashing) {
    LocalHandle h = LocalAllocText(u"x");
    LocalHandle other = LocalAllocText(u"y");
    LocalFree(h);
    const size_t rejected = LocalRejectedFreeCount();
    const size_t live = LocalLiveCount();
    LocalFree(h);
    EXPECT_EQ(LocalRejectedFreeCount(), rejected + 1);
    EXPECT_EQ(LocalLiveCount(), live);
    EXPECT_EQ(std::u16string(LocalText(other)), u"y");
    LocalFree(other);
}

TEST(LocalHeap, UnknownHandleIsRejected) {
    const size_t rejected = LocalRejectedFreeCount();
    LocalFree(0xFFFFFFF0u);
    EXPECT_EQ(LocalRejectedFreeCount(), rejected + 1);
    EXPECT_EQ(LocalText(0xFFFFFFF0u), nullptr);
}

TEST(LocalHeap, HandlesAreNotReusedAfterRelease) {
    LocalHandle first = LocalAllocText(u"a");
    LocalFree(first);
    LocalHandle second = LocalAllocText(u"b");
    EXPECT_NE(first, second);
    LocalFree(second);
}

TEST(LocalHeap, EmptyAndNullTextsAreRealTexts) {
    LocalHandle empty = LocalAllocText(u"");
    LocalHandle null = LocalAllocText(nullptr);
    ASSERT_NE(empty, 0u);
    ASSERT_NE(null, 0u);
    EXPECT_EQ(LocalText(empty)[0], u'\0');
    EXPECT_EQ(LocalText(null)[0], u'\0');
    LocalFree(empty);
    LocalFree(null);
}

TEST(LocalHeap, TextCanBeRewrittenInPlace) {
    LocalHandle h = LocalAllocText(u"(425) 555");
    char16_t* text = LocalText(h);
    text[0] = u'4';
    text[1] = u'\0';
    EXPECT_EQ(std::u16string(LocalText(h)), u"4");
    LocalFree(h);
}

} // namespace
