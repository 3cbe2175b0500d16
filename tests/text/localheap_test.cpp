#include "platform/text/localheap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

std::u16string Numbered(int i) {
    return u"caller " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
           std::u16string(static_cast<size_t>(i % 7), u'x');
}

} // namespace

TEST(LocalHeap, ManyTextsAcrossBlocksStayIntactWhileOthersAreReleased) {
    const size_t liveBefore = LocalLiveCount();
    // Enough texts to fill several blocks; every other one is released, the rest must not move.
    std::vector<LocalHandle> handles;
    for (int i = 0; i < 20000; ++i) {
        handles.push_back(LocalAllocText(Numbered(i).c_str()));
        ASSERT_NE(handles.back(), 0u);
    }
    for (size_t i = 0; i < handles.size(); i += 2) {
        LocalFree(handles[i]);
    }
    for (size_t i = 1; i < handles.size(); i += 2) {
        ASSERT_EQ(std::u16string(LocalText(handles[i])), Numbered(static_cast<int>(i))) << i;
    }
    for (size_t i = 1; i < handles.size(); i += 2) {
        LocalFree(handles[i]);
    }
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

TEST(LocalHeap, TextsOfTheNextLoadReuseTheMemoryOfReleasedOnes) {
    std::vector<LocalHandle> first;
    for (int i = 0; i < 5000; ++i) {
        first.push_back(LocalAllocText(u"2065550100"));
    }
    const char16_t* firstText = LocalText(first.front());
    for (LocalHandle handle : first) {
        LocalFree(handle);
    }
    // Released handles stay unknown, although their memory is written again.
    std::vector<LocalHandle> second;
    bool reused = false;
    for (int i = 0; i < 5000; ++i) {
        second.push_back(LocalAllocText(u"4255550199"));
        reused = reused || LocalText(second.back()) == firstText;
    }
    EXPECT_TRUE(reused);
    EXPECT_EQ(LocalText(first.front()), nullptr);
    EXPECT_EQ(std::u16string(LocalText(second.back())), u"4255550199");
    for (LocalHandle handle : second) {
        LocalFree(handle);
    }
}

TEST(LocalHeap, TextLongerThanABlockReadsBack) {
    const std::u16string longText(40000, u'7');
    const LocalHandle before = LocalAllocText(u"short");
    const LocalHandle big = LocalAllocText(longText.c_str());
    const LocalHandle after = LocalAllocUtf8("after", 5);
    ASSERT_NE(big, 0u);
    EXPECT_EQ(std::u16string(LocalText(big)), longText);
    EXPECT_EQ(std::u16string(LocalText(before)), u"short");
    EXPECT_EQ(std::u16string(LocalText(after)), u"after");
    LocalFree(big);
    LocalFree(before);
    LocalFree(after);
}

TEST(LocalHeap, LongTextsOfEveryReloadTakeNoMoreMemoryThanTheLoadBefore) {
    // A load of 200 calls, each with a short number and a note longer than a block, all released
    // before the next load as the call list does.
    const std::u16string note(20000, u'n');
    auto load = [&note] {
        std::vector<LocalHandle> handles;
        for (int call = 0; call < 200; ++call) {
            handles.push_back(LocalAllocText(u"2065550100"));
            handles.push_back(LocalAllocText(note.c_str()));
        }
        const size_t committed = LocalCommittedBytes();
        EXPECT_EQ(std::u16string(LocalText(handles.back())), note);
        for (LocalHandle handle : handles) {
            LocalFree(handle);
        }
        return committed;
    };
    load();
    const size_t second = load();
    EXPECT_GE(second, 200 * note.size() * sizeof(char16_t));
    size_t last = 0;
    for (int reload = 2; reload < 50; ++reload) {
        last = load();
    }
    EXPECT_LE(last, second + second / 20);
    // Released, the long texts hold nothing any more; the short texts' blocks stay for the next load.
    EXPECT_LE(LocalCommittedBytes() + 200 * note.size() * sizeof(char16_t), second);
}
