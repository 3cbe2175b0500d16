#include "platform/msgbox/messagebox.h"

#include "platform/text/utf8.h"

#include <cstdio>
#include <string>

namespace {

int WriteToStandardError(const void*, const char16_t* text, const char16_t* caption, unsigned type) {
    const std::string line = Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
    // No one can answer: a question gets its safe answer, everything else its OK.
    return (type & MB_BUTTONMASK) == MB_YESNO ? IDNO : IDOK;
}

MessageBoxHandler currentHandler = WriteToStandardError;

} // namespace

int ShowMessageBox(const void* owner, const char16_t* text, const char16_t* caption, unsigned type) {
    return currentHandler(owner, text, caption, type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = currentHandler;
    currentHandler = handler != nullptr ? handler : WriteToStandardError;
    return previous;
}
