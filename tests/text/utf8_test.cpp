#include "platform/text/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8, RoundTripKeepsEveryPlaneAndSurrogatePairs) {
    const std::u16string text = u"Zo\u00EBrik \u0101 \u20AC \U0001F4DE";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00E9\u20AC"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F4DE"), "\xF0\x9F\x93\x9E");
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
    struct Row {
        std::string bytes;
        std::u16string expected;
    };
    const Row rows[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},                   // a byte that starts nothing
        {"a\xC3", u"a\uFFFD"},           // cut inside a sequence
        {"\xC0\xAF", u"\uFFFD"},         // overlong form of "/"
        {"\xED\xA0\x80", u"\uFFFD"},     // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"}, // beyond U+10FFFF
        {"\xE2\x82x", u"\uFFFDx"},       // continuation missing
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Utf8ToUtf16(row.bytes), row.expected) << row.bytes;
    }
}

TEST(Utf8, LoneSurrogatesBecomeReplacementCharacters) {
    const std::u16string lone = {u'a', static_cast<char16_t>(0xD800), u'b', static_cast<char16_t>(0xDC00)};
    EXPECT_EQ(Utf16ToUtf8(lone), "a\xEF\xBF\xBD"
                                 "b\xEF\xBF\xBD");
}

TEST(Utf8, NullTextIsEmpty) {
    const char16_t* none = nullptr;
    EXPECT_EQ(Utf16ToUtf8(none), "");
}

} // namespace
