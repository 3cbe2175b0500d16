#include "platform/contacts/contactslog.h"

Q_LOGGING_CATEGORY(contactsLog, "ringlog.platform.contacts", QtInfoMsg)
