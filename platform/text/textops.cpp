#include "platform/text/textops.h"

#include <cstdio>

size_t TextLength(const char16_t* text) {
    if (text == nullptr) {
        return 0;
    }
    size_t n = 0;
    while (text[n] != u'\0') {
        ++n;
    }
    return n;
}

size_t TextLengthBounded(const char16_t* text, size_t maxLength) {
    if (text == nullptr) {
        return 0;
    }
    size_t n = 0;
    while (n < maxLength && text[n] != u'\0') {
        ++n;
    }
    return n;
}

size_t TextCopyN(char16_t* dest, size_t capacity, const char16_t* src, size_t count) {
    if (dest == nullptr || capacity == 0) {
        return 0;
    }
    size_t n = 0;
    if (src != nullptr) {
        while (n < count && n + 1 < capacity && src[n] != u'\0') {
            dest[n] = src[n];
            ++n;
        }
    }
    dest[n] = u'\0';
    return n;
}

size_t TextCopy(char16_t* dest, size_t capacity, const char16_t* src) {
    return TextCopyN(dest, capacity, src, static_cast<size_t>(-1));
}

size_t TextAppend(char16_t* dest, size_t capacity, const char16_t* src) {
    if (dest == nullptr || capacity == 0) {
        return 0;
    }
    size_t used = TextLengthBounded(dest, capacity - 1);
    return used + TextCopy(dest + used, capacity - used, src);
}

namespace {

// Appends one character if there is room for it and the terminator.
void Put(char16_t* dest, size_t capacity, size_t& used, char16_t c) {
    if (used + 1 < capacity) {
        dest[used++] = c;
    }
}

} // namespace

size_t TextFormat(char16_t* dest, size_t capacity, const char16_t* format, std::initializer_list<TextArg> args) {
    if (dest == nullptr || capacity == 0) {
        return 0;
    }
    size_t used = 0;
    const TextArg* arg = args.begin();
    for (const char16_t* f = format; f != nullptr && *f != u'\0'; ++f) {
        if (*f != u'%') {
            Put(dest, capacity, used, *f);
            continue;
        }
        ++f;
        if (*f == u'%') {
            Put(dest, capacity, used, u'%');
            continue;
        }
        bool zeroPad = false;
        if (*f == u'0') {
            zeroPad = true;
            ++f;
        }
        int width = 0;
        while (*f >= u'0' && *f <= u'9') {
            width = width * 10 + (*f - u'0');
            if (width > 64) {
                width = 64;
            }
            ++f;
        }
        if (*f == u'\0') {
            break;
        }
        const bool haveArg = arg != args.end();
        if (*f == u's') {
            if (haveArg && arg->isText) {
                for (const char16_t* s = arg->text; s != nullptr && *s != u'\0'; ++s) {
                    Put(dest, capacity, used, *s);
                }
            }
        } else if (*f == u'd') {
            if (haveArg && !arg->isText) {
                char spec[16];
                std::snprintf(spec, sizeof spec, zeroPad ? "%%0%dlld" : "%%%dlld", width);
                char digits[96];
                std::snprintf(digits, sizeof digits, spec, arg->number);
                for (const char* d = digits; *d != '\0'; ++d) {
                    Put(dest, capacity, used, static_cast<char16_t>(*d));
                }
            }
        } else {
            continue; // an unknown directive writes nothing and takes no argument
        }
        if (haveArg) {
            ++arg;
        }
    }
    dest[used] = u'\0';
    return used;
}

bool TextEquals(const char16_t* a, const char16_t* b) {
    const char16_t* x = a != nullptr ? a : u"";
    const char16_t* y = b != nullptr ? b : u"";
    while (*x != u'\0' && *x == *y) {
        ++x;
        ++y;
    }
    return *x == *y;
}
