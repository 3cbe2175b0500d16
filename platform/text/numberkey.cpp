#include "platform/text/numberkey.h"

namespace {

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char32_t Lower(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Works on code units: every character that matters is ASCII, so UTF-8 and UTF-16 read alike.
template <typename Text> std::string KeyOf(Text text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    if (text.size() - at >= 4 && Lower(text[at]) == 't' && Lower(text[at + 1]) == 'e' && Lower(text[at + 2]) == 'l' &&
        text[at + 3] == ':') {
        at += 4;
    }
    bool plus = false;
    std::string digits;
    for (; at < text.size(); ++at) {
        const char32_t c = static_cast<char32_t>(text[at]);
        if (c == '@') {
            return {};
        }
        // "x12", "ext 12", ";ext=12", ",,12" (a pause): what follows is not the number.
        if (c == ';' || c == ',' || IsLetter(c)) {
            break;
        }
        if (c == '+' && digits.empty()) {
            plus = true;
        } else if (IsDigit(c) || c == '*' || c == '#') {
            digits.push_back(static_cast<char>(c));
        }
    }
    if (digits.empty()) {
        return {};
    }
    if (plus) {
        return "+" + digits;
    }
    const auto areaCode = [&](size_t first) { return digits.size() > first && digits[first] >= '2'; };
    if (digits.size() > 3 && digits.compare(0, 3, "011") == 0) {
        return "+" + digits.substr(3);
    }
    if (digits.size() == 10 && areaCode(0)) {
        return "+1" + digits;
    }
    if (digits.size() == 11 && digits[0] == '1' && areaCode(1)) {
        return "+" + digits;
    }
    return digits;
}

} // namespace

std::string NumberKey(std::string_view utf8) {
    return KeyOf(utf8);
}

std::string NumberKey(std::u16string_view text) {
    return KeyOf(text);
}
