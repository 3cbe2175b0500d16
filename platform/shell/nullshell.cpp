#include "platform/shell/nullshell.h"

#include "platform/msgbox/messagebox.h"
#include "platform/text/utf8.h"

#include <cstdio>
#include <string>

int NullShell::RunMessageBox(const char16_t* text, const char16_t* caption, unsigned type) {
    // Nobody is there to answer: the box goes to standard error, as without any shell, and gets the
    // answer that changes nothing.
    const std::string line = Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
    return (type & MB_BUTTONMASK) == MB_YESNO ? IDNO : IDOK;
}
