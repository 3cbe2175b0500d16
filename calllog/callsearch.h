#pragma once

#include "calllog/nvxcallentry.h"
#include "platform/text/textops.h"

// A search the user typed, asked of one call after another: does the call's name, number or place
// contain it? Case and accents are folded ("muller" finds "Müller"), and a text of digits finds a
// number whatever its punctuation ("2063" finds "(206) 386-1234"). Holds only the typed text, folded
// once, so asking it of every call of a long list costs no allocation.
class CallSearch {
public:
    // The longest text the search keeps; the Find field takes no more.
    static constexpr size_t kMaxTyped = 50;

    CallSearch() = default;
    // The typed text; blanks before and after it do not count.
    explicit CallSearch(const char16_t* typed);

    // Nothing to look for: the text was empty or blanks alone. Such a search is off.
    bool IsEmpty() const { return folded.IsEmpty(); }
    // The typed text without the blanks around it, as the title shows it.
    const char16_t* Text() const { return typed.Data(); }

    // Whether the call's name, number or place contains the text. An empty search matches every call.
    bool Matches(const NVXCallEntry& entry) const;

private:
    FixedText<kMaxTyped + 1> typed;
    // Ligatures spelt out can double the length.
    FixedText<2 * kMaxTyped + 1> folded;
    // The text's digits, when it holds digits and no letter: matched against a number's digits alone.
    FixedText<kMaxTyped + 1> digits;
};
