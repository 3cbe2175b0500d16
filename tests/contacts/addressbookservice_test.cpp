// The address-book service for real: its source registry and address-book factory, started by a
// session bus of the test's own over a home of its own (tests/support/withdesktop.sh
// --address-book). Contacts are added through the library, as GNOME Contacts adds them.
#include "platform/contacts/callernames.h"
#include "platform/contacts/contactmap.h"
#include "platform/contacts/edsaddressbooks.h"
#include "platform/phone/callername.h"
#include "platform/text/localheap.h"
#include "platform/text/utf8.h"

#include <libebook/libebook.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const char* const kSystemBook[] = {
    "BEGIN:VCARD\nVERSION:3.0\nFN:Grace Hopper\nTEL;TYPE=CELL:(206) 386-1234\nTEL;TYPE=WORK:+1 703 555 0142\n"
    "END:VCARD",
    "BEGIN:VCARD\nVERSION:3.0\nN:Lovelace;Ada;;;\nTEL;TYPE=HOME:+1-425-555-1212\nEND:VCARD",
    "BEGIN:VCARD\nVERSION:3.0\nFN:Edsger Dijkstra\nEMAIL:ewd@example.org\nEND:VCARD",
};

const char* const kDisabledBook = "BEGIN:VCARD\nVERSION:3.0\nFN:Hidden Person\nTEL;TYPE=CELL:3125550100\nEND:VCARD";

void AddContact(ESource* source, const char* vcard) {
    GError* error = nullptr;
    // A book just committed to the registry reaches the address-book factory a moment later: until
    // then the factory answers "no such source". Waits for the connection, 10 s at most.
    EClient* client = nullptr;
    for (int attempt = 0; attempt < 100 && client == nullptr; ++attempt) {
        g_clear_error(&error);
        client = e_book_client_connect_sync(source, static_cast<guint32>(-1), nullptr, &error);
        if (client == nullptr) {
            g_usleep(100 * 1000);
        }
    }
    ASSERT_NE(client, nullptr) << (error != nullptr ? error->message : "");
    EContact* contact = e_contact_new_from_vcard(vcard);
    EXPECT_TRUE(e_book_client_add_contact_sync(E_BOOK_CLIENT(client), contact, E_BOOK_OPERATION_FLAG_NONE, nullptr,
                                               nullptr, &error))
        << (error != nullptr ? error->message : "");
    g_clear_error(&error);
    g_object_unref(contact);
    g_object_unref(client);
}

// A second, local address book, made and then disabled in the registry.
void AddDisabledBook(ESourceRegistry* registry) {
    GError* error = nullptr;
    ESource* source = e_source_new(nullptr, nullptr, &error);
    ASSERT_NE(source, nullptr);
    e_source_set_parent(source, "local-stub");
    e_source_set_display_name(source, "Old phone");
    auto* book = static_cast<ESourceBackend*>(e_source_get_extension(source, E_SOURCE_EXTENSION_ADDRESS_BOOK));
    e_source_backend_set_backend_name(book, "local");
    ASSERT_TRUE(e_source_registry_commit_source_sync(registry, source, nullptr, &error))
        << (error != nullptr ? error->message : "");
    ESource* registered = e_source_registry_ref_source(registry, e_source_get_uid(source));
    ASSERT_NE(registered, nullptr);
    AddContact(registered, kDisabledBook);
    e_source_set_enabled(registered, FALSE);
    EXPECT_TRUE(e_source_write_sync(registered, nullptr, &error)) << (error != nullptr ? error->message : "");
    g_clear_error(&error);
    g_object_unref(registered);
    g_object_unref(source);
}

class AddressBookService : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        GError* error = nullptr;
        ESourceRegistry* registry = e_source_registry_new_sync(nullptr, &error);
        ASSERT_NE(registry, nullptr) << (error != nullptr ? error->message : "");
        ESource* system = e_source_registry_ref_builtin_address_book(registry);
        ASSERT_NE(system, nullptr);
        for (const char* vcard : kSystemBook) {
            AddContact(system, vcard);
        }
        g_object_unref(system);
        AddDisabledBook(registry);
        g_object_unref(registry);
    }
};

std::string NameOf(const ContactMap& map, const char16_t* number) {
    const ContactMap::Match* match = map.Find(number);
    return match != nullptr ? match->name + "/" + match->nameType : "-";
}

TEST_F(AddressBookService, EnabledBooksGiveTheirContactsWithNumbers) {
    std::vector<ContactCard> cards;
    EXPECT_EQ(EdsAddressBooks().ReadContacts(&cards), 0);
    std::vector<std::string> names;
    for (const ContactCard& card : cards) {
        names.push_back(card.name);
    }
    std::sort(names.begin(), names.end());
    // Only contacts with a number are asked for; the disabled book is not read.
    EXPECT_EQ(names, (std::vector<std::string>{"Ada Lovelace", "Grace Hopper"}));
    const ContactMap map(cards);
    EXPECT_EQ(NameOf(map, u"2063861234"), "Grace Hopper/m");
    EXPECT_EQ(NameOf(map, u"+17035550142"), "Grace Hopper/w");
    EXPECT_EQ(NameOf(map, u"14255551212"), "Ada Lovelace/h");
    EXPECT_EQ(NameOf(map, u"3125550100"), "-");
}

TEST_F(AddressBookService, PhoneLibraryNamesACallFromTheUsersAddressBooks) {
    CallerNames::UseSources(CallerNames::UserAddressBooks());
    PhoneUseAddressBooks(nullptr);
    const size_t liveBefore = LocalLiveCount();
    CallLogRecord record{};
    record.recordSize = sizeof(CallLogRecord);
    record.number = LocalAllocText(u"2063861234");
    EXPECT_EQ(PhoneFindCallerName(&record), 1);
    EXPECT_EQ(Utf16ToUtf8(LocalText(record.name)), "Grace Hopper");
    EXPECT_EQ(Utf16ToUtf8(LocalText(record.nameType)), "m");
    for (LocalHandle text : {record.number, record.name, record.nameType}) {
        LocalFree(text);
    }
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

} // namespace
