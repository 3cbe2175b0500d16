#include "platform/contacts/vcardfilter.h"

#include <gtest/gtest.h>

namespace {

std::string Card(const std::string& lines) {
    return "BEGIN:VCARD\r\n" + lines + "END:VCARD\r\n";
}

struct Row {
    const char* what;
    std::string text;
    std::vector<std::string> cards;
};

TEST(VcardFilter, KeepsOnlyTheLinesANameIsReadFrom) {
    const Row rows[] = {
        {"names in any case, groups and parameters",
         "begin:vcard\nversion:2.1\nitem1.TEL;TYPE=cell:1\nfn:A\nn:B;C;;;\nEMAIL:a@b\nitem1.X-ABLabel:x\nend:vcard\n",
         {Card("version:2.1\r\nitem1.TEL;TYPE=cell:1\r\nfn:A\r\nn:B;C;;;\r\n")}},
        {"a folded line keeps its folds, a dropped one loses them",
         "BEGIN:VCARD\r\nFN:Grace\r\n  Hopper\r\nPHOTO;ENCODING=b:AAAA\r\n BBBB\r\n\tCCCC\r\nTEL:1\r\n "
         "2\r\nEND:VCARD\r\n",
         {Card("FN:Grace\r\n  Hopper\r\nTEL:1\r\n 2\r\n")}},
        {"vCard 2.1's soft line break continues a quoted-printable value",
         "BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE:=C3=\n=A9\nNOTE;QUOTED-PRINTABLE:a=\nTEL:9\nTEL:2\nEND:VCARD\n",
         {Card("FN;ENCODING=QUOTED-PRINTABLE:=C3=\r\n=A9\r\nTEL:2\r\n")}},
        {"names that only start like kept ones", "BEGIN:VCARD\nFNX:1\nTELEX:2\nNICKNAME:3\nEND:VCARD\n", {Card("")}},
        {"indented BEGIN and END, two cards, text around them",
         "junk\n  BEGIN:VCARD\nFN:A\n END:VCARD\nTEL:7\nBEGIN:VCARD\nFN:B\nEND:VCARD",
         {Card("FN:A\r\n"), Card("FN:B\r\n")}},
        {"a card without its END, and one cut off by the next BEGIN",
         "BEGIN:VCARD\nFN:Cut\nBEGIN:VCARD\nFN:Whole\nEND:VCARD\nBEGIN:VCARD\nFN:Open\n",
         {Card("FN:Whole\r\n")}},
        {"nothing", "", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(VcardFilter::Cards(row.text), row.cards) << row.what;
    }
}

TEST(VcardFilter, LineOverTheLimitsIsDroppedAndTheCardKeepsTheRest) {
    const std::string longest = "FN:" + std::string(VcardFilter::kLongestLine - 3, 'a');
    const std::string separators = "N:" + std::string(VcardFilter::kMostSeparators, ';');
    // The limits count the unfolded line, over its folds.
    const std::string folded = "TEL:" + std::string(VcardFilter::kLongestLine / 2, '1') + "\r\n " +
                               std::string(VcardFilter::kLongestLine / 2, '2');
    const std::string text = "BEGIN:VCARD\r\n" + longest + "\r\n" + longest + "a\r\n" + separators + "\r\n" +
                             separators + ";\r\nTEL;TYPE=cell:" + std::string(1u << 20, ';') + "\r\n" + folded +
                             "\r\nTEL:5\r\nEND:VCARD\r\n";
    EXPECT_EQ(VcardFilter::Cards(text),
              std::vector<std::string>{Card(longest + "\r\n" + separators + "\r\nTEL:5\r\n")});
}

TEST(VcardFilter, CardOverTheLimitIsSkippedAndTheNextRead) {
    std::string numbers;
    while (numbers.size() < VcardFilter::kLongestCard) {
        numbers += "TEL:2065550100\r\n";
    }
    const std::string text =
        "BEGIN:VCARD\r\nFN:Many\r\n" + numbers + "END:VCARD\r\nBEGIN:VCARD\r\nFN:Next\r\nEND:VCARD\r\n";
    EXPECT_EQ(VcardFilter::Cards(text), std::vector<std::string>{Card("FN:Next\r\n")});
    // Exactly at the limit, BEGIN and END lines included, it is kept; a byte more and it is not.
    std::string lines;
    for (int i = 0; i < 8; ++i) {
        lines += "TEL:" + std::string(1000, '1') + "\r\n";
    }
    const size_t rest = VcardFilter::kLongestCard - Card(lines).size() - 6;
    EXPECT_EQ(VcardFilter::Cards(Card(lines + "TEL:" + std::string(rest, '2') + "\r\n")).size(), 1u);
    EXPECT_TRUE(VcardFilter::Cards(Card(lines + "TEL:" + std::string(rest + 1, '2') + "\r\n")).empty());
}

} // namespace
