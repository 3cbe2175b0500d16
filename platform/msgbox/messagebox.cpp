#include "platform/msgbox/messagebox.h"

#include <cstdio>
#include <string>

namespace {

void WriteUtf8(std::string& out, const char16_t* text) {
    for (const char16_t* p = text; p != nullptr && *p != u'\0'; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

int WriteToStandardError(const void*, const char16_t* text, const char16_t* caption, unsigned type) {
    std::string line;
    WriteUtf8(line, caption);
    line += ": ";
    WriteUtf8(line, text);
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
