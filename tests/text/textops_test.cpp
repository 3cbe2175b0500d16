#include "platform/text/textops.h"
#include "platform/text/utf8.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

std::u16string S(const char16_t* text) {
    return std::u16string(text);
}

TEST(FixedText, NewBufferIsEmptyAndTerminated) {
    FixedText<3> text;
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text.Length(), 0u);
}

TEST(FixedText, AssignCutsToCapacityAndTerminates) {
    FixedText<4> text;
    text.Assign(u"abcdef");
    EXPECT_EQ(S(text.Data()), u"abc");
    EXPECT_EQ(text.chars[3], u'\0');
    text.Assign(nullptr);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(FixedText, AppendStopsAtCapacity) {
    FixedText<6> text;
    text.Assign(u"abc").Append(u"defgh");
    EXPECT_EQ(S(text.Data()), u"abcde");
    text.Append(u"x");
    EXPECT_EQ(S(text.Data()), u"abcde");
}

TEST(FixedText, AppendToAFullBufferWithoutTerminatorDoesNotReadPast) {
    FixedText<4> text;
    text.chars[0] = u'a';
    text.chars[1] = u'b';
    text.chars[2] = u'c';
    text.chars[3] = u'd'; // a damaged buffer: no terminator
    text.Append(u"e");
    EXPECT_EQ(text.chars[3], u'\0');
    EXPECT_EQ(text.Length(), 3u);
}

TEST(FixedText, StateBufferOfThreeHoldsTwoLetters) {
    FixedText<3> state;
    state.Assign(u"WAX");
    EXPECT_EQ(S(state.Data()), u"WA");
}

TEST(TextFormat, CityAndStateJoined) {
    FixedText<60> location;
    location.Format(u"%s, %s", {u"Seattle", u"WA"});
    EXPECT_EQ(S(location.Data()), u"Seattle, WA");
}

TEST(TextFormat, TwelveHourAndTwentyFourHourTimes) {
    struct Row {
        const char16_t* format;
        int hour;
        int minute;
        const char16_t* expected;
    };
    const Row rows[] = {
        {u"%02d:%02d a", 0, 5, u"00:05 a"}, {u"%d:%02d a", 0, 5, u"0:05 a"}, {u"%d:%02d p", 1, 7, u"1:07 p"},
        {u"%02d:%02d", 23, 59, u"23:59"},   {u"%d:%02d", 9, 0, u"9:00"},     {u"%02d:%02d p", 12, 30, u"12:30 p"},
    };
    for (const Row& row : rows) {
        FixedText<11> text;
        text.Format(row.format, {row.hour, row.minute});
        EXPECT_EQ(S(text.Data()), S(row.expected)) << row.hour << ":" << row.minute;
    }
}

TEST(TextFormat, DatesWithAndWithoutLeadingZeroOfTheYear) {
    FixedText<11> text;
    text.Format(u"%d/%d/0%d", {3, 7, 9});
    EXPECT_EQ(S(text.Data()), u"3/7/09");
    text.Format(u"%d/%d/%d", {12, 25, 10});
    EXPECT_EQ(S(text.Data()), u"12/25/10");
}

TEST(TextFormat, NegativeNumbersKeepTheirSignUnderZeroPadding) {
    FixedText<16> text;
    text.Format(u"%02d:%02d:%02d", {0, -1, -15});
    EXPECT_EQ(S(text.Data()), u"00:-1:-15");
}

TEST(TextFormat, LongResultIsCutAndTerminated) {
    FixedText<8> text;
    text.Format(u"%s|%s", {u"abcdef", u"ghijkl"});
    EXPECT_EQ(S(text.Data()), u"abcdef|");
    EXPECT_EQ(text.chars[7], u'\0');
}

TEST(TextFormat, MissingOrMismatchedArgumentsWriteNothingForTheirDirective) {
    FixedText<32> text;
    text.Format(u"[%s][%d][%s]", {u"a"});
    EXPECT_EQ(S(text.Data()), u"[a][][]");
    text.Format(u"[%d]", {u"text"});
    EXPECT_EQ(S(text.Data()), u"[]");
    text.Format(u"100%% %q", {});
    EXPECT_EQ(S(text.Data()), u"100% ");
}

TEST(TextFormat, NullTextArgumentIsEmpty) {
    FixedText<16> text;
    const char16_t* none = nullptr;
    text.Format(u"<%s>", {none});
    EXPECT_EQ(S(text.Data()), u"<>");
}

TEST(TextFormat, TrailingPercentEndsTheText) {
    FixedText<16> text;
    text.Format(u"ab%", {});
    EXPECT_EQ(S(text.Data()), u"ab");
    text.Format(u"ab%05", {1});
    EXPECT_EQ(S(text.Data()), u"ab");
}

TEST(TextOps, ZeroCapacityWritesNothing) {
    char16_t guard[2] = {u'x', u'y'};
    EXPECT_EQ(TextCopy(guard, 0, u"abc"), 0u);
    EXPECT_EQ(TextFormat(guard, 0, u"%d", {5}), 0u);
    EXPECT_EQ(guard[0], u'x');
}

TEST(TextOps, EqualsIsExactAndCaseSensitive) {
    EXPECT_TRUE(TextEquals(u"clog.db", u"clog.db"));
    EXPECT_FALSE(TextEquals(u"clog.db", u"CLOG.db"));
    EXPECT_FALSE(TextEquals(u"clog.db", u"clog.dbx"));
    EXPECT_TRUE(TextEquals(nullptr, u""));
}

TEST(TextOps, CopyNTakesAtMostCountCharacters) {
    FixedText<10> text;
    TextCopyN(text.Data(), text.capacity, u"abcdef", 3);
    EXPECT_EQ(S(text.Data()), u"abc");
}

} // namespace

// Numbers come out as the C library's printf writes them, for every width and flag used and at
// the ends of the range.
TEST(TextFormat, NumbersMatchPrintf) {
    const long long numbers[] = {0, 7, -7, 12, 59, 100, -100, 2026, LLONG_MAX, LLONG_MIN};
    const struct {
        const char16_t* format;
        const char* printfFormat;
    } formats[] = {{u"%d", "%lld"}, {u"%02d", "%02lld"}, {u"%5d", "%5lld"}, {u"%05d", "%05lld"}, {u"%1d", "%1lld"}};
    for (long long number : numbers) {
        for (const auto& each : formats) {
            char expected[64];
            std::snprintf(expected, sizeof expected, each.printfFormat, number);
            char16_t out[64];
            TextFormat(out, 64, each.format, {number});
            EXPECT_EQ(Utf16ToUtf8(out), std::string(expected)) << each.printfFormat << " " << number;
        }
    }
}
