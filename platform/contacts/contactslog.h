#pragma once

#include <QLoggingCategory>

// What the address books' readers refused and why: a vCard file skipped, a book that could not be
// read. Said at debug level, which is off unless QT_LOGGING_RULES turns on
// ringlog.platform.contacts.debug. For the sources of this folder only.
Q_DECLARE_LOGGING_CATEGORY(contactsLog)
