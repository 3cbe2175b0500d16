#include "dialogs/dialogstate.h"

int LastDialogKind = kDialogNone;
int InfoAction = kInfoActionNone;
