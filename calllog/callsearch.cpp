#include "calllog/callsearch.h"

#include "platform/text/localheap.h"
#include "platform/text/textfold.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0x00A0;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Whether needle (folded, not empty) is in haystack once haystack is folded. The longest haystack,
// a name of 100 characters, folds into at most 200.
bool FoldedContains(const char16_t* haystack, const char16_t* needle, size_t needleLength) {
    FixedText<2 * 101 + 1> folded;
    const size_t length = TextFold(folded.Data(), folded.capacity, haystack);
    if (length < needleLength) {
        return false;
    }
    for (size_t start = 0; start + needleLength <= length; ++start) {
        size_t i = 0;
        while (i < needleLength && folded.chars[start + i] == needle[i]) {
            ++i;
        }
        if (i == needleLength) {
            return true;
        }
    }
    return false;
}

// Whether the digits of number, read in order with everything else skipped, contain digits.
bool DigitsContain(const char16_t* number, const char16_t* digits, size_t digitsLength) {
    FixedText<64> only;
    size_t length = 0;
    for (const char16_t* c = number; c != nullptr && *c != u'\0' && length + 1 < only.capacity; ++c) {
        if (IsDigit(*c)) {
            only.chars[length++] = *c;
        }
    }
    for (size_t start = 0; start + digitsLength <= length; ++start) {
        size_t i = 0;
        while (i < digitsLength && only.chars[start + i] == digits[i]) {
            ++i;
        }
        if (i == digitsLength) {
            return true;
        }
    }
    return false;
}

} // namespace

CallSearch::CallSearch(const char16_t* typedText) {
    const char16_t* from = typedText == nullptr ? u"" : typedText;
    while (IsBlank(*from)) {
        ++from;
    }
    size_t length = TextLengthBounded(from, kMaxTyped);
    while (length > 0 && IsBlank(from[length - 1])) {
        --length;
    }
    TextCopyN(typed.Data(), typed.capacity, from, length);
    TextFold(folded.Data(), folded.capacity, typed.Data());

    // Digits with punctuation only ("(206) 386", "+1 206-386") stand for a number; a letter anywhere
    // makes the text a name or a place.
    size_t digitCount = 0;
    bool letter = false;
    for (const char16_t* c = typed.Data(); *c != u'\0'; ++c) {
        if (IsDigit(*c)) {
            digits.chars[digitCount++] = *c;
        } else if (*c >= 0x80 || ((*c | 0x20) >= u'a' && (*c | 0x20) <= u'z')) {
            letter = true;
        }
    }
    digits.chars[letter ? 0 : digitCount] = u'\0';
}

bool CallSearch::Matches(const NVXCallEntry& entry) const {
    const size_t length = folded.Length();
    if (length == 0) {
        return true;
    }
    if (FoldedContains(entry.nameText.Data(), folded.Data(), length) ||
        FoldedContains(entry.numberText.Data(), folded.Data(), length) ||
        FoldedContains(entry.locationText.Data(), folded.Data(), length)) {
        return true;
    }
    const size_t digitsLength = digits.Length();
    if (digitsLength == 0) {
        return false;
    }
    // The number as shown, and as the log holds it with its country code: "+1 206" finds a call
    // stored as "+1 (206) 386-1234" and shown as "(206) 386-1234".
    return DigitsContain(entry.numberText.Data(), digits.Data(), digitsLength) ||
           (entry.number != 0 && DigitsContain(LocalText(entry.number), digits.Data(), digitsLength));
}
