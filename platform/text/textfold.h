#pragma once

#include <cstddef>

// Folding for a search that ignores case and accents: "Müller", "MÜLLER" and "muller" fold alike.
// Covers Latin (with its ligatures spelt out: "ß" is "ss"), Greek and Cyrillic capitals, and drops
// combining marks, so a decomposed "u" with a diaeresis folds as the composed one does.

// Folds c into out; returns how many characters it wrote: 0 for a combining mark, 2 for a ligature,
// else 1.
int FoldChar(char16_t c, char16_t out[2]);

// Folds src (null counts as empty) into dest, cut to fit; returns the length written.
size_t TextFold(char16_t* dest, size_t capacity, const char16_t* src);
