#pragma once

#include "platform/contacts/contactcard.h"

typedef struct _EVCard EVCard;

// The contact of a parsed vCard (libebook-contacts' reader knows 2.1 and 3.0): the formatted name,
// else the structured one, and every TEL with its kind. vCard 4.0's differences are read on top:
// a TEL value may be a "tel:" URI, TYPE may be a quoted list ("cell,voice") in any case, and PREF
// is a parameter of its own. False when the card has no name to show.
bool CardFromVcard(EVCard* vcard, ContactCard* card);
