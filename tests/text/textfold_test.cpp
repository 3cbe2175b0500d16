#include "platform/text/textfold.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

std::u16string Fold(const char16_t* text, size_t capacity = 64) {
    char16_t buffer[64] = {};
    TextFold(buffer, capacity, text);
    return buffer;
}

TEST(TextFold, FoldsCaseAndAccentsAcrossTheScripts) {
    struct Row {
        const char16_t* text;
        const char16_t* folded;
    };
    const Row rows[] = {
        {u"MÜLLER", u"muller"},
        {u"Müller", u"muller"},
        {u"Mu\u0308ller", u"muller"}, // decomposed: the combining diaeresis goes
        {u"Straße", u"strasse"},
        {u"ÆSIR Œuvre", u"aesir oeuvre"},
        {u"Łódź Ñandú", u"lodz nandu"},
        {u"İstanbul ıslak", u"istanbul islak"},
        {u"Žižek Čapek", u"zizek capek"},
        {u"ΑΘΗΝΑ", u"αθηνα"},
        {u"МОСКВА Ёлка", u"москва ёлка"},
        {u"5 × 3 ÷ 1", u"5 × 3 ÷ 1"},
        {u"(206) 386-1234", u"(206) 386-1234"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Fold(rows[i].text), std::u16string(rows[i].folded));
    }
}

TEST(TextFold, CutsToFitWithoutSplittingALigature) {
    EXPECT_EQ(Fold(u"aß", 3), u"a");
    EXPECT_EQ(Fold(u"abc", 3), u"ab");
    EXPECT_EQ(Fold(nullptr), u"");
    char16_t untouched[1] = {u'x'};
    EXPECT_EQ(TextFold(untouched, 0, u"abc"), 0u);
    EXPECT_EQ(untouched[0], u'x');
}

} // namespace
