#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The texts of a list's rows, packed one after another into large blocks instead of a heap block
// each; a row keeps a pointer to its text. A refill rewinds the pool and writes over the blocks the
// last fill used, so that memory is reused, not faulted in again. A text whose characters all fit
// in a byte (names, numbers, times and places, mostly) is kept one byte a character, else as
// UTF-16: a kind byte, the characters, a terminator. Read texts back through Read and Copy.
class RowTextPool {
public:
    using Text = const unsigned char*;

    // Bytes per block; a longer text gets a block of its own.
    static constexpr size_t kBlockBytes = 65536;

    // A copy of text (up to its first null character), valid until Rewind or until the pool is
    // replaced.
    Text Add(std::u16string_view text);
    // A text of Add is no longer used: its room is counted as waste, for WorthCompacting.
    void Release(Text text);
    // More than half the room written is waste, and more than a block: the owner copies the texts
    // it still uses into a fresh pool.
    bool WorthCompacting() const;
    // Every text goes; the blocks the last fill wrote stay for the next, those it left unused go.
    void Rewind();

    // The characters of a text of Add; null is an empty text.
    static size_t Length(Text text);
    static std::u16string Read(Text text);
    // Copies up to capacity characters of text into out (no terminator). Returns how many.
    static size_t Copy(Text text, char16_t* out, size_t capacity);

private:
    // Bytes text takes in a block, kind byte and terminator included.
    static size_t Room(Text text);

    std::vector<std::unique_ptr<unsigned char[]>> blocks;
    std::vector<std::unique_ptr<unsigned char[]>> ownBlocks;
    // Blocks written since the last rewind, the last of them filled this far.
    size_t used = 0;
    size_t filled = 0;
    // Bytes written since the last rewind, and of those the ones no longer used.
    size_t written = 0;
    size_t wasted = 0;
};
