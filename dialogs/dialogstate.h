#pragma once

// What the last dialog did, for the list view to act on at its next activation change. Each dialog
// writes its kind while it opens and again when it closes; the view reads both values and sets
// them back to -1.

// Which dialog ran last: -1 none, 0 reverse lookup, 1 About, 2 call details, 3 Find.
extern int LastDialogKind;

// The soft key that closed the call details: -1 none (Done), 1 Call, 2 Delete.
extern int InfoAction;

enum : int {
    kDialogNone = -1,
    kDialogReverseLookup = 0,
    kDialogAbout = 1,
    kDialogCallInfo = 2,
    kDialogFind = 3,
};

enum : int {
    kInfoActionNone = -1,
    kInfoActionCall = 1,
    kInfoActionDelete = 2,
};
