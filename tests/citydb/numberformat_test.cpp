#include "citydb/numberformat.h"

#include "platform/text/textops.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Strip(const std::u16string& input, std::u16string* scratchOut = nullptr) {
    FixedText<32> text;
    text.Assign(input.c_str());
    FixedText<32> scratch;
    scratch.Assign(u"stale");
    EXPECT_EQ(StripNumber(text.Data(), scratch.Data(), scratch.capacity), 0);
    if (scratchOut != nullptr) {
        *scratchOut = scratch.Data();
    }
    return text.Data();
}

std::u16string Format(const std::u16string& input) {
    FixedText<32> text;
    text.Assign(input.c_str());
    EXPECT_EQ(FormatNumber(text.Data(), text.capacity), 0);
    return text.Data();
}

} // namespace

TEST(StripNumber, DropsExactlyTheFivePunctuationCharacters) {
    struct Row {
        const char16_t* input;
        const char16_t* expected;
    };
    const Row rows[] = {
        {u"+1 (425) 555-1212", u"14255551212"},
        {u"*86#", u"*86#"},
        {u"555.1212 ext.4", u"555.1212ext.4"},
        {u"1-800-FLOWERS", u"1800FLOWERS"},
        {u"() -+", u""},
        {u"", u""},
        {u"\t42", u"\t42"}, // only the blank is dropped, not other white space
    };
    for (const Row& row : rows) {
        std::u16string scratch;
        EXPECT_EQ(Strip(row.input, &scratch), row.expected);
        EXPECT_EQ(scratch, row.expected) << "scratch holds the result as well";
    }
}

TEST(StripNumber, CutsAResultLongerThanTheScratchBuffer) {
    FixedText<16> text;
    text.Assign(u"123-456-789");
    char16_t scratch[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(StripNumber(text.Data(), scratch, 5), 0);
    EXPECT_TRUE(TextEquals(scratch, u"1234"));
    EXPECT_TRUE(text.Equals(u"1234"));
}

TEST(FormatNumber, RegroupsTenCharactersAloneOrBehindAKnownPrefix) {
    for (const char16_t* input : {u"4255551212", u"14255551212", u"014255551212", u"914255551212", u"0014255551212"}) {
        EXPECT_EQ(Format(input), u"(425) 555-1212") << std::u16string(input).size();
    }
}

TEST(FormatNumber, LeavesEveryOtherShapeUnchanged) {
    for (const char16_t* input : {
             u"24255551212",    // 11, not starting with 1
             u"814255551212",   // 12, other prefix
             u"104255551212",   // 12, "1" alone is not a 12-character prefix
             u"0024255551212",  // 13, not 001
             u"425555121",      // 9
             u"00142555512120", // 14
             u"(425) 555-1212", // already formatted
             u"",
         }) {
        EXPECT_EQ(Format(input), input);
    }
}

TEST(FormatNumber, FormattingTwiceDoesNoHarm) {
    EXPECT_EQ(Format(Format(u"14255551212")), u"(425) 555-1212");
}

TEST(FormatNumber, DoesNotTestForDigits) {
    EXPECT_EQ(Format(u"abcdefghij"), u"(abc) def-ghij");
    EXPECT_EQ(Format(u"1*86#*86#12"), u"(*86) #*8-6#12");
}

TEST(FormatNumber, PrefixesMatchCaseSensitivelyAtTheStart) {
    EXPECT_EQ(Format(u"91abcdefghij"), u"(abc) def-ghij");
    EXPECT_EQ(Format(u"9Iabcdefghij"), u"9Iabcdefghij");
}

TEST(FormatNumber, LeavesTextAloneWhenTheBufferCannotHoldTheResult) {
    char16_t text[14] = u"4255551212";
    EXPECT_EQ(FormatNumber(text, 14), 0);
    EXPECT_TRUE(TextEquals(text, u"4255551212"));
    char16_t exact[15] = u"4255551212";
    FormatNumber(exact, 15);
    EXPECT_TRUE(TextEquals(exact, u"(425) 555-1212"));
}
