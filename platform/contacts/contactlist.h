#pragma once

#include "platform/contacts/contactsource.h"

#include <vector>

// Contacts held in memory: the address book of tests and benchmarks.
class ContactList : public ContactSource {
public:
    explicit ContactList(std::vector<ContactCard> cards) : cards(std::move(cards)) {}

    int ReadContacts(std::vector<ContactCard>* out) override {
        out->insert(out->end(), cards.begin(), cards.end());
        return 0;
    }

private:
    std::vector<ContactCard> cards;
};
