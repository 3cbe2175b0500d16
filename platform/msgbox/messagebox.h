#pragma once

// Message boxes: modal, with a caption, a text, an icon and buttons. The program's own code calls
// ShowMessageBox; the phone shell installs the handler that shows it on the phone screen. Without
// a handler (the command-line tool, tests of the core) the box is written to standard error and
// answered as if its default button had been pressed.

enum MessageBoxType : unsigned {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_BUTTONMASK = 0x0F,
    MB_ICONMASK = 0xF0,
};

enum MessageBoxResult : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// owner is the window the box belongs to, or null for none; the shell decides what it points to.
using MessageBoxHandler = int (*)(const void* owner, const char16_t* text, const char16_t* caption, unsigned type);

// Shows the box and returns the button that closed it (IDOK, IDYES, IDNO).
int ShowMessageBox(const void* owner, const char16_t* text, const char16_t* caption, unsigned type);

// Installs a handler (null restores the default) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
