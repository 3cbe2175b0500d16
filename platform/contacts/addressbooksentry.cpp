// The entry point of ringlog-addressbooks.so, the module that reads the user's address books.
#include "platform/contacts/addressbookmodule.h"
#include "platform/contacts/edsaddressbooks.h"
#include "platform/contacts/vcardfolder.h"

extern "C" __attribute__((visibility("default"))) void
RinglogAddressBooks(std::vector<std::shared_ptr<ContactSource>>* sources) {
    sources->push_back(std::make_shared<VcardFolder>(VcardFolder::UserFolder()));
    sources->push_back(std::make_shared<EdsAddressBooks>());
}
