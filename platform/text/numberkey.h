#pragma once

#include <string>
#include <string_view>

// The key a telephone number is found by, so that the forms one number is written in meet: a
// North American number becomes E.164 ("+12063861234") whether written nationally, with the
// leading 1, with +1 or 011, with any punctuation, or as a "tel:" URI; a number with a + keeps its
// digits after the +; any other number (a local seven-digit one, a short code) is its digits. An
// extension, a pause or a URI parameter ends the number. Empty when there is no number to find (no
// digit, or an address such as SIP's).
std::string NumberKey(std::string_view utf8);
std::string NumberKey(std::u16string_view text);
