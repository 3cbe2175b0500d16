#pragma once

#include <string>
#include <vector>

// One telephone number of a contact as its address book holds it: the text as written (any form,
// a "tel:" URI too), the name type its kind gives ("m" cell, "w" work, "h" home, "" any other) and
// whether the contact marks it as the preferred one.
struct ContactNumber {
    std::string number;
    std::string nameType;
    bool preferred = false;
};

// A contact as the address books give it: the name to show (UTF-8) and its numbers in the order
// the card lists them.
struct ContactCard {
    std::string name;
    std::vector<ContactNumber> numbers;
};
