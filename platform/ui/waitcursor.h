#pragma once

// The wait cursor for work that blocks the program's one thread: shown from construction to
// destruction, as the phone's shell shows it for long work. Nested ones stack.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Whether a wait cursor is showing now.
    static bool IsShowing();
};
