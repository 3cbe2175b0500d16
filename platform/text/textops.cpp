#include "platform/text/textops.h"

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

// Appends a number as printf's %d with a width (at most 64) and the zero flag would write it.
void PutNumber(char16_t* dest, size_t capacity, size_t& used, long long number, int width, bool zeroPad) {
    // The digits of the magnitude, last first; unsigned so that the lowest number has one too.
    char digits[24];
    int count = 0;
    unsigned long long magnitude =
        number < 0 ? 0ULL - static_cast<unsigned long long>(number) : static_cast<unsigned long long>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const int length = count + (number < 0 ? 1 : 0);
    const int padding = width > length ? width - length : 0;
    if (!zeroPad) {
        for (int i = 0; i < padding; ++i) {
            Put(dest, capacity, used, u' ');
        }
    }
    if (number < 0) {
        Put(dest, capacity, used, u'-');
    }
    if (zeroPad) {
        for (int i = 0; i < padding; ++i) {
            Put(dest, capacity, used, u'0');
        }
    }
    while (count > 0) {
        Put(dest, capacity, used, static_cast<char16_t>(digits[--count]));
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
                PutNumber(dest, capacity, used, arg->number, width, zeroPad);
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
