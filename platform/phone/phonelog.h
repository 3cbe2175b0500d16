#pragma once

#include <QLoggingCategory>

// What the phone library refused and why: a call log it could not read, a record it would not
// deliver, calls it could not write, a call no dialler took. Refusals are said at debug level,
// which is off unless QT_LOGGING_RULES turns on ringlog.platform.phone.debug; warnings always show.
// For the platform's sources only.
Q_DECLARE_LOGGING_CATEGORY(phoneLog)
