#pragma once

#include "platform/contacts/contactsource.h"

#include <memory>
#include <string>
#include <vector>

// The user's address books (the address-book service's and the vCard folder) behind the module
// that reads them, ringlog-addressbooks.so beside the program (<prefix>/lib/ringlog/). The
// libraries beneath those readers are many and large (libebook and the GLib, Kerberos, NSS and
// protobuf libraries it needs), so the module is loaded only when the user has an address book:
// the service's folders or the vCard folder exist. Without one there are no contacts to read.
class AddressBookModule : public ContactSource {
public:
    // -1 when there are address books and the module cannot be loaded, or a book cannot be read;
    // what could be read is appended all the same.
    int ReadContacts(std::vector<ContactCard>* cards) override;

    // Whether the user has any address book to read.
    static bool UserHasAddressBooks();

    // Where the module is looked for.
    static std::string ModulePath();

    // Whether the module has been loaded into this process.
    static bool Loaded();
};

// The module's one entry point, RinglogAddressBooks: appends the module's sources to sources.
using RinglogAddressBooksFunction = void (*)(std::vector<std::shared_ptr<ContactSource>>* sources);
