#include "platform/contacts/vcardfolder.h"

#include "platform/contacts/contactmap.h"
#include "platform/contacts/contactslog.h"
#include "tests/support/logcapture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

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

// vCard 2.1 as phones export it: a quoted-printable name over a soft line break, bare types, a photo
// whose base64 lines the filter drops with it.
TEST(VcardFolder, Version21CardsKeepTheirQuotedPrintableNames) {
    const std::string text =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;Zo=\r\n"
        "=C3=AB;;;\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Zo=C3=AB M=C3=BC=\r\nller\r\n"
        "TEL;CELL;PREF:+49 30 1234567\r\nPHOTO;ENCODING=BASE64;JPEG:/9j/4AAQ\r\n SkZJRg\r\n\r\n"
        "END:VCARD\r\n";
    std::vector<ContactCard> cards;
    ASSERT_TRUE(VcardFolder::ReadText(text, &cards));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, "Zo\u00eb M\u00fcller");
    EXPECT_EQ(Numbers(cards[0]), "+49 30 1234567/m/pref ");
}

// A folder of the test's own, with one good card beside whatever a case puts there.
class VcardFolderBeside : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-vcard-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        Write("good.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Good Card\r\nTEL:2065550100\r\nEND:VCARD\r\n");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(folder + "/locked.vcf", std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(folder);
    }

    void Write(const std::string& name, const std::string& text) {
        std::ofstream out(folder + "/" + name, std::ios::binary);
        out << text;
    }

    std::vector<std::string> Names(size_t largestFile = VcardFolder::kLargestFile) {
        std::vector<ContactCard> cards;
        EXPECT_EQ(VcardFolder(folder, largestFile).ReadContacts(&cards), 0);
        std::vector<std::string> names;
        for (const ContactCard& card : cards) {
            names.push_back(card.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder;
};

const std::vector<std::string> kGoodOnly = {"Good Card"};

// /proc/self/mem says it is a regular file of size 0; reading it at offset 0 fails (EIO).
TEST_F(VcardFolderBeside, FileWhoseReadFailsIsSkipped) {
    std::filesystem::create_symlink("/proc/self/mem", folder + "/mem.vcf");
    EXPECT_EQ(Names(), kGoodOnly);
}

TEST_F(VcardFolderBeside, SpecialFilesAreSkippedWithoutWaiting) {
    // /proc/self/status reports size 0 and reads fine; a FIFO without a writer would block an open.
    std::filesystem::create_symlink("/proc/self/status", folder + "/status.vcf");
    ASSERT_EQ(mkfifo((folder + "/fifo.vcf").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder + "/fifo.vcf", folder + "/tofifo.vcf");
    std::filesystem::create_symlink("/dev/zero", folder + "/zero.vcf");
    EXPECT_EQ(Names(), kGoodOnly);
}

TEST_F(VcardFolderBeside, SkippedFilesAreSaidWithWhyOnlyWhenTurnedOn) {
    Write("notacard.vcf", "nothing to see here\n");
    ASSERT_EQ(mkfifo((folder + "/fifo.vcf").c_str(), 0600), 0);
    Write("notes.txt", "not named like a card, so not skipped but never looked at\n");
    EXPECT_STREQ(contactsLog().categoryName(), "ringlog.platform.contacts");
    EXPECT_FALSE(contactsLog().isDebugEnabled());
    {
        LogCapture quiet("ringlog.platform.contacts", LogCapture::Debug::Off);
        EXPECT_EQ(Names(), kGoodOnly);
        EXPECT_TRUE(quiet.Messages().empty());
    }
    LogCapture capture("ringlog.platform.contacts", LogCapture::Debug::On);
    EXPECT_EQ(Names(), kGoodOnly);
    std::vector<std::string> messages = capture.Messages();
    std::sort(messages.begin(), messages.end());
    EXPECT_EQ(messages, (std::vector<std::string>{"vCard file " + folder + "/fifo.vcf skipped: not a regular file",
                                                  "vCard file " + folder +
                                                      "/notacard.vcf skipped: holds no card that can be read"}));
}

TEST_F(VcardFolderBeside, DirectoryNamedLikeACardIsReadAsAFolder) {
    std::filesystem::create_directories(folder + "/x.vcf");
    Write("x.vcf/inner.vcf", "BEGIN:VCARD\nFN:Inner Card\nTEL:2065550101\nEND:VCARD\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Good Card", "Inner Card"}));
}

TEST_F(VcardFolderBeside, FileWithoutReadPermissionIsSkipped) {
    Write("locked.vcf", "BEGIN:VCARD\nFN:Locked Card\nTEL:2065550102\nEND:VCARD\n");
    std::filesystem::permissions(folder + "/locked.vcf", std::filesystem::perms::none);
    // Root reads it all the same.
    EXPECT_EQ(Names(), geteuid() == 0 ? (std::vector<std::string>{"Good Card", "Locked Card"}) : kGoodOnly);
}

TEST_F(VcardFolderBeside, FileLargerThanTheLimitIsSkippedWhateverItsSizeSays) {
    // Longer than the good card, which stays within the limit.
    const std::string card =
        "BEGIN:VCARD\nFN:Sized Card\nTEL:2065550103\nNOTE:" + std::string(60, 'x') + "\nEND:VCARD\n";
    Write("sized.vcf", card);
    EXPECT_EQ(Names(card.size()), (std::vector<std::string>{"Good Card", "Sized Card"}));
    Write("sized.vcf", card + "\n");
    // A /proc file says size 0 and holds more than the limit.
    std::filesystem::create_symlink("/proc/self/status", folder + "/status.vcf");
    EXPECT_EQ(Names(card.size()), kGoodOnly);
}

// A file that keeps growing while it is read is read up to the limit and skipped.
TEST_F(VcardFolderBeside, FileGrowingWhileReadEnds) {
    Write("growing.vcf", "BEGIN:VCARD\nFN:Growing Card\nTEL:2065550104\nEND:VCARD\n");
    std::atomic<bool> stop{false};
    std::thread writer([this, &stop] {
        std::ofstream out(folder + "/growing.vcf", std::ios::binary | std::ios::app);
        const std::string junk(4096, 'x');
        while (!stop) {
            out << junk << std::flush;
        }
    });
    while (std::filesystem::file_size(folder + "/growing.vcf") < (1u << 20)) {
        std::this_thread::yield();
    }
    const std::vector<std::string> names = Names(1u << 20);
    stop = true;
    writer.join();
    EXPECT_EQ(names, kGoodOnly);
}

// One TEL line of a megabyte of separators: the library's parser would take minutes over it. The
// line is dropped; the card keeps its name and its other numbers.
TEST(VcardFolder, HostileLineIsDroppedAndTheCardKeepsTheRest) {
    const std::string text =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Hostile Card\r\nTEL;TYPE=cell:" + std::string(1u << 20, ';') +
        "\r\nTEL;TYPE=work:2065550105\r\nEND:VCARD\r\n";
    std::vector<ContactCard> cards;
    ASSERT_TRUE(VcardFolder::ReadText(text, &cards));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, "Hostile Card");
    EXPECT_EQ(Numbers(cards[0]), "2065550105/w ");
}

} // namespace
