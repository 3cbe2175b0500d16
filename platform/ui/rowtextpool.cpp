#include "platform/ui/rowtextpool.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char kNarrow = 0;
constexpr unsigned char kWide = 1;

// An empty text: narrow, terminated at once. Empty texts, the most common in a list whose first
// column shows only icons, take no room.
constexpr unsigned char kEmpty[] = {kNarrow, 0};

char16_t WideAt(RowTextPool::Text text, size_t index) {
    char16_t c = 0;
    std::memcpy(&c, text + 1 + index * sizeof(char16_t), sizeof(char16_t));
    return c;
}

} // namespace

RowTextPool::Text RowTextPool::Add(std::u16string_view text) {
    text = text.substr(0, std::min(text.size(), text.find(u'\0')));
    if (text.empty()) {
        return kEmpty;
    }
    const bool narrow = std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
    const size_t width = narrow ? 1 : sizeof(char16_t);
    const size_t room = 1 + (text.size() + 1) * width;
    unsigned char* at = nullptr;
    if (room > kBlockBytes) {
        ownBlocks.push_back(std::make_unique_for_overwrite<unsigned char[]>(room));
        at = ownBlocks.back().get();
    } else {
        if (used == 0 || kBlockBytes - filled < room) {
            // The rest of a block too short for the text stays unused until the next rewind.
            if (used == blocks.size()) {
                blocks.push_back(std::make_unique_for_overwrite<unsigned char[]>(kBlockBytes));
            }
            ++used;
            filled = 0;
        }
        at = blocks[used - 1].get() + filled;
        filled += room;
    }
    at[0] = narrow ? kNarrow : kWide;
    if (narrow) {
        std::transform(text.begin(), text.end(), at + 1, [](char16_t c) { return static_cast<unsigned char>(c); });
        at[1 + text.size()] = 0;
    } else {
        std::memcpy(at + 1, text.data(), text.size() * sizeof(char16_t));
        std::memset(at + 1 + text.size() * sizeof(char16_t), 0, sizeof(char16_t));
    }
    written += room;
    return at;
}

size_t RowTextPool::Length(Text text) {
    if (text == nullptr) {
        return 0;
    }
    if (text[0] == kNarrow) {
        return std::strlen(reinterpret_cast<const char*>(text + 1));
    }
    size_t length = 0;
    while (WideAt(text, length) != u'\0') {
        ++length;
    }
    return length;
}

size_t RowTextPool::Room(Text text) {
    return 1 + (Length(text) + 1) * (text[0] == kNarrow ? 1 : sizeof(char16_t));
}

std::u16string RowTextPool::Read(Text text) {
    std::u16string out(Length(text), u'\0');
    Copy(text, out.data(), out.size());
    return out;
}

size_t RowTextPool::Copy(Text text, char16_t* out, size_t capacity) {
    const size_t length = std::min(Length(text), capacity);
    if (length == 0) {
        return 0;
    }
    if (text[0] == kNarrow) {
        std::copy_n(text + 1, length, out);
    } else {
        std::memcpy(out, text + 1, length * sizeof(char16_t));
    }
    return length;
}

void RowTextPool::Release(Text text) {
    if (text == nullptr || text == kEmpty) {
        return;
    }
    const size_t room = Room(text);
    // A text with a block of its own gives it back at once.
    const auto own =
        std::find_if(ownBlocks.begin(), ownBlocks.end(),
                     [text](const std::unique_ptr<unsigned char[]>& block) { return block.get() == text; });
    if (own != ownBlocks.end()) {
        ownBlocks.erase(own);
        written -= room;
    } else {
        wasted += room;
    }
}

bool RowTextPool::WorthCompacting() const {
    return wasted > kBlockBytes && wasted * 2 > written;
}

void RowTextPool::Rewind() {
    blocks.resize(used);
    ownBlocks.clear();
    used = 0;
    filled = 0;
    written = 0;
    wasted = 0;
}
