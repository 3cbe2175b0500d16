#include "platform/phone/phonelog.h"

Q_LOGGING_CATEGORY(phoneLog, "ringlog.platform.phone", QtInfoMsg)
