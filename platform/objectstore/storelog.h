#pragma once

#include <QLoggingCategory>

// What the object store refused and why: a record it could not read or delete, a store it would
// not open, a dialler's time that is no time. Said at debug level, which is off unless
// QT_LOGGING_RULES turns on ringlog.platform.store.debug. For the platform's sources only.
Q_DECLARE_LOGGING_CATEGORY(storeLog)
