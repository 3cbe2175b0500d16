#pragma once

#include "calllog/nvxcallentry.h"

#include <cstddef>
#include <type_traits>
#include <vector>

// The memory of the call list's entries: blocks of entries handed out in order and taken back all at
// once when the list is cleared, so that the next load writes over memory already in use instead
// of allocating and first-touching every entry again. A block grows the arena by as many entries
// as it holds already, so a load of n calls makes about log2(n) allocations; blocks the next load
// did not reach are given back.
class EntryArena {
public:
    EntryArena() = default;
    ~EntryArena();
    EntryArena(const EntryArena&) = delete;
    EntryArena& operator=(const EntryArena&) = delete;

    // A new empty entry, or null when no block can be allocated. It lives until Rewind.
    NVXCallEntry* Allocate();

    // Makes room for count more entries in one block where the arena's blocks have too little left:
    // a load that knows its size takes one large block instead of many growing ones. -1 when that
    // block cannot be allocated (entries then come as Allocate finds room), else 0.
    int Reserve(size_t count);

    // Takes every entry back; their memory is kept for the next ones.
    void Rewind();

    // Gives back the blocks that no entry uses since the last Rewind.
    void ReleaseUnused();

    size_t BlockCount() const { return blocks.size(); }
    size_t Capacity() const;

private:
    struct Block {
        NVXCallEntry* entries;
        size_t capacity;
    };

    static constexpr size_t kFirstBlock = 256;

    // Appends a block of capacity entries; false when it cannot be allocated.
    bool AddBlock(size_t capacity);

    std::vector<Block> blocks;
    // The block the next entry comes from, and how many of its entries are in use.
    size_t current = 0;
    size_t used = 0;
};

// Entries are placed into raw memory and never destroyed one by one (Rewind drops them all): that is
// only sound while an entry owns nothing that a destructor would have to release. Its texts are
// handles, released explicitly by FreeRecordStrings.
static_assert(std::is_trivially_destructible_v<NVXCallEntry>, "the arena drops entries without a destructor");
