#include "platform/text/textfold.h"

namespace {

// Base letters of U+00C0 to U+017F. '*' is a ligature spelt out below; '=' keeps the character
// (the multiplication and division signs).
constexpr char kLatinBase[] = "aaaaaa*ceeeeiiiidnooooo=ouuuuy**"
                              "aaaaaa*ceeeeiiiidnooooo=ouuuuy*y"
                              "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkk"
                              "llllllllllnnnnnnnnnoooooo**rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(sizeof(kLatinBase) == 0x180 - 0xC0 + 1, "one base letter for each of U+00C0 to U+017F");

int Ligature(char16_t c, char16_t out[2]) {
    switch (c) {
    case 0x00C6:
    case 0x00E6:
        out[0] = u'a';
        out[1] = u'e';
        return 2;
    case 0x00DE:
    case 0x00FE:
        out[0] = u't';
        out[1] = u'h';
        return 2;
    case 0x00DF:
        out[0] = u's';
        out[1] = u's';
        return 2;
    case 0x0132:
    case 0x0133:
        out[0] = u'i';
        out[1] = u'j';
        return 2;
    default:
        out[0] = u'o';
        out[1] = u'e';
        return 2;
    }
}

} // namespace

int FoldChar(char16_t c, char16_t out[2]) {
    if (c < 0x80) {
        out[0] = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
        return 1;
    }
    if (c >= 0xC0 && c < 0x180) {
        const char base = kLatinBase[c - 0xC0];
        if (base == '*') {
            return Ligature(c, out);
        }
        out[0] = base == '=' ? c : static_cast<char16_t>(base);
        return 1;
    }
    if (c >= 0x0300 && c <= 0x036F) {
        return 0;
    }
    if ((c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) || (c >= 0x0410 && c <= 0x042F)) {
        out[0] = static_cast<char16_t>(c + 0x20);
        return 1;
    }
    if (c >= 0x0400 && c <= 0x040F) {
        out[0] = static_cast<char16_t>(c + 0x50);
        return 1;
    }
    out[0] = c;
    return 1;
}

size_t TextFold(char16_t* dest, size_t capacity, const char16_t* src) {
    if (capacity == 0) {
        return 0;
    }
    size_t length = 0;
    for (; src != nullptr && *src != u'\0'; ++src) {
        char16_t folded[2];
        const int count = FoldChar(*src, folded);
        if (length + static_cast<size_t>(count) > capacity - 1) {
            break;
        }
        for (int i = 0; i < count; ++i) {
            dest[length++] = folded[i];
        }
    }
    dest[length] = u'\0';
    return length;
}
