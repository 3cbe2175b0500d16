#pragma once

#include "platform/contacts/contactcard.h"

#include <vector>

// One place the user's contacts come from: an address-book service, a folder of vCards, or the
// tests' own list.
class ContactSource {
public:
    virtual ~ContactSource() = default;

    // Appends the source's contacts to cards. 0, or -1 when the source cannot be read; what it
    // could read is appended all the same. May be called on any thread.
    virtual int ReadContacts(std::vector<ContactCard>* cards) = 0;
};
