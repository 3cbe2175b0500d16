#pragma once

#include "platform/contacts/contactsource.h"

// The address books of the address-book service (Evolution Data Server, what GNOME Contacts and
// Phosh use): every book its source registry lists as enabled, read directly from the book's own
// files where the back-end offers that. Only the contacts that have a telephone number are read.
class EdsAddressBooks : public ContactSource {
public:
    // -1 when there is no session bus, the registry cannot be reached or a book cannot be read; the
    // books that could be read are appended all the same.
    int ReadContacts(std::vector<ContactCard>* cards) override;
};
