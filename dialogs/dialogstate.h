#pragma once

#include <cstdint>

// What the dialog that ran last left for the call list view: which dialog it was (-1 none, 0 reverse
// lookup, 1 About, 2 call details) and, for the call details, the soft key that closed it (-1 none,
// 1 Call, 2 Delete). The view reads and resets both each time its activation changes.
extern int32_t LastDialogKind;
extern int32_t InfoAction;
