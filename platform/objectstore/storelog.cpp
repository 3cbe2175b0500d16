#include "platform/objectstore/storelog.h"

Q_LOGGING_CATEGORY(storeLog, "ringlog.platform.store", QtInfoMsg)
