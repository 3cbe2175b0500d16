#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Cuts the text of a vCard file into cards and keeps of each only the lines a caller's name is read
// from (BEGIN, VERSION, FN, N, TEL, END, with their folded continuations), so that the address-book
// library never parses what the program does not use. The library's parser takes time quadratic
// in the values of a line, and the folder is written by a paired phone: its input comes from outside.
class VcardFilter {
public:
    // A person's name or number is under a hundred bytes; 1 KiB leaves room for names in any script
    // and for every parameter a phone writes. A longer line is dropped, the rest of its card kept.
    static constexpr size_t kLongestLine = 1024;
    // The parser's cost grows with the square of a line's values (what ';' separates): N has five,
    // a TEL line with its parameters a handful. A line with more is dropped like a too long one.
    static constexpr size_t kMostSeparators = 32;
    // The kept lines of a card with a name and a few dozen numbers take under 2 KiB. A card whose
    // kept lines pass 8 KiB is no person's card: it is skipped whole rather than naming callers
    // after whichever of its numbers happened to come first.
    static constexpr size_t kLongestCard = 8192;

    // Calls each with the cards of text in order, each the kept lines of one BEGIN:VCARD ...
    // END:VCARD, its lines ending in CR LF. A card without its END line, or past kLongestCard, is
    // left out.
    static void ForEachCard(std::string_view text, const std::function<void(const std::string&)>& each);

    // The cards ForEachCard gives, in order.
    static std::vector<std::string> Cards(std::string_view text);
};
