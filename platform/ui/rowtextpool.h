#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// The texts of a list's rows, packed one after another into large blocks instead of a heap block
// each; a row keeps a pointer to its text, which ends with a terminator. A refill rewinds the pool
// and writes over the blocks the last fill used, so that memory is reused, not faulted in again.
class RowTextPool {
public:
    // Characters per block; a longer text gets a block of its own.
    static constexpr size_t kBlockChars = 32768;

    // A terminated copy of text, valid until Rewind or until the pool is replaced.
    const char16_t* Add(std::u16string_view text);
    // A text of Add is no longer used: its room is counted as waste, for WorthCompacting.
    void Release(const char16_t* text);
    // More than half the room written is waste, and more than a block: the owner copies the texts
    // it still uses into a fresh pool.
    bool WorthCompacting() const;
    // Every text goes; the blocks the last fill wrote stay for the next, those it left unused go.
    void Rewind();

private:
    std::vector<std::unique_ptr<char16_t[]>> blocks;
    std::vector<std::unique_ptr<char16_t[]>> ownBlocks;
    // Blocks written since the last rewind, the last of them filled this far.
    size_t used = 0;
    size_t filled = 0;
    // Characters written since the last rewind, and of those the ones no longer used.
    size_t written = 0;
    size_t wasted = 0;
};
