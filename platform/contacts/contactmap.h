#pragma once

#include "platform/contacts/contactcard.h"

#include <string>
#include <unordered_map>
#include <vector>

// Every number of the address books, each normalised once (NumberKey), with the name and name type
// a call from it shows. A number in two contacts goes to the one that marks it preferred, else to
// the name first in alphabetical order; within one contact, to its preferred entry, else the first.
class ContactMap {
public:
    struct Match {
        std::string name;
        std::string nameType;
    };

    ContactMap() = default;
    explicit ContactMap(const std::vector<ContactCard>& cards);

    // The contact of the number (in any form NumberKey reads), or null.
    const Match* Find(std::u16string_view number) const;

    size_t size() const { return numbers.size(); }

private:
    struct Holder {
        Match match;
        bool preferred = false;
        size_t card = 0;
    };
    std::unordered_map<std::string, Holder> numbers;
};
