// The field's text as the phone's text input carries it, and the keyboard's deletions turned back
// into the field's UTF-16: byte offsets against multi-byte characters, pairs and long texts.
#include "platform/ui/surroundingtext.h"

#include <gtest/gtest.h>

namespace {

// "é" is two bytes, "€" three, the emoji a surrogate pair of four.
const QString kMixed = QStringLiteral("a\u00e9\u20ac") + QString::fromUtf8("\xF0\x9F\x93\x9E") + QStringLiteral("z");

TEST(SurroundingText, CursorAndAnchorAreByteOffsetsOfTheUtf8) {
    // Cursor after the euro sign (UTF-16 position 3), anchor after the emoji (5).
    const SurroundingText text(kMixed, 3, 5);
    EXPECT_EQ(text.Utf8(), QByteArray("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\x9Ez"));
    EXPECT_EQ(text.CursorByte(), 6);
    EXPECT_EQ(text.AnchorByte(), 10);
}

TEST(SurroundingText, CursorInsideASurrogatePairStandsBeforeIt) {
    const SurroundingText text(kMixed, 4, 4);
    EXPECT_EQ(text.CursorByte(), 6);
}

TEST(SurroundingText, PositionsPastTheTextStandAtItsEnd) {
    const SurroundingText text(QStringLiteral("123"), 9, -2);
    EXPECT_EQ(text.CursorByte(), 3);
    EXPECT_EQ(text.AnchorByte(), 0);
}

struct DeletionRow {
    const char* name;
    int cursor;
    uint32_t before;
    uint32_t after;
    int start;
    int length;
};

class SurroundingTextDeletion : public testing::TestWithParam<DeletionRow> {};

TEST_P(SurroundingTextDeletion, BytesAroundTheCursorBecomeUtf16Units) {
    const DeletionRow& row = GetParam();
    const SurroundingText text(kMixed, row.cursor, row.cursor);
    const SurroundingText::Range range = text.DeletionAround(row.before, row.after);
    EXPECT_EQ(range.start, row.start);
    EXPECT_EQ(range.length, row.length);
}

INSTANTIATE_TEST_SUITE_P(Rows, SurroundingTextDeletion,
                         testing::Values(DeletionRow{"Nothing", 3, 0, 0, 0, 0},
                                         // Three bytes before the cursor after the euro sign: the euro sign, one unit.
                                         DeletionRow{"EuroSignBefore", 3, 3, 0, -1, 1},
                                         // Five bytes: the euro sign and the e-acute, two units.
                                         DeletionRow{"TwoMultiByteCharactersBefore", 3, 5, 0, -2, 2},
                                         // Four bytes after: the emoji, a pair of two units.
                                         DeletionRow{"PairAfter", 3, 0, 4, 0, 2},
                                         DeletionRow{"BothSides", 3, 3, 5, -1, 4},
                                         // Two of the euro sign's three bytes cover no whole character: nothing goes.
                                         DeletionRow{"PartOfACharacterStays", 3, 2, 0, 0, 0},
                                         // Past the start and the end: as far as the text goes.
                                         DeletionRow{"PastBothEnds", 3, 100, 100, -3, 6},
                                         DeletionRow{"HugeLengths", 0, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 6}),
                         [](const testing::TestParamInfo<DeletionRow>& info) { return std::string(info.param.name); });

TEST(SurroundingText, LongTextIsCutAroundTheCursorAtWholeCharacters) {
    // 3,000 euro signs (9,000 bytes), the cursor after the 1,500th.
    const QString field(3000, QChar(0x20ac));
    const SurroundingText text(field, 1500, 1500);
    EXPECT_LE(text.Utf8().size(), SurroundingText::kMaxBytes);
    EXPECT_EQ(text.Utf8().size() % 3, 0);
    EXPECT_GE(text.Utf8().size(), SurroundingText::kMaxBytes - 2);
    // Half before the cursor, the rest after it.
    EXPECT_EQ(text.CursorByte(), 666 * 3);
    // A deletion of everything before reaches only the start of what was carried.
    EXPECT_EQ(text.DeletionAround(9000, 0).start, -666);
}

TEST(SurroundingText, LongTextWithTheCursorAtTheEndCarriesItsLastBytes) {
    const QString field(5000, QLatin1Char('7'));
    const SurroundingText text(field, 5000, 0);
    EXPECT_EQ(text.Utf8().size(), SurroundingText::kMaxBytes);
    EXPECT_EQ(text.CursorByte(), SurroundingText::kMaxBytes);
    // The anchor before the carried text stands at its start.
    EXPECT_EQ(text.AnchorByte(), 0);
}

} // namespace
