#include "platform/contacts/vcardfolder.h"

#include "platform/contacts/contactmap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kFolder = std::string(RINGLOG_TEST_DATA_DIR) + "/kpeoplevcard";

std::vector<ContactCard> ReadFolder(const std::string& folder) {
    std::vector<ContactCard> cards;
    EXPECT_EQ(VcardFolder(folder).ReadContacts(&cards), 0);
    std::sort(cards.begin(), cards.end(), [](const ContactCard& a, const ContactCard& b) { return a.name < b.name; });
    return cards;
}

std::string Numbers(const ContactCard& card) {
    std::string text;
    for (const ContactNumber& number : card.numbers) {
        text += number.number + "/" + number.nameType + (number.preferred ? "/pref" : "") + " ";
    }
    return text;
}

// The folder holds 3.0 and 4.0 cards over two levels of sub-folders, two cards in one file, a
// contact without a number, a file cut off before its end, one of random bytes and a text file.
TEST(VcardFolder, ReadsEveryCardOfTheFolderAndItsSubFolders) {
    const std::vector<ContactCard> cards = ReadFolder(kFolder);
    ASSERT_EQ(cards.size(), 5u);
    EXPECT_EQ(cards[0].name, "Ada Lovelace");
    EXPECT_EQ(cards[1].name, "Alan Turing");
    // No formatted name: the structured one, in reading order.
    EXPECT_EQ(cards[2].name, "Dr. Alan Curtis Kay");
    EXPECT_EQ(cards[3].name, "Edsger Dijkstra");
    EXPECT_TRUE(cards[3].numbers.empty());
    // A folded line is one line.
    EXPECT_EQ(cards[4].name, "Grace Brewster Murray Hopper");
}

TEST(VcardFolder, NumbersKeepTheirKindsIn3And4) {
    const std::vector<ContactCard> cards = ReadFolder(kFolder);
    ASSERT_EQ(cards.size(), 5u);
    EXPECT_EQ(Numbers(cards[4]), "(206) 386-1234/m +1 703 555 0142/w 202-555-0199/h ");
    EXPECT_EQ(Numbers(cards[2]), "7035550142/ ");
    // vCard 4.0: tel: URIs, quoted type lists in any case, PREF as a parameter of its own.
    EXPECT_EQ(Numbers(cards[0]), "tel:+1-425-555-1212/m tel:+1-312-555-0100/w/pref tel:+44-20-7946-0958/h ");
}

// One number with several kinds: cell over work over home, whatever order they are listed in.
TEST(VcardFolder, NumberOfSeveralKindsTakesTheCellThenTheWorkKind) {
    std::vector<ContactCard> cards;
    ASSERT_TRUE(VcardFolder::ReadText("BEGIN:VCARD\nVERSION:3.0\nFN:Ada\n"
                                      "TEL;TYPE=CELL,WORK:2065550001\nTEL;TYPE=WORK,CELL:2065550002\n"
                                      "TEL;TYPE=HOME,WORK:2065550003\nTEL;TYPE=WORK,HOME:2065550004\n"
                                      "TEL;TYPE=HOME,CELL:2065550005\nEND:VCARD\n",
                                      &cards));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(Numbers(cards[0]), "2065550001/m 2065550002/m 2065550003/w 2065550004/w 2065550005/m ");
}

TEST(VcardFolder, FolderMapsNumbersToTheRightContacts) {
    const ContactMap map(ReadFolder(kFolder));
    const auto name = [&map](const char16_t* number) {
        const ContactMap::Match* match = map.Find(number);
        return match != nullptr ? match->name + "/" + match->nameType : "-";
    };
    EXPECT_EQ(name(u"2063861234"), "Grace Brewster Murray Hopper/m");
    EXPECT_EQ(name(u"+14255551212"), "Ada Lovelace/m");
    EXPECT_EQ(name(u"3125550100"), "Ada Lovelace/w");
    // Shared by Grace (work) and Dr. Kay (fax), neither preferred: the first name alphabetically.
    EXPECT_EQ(name(u"+17035550142"), "Dr. Alan Curtis Kay/");
    // Only in the cut-off file and the text file.
    EXPECT_EQ(name(u"2065550111"), "-");
    EXPECT_EQ(name(u"2065550177"), "-");
}

TEST(VcardFolder, MissingFolderHasNoContacts) {
    std::vector<ContactCard> cards;
    EXPECT_EQ(VcardFolder("/nonexistent/kpeoplevcard").ReadContacts(&cards), 0);
    EXPECT_TRUE(cards.empty());
}

TEST(VcardFolder, TextsThatAreNoCardsAreSkipped) {
    std::vector<ContactCard> cards;
    EXPECT_FALSE(VcardFolder::ReadText("", &cards));
    EXPECT_FALSE(VcardFolder::ReadText("END:VCARD\nBEGIN:VCARD\nFN:X\n", &cards));
    EXPECT_FALSE(VcardFolder::ReadText(std::string("BEGIN:VCARD\nFN:\xff\xfe\nEND:VCARD\n"), &cards));
    // A card without any name cannot name a caller.
    EXPECT_FALSE(VcardFolder::ReadText("BEGIN:VCARD\nVERSION:3.0\nTEL:2063861234\nEND:VCARD\n", &cards));
    EXPECT_TRUE(cards.empty());
    EXPECT_TRUE(VcardFolder::ReadText("begin:vcard\r\nfn:Lower Case\r\ntel;type=cell:2063861234\r\nend:vcard", &cards));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(Numbers(cards[0]), "2063861234/m ");
}

} // namespace
