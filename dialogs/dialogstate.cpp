#include "dialogs/dialogstate.h"

int32_t LastDialogKind = -1;
int32_t InfoAction = -1;
