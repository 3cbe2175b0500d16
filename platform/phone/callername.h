#pragma once

#include "platform/phone/phonelibrary.h"

#include <functional>

// The names of callers from the user's address books, filled into call-log records that hold none,
// as the phone's own call log would have held them. Until PhoneUseAddressBooks is called no address
// book is read and records stay as the log holds them.

// Reads the address books from now on, starting at once in the background. Without namesArrived a
// record waits for a read under way (the command-line tool). With it, only the first record waits,
// and briefly; a load that came before the names is followed by namesArrived, once, called on the
// reading thread. When it returns, the namesArrived given before is not running and will not run.
void PhoneUseAddressBooks(std::function<void()> namesArrived);

// When the record has neither a name nor a name type (absent or empty) and its number is in the
// address books, replaces both by new texts: the contact's name and the kind of the matched number
// ("m", "w", "h", or no name type). 1 when it did, 0 when it did not (the record is unchanged).
int PhoneFindCallerName(CallLogRecord* record);

// From now on, notes which reading of the address books each lookup of PhoneFindCallerName uses:
// a load calls it before its first record.
void PhoneBeginCallerNameLookups();

// 1 when the lookups since PhoneBeginCallerNameLookups, if any, all used one reading of the address
// books and a lookup now would use that same reading: the same records would get the same names.
// 0 otherwise.
int PhoneCallerNamesUnchanged();

// Whether the address books are still being read, or the reading thread is still giving namesArrived.
// A program ending meanwhile must not tear down the libraries beneath the reading thread (their exit
// handlers run at exit()): it ends with _Exit.
bool PhoneAddressBooksBusy();
