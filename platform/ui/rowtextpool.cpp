#include "platform/ui/rowtextpool.h"

#include <algorithm>
#include <string>

namespace {

constexpr char16_t kEmpty[] = u"";

} // namespace

const char16_t* RowTextPool::Add(std::u16string_view text) {
    // Empty texts, the most common in a list whose first column shows only icons, take no room.
    if (text.empty()) {
        return kEmpty;
    }
    const size_t room = text.size() + 1;
    char16_t* at = nullptr;
    if (room > kBlockChars) {
        ownBlocks.push_back(std::make_unique_for_overwrite<char16_t[]>(room));
        at = ownBlocks.back().get();
    } else {
        if (used == 0 || kBlockChars - filled < room) {
            // The rest of a block too short for the text stays unused until the next rewind.
            if (used == blocks.size()) {
                blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(kBlockChars));
            }
            ++used;
            filled = 0;
        }
        at = blocks[used - 1].get() + filled;
        filled += room;
    }
    std::copy(text.begin(), text.end(), at);
    at[text.size()] = u'\0';
    written += room;
    return at;
}

void RowTextPool::Release(const char16_t* text) {
    const size_t length = std::char_traits<char16_t>::length(text);
    if (length == 0) {
        return;
    }
    // A text with a block of its own gives it back at once.
    const auto own = std::find_if(ownBlocks.begin(), ownBlocks.end(),
                                  [text](const std::unique_ptr<char16_t[]>& block) { return block.get() == text; });
    if (own != ownBlocks.end()) {
        ownBlocks.erase(own);
        written -= length + 1;
    } else {
        wasted += length + 1;
    }
}

bool RowTextPool::WorthCompacting() const {
    return wasted > kBlockChars && wasted * 2 > written;
}

void RowTextPool::Rewind() {
    blocks.resize(used);
    ownBlocks.clear();
    used = 0;
    filled = 0;
    written = 0;
    wasted = 0;
}
