#include "platform/ui/surroundingtext.h"

#include <algorithm>

namespace {

// The UTF-16 units of the character that starts at i (two for a pair, one for a lone half).
int CharUnits(const QString& text, int i) {
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

// The UTF-16 units of the character that ends just before i.
int CharUnitsBefore(const QString& text, int i) {
    return text.at(i - 1).isLowSurrogate() && i >= 2 && text.at(i - 2).isHighSurrogate() ? 2 : 1;
}

// The character's length in UTF-8; a lone surrogate is written as the replacement character.
int Utf8Bytes(const QString& text, int i, int units) {
    if (units == 2) {
        return 4;
    }
    const char16_t unit = text.at(i).unicode();
    if (unit < 0x80) {
        return 1;
    }
    return unit < 0x800 ? 2 : 3;
}

} // namespace

SurroundingText::SurroundingText(const QString& text, int cursor, int anchor) {
    cursor = std::clamp(cursor, 0, static_cast<int>(text.size()));
    anchor = std::clamp(anchor, 0, static_cast<int>(text.size()));
    // A cursor inside a surrogate pair stands before the pair.
    if (cursor > 0 && cursor < text.size() && text.at(cursor).isLowSurrogate() &&
        text.at(cursor - 1).isHighSurrogate()) {
        --cursor;
    }
    // Half the bytes go before the cursor, then whatever is left after it, then before again.
    int start = cursor;
    int end = cursor;
    int bytes = 0;
    while (start > 0) {
        const int units = CharUnitsBefore(text, start);
        const int size = Utf8Bytes(text, start - units, units);
        if (bytes + size > kMaxBytes / 2) {
            break;
        }
        bytes += size;
        start -= units;
    }
    while (end < text.size()) {
        const int units = CharUnits(text, end);
        const int size = Utf8Bytes(text, end, units);
        if (bytes + size > kMaxBytes) {
            break;
        }
        bytes += size;
        end += units;
    }
    while (start > 0) {
        const int units = CharUnitsBefore(text, start);
        const int size = Utf8Bytes(text, start - units, units);
        if (bytes + size > kMaxBytes) {
            break;
        }
        bytes += size;
        start -= units;
    }
    carried = text.mid(start, end - start);
    cursorInCarried = cursor - start;
    const int anchorInCarried = std::clamp(anchor - start, 0, static_cast<int>(carried.size()));
    utf8 = carried.toUtf8();
    cursorByte = static_cast<int>(carried.left(cursorInCarried).toUtf8().size());
    anchorByte = static_cast<int>(carried.left(anchorInCarried).toUtf8().size());
}

SurroundingText::Range SurroundingText::DeletionAround(uint32_t beforeBytes, uint32_t afterBytes) const {
    int before = 0;
    uint32_t bytes = 0;
    while (cursorInCarried - before > 0) {
        const int at = cursorInCarried - before;
        const int units = CharUnitsBefore(carried, at);
        const uint32_t size = static_cast<uint32_t>(Utf8Bytes(carried, at - units, units));
        if (bytes + size > beforeBytes) {
            break;
        }
        bytes += size;
        before += units;
    }
    int after = 0;
    bytes = 0;
    while (cursorInCarried + after < carried.size()) {
        const int at = cursorInCarried + after;
        const int units = CharUnits(carried, at);
        const uint32_t size = static_cast<uint32_t>(Utf8Bytes(carried, at, units));
        if (bytes + size > afterBytes) {
            break;
        }
        bytes += size;
        after += units;
    }
    return Range{-before, before + after};
}
