#pragma once

// Why a deletion from the phone's call-log store did not happen, so that the list view can tell
// the user in plain words and put the list right.
enum class DeleteFailure {
    None,
    Gone,      // the store no longer holds the call: someone else deleted it
    Busy,      // another program holds the call log past the busy timeout
    ReadOnly,  // the call log's file or folder cannot be written
    Full,      // the phone's storage is full
    Ambiguous, // the store holds another call that cannot be told apart from this one
    Taken,     // undo: a deleted call's place in the store has been given to another call since
    Other,     // the call log could not be read or changed for another reason
};
