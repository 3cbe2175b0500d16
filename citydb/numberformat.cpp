#include "citydb/numberformat.h"

#include "platform/text/textops.h"

namespace {

bool IsDropped(char16_t c) {
    return c == u' ' || c == u'(' || c == u')' || c == u'-' || c == u'+';
}

bool StartsWith(const char16_t* text, const char16_t* prefix) {
    for (; *prefix != u'\0'; ++text, ++prefix) {
        if (*text != *prefix) {
            return false;
        }
    }
    return true;
}

} // namespace

int StripNumber(char16_t* text, char16_t* scratch, size_t scratchCapacity) {
    if (text == nullptr || scratch == nullptr || scratchCapacity == 0) {
        return 0;
    }
    size_t used = 0;
    for (const char16_t* p = text; *p != u'\0'; ++p) {
        if (!IsDropped(*p) && used + 1 < scratchCapacity) {
            scratch[used++] = *p;
        }
    }
    scratch[used] = u'\0';
    // The result is never longer than text, so it fits back where text was.
    TextCopy(text, used + 1, scratch);
    return 0;
}

int FormatNumber(char16_t* text, size_t capacity) {
    constexpr size_t kFormattedCapacity = 15;
    if (text == nullptr || capacity < kFormattedCapacity) {
        return 0;
    }
    const size_t n = TextLengthBounded(text, 14);
    const char16_t* part = nullptr;
    if (n == 10) {
        part = text;
    } else if (n == 11 && StartsWith(text, u"1")) {
        part = text + 1;
    } else if (n == 12 && (StartsWith(text, u"01") || StartsWith(text, u"91"))) {
        part = text + 2;
    } else if (n == 13 && StartsWith(text, u"001")) {
        part = text + 3;
    }
    if (part == nullptr) {
        return 0;
    }
    char16_t areaCode[4] = {};
    char16_t exchange[4] = {};
    char16_t line[5] = {};
    TextCopyN(areaCode, 4, part, 3);
    TextCopyN(exchange, 4, part + 3, 3);
    TextCopyN(line, 5, part + 6, 4);
    TextFormat(text, capacity, u"(%s) %s-%s", {areaCode, exchange, line});
    return 0;
}
