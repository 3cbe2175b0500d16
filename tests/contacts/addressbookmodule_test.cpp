#include "platform/contacts/addressbookmodule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// The module is loaded only for a user who has an address book; then it reads them all.
TEST(AddressBookModule, LoadsOnlyWhenThereIsABookToRead) {
    char pattern[] = "/tmp/ringlog-books-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string home = pattern;
    const char* userHome = std::getenv("HOME");
    const std::string savedHome = userHome != nullptr ? userHome : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    // No session bus: the service's part fails at once instead of starting one.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);

    AddressBookModule books;
    std::vector<ContactCard> cards;
    EXPECT_FALSE(AddressBookModule::UserHasAddressBooks());
    EXPECT_EQ(books.ReadContacts(&cards), 0);
    EXPECT_TRUE(cards.empty());
    EXPECT_FALSE(AddressBookModule::Loaded());

    std::filesystem::create_directories(home + "/.local/share/kpeoplevcard");
    std::ofstream(home + "/.local/share/kpeoplevcard/grace.vcf")
        << "BEGIN:VCARD\nVERSION:3.0\nFN:Grace Hopper\nTEL;TYPE=CELL:206-386-1234\nEND:VCARD\n";
    EXPECT_TRUE(AddressBookModule::UserHasAddressBooks());
    // The service cannot be reached (-1), the folder is read all the same.
    EXPECT_EQ(books.ReadContacts(&cards), -1);
    EXPECT_TRUE(AddressBookModule::Loaded());
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, "Grace Hopper");

    // Each kind of book counts: the service's data, its sources of other accounts.
    std::filesystem::remove_all(home + "/.local/share/kpeoplevcard");
    EXPECT_FALSE(AddressBookModule::UserHasAddressBooks());
    std::filesystem::create_directories(home + "/.config/evolution/sources");
    EXPECT_TRUE(AddressBookModule::UserHasAddressBooks());
    std::filesystem::remove_all(home + "/.config");
    std::filesystem::create_directories(home + "/.local/share/evolution/addressbook/system");
    EXPECT_TRUE(AddressBookModule::UserHasAddressBooks());
    std::filesystem::remove_all(home);
    setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
