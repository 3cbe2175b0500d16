#pragma once

#include "platform/contacts/contactmap.h"
#include "platform/contacts/contactsource.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

// The names of the callers: the contacts of the address books, read on a thread of their own (an
// address-book service may take seconds to start) into one map. The map of the last finished read
// is kept for the whole process; a read never blocks the one who asked for it unless told to wait.
class CallerNames {
public:
    // The user's address books: the address-book service's and the vCard folder, where the program
    // was built with libebook; none otherwise.
    static std::vector<std::shared_ptr<ContactSource>> UserAddressBooks();

    // The sources read from now on, in place of the user's address books (the tests' back-end).
    // Waits for a read under way, its notice included, and forgets the map it had.
    static void UseSources(std::vector<std::shared_ptr<ContactSource>> sources);

    // Starts a read in the background, unless one is under way.
    static void Read();

    // The map of the last finished read, waiting up to wait for a read under way (for ever when
    // wait is negative); a read is started when none has been. Null when no read has finished.
    static std::shared_ptr<const ContactMap> Map(std::chrono::milliseconds wait);

    // The map of the last finished read, null when none has finished, without waiting or starting a
    // read; *reading says whether one is under way.
    static std::shared_ptr<const ContactMap> Latest(bool* reading);

    // Called on the reading thread each time a read has finished, in place of the notice before.
    // When it returns, the notice before is not running and will not run again: its owner may go.
    static void OnRead(std::function<void()> notice);
    // Whether a reading thread is still running: in the address-book libraries, or giving its notice.
    static bool Reading();
};
